// Code 128: tables, set choice, symbol sequences and decoding by zxing-cpp.

#include "Code128Tables.h"
#include "Code128TestUtil.h"
#include "LinearTestUtil.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using code128test::STOP;
using code128test::symbolValues;
using lineartest::built;
using lineartest::roundTrip;

namespace {

LinearSymbol code128(const std::string& value, char startSet, bool check = true) {
    return built(LinearSymbol::CODE128, value, [&](LinearSymbol& s) {
        s.code128Set = startSet;
        s.checkCharacter = check;
    });
}

// A value written byte for byte, with no tilde escapes.
LinearSymbol code128Raw(const std::string& value, char startSet, int barHeight = 0) {
    return built(LinearSymbol::CODE128, value, [&](LinearSymbol& s) {
        s.code128Set = startSet;
        s.processTilde = false;
        s.barHeight = barHeight;
    });
}

TEST(Code128Tables, PatternsAreElevenModulesWithEvenBarsAndDistinct) {
    std::set<std::string> seen;
    for (int v = 0; v < static_cast<int>(std::size(code128Patterns)); ++v) {
        SCOPED_TRACE(v);
        const std::string p = code128Patterns[v];
        ASSERT_EQ(p.size(), 6u);
        EXPECT_EQ((p[0] - '0') + (p[1] - '0') + (p[2] - '0') + (p[3] - '0') + (p[4] - '0') + (p[5] - '0'), 11);
        EXPECT_EQ(((p[0] - '0') + (p[2] - '0') + (p[4] - '0')) % 2, 0);
        EXPECT_TRUE(seen.insert(p).second);
    }
    EXPECT_STREQ(code128Patterns[0], "212222");
    EXPECT_STREQ(code128Patterns[102], "411131");
}

struct LookupCase {
    char set;
    std::string token;
    int value;
};

TEST(Code128Tables, ValueInSet) {
    const LookupCase cases[] = {
        {'A', " ", 0},          {'A', "_", 63},          {'A', std::string(1, '\0'), 64},
        {'A', "\x1f", 95},      {'A', "a", -1},          {'A', "_101", 101},
        {'B', "`", 64},         {'B', "{", 91},          {'B', "|", 92},
        {'B', "}", 93},         {'B', "~", 94},          {'B', "\x7f", 95},
        {'B', "\t", -1},        {'B', "_100", 100},      {'C', "00", 0},
        {'C', "99", 99},        {'C', "_99", -1},        {'C', "_102", 102},
        {'C', "5", -1},         {'D', "A", -1},          {'A', "", -1},
    };
    for (const LookupCase& c : cases) {
        SCOPED_TRACE(std::string(1, c.set) + " '" + c.token + "'");
        EXPECT_EQ(detail::code128ValueInSet(c.set, c.token), c.value);
    }
    EXPECT_TRUE(detail::isSingleDigit("7"));
    EXPECT_FALSE(detail::isSingleDigit("77"));
    EXPECT_FALSE(detail::isSingleDigit(""));
    EXPECT_FALSE(detail::isSingleDigit("a"));
}

struct ScanCase {
    std::string value;
    int from;
    int control;
    int lowercase;
    char set;
};

TEST(Code128Tables, ScansAndSetChoice) {
    constexpr int NONE = detail::CODE128_NO_INDEX;
    const ScanCase cases[] = {
        {"1234a", 0, NONE, 4, 'C'},       {"123a", 0, NONE, 3, 'B'},
        {"a\x01", 0, 1, 0, 'B'},          {"\x01" "a", 0, 0, 1, 'A'},
        {"A1234", 1, NONE, NONE, 'C'},    {"A1234", 2, NONE, NONE, 'B'},
        {"AB", 0, NONE, NONE, 'B'},       {"x\xC8", 0, 1, 0, 'B'},
        {"X\xE9y", 0, 1, 2, 'A'},         {"\x7f", 0, NONE, NONE, 'B'},
        {"ab\tc", 3, NONE, 3, 'B'},       {"", 0, NONE, NONE, 'B'},
    };
    for (const ScanCase& c : cases) {
        SCOPED_TRACE(c.value + " from " + std::to_string(c.from));
        EXPECT_EQ(detail::firstControlIndex(c.value, c.from), c.control);
        EXPECT_EQ(detail::firstLowercaseIndex(c.value, c.from), c.lowercase);
        EXPECT_EQ(detail::chooseCode128Set(c.value, c.from), c.set);
    }
}

struct SequenceCase {
    const char* label;
    std::string code;  // tilde escapes apply
    char startSet;
    std::vector<int> values;  // start, data, check, STOP
    std::string text;
};

const SequenceCase SEQUENCE_CASES[] = {
    {"odd digit run: Code C, pairs, Code B and the last digit", "12345", 'B',
     {104, 99, 12, 34, 100, 21, 10, STOP}, "12345"},
    {"four digits enter set C", "1234", 'B', {104, 99, 12, 34, 20, STOP}, "1234"},
    {"three digits stay in set B", "123", 'B', {104, 17, 18, 19, 8, STOP}, "123"},
    {"lowercase out of set A changes to set B", "AbC", 'A', {103, 33, 100, 66, 35, 56, STOP}, "AbC"},
    {"SHIFT when a control byte comes before a lowercase letter", "A{~d009B", 'A',
     {103, 33, 98, 91, 73, 34, 37, STOP}, "A{\tB"},
    {"Code B when a lowercase letter comes first", "A{aB", 'A', {103, 33, 100, 91, 65, 34, 9, STOP}, "A{aB"},
    {"a control byte out of set B changes to set A and back", "a~d009b", 'B',
     {104, 65, 101, 73, 100, 66, 84, STOP}, "a\tb"},
    {"start C with a letter", "A1", 'C', {105, 100, 33, 17, 13, STOP}, "A1"},
    {"vertical bar and DEL are set B characters", "ab|c~d127", 'B',
     {104, 65, 66, 92, 67, 95, 84, STOP}, "ab|c\x7f"},
    {"a byte no set holds is left out with its weight", "ab~d233cd", 'B',
     {104, 65, 66, 67, 68, 53, STOP}, "abcd"},
    {"request for set B as last byte ends the data", "AB~d200", 'B', {104, 33, 34, 102, STOP}, "AB"},
    {"request for set A in set B skips to the next byte", "A~d201B", 'B', {104, 33, 34, 102, STOP}, "AB"},
    {"request for set A in set C", "12~d201AB", 'C', {105, 12, 101, 33, 34, 39, STOP}, "12AB"},
    {"request for set B in set C", "12~d200ab", 'C', {105, 12, 100, 65, 66, 55, STOP}, "12ab"},
    {"request for set C in set B", "A~d19912", 'B', {104, 33, 99, 12, 62, STOP}, "A12"},
    {"request for set C while in set C", "12~d19934", 'C', {105, 12, 101, 99, 34, 31, STOP}, "1234"},
    {"request for set C as the last byte", "AB~d199", 'B', {104, 33, 34, 99, 90, STOP}, "AB"},
    {"any other start set means A", "AB", 'x', {103, 33, 34, 101, STOP}, "AB"},
    {"empty value", "", 'B', {104, 1, STOP}, ""},
};

TEST(Code128, SymbolSequences) {
    for (const SequenceCase& c : SEQUENCE_CASES) {
        SCOPED_TRACE(c.label);
        const LinearSymbol s = code128(c.code, c.startSet);
        EXPECT_EQ(symbolValues(s), c.values);
        EXPECT_EQ(code128test::moduleCount(s), 11 * static_cast<int>(c.values.size() - 1) + 13);
        EXPECT_EQ(s.text, c.text.empty() ? c.code : c.text);
    }
}

TEST(Code128, SettingsAndRemarks) {
    const LinearSymbol noCheck = code128("AB", 'B', false);
    EXPECT_EQ(symbolValues(noCheck), (std::vector<int>{104, 33, 34, STOP}));

    const LinearSymbol keepsText = built(LinearSymbol::CODE128, "AB", [](LinearSymbol& s) { s.text = "label"; });
    EXPECT_EQ(keepsText.text, "label");

    EXPECT_TRUE(code128("AB", 'B').warnings.empty());
    EXPECT_EQ(code128("", 'B').warnings.size(), 1u);
    EXPECT_EQ(code128("AB", 'x').warnings.size(), 1u);
    const LinearSymbol dropped = code128("a~d233~d128b", 'B');
    ASSERT_EQ(dropped.warnings.size(), 1u);
    EXPECT_NE(dropped.warnings[0].find("2 byte(s)"), std::string::npos);
    EXPECT_TRUE(dropped.failureReason.empty());
}

// --- decoding by zxing-cpp ---

std::string printableAscii() {
    std::string s;
    for (int c = 32; c < 127; ++c)
        s += static_cast<char>(c);
    return s;
}

std::string controlBytes() {
    std::string s;
    for (int c = 1; c < 32; ++c)
        s += static_cast<char>(c);
    return s + "\x7f";
}

void expectDecodes(const LinearSymbol& s, const std::string& value, int scale = 3) {
    const testsupport::Decoded d = roundTrip(s, testsupport::Symbology::Code128, scale);
    ASSERT_TRUE(d.ok) << d.error;
    EXPECT_EQ(testsupport::bytesToString(d.bytes), value);
    EXPECT_EQ(d.symbologyId, "]C0");
}

TEST(Code128RoundTrip, AsciiInEveryStartSet) {
    const std::string values[] = {
        printableAscii(),
        controlBytes(),
        "Mixed\tcase\x01with{braces}and|bars~" + controlBytes() + "lower" + printableAscii(),
        "`{}~\x02" "abc\x03" "`~",  // set B characters between control bytes: SHIFTs out of set A
        std::string("\0NUL", 4),
    };
    for (const std::string& value : values)
        for (char start : {'A', 'B', 'C'}) {
            SCOPED_TRACE(std::string("start ") + start + ": " + value);
            expectDecodes(code128Raw(value, start), value);
        }
}

TEST(Code128RoundTrip, DigitRunsOfEveryLengthInEveryPosition) {
    const std::string digits = "9876543210987";
    for (std::size_t run = 1; run <= digits.size(); ++run) {
        const std::string d = digits.substr(0, run);
        const std::string values[] = {d, d + "ab", "AB" + d, "x" + d + "y", "\t" + d + "\n", d + "\x01" + d, d + "a" + d};
        for (const std::string& value : values)
            for (char start : {'A', 'B', 'C'}) {
                SCOPED_TRACE(std::string("start ") + start + ": " + value);
                expectDecodes(code128Raw(value, start), value);
            }
    }
}

TEST(Code128RoundTrip, RequestBytesChangeSetsWithoutChangingData) {
    const struct {
        std::string code;
        char start;
        std::string value;
    } cases[] = {
        {"~d199123456", 'B', "123456"},
        {"12~d201AB~d199", 'C', "12AB"},
        {"12~d200ab34", 'C', "12ab34"},
        {"AB~d200", 'A', "AB"},
        {"12~d19934", 'C', "1234"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        expectDecodes(code128(c.code, c.start), c.value);
    }
}

TEST(Code128RoundTrip, LongValuesAreDrawnWhole) {
    std::string mixed;
    for (int k = 0; mixed.size() < 3000; ++k)
        mixed += "Item " + std::to_string(k * 7919) + " lot\tx;";
    std::string digits;
    for (int k = 0; digits.size() < 4001; ++k)
        digits += std::to_string(k % 10);
    for (const std::string& value : {mixed, digits}) {
        SCOPED_TRACE(value.size());
        const LinearSymbol s = code128Raw(value, 'B', 10);
        const std::vector<int> values = symbolValues(s);
        EXPECT_EQ(values.back(), STOP);
        expectDecodes(s, value, 1);
    }
}

// Deterministic pseudo-random values over the given byte range.
std::string randomValue(unsigned& seed, int maxLength, int lowByte, int highByte) {
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7fff; };
    std::string value(next() % (maxLength + 1), '\0');
    for (char& c : value) {
        // Digit runs are common in real values and exercise set C.
        c = next() % 3 == 0 ? static_cast<char>('0' + next() % 10)
                            : static_cast<char>(lowByte + static_cast<int>(next() % (highByte - lowByte + 1)));
    }
    return value;
}

TEST(Code128, AnyBytesGiveWellFormedSymbolsWithTheStandardCheck) {
    unsigned seed = 128;
    for (int round = 0; round < 400; ++round) {
        const std::string value = randomValue(seed, 40, 0, 255);
        for (int symbology : {LinearSymbol::CODE128, LinearSymbol::EAN128})
            for (char start : {'A', 'B', 'C', '?'}) {
                testing::internal::CaptureStdout();
                const LinearSymbol s = built(symbology, value, [&](LinearSymbol& sym) {
                    sym.code128Set = start;
                    sym.processTilde = false;
                });
                testing::internal::GetCapturedStdout();
                std::vector<int> values = symbolValues(s);
                ASSERT_GE(values.size(), 3u);
                ASSERT_EQ(values.back(), STOP) << "round " << round;
                values.pop_back();
                const int check = values.back();
                values.pop_back();
                EXPECT_EQ(check, code128test::standardCheck(values)) << "round " << round;
            }
    }
}

TEST(Code128RoundTrip, RandomAsciiValues) {
    unsigned seed = 15417;
    for (int round = 0; round < 150; ++round) {
        const std::string value = randomValue(seed, 30, 0, 127);
        if (value.empty())
            continue;  // the reader wants at least one data symbol
        for (char start : {'A', 'B', 'C'}) {
            SCOPED_TRACE(std::string("start ") + start + ", round " + std::to_string(round));
            expectDecodes(code128Raw(value, start), value);
        }
    }
}

}  // namespace
