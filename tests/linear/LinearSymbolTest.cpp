// The symbol model: tilde escapes, dimensions, bar assembly and utilities.

#include "LinearTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

using lineartest::built;

namespace {

struct TildeCase {
    const char* input;
    std::string expected;
};

const TildeCase TILDE_CASES[] = {
    {"~d065", "A"},
    {"A~d009B", "A\tB"},
    {"~~", "~"},
    {"~~d065", "~d065"},
    {"~d300", "\xFF"},
    {"~dxyz", ""},
    {"~x065", "A"},
    {"ab~", "ab"},
    {"ab~d1", "abd1"},
    {"~d65", "A"},
    {"~d6.5", "\x06"},
    {"~d000", ""},
    {"~", ""},
    {"", ""},
    {"plain text", "plain text"},
    {"~d097~d098~d099", "abc"},
    {"~d-01", "\xFF"},   // -1 keeps its low eight bits
    {"~d256x", "\xFFx"},
};

TEST(TildeEscapes, KnownInputs) {
    const LinearSymbol s;
    for (const TildeCase& c : TILDE_CASES) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(s.processTildes(c.input), c.expected);
    }
}

TEST(TildeEscapes, EveryByteValueRoundTrips) {
    const LinearSymbol s;
    for (int v = 1; v < 256; ++v) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "~d%03d", v);
        ASSERT_EQ(s.processTildes(buf), std::string(1, static_cast<char>(v))) << buf;
    }
}

TEST(BarAssembly, PatternCodesGiveWidths) {
    LinearSymbol s;
    s.computeDimensions();
    s.addPatternAtHeight("bwbwb", "nw4F0", 7);
    ASSERT_EQ(s.barCount, 4);  // '0' adds nothing
    EXPECT_EQ(s.barWidths, (std::vector<int>{1, 2, 4, 15}));
    EXPECT_EQ(s.barHeights, (std::vector<int>{7, 7, 7, 7}));
    EXPECT_EQ(s.currentX, 22);
}

TEST(BarAssembly, ColourStringGovernsHowManyCodesAreRead) {
    LinearSymbol s;
    s.computeDimensions();
    s.addPatternAtHeight("bwb", "nwnww", 5);
    EXPECT_EQ(s.barWidths, (std::vector<int>{1, 2, 1}));
    s.addPatternAtHeight("bwbwb", "nw", 5);  // a short pattern is never read past its end
    EXPECT_EQ(s.barCount, 5);
}

TEST(BarAssembly, PatternCodesCountedByTheCallerMatchAColourString) {
    const std::pair<const char*, const char*> cases[] = {{"bwbwbw", "211412"}, {"bwbwbwb", "2331112"},
                                                         {"bwbwb", "nw4F0"}, {"bw", "x9"}};
    for (const auto& [colours, pattern] : cases) {
        SCOPED_TRACE(pattern);
        LinearSymbol byColours, byCount;
        byColours.narrowBarWidth = byCount.narrowBarWidth = 3;
        byColours.computeDimensions();
        byCount.computeDimensions();
        byColours.addPatternAtHeight(colours, pattern, 9);
        byCount.reserveElements(7);
        byCount.addPatternCodes(pattern, static_cast<int>(std::strlen(colours)), 9);
        EXPECT_EQ(byCount.barWidths, byColours.barWidths);
        EXPECT_EQ(byCount.barHeights, byColours.barHeights);
        EXPECT_EQ(byCount.barCount, byColours.barCount);
        EXPECT_EQ(byCount.currentX, byColours.currentX);
    }
}

TEST(BarAssembly, NarrowAndWideWidthsHaveFloors) {
    LinearSymbol s;
    s.narrowBarWidth = 0;
    s.wideRatio = 0;
    s.computeDimensions();
    EXPECT_EQ(s.narrowBarPixels, 1);
    EXPECT_EQ(s.wideBarPixels, 2);
}

TEST(BarAssembly, GuardHeightIsComputedOnFirstUse) {
    LinearSymbol s;
    s.barHeight = 34;
    s.computeDimensions();
    s.addGuardPattern("bwb", "nnn");
    EXPECT_EQ(s.guardBarHeightPixels, 44);
    EXPECT_EQ(s.barHeights[0], 44);
    s.guardBars = false;
    s.addGuardPattern("b", "n");
    EXPECT_EQ(s.barHeights[3], 34);

    LinearSymbol tall;  // the largest "-height" barlane accepts
    tall.barHeight = 2147483647.0;
    tall.computeDimensions();
    tall.addGuardPattern("b", "n");
    EXPECT_EQ(tall.guardBarHeightPixels, 2147483647);
}

TEST(BarAssembly, ElementsBeyond999AreKept) {
    LinearSymbol s;
    s.computeDimensions();
    for (int i = 0; i < 1500; ++i)
        s.addElement(1 + i % 3, 10);
    ASSERT_EQ(s.barCount, 1500);
    EXPECT_EQ(s.barWidths[999], 1);
    EXPECT_EQ(s.barWidths[1499], 3);
}

struct DimensionCase {
    const char* label;
    int symbology;
    const char* code;
    bool check;
    char set;
    int estimatedWidth;
};

// With X = 1, N = 2, I = 1.
const DimensionCase DIMENSION_CASES[] = {
    {"Code 39 with check", 0, "ABC", true, 'B', 6 * 12 + 5},
    {"Code 39 without check", 0, "ABC", false, 'B', 5 * 12 + 4},
    {"Code 39 extended counts expansions", 1, "aB\x01", true, 'B', (6 + 2) * 12 + 7},
    {"Code 39 extended skips high bytes", 1, "\xC3", false, 'B', 2 * 12 + 1},
    {"Code 93 one or two per character", 9, "a1", true, 'B', (4 + 2) * 9 + 5},
    {"Interleaved 2 of 5 even with check", 2, "1234", true, 'B', (6 / 2) * 7 + 7},
    {"Interleaved 2 of 5 odd with check", 2, "123", true, 'B', (4 / 2) * 7 + 7},
    {"Interleaved 2 of 5 odd without check", 2, "123", false, 'B', (4 / 2) * 7 + 7},
    {"Code 11 long value", 3, "12345678901", false, 'B', 15 * 7},
    {"Codabar", 4, "123", true, 'B', 6 * 10},
    {"MSI", 5, "123", true, 'B', 12 * 4 + 3 + 4},
    {"UPC-A", 6, "12345678901", true, 'B', 7 * 12 + 11},
    {"Industrial 2 of 5", 7, "12", true, 'B', 7 * 3 + 7},
    {"EAN-13 ignores check", 10, "123456789012", true, 'B', 7 * 12 + 11},
    {"UPC-E", 12, "01234500005", true, 'B', 51},
    {"Code 128 set B", 13, "ABC", true, 'B', static_cast<int>(5.5 * 4 + 35)},
    {"Code 128 set C", 13, "1234", true, 'C', 11 * 5 + 35},
    {"Postnet", 15, "12345", true, 'B', 10},
};

TEST(Dimensions, WidthEstimates) {
    for (const DimensionCase& c : DIMENSION_CASES) {
        SCOPED_TRACE(c.label);
        LinearSymbol s;
        s.symbology = c.symbology;
        s.code = c.code;
        s.checkCharacter = c.check;
        s.code128Set = c.set;
        s.computeDimensions();
        EXPECT_EQ(s.estimatedWidth, c.estimatedWidth);
    }
}

TEST(Dimensions, AutomaticHeight) {
    LinearSymbol s;
    s.code = "ABC";
    s.computeDimensions();
    EXPECT_EQ(s.estimatedWidth, 77);
    EXPECT_DOUBLE_EQ(s.barHeight, 77 * 0.45);
    EXPECT_EQ(s.barHeightPixels, 34);

    LinearSymbol shortValue;
    shortValue.symbology = 15;
    shortValue.computeDimensions();
    EXPECT_DOUBLE_EQ(shortValue.barHeight, 20.0);

    LinearSymbol given;
    given.barHeight = 55.9;
    given.computeDimensions();
    EXPECT_EQ(given.barHeightPixels, 55);
}

TEST(Build, UnknownSymbologyDrawsNothingAndKeepsTheValueAsText) {
    for (int symbology : {-1, 17, 1000}) {
        const LinearSymbol s = built(symbology, "ab~d065");
        EXPECT_EQ(s.barCount, 0);
        EXPECT_EQ(s.text, "ab~d065");  // the value as typed, not its escapes
        EXPECT_EQ(s.code, "ab~d065");
    }
}

TEST(Build, TextSetBeforeTheBuildSurvives) {
    // Code 39 with its check character always writes its text; the extended
    // form and a build without check keep a text that is already there.
    const LinearSymbol extended = built(1, "AB", [](LinearSymbol& x) { x.text = "given"; });
    EXPECT_EQ(extended.text, "given");
    const LinearSymbol plain = built(0, "AB", [](LinearSymbol& x) {
        x.text = "given";
        x.checkCharacter = false;
    });
    EXPECT_EQ(plain.text, "given");
    const LinearSymbol withCheck = built(0, "AB", [](LinearSymbol& x) { x.text = "given"; });
    EXPECT_EQ(withCheck.text, "ABL");
}

TEST(Build, LayoutPositions) {
    const LinearSymbol s = built(0, "A", [](LinearSymbol& x) {
        x.leftMargin = 10.7;
        x.topMargin = 3.2;
        x.checkCharacter = false;
    });
    EXPECT_EQ(s.leftMarginPixels, 10);
    EXPECT_EQ(s.currentX, 10 + 2 * 13 + 12);  // start and A with gaps, stop
    EXPECT_EQ(s.guardMarks[4], s.currentX);
    EXPECT_EQ(s.textY, s.barHeightPixels + 3);
}

TEST(Utilities, FloorModAndFormatting) {
    EXPECT_EQ(LinearSymbol::floorMod(33, 43), 33);
    EXPECT_EQ(LinearSymbol::floorMod(-1, 10), 9);
    EXPECT_EQ(LinearSymbol::floorMod(156, 43), 27);
    EXPECT_EQ(LinearSymbol::parseNumber(" 12.9e1x"), 129);
    EXPECT_EQ(LinearSymbol::parseNumber("-7.9"), -7);
    EXPECT_EQ(LinearSymbol::parseNumber("abc"), 0);
    EXPECT_EQ(LinearSymbol::parseNumber("1e300"), 2147483647);
    EXPECT_EQ(LinearSymbol::charToString('\0'), "");
    EXPECT_EQ(LinearSymbol::charToString('x'), "x");
    EXPECT_EQ(LinearSymbol::intToString(-42), "-42");
}

TEST(Build, HostileValuesNeverCrashAnySymbology) {
    std::string everyByte;
    for (int b = 1; b < 256; ++b)
        everyByte += static_cast<char>(b);
    const std::string values[] = {"", "~", "~d", everyByte, std::string(5000, '9'), std::string(3000, 'z')};
    for (int symbology = -1; symbology <= LinearSymbol::SYMBOLOGY_COUNT; ++symbology)
        for (const std::string& v : values)
            for (char set : {'A', 'B', 'C', '\0'}) {
                const LinearSymbol s = built(symbology, v, [set](LinearSymbol& x) { x.code128Set = set; });
                ASSERT_EQ(s.barWidths.size(), static_cast<size_t>(s.barCount));
                ASSERT_EQ(s.barHeights.size(), static_cast<size_t>(s.barCount));
            }
}

}  // namespace
