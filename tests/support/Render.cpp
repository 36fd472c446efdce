#include "Render.h"

#include <algorithm>

namespace testsupport {

GrayImage renderBars(const int* widths, const int* heights, int count, int scale, int quiet) {
    int total = 0;
    int tallest = 0;
    for (int i = 0; i < count; ++i) {
        total += widths[i];
        tallest = std::max(tallest, heights[i]);
    }
    GrayImage img;
    img.width = (total + 2 * quiet) * scale;
    img.height = (tallest + 2 * quiet) * scale;
    img.pixels.assign(static_cast<size_t>(img.width) * img.height, 255);
    int x = quiet;
    for (int i = 0; i < count; ++i) {
        if (i % 2 == 0) {
            for (int y = quiet * scale; y < (quiet + heights[i]) * scale; ++y)
                std::fill_n(img.pixels.begin() + static_cast<size_t>(y) * img.width + x * scale,
                            widths[i] * scale, 0);
        }
        x += widths[i];
    }
    return img;
}

GrayImage renderMatrix(const std::vector<bool>& dark, int rows, int cols, int scale, int quiet) {
    GrayImage img;
    img.width = (cols + 2 * quiet) * scale;
    img.height = (rows + 2 * quiet) * scale;
    img.pixels.assign(static_cast<size_t>(img.width) * img.height, 255);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            if (dark[static_cast<size_t>(r) * cols + c])
                for (int y = 0; y < scale; ++y)
                    std::fill_n(img.pixels.begin() +
                                    static_cast<size_t>((r + quiet) * scale + y) * img.width +
                                    (c + quiet) * scale,
                                scale, 0);
    return img;
}

}  // namespace testsupport
