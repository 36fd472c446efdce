#pragma once
// The library's QR Code encoder (ISO/IEC 18004): the shortest bit stream over
// every segmentation of the data into numeric, alphanumeric, byte and Kanji
// segments, the smallest version that holds it at the level asked for, then
// Reed-Solomon blocks, module placement and the mask with the least penalty.
// It depends on nothing but the standard library and the library's Message
// and Result types.

#include "korvane/Message.h"
#include "korvane/Result.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korvane::qr {

enum class Level : std::uint8_t { L, M, Q, H };  // about 7, 15, 25 and 30 % of the codewords recoverable

enum class Mode : std::uint8_t { Numeric, Alphanumeric, Byte, Kanji };

// The family of the symbol: QR Code, Micro QR (ISO/IEC 18004, M1-M4) or
// rMQR (ISO/IEC 23941, the rectangles R7x43 to R17x139).
enum class Kind : std::uint8_t { Qr, Micro, Rect };

struct QrOptions {
    Level level = Level::M;
    // QR Code 1-40, Micro QR 1-4 (M1-M4), rMQR 1-32 (the size number plus
    // one, R7x43 first); 0: the smallest that holds the data (rMQR: by area,
    // then by height).
    int version = 0;
    int mask = -1;     // 0-7 (Micro QR 0-3); -1: the one the penalty rules prefer (rMQR has one mask)
    // Raise the level (M to Q to H) while the data still fits the same version.
    bool boost = true;
    // Characters of JIS X 0208 in UTF-8 text may go in Kanji mode.
    bool kanji = true;
    Kind kind = Kind::Qr;
    // Every character in byte mode (UPNQR asks for it).
    bool bytesOnly = false;
};

struct Segment {
    Mode mode = Mode::Byte;
    int characters = 0;  // the character count the segment's header carries
};

// A finished symbol: size x columns modules, row-major, top row first, 1 = dark.
struct QrSymbol {
    int version = 0;
    Level level = Level::M;
    int mask = 0;
    int size = 0;            // rows
    int columns = 0;         // equal to size but for rMQR
    std::string versionName; // "M2", "R7x43"; empty for QR Code
    std::vector<std::uint8_t> modules;

    std::vector<Segment> segments;
    int eci = -1;            // the ECI designator the encoder put first of its own accord (26: UTF-8), -1 none
    int dataBits = 0;        // the bit stream before the terminator and padding
    int dataCodewords = 0;   // the version's data codewords at the level
    int checkCodewords = 0;
    int blocks = 0;          // Reed-Solomon blocks the codewords are shared into
    int parity = -1;         // structured-append parity byte, -1 outside a set
    std::string readerData;  // the data as readers return it (FNC1 separators as GS, an application indicator first)
};

// Encodes the message. Errors (InvalidData, DataTooLong, InvalidOption) name
// the character, position or limit. Never throws; reads nothing outside the
// message.
Result<QrSymbol> encode(const Message& message, const QrOptions& options = {});

// "L", "M", "Q" or "H".
const char* levelName(Level level);

namespace detail {

// One unit of the data for the segmentation: a byte, or a character of UTF-8
// text. `modes` has bit m set when mode m can carry it.
struct Unit {
    std::uint8_t modes = 0;
    std::uint8_t bytes = 1;      // bytes it takes in byte mode
    std::uint8_t alnum = 1;      // alphanumeric characters it takes (2 for '%' after FNC1)
    std::uint8_t eciBefore = 0;  // an ECI designator of the message stands before it
    std::uint8_t sjis = 0;       // in byte mode it is the two Shift JIS bytes of `kanji`
    std::uint16_t kanji = 0;     // its 13-bit Kanji-mode value
    std::uint32_t at = 0;        // its first byte in the message
};

// Version ranges with their own character-count lengths: 1-9, 10-26, 27-40.
int versionRange(int version);
// Bits of the character count of `mode` in `range` (0-2).
int countBits(Mode mode, int range);

// What a segment's header costs in a symbol: the mode indicators (numeric,
// alphanumeric, byte, Kanji) of `indicatorBits` bits, the character counts'
// bits (0: the symbol has no such mode), and the indicators of the ECI
// designator and of FNC1 in first and second position (0: none).
struct Header {
    int indicatorBits = 4;
    std::uint8_t indicator[4] = {0b0001, 0b0010, 0b0100, 0b1000};
    std::uint8_t countBits[4] = {};
    std::uint8_t eci = 0b0111, fnc1First = 0b0101, fnc1Second = 0b1001;
};
// QR Code's headers in a version range.
Header qrHeader(int range);

// The cheapest mode for every unit, with the total of the segments' bits
// (mode indicators, counts and data; ECI designators before units not
// included). A shortest path over (unit, mode, partial group).
struct Path {
    std::vector<Mode> modes;
    int bits = 0;
};
Path shortestPath(const std::vector<Unit>& units, int range);
// The same with the headers of any symbol of the family.
Path shortestPath(const std::vector<Unit>& units, const Header& header);

// Data codewords of a version at a level, and its check codewords per block
// and block count (ISO/IEC 18004 Table 9).
int dataCodewords(int version, Level level);
int totalCodewords(int version);

// Reed-Solomon check words of `data` with `checkWords` words, generator roots
// alpha^0 ... alpha^(checkWords - 1) over GF(256) modulo x^8+x^4+x^3+x^2+1.
std::vector<std::uint8_t> checkWords(const std::vector<std::uint8_t>& data, int checkWords);

// ---- the stages of encode(), each callable alone

// Text to segments: the message read (FNC1, ECI designators, UTF-8 text),
// segmented along the shortest bit stream, the version and level chosen and
// the stream written with its terminator and pad codewords.
struct DataStream {
    int version = 0;
    Level level = Level::M;
    std::vector<std::uint8_t> codewords;  // the version's data codewords at the level
    std::vector<Segment> segments;
    int eci = -1;
    int dataBits = 0;
    int parity = -1;
    std::string readerData;
};
Result<DataStream> dataStream(const Message& message, const QrOptions& options);

// Codewords: the data codewords with their check words, blocks interleaved
// (ISO/IEC 18004, 7.6).
std::vector<std::uint8_t> interleave(const std::vector<std::uint8_t>& data, int version, Level level);
// The same for `blocks` blocks of `checkPerBlock` check words each, `total` codewords in all.
std::vector<std::uint8_t> interleaveBlocks(const std::vector<std::uint8_t>& data, int blocks, int checkPerBlock,
                                           int total);

// Modules across a symbol of `version`.
constexpr int sizeOf(int version) { return 17 + 4 * version; }

// Matrix: the function patterns of a version with the codewords placed
// around them, unmasked; `function` marks the modules masks leave alone.
struct Matrix {
    int size = 0;
    std::vector<std::uint8_t> dark, function;  // size x size, row-major
};
Matrix placeCodewords(int version, const std::vector<std::uint8_t>& codewords);

// Mask: the matrix under the mask with the least penalty (or `fixed`, 0-7,
// when it is not -1) with its format information, written to `modules`;
// returns the mask.
int applyMask(const Matrix& matrix, Level level, int fixed, std::vector<std::uint8_t>& modules);

// Where the 15 format bits go, bit i of each copy (row, column).
struct Place {
    int row, column;
};
void formatPlaces(int size, Place first[15], Place second[15]);

// Penalty of a finished matrix by the four rules (N1-N4), scored as the
// encoder scores its masks: whole rows and columns at a time.
int penalty(const std::vector<std::uint8_t>& modules, int size);

// ---- Micro QR and rMQR (SmallQr.cpp)

// Data bits of a Micro QR version (1-4) at a level, 0 where it lacks the level.
int microDataBits(int version, Level level);
// The Micro QR headers of a version.
Header microHeader(int version);
// A Micro QR symbol from its data codewords (the last one of four bits in M1
// and M3, in the high half of its byte): check words, placement and the mask
// (`fixed` 0-3, or -1 for the one the evaluation prefers); returns the mask.
int finishMicro(int version, Level level, const std::vector<std::uint8_t>& data, int fixed,
                std::vector<std::uint8_t>& modules);
// The Micro QR format word of a version, level and mask (15 bits, masked).
int microFormatBits(int version, Level level, int mask);

// rMQR sizes are numbered 0-31 as the format information numbers them.
// Data codewords at level M or H, and the headers of a size.
int rectDataCodewords(int size, Level level);
Header rectHeader(int size);
// An rMQR symbol from its data codewords: blocks, placement, the one mask
// and both copies of the format information.
void finishRect(int size, Level level, const std::vector<std::uint8_t>& data, std::vector<std::uint8_t>& modules);
// The modules of an rMQR size that carry codeword bits, counted from its
// function patterns (for the tests' check of the codeword table).
int rectDataModules(int size);

}  // namespace detail
}  // namespace korvane::qr
