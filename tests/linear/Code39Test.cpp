// Code 39 and full-ASCII Code 39: known symbols and decoder round trips.

#include "Code39Tables.h"
#include "LinearTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using lineartest::built;
using lineartest::roundTrip;
using lineartest::widthDigits;
using testsupport::Symbology;

namespace {

// Character k as width digits with the default X = 1, W = 2.
std::string characterWidths(int k) {
    std::string out;
    for (const char* p = Code39Table[k].pattern; *p; ++p)
        out += *p == 'n' ? '1' : '2';
    return out;
}

std::string symbolWidths(std::initializer_list<int> rows) {
    std::string out;
    for (int k : rows)
        out += characterWidths(k) + "1";
    out.pop_back();  // no gap after the stop
    return out;
}

struct Case {
    const char* label;
    int symbology;
    const char* code;
    std::initializer_list<int> rows;  // start, data, check, stop
    const char* text;
};

const Case CASES[] = {
    {"ABC with check X", 0, "ABC", {43, 10, 11, 12, 33, 43}, "ABCX"},
    {"lower case skipped", 0, "abc", {43, 0, 43}, "abc0"},
    {"star inside the value", 0, "A*B", {43, 10, 43, 11, 21, 43}, "A*BL"},
    {"empty value", 0, "", {43, 0, 43}, "0"},
    {"digits and symbols", 0, "12-. $/+%", {43, 1, 2, 36, 37, 38, 39, 40, 41, 42, 18, 43}, "12-. $/+%I"},
    {"extended abc", 1, "abc", {43, 41, 10, 41, 11, 41, 12, 27, 43}, "abcR"},
    {"extended skips high bytes", 1, "\xE9Z", {43, 35, 35, 43}, "\xE9ZZ"},
};

TEST(Code39, KnownSymbols) {
    for (const Case& c : CASES) {
        SCOPED_TRACE(c.label);
        const LinearSymbol s = built(c.symbology, c.code);
        EXPECT_EQ(widthDigits(s), symbolWidths(c.rows));
        EXPECT_EQ(s.text, c.text);
        for (int i = 0; i < s.barCount; ++i)
            ASSERT_EQ(s.barHeights[i], s.barHeightPixels);
    }
}

TEST(Code39, AbcHasFiftyNineElements) {
    const LinearSymbol s = built(0, "ABC");
    EXPECT_EQ(s.barCount, 59);
    EXPECT_EQ(s.currentX, 5 * 13 + 12);  // 13 units per character with its gap, 12 for the stop
}

TEST(Code39, TableIsWellFormed) {
    for (const SymbolRow& row : Code39Table) {
        SCOPED_TRACE(row.character);
        const std::string p = row.pattern;
        ASSERT_EQ(p.size(), 9u);
        EXPECT_EQ(std::count(p.begin(), p.end(), 'w'), 3);
    }
}

TEST(Code39, WithoutCheckTheTextIsTheValueAsTyped) {
    const LinearSymbol s = built(0, "A~d066", [](LinearSymbol& x) { x.checkCharacter = false; });
    EXPECT_EQ(widthDigits(s), symbolWidths({43, 10, 11, 43}));
    EXPECT_EQ(s.text, "A~d066");
}

TEST(Code39, GapFollowsSettings) {
    const LinearSymbol zero = built(0, "A", [](LinearSymbol& x) { x.interCharGap = 0; });
    EXPECT_EQ(zero.barWidths[9], 1);
    const LinearSymbol wide = built(0, "A", [](LinearSymbol& x) {
        x.interCharGap = 3;
        x.narrowBarWidth = 2;
    });
    EXPECT_EQ(wide.barWidths[9], 6);
    EXPECT_EQ(wide.barWidths[0], 2);
    EXPECT_EQ(wide.barWidths[1], 4);
}

// zxing keeps the check character as part of the text.
TEST(Code39, RoundTrips) {
    const char* values[] = {"123456789012", "ABC", "HELLO WORLD", "-. $/+%", "Z"};
    for (const char* v : values) {
        SCOPED_TRACE(v);
        const LinearSymbol s = built(0, v);
        const auto d = roundTrip(s, Symbology::Code39);
        ASSERT_TRUE(d.ok) << d.error;
        EXPECT_EQ(d.text, s.text);
    }
}

TEST(Code39, ExtendedRoundTripsEveryAsciiCharacter) {
    // Every code 1-127 in chunks (code 0 cannot be typed; the tilde escape ~d000 appends nothing).
    for (int start = 1; start < 128; start += 16) {
        std::string value;
        for (int c = start; c < std::min(start + 16, 128); ++c)
            value += static_cast<char>(c);
        SCOPED_TRACE(start);
        LinearSymbol s = built(1, value, [](LinearSymbol& x) { x.processTilde = false; });
        const auto d = roundTrip(s, Symbology::Code39Extended);
        ASSERT_TRUE(d.ok) << d.error;
        // The check character is decoded as its own full-ASCII meaning.
        EXPECT_EQ(d.bytes.size(), value.size() + 1);
        EXPECT_EQ(testsupport::bytesToString(d.bytes).substr(0, value.size()), value);
    }
}

TEST(Code39, LongValueBeyond999ElementsDecodesWhole) {
    std::mt19937 rng(39);
    std::string value;
    for (int i = 0; i < 150; ++i)
        value += Code39Table[rng() % 43].character[0];
    const LinearSymbol s = built(0, value);
    ASSERT_GT(s.barCount, 999);
    EXPECT_EQ(s.barCount, (150 + 3) * 10 - 1);
    const auto d = roundTrip(s, Symbology::Code39, 2);
    ASSERT_TRUE(d.ok) << d.error;
    EXPECT_EQ(d.text, s.text);
}

}  // namespace
