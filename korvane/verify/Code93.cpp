// Code 93 and its full-ASCII form (AIM Uniform Symbology Specification Code 93).

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

constexpr auto CODE93_VALUES = reverseTable<4096>(CODE93_PATTERNS, moduleKey);
static_assert(distinctKeys(CODE93_VALUES, CODE93_PATTERNS));

int valueAt(const Runs& runs, int i, double gain) {
    int m[ELEMENTS];
    if (!moduleWidths(runs, i, ELEMENTS, MODULES, gain, 4, m))
        return -1;
    return CODE93_VALUES[static_cast<std::size_t>(moduleKey(m, ELEMENTS))];
}

// Check character: the values weighted 1, 2, ... `maxWeight`, 1, ... from the right, modulo 47.
int checkValue(const std::vector<int>& values, std::size_t count, int maxWeight) {
    int sum = 0, weight = 1;
    for (std::size_t k = count; k-- > 0;) {
        sum += values[k] * weight;
        weight = weight == maxWeight ? 1 : weight + 1;
    }
    return sum % 47;
}

std::string nameOf(int v) {
    return v < SHIFTS ? std::string(1, CODE93_CHARACTERS[v]) : std::string("(") + SHIFT_NAMES[v - SHIFTS] + ")";
}

LineRead readFrom(const Runs& runs, int s, double gain, bool extended) {
    const int n = static_cast<int>(runs.size());
    std::vector<int> values;
    int i = s + ELEMENTS;
    for (;; i += ELEMENTS) {
        if (i + ELEMENTS + 1 >= n)
            return failed(STARTED, "no Code 93 stop character after " + std::to_string(values.size()) + " characters");
        const int v = valueAt(runs, i, gain);
        if (v < 0)
            return failed(STARTED, "Code 93 symbol character " + std::to_string(values.size() + 1) +
                                       " has no valid pattern");
        if (v == START_STOP)
            break;
        values.push_back(v);
    }
    // The stop character ends with a one-module termination bar.
    const int bar = i + ELEMENTS;
    double span = 0;
    for (int k = s; k < bar; ++k)
        span += runs[static_cast<std::size_t>(k)];
    const double x = span / (MODULES * (static_cast<double>(values.size()) + 2));
    const double termination = (runs[static_cast<std::size_t>(bar)] - gain) / x;
    if (termination < 0.5 || termination > 1.5)
        return failed(STARTED, "the Code 93 stop character has no termination bar");
    if (values.size() < 3)
        return failed(COMPLETE, "the Code 93 symbol holds no data");

    const std::size_t count = values.size() - 2;
    const int c = checkValue(values, count, 20);
    if (values[count] != c)
        return failed(COMPLETE, "the Code 93 check character C reads " + nameOf(values[count]) +
                                    "; the data before it gives " + nameOf(c));
    const int k = checkValue(values, count + 1, 15);
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
    r.progress = DECODED;
    r.firstBar = s;
    r.lastBar = bar;
    r.module = x;
    return r;
}

}  // namespace

LineRead decodeCode93(const ScanLine& line, bool extended) {
    const Runs& runs = line.runs;
    LineRead best;
    const int n = static_cast<int>(runs.size());
    for (int s = 1; s + ELEMENTS < n; s += 2) {
        double span = 0;
        for (int k = 0; k < ELEMENTS; ++k)
            span += runs[static_cast<std::size_t>(s + k)];
        // Wider than any element (four modules), narrower than the quiet zone.
        if (!mayStart(runs, s, 5 * span / MODULES))
            continue;
        const double gain = printGain(runs, s, START_WIDTHS, ELEMENTS);
        if (valueAt(runs, s, gain) != START_STOP)
            continue;
        keepBetter(best, readFrom(runs, s, gain, extended));
        if (best.progress == DECODED)
            break;
    }
    return best;
}

}  // namespace korvane::detail
