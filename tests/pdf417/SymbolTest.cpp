// PDF417 symbols: check words, and symbols read back by zxing-cpp and
// compared row for row with zint's.

#include "Pdf417TestSupport.h"

#include <gtest/gtest.h>

namespace {

namespace pdf = korvane::pdf417;
using pdf417test::Kind;

// ISO/IEC 15438's worked example: "PDF417" at level 1.
TEST(Pdf417Check, WorkedExample) {
    EXPECT_EQ(pdf::detail::checkWords({5, 453, 178, 121, 239}, 4), (std::vector<int>{452, 327, 657, 619}));
}

TEST(Pdf417Check, RecommendedLevels) {
    const std::pair<int, int> cases[] = {{1, 2}, {40, 2}, {41, 3}, {160, 3}, {161, 4}, {320, 4}, {321, 5}, {863, 5}};
    for (auto [data, level] : cases)
        EXPECT_EQ(pdf::detail::recommendedLevel(data), level) << data;
}

testsupport::Decoded read(const pdf::Symbol& s, int rowHeight = 3) {
    return pdf417test::readWithZxing(s.modules, s.rows, s.width, rowHeight);
}

struct KindCase {
    const char* label;
    Kind kind;
    int maxLength;
};
const KindCase KINDS[] = {
    {"text", Kind::Text, 120},       {"digits", Kind::Digits, 200}, {"bytes", Kind::Bytes, 100},
    {"mixed", Kind::Mixed, 120},     {"UTF-8 with ECI 26", Kind::Utf8, 40},
    {"digit runs inside text", Kind::DigitRunsInText, 40},
};

// Random values of every kind at every level, read by zxing-cpp.
TEST(Pdf417Symbol, RandomValuesReadByZxing) {
    std::mt19937 rng(4171);
    for (const KindCase& k : KINDS) {
        for (int i = 0; i < pdf417test::scaled(1000); ++i) {
            korvane::Message m = pdf417test::plain(pdf417test::randomValue(rng, k.kind, k.maxLength));
            if (k.kind == Kind::Utf8)
                m.markers.push_back({korvane::MarkerKind::Eci, 0, 26});
            pdf::Options o;
            o.level = i % 9;
            o.compact = i % 7 == 3;
            auto s = pdf::encode(m, o);
            ASSERT_TRUE(s) << k.label << ": " << s.error().message;
            const testsupport::Decoded d = read(*s);
            ASSERT_TRUE(d.ok) << k.label << " level " << o.level << ": " << d.error << " for "
                              << testing::PrintToString(m.bytes);
            if (k.kind == Kind::Utf8)
                ASSERT_EQ(d.text, m.bytes) << k.label;
            else
                ASSERT_EQ(std::string(d.bytes.begin(), d.bytes.end()), m.bytes) << k.label << " level " << o.level;
        }
    }
}

// With columns and level fixed, digits alone have one shortest stream, so
// the rows must be zint's to the module.
TEST(Pdf417Symbol, DigitRowsMatchZint) {
    std::mt19937 rng(15438);
    for (int i = 0; i < pdf417test::scaled(300); ++i) {
        std::string digits;
        const int n = std::uniform_int_distribution<int>(10, 44)(rng);
        for (int j = 0; j < n; ++j)
            digits += static_cast<char>('0' + std::uniform_int_distribution<int>(0, 9)(rng));
        pdf::Options o;
        o.level = i % 9;
        o.columns = o.level < 6 ? 1 + i % 12 : 8 + i % 23;  // level 8's 512 check words need 6 columns
        auto s = pdf::encode(pdf417test::plain(digits), o);
        ASSERT_TRUE(s) << s.error().message;
        const auto zint = pdf417test::zintRows(55, "--secure=" + std::to_string(o.level) + " --cols=" +
                                                      std::to_string(o.columns), digits, s->width);
        ASSERT_EQ(pdf417test::rowsOf(s->modules, s->rows, s->width), zint)
            << digits << " level " << o.level << " columns " << o.columns;
    }
}

// One data column at level 0 makes every codeword a row, so rows count the
// codewords: on a corpus of every kind, never more than zint's.
TEST(Pdf417Symbol, NoMoreCodewordsThanZint) {
    std::mt19937 rng(24728);
    std::vector<std::string> corpus = {
        "https://www.example.com/track?id=1Z999AA10123456784&lang=en-GB", "Hello, World!", "PDF417",
        "ANSI 636014080102DL00410288ZC03290015DLDCAD", "Invoice 2024-0042: 3 x EUR 19.99", "a1b2c3d4e5f6g7h8",
        "MIXED case Text with 12345 digits and ;punct;", "\x80\x81" "bytes\xff" " and text"};
    const Kind kinds[] = {Kind::Text, Kind::Digits, Kind::Bytes, Kind::Mixed, Kind::DigitRunsInText};
    for (int i = 0; i < pdf417test::scaled(300); ++i)
        corpus.push_back(pdf417test::randomValue(rng, kinds[i % 5], 40));
    int ours = 0, theirs = 0;
    for (const std::string& value : corpus) {
        pdf::Options o;
        o.level = 0;
        o.columns = 1;
        auto s = pdf::encode(pdf417test::plain(value), o);
        if (!s) {  // beyond 90 codewords: five columns, rows count them in fives
            o.columns = 5;
            s = pdf::encode(pdf417test::plain(value), o);
        }
        ASSERT_TRUE(s) << s.error().message;
        const auto zint = pdf417test::zintRows(55, "--secure=0 --cols=" + std::to_string(o.columns), value, s->width);
        ASSERT_FALSE(zint.empty()) << testing::PrintToString(value);
        EXPECT_LE(s->rows, static_cast<int>(zint.size())) << testing::PrintToString(value);
        ours += s->rows;
        theirs += static_cast<int>(zint.size());
    }
    RecordProperty("oursRows", ours);
    RecordProperty("zintRows", theirs);
    EXPECT_GT(theirs, 0);
}

// Macro PDF417 and reader initialisation as zxing-cpp reads them.
TEST(Pdf417Symbol, MacroAndReaderInitReadByZxing) {
    struct Case {
        int index, count;
        const char* id;
        bool readerInit;
    };
    const Case cases[] = {{1, 3, "017053", false}, {3, 3, "000", true}, {2, 99999, "899001", false}, {1, 1, "", false}};
    for (const Case& c : cases) {
        korvane::Message m = pdf417test::plain("Segment of a file");
        m.structuredAppend = {c.index, c.count, c.id};
        m.readerInit = c.readerInit;
        pdf::Options o;
        o.macro.fileName = "report.txt";
        o.macro.fileSize = 123456;
        auto s = pdf::encode(m, o);
        ASSERT_TRUE(s) << s.error().message;
        const testsupport::Decoded d = read(*s);
        ASSERT_TRUE(d.ok) << d.error;
        EXPECT_EQ(d.text, "Segment of a file");
        EXPECT_EQ(d.sequenceIndex, c.index - 1);
        EXPECT_EQ(d.sequenceSize, c.count);
        EXPECT_EQ(d.sequenceId, std::string(c.id).empty() ? "000" : c.id);
        EXPECT_EQ(d.readerInit, c.readerInit);
    }
}

struct RefusalCase {
    const char* label;
    pdf::Options options;
    std::string data;
    const char* message;
};

TEST(Pdf417Symbol, RefusesWhatDoesNotFit) {
    pdf::Options level9;
    level9.level = 9;
    pdf::Options tight;
    tight.rows = 3;
    tight.columns = 1;
    pdf::Options tooMany;
    tooMany.level = 8;
    const pdf::Options chosen;
    auto shape = [](int columns, int rows, int rowHeight) {
        pdf::Options o;
        o.columns = columns;
        o.rows = rows;
        o.rowHeight = rowHeight;
        return o;
    };
    const RefusalCase cases[] = {
        {"31 columns", shape(31, 0, 3), "A", "1-30 data columns, not 31"},
        {"2 rows", shape(0, 2, 3), "A", "3-90 rows, not 2"},
        {"91 rows", shape(0, 91, 3), "A", "3-90 rows, not 91"},
        {"rows 21 modules tall", shape(0, 0, 21), "A", "1-20 modules tall, not 21"},
        {"rows no modules tall", shape(0, 0, 0), "A", "1-20 modules tall, not 0"},
        {"level beyond 8", level9, "A", "level is 0-8"},
        {"three codewords in a 1 x 3 symbol at level 2", tight, "ABCDEF", "3 rows of 1 columns hold 3"},
        {"level 8 and 500 codewords", tooMany, std::string(1000, 'a'), "a PDF417 symbol holds 928"},
        {"one digit past the most any symbol holds", chosen, std::string(2711, '7'), "holds at most 2710 (digits)"},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.label);
        auto s = pdf::encode(pdf417test::plain(c.data), c.options);
        ASSERT_FALSE(s);
        EXPECT_NE(s.error().message.find(c.message), std::string::npos) << s.error().message;
    }
    // Macro text fields count with the data.
    pdf::Options named;
    named.macro.fileName = std::string(2710, 'F');
    korvane::Message first = pdf417test::plain("A");
    first.structuredAppend = {1, 2, ""};
    const auto s = pdf::encode(first, named);
    ASSERT_FALSE(s);
    EXPECT_NE(s.error().message.find("have 2711 characters"), std::string::npos) << s.error().message;
}

// A symbol holds at most 928 codewords (Reed-Solomon over GF(929)): data
// that needs exactly 928 fits, in a grid of exactly 928 (16 x 58 or 29 x 32,
// the only ones within 30 columns and 90 rows), and one codeword more does
// not; nor does a grid of more than 928 however little it carries. Letters go
// two a codeword, so n letters need n / 2 + 1 with the length descriptor, and
// level L adds 2^(L+1); 2,710 digits take 902, 61 groups of 15 and 9 for the
// last 26, 926 with the descriptor.
TEST(Pdf417Symbol, HoldsExactly928Codewords) {
    auto options = [](int level, int columns, int rows) {
        pdf::Options o;
        o.level = level;
        o.columns = columns;
        o.rows = rows;
        return o;
    };
    const struct {
        const char* label;
        pdf::Options options;
        std::string data;
        int columns, rows;  // 0: refused
    } cases[] = {
        {"926 + 2 at level 0, shape chosen", options(0, 0, 0), std::string(1850, 'A'), -1, -1},
        {"927 + 2 at level 0", options(0, 0, 0), std::string(1852, 'A'), 0, 0},
        {"416 + 512 at level 8", options(8, 0, 0), std::string(830, 'A'), -1, -1},
        {"417 + 512 at level 8", options(8, 0, 0), std::string(832, 'A'), 0, 0},
        {"2,710 digits, level chosen", options(-1, 0, 0), std::string(2710, '7'), -1, -1},
        {"29 columns give 32 rows", options(0, 29, 0), std::string(1850, 'A'), 29, 32},
        {"16 columns give 58 rows", options(0, 16, 0), std::string(1850, 'A'), 16, 58},
        {"58 rows give 16 columns", options(0, 0, 58), std::string(1850, 'A'), 16, 58},
        {"30 columns: 900 too few, 930 too many", options(0, 30, 0), std::string(1850, 'A'), 0, 0},
        {"31 rows need 30 columns: 930", options(0, 0, 31), std::string(1850, 'A'), 0, 0},
        {"29 x 32 given", options(0, 29, 32), std::string(1850, 'A'), 29, 32},
        {"30 x 31 given, 930 for little data", options(0, 30, 31), "A", 0, 0},
        {"30 x 30 given, 900", options(0, 30, 30), "A", 30, 30},
        {"the fewest rows, the most columns", options(0, 30, 3), "A", 30, 3},
        {"the most rows, the fewest columns", options(0, 1, 90), "A", 1, 90},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const auto s = pdf::encode(pdf417test::plain(c.data), c.options);
        if (c.columns == 0) {
            ASSERT_FALSE(s);
            EXPECT_EQ(s.error().code, korvane::ErrorCode::DataTooLong) << s.error().message;
            continue;
        }
        ASSERT_TRUE(s) << s.error().message;
        if (c.columns > 0) {
            EXPECT_EQ(s->columns, c.columns);
            EXPECT_EQ(s->rows, c.rows);
        } else {
            EXPECT_EQ(s->rows * s->columns, 928);
            EXPECT_EQ(s->padCodewords, 0);
        }
        if (c.data.size() > 1) {
            const testsupport::Decoded d = read(*s);
            ASSERT_TRUE(d.ok) << d.error;
            EXPECT_EQ(d.text, c.data);
        }
    }
}

// An ECI after data starts a segment that latches its mode anew; zxing-cpp
// reads each part in its own character set.
TEST(Pdf417Symbol, EciWithinTheData) {
    korvane::Message m = pdf417test::plain("Caf\xE9 \xC3\xA9t\xC3\xA9 42424242424242");
    m.markers.push_back({korvane::MarkerKind::Eci, 0, 3});   // ISO/IEC 8859-1
    m.markers.push_back({korvane::MarkerKind::Eci, 5, 26});  // UTF-8
    auto s = pdf::encode(m, {});
    ASSERT_TRUE(s) << s.error().message;
    const testsupport::Decoded d = read(*s);
    ASSERT_TRUE(d.ok) << d.error;
    EXPECT_EQ(d.text, "Caf\xC3\xA9 \xC3\xA9t\xC3\xA9 42424242424242");
}

}  // namespace
