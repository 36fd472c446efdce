#include "AztecTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using aztectest::matrixRows;
using aztectest::packed;

namespace {

const std::vector<std::string> DEFAULT_TEXT_MATRIX = {
    "0010111000000011010", "0011111011100011000", "0111000000000000111", "0111111111111111101",
    "1111000000000001001", "0001011111111101000", "1111010000000101101", "0111010111110101001",
    "1101010100010101111", "0101010101010101010", "0111010100010101100", "0101010111110101000",
    "0001010000000101101", "1111011111111101010", "0001000000000001011", "0101111111111111101",
    "0000110110100110010", "0000101101100100001", "0010100000101000001",
};

const std::vector<std::string> LETTER_A_MATRIX = {
    "000011000111101", "001110010011000", "011100000000100", "011111111111110", "100100000001010",
    "110101111101000", "110101000101010", "100101010101000", "100101000101011", "100101111101001",
    "000100000001010", "100111111111100", "100000000000001", "110110000101100", "010001010010110",
};

TEST(Symbol, DefaultTextMatrixModuleForModule) {
    Aztec a;
    a.setCode("Aztec barcode");
    a.paint();
    ASSERT_EQ(a.getStatus(), Aztec::STATUS_OK);
    EXPECT_EQ(a.rows, 19);
    EXPECT_EQ(a.cols, 19);
    EXPECT_EQ(matrixRows(a), DEFAULT_TEXT_MATRIX);
}

TEST(Symbol, LetterAMatrixModuleForModule) {
    Aztec a;
    a.setCode("A");
    a.paint();
    ASSERT_EQ(a.getStatus(), Aztec::STATUS_OK);
    EXPECT_EQ(matrixRows(a), LETTER_A_MATRIX);
}

TEST(Symbol, ColoursAreBlackAndWhiteOnly) {
    Aztec a;
    a.setCode("Aztec barcode");
    a.paint();
    for (int v : a.bitmap)
        EXPECT_TRUE(v == 0 || v == 0xFFFFFF) << v;
    a.setCode("A");
    a.paint();  // a second paint replaces the matrix
    EXPECT_EQ(a.bitmap.size(), 15u * 15u);
}

TEST(Symbol, ConfigurationTableIsConsistent) {
    for (int row = 0; row < Aztec::CONFIGURATION_COUNT; ++row) {
        SCOPED_TRACE(row);
        const int* c = Aztec::configuration[row];
        EXPECT_EQ(c[Aztec::CONF_CAPACITY], c[Aztec::CONF_CODEWORDS] * c[Aztec::CONF_CODEWORD_SIZE]);
        EXPECT_EQ(c[Aztec::CONF_COLUMNS], c[Aztec::CONF_ROWS]);
        const bool compact = row == 0 || row == 2 || row == 4 || row == 6;
        // Compact: 11 + 4 per layer; full-range: 15 + 4 per layer plus the grid lines.
        const int layers = c[Aztec::CONF_DATA_LAYERS];
        const int core = compact ? 11 + 4 * layers : 15 + 4 * layers;
        EXPECT_EQ(c[Aztec::CONF_COLUMNS], compact ? core : core + 2 * ((core / 2 - 1) / 15));
        if (row > 0) {
            EXPECT_GT(c[Aztec::CONF_CAPACITY], Aztec::configuration[row - 1][Aztec::CONF_CAPACITY]);
        }
    }
}

struct ModeCase {
    const char* label;
    int layers, codewords;
    bool compact, readerInit;
    const char* bits;
};

TEST(Symbol, ModeMessages) {
    const ModeCase cases[] = {
        {"full-range default text", 1, 12, false, false,
         "00000 00000001011  0100 1100 1110 1101 0010 1101"},
        {"compact single letter", 1, 1, true, false, "0000000000000000000000000000"},
        {"full-range reader init", 1, 12, false, true, "00000 10000001011"},
        {"compact reader init", 1, 1, true, true, "00 100000"},
        {"compact two layers, 40 words", 2, 40, true, false, "01 100111"},
        {"full-range 32 layers, 1664 words", 32, 1664, false, false, "11111 11001111111"},
    };
    for (const ModeCase& c : cases) {
        SCOPED_TRACE(c.label);
        Aztec a;
        a.setReaderInitilization(c.readerInit);
        BitString bs;
        a.getModeMessage(c.layers, c.codewords, c.compact, &bs);
        const std::string expected = packed(c.bits);
        EXPECT_EQ(bs.getLength(), c.compact ? 28 : 40);
        EXPECT_EQ(bs.toString().substr(0, expected.size()), expected);
    }
}

std::string letters(int n) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += static_cast<char>('A' + i % 26);
    return s;
}

struct SizeCase {
    const char* label;
    std::string text;
    int level, preferred, type;
    bool autoConfig, readerInit;
    int row, dataCodewords;
};

TEST(Symbol, ConfigurationChoice) {
    const SizeCase cases[] = {
        {"default text", "Aztec barcode", 23, 0, 0, true, false, Aztec::CONFIGURATION_19X19, 12},
        {"default text, no enlargement", "Aztec barcode", 23, 0, 0, false, false, 0, 12},
        {"default text, level 0", "Aztec barcode", 0, 0, 0, true, false, 0, 12},
        {"single letter", "A", 23, 0, 0, true, false, 0, 1},
        {"300 bits, compact only", letters(60), 23, 0, 1, true, false, Aztec::CONFIGURATION_27X27_COMPACT, -1},
        {"300 bits, full-range only", letters(60), 23, 0, 2, true, false, Aztec::CONFIGURATION_27X27, -1},
        {"300 bits from row 3", letters(60), 23, 3, 0, true, false, Aztec::CONFIGURATION_27X27, -1},
        {"10,000 bits", letters(2000), 23, 0, 0, true, false, Aztec::CONFIGURATION_125X125, 834},
        {"starting row that fits is kept", "ABC", 23, 6, 2, true, false, Aztec::CONFIGURATION_27X27_COMPACT, -1},
        {"negative preferred row means 0", "A", 23, -4, 0, true, false, 0, 1},
        // A compact mode message counts at most 64 data codewords.
        {"compact count overflow moves on", letters(104), 0, 0, 0, true, false, Aztec::CONFIGURATION_31X31, 65},
        // With reader initialisation it counts at most 32.
        {"37 words compact", letters(58), 23, 0, 0, true, false, Aztec::CONFIGURATION_23X23_COMPACT, 37},
        {"37 words reader init", letters(58), 23, 0, 0, true, true, Aztec::CONFIGURATION_27X27, -1},
        // No row passes the sizing test but the starting row still holds the data.
        {"full data in the largest row", letters(3400), 23, 35, 0, true, false, Aztec::CONFIGURATION_151X151, -1},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.label);
        Aztec a;
        a.setCode(c.text);
        a.setErrorCorrectionLevel(c.level);
        a.setPreferredConfiguration(c.preferred);
        a.setConfigurationType(c.type);
        a.setAutoConfigurate(c.autoConfig);
        a.setReaderInitilization(c.readerInit);
        a.paint();
        ASSERT_EQ(a.getStatus(), Aztec::STATUS_OK);
        EXPECT_EQ(a.selectedConfiguration, c.row);
        EXPECT_EQ(a.rows, Aztec::configuration[c.row][Aztec::CONF_ROWS]);
        if (c.dataCodewords >= 0) {
            EXPECT_EQ(a.getDataCodewords(), c.dataCodewords);
        }
        const auto decoded = aztectest::decodeSymbol(a);
        ASSERT_TRUE(decoded.ok) << decoded.error;
        EXPECT_EQ(decoded.text, c.text);
    }
}

struct FailCase {
    const char* label;
    std::string text;
    int level, preferred, type;
    bool autoConfig;
    Aztec::Status status;
};

TEST(Symbol, NoSymbolWhenSettingsOrDataDoNotFit) {
    const FailCase cases[] = {
        {"20,000 bits", letters(4000), 23, 0, 0, true, Aztec::STATUS_DATA_TOO_LARGE},
        {"no row passes: starting row kept and too small", letters(3400), 23, 0, 0, true,
         Aztec::STATUS_DATA_TOO_LARGE},
        {"compact only, too much", letters(200), 23, 0, 1, true, Aztec::STATUS_DATA_TOO_LARGE},
        {"no enlargement", letters(60), 23, 0, 0, false, Aztec::STATUS_DATA_TOO_LARGE},
        {"compact count without enlargement", letters(104), 0, 6, 0, false, Aztec::STATUS_DATA_TOO_LARGE},
        {"row 36", "A", 23, 36, 0, true, Aztec::STATUS_BAD_CONFIGURATION},
        {"level 100", "A", 100, 0, 0, true, Aztec::STATUS_BAD_LEVEL},
        {"level -1", "A", -1, 0, 0, true, Aztec::STATUS_BAD_LEVEL},
    };
    for (const FailCase& c : cases) {
        SCOPED_TRACE(c.label);
        Aztec a;
        a.setCode("A");
        a.paint();  // an earlier symbol must not survive a failed paint
        a.setCode(c.text);
        a.setErrorCorrectionLevel(c.level);
        a.setPreferredConfiguration(c.preferred);
        a.setConfigurationType(c.type);
        a.setAutoConfigurate(c.autoConfig);
        a.paint();
        EXPECT_EQ(a.getStatus(), c.status);
        EXPECT_EQ(a.rows, 0);
        EXPECT_EQ(a.cols, 0);
        EXPECT_TRUE(a.bitmap.empty());
        EXPECT_EQ(a.selectedConfiguration, -1);
    }
    Aztec big;
    big.setCode(letters(4000));
    big.paint();
    EXPECT_EQ(big.getDataBits(), 20000);
    EXPECT_EQ(big.getMaxDataBits(), 15356);  // 3,071 letters (15,355 bits) pass the test at level 23
    Aztec largest;
    largest.setCode(letters(3071));
    largest.paint();
    EXPECT_EQ(largest.getStatus(), Aztec::STATUS_OK);
    largest.setCode(letters(3072));
    largest.paint();
    EXPECT_EQ(largest.getStatus(), Aztec::STATUS_DATA_TOO_LARGE);
}

}  // namespace
