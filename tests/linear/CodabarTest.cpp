// Codabar: check values, texts and sizes, refusals, and decoder round trips.

#include "LinearTestUtil.h"

#include <gtest/gtest.h>

#include <random>

using lineartest::built;
using lineartest::roundTrip;
using testsupport::Symbology;

namespace {

// Width of a character with its gap at X = 1, W = 2: values 0-11 have two
// wide elements (10 units), values 12-19 three (11 units).
int characterUnits(int value) { return value < 12 ? 10 : 11; }

struct Case {
    const char* label;
    const char* code;
    char start, stop;
    bool check;
    std::initializer_list<int> values;  // start, data, check, stop
    const char* text;
};

const Case CASES[] = {
    {"123", "123", 'A', 'B', true, {16, 1, 2, 3, 9, 17}, "1239"},
    {"empty value", "", 'A', 'B', true, {16, 15, 17}, "+"},
    {"punctuation", "1-2$", 'A', 'B', true, {16, 1, 10, 2, 11, 7, 17}, "1-2$7"},
    {"a character outside the table", "x", 'A', 'B', true, {16, 0, 17}, "x0"},
    {"start and stop characters as data", "A1B", 'A', 'B', true, {16, 16, 1, 17, 13, 17}, "A1B/"},
    {"other start and stop", "1", 'C', 'D', true, {18, 1, 10, 19}, "1-"},
    {"without check", "123", 'A', 'B', false, {16, 1, 2, 3, 17}, "123"},
};

TEST(Codabar, KnownSymbols) {
    for (const Case& c : CASES) {
        SCOPED_TRACE(c.label);
        const LinearSymbol s = built(4, c.code, [&](LinearSymbol& x) {
            x.codabarStartChar = c.start;
            x.codabarStopChar = c.stop;
            x.checkCharacter = c.check;
        });
        int units = -1;  // the stop has no gap
        for (int v : c.values)
            units += characterUnits(v);
        EXPECT_EQ(s.barCount, 8 * static_cast<int>(c.values.size()) - 1);
        EXPECT_EQ(s.currentX, units);
        EXPECT_EQ(s.text, c.text);
    }
}

TEST(Codabar, RefusesStartOrStopOtherThanAToD) {
    struct Refusal {
        char start, stop;
        const char* reason;
    };
    const Refusal refusals[] = {
        {'E', 'B', "Codabar start character 'E' is not one of A, B, C and D"},
        {'a', 'B', "Codabar start character 'a' is not one of A, B, C and D"},
        {'1', 'B', "Codabar start character '1' is not one of A, B, C and D"},
        {'A', '\0', "Codabar stop character character code 0 is not one of A, B, C and D"},
        {'A', '*', "Codabar stop character '*' is not one of A, B, C and D"},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.reason);
        const LinearSymbol s = built(4, "123", [&](LinearSymbol& x) {
            x.codabarStartChar = r.start;
            x.codabarStopChar = r.stop;
        });
        EXPECT_EQ(s.barCount, 0);
        EXPECT_TRUE(s.barWidths.empty());
        EXPECT_EQ(s.failureReason, r.reason);
    }
}

TEST(Codabar, OnlyAToDStartAndStop) {
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        SCOPED_TRACE(b);
        const bool frames = c >= 'A' && c <= 'D';
        const LinearSymbol asStart = built(4, "12", [&](LinearSymbol& x) { x.codabarStartChar = c; });
        const LinearSymbol asStop = built(4, "12", [&](LinearSymbol& x) { x.codabarStopChar = c; });
        EXPECT_EQ(asStart.barCount > 0, frames);
        EXPECT_EQ(asStop.barCount > 0, frames);
        EXPECT_EQ(asStart.failureReason.empty(), frames);
        EXPECT_EQ(asStop.failureReason.empty(), frames);
    }
}

// The reader returns the start and stop characters and keeps the check
// character as data; it wants four characters or more in all.
TEST(Codabar, RoundTripsThroughTheDecoder) {
    const std::string alphabet = "0123456789-$:/.+";
    std::mt19937 rng(4);
    for (int i = 0; i < 80; ++i) {
        std::string v;
        const int length = 2 + static_cast<int>(rng() % 19);
        for (int j = 0; j < length; ++j)
            v += alphabet[rng() % alphabet.size()];
        const char start = static_cast<char>('A' + rng() % 4), stop = static_cast<char>('A' + rng() % 4);
        const bool check = i % 3 != 0;
        SCOPED_TRACE(start + v + stop + (check ? " with check" : " without check"));
        const LinearSymbol s = built(4, v, [&](LinearSymbol& x) {
            x.codabarStartChar = start;
            x.codabarStopChar = stop;
            x.checkCharacter = check;
        });
        const testsupport::Decoded d = roundTrip(s, Symbology::Codabar);
        ASSERT_TRUE(d.ok) << d.error;
        EXPECT_EQ(d.text, start + s.text + stop);
    }
}

}  // namespace
