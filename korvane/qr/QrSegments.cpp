// The segmentation of QR Code data into modes: the shortest path over
// (unit, mode, partial group), filled left to right with a back-pointer per
// cell and traced back once.

#include "Qr.h"

#include <array>
#include <cassert>
#include <climits>
#include <cstddef>

namespace korvane::qr::detail {
namespace {

// A state of the path: the mode of the open segment and how many characters
// of its last group are filled (digits mod 3, alphanumerics mod 2), or no open
// segment at all (at the start, and after an ECI designator).
struct State {
    int mode;     // a Mode, or NONE
    int partial;  // 0-2 in numeric, 0-1 in alphanumeric, 0 otherwise
};
constexpr int NONE = 4;
constexpr State STATES[] = {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {2, 0}, {3, 0}, {NONE, 0}};
constexpr int STATE_COUNT = static_cast<int>(std::size(STATES));
constexpr int START = STATE_COUNT - 1;

constexpr int stateIndex(int mode, int partial) {
    for (int s = 0; s < STATE_COUNT; ++s)
        if (STATES[s].mode == mode && STATES[s].partial == partial)
            return s;
    return -1;
}
static_assert(stateIndex(NONE, 0) == START);

// ISO/IEC 18004 Table 3: character-count bits by mode (numeric, alphanumeric,
// byte, Kanji) and version range (1-9, 10-26, 27-40).
constexpr int COUNT_BITS[3][4] = {{10, 9, 8, 8}, {12, 11, 16, 10}, {14, 13, 16, 12}};

// Bits a character adds to a segment when `partial` characters of its group
// are already there: three digits take 10 bits (4 + 3 + 3), two
// alphanumerics 11 (6 + 5), so the sum over a segment is exact.
constexpr int NUMERIC_STEP[3] = {4, 3, 3};
constexpr int ALNUM_STEP[2] = {6, 5};

struct Step {
    int bits;
    int state;
};

// Appends unit `u` to the segment of state `s` when it is of mode `mode`.
Step extend(const Unit& u, int mode, int partial) {
    switch (mode) {
    case 0: return {NUMERIC_STEP[partial], stateIndex(0, (partial + 1) % 3)};
    case 1: {
        int bits = ALNUM_STEP[partial];
        int p = (partial + 1) % 2;
        if (u.alnum == 2) {
            bits += ALNUM_STEP[p];
            p = (p + 1) % 2;
        }
        return {bits, stateIndex(1, p)};
    }
    case 2: return {8 * u.bytes, stateIndex(2, 0)};
    default: return {13, stateIndex(3, 0)};
    }
}

}  // namespace

int versionRange(int version) { return version <= 9 ? 0 : version <= 26 ? 1 : 2; }

int countBits(Mode mode, int range) { return COUNT_BITS[range][static_cast<int>(mode)]; }

Header qrHeader(int range) {
    Header h;
    for (int m = 0; m < 4; ++m)
        h.countBits[m] = static_cast<std::uint8_t>(COUNT_BITS[range][m]);
    return h;
}

Path shortestPath(const std::vector<Unit>& units, int range) { return shortestPath(units, qrHeader(range)); }

Path shortestPath(const std::vector<Unit>& units, const Header& header) {
    const std::size_t n = units.size();
    constexpr int INF = INT_MAX / 4;
    // cost[i][s]: fewest bits for the first i units ending in state s; from[i][s]
    // the state before unit i - 1 on that path.
    std::vector<std::array<int, STATE_COUNT>> cost(n + 1);
    std::vector<std::array<std::int8_t, STATE_COUNT>> from(n + 1);
    std::vector<std::int8_t> eciFrom(n, START);  // the state an ECI designator before unit i closed
    std::uint8_t allowed = 0;  // the modes the symbol has
    for (int m = 0; m < 4; ++m)
        if (header.countBits[m] != 0)
            allowed |= static_cast<std::uint8_t>(1 << m);
    cost[0].fill(INF);
    cost[0][START] = 0;

    for (std::size_t i = 0; i < n; ++i) {
        const Unit& u = units[i];
        std::array<int, STATE_COUNT> here = cost[i];
        if (u.eciBefore) {
            // The designator closes the open segment (its own bits are the
            // caller's): the path goes on from the cheapest state here.
            int best = START;
            for (int s = 0; s < STATE_COUNT; ++s)
                if (here[s] < here[best])
                    best = s;
            eciFrom[i] = static_cast<std::int8_t>(best);
            const int bits = here[best];
            here.fill(INF);
            here[START] = bits;
        }
        std::array<int, STATE_COUNT>& next = cost[i + 1];
        next.fill(INF);
        for (int s = 0; s < STATE_COUNT; ++s) {
            if (here[s] >= INF)
                continue;
            const State st = STATES[s];
            for (int mode = 0; mode < 4; ++mode) {
                if (!(u.modes & allowed & (1 << mode)))
                    continue;
                Step step;
                int bits = here[s];
                if (mode == st.mode) {
                    step = extend(u, mode, st.partial);
                } else {
                    step = extend(u, mode, 0);
                    bits += header.indicatorBits + header.countBits[mode];
                }
                bits += step.bits;
                if (bits < next[step.state]) {
                    next[step.state] = bits;
                    from[i + 1][step.state] = static_cast<std::int8_t>(s);
                }
            }
        }
    }

    Path path;
    int s = START;
    path.bits = n == 0 ? 0 : INF;
    for (int t = 0; t < STATE_COUNT; ++t)
        if (n > 0 && cost[n][t] < path.bits) {
            path.bits = cost[n][t];
            s = t;
        }
    path.modes.resize(n);
    if (path.bits >= INF) {
        path.bits = -1;  // some unit fits no mode allowed
        return path;
    }
    for (std::size_t i = n; i > 0; --i) {
        path.modes[i - 1] = static_cast<Mode>(STATES[s].mode);
        s = from[i][s];
        if (s == START)
            s = eciFrom[i - 1];
    }
    return path;
}

}  // namespace korvane::qr::detail
