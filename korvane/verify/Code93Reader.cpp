// Code 93 and its full-ASCII form, as AIM publishes them.

#include "Linear.h"

#include <iterator>

namespace korvane::detail {
namespace {

// The symbol characters as module widths of bar, space, bar, space, bar,
// space (nine modules); the row is the character's value in the check sums.
// Rows 43-46 are the shift characters ($), (%), (/) and (+); row 47 is the
// start and stop character.
constexpr const char* CODE93_PATTERNS[] = {
    "131112", "111213", "111312", "111411", "121113", "121212", "121311", "111114", "131211", "141111",  // 0-9
    "211113", "211212", "211311", "221112", "221211", "231111", "112113", "112212", "112311", "122112",  // A-J
    "132111", "111123", "111222", "111321", "121122", "131121", "212112", "212211", "211122", "211221",  // K-T
    "221121", "222111", "112122", "112221", "122121", "123111",                                          // U-Z
    "121131", "311112", "311211", "321111", "112131", "113121", "211131",                                // - . sp $ / + %
    "121221", "312111", "311121", "122211",                                                              // shifts
    "111141",                                                                                            // start/stop
};
constexpr char CODE93_CHARACTERS[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
static_assert(std::size(CODE93_PATTERNS) == 48 && sizeof CODE93_CHARACTERS == 44);
constexpr int SHIFTS = 43;
constexpr int START_STOP = 47;
constexpr char SHIFT_NAMES[] = "$%/+";  // the full-ASCII table's names for rows 43-46
constexpr int ELEMENTS = 6;
constexpr int MODULES = 9;
constexpr int START_WIDTHS[ELEMENTS] = {1, 1, 1, 1, 4, 1};
constexpr CharacterShape CODE93 = {"Code 93", ELEMENTS, ELEMENTS, START_STOP};

constexpr auto CODE93_VALUES = reverseTable<4096>(CODE93_PATTERNS, moduleKey);
static_assert(distinctKeys(CODE93_VALUES, CODE93_PATTERNS));

int valueAt(const Runs& runs, int i, double gain) {
    const int key = moduleKeyAt(runs, i, ELEMENTS, MODULES, gain);
    return key < 0 ? -1 : CODE93_VALUES[static_cast<std::size_t>(key)];
}

std::string nameOf(int v) {
    return v < SHIFTS ? std::string(1, CODE93_CHARACTERS[v]) : std::string("(") + SHIFT_NAMES[v - SHIFTS] + ")";
}

LineRead readFrom(const Runs& runs, int s, double gain, bool extended) {
    const int n = static_cast<int>(runs.size());
    std::vector<int> values;
    LineRead failure;
    // The stop character ends with a one-module termination bar, which needs a run after it.
    const int stop = readToStop(
        CODE93, s + ELEMENTS, n - 2, [&](int i) { return valueAt(runs, i, gain); }, values, failure);
    if (stop < 0)
        return failure;
    const int bar = stop + ELEMENTS;
    double x = 0;  // measured over the start, the characters and the stop
    if (!terminationBar(runs, s, bar, MODULES * (static_cast<double>(values.size()) + 2), 1, gain, x))
        return failed(STARTED, "the Code 93 stop character has no termination bar");
    if (values.size() < 3)
        return failed(COMPLETE, "the Code 93 symbol holds no data");

    const std::size_t count = values.size() - 2;
    // C weighs up to 20, K up to 15; both modulo 47.
    const int c = weightedCheck(values, count, 20, 47);
    if (values[count] != c)
        return failed(COMPLETE, "the Code 93 check character C reads " + nameOf(values[count]) +
                                    "; the data before it gives " + nameOf(c));
    const int k = weightedCheck(values, count + 1, 15, 47);
    if (values[count + 1] != k)
        return failed(COMPLETE, "the Code 93 check character K reads " + nameOf(values[count + 1]) +
                                    "; the data and C give " + nameOf(k));

    LineRead r;
    r.checkCharacters = nameOf(c) + nameOf(k);
    for (std::size_t j = 0; j < count; ++j) {
        const int v = values[j];
        if (v < SHIFTS) {
            r.data += CODE93_CHARACTERS[v];
            continue;
        }
        const int byte = extended && j + 1 < count && values[j + 1] < SHIFTS
                             ? fullAsciiByte(SHIFT_NAMES[v - SHIFTS], CODE93_CHARACTERS[values[j + 1]])
                             : -1;
        if (byte < 0)
            return failed(COMPLETE, "Code 93 character " + std::to_string(j + 1) + " is the shift " + nameOf(v) +
                                        (extended ? " without a letter it can shift" : " in plain Code 93"));
        r.data += static_cast<char>(byte);
        ++j;
    }
    r.found(s, bar, x);
    return r;
}

}  // namespace

LineRead decodeCode93(const ScanLine& line, bool extended) {
    const Runs& runs = line.runs;
    return eachModuleStart(runs, ELEMENTS, MODULES, [&](int s) {
        const double gain = printGain(runs, s, START_WIDTHS, ELEMENTS);
        return valueAt(runs, s, gain) == START_STOP ? readFrom(runs, s, gain, extended) : LineRead{};
    });
}

}  // namespace korvane::detail
