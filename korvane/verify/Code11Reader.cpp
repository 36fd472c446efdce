// Code 11 (USD-8): digits and the dash, with the check characters C and K.

#include "Linear.h"

#include <iterator>

namespace korvane::detail {
namespace {

// Bar, space, bar, space, bar; the row is the character's value in the check
// sums. Row 11 is the start and stop character.
constexpr const char* CODE11_PATTERNS[] = {
    "nnnnw", "wnnnw", "nwnnw", "wwnnn", "nnwnw", "wnwnn",  // 0-5
    "nwwnn", "nnnww", "wnnwn", "wnnnn", "nnwnn",           // 6-9, -
    "nnwwn",                                               // start/stop
};
constexpr char CODE11_CHARACTERS[] = "0123456789-";
static_assert(std::size(CODE11_PATTERNS) == 12 && sizeof CODE11_CHARACTERS == 12);
constexpr int START_STOP = 11;
constexpr int ELEMENTS = 5;
// Each character follows an inter-character gap.
constexpr CharacterShape CODE11 = {"Code 11", ELEMENTS, ELEMENTS + 1, START_STOP};
// Data longer than this carries K after C.
constexpr std::size_t ONE_CHECK_MAX = 10;

constexpr auto CODE11_VALUES = reverseTable<32>(CODE11_PATTERNS, patternKey);
static_assert(distinctKeys(CODE11_VALUES, CODE11_PATTERNS));

LineRead readFrom(const Runs& runs, int s, int end, const WidthClasses& c, const LinearReadOptions& o) {
    std::vector<int> values;
    LineRead failure;
    const int stop = readToStop(
        CODE11, s + ELEMENTS + 1, end,
        [&](int i) { return CODE11_VALUES[static_cast<std::size_t>(wideBits(runs, i, ELEMENTS, c))]; }, values,
        failure);
    if (stop < 0)
        return failure;
    std::size_t checks = 0;
    if (o.check)
        checks = values.size() - 1 <= ONE_CHECK_MAX ? 1 : 2;
    if (values.size() <= checks)
        return failed(COMPLETE, "the Code 11 symbol holds no data");
    const std::size_t count = values.size() - checks;
    if (checks == 2 && count <= ONE_CHECK_MAX)
        return failed(COMPLETE, "a Code 11 symbol of " + std::to_string(values.size()) +
                                    " characters fits neither check rule (C alone up to 10 data characters, C and K "
                                    "beyond)");
    LineRead r;
    for (std::size_t k = 0; k < checks; ++k) {
        // C weighs up to 10, K up to 9; both modulo 11.
        const int expected = weightedCheck(values, count + k, k == 0 ? 10 : 9, 11);
        if (values[count + k] != expected)
            return failed(COMPLETE, std::string("the Code 11 check character ") + (k == 0 ? "C" : "K") + " reads '" +
                                        CODE11_CHARACTERS[values[count + k]] + "'; the characters before it give '" +
                                        CODE11_CHARACTERS[expected] + "'");
        r.checkCharacters += CODE11_CHARACTERS[expected];
    }
    for (std::size_t k = 0; k < count; ++k)
        r.data += CODE11_CHARACTERS[values[k]];
    r.found(s, stop + ELEMENTS - 1, c.module());
    return r;
}

}  // namespace

LineRead decodeCode11(const ScanLine& line, const LinearReadOptions& o) {
    const int startKey = patternKey(CODE11_PATTERNS[START_STOP]);
    return eachStart(
        line.runs, ELEMENTS, [&](int key) { return key == startKey; },
        [&](int s, int end, const WidthClasses& c) { return readFrom(line.runs, s, end, c, o); });
}

}  // namespace korvane::detail
