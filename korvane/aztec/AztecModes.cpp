// Shortest Aztec bit streams by dynamic programming over encoder states.
//
// The state at a position of the message is the mode the encoder is latched
// in (upper, lower, mixed, punctuation, digit). Every other way of writing
// characters returns to that mode: a shift (U/S, P/S) covers one character, a
// punctuation pair or a flag, a byte shift a run of bytes. So the search has
// five states per position; each character is a step from a state to the
// same state further on, and between characters the encoder may latch along
// the cheapest path of latch codes.
//
// A byte-shift run of k bytes costs 10 + 8k bits when k <= 31 and 21 + 8k
// bits when 32 <= k <= 2078 (where the 11-bit count ends; longer runs, and
// runs of 32-62 bytes that are cheaper as two, are split by the search
// itself). The cheapest run into state m ending at e starts at the s with the
// least (cost at s - 8s) in a window of starts, which a monotonic queue per
// window yields in constant time, so the search is linear in the message.
#include "AztecModes.h"

#include <Aztec.h>

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdint>
#include <memory>
#include <string>

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

struct ByteCodes {
    std::int8_t code[MODE_COUNT];
    // Bit m: upper, lower or mixed lacks the byte, so a run from there may
    // begin or end with it.
    std::uint8_t runModes;
    bool pairFirst;  // CR, '.', ',' or ':', which begin a punctuation pair
    // The cheapest way to write the byte and stay in each mode: in the mode's
    // own set, or under U/S or P/S; INF when there is none.
    int stayBits[MODE_COUNT];
    Step stayStep[MODE_COUNT];
};

constexpr std::array<ByteCodes, 256> makeByteCodes() {
    std::array<ByteCodes, 256> t{};
    for (int b = 0; b < 256; ++b) {
        ByteCodes& c = t[b];
        c.pairFirst = b == '\r' || b == '.' || b == ',' || b == ':';
        for (int m = 0; m < MODE_COUNT; ++m) {
            c.code[m] = static_cast<std::int8_t>(codeOf(m, b));
            if (m < 3 && c.code[m] < 0)
                c.runModes = static_cast<std::uint8_t>(c.runModes | 1u << m);
        }
        for (int m = 0; m < MODE_COUNT; ++m) {
            c.stayBits[m] = INF;
            c.stayStep[m] = START;
            if (c.code[m] >= 0) {
                c.stayBits[m] = WIDTH[m];
                c.stayStep[m] = CHAR;
            } else if (c.code[MODE_UPPER] >= 0 && (m == MODE_LOWER || m == MODE_DIGIT)) {
                c.stayBits[m] = WIDTH[m] + 5;
                c.stayStep[m] = SHIFT_UPPER;
            } else if (c.code[MODE_PUNCT] >= 0 && m != MODE_PUNCT) {
                c.stayBits[m] = WIDTH[m] + 5;
                c.stayStep[m] = SHIFT_PUNCT;
            }
        }
    }
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
    {{5, 1, {{31, 5}}}, {10, 2, {{31, 5}, {28, 5}}}, {10, 2, {{31, 5}, {29, 5}}}, {0, 0, {}},
     {10, 2, {{31, 5}, {30, 5}}}},
    // from digit: U/L, U/L L/L, U/L M/L, U/L M/L P/L, -
    {{4, 1, {{14, 4}}}, {9, 2, {{14, 4}, {28, 5}}}, {9, 2, {{14, 4}, {29, 5}}}, {14, 3, {{14, 4}, {29, 5}, {30, 5}}},
     {0, 0, {}}},
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
static_assert(LATCHES[MODE_UPPER][MODE_LOWER].bits == 5 && LATCHES[MODE_UPPER][MODE_MIXED].bits == 5 &&
              LATCHES[MODE_UPPER][MODE_DIGIT].bits == 5);


int decimalDigits(int v) {
    int n = 1;
    while (v >= 10) {
        v /= 10;
        ++n;
    }
    return n;
}

// Candidate run starts in a window, oldest first, with increasing keys (cost
// at the start - 8 x start): the front is the cheapest start. Each start
// enters once and leaves once; the store grows only as far as the window
// keeps starts (a few, unless long runs of bytes compete).
class RunStarts {
public:
    void clear() {
        starts.clear();
        head = 0;
    }
    void push(int s, int k) {
        while (starts.size() > head && starts.back().key >= k)
            starts.pop_back();
        starts.push_back({s, k});
    }
    void dropBefore(int s) {
        while (head < starts.size() && starts[head].pos < s)
            ++head;
        if (head >= 64 && head * 2 >= starts.size()) {
            starts.erase(starts.begin(), starts.begin() + static_cast<std::ptrdiff_t>(head));
            head = 0;
        }
    }
    bool empty() const { return head == starts.size(); }
    int front() const { return starts[head].pos; }
    int frontKey() const { return starts[head].key; }

private:
    struct Start {
        int pos;
        int key;
    };
    std::vector<Start> starts;
    std::size_t head = 0;
};

struct Action {
    int end;               // position after the step
    std::uint16_t length;  // positions the step covers
    Step step;
    std::uint8_t modes;    // the step's mode (for LATCH: latched to) + 8 x the mode latched from
};

// Collects codes into 32-bit pieces, so the bit string sees few appends.
class CodeWriter {
public:
    explicit CodeWriter(BitString& out) : bs(out) {}
    ~CodeWriter() {
        if (count > 0)
            bs.addBits(static_cast<int>(acc & ((1u << count) - 1u)), count);
    }
    void put(int value, int width) {
        acc = acc << width | static_cast<std::uint64_t>(value);
        count += width;
        if (count >= 32) {
            count -= 32;
            bs.addBits(static_cast<int>(static_cast<std::uint32_t>(acc >> count)), 32);
        }
    }

private:
    BitString& bs;
    std::uint64_t acc = 0;
    int count = 0;
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

namespace {

// The search over (position, mode): cost rows filled left to right, with a
// back-pointer per cell, in three steps per position (byte-shift runs that end
// there, latches between characters, the character's own codes), then one
// traceback and the codes written forwards.
class ShortestStream {
public:
    ShortestStream(std::string_view text, const std::vector<int>& markers);

    // Fills the tables; the cheapest final state.
    AztecStream search();
    // Appends the codes of the path to `result` to `bs`.
    void emit(const AztecStream& result, BitString& bs) const;

private:
    bool isMarker(int j) const { return marks != nullptr && marks[j] >= 0; }
    int* bestAt(int j) { return bestRing[j & 63]; }
    // Whether a run may start at the state at `s` + m (whose byte the mode lacks).
    bool runFrom(int s, int m) {
        const int via = vias[static_cast<std::size_t>(s) * MODE_COUNT + m];
        const bool latchedFromRunMode = via != m && (via < 3 || m != MODE_UPPER);
        return !latchedFromRunMode && bestAt(s)[m] < INF;
    }
    void relaxRuns(int j);
    void latch(int j);
    void relaxCharacter(int j);
    std::vector<Action> traceback(int mode) const;

    const int n;
    const unsigned char* bytes;
    std::vector<int> padded;
    const int* marks = nullptr;

    // By position and mode: how the state was reached before any latch, and
    // the mode latched from (its own when none); where a run reached it, the
    // run's length. Each position's entries are written before they are read
    // (see the traceback). State costs after latching are kept for the last
    // 64 positions, as far back as a run start is looked up.
    std::unique_ptr<Step[]> steps;
    std::unique_ptr<std::uint8_t[]> vias;
    std::unique_ptr<std::uint16_t[]> runLengths;
    int bestRing[64][MODE_COUNT];

    // Run starts into upper, lower and mixed: a short window (up to 31 bytes
    // back) and a long one (32 to 2,078 back) for each.
    RunStarts shortRuns[3], longRuns[3];
    int firstRunStart = 0;  // no marker lies between here and the current position

    // Costs arriving at this position and the next two, before latching.
    int rows[3][MODE_COUNT];
    int* in = rows[0];
    int* next = rows[1];
    int* afterNext = rows[2];
};

ShortestStream::ShortestStream(std::string_view text, const std::vector<int>& markers)
    : n(static_cast<int>(text.size())), bytes(reinterpret_cast<const unsigned char*>(text.data())) {
    // Markers for every position, or none; a short list means no marker beyond it.
    marks = markers.empty() ? nullptr : markers.data();
    if (!markers.empty() && markers.size() < text.size()) {
        padded = markers;
        padded.resize(text.size(), -1);
        marks = padded.data();
    }
    const std::size_t cellCount = static_cast<std::size_t>(n + 1) * MODE_COUNT;
    steps.reset(new Step[cellCount]);
    vias.reset(new std::uint8_t[cellCount]);
    runLengths.reset(new std::uint16_t[static_cast<std::size_t>(n + 1) * 3]);
    for (auto& row : rows)
        for (int& c : row)
            c = INF;
    in[MODE_UPPER] = 0;
    steps[MODE_UPPER] = START;
}

// Byte-shift runs ending at j, from upper, lower or mixed. Runs worth
// considering: none starts or ends with a character of its mode's own set
// (written in the mode, 5 bits rather than 8, it leaves a shorter run), and
// none starts in a state that was latched into from a mode with byte shifts,
// or into lower or mixed from digit or punctuation (whose latch paths pass
// through upper): the run from that mode, with the latch after it, costs no
// more.
void ShortestStream::relaxRuns(int j) {
    // Members in locals: the byte-sized stores below may alias any object, so
    // the compiler would reload members after each of them.
    int* const in = this->in;
    Step* const steps = this->steps.get();
    std::uint16_t* const runLengths = this->runLengths.get();
    const unsigned char* const bytes = this->bytes;
    const int last = j - 1;
    if (isMarker(last)) {
        for (int m = 0; m < 3; ++m) {
            shortRuns[m].clear();
            longRuns[m].clear();
        }
        firstRunStart = j;
        return;
    }
    const std::size_t row = static_cast<std::size_t>(j) * MODE_COUNT;
    const int longStart = j - (SHORT_RUN + 1);
    if (longStart >= firstRunStart) {
        const unsigned modes = BYTE_CODES[bytes[longStart]].runModes;
        for (int m = 0; m < 3; ++m)
            if ((modes >> m & 1u) != 0 && runFrom(longStart, m))
                longRuns[m].push(longStart, bestAt(longStart)[m] - 8 * longStart);
    }
    const unsigned modes = BYTE_CODES[bytes[last]].runModes;
    for (int m = 0; m < 3; ++m) {
        if ((modes >> m & 1u) == 0)
            continue;
        if (runFrom(last, m))
            shortRuns[m].push(last, bestAt(last)[m] - 8 * last);
        const auto tryWindow = [&](RunStarts& window, int reach, int head) {
            if (window.empty())
                return;
            window.dropBefore(j - reach);
            if (!window.empty() && window.frontKey() + 8 * j + head < in[m]) {
                in[m] = window.frontKey() + 8 * j + head;
                runLengths[static_cast<std::size_t>(j) * 3 + m] = static_cast<std::uint16_t>(j - window.front());
                steps[row + m] = RUN;
            }
        };
        tryWindow(shortRuns[m], SHORT_RUN, SHORT_RUN_HEAD);
        tryWindow(longRuns[m], LONG_RUN, LONG_RUN_HEAD);
    }
}

// Latches between characters, along the cheapest latch paths: into upper
// directly; into lower, mixed and digit directly or through upper; into
// punctuation through mixed. The mode a state latched from is kept, and
// LATCHES holds the whole path from it.
void ShortestStream::latch(int j) {
    const int* const in = this->in;
    std::uint8_t* const vias = this->vias.get();
    const std::size_t row = static_cast<std::size_t>(j) * MODE_COUNT;
    int* here = bestAt(j);
    int cost[MODE_COUNT];
    int via[MODE_COUNT];
    const auto take = [&](int t, int c, int from) {
        if (c < cost[t]) {
            cost[t] = c;
            via[t] = from;
        }
    };
    for (int t = 0; t < MODE_COUNT; ++t) {
        cost[t] = in[t];
        via[t] = t;
    }
    take(MODE_UPPER, in[MODE_LOWER] + LATCHES[MODE_LOWER][MODE_UPPER].bits, MODE_LOWER);
    take(MODE_UPPER, in[MODE_MIXED] + LATCHES[MODE_MIXED][MODE_UPPER].bits, MODE_MIXED);
    take(MODE_UPPER, in[MODE_PUNCT] + LATCHES[MODE_PUNCT][MODE_UPPER].bits, MODE_PUNCT);
    take(MODE_UPPER, in[MODE_DIGIT] + LATCHES[MODE_DIGIT][MODE_UPPER].bits, MODE_DIGIT);
    const int fromUpper = cost[MODE_UPPER] + 5;  // L/L, M/L and D/L are 5 bits
    take(MODE_LOWER, in[MODE_MIXED] + LATCHES[MODE_MIXED][MODE_LOWER].bits, MODE_MIXED);
    take(MODE_LOWER, fromUpper, via[MODE_UPPER]);
    take(MODE_MIXED, in[MODE_LOWER] + LATCHES[MODE_LOWER][MODE_MIXED].bits, MODE_LOWER);
    take(MODE_MIXED, fromUpper, via[MODE_UPPER]);
    take(MODE_DIGIT, in[MODE_LOWER] + LATCHES[MODE_LOWER][MODE_DIGIT].bits, MODE_LOWER);
    take(MODE_DIGIT, fromUpper, via[MODE_UPPER]);
    take(MODE_PUNCT, cost[MODE_MIXED] + LATCHES[MODE_MIXED][MODE_PUNCT].bits, via[MODE_MIXED]);
    for (int t = 0; t < MODE_COUNT; ++t) {
        assert(via[t] == t || cost[t] == in[via[t]] + LATCHES[via[t]][t].bits);
        here[t] = cost[t];
        vias[row + t] = static_cast<std::uint8_t>(via[t]);
    }
}

// Steps that write the character (or pair, or flag) at j into the next rows.
void ShortestStream::relaxCharacter(int j) {
    int* const next = this->next;
    int* const afterNext = this->afterNext;
    const int n = this->n;
    const unsigned char* const bytes = this->bytes;
    const int* const marks = this->marks;
    const int* here = bestAt(j);
    Step* nextSteps = &steps[static_cast<std::size_t>(j + 1) * MODE_COUNT];
    const auto relax = [](int* costs, Step* reached, int m, int cost, Step step) {
        if (cost < costs[m]) {
            costs[m] = cost;
            reached[m] = step;
        }
    };
    const auto isMarker = [marks](int k) { return marks != nullptr && marks[k] >= 0; };
    if (isMarker(j)) {
        // FLG(n): 3 bits of n, then n ECI digits (n = 0 is FNC1).
        const int mark = marks[j];
        const int flag = 5 + 3 + (mark == 0 ? 0 : 4 * decimalDigits(mark));
        relax(next, nextSteps, MODE_PUNCT, here[MODE_PUNCT] + flag, FLAG);
        for (int m : {MODE_UPPER, MODE_LOWER, MODE_MIXED, MODE_DIGIT})
            relax(next, nextSteps, m, here[m] + WIDTH[m] + flag, FLAG_SHIFT);
        return;
    }
    const ByteCodes& codes = BYTE_CODES[bytes[j]];
    for (int m = 0; m < MODE_COUNT; ++m)
        relax(next, nextSteps, m, here[m] + codes.stayBits[m], codes.stayStep[m]);
    if (codes.pairFirst && j + 1 < n && !isMarker(j + 1) && aztecPairCode(bytes[j], bytes[j + 1]) >= 0) {
        Step* afterSteps = nextSteps + MODE_COUNT;
        relax(afterNext, afterSteps, MODE_PUNCT, here[MODE_PUNCT] + 5, PAIR);
        for (int m : {MODE_UPPER, MODE_LOWER, MODE_MIXED, MODE_DIGIT})
            relax(afterNext, afterSteps, m, here[m] + WIDTH[m] + 5, PAIR_SHIFT);
    }
}

AztecStream ShortestStream::search() {
    for (int j = 0;; ++j) {
        if (j > 0)
            relaxRuns(j);
        latch(j);
        if (j == n)
            break;
        relaxCharacter(j);
        int* done = in;
        in = next;
        next = afterNext;
        afterNext = done;
        for (int m = 0; m < MODE_COUNT; ++m)
            afterNext[m] = INF;
    }
    // The cheapest final state; digit and punctuation first, whose padding
    // never reads as a byte shift.
    const int* last = bestAt(n);
    int mode = MODE_DIGIT;
    for (int m : {MODE_PUNCT, MODE_UPPER, MODE_LOWER, MODE_MIXED})
        if (last[m] < last[mode])
            mode = m;
    return {last[mode], static_cast<AztecMode>(mode)};
}

// Back from the end along entries that were written on the way (every
// position's latch sources, and the arrival of each state reached).
std::vector<Action> ShortestStream::traceback(int mode) const {
    std::vector<Action> actions;
    actions.reserve(static_cast<std::size_t>(n) + 8);
    for (int j = n;;) {
        const std::size_t at = static_cast<std::size_t>(j) * MODE_COUNT;
        if (vias[at + mode] != mode) {
            actions.push_back({j, 0, LATCH, static_cast<std::uint8_t>(mode + 8 * vias[at + mode])});
            mode = vias[at + mode];
        }
        if (j == 0)
            break;
        const Step step = steps[at + mode];
        const int length = step == RUN ? runLengths[static_cast<std::size_t>(j) * 3 + mode]
                           : step == PAIR || step == PAIR_SHIFT ? 2
                                                                : 1;
        actions.push_back({j, static_cast<std::uint16_t>(length), step, static_cast<std::uint8_t>(mode)});
        j -= length;
    }
    assert(mode == MODE_UPPER);
    return actions;
}

void ShortestStream::emit(const AztecStream& result, BitString& bs) const {
    const std::vector<Action> actions = traceback(result.endMode);
    const int startLength = bs.getLength();
    {
        CodeWriter out(bs);
        for (auto a = actions.rbegin(); a != actions.rend(); ++a) {
            const int m = a->modes & 7;
            const int begin = a->end - a->length;
            const int w = WIDTH[m];
            switch (a->step) {
            case LATCH: {
                const Latch& l = LATCHES[a->modes >> 3][m];
                for (int i = 0; i < l.count; ++i)
                    out.put(l.codes[i].value, l.codes[i].width);
                break;
            }
            case CHAR: out.put(BYTE_CODES[bytes[begin]].code[m], w); break;
            case SHIFT_UPPER:
                out.put(m == MODE_DIGIT ? U_S_DIGIT : U_S_LOWER, w);
                out.put(BYTE_CODES[bytes[begin]].code[MODE_UPPER], 5);
                break;
            case SHIFT_PUNCT:
                out.put(P_S, w);
                out.put(BYTE_CODES[bytes[begin]].code[MODE_PUNCT], 5);
                break;
            case PAIR_SHIFT:
                out.put(P_S, w);
                [[fallthrough]];
            case PAIR: out.put(aztecPairCode(bytes[begin], bytes[begin + 1]), 5); break;
            case FLAG_SHIFT:
                out.put(P_S, w);
                [[fallthrough]];
            case FLAG: {
                const int mark = marks[begin];
                out.put(0, 5);  // FLG
                if (mark == 0) {
                    out.put(0, 3);
                } else {
                    const std::string digits = std::to_string(mark);
                    out.put(static_cast<int>(digits.size()), 3);
                    for (char d : digits)
                        out.put(d - '0' + 2, 4);
                }
                break;
            }
            case RUN: {
                const int length = a->end - begin;
                out.put(B_S, 5);
                if (length <= SHORT_RUN) {
                    out.put(length, 5);
                } else {
                    out.put(0, 5);
                    out.put(length - SHORT_RUN, 11);
                }
                for (int i = begin; i < a->end; ++i)
                    out.put(bytes[i], 8);
                break;
            }
            case START: break;
            }
        }
    }
    assert(bs.getLength() - startLength == result.bits);
    (void)startLength;
}

}  // namespace

AztecStream appendShortestStream(std::string_view text, const std::vector<int>& markers, BitString& bs) {
    ShortestStream search(text, markers);
    const AztecStream result = search.search();
    search.emit(result, bs);
    return result;
}

void aztecInput(const Message& message, std::string& text, std::vector<int>& markers) {
    constexpr char PLACEHOLDER = '0';
    markers.clear();
    if (!message.gs1 && message.markers.empty()) {
        text = message.bytes;
        return;
    }
    text.clear();
    text.reserve(message.bytes.size() + message.markers.size() + 1);
    markers.reserve(text.capacity());
    auto mark = [&](int marker) {
        text += PLACEHOLDER;
        markers.push_back(marker);
    };
    if (message.gs1)
        mark(0);
    std::size_t next = 0;
    for (std::size_t i = 0; i <= message.bytes.size(); ++i) {
        for (; next < message.markers.size() && message.markers[next].position == i; ++next)
            mark(message.markers[next].kind == MarkerKind::Fnc1 ? 0 : message.markers[next].eci);
        if (i == message.bytes.size())
            break;
        if (message.gs1 && message.bytes[i] == 0x1D) {
            mark(0);
            continue;
        }
        text += message.bytes[i];
        markers.push_back(-1);
    }
    if (std::all_of(markers.begin(), markers.end(), [](int m) { return m < 0; }))
        markers.clear();
}

std::string readerData(const std::string& text, const std::vector<int>& markers) {
    if (markers.empty())
        return text;
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int m = i < markers.size() ? markers[i] : Aztec::CONTROL_NONE;
        if (m == Aztec::CONTROL_NONE)
            out += text[i];
        else if (m == Aztec::CONTROL_FNC && !out.empty())
            out += '\x1D';
    }
    return out;
}

}  // namespace korvane::detail
