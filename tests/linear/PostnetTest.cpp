// Postnet: symbols rebuilt here from the POSTNET definition, bar by bar.

#include "BarlaneCli.h"
#include "LinearTestUtil.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

using lineartest::built;

namespace {

// A digit is five bars, two of them full; the full bars' weights 7, 4, 2, 1, 0
// add up to the digit, with 0 written as 7 + 4 = 11. '1' full, '0' half.
std::string postnetDigit(char digit) {
    const int weights[5] = {7, 4, 2, 1, 0};
    const int target = digit == '0' ? 11 : digit - '0';
    for (int i = 0; i < 5; ++i)
        for (int j = i + 1; j < 5; ++j)
            if (weights[i] + weights[j] == target) {
                std::string p = "00000";
                p[i] = p[j] = '1';
                return p;
            }
    ADD_FAILURE() << "no pattern for " << digit;
    return "";
}

// Bar heights (full 40, half 20) of the frame, the digits and the frame; each
// bar is followed by a space of height 1.
std::vector<int> postnetHeights(const std::string& digits) {
    std::string bars = "1";
    for (char d : digits)
        bars += postnetDigit(d);
    bars += "1";
    std::vector<int> heights;
    for (char b : bars) {
        heights.push_back(b == '1' ? 40 : 20);
        heights.push_back(1);
    }
    return heights;
}

struct Case {
    const char* label;
    const char* code;
    bool check;
    const char* digits;  // drawn, with the check digit
};

const Case CASES[] = {
    {"ZIP code", "12345", true, "123455"},
    {"zero", "0", true, "00"},
    {"without check", "12345", false, "12345"},
    {"every digit", "0123456789", true, "01234567895"},
    {"empty value", "", true, "0"},
};

TEST(Postnet, KnownSymbols) {
    for (const Case& c : CASES) {
        SCOPED_TRACE(c.label);
        const LinearSymbol s = built(15, c.code, [&](LinearSymbol& x) { x.checkCharacter = c.check; });
        EXPECT_EQ(s.barHeights, postnetHeights(c.digits));
        for (int i = 0; i < s.barCount; ++i)
            ASSERT_EQ(s.barWidths[i], i % 2 == 0 ? 1 : 2);
        EXPECT_EQ(s.text, c.code);  // no check digit in the text
    }
}

TEST(Postnet, ZipCodeGeometry) {
    const LinearSymbol s = built(15, "12345");
    EXPECT_EQ(s.barCount, 64);
    EXPECT_EQ(s.barWidths[0], 1);
    EXPECT_EQ(s.barHeights[0], 40);
    EXPECT_EQ(s.barWidths[1], 2);
}

TEST(Postnet, HeightsAndWidthsFollowTheSettings) {
    const LinearSymbol s = built(15, "1", [](LinearSymbol& x) {
        x.postnetShortBarHeight = 20.7;
        x.postnetTallBarHeight = 33.9;
        x.narrowBarWidth = 3;
        x.checkCharacter = false;
    });
    const std::vector<int> heights = {33, 1, 20, 1, 20, 1, 20, 1, 33, 1, 33, 1, 33, 1};
    EXPECT_EQ(s.barHeights, heights);
    for (int i = 0; i < s.barCount; ++i)
        ASSERT_EQ(s.barWidths[i], i % 2 == 0 ? 3 : 6);
}

TEST(Postnet, AddPostnetPatternKeepsAlternation) {
    LinearSymbol s;
    s.narrowBarPixels = 1;
    s.wideBarPixels = 2;
    s.addPostnetPattern("1x0");  // 'x' is neither a full nor a half bar: nothing
    const std::vector<int> heights = {40, 1, 20, 1};
    EXPECT_EQ(s.barHeights, heights);
}

TEST(Postnet, RefusesNonDigits) {
    const char* values[] = {"1234a", "12-34", " ", "\x7f"};
    for (const char* v : values) {
        SCOPED_TRACE(v);
        const LinearSymbol s = built(15, v);
        EXPECT_EQ(s.barCount, 0);
        EXPECT_TRUE(s.barWidths.empty());
        EXPECT_NE(s.failureReason.find("Postnet encodes digits only"), std::string::npos) << s.failureReason;
    }
    const char* argv[] = {"barlane", "-type", "15", "-code", "1234a", "-file", "never-written.emf"};
    std::ostringstream out, err;
    EXPECT_EQ(runBarlane(7, argv, out, err), 1);
    EXPECT_EQ(err.str(), "barlane: no file written: Postnet encodes digits only, and the value holds 'a'\n");
}

TEST(Postnet, RandomValuesMatchTheDefinition) {
    std::mt19937 rng(15);
    for (int i = 0; i < 200; ++i) {
        std::string v;
        int sum = 0;
        const int length = static_cast<int>(rng() % 15);
        for (int j = 0; j < length; ++j) {
            v += static_cast<char>('0' + rng() % 10);
            sum += v.back() - '0';
        }
        SCOPED_TRACE(v);
        const LinearSymbol s = built(15, v);
        ASSERT_EQ(s.barHeights, postnetHeights(v + std::to_string((10 - sum % 10) % 10)));
    }
}

}  // namespace
