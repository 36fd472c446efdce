// Shortest Aztec bit streams by dynamic programming over encoder states.
//
// The state at a position of the message is the mode the encoder is latched
// in. Every other way of writing characters returns to that mode: a shift (U/S,
// P/S) covers one character or a punctuation pair, a byte shift a run of bytes,
// so they are steps from a state to the same state further on. Between
// characters the encoder may latch along the cheapest path of latch codes.
// A byte-shift run of k bytes from position s to e costs 10 + 8k bits when
// k <= 31 and 21 + 8k bits when 32 <= k <= 2078 (the 11-bit count ends there;
// longer runs are split). The cheapest run into state m ending at e is the
// least (cost at s - 8s) over a window of starts, which a monotonic queue keeps
// per window, so each position costs a fixed amount of work.

#include "AztecModes.h"

#include <array>
#include <cassert>
#include <cstdint>

namespace korvane::detail {
namespace {

constexpr int WIDTH[MODE_COUNT] = {5, 5, 5, 5, 4};  // digit codes are 4 bits

constexpr int P_S = 0;          // P/S in upper, lower, mixed and digit; FLG(n) in punctuation
constexpr int B_S = 31;         // B/S in upper, lower and mixed
constexpr int U_S_LOWER = 28;   // U/S from lower
constexpr int U_S_DIGIT = 15;   // U/S from digit
constexpr int SHORT_RUN = 31;   // most bytes a 5-bit count announces
constexpr int LONG_RUN = 2078;  // 31 + the largest 11-bit count
constexpr int SHORT_RUN_HEAD = 10;  // B/S and a 5-bit count
constexpr int LONG_RUN_HEAD = 21;   // B/S, 0 and an 11-bit count
constexpr int INF = 1 << 29;

// ISO/IEC 24778 Table 2, by byte value.
constexpr int codeOf(int mode, int b) {
    switch (mode) {
    case MODE_UPPER:
        return b == ' ' ? 1 : b >= 'A' && b <= 'Z' ? b - 'A' + 2 : -1;
    case MODE_LOWER:
        return b == ' ' ? 1 : b >= 'a' && b <= 'z' ? b - 'a' + 2 : -1;
    case MODE_MIXED:
        if (b == ' ')
            return 1;
        if (b >= 1 && b <= 13)  // ^A-^M
            return b + 1;
        if (b >= 27 && b <= 31)  // ESC, FS, GS, RS, US
            return b - 12;
        switch (b) {
        case '@': return 20;
        case '\\': return 21;
        case '^': return 22;
        case '_': return 23;
        case '`': return 24;
        case '|': return 25;
        case '~': return 26;
        case 127: return 27;
        default: return -1;
        }
    case MODE_PUNCT:
        if (b == '\r')
            return 1;
        if (b >= '!' && b <= '/')
            return b - '!' + 6;
        if (b >= ':' && b <= '?')
            return b - ':' + 21;
        switch (b) {
        case '[': return 27;
        case ']': return 28;
        case '{': return 29;
        case '}': return 30;
        default: return -1;
        }
    case MODE_DIGIT:
        return b == ' ' ? 1 : b >= '0' && b <= '9' ? b - '0' + 2 : b == ',' ? 12 : b == '.' ? 13 : -1;
    default: return -1;
    }
}

struct ByteCodes {
    std::int8_t code[MODE_COUNT];
};

constexpr std::array<ByteCodes, 256> makeByteCodes() {
    std::array<ByteCodes, 256> t{};
    for (int b = 0; b < 256; ++b)
        for (int m = 0; m < MODE_COUNT; ++m)
            t[b].code[m] = static_cast<std::int8_t>(codeOf(m, b));
    return t;
}
constexpr std::array<ByteCodes, 256> BYTE_CODES = makeByteCodes();
static_assert(BYTE_CODES['Z'].code[MODE_UPPER] == 27 && BYTE_CODES[127].code[MODE_MIXED] == 27);
static_assert(BYTE_CODES['}'].code[MODE_PUNCT] == 30 && BYTE_CODES['.'].code[MODE_DIGIT] == 13);

struct Code {
    std::uint8_t value;
    std::uint8_t width;
};

// The cheapest latch sequence between two modes: codes in the order written,
// each as wide as the mode it is written in. Lower reaches upper through digit
// (D/L U/L, 9 bits) rather than through mixed (10 bits).
struct Latch {
    int bits;
    int count;
    Code codes[3];
};
constexpr Latch LATCHES[MODE_COUNT][MODE_COUNT] = {
    // from upper: -, L/L, M/L, M/L P/L, D/L
    {{0, 0, {}}, {5, 1, {{28, 5}}}, {5, 1, {{29, 5}}}, {10, 2, {{29, 5}, {30, 5}}}, {5, 1, {{30, 5}}}},
    // from lower: D/L U/L, -, M/L, M/L P/L, D/L
    {{9, 2, {{30, 5}, {14, 4}}}, {0, 0, {}}, {5, 1, {{29, 5}}}, {10, 2, {{29, 5}, {30, 5}}}, {5, 1, {{30, 5}}}},
    // from mixed: U/L, L/L, -, P/L, U/L D/L
    {{5, 1, {{29, 5}}}, {5, 1, {{28, 5}}}, {0, 0, {}}, {5, 1, {{30, 5}}}, {10, 2, {{29, 5}, {30, 5}}}},
    // from punctuation: U/L, U/L L/L, U/L M/L, -, U/L D/L
    {{5, 1, {{31, 5}}}, {10, 2, {{31, 5}, {28, 5}}}, {10, 2, {{31, 5}, {29, 5}}}, {0, 0, {}}, {10, 2, {{31, 5}, {30, 5}}}},
    // from digit: U/L, U/L L/L, U/L M/L, U/L M/L P/L, -
    {{4, 1, {{14, 4}}}, {9, 2, {{14, 4}, {28, 5}}}, {9, 2, {{14, 4}, {29, 5}}}, {14, 3, {{14, 4}, {29, 5}, {30, 5}}}, {0, 0, {}}},
};

constexpr bool latchesAddUp() {
    for (const auto& row : LATCHES)
        for (const Latch& l : row) {
            int sum = 0;
            for (int i = 0; i < l.count; ++i)
                sum += l.codes[i].width;
            if (sum != l.bits)
                return false;
        }
    return true;
}
static_assert(latchesAddUp());

// How a state was reached from an earlier position in the same mode.
enum Step : std::uint8_t {
    START,
    CHAR,         // a character of the mode's own set
    SHIFT_UPPER,  // U/S and an upper-case character
    SHIFT_PUNCT,  // P/S and a punctuation character
    PAIR,         // a punctuation pair, latched in punctuation
    PAIR_SHIFT,   // P/S and a punctuation pair
    FLAG,         // FLG(n), latched in punctuation
    FLAG_SHIFT,   // P/S and FLG(n)
    RUN,          // B/S and a run of bytes
    LATCH,        // (traceback only) latch codes between two modes
};

struct Cell {
    int from;        // position the step started at
    Step step;       // how the state was reached, before any latch at this position
    std::uint8_t via;  // the mode latched from at this position (the state's own when none)
};

int decimalDigits(int v) {
    int n = 1;
    while (v >= 10) {
        v /= 10;
        ++n;
    }
    return n;
}

// Positions in a window, oldest first, whose keys increase; the front holds
// the least key. Each position enters once, so the buffer holds them all.
class MinQueue {
public:
    void reset(int* buffer) {
        pos = buffer;
        head = tail = 0;
    }
    void clear() { head = tail = 0; }
    template <typename Key>
    void push(int s, Key key) {
        const int k = key(s);
        while (tail > head && key(pos[tail - 1]) >= k)
            --tail;
        pos[tail++] = s;
    }
    void dropBefore(int s) {
        while (tail > head && pos[head] < s)
            ++head;
    }
    bool empty() const { return tail == head; }
    int front() const { return pos[head]; }

private:
    int* pos = nullptr;
    int head = 0;
    int tail = 0;
};

struct Action {
    Step step;
    std::uint8_t mode;  // mode of the step (for LATCH: the mode latched to)
    std::uint8_t from;  // LATCH: the mode latched from
    int begin;          // first position the step covers
    int end;            // position after it
};

}  // namespace

int aztecCode(AztecMode mode, int b) { return b >= 0 && b < 256 ? BYTE_CODES[b].code[mode] : -1; }

int aztecPairCode(int first, int second) {
    if (second == '\n')
        return first == '\r' ? 2 : -1;
    if (second != ' ')
        return -1;
    return first == '.' ? 3 : first == ',' ? 4 : first == ':' ? 5 : -1;
}

AztecStream appendShortestStream(std::string_view text, const std::vector<int>& markers, BitString& bs) {
    const int n = static_cast<int>(text.size());
    const auto marker = [&](int j) { return j < static_cast<int>(markers.size()) ? markers[j] : -1; };
    const auto byteAt = [&](int j) { return static_cast<unsigned char>(text[static_cast<std::size_t>(j)]); };

    // State costs after latching, by position and mode, how each was reached,
    // and six queue buffers (short and long runs into upper, lower and mixed).
    std::vector<int> best(static_cast<std::size_t>(n + 1) * MODE_COUNT, INF);
    std::vector<Cell> cells(static_cast<std::size_t>(n + 1) * MODE_COUNT, Cell{0, START, 0});
    std::vector<int> queueBuffer(static_cast<std::size_t>(n + 1) * 6);
    MinQueue shortRuns[3], longRuns[3];
    for (int m = 0; m < 3; ++m) {
        shortRuns[m].reset(queueBuffer.data() + static_cast<std::size_t>(n + 1) * m);
        longRuns[m].reset(queueBuffer.data() + static_cast<std::size_t>(n + 1) * (m + 3));
    }

    // Costs arriving at the next three positions, before latching.
    int arrive[3][MODE_COUNT];
    for (auto& row : arrive)
        for (int& c : row)
            c = INF;
    arrive[0][MODE_UPPER] = 0;

    int firstRunStart = 0;  // no marker lies between here and the current position
    for (int j = 0;; ++j) {
        int* in = arrive[j % 3];
        Cell* cell = &cells[static_cast<std::size_t>(j) * MODE_COUNT];

        // Byte-shift runs ending here, from upper, lower or mixed.
        if (j > 0) {
            const int last = j - 1;
            if (marker(last) >= 0) {
                for (int m = 0; m < 3; ++m) {
                    shortRuns[m].clear();
                    longRuns[m].clear();
                }
                firstRunStart = j;
            }
            for (int m = 0; m < 3; ++m) {
                const auto key = [&](int s) { return best[static_cast<std::size_t>(s) * MODE_COUNT + m] - 8 * s; };
                if (last >= firstRunStart && best[static_cast<std::size_t>(last) * MODE_COUNT + m] < INF)
                    shortRuns[m].push(last, key);
                const int longStart = j - (SHORT_RUN + 1);
                if (longStart >= firstRunStart && best[static_cast<std::size_t>(longStart) * MODE_COUNT + m] < INF)
                    longRuns[m].push(longStart, key);
                shortRuns[m].dropBefore(j - SHORT_RUN);
                longRuns[m].dropBefore(j - LONG_RUN);
                if (!shortRuns[m].empty()) {
                    const int s = shortRuns[m].front();
                    const int c = key(s) + 8 * j + SHORT_RUN_HEAD;
                    if (c < in[m]) {
                        in[m] = c;
                        cell[m].from = s;
                        cell[m].step = RUN;
                    }
                }
                if (!longRuns[m].empty()) {
                    const int s = longRuns[m].front();
                    const int c = key(s) + 8 * j + LONG_RUN_HEAD;
                    if (c < in[m]) {
                        in[m] = c;
                        cell[m].from = s;
                        cell[m].step = RUN;
                    }
                }
            }
        }

        // Latches between characters.
        int* here = &best[static_cast<std::size_t>(j) * MODE_COUNT];
        for (int t = 0; t < MODE_COUNT; ++t) {
            int c = in[t];
            int via = t;
            for (int f = 0; f < MODE_COUNT; ++f) {
                if (f != t && in[f] + LATCHES[f][t].bits < c) {
                    c = in[f] + LATCHES[f][t].bits;
                    via = f;
                }
            }
            here[t] = c;
            cell[t].via = static_cast<std::uint8_t>(via);
        }
        if (j == n)
            break;

        // Steps that write the character (or pair, or flag) at j.
        int* next = arrive[(j + 1) % 3];
        int* afterNext = arrive[(j + 2) % 3];
        for (int m = 0; m < MODE_COUNT; ++m)
            afterNext[m] = INF;
        const auto relax = [&](int* row, int to, int m, int cost, Step step) {
            if (cost < row[m]) {
                row[m] = cost;
                Cell& c = cells[static_cast<std::size_t>(to) * MODE_COUNT + m];
                c.from = j;
                c.step = step;
            }
        };
        const int mark = marker(j);
        if (mark >= 0) {
            // FLG(n): 3 bits of n, then n ECI digits (n = 0 is FNC1).
            const int flag = 5 + 3 + (mark == 0 ? 0 : 4 * decimalDigits(mark));
            relax(next, j + 1, MODE_PUNCT, here[MODE_PUNCT] + flag, FLAG);
            for (int m : {MODE_UPPER, MODE_LOWER, MODE_MIXED, MODE_DIGIT})
                relax(next, j + 1, m, here[m] + WIDTH[m] + flag, FLAG_SHIFT);
            continue;
        }
        const ByteCodes& codes = BYTE_CODES[byteAt(j)];
        for (int m = 0; m < MODE_COUNT; ++m)
            if (codes.code[m] >= 0)
                relax(next, j + 1, m, here[m] + WIDTH[m], CHAR);
        if (codes.code[MODE_UPPER] >= 0) {
            relax(next, j + 1, MODE_LOWER, here[MODE_LOWER] + 10, SHIFT_UPPER);
            relax(next, j + 1, MODE_DIGIT, here[MODE_DIGIT] + 9, SHIFT_UPPER);
        }
        if (codes.code[MODE_PUNCT] >= 0)
            for (int m : {MODE_UPPER, MODE_LOWER, MODE_MIXED, MODE_DIGIT})
                relax(next, j + 1, m, here[m] + WIDTH[m] + 5, SHIFT_PUNCT);
        if (j + 1 < n && marker(j + 1) < 0 && aztecPairCode(byteAt(j), byteAt(j + 1)) >= 0) {
            relax(afterNext, j + 2, MODE_PUNCT, here[MODE_PUNCT] + 5, PAIR);
            for (int m : {MODE_UPPER, MODE_LOWER, MODE_MIXED, MODE_DIGIT})
                relax(afterNext, j + 2, m, here[m] + WIDTH[m] + 5, PAIR_SHIFT);
        }
    }

    // The cheapest final state; digit and punctuation first, whose padding
    // never reads as a byte shift.
    const int* last = &best[static_cast<std::size_t>(n) * MODE_COUNT];
    int mode = MODE_DIGIT;
    for (int m : {MODE_PUNCT, MODE_UPPER, MODE_LOWER, MODE_MIXED})
        if (last[m] < last[mode])
            mode = m;
    const AztecStream result{last[mode], static_cast<AztecMode>(mode)};

    // Back from the end, then written forwards.
    std::vector<Action> actions;
    for (int j = n;;) {
        const Cell& c = cells[static_cast<std::size_t>(j) * MODE_COUNT + mode];
        if (c.via != mode) {
            actions.push_back({LATCH, static_cast<std::uint8_t>(mode), c.via, j, j});
            mode = c.via;
        }
        if (j == 0)
            break;
        const Cell& arrival = cells[static_cast<std::size_t>(j) * MODE_COUNT + mode];
        actions.push_back({arrival.step, static_cast<std::uint8_t>(mode), 0, arrival.from, j});
        j = arrival.from;
    }
    assert(mode == MODE_UPPER);

    const int startLength = bs.getLength();
    for (auto a = actions.rbegin(); a != actions.rend(); ++a) {
        const int w = WIDTH[a->mode];
        switch (a->step) {
        case LATCH: {
            const Latch& l = LATCHES[a->from][a->mode];
            for (int i = 0; i < l.count; ++i)
                bs.addBits(l.codes[i].value, l.codes[i].width);
            break;
        }
        case CHAR: bs.addBits(BYTE_CODES[byteAt(a->begin)].code[a->mode], w); break;
        case SHIFT_UPPER:
            bs.addBits(a->mode == MODE_DIGIT ? U_S_DIGIT : U_S_LOWER, w);
            bs.addBits(BYTE_CODES[byteAt(a->begin)].code[MODE_UPPER], 5);
            break;
        case SHIFT_PUNCT:
            bs.addBits(P_S, w);
            bs.addBits(BYTE_CODES[byteAt(a->begin)].code[MODE_PUNCT], 5);
            break;
        case PAIR_SHIFT:
            bs.addBits(P_S, w);
            [[fallthrough]];
        case PAIR: bs.addBits(aztecPairCode(byteAt(a->begin), byteAt(a->begin + 1)), 5); break;
        case FLAG_SHIFT:
            bs.addBits(P_S, w);
            [[fallthrough]];
        case FLAG: {
            const int mark = marker(a->begin);
            bs.addBits(0, 5);  // FLG
            if (mark == 0) {
                bs.addBits(0, 3);
            } else {
                const std::string digits = std::to_string(mark);
                bs.addBits(static_cast<int>(digits.size()), 3);
                for (char d : digits)
                    bs.addBits(d - '0' + 2, 4);
            }
            break;
        }
        case RUN: {
            const int length = a->end - a->begin;
            bs.addBits(B_S, 5);
            if (length <= SHORT_RUN) {
                bs.addBits(length, 5);
            } else {
                bs.addBits(0, 5);
                bs.addBits(length - SHORT_RUN, 11);
            }
            for (int i = a->begin; i < a->end; ++i)
                bs.addBits(byteAt(i), 8);
            break;
        }
        case START: break;
        }
    }
    assert(bs.getLength() - startLength == result.bits);
    (void)startLength;
    return result;
}

}  // namespace korvane::detail
