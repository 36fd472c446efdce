// Scan lines from a raster, or from a Drawing's rectangles.

#include "Lines.h"

#include <algorithm>
#include <utility>

namespace korvane::detail {
namespace {

// Appends a run of `length` pixels of the given colour, merging it with the
// last run when that has the same colour (runs alternate light, dark, ...).
void addRun(Runs& out, bool dark, int length) {
    if (length <= 0)
        return;
    const bool lastDark = out.size() % 2 == 0;  // out[0] is light, out[1] dark, ...
    if (lastDark == dark)
        out.back() += length;
    else
        out.push_back(length);
}

void finish(Runs& out) {
    if (out.size() % 2 == 0)
        out.push_back(0);  // end on a light run
}

}  // namespace

RasterLines::RasterLines(const GrayRaster& raster) : raster_(raster) {
    width_ = raster.width;
    height_ = raster.height;
}

void RasterLines::row(int y, Runs& out) const {
    out.assign(1, 0);
    for (int x = 0; x < width_; ++x)
        addRun(out, dark(x, y), 1);
    finish(out);
}

void RasterLines::column(int x, Runs& out) const {
    out.assign(1, 0);
    for (int y = 0; y < height_; ++y)
        addRun(out, dark(x, y), 1);
    finish(out);
}

bool RasterLines::darkSpan(bool vertical, int x, int y, int& from, int& to) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || !dark(x, y))
        return false;
    if (vertical) {
        from = y;
        to = y + 1;
        while (from > 0 && dark(x, from - 1))
            --from;
        while (to < height_ && dark(x, to))
            ++to;
    } else {
        from = x;
        to = x + 1;
        while (from > 0 && dark(from - 1, y))
            --from;
        while (to < width_ && dark(to, y))
            ++to;
    }
    return true;
}

RectLines::RectLines(const Drawing& drawing, int scale) : drawing_(drawing), scale_(scale) {
    width_ = drawing.width * scale;
    height_ = drawing.height * scale;
}

void RectLines::row(int y, Runs& out) const { line(false, y, out); }
void RectLines::column(int x, Runs& out) const { line(true, x, out); }

void RectLines::line(bool vertical, int at, Runs& out) const {
    // The dark stretches of the rectangles this line crosses, clipped to the
    // canvas, in order along the line.
    const long long length = vertical ? height_ : width_;
    std::vector<std::pair<long long, long long>> spans;
    bool sorted = true;
    for (const Rect& r : drawing_.rects) {
        const long long across0 = static_cast<long long>(vertical ? r.x : r.y) * scale_;
        const long long across1 = across0 + static_cast<long long>(vertical ? r.width : r.height) * scale_;
        if (at < across0 || at >= across1)
            continue;
        const long long from = std::max(0LL, static_cast<long long>(vertical ? r.y : r.x) * scale_);
        const long long to =
            std::min(length, (static_cast<long long>(vertical ? r.y : r.x) + (vertical ? r.height : r.width)) * scale_);
        if (to <= from)
            continue;
        if (!spans.empty() && from < spans.back().first)
            sorted = false;
        spans.emplace_back(from, to);
    }
    if (!sorted)
        std::sort(spans.begin(), spans.end());

    out.assign(1, 0);
    long long x = 0;
    for (const auto& [from, to] : spans) {
        if (to <= x)
            continue;  // inside a stretch already drawn
        const long long start = std::max(from, x);
        addRun(out, false, static_cast<int>(start - x));
        addRun(out, true, static_cast<int>(to - start));
        x = to;
    }
    addRun(out, false, static_cast<int>(length - x));
    finish(out);
}

const Rect* RectLines::covering(int x, int y) const {
    for (const Rect& r : drawing_.rects) {
        const long long x0 = static_cast<long long>(r.x) * scale_, y0 = static_cast<long long>(r.y) * scale_;
        if (x >= x0 && y >= y0 && x < x0 + static_cast<long long>(r.width) * scale_ &&
            y < y0 + static_cast<long long>(r.height) * scale_)
            return &r;
    }
    return nullptr;
}

bool RectLines::darkSpan(bool vertical, int x, int y, int& from, int& to) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return false;
    const Rect* r = covering(x, y);
    if (!r)
        return false;
    auto lo = [&](const Rect& q) { return static_cast<long long>(vertical ? q.y : q.x) * scale_; };
    auto hi = [&](const Rect& q) { return lo(q) + static_cast<long long>(vertical ? q.height : q.width) * scale_; };
    long long a = lo(*r), b = hi(*r);
    // Rectangles may meet end to end; follow them both ways. Each step moves
    // past a whole rectangle, so this ends.
    for (const Rect* next; b < (vertical ? height_ : width_) &&
                           (next = vertical ? covering(x, static_cast<int>(b)) : covering(static_cast<int>(b), y));)
        b = hi(*next);
    for (const Rect* prev; a > 0 && (prev = vertical ? covering(x, static_cast<int>(a - 1))
                                                     : covering(static_cast<int>(a - 1), y));)
        a = lo(*prev);
    from = static_cast<int>(std::max(0LL, a));
    to = static_cast<int>(std::min<long long>(b, vertical ? height_ : width_));
    return true;
}

}  // namespace korvane::detail
