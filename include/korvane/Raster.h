#pragma once
// Rasterising a Drawing's rectangles: the dots a printer would mark.

#include "Export.h"
#include "Drawing.h"
#include "Result.h"

#include <cstdint>
#include <vector>

namespace korvane {

// One byte per dot, row-major, top row first: 0 where the foreground is drawn
// (a dark dot), 255 elsewhere. Text is not drawn.
struct GrayRaster {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;

    std::uint8_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// `scale` dots of the raster per dot of the drawing (1-64). Refuses a raster
// over MAX_CANVAS_DOTS before allocating it.
KORVANE_API Result<GrayRaster> rasterize(const Drawing& drawing, int scale = 1);

}  // namespace korvane
