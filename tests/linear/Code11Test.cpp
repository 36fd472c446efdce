// Code 11: symbols rebuilt here from the Code 11 definition, element by element.

#include "LinearTestUtil.h"

#include <gtest/gtest.h>

#include <random>

using lineartest::built;
using lineartest::widthDigits;

namespace {

// A Code 11 character is five elements, bar first. The digits 1 to 8 have two
// wide elements whose weights 1, 2, 4, 7, 0 add up to the digit; 0, 9 and the
// dash have one wide element, the fifth, first and third. Width digits at
// X = 1, W = 2.
std::string code11Character(char c) {
    std::string p = "11111";
    if (c == '0' || c == '9' || c == '-') {
        p[c == '0' ? 4 : c == '9' ? 0 : 2] = '2';
        return p;
    }
    const int weights[5] = {1, 2, 4, 7, 0};
    for (int i = 0; i < 5; ++i)
        for (int j = i + 1; j < 5; ++j)
            if (weights[i] + weights[j] == c - '0') {
                p[i] = p[j] = '2';
                return p;
            }
    ADD_FAILURE() << "no pattern for " << c;
    return "";
}

int code11Value(char c) { return c == '-' ? 10 : c >= '0' && c <= '9' ? c - '0' : -1; }

// Sum over the value from its right end, the i-th character (i from 0) taking
// the weight (i + offset) % cycle + 1; unknown characters count -1.
int weighted(const std::string& v, int offset, int cycle) {
    int sum = 0;
    for (std::size_t i = 0; i < v.size(); ++i)
        sum += code11Value(v[v.size() - 1 - i]) * static_cast<int>((i + offset) % cycle + 1);
    return sum;
}

char code11Char(int value) { return value == 10 ? '-' : static_cast<char>('0' + value); }

// Start, the drawn characters each with a narrow gap, stop.
std::string code11Symbol(const std::string& drawn) {
    std::string out = "112211";
    for (char c : drawn)
        out += code11Character(c) + "1";
    return out + "11221";
}

// The characters drawn for a value with check characters: its known
// characters, C, and K when the value is longer than ten characters.
std::string drawnWithChecks(const std::string& v) {
    std::string drawn;
    for (char c : v)
        if (code11Value(c) >= 0)
            drawn += c;
    const int c = ((weighted(v, 0, 10) % 11) + 11) % 11;
    drawn += code11Char(c);
    if (v.size() > 10)
        drawn += code11Char(((c + weighted(v, 1, 9)) % 11 + 11) % 11);
    return drawn;
}

struct Case {
    const char* label;
    const char* code;
    const char* drawn;  // data and check characters
    const char* text;
};

const Case CASES[] = {
    {"C only below eleven characters", "123", "123-", "123-"},
    {"C and K", "12345678901", "123456789014-", "123456789014-"},
    {"every character", "0123456789-", "0123456789-06", "0123456789-06"},
    {"a character outside the table still weighs", "1A2", "123", "1A23"},
    {"empty value", "", "0", "0"},
    {"ten characters take no K", "1234567890", "12345678901", "12345678901"},
};

TEST(Code11, KnownSymbols) {
    for (const Case& c : CASES) {
        SCOPED_TRACE(c.label);
        const LinearSymbol s = built(3, c.code);
        EXPECT_EQ(widthDigits(s), code11Symbol(c.drawn));
        EXPECT_EQ(s.text, c.text);
    }
}

TEST(Code11, WithoutChecksOrWithAPresetText) {
    const LinearSymbol plain = built(3, "12345678901", [](LinearSymbol& s) { s.checkCharacter = false; });
    EXPECT_EQ(widthDigits(plain), code11Symbol("12345678901"));
    EXPECT_EQ(plain.text, "12345678901");

    const LinearSymbol preset = built(3, "12345678901", [](LinearSymbol& s) { s.text = "label"; });
    EXPECT_EQ(widthDigits(preset), code11Symbol("123456789014-"));
    EXPECT_EQ(preset.text, "label");
}

TEST(Code11, WidthsFollowTheSettings) {
    // '0' and the stop at X = 2, W = 6: the wide elements are 6 units.
    const LinearSymbol s = built(3, "0", [](LinearSymbol& x) {
        x.narrowBarWidth = 2;
        x.wideRatio = 3;
        x.checkCharacter = false;
    });
    const std::vector<int> expected = {2, 2, 6, 6, 2, 2, 2, 2, 2, 2, 6, 2, 2, 2, 6, 6, 2};
    EXPECT_EQ(s.barWidths, expected);
}

TEST(Code11, RandomValuesMatchTheDefinition) {
    const std::string alphabet = "0123456789-";
    std::mt19937 rng(11);
    for (int i = 0; i < 200; ++i) {
        std::string v;
        const int length = static_cast<int>(rng() % 25);
        for (int j = 0; j < length; ++j)
            v += alphabet[rng() % alphabet.size()];
        SCOPED_TRACE(v);
        const LinearSymbol s = built(3, v);
        ASSERT_EQ(widthDigits(s), code11Symbol(drawnWithChecks(v)));
        ASSERT_EQ(s.text, v + drawnWithChecks(v).substr(v.size()));
    }
}

}  // namespace
