#pragma once
// A Symbol: what a symbology makes of the data, free of any output format.
// Linear symbols are a row of elements whose widths are in modules; matrix
// symbols (Aztec and the other two-dimensional ones) are rows x columns of modules. Sizes on paper are decided later, by
// layout().

#include "Symbology.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korvane {

// What a bar is for; spaces are always Data.
enum class BarKind : std::uint8_t {
    Data,   // a bar of the main symbol at the full bar height
    Guard,  // an EAN/UPC guard bar, which descends below the others into the text line
    AddOn,  // a bar of an EAN/UPC add-on, which leaves room for its digits above
    Short,  // a Postnet or PLANET half-height bar (the full ones are Data)
    // The states of a four-state postal code besides the full bar (Data):
    // the tracker with what a full bar has above it, with what it has below, or alone.
    Ascender,
    Descender,
    Tracker,
};

// Where a piece of human-readable text goes, relative to the module range
// [startModule, endModule) of the symbol (quiet zones not included).
enum class TextPlace : std::uint8_t {
    Below,    // centred under the range
    Above,    // centred over the range (the digits of an EAN/UPC add-on)
    LeftOf,   // ending just left of startModule (the EAN-13 leading digit, UPC number system)
    RightOf,  // starting just right of endModule (the UPC check digit)
};

struct TextSpan {
    std::string text;
    int startModule = 0;
    int endModule = 0;
    TextPlace place = TextPlace::Below;
    bool small = false;  // drawn smaller (the outer digits of UPC-A and UPC-E)
};

struct AztecFacts {
    bool compact = false;
    int layers = 0;
    int dataCodewords = 0;
    int totalCodewords = 0;
    int codewordBits = 0;
    int dataBits = 0;            // length of the encoded bit stream before stuffing
    double eccPercent = 0;       // check words as a share of all codewords
    bool readerInit = false;
    int structuredIndex = 0;     // 1-26 in a structured-append set, 0 otherwise
    int structuredCount = 0;
};

struct QrSegmentFact {
    std::string mode;  // "numeric", "alphanumeric", "byte" or "kanji"
    int characters = 0;
};

struct QrFacts {
    int version = 0;             // 1-40
    char level = 0;              // 'L', 'M', 'Q' or 'H': the level reached (raised where the data let it)
    int mask = -1;               // 0-7
    std::vector<QrSegmentFact> segments;
    int eci = -1;                // the designator the encoder added of its own accord (26 for UTF-8 text), -1 none
    int dataBits = 0;            // the bit stream before the terminator and padding
    int dataCodewords = 0;
    int checkCodewords = 0;
    int blocks = 0;              // Reed-Solomon blocks
    int bitsLeft = 0;            // data capacity left unused, in bits
    bool gs1 = false;
    int structuredIndex = 0;     // 1-16 in a structured-append set, 0 otherwise
    int structuredCount = 0;
    int structuredParity = -1;
    // Micro QR and rMQR: the version as their standards name it ("M2", "R7x43"); empty for QR Code.
    std::string versionName;
};

// One run of the data in one Data Matrix encodation.
struct DataMatrixSegment {
    std::string mode;  // "ASCII", "C40", "Text", "X12", "EDIFACT" or "Base 256"
    int start = 0;     // the run's first and one-past-last input characters (FNC1 and ECI count as one)
    int end = 0;
};

struct DataMatrixFacts {
    bool rectangular = false;
    bool dmre = false;               // a size of ISO/IEC 21471
    int dataCodewords = 0;           // the symbol's, padding included
    int checkCodewords = 0;
    int blocks = 0;                  // interleaved Reed-Solomon blocks
    int streamCodewords = 0;         // the encoded data before padding
    bool readerInit = false;
    int structuredIndex = 0;         // 1-16 in a structured-append set, 0 otherwise
    int structuredCount = 0;
    std::vector<DataMatrixSegment> segments;
};

struct Pdf417Facts {
    int rows = 0;
    int columns = 0;         // data columns
    int level = 0;           // error-correction level
    int dataCodewords = 0;   // the length descriptor, data, macro block and padding
    int checkCodewords = 0;
    int capacityLeft = 0;    // padding codewords: what more data the symbol would hold
    bool compact = false;
    int segmentIndex = 0;    // Macro PDF417: 1-based segment, 0 outside a set
    int segmentCount = 0;
    bool readerInit = false;
};

struct SymbolFacts {
    // The data as a reader returns it: escapes resolved, check digits of
    // EAN/UPC included, GS1 element strings with GS (0x1D) between fields.
    std::string data;
    // Check characters drawn, in the symbology's own characters (computed, or
    // given and verified); empty when there are none.
    std::string checkCharacters;
    bool checkSupplied = false;  // the data carried its check digit and it matched
    std::string addOn;           // EAN/UPC add-on digits, when drawn
    AztecFacts aztec;            // Aztec only
    QrFacts qr;                  // QR Code only
    DataMatrixFacts dataMatrix;  // Data Matrix only
    Pdf417Facts pdf417;          // PDF417 only
};

struct Symbol {
    Symbology symbology = Symbology::Code39;

    // Linear symbols: elements left to right, alternately bar and space,
    // starting with a bar; widths in modules; one kind per element.
    std::vector<int> widths;
    std::vector<BarKind> kinds;
    int widthModules = 0;       // sum of widths
    int addOnStartModule = -1;  // where the add-on's first bar begins, -1 without one
    int wideRatio = 0;          // wide elements in narrow modules, where the symbology has two widths

    // Matrix symbols: rows x columns modules, row-major, top row first,
    // 1 = dark. A module is `moduleAspect` times as tall as it is wide (1 for
    // square modules; a stacked symbol's rows are several modules tall).
    int rows = 0;
    int columns = 0;
    double moduleAspect = 1;
    std::vector<std::uint8_t> modules;

    // Human-readable text as one line, and how it is placed under (or around) the symbol.
    std::string text;
    std::vector<TextSpan> textSpans;

    SymbolFacts facts;
    // Remarks on a symbol that was made as asked but may surprise (a leading
    // zero added to make the digits pair up, say).
    std::vector<std::string> warnings;

    bool isMatrix() const { return rows > 0; }
    bool dark(int row, int col) const { return modules[static_cast<std::size_t>(row) * columns + col] != 0; }
};

}  // namespace korvane
