// What grade() measures: the drawing printed in simulation, scan reflectance
// profiles (ISO/IEC 15416) and module reflectances on a grid (ISO/IEC 15415).

#include "GradeMeasure.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <tuple>

namespace korvane::detail {

// ---------------------------------------------------------------- one profile

namespace {

// A stretch of samples on one side of GT: samples [from, to).
struct Element {
    bool dark;
    std::size_t from, to;
};

// Cuts the profile at GT into elements, the light ones first and last (a
// missing one is empty), and their widths into m.widths: edges are placed
// where the profile crosses GT, between samples.
std::vector<Element> cutAtThreshold(const std::vector<double>& r, ProfileMeasures& m) {
    std::vector<Element> elements;
    auto crossing = [&](std::size_t i) {  // the edge between samples i - 1 and i
        const double a = r[i - 1] - m.threshold, b = r[i] - m.threshold;
        return static_cast<double>(i - 1) + (a == b ? 0.5 : a / (a - b)) + 0.5;
    };
    if (r[0] < m.threshold) {
        elements.push_back({false, 0, 0});
        m.widths.push_back(0);
    }
    double start = 0;
    for (std::size_t i = 0; i < r.size(); ++i) {
        const bool dark = r[i] < m.threshold;
        if (!elements.empty() && elements.back().dark == dark && elements.back().to == i) {
            elements.back().to = i + 1;
            continue;
        }
        if (i > 0) {
            const double edge = crossing(i);
            m.widths.push_back(edge - start);
            start = edge;
        }
        elements.push_back({dark, i, i + 1});
    }
    m.widths.push_back(static_cast<double>(r.size()) - start);
    if (elements.back().dark) {
        elements.push_back({false, r.size(), r.size()});
        m.widths.push_back(0);
    }
    return elements;
}

// Each element's reflectance (a bar's least, a space's greatest) and its
// non-uniformity (ISO/IEC 15416 ERN): within a bar the highest peak above
// the lowest valley, where the peak has lower samples on both sides of it
// inside the bar (a rise into the next edge is no peak); spaces likewise
// upside down. Returns ERNmax.
double elementReflectances(const std::vector<double>& r, const std::vector<Element>& elements, ProfileMeasures& m) {
    std::vector<double>& extreme = m.reflectance;
    extreme.assign(elements.size(), 0);
    m.nonUniformity.assign(elements.size(), 0);
    std::vector<double> after;
    double ernMax = 0;
    for (std::size_t e = 0; e < elements.size(); ++e) {
        const Element& el = elements[e];
        if (el.from == el.to) {
            extreme[e] = m.rMax;
            continue;
        }
        const double sign = el.dark ? 1 : -1;  // bars: valleys are minima
        after.assign(el.to - el.from, 0);
        double low = 1e9;
        for (std::size_t i = el.to; i-- > el.from;) {
            low = std::min(low, sign * r[i]);
            after[i - el.from] = low;
        }
        double before = 1e9;
        for (std::size_t i = el.from; i < el.to; ++i) {
            before = std::min(before, sign * r[i]);
            const double v = sign * r[i], lowAfter = after[i - el.from];
            if (v > before && v > lowAfter)
                m.nonUniformity[e] = std::max(m.nonUniformity[e], v - std::min(before, lowAfter));
        }
        ernMax = std::max(ernMax, m.nonUniformity[e]);
        extreme[e] = sign * after[0];
    }
    return ernMax;
}

// Moves each edge between two elements to where the profile crosses the
// level midway between the space's reflectance and the bar's (ISO/IEC 15416),
// looked for between the last sample of one at its extreme and the first of
// the next at its own; the widths follow. Where the profile is lopsided
// (a grey bar beside a white space) this edge differs from GT's.
void placeEdges(const std::vector<double>& r, const std::vector<Element>& elements, ProfileMeasures& m) {
    std::vector<double> edges(m.widths.size() + 1, 0.0);
    for (std::size_t k = 0; k < m.widths.size(); ++k)
        edges[k + 1] = edges[k] + m.widths[k];
    for (std::size_t e = 0; e + 1 < elements.size(); ++e) {
        const Element& a = elements[e];
        const Element& b = elements[e + 1];
        if (a.from == a.to || b.from == b.to)
            continue;
        const double level = (m.reflectance[e] + m.reflectance[e + 1]) / 2;
        std::size_t from = a.to - 1;
        while (from > a.from && r[from] != m.reflectance[e])
            --from;
        std::size_t to = b.from;
        while (to + 1 < b.to && r[to] != m.reflectance[e + 1])
            ++to;
        // The first sample past the level on b's side.
        const double sign = a.dark ? 1 : -1;  // a bar rises into a space
        std::size_t i = from + 1;
        while (i < to && sign * (r[i] - level) < 0)
            ++i;
        const double x = r[i - 1] - level, y = r[i] - level;
        edges[e + 1] = static_cast<double>(i - 1) + (x == y ? 0.5 : x / (x - y)) + 0.5;
    }
    for (std::size_t k = 0; k < m.widths.size(); ++k)
        m.widths[k] = edges[k + 1] - edges[k];
}

}  // namespace

ProfileMeasures measureProfile(const std::vector<double>& r) {
    ProfileMeasures m;
    if (r.empty())
        return m;
    std::tie(m.rMin, m.rMax) = lowHigh(r);
    m.symbolContrast = m.rMax - m.rMin;
    m.threshold = m.rMin + m.symbolContrast / 2;
    if (m.symbolContrast <= 0)
        return m;
    const std::vector<Element> elements = cutAtThreshold(r, m);
    const double ernMax = elementReflectances(r, elements, m);
    placeEdges(r, elements, m);
    const std::vector<double>& extreme = m.reflectance;
    m.edgeContrastMin = elements.size() < 2 ? 0 : 1;
    for (std::size_t e = 0; e + 1 < elements.size(); ++e)
        m.edgeContrastMin = std::min(m.edgeContrastMin, std::fabs(extreme[e] - extreme[e + 1]));
    m.modulation = m.edgeContrastMin / m.symbolContrast;
    m.defects = ernMax / m.symbolContrast;
    return m;
}

double decodability(const std::vector<double>& measured, const std::vector<int>& nominal, double wideRatio) {
    const std::size_t n = nominal.size();
    if (n == 0 || measured.size() != n)
        return 0;
    // The module over the elements j - 3 ... j + 3.
    auto localModule = [&](std::size_t j) {
        const std::size_t from = j >= 3 ? j - 3 : 0, to = std::min(n, j + 4);
        double w = 0, modules = 0;
        for (std::size_t k = from; k < to; ++k) {
            w += measured[k];
            modules += nominal[k];
        }
        return modules > 0 ? w / modules : 0;
    };
    double v = 1;
    if (wideRatio > 0) {
        const double threshold = (1 + wideRatio) / 2, margin = (wideRatio - 1) / 2;
        for (std::size_t j = 0; j < n; ++j) {
            const double x = localModule(j);
            if (x <= 0)
                return 0;
            const double w = measured[j] / x;
            const double keep = nominal[j] > 1 ? (w - threshold) / margin : (threshold - w) / margin;
            v = std::min(v, keep);
        }
    } else {
        for (std::size_t j = 0; j + 1 < n; ++j) {
            const double x = localModule(j);
            if (x <= 0)
                return 0;
            const double e = (measured[j] + measured[j + 1]) / x;
            v = std::min(v, 1 - std::fabs(e - (nominal[j] + nominal[j + 1])) / 0.5);
        }
    }
    return std::clamp(v, 0.0, 1.0);
}

// ---------------------------------------------------------------- printing

double reflectanceOf(Colour c) {
    // The red component over white paper: verifiers light with 670 nm.
    const double a = c.a / 255.0;
    return (c.r * a + 255 * (1 - a)) / 255.0;
}

Printing printingOf(const Drawing& d, const PrinterProfile& p) {
    Printing out;
    const double drawingDpi = d.dpi > 0 ? d.dpi : 300;
    out.dpi = p.dpi > 0 ? p.dpi : drawingDpi;
    out.scale = out.dpi / drawingDpi;
    out.gain = p.dotGain;
    out.blur = p.blur;
    return out;
}

double moduleDotsOf(const Drawing& d) { return d.moduleDots > 0 ? d.moduleDots : 1; }
double xMmOf(const Drawing& d) { return moduleDotsOf(d) * 25.4 / (d.dpi > 0 ? d.dpi : 300); }

void convolve(std::vector<double>& v, const std::vector<double>& kernel) {
    if (kernel.size() <= 1 || v.empty())
        return;
    const int half = static_cast<int>(kernel.size() / 2), n = static_cast<int>(v.size());
    std::vector<double> out(v.size());
    const double* k = kernel.data() + half;
    auto edge = [&](int i) {
        double sum = 0;
        for (int j = -half; j <= half; ++j)
            sum += k[j] * v[static_cast<std::size_t>(std::clamp(i + j, 0, n - 1))];
        return sum;
    };
    for (int i = 0; i < std::min(half, n); ++i)
        out[static_cast<std::size_t>(i)] = edge(i);
    for (int i = half; i < n - half; ++i) {
        const double* at = v.data() + i;
        double sum = 0;
        for (int j = -half; j <= half; ++j)
            sum += k[j] * at[j];
        out[static_cast<std::size_t>(i)] = sum;
    }
    for (int i = std::max(half, n - half); i < n; ++i)
        out[static_cast<std::size_t>(i)] = edge(i);
    v.swap(out);
}

std::vector<double> gaussian(double sigma) {
    if (sigma <= 0.05)
        return {1};
    const int half = static_cast<int>(std::ceil(3 * sigma));
    std::vector<double> k(static_cast<std::size_t>(2 * half + 1));
    double sum = 0;
    for (int i = -half; i <= half; ++i)
        sum += k[static_cast<std::size_t>(i + half)] = std::exp(-0.5 * i * i / (sigma * sigma));
    for (double& x : k)
        x /= sum;
    return k;
}

std::vector<double> aperture(double d) {
    const double r = d / 2;
    if (r <= 0.5)
        return {1};
    const int half = static_cast<int>(std::floor(r));
    std::vector<double> k(static_cast<std::size_t>(2 * half + 1));
    double sum = 0;
    for (int i = -half; i <= half; ++i)
        sum += k[static_cast<std::size_t>(i + half)] = std::sqrt(std::max(0.0, r * r - i * i));
    for (double& x : k)
        x /= sum;
    return k;
}

// ---------------------------------------------------------------- scan lines

void barSpans(const Drawing& d, bool vertical, double at, const Printing& pr,
              std::vector<std::pair<double, double>>& spans) {
    spans.clear();
    const double scale = pr.scale, gain = pr.gain;  // locals: the spans' doubles might otherwise alias them
    for (const Rect& r : d.rects) {
        const double a0 = vertical ? r.x : r.y, a1 = a0 + (vertical ? r.width : r.height);
        if (at < a0 || at >= a1)
            continue;
        const double from = std::round((vertical ? r.y : r.x) * scale) - gain;
        const double to = std::round(((vertical ? r.y : r.x) + (vertical ? r.height : r.width)) * scale) + gain;
        spans.emplace_back(from, to);
    }
    std::sort(spans.begin(), spans.end());
}

void scanProfile(const std::vector<std::pair<double, double>>& spans, const ScanOptics& optics,
                 std::vector<double>& profile) {
    std::fill(profile.begin(), profile.end(), 0.0);
    // Locals: the profile's doubles might otherwise alias them.
    const int perDot = optics.perDot;
    const long long samples = optics.samples;
    const double light = optics.light, dark = optics.dark;
    double covered = -1e18;
    for (auto [from, to] : spans) {
        from = std::max(from, covered);  // overlapping growth counts once
        if (to <= from)
            continue;
        covered = to;
        const double f = from * perDot, t = to * perDot;
        for (long long i = std::max(0LL, static_cast<long long>(std::floor(f)));
             i < std::min(samples, static_cast<long long>(std::ceil(t))); ++i)
            profile[static_cast<std::size_t>(i)] +=
                std::min(t, static_cast<double>(i + 1)) - std::max(f, static_cast<double>(i));
    }
    convolve(profile, optics.blur);
    convolve(profile, optics.hole);
    for (double& v : profile)
        v = light - std::clamp(v, 0.0, 1.0) * (light - dark);
}

void lineProfile(const Printed& printed, int at, bool across, bool backwards, const std::vector<double>& hole,
                 std::vector<double>& line) {
    const int w = printed.picture.width;
    const int length = static_cast<int>(line.size());
    for (int p = 0; p < length; ++p) {
        const int along = backwards ? length - 1 - p : p;
        line[static_cast<std::size_t>(p)] =
            printed.refl[across ? static_cast<std::size_t>(at) * w + along : static_cast<std::size_t>(along) * w + at];
    }
    convolve(line, hole);
}

// ---------------------------------------------------------------- module grids

std::vector<double> moduleReflectances(const Printed& printed, const ModuleGrid& grid, int rows, int cols,
                                       double module) {
    const int w = printed.picture.width, h = printed.picture.height;
    const double* refl = printed.refl.data();
    const double light = printed.light;
    const double radius = 0.4 * module;
    std::vector<double> sampled(static_cast<std::size_t>(rows) * cols);
    const int reach = static_cast<int>(std::ceil(radius));
    for (int row = 0; row < rows; ++row)
        for (int col = 0; col < cols; ++col) {
            double px = 0, py = 0;
            grid.centre(row, col, px, py);
            double total = 0;
            int count = 0;
            for (int dy = -reach; dy <= reach; ++dy)
                for (int dx = -reach; dx <= reach; ++dx) {
                    const int x = static_cast<int>(std::floor(px)) + dx, y = static_cast<int>(std::floor(py)) + dy;
                    if (dx * dx + dy * dy > radius * radius || x < 0 || y < 0 || x >= w || y >= h)
                        continue;
                    total += refl[static_cast<std::size_t>(y) * w + x];
                    ++count;
                }
            sampled[static_cast<std::size_t>(row) * cols + col] = count ? total / count : light;
        }
    return sampled;
}

namespace {

bool darkPixel(const GrayRaster& picture, int x, int y) {
    return x >= 0 && y >= 0 && x < picture.width && y < picture.height &&
           picture.pixels[static_cast<std::size_t>(y) * picture.width + x] == 0;
}

// The dark runs along picture line `fixed` (a column when `alongY`) from
// `from` to `to`, `first` the centre of the line's first module and `step`
// the pitch, added into `out`.
void runsAlong(const GrayRaster& picture, bool alongY, int fixed, int from, int to, double first, double step,
               GridRuns& out) {
    const int w = picture.width, h = picture.height;
    const std::uint8_t* pixels = picture.pixels.data();
    auto darkAt = [&](int i) {
        const int xx = alongY ? fixed : i, yy = alongY ? i : fixed;
        return xx >= 0 && yy >= 0 && xx < w && yy < h && pixels[static_cast<std::size_t>(yy) * w + xx] == 0;
    };
    double offsetMost = out.offset, growthSum = out.growthSum;
    int runs = out.runs;
    for (int i = from; i < to;) {
        if (!darkAt(i)) {
            ++i;
            continue;
        }
        int end = i;
        while (end + 1 < to && darkAt(end + 1))
            ++end;
        const double length = end - i + 1;
        const int count = std::max(1, static_cast<int>(std::lround(length / step)));
        // Centres of runs of `count` modules lie at first + (j + (count - 1) / 2) m.
        const double centre = (i + end + 1) / 2.0, offset = (centre - first) / step - (count - 1) / 2.0;
        offsetMost = std::max(offsetMost, std::fabs(offset - std::round(offset)));
        growthSum += (length - count * step) / step;
        ++runs;
        i = end + 1;
    }
    out = {offsetMost, growthSum, runs};
}

}  // namespace

GridRuns gridRuns(const GrayRaster& picture, const ModuleGrid& grid, int rows, int cols, double stepAcross,
                  double stepDown) {
    GridRuns out;
    for (int pass = 0; pass < 2; ++pass) {
        const int lines = pass == 0 ? rows : cols, n = pass == 0 ? cols : rows;
        const double step = pass == 0 ? stepAcross : stepDown;
        for (int k = 0; k < lines; ++k) {
            // This line of modules in the picture: from its first module's centre to its last's.
            double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
            grid.centre(pass == 0 ? k : 0, pass == 0 ? 0 : k, x0, y0);
            grid.centre(pass == 0 ? k : n - 1, pass == 0 ? n - 1 : k, x1, y1);
            const bool alongY = std::fabs(y1 - y0) > std::fabs(x1 - x0);
            const int fixed = static_cast<int>(std::floor(alongY ? x0 : y0));
            const double first = std::min(alongY ? y0 : x0, alongY ? y1 : x1);
            const int from = static_cast<int>(std::floor(first - 0.5 * step)),
                      to = static_cast<int>(std::ceil(first + (n - 0.5) * step));
            runsAlong(picture, alongY, fixed, from, to, first, step, out);
        }
    }
    return out;
}

double aztecPitch(const GrayRaster& picture, const ModuleGrid& grid, int cols, int ring, bool vertical) {
    const int half = cols / 2;
    auto centreOf = [&](int x, int y, double& px, double& py) { grid.centre(y + half, x + half, px, py); };
    double a0 = 0, a1 = 0, b0 = 0, b1 = 0;
    centreOf(vertical ? 0 : -ring, vertical ? -ring : 0, a0, b0);
    centreOf(vertical ? 0 : ring, vertical ? ring : 0, a1, b1);
    // The dark run through each of the two points, along the axis in the picture.
    auto runCentre = [&](double px, double py, bool alongY) {
        int x = static_cast<int>(std::floor(px)), y = static_cast<int>(std::floor(py));
        auto darkAt = [&](int xx, int yy) { return darkPixel(picture, xx, yy); };
        int from = alongY ? y : x, to = from;
        while (alongY ? darkAt(x, from - 1) : darkAt(from - 1, y))
            --from;
        while (alongY ? darkAt(x, to + 1) : darkAt(to + 1, y))
            ++to;
        return (from + to + 1) / 2.0;
    };
    // Which picture axis this symbol axis lies on depends on the turn.
    const bool alongY = std::fabs(b1 - b0) > std::fabs(a1 - a0);
    const double c0 = runCentre(a0, b0, alongY), c1 = runCentre(a1, b1, alongY);
    return std::fabs(c1 - c0) / (2 * ring);
}

}  // namespace korvane::detail
