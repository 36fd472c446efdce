// EAN-13, EAN-8 and UPC-A: check digits, known symbols, refusals, warnings,
// layout marks and decode round trips.

#include "BarlaneCli.h"
#include "EanTables.h"
#include "LinearTestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using lineartest::built;
using lineartest::widthDigits;

namespace {

constexpr int EAN13 = LinearSymbol::EAN13;
constexpr int EAN8 = LinearSymbol::EAN8;
constexpr int UPCA = LinearSymbol::UPCA;

struct CheckCase {
    const char* digits;
    const char* check;
};

const CheckCase CHECK_CASES[] = {
    {"400638133393", "1"},   // GTIN-13
    {"5901234", "4"},        // GTIN-8
    {"03600029145", "2"},    // GTIN-12
    {"12345678901", "2"},
    {"00000000000", "0"},    // a sum of 0 gives 0, not 10
    {"", "0"},
    {"40063813339A", "0"},   // a non-digit counts as 0, like 400638133390
};

TEST(EanCheckDigit, KnownValues) {
    const LinearSymbol s;
    for (const CheckCase& c : CHECK_CASES) {
        SCOPED_TRACE(c.digits);
        EXPECT_EQ(s.eanCheckDigit(c.digits), c.check);
    }
}

struct SymbolCase {
    const char* label;
    int symbology;
    const char* code;
    bool check;
    const char* text;
    const char* widths;
};

const SymbolCase SYMBOL_CASES[] = {
    {"EAN-13 completed", EAN13, "400638133393", true, "4006381333931",
     "111" "3211" "1123" "1114" "1411" "3121" "1222" "11111" "1411" "1411" "1411" "3112" "1411" "2221" "111"},
    {"EAN-13 completed with check characters off", EAN13, "400638133393", false, "4006381333931",
     "111" "3211" "1123" "1114" "1411" "3121" "1222" "11111" "1411" "1411" "1411" "3112" "1411" "2221" "111"},
    {"EAN-13 wrong check digit drawn as given", EAN13, "4006381333932", true, "4006381333932",
     "111" "3211" "1123" "1114" "1411" "3121" "1222" "11111" "1411" "1411" "1411" "3112" "1411" "2122" "111"},
    {"EAN-13 leading 0 is all set A", EAN13, "0000000000000", true, "0000000000000",
     "111" "3211" "3211" "3211" "3211" "3211" "3211" "11111" "3211" "3211" "3211" "3211" "3211" "3211" "111"},
    {"EAN-8 completed", EAN8, "5901234", true, "59012344",
     "111" "1231" "3112" "3211" "2221" "11111" "2122" "1411" "1132" "1132" "111"},
    {"UPC-A completed", UPCA, "03600029145", true, "036000291452",
     "111" "3211" "1411" "1114" "3211" "3211" "3211" "11111" "2122" "3112" "2221" "1132" "1231" "2122" "111"},
    {"UPC-A short value has no centre guard", UPCA, "12345", true, "12345",
     "111" "2221" "2122" "1411" "1132" "1231" "111"},
    {"UPC-A 13 digits put seven right of centre", UPCA, "0360002914520", true, "0360002914520",
     "111" "3211" "1411" "1114" "3211" "3211" "3211" "11111" "2122" "3112" "2221" "1132" "1231" "2122" "3211"
     "111"},
    {"UPC-A 11 digits with check characters off", UPCA, "03600029145", false, "03600029145",
     "111" "3211" "1411" "1114" "3211" "3211" "3211" "11111" "2122" "3112" "2221" "1132" "1231" "111"},
    {"UPC-A empty value is the two guards", UPCA, "", true, "", "111" "111"},
};

TEST(EanUpc, KnownSymbols) {
    for (const SymbolCase& c : SYMBOL_CASES) {
        SCOPED_TRACE(c.label);
        const LinearSymbol s = built(c.symbology, c.code, [&](LinearSymbol& l) { l.checkCharacter = c.check; });
        EXPECT_EQ(s.text, c.text);
        EXPECT_EQ(widthDigits(s), c.widths);
        EXPECT_EQ(s.code, c.code) << "the value as set is restored";
        EXPECT_TRUE(s.failureReason.empty()) << s.failureReason;
    }
}

TEST(EanUpc, Ean13DrawsThirteenCharactersButShowsAll) {
    const LinearSymbol s = built(EAN13, "40063813339312");
    EXPECT_EQ(s.barCount, 59);
    EXPECT_EQ(s.text, "40063813339312");
    ASSERT_EQ(s.warnings.size(), 1u);
    EXPECT_NE(s.warnings[0].find("\"2\""), std::string::npos) << s.warnings[0];
}

TEST(EanUpc, GuardMarks) {
    const LinearSymbol s = built(EAN13, "400638133393");
    EXPECT_EQ(std::vector<int>(s.guardMarks, s.guardMarks + 5), (std::vector<int>{3, 45, 50, 92, 95}));
    const LinearSymbol m = built(EAN13, "400638133393", [](LinearSymbol& x) { x.leftMargin = 10.7; });
    EXPECT_EQ(std::vector<int>(m.guardMarks, m.guardMarks + 5), (std::vector<int>{13, 55, 60, 102, 105}));
    const LinearSymbol e8 = built(EAN8, "5901234");
    EXPECT_EQ(std::vector<int>(e8.guardMarks, e8.guardMarks + 5), (std::vector<int>{3, 31, 36, 64, 67}));
}

TEST(EanUpc, GuardBarsAreTallerOnlyWhenSet) {
    for (const bool guards : {true, false}) {
        SCOPED_TRACE(guards);
        const LinearSymbol s = built(EAN13, "400638133393", [&](LinearSymbol& x) {
            x.barHeight = 50;
            x.guardBars = guards;
        });
        ASSERT_EQ(s.barCount, 59);
        for (int i = 0; i < s.barCount; ++i) {
            const bool guard = i < 3 || (i >= 27 && i < 32) || i >= 56;
            EXPECT_EQ(s.barHeights[i], guard && guards ? 65 : 50) << "element " << i;
        }
    }
}

struct RefusalCase {
    const char* label;
    int symbology;
    const char* code;
    bool check;
    const char* reason;  // a part of failureReason
};

const RefusalCase REFUSAL_CASES[] = {
    {"EAN-13 eleven digits", EAN13, "40063813339", true, "has 11 characters"},
    {"EAN-13 empty", EAN13, "", true, "has 0 characters"},
    {"EAN-13 letter among twelve", EAN13, "40063A133393", true, "'A' at position 6 of \"40063A133393\""},
    {"EAN-13 letter in the check position", EAN13, "400638133393X", true, "'X' at position 13"},
    {"EAN-13 non-digit leading character", EAN13, " 006381333931", true, "code 32 at position 1"},
    {"EAN-8 six digits", EAN8, "590123", true, "has 6 characters"},
    {"EAN-8 seven digits, check digits off", EAN8, "5901234", false, "check digits are switched off"},
    {"EAN-8 letter", EAN8, "5901234b", true, "'b' at position 8"},
    {"UPC-A letter", UPCA, "0360002914x", true, "'x' at position 11"},
    {"UPC-A tab from a tilde escape", UPCA, "036~d009", true, "code 9 at position 4"},
};

TEST(EanUpc, RefusedValuesDrawNothing) {
    for (const RefusalCase& c : REFUSAL_CASES) {
        SCOPED_TRACE(c.label);
        const LinearSymbol s = built(c.symbology, c.code, [&](LinearSymbol& l) { l.checkCharacter = c.check; });
        EXPECT_EQ(s.barCount, 0);
        EXPECT_TRUE(s.barWidths.empty());
        EXPECT_NE(s.failureReason.find(c.reason), std::string::npos) << s.failureReason;
        EXPECT_EQ(s.failureReason.find('\n'), std::string::npos);
    }
}

struct WarningCase {
    int symbology;
    const char* code;
    const char* warning;  // empty: no warning expected
};

const WarningCase WARNING_CASES[] = {
    {EAN13, "4006381333932", "EAN-13 check digit 2 of \"4006381333932\" should be 1; the symbol is drawn with 2"},
    {EAN13, "4006381333931", ""},
    {EAN8, "59012345", "EAN-8 check digit 5 of \"59012345\" should be 4; the symbol is drawn with 5"},
    {EAN8, "59012344", ""},
    {UPCA, "036000291453", "UPC-A check digit 3 of \"036000291453\" should be 2; the symbol is drawn with 3"},
    {UPCA, "036000291452", ""},
    {UPCA, "12345", "UPC-A has 12 digits (11 and the check digit), but \"12345\" has 5; the symbol is drawn as given"},
};

TEST(EanUpc, SuppliedCheckDigitsAreVerified) {
    for (const WarningCase& c : WARNING_CASES) {
        SCOPED_TRACE(c.code);
        const LinearSymbol s = built(c.symbology, c.code);
        EXPECT_GT(s.barCount, 0);
        if (*c.warning == '\0') {
            EXPECT_TRUE(s.warnings.empty());
        } else {
            ASSERT_EQ(s.warnings.size(), 1u);
            EXPECT_EQ(s.warnings[0], c.warning);
        }
    }
}

// barlane as a user runs it: a refused value writes no file and exits 1; a
// wrong check digit is drawn with a warning and exits 0.
TEST(EanUpc, BarlaneReportsRefusalsAndWarnings) {
    const std::string file = (std::filesystem::path(::testing::TempDir()) / "ean_barlane.emf").string();
    struct Run {
        const char* type;
        const char* code;
        int status;
        const char* err;
    };
    const Run runs[] = {
        {"10", "40063A133393", 1,
         "barlane: no file written: EAN-13 cannot encode 'A' at position 6 of \"40063A133393\": only the digits 0 "
         "to 9 can be drawn\n"},
        {"10", "4006381333932", 0,
         "barlane: warning: EAN-13 check digit 2 of \"4006381333932\" should be 1; the symbol is drawn with 2\n"},
        {"11", "5901234", 0, ""},
        {"6", "03600029145", 0, ""},
        {"12", "01234500006", 0, ""},
        {"12", "123456789012", 1,
         "barlane: no file written: UPC-E cannot draw \"123456789012\": its number system is 1, but the parity in "
         "use is that of number system 0\n"},
        {"12", "01234512345", 1,
         "barlane: no file written: UPC-E cannot draw \"012345123450\": it cannot be zero-suppressed (the six "
         "digits \"123455\" read back as 012345000050)\n"},
        {"12", "012345000064", 0,
         "barlane: warning: UPC-E check digit 4 of \"012345000064\" should be 5; the symbol is drawn with 4\n"},
    };
    for (const Run& r : runs) {
        SCOPED_TRACE(r.code);
        std::filesystem::remove(file);
        const char* argv[] = {"barlane", "-file", file.c_str(), "-type", r.type, "-code", r.code};
        std::ostringstream out, err;
        EXPECT_EQ(runBarlane(7, argv, out, err), r.status);
        EXPECT_EQ(err.str(), r.err);
        EXPECT_EQ(std::filesystem::exists(file), r.status == 0);
    }
    std::filesystem::remove(file);
}

// Random digit strings from a fixed seed, so failures reproduce.
std::string randomDigits(std::mt19937& rng, int n) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += static_cast<char>('0' + rng() % 10);
    return s;
}

struct RoundTripKind {
    const char* label;
    int symbology;
    testsupport::Symbology reader;
    int digits;  // without the check digit
};

const RoundTripKind ROUND_TRIP_KINDS[] = {
    {"EAN-13", EAN13, testsupport::Symbology::EAN13, 12},
    {"EAN-8", EAN8, testsupport::Symbology::EAN8, 7},
    {"UPC-A", UPCA, testsupport::Symbology::UPCA, 11},
};

TEST(EanUpcRoundTrip, RandomValuesDecode) {
    std::mt19937 rng(20261208);
    const LinearSymbol checker;
    for (const RoundTripKind& k : ROUND_TRIP_KINDS) {
        for (int n = 0; n < 200; ++n) {
            const std::string digits = randomDigits(rng, k.digits);
            const std::string completed = digits + checker.eanCheckDigit(digits);
            const bool supplied = n % 2 == 1;
            SCOPED_TRACE(std::string(k.label) + " " + completed + (supplied ? " supplied" : " completed"));
            // Module widths 1 to 3 units, guard bars tall or level.
            const LinearSymbol s = built(k.symbology, supplied ? completed : digits, [&](LinearSymbol& l) {
                l.narrowBarWidth = 1 + n % 3;
                l.guardBars = n % 5 != 0;
            });
            ASSERT_TRUE(s.warnings.empty());
            const testsupport::Decoded d = lineartest::roundTrip(s, k.reader, 2);
            ASSERT_TRUE(d.ok) << d.error;
            EXPECT_EQ(d.text, completed);
            EXPECT_EQ(s.text, completed);
        }
    }
}

}  // namespace
