#pragma once
// LinearSymbol: one linear barcode, its settings, its elements and its text.
//
// An element is one bar or one space. Elements are stored left to right and
// alternate strictly: element 0 is a bar, element 1 a space, and so on. Every
// encoder appends elements only through addElement / addPattern /
// addPatternAtHeight / addGuardPattern, so width and height rules live here.
//
// All sizes are integer drawing units. The object is not thread-safe; the
// symbology tables it reads are constant data.

#include <cstddef>
#include <string>
#include <vector>

class LinearSymbol {
public:
    // Symbology numbers, also the "-type" values of the command line.
    enum Symbology {
        CODE39 = 0,
        CODE39_EXTENDED = 1,
        INTERLEAVED_2OF5 = 2,
        CODE11 = 3,
        CODABAR = 4,
        MSI = 5,
        UPCA = 6,
        INDUSTRIAL_2OF5 = 7,
        MATRIX_2OF5 = 8,
        CODE93 = 9,
        EAN13 = 10,
        EAN8 = 11,
        UPCE = 12,
        CODE128 = 13,
        CODE93_EXTENDED = 14,
        POSTNET = 15,
        EAN128 = 16,
        SYMBOLOGY_COUNT = 17
    };

    // Results of the last build. The arrays grow as needed; barCount equals
    // their size. Entries past barCount never exist.
    std::vector<int> barWidths;
    std::vector<int> barHeights;
    int barCount = 0;

    int leftMarginPixels = 0;
    int topMarginPixels = 0;
    int narrowBarPixels = 0;
    int wideBarPixels = 0;
    int barHeightPixels = 0;
    // x positions recorded around the EAN/UPC guard patterns; entry 4 marks the
    // right end of the main symbol.
    int guardMarks[5] = {0, 0, 0, 0, 0};
    int supplementStartX = 0;
    int supplementEndX = 0;
    int guardBarHeightPixels = 0;

    std::string code;
    int symbology = CODE39;
    std::string supplementText;
    bool checkCharacter = true;
    double postnetTallBarHeight = 40.0;
    double postnetShortBarHeight = 20.0;
    double leftMargin = 0.0;
    double topMargin = 0.0;
    std::string supplement;
    bool guardBars = true;
    std::string text;
    double barHeight = 0.0;  // 0 = automatic; the automatic value is stored back
    char upceSystem = '1';
    char codabarStartChar = 'A';
    char codabarStopChar = 'B';
    bool supplement2 = false;
    bool supplement5 = false;
    char code128Set = 'B';
    int msiCheckMode = 0;
    int narrowBarWidth = 1;
    int wideRatio = 2;
    int interCharGap = 1;
    double heightRatio = 0.45;
    int estimatedWidth = 0;
    int supplementGap = 10;
    bool processTilde = false;
    int currentX = 0;
    int textY = 0;

    // Why the last build drew no symbol, when an encoder refused the value
    // (empty otherwise). Encoders never print; the front end reports this.
    std::string failureReason;
    // Remarks on a symbol that was drawn as given but may not be what the user
    // meant (for example a supplied check digit that does not match).
    std::vector<std::string> warnings;

    // Builds the bars and the text from the settings.
    void buildSymbol();
    // Element widths, estimatedWidth and the automatic bar height.
    void computeDimensions();

    void addElement(int width, int height);
    // Makes room for `count` more elements; adds none.
    void reserveElements(int count);
    // Appends one element per character of `colours` (the pattern must be at
    // least as long); pattern codes: 'n' narrow, 'w' wide, '1'-'9' and 'A'-'F'
    // that many narrow widths; any other code adds nothing.
    void addPatternAtHeight(const std::string& colours, const std::string& pattern, int height);
    // addPatternAtHeight for a caller that knows how many codes to read: the
    // first `count` codes of `pattern` (at least that long), with no strings built.
    void addPatternCodes(const char* pattern, int count, int height);
    void addPattern(const std::string& colours, const std::string& pattern);
    void addGuardPattern(const std::string& colours, const std::string& pattern);
    // The same for patterns and colours given as literals: no string is built.
    void addPatternAtHeight(const char* colours, const char* pattern, int height);
    void addPattern(const char* colours, const char* pattern);
    void addGuardPattern(const char* colours, const char* pattern);

    // Writes the element arrays to standard output (a diagnostic).
    void dumpBars() const;

    // Tilde escapes: "~dNNN" is the character with decimal code NNN (0 appends
    // nothing, above 255 means 255), "~~" is one tilde.
    std::string processTildes(const std::string& input) const;

    static double floorMod(double a, double b);
    // Leading decimal floating-point number of s (as strtod), truncated; 0 when none.
    static int parseNumber(const std::string& s);
    // One-character string; character code 0 gives the empty string.
    static std::string charToString(char c);
    static std::string intToString(int n);

    // Encoders, one per symbology; each reads `code` and the settings.
    void encodeCode39();
    void encodeCode39Extended();
    void encodeCode93();
    void encodeCode93Extended();
    void encodeCode11();
    void encodeCodabar();
    void encodeMsi();
    void encodeInterleaved2of5();
    void encodeIndustrial2of5();
    void encodeMatrix2of5();
    void encodeEan13();
    void encodeEan8();
    void encodeUpcA();
    void encodeUpcE();
    void encodeCode128();
    void encodeEan128();
    void encodePostnet();

    // --- MSI (Msi.cpp) ---
    int msiMod10Digit(const std::string& s) const;

    // --- EAN/UPC (EanUpc.cpp, UpcE.cpp) ---
    std::string eanCheckDigit(const std::string& digits) const;
    std::string compressUpcE(const std::string& value) const;
    void encodeSupplement2(const std::string& digits);
    void encodeSupplement5(const std::string& digits);

    // --- Postnet (Postnet.cpp) ---
    void addPostnetPattern(const std::string& pattern);

    // Discards every element of the build so far and records why no symbol is
    // drawn; the front end then writes no file.
    void refuseSymbol(const std::string& why);

private:
    static constexpr int TYPICAL_ELEMENTS = 160;
    // The height of guard bars, set on first use.
    int guardHeight();
};

// A row of a symbology's character table: the character (as a string, so
// tables can hold names) and its bar pattern. The row index is the
// character's value in the symbology's check sum.
struct SymbolRow {
    const char* character;
    const char* pattern;
};

// First row from 0 upward whose character equals key, else -1.
// The per-symbology lookups (findDigit, findCode39Character, ...) are this
// search over their table's rows.
template <std::size_t N>
int findRow(const SymbolRow (&table)[N], const std::string& key) {
    for (std::size_t i = 0; i < N; ++i)
        if (key == table[i].character)
            return static_cast<int>(i);
    return -1;
}

// Row 0-9 of a ten-row digit table whose character equals key, else -1.
inline int findDigit(const SymbolRow (&table)[10], const std::string& key) { return findRow(table, key); }

// findRow for a one-character key, by a 256-entry index built at compile time
// (the first row wins, as in findRow):
//   constexpr CharIndex<44> CODE39_INDEX = makeCharIndex(Code39Table);
//   CODE39_INDEX.row(c)
template <std::size_t N>
struct CharIndex {
    static_assert(N < 128, "rows fit a signed char");
    signed char rows[256];
    int row(char c) const { return rows[static_cast<unsigned char>(c)]; }
};

template <std::size_t N>
constexpr CharIndex<N> makeCharIndex(const SymbolRow (&table)[N]) {
    CharIndex<N> index{};
    for (signed char& r : index.rows)
        r = -1;
    for (std::size_t i = N; i-- > 0;) {
        const char* c = table[i].character;
        if (c[0] != '\0' && c[1] == '\0')
            index.rows[static_cast<unsigned char>(c[0])] = static_cast<signed char>(i);
    }
    return index;
}

// The value parseNumber gives a one-character string: the digit, else 0.
inline int digitValue(char c) { return c >= '0' && c <= '9' ? c - '0' : 0; }
