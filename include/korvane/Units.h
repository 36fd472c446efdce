#pragma once
// Lengths with their units, as the layout options take them. layout() is the
// one place that turns them into dots: a length in px or modules means
// nothing until the resolution and the module width are known.

#include "Export.h"
#include "Result.h"

#include <cstdint>
#include <string_view>

namespace korvane {

enum class Unit : std::uint8_t {
    Mm,
    Cm,
    In,
    Mil,      // a thousandth of an inch
    Pt,       // 1/72 inch
    Px,       // dots at the drawing's resolution
    Modules,  // module widths (X)
};

struct Length {
    double value = 0;
    Unit unit = Unit::Mm;

    bool inModules() const { return unit == Unit::Modules; }
    // Millimetres at `dpi` dots per inch (px need dpi > 0, modules xMm > 0;
    // 0 otherwise).
    KORVANE_API double mm(double dpi, double xMm = 0) const;
};

constexpr Length mm(double v) { return {v, Unit::Mm}; }
constexpr Length inches(double v) { return {v, Unit::In}; }
constexpr Length mil(double v) { return {v, Unit::Mil}; }
constexpr Length pt(double v) { return {v, Unit::Pt}; }
constexpr Length px(double v) { return {v, Unit::Px}; }
constexpr Length modules(double v) { return {v, Unit::Modules}; }

// "0.33mm", "2.5cm", "0.013in", "10mil", "1pt", "4px"; "12x" (or "12mod") a
// count of modules where `modulesAllowed`; a number alone is taken in `bare`
// units. Refuses negatives, NaN, infinities and numbers over 10^6, with a
// one-line InvalidOption message that quotes the text.
KORVANE_API Result<Length> parseLength(std::string_view text, Unit bare = Unit::Mm, bool modulesAllowed = false);

// A decimal number, all of `text`, finite, within [low, high]; the message
// quotes the text and gives the range ("'x' is not a number").
KORVANE_API Result<double> parseNumber(std::string_view text, double low, double high);
// A whole number, all of `text`, within [low, high].
KORVANE_API Result<long long> parseInteger(std::string_view text, long long low, long long high);

}  // namespace korvane
