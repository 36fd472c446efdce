// Code 93 and full-ASCII Code 93: known symbols and decoder round trips.

#include "LinearTestUtil.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using lineartest::built;
using lineartest::roundTrip;
using lineartest::widthDigits;
using testsupport::Symbology;

namespace {

constexpr const char* START = "111141";
constexpr const char* STOP = "1111411";

struct Case {
    const char* label;
    int symbology;
    const char* code;
    std::string widths;  // start, data, C, K, stop
    const char* text;
};

const Case CASES[] = {
    {"TEST93", 9, "TEST93",
     std::string(START) + "211221" + "221211" + "211122" + "211221" + "141111" + "111411" + "113121" + "121311" + STOP,
     "TEST93+6"},
    {"F: K is a shift character shown as _", 9, "F", std::string(START) + "231111" + "231111" + "311121" + STOP, "FF_"},
    {"lower case is skipped but shown", 9, "ab1", std::string(START) + "111213" + "111213" + "111411" + STOP, "ab113"},
    {"empty value", 9, "", std::string(START) + "131112" + "131112" + STOP, "00"},
    {"a character outside the table", 9, "_", std::string(START) + "131112" + "131112" + STOP, "_00"},
    {"extended a is shift (+) and A", 14, "a", std::string(START) + "122211" + "211113" + "131211" + "131121" + STOP,
     "a8P"},
    {"extended skips bytes above 127", 14, "\xE9" "a",
     std::string(START) + "122211" + "211113" + "131211" + "131121" + STOP, "\xE9" "a8P"},
};

TEST(Code93, KnownSymbols) {
    for (const Case& c : CASES) {
        SCOPED_TRACE(c.label);
        const LinearSymbol s = built(c.symbology, c.code);
        EXPECT_EQ(widthDigits(s), c.widths);
        EXPECT_EQ(s.text, c.text);
        for (int i = 0; i < s.barCount; ++i)
            ASSERT_EQ(s.barHeights[i], s.barHeightPixels);
    }
}

TEST(Code93, ShiftWeightsCountSeparately) {
    // The shift character of 'a' takes weight 1 in C and its letter weight 20.
    const LinearSymbol s = built(14, "a" + std::string(19, '0'));
    EXPECT_EQ(s.text, "a" + std::string(19, '0') + "BH");
}

TEST(Code93, SizeAndCheckSwitch) {
    const LinearSymbol with = built(9, "TEST93");
    EXPECT_EQ(with.barCount, 6 * 6 + 25);
    EXPECT_EQ(with.currentX, 9 * 6 + 37);

    const LinearSymbol without = built(9, "TEST93", [](LinearSymbol& s) { s.checkCharacter = false; });
    EXPECT_EQ(without.barCount, 49);
    EXPECT_EQ(without.text, "TEST93");
}

TEST(Code93, PresetTextIsKept) {
    const LinearSymbol s = built(9, "TEST93", [](LinearSymbol& x) { x.text = "label"; });
    EXPECT_EQ(s.text, "label");
}

TEST(Code93, RoundTripsThroughTheDecoder) {
    const std::string alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
    std::mt19937 rng(93);
    std::vector<std::string> values = {"TEST93", "F", alphabet, "0", "%%%%", "$ $"};
    for (int i = 0; i < 60; ++i) {
        std::string v;
        const int length = 1 + static_cast<int>(rng() % 30);
        for (int j = 0; j < length; ++j)
            v += alphabet[rng() % alphabet.size()];
        values.push_back(v);
    }
    for (const std::string& v : values) {
        SCOPED_TRACE(v);
        const testsupport::Decoded d = roundTrip(built(9, v), Symbology::Code93);
        ASSERT_TRUE(d.ok) << d.error;
        EXPECT_EQ(d.text, v);  // the reader drops C and K after checking them
    }
}

TEST(Code93, ExtendedRoundTripsEveryAsciiCharacter) {
    std::string all;
    for (int c = 0; c < 128; ++c)
        all += static_cast<char>(c);
    std::vector<std::string> values = {all, "a", "Hello, World!", "a" + std::string(19, '0')};
    for (std::size_t i = 0; i < all.size(); i += 16)
        values.push_back(all.substr(i, 16));
    std::mt19937 rng(14);
    for (int i = 0; i < 40; ++i) {
        std::string v;
        const int length = 1 + static_cast<int>(rng() % 24);
        for (int j = 0; j < length; ++j)
            v += static_cast<char>(rng() % 128);
        values.push_back(v);
    }
    for (const std::string& v : values) {
        SCOPED_TRACE(::testing::PrintToString(v));
        // Tilde escapes off: the value holds raw bytes, '~' among them.
        const LinearSymbol s = built(14, v, [](LinearSymbol& x) { x.processTilde = false; });
        const testsupport::Decoded d = roundTrip(s, Symbology::Code93, 2);
        ASSERT_TRUE(d.ok) << d.error;
        EXPECT_EQ(testsupport::bytesToString(d.bytes), v);
    }
}

}  // namespace
