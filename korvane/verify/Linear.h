#pragma once
// What the linear readers share: one scan line's decoding result, width
// classification, and the decoders of each symbology family (one source file
// per family: Code39.cpp, Code93.cpp, ...).

#include "Lines.h"
#include "Readers.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>

namespace korvane::detail {

// How far a decoding got before it failed: of the failures on all scan lines
// the one that got furthest says the most.
enum Progress : int {
    NOTHING = 0,    // no start pattern
    STARTED = 1,    // a start pattern, but no complete symbol
    COMPLETE = 2,   // start to stop, but a character or a check failed
    VALID = 3,      // a valid symbol, but what surrounds it fails (quiet zone, add-on)
    DECODED = 4,    // a valid symbol (quiet zones still to check)
};

struct LineRead {
    Progress progress = NOTHING;
    std::string failure;  // when progress < DECODED

    std::string data;
    std::string checkCharacters;
    std::string addOn;
    bool gs1 = false;

    // Where the symbol lies on the line and what it needs around it.
    int firstBar = 0;         // run index of the first bar
    int lastBar = 0;          // run index of the last bar (of the add-on, when there is one)
    double module = 0;        // X in pixels
    double quietLeft = -1;    // quiet zones asked for, in modules; -1: the symbology's own
    double quietRight = -1;
};

// One scan line as a decoder sees it, with what Postnet needs to measure bar
// heights across it.
struct ScanLine {
    const Runs& runs;
    const LineSource& source;
    bool vertical;   // a column rather than a row
    int at;          // its x (column) or y (row)
    bool reversed;   // runs are in the opposite direction to the pixels

    // The pixel where run `i` starts, in picture coordinates along the line.
    int pixelAt(int i) const;
};

// Keeps the failure that got furthest.
void keepBetter(LineRead& best, LineRead&& candidate);
LineRead failed(Progress progress, std::string why);

// Narrow/wide classification with separate thresholds for bars and spaces, so
// that print gain (or bar width reduction) that widens one colour at the
// expense of the other does not confuse them.
struct WidthClasses {
    double barThreshold = 0;
    double spaceThreshold = 0;
    double narrowBar = 0;
    double narrowSpace = 0;
    double module() const { return (narrowBar + narrowSpace) / 2; }
    bool wide(const Runs& runs, int i) const { return runs[i] > (i % 2 ? barThreshold : spaceThreshold); }
};

// Splits the bars and the spaces of runs [from, to) each into a narrow and a
// wide class at the widest gap between sizes; a colour whose sizes form one
// class is all narrow. False when the elements are too few or too uneven.
bool classifyWidths(const Runs& runs, int from, int to, WidthClasses& out);

// The run index where a symbol that starts at bar `from` ends at the latest:
// the first light run at least `quiet` pixels wide, or the end of the line.
int symbolEnd(const Runs& runs, int from, double quiet);

// Whether bar `s` may start a symbol: the first bar of the line, or one after
// a light run at least `quiet` pixels wide.
bool mayStart(const Runs& runs, int s, double quiet);

// The elements runs[from, from + count) as bits, 1 for wide, the first
// element in the highest bit: the key of the n/w pattern tables below.
int wideBits(const Runs& runs, int from, int count, const WidthClasses& classes);

// Module widths of `count` elements from `from` that span `modules` modules,
// after print gain `gain` (pixels each bar is wider than nominal and each space
// narrower) is taken out. False unless every element is 1 to `maxModules`
// modules and they add up to `modules`.
bool moduleWidths(const Runs& runs, int from, int count, int modules, double gain, int maxModules, int* out);

// Print gain in pixels from a stretch of elements of known module widths.
double printGain(const Runs& runs, int from, const int* widths, int count);

std::string describeCharacter(unsigned char c);  // 'A', or byte 0x1D

// The byte a full-ASCII pair stands for in Code 39 and Code 93 (ISO/IEC 16388
// and the Code 93 specification share the table): `shift` is '$', '%', '/' or
// '+' and `letter` an upper-case letter. -1 for a pair the table does not have.
int fullAsciiByte(char shift, char letter);

// Reverse tables, made at compile time from the standards' tables.
// n/w patterns: key = wideBits of the pattern.
constexpr int patternKey(const char* pattern) {
    int key = 0;
    for (; *pattern; ++pattern)
        key = key * 2 + (*pattern == 'w' ? 1 : 0);
    return key;
}
// Module widths 1-4 as digits: key = the widths less one in base 4, first element highest.
constexpr int moduleKey(const char* widths) {
    int key = 0;
    for (; *widths; ++widths)
        key = key * 4 + (*widths - '1');
    return key;
}
inline int moduleKey(const int* widths, int count) {
    int key = 0;
    for (int k = 0; k < count; ++k)
        key = key * 4 + (widths[k] - 1);
    return key;
}
// The row of each key, -1 for keys no row has.
template <std::size_t KEYS, std::size_t N>
constexpr std::array<signed char, KEYS> reverseTable(const char* const (&patterns)[N], int (*key)(const char*)) {
    static_assert(N < 128);
    std::array<signed char, KEYS> out{};
    for (auto& v : out)
        v = -1;
    for (std::size_t i = 0; i < N; ++i)
        out[static_cast<std::size_t>(key(patterns[i]))] = static_cast<signed char>(i);
    return out;
}
// Whether every row of a table has a key of its own (so reverseTable lost none).
template <std::size_t KEYS, std::size_t N>
constexpr bool distinctKeys(const std::array<signed char, KEYS>& reverse, const char* const (&)[N]) {
    std::size_t found = 0;
    for (signed char v : reverse)
        found += v >= 0 ? 1 : 0;
    return found == N;
}

// Tries every bar of the line that may start a symbol of two widths whose
// start pattern has `startCount` elements: one after a light stretch wider
// than the symbol's widest gaps, whose elements classify (over the whole
// symbol) into a pattern `isStart` accepts. `readFrom(s, end, classes)` reads
// the symbol from bar s to the quiet run `end`. Returns the first symbol read
// or the failure that got furthest.
template <typename IsStart, typename ReadFrom>
LineRead eachStart(const Runs& runs, int startCount, IsStart&& isStart, ReadFrom&& readFrom) {
    LineRead best;
    const int n = static_cast<int>(runs.size());
    for (int s = 1; s + startCount < n; s += 2) {
        int widest = 0, narrowest = runs[static_cast<std::size_t>(s)];
        for (int k = 0; k < startCount; ++k) {
            widest = std::max(widest, runs[static_cast<std::size_t>(s + k)]);
            narrowest = std::min(narrowest, runs[static_cast<std::size_t>(s + k)]);
        }
        // Wider than a wide element (at most three narrow ones) or an
        // inter-character gap, narrower than a quiet zone of ten.
        const double quiet = std::max(2.2 * widest, 4.0 * narrowest);
        if (!mayStart(runs, s, quiet))
            continue;
        const int end = symbolEnd(runs, s, quiet);
        WidthClasses classes;
        if (end - s < startCount || !classifyWidths(runs, s, end, classes) ||
            !isStart(wideBits(runs, s, startCount, classes)))
            continue;
        keepBetter(best, readFrom(s, end, classes));
        if (best.progress == DECODED)
            break;
    }
    return best;
}

// The family decoders. Each tries every possible start on the line, reading
// the runs in their order, and returns the symbol or the failure that got
// furthest.
LineRead decodeCode39(const ScanLine& line, const LinearReadOptions& o, bool extended);
LineRead decodeCode93(const ScanLine& line, bool extended);
LineRead decodeCode11(const ScanLine& line, const LinearReadOptions& o);
LineRead decodeCodabar(const ScanLine& line, const LinearReadOptions& o);
LineRead decodeMsi(const ScanLine& line, const LinearReadOptions& o);
LineRead decodeTwoOfFive(const ScanLine& line, const LinearReadOptions& o, Symbology s);
LineRead decodeEanUpc(const ScanLine& line, Symbology s);
LineRead decodeCode128(const ScanLine& line);
LineRead decodePostnet(const ScanLine& line);

// Reads a linear symbol from the lines of a source (both verify() and
// readLinear() come here). `rowsFirst` only orders the search.
Reading readLines(const LineSource& source, Symbology symbology, const LinearReadOptions& options, bool rowsFirst);

}  // namespace korvane::detail
