// grade(): the thresholds as ISO/IEC 15416 and 15415 give them, hand-made
// scan reflectance profiles, clean drawings grading A, grades falling with
// dot gain, and damage failing the parameter it damages.

#include "VerifyTestSupport.h"

#include "verify/GradeParameters.h"
#include "verify/Quality.h"
#include "verify/Readers.h"

#include "Decode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

using korvane::EncodeOptions;
using korvane::LayoutOptions;
using korvane::QualityGrade;
using korvane::Symbology;
using korvane::detail::GradeScale;

// Each grade's boundary value and the value just beyond it.
struct Boundary {
    const char* label;
    GradeScale scale;
    double values[4];  // the least value that earns A, B, C, D (the most, for lower-is-better)
};
const Boundary BOUNDARIES[] = {
    {"symbol contrast", korvane::detail::SYMBOL_CONTRAST, {0.70, 0.55, 0.40, 0.20}},
    {"linear modulation", korvane::detail::MODULATION_LINEAR, {0.70, 0.60, 0.50, 0.40}},
    {"defects", korvane::detail::DEFECTS, {0.15, 0.20, 0.25, 0.30}},
    {"decodability", korvane::detail::DECODABILITY, {0.62, 0.50, 0.37, 0.25}},
    {"matrix modulation", korvane::detail::MODULATION_MATRIX, {0.50, 0.40, 0.30, 0.20}},
    {"axial non-uniformity", korvane::detail::AXIAL_NON_UNIFORMITY, {0.06, 0.08, 0.10, 0.12}},
    {"grid non-uniformity", korvane::detail::GRID_NON_UNIFORMITY, {0.38, 0.50, 0.63, 0.75}},
    {"unused error correction", korvane::detail::UNUSED_ERROR_CORRECTION, {0.62, 0.50, 0.37, 0.25}},
};

TEST(Grade, ThresholdsAsTheStandardsGiveThem) {
    for (const Boundary& b : BOUNDARIES) {
        SCOPED_TRACE(b.label);
        const double beyond = b.scale.lowerIsBetter ? 0.005 : -0.005;
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(b.scale.gradeOf(b.values[k]), 4 - k);
            EXPECT_EQ(b.scale.gradeOf(b.values[k] + beyond), 3 - k);
        }
    }
}

// The parameters graded on their own, at and just past their limits.
TEST(Grade, ParametersAtTheirLimits) {
    namespace iso = korvane::detail::iso;
    korvane::detail::QuietZone tenModules;
    tenModules.before = tenModules.after = 10;
    struct Case {
        const char* label;
        korvane::QualityParameter p;
        double value;
        int grade;
    };
    const Case CASES[] = {
        {"Rmin half Rmax", iso::minimumReflectance(0.4, 0.8), 0.4, 4},
        {"Rmin over half Rmax", iso::minimumReflectance(0.41, 0.8), 0.41, 0},
        {"no profile", iso::minimumReflectance(0, 0, false), 0, 0},
        {"ECmin at 15 %", iso::minimumEdgeContrast(0.15), 0.15, 4},
        {"ECmin below 15 %", iso::minimumEdgeContrast(0.149), 0.149, 0},
        {"quiet zones half a module short", iso::quietZones(9.5, 12, tenModules), 0.95, 4},
        {"quiet zone more than half a module short", iso::quietZones(12, 9.4, tenModules), 0.94, 0},
        {"print growth is informative", iso::printGrowth(0.3), 0.3, 4},
    };
    for (const Case& c : CASES) {
        SCOPED_TRACE(c.label);
        EXPECT_DOUBLE_EQ(c.p.value, c.value);
        EXPECT_EQ(c.p.grade, c.grade);
    }
    EXPECT_TRUE(iso::printGrowth(0.3).informative);
    // Erasures spend one check word and errors two; no check words: all or nothing.
    EXPECT_DOUBLE_EQ(korvane::detail::unusedErrorCorrection(2, 1, 8), 0.5);
    EXPECT_DOUBLE_EQ(korvane::detail::unusedErrorCorrection(0, 0, 0), 1.0);
    EXPECT_DOUBLE_EQ(korvane::detail::unusedErrorCorrection(1, 0, 0), 0.0);
    // Fixed pattern damage: a grade a module on the wrong side.
    for (int errors = 0; errors <= 5; ++errors)
        EXPECT_EQ(korvane::detail::damageGrade(errors), std::max(0, 4 - errors)) << errors;
}

// grade() picks the family from the registry's facts.
TEST(Grade, FamilyFollowsTheRegistry) {
    using korvane::detail::GradeFamily;
    const std::pair<Symbology, GradeFamily> FAMILIES[] = {
        {Symbology::Code39, GradeFamily::TwoWidthLinear},   {Symbology::Interleaved2of5, GradeFamily::TwoWidthLinear},
        {Symbology::Msi, GradeFamily::TwoWidthLinear},      {Symbology::Code128, GradeFamily::MultiWidthLinear},
        {Symbology::Code93, GradeFamily::MultiWidthLinear}, {Symbology::Gs1_128, GradeFamily::MultiWidthLinear},
        {Symbology::Ean13, GradeFamily::Retail},            {Symbology::UpcE, GradeFamily::Retail},
        {Symbology::Postnet, GradeFamily::HeightModulated}, {Symbology::Qr, GradeFamily::Matrix},
        {Symbology::Aztec, GradeFamily::Matrix},            {Symbology::DataMatrix, GradeFamily::Matrix},
        {Symbology::Pdf417, GradeFamily::Pdf417},
    };
    for (const auto& [symbology, family] : FAMILIES)
        EXPECT_EQ(korvane::detail::gradeFamily(symbology), family) << korvane::symbologyInfo(symbology).name;
}

// A profile from (reflectance, samples) stretches.
std::vector<double> profile(std::initializer_list<std::pair<double, int>> stretches) {
    std::vector<double> out;
    for (auto [r, n] : stretches)
        out.insert(out.end(), static_cast<std::size_t>(n), r);
    return out;
}

struct ProfileCase {
    const char* label;
    std::vector<double> r;
    double sc, ecMin, modulation, defects;
};

TEST(Grade, HandMadeProfiles) {
    const ProfileCase cases[] = {
        // SC = 0.9 - 0.1; EC: quiet/bar 0.8, bar/space 0.7, space/bar 0.6, bar/quiet 0.7.
        {"two bars", profile({{0.9, 10}, {0.1, 4}, {0.8, 4}, {0.2, 4}, {0.9, 10}}), 0.8, 0.6, 0.75, 0},
        // A space with a dip to 0.6 inside: ERN 0.8 - 0.6 = 0.2 of SC 0.8.
        {"spot in a space", profile({{0.9, 10}, {0.1, 4}, {0.8, 2}, {0.6, 1}, {0.8, 2}, {0.1, 4}, {0.9, 10}}), 0.8,
         0.7, 0.875, 0.25},
        // A bar that rises to 0.3 inside: ERN 0.3 - 0.05; SC 0.85.
        {"void in a bar", profile({{0.9, 10}, {0.05, 3}, {0.3, 1}, {0.05, 3}, {0.9, 10}}), 0.85, 0.85, 1.0,
         0.25 / 0.85},
    };
    for (const ProfileCase& c : cases) {
        SCOPED_TRACE(c.label);
        const auto m = korvane::detail::measureProfile(c.r);
        EXPECT_NEAR(m.symbolContrast, c.sc, 1e-9);
        EXPECT_NEAR(m.edgeContrastMin, c.ecMin, 1e-9);
        EXPECT_NEAR(m.modulation, c.modulation, 1e-9);
        EXPECT_NEAR(m.defects, c.defects, 1e-9);
    }
}

// Element widths in modules and their decodability worked by hand.
struct DecodabilityCase {
    const char* label;
    std::vector<int> nominal;
    std::vector<double> measured;
    double wideRatio;
    double v;
};

TEST(Grade, HandMadeDecodability) {
    const DecodabilityCase cases[] = {
        // Code 39 "A" (wnnnnwnnw), ratio 3: threshold 2, margin 1. A narrow
        // space read 1.4 and the wide bar after it 2.6 keep 0.6 of the margin.
        {"Code 39", {3, 1, 1, 1, 1, 3, 1, 1, 3}, {3, 1, 1, 1, 1.4, 2.6, 1, 1, 3}, 3, 0.6},
        // Code 128 start B then "A" (1 1 1 3 2 3): a bar 0.3 wider, the space
        // after it 0.3 narrower: the pairs on either side are 0.3 off, of 0.5.
        {"Code 128", {2, 1, 1, 2, 1, 4, 1, 1, 1, 3, 2, 3}, {2, 1, 1, 2, 1, 4, 1.3, 0.7, 1, 3, 2, 3}, 0, 0.4},
        // EAN-13 left guard then digits 5 (odd: 1 2 3 1... as spaces/bars) with 0.2 off: 1 - 0.2 / 0.5.
        {"EAN-13", {1, 1, 1, 1, 2, 3, 1, 1, 1, 1, 4}, {1, 1, 1, 1, 2.2, 2.8, 1, 1, 1, 1, 4}, 0, 0.6},
        {"exact", {1, 2, 3, 1}, {1, 2, 3, 1}, 0, 1.0},
    };
    for (const DecodabilityCase& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_NEAR(korvane::detail::decodability(c.measured, c.nominal, c.wideRatio), c.v, 1e-9);
    }
}

// One value per symbology that is graded.
const verifytest::Value GRADED[] = {
    {"Code 39", Symbology::Code39, "CODE-39"},
    {"Code 39 full ASCII", Symbology::Code39Extended, "Code 39"},
    {"Code 93", Symbology::Code93, "TEST93"},
    {"Code 93 full ASCII", Symbology::Code93Extended, "Code 93"},
    {"Code 11", Symbology::Code11, "123-45"},
    {"Codabar", Symbology::Codabar, "123456"},
    {"MSI", Symbology::Msi, "80523"},
    {"Interleaved 2 of 5", Symbology::Interleaved2of5, "12345670"},
    {"Industrial 2 of 5", Symbology::Industrial2of5, "123456"},
    {"Matrix 2 of 5", Symbology::Matrix2of5, "0123456789"},
    {"EAN-13", Symbology::Ean13, "590123412345"},
    {"EAN-8", Symbology::Ean8, "9638507"},
    {"UPC-A", Symbology::UpcA, "03600029145"},
    {"UPC-E", Symbology::UpcE, "0123456"},
    {"Code 128", Symbology::Code128, "Code 128"},
    {"GS1-128", Symbology::Gs1_128, "(01)09501101530003"},
    {"Aztec compact", Symbology::Aztec, "Hello BWR test 1234567890"},
    {"Aztec full range", Symbology::Aztec, std::string(300, 'x')},
    {"QR version 1", Symbology::Qr, "HELLO"},
    {"QR version 7, level H", Symbology::Qr, "Hello, version seven and up carry version information",
     [](EncodeOptions& o) { o.qrVersion = 7; o.qrLevel = korvane::QrLevel::H; }},
    {"PDF417", Symbology::Pdf417, "PDF417 graded row by row 0123456789"},
    {"PDF417 compact, two columns", Symbology::Pdf417, "Compact PDF417",
     [](EncodeOptions& o) { o.pdfCompact = true; o.pdfColumns = 2; }},
    {"Data Matrix 10x10", Symbology::DataMatrix, "123456"},
    {"Data Matrix 32x32, four regions", Symbology::DataMatrix, std::string(40, 'x'),
     [](EncodeOptions& o) { o.dmRows = o.dmColumns = 32; }},
};

QualityGrade graded(const verifytest::Value& v, const korvane::PrinterProfile& p = {},
                    verifytest::LayoutTweak tweak = nullptr) {
    const korvane::Symbol s = verifytest::encoded(v);
    return korvane::grade(verifytest::laidOut(s, tweak), s, p);
}

std::string story(const QualityGrade& q) {
    std::string out = q.text + " " + q.reason;
    for (const auto& p : q.parameters)
        out += "; " + p.name + " " + std::to_string(p.value) + " " + korvane::gradeLetter(p.grade);
    return out;
}

TEST(Grade, WholeDotsWithoutPrintingGradeA) {
    for (const verifytest::Value& v : GRADED) {
        SCOPED_TRACE(v.label);
        const QualityGrade q = graded(v);
        ASSERT_TRUE(q.graded) << q.reason;
        EXPECT_EQ(q.grade, 4.0) << story(q);
        for (const auto& p : q.parameters)
            EXPECT_EQ(p.grade, 4) << p.name << " " << p.value;
    }
}

TEST(Grade, NeverRiseWithDotGain) {
    for (const verifytest::Value& v : GRADED) {
        SCOPED_TRACE(v.label);
        double previous = 4;
        for (double gain = 0; gain <= 1.5; gain += 0.25) {
            const QualityGrade q = graded(v, korvane::PrinterProfile{"sweep", 203, gain, 0.3});
            EXPECT_LE(q.grade, previous + 1e-9) << "gain " << gain << ": " << story(q);
            previous = q.grade;
        }
    }
}

double parameterValue(const QualityGrade& q, const std::string& name) {
    for (const auto& p : q.parameters)
        if (p.name == name)
            return p.value;
    ADD_FAILURE() << "no parameter " << name;
    return 0;
}

// Gain below a dot is printed as such: at 2 dots a module every 0.05 dot from
// 0.2 to 0.45 lowers a matrix symbol's modulation (a print spread by whole
// pixels left them equal), and a linear symbol at 3 dots a module falls at
// most one grade per 0.1 dot.
TEST(Grade, FollowsGainBelowADot) {
    LayoutOptions o;
    o.dpi = 300;
    o.xDim = korvane::px(2);
    for (const verifytest::Value& v : {verifytest::Value{"QR", Symbology::Qr, "Hello BWR test 1234567890"},
                                       verifytest::Value{"Data Matrix", Symbology::DataMatrix, "Hello BWR test"}}) {
        SCOPED_TRACE(v.label);
        const korvane::Symbol s = verifytest::encoded(v);
        const korvane::Drawing d = *korvane::layout(s, o);
        double previous = 2;
        for (int step = 4; step <= 9; ++step) {
            const QualityGrade q = korvane::grade(d, s, {"sweep", 300, 0.05 * step, 0});
            const double modulation = parameterValue(q, "modulation");
            EXPECT_LT(modulation, previous) << "gain " << 0.05 * step << ": " << story(q);
            previous = modulation;
        }
    }
    o.xDim = korvane::px(3);
    const korvane::Symbol ean = verifytest::encoded({"EAN-13", Symbology::Ean13, "590123412345"});
    const korvane::Drawing d = *korvane::layout(ean, o);
    double previous = -1;
    for (int step = -5; step <= 10; ++step) {
        const QualityGrade q = korvane::grade(d, ean, {"sweep", 300, 0.1 * step, 0.3});
        if (previous >= 0) {
            EXPECT_LE(std::fabs(q.grade - previous), 1.0 + 1e-9) << "gain " << 0.1 * step << ": " << story(q);
        }
        previous = q.grade;
    }
}

TEST(Grade, PrinterProfiles) {
    struct Named {
        const char* spec;
        double dpi, gain, blur;
    };
    const Named ok[] = {{"ideal", 0, 0, 0}, {"thermal203", 203, 0.3, 0.3}, {"203,0.3", 203, 0.3, 0},
                        {"600,0.0254mm,0.5", 600, 0.6, 0.5}};
    for (const Named& n : ok) {
        SCOPED_TRACE(n.spec);
        const auto p = korvane::printerProfile(n.spec);
        ASSERT_TRUE(p.ok());
        EXPECT_DOUBLE_EQ(p->dpi, n.dpi);
        EXPECT_NEAR(p->dotGain, n.gain, 1e-9);
        EXPECT_DOUBLE_EQ(p->blur, n.blur);
    }
    for (const char* bad : {"inkjet", "203,x", "10", "300,3", "300,0,5", "300,0,0,0"})
        EXPECT_FALSE(korvane::printerProfile(bad).ok()) << bad;
}

// Every grade says what set it; a drawing made for another printer's
// resolution says so first, with the mend.
TEST(Grade, ReasonNamesWhatSetIt) {
    const korvane::Symbol s = verifytest::encoded({"EAN-13", Symbology::Ean13, "590123412345"});
    LayoutOptions at300;
    at300.dpi = 300;
    const korvane::Drawing d = *korvane::layout(s, at300);
    EXPECT_EQ(korvane::grade(d, s).reason, "every parameter grades A");
    const QualityGrade q = korvane::grade(d, s, *korvane::printerProfile("thermal203"));
    ASSERT_TRUE(q.graded) << q.reason;
    EXPECT_EQ(q.reason.rfind("drawn at 300 dpi for a 203 dpi printer: draw at 203 dpi", 0), 0u) << q.reason;
    int lowest = 4;
    for (const auto& p : q.parameters)
        lowest = std::min(lowest, p.informative ? 4 : p.grade);
    ASSERT_LT(lowest, 4) << story(q);
    EXPECT_NE(q.reason.find(std::string(" (") + korvane::gradeLetter(lowest) + ")"), std::string::npos) << q.reason;
}

}  // namespace

namespace {

using korvane::Drawing;
using verifytest::cutQuietZone;

// --- damage to a drawing laid out upright

// A bar in the middle made 0.4 X wider, into the space after it (X is 10 dots).
void widenBar(Drawing& d) { d.rects[d.rects.size() / 2].width += 4; }

// A dark line two dots wide (X is 10 dots, the aperture 20 mils: 6 dots) down
// the middle of a space at least three modules wide: a dip that stays light.
void spotInSpace(Drawing& d) {
    for (std::size_t i = 0; i + 1 < d.rects.size(); ++i) {
        const korvane::Rect& a = d.rects[i];
        const int gap = d.rects[i + 1].x - (a.x + a.width);
        if (gap >= 3 * d.moduleDots) {
            d.rects.push_back({a.x + a.width + gap / 2 - 1, a.y, 2, a.height});
            return;
        }
    }
    ADD_FAILURE() << "no space to spot";
}

void flipAztecModule(korvane::Symbol& s, int x, int y) {
    const int c = s.columns / 2;
    s.modules[static_cast<std::size_t>(c + y) * static_cast<std::size_t>(s.columns) + static_cast<std::size_t>(c + x)] ^= 1;
}

// One module flipped in each of five codewords spread over the data layers.
void flipFiveCodewords(korvane::Symbol& s) {
    const korvane::AztecFacts& f = s.facts.aztec;
    const auto modules = korvane::detail::aztecDataModules(f.compact, f.layers);
    const std::size_t bits = static_cast<std::size_t>(f.codewordBits), skip = modules.size() % bits;
    const std::size_t words = modules.size() / bits;
    for (std::size_t i = 0; i < 5; ++i) {
        const auto [x, y] = modules[skip + (i * words / 5) * bits];
        flipAztecModule(s, x, y);
    }
}

void flipModule(korvane::Symbol& s, int row, int col) {
    s.modules[static_cast<std::size_t>(row) * static_cast<std::size_t>(s.columns) + static_cast<std::size_t>(col)] ^= 1;
}

// The first module of each of the given codewords flipped.
void flipCodewords(korvane::Symbol& s, const std::vector<std::pair<int, int>>& modules, std::initializer_list<int> words) {
    for (int k : words) {
        const auto [row, col] = modules[static_cast<std::size_t>(k) * 8];
        flipModule(s, row, col);
    }
}

// PDF417 laid out by default: X is moduleDots, rows three modules tall.
struct Pdf417Place {
    int x0, y0, x, rowHeight, rows;
};
Pdf417Place pdf417Place(const Drawing& d) {
    const int x = static_cast<int>(d.moduleDots);
    return {d.symbolBox.x, d.symbolBox.y, x, 3 * x, d.symbolBox.height / (3 * x)};
}

// A blot over the first data codeword of the middle row, all but its last
// module (a space, which keeps it apart from the next character): no scan
// line reads it.
void blotPdf417Codeword(Drawing& d) {
    const Pdf417Place p = pdf417Place(d);
    d.rects.push_back({p.x0 + 34 * p.x, p.y0 + p.rows / 2 * p.rowHeight, 16 * p.x, p.rowHeight});
}

// A light line one module tall along the middle of rows 0 and 2 over the
// data codewords (six columns; no bar crosses their ends): the reader reads
// those rows from the lines above and below it, the scans through the rows'
// middles read none of their data.
void scratchPdf417Rows(Drawing& d) {
    const Pdf417Place p = pdf417Place(d);
    const int from = p.x0 + 34 * p.x, to = from + 6 * 17 * p.x;
    std::vector<korvane::Rect> out;
    for (korvane::Rect r : d.rects) {
        if (r.x >= from && r.x < to)
            for (int row : {0, 2}) {
                const int gapTop = p.y0 + row * p.rowHeight + p.x, gapBottom = gapTop + p.x;
                if (r.y < gapTop && r.y + r.height > gapTop) {
                    out.push_back({r.x, r.y, r.width, gapTop - r.y});
                    r.height -= gapBottom - r.y;
                    r.y = gapBottom;
                }
            }
        if (r.height > 0)
            out.push_back(r);
    }
    d.rects = out;
}

const verifytest::Value QR_V7_H = {"QR version 7, level H", Symbology::Qr, "version seven",
                                   [](EncodeOptions& o) { o.qrVersion = 7; o.qrLevel = korvane::QrLevel::H; }};

struct Damage {
    const char* label;
    verifytest::Value value;
    void (*drawing)(Drawing&);             // damage to the drawing, or null
    void (*symbol)(korvane::Symbol&);      // damage to the symbol's modules before layout, or null
    const char* failing;                   // the parameters that fall below A
    int grade;                             // and the grade they get
    verifytest::LayoutTweak layout = nullptr;
};

void tenDots(LayoutOptions& o) { o.xDim = korvane::px(10); }

const Damage DAMAGES[] = {
    // The reader checks quiet zones as part of decoding, as the EAN/UPC reference decode does.
    {"quiet zone cut to 3 X", {"EAN-13", Symbology::Ean13, "590123412345"}, [](Drawing& d) { cutQuietZone(d, 3); },
     nullptr, "quiet zones decode", 0},
    {"bar widened by 0.4 X", {"Code 128", Symbology::Code128, "Code 128"}, widenBar, nullptr, "decodability", 0,
     tenDots},
    {"line in a space", {"Code 39", Symbology::Code39, "CODE-39"}, spotInSpace, nullptr, "defects", -1, tenDots},
    {"bars 707070", {"Code 128", Symbology::Code128, "Code 128"},
     [](Drawing& d) { d.foreground = korvane::Colour{0x70, 0x70, 0x70, 255}; }, nullptr, "symbol contrast", 3},
    // Bars this light fail minimum reflectance too: more than half the paper's.
    {"bars 808080", {"Code 128", Symbology::Code128, "Code 128"},
     [](Drawing& d) { d.foreground = korvane::Colour{0x80, 0x80, 0x80, 255}; }, nullptr,
     "symbol contrast minimum reflectance", -1},
    {"orientation mark flipped", {"Aztec", Symbology::Aztec, "Hello BWR test 1234567890"}, nullptr,
     [](korvane::Symbol& s) { flipAztecModule(s, -5, -5); }, "fixed pattern damage", 0},
    // Five errors leave 1 - 10/17 of the check words: C. Modulation grades
    // with the same count (its codewords are graded with the errors), while
    // reflectance margin takes the flipped modules for erasures.
    {"five codewords damaged", {"Aztec", Symbology::Aztec, "Hello BWR test 1234567890"}, nullptr, flipFiveCodewords,
     "unused error correction modulation", 2},
    // One module wrong in a finder's outer ring: B.
    {"QR finder module flipped", {"QR", Symbology::Qr, "HELLO"}, nullptr,
     [](korvane::Symbol& s) { flipModule(s, 0, 1); }, "fixed pattern damage", 3},
    // Two wrong in the frame line between the regions: C.
    {"Data Matrix frame modules flipped", GRADED[std::size(GRADED) - 1], nullptr,
     [](korvane::Symbol& s) {
         flipModule(s, 5, 15);
         flipModule(s, 9, 15);
     },
     "fixed pattern damage", 2},
    // Version 7-H interleaves 5 blocks of 26 check words: words 0, 5, ... 20
    // are all in the first block, whose five errors leave 1 - 10/26.
    {"QR five codewords of one block", QR_V7_H, nullptr,
     [](korvane::Symbol& s) { flipCodewords(s, korvane::detail::qrCodewordModules(7), {0, 5, 10, 15, 20}); },
     "unused error correction modulation", 3},
    // 10x10 has 5 check words: one error leaves 1 - 2/5.
    {"Data Matrix codeword damaged", {"Data Matrix", Symbology::DataMatrix, "123456"}, nullptr,
     [](korvane::Symbol& s) { flipCodewords(s, korvane::detail::dataMatrixCodewordModules(10, 10), {1}); },
     "unused error correction modulation", 3},
    // Level 1 keeps 2 of its 4 check words for correction: one erasure
    // leaves half (B), at every level of the codeword parameters too.
    {"PDF417 codeword blotted",
     {"PDF417 level 1", Symbology::Pdf417, "PDF417 graded row by row 0123456789",
      [](EncodeOptions& o) { o.pdfLevel = 1; }},
     blotPdf417Codeword, nullptr, "unused error correction modulation defects decodability", 3},
    // 14 of the 24 characters the three scans cross unread (the data, and
    // the left row indicators, whose last space runs on into the line): a
    // yield of 10/24, F. The reader corrects nothing, but as erasures the 12
    // data codewords are beyond the 6 check words that correct.
    {"PDF417 rows scratched along their middles",
     {"PDF417 3 x 6", Symbology::Pdf417, "PDF417 yield",
      [](EncodeOptions& o) {
          o.pdfRows = 3;
          o.pdfColumns = 6;
          o.pdfLevel = 2;
      }},
     scratchPdf417Rows, nullptr, "codeword yield modulation defects decodability", -1},
    {"PDF417 bars 808080", {"PDF417", Symbology::Pdf417, "PDF417 graded row by row 0123456789"},
     [](Drawing& d) { d.foreground = korvane::Colour{0x80, 0x80, 0x80, 255}; }, nullptr,
     "symbol contrast minimum reflectance", -1},
};

TEST(Grade, DamageFailsTheParameterItDamages) {
    for (const Damage& c : DAMAGES) {
        SCOPED_TRACE(c.label);
        korvane::Symbol s = verifytest::encoded(c.value);
        const korvane::Symbol intact = s;
        if (c.symbol)
            c.symbol(s);
        Drawing d = verifytest::laidOut(s, c.layout);
        if (c.drawing)
            c.drawing(d);
        const QualityGrade q = korvane::grade(d, intact, {});
        ASSERT_TRUE(q.graded) << q.reason;
        for (const auto& p : q.parameters) {
            if (p.informative)
                continue;
            if (std::string(c.failing).find(p.name) != std::string::npos) {
                if (c.grade >= 0)
                    EXPECT_EQ(p.grade, c.grade) << p.name << " " << p.value << "; " << story(q);
                else
                    EXPECT_LT(p.grade, 4) << p.name << " " << p.value << "; " << story(q);
            } else {
                EXPECT_EQ(p.grade, 4) << p.name << " " << p.value << "; " << story(q);
            }
        }
    }
}

// verify() and grade() share one decode: verify passes exactly the damaged
// drawings whose grade decodes.
TEST(Grade, VerifyPassesWhatGradeDecodes) {
    for (const Damage& c : DAMAGES) {
        SCOPED_TRACE(c.label);
        korvane::Symbol s = verifytest::encoded(c.value);
        const korvane::Symbol intact = s;
        if (c.symbol)
            c.symbol(s);
        Drawing d = verifytest::laidOut(s, c.layout);
        if (c.drawing)
            c.drawing(d);
        const QualityGrade q = korvane::grade(d, intact, {});
        const korvane::Verdict v = korvane::verify(d, intact);
        EXPECT_EQ(v.ok, q.parameters.at(0).grade > 0) << verifytest::describe(v) << "; " << story(q);
    }
}

}  // namespace

namespace {

// Where zxing-cpp cannot read the printed picture, the grade is D or lower.
TEST(Grade, UnreadablePrintsGradeDOrBelow) {
    const verifytest::Value values[] = {
        {"EAN-13", Symbology::Ean13, "590123412345"},
        {"Aztec", Symbology::Aztec, "Hello BWR test 1234567890"},
        {"QR", Symbology::Qr, "Hello BWR test 1234567890"},
        {"Data Matrix", Symbology::DataMatrix, "Hello BWR test 1234567890"},
        {"PDF417", Symbology::Pdf417, "Hello BWR test 1234567890"},
    };
    int unreadable = 0;
    for (const verifytest::Value& v : values) {
        SCOPED_TRACE(v.label);
        const korvane::Symbol s = verifytest::encoded(v);
        const Drawing d = verifytest::laidOut(s);
        for (double gain = 0; gain <= 2.0; gain += 0.25) {
            const korvane::PrinterProfile p{"sweep", 203, gain, 0.3};
            const korvane::GrayRaster picture = korvane::detail::printedPicture(d, p);
            testsupport::GrayImage image{picture.width, picture.height, picture.pixels};
            const auto zxing = testsupport::decode(image, v.symbology == Symbology::Aztec ? testsupport::Symbology::Aztec
                                                          : v.symbology == Symbology::Qr ? testsupport::Symbology::QRCode
                                                          : v.symbology == Symbology::DataMatrix
                                                              ? testsupport::Symbology::DataMatrix
                                                          : v.symbology == Symbology::Pdf417 ? testsupport::Symbology::Pdf417
                                                                                             : testsupport::Symbology::EAN13);
            if (zxing.ok)
                continue;
            ++unreadable;
            EXPECT_LE(korvane::grade(d, s, p).grade, 1.0) << "gain " << gain;
        }
    }
    EXPECT_GT(unreadable, 0);  // the sweep reaches prints zxing-cpp cannot read
}

}  // namespace
