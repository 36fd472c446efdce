// Code 128 of Latin-1 text through FNC4 (ISO/IEC 15417), as a shortest path:
// a cost table over (position, code set, extended latch) filled left to
// right, a back-pointer per cell, one traceback that emits the values.

#include "Code128Latin1.h"

#include <array>
#include <cstdint>

namespace korvane::detail {
namespace {

// ISO/IEC 15417 symbol values with a meaning of their own.
constexpr int SHIFT = 98;
constexpr int CODE_C = 99;
constexpr int CODE_B = 100;  // FNC4 in code set B
constexpr int CODE_A = 101;  // FNC4 in code set A
constexpr int START_A = 103;

enum Set : int { A, B, C };

// Where the encoder stands between two characters of the data: its code set,
// and whether a pair of FNC4 has made the data characters extended (+128).
struct State {
    Set set;
    bool latched;
    int index() const { return set * 2 + (latched ? 1 : 0); }
    static State of(int index) { return {static_cast<Set>(index / 2), index % 2 == 1}; }
};
constexpr int STATES = 6;

// Fewest FNC4 characters first, then fewest symbol characters.
struct Cost {
    int fnc4 = 0;
    int length = 0;
    bool operator<(const Cost& o) const { return fnc4 != o.fnc4 ? fnc4 < o.fnc4 : length < o.length; }
    Cost plus(int moreFnc4, int moreLength) const { return {fnc4 + moreFnc4, length + moreLength}; }
};

enum class Step : std::uint8_t {
    Start,     // the start character of the state's set
    Change,    // CODE A, B or C
    Latch,     // FNC4 twice: extended characters on or off
    Char,      // one character as it is in the set
    Fnc4Char,  // FNC4, then one character with its high bit the other way
    ShiftChar, // SHIFT, then one character of the other of sets A and B
    Pair,      // two digits in set C
};

struct Cell {
    bool reached = false;
    Cost cost;
    int fromPosition = -1;
    int fromState = -1;
    Step step = Step::Start;
};

bool inSet(Set s, unsigned char base) { return s == A ? base < 96 : s == B ? base >= 32 && base < 128 : false; }

int charValue(Set s, unsigned char base) { return s == A && base < 32 ? base + 64 : base - 32; }

bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

Set otherOfAB(Set s) { return s == A ? B : A; }

// Fills the table: cells[i][state] is the cheapest way to have encoded
// latin1[0, i) and stand in `state`.
std::vector<std::array<Cell, STATES>> fillCosts(std::string_view latin1, char start) {
    const std::size_t n = latin1.size();
    std::vector<std::array<Cell, STATES>> cells(n + 1);
    const auto relax = [&](std::size_t at, State to, Cost cost, std::size_t from, int fromState, Step step) {
        Cell& c = cells[at][static_cast<std::size_t>(to.index())];
        if (c.reached && !(cost < c.cost))
            return false;
        c = {true, cost, static_cast<int>(from), fromState, step};
        return true;
    };
    for (Set s : {A, B, C})
        if (start == 0 || start == 'A' + s)
            relax(0, {s, false}, {0, 1}, 0, -1, Step::Start);

    for (std::size_t i = 0; i <= n; ++i) {
        // Moves that take no data: six states and positive costs settle within six rounds.
        for (int round = 0, changed = 1; changed && round < STATES; ++round) {
            changed = 0;
            for (int k = 0; k < STATES; ++k) {
                const Cell here = cells[i][static_cast<std::size_t>(k)];
                if (!here.reached)
                    continue;
                const State s = State::of(k);
                for (Set to : {A, B, C})
                    if (to != s.set)
                        changed |= relax(i, {to, s.latched}, here.cost.plus(0, 1), i, k, Step::Change);
                if (s.set != C)
                    changed |= relax(i, {s.set, !s.latched}, here.cost.plus(2, 2), i, k, Step::Latch);
            }
        }
        if (i == n)
            break;
        const auto byte = static_cast<unsigned char>(latin1[i]);
        const auto base = static_cast<unsigned char>(byte & 0x7F);
        const bool extended = byte >= 128;
        for (int k = 0; k < STATES; ++k) {
            const Cell here = cells[i][static_cast<std::size_t>(k)];
            if (!here.reached)
                continue;
            const State s = State::of(k);
            if (s.set == C) {
                if (i + 1 < n && isDigit(byte) && isDigit(static_cast<unsigned char>(latin1[i + 1])))
                    relax(i + 2, s, here.cost.plus(0, 1), i, k, Step::Pair);
                continue;
            }
            if (inSet(s.set, base)) {
                if (extended == s.latched)
                    relax(i + 1, s, here.cost.plus(0, 1), i, k, Step::Char);
                else
                    relax(i + 1, s, here.cost.plus(1, 2), i, k, Step::Fnc4Char);
            } else if (extended == s.latched) {
                relax(i + 1, s, here.cost.plus(0, 2), i, k, Step::ShiftChar);
            }
        }
    }
    return cells;
}

}  // namespace

Latin1Text latin1Text(std::string_view data) {
    Latin1Text out;
    std::string decoded;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < data.size(); ++characters) {
        const auto b = static_cast<unsigned char>(data[i]);
        const std::size_t length = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        if (length == 0 || i + length > data.size()) {
            out.bytes = std::string(data);  // no UTF-8: bytes as they are
            out.refused = std::string::npos;
            return out;
        }
        unsigned long cp = length == 1 ? b : b & (0x7Fu >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto c = static_cast<unsigned char>(data[i + k]);
            if ((c & 0xC0) != 0x80) {
                out.bytes = std::string(data);
                out.refused = std::string::npos;
                return out;
            }
            cp = cp << 6 | (c & 0x3F);
        }
        constexpr unsigned long SMALLEST[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < SMALLEST[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.bytes = std::string(data);
            out.refused = std::string::npos;
            return out;
        }
        if (cp > 0xFF && out.refused == std::string::npos) {
            out.refused = characters;
            out.refusedAt = i;
            out.refusedLength = length;
            out.codePoint = cp;
        }
        decoded += static_cast<char>(cp & 0xFF);
        i += length;
    }
    out.bytes = std::move(decoded);
    return out;
}

std::vector<int> code128Values(std::string_view latin1, char start) {
    const std::vector<std::array<Cell, STATES>> cells = fillCosts(latin1, start);
    const std::size_t n = latin1.size();
    int best = -1;
    for (int k = 0; k < STATES; ++k)
        if (cells[n][static_cast<std::size_t>(k)].reached &&
            (best < 0 || cells[n][static_cast<std::size_t>(k)].cost < cells[n][static_cast<std::size_t>(best)].cost))
            best = k;
    if (best < 0)
        return {};

    // The traceback, then the values of each step from the start on.
    std::vector<std::pair<std::size_t, int>> path;  // (position, state) after each step
    for (std::size_t at = n; best >= 0;) {
        path.emplace_back(at, best);
        const Cell& c = cells[at][static_cast<std::size_t>(best)];
        at = static_cast<std::size_t>(std::max(c.fromPosition, 0));
        best = c.fromState;
    }
    std::vector<int> values;
    for (auto p = path.rbegin(); p != path.rend(); ++p) {
        const Cell& c = cells[p->first][static_cast<std::size_t>(p->second)];
        const State to = State::of(p->second);
        const Set from = c.fromState < 0 ? to.set : State::of(c.fromState).set;
        const std::size_t i = static_cast<std::size_t>(std::max(c.fromPosition, 0));
        const auto base = static_cast<unsigned char>(i < n ? latin1[i] & 0x7F : 0);
        const int fnc4 = from == A ? CODE_A : CODE_B;
        switch (c.step) {
        case Step::Start: values.push_back(START_A + to.set); break;
        case Step::Change: values.push_back(to.set == A ? CODE_A : to.set == B ? CODE_B : CODE_C); break;
        case Step::Latch: values.insert(values.end(), {fnc4, fnc4}); break;
        case Step::Char: values.push_back(charValue(from, base)); break;
        case Step::Fnc4Char: values.insert(values.end(), {fnc4, charValue(from, base)}); break;
        case Step::ShiftChar: values.insert(values.end(), {SHIFT, charValue(otherOfAB(from), base)}); break;
        case Step::Pair: values.push_back((latin1[i] - '0') * 10 + (latin1[i + 1] - '0')); break;
        }
    }
    return values;
}

}  // namespace korvane::detail
