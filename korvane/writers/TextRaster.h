#pragma once
// Text of the raster formats: each glyph of the drawing's text runs rendered
// with FreeType into a coverage bitmap placed (and turned) on the canvas.

#include "writers/Writers.h"

#include <memory>
#include <vector>

namespace korvane::writers {

struct GlyphBitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage;  // row-major, 0 none to 255 full
};

struct PlacedGlyph {
    int left = 0;  // canvas pixels of the bitmap's top-left corner
    int top = 0;
    std::shared_ptr<const GlyphBitmap> bitmap;
};

struct RasterText {
    std::vector<PlacedGlyph> glyphs;
    std::vector<std::string> warnings;
};

// The glyphs of every drawable text run. Fonts: WriteOptions::fontFile when
// it loads, else the built-in OCR-B for Font::OcrB and DejaVu Sans for
// Font::Sans (and for the characters OCR-B lacks); no system font is looked
// for. A character no font has is drawn as the font's box, with a warning
// naming `format` and the first such character. Should FreeType fail to start,
// the result has no glyphs and a warning ("no font could be loaded; the PNG
// has no text"). Glyphs outside the canvas are dropped.
RasterText rasterizeText(const Drawing& drawing, const WriteOptions& options, const char* format);

}  // namespace korvane::writers
