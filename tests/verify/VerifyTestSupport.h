#pragma once
// Helpers the verify tests share: values with their encode options, symbols
// laid out and read back, and pictures for the readers.

#include <korvane/korvane.hpp>

#include "Render.h"

#include <string>

namespace verifytest {

using Tweak = void (*)(korvane::EncodeOptions&);
using LayoutTweak = void (*)(korvane::LayoutOptions&);

// A value to encode and the options that matter to reading it back.
struct Value {
    const char* label;
    korvane::Symbology symbology;
    std::string data;
    Tweak tweak = nullptr;
};

// The symbol of a value; the test fails when it cannot be made.
korvane::Symbol encoded(const Value& v);

// The symbol laid out with the given changes to the default layout.
korvane::Drawing laidOut(const korvane::Symbol& symbol, LayoutTweak tweak = nullptr);
// Moves everything left so that `modules` of quiet zone remain before the first bar.
void cutQuietZone(korvane::Drawing& d, int modules);

// A test-support picture as the readers take it (0 dark, 255 light).
korvane::GrayRaster toRaster(const testsupport::GrayImage& image);

// The verdict's story for failure messages: what was read, why it failed.
std::string describe(const korvane::Verdict& v);

}  // namespace verifytest
