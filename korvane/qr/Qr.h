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

struct QrOptions {
    Level level = Level::M;
    int version = 0;   // 1-40; 0: the smallest that holds the data
    int mask = -1;     // 0-7; -1: the one the penalty rules prefer
    // Raise the level (M to Q to H) while the data still fits the same version.
    bool boost = true;
    // Characters of JIS X 0208 in UTF-8 text may go in Kanji mode.
    bool kanji = true;
};

struct Segment {
    Mode mode = Mode::Byte;
    int characters = 0;  // the character count the segment's header carries
};

// A finished symbol: size x size modules, row-major, top row first, 1 = dark.
struct QrSymbol {
    int version = 0;
    Level level = Level::M;
    int mask = 0;
    int size = 0;
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

// The cheapest mode for every unit, with the total of the segments' bits
// (mode indicators, counts and data; ECI designators before units not
// included). A shortest path over (unit, mode, partial group).
struct Path {
    std::vector<Mode> modes;
    int bits = 0;
};
Path shortestPath(const std::vector<Unit>& units, int range);

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

}  // namespace detail
}  // namespace korvane::qr
