// Linear symbols graded by ISO/IEC 15416: ten scan lines across the bars of
// the printed symbol, each a scan reflectance profile read by the library's
// reader and graded parameter by parameter; the symbol grade is their mean.

#include "GradeFamilies.h"
#include "ReferenceDecode.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

namespace korvane::detail {
namespace {

// Aperture reference numbers of ISO/IEC 15416 (thousandths of an inch).
constexpr int APERTURES[] = {3, 5, 6, 10, 20};
// The aperture is the largest reference number not above this share of X.
constexpr double APERTURE_SHARE_OF_X = 0.8;
// GS1: 6 mils for EAN/UPC, and for GS1-128 below X 0.495 mm (10 above).
constexpr int GS1_APERTURE = 6;
constexpr int GS1_128_WIDE_APERTURE = 10;
constexpr double GS1_128_WIDE_X_MM = 0.495;
// Scan lines over the bars' height, spread evenly over its middle 80 %.
constexpr int SCAN_LINES = 10;
constexpr double SCAN_FIRST = 0.1, SCAN_SPAN = 0.8;
// Samples: at least 8 a module, 2 to 32 a printer dot, at most 16 million (a
// scan line 5 m long at 600 dpi).
constexpr int SAMPLES_PER_MODULE = 8;
constexpr long long MOST_SAMPLES = 1LL << 24;

// The largest reference aperture up to 0.8 X.
int referenceAperture(double xMm) {
    int best = APERTURES[0];
    for (int a : APERTURES)
        if (a * MM_PER_MIL <= APERTURE_SHARE_OF_X * xMm + GRADE_TOLERANCE)
            best = a;
    return best;
}

// Where scan line `line` crosses bars that reach from `top` to `bottom`.
double scanLineAt(double top, double bottom, int line) {
    return top + (bottom - top) * (SCAN_FIRST + SCAN_SPAN * (line + 0.5) / SCAN_LINES);
}

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

// The bars' extent across the scan lines: the one most bars share.
std::pair<double, double> barExtent(const Drawing& d, bool vertical) {
    std::vector<int> starts, ends;
    for (const Rect& r : d.rects) {
        starts.push_back(vertical ? r.x : r.y);
        ends.push_back(vertical ? r.x + r.width : r.y + r.height);
    }
    std::nth_element(starts.begin(), starts.begin() + static_cast<std::ptrdiff_t>(starts.size() / 2), starts.end());
    std::nth_element(ends.begin(), ends.begin() + static_cast<std::ptrdiff_t>(ends.size() / 2), ends.end());
    return {starts[starts.size() / 2], ends[ends.size() / 2]};
}

// What every scan line of one symbol shares.
struct LinearScan {
    std::vector<int> nominal;  // the main symbol's elements in modules
    int modules = 0;
    QuietZone quiet{};
    Symbology symbology{};
    int wideRatio = 0;  // the nominal wide element in narrow modules
    double ratio = 0;   // the wide ratio decodability measures against (0: edge to similar edge)
    LinearReadOptions options;
    ScanOptics optics;
};

LinearScan linearScan(const Drawing& d, const Symbol& s, const Printing& pr, int apertureMils, bool twoWidths) {
    LinearScan ls;
    const double xDots = moduleDotsOf(d);
    ls.optics.perDot = std::clamp(static_cast<int>(std::ceil(SAMPLES_PER_MODULE / (xDots * pr.scale))), 2, 32);
    const double samplesPerMm = ls.optics.perDot * pr.dpi / 25.4;
    ls.optics.blur = gaussian(pr.blur * ls.optics.perDot);
    ls.optics.hole = aperture(apertureMils * MM_PER_MIL * samplesPerMm);
    ls.optics.light = d.background.transparent() ? 1.0 : reflectanceOf(d.background);
    ls.optics.dark = reflectanceOf(d.foreground);
    ls.nominal = mainElements(s, ls.modules);
    ls.quiet = quietZoneOf(s.symbology);
    ls.symbology = s.symbology;
    ls.wideRatio = s.wideRatio;
    ls.ratio = twoWidths ? (s.wideRatio > 0 ? s.wideRatio : *std::max_element(ls.nominal.begin(), ls.nominal.end())) : 0;
    ls.options.check = !s.facts.checkCharacters.empty();
    ls.options.msiCheckDigits = static_cast<int>(s.facts.checkCharacters.size());
    ls.options.quietZones = false;  // judged once, below, for decode and the parameter
    const int length = d.rotation == 90 || d.rotation == 270 ? d.height : d.width;
    ls.optics.samples = static_cast<long long>(std::ceil(length * pr.scale)) * ls.optics.perDot;
    return ls;
}

// The main symbol's elements from its first bar, in either direction: the
// better decodability by the symbology's reference decode, whether that
// decode reads every character, and the quiet zones in modules of that
// direction.
struct MainSymbol {
    double decodability = 0, quietBefore = 0, quietAfter = 0;
    bool decoded = false;
    std::string failure;
};

MainSymbol measureMainSymbol(const ProfileMeasures& m, const LinearScan& ls) {
    MainSymbol out;
    const std::size_t count = ls.nominal.size();
    if (m.widths.size() < count + 2 || count == 0)
        return out;
    for (int direction = 0; direction < 2; ++direction) {
        std::vector<double> w(m.widths.begin(), m.widths.end());
        if (direction == 1)
            std::reverse(w.begin(), w.end());
        const std::vector<double> elements(w.begin() + 1, w.begin() + 1 + static_cast<std::ptrdiff_t>(count));
        const ReferenceDecode ref = referenceDecode(elements, ls.nominal, ls.symbology, ls.wideRatio);
        const double vd = ref.applies ? ref.decodability : decodability(elements, ls.nominal, ls.ratio);
        if (direction == 0 || vd >= out.decodability) {
            out.decoded = !ref.applies || ref.decoded;
            out.failure = ref.failure;
            double total = 0;
            for (double e : elements)
                total += e;
            const double x = total / ls.modules;
            out.decodability = vd;
            out.quietBefore = w.front() / x;
            out.quietAfter = w[count + 1] / x;
        }
    }
    return out;
}

// The profile as a row of pixels, dark between the edges of each bar as
// ISO/IEC 15416 places them (a sample is dark when its centre is).
GrayRaster edgeRow(const ProfileMeasures& m, std::size_t samples) {
    GrayRaster row;
    row.width = static_cast<int>(samples);
    row.height = 1;
    row.pixels.assign(samples, 255);
    double edge = 0;
    for (std::size_t k = 0; k < m.widths.size(); ++k) {
        const double next = edge + m.widths[k];
        if (k % 2 == 1)  // widths[0] is light: odd elements are bars
            for (std::size_t i = static_cast<std::size_t>(std::max(0.0, std::ceil(edge - 0.5)));
                 i < samples && static_cast<double>(i) + 0.5 < next; ++i)
                row.pixels[i] = 0;
        edge = next;
    }
    return row;
}

// One scan line decoded as a verifier decodes it: by the library's reader
// from the profile's edges and by the symbology's reference decode, the quiet
// zones judged once for decode and their parameter.
struct ScanDecode {
    ProfileMeasures m;
    Reading reading;
    MainSymbol main;
    QualityParameter quiet;
    bool decoded = false;  // whatever data it holds
    std::string failure;   // when !decoded
};

ScanDecode decodeScan(const Symbol& s, const LinearScan& ls, const std::vector<double>& profile) {
    ScanDecode out;
    out.m = measureProfile(profile);
    out.reading = readLinear(edgeRow(out.m, profile.size()), s.symbology, ls.options);
    out.main = measureMainSymbol(out.m, ls);
    out.quiet = iso::quietZones(out.main.quietBefore, out.main.quietAfter, ls.quiet);
    out.decoded = out.reading.ok && out.m.symbolContrast > 0 && out.main.decoded && out.quiet.grade > GRADE_F;
    if (!out.reading.ok) {
        out.failure = out.reading.failure;
    } else if (!out.main.decoded) {
        out.failure = out.main.failure;
    } else if (out.quiet.grade == GRADE_F) {
        // Worded as the readers word it.
        const bool before = out.main.quietBefore < ls.quiet.before - QUIET_ZONE_SHORTFALL;
        char why[160];
        std::snprintf(why, sizeof why, "the quiet zone %s the symbol is %.1f%s; %.*s needs %g",
                      before ? "before" : "after", before ? out.main.quietBefore : out.main.quietAfter,
                      ls.quiet.unit, static_cast<int>(symbologyInfo(s.symbology).title.size()),
                      symbologyInfo(s.symbology).title.data(), before ? ls.quiet.before : ls.quiet.after);
        out.failure = why;
    } else if (!out.decoded) {
        out.failure = "the profile has no contrast";
    }
    return out;
}

// One scan line's grade from its profile: its decode, which must give the
// symbol's data, and each parameter of ISO/IEC 15416. A scan that does not
// decode grades F; the first failure's reason goes to `reason`.
ScanGrade gradeScan(const Symbol& s, const LinearScan& ls, const std::vector<double>& profile, int line,
                    std::string& reason) {
    const ScanDecode scanned = decodeScan(s, ls, profile);
    const ProfileMeasures& m = scanned.m;
    const MainSymbol& main = scanned.main;
    const bool decoded = scanned.decoded && scanned.reading.data == s.facts.data;
    if (!decoded && reason.empty())
        reason = "scan line " + std::to_string(line + 1) + ": " +
                 (scanned.decoded ? std::string("reads other data") : scanned.failure);
    ScanGrade scan;
    scan.parameters = {
        iso::decode(decoded),
        iso::symbolContrast(m.symbolContrast),
        iso::minimumReflectance(m.rMin, m.rMax),
        iso::minimumEdgeContrast(m.edgeContrastMin),
        iso::modulation(m.modulation),
        iso::defects(m.defects),
        iso::decodability(main.decodability),
        scanned.quiet,
    };
    scan.grade = GRADE_A;
    for (const QualityParameter& p : scan.parameters)
        scan.grade = std::min(scan.grade, p.grade);
    if (!decoded)
        scan.grade = GRADE_F;
    return scan;
}

}  // namespace

int apertureFor(const Symbol& s, double xMm, bool retail) {
    const bool gs1Only = symbologyInfo(s.symbology).takes(CAP_GS1_ONLY);  // GS1-128
    if (retail || (gs1Only && xMm < GS1_128_WIDE_X_MM))
        return GS1_APERTURE;
    if (gs1Only)
        return GS1_128_WIDE_APERTURE;
    return referenceAperture(xMm);
}

namespace {

// The aperture for a drawing: GS1's fixed ones need a physical size; a
// drawing in pixels takes the one for its X as if at 300 dpi.
int drawingAperture(const Drawing& d, const Symbol& s, GradeFamily family) {
    return d.dpi > 0 ? apertureFor(s, xMmOf(d), family == GradeFamily::Retail) : referenceAperture(xMmOf(d));
}

// The band of the bars' height the scan lines cross: the extent most bars
// share, or, for a symbol with an add-on (whose bars stand lower), the band
// every bar crosses.
std::pair<double, double> scanBand(const Drawing& d, const Symbol& s, bool vertical) {
    if (s.addOnStartModule < 0)
        return barExtent(d, vertical);
    double top = -1e18, bottom = 1e18;
    for (const Rect& r : d.rects) {
        top = std::max<double>(top, vertical ? r.x : r.y);
        bottom = std::min<double>(bottom, vertical ? r.x + r.width : r.y + r.height);
    }
    return bottom > top ? std::pair{top, bottom} : barExtent(d, vertical);
}

}  // namespace

QualityGrade gradeLinear(const Drawing& d, const Symbol& s, const PrinterProfile& profile, GradeFamily family) {
    QualityGrade q;
    q.standard = "ISO/IEC 15416";
    q.profile = profile;
    const Printing pr = printingOf(d, profile);
    const bool vertical = d.rotation == 90 || d.rotation == 270;
    const auto [top, bottom] = scanBand(d, s, vertical);
    q.aperture = drawingAperture(d, s, family);
    const LinearScan ls = linearScan(d, s, pr, q.aperture, family == GradeFamily::TwoWidthLinear);
    const long long samples = ls.optics.samples;
    if (samples <= 0 || samples > MOST_SAMPLES) {
        q.reason = "the printed scan line would be too long to grade";
        return q;
    }
    std::vector<std::pair<double, double>> spans, previousSpans;
    std::vector<double> profileLine(static_cast<std::size_t>(samples));
    WorstOfScans worst({5});  // defects
    double sum = 0;
    for (int line = 0; line < SCAN_LINES; ++line) {
        const double at = scanLineAt(top, bottom, line);
        barSpans(d, vertical, at, pr, spans);
        // Lines that cross the same bars measure the same: most lines of a
        // symbol whose bars are all alike.
        if (!q.scans.empty() && spans == previousSpans) {
            ScanGrade again = q.scans.back();
            sum += again.grade;
            q.scans.push_back(std::move(again));
            continue;
        }
        previousSpans = spans;
        scanProfile(spans, ls.optics, profileLine);
        ScanGrade scan = gradeScan(s, ls, profileLine, line, q.reason);
        worst.add(scan.parameters);
        sum += scan.grade;
        q.scans.push_back(std::move(scan));
    }
    for (std::size_t k = 0; k < worst.size(); ++k)
        q.parameters.push_back(parameter(q.scans[0].parameters[k].name.c_str(), worst.value(k), worst.grade(k)));
    q.graded = true;
    q.grade = std::round(sum / SCAN_LINES * 10) / 10;
    return q;
}

Reading readAsGraded(const Drawing& d, const Symbol& s, const LinearReadOptions& options) {
    Reading failed;
    if (d.rects.empty()) {
        failed.failure = "the drawing is empty";
        return failed;
    }
    const GradeFamily family = gradeFamily(s.symbology);
    const Printing pr = printingOf(d, PrinterProfile{});
    const bool vertical = d.rotation == 90 || d.rotation == 270;
    const auto [top, bottom] = scanBand(d, s, vertical);
    LinearScan ls = linearScan(d, s, pr, drawingAperture(d, s, family), family == GradeFamily::TwoWidthLinear);
    ls.options = options;
    ls.options.quietZones = false;
    if (ls.optics.samples <= 0 || ls.optics.samples > MOST_SAMPLES) {
        failed.failure = "the scan line would be too long to read";
        return failed;
    }
    std::vector<std::pair<double, double>> spans, previousSpans;
    std::vector<double> profileLine(static_cast<std::size_t>(ls.optics.samples));
    Reading first;
    for (int line = 0; line < SCAN_LINES; ++line) {
        barSpans(d, vertical, scanLineAt(top, bottom, line), pr, spans);
        if (line > 0 && spans == previousSpans)
            continue;  // reads as the line before
        previousSpans = spans;
        scanProfile(spans, ls.optics, profileLine);
        ScanDecode scanned = decodeScan(s, ls, profileLine);
        if (scanned.reading.ok && scanned.reading.data != s.facts.data)
            return scanned.reading;  // other data: the caller says what differs
        if (!scanned.decoded) {
            failed.failure = scanned.failure;
            return failed;
        }
        if (line == 0)
            first = std::move(scanned.reading);
    }
    return first;
}

void WorstOfScans::add(const std::vector<QualityParameter>& scan) {
    if (worst_.empty())
        for (const QualityParameter& p : scan)
            worst_.push_back({p.value, p.grade});
    for (std::size_t k = 0; k < worst_.size(); ++k) {
        const QualityParameter& p = scan[k];
        const bool higherIsWorse =
            std::find(higherIsWorse_.begin(), higherIsWorse_.end(), k) != higherIsWorse_.end();
        if (p.grade < worst_[k].grade ||
            (p.grade == worst_[k].grade && (higherIsWorse ? p.value > worst_[k].value : p.value < worst_[k].value)))
            worst_[k] = {p.value, p.grade};
    }
}

}  // namespace korvane::detail
