#pragma once
// Values people type for colours and page sizes, parsed here for every front
// end (the command, C, Python, JavaScript) so that all take the same forms.
// Lengths and numbers are in Units.h.

#include "Drawing.h"
#include "Export.h"
#include "Result.h"
#include "Sheet.h"

#include <string>
#include <string_view>

namespace korvane {

// "RRGGBB", "RRGGBBAA" (a leading '#' allowed), "cmyk:C,M,Y,K" in whole
// percent, a colour name ("black", "white", "red", ...; colourNames()), or
// "none"/"transparent" (alpha 0). Either case.
KORVANE_API Result<Colour> parseColour(std::string_view text);
// The names parseColour() takes, for help texts: "black, white, red, ...".
KORVANE_API std::string colourNames();

// "A3", "A4", "A5", "A6", "Letter", "Legal", or "WxH" with a unit after the
// height that a bare width shares ("100x150mm", "4x6in", "4inx150mm"); 10 mm
// to 5 m a side.
KORVANE_API Result<PageSize> parsePageSize(std::string_view text);

// A value as messages show it: in single quotes, at most 40 characters (then
// "..."), control characters as '?'. Every front end quotes what it refuses so.
KORVANE_API std::string quotedValue(std::string_view text);

}  // namespace korvane
