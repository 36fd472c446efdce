#pragma once
// A second reading by zxing-cpp, where the library is built with it
// (KORVANE_WITH_ZXING); verify() reports it beside its own.

#include "korvane/Drawing.h"
#include "korvane/Symbol.h"

#include <string>

namespace korvane::detail {

struct SecondOpinion {
    bool ran = false;  // built in, and zxing-cpp reads this symbology
    bool read = false; // it found a symbol
    std::string data;  // what it read, in the form of SymbolFacts::data
    std::string addOn;
};

// Reads the drawing at `scale` pixels per dot, dark and light as `darkLevel`
// and `lightLevel` (0-255) say.
SecondOpinion readWithZxing(const Drawing& drawing, int scale, int darkLevel, int lightLevel, const Symbol& symbol);

}  // namespace korvane::detail
