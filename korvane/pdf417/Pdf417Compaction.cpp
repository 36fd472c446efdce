// PDF417 high-level encoding (ISO/IEC 15438 5.4): the data as codewords in
// text, byte and numeric compaction, the mode sequence chosen as a shortest
// path over (position, state), then ECI designators and the Macro PDF417
// control block around it.

#include "Pdf417.h"

#include "../base/Text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <memory>

namespace korvane::pdf417 {
namespace {

// Mode codewords (ISO/IEC 15438 Table 4).
constexpr int LATCH_TEXT = 900;
constexpr int LATCH_BYTE = 901;
constexpr int LATCH_NUMERIC = 902;
constexpr int SHIFT_BYTE = 913;
constexpr int READER_INIT = 921;
constexpr int MACRO_TERMINATOR = 922;
constexpr int MACRO_OPTIONAL = 923;
constexpr int LATCH_BYTE_SIX = 924;
constexpr int ECI_USER = 925;
constexpr int ECI_GENERAL = 926;
constexpr int ECI_CHARSET = 927;
constexpr int MACRO_BEGIN = 928;

// Text sub-modes and their special values (ISO/IEC 15438 Table 3).
enum Sub : int { ALPHA = 0, LOWER = 1, MIXED = 2, PUNCT = 3 };
constexpr int PS = 29;  // punctuation shift in alpha, lower and mixed; the pad
constexpr int AS = 27;  // alpha shift in lower

// The values that latch from one sub-mode to another, at most two.
struct Latch {
    int count;
    int values[2];
};
constexpr Latch LATCHES[4][4] = {
    //  to ALPHA        LOWER           MIXED           PUNCT
    {{0, {0, 0}}, {1, {27, 0}}, {1, {28, 0}}, {2, {28, 25}}},     // from ALPHA (ll, ml, ml pl)
    {{2, {28, 28}}, {0, {0, 0}}, {1, {28, 0}}, {2, {28, 25}}},    // from LOWER (ml al, -, ml, ml pl)
    {{1, {28, 0}}, {1, {27, 0}}, {0, {0, 0}}, {1, {25, 0}}},      // from MIXED (al, ll, -, pl)
    {{1, {29, 0}}, {2, {29, 27}}, {2, {29, 28}}, {0, {0, 0}}},    // from PUNCT (al, al ll, al ml, -)
};

// The value of an ASCII byte in each sub-mode, -1 where it has none
// (ISO/IEC 15438 Table 3).
struct TextValues {
    std::array<std::array<std::int8_t, 128>, 4> value{};
    std::array<std::uint8_t, 256> mask{};  // bit per sub-mode holding the byte
};
constexpr TextValues makeTextValues() {
    TextValues t{};
    for (auto& sub : t.value)
        for (auto& v : sub)
            v = -1;
    for (int c = 'A'; c <= 'Z'; ++c)
        t.value[ALPHA][c] = static_cast<std::int8_t>(c - 'A');
    for (int c = 'a'; c <= 'z'; ++c)
        t.value[LOWER][c] = static_cast<std::int8_t>(c - 'a');
    t.value[ALPHA][' '] = t.value[LOWER][' '] = t.value[MIXED][' '] = 26;
    const char mixed[] = "0123456789&\r\t,:#-.$/+%*=^";
    for (int i = 0; mixed[i] != 0; ++i)
        t.value[MIXED][static_cast<unsigned char>(mixed[i])] = static_cast<std::int8_t>(i);
    const char punct[] = ";<>@[\\]_`~!\r\t,:\n-.$/\"|*()?{}'";
    for (int i = 0; punct[i] != 0; ++i)
        t.value[PUNCT][static_cast<unsigned char>(punct[i])] = static_cast<std::int8_t>(i);
    for (int c = 0; c < 128; ++c)
        for (int s = 0; s < 4; ++s)
            if (t.value[s][c] >= 0)
                t.mask[c] = static_cast<std::uint8_t>(t.mask[c] | (1U << s));
    return t;
}
constexpr TextValues TEXT = makeTextValues();
static_assert(sizeof("0123456789&\r\t,:#-.$/+%*=^") - 1 == 25, "mixed values 0-24");
static_assert(sizeof(";<>@[\\]_`~!\r\t,:\n-.$/\"|*()?{}'") - 1 == 29, "punctuation values 0-28");

bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// --- codeword builders ---

// "1" before the digits, then base 900 (ISO/IEC 15438 5.4.4): up to 44 digits
// make at most 15 codewords.
void appendNumericGroup(const char* digits, int count, std::vector<int>& out) {
    std::array<int, 45> number{};
    int length = 0;
    number[length++] = 1;
    for (int i = 0; i < count; ++i)
        number[length++] = digits[i] - '0';
    std::array<int, 16> base900{};
    int produced = 0;
    int start = 0;
    while (start < length) {
        int remainder = 0;
        for (int i = start; i < length; ++i) {
            const int value = remainder * 10 + number[i];
            number[i] = value / 900;
            remainder = value % 900;
        }
        base900[produced++] = remainder;
        while (start < length && number[start] == 0)
            ++start;
    }
    for (int i = produced - 1; i >= 0; --i)
        out.push_back(base900[i]);
}

void appendNumeric(const std::string& digits, std::vector<int>& out) {
    for (std::size_t at = 0; at < digits.size(); at += 44)
        appendNumericGroup(digits.data() + at, static_cast<int>(std::min<std::size_t>(44, digits.size() - at)), out);
}

// Six bytes as a 48-bit number, five codewords base 900; the rest one a byte.
void appendBytes(const std::string& bytes, std::vector<int>& out) {
    const std::size_t n = bytes.size();
    out.push_back(n % 6 == 0 ? LATCH_BYTE_SIX : LATCH_BYTE);
    std::size_t i = 0;
    for (; i + 6 <= n; i += 6) {
        std::uint64_t value = 0;
        for (std::size_t j = 0; j < 6; ++j)
            value = (value << 8) | static_cast<unsigned char>(bytes[i + j]);
        int words[5];
        for (int j = 4; j >= 0; --j) {
            words[j] = static_cast<int>(value % 900);
            value /= 900;
        }
        out.insert(out.end(), words, words + 5);
    }
    for (; i < n; ++i)
        out.push_back(static_cast<unsigned char>(bytes[i]));
}

// --- the emitter: steps to codewords ---

enum class Mode { None, Text, Byte, Numeric };

struct Emitter {
    std::vector<int>& out;
    Mode mode;
    int sub = ALPHA;
    std::vector<int> values;          // text values not yet paired
    std::string run;                  // bytes of the current byte segment
    std::vector<std::string> groups;  // digits of the current numeric segment

    // Closes the current segment's codewords (the mode stays as it is).
    void flush() {
        if (mode == Mode::Text) {
            if (values.size() % 2 != 0)
                values.push_back(PS);
            for (std::size_t i = 0; i < values.size(); i += 2)
                out.push_back(30 * values[i] + values[i + 1]);
            values.clear();
        } else if (mode == Mode::Byte) {
            appendBytes(run, out);
            run.clear();
        } else if (mode == Mode::Numeric) {
            out.push_back(LATCH_NUMERIC);
            for (const std::string& g : groups)
                appendNumericGroup(g.data(), static_cast<int>(g.size()), out);
            groups.clear();
        }
    }
    void enter(Mode m) {
        if (mode == m)
            return;
        flush();
        mode = m;
        if (m == Mode::Text) {
            out.push_back(LATCH_TEXT);
            sub = ALPHA;
        }
    }
};

}  // namespace

namespace detail {

bool emitSteps(const std::string& bytes, const std::vector<Step>& steps, bool latched, std::vector<int>& out) {
    if (steps.size() != bytes.size())
        return false;
    Emitter e{out, latched ? Mode::None : Mode::Text, ALPHA, {}, {}, {}};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        const int ascii = c < 128 ? c : 0;
        switch (steps[i]) {
        case Step::TextAlpha:
        case Step::TextLower:
        case Step::TextMixed:
        case Step::TextPunct: {
            const int target = static_cast<int>(steps[i]) - static_cast<int>(Step::TextAlpha);
            if (c >= 128 || TEXT.value[target][ascii] < 0)
                return false;
            e.enter(Mode::Text);
            const Latch& l = LATCHES[e.sub][target];
            e.values.insert(e.values.end(), l.values, l.values + l.count);
            e.values.push_back(TEXT.value[target][ascii]);
            e.sub = target;
            break;
        }
        case Step::ShiftPunct:
            if (c >= 128 || TEXT.value[PUNCT][ascii] < 0)
                return false;
            e.enter(Mode::Text);
            if (e.sub == PUNCT)
                return false;
            e.values.push_back(PS);
            e.values.push_back(TEXT.value[PUNCT][ascii]);
            break;
        case Step::ShiftAlpha:
            if (c >= 128 || TEXT.value[ALPHA][ascii] < 0 || e.mode != Mode::Text || e.sub != LOWER)
                return false;
            e.values.push_back(AS);
            e.values.push_back(TEXT.value[ALPHA][ascii]);
            break;
        case Step::ByteShift:
            if (e.mode != Mode::Text)
                return false;
            if (e.values.size() % 2 != 0 && e.sub == PUNCT)
                e.sub = ALPHA;  // the pad is al in punctuation
            e.flush();
            out.push_back(SHIFT_BYTE);
            out.push_back(c);
            break;
        case Step::Byte:
            e.enter(Mode::Byte);
            e.run.push_back(static_cast<char>(c));
            break;
        case Step::Digit:
        case Step::DigitGroup:
            if (!isDigit(c))
                return false;
            if (e.mode != Mode::Numeric) {
                e.enter(Mode::Numeric);
                e.groups.emplace_back();
            } else if (steps[i] == Step::DigitGroup) {
                e.groups.emplace_back();
            } else if (e.groups.back().size() == 44) {
                return false;
            }
            e.groups.back().push_back(static_cast<char>(c));
            break;
        }
    }
    e.enter(Mode::None);
    return true;
}

namespace {

// The search of shortestSteps(). States: text (one per sub-mode), byte
// (bytes mod 6), numeric (digits in the current group, 1-44), and "nothing
// latched yet" after an ECI. Costs are in half codewords (UNIT), plus one for
// every latch or shift so that among streams of one length the one with the
// fewest changes of mode wins. Every finished segment fills whole codewords,
// so the half codewords of a text state's cost tell the parity of its open
// segment; and of two ways into one sub-mode the cheaper is never worse later
// (the other's extra half codeword is a pad at the latest), so one state per
// sub-mode suffices.
constexpr int TEXT_STATES = 4;
constexpr int BYTE0 = TEXT_STATES;
constexpr int BYTE_STATES = 6;       // six bytes pack into five codewords
constexpr int GROUP_DIGITS = 44;     // digits of one numeric group
constexpr int NUM1 = BYTE0 + BYTE_STATES;
constexpr int NONE = NUM1 + GROUP_DIGITS;
constexpr int STATES = NONE + 1;
// 64-bit costs: half codewords in units of 2^16 overflow 32 bits past
// 16,384 half codewords, which long data (or a long Macro field) reaches.
using Cost = std::int64_t;
constexpr Cost INF = std::numeric_limits<Cost>::max() / 4;
constexpr Cost UNIT = 1 << 16;  // changes of mode stay below this in any stream

// Leaving a state for a latch into text, byte or numeric compaction costs the
// same from every state of a kind: only the cheapest such state (the first in
// state order among equals) matters.
struct Exits {
    Cost leave = INF, relatch = INF, toByte = INF, toDigit = INF;
    int leaveFrom = 0;    // from text, the pad paid: to byte or numeric
    int relatchFrom = 0;  // from byte, numeric or nothing: back to text
    int toByteFrom = 0;   // from numeric or nothing: into byte
    int toDigitFrom = 0;  // from byte: into numeric
};

// A character of text from sub-mode s into t: its value and the latch.
constexpr std::array<std::array<Cost, 4>, 4> makeTextCosts() {
    std::array<std::array<Cost, 4>, 4> cost{};
    for (std::size_t from = 0; from < 4; ++from)
        for (std::size_t to = 0; to < 4; ++to)
            cost[from][to] = (LATCHES[from][to].count + 1) * UNIT + (LATCHES[from][to].count > 0 ? 1 : 0);
    return cost;
}
constexpr std::array<std::array<Cost, 4>, 4> TEXT_COSTS = makeTextCosts();

inline void keep(Cost& best, int& from, Cost c, int state) {
    if (c < best) {
        best = c;
        from = state;
    }
}

// The way into a state: the state it came from (low byte) and the step (high byte).
using Back = std::uint16_t;

// What the steps over one character share. The functions that take it are
// always inlined into the one loop, so that it lives in registers as the
// loop's locals do.
struct Frame {
    const Cost* cost;  // the costs before the character
    Cost* next;        // and after it
    Back* row;         // the ways into `next`
    unsigned mask;     // the text sub-modes that hold the character
    bool digit;
    bool textOnly;
};

#define KV_STEP [[gnu::always_inline]] inline

KV_STEP void relax(const Frame& f, int state, Cost c, int prev, Step step) {
    if (c < f.next[state]) {
        f.next[state] = c;
        f.row[state] = static_cast<Back>(prev | static_cast<int>(step) << 8);
    }
}

// Text from sub-mode `s` at cost `c`.
KV_STEP void text(const Frame& f, int s, Cost c, int prev) {
    for (unsigned m = f.mask; m != 0; m &= m - 1) {
        const int t = __builtin_ctz(m);
        relax(f, t, c + TEXT_COSTS[static_cast<std::size_t>(s)][static_cast<std::size_t>(t)], prev,
              static_cast<Step>(static_cast<int>(Step::TextAlpha) + t));
    }
    if ((f.mask & (1U << PUNCT)) && s != PUNCT)
        relax(f, s, c + 2 * UNIT + 1, prev, Step::ShiftPunct);
}

// Steps from the text states; true when a byte state is reached.
KV_STEP bool fromText(const Frame& f, Exits& e) {
    for (int s = 0; s < TEXT_STATES; ++s) {
        const Cost c = f.cost[s];
        if (c >= INF)
            continue;
        text(f, s, c, s);
        if (s == LOWER && (f.mask & (1U << ALPHA)))
            relax(f, s, c + 2 * UNIT + 1, s, Step::ShiftAlpha);
        if (f.textOnly)
            continue;
        const Cost p = (c / UNIT) & 1;  // a value waits for its pair: the pad
        // A byte shift for a character of text pays off only from
        // punctuation, where a lower-case letter costs al ll x ml pl;
        // from any other sub-mode text reaches the same state as cheaply.
        if (f.mask == 0 || s == PUNCT)
            relax(f, p && s == PUNCT ? ALPHA : s, c + (p + 4) * UNIT + 1, s, Step::ByteShift);
        keep(e.leave, e.leaveFrom, c + (p + 4) * UNIT + 1, s);
    }
    if (e.leave >= INF)
        return false;
    relax(f, BYTE0 + 1, e.leave, e.leaveFrom, Step::Byte);
    if (f.digit)
        relax(f, NUM1, e.leave, e.leaveFrom, Step::Digit);
    return true;
}

// Steps from the byte states; true when a byte state is reached.
KV_STEP bool fromByte(const Frame& f, Exits& e) {
    bool byteNext = false;
    // A byte state costing at least a latch from text plus one codeword is
    // dominated: the byte segment that latch opens costs at most one free
    // sixth byte (one codeword) more on any way on.
    for (int state = BYTE0; state < NUM1; ++state) {
        const Cost c = f.cost[state];
        if (c >= INF || c >= e.leave)
            continue;
        relax(f, state == NUM1 - 1 ? BYTE0 : state + 1, c + (state == NUM1 - 1 ? 0 : 2 * UNIT), state, Step::Byte);
        byteNext = true;
        keep(e.relatch, e.relatchFrom, c, state);
        keep(e.toDigit, e.toDigitFrom, c, state);
    }
    if (f.digit && e.toDigit < INF)
        relax(f, NUM1, e.toDigit + 4 * UNIT + 1, e.toDigitFrom, Step::Digit);
    return byteNext;
}

// Steps from the numeric states N(1) .. N(top).
KV_STEP void fromNumeric(const Frame& f, Exits& e, int top) {
    for (int state = NUM1; state < NUM1 + top; ++state) {
        const Cost c = f.cost[state];
        if (c >= INF)
            continue;
        const int k = state - NUM1 + 1;
        // A new group before 44 digits never saves a codeword (1 + n/3
        // rounded down is at most the sum over any split of n digits), and
        // splitting only when full keeps the groups as readers expect.
        if (f.digit) {
            if (k < GROUP_DIGITS)
                relax(f, state + 1, c + ((k + 1) % 3 == 0 ? 2 * UNIT : 0), state, Step::Digit);
            else
                relax(f, NUM1, c + 2 * UNIT, state, Step::DigitGroup);
        }
        keep(e.relatch, e.relatchFrom, c, state);
        keep(e.toByte, e.toByteFrom, c, state);
    }
}

// Steps from "nothing latched", only before the first byte after an ECI,
// where nothing else lives.
KV_STEP void fromNone(const Frame& f, Exits& e) {
    keep(e.relatch, e.relatchFrom, f.cost[NONE], NONE);
    keep(e.toByte, e.toByteFrom, f.cost[NONE], NONE);
    if (f.digit)
        relax(f, NUM1, f.cost[NONE] + 4 * UNIT + 1, NONE, Step::Digit);
}

#undef KV_STEP

// The steps of the cheapest way to the end (a text state pays its pad).
std::vector<Step> traceback(const Cost* cost, const Back* back, std::size_t n) {
    int best = 0;
    Cost bestCost = INF;
    for (int state = 0; state < STATES; ++state) {
        if (cost[state] >= INF)
            continue;
        const Cost total = cost[state] + (state < TEXT_STATES ? ((cost[state] / UNIT) & 1) * UNIT : 0);
        if (total < bestCost) {
            bestCost = total;
            best = state;
        }
    }
    std::vector<Step> steps(n);
    for (std::size_t i = n; i > 0; --i) {
        const Back b = back[i * STATES + best];
        steps[i - 1] = static_cast<Step>(b >> 8);
        best = b & 0xFF;
    }
    return steps;
}

}  // namespace

std::vector<Step> shortestSteps(const std::string& bytes, bool latched, bool textOnly) {
    const std::size_t n = bytes.size();
    // Left uninitialised: the traceback reads only cells a relaxation wrote.
    const std::unique_ptr<Back[]> back(new Back[(n + 1) * STATES]);
    std::array<Cost, STATES> costA, costB;
    Cost* cost = costA.data();
    Cost* next = costB.data();
    costA.fill(INF);
    costB.fill(INF);
    cost[latched ? NONE : ALPHA] = 0;
    int numTop = 0;   // numeric states live in `cost`: N(1) .. N(numTop) at most
    int nextTop = 0;  // the same for the older costs left in `next`
    bool byteLive = false;
    bool noneLive = latched;
    for (std::size_t i = 0; i < n; ++i) {
        const int numericEnd = NUM1 + std::max(std::min(GROUP_DIGITS, numTop + 1), nextTop);
        std::fill(next, next + NUM1 + 1, INF);
        if (numericEnd > NUM1 + 1)
            std::fill(next + NUM1 + 1, next + numericEnd, INF);
        const auto ch = static_cast<unsigned char>(bytes[i]);
        const Frame f{cost, next, &back[(i + 1) * STATES], TEXT.mask[ch], isDigit(ch), textOnly};
        Exits e;
        bool byteNext = fromText(f, e);
        if (byteLive)
            byteNext = fromByte(f, e) || byteNext;
        fromNumeric(f, e, numTop);
        if (noneLive) {
            fromNone(f, e);
            cost[NONE] = INF;
            noneLive = false;
        }
        if (e.relatch < INF)
            text(f, ALPHA, e.relatch + 2 * UNIT + 1, e.relatchFrom);
        if (e.toByte < INF) {
            relax(f, BYTE0 + 1, e.toByte + 4 * UNIT + 1, e.toByteFrom, Step::Byte);
            byteNext = true;
        }
        std::swap(cost, next);
        byteLive = byteNext;
        int top = 0;
        for (int state = NUM1; state < NUM1 + std::min(GROUP_DIGITS, numTop + 1); ++state)
            if (cost[state] < INF)
                top = state - NUM1 + 1;
        nextTop = numTop;
        numTop = top;
    }
    return traceback(cost, back.get(), n);
}

namespace {

Result<int> appendEci(int eci, std::vector<int>& out) {
    if (eci < 0 || eci > 811799)
        return Error{ErrorCode::InvalidData, "ECI " + std::to_string(eci) + " is beyond PDF417's 0-811799"};
    if (eci < 900) {
        out.push_back(ECI_CHARSET);
        out.push_back(eci);
    } else if (eci < 810900) {
        out.push_back(ECI_GENERAL);
        out.push_back(eci / 900 - 1);
        out.push_back(eci % 900);
    } else {
        out.push_back(ECI_USER);
        out.push_back(eci - 810900);
    }
    return 0;
}

// A text field of a Macro PDF417 control block: text compaction only.
Result<int> appendTextField(int designator, const std::string& text, std::vector<int>& out) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (TEXT.mask[c] == 0)
            return Error{ErrorCode::InvalidOption, "a Macro PDF417 text field takes printable ASCII, not byte " +
                                                       std::to_string(c) + " at position " + std::to_string(i + 1)};
    }
    out.push_back(MACRO_OPTIONAL);
    out.push_back(designator);
    // The field is read in text compaction alone, from alpha.
    std::vector<int> words;
    if (!emitSteps(text, shortestSteps(text, false, true), false, words))
        return Error{ErrorCode::InvalidOption, "a Macro PDF417 text field cannot be encoded"};
    out.insert(out.end(), words.begin(), words.end());
    return 0;
}

void appendNumericField(int designator, long long value, std::vector<int>& out) {
    out.push_back(MACRO_OPTIONAL);
    out.push_back(designator);
    appendNumeric(std::to_string(value), out);
}

}  // namespace

Result<std::vector<int>> dataCodewords(const Message& message, const MacroFields& macro) {
    if (message.gs1)
        return Error{ErrorCode::InvalidData, "PDF417 here does not take GS1 data"};
    std::vector<int> out;
    if (message.readerInit)
        out.push_back(READER_INIT);
    std::size_t at = 0;
    bool emitted = false;
    std::size_t marker = 0;
    while (at < message.bytes.size() || marker < message.markers.size()) {
        if (marker < message.markers.size() && message.markers[marker].position <= at) {
            const Marker& m = message.markers[marker++];
            if (m.kind != MarkerKind::Eci)
                return Error{ErrorCode::InvalidData, "PDF417 here takes no FNC1 (position " +
                                                         std::to_string(m.position + 1) + ")"};
            auto r = appendEci(m.eci, out);
            if (!r)
                return r.error();
            continue;
        }
        std::size_t end = message.bytes.size();
        if (marker < message.markers.size())
            end = std::min(end, std::max(at, message.markers[marker].position));
        const std::string segment = message.bytes.substr(at, end - at);
        // After data, an ECI leaves the decoder's mode open: latch anew.
        const bool latched = emitted;
        emitSteps(segment, shortestSteps(segment, latched), latched, out);
        emitted = emitted || !segment.empty();
        at = end;
    }

    const StructuredAppend& sa = message.structuredAppend;
    if (sa.index > 0) {
        if (sa.count < 1 || sa.index > sa.count || sa.count > 99999)
            return Error{ErrorCode::InvalidOption, "a Macro PDF417 set has 1 to 99,999 segments and an index within it"};
        std::string id = sa.id.empty() ? std::string("000") : sa.id;
        if (id.size() % 3 != 0 || !std::all_of(id.begin(), id.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return Error{ErrorCode::InvalidOption,
                         "a Macro PDF417 file identifier is digits in groups of three (each 000-899), not " +
                             korvane::detail::quoted(id)};
        out.push_back(MACRO_BEGIN);
        char index[6];
        const int segment = sa.index - 1;
        for (int i = 4, v = segment; i >= 0; --i, v /= 10)
            index[i] = static_cast<char>('0' + v % 10);
        appendNumericGroup(index, 5, out);
        for (std::size_t i = 0; i < id.size(); i += 3) {
            const int word = std::stoi(id.substr(i, 3));
            if (word > 899)
                return Error{ErrorCode::InvalidOption, "a Macro PDF417 file identifier group is 000-899, not " +
                                                           id.substr(i, 3)};
            out.push_back(word);
        }
        if (!macro.fileName.empty())
            if (auto r = appendTextField(0, macro.fileName, out); !r)
                return r.error();
        appendNumericField(1, sa.count, out);
        if (macro.timeStamp >= 0)
            appendNumericField(2, macro.timeStamp, out);
        if (!macro.sender.empty())
            if (auto r = appendTextField(3, macro.sender, out); !r)
                return r.error();
        if (!macro.addressee.empty())
            if (auto r = appendTextField(4, macro.addressee, out); !r)
                return r.error();
        if (macro.fileSize >= 0)
            appendNumericField(5, macro.fileSize, out);
        if (macro.checksum >= 0) {
            if (macro.checksum > 65535)
                return Error{ErrorCode::InvalidOption, "a Macro PDF417 checksum is 0-65535"};
            appendNumericField(6, macro.checksum, out);
        }
        if (sa.index == sa.count)
            out.push_back(MACRO_TERMINATOR);
    }
    return out;
}

}  // namespace detail
}  // namespace korvane::pdf417
