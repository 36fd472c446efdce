// Our PDF417 reader against zxing-cpp on the same pictures, and damage up to
// what the check words can correct.

#include "Pdf417TestSupport.h"
#include "pdf417/Pdf417Tables.h"
#include "verify/Readers.h"

#include <gtest/gtest.h>

namespace {

namespace pdf = korvane::pdf417;
using pdf417test::Kind;

korvane::GrayRaster rasterOf(const pdf::Symbol& s, int rowHeight = 3, int scale = 2, int quiet = 2) {
    korvane::GrayRaster r;
    r.width = (s.width + 2 * quiet) * scale;
    r.height = (s.rows * rowHeight + 2 * quiet) * scale;
    r.pixels.assign(static_cast<std::size_t>(r.width) * r.height, 255);
    for (int y = 0; y < s.rows * rowHeight * scale; ++y)
        for (int x = 0; x < s.width * scale; ++x)
            if (s.modules[static_cast<std::size_t>(y / scale / rowHeight) * s.width + x / scale])
                r.pixels[static_cast<std::size_t>(y + quiet * scale) * r.width + x + quiet * scale] = 0;
    return r;
}

// Every value zxing-cpp reads, ours reads the same, with the macro and
// reader-initialisation marks as made.
TEST(Pdf417Reader, AgreesWithZxing) {
    std::mt19937 rng(2406);
    const Kind kinds[] = {Kind::Text, Kind::Digits, Kind::Bytes, Kind::Mixed, Kind::Utf8, Kind::DigitRunsInText};
    for (int i = 0; i < pdf417test::scaled(600); ++i) {
        const Kind kind = kinds[i % 6];
        korvane::Message m = pdf417test::plain(pdf417test::randomValue(rng, kind, 80));
        if (kind == Kind::Utf8)
            m.markers.push_back({korvane::MarkerKind::Eci, 0, 26});
        m.readerInit = i % 11 == 0;
        if (i % 13 == 0)
            m.structuredAppend = {1 + i % 4, 4, "017053"};
        pdf::Options o;
        o.level = i % 9;
        o.compact = i % 5 == 0;
        auto s = pdf::encode(m, o);
        ASSERT_TRUE(s) << s.error().message;
        const testsupport::Decoded z = pdf417test::readWithZxing(s->modules, s->rows, s->width);
        ASSERT_TRUE(z.ok) << z.error;
        const korvane::detail::Reading ours = korvane::detail::readPdf417(rasterOf(*s));
        ASSERT_TRUE(ours.ok) << ours.failure << " for " << testing::PrintToString(m.bytes);
        EXPECT_EQ(ours.data, std::string(z.bytes.begin(), z.bytes.end()));
        EXPECT_EQ(ours.readerInit, z.readerInit);
        EXPECT_EQ(ours.dataCodewords, s->dataCodewords);
        EXPECT_EQ(ours.correctedCodewords, 0);
        if (m.structuredAppend.index > 0) {
            EXPECT_EQ(ours.structuredIndex, z.sequenceIndex + 1);
            EXPECT_EQ(ours.structuredId, z.sequenceId);
            EXPECT_EQ(ours.structuredCount, 4);
        }
    }
}

// The symbol turned a quarter, a half and three quarters.
TEST(Pdf417Reader, ReadsTurned) {
    auto s = pdf::encode(pdf417test::plain("Turned PDF417 1234567890"), {});
    ASSERT_TRUE(s);
    korvane::GrayRaster r = rasterOf(*s);
    for (int turn = 1; turn <= 3; ++turn) {
        korvane::GrayRaster t;
        t.width = r.height;
        t.height = r.width;
        t.pixels.resize(r.pixels.size());
        for (int y = 0; y < r.height; ++y)
            for (int x = 0; x < r.width; ++x)  // a quarter turn clockwise
                t.pixels[static_cast<std::size_t>(x) * t.width + (r.height - 1 - y)] = r.at(x, y);
        r = t;
        const korvane::detail::Reading ours = korvane::detail::readPdf417(r);
        ASSERT_TRUE(ours.ok) << turn << ": " << ours.failure;
        EXPECT_EQ(ours.data, "Turned PDF417 1234567890");
    }
}

struct DamageCase {
    const char* label;
    int level;
    int errors;     // characters replaced by another codeword's
    int erasures;   // characters of another cluster, unreadable in their row
    bool reads;
};
// Two check words are kept for detection: 2 x errors + erasures <= 2^(level+1) - 2.
const DamageCase DAMAGE[] = {
    {"level 1: one error", 1, 1, 0, true},
    {"level 1: two erasures", 1, 0, 2, true},
    {"level 2: three errors", 2, 3, 0, true},
    {"level 2: two errors, two erasures", 2, 2, 2, true},
    {"level 3: fourteen erasures", 3, 0, 14, true},
    {"level 4: fifteen errors", 4, 15, 0, true},
    {"level 5: twenty errors, twenty-two erasures", 5, 20, 22, true},
    {"level 2: seven erasures, beyond", 2, 0, 7, false},
    {"level 3: fifteen erasures, beyond", 3, 0, 15, false},
};

TEST(Pdf417Reader, CorrectsDamageUpToCapacity) {
    std::mt19937 rng(929);
    for (const DamageCase& c : DAMAGE) {
        SCOPED_TRACE(c.label);
        pdf::Options o;
        o.level = c.level;
        o.columns = 6;
        const std::string value = pdf417test::randomValue(rng, Kind::Mixed, 200);
        auto s = pdf::encode(pdf417test::plain(value), o);
        ASSERT_TRUE(s);
        // Distinct data characters, never the row indicators or the patterns.
        std::vector<int> cells(static_cast<std::size_t>(s->rows * s->columns));
        for (std::size_t i = 0; i < cells.size(); ++i)
            cells[i] = static_cast<int>(i);
        std::shuffle(cells.begin(), cells.end(), rng);
        ASSERT_GE(cells.size(), static_cast<std::size_t>(c.errors + c.erasures));
        for (int n = 0; n < c.errors + c.erasures; ++n) {
            const int row = cells[static_cast<std::size_t>(n)] / s->columns;
            const int column = cells[static_cast<std::size_t>(n)] % s->columns;
            const std::size_t at = static_cast<std::size_t>(row) * s->width + 34 + 17 * column;
            const int wrong = (s->codewords[static_cast<std::size_t>(cells[static_cast<std::size_t>(n)])] + 1 + n) % 929;
            // An error is another codeword of the row's cluster; an erasure a
            // character of another cluster, which no line of this row can take.
            const std::uint32_t pattern = pdf::CLUSTER_PATTERNS[n < c.errors ? row % 3 : (row + 1) % 3][wrong];
            for (int b = 0; b < 17; ++b)
                s->modules[at + static_cast<std::size_t>(b)] = static_cast<std::uint8_t>((pattern >> (16 - b)) & 1U);
        }
        const korvane::detail::Reading ours = korvane::detail::readPdf417(rasterOf(*s));
        ASSERT_EQ(ours.ok, c.reads) << ours.failure;
        if (c.reads) {
            EXPECT_EQ(ours.data, value);
            EXPECT_EQ(ours.correctedCodewords, c.errors + c.erasures);
            EXPECT_EQ(ours.erasedCodewords, c.erasures);
        }
    }
}

// A character blotted out merges with the first bar of the next, so a line
// read from the start stops there: the rest of the row comes from the stop
// pattern's side, and only the two characters are lost.
TEST(Pdf417Reader, ReadsRowsFromBothEnds) {
    pdf::Options o;
    o.level = 4;
    o.columns = 5;
    const std::string value(150, 'x');
    auto s = pdf::encode(pdf417test::plain(value), o);
    ASSERT_TRUE(s);
    ASSERT_GE(s->rows, 10);
    for (int row = 0; row < 10; ++row) {
        const int column = row % 4;  // never the last: its neighbour is a data character too
        const std::size_t at = static_cast<std::size_t>(row) * s->width + 34 + 17 * column;
        std::fill(s->modules.begin() + static_cast<std::ptrdiff_t>(at), s->modules.begin() + static_cast<std::ptrdiff_t>(at) + 17, 1);
    }
    const korvane::detail::Reading ours = korvane::detail::readPdf417(rasterOf(*s));
    ASSERT_TRUE(ours.ok) << ours.failure;
    EXPECT_EQ(ours.data, value);
    EXPECT_EQ(ours.erasedCodewords, 20);
    EXPECT_EQ(ours.correctedCodewords, 20);
}

// The optional fields of the Macro PDF417 control block come back as written.
TEST(Pdf417Reader, ReadsMacroFields) {
    korvane::Message m = pdf417test::plain("Last part of the file");
    m.structuredAppend = {4, 4, "017053"};
    pdf::Options o;
    o.macro.fileName = "Report 2024.txt";
    o.macro.timeStamp = 1717171717;
    o.macro.sender = "Accounts, Leeds";
    o.macro.addressee = "Mr Smith";
    o.macro.fileSize = 123456789;
    o.macro.checksum = 65535;
    auto s = pdf::encode(m, o);
    ASSERT_TRUE(s) << s.error().message;
    const korvane::detail::Reading ours = korvane::detail::readPdf417(rasterOf(*s));
    ASSERT_TRUE(ours.ok) << ours.failure;
    EXPECT_EQ(ours.data, m.bytes);
    EXPECT_EQ(ours.structuredIndex, 4);
    EXPECT_EQ(ours.structuredCount, 4);
    EXPECT_EQ(ours.structuredId, "017053");
    const std::vector<std::pair<int, std::string>> fields = {
        {0, "Report 2024.txt"}, {2, "1717171717"}, {3, "Accounts, Leeds"},
        {4, "Mr Smith"},        {5, "123456789"},  {6, "65535"}};
    EXPECT_EQ(ours.macroFields, fields);
    const testsupport::Decoded z = pdf417test::readWithZxing(s->modules, s->rows, s->width);
    ASSERT_TRUE(z.ok) << z.error;
    EXPECT_EQ(z.text, m.bytes);
    EXPECT_EQ(z.sequenceIndex, 3);
    EXPECT_EQ(z.sequenceSize, 4);
}

// A byte shifted within text after an odd number of values: the pad before
// 913 is ps (or al in punctuation), which must not reach the next character.
TEST(Pdf417Reader, ByteShiftAfterPad) {
    const std::string cases[] = {"z\x1f !", "A\x1f B", "1\x1f 2", ";\x1f a;", "ab\x80 cd\x81 ef"};
    for (const std::string& value : cases) {
        auto s = pdf::encode(pdf417test::plain(value), {});
        ASSERT_TRUE(s);
        const korvane::detail::Reading ours = korvane::detail::readPdf417(rasterOf(*s));
        ASSERT_TRUE(ours.ok) << ours.failure;
        EXPECT_EQ(ours.data, value);
        const testsupport::Decoded z = pdf417test::readWithZxing(s->modules, s->rows, s->width);
        EXPECT_EQ(std::string(z.bytes.begin(), z.bytes.end()), value);
    }
}

}  // namespace
