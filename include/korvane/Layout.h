#pragma once
// layout(): a Symbol laid out at a real printed size. Physical units enter
// here and nowhere else.

#include "Export.h"
#include "Drawing.h"
#include "Result.h"
#include "Symbol.h"

namespace korvane {

struct LayoutOptions {
    // Resolution in dots per inch (1-10,000); 0 lays out in pixels without a
    // physical size, with `moduleDots` dots per module.
    double dpi = 300;
    // Module width in millimetres; 0: the symbology's nominal X. Snapped to
    // whole dots (at least one); Drawing::xMm says what was reached.
    double xMm = 0;
    int moduleDots = 0;  // X in dots, used when dpi is 0 (default 4)

    // Bar height in millimetres, or in modules; both 0: the symbology's
    // default. For Postnet it is the height of the full bars.
    double heightMm = 0;
    double heightModules = 0;

    // Print gain: every bar (and dark module) is drawn this much narrower,
    // rounded to whole dots, its centre kept.
    double barReductionMm = 0;

    // Quiet zones in modules; negative: the symbology's standard.
    double quietLeft = -1;
    double quietRight = -1;
    double quietVertical = -1;  // above the symbol and below its text

    bool text = true;          // human-readable text
    double fontSizeMm = 0;     // em size of the text; 0: chosen from X

    Colour foreground = BLACK;
    Colour background = WHITE;
    int rotation = 0;          // 0, 90, 180 or 270 degrees clockwise
};

// Largest canvas layout() makes: 2^28 dots.
constexpr long long MAX_CANVAS_DOTS = 1LL << 28;

KORVANE_API Result<Drawing> layout(const Symbol& symbol, const LayoutOptions& options = {});

}  // namespace korvane
