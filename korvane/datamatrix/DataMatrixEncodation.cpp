// Data Matrix encodation (ISO/IEC 16022, 5.2): the shortest codeword stream
// over all sequences of ASCII, C40, Text, X12, EDIFACT and Base 256, as a
// shortest path over (position, state). Three steps: fill the cost table left
// to right with a back-pointer per cell, pick the end state that suits the
// symbol, trace back once and write the codewords.
//
// Costs are whole codewords. A mode that packs several characters into its
// codewords (three C40 values into two, four EDIFACT values into three) keeps
// the values not yet written in its state and is charged when they are, so
// cells of one state always compare like with like.

#include "DataMatrix.h"

#include <algorithm>
#include <cassert>
#include <climits>

namespace korvane::datamatrix::detail {
namespace {

// Codewords of ASCII encodation (ISO/IEC 16022, Table 2).
constexpr int DIGIT_PAIR_BASE = 130;  // 130-229: the pairs 00-99
constexpr int LATCH_C40 = 230;
constexpr int LATCH_BASE256 = 231;
constexpr int FNC1 = 232;
constexpr int UPPER_SHIFT = 235;
constexpr int LATCH_X12 = 238;
constexpr int LATCH_TEXT = 239;
constexpr int LATCH_EDIFACT = 240;
constexpr int ECI = 241;
constexpr int UNLATCH = 254;          // from C40, Text and X12
constexpr int EDIFACT_UNLATCH = 0x1F; // the 6-bit value that returns from EDIFACT
static_assert(DIGIT_PAIR_BASE + 99 == 229 && LATCH_C40 == DIGIT_PAIR_BASE + 100);

// The states of the path. C40, Text and X12 keep 0-2 values not yet packed
// into a pair of codewords; EDIFACT 0-3 values of a group of four. Base 256
// counts its header by length: one codeword up to 249 bytes, two beyond.
// The tails are ASCII written after a C40/Text/X12 triplet or an EDIFACT
// group without unlatching, which a reader allows only in the last codeword
// (C40, Text, X12) or the last two (EDIFACT) of the symbol.
enum State : std::uint8_t {
    ASCII,
    C40_0, C40_1, C40_2,
    TEXT_0, TEXT_1, TEXT_2,
    X12_0, X12_1, X12_2,
    EDI_0, EDI_1, EDI_2, EDI_3,
    B256_SHORT, B256_LONG,
    TRIPLET_TAIL,          // one ASCII codeword after a triplet, unlatch implied
    EDI_TAIL_1, EDI_TAIL_2,  // one or two ASCII codewords after an EDIFACT group
    STATE_COUNT
};

constexpr int INF = INT_MAX / 4;
constexpr int B256_LONG_RUN = 250;  // a run this long needs the two-codeword length

Mode modeOf(int s) {
    if (s >= C40_0 && s <= C40_2) return Mode::C40;
    if (s >= TEXT_0 && s <= TEXT_2) return Mode::Text;
    if (s >= X12_0 && s <= X12_2) return Mode::X12;
    if (s >= EDI_0 && s <= EDI_3) return Mode::Edifact;
    if (s == B256_SHORT || s == B256_LONG) return Mode::Base256;
    return Mode::Ascii;
}
bool isTriplet(int s) { return s >= C40_0 && s <= X12_2; }

// Codewords of an ECI designator after the ECI codeword (ISO/IEC 16022, 5.4.1).
int eciLength(int eci) { return eci < 127 ? 1 : eci < 16383 ? 2 : 3; }

int asciiCost(const Unit& u) {
    switch (u.kind) {
    case Unit::Fnc1: return 1;
    case Unit::Eci: return 1 + eciLength(u.eci);
    case Unit::Byte: break;
    }
    return u.byte < 128 ? 1 : 2;
}

bool isDigit(const Unit& u) { return u.kind == Unit::Byte && u.byte >= '0' && u.byte <= '9'; }

// C40 and Text values of a unit (ISO/IEC 16022, Tables 5 and 6): the basic
// set, or a shift (0, 1, 2) and a value of that set; bytes above 127 go as
// the Upper Shift (shift 2, value 30) and the values of the byte less 128.
// Returns the count, 0 for a unit these modes cannot hold.
int tripletValues(const Unit& u, bool text, int* v) {
    if (u.kind == Unit::Fnc1) {
        v[0] = 1;
        v[1] = 27;
        return 2;
    }
    if (u.kind != Unit::Byte)
        return 0;
    int c = u.byte;
    int n = 0;
    if (c >= 128) {
        v[n++] = 1;
        v[n++] = 30;
        c -= 128;
    }
    const int upper = text ? 'a' : 'A';  // the letters of the basic set
    const int other = text ? 'A' : 'a';  // the letters of shift 3
    if (c == ' ') {
        v[n++] = 3;
    } else if (c >= '0' && c <= '9') {
        v[n++] = c - '0' + 4;
    } else if (c >= upper && c <= upper + 25) {
        v[n++] = c - upper + 14;
    } else if (c < 32) {
        v[n++] = 0;
        v[n++] = c;
    } else if (c <= 47) {
        v[n++] = 1;
        v[n++] = c - 33;
    } else if (c >= 58 && c <= 64) {
        v[n++] = 1;
        v[n++] = c - 58 + 15;
    } else if (c >= 91 && c <= 95) {
        v[n++] = 1;
        v[n++] = c - 91 + 22;
    } else if (c >= other && c <= other + 25) {
        v[n++] = 2;
        v[n++] = c - other + 1;
    } else {  // ` { | } ~ DEL
        v[n++] = 2;
        v[n++] = c == 96 ? 0 : c - 96;
    }
    return n;
}

// ANSI X12 values (ISO/IEC 16022, Table 7): CR * > space 0-9 A-Z; -1 otherwise.
int x12Value(const Unit& u) {
    if (u.kind != Unit::Byte)
        return -1;
    const int c = u.byte;
    if (c == '\r') return 0;
    if (c == '*') return 1;
    if (c == '>') return 2;
    if (c == ' ') return 3;
    if (c >= '0' && c <= '9') return c - '0' + 4;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 14;
    return -1;
}

// EDIFACT takes ASCII 32-94 as their low six bits; -1 otherwise.
int edifactValue(const Unit& u) {
    if (u.kind != Unit::Byte || u.byte < 32 || u.byte > 94)
        return -1;
    return u.byte & 0x3F;
}

// Codewords that hold k EDIFACT values and the unlatch value, padded to a byte.
int edifactUnlatchCost(int k) { return (6 * (k + 1) + 7) / 8; }

using Cell = StreamPlan::Cell;

// The table being filled: (n + 1) x STATE_COUNT cells.
struct Table {
    int n = 0;
    std::vector<Cell>& cells;
    Cell& at(int i, int s) const { return cells[static_cast<std::size_t>(i) * STATE_COUNT + s]; }
};

// The table filled, read only.
struct View {
    int n = 0;
    const std::vector<Cell>& cells;
    const Cell& at(int i, int s) const { return cells[static_cast<std::size_t>(i) * STATE_COUNT + s]; }
};

// Among equal paths the one with the shorter Base 256 run (its length field
// grows later), then the one whose last step took fewer units: digits then
// pair from the left, as every encoder of ASCII pairs them.
bool better(int cost, int run, int consumed, const Cell& c) {
    if (cost != c.cost)
        return cost < c.cost;
    if (run != c.run)
        return run < c.run;
    return consumed > 0 && consumed < c.consumed;
}

void relax(const Table& t, int i, int s, int cost, int run, int from, int consumed) {
    Cell& c = t.at(i, s);
    if (better(cost, run, consumed, c)) {
        c.cost = cost;
        c.run = static_cast<short>(run);
        c.from = static_cast<std::uint8_t>(from);
        c.consumed = static_cast<std::uint8_t>(consumed);
    }
}

// Returns to ASCII, then latches from it, at position i.
void latchesAt(const Table& t, int i) {
    for (int base : {C40_0, TEXT_0, X12_0})
        if (t.at(i, base).cost < INF)
            relax(t, i, ASCII, t.at(i, base).cost + 1, 0, base, 0);
    for (int k = 0; k < 4; ++k)
        if (t.at(i, EDI_0 + k).cost < INF)
            relax(t, i, ASCII, t.at(i, EDI_0 + k).cost + edifactUnlatchCost(k), 0, EDI_0 + k, 0);
    for (int s : {B256_SHORT, B256_LONG})
        if (t.at(i, s).cost < INF)
            relax(t, i, ASCII, t.at(i, s).cost, 0, s, 0);
    const int ascii = t.at(i, ASCII).cost;
    if (ascii < INF) {
        for (int s : {C40_0, TEXT_0, X12_0, EDI_0})
            relax(t, i, s, ascii + 1, 0, ASCII, 0);
        relax(t, i, B256_SHORT, ascii + 2, 0, ASCII, 0);  // latch and a one-codeword length
    }
}

// ASCII from position i (a unit, or a digit pair), and the tails that are
// ASCII after a triplet or group.
void asciiSteps(const Table& t, int i, int aCost, bool pair) {
    const int ascii = t.at(i, ASCII).cost;
    if (ascii < INF) {
        relax(t, i + 1, ASCII, ascii + aCost, 0, ASCII, 1);
        if (pair)
            relax(t, i + 2, ASCII, ascii + 1, 0, ASCII, 2);
    }
    for (int base : {C40_0, TEXT_0, X12_0}) {
        const int c = t.at(i, base).cost;
        if (c >= INF)
            continue;
        if (aCost == 1)
            relax(t, i + 1, TRIPLET_TAIL, c + 1, 0, base, 1);
        if (pair)
            relax(t, i + 2, TRIPLET_TAIL, c + 1, 0, base, 2);
    }
    const int c = t.at(i, EDI_0).cost;
    if (c < INF && aCost <= 2)
        relax(t, i + 1, aCost == 1 ? EDI_TAIL_1 : EDI_TAIL_2, c + aCost, 0, EDI_0, 1);
    if (c < INF && pair)
        relax(t, i + 2, EDI_TAIL_1, c + 1, 0, EDI_0, 2);
    const int c1 = t.at(i, EDI_TAIL_1).cost;
    if (c1 < INF && aCost == 1)
        relax(t, i + 1, EDI_TAIL_2, c1 + 1, 0, EDI_TAIL_1, 1);
    if (c1 < INF && pair)
        relax(t, i + 2, EDI_TAIL_2, c1 + 1, 0, EDI_TAIL_1, 2);
}

// C40, Text, X12, EDIFACT and Base 256 over the unit at position i.
void groupSteps(const Table& t, int i, const Unit& u) {
    for (int base : {C40_0, TEXT_0}) {
        int v[4];
        const int count = tripletValues(u, base == TEXT_0, v);
        if (count == 0)
            continue;
        for (int p = 0; p < 3; ++p) {
            const int c = t.at(i, base + p).cost;
            if (c < INF)
                relax(t, i + 1, base + (p + count) % 3, c + 2 * ((p + count) / 3), 0, base + p, 1);
        }
    }
    if (x12Value(u) >= 0)
        for (int p = 0; p < 3; ++p) {
            const int c = t.at(i, X12_0 + p).cost;
            if (c < INF)
                relax(t, i + 1, X12_0 + (p + 1) % 3, c + (p == 2 ? 2 : 0), 0, X12_0 + p, 1);
        }
    if (edifactValue(u) >= 0)
        for (int k = 0; k < 4; ++k) {
            const int c = t.at(i, EDI_0 + k).cost;
            if (c < INF)
                relax(t, i + 1, EDI_0 + (k + 1) % 4, c + (k == 3 ? 3 : 0), 0, EDI_0 + k, 1);
        }
    if (u.kind == Unit::Byte) {
        const Cell& s = t.at(i, B256_SHORT);
        if (s.cost < INF) {
            if (s.run + 1 >= B256_LONG_RUN)
                relax(t, i + 1, B256_LONG, s.cost + 2, 0, B256_SHORT, 1);
            else
                relax(t, i + 1, B256_SHORT, s.cost + 1, s.run + 1, B256_SHORT, 1);
        }
        const int l = t.at(i, B256_LONG).cost;
        if (l < INF)
            relax(t, i + 1, B256_LONG, l + 1, 0, B256_LONG, 1);
    }
}

// Step 1: the cost table, left to right.
void fill(const std::vector<Unit>& units, const Table& t) {
    t.cells.assign(static_cast<std::size_t>(t.n + 1) * STATE_COUNT, Cell{INF, 0, 0, 0});
    t.at(0, ASCII).cost = 0;
    for (int i = 0; i <= t.n; ++i) {
        latchesAt(t, i);
        if (i == t.n)
            break;
        const Unit& u = units[static_cast<std::size_t>(i)];
        const bool pair = i + 1 < t.n && isDigit(u) && isDigit(units[static_cast<std::size_t>(i) + 1]);
        asciiSteps(t, i, asciiCost(u), pair);
        groupSteps(t, i, u);
    }
}

// Step 2: the capacities an end state fits, [least, most]. A triplet ended
// mid-way is completed with Shift 1 (C40 and Text, two values pending); the
// unlatch after a finished triplet or group is left out when the symbol ends
// there, so it does not count; a tail fits only where a reader expects it.
struct EndRange {
    int least = INF;
    int most = INF;
};

EndRange endRange(const View& t, int s) {
    const int c = t.at(t.n, s).cost;
    if (c >= INF)
        return {};
    switch (s) {
    case ASCII: case B256_SHORT: case B256_LONG:
    case C40_0: case TEXT_0: case X12_0: case EDI_0:
        return {c, INF};
    case C40_2: case TEXT_2:
        return {c + 2, INF};
    case TRIPLET_TAIL:
        return {c, c};
    case EDI_TAIL_1:
        return {c, c - 1 + 2};
    case EDI_TAIL_2:
        return {c, c - 2 + 2};
    default:
        return {};  // other partial triplets and groups end through ASCII
    }
}

// The end state for a symbol of `capacity` codewords, -1 if none fits.
int chooseEnd(const View& t, int capacity) {
    int best = -1;
    int bestLeast = INF;
    for (int s = 0; s < STATE_COUNT; ++s) {
        const EndRange r = endRange(t, s);
        if (r.least <= capacity && capacity <= r.most && r.least < bestLeast) {
            best = s;
            bestLeast = r.least;
        }
    }
    return best;
}

// Step 3 writes the codewords along the path.
class Writer {
public:
    explicit Writer(std::vector<std::uint8_t>& out) : out_(out), start_(out.size()) {}

    void ascii(const std::vector<Unit>& units, int i, int consumed) {
        const Unit& u = units[static_cast<std::size_t>(i)];
        if (consumed == 2) {
            const int value = (u.byte - '0') * 10 + (units[static_cast<std::size_t>(i) + 1].byte - '0');
            put(DIGIT_PAIR_BASE + value);
            return;
        }
        switch (u.kind) {
        case Unit::Fnc1: put(FNC1); return;
        case Unit::Eci: eci(u.eci); return;
        case Unit::Byte: break;
        }
        if (u.byte >= 128) {
            put(UPPER_SHIFT);
            put(u.byte - 128 + 1);
        } else {
            put(u.byte + 1);
        }
    }

    void latch(int to) {
        switch (modeOf(to)) {
        case Mode::C40: put(LATCH_C40); break;
        case Mode::Text: put(LATCH_TEXT); break;
        case Mode::X12: put(LATCH_X12); break;
        case Mode::Edifact: put(LATCH_EDIFACT); break;
        case Mode::Base256:
            put(LATCH_BASE256);
            b256Start_ = out_.size();
            break;
        case Mode::Ascii: break;
        }
    }

    void value(int v) {
        values_[count_++] = v;
        if (count_ == 3) {
            const int packed = 1600 * values_[0] + 40 * values_[1] + values_[2] + 1;
            put(packed >> 8);
            put(packed & 0xFF);
            count_ = 0;
        }
    }

    void edifact(int v) {
        bits_ = (bits_ << 6) | static_cast<unsigned>(v);
        nbits_ += 6;
        if (nbits_ == 24) {
            put(static_cast<int>(bits_ >> 16));
            put(static_cast<int>((bits_ >> 8) & 0xFF));
            put(static_cast<int>(bits_ & 0xFF));
            bits_ = 0;
            nbits_ = 0;
        }
    }

    // The unlatch value, then whole codewords with zero bits after it.
    void edifactUnlatch() {
        edifact(EDIFACT_UNLATCH);
        while (nbits_ > 0) {
            if (nbits_ >= 8) {
                nbits_ -= 8;
                put(static_cast<int>((bits_ >> nbits_) & 0xFF));
            } else {
                put(static_cast<int>((bits_ << (8 - nbits_)) & 0xFF));
                nbits_ = 0;
            }
        }
        bits_ = 0;
    }

    void byte(int b) { put(b); }

    // The length field goes before the run; then the whole field, length
    // included, is scrambled by the 255-state algorithm (ISO/IEC 16022, Annex B).
    void endBase256() {
        const std::size_t length = out_.size() - b256Start_;
        std::uint8_t head[2];
        int headLength = 1;
        if (length < B256_LONG_RUN) {
            head[0] = static_cast<std::uint8_t>(length);
        } else {
            head[0] = static_cast<std::uint8_t>(length / 250 + 249);
            head[1] = static_cast<std::uint8_t>(length % 250);
            headLength = 2;
        }
        out_.insert(out_.begin() + static_cast<std::ptrdiff_t>(b256Start_), head, head + headLength);
        for (std::size_t k = b256Start_; k < out_.size(); ++k) {
            const int pseudo = static_cast<int>((149 * (k + 1)) % 255) + 1;
            const int v = out_[k] + pseudo;
            out_[k] = static_cast<std::uint8_t>(v <= 255 ? v : v - 256);
        }
    }

    void put(int cw) { out_.push_back(static_cast<std::uint8_t>(cw)); }
    std::size_t size() const { return out_.size(); }
    // Codewords written since the writer was made.
    int written() const { return static_cast<int>(out_.size() - start_); }

private:
    void eci(int designator) {
        put(ECI);
        if (designator < 127) {
            put(designator + 1);
        } else if (designator < 16383) {
            put((designator - 127) / 254 + 128);
            put((designator - 127) % 254 + 1);
        } else {
            put((designator - 16383) / 64516 + 192);
            put((designator - 16383) / 254 % 254 + 1);
            put((designator - 16383) % 254 + 1);
        }
    }

    std::vector<std::uint8_t>& out_;
    std::size_t start_;
    int values_[3] = {};
    int count_ = 0;
    unsigned bits_ = 0;
    int nbits_ = 0;
    std::size_t b256Start_ = 0;
};

struct Step {
    std::uint8_t from, to;
    std::uint8_t consumed;
    int position;  // where the step starts
};

// The one traceback: the steps of the path that ends in state `end`, first to last.
std::vector<Step> traceback(const View& t, int end) {
    std::vector<Step> steps;
    int i = t.n;
    int s = end;
    while (!(i == 0 && s == ASCII)) {
        const Cell& c = t.at(i, s);
        steps.push_back(Step{c.from, static_cast<std::uint8_t>(s), c.consumed, i - c.consumed});
        i -= c.consumed;
        s = c.from;
    }
    std::reverse(steps.begin(), steps.end());
    return steps;
}

bool isTail(int state) { return state == TRIPLET_TAIL || state == EDI_TAIL_1 || state == EDI_TAIL_2; }

// The codewords of one step: a latch or unlatch, or the unit(s) it takes.
void writeStep(Writer& w, const std::vector<Unit>& units, const Step& step) {
    if (step.consumed == 0) {
        if (step.to != ASCII)
            w.latch(step.to);
        else if (isTriplet(step.from))
            w.put(UNLATCH);
        else if (modeOf(step.from) == Mode::Edifact)
            w.edifactUnlatch();
        else if (modeOf(step.from) == Mode::Base256)
            w.endBase256();
        return;
    }
    const Unit& u = units[static_cast<std::size_t>(step.position)];
    const Mode m = modeOf(step.from);
    if (isTail(step.to) || m == Mode::Ascii) {
        w.ascii(units, step.position, step.consumed);
    } else if (m == Mode::C40 || m == Mode::Text) {
        int v[4];
        const int count = tripletValues(u, m == Mode::Text, v);
        for (int k = 0; k < count; ++k)
            w.value(v[k]);
    } else if (m == Mode::X12) {
        w.value(x12Value(u));
    } else if (m == Mode::Edifact) {
        w.edifact(edifactValue(u));
    } else {
        w.byte(u.byte);
    }
}

// The segment a step with units belongs to, extended or begun (tails are written in ASCII).
void addToSegments(const Step& step, std::vector<Segment>& segments) {
    const Mode shown = isTail(step.to) ? Mode::Ascii : modeOf(step.from);
    if (segments.empty() || segments.back().mode != shown || segments.back().end != step.position)
        segments.push_back(Segment{shown, step.position, step.position + step.consumed});
    else
        segments.back().end = step.position + step.consumed;
}

// The end of the data in state `end`, as endRange() allowed for it.
void writeEnd(Writer& w, int end, int capacity) {
    switch (end) {
    case B256_SHORT: case B256_LONG:
        w.endBase256();
        break;
    // A reader takes a single codeword left after a triplet as ASCII, so the
    // unlatch is written only where two or more follow (the pad fills one).
    case C40_2: case TEXT_2:
        w.value(0);  // Shift 1 completes the triplet
        if (capacity - w.written() >= 2)
            w.put(UNLATCH);
        break;
    case C40_0: case TEXT_0: case X12_0:
        if (capacity - w.written() >= 2)
            w.put(UNLATCH);
        break;
    case EDI_0:
        // With two codewords or fewer left a reader returns to ASCII by
        // itself, and would read an unlatch as an ASCII character.
        if (capacity - w.written() >= 3)
            w.edifactUnlatch();
        break;
    default:
        break;
    }
}

void write(const View& t, const std::vector<Unit>& units, int end, int capacity, std::vector<std::uint8_t>& out,
           std::vector<Segment>* segments) {
    Writer w(out);
    for (const Step& step : traceback(t, end)) {
        if (segments && step.consumed != 0)
            addToSegments(step, *segments);
        writeStep(w, units, step);
    }
    writeEnd(w, end, capacity);
    assert(w.written() <= capacity);
}

}  // namespace

StreamPlan::StreamPlan(const std::vector<Unit>& units) : units_(units) {
    fill(units_, Table{static_cast<int>(units_.size()), cells_});
    const View t{static_cast<int>(units_.size()), cells_};
    for (int s = 0; s < STATE_COUNT; ++s) {
        const EndRange r = endRange(t, s);
        if (r.least < INF)
            ends_.push_back({r.least, r.most});
    }
}

int StreamPlan::least() const {
    const View t{static_cast<int>(units_.size()), cells_};
    int least = INF;
    for (int s = 0; s < STATE_COUNT; ++s)
        least = std::min(least, endRange(t, s).least);
    return least >= INF ? INT_MAX : least;
}

bool StreamPlan::fits(int capacity) const {
    for (const auto& [least, most] : ends_)
        if (least <= capacity && capacity <= most)
            return true;
    return false;
}

void StreamPlan::write(int capacity, std::vector<std::uint8_t>& out, std::vector<Segment>* segments) const {
    const View t{static_cast<int>(units_.size()), cells_};
    const int end = chooseEnd(t, capacity);
    assert(end >= 0);
    if (end >= 0)
        detail::write(t, units_, end, capacity, out, segments);
}

}  // namespace korvane::datamatrix::detail
