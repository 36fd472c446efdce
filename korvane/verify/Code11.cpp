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
// Data longer than this carries K after C.
constexpr std::size_t ONE_CHECK_MAX = 10;

constexpr auto CODE11_VALUES = reverseTable<32>(CODE11_PATTERNS, patternKey);
static_assert(distinctKeys(CODE11_VALUES, CODE11_PATTERNS));

// Weights 1, 2, ... `maxWeight`, 1, ... from the right, modulo 11.
int checkValue(const std::vector<int>& values, std::size_t count, int maxWeight) {
    int sum = 0, weight = 1;
    for (std::size_t k = count; k-- > 0;) {
        sum += values[k] * weight;
        weight = weight == maxWeight ? 1 : weight + 1;
    }
    return sum % 11;
}

LineRead readFrom(const Runs& runs, int s, int end, const WidthClasses& c, const LinearReadOptions& o) {
    std::vector<int> values;
    int i = s + ELEMENTS + 1;
    for (;; i += ELEMENTS + 1) {
        if (i + ELEMENTS > end)
            return failed(STARTED, "no Code 11 stop character after " + std::to_string(values.size()) + " characters");
        const int v = CODE11_VALUES[static_cast<std::size_t>(wideBits(runs, i, ELEMENTS, c))];
        if (v < 0)
            return failed(STARTED, "Code 11 symbol character " + std::to_string(values.size() + 1) +
                                       " has no valid pattern");
        if (v == START_STOP)
            break;
        values.push_back(v);
    }
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
        const int expected = checkValue(values, count + k, k == 0 ? 10 : 9);
        if (values[count + k] != expected)
            return failed(COMPLETE, std::string("the Code 11 check character ") + (k == 0 ? "C" : "K") + " reads '" +
                                        CODE11_CHARACTERS[values[count + k]] + "'; the characters before it give '" +
                                        CODE11_CHARACTERS[expected] + "'");
        r.checkCharacters += CODE11_CHARACTERS[expected];
    }
    for (std::size_t k = 0; k < count; ++k)
        r.data += CODE11_CHARACTERS[values[k]];
    r.progress = DECODED;
    r.firstBar = s;
    r.lastBar = i + ELEMENTS - 1;
    r.module = c.module();
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
