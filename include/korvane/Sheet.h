#pragma once
// Label sheets: laid-out symbols placed on pages, each centred in a cell of a
// grid, with an optional line of text under it and optional cut marks in the
// margins. A page is itself a Drawing at the sheet's resolution. Pages are
// written as they fill, so a run of any length needs memory for one page:
//
//   korvane::SheetOptions options;          // A4, 10 mm margins
//   options.columns = 3;
//   options.rows = 8;
//   auto sheet = korvane::sheetGeometry(options);
//   auto file = korvane::FileSink::open("labels.pdf");
//   auto pdf = korvane::pdfPages(**file);
//   korvane::SheetWriter writer(*sheet, *pdf);
//   for (...) writer.add(*korvane::layoutForCell(symbol, {}, *sheet, true));
//   writer.finish();
//   (*file)->commit();

#include "Drawing.h"
#include "Export.h"
#include "Layout.h"
#include "Result.h"
#include "Symbol.h"
#include "Write.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace korvane {

struct PageSize {
    double widthMm = 0;
    double heightMm = 0;
};
constexpr PageSize PAGE_A4{210, 297};
constexpr PageSize PAGE_LETTER{215.9, 279.4};

struct SheetOptions {
    PageSize page = PAGE_A4;
    int columns = 1;  // the grid, 1-100 each way
    int rows = 1;
    double marginTopMm = 10, marginRightMm = 10, marginBottomMm = 10, marginLeftMm = 10;
    double gapHorizontalMm = 0;  // between columns
    double gapVerticalMm = 0;    // between rows
    double dpi = 300;            // the page's resolution, which its labels share (1-10,000)
    bool textLine = false;       // room for a line of text under each label
    double textSizeMm = 2.5;     // its em size
    bool cutMarks = false;       // marks in the margins where the cells' edges run
    Colour foreground = BLACK;   // the labels' colours, which they share with the page
    Colour background = WHITE;
};

// The page in dots, and where its cells are.
struct SheetGeometry {
    double dpi = 300;
    int pageWidth = 0, pageHeight = 0;
    int left = 0, top = 0, right = 0, bottom = 0;  // margins
    int cellWidth = 0, cellHeight = 0;
    int gapH = 0, gapV = 0;
    int columns = 1, rows = 1;
    int textLine = 0;     // dots under each label kept for its text; 0 for none
    double textSize = 0;  // em of the text, in dots
    bool cutMarks = false;
    Colour foreground = BLACK;
    Colour background = WHITE;

    int perPage() const { return columns * rows; }
    // Whether a label of this size fits a cell with its text line.
    bool fits(int width, int height) const { return width <= cellWidth && height + textLine <= cellHeight; }
};

// Errors (InvalidOption): a grid or resolution out of range, a page of more
// than MAX_CANVAS_DOTS, margins and gaps that leave no room for the cells.
KORVANE_API Result<SheetGeometry> sheetGeometry(const SheetOptions& options);

// The symbol laid out for a cell of `sheet`, at the sheet's resolution: as
// `options` ask when that fits the cell; otherwise, with `fit`, at the largest
// X in whole dots that fits (below the one asked for), with a warning that
// says so beside layout()'s own when X falls below the symbology's minimum.
// Errors: layout()'s, and InvalidOption when the label does not fit (without
// `fit`, or even at one dot per module), giving both sizes in millimetres.
KORVANE_API Result<Drawing> layoutForCell(const Symbol& symbol, const LayoutOptions& options,
                                          const SheetGeometry& sheet, bool fit);

// Where the pages of a sheet go, in order.
class KORVANE_API PageOutput {
public:
    virtual ~PageOutput() = default;
    virtual Status page(const Drawing& page) = 0;
    virtual Status finish() = 0;  // after the last page
};

// The pages as one PDF appended to `sink` page by page; finish() ends the
// file (the caller commits a FileSink after it). The sink must outlive it.
KORVANE_API std::unique_ptr<PageOutput> pdfPages(ByteSink& sink, const WriteOptions& options = {});

// Each page as a file of `format`, written whole (writeBytesToFile) as soon as
// it is full, at `name(page)` with pages counted from 1.
KORVANE_API std::unique_ptr<PageOutput> pageFiles(Format format, std::function<std::string(long long)> name,
                                                  const WriteOptions& options = {});

// Places labels left to right and top to bottom, a page at a time: a page is
// composed while it fills and handed to the output when full (or by
// finish()), so memory holds one page whatever the number of labels.
class KORVANE_API SheetWriter {
public:
    SheetWriter(const SheetGeometry& sheet, PageOutput& output);

    // Places the label in the next cell, centred, with `text` centred under it
    // when the sheet has a text line. Refused (InvalidOption): a label larger
    // than its cell, or of other colours or resolution than the sheet. An
    // output failure is returned, and refused again on every later call.
    Status add(const Drawing& label, std::string_view text = {});
    // Hands the last page over, if any label is on it, and finishes the output.
    Status finish();

    long long labels() const { return labels_; }   // placed
    long long pagesDone() const { return pages_; } // handed to the output
    long long nextPage() const { return pages_ + 1; }  // the page the next label goes on, from 1

private:
    Status emit();

    SheetGeometry sheet_;
    PageOutput& output_;
    Drawing page_;
    int slot_ = 0;  // cells filled on the page
    long long labels_ = 0, pages_ = 0;
    std::optional<Error> failed_;
};

}  // namespace korvane
