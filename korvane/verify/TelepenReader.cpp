// Telepen and Telepen numeric: the bars and spaces back to bits (narrow bar
// and space 1; wide bar, narrow space 00; wide bar and space 010; a narrow
// bar and wide space opens 01 and the next one closes 10), eight bits a
// character with even parity, between the start '_' and the stop 'z', and
// the check character that makes the sum a multiple of 127.

#include "Linear.h"

#include <vector>

namespace korvane::detail {
namespace {

constexpr int START_ELEMENTS = 12;                           // '_': five 1s, then 010
constexpr int START_KEY = patternKey("nnnnnnnnnnww");

std::string position(std::size_t k) { return std::to_string(k + 1); }

// The bits of runs [s, end), or why they are none.
std::string bitsOf(const Runs& runs, int s, int end, const WidthClasses& c, std::vector<int>& bits) {
    bool open = false;
    for (int i = s; i < end; i += 2) {
        const bool wideBar = c.wide(runs, i);
        const bool wideSpace = i + 1 < end && c.wide(runs, i + 1);
        if (!wideBar && !wideSpace) {
            bits.push_back(1);
        } else if (!wideBar) {
            bits.insert(bits.end(), {open ? 1 : 0, open ? 0 : 1});
            open = !open;
        } else if (open) {
            return "a wide bar inside a run of 1s";
        } else if (wideSpace) {
            bits.insert(bits.end(), {0, 1, 0});
        } else {
            bits.insert(bits.end(), {0, 0});
        }
    }
    return open ? "a run of 1s that does not close" : "";
}

LineRead readFrom(const Runs& runs, int s, int end, const WidthClasses& c, bool numeric) {
    std::vector<int> bits;
    if (const std::string why = bitsOf(runs, s, end, c, bits); !why.empty())
        return failed(STARTED, "the Telepen symbol has " + why);
    if (bits.size() % 8 != 0 || bits.size() < 32)
        return failed(STARTED, "the Telepen symbol's bits make no whole number of characters");
    std::vector<int> values;
    for (std::size_t k = 0; k < bits.size(); k += 8) {
        int v = 0, ones = 0;
        for (std::size_t b = 0; b < 8; ++b) {
            v |= bits[k + b] << b;
            ones += bits[k + b];
        }
        if (ones % 2 != 0)
            return failed(COMPLETE, "Telepen character " + position(k / 8) + " fails its parity");
        values.push_back(v & 127);
    }
    if (values.front() != '_' || values.back() != 'z')
        return failed(STARTED, "the Telepen symbol does not run from start '_' to stop 'z'");
    int sum = 0;
    for (std::size_t k = 1; k + 1 < values.size(); ++k)
        sum += values[k];
    if (sum % 127 != 0)
        return failed(COMPLETE, "the Telepen check character does not make the sum a multiple of 127");
    LineRead r;
    for (std::size_t k = 1; k + 2 < values.size(); ++k) {
        const int v = values[k];
        if (!numeric) {
            r.data += static_cast<char>(v);
        } else if (v >= 27) {
            r.data += std::to_string(v - 27 + 100).substr(1);
        } else if (v >= 17) {
            r.data += static_cast<char>('0' + v - 17);
            r.data += 'X';
        } else {
            return failed(COMPLETE, "Telepen numeric character " + position(k) + " holds no digits");
        }
    }
    r.found(s, end - 1, c.module());
    return r;
}

}  // namespace

LineRead decodeTelepen(const ScanLine& line, Symbology s) {
    return eachStart(
        line.runs, START_ELEMENTS, [](int key) { return key == START_KEY; },
        [&](int start, int end, const WidthClasses& c) {
            return readFrom(line.runs, start, end, c, s == Symbology::TelepenNumeric);
        });
}

}  // namespace korvane::detail
