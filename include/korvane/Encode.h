#pragma once
// encode(): data and options in, a Symbol (or an error) out.

#include "Export.h"
#include "Message.h"
#include "Result.h"
#include "Symbol.h"
#include "Symbology.h"

#include <optional>
#include <string>
#include <string_view>

namespace korvane {

enum class MsiCheck {
    Mod10,       // one modulo-10 digit (the usual choice)
    Mod11,       // one modulo-11 digit (refused when the check value is 10)
    Mod11Mod10,  // modulo 11, then modulo 10 over the data and that digit
    Mod10Mod10,  // two modulo-10 digits
};

// Data Matrix symbol shapes to choose from when the size is not fixed.
enum class DataMatrixShape {
    Square,       // the 24 square sizes (the default)
    Rectangular,  // the 6 rectangles (and the DMRE ones with dmre)
    Any,          // whichever shape takes the fewest modules
};

enum class AztecEncoder {
    Optimal,    // the shortest bit stream over all mode sequences, then the smallest symbol
    Specified,  // the encoder of the aztec program, symbol for symbol
};

// QR Code error correction: about 7, 15, 25 or 30 % of the codewords recoverable.
enum class QrLevel { L, M, Q, H };
// Optional fields of a Macro PDF417 control block; empty or negative: left out.
struct PdfMacroFields {
    std::string fileName;
    long long timeStamp = -1;  // seconds since 1970-01-01 UTC
    std::string sender;
    std::string addressee;
    long long fileSize = -1;   // bytes
    int checksum = -1;         // CRC-16 of the file, 0-65535
};

struct EncodeOptions {
    // Check character where the symbology makes it optional; unset: the
    // symbology's default (SymbologyInfo::check). Setting it where the check is
    // mandatory or absent is an InvalidOption error only when it contradicts
    // the symbology (false for a mandatory check, true where there is none).
    std::optional<bool> check;

    // Tilde escapes in the data: "~dNNN" a byte, "~~" a tilde; where the
    // symbology takes them (CAP_FNC1, CAP_ECI) also "~F" FNC1 and "~Ennnnnn"
    // an ECI designator.
    bool escapes = false;

    // GS1 data (symbologies with CAP_GS1): the data is GS1 element strings,
    // "(01)09501101530003(10)AB12", "[01]...[10]..." or the AIs run together
    // with GS (0x1D) after variable-length fields; each is checked against the
    // GS1 rules. Code 128 with gs1 makes GS1-128.
    bool gs1 = false;

    // An ECI designator (0-999999) at the start of the data, for symbologies
    // with CAP_ECI; -1: none.
    int eci = -1;

    // Wide elements in narrow modules (2 or 3) for the symbologies with two
    // widths; 0: the symbology's default.
    int wideRatio = 0;

    // Code 128: the start set 'A', 'B' or 'C'; 0 chooses from the data.
    char code128Start = 0;

    MsiCheck msiCheck = MsiCheck::Mod10;

    // Codabar start and stop characters, 'A'-'D'. Data that begins and ends with
    // A-D carries its own and these are not used.
    char codabarStart = 'A';
    char codabarStop = 'B';

    // UPC-E number system, 0 or 1; -1 takes it from the data (0 when the data is
    // the six digits alone).
    int upceNumberSystem = -1;

    // EAN/UPC add-on of 2 or 5 digits (also accepted in the data after '+').
    std::string addOn;
    // Space between the main symbol and the add-on in modules: 7-12 after
    // EAN-13 and EAN-8, 9-12 after UPC-A and UPC-E; 0 takes the least.
    int addOnGap = 0;

    // Aztec.
    AztecEncoder aztecEncoder = AztecEncoder::Optimal;
    int eccPercent = 23;           // check words as a share of the symbol, 0-90
    // Optimal encoder: check words beyond the whole part of that share, 0-1664
    // (at least eccPercent % in any case).
    int eccExtraWords = 3;
    int minSize = 0;               // smallest symbol side in modules (15-151); 0: any
    bool compactOnly = false;      // compact symbols only (up to 27x27)
    bool fullOnly = false;         // full-range symbols only
    bool bytes = false;            // Specified encoder: byte mode for the whole message
    bool readerInit = false;
    // A symbol of a structured-append set. Aztec: index 1-26 of count 2-26,
    // id capital letters; QR Code: index 1-16 of count 2-16, id the set's
    // parity byte in decimal (the XOR of all the set's data bytes; empty: this
    // symbol's own bytes, right for a set cut from one value by bytes).
    StructuredAppend structuredAppend;

    // QR Code.
    QrLevel qrLevel = QrLevel::M;
    int qrVersion = 0;     // 1-40; 0: the smallest that holds the data
    int qrMask = -1;       // 0-7; -1: the one the penalty rules of ISO/IEC 18004 prefer
    bool qrBoost = true;   // raise the level (to Q, H) while the data fits the same version
    bool qrKanji = true;   // JIS X 0208 characters of UTF-8 text in Kanji mode where that is shorter
    // Data Matrix: a fixed size (rows and columns both set, any of the 48
    // sizes of ISO/IEC 16022 and 21471), else the smallest of the shape.
    int dmRows = 0;
    int dmColumns = 0;
    DataMatrixShape dmShape = DataMatrixShape::Square;
    bool dmre = false;  // the rectangles of ISO/IEC 21471 (DMRE) may be chosen
    // PDF417 (reader initialisation above; structured append as Macro PDF417:
    // segment `index` of `count` (1-99,999), `id` the file identifier as digits in
    // groups of three, each 000-899; the last segment carries the terminator).
    int pdfLevel = -1;         // error correction 0-8; -1: the recommended minimum for the data
    int pdfColumns = 0;        // data columns 1-30; 0: chosen
    int pdfRows = 0;           // rows 3-90; 0: chosen
    bool pdfCompact = false;   // compact (truncated) PDF417
    double pdfAspect = 3;      // without columns or rows fixed: width over height to approach
    int rowHeight = 0;         // a row's height in modules, 1-20; 0: 3
    PdfMacroFields pdfMacro;   // optional fields of the Macro PDF417 control block

    // QR Code and Data Matrix: the data are GS1 element strings and the symbol
    // holds their GS1 Digital Link URI (uncompressed), on `gs1DlDomain` or
    // https://id.gs1.org when it is empty.
    bool gs1DigitalLink = false;
    std::string gs1DlDomain;
    // GS1 DataBar Expanded Stacked: segments (characters) a row, 2-22 and even; 0: 4.
    int databarSegments = 0;
    // rMQR: a fixed size, RHxW (R7x43 to R17x139); 0 0 the smallest that holds
    // the data (by area, then by height). Micro QR's version is qrVersion 1-4 (M1-M4).
    int rmqrHeight = 0;
    int rmqrWidth = 0;
};

// The data as encode() parses it: escapes resolved, GS1 element strings
// checked and put in their plain form, the options' ECI, structured append and
// reader initialisation attached. Errors name the character or the AI at fault.
KORVANE_API Result<Message> parseMessage(Symbology symbology, std::string_view data, const EncodeOptions& options = {});

// Encodes a parsed message (from parseMessage(), or built by the caller);
// `options` are used as by the other overloads, but for their escapes, gs1,
// eci, structured append and reader initialisation, which the message holds.
KORVANE_API Result<Symbol> encode(Symbology symbology, const Message& message, const EncodeOptions& options = {});

// Encodes `data` (any bytes) as `symbology`. Errors name what is wrong and
// where: "invalid character 'x' at position 5", "check digit 7 does not match;
// it should be 2", "the data needs 2,100 codewords; the largest symbol holds 1,437".
KORVANE_API Result<Symbol> encode(Symbology symbology, std::string_view data, const EncodeOptions& options = {});
// The same, the symbology by name or alias (case-insensitive).
KORVANE_API Result<Symbol> encode(std::string_view symbologyName, std::string_view data, const EncodeOptions& options = {});

}  // namespace korvane
