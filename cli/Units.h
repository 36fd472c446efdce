#pragma once
// Values people type on the command line: lengths with their units, colours,
// numbers, page sizes and grids. Each parser returns the value or a one-line
// message that names what was given and what is accepted.

#include <korvane/Drawing.h>
#include <korvane/Result.h>
#include <korvane/Units.h>
#include <korvane/Values.h>

#include <string>
#include <string_view>

namespace korvane::cli {

// Words as typed are compared in lower case (ASCII letters only).
std::string lower(std::string_view text);

// The error of a value or an option the command does not take (usage, exit 2).
Error invalidOption(std::string message);

// Lengths, numbers, colours and page sizes are parsed by the library, so
// that every front end takes the same forms.
using korvane::colourNames;
using korvane::Length;
using korvane::PageSize;
using korvane::parseColour;
using korvane::parseInteger;
using korvane::parseLength;
using korvane::parseNumber;
using korvane::parsePageSize;
using korvane::Unit;

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
