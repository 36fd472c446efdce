// Rasterising a Drawing's rectangles into one byte per dot.

#include "korvane/Layout.h"
#include "korvane/Raster.h"

#include <algorithm>
#include <cstring>

namespace korvane {

Result<GrayRaster> rasterize(const Drawing& drawing, int scale) {
    if (scale < 1 || scale > 64)
        return Error{ErrorCode::InvalidOption, "the raster scale must be 1 to 64"};
    const long long w = static_cast<long long>(drawing.width) * scale;
    const long long h = static_cast<long long>(drawing.height) * scale;
    if (w <= 0 || h <= 0)
        return Error{ErrorCode::InvalidData, "the drawing is empty"};
    if (w * h > MAX_CANVAS_DOTS)
        return Error{ErrorCode::SizeTooLarge, "a raster of " + std::to_string(w) + " x " + std::to_string(h) +
                                                  " pixels is more than the 2^28 the library makes"};
    GrayRaster raster;
    raster.width = static_cast<int>(w);
    raster.height = static_cast<int>(h);
    raster.pixels.assign(static_cast<std::size_t>(w * h), 255);
    for (const Rect& r : drawing.rects) {
        // Clipped to the canvas, so a hand-made drawing cannot write outside it.
        const long long x0 = std::clamp<long long>(static_cast<long long>(r.x) * scale, 0, w);
        const long long x1 = std::clamp<long long>((static_cast<long long>(r.x) + r.width) * scale, 0, w);
        const long long y0 = std::clamp<long long>(static_cast<long long>(r.y) * scale, 0, h);
        const long long y1 = std::clamp<long long>((static_cast<long long>(r.y) + r.height) * scale, 0, h);
        if (x1 <= x0)
            continue;
        for (long long y = y0; y < y1; ++y)
            std::memset(&raster.pixels[static_cast<std::size_t>(y * w + x0)], 0, static_cast<std::size_t>(x1 - x0));
    }
    return raster;
}

}  // namespace korvane
