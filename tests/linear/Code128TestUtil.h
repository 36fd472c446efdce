#pragma once
// Reading Code 128 bars back into symbol values, for the Code 128 and EAN-128 tests.

#include "Code128Tables.h"
#include "LinearSymbol.h"

#include <string>
#include <vector>

namespace code128test {

constexpr int STOP = 106;  // stands for the stop pattern in a value list
constexpr int UNKNOWN = -1;

// The symbol values the bars spell, left to right, the stop as STOP. Six
// elements per symbol; a group that matches no pattern reads UNKNOWN, and
// elements left over after the stop make the result end with UNKNOWN.
inline std::vector<int> symbolValues(const LinearSymbol& s) {
    std::string widths;
    for (int i = 0; i < s.barCount; ++i)
        widths += static_cast<char>('0' + s.barWidths[i] / s.narrowBarPixels);
    std::vector<int> values;
    std::size_t pos = 0;
    while (pos < widths.size()) {
        if (widths.compare(pos, std::string::npos, CODE128_STOP) == 0) {
            values.push_back(STOP);
            return values;
        }
        int value = UNKNOWN;
        for (int v = 0; v < static_cast<int>(std::size(code128Patterns)); ++v)
            if (widths.compare(pos, 6, code128Patterns[v]) == 0)
                value = v;
        values.push_back(value);
        if (value == UNKNOWN)
            return values;
        pos += 6;
    }
    values.push_back(UNKNOWN);  // no stop pattern
    return values;
}

// The ISO/IEC 15417 check value: start value plus each data symbol times its position.
inline int standardCheck(const std::vector<int>& startAndData) {
    long long sum = startAndData.empty() ? 0 : startAndData[0];
    for (std::size_t k = 1; k < startAndData.size(); ++k)
        sum += static_cast<long long>(startAndData[k]) * static_cast<long long>(k);
    return static_cast<int>(sum % 103);
}

// Total width in modules: 11 per symbol and 13 for the stop.
inline int moduleCount(const LinearSymbol& s) {
    int total = 0;
    for (int i = 0; i < s.barCount; ++i)
        total += s.barWidths[i];
    return total / s.narrowBarPixels;
}

}  // namespace code128test
