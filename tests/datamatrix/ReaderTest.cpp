// The library's reader: damage corrected up to what the check words allow
// (and the count reported), symbols turned by quarter turns, and library
// symbols carrying every header and marker read back through verify(), each
// value also read by zxing-cpp.

#include "DataMatrixTestSupport.h"

#include <korvane/korvane.hpp>

#include <gtest/gtest.h>

#include <set>

namespace dmtest {
namespace {

// Flips every module of `count` distinct codewords (the walk's order gives
// each codeword's eight modules), chosen at random.
dm::Encoded damaged(dm::Encoded e, int count, std::mt19937& rng) {
    const dm::SizeInfo& s = *e.size;
    const int rr = s.regionRows, rc = s.regionColumns;
    const int nrow = s.regionsDown() * rr, ncol = s.regionsAcross() * rc;
    const std::vector<int> map = dm::detail::placement(nrow, ncol);
    std::set<int> words;
    const int total = s.dataCodewords + s.checkCodewords;
    while (static_cast<int>(words.size()) < count)
        words.insert(std::uniform_int_distribution<int>(1, total)(rng));
    for (int y = 0; y < nrow; ++y)
        for (int x = 0; x < ncol; ++x) {
            const int m = map[static_cast<std::size_t>(y) * ncol + x];
            if (m >= 8 && words.count(m / 8)) {
                const int row = y / rr * (rr + 2) + y % rr + 1, col = x / rc * (rc + 2) + x % rc + 1;
                e.modules[static_cast<std::size_t>(row) * s.columns + col] ^= 1;
            }
        }
    return e;
}

TEST(DataMatrixReader, CorrectsDamageUpToCapacity) {
    std::mt19937 rng(77);
    const struct {
        int rows, columns;
    } sizes[] = {{10, 10}, {24, 24}, {52, 52}, {104, 104}, {16, 48}, {26, 64}};
    for (const auto& size : sizes) {
        dm::Options o;
        o.rows = size.rows;
        o.columns = size.columns;
        const std::string value = "Damage " + std::to_string(size.rows) + "x" + std::to_string(size.columns);
        const auto e = dm::encode(plain(value.substr(0, size.rows == 10 ? 3 : value.size())), o);
        ASSERT_TRUE(e) << e.error().message;
        const dm::SizeInfo& s = *e->size;
        // Per block; spread over all blocks the interleave keeps each within it.
        const int capacity = s.checkCodewords / s.blocks / 2 * s.blocks;
        SCOPED_TRACE(value + ", " + std::to_string(capacity) + " codewords");
        int all = 0;
        for (int trial = 0; trial < 4; ++trial) {
            // Whole blocks' worth, codeword by codeword: random choices may
            // crowd one block, so damage stays at what each block corrects.
            const int count = s.blocks == 1 ? capacity : s.blocks;
            const dm::Encoded bad = damaged(*e, count, rng);
            const korvane::detail::Reading r = readOurs(bad);
            const testsupport::Decoded z = readZxing(bad);
            EXPECT_TRUE(r.ok) << r.failure;
            EXPECT_EQ(r.data, e->readerData);
            EXPECT_EQ(r.correctedCodewords, count);
            EXPECT_EQ(z.ok, r.ok);
            all += r.ok;
        }
        // One codeword beyond the capacity of a single block is beyond correction.
        if (s.blocks == 1) {
            const korvane::detail::Reading r = readOurs(damaged(*e, capacity + 1, rng));
            EXPECT_FALSE(r.ok && r.data == e->readerData && r.correctedCodewords <= capacity);
        }
        EXPECT_EQ(all, 4);
    }
}

TEST(DataMatrixReader, ReadsQuarterTurns) {
    for (const char* value : {"Turned", "A rectangle"}) {
        dm::Options o;
        o.shape = std::string(value) == "Turned" ? dm::Shape::Square : dm::Shape::Rectangular;
        const auto e = dm::encode(plain(value), o);
        ASSERT_TRUE(e);
        korvane::GrayRaster r = raster(render(*e));
        for (int turn = 0; turn < 4; ++turn) {
            SCOPED_TRACE(std::string(value) + " turned " + std::to_string(90 * turn));
            const korvane::detail::Reading read = korvane::detail::readDataMatrix(r);
            EXPECT_TRUE(read.ok) << read.failure;
            EXPECT_EQ(read.data, value);
            korvane::GrayRaster t;
            t.width = r.height;
            t.height = r.width;
            t.pixels.resize(r.pixels.size());
            for (int y = 0; y < r.height; ++y)
                for (int x = 0; x < r.width; ++x)
                    t.pixels[static_cast<std::size_t>(x) * t.width + (r.height - 1 - y)] = r.at(x, y);
            r = t;
        }
    }
}

// Library symbols through encode(), layout() and verify(): headers, markers
// and each encodation, read by our reader and by zxing-cpp.
TEST(DataMatrixReader, LibrarySymbolsVerify) {
    struct Case {
        const char* label;
        std::string data;
        korvane::EncodeOptions options;
        std::string zxingText;  // what zxing-cpp returns, when it differs from the data
    };
    auto with = [](auto set) {
        korvane::EncodeOptions o;
        set(o);
        return o;
    };
    std::string bytes;
    for (int i = 0; i < 600; ++i)
        bytes.push_back(static_cast<char>(i * 7 % 256));
    const Case cases[] = {
        {"GS1", "(01)09501101530003(10)AB-12(21)XYZ", with([](auto& o) { o.gs1 = true; }), ""},
        // zxing-cpp 1.4 drops an FNC1 outside GS1 data; we return it as GS.
        {"FNC1 and ECI escapes", "A~Fb~E000026\xC3\xA9", with([](auto& o) { o.escapes = true; }), "Ab\xC3\xA9"},
        {"ECI option", "Gr\xC3\xBC\xC3\x9F" "e", with([](auto& o) { o.eci = 26; }), ""},
        {"structured append", "part two", with([](auto& o) { o.structuredAppend = {2, 3, "300"}; }), ""},
        {"reader programming", "PROGRAM", with([](auto& o) { o.readerInit = true; }), ""},
        {"macro 05", "[)>\x1e" "05\x1d" "ABC123\x1e\x04", {}, ""},
        {"Base 256 over 250 bytes", bytes, {}, ""},
        {"EDIFACT", "A.B/C:D-E+F;G=H<I>J?K@L[M]N^O_P", {}, ""},
        {"Text and X12", "lower case text then UPPER*X12>DATA\r", {}, ""},
        {"DMRE", "DMRE rectangle 26x48 of ISO/IEC 21471",
         with([](auto& o) { o.dmShape = korvane::DataMatrixShape::Rectangular; o.dmre = true; }), ""},
        {"fixed size", "12345", with([](auto& o) { o.dmRows = 32; o.dmColumns = 32; }), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const auto symbol = korvane::encode(korvane::Symbology::DataMatrix, c.data, c.options);
        ASSERT_TRUE(symbol) << symbol.error().message;
        korvane::LayoutOptions l;
        l.dpi = 0;
        l.xDim = korvane::px(3);
        const auto drawing = korvane::layout(*symbol, l);
        ASSERT_TRUE(drawing) << drawing.error().message;
        const korvane::Verdict v = korvane::verify(*drawing, *symbol);
        EXPECT_TRUE(v.ok) << v.reason;
        EXPECT_EQ(v.correctedCodewords, 0);

        std::vector<bool> dark(symbol->modules.begin(), symbol->modules.end());
        const testsupport::Decoded z = testsupport::decode(
            testsupport::renderMatrix(dark, symbol->rows, symbol->columns, 3, 2), testsupport::Symbology::DataMatrix);
        ASSERT_TRUE(z.ok) << z.error;
        EXPECT_EQ(testsupport::bytesToString(z.bytes), c.zxingText.empty() ? symbol->facts.data : c.zxingText);
        EXPECT_EQ(z.readerInit, c.options.readerInit);
        if (c.options.structuredAppend.count > 0) {
            EXPECT_EQ(z.sequenceIndex, c.options.structuredAppend.index - 1);
            EXPECT_EQ(z.sequenceSize, c.options.structuredAppend.count);
        }
        EXPECT_EQ(z.gs1, c.options.gs1);
    }
}

}  // namespace
}  // namespace dmtest
