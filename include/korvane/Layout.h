#pragma once
// layout(): a Symbol laid out at a real printed size. Physical units enter
// here and nowhere else.

#include "Export.h"
#include "Drawing.h"
#include "Result.h"
#include "Symbol.h"
#include "Units.h"

#include <optional>

namespace korvane {

// Every length is a value with its unit (korvane/Units.h: mm, cm, in, mil,
// pt, px, modules), converted here once the resolution and X are known; an
// unset one takes the symbology's standard. Without a resolution (dpi 0),
// px are pixels and other lengths keep their proportion to the nominal X.
struct LayoutOptions {
    // Resolution in dots per inch (1-10,000); 0 lays out in pixels without a
    // physical size.
    double dpi = 300;
    // Module width: a length or px (not modules); unset: the symbology's
    // nominal X, or 4 px without a resolution, where only px are taken.
    // Snapped to whole dots (at least one); Drawing::xMm says what was reached.
    std::optional<Length> xDim;

    // Bar height (for Postnet the full bars'); unset: the standard's.
    std::optional<Length> height;

    // Print gain: every dark edge that meets a light one is drawn this much
    // further in, rounded to whole dots, the bar's centre kept.
    std::optional<Length> barReduction;

    // Quiet zones; unset: the symbology's standard.
    std::optional<Length> quietLeft;
    std::optional<Length> quietRight;
    std::optional<Length> quietVertical;  // above the symbol and below its text

    bool text = true;                 // human-readable text
    std::optional<Length> fontSize;   // em size of the text; unset: chosen from X

    Colour foreground = BLACK;
    Colour background = WHITE;
    int rotation = 0;          // 0, 90, 180 or 270 degrees clockwise
};

// Largest canvas layout() makes: 2^28 dots.
constexpr long long MAX_CANVAS_DOTS = 1LL << 28;

KORVANE_API Result<Drawing> layout(const Symbol& symbol, const LayoutOptions& options = {});

// The checks layout() makes of its options before it sees the symbol: the
// resolution, X (a length, or px without a resolution), lengths that cannot be
// negative, the rotation, and a height only for symbologies of bars. Front
// ends call it to refuse options when they are given, not when drawn.
KORVANE_API Status checkLayoutOptions(const LayoutOptions& options, Symbology symbology);

}  // namespace korvane
