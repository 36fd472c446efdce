#include "AztecTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using aztectest::bytesOf;
using aztectest::encodedText;
using aztectest::packed;

namespace {

struct StreamCase {
    const char* label;
    std::string text;
    bool tilde;
    const char* bits;  // groups as emitted, separated by spaces
};

const StreamCase STREAM_CASES[] = {
    {"default text: L/L then lower", "Aztec barcode", false,
     "00010 11100 11011 10101 00110 00100 00001 00011 00010 10011 00100 10000 00101 00110"},
    {"digits latch", "12345", false, "11110 0011 0100 0101 0110 0111"},
    {"one letter after a digit: U/S", "A1B", false, "00010 11110 0011 1111 00011"},
    {"two letters after a digit: U/L", "A1BCD", false, "00010 11110 0011 1110 00011 00100 00101"},
    {"comma latches to digit", "A,B", false, "00010 11110 1100 1111 00011"},
    {"two spaces latch to digit", "AB  C", false, "00010 00011 11110 0001 0001 1111 00100"},
    {"CR is punctuation", "a\rb", false, "11100 00010 00000 00001 00011"},
    {"byte shift, mode stays upper", "A\xE9", false, "00010 11111 00001 11101001"},
    {"byte shift per byte, no grouping", "\x80\x81", false, "11111 00001 10000000 11111 00001 10000001"},
    {"byte 0", std::string("\0", 1), false, "11111 00001 00000000"},
    {"mixed latch and back", "a@A", false, "11100 00010 11101 10100 11101 00010"},
    {"upper from lower is a shift", "aBc", false, "11100 00010 11100 00011 00100"},
    {"punctuation from digit", "1!", false, "11110 0011 0000 00110"},
    {"lower from digit", "1a", false, "11110 0011 1110 11100 00010"},
    {"mixed from digit", "1@", false, "11110 0011 1110 11101 10100"},
    {"byte from digit ends in upper", "1\xE9" "A", false, "11110 0011 1110 11111 00001 11101001 00010"},
    {"digit from mixed", "@12", false, "11101 10100 11101 11110 0011 0100"},
    {"FNC1", "A~F1", true, "00010 00000 00000 000 11110 0011"},
    {"ECI 3", "~E000003AB", true, "00000 00000 001 0101 00010 00011"},
    {"ECI from digit mode", "1~E0000261", true, "11110 0011 0000 00000 010 0100 1000 0011"},
    {"empty text", "", false, ""},
};

TEST(Encoding, CharacterEncoderStreams) {
    for (const StreamCase& c : STREAM_CASES) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(encodedText(c.text, c.tilde), packed(c.bits));
    }
    EXPECT_EQ(encodedText("Aztec barcode").size(), 70u);
}

TEST(Encoding, FindChartSetPrefersTheEarliestRow) {
    const int cases[][2] = {
        {' ', Aztec::SET_UPPER}, {',', Aztec::SET_DIGIT}, {'.', Aztec::SET_DIGIT},
        {'\r', Aztec::SET_PUNCTUATION}, {'A', Aztec::SET_UPPER}, {'z', Aztec::SET_LOWER},
        {'@', Aztec::SET_MIXED}, {'}', Aztec::SET_PUNCTUATION}, {'7', Aztec::SET_DIGIT},
        {0, -1}, {128, -1}, {255, -1}, {-1, -1}, {'\n', Aztec::SET_MIXED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0]);
        EXPECT_EQ(Aztec::findChartSet(c[0]), c[1]);
    }
    EXPECT_EQ(Aztec::findInSet('\r', Aztec::SET_MIXED), 14);
    EXPECT_EQ(Aztec::findInSet(',', Aztec::SET_PUNCTUATION), 17);
    EXPECT_EQ(Aztec::findInSet('\r' * 256 + '\n', Aztec::SET_PUNCTUATION), -1);  // pairs never match
}

struct TildeCase {
    const char* label;
    std::string in;
    std::string out;
    std::vector<int> markers;  // control value at each position of `out`
};

TEST(Encoding, TildeEscapes) {
    const int N = Aztec::CONTROL_NONE;
    const TildeCase cases[] = {
        {"bytes, tilde, unknown escapes, clamp", "~d065~~x~Q~d300", "A~xQ\xFF", {N, N, N, N, N}},
        {"ECI needs one more character", "~E1234567", "07", {123456, N}},
        {"ECI at the very end is text", "~E123456", "E123456", {N, N, N, N, N, N, N}},
        {"FNC1 either case", "~fA~F", "0A0", {0, N, 0}},
        {"ECI zero is FNC1", "~e000000B", "0B", {0, N}},
        {"lone tilde at the end dropped", "AB~", "AB", {N, N}},
        {"~d needs three characters", "~d65", "d65", {N, N, N}},
        {"~d without digits gives byte 0", "~dxyzA", std::string("\0A", 2), {N, N}},
        {"negative ECI is no escape", "~E-00001X", "E-00001X", {N, N, N, N, N, N, N, N}},
    };
    for (const TildeCase& c : cases) {
        SCOPED_TRACE(c.label);
        Aztec a;
        EXPECT_EQ(a.applyTilde(c.in), c.out);
        ASSERT_EQ(a.controlChars.size(), c.in.size());
        for (size_t i = 0; i < c.markers.size(); ++i)
            EXPECT_EQ(a.controlChars[i], c.markers[i]) << "position " << i;
    }
}

TEST(Encoding, BinaryEncoder) {
    struct Case {
        int len;
        const char* header;
    };
    const Case cases[] = {
        {2, "11111 00010"},
        {31, "11111 11111"},
        {32, "11111 00000 00000000001"},
        {2078, "11111 00000 11111111111"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.len);
        std::vector<int> b(static_cast<size_t>(c.len), 0x41);
        Aztec a;
        BitString bs;
        a.encodeBytesAsBinary(b.data(), c.len, &bs);
        const std::string header = packed(c.header);
        EXPECT_EQ(bs.toString().substr(0, header.size()), header);
        EXPECT_EQ(bs.getLength(), static_cast<int>(header.size()) + 8 * c.len);
    }
    Aztec a;
    BitString bs;
    const std::vector<int> ab = bytesOf("AB");
    a.encodeBytesAsBinary(ab.data(), 2, &bs);
    EXPECT_EQ(bs.toString(), packed("11111 00010 01000001 01000010"));

    // Beyond 2,078 bytes a second byte shift starts, so the 11-bit count never wraps.
    std::vector<int> big(2080, 0xFF);
    BitString longRun;
    a.encodeBytesAsBinary(big.data(), 2080, &longRun);
    const std::string bits = longRun.toString();
    ASSERT_EQ(bits.size(), 21u + 8 * 2078 + 10 + 8 * 2);
    EXPECT_EQ(bits.substr(21 + 8 * 2078, 10), packed("11111 00010"));
}

TEST(Encoding, StructuredAppendHeader) {
    Aztec a;
    a.setStructuredAppend(true);
    a.setFileId("ID");
    a.setStructuredAppendIndex(2);
    a.setStructuredAppendCounter(3);
    BitString bs;
    const std::vector<int> b = bytesOf("A");
    a.encodeBytes(b.data(), 1, Aztec::SET_UPPER, false, true, &bs);
    EXPECT_EQ(bs.toString(), packed("11101 11101 00001 01010 00101 00001 00011 00100 00010"));

    Aztec noId;
    noId.setStructuredAppend(true);
    BitString header;
    noId.addStructuredAppend(&header);
    EXPECT_EQ(header.toString(), packed("11101 11101 00001 00001 00010 00010"));
}

struct StuffCase {
    int B;
    const char* bits;
    std::vector<int> codewords;
};

TEST(Encoding, CodewordsWithBitStuffing) {
    const StuffCase cases[] = {
        {6, "11110 0011 0100 0101 0110 0111", {60, 26, 10, 51, 62}},
        {6, "000000 1", {1, 31}},           // zeros get a stuffed 1; short tail padded with 1s
        {6, "11111", {62}},                 // all ones get a stuffed 0
        {6, "111110", {62, 31}},
        {8, "0000000 0", {1, 127}},
        {6, "", {}},
    };
    for (const StuffCase& c : cases) {
        SCOPED_TRACE(c.bits);
        BitString bs;
        for (char ch : packed(c.bits))
            bs.addBits(ch - '0', 1);
        std::vector<int> words(bs.getLength() / (c.B - 1) + 1);
        const int n = Aztec::createCodewords(c.B, &bs, words.data());
        words.resize(n);
        EXPECT_EQ(words, c.codewords);
        EXPECT_EQ(bs.getLength(), 0);
    }
}

// A codeword of one bit has no room for data beside its stuffed bit: the
// stream gives no codewords rather than endless ones.
TEST(Encoding, CodewordsTooSmallForStuffing) {
    for (int B : {1, 0, -3}) {
        BitString bs;
        bs.addBits(0x2B, 7);
        int words[4] = {};
        EXPECT_EQ(Aztec::createCodewords(B, &bs, words), 0) << B;
        EXPECT_EQ(bs.getLength(), 0);
    }
}

}  // namespace
