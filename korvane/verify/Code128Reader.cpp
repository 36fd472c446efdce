// Code 128 (ISO/IEC 15417) and GS1-128: code sets A, B and C, shifts, the
// function characters and the modulo-103 check character.

#include "Linear.h"

#include <iterator>

namespace korvane::detail {
namespace {

// ISO/IEC 15417 symbol characters as module widths of bar, space, bar, space,
// bar, space (eleven modules); the row is the value. Rows 103-105 are Start A,
// B and C; row 106 is the stop character without its final two-module bar.
constexpr const char* CODE128_PATTERNS[] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212", "221213",  //   0
    "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221", "223211", "221132",  //  10
    "221231", "213212", "223112", "312131", "311222", "321122", "321221", "312212", "322112", "322211",  //  20
    "212123", "212321", "232121", "111323", "131123", "131321", "112313", "132113", "132311", "211313",  //  30
    "231113", "231311", "112133", "112331", "132131", "113123", "113321", "133121", "313121", "211331",  //  40
    "231131", "213113", "213311", "213131", "311123", "311321", "331121", "312113", "312311", "332111",  //  50
    "314111", "221411", "431111", "111224", "111422", "121124", "121421", "141122", "141221", "112214",  //  60
    "112412", "122114", "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111",  //  70
    "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",  //  80
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311", "113141",  //  90
    "114131", "311141", "411131", "211412", "211214", "211232", "233111",                                // 100
};
static_assert(std::size(CODE128_PATTERNS) == 107);
constexpr auto CODE128_VALUES = reverseTable<4096>(CODE128_PATTERNS, moduleKey);
static_assert(distinctKeys(CODE128_VALUES, CODE128_PATTERNS));

constexpr int ELEMENTS = 6;
constexpr int MODULES = 11;
constexpr int START_A = 103, START_C = 105, STOP = 106;
// Values with a meaning of their own.
constexpr int FNC3 = 96, FNC2 = 97, SHIFT = 98, CODE_C = 99, CODE_B = 100, CODE_A = 101, FNC1 = 102;
constexpr CharacterShape CODE128 = {"Code 128", ELEMENTS, ELEMENTS, STOP};

int valueAt(const Runs& runs, int i, double gain) {
    const int key = moduleKeyAt(runs, i, ELEMENTS, MODULES, gain);
    return key < 0 ? -1 : CODE128_VALUES[static_cast<std::size_t>(key)];
}

// The message of the values between start and check character.
LineRead interpret(int start, const std::vector<int>& values) {
    LineRead r;
    char set = static_cast<char>('A' + (start - START_A));
    bool shifted = false;       // the next character only is in the other of sets A and B
    bool fnc4 = false;          // the next character only is extended ASCII
    bool fnc4Latched = false;   // extended ASCII until the next pair of FNC4
    for (std::size_t k = 0; k < values.size(); ++k) {
        const int v = values[k];
        char current = set;
        if (shifted)
            current = set == 'A' ? 'B' : 'A';
        shifted = false;
        if (current == 'C') {
            if (v < 100) {
                r.data += static_cast<char>('0' + v / 10);
                r.data += static_cast<char>('0' + v % 10);
            } else if (v == CODE_B || v == CODE_A) {
                set = v == CODE_B ? 'B' : 'A';
            } else if (v == FNC1) {
                if (k == 0)
                    r.gs1 = true;
                else
                    r.data += '\x1D';
            } else {
                return failed(COMPLETE, "Code 128 value " + std::to_string(v) + " has no meaning in code set C");
            }
            continue;
        }
        if (v < 96) {
            // Set A: space to underscore, then the control characters; set B: space to DEL.
            int byte = current == 'A' && v >= 64 ? v - 64 : v + 32;
            if (fnc4 != fnc4Latched)
                byte += 128;
            fnc4 = false;
            r.data += static_cast<char>(byte);
            continue;
        }
        const bool isFnc4 = (current == 'A' && v == CODE_A) || (current == 'B' && v == CODE_B);
        if (isFnc4) {
            if (fnc4 && k > 0 && values[k - 1] == v) {
                fnc4Latched = !fnc4Latched;  // a pair of FNC4 switches extended ASCII on or off
                fnc4 = false;
            } else {
                fnc4 = true;
            }
            continue;
        }
        switch (v) {
        case FNC1:
            if (k == 0)
                r.gs1 = true;
            else
                r.data += '\x1D';
            break;
        case FNC2:  // message append and reader programming carry no data
        case FNC3: break;
        case SHIFT: shifted = true; break;
        case CODE_C: set = 'C'; break;
        case CODE_B: set = 'B'; break;
        case CODE_A: set = 'A'; break;
        default: return failed(COMPLETE, "Code 128 value " + std::to_string(v) + " has no meaning here");
        }
    }
    r.progress = DECODED;
    return r;
}

LineRead readFrom(const Runs& runs, int s, double gain) {
    const int n = static_cast<int>(runs.size());
    const int start = valueAt(runs, s, gain);
    std::vector<int> values;
    LineRead failure;
    // A start character has no place inside a symbol. The stop character ends
    // with a two-module bar, which needs a run after it.
    const int stop = readToStop(
        CODE128, s + ELEMENTS, n - 2,
        [&](int i) {
            const int v = valueAt(runs, i, gain);
            return v >= START_A && v <= START_C ? -1 : v;
        },
        values, failure);
    if (stop < 0)
        return failure;
    const int bar = stop + ELEMENTS;
    double x = 0;  // measured over the start, the characters and the stop
    if (!terminationBar(runs, s, bar, MODULES * (static_cast<double>(values.size()) + 2), 2, gain, x))
        return failed(STARTED, "the Code 128 stop character has no two-module termination bar");
    if (values.size() < 2)
        return failed(COMPLETE, "the Code 128 symbol holds no data");

    long sum = start;
    for (std::size_t k = 0; k + 1 < values.size(); ++k)
        sum += static_cast<long>(values[k]) * static_cast<long>(k + 1);
    const int expected = static_cast<int>(sum % 103);
    if (values.back() != expected)
        return failed(COMPLETE, "the Code 128 check character has value " + std::to_string(values.back()) +
                                    "; the characters before it give " + std::to_string(expected));
    values.pop_back();
    LineRead r = interpret(start, values);
    if (r.progress != DECODED)
        return r;
    r.found(s, bar, x);
    return r;
}

}  // namespace

LineRead decodeCode128(const ScanLine& line) {
    const Runs& runs = line.runs;
    return eachModuleStart(runs, ELEMENTS, MODULES, [&](int s) {
        // Print gain as if this were Start A, B or C.
        for (int start = START_A; start <= START_C; ++start) {
            int widths[ELEMENTS];
            for (int k = 0; k < ELEMENTS; ++k)
                widths[k] = CODE128_PATTERNS[start][k] - '0';
            const double gain = printGain(runs, s, widths, ELEMENTS);
            if (valueAt(runs, s, gain) == start)
                return readFrom(runs, s, gain);
        }
        return LineRead{};
    });
}

}  // namespace korvane::detail
