#pragma once
// PDF417 (ISO/IEC 15438): the shortest codeword stream for a Message over all
// sequences of compaction modes, Reed-Solomon check words over GF(929), and the
// rows of modules with their start and stop patterns and row indicators.
// Nothing here but the standard library; errors are values.

#include "korvane/Message.h"
#include "korvane/Result.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korvane::pdf417 {

// Optional fields of a Macro PDF417 control block (ISO/IEC 15438 Annex H).
// Empty strings and negative numbers are left out.
struct MacroFields {
    std::string fileName;   // text
    long long timeStamp = -1;  // seconds since 1970-01-01, numeric
    std::string sender;     // text
    std::string addressee;  // text
    long long fileSize = -1;   // bytes, numeric
    int checksum = -1;      // CRC-16 of the whole file, 0-65535
};

struct Options {
    int level = -1;    // error-correction level 0-8; -1: the recommended minimum for the data
    int columns = 0;   // data columns 1-30; 0: chosen
    int rows = 0;      // rows 3-90; 0: chosen
    bool compact = false;  // truncated: no right row indicator, a one-module stop
    // Without columns or rows fixed, the shape whose width over height comes
    // nearest this, the rows taken `rowHeight` modules tall.
    double aspect = 3.0;
    int rowHeight = 3;  // a row's height in modules, 1-20 (3 is the standard's least)
    MacroFields macro;  // used when the Message is part of a structured-append set
};

// A finished symbol: rows x width modules, row-major, 1 = dark; each row is one
// module tall here (the caller stretches it by rowHeight).
struct Symbol {
    int rows = 0;
    int columns = 0;        // data columns
    int width = 0;          // modules in a row
    int level = 0;
    int dataCodewords = 0;  // the length descriptor, the data, macro block and padding
    int checkCodewords = 0;
    int padCodewords = 0;   // capacity left in the symbol, in codewords
    std::vector<std::uint8_t> modules;
    std::vector<int> codewords;  // data then check, in the order they are placed
};

// Errors: a Message the symbology cannot carry (FNC1, GS1), options out of
// range, more data than the symbol asked for (or the largest) holds.
Result<Symbol> encode(const Message& message, const Options& options);

namespace detail {

// How one byte of the data is carried; the shortest stream is a choice of one
// Step per byte.
enum class Step : std::uint8_t {
    TextAlpha, TextLower, TextMixed, TextPunct,  // text, latched into that sub-mode
    ShiftPunct,  // text, one punctuation character after ps
    ShiftAlpha,  // text, one upper-case letter after as (from lower case)
    ByteShift,   // 913 and the byte, within text
    Byte,        // byte compaction (901, or 924 for a multiple of six)
    Digit,       // numeric compaction, continuing the current group of up to 44
    DigitGroup,  // numeric compaction, starting a new group
};

// Codewords for `bytes` carried as `steps` (one per byte), starting in text
// alpha (`latched` false) or after an ECI, where every mode is latched anew.
// False if a step cannot carry its byte in the state it meets.
bool emitSteps(const std::string& bytes, const std::vector<Step>& steps, bool latched, std::vector<int>& out);

// The steps of the shortest stream (ties: the first found); `textOnly` keeps
// to text compaction (every byte must be printable ASCII, CR, LF or HT).
std::vector<Step> shortestSteps(const std::string& bytes, bool latched, bool textOnly = false);

// Data codewords of a message (no length descriptor, padding or check words).
Result<std::vector<int>> dataCodewords(const Message& message, const MacroFields& macro);

// Check words for `data` (length descriptor included): 2^(level+1) of them.
std::vector<int> checkWords(const std::vector<int>& data, int count);

// The recommended level for a number of data codewords (ISO/IEC 15438 Table 6).
int recommendedLevel(int dataCodewords);

// ---- the stages of encode() after dataCodewords(), each callable alone

// Rows and data columns of a symbol.
struct Shape {
    int rows = 0;
    int columns = 0;
};
// The shape for `needed` codewords (data, length descriptor and check
// words): the rows and columns the options fix, or the one nearest their
// aspect ratio.
Result<Shape> chooseShape(int needed, const Options& options);

// The symbol's codewords: the length descriptor, the stream with the pads
// before any Macro PDF417 control block, then `check` check words.
std::vector<int> symbolCodewords(const std::vector<int>& stream, int dataCodewords, int check);

// Modules in a row: start, left indicator, columns, right indicator, stop.
int widthFor(int columns, bool compact);

// The rows of `s` (rows, columns, level and codewords set) into its width and modules.
void drawRows(Symbol& s, bool compact);

}  // namespace detail
}  // namespace korvane::pdf417
