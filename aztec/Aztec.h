#pragma once
// Aztec Code encoder (ISO/IEC 24778): turns a text or a run of bytes into a square
// module matrix. Standard library only; never prints, never throws on odd input.

#include "BitString.h"

#include <string>
#include <vector>

class Aztec {
public:
    // Character sets and the two pseudo-sets reached only by shifts.
    static constexpr int SET_UPPER = 1;
    static constexpr int SET_LOWER = 2;
    static constexpr int SET_MIXED = 3;
    static constexpr int SET_PUNCTUATION = 4;
    static constexpr int SET_DIGIT = 5;
    static constexpr int SET_BYTE = 6;

    // Mode-change code values: 4 bits wide when the current mode is digit, else 5.
    static constexpr int SHIFT_PUNCTUATION = 0;
    static constexpr int SHIFT_UPPERCASE_FROM_LOWER = 28;
    static constexpr int SHIFT_UPPERCASE_FROM_DIGIT = 15;
    static constexpr int LATCH_UPPERCASE_FROM_MIXED = 29;
    static constexpr int LATCH_UPPERCASE_FROM_DIGIT = 14;
    static constexpr int LATCH_UPPERCASE_FROM_PUNCTUATION = 31;
    static constexpr int LATCH_LOWERCASE = 28;
    static constexpr int LATCH_MIXED = 29;
    static constexpr int LATCH_DIGIT = 30;
    static constexpr int SHIFT_BYTE = 31;

    static constexpr int ENC_NORMAL = 0;
    static constexpr int ENC_BINARY = 1;

    // Per-position markers written by the tilde escapes: none, FNC1, or an ECI number (> 0).
    static constexpr int CONTROL_NONE = -1;
    static constexpr int CONTROL_FNC = 0;

    static constexpr int CONFIGURATION_ANY = 0;
    static constexpr int CONFIGURATION_COMPACT = 1;
    static constexpr int CONFIGURATION_FULL = 2;

    // Columns of the configuration table.
    static constexpr int CONF_DATA_LAYERS = 0;
    static constexpr int CONF_COLUMNS = 1;
    static constexpr int CONF_ROWS = 2;
    static constexpr int CONF_CODEWORDS = 3;
    static constexpr int CONF_CODEWORD_SIZE = 4;
    static constexpr int CONF_CAPACITY = 5;
    static constexpr int CONF_DIGITS = 6;
    static constexpr int CONF_TEXT = 7;
    static constexpr int CONF_BYTES = 8;

    // Rows of the configuration table, by symbol size; rows 0, 2, 4 and 6 are compact.
    static constexpr int CONFIGURATION_15X15_COMPACT = 0;
    static constexpr int CONFIGURATION_19X19 = 1;
    static constexpr int CONFIGURATION_19X19_COMPACT = 2;
    static constexpr int CONFIGURATION_23X23 = 3;
    static constexpr int CONFIGURATION_23X23_COMPACT = 4;
    static constexpr int CONFIGURATION_27X27 = 5;
    static constexpr int CONFIGURATION_27X27_COMPACT = 6;
    static constexpr int CONFIGURATION_31X31 = 7;
    static constexpr int CONFIGURATION_37X37 = 8;
    static constexpr int CONFIGURATION_41X41 = 9;
    static constexpr int CONFIGURATION_45X45 = 10;
    static constexpr int CONFIGURATION_49X49 = 11;
    static constexpr int CONFIGURATION_53X53 = 12;
    static constexpr int CONFIGURATION_57X57 = 13;
    static constexpr int CONFIGURATION_61X61 = 14;
    static constexpr int CONFIGURATION_67X67 = 15;
    static constexpr int CONFIGURATION_71X71 = 16;
    static constexpr int CONFIGURATION_75X75 = 17;
    static constexpr int CONFIGURATION_79X79 = 18;
    static constexpr int CONFIGURATION_83X83 = 19;
    static constexpr int CONFIGURATION_87X87 = 20;
    static constexpr int CONFIGURATION_91X91 = 21;
    static constexpr int CONFIGURATION_95X95 = 22;
    static constexpr int CONFIGURATION_101X101 = 23;
    static constexpr int CONFIGURATION_105X105 = 24;
    static constexpr int CONFIGURATION_109X109 = 25;
    static constexpr int CONFIGURATION_113X113 = 26;
    static constexpr int CONFIGURATION_117X117 = 27;
    static constexpr int CONFIGURATION_121X121 = 28;
    static constexpr int CONFIGURATION_125X125 = 29;
    static constexpr int CONFIGURATION_131X131 = 30;
    static constexpr int CONFIGURATION_135X135 = 31;
    static constexpr int CONFIGURATION_139X139 = 32;
    static constexpr int CONFIGURATION_143X143 = 33;
    static constexpr int CONFIGURATION_147X147 = 34;
    static constexpr int CONFIGURATION_151X151 = 35;
    static constexpr int CONFIGURATION_COUNT = 36;

    static constexpr int CHARSETLEN = 32;

    // ISO/IEC 24778 symbol sizes: layers, columns, rows, codewords, codeword bits,
    // capacity in bits (codewords x codeword bits), and the nominal capacities in
    // digits, text characters and bytes (informative only).
    static const int configuration[CONFIGURATION_COUNT][9];

    // Whether a row of the configuration table is a compact symbol.
    static bool isCompactRow(int row);

    // Reduction polynomial of the data codewords' field for a codeword size.
    static int primePolynomial(int codewordBits);

    // ISO/IEC 24778 character sets: one row per 5-bit code, columns code, then the
    // byte the code stands for in upper, lower, mixed, punctuation and digit; -1 is
    // an empty slot. Punctuation codes 2-5 hold two-byte pairs (first x 256 + second)
    // that no single byte matches.
    static const int charSets[CHARSETLEN][6];

    // Outcome of the last paint().
    enum Status {
        STATUS_NONE,             // paint() has not run yet
        STATUS_OK,               // bitmap, rows and cols hold the symbol
        STATUS_DATA_TOO_LARGE,   // no allowed configuration holds the data; no symbol
        STATUS_BAD_CONFIGURATION,  // preferredConfiguration above 35; no symbol
        STATUS_BAD_LEVEL         // correctionLevel outside 0-99; no symbol
    };

    Aztec() = default;
    Aztec(const Aztec&) = delete;
    Aztec& operator=(const Aztec&) = delete;

    void setCode(const std::string& c) { code = c; }
    std::string getCode() const { return code; }
    // Stores the pointer and count: the array stays the caller's and must live until
    // paint() returns. Entries are byte values 0-255. A count below 1 selects the text.
    void setBinaryCode(const int* c, int len) { codeBinary = c; codeBinaryLen = len; }
    void setEncoding(int e) { encoding = e; }
    int getEncoding() const { return encoding; }
    // Percent of the symbol reserved for check words, 0-99.
    void setErrorCorrectionLevel(int level) { correctionLevel = level; }
    int getErrorCorrectionLevel() const { return correctionLevel; }
    // Configuration row to start from, 0-35; a negative value means 0.
    void setPreferredConfiguration(int c) { preferredConfiguration = c; }
    int getPreferredConfiguration() const { return preferredConfiguration; }
    void setConfigurationType(int t) { configurationType = t; }
    int getConfigurationType() const { return configurationType; }
    void setAutoConfigurate(bool a) { autoConfigurate = a; }
    bool getAutoConfigurate() const { return autoConfigurate; }
    void setProcessTilde(bool p) { processTilde = p; }
    bool getProcessTilde() const { return processTilde; }
    void setStructuredAppend(bool s) { structuredAppend = s; }
    bool getStructuredAppend() const { return structuredAppend; }
    // Message identifier of a structured-append set: upper-case letters only (a
    // reader ends the identifier at the first space; other characters change the
    // encoder's mode inside the header).
    void setFileId(const std::string& id) { fileId = id; }
    std::string getFileId() const { return fileId; }
    // Index and counter of a structured-append set, each 1-26 (written as the
    // letters A-Z; other values have no letter).
    void setStructuredAppendIndex(int i) { structuredAppendIndex = i; }
    int getStructuredAppendIndex() const { return structuredAppendIndex; }
    void setStructuredAppendCounter(int c) { structuredAppendCounter = c; }
    int getStructuredAppendCounter() const { return structuredAppendCounter; }
    void setReaderInitilization(bool r) { readerInitialization = r; }
    bool getReaderInitilization() const { return readerInitialization; }

    // Encodes the message into `bitmap` (rows x cols colours, row-major, top row
    // first, 0 dark and 0xFFFFFF light). When the settings are out of range or the
    // data fits no allowed configuration, no symbol is made: rows and cols are 0,
    // bitmap is empty and getStatus() says why.
    void paint();
    Status getStatus() const { return status; }
    // Length in bits of the encoded data stream of the last paint().
    int getDataBits() const { return dataBits; }
    // The most data bits the last paint() could have placed with its settings
    // (0 when the settings were out of range).
    int getMaxDataBits() const { return maxDataBits; }
    // Number of data codewords in the symbol of the last paint() (0 without a symbol).
    int getDataCodewords() const { return dataCodewords; }

    // Appends the 28-bit (compact) or 40-bit (full-range) mode message to `bs`.
    void getModeMessage(int layers, int codewords, bool compact, BitString* bs) const;

    // Data encoding stages, public so each can be used and checked on its own.
    static int findInSet(int c, int set);
    static int findChartSet(int c);
    // Applies the tilde escapes to `text` and fills controlChars, one entry per
    // character of the original text.
    std::string applyTilde(const std::string& text);
    void encodeBytes(const int* b, int len, int initialSet, bool useControlChars, bool addHeader,
                     BitString* bs) const;
    void encodeBytesAsBinary(const int* b, int len, BitString* bs) const;
    void addStructuredAppend(BitString* bs) const;
    // Empties `bs` into B-bit codewords with bit stuffing; returns their count. The
    // caller provides getLength() / (B-1) + 1 entries. B outside 2-31 gives none.
    static int createCodewords(int B, BitString* bs, int* codewords);

    // Systematic Reed-Solomon check words over GF(gf) with reduction polynomial pp
    // (including its x^m term): wd[0..nd-1] are the data words; wd[nd..nd+nc-1]
    // receive the check words, highest power first; wd[nd+nc] is set to 0, so the
    // caller provides nd + nc + 1 entries.
    static void ReedSolomon(int* wd, int nd, int nc, int gf, int pp);
    static int mult(int x, int y, const int* log, const int* alog, int gf);
    // Coefficients c[0..nc] of the generator (x - a^1)...(x - a^nc), c[j] of x^j.
    static std::vector<int> generatorPolynomial(int nc, int gf, int pp);

    // Settings.
    bool autoConfigurate = true;
    std::string code;
    int encoding = ENC_NORMAL;
    bool structuredAppend = false;
    std::string fileId;
    int structuredAppendCounter = 1;
    int structuredAppendIndex = 1;
    bool readerInitialization = false;
    bool processTilde = false;
    int selectedConfiguration = -1;
    int preferredConfiguration = 0;
    int configurationType = CONFIGURATION_ANY;
    const int* codeBinary = nullptr;
    int codeBinaryLen = 0;
    int correctionLevel = 23;
    // FNC1/ECI markers per text position; filled by applyTilde.
    std::vector<int> controlChars;

    // Result of paint(); owned by the object.
    std::vector<int> bitmap;
    int rows = 0;
    int cols = 0;

private:
    Status status = STATUS_NONE;
    int dataBits = 0;
    int maxDataBits = 0;
    int dataCodewords = 0;

    // The steps of encodeBitmap.
    struct Sizing;
    void encodeBitmap();
    void encodeMessage(BitString* bs);
    Sizing sizeFor(int bits) const;
    int selectRow(const Sizing& sizing) const;
    bool cutIntoCodewords(const BitString& bs, int& selected, std::vector<int>& words, int& nd) const;
    static int addCheckWords(int selected, std::vector<int>& words, int nd);
    void layOut(int selected, const std::vector<int>& words, int nd, int count);
    bool eligible(int row) const;
    bool countFits(int row, int count) const;
    int mostDataBits(int start, int margin, double dataShare) const;
    void fail(Status why);
};
