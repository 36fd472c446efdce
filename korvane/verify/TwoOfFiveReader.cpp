// The 2 of 5 family: Interleaved (ISO/IEC 16390), Industrial and Matrix 2 of 5.
// Each digit is five elements, two of them wide.

#include "Linear.h"

#include <iterator>

namespace korvane::detail {
namespace {

// The digits' five elements (weights 1, 2, 4, 7 and parity).
constexpr const char* DIGIT_PATTERNS[] = {
    "nnwwn", "wnnnw", "nwnnw", "wwnnn", "nnwnw", "wnwnn", "nwwnn", "nnnww", "wnnwn", "nwnwn",
};
static_assert(std::size(DIGIT_PATTERNS) == 10);
constexpr auto DIGIT_VALUES = reverseTable<32>(DIGIT_PATTERNS, patternKey);
static_assert(distinctKeys(DIGIT_VALUES, DIGIT_PATTERNS));

// Start and stop patterns, and how many elements each digit takes.
//   Interleaved: start nnnn, stop wnn (bar, space, bar); ten elements per
//     pair of digits, the first carried by the bars, the second by the spaces.
//   Industrial: the bars carry the data and every space is narrow: start
//     wnwnnn, each digit five bars with a narrow space after each, stop wnnnw.
//   Matrix: start wnnnn and a narrow gap, each digit five elements (bar to
//     bar) and a narrow gap, stop wnnnn.
constexpr DigitFrame INTERLEAVED = {"Interleaved 2 of 5", "nnnn", "wnn", 10};
constexpr DigitFrame INDUSTRIAL = {"Industrial 2 of 5", "wnwnnn", "wnnnw", 10};
constexpr DigitFrame MATRIX = {"Matrix 2 of 5", "wnnnnn", "wnnnn", 6};

// The digit whose pattern is every `step`-th element from `from`.
int digitAt(const Runs& runs, int from, int step, const WidthClasses& c) {
    int key = 0;
    for (int k = 0; k < 5; ++k)
        key = key * 2 + (c.wide(runs, from + k * step) ? 1 : 0);
    return DIGIT_VALUES[static_cast<std::size_t>(key)];
}

LineRead readFrom(const Runs& runs, int s, int end, const WidthClasses& c, const LinearReadOptions& o,
                  Symbology symbology, const DigitFrame& f) {
    LineRead failure;
    const int stop = frameStop(runs, s, end, c, f, failure);
    if (stop < 0)
        return failure;

    LineRead r;
    for (int i = s + f.startCount; i < stop; i += f.perDigit) {
        const std::size_t at = r.data.size() + 1;
        if (symbology == Symbology::Interleaved2of5) {
            const int bars = digitAt(runs, i, 2, c), spaces = digitAt(runs, i + 1, 2, c);
            if (bars < 0 || spaces < 0)
                return failed(COMPLETE, std::string(f.name) + " digit " + std::to_string(bars < 0 ? at : at + 1) +
                                            " has no valid pattern");
            r.data += static_cast<char>('0' + bars);
            r.data += static_cast<char>('0' + spaces);
            continue;
        }
        const int d = digitAt(runs, i, symbology == Symbology::Industrial2of5 ? 2 : 1, c);
        if (d < 0)
            return failed(COMPLETE, std::string(f.name) + " digit " + std::to_string(at) + " has no valid pattern");
        r.data += static_cast<char>('0' + d);
    }
    if (symbology == Symbology::Industrial2of5)
        for (int i = s + 1; i < end; i += 2)
            if (c.wide(runs, i))
                return failed(COMPLETE, "a space of the Industrial 2 of 5 symbol is wide; they are all narrow");
    if (o.check) {
        if (r.data.size() < 2)
            return failed(COMPLETE, std::string("the ") + f.name + " symbol holds no data");
        const char read = r.data.back();
        r.data.pop_back();
        const char expected = checkDigit31(r.data);
        if (read != expected)
            return failed(COMPLETE, std::string("the ") + f.name + " check digit reads " + read +
                                        "; the data before it gives " + expected);
        r.checkCharacters = std::string(1, read);
    }
    r.found(s, end - 1, c.module());
    return r;
}

}  // namespace

LineRead decodeTwoOfFive(const ScanLine& line, const LinearReadOptions& o, Symbology s) {
    const DigitFrame& f = s == Symbology::Interleaved2of5 ? INTERLEAVED
                          : s == Symbology::Industrial2of5 ? INDUSTRIAL
                                                            : MATRIX;
    return eachStart(
        line.runs, f.startCount, [&](int key) { return key == f.startKey; },
        [&](int start, int end, const WidthClasses& c) { return readFrom(line.runs, start, end, c, o, s, f); });
}

}  // namespace korvane::detail
