#pragma once
// Rendering of symbols into grayscale images for the independent decoders.

#include <cstdint>
#include <vector>

namespace testsupport {

// 8-bit grayscale image, row-major, 0 = black, 255 = white.
struct GrayImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

// Draws a linear symbol the way the EMF painter does: even-numbered elements are
// bars hanging from the top edge down to their height, odd ones are spaces.
// Every unit becomes `scale` pixels; `quiet` white units surround the symbol.
// A bar shorter than the tallest element leaves white below it.
GrayImage renderBars(const int* widths, const int* heights, int count, int scale = 3, int quiet = 12);

// Draws a module matrix; `dark(r, c)` is read for every module. `quiet` is in modules.
GrayImage renderMatrix(const std::vector<bool>& dark, int rows, int cols, int scale = 4, int quiet = 4);

}  // namespace testsupport
