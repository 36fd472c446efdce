// The optimal Aztec encoder on the measuring corpus: against zint at equal
// error correction, against zxing-cpp's encoder in zxing-cpp's own symbols,
// and every symbol read back. bench/aztec_compare prints the figures.

#include "AztecOptTestSupport.h"
#include "Corpus.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::vector<aztecopt::CorpusEntry>& corpus() {
    static const std::vector<aztecopt::CorpusEntry> c = aztecopt::aztecCorpus();
    return c;
}

korvane::Result<korvane::Symbol> ours(const std::string& data, bool escapes, const korvane::EncodeOptions& base = {}) {
    korvane::EncodeOptions o = base;
    o.escapes = escapes;
    return korvane::encode(korvane::Symbology::Aztec, data, o);
}

// zint's default level is the standard's recommendation, 23 % + 3 codewords,
// as is ours: no symbol larger, and at most 0.93 of zint's area in all.
TEST(AztecCorpus, SmallerThanZint) {
    double oursArea = 0, zintArea = 0;
    for (const aztecopt::CorpusEntry& e : corpus()) {
        SCOPED_TRACE(e.kind + ": " + testing::PrintToString(e.data));
        const auto s = ours(e.data, e.escapes);
        const aztecopt::PeerSymbol z = aztecopt::zintSymbol(ZINT_EXE, e, 2);
        ASSERT_TRUE(s);
        ASSERT_GT(z.side, 0);
        EXPECT_LE(s->columns, z.side);
        oursArea += static_cast<double>(s->columns) * s->rows;
        zintArea += static_cast<double>(z.side) * z.side;
    }
    EXPECT_LE(oursArea / zintArea, 0.93);
}

// zxing-cpp's encoder also searches over mode sequences; its sizes follow its
// own rule (check words as a share of the data), so the encoders are compared
// in zxing-cpp's own configuration: we never need more data codewords.
TEST(AztecCorpus, NoMoreDataCodewordsThanZxing) {
    for (const aztecopt::CorpusEntry& e : corpus()) {
        SCOPED_TRACE(e.kind + ": " + testing::PrintToString(e.content));
        const aztecopt::PeerSymbol x = aztecopt::zxingSymbol(e.content, 2);
        ASSERT_GT(x.side, 0);
        korvane::EncodeOptions o;
        o.eccPercent = 0;
        o.eccExtraWords = 0;
        o.minSize = x.side;
        o.compactOnly = x.compact;
        o.fullOnly = !x.compact;
        const auto s = ours(e.content, false, o);
        ASSERT_TRUE(s);
        EXPECT_EQ(s->columns, x.side);
        EXPECT_LE(s->facts.aztec.dataCodewords, x.dataCodewords);
    }
}

TEST(AztecCorpus, EverySymbolReadsBack) {
    for (const aztecopt::CorpusEntry& e : corpus()) {
        SCOPED_TRACE(e.kind + ": " + testing::PrintToString(e.data));
        const auto s = ours(e.data, e.escapes);
        ASSERT_TRUE(s);
        EXPECT_EQ(s->facts.data, e.content);
        const testsupport::Decoded d = aztecopt::decodeSymbol(*s);
        EXPECT_TRUE(aztecopt::readsAs(d, e.content))
            << d.error << " " << testing::PrintToString(testsupport::bytesToString(d.bytes));
    }
}

}  // namespace
