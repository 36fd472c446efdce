// Against zint: digit-only data (one ASCII encodation, so one matrix) gives
// zint's symbol module for module at every size; on a corpus of all kinds no
// symbol is larger than zint's or zxing-cpp's in the same shape.

#include "DataMatrixTestSupport.h"

#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>

#include <gtest/gtest.h>

namespace dmtest {
namespace {

TEST(DataMatrixZint, DigitsAtEverySizeMatchZint) {
    std::mt19937 rng(2211);
    const int sizes = static_cast<int>(dm::sizesEnd() - dm::sizesBegin());
    const int count = sampleCount(300);
    for (int i = 0; i < count; ++i) {
        const dm::SizeInfo& s = dm::sizesBegin()[i % sizes];
        const int length = std::uniform_int_distribution<int>(1, 2 * s.dataCodewords)(rng);
        std::string digits;
        for (int k = 0; k < length; ++k)
            digits.push_back(static_cast<char>('0' + std::uniform_int_distribution<int>(0, 9)(rng)));
        SCOPED_TRACE(std::to_string(s.rows) + "x" + std::to_string(s.columns) + " " + digits);
        dm::Options o;
        o.rows = s.rows;
        o.columns = s.columns;
        const auto e = dm::encode(plain(digits), o);
        ASSERT_TRUE(e) << e.error().message;
        const ZintSymbol z = zintEncode(digits, zintSizeOption(s.rows, s.columns));
        ASSERT_EQ(z.rows, s.rows);
        ASSERT_EQ(z.columns, s.columns);
        if (s.rows == 144) {
            // zint 2.11 interleaves the check words of 144x144 in the order
            // of older readers (the two short blocks first), as zxing-cpp
            // 1.4 reads them; we keep ISO/IEC 16022's order, which libdmtx
            // reads. Everything but the check words is zint's.
            const DmtxRead d = readDmtx(*e);
            EXPECT_TRUE(d.ok && d.data == digits);
            continue;
        }
        EXPECT_EQ(e->modules, z.modules);
    }
}

struct Peer {
    int rows = 0, columns = 0;
    int area() const { return rows * columns; }
};

Peer zxingSymbol(const std::string& data) {
    ZXing::MultiFormatWriter w(ZXing::BarcodeFormat::DataMatrix);
    w.setMargin(0);
    const ZXing::BitMatrix m = w.encode(data, 0, 0);
    return {m.height(), m.width()};
}

// A few hundred values of every kind and length: none larger than zint's in
// the same shape (square; square or rectangle; with DMRE), none larger than
// zxing-cpp's (whose writer takes text, so ASCII values only).
TEST(DataMatrixZint, NoSymbolLargerThanZintsOrZxings) {
    std::mt19937 rng(4242);
    int values = 0, smallerThanZint = 0, largerThanZint = 0, smallerThanZxing = 0, largerThanZxing = 0;
    for (Kind kind : ALL_KINDS)
        for (int i = 0; i < 30; ++i) {
            const int longest = i < 10 ? 12 : i < 20 ? 60 : 300;
            const std::string value = randomValue(kind, rng, longest);
            korvane::Message m = plain(value);
            m.gs1 = kind == Kind::Gs1;
            ++values;
            const struct {
                dm::Shape shape;
                bool dmre;
            } shapes[] = {{dm::Shape::Square, false}, {dm::Shape::Any, false}, {dm::Shape::Any, true}};
            for (const auto& sh : shapes) {
                dm::Options o;
                o.shape = sh.shape;
                o.dmre = sh.dmre;
                const auto e = dm::encode(m, o);
                const ZintSymbol z = zintEncode(value, 0, m.gs1, sh.shape != dm::Shape::Square, sh.dmre);
                if (z.rows == 0) {
                    EXPECT_TRUE(!e || m.gs1) << "zint refused \"" << value << "\", which we encode";
                    continue;
                }
                ASSERT_TRUE(e) << kindName(kind) << " \"" << value << "\": " << e.error().message;
                const int ours = e->size->rows * e->size->columns;
                EXPECT_LE(ours, z.rows * z.columns) << kindName(kind) << " \"" << value << "\"";
                smallerThanZint += ours < z.rows * z.columns;
                largerThanZint += ours > z.rows * z.columns;
            }
            const bool ascii = std::all_of(value.begin(), value.end(), [](char c) {
                return static_cast<unsigned char>(c) < 128 && c != '\x1d';
            });
            if (ascii && !m.gs1) {
                dm::Options any;
                any.shape = dm::Shape::Any;
                const auto e = dm::encode(m, any);
                ASSERT_TRUE(e);
                const Peer x = zxingSymbol(value);
                const int ours = e->size->rows * e->size->columns;
                EXPECT_LE(ours, x.area()) << kindName(kind) << " \"" << value << "\"";
                smallerThanZxing += ours < x.area();
                largerThanZxing += ours > x.area();
            }
        }
    std::printf("Data Matrix sizes over %d values: %d symbols smaller than zint's (%d larger), "
                "%d smaller than zxing-cpp's (%d larger)\n",
                values, smallerThanZint, largerThanZint, smallerThanZxing, largerThanZxing);
}

}  // namespace
}  // namespace dmtest
