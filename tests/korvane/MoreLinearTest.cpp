// The linear symbologies added as registry rows: module for module with zint
// over each one's characters and lengths, read back by the library's own
// readers through verify() (and by zxing-cpp where it reads them), and the
// data they refuse.

#include "KorvaneTestUtil.h"

#include "Descriptor.h"

#include <gtest/gtest.h>

using korvane::EncodeOptions;
using korvane::ErrorCode;
using korvane::Symbology;

namespace {

EncodeOptions with(bool check, int ratio, bool checkSet = false) {
    return kvtest::options([check, ratio, checkSet](EncodeOptions& o) {
        if (check || checkSet)
            o.check = check;
        o.wideRatio = ratio;
    });
}
const EncodeOptions PLAIN;
const EncodeOptions CHECKED = with(true, 0);
const EncodeOptions RATIO2 = with(false, 2);

struct Case {
    const char* label;
    Symbology s;
    std::string data;
    EncodeOptions o;
    int zintType;
    const char* zintOptions;
};

// Each symbology's characters and lengths, as zint draws them.
const Case CORPUS[] = {
    {"logmars digits", Symbology::Logmars, "0123456789", PLAIN, 50, ""},
    {"logmars letters with check", Symbology::Logmars, "ABCDEFGHIJKLMNOPQRSTUVWXYZ", CHECKED, 50, "--vers=1"},
    {"logmars specials", Symbology::Logmars, "-. $/+%", PLAIN, 50, ""},
    {"logmars 30 characters", Symbology::Logmars, "LOGMARS-30-CHARACTERS-12345678", CHECKED, 50, "--vers=1"},
    {"vin north american", Symbology::Vin, "1M8GDM9AXKP042788", RATIO2, 73, ""},
    {"vin check digit", Symbology::Vin, "1HGCM82633A004352", RATIO2, 73, ""},
    {"vin european", Symbology::Vin, "WVWZZZ1JZXW000001", RATIO2, 73, ""},
    {"pzn seven digits", Symbology::Pzn, "1234567", RATIO2, 52, ""},
    {"pzn padded", Symbology::Pzn, "42", RATIO2, 52, ""},
    {"pzn zero", Symbology::Pzn, "0000000", RATIO2, 52, ""},
    {"pzn nines", Symbology::Pzn, "9999998", RATIO2, 52, ""},
    {"code32 eight digits", Symbology::Code32, "12345678", RATIO2, 129, ""},
    {"code32 padded", Symbology::Code32, "1", RATIO2, 129, ""},
    {"code32 largest", Symbology::Code32, "99999999", RATIO2, 129, ""},
    {"code32 pharmacy", Symbology::Code32, "01234567", RATIO2, 129, ""},
    {"iata digits", Symbology::Iata2of5, "0123456789", PLAIN, 4, ""},
    {"iata one digit with check", Symbology::Iata2of5, "1", CHECKED, 4, "--vers=1"},
    {"iata with check", Symbology::Iata2of5, "9876543210", CHECKED, 4, "--vers=1"},
    {"datalogic digits", Symbology::Datalogic2of5, "0123456789", PLAIN, 6, ""},
    {"datalogic one digit with check", Symbology::Datalogic2of5, "1", CHECKED, 6, "--vers=1"},
    {"datalogic with check", Symbology::Datalogic2of5, "55512", CHECKED, 6, "--vers=1"},
    {"pharmacode least", Symbology::Pharmacode, "3", PLAIN, 51, ""},
    {"pharmacode four", Symbology::Pharmacode, "4", PLAIN, 51, ""},
    {"pharmacode mixed", Symbology::Pharmacode, "1234", PLAIN, 51, ""},
    {"pharmacode all narrow", Symbology::Pharmacode, "65535", PLAIN, 51, ""},
    {"pharmacode most", Symbology::Pharmacode, "131070", PLAIN, 51, ""},
    {"plessey digits", Symbology::Plessey, "0123456789", PLAIN, 86, ""},
    {"plessey letters", Symbology::Plessey, "ABCDEF", PLAIN, 86, ""},
    {"plessey one digit", Symbology::Plessey, "1", PLAIN, 86, ""},
    {"plessey zero check", Symbology::Plessey, "0", PLAIN, 86, ""},
    {"telepen letters", Symbology::Telepen, "Telepen ABCxyz{|}~", PLAIN, 32, ""},
    {"telepen punctuation", Symbology::Telepen, "!\"#$%&'()*+,-./:;<=>?@[\\]^_`", PLAIN, 32, ""},
    {"telepen digits", Symbology::Telepen, "0123456789", PLAIN, 32, ""},
    {"telepen controls", Symbology::Telepen, std::string("\x01\t\x1f\x7f", 4), PLAIN, 32, ""},
    {"telepen one", Symbology::Telepen, "A", PLAIN, 32, ""},
    {"telepen numeric", Symbology::TelepenNumeric, "0123456789", PLAIN, 87, ""},
    {"telepen numeric odd", Symbology::TelepenNumeric, "123", PLAIN, 87, ""},
    {"telepen numeric x", Symbology::TelepenNumeric, "121X", PLAIN, 87, ""},
    {"telepen numeric pair", Symbology::TelepenNumeric, "99", PLAIN, 87, ""},
};

// zint's module row without the padding of its last nibble.
std::string zintModules(const Case& c) {
    std::vector<std::string> rows = kvtest::zintRows(c.zintType, c.data, c.zintOptions);
    if (rows.empty())
        return "zint gave no symbol";
    std::string m = rows.front();
    while (!m.empty() && m.back() == '0')
        m.pop_back();
    return m;
}

}  // namespace

TEST(MoreLinear, ModulesMatchZint) {
    for (const Case& c : CORPUS) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(kvtest::moduleString(kvtest::encoded(c.s, c.data, c.o)), zintModules(c));
    }
}

// Our readers read every symbol of the corpus back; zxing-cpp agrees where
// the row names a format it reads (these as Code 39, check character in the data).
TEST(MoreLinear, ReadBack) {
    for (const Case& c : CORPUS) {
        SCOPED_TRACE(c.label);
        const korvane::Symbol symbol = kvtest::encoded(c.s, c.data, c.o);
        const korvane::Result<korvane::Drawing> drawing = korvane::layout(symbol, kvtest::pixels(2));
        ASSERT_TRUE(drawing.ok());
        const korvane::Verdict v = korvane::verify(*drawing, symbol);
        EXPECT_TRUE(v.ok) << v.reason;
        EXPECT_EQ(v.read, symbol.facts.data);
        if (v.zxingRan) {
            EXPECT_TRUE(v.zxingAgrees) << v.zxingRead;
        }
        if (korvane::detail::descriptor(c.s).zxing.format != "Code39")
            continue;
        const testsupport::Decoded d = kvtest::readBack(symbol, testsupport::Symbology::Code39);
        ASSERT_TRUE(d.ok) << d.error;
        const bool checkInData = c.s == Symbology::Logmars && !symbol.facts.checkCharacters.empty();
        EXPECT_EQ(d.text, symbol.facts.data + (checkInData ? symbol.facts.checkCharacters : ""));
    }
}

// What each one shows under the bars, and what a reader gets.
TEST(MoreLinear, TextAndData) {
    const struct {
        Symbology s;
        const char* data;
        const char* text;
        const char* read;
        const char* check;
    } cases[] = {
        {Symbology::Logmars, "NSN-42", "NSN-42", "NSN-42", ""},
        {Symbology::Vin, "1M8GDM9AXKP042788", "1M8GDM9AXKP042788", "1M8GDM9AXKP042788", ""},
        {Symbology::Pzn, "42", "PZN - 00000425", "-00000425", "5"},
        {Symbology::Pzn, "00000425", "PZN - 00000425", "-00000425", "5"},
        {Symbology::Code32, "12345678", "A123456788", "3PRM8N", "8"},
        {Symbology::Code32, "123456788", "A123456788", "3PRM8N", "8"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        const korvane::Symbol symbol = kvtest::encoded(c.s, c.data);
        EXPECT_EQ(symbol.text, c.text);
        EXPECT_EQ(symbol.facts.data, c.read);
        EXPECT_EQ(symbol.facts.checkCharacters, c.check);
    }
}

TEST(MoreLinear, BadInputNamesTheCause) {
    const struct {
        Symbology s;
        const char* data;
        ErrorCode code;
        const char* says;
        EncodeOptions o = {};
    } cases[] = {
        {Symbology::Logmars, "abc", ErrorCode::InvalidData, "'a' at position 1"},
        {Symbology::Logmars, "1234567890123456789012345678901", ErrorCode::DataTooLong, "30"},
        {Symbology::Vin, "1M8GDM9AXKP04278I", ErrorCode::InvalidData, "'I' at position 17"},
        {Symbology::Vin, "1M8GDM9AXKO042788", ErrorCode::InvalidData, "'O' at position 11"},
        {Symbology::Vin, "QM8GDM9AXKP042788", ErrorCode::InvalidData, "'Q' at position 1"},
        {Symbology::Vin, "1M8GDM9AXKP04278", ErrorCode::InvalidData, "16 characters"},
        {Symbology::Vin, "1M8GDM9A1KP042788", ErrorCode::CheckDigit, "'1' at position 9 is wrong; the data gives 'X'"},
        {Symbology::Pzn, "12345670", ErrorCode::CheckDigit, "'0' at position 8 is wrong; the data gives '8'"},
        {Symbology::Pzn, "123456A", ErrorCode::InvalidData, "'A' at position 7"},
        {Symbology::Pzn, "", ErrorCode::InvalidData, "empty"},
        {Symbology::Pzn, "9999999", ErrorCode::InvalidData, "remainder is 10"},
        {Symbology::Code32, "123456789", ErrorCode::CheckDigit, "'9' at position 9 is wrong; the data gives '8'"},
        {Symbology::Code32, "1234567890", ErrorCode::DataTooLong, "9"},
        {Symbology::Iata2of5, "12A", ErrorCode::InvalidData, "'A' at position 3"},
        {Symbology::Datalogic2of5, "1-2", ErrorCode::InvalidData, "'-' at position 2"},
        {Symbology::Pharmacode, "2", ErrorCode::InvalidData, "3 to 131070"},
        {Symbology::Pharmacode, "131071", ErrorCode::InvalidData, "3 to 131070"},
        {Symbology::Pharmacode, "12x", ErrorCode::InvalidData, "'x' at position 3"},
        {Symbology::Pharmacode, "1234", ErrorCode::InvalidOption, "wide ratio cannot be 2", RATIO2},
        {Symbology::Plessey, "12G", ErrorCode::InvalidData, "'G' at position 3"},
        {Symbology::Plessey, "12ab", ErrorCode::InvalidData, "'a' at position 3"},
        {Symbology::Telepen, "caf\xe9", ErrorCode::InvalidData, "position 4"},
        {Symbology::TelepenNumeric, "1X2", ErrorCode::InvalidData, "'X' at position 2 is first of a pair once the odd count is padded"},
        {Symbology::TelepenNumeric, "X1", ErrorCode::InvalidData, "'X' at position 1 is first of a pair"},
        {Symbology::TelepenNumeric, "12A", ErrorCode::InvalidData, "'A' at position 3"},
        {Symbology::Vin, "1M8GDM9AXKP042788", ErrorCode::InvalidOption, "cannot be switched off", with(false, 0, true)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        const korvane::Result<korvane::Symbol> r = korvane::encode(c.s, c.data, c.o);
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(r.error().code, c.code);
        EXPECT_NE(r.error().message.find(c.says), std::string::npos) << r.error().message;
    }
}

// Code 39 symbols that break a variant's rules: its reader names the fault.
TEST(MoreLinear, ReadersHoldCode39ToTheVariantsRules) {
    const struct {
        Symbology s;
        const char* code39;
        const char* reason;
    } cases[] = {
        {Symbology::Vin, "1M8GDM9A1KP042788", "VIN check digit reads '1'; the other characters give 'X'"},
        {Symbology::Vin, "1M8GDM9AXKO042788", "no 'O' (character 11)"},
        {Symbology::Vin, "1M8GDM9AXKP04278", "17 characters"},
        {Symbology::Pzn, "-12345670", "PZN check digit reads '0'; the digits before it give '8'"},
        {Symbology::Pzn, "12345678", "'-' and 8 digits"},
        {Symbology::Code32, "3PRM8P", "Code 32 check digit reads"},
        {Symbology::Code32, "3PRM8A", "no 'A' (character 6)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code39);
        korvane::Symbol symbol = kvtest::encoded(Symbology::Code39, c.code39);
        symbol.symbology = c.s;
        const korvane::Result<korvane::Drawing> drawing = korvane::layout(symbol, kvtest::pixels(2));
        ASSERT_TRUE(drawing.ok());
        const korvane::Verdict v = korvane::verify(*drawing, symbol);
        EXPECT_FALSE(v.ok);
        EXPECT_NE(v.reason.find(c.reason), std::string::npos) << v.reason;
    }
}

// A symbol with a bar and the space after it swapped: the reader finds the fault.
TEST(MoreLinear, ReadersFindSwappedElements) {
    const struct {
        Symbology s;
        const char* data;
        std::size_t bar;  // index of the bar swapped with the space after it
        const char* reason;
    } cases[] = {
        // The first data bit, after the start's eight elements.
        {Symbology::Plessey, "12AB", 8, "Plessey check bits do not match"},
        // A 00 of the first character (a wide bar, narrow space) becomes an open run of 1s.
        {Symbology::Telepen, "1", 14, "wide bar inside a run of 1s"},
        {Symbology::TelepenNumeric, "1234", 18, "wide bar inside a run of 1s"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        korvane::Symbol symbol = kvtest::encoded(c.s, c.data);
        ASSERT_NE(symbol.widths[c.bar], symbol.widths[c.bar + 1]);
        std::swap(symbol.widths[c.bar], symbol.widths[c.bar + 1]);
        const korvane::Result<korvane::Drawing> drawing = korvane::layout(symbol, kvtest::pixels(2));
        ASSERT_TRUE(drawing.ok());
        const korvane::Verdict v = korvane::verify(*drawing, symbol);
        EXPECT_FALSE(v.ok);
        EXPECT_NE(v.reason.find(c.reason), std::string::npos) << v.reason;
    }
}

// Each new row is graded as a linear symbol: drawn on its defaults for a 203
// dpi thermal printer, each grades B at least (those drawn in Code 39
// characters as Code 39 does there: the printer's dot gain takes from their
// decodability), its reader measuring X so that print gain does not eat into
// the quiet zones.
TEST(MoreLinear, GradedOnAThermalPrinter) {
    const korvane::PrinterProfile printer = *korvane::printerProfile("thermal203");
    korvane::LayoutOptions lo;
    lo.dpi = 203;
    for (const Case& c : CORPUS) {
        SCOPED_TRACE(c.label);
        korvane::EncodeOptions defaults;
        defaults.check = c.o.check;
        const korvane::Symbol symbol = kvtest::encoded(c.s, c.data, defaults);
        const korvane::Result<korvane::Drawing> drawing = korvane::layout(symbol, lo);
        ASSERT_TRUE(drawing.ok());
        const korvane::QualityGrade q = korvane::grade(*drawing, symbol, printer);
        EXPECT_GE(q.grade, 2.5) << q.text << ": " << q.reason;  // B
    }
}
