#pragma once
// Values people type on the command line: lengths with their units, colours,
// numbers, page sizes and grids. Each parser returns the value or a one-line
// message that names what was given and what is accepted.

#include <korvane/Drawing.h>
#include <korvane/Result.h>

#include <string>
#include <string_view>

namespace korvane::cli {

// Words as typed are compared in lower case (ASCII letters only).
std::string lower(std::string_view text);

// The error of a value or an option the command does not take (usage, exit 2).
Error invalidOption(std::string message);

enum class Unit { Mm, Cm, In, Mil, Pt, Px, Modules };

// A length as typed; converted once the resolution and X are known, because
// "4px" means four dots at the chosen resolution.
struct Length {
    double value = 0;
    Unit unit = Unit::Mm;

    bool inModules() const { return unit == Unit::Modules; }
    // Millimetres at `dpi` dots per inch (px needs dpi > 0; modules need xMm).
    double mm(double dpi, double xMm = 0) const;
};

// "0.33mm", "10mil", "0.013in", "1pt", "4px", "2.5cm"; a number alone is
// taken in `bare` units. `modulesAllowed` accepts "12x" (or "12mod") as a
// count of modules. Refuses negatives, NaN, infinities and numbers over 10^6.
Result<Length> parseLength(std::string_view text, Unit bare, bool modulesAllowed = false);

// A decimal number, all of `text`, finite, within [low, high].
Result<double> parseNumber(std::string_view text, double low, double high);
// A whole number, all of `text`, within [low, high].
Result<long long> parseInteger(std::string_view text, long long low, long long high);

// "RRGGBB", "RRGGBBAA" (a leading '#' allowed), a colour name ("black",
// "white", "red", ...), or "none"/"transparent" (alpha 0).
Result<Colour> parseColour(std::string_view text);
std::string colourNames();  // the names accepted, for help texts

// "A4", "A5", "A3", "Letter", "Legal", or "WxH" with a unit ("100x150mm",
// "4x6in"; a unit on each side is allowed: "4inx150mm"). Millimetres.
struct PageSize {
    double widthMm = 0;
    double heightMm = 0;
};
Result<PageSize> parsePageSize(std::string_view text);

// "3x8": columns by rows, each 1-100.
struct Grid {
    int columns = 0;
    int rows = 0;
};
Result<Grid> parseGrid(std::string_view text);

// One to four lengths separated by commas, in the order of CSS margins: one
// for all sides; vertical,horizontal; top,horizontal,bottom; top,right,bottom,left.
struct Box {
    Length top, right, bottom, left;
};
Result<Box> parseBox(std::string_view text, Unit bare);

}  // namespace korvane::cli
