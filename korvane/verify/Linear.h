#pragma once
// What the linear readers share: one scan line's decoding result, width
// classification, and the decoders of each symbology family (one source file
// per family: Code39Reader.cpp, Code93Reader.cpp, ...).

#include "Lines.h"
#include "Readers.h"

#include "../Descriptor.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <vector>

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

    // Marks a symbol read in full from bar `first` to bar `last`, X `x` pixels.
    void found(int first, int last, double x) {
        progress = DECODED;
        firstBar = first;
        lastBar = last;
        module = x;
    }
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


// Whether bar `bar`, which ends a symbol that starts at bar `s`, is a
// termination bar of `barModules` modules (within half a module, after print
// gain `gain`); `x` is set to the module width measured over runs [s, bar),
// which span `modules` modules. Code 93 and Code 128 end so.
bool terminationBar(const Runs& runs, int s, int bar, double modules, int barModules, double gain, double& x);

std::string describeCharacter(unsigned char c);

// A quiet zone may fall this many modules short of its nominal width, for
// the readers and for grade()'s quiet-zone parameter alike.
constexpr double QUIET_ZONE_SHORTFALL = 0.5;

// The quiet zones a symbology asks for, in modules (X), before and after it.
QuietZone quietZoneOf(Symbology s);  // 'A', or byte 0x1D

// Check values.
// The values[0, count) weighted 1, 2, ... `maxWeight`, 1, ... from the right,
// modulo `modulus`: Code 11 (modulo 11) and Code 93 (modulo 47).
int weightedCheck(const std::vector<int>& values, std::size_t count, int maxWeight, int modulus);
// The modulo-10 check digit with weights 3 and 1 from the right: EAN/UPC, and
// the optional check digit of the 2 of 5 family.
char checkDigit31(const std::string& digits);

// The byte a full-ASCII pair stands for in Code 39 and Code 93 (ISO/IEC 16388
// and AIM's Code 93 standard share the table): `shift` is '$', '%', '/' or
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
// The moduleKey of `count` (at most 8) elements from `from` that span
// `modules` modules of 1 to 4 each after print gain `gain` (moduleWidths), or
// -1 when they do not measure up: the key of a character of Code 93, Code 128
// or an EAN/UPC digit in its reverse table.
inline int moduleKeyAt(const Runs& runs, int from, int count, int modules, double gain) {
    int widths[8];
    if (count > 8 || !moduleWidths(runs, from, count, modules, gain, 4, widths))
        return -1;
    return moduleKey(widths, count);
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
        // inter-character gap, narrower than a quiet zone of ten. A bar and a
        // space side by side measure the same whatever the print gain, so
        // their sum keeps an all-narrow start (Interleaved 2 of 5) from
        // taking a wide space of a gained print for a quiet zone.
        const double quiet = std::max({2.2 * widest, 4.0 * narrowest, 2.0 * (widest + narrowest)});
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

// How the symbol characters of a symbology follow one another on a line.
struct CharacterShape {
    const char* name;  // the symbology's title, for failures: "Code 39"
    int elements;      // of a character
    int step;          // runs from one character to the next (one more with an inter-character gap)
    int firstStop;     // character values from this one on are stop characters
};

// Reads the symbol characters after a start character up to the stop
// character: one every `shape.step` runs from run `from`, each of which must
// end before run `end`. `valueAt(i)` is the value of the character at run i,
// -1 where it has no valid pattern. The characters between go into `values`.
// Returns the run index of the stop character, or -1 with `failure` saying
// why (ranked STARTED).
template <typename ValueAt>
int readToStop(const CharacterShape& shape, int from, int end, ValueAt&& valueAt, std::vector<int>& values,
               LineRead& failure) {
    for (int i = from;; i += shape.step) {
        if (i + shape.elements > end) {
            failure = failed(STARTED, std::string("no ") + shape.name + " stop character after " +
                                          std::to_string(values.size()) + " characters");
            return -1;
        }
        const int v = valueAt(i);
        if (v < 0) {
            failure = failed(STARTED, std::string(shape.name) + " symbol character " +
                                          std::to_string(values.size() + 1) + " has no valid pattern");
            return -1;
        }
        if (v >= shape.firstStop)
            return i;
        values.push_back(v);
    }
}

// Symbols of digits of a fixed number of narrow and wide elements between a
// start and a stop pattern, with no inter-character gaps: MSI and the 2 of 5
// family. The digits fill the symbol from the start pattern to the stop
// pattern before the quiet zone.
struct DigitFrame {
    const char* name;  // "MSI"
    int perDigit;      // elements per digit (per pair of digits for Interleaved 2 of 5)
    // The n/w start and stop patterns: their lengths and keys (patternKey).
    int startCount, startKey;
    int stopCount, stopKey;

    constexpr DigitFrame(const char* name, const char* start, const char* stop, int perDigit)
        : name(name), perDigit(perDigit), startCount(length(start)), startKey(patternKey(start)),
          stopCount(length(stop)), stopKey(patternKey(stop)) {}

private:
    static constexpr int length(const char* p) {
        int n = 0;
        while (p[n])
            ++n;
        return n;
    }
};

// The run index where the stop pattern of a framed symbol from bar `s` to the
// quiet run `end` begins, or -1 with `failure` saying why: its elements make
// no whole number of digits, or the stop pattern is not there (ranked STARTED).
int frameStop(const Runs& runs, int s, int end, const WidthClasses& classes, const DigitFrame& frame,
              LineRead& failure);

// Tries every bar of the line that may start a symbol whose start pattern is
// `startCount` elements of `startModules` modules in all (Code 93, Code 128,
// EAN/UPC): one after a light run wider than five modules measured over the
// start pattern, wider than any element and narrower than any quiet zone.
// `readAt(s)` reads the symbol from bar s, or returns an empty LineRead where
// s starts none after all. Returns the first symbol read or the failure that
// got furthest.
template <typename ReadAt>
LineRead eachModuleStart(const Runs& runs, int startCount, int startModules, ReadAt&& readAt) {
    LineRead best;
    const int n = static_cast<int>(runs.size());
    for (int s = 1; s + startCount < n; s += 2) {
        int span = 0;
        for (int k = 0; k < startCount; ++k)
            span += runs[static_cast<std::size_t>(s + k)];
        if (!mayStart(runs, s, 5.0 * span / startModules))
            continue;
        keepBetter(best, readAt(s));
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
// Postnet and PLANET.
LineRead decodePostnet(const ScanLine& line, Symbology s);
// VIN, PZN and Code 32: Code 39 held to the symbology's own characters and check digit.
LineRead decodeCode39Variant(const ScanLine& line, const LinearReadOptions& o, Symbology s);
// IATA and Datalogic 2 of 5.
LineRead decodeTwoOfFiveVariant(const ScanLine& line, const LinearReadOptions& o, Symbology s);
LineRead decodePharmacode(const ScanLine& line);
LineRead decodePlessey(const ScanLine& line);
LineRead decodeTelepen(const ScanLine& line, Symbology s);
// The four-state codes: IMb, RM4SCC, KIX, Australia Post's and DAFT.
LineRead decodeFourState(const ScanLine& line, Symbology s);

// Reads a linear symbol from the lines of a source (both verify() and
// readLinear() come here). `rowsFirst` only orders the search.
Reading readLines(const LineSource& source, Symbology symbology, const LinearReadOptions& options, bool rowsFirst);

}  // namespace korvane::detail
