// UPC-E and the add-on symbols: zero suppression, parity, refusals, add-on
// layout and decode round trips.

#include "EanTables.h"
#include "LinearTestUtil.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using lineartest::built;
using lineartest::widthDigits;

namespace {

constexpr int UPCE = LinearSymbol::UPCE;
constexpr int EAN13 = LinearSymbol::EAN13;
constexpr int EAN8 = LinearSymbol::EAN8;
constexpr int UPCA = LinearSymbol::UPCA;

// The parity of `count` digits of four elements each, read space-bar-space-bar
// from element `first`: odd bar modules are 'O', even ones 'E'. This is how a
// reader tells the number sets apart, so it does not lean on the tables.
std::string parityLetters(const LinearSymbol& s, int first, int count, int stride = 4) {
    std::string letters;
    for (int k = 0; k < count; ++k) {
        const int e = first + k * stride;
        if (e + 3 >= s.barCount)
            return letters + "?";
        letters += (s.barWidths[e + 1] + s.barWidths[e + 3]) / s.narrowBarPixels % 2 == 1 ? 'O' : 'E';
    }
    return letters;
}

struct CompressCase {
    const char* value;
    const char* six;
};

const CompressCase COMPRESS_CASES[] = {
    {"012345000065", "123456"},  // rule 4
    {"012000003455", "123450"},  // rule 1
    {"012100003454", "123451"},  // rule 1 with 1 in position 3
    {"045300000879", "453873"},  // rule 2
    {"012340000572", "123474"},  // rule 3 (drops the 5 in position 9)
    {"012341000083", "123418"},  // rule 4
    {"012345123450", "123455"},  // rule 4 drops 1234 without looking
    {"0123X0000005", ""},        // no rule applies
    {"01234500006", ""},         // too short to hold a check digit
};

TEST(UpcECompress, Rules) {
    const LinearSymbol s;
    for (const CompressCase& c : COMPRESS_CASES) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(s.compressUpcE(c.value), c.six);
    }
}

struct ExpandCase {
    const char* six;
    char numberSystem;
    const char* upcA;
};

const ExpandCase EXPAND_CASES[] = {
    {"123450", '0', "01200000345"}, {"123451", '0', "01210000345"}, {"123452", '1', "11220000345"},
    {"453873", '0', "04530000087"}, {"123474", '0', "01234000007"}, {"123456", '0', "01234500006"},
    {"123459", '1', "11234500009"}, {"12345", '0', ""},             {"12345x", '0', ""},
};

TEST(UpcECompress, ExpandsBack) {
    for (const ExpandCase& c : EXPAND_CASES) {
        SCOPED_TRACE(c.six);
        EXPECT_EQ(detail::expandUpcE(c.six, c.numberSystem), c.upcA);
    }
}

struct UpcECase {
    const char* code;
    char upceSystem;
    const char* six;
    const char* parity;
};

const UpcECase UPCE_CASES[] = {
    {"01234500006", '1', "123456", "EOOEEO"},   // completed 012345000065
    {"01200000345", '1', "123450", "EOOEEO"},   // 012000003455
    {"04530000087", '1', "453873", "EOOEOE"},   // 045300000879
    {"01234000007", '1', "123474", "EOEOEO"},   // 012340000077
    {"01234100008", '1', "123418", "EEOOOE"},   // 012341000083
    {"01210000345", '1', "123451", "EOEEOO"},   // 012100003454
    {"012345000065", '1', "123456", "EOOEEO"},  // check digit supplied
    {"11234500006", '0', "123456", "OOEEOE"},   // number system 1: 112345000062
    {"11234500006", 'x', "123456", "OOEEOE"},   // any setting but '1' is number system 1
};

TEST(UpcE, DigitsAndParity) {
    for (const UpcECase& c : UPCE_CASES) {
        SCOPED_TRACE(c.code);
        const LinearSymbol s = built(UPCE, c.code, [&](LinearSymbol& l) { l.upceSystem = c.upceSystem; });
        ASSERT_EQ(s.barCount, 33) << s.failureReason;
        EXPECT_EQ(s.text, c.six);
        EXPECT_EQ(parityLetters(s, 3, 6), c.parity);
        EXPECT_TRUE(s.warnings.empty());
    }
}

TEST(UpcE, KnownWidthsAndMarks) {
    const LinearSymbol s = built(UPCE, "01234500006", [](LinearSymbol& l) {
        l.guardMarks[1] = 77;  // entries 1 and 2 are left alone
        l.guardMarks[2] = 78;
    });
    EXPECT_EQ(widthDigits(s), "111" "1222" "2122" "1411" "2311" "1321" "1114" "111111");
    EXPECT_EQ(std::vector<int>(s.guardMarks, s.guardMarks + 5), (std::vector<int>{3, 77, 78, 45, 51}));
    for (int i = 0; i < s.barCount; ++i)
        EXPECT_EQ(s.barHeights[i], i < 3 || i >= 27 ? s.guardBarHeightPixels : s.barHeightPixels) << i;
}

TEST(UpcE, WrongSuppliedCheckDigitIsDrawnWithAWarning) {
    const LinearSymbol s = built(UPCE, "012345000064");
    ASSERT_EQ(s.barCount, 33);
    EXPECT_EQ(parityLetters(s, 3, 6), "EOEEOO");  // the parity of check digit 4
    ASSERT_EQ(s.warnings.size(), 1u);
    EXPECT_EQ(s.warnings[0], "UPC-E check digit 4 of \"012345000064\" should be 5; the symbol is drawn with 4");
}

struct RefusalCase {
    const char* label;
    const char* code;
    char upceSystem;
    bool check;
    const char* reason;
};

const RefusalCase REFUSAL_CASES[] = {
    {"dropped item digits are not zeros", "01234512345", '1', true,
     "UPC-E cannot draw \"012345123450\": it cannot be zero-suppressed (the six digits \"123455\" read back as "
     "012345000050)"},
    {"rule 3 would drop a 5", "01234000057", '1', true, "cannot be zero-suppressed"},
    {"rule 4 needs a last digit of 5 or more", "01234500003", '1', true, "cannot be zero-suppressed"},
    {"number system 1 under the system 0 parity", "11234500006", '1', true,
     "UPC-E cannot draw \"112345000062\": its number system is 1, but the parity in use is that of number system 0"},
    {"number system 0 under the system 1 parity", "012345000065", '0', true, "its number system is 0"},
    {"number system 2 has no UPC-E form", "21234500006", '1', true, "its number system is 2"},
    {"ten digits", "0123450000", '1', true, "has 10 characters"},
    {"eleven digits, check digits off", "01234500006", '1', false, "check digits are switched off"},
    {"letter among the digits", "0123450000a", '1', true, "'a' at position 11 of \"0123450000a\""},
    {"letter in the check position", "01234500006?", '1', true, "'?' at position 12"},
};

TEST(UpcE, RefusedValuesDrawNothing) {
    for (const RefusalCase& c : REFUSAL_CASES) {
        SCOPED_TRACE(c.label);
        const LinearSymbol s = built(UPCE, c.code, [&](LinearSymbol& l) {
            l.upceSystem = c.upceSystem;
            l.checkCharacter = c.check;
            l.supplement2 = true;
        });
        EXPECT_EQ(s.barCount, 0);
        EXPECT_NE(s.failureReason.find(c.reason), std::string::npos) << s.failureReason;
    }
}

struct AddOnCase {
    const char* label;
    const char* supplement;
    bool five;
    const char* parity;
    const char* widths;  // after the gap
};

const AddOnCase ADDON_CASES[] = {
    {"12", "12", false, "OO", "112" "2221" "11" "2122"},
    {"34", "34", false, "EO", "112" "1141" "11" "1132"},
    {"05", "05", false, "OE", "112" "3211" "11" "1321"},
    {"99", "99", false, "EE", "112" "2113" "11" "2113"},
    {"52495", "52495", true, "EOEOO", "112" "1321" "11" "2122" "11" "2311" "11" "3112" "11" "1231"},
    {"00000", "00000", true, "EEOOO", "112" "1123" "11" "1123" "11" "3211" "11" "3211" "11" "3211"},
    {"check value 9", "00003", true, "OOEOE", "112" "3211" "11" "3211" "11" "1123" "11" "3211" "11" "1141"},
};

TEST(AddOn, WidthsAndParity) {
    for (const AddOnCase& c : ADDON_CASES) {
        SCOPED_TRACE(c.label);
        const LinearSymbol s = built(EAN13, "400638133393", [&](LinearSymbol& l) {
            l.supplement = c.supplement;
            (c.five ? l.supplement5 : l.supplement2) = true;
        });
        ASSERT_GT(s.barCount, 60);
        EXPECT_EQ(s.barWidths[59], 10) << "gap";
        EXPECT_EQ(widthDigits(s).substr(60), c.widths);
        EXPECT_EQ(parityLetters(s, 63, c.five ? 5 : 2, 6), c.parity);
        EXPECT_EQ(s.supplementText, c.supplement);
        EXPECT_EQ(s.supplementStartX, 95 + 10);
        EXPECT_EQ(s.supplementEndX - s.supplementStartX, c.five ? 47 : 20);
        EXPECT_EQ(s.guardMarks[4], 95);
        for (int i = 60; i < s.barCount; ++i)
            EXPECT_EQ(s.barHeights[i], s.guardBarHeightPixels) << i;
    }
}

struct DefaultDigitsCase {
    int symbology;
    const char* code;
    bool five;  // else two digits; both set gives two
    const char* supplement;
    const char* drawn;
    bool both = false;
};

const DefaultDigitsCase DEFAULT_DIGITS_CASES[] = {
    {EAN13, "400638133393", false, "", "06"},
    {EAN13, "400638133393", false, "99", "99"},
    {EAN13, "400638133393", true, "", "06381"},
    {EAN8, "5901234", false, "", "01"},
    {EAN8, "5901234", true, "", "01234"},
    {UPCA, "03600029145", false, "", "36"},
    {UPCA, "03600029145", true, "", "36000"},
    {UPCE, "01234500006", false, "", "12"},
    {UPCE, "01234500006", true, "", "12345"},
    {EAN13, "400638133393", false, "", "06", true},
};

TEST(AddOn, DefaultDigitsComeFromTheValue) {
    for (const DefaultDigitsCase& c : DEFAULT_DIGITS_CASES) {
        SCOPED_TRACE(std::string(c.code) + " " + c.drawn);
        const LinearSymbol s = built(c.symbology, c.code, [&](LinearSymbol& l) {
            l.supplement = c.supplement;
            (c.five ? l.supplement5 : l.supplement2) = true;
            l.supplement5 = l.supplement5 || c.both;
        });
        EXPECT_EQ(s.supplementText, c.drawn);
        EXPECT_EQ(s.supplementEndX - s.supplementStartX, c.five ? 47 : 20);
        EXPECT_TRUE(s.warnings.empty());
    }
}

TEST(AddOn, GapFollowsTheSetting) {
    struct Gap {
        int setting;
        double barHeight;
        int width;
    };
    for (const Gap g : {Gap{10, 45, 10}, Gap{0, 45, 22}, Gap{-3, 50, 25}, Gap{7, 45, 7}, Gap{0, -40, 0}}) {
        SCOPED_TRACE(g.setting);
        const LinearSymbol s = built(EAN13, "400638133393", [&](LinearSymbol& l) {
            l.supplementGap = g.setting;
            l.barHeight = g.barHeight;
            l.supplement2 = true;
        });
        ASSERT_GT(s.barCount, 59);
        EXPECT_EQ(s.barWidths[59], g.width);
        EXPECT_EQ(s.barHeights[59], static_cast<int>(g.barHeight));
    }
}

TEST(AddOn, WrongLengthAddsNothingButIsReported) {
    const LinearSymbol s = built(EAN13, "400638133393", [](LinearSymbol& l) {
        l.supplement = "123";
        l.supplement2 = true;
    });
    EXPECT_EQ(s.barCount, 59);
    EXPECT_EQ(s.supplementText, "123");
    ASSERT_EQ(s.warnings.size(), 1u);
    EXPECT_EQ(s.warnings[0], "the 2-digit add-on \"123\" has 3 characters and is not drawn");

    // A short UPC-A value leaves fewer default digits than the add-on needs.
    const LinearSymbol u = built(UPCA, "1", [](LinearSymbol& l) { l.supplement5 = true; });
    EXPECT_EQ(u.barCount, 3 + 4 + 3);
    EXPECT_EQ(u.supplementText, "");
}

TEST(AddOn, NonDigitRefusesTheWholeSymbol) {
    const LinearSymbol s = built(EAN13, "400638133393", [](LinearSymbol& l) {
        l.supplement = "12a45";
        l.supplement5 = true;
    });
    EXPECT_EQ(s.barCount, 0);
    EXPECT_EQ(s.failureReason,
              "the 5-digit add-on cannot encode 'a' at position 3 of \"12a45\": only the digits 0 to 9 can be drawn");
}

// Six-digit UPC-E values from a fixed seed, kept only where they are the
// canonical zero suppression of their UPC-A number.
std::vector<std::string> randomUpcAValues(int count) {
    std::mt19937 rng(61512);
    const LinearSymbol s;
    std::vector<std::string> values;
    while (static_cast<int>(values.size()) < count) {
        std::string six;
        for (int i = 0; i < 6; ++i)
            six += static_cast<char>('0' + rng() % 10);
        const std::string upcA = detail::expandUpcE(six, '0');
        if (s.compressUpcE(upcA + "0") == six)
            values.push_back(upcA);
    }
    return values;
}

TEST(UpcERoundTrip, RandomValuesDecode) {
    const LinearSymbol checker;
    int n = 0;
    for (const std::string& upcA : randomUpcAValues(300)) {
        const std::string completed = upcA + checker.eanCheckDigit(upcA);
        const bool supplied = ++n % 2 == 0;
        SCOPED_TRACE(completed + (supplied ? " supplied" : " completed"));
        const LinearSymbol s = built(UPCE, supplied ? completed : upcA, [&](LinearSymbol& l) {
            l.narrowBarWidth = 1 + n % 3;
            l.guardBars = n % 5 != 0;
        });
        ASSERT_EQ(s.barCount, 33) << s.failureReason;
        ASSERT_TRUE(s.warnings.empty());
        const testsupport::Decoded d = lineartest::roundTrip(s, testsupport::Symbology::UPCE, 2);
        ASSERT_TRUE(d.ok) << d.error;
        EXPECT_EQ(d.text, "0" + s.text + completed.back());
        EXPECT_EQ(detail::expandUpcE(d.text.substr(1, 6), d.text[0]) + d.text.back(), completed);
    }
}

// Random main values and add-ons of both lengths for all four symbologies.
TEST(AddOnRoundTrip, RandomAddOnsDecode) {
    struct Kind {
        int symbology;
        testsupport::Symbology reader;
        int digits;  // 0: a UPC-E value
    };
    const Kind kinds[] = {
        {EAN13, testsupport::Symbology::EAN13, 12},
        {EAN8, testsupport::Symbology::EAN8, 7},
        {UPCA, testsupport::Symbology::UPCA, 11},
        {UPCE, testsupport::Symbology::UPCE, 0},
    };
    std::mt19937 rng(4711);
    const std::vector<std::string> upcEValues = randomUpcAValues(60);
    const LinearSymbol checker;
    for (const Kind& k : kinds) {
        for (int n = 0; n < 60; ++n) {
            std::string digits = k.digits == 0 ? upcEValues[static_cast<std::size_t>(n)] : "";
            for (int i = 0; i < k.digits; ++i)
                digits += static_cast<char>('0' + rng() % 10);
            const bool five = n % 2 == 1;
            std::string addOn;
            for (int i = 0; i < (five ? 5 : 2); ++i)
                addOn += static_cast<char>('0' + rng() % 10);
            const std::string completed = digits + checker.eanCheckDigit(digits);
            const bool supplied = n % 4 >= 2;
            SCOPED_TRACE(completed + " " + addOn + (supplied ? " supplied" : " completed"));
            const LinearSymbol s = built(k.symbology, supplied ? completed : digits, [&](LinearSymbol& l) {
                l.supplement = addOn;
                (five ? l.supplement5 : l.supplement2) = true;
                // The gap is in units; zxing-cpp finds an add-on 6 to 10 modules
                // after the main symbol (the standard asks for 7 to 12).
                l.narrowBarWidth = 1 + n % 2;
                l.supplementGap = (7 + n % 4) * l.narrowBarWidth;
            });
            ASSERT_TRUE(s.failureReason.empty()) << s.failureReason;
            const testsupport::Decoded d = lineartest::roundTrip(s, k.reader, 2);
            ASSERT_TRUE(d.ok) << d.error;
            const std::string main = k.symbology == UPCE ? "0" + s.text + completed.back() : completed;
            EXPECT_EQ(d.text, main + " " + addOn);
        }
    }
}

// Odd input of every kind: either a symbol or a reason, never both, never neither.
TEST(EanUpcFamily, OddInputDrawsASymbolOrSaysWhy) {
    const std::string alphabet = std::string("0123456789~dA x-", 16) + '\0' + "\x80\xff";
    std::mt19937 rng(99);
    for (const int symbology : {EAN13, EAN8, UPCA, UPCE}) {
        for (int n = 0; n < 400; ++n) {
            std::string code;
            const int length = static_cast<int>(rng() % 16);
            for (int i = 0; i < length; ++i)
                code += rng() % 3 == 0 ? alphabet[rng() % alphabet.size()] : static_cast<char>('0' + rng() % 10);
            std::string addOn;
            const int addOnLength = static_cast<int>(rng() % 7);
            for (int i = 0; i < addOnLength; ++i)
                addOn += alphabet[rng() % alphabet.size()];
            const unsigned flags = rng();
            SCOPED_TRACE(std::to_string(symbology) + " \"" + code + "\" add-on \"" + addOn + "\"");
            const LinearSymbol s = built(symbology, code, [&](LinearSymbol& l) {
                l.supplement = addOn;
                l.supplement2 = flags & 1;
                l.supplement5 = flags & 2;
                l.checkCharacter = flags & 4;
                l.upceSystem = flags & 8 ? '1' : '0';
            });
            EXPECT_EQ(s.barCount == 0, !s.failureReason.empty()) << s.failureReason;
            // UPC-A draws however many digits it is given, so only the others
            // always end with a bar.
            if (symbology != UPCA) {
                EXPECT_EQ(s.barCount % 2, 1 - (s.barCount == 0)) << "ends with a bar";
            }
            for (int i = 0; i < s.barCount; ++i)
                ASSERT_GT(s.barWidths[i], 0);
        }
    }
}

TEST(UpcE, CharactersAfterTheCheckDigitAreReported) {
    const LinearSymbol s = built(UPCE, "01234500006599");
    EXPECT_EQ(s.barCount, 33);
    EXPECT_EQ(s.text, "123456");
    ASSERT_EQ(s.warnings.size(), 1u);
    EXPECT_EQ(s.warnings[0], "UPC-E draws a 12-digit value; the characters \"99\" after it are not drawn");
}

}  // namespace
