// Interleaved, Industrial and Matrix 2 of 5: symbols rebuilt here from the
// two-of-five definition, and Interleaved 2 of 5 through the decoder.

#include "BarlaneCli.h"
#include "LinearTestUtil.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

using lineartest::built;
using lineartest::roundTrip;
using lineartest::widthDigits;
using testsupport::Symbology;

namespace {

// A two-of-five digit has two wide elements among five whose weights 1, 2, 4,
// 7 and 0 add up to the digit, with 0 written as 4 + 7 = 11. Returned as width
// digits with narrow 1 and wide 2.
std::string twoOfFive(char digit) {
    const int weights[5] = {1, 2, 4, 7, 0};
    const int target = digit == '0' ? 11 : digit - '0';
    for (int i = 0; i < 5; ++i)
        for (int j = i + 1; j < 5; ++j)
            if (weights[i] + weights[j] == target) {
                std::string p = "11111";
                p[i] = p[j] = '2';
                return p;
            }
    ADD_FAILURE() << "no pattern for " << digit;
    return "";
}

std::string interleaved(const std::string& digits) {
    std::string out = "1111";
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        const std::string bars = twoOfFive(digits[i]), spaces = twoOfFive(digits[i + 1]);
        for (int k = 0; k < 5; ++k)
            out += std::string{bars[k], spaces[k]};
    }
    return out + "211";
}

std::string industrial(const std::string& digits) {
    std::string out = "222212";
    for (char d : digits)
        for (char bar : twoOfFive(d))
            out += std::string{bar, '2'};
    return out + "22122";
}

std::string matrix(const std::string& digits) {
    std::string out = "211111";
    for (char d : digits)
        out += twoOfFive(d) + "1";
    return out + "211111";
}

struct Case {
    const char* label;
    int symbology;
    const char* code;
    bool check;
    std::string widths;
    const char* text;
};

const Case CASES[] = {
    {"interleaved even length gets a leading 0", 2, "1234", true, interleaved("012348"), "012348"},
    {"interleaved odd length", 2, "123", true, interleaved("1236"), "1236"},
    {"interleaved odd length without check", 2, "123", false, interleaved("0123"), "0123"},
    {"interleaved even length without check", 2, "1234", false, interleaved("1234"), "1234"},
    {"interleaved empty", 2, "", true, interleaved("00"), "00"},
    {"interleaved every digit", 2, "0123456789", false, interleaved("0123456789"), "0123456789"},
    {"industrial with check", 7, "1234", true, industrial("12348"), "1234"},
    {"industrial without check", 7, "1234", false, industrial("1234"), "1234"},
    {"industrial empty", 7, "", true, industrial("0"), ""},
    {"industrial every digit", 7, "0123456789", false, industrial("0123456789"), "0123456789"},
    // Characters that draw nothing take no weight, so the check matches the bars (124 -> 3).
    {"industrial skips a letter", 7, "12a4", true, industrial("1243"), "12a4"},
    {"matrix never has a check digit", 8, "1234", true, matrix("1234"), "1234"},
    {"matrix every digit", 8, "0123456789", false, matrix("0123456789"), "0123456789"},
    {"matrix skips a letter", 8, "1x2", true, matrix("12"), "1x2"},
    {"matrix empty", 8, "", true, matrix(""), ""},
};

TEST(TwoOfFive, SymbolsMatchTheDefinition) {
    for (const Case& c : CASES) {
        SCOPED_TRACE(c.label);
        const LinearSymbol s = built(c.symbology, c.code, [&](LinearSymbol& x) { x.checkCharacter = c.check; });
        EXPECT_EQ(widthDigits(s), c.widths);
        EXPECT_EQ(s.text, c.text);
        EXPECT_TRUE(s.failureReason.empty());
    }
}

TEST(TwoOfFive, WideElementsFollowTheRatio) {
    const LinearSymbol s = built(8, "7", [](LinearSymbol& x) {
        x.narrowBarWidth = 2;
        x.wideRatio = 3;
    });
    const std::vector<int> expected = {6, 2, 2, 2, 2, 2, 2, 2, 2, 6, 6, 2, 6, 2, 2, 2, 2, 2};
    EXPECT_EQ(s.barWidths, expected);
}

TEST(TwoOfFive, InterleavedRefusesNonDigits) {
    const char* values[] = {"12a4", "x", "123 ", "-1"};
    for (const char* v : values) {
        for (bool check : {true, false}) {
            SCOPED_TRACE(std::string(v) + (check ? " with check" : " without check"));
            const LinearSymbol s = built(2, v, [&](LinearSymbol& x) { x.checkCharacter = check; });
            EXPECT_EQ(s.barCount, 0);
            EXPECT_TRUE(s.barWidths.empty());
            EXPECT_NE(s.failureReason.find("digits only"), std::string::npos) << s.failureReason;
        }
    }
    EXPECT_NE(built(2, "1\x07").failureReason.find("character code 7"), std::string::npos);
}

TEST(TwoOfFive, BarlaneSaysWhyItWritesNoInterleavedSymbol) {
    const char* argv[] = {"barlane", "-type", "2", "-code", "12a4", "-file", "never-written.emf"};
    std::ostringstream out, err;
    EXPECT_EQ(runBarlane(7, argv, out, err), 1);
    EXPECT_EQ(err.str(), "barlane: no file written: Interleaved 2 of 5 encodes digits only, and the value holds 'a'\n");
}

// zxing-cpp reads Interleaved 2 of 5 of six drawn digits or more.
TEST(TwoOfFive, InterleavedRoundTripsThroughTheDecoder) {
    std::mt19937 rng(25);
    std::vector<std::pair<std::string, bool>> values = {{"1234", true}, {"12345", false}, {"0123456789", false},
                                                        {"9876543210", true}, {"00000", true}};
    for (int i = 0; i < 60; ++i) {
        std::string v;
        const int length = 5 + static_cast<int>(rng() % 24);
        for (int j = 0; j < length; ++j)
            v += static_cast<char>('0' + rng() % 10);
        values.emplace_back(v, i % 2 == 0);
    }
    for (const auto& [v, check] : values) {
        SCOPED_TRACE(v + (check ? " with check" : " without check"));
        const LinearSymbol s = built(2, v, [&](LinearSymbol& x) { x.checkCharacter = check; });
        const testsupport::Decoded d = roundTrip(s, Symbology::ITF);
        ASSERT_TRUE(d.ok) << d.error;
        EXPECT_EQ(d.text, s.text);  // the reader keeps the leading 0 and the check digit
    }
}

}  // namespace
