// Codabar: digits and - $ : / . + between the start and stop characters A-D,
// with the optional modulo-16 check character before the stop.

#include "Linear.h"

#include <iterator>

namespace korvane::detail {
namespace {

// Bar, space, ... seven elements; the row is the character's value in the
// check sum. Rows 16-19 are the start and stop characters A, B, C and D.
constexpr const char* CODABAR_PATTERNS[] = {
    "nnnnnww", "nnnnwwn", "nnnwnnw", "wwnnnnn", "nnwnnwn",  // 0-4
    "wnnnnwn", "nwnnnnw", "nwnnwnn", "nwwnnnn", "wnnwnnn",  // 5-9
    "nnnwwnn", "nnwwnnn", "wnnnwnw", "wnwnnnw", "wnwnwnn",  // - $ : / .
    "nnwnwnw",                                              // +
    "nnwwnwn", "nwnwnnw", "nnnwnww", "nnnwwwn",             // A B C D
};
constexpr char CODABAR_CHARACTERS[] = "0123456789-$:/.+ABCD";
static_assert(std::size(CODABAR_PATTERNS) == 20 && sizeof CODABAR_CHARACTERS == 21);
constexpr int FIRST_START_STOP = 16;
constexpr int ELEMENTS = 7;
// Each character follows an inter-character gap; any of A-D stops.
constexpr CharacterShape CODABAR = {"Codabar", ELEMENTS, ELEMENTS + 1, FIRST_START_STOP};

constexpr auto CODABAR_VALUES = reverseTable<128>(CODABAR_PATTERNS, patternKey);
static_assert(distinctKeys(CODABAR_VALUES, CODABAR_PATTERNS));

int valueOfKey(int key) { return CODABAR_VALUES[static_cast<std::size_t>(key)]; }

LineRead readFrom(const Runs& runs, int s, int end, const WidthClasses& c, const LinearReadOptions& o) {
    std::vector<int> values;
    LineRead failure;
    const int stop = readToStop(
        CODABAR, s + ELEMENTS + 1, end, [&](int i) { return valueOfKey(wideBits(runs, i, ELEMENTS, c)); }, values,
        failure);
    if (stop < 0)
        return failure;
    const std::size_t checks = o.check ? 1 : 0;
    if (values.size() <= checks)
        return failed(COMPLETE, "the Codabar symbol holds no data");
    LineRead r;
    if (o.check) {
        // The check character makes the sum of all values, start and stop
        // included, a multiple of 16.
        int sum = valueOfKey(wideBits(runs, s, ELEMENTS, c)) + valueOfKey(wideBits(runs, stop, ELEMENTS, c));
        for (std::size_t k = 0; k + 1 < values.size(); ++k)
            sum += values[k];
        const int expected = (16 - sum % 16) % 16;
        if (values.back() != expected)
            return failed(COMPLETE, std::string("the Codabar check character reads '") +
                                        CODABAR_CHARACTERS[values.back()] + "'; the other characters give '" +
                                        CODABAR_CHARACTERS[expected] + "'");
        r.checkCharacters = std::string(1, CODABAR_CHARACTERS[expected]);
        values.pop_back();
    }
    for (int v : values)
        r.data += CODABAR_CHARACTERS[v];
    r.found(s, stop + ELEMENTS - 1, c.module());
    return r;
}

}  // namespace

LineRead decodeCodabar(const ScanLine& line, const LinearReadOptions& o) {
    return eachStart(
        line.runs, ELEMENTS, [](int key) { return valueOfKey(key) >= FIRST_START_STOP; },
        [&](int s, int end, const WidthClasses& c) { return readFrom(line.runs, s, end, c, o); });
}

}  // namespace korvane::detail
