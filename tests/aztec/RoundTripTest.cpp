// Round trips through an independent decoder (zxing-cpp): what the encoder writes
// must read back as exactly the bytes it was given.

#include "AztecTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using aztectest::bytesOf;
using aztectest::decodeSymbol;

namespace {

std::string bytesText(const testsupport::Decoded& d) { return testsupport::bytesToString(d.bytes); }

bool isCompactRow(int row) { return row == 0 || row == 2 || row == 4 || row == 6; }

std::string sampleText(size_t length) {
    static const std::string pool = "The quick brown fox, 1234 jumps over LAZY dogs; @home\r\n[ok] #5.";
    std::string s;
    for (size_t i = 0; i < length; ++i)
        s += pool[(i * 7) % pool.size()];
    return s;
}

// Number of 1-bits the codeword builder pads the last codeword with for `stream`.
int paddingBits(const std::string& stream, int B) {
    const size_t n = stream.size();
    size_t pos = 0;
    int pad = 0;
    while (pos < n) {
        const size_t take = std::min(static_cast<size_t>(B - 1), n - pos);
        const std::string group = stream.substr(pos, take);
        pos += take;
        pad = B - 1 - static_cast<int>(take);
        const bool zeros = pad == 0 && group.find('1') == std::string::npos;
        const bool ones = group.find('0') == std::string::npos;
        if (!zeros && !ones) {
            if (pos < n)
                ++pos;
            else
                ++pad;
        }
    }
    return pad;
}

TEST(RoundTrip, EveryConfiguration) {
    for (int row = 0; row < Aztec::CONFIGURATION_COUNT; ++row) {
        SCOPED_TRACE(row);
        // The longest sample text the row holds as its own starting row. Texts
        // whose last codeword gets 10 or more padding bits are passed over: in
        // upper, lower or mixed mode such padding starts with a byte shift and a
        // count of 31, which zxing-cpp 1.4 reads as 31 bytes past the data.
        const int B = Aztec::configuration[row][Aztec::CONF_CODEWORD_SIZE];
        size_t length = static_cast<size_t>(Aztec::configuration[row][Aztec::CONF_CAPACITY]) / 6;
        Aztec a;
        a.setPreferredConfiguration(row);
        a.setConfigurationType(isCompactRow(row) ? Aztec::CONFIGURATION_COMPACT : Aztec::CONFIGURATION_FULL);
        for (;; length = length * 99 / 100) {
            a.setCode(sampleText(length));
            a.paint();
            if (a.getStatus() == Aztec::STATUS_OK && a.selectedConfiguration == row &&
                paddingBits(aztectest::encodedText(a.getCode()), B) < 10)
                break;
        }
        EXPECT_EQ(a.rows, Aztec::configuration[row][Aztec::CONF_ROWS]);
        const auto d = decodeSymbol(a);
        ASSERT_TRUE(d.ok) << d.error;
        EXPECT_EQ(bytesText(d), a.getCode());
    }
}

TEST(RoundTrip, CharacterSetsAndEveryLatchAndShift) {
    std::string controls, all;
    for (int c = 1; c < 32; ++c)
        controls += static_cast<char>(c);
    for (int c = 0; c < 256; ++c)
        all += static_cast<char>(c);
    const std::string cases[] = {
        "ABCDEFGHIJKLMNOPQRSTUVWXYZ",
        "abcdefghijklmnopqrstuvwxyz",
        "0123456789 ,.",
        "!\"#$%&'()*+,-./:;<=>?[]{}",
        "@\\^_`|~\x7f",
        controls,
        "line\rnext\r\nCR LF",
        "Upper lower Upper, 12.5 mIxEd",
        "aBc",                   // upper shift from lower
        "A1B", "A1BCD", "1a", "1@", "1!", "@12", "a@A",
        "AB  C", "A,B", "x. y, z: w",
        std::string("\0\0A\0", 4),
        "\x80\x81\xfe\xff",
        "1\xe9" "A",             // byte from digit
        "caf\xe9 cr\xe8me br\xfbl\xe9" "e",
        all,
    };
    for (const std::string& text : cases) {
        SCOPED_TRACE(testing::PrintToString(text));
        Aztec a;
        a.setCode(text);
        a.paint();
        ASSERT_EQ(a.getStatus(), Aztec::STATUS_OK);
        const auto d = decodeSymbol(a);
        ASSERT_TRUE(d.ok) << d.error;
        EXPECT_EQ(bytesOf(bytesText(d)), bytesOf(text));
    }
}

std::vector<int> randomBytes(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<int> b(n);
    for (int& v : b)
        v = static_cast<int>(rng() & 0xFF);
    return b;
}

TEST(RoundTrip, BinaryEncoding) {
    struct Case {
        size_t length;
        int level;
    };
    // 1,916 bytes are the most that pass the sizing test at level 23; at level 0,
    // 2,488 bytes need a second byte shift.
    const Case cases[] = {{1, 23}, {31, 23}, {32, 23}, {100, 23}, {1000, 23}, {1916, 23}, {2488, 0}, {2100, 10}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        const std::vector<int> data = randomBytes(c.length, static_cast<unsigned>(c.length));
        Aztec a;
        a.setEncoding(Aztec::ENC_BINARY);
        a.setErrorCorrectionLevel(c.level);
        a.setBinaryCode(data.data(), static_cast<int>(data.size()));
        a.paint();
        ASSERT_EQ(a.getStatus(), Aztec::STATUS_OK);
        const auto d = decodeSymbol(a);
        ASSERT_TRUE(d.ok) << d.error;
        EXPECT_EQ(bytesOf(bytesText(d)), data);
    }
    const std::vector<int> tooMany = randomBytes(1917, 1);
    Aztec a;
    a.setEncoding(Aztec::ENC_BINARY);
    a.setBinaryCode(tooMany.data(), 1917);
    a.paint();
    EXPECT_EQ(a.getStatus(), Aztec::STATUS_DATA_TOO_LARGE);
}

TEST(RoundTrip, BytesThroughTheCharacterEncoder) {
    const std::vector<int> data = randomBytes(600, 7);
    Aztec a;
    a.setBinaryCode(data.data(), static_cast<int>(data.size()));
    a.paint();
    ASSERT_EQ(a.getStatus(), Aztec::STATUS_OK);
    const auto d = decodeSymbol(a);
    ASSERT_TRUE(d.ok) << d.error;
    EXPECT_EQ(bytesOf(bytesText(d)), data);
}

TEST(RoundTrip, ErrorCorrectionLevels) {
    for (int level = 0; level <= 95; ++level) {
        SCOPED_TRACE(level);
        for (const std::string& text : {std::string("Aztec barcode"), sampleText(40)}) {
            Aztec a;
            a.setCode(text);
            a.setErrorCorrectionLevel(level);
            a.paint();
            ASSERT_EQ(a.getStatus(), Aztec::STATUS_OK);
            const auto d = decodeSymbol(a);
            ASSERT_TRUE(d.ok) << d.error;
            EXPECT_EQ(bytesText(d), text);
        }
    }
}

struct EscapeCase {
    const char* label;
    const char* tildeText;
    const char* text;      // decoded text, UTF-8
    bool gs1, hasECI;
    const char* bytesECI;  // content with ECI designators, "" when not checked
};

TEST(RoundTrip, Fnc1AndEci) {
    const EscapeCase cases[] = {
        {"FNC1 first: GS1, later FNC1 is GS", "~F0104012345012345~F10ABC", "0104012345012345\x1d" "10ABC", true,
         false, ""},
        {"FNC1 inside", "AB~F12", "AB\x1d" "12", false, false, ""},
        {"ECI 7 (Cyrillic)", "~E000007\xe9\xd0", "\xd1\x89\xd0\xb0", false, true, "\\000007\xe9\xd0"},
        {"ECI 26 (UTF-8)", "~E000026\xc3\xa9t\xc3\xa9", "\xc3\xa9t\xc3\xa9", false, true, ""},
        {"ECI in digit mode", "12~E00000734", "1234", false, true, "12\\00000734"},
        {"six-digit ECI", "A~E123456B", "", false, true, "A\\123456B"},
        {"escaped bytes and tilde", "~d065~~B", "A~B", false, false, ""},
    };
    // Byte encoding cannot write FNC1 or ECI, so markers take the character
    // encoder there too: both encodings must give the same content.
    for (const EscapeCase& c : cases) {
        for (const int encoding : {Aztec::ENC_NORMAL, Aztec::ENC_BINARY}) {
            SCOPED_TRACE(std::string(c.label) + (encoding == Aztec::ENC_BINARY ? ", byte encoding" : ""));
            Aztec a;
            a.setProcessTilde(true);
            a.setEncoding(encoding);
            a.setCode(c.tildeText);
            a.paint();
            ASSERT_EQ(a.getStatus(), Aztec::STATUS_OK);
            const auto d = decodeSymbol(a);
            ASSERT_TRUE(d.ok) << d.error;
            if (*c.text != '\0') {
                EXPECT_EQ(d.text, c.text);
            }
            EXPECT_EQ(d.gs1, c.gs1);
            EXPECT_EQ(d.hasECI, c.hasECI);
            if (*c.bytesECI != '\0') {
                EXPECT_EQ(d.bytesECI.substr(d.bytesECI.size() - std::string(c.bytesECI).size()), c.bytesECI);
            }
        }
    }
}

TEST(RoundTrip, ReaderInitialisation) {
    for (const std::string& text : {std::string("A"), std::string("Aztec barcode"), sampleText(100)}) {
        SCOPED_TRACE(text);
        Aztec a;
        a.setReaderInitilization(true);
        a.setCode(text);
        a.paint();
        ASSERT_EQ(a.getStatus(), Aztec::STATUS_OK);
        const auto d = decodeSymbol(a);
        ASSERT_TRUE(d.ok) << d.error;
        EXPECT_TRUE(d.readerInit);
        EXPECT_EQ(d.text, text);
    }
}

TEST(RoundTrip, StructuredAppend) {
    struct Case {
        const char* id;
        int index, counter;
        bool binary;
    };
    // The identifier ends at the first space, so it holds upper-case letters only.
    const Case cases[] = {{"DOC", 2, 3, false}, {"", 1, 2, false}, {"MYFILE", 26, 26, true}, {"Q", 5, 7, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        Aztec a;
        a.setStructuredAppend(true);
        a.setFileId(c.id);
        a.setStructuredAppendIndex(c.index);
        a.setStructuredAppendCounter(c.counter);
        a.setEncoding(c.binary ? Aztec::ENC_BINARY : Aztec::ENC_NORMAL);
        a.setCode("Part of a message");
        a.paint();
        ASSERT_EQ(a.getStatus(), Aztec::STATUS_OK);
        const auto d = decodeSymbol(a);
        ASSERT_TRUE(d.ok) << d.error;
        EXPECT_EQ(d.text, "Part of a message");
        EXPECT_EQ(d.sequenceIndex, c.index - 1);
        EXPECT_EQ(d.sequenceSize, c.counter);
        EXPECT_EQ(d.sequenceId, c.id);
    }
}

TEST(RoundTrip, EmptyMessageCountsOnePaddingCodeword) {
    // The decoder reports no content for an empty symbol, so its structure is
    // checked instead: one data codeword of 1-bits with a stuffed 0, and a mode
    // message that counts it.
    for (int encoding : {Aztec::ENC_NORMAL, Aztec::ENC_BINARY}) {
        Aztec a;
        a.setEncoding(encoding);
        a.paint();
        ASSERT_EQ(a.getStatus(), Aztec::STATUS_OK);
        EXPECT_EQ(a.rows, 15);
        EXPECT_EQ(a.getDataCodewords(), 1);
        EXPECT_EQ(a.getDataBits(), 0);
        Aztec reference;
        reference.setCode("A");
        reference.paint();
        // Same mode message as a one-codeword symbol: the ring around the finder.
        for (int r = 2; r <= 12; ++r) {
            for (int col = 2; col <= 12; ++col) {
                if (r == 2 || r == 12 || col == 2 || col == 12) {
                    EXPECT_EQ(a.bitmap[r * 15 + col], reference.bitmap[r * 15 + col]) << r << "," << col;
                }
            }
        }
    }
}

}  // namespace
