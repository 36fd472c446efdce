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

void RasterLines::crossSpans(bool column, int at, const std::vector<int>& positions, std::vector<Span>& spans) const {
    spans.assign(positions.size(), Span{});
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const int x = column ? at : positions[i], y = column ? positions[i] : at;
        if (x < 0 || y < 0 || x >= width_ || y >= height_ || !dark(x, y))
            continue;
        Span& s = spans[i];
        if (column) {  // a point of a column: measure along its row
            s.from = x;
            s.to = x + 1;
            while (s.from > 0 && dark(s.from - 1, y))
                --s.from;
            while (s.to < width_ && dark(s.to, y))
                ++s.to;
        } else {
            s.from = y;
            s.to = y + 1;
            while (s.from > 0 && dark(x, s.from - 1))
                --s.from;
            while (s.to < height_ && dark(x, s.to))
                ++s.to;
        }
    }
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

void RectLines::crossSpans(bool column, int at, const std::vector<int>& positions, std::vector<Span>& spans) const {
    // Along the line a rectangle covers [along0, along1), across it [across0, across1).
    struct Extent {
        long long along0, along1, across0, across1;
    };
    auto extentOf = [&](const Rect& r) {
        const long long x0 = static_cast<long long>(r.x) * scale_, y0 = static_cast<long long>(r.y) * scale_;
        const long long x1 = x0 + static_cast<long long>(r.width) * scale_;
        const long long y1 = y0 + static_cast<long long>(r.height) * scale_;
        return column ? Extent{y0, y1, x0, x1} : Extent{x0, x1, y0, y1};
    };
    const long long acrossLength = column ? width_ : height_;
    // The points each rectangle holds: a range of `positions`.
    auto pointsIn = [&](long long from, long long to) {
        const auto first = std::lower_bound(positions.begin(), positions.end(), from);
        const auto last = std::lower_bound(first, positions.end(), to);
        return std::make_pair(static_cast<std::size_t>(first - positions.begin()),
                              static_cast<std::size_t>(last - positions.begin()));
    };
    spans.assign(positions.size(), Span{});
    std::vector<bool> seen(positions.size(), false);
    for (const Rect& r : drawing_.rects) {
        const Extent e = extentOf(r);
        if (at < e.across0 || at >= e.across1)
            continue;
        const auto [first, last] = pointsIn(e.along0, e.along1);
        for (std::size_t i = first; i < last; ++i) {
            spans[i] = {static_cast<int>(std::max(0LL, e.across0)), static_cast<int>(std::min(acrossLength, e.across1))};
            seen[i] = true;
        }
    }
    // Rectangles may meet end to end across the line; follow them until no
    // stretch grows. Each round grows a stretch by a whole rectangle, so this ends.
    for (bool grew = true; grew;) {
        grew = false;
        for (const Rect& r : drawing_.rects) {
            const Extent e = extentOf(r);
            if (at >= e.across0 && at < e.across1)
                continue;  // on the line: found above, and rectangles never overlap
            const auto [first, last] = pointsIn(e.along0, e.along1);
            for (std::size_t i = first; i < last; ++i) {
                Span& s = spans[i];
                if (!seen[i])
                    continue;
                if (e.across0 == s.to && e.across1 > s.to) {
                    s.to = static_cast<int>(std::min(acrossLength, e.across1));
                    grew = true;
                }
                if (e.across1 == s.from && e.across0 < s.from) {
                    s.from = static_cast<int>(std::max(0LL, e.across0));
                    grew = true;
                }
            }
        }
    }
}

}  // namespace korvane::detail
