#pragma once
// Scan lines: what a linear reader sees of a picture. A line is a row or a
// column turned into run lengths of light and dark; a source makes them from a
// raster, or straight from a Drawing's rectangles without rasterising the
// whole canvas.

#include "korvane/Drawing.h"
#include "korvane/Raster.h"

#include <vector>

namespace korvane::detail {

// Run lengths along one line in pixels: runs[0] is light (0 when the line
// starts dark), then dark, light, ...; the count is odd, so the line ends with
// a light run too (again possibly 0). The runs add up to the line's length.
using Runs = std::vector<int>;

class LineSource {
public:
    virtual ~LineSource() = default;

    int width() const { return width_; }
    int height() const { return height_; }

    virtual void row(int y, Runs& out) const = 0;
    virtual void column(int x, Runs& out) const = 0;

    // How far the dark stretches through points of a scan line reach across
    // it: for the row y = `at` (`column` false) the points (positions[i], at)
    // measured along their columns, for the column x = `at` the points
    // (at, positions[i]) measured along their rows. spans[i] = [from, to) in
    // pixels, {0, 0} where the point is light. Positions are in order.
    struct Span {
        int from = 0;
        int to = 0;
    };
    virtual void crossSpans(bool column, int at, const std::vector<int>& positions, std::vector<Span>& spans) const = 0;

protected:
    int width_ = 0;
    int height_ = 0;
};

// Lines through a raster; pixels below 128 are dark.
class RasterLines : public LineSource {
public:
    explicit RasterLines(const GrayRaster& raster);
    void row(int y, Runs& out) const override;
    void column(int x, Runs& out) const override;
    void crossSpans(bool column, int at, const std::vector<int>& positions, std::vector<Span>& spans) const override;

private:
    bool dark(int x, int y) const { return raster_.at(x, y) < 128; }
    const GrayRaster& raster_;
};

// Lines through a Drawing's rectangles at `scale` pixels per dot: the same
// pixels rasterize() would make, one line at a time.
class RectLines : public LineSource {
public:
    RectLines(const Drawing& drawing, int scale);
    void row(int y, Runs& out) const override;
    void column(int x, Runs& out) const override;
    void crossSpans(bool column, int at, const std::vector<int>& positions, std::vector<Span>& spans) const override;

private:
    void line(bool vertical, int at, Runs& out) const;
    const Drawing& drawing_;
    int scale_;
};

}  // namespace korvane::detail
