// IATA and Datalogic 2 of 5: the digits of the 2 of 5 family between the
// start (two narrow bars) and stop (wide bar, narrow bar) of Interleaved 2 of 5.

#include "Linear.h"

namespace korvane::detail {
namespace {

constexpr const char* DIGIT_PATTERNS[] = {
    "nnwwn", "wnnnw", "nwnnw", "wwnnn", "nnwnw", "wnwnn", "nwwnn", "nnnww", "wnnwn", "nwnwn",
};
constexpr auto DIGIT_VALUES = reverseTable<32>(DIGIT_PATTERNS, patternKey);
static_assert(distinctKeys(DIGIT_VALUES, DIGIT_PATTERNS));

// IATA: each digit five bars with a narrow space after each. Datalogic: five
// elements from bar to bar and a narrow gap.
constexpr DigitFrame IATA = {"IATA 2 of 5", "nnnn", "wnn", 10};
constexpr DigitFrame DATALOGIC = {"Datalogic 2 of 5", "nnnn", "wnn", 6};

LineRead readFrom(const Runs& runs, int s, int end, const WidthClasses& c, const LinearReadOptions& o,
                  const DigitFrame& f) {
    LineRead failure;
    const int stop = frameStop(runs, s, end, c, f, failure);
    if (stop < 0)
        return failure;
    const int step = f.perDigit == 10 ? 2 : 1;
    LineRead r;
    for (int i = s + f.startCount; i < stop; i += f.perDigit) {
        // The digit in every `step`-th element; the spaces between the
        // digit's bars (IATA) and the gap after it (Datalogic) are narrow.
        int key = 0;
        bool narrowGaps = true;
        for (int k = 0; k < 5; ++k) {
            key = key * 2 + (c.wide(runs, i + k * step) ? 1 : 0);
            if (step == 2 || k == 4)
                narrowGaps = narrowGaps && !c.wide(runs, i + k * step + 1);
        }
        const int d = DIGIT_VALUES[static_cast<std::size_t>(key)];
        if (d < 0 || !narrowGaps)
            return failed(COMPLETE, std::string(f.name) + " digit " + std::to_string(r.data.size() + 1) +
                                        " has no valid pattern");
        r.data += static_cast<char>('0' + d);
    }
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

LineRead decodeTwoOfFiveVariant(const ScanLine& line, const LinearReadOptions& o, Symbology s) {
    const DigitFrame& f = s == Symbology::Iata2of5 ? IATA : DATALOGIC;
    return eachStart(
        line.runs, f.startCount, [&](int key) { return key == f.startKey; },
        [&](int start, int end, const WidthClasses& c) { return readFrom(line.runs, start, end, c, o, f); });
}

}  // namespace korvane::detail
