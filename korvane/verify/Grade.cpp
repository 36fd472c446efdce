// grade(): a drawing printed in simulation and measured as a verifier
// measures it, by ISO/IEC 15416 (linear) and ISO/IEC 15415 (matrix).

#include "korvane/Grade.h"

#include "korvane/Layout.h"
#include "Linear.h"
#include "Quality.h"
#include "Readers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace korvane {
namespace {

// The least and the greatest of the values (0 and 0 for none), in one pass
// over their pointer: std::minmax_element's iterators and comparisons are a
// call each at -Oz (the npm module), where they took a sixth of a grade.
std::pair<double, double> lowHigh(const std::vector<double>& v) {
    if (v.empty())
        return {0, 0};
    const double* p = v.data();
    double low = p[0], high = p[0];
    for (std::size_t i = 1; i < v.size(); ++i) {
        low = p[i] < low ? p[i] : low;
        high = high < p[i] ? p[i] : high;
    }
    return {low, high};
}

}  // namespace

namespace detail {

int GradeScale::gradeOf(double v) const {
    const double limits[] = {a, b, c, d};
    for (int k = 0; k < 4; ++k)
        if (lowerIsBetter ? v <= limits[k] + 1e-9 : v >= limits[k] - 1e-9)
            return 4 - k;
    return 0;
}

ProfileMeasures measureProfile(const std::vector<double>& r) {
    ProfileMeasures m;
    if (r.empty())
        return m;
    std::tie(m.rMin, m.rMax) = lowHigh(r);
    m.symbolContrast = m.rMax - m.rMin;
    m.threshold = m.rMin + m.symbolContrast / 2;
    if (m.symbolContrast <= 0)
        return m;
    // Elements: stretches of samples on one side of GT, the light ones first
    // and last (a missing one is empty).
    struct Element {
        bool dark;
        std::size_t from, to;  // samples [from, to)
    };
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
    // Each element's reflectance (a bar's least, a space's greatest) and its
    // non-uniformity (ISO/IEC 15416 ERN): within a bar the highest peak above
    // the lowest valley, where the peak has lower samples on both sides of it
    // inside the bar (a rise into the next edge is no peak); spaces likewise
    // upside down.
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

}  // namespace detail

namespace {

using detail::GradeScale;

// Aperture reference numbers of ISO/IEC 15416 (thousandths of an inch).
constexpr int APERTURES[] = {3, 5, 6, 10, 20};
constexpr double MM_PER_MIL = 0.0254;

struct Named {
    const char* name;
    double dpi, gain, blur;
};
// Typical figures: direct thermal heads smear less than half a dot; toner
// spreads about 0.02 mm (half a dot at 600 dpi).
constexpr Named PROFILES[] = {
    {"ideal", 0, 0, 0},
    {"thermal203", 203, 0.3, 0.3},
    {"thermal300", 300, 0.3, 0.3},
    {"laser600", 600, 0.5, 0.5},
};

// A number of printer dots, or millimetres with "mm" at `dpi`.
bool parseDots(std::string_view s, double dpi, double& out) {
    bool mm = false;
    if (s.size() > 2 && s.substr(s.size() - 2) == "mm") {
        mm = true;
        s.remove_suffix(2);
    }
    const std::string text(s);
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(v))
        return false;
    out = mm ? v * dpi / 25.4 : v;
    return true;
}

bool isTwoWidth(Symbology s) {
    switch (s) {
    case Symbology::Code39:
    case Symbology::Code39Extended:
    case Symbology::Codabar:
    case Symbology::Code11:
    case Symbology::Msi:
    case Symbology::Interleaved2of5:
    case Symbology::Industrial2of5:
    case Symbology::Matrix2of5: return true;
    default: return false;
    }
}

double reflectanceOf(Colour c) {
    // The red component over white paper: verifiers light with 670 nm.
    const double a = c.a / 255.0;
    return (c.r * a + 255 * (1 - a)) / 255.0;
}

QualityParameter parameter(const char* name, double value, int grade, bool informative = false) {
    return QualityParameter{name, value, grade, informative};
}

std::string gradeText(double grade, int aperture, int wavelength) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.1f/%02d/%d", grade, aperture, wavelength);
    return buf;
}

// The printer's view of the drawing: dots per drawing dot, and dots per inch.
struct Printing {
    double scale = 1;  // printer dots per drawing dot
    double dpi = 300;  // printer dots per inch (300 when the drawing has no resolution)
    double gain = 0, blur = 0;
};

Printing printingOf(const Drawing& d, const PrinterProfile& p) {
    Printing out;
    const double drawingDpi = d.dpi > 0 ? d.dpi : 300;
    out.dpi = p.dpi > 0 ? p.dpi : drawingDpi;
    out.scale = out.dpi / drawingDpi;
    out.gain = p.dotGain;
    out.blur = p.blur;
    return out;
}

// Separable smoothing of a line of samples by `kernel` (odd length, centred),
// the ends continued with their last value.
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

// A circular aperture of diameter `d` samples seen along a line across
// edges that run at right angles to it: each offset weighs as the chord there.
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

// ---------------------------------------------------------------- linear

// Elements of the symbol without its add-on, and its module count.
std::vector<int> mainElements(const Symbol& s, int& modules) {
    std::vector<int> out;
    modules = 0;
    for (std::size_t i = 0; i < s.widths.size(); ++i) {
        if (s.addOnStartModule >= 0 && modules >= s.addOnStartModule)
            break;
        out.push_back(s.widths[i]);
        modules += s.widths[i];
    }
    if (out.size() % 2 == 0 && !out.empty()) {  // ends on the space before the add-on
        modules -= out.back();
        out.pop_back();
    }
    return out;
}

int apertureFor(const Symbol& s, double xMm) {
    const bool retail = s.symbology == Symbology::Ean13 || s.symbology == Symbology::Ean8 ||
                        s.symbology == Symbology::UpcA || s.symbology == Symbology::UpcE;
    // GS1: 6 mils for EAN/UPC, and for GS1-128 below X 0.495 mm (10 above).
    if (retail || (s.symbology == Symbology::Gs1_128 && xMm < 0.495))
        return 6;
    if (s.symbology == Symbology::Gs1_128)
        return 10;
    int best = APERTURES[0];
    for (int a : APERTURES)
        if (a * MM_PER_MIL <= 0.8 * xMm + 1e-9)
            best = a;
    return best;
}

// The drawing's module in its dots (1 where it draws in pixels of no set
// module), and in millimetres at its resolution (300 dpi where it has none).
double moduleDotsOf(const Drawing& d) { return d.moduleDots > 0 ? d.moduleDots : 1; }
double xMmOf(const Drawing& d) { return moduleDotsOf(d) * 25.4 / (d.dpi > 0 ? d.dpi : 300); }

QualityGrade gradeLinear(const Drawing& d, const Symbol& s, const PrinterProfile& profile) {
    QualityGrade q;
    q.standard = "ISO/IEC 15416";
    q.profile = profile;
    const Printing pr = printingOf(d, profile);
    const bool vertical = d.rotation == 90 || d.rotation == 270;
    const int length = vertical ? d.height : d.width;
    // The bars' extent across the scan lines: the one most bars share.
    std::vector<int> starts, ends;
    for (const Rect& r : d.rects) {
        starts.push_back(vertical ? r.x : r.y);
        ends.push_back(vertical ? r.x + r.width : r.y + r.height);
    }
    std::nth_element(starts.begin(), starts.begin() + static_cast<std::ptrdiff_t>(starts.size() / 2), starts.end());
    std::nth_element(ends.begin(), ends.begin() + static_cast<std::ptrdiff_t>(ends.size() / 2), ends.end());
    const double top = starts[starts.size() / 2], bottom = ends[ends.size() / 2];

    const double xDots = moduleDotsOf(d);
    const double xMm = xMmOf(d);
    q.aperture = apertureFor(s, xMm);
    // Samples per printer dot: at least 8 a module (edges fall between
    // samples, so widths are measured finer than that).
    const int perDot = std::clamp(static_cast<int>(std::ceil(8 / (xDots * pr.scale))), 2, 32);
    const double samplesPerMm = perDot * pr.dpi / 25.4;
    const std::vector<double> blur = gaussian(pr.blur * perDot);
    const std::vector<double> hole = aperture(q.aperture * MM_PER_MIL * samplesPerMm);
    const double light = d.background.transparent() ? 1.0 : reflectanceOf(d.background);
    const double dark = reflectanceOf(d.foreground);

    int modules = 0;
    const std::vector<int> nominal = mainElements(s, modules);
    const detail::QuietZone quiet = detail::quietZoneOf(s.symbology);
    const double ratio = isTwoWidth(s.symbology) ? (s.wideRatio > 0 ? s.wideRatio
                                                                    : *std::max_element(nominal.begin(), nominal.end()))
                                                 : 0;
    detail::LinearReadOptions options;
    options.check = !s.facts.checkCharacters.empty();
    options.msiCheckDigits = static_cast<int>(s.facts.checkCharacters.size());

    const long long samples = static_cast<long long>(std::ceil(length * pr.scale)) * perDot;
    // 16 million samples: a scan line 5 m long at 600 dpi.
    if (samples <= 0 || samples > (1LL << 24)) {
        q.reason = "the printed scan line would be too long to grade";
        return q;
    }
    std::vector<std::pair<double, double>> spans, previousSpans;
    std::vector<double> profileLine(static_cast<std::size_t>(samples));
    constexpr int SCAN_LINES = 10;
    struct Worst {
        double value;
        int grade;
    };
    std::vector<Worst> worst;
    double sum = 0;
    for (int line = 0; line < SCAN_LINES; ++line) {
        const double at = top + (bottom - top) * (0.1 + 0.8 * (line + 0.5) / SCAN_LINES);
        // The dark stretches along the line, on the printer's dot grid, spread by the gain.
        spans.clear();
        for (const Rect& r : d.rects) {
            const double a0 = vertical ? r.x : r.y, a1 = a0 + (vertical ? r.width : r.height);
            if (at < a0 || at >= a1)
                continue;
            const double from = std::round((vertical ? r.y : r.x) * pr.scale) - pr.gain;
            const double to = std::round(((vertical ? r.y : r.x) + (vertical ? r.height : r.width)) * pr.scale) + pr.gain;
            spans.emplace_back(from, to);
        }
        std::sort(spans.begin(), spans.end());
        // Lines that cross the same bars measure the same: most lines of a
        // symbol whose bars are all alike.
        if (!q.scans.empty() && spans == previousSpans) {
            ScanGrade again = q.scans.back();
            sum += again.grade;
            q.scans.push_back(std::move(again));
            continue;
        }
        previousSpans = spans;
        std::fill(profileLine.begin(), profileLine.end(), 0.0);
        double covered = -1e18;
        for (auto [from, to] : spans) {
            from = std::max(from, covered);  // overlapping growth counts once
            if (to <= from)
                continue;
            covered = to;
            const double f = from * perDot, t = to * perDot;
            for (long long i = std::max(0LL, static_cast<long long>(std::floor(f)));
                 i < std::min(samples, static_cast<long long>(std::ceil(t))); ++i)
                profileLine[static_cast<std::size_t>(i)] +=
                    std::min(t, static_cast<double>(i + 1)) - std::max(f, static_cast<double>(i));
        }
        convolve(profileLine, blur);
        convolve(profileLine, hole);
        for (double& v : profileLine)
            v = light - std::clamp(v, 0.0, 1.0) * (light - dark);

        const detail::ProfileMeasures m = detail::measureProfile(profileLine);
        // Decode: the profile cut at GT, read by the library's reader.
        GrayRaster row;
        row.width = static_cast<int>(samples);
        row.height = 1;
        row.pixels.resize(profileLine.size());
        for (std::size_t i = 0; i < profileLine.size(); ++i)
            row.pixels[i] = profileLine[i] < m.threshold ? 0 : 255;
        const detail::Reading reading = detail::readLinear(row, s.symbology, options);
        const bool decoded = reading.ok && reading.data == s.facts.data && m.symbolContrast > 0;
        if (!decoded && q.reason.empty())
            q.reason = "scan line " + std::to_string(line + 1) + ": " +
                       (reading.ok ? "reads other data" : reading.failure);

        // The main symbol's elements from its first bar, in either direction.
        double v = 0, quietBefore = 0, quietAfter = 0;
        const std::size_t count = nominal.size();
        if (m.widths.size() >= count + 2 && count > 0) {
            for (int direction = 0; direction < 2; ++direction) {
                std::vector<double> w(m.widths.begin(), m.widths.end());
                if (direction == 1)
                    std::reverse(w.begin(), w.end());
                const std::vector<double> elements(w.begin() + 1, w.begin() + 1 + static_cast<std::ptrdiff_t>(count));
                const double vd = detail::decodability(elements, nominal, ratio);
                if (vd >= v) {
                    double total = 0;
                    for (double e : elements)
                        total += e;
                    const double x = total / modules;
                    v = vd;
                    quietBefore = w.front() / x;
                    quietAfter = w[count + 1] / x;
                }
            }
        }
        const bool quietOk = quietBefore >= quiet.before - 0.5 && quietAfter >= quiet.after - 0.5;
        ScanGrade scan;
        scan.parameters = {
            parameter("decode", decoded ? 1 : 0, decoded ? 4 : 0),
            parameter("symbol contrast", m.symbolContrast, detail::SYMBOL_CONTRAST.gradeOf(m.symbolContrast)),
            parameter("minimum reflectance", m.rMin, m.rMin <= detail::MAX_RMIN_SHARE * m.rMax ? 4 : 0),
            parameter("minimum edge contrast", m.edgeContrastMin,
                      m.edgeContrastMin >= detail::MIN_EDGE_CONTRAST - 1e-9 ? 4 : 0),
            parameter("modulation", m.modulation, detail::MODULATION_LINEAR.gradeOf(m.modulation)),
            parameter("defects", m.defects, detail::DEFECTS.gradeOf(m.defects)),
            parameter("decodability", v, detail::DECODABILITY.gradeOf(v)),
            parameter("quiet zones", std::min(quietBefore / quiet.before, quietAfter / quiet.after), quietOk ? 4 : 0),
        };
        scan.grade = 4;
        for (const QualityParameter& p : scan.parameters)
            scan.grade = std::min(scan.grade, p.grade);
        if (!decoded)
            scan.grade = 0;
        if (worst.empty())
            for (const QualityParameter& p : scan.parameters)
                worst.push_back({p.value, p.grade});
        for (std::size_t k = 0; k < scan.parameters.size(); ++k)
            if (scan.parameters[k].grade < worst[k].grade ||
                (scan.parameters[k].grade == worst[k].grade &&
                 (k == 5 ? scan.parameters[k].value > worst[k].value : scan.parameters[k].value < worst[k].value)))
                worst[k] = {scan.parameters[k].value, scan.parameters[k].grade};
        sum += scan.grade;
        q.scans.push_back(std::move(scan));
    }
    for (std::size_t k = 0; k < worst.size(); ++k)
        q.parameters.push_back(parameter(q.scans[0].parameters[k].name.c_str(), worst[k].value, worst[k].grade));
    q.graded = true;
    q.grade = std::round(sum / SCAN_LINES * 10) / 10;
    return q;
}

// ---------------------------------------------------------------- matrix

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

// The drawing as the printer prints it, at `perDot` pixels a printer dot (at
// least 5 a module: enough for the reader and for an aperture of 0.8 X):
// reflectances, and the picture cut at the global threshold.
struct Printed {
    bool ok = false;  // false: too large
    std::vector<double> refl;
    GrayRaster picture;
    double lo = 0, hi = 0, light = 1;
    bool reversed = false;
    int perDot = 1;  // pixels a printer dot
};

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
    std::vector<std::uint8_t> ink(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    for (const Rect& r : d.rects) {
        const int x0 = std::clamp(static_cast<int>(std::lround(r.x * pr.scale)) * perDot, 0, w);
        const int x1 = std::clamp(static_cast<int>(std::lround((r.x + r.width) * pr.scale)) * perDot, 0, w);
        const int y0 = std::clamp(static_cast<int>(std::lround(r.y * pr.scale)) * perDot, 0, h);
        const int y1 = std::clamp(static_cast<int>(std::lround((r.y + r.height) * pr.scale)) * perDot, 0, h);
        for (int y = y0; y < y1; ++y)
            std::fill(ink.begin() + static_cast<std::ptrdiff_t>(y) * w + x0, ink.begin() + static_cast<std::ptrdiff_t>(y) * w + x1, 1);
    }
    spread(ink, w, h, static_cast<int>(std::lround(pr.gain * perDot)));
    const double light = d.background.transparent() ? 1.0 : reflectanceOf(d.background);
    const double darkR = reflectanceOf(d.foreground);
    std::vector<double> refl(ink.size());
    const std::vector<double> blur = gaussian(pr.blur * perDot);
    const int half = static_cast<int>(blur.size() / 2);
    if (blur.size() <= 1) {
        for (std::size_t i = 0; i < ink.size(); ++i)
            refl[i] = ink[i] ? darkR : light;
    } else {
        // Along the rows. Unblurred, a pixel is ink or not, so its blurred
        // value depends only on which of the 2 half + 1 pixels around it are
        // ink: with few enough of them, every pattern's sum is worked out
        // once, term by term in convolve()'s order, and looked up.
        const std::unique_ptr<double[]> rows(new double[ink.size()]);
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
                double* out = rows.get() + static_cast<std::ptrdiff_t>(y) * w;
                // The window of pixel x is x - half .. x + half, the line's ends continued.
                std::size_t pattern = 0;
                for (int j = -half; j <= half; ++j)
                    pattern = (pattern << 1 | in[std::clamp(j, 0, w - 1)]) & mask;
                for (int x = 0; x < w; ++x) {
                    out[x] = sums[pattern];
                    pattern = (pattern << 1 | in[std::min(x + half + 1, w - 1)]) & mask;
                }
            }
        } else {
            std::vector<double> line(static_cast<std::size_t>(w));
            for (int y = 0; y < h; ++y) {
                const std::uint8_t* in = ink.data() + static_cast<std::ptrdiff_t>(y) * w;
                for (int x = 0; x < w; ++x)
                    line[static_cast<std::size_t>(x)] = in[x] ? darkR : light;
                convolve(line, blur);
                std::copy(line.begin(), line.end(), rows.get() + static_cast<std::ptrdiff_t>(y) * w);
            }
        }
        // Down the columns a whole row at a time, which keeps to the memory's
        // order; the first term stands for 0 plus itself.
        for (int y = 0; y < h; ++y) {
            double* target = refl.data() + static_cast<std::ptrdiff_t>(y) * w;
            for (int k = -half; k <= half; ++k) {
                const double weight = blur[static_cast<std::size_t>(k + half)];
                const double* source = rows.get() + static_cast<std::ptrdiff_t>(std::clamp(y + k, 0, h - 1)) * w;
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


// A group of fixed-pattern modules graded together (QR Code, Data Matrix).
struct Segment {
    std::vector<std::pair<int, int>> modules;  // (row, column)
    int alternative = -1;  // the index of a redundant copy: the better of the two counts
};

void addModules(Segment& s, int row0, int col0, int rows, int cols) {
    for (int r = row0; r < row0 + rows; ++r)
        for (int c = col0; c < col0 + cols; ++c)
            s.modules.emplace_back(r, c);
}

// QR Code's fixed patterns: each finder with its separator, the two timing
// patterns between the separators, each alignment pattern, and the format
// and version information (two copies each, the better one counting).
std::vector<Segment> qrSegments(int version) {
    const int n = 17 + 4 * version;
    std::vector<Segment> out;
    Segment seg;
    for (const auto& [r, c] : {std::pair{0, 0}, std::pair{0, n - 8}, std::pair{n - 8, 0}}) {
        seg = {};
        addModules(seg, r, c, 8, 8);
        out.push_back(seg);
    }
    seg = {};
    addModules(seg, 6, 8, 1, n - 16);
    out.push_back(seg);
    seg = {};
    addModules(seg, 8, 6, n - 16, 1);
    out.push_back(seg);
    const std::vector<int> centres = detail::qrAlignmentCentres(version);
    for (int a : centres)
        for (int b : centres) {
            if ((a < 10 && b < 10) || (a < 10 && b > n - 10) || (a > n - 10 && b < 10))
                continue;
            seg = {};
            addModules(seg, a - 2, b - 2, 5, 5);
            out.push_back(seg);
        }
    auto copies = [&](Segment first, Segment second) {
        first.alternative = static_cast<int>(out.size()) + 1;
        second.alternative = static_cast<int>(out.size());
        out.push_back(std::move(first));
        out.push_back(std::move(second));
    };
    Segment f1, f2;
    addModules(f1, 8, 0, 1, 6);
    addModules(f1, 8, 7, 1, 2);
    addModules(f1, 7, 8, 1, 1);
    addModules(f1, 0, 8, 6, 1);
    addModules(f2, n - 7, 8, 7, 1);
    addModules(f2, 8, n - 8, 1, 8);
    copies(std::move(f1), std::move(f2));
    if (version >= 7) {
        Segment v1, v2;
        addModules(v1, 0, n - 11, 6, 3);
        addModules(v2, n - 11, 0, 3, 6);
        copies(std::move(v1), std::move(v2));
    }
    return out;
}

// Data Matrix's fixed patterns: the two sides of the L, the two clock
// tracks, and each row and column of the frames between data regions (the
// lines no codeword crosses).
std::vector<Segment> dataMatrixSegments(int rows, int cols, const std::vector<std::pair<int, int>>& codewordModules) {
    std::vector<Segment> out(4);
    addModules(out[0], 0, 0, rows, 1);
    addModules(out[1], rows - 1, 0, 1, cols);
    addModules(out[2], 0, 0, 1, cols);
    addModules(out[3], 0, cols - 1, rows, 1);
    std::vector<std::uint8_t> rowData(static_cast<std::size_t>(rows)), colData(static_cast<std::size_t>(cols));
    for (const auto& [r, c] : codewordModules) {
        rowData[static_cast<std::size_t>(r)] = 1;
        colData[static_cast<std::size_t>(c)] = 1;
    }
    for (int r = 1; r + 1 < rows; ++r)
        if (!rowData[static_cast<std::size_t>(r)]) {
            out.emplace_back();
            addModules(out.back(), r, 1, 1, cols - 2);
        }
    for (int c = 1; c + 1 < cols; ++c)
        if (!colData[static_cast<std::size_t>(c)]) {
            out.emplace_back();
            addModules(out.back(), 1, c, rows - 2, 1);
        }
    return out;
}

// A fixed-pattern segment's grade by the modules on the wrong side of the
// threshold: none A, one B, two C, three D, more F.
int damageGrade(int errors) { return std::max(0, 4 - errors); }

QualityGrade gradeMatrix(const Drawing& d, const Symbol& s, const PrinterProfile& profile) {
    QualityGrade q;
    q.standard = "ISO/IEC 15415";
    q.profile = profile;
    const Printing pr = printingOf(d, profile);
    const double xMm = xMmOf(d);
    q.aperture = std::max(1, static_cast<int>(std::lround(0.8 * xMm / MM_PER_MIL)));

    Printed printed = printPicture(d, pr);
    if (!printed.ok) {
        q.reason = "the printed picture would be too large to grade";
        return q;
    }
    const std::vector<double>& refl = printed.refl;
    const GrayRaster& picture = printed.picture;
    const int w = picture.width, h = picture.height;
    const double* lo = &printed.lo;
    const double* hi = &printed.hi;
    const double light = printed.light;
    const bool reversed = printed.reversed;
    const bool aztec = s.symbology == Symbology::Aztec, qr = s.symbology == Symbology::Qr;
    detail::Reading r;
    bool sizeMatches = false;
    if (aztec) {
        r = detail::readAztec(picture);
        sizeMatches = r.size == s.columns;
    } else if (qr) {
        r = detail::readQr(picture);
        sizeMatches = r.size == s.columns && r.qrVersion >= 1;
    } else {
        r = detail::readDataMatrix(picture);
        sizeMatches = r.rows == s.rows && r.columns == s.columns;
    }
    // Where the codewords lie: `bits` modules each, after `skip` that hold none.
    std::vector<std::pair<int, int>> dataModules;
    std::size_t bits = 8, skip = 0;
    const bool decoded = r.ok && r.data == s.facts.data && sizeMatches && !r.blocks.empty();
    if (decoded) {
        if (aztec) {
            const AztecFacts& f = s.facts.aztec;
            const int half = s.columns / 2;
            for (const auto& [x, y] : detail::aztecDataModules(f.compact, f.layers))
                dataModules.emplace_back(y + half, x + half);
            bits = static_cast<std::size_t>(std::max(1, f.codewordBits));
            skip = dataModules.size() % bits;
        } else if (qr) {
            dataModules = detail::qrCodewordModules(r.qrVersion);
        } else {
            dataModules = detail::dataMatrixCodewordModules(s.rows, s.columns);
        }
    }
    const std::size_t words = dataModules.size() / bits;
    bool blocksFit = true;
    for (const detail::CodewordBlock& b : r.blocks)
        for (int k : b.words)
            blocksFit = blocksFit && k >= 0 && static_cast<std::size_t>(k) < words;
    q.graded = true;
    if (!decoded || !blocksFit) {
        q.parameters = {parameter("decode", 0, 0), parameter("symbol contrast", *hi - *lo,
                                                                detail::SYMBOL_CONTRAST.gradeOf(*hi - *lo))};
        q.reason = !r.ok ? r.failure : decoded ? "the reader's codewords do not fit the symbol"
                                               : "the printed symbol reads other data";
        q.grade = 0;
        return q;
    }

    // Each module through the aperture (a disc of 0.8 X) at its grid centre.
    const int rows = s.rows, cols = s.columns;
    const detail::ModuleGrid& grid = r.grid;
    const double pitchAcross = std::hypot(grid.acrossX, grid.acrossY), pitchDown = std::hypot(grid.downX, grid.downY);
    const double m = aztec ? r.modulePixels : (pitchAcross + pitchDown) / 2, radius = 0.4 * m;
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
    const auto [sLo, sHi] = lowHigh(sampled);
    const double rMin = std::min(sLo, *lo), rMax = std::max(sHi, *hi);
    const double sc = rMax - rMin, gt = (rMax + rMin) / 2;
    auto moduleValue = [&](int row, int col, bool margin) {
        const double v = sampled[static_cast<std::size_t>(row) * cols + col];
        if (sc <= 0)
            return 0.0;
        if (!margin)
            return 2 * std::fabs(v - gt) / sc;
        const bool nominalDark = s.dark(row, col) != reversed;
        return 2 * (nominalDark ? gt - v : v - gt) / sc;  // negative on the wrong side of GT
    };

    // Codewords, each graded by its worst module; then the grade reached at
    // each level with the codewords below it as erasures, block by block.
    auto overCodewords = [&](bool margin, double& least) {
        std::vector<int> wordGrade(words, 4);
        least = 1;
        for (std::size_t k = 0; k < words; ++k)
            for (std::size_t b = 0; b < bits; ++b) {
                const auto [row, col] = dataModules[skip + k * bits + b];
                const double v = moduleValue(row, col, margin);
                least = std::min(least, v);
                wordGrade[k] = std::min(wordGrade[k], v < 0 ? 0 : detail::MODULATION_MATRIX.gradeOf(v));
            }
        int best = 0;
        for (int level = 4; level >= 1; --level) {
            double uec = 1;
            for (const detail::CodewordBlock& block : r.blocks) {
                const double checkWords = std::max(1, block.checkWords - block.protection);
                const double erasures = static_cast<double>(std::count_if(
                    block.words.begin(), block.words.end(),
                    [&](int k) { return wordGrade[static_cast<std::size_t>(k)] < level; }));
                // The reader says how many words it corrected, not which: taken
                // to be among the erasures as far as they go.
                const double errors = std::max(0.0, block.corrected - erasures);
                uec = std::min(uec, 1 - (erasures + 2.0 * errors) / checkWords);
            }
            best = std::max(best, std::min(level, detail::UNUSED_ERROR_CORRECTION.gradeOf(uec)));
        }
        return best;
    };
    double leastModulation = 0, leastMargin = 0;
    const int modulationGrade = overCodewords(false, leastModulation);
    const int marginGrade = overCodewords(true, leastMargin);

    int fixedGrade = 4;
    double fixedLeast = 1;
    if (aztec) {
        // The bull's-eye with its orientation marks, and the reference grid
        // of full-range symbols; each module graded by its margin.
        const AztecFacts& f = s.facts.aztec;
        const int half = cols / 2, finder = f.compact ? 5 : 7;
        for (int y = -half; y <= half; ++y)
            for (int x = -half; x <= half; ++x) {
                const int ring = std::max(std::abs(x), std::abs(y));
                const bool mark = ring == finder && std::abs(x) >= finder - 1 && std::abs(y) >= finder - 1;
                const bool refGrid = !f.compact && ring > finder && (x % 16 == 0 || y % 16 == 0);
                if (!(ring < finder || mark || refGrid))
                    continue;
                const double v = moduleValue(y + half, x + half, true);
                fixedLeast = std::min(fixedLeast, v);
                fixedGrade = std::min(fixedGrade, v < 0 ? 0 : detail::MODULATION_MATRIX.gradeOf(v));
            }
    } else {
        // Each segment by its modules on the wrong side and by the least
        // margin of the others; a redundant copy counts at its better.
        const std::vector<Segment> segments =
            qr ? qrSegments(r.qrVersion) : dataMatrixSegments(rows, cols, dataModules);
        std::vector<int> segmentGrade(segments.size(), 4);
        for (std::size_t k = 0; k < segments.size(); ++k) {
            int errors = 0, modulation = 4;
            for (const auto& [row, col] : segments[k].modules) {
                const double v = moduleValue(row, col, true);
                fixedLeast = std::min(fixedLeast, v);
                if (v < 0)
                    ++errors;
                else
                    modulation = std::min(modulation, detail::MODULATION_MATRIX.gradeOf(v));
            }
            segmentGrade[k] = std::min(damageGrade(errors), modulation);
        }
        for (std::size_t k = 0; k < segments.size(); ++k) {
            int g = segmentGrade[k];
            if (segments[k].alternative >= 0)
                g = std::max(g, segmentGrade[static_cast<std::size_t>(segments[k].alternative)]);
            fixedGrade = std::min(fixedGrade, g);
        }
    }

    // Axial non-uniformity. Aztec: the pitch along each axis from the
    // bull's-eye's dark rings two modules inside its edge, centre to centre.
    // The others: the grid the reader fitted to the finders and clock tracks.
    auto pitch = [&](bool vertical) {
        const int half = cols / 2;
        auto centreOf = [&](int x, int y, double& px, double& py) { grid.centre(y + half, x + half, px, py); };
        const int ringR = (s.facts.aztec.compact ? 4 : 6) - 2;
        double a0 = 0, a1 = 0, b0 = 0, b1 = 0;
        centreOf(vertical ? 0 : -ringR, vertical ? -ringR : 0, a0, b0);
        centreOf(vertical ? 0 : ringR, vertical ? ringR : 0, a1, b1);
        // The dark run through each of the two points, along the axis in the picture.
        auto runCentre = [&](double px, double py, bool alongY) {
            int x = static_cast<int>(std::floor(px)), y = static_cast<int>(std::floor(py));
            auto darkAt = [&](int xx, int yy) {
                return xx >= 0 && yy >= 0 && xx < w && yy < h && picture.pixels[static_cast<std::size_t>(yy) * w + xx] == 0;
            };
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
        return std::fabs(c1 - c0) / (2 * ringR);
    };
    const double px = aztec ? pitch(false) : pitchAcross, py = aztec ? pitch(true) : pitchDown;
    const double anu = px + py > 0 ? std::fabs(px - py) / ((px + py) / 2) : 1;

    // Grid non-uniformity and print growth from the dark runs the picture
    // shows along every row and column of module centres: a run of n modules
    // should be centred where n modules are, and n modules wide.
    double gnu = 0, growthSum = 0;
    int growthCount = 0;
    for (int pass = 0; pass < 2; ++pass) {
        const int lines = pass == 0 ? rows : cols, n = pass == 0 ? cols : rows;
        const double step = aztec ? m : pass == 0 ? pitchAcross : pitchDown;
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
            auto darkAt = [&](int i) {
                const int xx = alongY ? fixed : i, yy = alongY ? i : fixed;
                return xx >= 0 && yy >= 0 && xx < w && yy < h && picture.pixels[static_cast<std::size_t>(yy) * w + xx] == 0;
            };
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
                gnu = std::max(gnu, std::fabs(offset - std::round(offset)));
                growthSum += (length - count * step) / step;
                ++growthCount;
                i = end + 1;
            }
        }
    }
    double uec = 1;
    for (const detail::CodewordBlock& block : r.blocks)
        uec = std::min(uec, 1 - 2.0 * block.corrected / std::max(1, block.checkWords - block.protection));
    q.parameters = {
        parameter("decode", 1, 4),
        parameter("symbol contrast", sc, detail::SYMBOL_CONTRAST.gradeOf(sc)),
        parameter("modulation", leastModulation, modulationGrade),
        parameter("reflectance margin", leastMargin, marginGrade),
        parameter("fixed pattern damage", fixedLeast, fixedGrade),
        parameter("axial non-uniformity", anu, detail::AXIAL_NON_UNIFORMITY.gradeOf(anu)),
        parameter("grid non-uniformity", gnu, detail::GRID_NON_UNIFORMITY.gradeOf(gnu)),
        parameter("unused error correction", uec, detail::UNUSED_ERROR_CORRECTION.gradeOf(uec)),
        parameter("print growth", growthCount ? growthSum / growthCount : 0, 4, true),
    };
    int least = 4;
    for (const QualityParameter& p : q.parameters)
        if (!p.informative)
            least = std::min(least, p.grade);
    q.grade = least;
    return q;
}

// ---------------------------------------------------------------- PDF417

// PDF417 is graded as a multi-row symbol: ISO/IEC 15416 along each row, and
// its codewords by the yield of the scans and by what they leave of the
// error correction.
//
// Simplifications, each where a verifier would do more:
// - One scan reflectance profile per row, through the middle of the picture
//   lines the reader placed in that row, at right angles to the bars; a
//   verifier also scans at angles across rows.
// - The profile's own parameters (symbol contrast, minimum reflectance,
//   minimum edge contrast) are measured over the whole row, quiet zones
//   included; modulation, defects and decodability of the profile are
//   measured over the start and stop patterns, which no check word guards.
//   The codewords are graded as codewords (below).
// - A codeword is found at the bar nearest to where its row's module (the
//   row's width over its modules) puts it, within a module, and is read when
//   its six edge-to-similar-edge sums, scaled by its own width to 17 modules,
//   round to the sums of the character the symbol has there: the reference
//   decode, which a wrong character fails. The width of the character is not
//   checked against its neighbours'.
// - Quiet zones are not graded.

// Edge-to-similar-edge decode of `count` measured elements from `j` (a bar)
// against `nominal` (modules, `modules` in all): each sum of two neighbouring
// elements, scaled by the group's own width to its modules, must round to the
// nominal sum. Returns the least share of half a module that the sums keep
// (the group's decodability; 0: not read).
double edgeDecode(const std::vector<double>& widths, std::size_t j, const int* nominal, std::size_t count, int modules) {
    double p = 0;
    for (std::size_t i = 0; i < count; ++i)
        p += widths[j + i];
    if (p <= 0)
        return 0;
    double v = 1;
    for (std::size_t i = 0; i + 2 < count; ++i) {
        const double e = (widths[j + i] + widths[j + i + 1]) * modules / p;
        v = std::min(v, 1 - std::fabs(e - (nominal[i] + nominal[i + 1])) / 0.5);
    }
    return std::max(0.0, v);
}

// One group of elements (a pattern or a symbol character) as one profile measures it.
struct GroupMeasure {
    bool found = false;
    double decodability = 0;  // 0: not read
    double modulation = 0;    // its least edge contrast over SC
    double defects = 1;       // its greatest ERN over SC
};

QualityGrade gradePdf417(const Drawing& d, const Symbol& s, const PrinterProfile& profile) {
    QualityGrade q;
    q.standard = "ISO/IEC 15415";
    q.profile = profile;
    const Printing pr = printingOf(d, profile);
    const double xMm = xMmOf(d);
    q.aperture = apertureFor(s, xMm);

    // The symbol's elements row by row, and the symbol characters each row has.
    const Pdf417Facts& f = s.facts.pdf417;
    const bool compact = f.compact;
    const std::size_t characters = static_cast<std::size_t>(f.columns) + (compact ? 1 : 2);
    const std::size_t stopElements = compact ? 1 : 9;
    if (s.rows < 1 || f.columns < 1 || s.modules.size() != static_cast<std::size_t>(s.rows) * s.columns) {
        q.reason = "the symbol's rows are not PDF417 rows";
        return q;
    }
    std::vector<std::vector<int>> nominal(static_cast<std::size_t>(s.rows));
    for (int row = 0; row < s.rows; ++row) {
        std::vector<int>& runs = nominal[static_cast<std::size_t>(row)];
        for (int col = 0; col < s.columns; ++col) {
            if (col > 0 && s.dark(row, col) == s.dark(row, col - 1))
                ++runs.back();
            else
                runs.push_back(1);
        }
        if (s.columns <= 0 || !s.dark(row, 0) || runs.size() != 8 + 8 * characters + stopElements) {
            q.reason = "the symbol's rows are not PDF417 rows";
            return q;
        }
    }

    const Printed printed = printPicture(d, pr);
    if (!printed.ok) {
        q.reason = "the printed picture would be too large to grade";
        return q;
    }
    if (printed.reversed) {
        q.reason = "PDF417 printed light on dark is not graded (its bars must be the dark elements)";
        return q;
    }
    const detail::Reading r = detail::readPdf417(printed.picture);
    const bool decoded = r.ok && r.data == s.facts.data && r.rows == s.rows && r.columns == f.columns &&
                         r.pdf417RowLines.size() == static_cast<std::size_t>(s.rows);
    q.graded = true;
    if (!decoded) {
        const double sc = printed.hi - printed.lo;
        q.parameters = {parameter("decode", 0, 0), parameter("symbol contrast", sc, detail::SYMBOL_CONTRAST.gradeOf(sc))};
        q.reason = !r.ok ? r.failure : "the printed symbol reads other data";
        q.grade = 0;
        return q;
    }

    const int w = printed.picture.width, h = printed.picture.height;
    const bool across = r.pdf417Turn < 2, backwards = r.pdf417Turn % 2 == 1;
    const int length = across ? w : h;
    const double samplesPerMm = printed.perDot * pr.dpi / 25.4;
    const std::vector<double> hole = aperture(q.aperture * MM_PER_MIL * samplesPerMm);

    // Per codeword under the check words (data columns, row by row): its
    // grades for modulation, defects and decodability (0 where not read).
    const std::size_t dataWords = static_cast<std::size_t>(s.rows) * static_cast<std::size_t>(f.columns);
    std::vector<int> wordModulation(dataWords, 0), wordDefects(dataWords, 0), wordDecodability(dataWords, 0);
    double leastModulation = 1, mostDefects = 0, leastDecodability = 1;
    int read = 0;
    std::vector<double> line(static_cast<std::size_t>(length));
    std::vector<double> pos;
    double sum = 0;
    struct Worst {
        double value;
        int grade;
    };
    std::vector<Worst> worst;
    constexpr std::size_t PROFILE_PARAMETERS = 7;
    for (int row = 0; row < s.rows; ++row) {
        const std::vector<int>& n = nominal[static_cast<std::size_t>(row)];
        const auto [first, last] = r.pdf417RowLines[static_cast<std::size_t>(row)];
        ScanGrade scan;
        detail::ProfileMeasures m;
        std::vector<GroupMeasure> groups(characters + 2);  // start, characters, stop
        const int at = (first + last) / 2;
        if (first >= 0 && at >= 0 && at < (across ? h : w)) {
            for (int p = 0; p < length; ++p) {
                const int along = backwards ? length - 1 - p : p;
                line[static_cast<std::size_t>(p)] =
                    printed.refl[across ? static_cast<std::size_t>(at) * w + along : static_cast<std::size_t>(along) * w + at];
            }
            convolve(line, hole);
            m = detail::measureProfile(line);
        }
        // Leading edges of the measured elements, and the row's module.
        const std::vector<double>& widths = m.widths;
        pos.assign(widths.size() + 1, 0);
        for (std::size_t j = 0; j < widths.size(); ++j)
            pos[j + 1] = pos[j] + widths[j];
        int modules = 0;
        for (int x : n)
            modules += x;
        const double x = widths.size() >= 3 && m.symbolContrast > 0
                             ? (pos[widths.size() - 1] - pos[1]) / modules
                             : 0;
        std::size_t i0 = 0;  // the group's first nominal element
        int before = 0;      // and the modules before it
        for (std::size_t g = 0; g < groups.size(); ++g) {
            const std::size_t count = g <= characters ? 8 : stopElements;
            int groupModules = 0;
            for (std::size_t i = i0; i < i0 + count; ++i)
                groupModules += n[i];
            const std::size_t from = i0;
            const int modulesBefore = before;
            i0 += count;
            before += groupModules;
            if (x <= 0 || count < 2)
                continue;
            // The measured bar whose leading edge lies nearest where this group begins.
            const double expected = pos[1] + modulesBefore * x;
            std::size_t j = 0;
            double miss = x;
            for (std::size_t k = 1; k + count < widths.size(); k += 2) {
                const double off = std::fabs(pos[k] - expected);
                if (off <= miss) {
                    miss = off;
                    j = k;
                }
                if (pos[k] > expected + x)
                    break;
            }
            if (j == 0)
                continue;
            GroupMeasure& gm = groups[g];
            gm.found = true;
            gm.decodability = edgeDecode(widths, j, &n[from], count, groupModules);
            gm.modulation = 1;
            gm.defects = 0;
            for (std::size_t e = j - 1; e < j + count; ++e)
                gm.modulation = std::min(gm.modulation, std::fabs(m.reflectance[e] - m.reflectance[e + 1]) / m.symbolContrast);
            for (std::size_t e = j; e < j + count; ++e)
                gm.defects = std::max(gm.defects, m.nonUniformity[e] / m.symbolContrast);
        }
        // The codewords.
        for (std::size_t c = 0; c < characters; ++c) {
            const GroupMeasure& gm = groups[c + 1];
            const bool ok = gm.found && gm.decodability > 0;
            read += ok ? 1 : 0;
            if (c < 1 || c > static_cast<std::size_t>(f.columns))
                continue;  // a row indicator: scanned, but outside the check words
            const std::size_t k = static_cast<std::size_t>(row) * f.columns + (c - 1);
            if (!ok)
                continue;
            wordModulation[k] = detail::MODULATION_LINEAR.gradeOf(gm.modulation);
            wordDefects[k] = detail::DEFECTS.gradeOf(gm.defects);
            wordDecodability[k] = detail::DECODABILITY.gradeOf(gm.decodability);
            leastModulation = std::min(leastModulation, gm.modulation);
            mostDefects = std::max(mostDefects, gm.defects);
            leastDecodability = std::min(leastDecodability, gm.decodability);
        }
        // The row's profile: the whole row, and its start and stop patterns.
        const GroupMeasure& start = groups.front();
        const GroupMeasure& stop = groups.back();
        const bool patterns = start.found && start.decodability > 0 && (compact || (stop.found && stop.decodability > 0));
        double modulation = start.modulation, defects = start.defects, v = start.decodability;
        if (!compact) {
            modulation = std::min(modulation, stop.modulation);
            defects = std::max(defects, stop.defects);
            v = std::min(v, stop.decodability);
        }
        if (!patterns) {
            modulation = defects = v = 0;
        }
        scan.parameters = {
            parameter("decode", patterns ? 1 : 0, patterns ? 4 : 0),
            parameter("symbol contrast", m.symbolContrast, detail::SYMBOL_CONTRAST.gradeOf(m.symbolContrast)),
            parameter("minimum reflectance", m.rMin, m.rMax > 0 && m.rMin <= detail::MAX_RMIN_SHARE * m.rMax ? 4 : 0),
            parameter("minimum edge contrast", m.edgeContrastMin,
                      m.edgeContrastMin >= detail::MIN_EDGE_CONTRAST - 1e-9 ? 4 : 0),
            parameter("modulation", modulation, patterns ? detail::MODULATION_LINEAR.gradeOf(modulation) : 0),
            parameter("defects", defects, patterns ? detail::DEFECTS.gradeOf(defects) : 0),
            parameter("decodability", v, patterns ? detail::DECODABILITY.gradeOf(v) : 0),
        };
        scan.grade = 4;
        for (const QualityParameter& p : scan.parameters)
            scan.grade = std::min(scan.grade, p.grade);
        if (worst.empty())
            for (const QualityParameter& p : scan.parameters)
                worst.push_back({p.value, p.grade});
        for (std::size_t k = 0; k < PROFILE_PARAMETERS; ++k) {
            const QualityParameter& p = scan.parameters[k];
            const bool higherIsWorse = k == 2 || k == 5;  // minimum reflectance, defects
            if (p.grade < worst[k].grade ||
                (p.grade == worst[k].grade && (higherIsWorse ? p.value > worst[k].value : p.value < worst[k].value)))
                worst[k] = {p.value, p.grade};
        }
        sum += scan.grade;
        q.scans.push_back(std::move(scan));
    }

    // Unused error correction: erasures count once, errors twice, against
    // the check words less the two the symbol keeps for detection.
    const int capacity = r.checkCodewords - 2;
    auto unused = [&](int erasures, int errors) {
        const int spent = erasures + 2 * errors;
        return capacity > 0 ? 1 - static_cast<double>(spent) / capacity : spent == 0 ? 1.0 : 0.0;
    };
    const double uec = unused(r.erasedCodewords, std::max(0, r.correctedCodewords - r.erasedCodewords));
    // A codeword parameter: the best level at which the codewords graded
    // below it, taken as erasures, leave error correction of that grade. The
    // reader says how many words it corrected, not which: taken to be among
    // the erasures as far as they go.
    auto overCodewords = [&](const std::vector<int>& grades) {
        int best = 0;
        for (int level = 4; level >= 1; --level) {
            const int erasures = static_cast<int>(
                std::count_if(grades.begin(), grades.end(), [&](int g) { return g < level; }));
            const int errors = std::max(0, r.correctedCodewords - erasures);
            best = std::max(best, std::min(level, detail::UNUSED_ERROR_CORRECTION.gradeOf(unused(erasures, errors))));
        }
        return best;
    };
    const double yield = static_cast<double>(read) / (static_cast<double>(characters) * s.rows);
    const int modulationGrade = std::min(worst[4].grade, overCodewords(wordModulation));
    const int defectsGrade = std::min(worst[5].grade, overCodewords(wordDefects));
    const int decodabilityGrade = std::min(worst[6].grade, overCodewords(wordDecodability));
    q.parameters = {
        parameter("decode", 1, 4),
        parameter("symbol contrast", worst[1].value, worst[1].grade),
        parameter("minimum reflectance", worst[2].value, worst[2].grade),
        parameter("minimum edge contrast", worst[3].value, worst[3].grade),
        parameter("modulation", std::min(worst[4].value, leastModulation), modulationGrade),
        parameter("defects", std::max(worst[5].value, mostDefects), defectsGrade),
        parameter("decodability", std::min(worst[6].value, leastDecodability), decodabilityGrade),
        parameter("codeword yield", yield, detail::CODEWORD_YIELD.gradeOf(yield)),
        parameter("unused error correction", uec, detail::UNUSED_ERROR_CORRECTION.gradeOf(uec)),
    };
    // The rows' profiles as ISO/IEC 15416 combines scans (their mean), then
    // the lowest of that and the codeword parameters.
    double g = std::round(sum / s.rows * 10) / 10;
    for (std::size_t k = 4; k < q.parameters.size(); ++k)
        g = std::min(g, static_cast<double>(q.parameters[k].grade));
    q.grade = g;
    return q;
}

}  // namespace

char gradeLetter(double g) {
    if (g >= 3.5)
        return 'A';
    if (g >= 2.5)
        return 'B';
    if (g >= 1.5)
        return 'C';
    if (g >= 0.5)
        return 'D';
    return 'F';
}

Result<PrinterProfile> printerProfile(std::string_view spec) {
    for (const Named& n : PROFILES)
        if (spec == n.name)
            return PrinterProfile{n.name, n.dpi, n.gain, n.blur};
    PrinterProfile p;
    p.name = std::string(spec);
    double values[3] = {0, 0, 0};
    int count = 0;
    std::string_view rest = spec;
    while (count < 3) {
        const std::size_t comma = rest.find(',');
        const std::string_view part = rest.substr(0, comma);
        if (!parseDots(part, count == 0 ? 25.4 : values[0], values[count]))
            return Error{ErrorCode::InvalidOption, "unknown printer profile \"" + std::string(spec) +
                                                       "\"; use ideal, thermal203, thermal300, laser600 or DPI[,GAIN[,BLUR]]"};
        ++count;
        if (comma == std::string_view::npos)
            break;
        rest = rest.substr(comma + 1);
        if (count == 3)
            return Error{ErrorCode::InvalidOption, "a printer profile has at most three values: DPI,GAIN,BLUR"};
    }
    p.dpi = values[0];
    p.dotGain = values[1];
    p.blur = values[2];
    if (!(p.dpi >= 50 && p.dpi <= 4800))
        return Error{ErrorCode::InvalidOption, "the printer resolution must be 50 to 4800 dpi"};
    if (!(p.dotGain >= -2 && p.dotGain <= 2))
        return Error{ErrorCode::InvalidOption, "the dot gain must be -2 to 2 printer dots"};
    if (!(p.blur >= 0 && p.blur <= 2))
        return Error{ErrorCode::InvalidOption, "the blur must be 0 to 2 printer dots"};
    return p;
}

namespace {

// What set a grade, in words: a drawing made for another resolution first
// (its modules fall on the printer's dots unevenly, the commonest cause of a
// poor grade and the easiest to mend), then the parameters at the lowest
// grade, then what the measurement found wrong.
std::string gradeReason(const QualityGrade& q, const Drawing& drawing) {
    std::string why;
    if (q.profile.dpi > 0 && drawing.dpi > 0 && std::fabs(q.profile.dpi - drawing.dpi) > 0.5) {
        char note[160];
        std::snprintf(note, sizeof note, "drawn at %g dpi for a %g dpi printer: draw at %g dpi for whole dots a module; ",
                      drawing.dpi, q.profile.dpi, q.profile.dpi);
        why = note;
    }
    int lowest = 4;
    for (const QualityParameter& p : q.parameters)
        if (!p.informative)
            lowest = std::min(lowest, p.grade);
    std::string names;
    for (const QualityParameter& p : q.parameters)
        if (!p.informative && p.grade == lowest)
            names += (names.empty() ? "" : ", ") + p.name;
    if (lowest == 4)
        why += "every parameter grades A";
    else
        why += "set by " + names + " (" + std::string(1, gradeLetter(lowest)) + ")";
    return q.reason.empty() ? why : why + "; " + q.reason;
}

}  // namespace

QualityGrade grade(const Drawing& drawing, const Symbol& symbol, const PrinterProfile& profile) {
    QualityGrade q;
    q.profile = profile;
    if (drawing.width <= 0 || drawing.height <= 0 || drawing.rects.empty()) {
        q.reason = "the drawing is empty";
    } else if (symbol.symbology == Symbology::Postnet) {
        q.reason = "Postnet is read by bar heights; ISO/IEC 15416 does not grade it";
    } else if (!(profile.dotGain >= -2 && profile.dotGain <= 2 && profile.blur >= 0 && profile.blur <= 2 &&
                 profile.dpi >= 0 && profile.dpi <= 4800)) {
        q.reason = "the printer profile is out of range";
    } else {
        q = symbol.symbology == Symbology::Pdf417 ? gradePdf417(drawing, symbol, profile)
            : symbol.isMatrix()                   ? gradeMatrix(drawing, symbol, profile)
                                                  : gradeLinear(drawing, symbol, profile);
    }
    q.letter = gradeLetter(q.grade);
    q.text = gradeText(q.grade, q.aperture, q.wavelength);
    if (q.graded)
        q.reason = gradeReason(q, drawing);
    return q;
}

namespace detail {

GrayRaster printedPicture(const Drawing& drawing, const PrinterProfile& profile) {
    return printPicture(drawing, printingOf(drawing, profile)).picture;
}

}  // namespace detail
}  // namespace korvane
