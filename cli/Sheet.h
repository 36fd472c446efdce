#pragma once
// Label sheets: the symbols of a batch placed on pages, each centred in a cell
// of a grid, with an optional line of text under it and optional cut marks in
// the margins. A page is itself a Drawing, at the symbols' resolution.

#include "CommandLine.h"

#include <korvane/Drawing.h>

#include <string>
#include <vector>

namespace korvane::cli {

// The page in dots.
struct SheetGeometry {
    double dpi = 300;
    int pageWidth = 0, pageHeight = 0;
    int left = 0, top = 0, right = 0, bottom = 0;
    int cellWidth = 0, cellHeight = 0;
    int gapH = 0, gapV = 0;
    int columns = 1, rows = 1;
    double textSize = 0;  // em of the label text
    bool labelText = false;
    bool cutMarks = false;

    int perPage() const { return columns * rows; }
};

// Errors (InvalidOption): margins and gaps that leave no room for a cell.
Result<SheetGeometry> sheetGeometry(const SheetSettings& sheet, double dpi);

// Whether a label fits its cell (with room for its text line); the error
// gives both sizes in millimetres.
Status labelFits(const SheetGeometry& g, const Drawing& label);

struct SheetLabel {
    const Drawing* drawing = nullptr;
    std::string text;  // the line under it, "" for none
};

// The pages, in order, labels left to right and top to bottom. Every label
// must fit (labelFits) and share the page's colours.
std::vector<Drawing> composePages(const SheetGeometry& g, const std::vector<SheetLabel>& labels, Colour foreground,
                                  Colour background);

}  // namespace korvane::cli
