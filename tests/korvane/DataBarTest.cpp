// GS1 DataBar and DataBar Expanded (korvane/databar/): the encoders module
// for module against zint 2.11, an independent generator, and bad input
// refused with its cause.

#include "KorvaneTestUtil.h"

#include "databar/DataBar.h"

#include <gtest/gtest.h>

namespace db = korvane::databar;

namespace {

// Our symbol's rows of modules, each row once however tall it is drawn; a
// one-row symbol with the guards' outer spaces put back.
std::vector<std::string> ourRows(const korvane::Symbol& s) {
    std::vector<std::string> rows;
    if (!s.isMatrix()) {
        rows.push_back("0" + kvtest::moduleString(s));
        return rows;
    }
    for (int y = 0; y < s.rows; ++y) {
        std::string row;
        for (int x = 0; x < s.columns; ++x)
            row += s.dark(y, x) ? '1' : '0';
        if (rows.empty() || rows.back() != row)
            rows.push_back(row);
    }
    return rows;
}

// zint's rows cut to our width (its nibbles pad them with light modules).
std::vector<std::string> zintRows(int type, const std::string& data, const std::string& extra, std::size_t width) {
    std::vector<std::string> rows = kvtest::zintRows(type, data, extra);
    for (std::string& r : rows)
        r.resize(std::min(r.size(), width));
    return rows;
}

korvane::Symbol made(korvane::Result<korvane::Symbol> r) {
    EXPECT_TRUE(r.ok()) << (r ? "" : r.error().message);
    return r ? *r : korvane::Symbol{};
}

}  // namespace

// Every character value's widths read back to the value: the width arithmetic
// and the group tables agree with each other.
TEST(DataBarTables, GroupsCoverTheirValues) {
    EXPECT_TRUE(db::groupsCover(db::LIMITED_GROUPS, db::LIMITED_VALUES, 7, 26, true));
}

TEST(DataBarTables, EveryValueReadsBack) {
    int w[16];
    for (int v = 0; v < db::OMNI_OUTSIDE_VALUES; ++v) {
        ASSERT_TRUE(db::characterWidths(db::OMNI_OUTSIDE, v, 4, true, false, w));
        ASSERT_EQ(db::characterValue(db::OMNI_OUTSIDE, w, 4, true, false), v);
    }
    for (int v = 0; v < db::OMNI_INSIDE_VALUES; ++v) {
        ASSERT_TRUE(db::characterWidths(db::OMNI_INSIDE, v, 4, false, true, w));
        ASSERT_EQ(db::characterValue(db::OMNI_INSIDE, w, 4, false, true), v);
    }
    for (int v = 0; v < db::EXPANDED_VALUES; ++v) {
        ASSERT_TRUE(db::characterWidths(db::EXPANDED_GROUPS, v, 4, false, false, w));
        ASSERT_EQ(db::characterValue(db::EXPANDED_GROUPS, w, 4, false, false), v);
    }
}

TEST(DataBar, ModulesMatchZint) {
    const struct {
        db::Form form;
        int zintType;
        const char* gtin;
    } cases[] = {
        {db::Form::Omni, 29, "0950110153001"},       {db::Form::Omni, 29, "1234567890123"},
        {db::Form::Omni, 29, "0000000000000"},       {db::Form::Omni, 29, "9999999999999"},
        {db::Form::Omni, 29, "2012345678901"},      {db::Form::Stacked, 79, "0950110153001"},
        {db::Form::Stacked, 79, "9999999999999"},    {db::Form::Stacked, 79, "2834598455514"},
        {db::Form::StackedOmni, 80, "0950110153001"}, {db::Form::StackedOmni, 80, "1234567890123"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.gtin);
        const korvane::Symbol s = made(db::encodeDataBar(c.form, c.gtin));
        std::vector<std::string> ours = ourRows(s);
        const std::vector<std::string> theirs = zintRows(c.zintType, c.gtin, "", ours[0].size());
        if (!s.isMatrix())
            ours[0].resize(theirs.empty() ? 0 : theirs[0].size(), '0');
        EXPECT_EQ(ours, theirs);
    }
}

// Every encodation method: the compressed ones for a GTIN with indicator 9
// and a weight, a weight and a date, or a price; GTIN then general-purpose
// data; general-purpose data alone through numeric, alphanumeric and ISO 646
// fields and their latches.
TEST(DataBarExpanded, ModulesMatchZint) {
    const char* const cases[] = {
        "[01]90012345678908[3103]001750",            // 0100
        "[01]90012345678908[3202]000156",            // 0101
        "[01]90012345678908[3203]010156",            // 0101, weight + 10000
        "[01]90012345678908[3922]795",               // 01100
        "[01]90012345678908[3932]9781234",           // 01101
        "[01]90012345678908[3102]001750[11]100312",  // 0111000
        "[01]90012345678908[3202]001750[17]100312",  // 0111111
        "[01]98898765432106[3202]012345[15]991231",  // 0111101
        "[01]90012345678908[3102]001750",            // 0111000 with no date
        "[01]90012345678908[3103]032768",            // over 0100's weight: 0111000
        "[01]90012345678908[3922]795[10]ABC",        // 01100 with more after the price
        "[01]10012345678902[3922]795",               // indicator 1: method 1
        "[01]98898765432106",                        // method 1
        "[01]00012345678905[10]ABCDEF123456[21]7",   // method 1, alphanumeric and numeric
        "[21]ABC123",                                // method 00
        "[11]991231",                                // padding after numeric
        "[21]123", "[21]a1234b", "[21]a123", "[21]a12", "[21]a123456b", "[21]a1234567890b", "[21]a12345[22]1",
        "[21]aABCDEFGHIJb", "[21]aABCDEFGHIb", "[21]A12345B", "[21]A123456B", "[90]ABC*,-./12ab",
        "[10]abc-DEF.12345678[21]x_y!", "[8004]1234567890",
    };
    for (const char* data : cases) {
        SCOPED_TRACE(data);
        std::string ours = ourRows(made(db::encodeExpanded(data, 0)))[0];
        const std::vector<std::string> theirs = zintRows(31, data, "", ours.size() + 1);
        ASSERT_EQ(theirs.size(), 1u);
        ours.resize(theirs[0].size(), '0');
        EXPECT_EQ(ours, theirs[0]);
    }
}

TEST(DataBar, BadInputNamesTheProblem) {
    const struct {
        const char* data;
        bool limited;
        korvane::ErrorCode code;
        const char* says;
    } cases[] = {
        {"09501101530017", false, korvane::ErrorCode::CheckDigit, "check digit is 7 but its digits make 0"},
        {"095011015300", false, korvane::ErrorCode::InvalidData, "has 12"},
        {"(01)0950110153A01", false, korvane::ErrorCode::InvalidData, "'A' at position 15"},
        {"2950110153001", true, korvane::ErrorCode::InvalidData, "indicator digit is 0 or 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        const korvane::Result<std::string> r = db::gtinDigits(c.data, c.limited);
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(r.error().code, c.code);
        EXPECT_NE(r.error().message.find(c.says), std::string::npos) << r.error().message;
    }
    const korvane::Result<korvane::Symbol> tooLong =
        db::encodeExpanded("(90)ABCDEFGHIJKLMNOPQRSTUVWXYZ1234(91)ABCDEFGHIJKLMNOPQRSTUVWXYZ1234", 0);
    ASSERT_FALSE(tooLong.ok());
    EXPECT_EQ(tooLong.error().code, korvane::ErrorCode::DataTooLong);
    EXPECT_NE(tooLong.error().message.find("252 bits"), std::string::npos) << tooLong.error().message;
}

TEST(DataBar, TextAndData) {
    const korvane::Symbol s = made(db::encodeDataBar(db::Form::Omni, "(01)0950110153001"));
    EXPECT_EQ(s.text, "(01)09501101530010");
    EXPECT_EQ(s.facts.data, "0109501101530010");
    EXPECT_EQ(s.widthModules, 95);  // 96 less the left guard's space
    const korvane::Symbol e = made(db::encodeExpanded("(01)98898765432106(3202)012345(15)991231", 0));
    EXPECT_EQ(e.text, "(01)98898765432106(3202)012345(15)991231");
}

namespace {

korvane::EncodeOptions segments(int n) {
    return kvtest::options([n](korvane::EncodeOptions& o) { o.databarSegments = n; });
}

}  // namespace

// Expanded Stacked rows against zint's columns (pairs a row). Where a row
// runs right to left, zint's separator above it places the dark modules over
// the finder patterns' spaces one module off ours: there the rows of
// characters and the other separators are compared.
TEST(DataBarExpandedStacked, ModulesMatchZint) {
    const struct {
        const char* data;
        int segments;
        bool turnedRow;  // a row runs right to left
    } cases[] = {
        {"[01]98898765432106[3202]012345[15]991231", 4, true},
        {"[01]98898765432106[3202]012345[15]991231", 6, false},
        {"[01]00012345678905[10]ABCDEF123456[21]7", 8, false},
        {"[21]ABC123", 4, false},
        {"[21]ABC123", 2, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.data) + " in rows of " + std::to_string(c.segments));
        const korvane::Symbol s = kvtest::encoded(korvane::Symbology::DataBarExpandedStacked, c.data, segments(c.segments));
        std::vector<std::string> ours = ourRows(s);
        std::vector<std::string> theirs = zintRows(81, c.data, "--cols=" + std::to_string(c.segments / 2), ours[0].size());
        ASSERT_EQ(ours.size(), theirs.size());
        for (std::size_t r = 3; c.turnedRow && r < ours.size(); r += 4)
            ours[r] = theirs[r] = "separator above a turned row";
        EXPECT_EQ(ours, theirs);
    }
}

// Every symbology through encode(), its layout and verify(): our readers read
// it back, and zxing-cpp agrees where it reads the symbology.
TEST(DataBar, ReadBack) {
    using korvane::Symbology;
    const struct {
        Symbology s;
        const char* data;
        korvane::EncodeOptions o;
    } cases[] = {
        {Symbology::DataBar, "0950110153001", {}},
        {Symbology::DataBar, "(01)20012345678909", {}},
        {Symbology::DataBarTruncated, "9999999999999", {}},
        {Symbology::DataBarStacked, "0950110153001", {}},
        {Symbology::DataBarStackedOmni, "1234567890123", {}},
        {Symbology::DataBarExpanded, "(01)98898765432106(3202)012345(15)991231", {}},
        {Symbology::DataBarExpanded, "(01)90012345678908(3932)9781234(10)ABC", {}},
        {Symbology::DataBarExpanded, "(10)abc-DEF.12345678(21)x_y!", {}},
        {Symbology::DataBarExpanded, "(01)90012345678908(3103)001750", {}},
        {Symbology::DataBarExpandedStacked, "(01)98898765432106(3202)012345(15)991231", {}},
        {Symbology::DataBarExpandedStacked, "(01)00012345678905(10)ABCDEF123456(21)7", segments(2)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        const korvane::Symbol symbol = kvtest::encoded(c.s, c.data, c.o);
        const korvane::Result<korvane::Drawing> drawing = korvane::layout(symbol, kvtest::pixels(3));
        ASSERT_TRUE(drawing.ok());
        const korvane::Verdict v = korvane::verify(*drawing, symbol);
        EXPECT_TRUE(v.ok) << v.reason;
        EXPECT_EQ(v.read, symbol.facts.data);
        if (v.zxingRan) {
            EXPECT_TRUE(v.zxingAgrees) << v.zxingRead;
        }
    }
}

TEST(DataBar, EncodeRefuses) {
    using korvane::Symbology;
    const struct {
        Symbology s;
        const char* data;
        korvane::EncodeOptions o;
        korvane::ErrorCode code;
        const char* says;
    } cases[] = {
        {Symbology::DataBarStacked, "09501101530017", {}, korvane::ErrorCode::CheckDigit, "check digit is 7"},
        {Symbology::DataBarExpanded, "(01)09501101530010(10)ABCDEFGHIJKLMNOPQRST(21)ABCDEFGHIJKLMNOPQRST", {},
         korvane::ErrorCode::DataTooLong, "holds 252 bits"},
        {Symbology::DataBarExpandedStacked, "(21)ABC", segments(5), korvane::ErrorCode::InvalidOption,
         "an even number; 5 is not"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        const korvane::Result<korvane::Symbol> r = korvane::encode(c.s, c.data, c.o);
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(r.error().code, c.code);
        EXPECT_NE(r.error().message.find(c.says), std::string::npos) << r.error().message;
    }
}

// The facts of the stacked symbols: their rows of characters, width and segments.
TEST(DataBar, StackedFacts) {
    using korvane::Symbology;
    const struct {
        Symbology s;
        const char* data;
        korvane::EncodeOptions o;
        std::vector<long long> facts;  // rows, columns, segments per row
    } cases[] = {
        {Symbology::DataBarStacked, "0950110153001", {}, {2, 50}},
        {Symbology::DataBarStackedOmni, "0950110153001", {}, {2, 50}},
        {Symbology::DataBarExpandedStacked, "(01)98898765432106(3202)012345(15)991231", segments(6), {2, 151, 6}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        std::vector<long long> got;
        for (const korvane::Fact& f : korvane::factsRecord(kvtest::encoded(c.s, c.data, c.o)))
            if (f.name == "databar")
                for (const korvane::Fact& item : f.items)
                    got.push_back(item.integer);
        EXPECT_EQ(got, c.facts);
    }
}
