// Reference decodes and ISO/IEC 15416 edges on profiles worked by hand from
// the standards' formulas, and verify() and grade() reading alike.

#include "VerifyTestSupport.h"

#include "verify/GradeParameters.h"
#include "verify/ReferenceDecode.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using korvane::Symbology;
using korvane::detail::referenceDecode;

// Bars `bars` modules wider than nominal and spaces as much narrower.
std::vector<double> gained(const std::vector<int>& nominal, double bars) {
    std::vector<double> out;
    for (std::size_t k = 0; k < nominal.size(); ++k)
        out.push_back(nominal[k] + (k % 2 == 0 ? bars : -bars));
    return out;
}

// Code 128: start B, "A" (1 1 1 3 2 3), stop with its termination bar.
const std::vector<int> CODE128 = {2, 1, 1, 2, 1, 4, 1, 1, 1, 3, 2, 3, 2, 3, 3, 1, 1, 1, 2};
// Code 39 "*" (bars n n w w n, spaces w n n n; ratio 3), a gap, "*".
const std::vector<int> CODE39 = {1, 3, 1, 1, 3, 1, 3, 1, 1, 1, 1, 3, 1, 1, 3, 1, 3, 1, 1};
// EAN-8: guard, left 0 0 7 7 (set A: 3211, 1312), centre, right 1 1 7 7 (set C: 2221, 1312), guard.
std::vector<int> ean8() {
    std::vector<int> out = {1, 1, 1, 3, 2, 1, 1, 3, 2, 1, 1, 1, 3, 1, 2, 1, 3, 1, 2, 1, 1, 1, 1, 1};
    out.insert(out.end(), {2, 2, 2, 1, 2, 2, 2, 1, 1, 3, 1, 2, 1, 3, 1, 2, 1, 1, 1});
    return out;
}

struct ReferenceCase {
    const char* label;
    Symbology symbology;
    std::vector<int> nominal;
    std::vector<double> measured;
    bool decoded;
    double decodability;
};

TEST(ReferenceDecode, HandWorkedProfiles) {
    std::vector<double> lopsided = gained(CODE128, 0);
    lopsided[6] += 0.3;  // a bar of "A" 0.3 wider, the space after it 0.3 narrower:
    lopsided[7] -= 0.3;  // e2 = 1.7 of nominal 2 at p = 11, 1 - 2 x 0.3
    const ReferenceCase cases[] = {
        // Edge to similar edge distances keep every bar and space pair: uniform gain cancels.
        {"Code 128, bars +0.25 X", Symbology::Code128, CODE128, gained(CODE128, 0.25), true, 1.0},
        {"Code 128, bars -0.25 X", Symbology::Code128, CODE128, gained(CODE128, -0.25), true, 1.0},
        {"Code 128, bars +0.33 X", Symbology::Code128, CODE128, gained(CODE128, 0.33), true, 1.0},
        {"Code 128, bars +0.5 X", Symbology::Code128, CODE128, gained(CODE128, 0.5), true, 1.0},
        {"Code 128, bars -0.5 X", Symbology::Code128, CODE128, gained(CODE128, -0.5), true, 1.0},
        // Three bars 0.6 X wider add 1.8 modules: beyond the 1.75 the bar check allows.
        {"Code 128, bars +0.6 X", Symbology::Code128, CODE128, gained(CODE128, 0.6), false, 1.0},
        {"Code 128, one pair 0.3 off", Symbology::Code128, CODE128, lopsided, true, 0.4},
        // Right-half 1 (bars 2 + 2) and its twin 7 (1 + 1): threshold 3. Bars
        // 0.5 X narrower sum 3.0, on it; 0.4 X narrower 3.2 keeps 0.2 of the
        // module (and the left 7s, bars 5 against 3, likewise 4.2 of 4); 0.3 X
        // wider, the right 7s' bars sum 2.6 and keep 0.4.
        {"EAN-8, right 1 on the 1/7 threshold", Symbology::Ean8, ean8(), gained(ean8(), -0.5), false, 0.0},
        {"EAN-8, bars -0.4 X", Symbology::Ean8, ean8(), gained(ean8(), -0.4), true, 0.2},
        {"EAN-8, bars +0.3 X", Symbology::Ean8, ean8(), gained(ean8(), 0.3), true, 0.4},
        // "*": 5 bars and 4 spaces, so p = 15 + 0.3; Z = p / 15 = 1.02, the
        // threshold 2 Z = 2.04, the margin Z; the wide space 2.7 keeps 0.66 / 1.02.
        {"Code 39, bars +0.3 X", Symbology::Code39, CODE39, gained(CODE39, 0.3), true, 0.66 / 1.02},
        {"Code 39, bars +1.0 X", Symbology::Code39, CODE39, gained(CODE39, 1.0), false, 0.0},
    };
    for (const ReferenceCase& c : cases) {
        SCOPED_TRACE(c.label);
        const auto r = referenceDecode(c.measured, c.nominal, c.symbology, 3);
        ASSERT_TRUE(r.applies);
        EXPECT_EQ(r.decoded, c.decoded) << r.failure;
        EXPECT_NEAR(r.decodability, c.decodability, 1e-9);
    }
}

// A profile from (reflectance, samples) stretches.
std::vector<double> profile(std::initializer_list<std::pair<double, int>> stretches) {
    std::vector<double> out;
    for (auto [r, n] : stretches)
        out.insert(out.end(), static_cast<std::size_t>(n), r);
    return out;
}

struct EdgeCase {
    const char* label;
    std::vector<double> r;
    std::vector<double> widths;  // samples, between edges where the profile is midway between neighbours
};

TEST(ReferenceDecode, EdgesMidwayBetweenNeighbours) {
    const EdgeCase cases[] = {
        // GT 0.5 would cut the grey bar (0.4) at 11.17 and 14.83, 3.67 wide;
        // its edges lie where the ramps pass 0.7, between it and the paper.
        {"grey bar beside a black one",
         profile({{1, 10}, {0.7, 1}, {0.4, 4}, {0.7, 1}, {1, 4}, {0.5, 1}, {0, 4}, {0.5, 1}, {1, 10}}),
         {10.5, 5, 5, 5, 10.5}},
        // A blurred black bar: the edges at 0.5, halfway along each ramp.
        {"blurred bar", profile({{1, 8}, {0.75, 1}, {0.25, 1}, {0, 4}, {0.25, 1}, {0.75, 1}, {1, 8}}), {9, 6, 9}},
    };
    for (const EdgeCase& c : cases) {
        SCOPED_TRACE(c.label);
        const auto m = korvane::detail::measureProfile(c.r);
        ASSERT_EQ(m.widths.size(), c.widths.size());
        for (std::size_t k = 0; k < c.widths.size(); ++k)
            EXPECT_NEAR(m.widths[k], c.widths[k], 1e-9) << "element " << k;
    }
}

// verify() passes exactly the symbols whose grade, printed as drawn, decodes.
struct Shared {
    const char* label;
    verifytest::Value value;
    int xDots, reductionDots;
    bool reads;
};

TEST(ReferenceDecode, VerifyAndGradeReadAlike) {
    const Shared cases[] = {
        // Bars 0.75 X thin: three of them 2.25 modules short of the character's.
        {"Code 128, bars 3 of 4 dots thinner", {"Code 128", Symbology::Code128, "Hello-128"}, 4, 3, false},
        {"Code 128, bars 1 of 4 dots thinner", {"Code 128", Symbology::Code128, "Hello-128"}, 4, 1, true},
        // Dark runs a third of a module short: a scanner would not trust the picture.
        {"Aztec, modules 2 of 6 dots thinner", {"Aztec", Symbology::Aztec, "Hello BWR test 1234567890"}, 6, 2, false},
        {"Aztec, as drawn", {"Aztec", Symbology::Aztec, "Hello BWR test 1234567890"}, 6, 0, true},
        {"EAN-13, bars 1 of 2 dots thinner", {"EAN-13", Symbology::Ean13, "590123412345"}, 2, 1, false},
        {"EAN-13, as drawn", {"EAN-13", Symbology::Ean13, "590123412345"}, 2, 0, true},
    };
    for (const Shared& c : cases) {
        SCOPED_TRACE(c.label);
        const korvane::Symbol s = verifytest::encoded(c.value);
        korvane::LayoutOptions o;
        o.dpi = 300;
        o.xDim = korvane::px(c.xDots);
        o.barReduction = korvane::px(c.reductionDots);
        const auto d = korvane::layout(s, o);
        ASSERT_TRUE(d.ok());
        const korvane::Verdict v = korvane::verify(*d, s);
        const korvane::QualityGrade q = korvane::grade(*d, s);
        EXPECT_EQ(v.ok, c.reads) << verifytest::describe(v);
        EXPECT_EQ(q.parameters.at(0).grade > 0, c.reads) << q.reason;
    }
}

// Code 128 at 3 dots a module printed with gain grades A: the reference
// decode is not upset by bars grown alike, and the quiet zones are judged once.
TEST(ReferenceDecode, Code128UnderGain) {
    const korvane::Symbol s = verifytest::encoded({"Code 128", Symbology::Code128, "KORVANE-2024"});
    korvane::LayoutOptions o;
    o.dpi = 300;
    o.xDim = korvane::px(3);
    o.text = false;
    const auto d = korvane::layout(s, o);
    ASSERT_TRUE(d.ok());
    // Gain 0.8 dot eats 0.27 X of the 10 X quiet zone, within the half module
    // both the decode and the parameter allow; bars 0.53 X wider keep the bar check.
    for (double gain : {0.5, 0.8}) {
        SCOPED_TRACE(gain);
        const korvane::QualityGrade q = korvane::grade(*d, s, {"gain", 300, gain, 0});
        EXPECT_EQ(q.letter, 'A') << q.reason;
    }
}

}  // namespace
