// UK Plessey: bits of a bar and a space (wide bar for 1, wide space for 0)
// between the start 1101 and the stop, hexadecimal digits least significant
// bit first, the last eight bits the cyclic check of the others.

#include "Linear.h"

#include <vector>

namespace korvane::detail {
namespace {

constexpr int START = patternKey("wnwnnwwn");  // bits 1, 1, 0, 1
constexpr int STOP = patternKey("wwnwnnwnw");
constexpr int START_ELEMENTS = 8, STOP_ELEMENTS = 9;
constexpr int POLYNOMIAL[] = {1, 1, 1, 1, 0, 1, 0, 0, 1};
constexpr char HEX[] = "0123456789ABCDEF";

// Four bits, least significant first, as a hexadecimal digit.
char digitOf(const std::vector<int>& bits, std::size_t from) {
    int v = 0;
    for (std::size_t k = 0; k < 4; ++k)
        v |= bits[from + k] << k;
    return HEX[v];
}

LineRead readFrom(const Runs& runs, int s, int end, const WidthClasses& c) {
    const int pairs = end - s - START_ELEMENTS - STOP_ELEMENTS;
    if (pairs < 2 * 12 || pairs % 8 != 0)
        return failed(STARTED, "the Plessey symbol has " + std::to_string(end - s) +
                                   " elements, which make no whole number of digits and check bits");
    const int stop = end - STOP_ELEMENTS;
    if (wideBits(runs, stop, STOP_ELEMENTS, c) != STOP)
        return failed(STARTED, "the Plessey symbol has no stop pattern");
    std::vector<int> bits;
    for (int i = s + START_ELEMENTS; i < stop; i += 2) {
        const bool bar = c.wide(runs, i), space = c.wide(runs, i + 1);
        if (bar == space)
            return failed(COMPLETE, "Plessey bit " + std::to_string(bits.size() + 1) + " has no valid pattern");
        bits.push_back(bar ? 1 : 0);
    }
    const std::size_t dataBits = bits.size() - 8;
    std::vector<int> rest = bits;
    for (std::size_t i = 0; i < dataBits; ++i)
        if (rest[i] != 0)
            for (std::size_t j = 0; j < 9; ++j)
                rest[i + j] ^= POLYNOMIAL[j];
    for (std::size_t i = dataBits; i < rest.size(); ++i)
        if (rest[i] != 0)
            return failed(COMPLETE, "the Plessey check bits do not match the data");
    LineRead r;
    for (std::size_t i = 0; i < dataBits; i += 4)
        r.data += digitOf(bits, i);
    r.checkCharacters = std::string{digitOf(bits, dataBits), digitOf(bits, dataBits + 4)};
    r.found(s, end - 1, c.module());
    return r;
}

}  // namespace

LineRead decodePlessey(const ScanLine& line) {
    return eachStart(
        line.runs, START_ELEMENTS, [](int key) { return key == START; },
        [&](int start, int end, const WidthClasses& c) { return readFrom(line.runs, start, end, c); });
}

}  // namespace korvane::detail
