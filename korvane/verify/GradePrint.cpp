// The drawing as a printer prints it, for grade() to read and measure: on
// the printer's dot grid, dark grown or shrunk by the dot gain, blurred.

#include "GradeMeasure.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <tuple>

namespace korvane::detail {
namespace {

// Dark grows (or, negative, shrinks) by `r` pixels on every side: a running
// maximum (or minimum) over 2r + 1 pixels along rows, then along columns.
void spread(std::vector<std::uint8_t>& dark, int w, int h, int r) {
    if (r == 0)
        return;
    const bool grow = r > 0;
    r = std::abs(r);
    std::vector<std::uint8_t> out(dark.begin(), dark.end());
    // Along the rows: each pixel with its neighbours 1 .. r away on either
    // side, one distance at a time over the whole row.
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* line = dark.data() + static_cast<std::ptrdiff_t>(y) * w;
        std::uint8_t* target = out.data() + static_cast<std::ptrdiff_t>(y) * w;
        for (int k = 1; k <= r && k < w; ++k) {
            for (int i = 0; i + k < w; ++i) {
                target[i] = grow ? std::max(target[i], line[i + k]) : std::min(target[i], line[i + k]);
                target[i + k] = grow ? std::max(target[i + k], line[i]) : std::min(target[i + k], line[i]);
            }
        }
        // Outside the canvas is light: shrinking eats into dark at the border.
        if (!grow)
            for (int i = 0; i < w; ++i)
                if (i - r < 0 || i + r >= w)
                    target[i] = 0;
    }
    // Down the columns, a whole row at a time, which keeps to the memory's order.
    for (int y = 0; y < h; ++y) {
        std::uint8_t* target = dark.data() + static_cast<std::ptrdiff_t>(y) * w;
        if (!grow && (y - r < 0 || y + r >= h)) {
            std::fill(target, target + w, std::uint8_t{0});
            continue;
        }
        std::fill(target, target + w, std::uint8_t(grow ? 0 : 1));
        for (int k = std::max(0, y - r); k <= std::min(h - 1, y + r); ++k) {
            const std::uint8_t* source = out.data() + static_cast<std::ptrdiff_t>(k) * w;
            for (int x = 0; x < w; ++x)
                target[x] = grow ? std::max(target[x], source[x]) : std::min(target[x], source[x]);
        }
    }
}

// The drawing's rectangles on a w x h grid of `perDot` pixels a printer dot
// (1 ink), before any gain.
std::vector<std::uint8_t> drawnInk(const Drawing& d, const Printing& pr, int perDot, int w, int h) {
    std::vector<std::uint8_t> ink(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    for (const Rect& r : d.rects) {
        const int x0 = std::clamp(static_cast<int>(std::lround(r.x * pr.scale)) * perDot, 0, w);
        const int x1 = std::clamp(static_cast<int>(std::lround((r.x + r.width) * pr.scale)) * perDot, 0, w);
        const int y0 = std::clamp(static_cast<int>(std::lround(r.y * pr.scale)) * perDot, 0, h);
        const int y1 = std::clamp(static_cast<int>(std::lround((r.y + r.height) * pr.scale)) * perDot, 0, h);
        for (int y = y0; y < y1; ++y)
            std::fill(ink.begin() + static_cast<std::ptrdiff_t>(y) * w + x0, ink.begin() + static_cast<std::ptrdiff_t>(y) * w + x1, 1);
    }
    return ink;
}

// The ink's reflectances blurred along the rows into `rows`. Unblurred, a
// pixel is ink or not, so its blurred value depends only on which of the
// 2 half + 1 pixels around it are ink: with few enough of them, every
// pattern's sum is worked out once, term by term in convolve()'s order, and
// looked up.
void blurAlongRows(const std::vector<std::uint8_t>& ink, int w, int h, const std::vector<double>& blur, double darkR,
                   double light, double* rows) {
    const int half = static_cast<int>(blur.size() / 2);
    const int taps = 2 * half + 1;
    if (taps <= 12 && w > 0) {
        std::vector<double> sums(std::size_t{1} << taps);
        for (std::size_t pattern = 0; pattern < sums.size(); ++pattern) {
            double sum = 0;
            for (int j = 0; j < taps; ++j)
                sum += blur[static_cast<std::size_t>(j)] * ((pattern >> (taps - 1 - j)) & 1 ? darkR : light);
            sums[pattern] = sum;
        }
        const std::size_t mask = sums.size() - 1;
        for (int y = 0; y < h; ++y) {
            const std::uint8_t* in = ink.data() + static_cast<std::ptrdiff_t>(y) * w;
            double* out = rows + static_cast<std::ptrdiff_t>(y) * w;
            // The window of pixel x is x - half .. x + half, the line's ends continued.
            std::size_t pattern = 0;
            for (int j = -half; j <= half; ++j)
                pattern = (pattern << 1 | in[std::clamp(j, 0, w - 1)]) & mask;
            for (int x = 0; x < w; ++x) {
                out[x] = sums[pattern];
                pattern = (pattern << 1 | in[std::min(x + half + 1, w - 1)]) & mask;
            }
        }
        return;
    }
    std::vector<double> line(static_cast<std::size_t>(w));
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* in = ink.data() + static_cast<std::ptrdiff_t>(y) * w;
        for (int x = 0; x < w; ++x)
            line[static_cast<std::size_t>(x)] = in[x] ? darkR : light;
        convolve(line, blur);
        std::copy(line.begin(), line.end(), rows + static_cast<std::ptrdiff_t>(y) * w);
    }
}

// `rows` blurred down the columns into `refl`, a whole row at a time, which
// keeps to the memory's order; the first term stands for 0 plus itself.
void blurDownColumns(const double* rows, int w, int h, const std::vector<double>& blur, std::vector<double>& refl) {
    const int half = static_cast<int>(blur.size() / 2);
    for (int y = 0; y < h; ++y) {
        double* target = refl.data() + static_cast<std::ptrdiff_t>(y) * w;
        for (int k = -half; k <= half; ++k) {
            const double weight = blur[static_cast<std::size_t>(k + half)];
            const double* source = rows + static_cast<std::ptrdiff_t>(std::clamp(y + k, 0, h - 1)) * w;
            if (k == -half) {
                for (int x = 0; x < w; ++x)
                    target[x] = weight * source[x];
            } else {
                for (int x = 0; x < w; ++x)
                    target[x] += weight * source[x];
            }
        }
    }
}

}  // namespace

namespace {

// The reflectances of ink spread by `r` pixels (a whole number), blurred.
void inkReflectances(std::vector<std::uint8_t> ink, int w, int h, int r, const std::vector<double>& blur, double darkR,
                     double light, std::vector<double>& refl) {
    spread(ink, w, h, r);
    refl.resize(ink.size());
    if (blur.size() <= 1) {
        for (std::size_t i = 0; i < ink.size(); ++i)
            refl[i] = ink[i] ? darkR : light;
        return;
    }
    const std::unique_ptr<double[]> rows(new double[ink.size()]);
    blurAlongRows(ink, w, h, blur, darkR, light, rows.get());
    blurDownColumns(rows.get(), w, h, blur, refl);
}

}  // namespace

Printed printPicture(const Drawing& d, const Printing& pr) {
    Printed out;
    const double xDots = moduleDotsOf(d);
    int perDot = std::clamp(static_cast<int>(std::ceil(5 / (xDots * pr.scale))), 1, 8);
    const int dotsW = static_cast<int>(std::ceil(d.width * pr.scale)), dotsH = static_cast<int>(std::ceil(d.height * pr.scale));
    while (perDot > 1 && static_cast<long long>(dotsW) * perDot * dotsH * perDot > (1LL << 26))
        --perDot;
    const int w = dotsW * perDot, h = dotsH * perDot;
    if (w <= 0 || h <= 0 || static_cast<long long>(w) * h > (1LL << 26))
        return out;
    const double light = d.background.transparent() ? 1.0 : reflectanceOf(d.background);
    const double darkR = reflectanceOf(d.foreground);
    const std::vector<double> blur = gaussian(pr.blur * perDot);
    // Gain of a fraction of a pixel: the ink is spread by the whole pixels
    // below and above it, and the two prints mixed in proportion (reflectance
    // is linear in the ink, blur included), so that grades follow the gain
    // smoothly rather than in steps of a pixel.
    const double spreadBy = pr.gain * perDot;
    const int inner = static_cast<int>(std::floor(spreadBy));
    const double outerShare = spreadBy - inner;
    const std::vector<std::uint8_t> ink = drawnInk(d, pr, perDot, w, h);
    std::vector<double> refl, outer;
    inkReflectances(ink, w, h, inner, blur, darkR, light, refl);
    if (outerShare > 1e-9) {
        inkReflectances(ink, w, h, inner + 1, blur, darkR, light, outer);
        for (std::size_t i = 0; i < refl.size(); ++i)
            refl[i] += outerShare * (outer[i] - refl[i]);
    }
    std::tie(out.lo, out.hi) = lowHigh(refl);
    const double threshold = (out.lo + out.hi) / 2;
    out.reversed = darkR > light;  // light modules on a dark ground
    out.picture.width = w;
    out.picture.height = h;
    out.picture.pixels.resize(refl.size());
    for (std::size_t i = 0; i < refl.size(); ++i)
        out.picture.pixels[i] = (refl[i] < threshold) != out.reversed ? 0 : 255;
    out.light = light;
    out.perDot = perDot;
    out.refl = std::move(refl);
    out.ok = true;
    return out;
}

GrayRaster printedPicture(const Drawing& drawing, const PrinterProfile& profile) {
    return printPicture(drawing, printingOf(drawing, profile)).picture;
}

}  // namespace korvane::detail
