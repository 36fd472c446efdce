// The high-level encoder: its character tables against the engine's, streams
// that show its choices, and the length of its streams against an exhaustive
// search over every legal sequence of codes.

#include "AztecOptTestSupport.h"

#include "../../korvane/aztec/AztecModes.h"

#include <Aztec.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using aztecopt::Message;
using korvane::detail::AztecMode;

namespace {

constexpr int ENGINE_SET[] = {Aztec::SET_UPPER, Aztec::SET_LOWER, Aztec::SET_MIXED, Aztec::SET_PUNCTUATION,
                              Aztec::SET_DIGIT};

// The punctuation pair that code 2-5 stands for, as first x 256 + second.
int enginePair(int first, int second) {
    for (int code = 2; code <= 5; ++code)
        if (Aztec::charSets[code][Aztec::SET_PUNCTUATION] == first * 256 + second)
            return code;
    return -1;
}

TEST(AztecModes, CharacterTablesAgreeWithTheEngine) {
    for (int m = 0; m < korvane::detail::MODE_COUNT; ++m)
        for (int b = 0; b < 256; ++b) {
            SCOPED_TRACE(testing::Message() << "mode " << m << " byte " << b);
            EXPECT_EQ(korvane::detail::aztecCode(static_cast<AztecMode>(m), b), Aztec::findInSet(b, ENGINE_SET[m]));
            for (int second : {'\n', ' ', 'x'})
                EXPECT_EQ(korvane::detail::aztecPairCode(b, second), enginePair(b, second));
        }
}

Message plain(const std::string& s) { return {s, {}}; }

Message escaped(const std::string& s) {
    Aztec parser;
    Message m;
    m.bytes = parser.applyTilde(s);
    m.markers.assign(parser.controlChars.begin(), parser.controlChars.begin() + static_cast<long>(m.bytes.size()));
    return m;
}

struct StreamCase {
    const char* label;
    Message message;
    const char* bits;  // codes separated by spaces
};

const StreamCase STREAM_CASES[] = {
    {"lower after upper", plain("Aztec"), "00010 11100 11011 10101 00110 00100"},
    {"one capital in lower text: U/S", plain("aBc"), "11100 00010 11100 00011 00100"},
    {"back to upper through digit: D/L U/L", plain("abCDE"), "11100 00010 00011 11110 1110 00100 00101 00110"},
    {"a pair under P/S", plain("A. B"), "00010 00000 00011 00011"},
    {"CR LF pairs latched in punctuation", plain("\r\n\r\n\r\n\r\n"),
     "11101 11110 00010 00010 00010 00010"},
    {"digits with comma and period", plain("12,5.0"), "11110 0011 0100 1100 0111 1101 0010"},
    {"a byte no set holds", plain("A\xe9"), "00010 11111 00001 11101001"},
    {"FNC1 first, then digits: P/S in digit mode", escaped("~F01"), "11110 0000 00000 000 0010 0011"},
    {"ECI 26 under P/S", escaped("~E000026A"), "00000 00000 010 0100 1000 00010"},
    {"FNC1 latched in punctuation between symbols", escaped("!~F!"), "11101 11110 00110 00000 000 00110"},
};

std::string packed(const char* s) {
    std::string out;
    for (; *s != 0; ++s)
        if (*s != ' ')
            out += *s;
    return out;
}

TEST(AztecModes, KnownStreams) {
    for (const StreamCase& c : STREAM_CASES) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(aztecopt::shortestStream(c.message), packed(c.bits));
    }
}

// Byte-shift runs: 10 bits of head for up to 31 bytes, 21 for up to 2,078;
// 32-62 bytes are cheaper as two short runs, and runs beyond the 11-bit count
// are split.
TEST(AztecModes, ByteRunHeads) {
    const struct {
        int length;
        int head;
    } cases[] = {{1, 10}, {31, 10}, {32, 20}, {62, 20}, {63, 21}, {2078, 21}, {2079, 31}, {2109, 31}, {2110, 41}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        const std::string bytes(static_cast<std::size_t>(c.length), '\x80');
        const std::string bits = aztecopt::shortestStream(plain(bytes));
        EXPECT_EQ(static_cast<int>(bits.size()), 8 * c.length + c.head);
        EXPECT_EQ(aztecopt::readStream(bits).message.bytes.size(), static_cast<std::size_t>(c.length));
    }
}

// Exhaustive search: uniform-cost search over the code machine of ISO/IEC
// 24778, one code per step, with the character sets looked up in the engine.
class CodeMachine {
public:
    explicit CodeMachine(const Message& m) : msg(m), n(static_cast<int>(m.bytes.size())) {}

    // The fewest bits that write the whole message. Every code costs 4 bits or
    // more, so a bucket of equal costs never grows while it is being read.
    int shortest() {
        pendingKinds = 4 + n;
        dist.assign(static_cast<std::size_t>((n + 1) * 5 * pendingKinds), 1 << 30);
        int found = -1;
        push(0, 0, UPPER, NONE);
        for (int cost = 0; cost <= highest && found < 0; ++cost)
            for (const int s : buckets[static_cast<std::size_t>(cost)])
                if (cost == dist[static_cast<std::size_t>(s)] && settle(cost, s)) {
                    found = cost;
                    break;
                }
        for (int cost = 0; cost <= highest; ++cost)
            buckets[static_cast<std::size_t>(cost)].clear();
        highest = 0;
        return found;
    }

private:
    enum { UPPER, LOWER, MIXED, PUNCT, DIGIT };
    enum { NONE, SHIFT_U, SHIFT_P, BYTES };  // what the next code must be: BYTES + k, k bytes of a run
    static constexpr int LATCH_TO[5][3] = {
        {LOWER, MIXED, DIGIT},  // upper: L/L M/L D/L
        {MIXED, DIGIT, -1},     // lower: M/L D/L
        {LOWER, UPPER, PUNCT},  // mixed: L/L U/L P/L
        {UPPER, -1, -1},        // punctuation: U/L
        {UPPER, -1, -1},        // digit: U/L
    };
    static constexpr int MAX_COST = 8192;

    const Message& msg;
    const int n;
    int pendingKinds = 0;
    // Kept between messages: the search runs some hundred thousand times.
    static thread_local std::vector<int> dist;
    static thread_local std::vector<std::vector<int>> buckets;
    static thread_local int highest;  // the highest bucket filled

    int marker(int pos) const {
        return pos < static_cast<int>(msg.markers.size()) ? msg.markers[static_cast<std::size_t>(pos)] : -1;
    }
    static int digits(int v) { return static_cast<int>(std::to_string(v).size()); }

    void push(int cost, int pos, int mode, int pending) {
        const int s = (pos * 5 + mode) * pendingKinds + pending;
        if (cost < dist[static_cast<std::size_t>(s)]) {
            dist[static_cast<std::size_t>(s)] = cost;
            buckets.at(static_cast<std::size_t>(cost)).push_back(s);
            highest = std::max(highest, cost);
        }
    }

    // Every code the machine may write in state `s`; true when `s` is the end.
    bool settle(int cost, int s) {
        const int pending = s % pendingKinds;
        const int mode = s / pendingKinds % 5;
        const int pos = s / pendingKinds / 5;
        if (pos == n && pending == NONE)
            return true;
        const int w = mode == DIGIT ? 4 : 5;
        const bool isMarker = pos < n && marker(pos) >= 0;
        const int b = pos < n ? static_cast<unsigned char>(msg.bytes[static_cast<std::size_t>(pos)]) : -1;
        // A punctuation code: a character, a pair, or FLG(n) and its digits.
        const auto punctuation = [&](int base) {
            if (pos >= n)
                return;
            if (isMarker) {
                push(cost + base + 5 + 3 + (marker(pos) == 0 ? 0 : 4 * digits(marker(pos))), pos + 1, mode, NONE);
                return;
            }
            if (Aztec::findInSet(b, Aztec::SET_PUNCTUATION) >= 0)
                push(cost + base + 5, pos + 1, mode, NONE);
            if (pos + 1 < n && marker(pos + 1) < 0 &&
                enginePair(b, static_cast<unsigned char>(msg.bytes[static_cast<std::size_t>(pos + 1)])) >= 0)
                push(cost + base + 5, pos + 2, mode, NONE);
        };
        if (pending == SHIFT_U) {
            if (pos < n && !isMarker && Aztec::findInSet(b, Aztec::SET_UPPER) >= 0)
                push(cost + 5, pos + 1, mode, NONE);
            return false;
        }
        if (pending == SHIFT_P) {
            punctuation(0);
            return false;
        }
        if (pending >= BYTES) {
            if (pos < n && !isMarker)
                push(cost + 8, pos + 1, mode, pending == BYTES + 1 ? NONE : pending - 1);
            return false;
        }
        // Latches, as each mode's code table has them; shifts; byte shifts of
        // every length (5-bit count up to 31, else 0 and an 11-bit count).
        for (int to : LATCH_TO[mode])
            if (to >= 0)
                push(cost + w, pos, to, NONE);
        if (mode != PUNCT)
            push(cost + w, pos, mode, SHIFT_P);
        if (mode == LOWER || mode == DIGIT)
            push(cost + w, pos, mode, SHIFT_U);
        if (mode == UPPER || mode == LOWER || mode == MIXED)
            for (int k = 1; pos + k <= n && k <= 2078; ++k)
                push(cost + (k <= 31 ? 10 : 21), pos, mode, BYTES + k);
        // A character of the mode's own set.
        if (mode == PUNCT)
            punctuation(0);
        else if (pos < n && !isMarker && Aztec::findInSet(b, ENGINE_SET[mode]) >= 0)
            push(cost + w, pos + 1, mode, NONE);
        return false;
    }
};

thread_local std::vector<int> CodeMachine::dist;
thread_local std::vector<std::vector<int>> CodeMachine::buckets(CodeMachine::MAX_COST);
thread_local int CodeMachine::highest = 0;

struct Letter {
    char byte;
    int marker;
};

// Every message of up to `longest` symbols: the optimal stream is as long as
// the exhaustive search finds, and it reads back as the message.
void checkAllMessages(const std::vector<Letter>& alphabet, int longest) {
    std::vector<int> digits;
    int checked = 0;
    for (int length = 0; length <= longest; ++length) {
        digits.assign(static_cast<std::size_t>(length), 0);
        for (;;) {
            Message m;
            for (int d : digits) {
                m.bytes += alphabet[static_cast<std::size_t>(d)].byte;
                m.markers.push_back(alphabet[static_cast<std::size_t>(d)].marker);
            }
            const std::string bits = aztecopt::shortestStream(m);
            const int expected = CodeMachine(m).shortest();
            if (static_cast<int>(bits.size()) != expected) {
                ADD_FAILURE() << testing::PrintToString(m.bytes) << ": " << bits.size() << " bits, search finds "
                              << expected;
                return;
            }
            const aztecopt::ReadStream read = aztecopt::readStream(bits);
            if (!read.ok || read.message.bytes != m.bytes || read.message.markers != m.markers) {
                ADD_FAILURE() << testing::PrintToString(m.bytes) << " reads back wrong: " << read.error << " "
                              << testing::PrintToString(read.message.bytes) << " from " << bits;
                return;
            }
            ++checked;
            int i = length - 1;
            while (i >= 0 && ++digits[static_cast<std::size_t>(i)] == static_cast<int>(alphabet.size()))
                digits[static_cast<std::size_t>(i--)] = 0;
            if (i < 0)
                break;
        }
    }
    EXPECT_GT(checked, 0);
}

TEST(AztecModes, ShortestOverEveryModeSequence) {
    // Upper, lower, digit, punctuation (and the pairs ". " and CR LF), mixed
    // (LF), a byte no set holds.
    checkAllMessages({{'A', -1}, {'a', -1}, {'1', -1}, {'.', -1}, {' ', -1}, {'\r', -1}, {'\n', -1}, {'\xe9', -1}}, 6);
}

TEST(AztecModes, ShortestWithFlagsAndOtherPairs) {
    checkAllMessages({{'B', -1}, {'b', -1}, {'7', -1}, {',', -1}, {':', -1}, {' ', -1}, {'@', -1}, {'0', 0}, {'0', 26}},
                     5);
}

// Longer messages, where runs pass the 31-byte count and states meet in more
// ways: random mixes of characters from every set and of bytes no set holds.
TEST(AztecModes, ShortestOnLongerMessages) {
    const std::string pool = std::string("AAAAaaaa1111..,,  ::\r\r\n@@\x01!!") + std::string(12, '\xe9');
    std::mt19937 rng(24778);
    for (int i = 0; i < 200; ++i) {
        Message m;
        const int length = 20 + static_cast<int>(rng() % 130);
        while (static_cast<int>(m.bytes.size()) < length) {
            // Runs of one kind, as real data has them.
            const char c = pool[rng() % pool.size()];
            const int repeat = rng() % 4 == 0 ? 1 + static_cast<int>(rng() % 80) : 1;
            for (int k = 0; k < repeat; ++k)
                m.bytes += c == '\xe9' ? static_cast<char>(0x80 + rng() % 128) : c;
        }
        m.markers.assign(m.bytes.size(), -1);
        if (i % 5 == 0) {  // FNC1 or ECI 3 on a placeholder
            const std::size_t at = rng() % m.bytes.size();
            m.bytes[at] = '0';
            m.markers[at] = i % 10 == 0 ? 0 : 3;
        }
        const std::string bits = aztecopt::shortestStream(m);
        ASSERT_EQ(static_cast<int>(bits.size()), CodeMachine(m).shortest()) << testing::PrintToString(m.bytes);
        const aztecopt::ReadStream read = aztecopt::readStream(bits);
        ASSERT_TRUE(read.ok) << read.error;
        EXPECT_EQ(read.message.bytes, m.bytes);
        EXPECT_EQ(read.message.markers, m.markers);
    }
}

}  // namespace
