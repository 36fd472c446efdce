// Matrix symbols (Aztec Code, QR Code, Data Matrix) graded by ISO/IEC 15415:
// the printed picture read by the library's reader, each module measured
// through the aperture at the centre the reader's grid gives it, and the
// parameters graded over the codewords, the fixed patterns and the grid.

#include "GradeFamilies.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

namespace korvane::detail {
namespace {

// The aperture is 0.8 X.
constexpr double APERTURE_SHARE_OF_X = 0.8;

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
    const std::vector<int> centres = qrAlignmentCentres(version);
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

// The symbol as verify() reads it from a picture (the symbology's own
// reading, with whatever it holds against the picture: an Aztec symbol's
// runs and bull's-eye), and whether the size it found is the symbol's.
Reading readMatrix(const GrayRaster& picture, const Symbol& s, bool& sizeMatches) {
    const Reading r = descriptor(s.symbology).readPicture(picture);
    if (s.symbology == Symbology::Aztec)
        sizeMatches = r.size == s.columns;
    else if (s.symbology == Symbology::Qr)
        sizeMatches = r.size == s.columns && r.qrVersion >= 1;
    else
        sizeMatches = r.rows == s.rows && r.columns == s.columns;
    return r;
}

// Where the codewords lie: `bits` modules each, after `skip` that hold none.
struct CodewordLayout {
    std::vector<std::pair<int, int>> modules;  // (row, column)
    std::size_t bits = 8, skip = 0;
    std::size_t words() const { return modules.size() / bits; }
};

CodewordLayout codewordLayout(const Symbol& s, const Reading& r) {
    CodewordLayout out;
    if (s.symbology == Symbology::Aztec) {
        const AztecFacts& f = s.facts.aztec;
        const int half = s.columns / 2;
        for (const auto& [x, y] : aztecDataModules(f.compact, f.layers))
            out.modules.emplace_back(y + half, x + half);
        out.bits = static_cast<std::size_t>(std::max(1, f.codewordBits));
        out.skip = out.modules.size() % out.bits;
    } else if (s.symbology == Symbology::Qr) {
        out.modules = qrCodewordModules(r.qrVersion);
    } else {
        out.modules = dataMatrixCodewordModules(s.rows, s.columns);
    }
    return out;
}

// Each module's reflectance against the global threshold of the symbol
// contrast its modules and the picture span.
struct ModuleValues {
    const Symbol& s;
    std::vector<double> sampled;
    double sc = 0, gt = 0;
    bool reversed = false;

    // The module's distance from GT over half SC; with `margin`, signed by
    // the side it should be on (negative on the wrong side of GT).
    double at(int row, int col, bool margin) const {
        const double v = sampled[static_cast<std::size_t>(row) * s.columns + col];
        if (sc <= 0)
            return 0.0;
        if (!margin)
            return 2 * std::fabs(v - gt) / sc;
        const bool nominalDark = s.dark(row, col) != reversed;
        return 2 * (nominalDark ? gt - v : v - gt) / sc;
    }
};

// Modulation (or, with `margin`, reflectance margin) over the codewords:
// each codeword graded by its worst module; then the best level at which
// the codewords below it, taken as erasures, leave error correction of
// that grade, block by block. `least` is the least module value.
int codewordGrade(const ModuleValues& mv, const CodewordLayout& layout, const std::vector<CodewordBlock>& blocks,
                  bool margin, double& least) {
    const std::size_t words = layout.words();
    std::vector<int> wordGrade(words, GRADE_A);
    least = 1;
    for (std::size_t k = 0; k < words; ++k)
        for (std::size_t b = 0; b < layout.bits; ++b) {
            const auto [row, col] = layout.modules[layout.skip + k * layout.bits + b];
            const double v = mv.at(row, col, margin);
            least = std::min(least, v);
            wordGrade[k] = std::min(wordGrade[k], moduleGrade(v));
        }
    int best = GRADE_F;
    for (int level = GRADE_A; level >= 1; --level) {
        double uec = 1;
        for (const CodewordBlock& block : blocks) {
            const double checkWords = std::max(1, block.checkWords - block.protection);
            const double erasures = static_cast<double>(std::count_if(
                block.words.begin(), block.words.end(),
                [&](int k) { return wordGrade[static_cast<std::size_t>(k)] < level; }));
            // The reader says how many words it corrected, not which: taken
            // to be among the erasures as far as they go.
            const double errors = std::max(0.0, block.corrected - erasures);
            uec = std::min(uec, unusedErrorCorrection(erasures, errors, checkWords));
        }
        best = std::max(best, std::min(level, UNUSED_ERROR_CORRECTION.gradeOf(uec)));
    }
    return best;
}

// Aztec Code's fixed patterns: the bull's-eye with its orientation marks,
// and the reference grid of full-range symbols; each module graded by its
// margin.
int aztecFixedPatterns(const ModuleValues& mv, double& least) {
    const AztecFacts& f = mv.s.facts.aztec;
    const int half = mv.s.columns / 2, finder = f.compact ? 5 : 7;
    int grade = GRADE_A;
    for (int y = -half; y <= half; ++y)
        for (int x = -half; x <= half; ++x) {
            const int ring = std::max(std::abs(x), std::abs(y));
            const bool mark = ring == finder && std::abs(x) >= finder - 1 && std::abs(y) >= finder - 1;
            const bool refGrid = !f.compact && ring > finder && (x % 16 == 0 || y % 16 == 0);
            if (!(ring < finder || mark || refGrid))
                continue;
            const double v = mv.at(y + half, x + half, true);
            least = std::min(least, v);
            grade = std::min(grade, moduleGrade(v));
        }
    return grade;
}

// QR Code's and Data Matrix's: each segment by its modules on the wrong side
// and by the least margin of the others; a redundant copy counts at its better.
int segmentFixedPatterns(const ModuleValues& mv, const std::vector<Segment>& segments, double& least) {
    std::vector<int> segmentGrade(segments.size(), GRADE_A);
    for (std::size_t k = 0; k < segments.size(); ++k) {
        int errors = 0, modulation = GRADE_A;
        for (const auto& [row, col] : segments[k].modules) {
            const double v = mv.at(row, col, true);
            least = std::min(least, v);
            if (v < 0)
                ++errors;
            else
                modulation = std::min(modulation, MODULATION_MATRIX.gradeOf(v));
        }
        segmentGrade[k] = std::min(damageGrade(errors), modulation);
    }
    int grade = GRADE_A;
    for (std::size_t k = 0; k < segments.size(); ++k) {
        int g = segmentGrade[k];
        if (segments[k].alternative >= 0)
            g = std::max(g, segmentGrade[static_cast<std::size_t>(segments[k].alternative)]);
        grade = std::min(grade, g);
    }
    return grade;
}

// Axial non-uniformity: the two pitches' difference over their mean.
double axialNonUniformity(double px, double py) { return px + py > 0 ? std::fabs(px - py) / ((px + py) / 2) : 1; }

// Unused error correction of the blocks as read: the least of any block.
double unusedOfBlocks(const std::vector<CodewordBlock>& blocks) {
    double uec = 1;
    for (const CodewordBlock& block : blocks)
        uec = std::min(uec, unusedErrorCorrection(0, block.corrected, std::max(1, block.checkWords - block.protection)));
    return uec;
}

// The symbol's grade when it does not decode as made: F, with its contrast.
QualityGrade notDecoded(QualityGrade q, const Printed& printed, std::string reason) {
    q.parameters = {iso::decode(false), iso::symbolContrast(printed.hi - printed.lo)};
    q.reason = std::move(reason);
    q.grade = 0;
    return q;
}

// The parameters measured over the module grid the reader fitted.
std::vector<QualityParameter> measureMatrix(const Symbol& s, const Printed& printed, const Reading& r,
                                            const CodewordLayout& layout) {
    const bool aztec = s.symbology == Symbology::Aztec;
    const int rows = s.rows, cols = s.columns;
    const ModuleGrid& grid = r.grid;
    const double pitchAcross = std::hypot(grid.acrossX, grid.acrossY), pitchDown = std::hypot(grid.downX, grid.downY);
    const double m = aztec ? r.modulePixels : (pitchAcross + pitchDown) / 2;
    ModuleValues mv{s, moduleReflectances(printed, grid, rows, cols, m)};
    const auto [sLo, sHi] = lowHigh(mv.sampled);
    const double rMin = std::min(sLo, printed.lo), rMax = std::max(sHi, printed.hi);
    mv.sc = rMax - rMin;
    mv.gt = (rMax + rMin) / 2;
    mv.reversed = printed.reversed;

    double leastModulation = 0, leastMargin = 0, fixedLeast = 1;
    const int modulationGrade = codewordGrade(mv, layout, r.blocks, false, leastModulation);
    const int marginGrade = codewordGrade(mv, layout, r.blocks, true, leastMargin);
    const int fixedGrade =
        aztec ? aztecFixedPatterns(mv, fixedLeast)
              : segmentFixedPatterns(
                    mv, s.symbology == Symbology::Qr ? qrSegments(r.qrVersion) : dataMatrixSegments(rows, cols, layout.modules),
                    fixedLeast);
    // Axial non-uniformity. Aztec: the pitch along each axis from the
    // bull's-eye's dark rings two modules inside its edge. The others: the
    // grid the reader fitted to the finders and clock tracks.
    const int ring = (s.facts.aztec.compact ? 4 : 6) - 2;
    const double px = aztec ? aztecPitch(printed.picture, grid, cols, ring, false) : pitchAcross;
    const double py = aztec ? aztecPitch(printed.picture, grid, cols, ring, true) : pitchDown;
    // Grid non-uniformity and print growth from the dark runs along the rows and columns.
    const GridRuns runs =
        gridRuns(printed.picture, grid, rows, cols, aztec ? m : pitchAcross, aztec ? m : pitchDown);
    return {
        iso::decode(true),
        iso::symbolContrast(mv.sc),
        iso::matrixModulation(leastModulation, modulationGrade),
        iso::reflectanceMargin(leastMargin, marginGrade),
        iso::fixedPatternDamage(fixedLeast, fixedGrade),
        iso::axialNonUniformity(axialNonUniformity(px, py)),
        iso::gridNonUniformity(runs.offset),
        iso::unusedErrorCorrection(unusedOfBlocks(r.blocks)),
        iso::printGrowth(runs.runs ? runs.growthSum / runs.runs : 0),
    };
}

}  // namespace

QualityGrade gradeMatrix(const Drawing& d, const Symbol& s, const PrinterProfile& profile) {
    QualityGrade q;
    q.standard = "ISO/IEC 15415";
    q.profile = profile;
    const Printing pr = printingOf(d, profile);
    q.aperture = std::max(1, static_cast<int>(std::lround(APERTURE_SHARE_OF_X * xMmOf(d) / MM_PER_MIL)));
    const Printed printed = printPicture(d, pr);
    if (!printed.ok) {
        q.reason = "the printed picture would be too large to grade";
        return q;
    }
    bool sizeMatches = false;
    const Reading r = readMatrix(printed.picture, s, sizeMatches);
    const bool decoded = r.ok && r.data == s.facts.data && sizeMatches && !r.blocks.empty();
    const CodewordLayout layout = decoded ? codewordLayout(s, r) : CodewordLayout{};
    bool blocksFit = true;
    for (const CodewordBlock& b : r.blocks)
        for (int k : b.words)
            blocksFit = blocksFit && k >= 0 && static_cast<std::size_t>(k) < layout.words();
    q.graded = true;
    if (!decoded || !blocksFit)
        return notDecoded(q, printed,
                          !r.ok     ? r.failure
                          : decoded ? "the reader's codewords do not fit the symbol"
                                    : "the printed symbol reads other data");
    q.parameters = measureMatrix(s, printed, r, layout);
    int least = GRADE_A;
    for (const QualityParameter& p : q.parameters)
        if (!p.informative)
            least = std::min(least, p.grade);
    q.grade = least;
    return q;
}

}  // namespace korvane::detail
