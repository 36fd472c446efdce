// Row-by-row coverage. A row is drawn again only when the set of items
// crossing it changes or a glyph crosses it; the rows through the bars of a
// linear symbol are all the same and cost nothing after the first.

#include "writers/Scanlines.h"

#include <algorithm>
#include <cstring>

namespace korvane::writers {
namespace {

// The darker of each pair of coverage values. The glyph bitmap and the row
// never overlap; saying so lets the compiler compare many bytes at a time.
void layOver(std::uint8_t* __restrict dst, const std::uint8_t* __restrict src, int count) {
    for (int i = 0; i < count; ++i)
        dst[i] = std::max(dst[i], src[i]);
}

}  // namespace

Scanlines::Scanlines(const Drawing& d, std::vector<PlacedGlyph> glyphs, bool bottomUp)
    : width_(d.width), height_(d.height), bottomUp_(bottomUp), glyphs_(std::move(glyphs)) {
    rects_.reserve(d.rects.size());
    for (const Rect& r : d.rects) {
        Rect c;
        if (clipToCanvas(r, d, c))
            rects_.push_back(c);
    }
    // Rows in traversal order: bottom-up turns row y into height - 1 - y.
    const auto span = [&](int top, int bottom, int index) {
        top = std::max(top, 0);
        bottom = std::min(bottom, height_);
        if (bottom <= top)
            return;
        items_.push_back(bottomUp_ ? Item{height_ - bottom, height_ - top, index} : Item{top, bottom, index});
    };
    items_.reserve(rects_.size() + glyphs_.size());
    for (std::size_t i = 0; i < rects_.size(); ++i)
        span(rects_[i].y, rects_[i].y + rects_[i].height, static_cast<int>(i));
    for (std::size_t i = 0; i < glyphs_.size(); ++i)
        span(glyphs_[i].top, glyphs_[i].top + glyphs_[i].bitmap->height, -1 - static_cast<int>(i));
    const auto byTop = [](const Item& a, const Item& b) { return a.top < b.top; };
    if (!std::is_sorted(items_.begin(), items_.end(), byTop))
        std::stable_sort(items_.begin(), items_.end(), byTop);
    row_.assign(static_cast<std::size_t>(width_), 0);
    base_.assign(static_cast<std::size_t>(width_), 0);
}

const std::uint8_t* Scanlines::next() {
    const int step = step_++;
    y_ = bottomUp_ ? height_ - 1 - step : step;
    bool changed = false;
    if (!active_.empty() && firstBottom_ <= step) {
        active_.erase(std::remove_if(active_.begin(), active_.end(), [&](const Item& it) { return it.bottom <= step; }),
                      active_.end());
        changed = true;
    }
    while (nextItem_ < items_.size() && items_[nextItem_].top <= step) {
        active_.push_back(items_[nextItem_++]);
        changed = true;
    }
    if (changed) {
        firstBottom_ = height_;
        activeGlyphs_ = 0;
        for (const Item& it : active_) {
            firstBottom_ = std::min(firstBottom_, it.bottom);
            activeGlyphs_ += it.index < 0;
        }
    }
    const bool glyphs = activeGlyphs_ > 0;
    redrawn_ = changed || glyphs || glyphsBefore_ || step == 0;
    glyphsBefore_ = glyphs;
    if (!redrawn_)
        return glyphs ? row_.data() : base_.data();

    // The rectangles change only where an item begins or ends; the glyphs
    // are laid over a copy of them.
    if (changed || step == 0) {
        std::memset(base_.data(), 0, base_.size());
        for (const Item& it : active_) {
            if (it.index < 0)
                continue;
            const Rect& r = rects_[static_cast<std::size_t>(it.index)];
            std::uint8_t* dst = base_.data() + r.x;
            if (r.width <= 16) {  // most bars: cheaper than a call
                for (int i = 0; i < r.width; ++i)
                    dst[i] = 255;
            } else {
                std::memset(dst, 255, static_cast<std::size_t>(r.width));
            }
        }
    }
    if (!glyphs)
        return base_.data();
    std::memcpy(row_.data(), base_.data(), row_.size());
    for (const Item& it : active_) {
        if (it.index >= 0)
            continue;
        const PlacedGlyph& g = glyphs_[static_cast<std::size_t>(-1 - it.index)];
        const GlyphBitmap& b = *g.bitmap;
        const int from = std::max(0, -g.left);
        const int to = std::min(b.width, width_ - g.left);
        const std::uint8_t* src = b.coverage.data() + static_cast<std::size_t>(y_ - g.top) * b.width + from;
        layOver(row_.data() + g.left + from, src, to - from);
    }
    return row_.data();
}

}  // namespace korvane::writers
