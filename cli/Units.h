#pragma once
// Values people type on the command line: lengths with their units, colours,
// numbers, page sizes and grids. Each parser returns the value or a one-line
// message that names what was given and what is accepted.

#include <korvane/Drawing.h>
#include <korvane/Result.h>
#include <korvane/Units.h>

#include <string>
#include <string_view>

namespace korvane::cli {

// Words as typed are compared in lower case (ASCII letters only).
std::string lower(std::string_view text);

// The error of a value or an option the command does not take (usage, exit 2).
Error invalidOption(std::string message);

// Lengths are the library's (korvane/Units.h), parsed by its parseLength().
using korvane::Length;
using korvane::parseLength;
using korvane::Unit;

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
