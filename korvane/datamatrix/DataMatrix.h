#pragma once
// The library's Data Matrix ECC 200 encoder (ISO/IEC 16022; the DMRE
// rectangles of ISO/IEC 21471): the shortest codeword stream over all
// encodation sequences, the smallest symbol of the shape asked for that holds
// it, Reed-Solomon check words and module placement.

#include "korvane/Message.h"
#include "korvane/Result.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace korvane::datamatrix {

enum class Shape : std::uint8_t {
    Square,       // the 24 square sizes
    Rectangular,  // the 6 rectangles of ISO/IEC 16022 (and the DMRE ones when allowed)
    Any,          // whichever holds the data in the fewest modules
};

struct Options {
    Shape shape = Shape::Square;
    bool dmre = false;  // the rectangles of ISO/IEC 21471 may be chosen too
    // A fixed size (both set): the symbol is exactly rows x columns, or the
    // encoder reports that the data does not fit. Any of the 48 sizes,
    // whatever shape and dmre say.
    int rows = 0;
    int columns = 0;
};

// One symbol size: ISO/IEC 16022 Table 7, ISO/IEC 21471 Table 7 for DMRE.
struct SizeInfo {
    short rows, columns;            // whole symbol, finder included
    short regionRows, regionColumns;  // one data region, without its finder and clock tracks
    short dataCodewords, checkCodewords;
    short blocks;                   // interleaved Reed-Solomon blocks
    bool dmre;

    int regionsDown() const { return rows / (regionRows + 2); }
    int regionsAcross() const { return columns / (regionColumns + 2); }
    bool square() const { return rows == columns; }
};

const SizeInfo* sizesBegin();
const SizeInfo* sizesEnd();
// The size of that many rows and columns, or null.
const SizeInfo* findSize(int rows, int columns);

// Encodation modes as they appear in the stream.
enum class Mode : std::uint8_t { Ascii, C40, Text, X12, Edifact, Base256 };
const char* modeName(Mode m);

// A run of the data in one encodation: input units [start, end) (bytes of the
// message, each FNC1 and ECI marker counting as one unit).
struct Segment {
    Mode mode;
    int start, end;
};

struct Encoded {
    const SizeInfo* size = nullptr;
    std::vector<std::uint8_t> modules;      // rows x columns, row-major, top row first, 1 = dark
    std::vector<std::uint8_t> codewords;    // data codewords (padded), then check words interleaved
    int streamCodewords = 0;                // data codewords before padding
    std::vector<Segment> segments;
    std::string readerData;                 // the data as a reader returns it
};

// Encodes a message. Errors: a marker the symbology cannot carry, a bad
// structured-append field, data longer than the largest allowed symbol holds.
Result<Encoded> encode(const Message& message, const Options& options = {});

namespace detail {

// One input unit: a byte (0-255), FNC1 or an ECI designator.
struct Unit {
    enum Kind : std::uint8_t { Byte, Fnc1, Eci } kind = Byte;
    std::uint8_t byte = 0;
    int eci = 0;
};

// The shortest codeword streams for some units, over all encodation
// sequences: the cost table of the path search, filled once (time and memory
// linear in the units), then asked which symbol capacities a shortest stream
// fits and written for the one chosen. The plan keeps a reference to the
// units, which must outlive it.
class StreamPlan {
public:
    explicit StreamPlan(const std::vector<Unit>& units);
    // The least capacity (data codewords after any header) that a stream
    // fits; INT_MAX when a unit cannot be encoded at all.
    int least() const;
    // Whether a shortest stream fills a symbol of exactly `capacity`
    // codewords (padding after it); some endings fit only the last codewords
    // of a symbol, so a larger capacity does not always fit.
    bool fits(int capacity) const;
    // Appends the stream for `capacity` (fits(capacity) must hold) without
    // padding, and the segments when asked.
    void write(int capacity, std::vector<std::uint8_t>& out, std::vector<Segment>* segments = nullptr) const;

    struct Cell {
        int cost;
        short run;                 // Base 256 bytes so far, below 250
        std::uint8_t from;         // state the path came from
        std::uint8_t consumed;     // units the step into this cell took (0: a latch or unlatch)
    };

private:
    const std::vector<Unit>& units_;
    std::vector<Cell> cells_;                  // (units + 1) x states
    std::vector<std::pair<int, int>> ends_;    // capacities each reachable end state fits, [least, most]
};

// Reed-Solomon check words of one block (GF(256), x^8 + x^5 + x^3 + x^2 + 1,
// roots alpha^1 ... alpha^n), n 1-255.
std::vector<std::uint8_t> checkWords(const std::uint8_t* data, int count, int n);

// Appends the check words of `blocks` interleaved blocks to `dataWords`
// codewords: data codeword i is in block i mod blocks, and check word j of
// block b goes to dataWords + j x blocks + b. n (per block) 1-255.
void addCheckWords(std::vector<std::uint8_t>& codewords, int dataWords, int blocks, int n);

// ---- the stages of encode(), each callable alone

// Data codewords: the header codewords, the shortest stream and the pads,
// for the smallest size allowed that holds them. Everything of Encoded but
// the modules and the check words.
Result<Encoded> dataCodewords(const Message& message, const Options& options);

// Check words: addCheckWords above, with the size's blocks.

// Modules: the codewords (check words included) placed in the mapping matrix
// and the matrix laid into the size's data regions with their finders and
// clock tracks; rows x columns, row-major, 1 = dark.
std::vector<std::uint8_t> placeModules(const SizeInfo& size, const std::vector<std::uint8_t>& codewords);

// The mapping matrix of nrow x ncol modules: for each module, codeword
// number (1-based) * 8 + bit (0 = most significant ... 7), or 0 for the
// fixed corner modules that stay light and 1 for the ones that are dark.
std::vector<int> placement(int nrow, int ncol);

}  // namespace detail

}  // namespace korvane::datamatrix
