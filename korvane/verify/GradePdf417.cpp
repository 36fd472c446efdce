// PDF417 graded as a multi-row symbol (ISO/IEC 15415 with ISO/IEC 15416 along
// each row).

#include "GradeFamilies.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

namespace korvane::detail {
namespace {

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

// Symbol characters are 8 elements of 17 modules; the stop pattern is 9
// elements (one, the bar, in compact PDF417).
constexpr std::size_t CHARACTER_ELEMENTS = 8;
constexpr std::size_t STOP_ELEMENTS = 9;
// Check words the symbol keeps for detection, outside what correction may spend.
constexpr int DETECTION_CHECK_WORDS = 2;
// Where a row's profile parameters stand among decode, symbol contrast,
// minimum reflectance, minimum edge contrast, modulation, defects, decodability.
constexpr std::size_t MODULATION = 4, DEFECTS_AT = 5, DECODABILITY_AT = 6;

// The symbol's elements row by row (modules each, from the start pattern's
// first bar); false when its rows are not PDF417 rows.
bool nominalRows(const Symbol& s, std::size_t characters, std::size_t stopElements,
                 std::vector<std::vector<int>>& nominal) {
    nominal.assign(static_cast<std::size_t>(s.rows), {});
    for (int row = 0; row < s.rows; ++row) {
        std::vector<int>& runs = nominal[static_cast<std::size_t>(row)];
        for (int col = 0; col < s.columns; ++col) {
            if (col > 0 && s.dark(row, col) == s.dark(row, col - 1))
                ++runs.back();
            else
                runs.push_back(1);
        }
        if (s.columns <= 0 || !s.dark(row, 0) || runs.size() != CHARACTER_ELEMENTS + CHARACTER_ELEMENTS * characters + stopElements)
            return false;
    }
    return true;
}

// Each group of a row (start pattern, symbol characters, stop pattern) found
// in the row's profile and measured.
std::vector<GroupMeasure> measureGroups(const ProfileMeasures& m, const std::vector<int>& n, std::size_t groupCount,
                                        std::size_t stopElements) {
    std::vector<GroupMeasure> groups(groupCount);
    // Leading edges of the measured elements, and the row's module.
    const std::vector<double>& widths = m.widths;
    std::vector<double> pos(widths.size() + 1, 0);
    for (std::size_t j = 0; j < widths.size(); ++j)
        pos[j + 1] = pos[j] + widths[j];
    int modules = 0;
    for (int x : n)
        modules += x;
    const double x = widths.size() >= 3 && m.symbolContrast > 0 ? (pos[widths.size() - 1] - pos[1]) / modules : 0;
    std::size_t i0 = 0;  // the group's first nominal element
    int before = 0;      // and the modules before it
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const std::size_t count = g + 1 < groups.size() ? CHARACTER_ELEMENTS : stopElements;
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
    return groups;
}

// The codewords under the check words (data columns, row by row): each
// one's grades for modulation, defects and decodability (0 where not read),
// and over all symbol characters scanned, how many were read.
struct CodewordGrades {
    std::vector<int> modulation, defects, decodability;
    double leastModulation = 1, mostDefects = 0, leastDecodability = 1;
    int read = 0;

    explicit CodewordGrades(std::size_t words) : modulation(words, 0), defects(words, 0), decodability(words, 0) {}

    void add(int row, int columns, const std::vector<GroupMeasure>& groups) {
        for (std::size_t c = 0; c + 2 < groups.size(); ++c) {
            const GroupMeasure& gm = groups[c + 1];
            const bool ok = gm.found && gm.decodability > 0;
            read += ok ? 1 : 0;
            if (c < 1 || c > static_cast<std::size_t>(columns))
                continue;  // a row indicator: scanned, but outside the check words
            const std::size_t k = static_cast<std::size_t>(row) * columns + (c - 1);
            if (!ok)
                continue;
            modulation[k] = MODULATION_LINEAR.gradeOf(gm.modulation);
            defects[k] = DEFECTS.gradeOf(gm.defects);
            decodability[k] = DECODABILITY.gradeOf(gm.decodability);
            leastModulation = std::min(leastModulation, gm.modulation);
            mostDefects = std::max(mostDefects, gm.defects);
            leastDecodability = std::min(leastDecodability, gm.decodability);
        }
    }
};

// The row's profile graded: the whole row, and its start and stop patterns.
ScanGrade rowScan(const ProfileMeasures& m, const std::vector<GroupMeasure>& groups, bool compact) {
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
    ScanGrade scan;
    scan.parameters = {
        iso::decode(patterns),
        iso::symbolContrast(m.symbolContrast),
        iso::minimumReflectance(m.rMin, m.rMax, m.rMax > 0),
        iso::minimumEdgeContrast(m.edgeContrastMin),
        iso::modulation(modulation),
        iso::defects(defects),
        iso::decodability(v),
    };
    if (!patterns)
        for (std::size_t k : {MODULATION, DEFECTS_AT, DECODABILITY_AT})
            scan.parameters[k].grade = GRADE_F;
    scan.grade = GRADE_A;
    for (const QualityParameter& p : scan.parameters)
        scan.grade = std::min(scan.grade, p.grade);
    return scan;
}

// Unused error correction: erasures count once, errors twice, against the
// check words less the two the symbol keeps for detection. A codeword
// parameter: the best level at which the codewords graded below it, taken as
// erasures, leave error correction of that grade. The reader says how many
// words it corrected, not which: taken to be among the erasures as far as
// they go.
struct Pdf417Correction {
    int capacity, corrected;

    double unused(int erasures, int errors) const { return unusedErrorCorrection(erasures, errors, capacity); }
    int overCodewords(const std::vector<int>& grades) const {
        int best = GRADE_F;
        for (int level = GRADE_A; level >= 1; --level) {
            const int erasures = static_cast<int>(
                std::count_if(grades.begin(), grades.end(), [&](int g) { return g < level; }));
            const int errors = std::max(0, corrected - erasures);
            best = std::max(best, std::min(level, UNUSED_ERROR_CORRECTION.gradeOf(unused(erasures, errors))));
        }
        return best;
    }
};

// The symbol's parameters: the rows' worst profile parameters, the codeword
// parameters, codeword yield and unused error correction.
std::vector<QualityParameter> pdf417Parameters(const WorstOfScans& worst, const CodewordGrades& words,
                                               const Reading& r, double yield) {
    const Pdf417Correction correction{r.checkCodewords - DETECTION_CHECK_WORDS, r.correctedCodewords};
    const double uec = correction.unused(r.erasedCodewords, std::max(0, r.correctedCodewords - r.erasedCodewords));
    const int modulationGrade = std::min(worst.grade(MODULATION), correction.overCodewords(words.modulation));
    const int defectsGrade = std::min(worst.grade(DEFECTS_AT), correction.overCodewords(words.defects));
    const int decodabilityGrade = std::min(worst.grade(DECODABILITY_AT), correction.overCodewords(words.decodability));
    return {
        iso::decode(true),
        parameter("symbol contrast", worst.value(1), worst.grade(1)),
        parameter("minimum reflectance", worst.value(2), worst.grade(2)),
        parameter("minimum edge contrast", worst.value(3), worst.grade(3)),
        parameter("modulation", std::min(worst.value(MODULATION), words.leastModulation), modulationGrade),
        parameter("defects", std::max(worst.value(DEFECTS_AT), words.mostDefects), defectsGrade),
        parameter("decodability", std::min(worst.value(DECODABILITY_AT), words.leastDecodability), decodabilityGrade),
        iso::codewordYield(yield),
        iso::unusedErrorCorrection(uec),
    };
}

// Whether the reader read the printed symbol as it was made, row by row.
bool readsAsMade(const Reading& r, const Symbol& s) {
    return r.ok && r.data == s.facts.data && r.rows == s.rows && r.columns == s.facts.pdf417.columns &&
           r.pdf417RowLines.size() == static_cast<std::size_t>(s.rows);
}

}  // namespace

QualityGrade gradePdf417(const Drawing& d, const Symbol& s, const PrinterProfile& profile) {
    QualityGrade q;
    q.standard = "ISO/IEC 15415";
    q.profile = profile;
    const Printing pr = printingOf(d, profile);
    q.aperture = apertureFor(s, xMmOf(d), false);
    const Pdf417Facts& f = s.facts.pdf417;
    const std::size_t characters = static_cast<std::size_t>(f.columns) + (f.compact ? 1 : 2);
    const std::size_t stopElements = f.compact ? 1 : STOP_ELEMENTS;
    std::vector<std::vector<int>> nominal;
    if (s.rows < 1 || f.columns < 1 || s.modules.size() != static_cast<std::size_t>(s.rows) * s.columns ||
        !nominalRows(s, characters, stopElements, nominal)) {
        q.reason = "the symbol's rows are not PDF417 rows";
        return q;
    }
    const Printed printed = printPicture(d, pr);
    if (!printed.ok || printed.reversed) {
        q.reason = !printed.ok ? "the printed picture would be too large to grade"
                               : "PDF417 printed light on dark is not graded (its bars must be the dark elements)";
        return q;
    }
    const Reading r = readPdf417(printed.picture);
    q.graded = true;
    if (!readsAsMade(r, s)) {
        q.parameters = {iso::decode(false), iso::symbolContrast(printed.hi - printed.lo)};
        q.reason = !r.ok ? r.failure : "the printed symbol reads other data";
        q.grade = 0;
        return q;
    }
    const int w = printed.picture.width, h = printed.picture.height;
    const bool across = r.pdf417Turn < 2, backwards = r.pdf417Turn % 2 == 1;
    const double samplesPerMm = printed.perDot * pr.dpi / 25.4;
    const std::vector<double> hole = aperture(q.aperture * MM_PER_MIL * samplesPerMm);
    CodewordGrades words(static_cast<std::size_t>(s.rows) * static_cast<std::size_t>(f.columns));
    std::vector<double> line(static_cast<std::size_t>(across ? w : h));
    WorstOfScans worst({2, DEFECTS_AT});  // minimum reflectance, defects
    double sum = 0;
    for (int row = 0; row < s.rows; ++row) {
        const auto [first, last] = r.pdf417RowLines[static_cast<std::size_t>(row)];
        ProfileMeasures m;
        const int at = (first + last) / 2;
        if (first >= 0 && at >= 0 && at < (across ? h : w)) {
            lineProfile(printed, at, across, backwards, hole, line);
            m = measureProfile(line);
        }
        const std::vector<GroupMeasure> groups =
            measureGroups(m, nominal[static_cast<std::size_t>(row)], characters + 2, stopElements);
        words.add(row, f.columns, groups);
        ScanGrade scan = rowScan(m, groups, f.compact);
        worst.add(scan.parameters);
        sum += scan.grade;
        q.scans.push_back(std::move(scan));
    }
    const double yield = static_cast<double>(words.read) / (static_cast<double>(characters) * s.rows);
    q.parameters = pdf417Parameters(worst, words, r, yield);
    // The rows' profiles as ISO/IEC 15416 combines scans (their mean), then
    // the lowest of that and the codeword parameters.
    double g = std::round(sum / s.rows * 10) / 10;
    for (std::size_t k = MODULATION; k < q.parameters.size(); ++k)
        g = std::min(g, static_cast<double>(q.parameters[k].grade));
    q.grade = g;
    return q;
}

}  // namespace korvane::detail
