#pragma once
// The raster formats' pixels, one row at a time: the coverage of the
// foreground (0 background to 255 foreground) from the rectangles and the
// placed glyphs. Rows come in order, top-down or bottom-up, so a writer needs
// memory for one row and its output, never for the whole picture.

#include "writers/TextRaster.h"

#include <vector>

namespace korvane::writers {

class Scanlines {
public:
    Scanlines(const Drawing& drawing, std::vector<PlacedGlyph> glyphs, bool bottomUp);

    // The next row's coverage, `width` bytes: the top row first (or the
    // bottom row first when bottomUp). Valid until the next call.
    const std::uint8_t* next();
    // The canvas row the last next() returned.
    int y() const { return y_; }
    // Whether that row may differ from the one before it.
    bool redrawn() const { return redrawn_; }

private:
    struct Item {
        int top, bottom;  // rows [top, bottom) in the order of traversal
        int index;        // into rects_ (>= 0) or glyphs_ (-1 - i)
    };

    int width_, height_;
    bool bottomUp_;
    std::vector<Rect> rects_;
    std::vector<PlacedGlyph> glyphs_;
    std::vector<Item> items_;       // by top, in traversal order
    std::size_t nextItem_ = 0;
    std::vector<Item> active_;
    int firstBottom_ = 0;           // where the first active item ends
    int activeGlyphs_ = 0;
    std::vector<std::uint8_t> base_;  // the rectangles of the current row
    std::vector<std::uint8_t> row_;   // with the glyphs over them
    int step_ = 0;                  // rows handed out
    int y_ = -1;
    bool glyphsBefore_ = true;      // the last row had glyphs (or there was none): redraw
    bool redrawn_ = true;
};

}  // namespace korvane::writers
