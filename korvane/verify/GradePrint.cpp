// The drawing as a printer prints it, for grade() to read and measure: on
// the printer's dot grid, dark grown or shrunk by the dot gain, blurred.

#include "GradeMeasure.h"

#include <algorithm>
#include <cmath>
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

// The ink's reflectances blurred along the rows into `rows`. `level` is 0
// (paper), 1 (ink a fraction of a pixel deep: the outer ring of a gain
// between whole pixels) or 2 (ink) per pixel, `values` their reflectances.
// Unblurred, a pixel's value depends only on its level, so its blurred
// value depends only on the levels of the 2 half + 1 pixels around it: with
// few enough of them, every pattern's sum is worked out once, term by term
// in convolve()'s order, and looked up.
void blurAlongRows(const std::vector<std::uint8_t>& level, int w, int h, const std::vector<double>& blur,
                   const double (&values)[3], double* rows) {
    const int half = static_cast<int>(blur.size() / 2);
    const int taps = 2 * half + 1;
    std::size_t patterns = 1;
    for (int j = 0; j < taps && patterns <= 6561; ++j)
        patterns *= 3;
    if (patterns <= 6561 && w > 0) {  // 3^8
        std::vector<double> sums(patterns);
        for (std::size_t pattern = 0; pattern < sums.size(); ++pattern) {
            double sum = 0;
            std::size_t rest = pattern, weight = patterns / 3;
            for (int j = 0; j < taps; ++j, weight /= 3) {
                sum += blur[static_cast<std::size_t>(j)] * values[rest / weight];
                rest %= weight;
            }
            sums[pattern] = sum;
        }
        for (int y = 0; y < h; ++y) {
            const std::uint8_t* in = level.data() + static_cast<std::ptrdiff_t>(y) * w;
            double* out = rows + static_cast<std::ptrdiff_t>(y) * w;
            // The window of pixel x is x - half .. x + half, the line's ends continued.
            std::size_t pattern = 0;
            for (int j = -half; j <= half; ++j)
                pattern = (pattern * 3 + in[std::clamp(j, 0, w - 1)]) % patterns;
            const std::size_t lead = patterns / 3;  // the weight of the window's first pixel
            for (int x = 0; x < w; ++x) {
                out[x] = sums[pattern];
                pattern = (pattern - in[std::max(x - half, 0)] * lead) * 3 + in[std::min(x + half + 1, w - 1)];
            }
        }
        return;
    }
    std::vector<double> line(static_cast<std::size_t>(w));
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* in = level.data() + static_cast<std::ptrdiff_t>(y) * w;
        for (int x = 0; x < w; ++x)
            line[static_cast<std::size_t>(x)] = values[in[x]];
        convolve(line, blur);
        std::copy(line.begin(), line.end(), rows + static_cast<std::ptrdiff_t>(y) * w);
    }
}

// `refl`, blurred along its rows, blurred down its columns in place, a whole
// row at a time, which keeps to the memory's order: the rows above the one
// being worked out are kept as they were in a ring of `half` rows. The
// first term stands for 0 plus itself.
void blurDownColumns(Reflectances& refl, int w, int h, const std::vector<double>& blur) {
    const int half = static_cast<int>(blur.size() / 2);
    std::vector<double> ring(static_cast<std::size_t>(half) * static_cast<std::size_t>(w)), line(static_cast<std::size_t>(w));
    for (int y = 0; y < h; ++y) {
        double* target = line.data();
        for (int k = -half; k <= half; ++k) {
            const double weight = blur[static_cast<std::size_t>(k + half)];
            const int row = std::clamp(y + k, 0, h - 1);
            const double* source = row < y ? ring.data() + static_cast<std::ptrdiff_t>(row % half) * w
                                           : refl.data() + static_cast<std::ptrdiff_t>(row) * w;
            if (k == -half) {
                for (int x = 0; x < w; ++x)
                    target[x] = weight * source[x];
            } else {
                for (int x = 0; x < w; ++x)
                    target[x] += weight * source[x];
            }
        }
        double* here = refl.data() + static_cast<std::ptrdiff_t>(y) * w;
        std::copy(here, here + w, ring.data() + static_cast<std::ptrdiff_t>(y % half) * w);
        std::copy(line.begin(), line.end(), here);
    }
}

}  // namespace

namespace {

// The ink's level at every pixel (blurAlongRows) after a gain of `spreadBy`
// pixels: ink spread by the whole pixels below it, and the ring the next
// pixel would add as ink of the fraction's depth. Reflectance is linear in
// the ink, blur included, so the print is the mix of the two spreads.
std::vector<std::uint8_t> inkLevels(const std::vector<std::uint8_t>& drawn, int w, int h, int inner, bool ring) {
    std::vector<std::uint8_t> level = drawn;
    spread(level, w, h, inner);
    if (!ring) {
        for (std::uint8_t& v : level)
            v = static_cast<std::uint8_t>(2 * v);
        return level;
    }
    std::vector<std::uint8_t> outer = drawn;
    spread(outer, w, h, inner + 1);
    for (std::size_t i = 0; i < level.size(); ++i)
        level[i] = static_cast<std::uint8_t>(level[i] + outer[i]);
    return level;
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
    // Gain of a fraction of a pixel: the ink spread by the whole pixels below
    // and above it, the two prints mixed in proportion, so that grades follow
    // the gain smoothly rather than in steps of a pixel.
    const double spreadBy = pr.gain * perDot;
    const int inner = static_cast<int>(std::floor(spreadBy));
    const double ring = spreadBy - inner;
    const std::vector<std::uint8_t> level = inkLevels(drawnInk(d, pr, perDot, w, h), w, h, inner, ring > 1e-9);
    const double values[3] = {light, light + ring * (darkR - light), darkR};
    Reflectances refl(level.size());
    if (blur.size() <= 1) {
        for (std::size_t i = 0; i < level.size(); ++i)
            refl[i] = values[level[i]];
    } else {
        blurAlongRows(level, w, h, blur, values, refl.data());
        blurDownColumns(refl, w, h, blur);
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
