// The optimal Aztec encoder's symbols: the configuration it picks under each
// option, the facts it reports, its refusals, and round trips through zxing-cpp.

#include "AztecOptTestSupport.h"
#include "Corpus.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using aztecopt::decodeSymbol;
using korvane::EncodeOptions;

namespace {

korvane::Result<korvane::Symbol> encodeAztec(const std::string& data, const EncodeOptions& o = {}) {
    return korvane::encode(korvane::Symbology::Aztec, data, o);
}

std::vector<std::string> rowsOf(const korvane::Symbol& s) {
    std::vector<std::string> rows;
    for (int r = 0; r < s.rows; ++r) {
        std::string row;
        for (int c = 0; c < s.columns; ++c)
            row += s.dark(r, c) ? '1' : '0';
        rows.push_back(row);
    }
    return rows;
}

using Setup = void (*)(EncodeOptions&);
void defaults(EncodeOptions&) {}

struct ConfigurationCase {
    const char* label;
    std::string data;
    Setup setup;
    int size;
    bool compact;
    int layers;
    int dataCodewords;
};

// 23 % + 3 words leaves 11 of the 17 codewords of 15 x 15 for data, 28 of the
// 40 of compact 19 x 19, 34 of the 48 of full-range 23 x 23.
const ConfigurationCase CONFIGURATION_CASES[] = {
    {"one letter", "A", defaults, 15, true, 1, 1},
    {"11 data words fill 15 x 15", std::string(13, 'A'), defaults, 15, true, 1, 11},
    {"12 take compact 19 x 19, not full range", std::string(14, 'A'), defaults, 19, true, 2, 12},
    {"nothing after the escapes still has one data word", "~", [](EncodeOptions& o) { o.escapes = true; }, 15, true,
     1, 1},
    {"smallest side 20", "A", [](EncodeOptions& o) { o.minSize = 20; }, 23, true, 3, 1},
    {"full range only", "A", [](EncodeOptions& o) { o.fullOnly = true; }, 19, false, 1, 1},
    {"no check words asked for", std::string(20, 'A'),
     [](EncodeOptions& o) {
         o.eccPercent = 0;
         o.eccExtraWords = 0;
     },
     15, true, 1, 17},
    {"90 % of check words", "A", [](EncodeOptions& o) { o.eccPercent = 90; }, 19, true, 2, 1},
    {"a compact count field holds 64 data words at most", std::string(104, 'A'),
     [](EncodeOptions& o) {
         o.eccPercent = 0;
         o.eccExtraWords = 0;
     },
     31, false, 4, 65},
    {"reader initialisation: one compact layer, then full range", std::string(20, 'A'),
     [](EncodeOptions& o) { o.readerInit = true; }, 23, false, 2, 17},
};

TEST(AztecOptimal, Configuration) {
    for (const ConfigurationCase& c : CONFIGURATION_CASES) {
        SCOPED_TRACE(c.label);
        EncodeOptions o;
        c.setup(o);
        const auto s = encodeAztec(c.data, o);
        ASSERT_TRUE(s) << s.error().message;
        EXPECT_EQ(s->columns, c.size);
        EXPECT_EQ(s->rows, c.size);
        EXPECT_EQ(s->facts.aztec.compact, c.compact);
        EXPECT_EQ(s->facts.aztec.layers, c.layers);
        EXPECT_EQ(s->facts.aztec.dataCodewords, c.dataCodewords);
        // The mode message says the same (plus the reader-initialisation flag).
        const aztecopt::PeerSymbol read = aztecopt::readSymbol(rowsOf(*s));
        EXPECT_EQ(read.compact, c.compact);
        EXPECT_EQ(read.layers, c.layers);
        EXPECT_EQ(read.dataCodewords, c.dataCodewords + (o.readerInit ? (c.compact ? 32 : 1024) : 0));
    }
}

TEST(AztecOptimal, Facts) {
    const auto s = encodeAztec("Aztec barcode");
    ASSERT_TRUE(s);
    const korvane::AztecFacts& f = s->facts.aztec;
    EXPECT_EQ(f.dataBits, 70);
    EXPECT_EQ(f.codewordBits, 6);
    EXPECT_EQ(f.dataCodewords, 12);
    EXPECT_EQ(f.totalCodewords, 40);
    EXPECT_DOUBLE_EQ(f.eccPercent, 70.0);
    EXPECT_EQ(s->facts.data, "Aztec barcode");
    EXPECT_EQ(s->text, "Aztec barcode");
    EXPECT_EQ(s->modules.size(), 19u * 19u);
}

struct RefusalCase {
    const char* label;
    std::string data;
    Setup setup;
    korvane::ErrorCode code;
};

const RefusalCase REFUSAL_CASES[] = {
    {"negative extra words", "A", [](EncodeOptions& o) { o.eccExtraWords = -1; }, korvane::ErrorCode::InvalidOption},
    {"more extra words than any symbol has", "A", [](EncodeOptions& o) { o.eccExtraWords = 1665; },
     korvane::ErrorCode::InvalidOption},
    {"no compact symbol is 31 wide", "A",
     [](EncodeOptions& o) {
         o.compactOnly = true;
         o.minSize = 31;
     },
     korvane::ErrorCode::InvalidOption},
    {"reader initialisation stops at 109 x 109", "A",
     [](EncodeOptions& o) {
         o.readerInit = true;
         o.minSize = 113;
     },
     korvane::ErrorCode::InvalidOption},
    {"too long for any symbol", std::string(4000, 'A'), defaults, korvane::ErrorCode::DataTooLong},
    {"too long even at 2.5 bits a character", std::string(8000, '\r'), defaults, korvane::ErrorCode::DataTooLong},
    {"too long for compact symbols", std::string(200, 'A'), [](EncodeOptions& o) { o.compactOnly = true; },
     korvane::ErrorCode::DataTooLong},
};

TEST(AztecOptimal, Refusals) {
    for (const RefusalCase& c : REFUSAL_CASES) {
        SCOPED_TRACE(c.label);
        EncodeOptions o;
        c.setup(o);
        const auto s = encodeAztec(c.data, o);
        ASSERT_FALSE(s);
        EXPECT_EQ(s.error().code, c.code);
        EXPECT_FALSE(s.error().message.empty());
    }
}

struct RoundTripCase {
    const char* label;
    std::string data;
    Setup setup;
};

std::string allBytes() {
    std::string s;
    for (int b = 0; b < 256; ++b)
        s += static_cast<char>(b);
    return s;
}

const RoundTripCase ROUND_TRIP_CASES[] = {
    {"pairs and punctuation", "Hi.\r\nYes, sir: no. \"Quote\" [1] {2} $3 & 50%?", defaults},
    {"NUL and high bytes", std::string("\0\0A\0\xff\x80 z", 8), defaults},
    {"every byte value", allBytes(), defaults},
    {"a long run of bytes", std::string(100, '\xe9') + "abc" + std::string(40, '\x01'), defaults},
    {"GS1 element strings", "~F0109501101530003" "10ABC123~F" "17250101",
     [](EncodeOptions& o) { o.escapes = true; }},
    {"ECI then text", "~E000026caf\xc3\xa9", [](EncodeOptions& o) { o.escapes = true; }},
    {"mixed and lower case", "~@\\^_`|~ mixed, lower, UPPER 12345.678", defaults},
};

TEST(AztecOptimal, RoundTrips) {
    for (const RoundTripCase& c : ROUND_TRIP_CASES) {
        SCOPED_TRACE(c.label);
        EncodeOptions o;
        c.setup(o);
        const auto s = encodeAztec(c.data, o);
        ASSERT_TRUE(s) << s.error().message;
        const testsupport::Decoded d = decodeSymbol(*s);
        EXPECT_TRUE(aztecopt::readsAs(d, s->facts.data))
            << d.error << " " << testing::PrintToString(testsupport::bytesToString(d.bytes));
    }
}

// Ten or more 1-bits of padding after upper, lower or mixed mode spell a byte
// shift with a count; in symbols of 12-bit codewords the encoder latches away
// first, so no reader takes the padding for bytes.
TEST(AztecOptimal, PaddingNeverReadsAsBytes) {
    EncodeOptions o;
    o.minSize = 113;
    // 25 bits in upper, lower and mixed mode leave 11 bits of padding.
    for (const std::string text : {"A", "AB", "ABCDE", "abcd", "@@@@", "ABCDEFGHIJKL", "1A"}) {
        SCOPED_TRACE(text);
        const auto s = encodeAztec(text, o);
        ASSERT_TRUE(s);
        ASSERT_EQ(s->facts.aztec.codewordBits, 12);
        const testsupport::Decoded d = decodeSymbol(*s);
        ASSERT_TRUE(d.ok) << d.error;
        EXPECT_EQ(testsupport::bytesToString(d.bytes), text);
    }
    // Five letters leave 11 bits of padding in three codewords: D/L takes 5 of them.
    EXPECT_EQ(encodeAztec("ABCDE", o)->facts.aztec.dataBits, 30);
}

TEST(AztecOptimal, StructuredAppend) {
    const struct {
        int index, count;
        const char* id;
    } cases[] = {{2, 5, ""}, {1, 3, "ABC"}, {26, 26, "Z"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        EncodeOptions o;
        o.structuredAppend = {c.index, c.count, c.id};
        const auto s = encodeAztec("Part of a set", o);
        ASSERT_TRUE(s);
        EXPECT_EQ(s->facts.aztec.structuredIndex, c.index);
        const testsupport::Decoded d = decodeSymbol(*s);
        ASSERT_TRUE(d.ok) << d.error;
        EXPECT_EQ(testsupport::bytesToString(d.bytes), "Part of a set");
        EXPECT_EQ(d.sequenceIndex, c.index - 1);  // the reader counts from 0
        EXPECT_EQ(d.sequenceSize, c.count);
        EXPECT_EQ(d.sequenceId, c.id);
    }
}

TEST(AztecOptimal, ThreadsGetTheSameSymbols) {
    std::vector<aztecopt::CorpusEntry> corpus = aztecopt::aztecCorpus();
    corpus.resize(120);
    std::vector<std::vector<std::uint8_t>> serial, parallel(corpus.size());
    for (const auto& e : corpus)
        serial.push_back(encodeAztec(e.data)->modules);
    std::thread other([&] {
        for (std::size_t i = 0; i < corpus.size(); i += 2)
            parallel[i] = encodeAztec(corpus[i].data)->modules;
    });
    for (std::size_t i = 1; i < corpus.size(); i += 2)
        parallel[i] = encodeAztec(corpus[i].data)->modules;
    other.join();
    EXPECT_EQ(serial, parallel);
}

}  // namespace
