// The encodation search against an exhaustive search over every assignment
// of a mode to each character, on every input of up to five characters from
// an alphabet that each mode wins somewhere.

#include "DataMatrixTestSupport.h"

#include <gtest/gtest.h>

#include <climits>

namespace dmtest {
namespace {

using dm::detail::Unit;

// The alphabet and what each character costs in each mode, worked out by
// hand from ISO/IEC 16022 Tables 2 and 5-7 (values in C40, Text, X12;
// 0 where the mode cannot hold the character; EDIFACT takes ASCII 32-94,
// Base 256 every byte but no FNC1).
struct Char {
    unsigned char byte;
    bool fnc1;
    int ascii;  // codewords, a digit pair aside
    int c40, text, x12;
    bool edifact;
};
constexpr Char ALPHABET[] = {
    {'1', false, 1, 1, 1, 1, true},
    {'A', false, 1, 1, 2, 1, true},
    {'a', false, 1, 2, 1, 0, false},
    {'*', false, 1, 2, 2, 1, true},
    {0, true, 1, 2, 2, 0, false},       // FNC1: 232, or Shift 2 and 27
    {0xE9, false, 2, 4, 3, 0, false},  // Upper Shift, then 'i'
};
constexpr int LETTERS = static_cast<int>(std::size(ALPHABET));

enum M { A, C, T, X, E, B, MODES };

// The least capacity the stream of one assignment fits, INT_MAX if it is no
// valid stream: triplets and EDIFACT groups end as the standard allows, a
// C40/Text/X12 run may end without unlatch where one ASCII codeword ends the
// data, an EDIFACT run where at most two do.
int cost(const int* letters, const int* modes, int n) {
    int total = 0;
    int i = 0;
    int prev = A;
    int pendingValues = 0;  // of the run before, when it was C40, Text or X12
    int edifactValues = 0;
    while (i < n) {
        const int m = modes[i];
        int j = i;
        while (j < n && modes[j] == m)
            ++j;
        // Leaving the run before (the first run starts in ASCII).
        if (i > 0 && prev != A) {
            const bool lastRun = [&] {
                return m == A;
            }();
            int asciiAfter = 0;
            if (m == A && j == n) {
                for (int k = i; k < n;) {
                    const bool pair = k + 1 < n && ALPHABET[letters[k]].byte == '1' && ALPHABET[letters[k + 1]].byte == '1';
                    asciiAfter += pair ? 1 : ALPHABET[letters[k]].ascii;
                    k += pair ? 2 : 1;
                }
            }
            if (prev == C || prev == T || prev == X) {
                if (pendingValues % 3 != 0)
                    return INT_MAX;
                if (!(lastRun && j == n && asciiAfter == 1))
                    total += 1;
            } else if (prev == E) {
                const int k = edifactValues % 4;
                if (k == 0 && lastRun && j == n && asciiAfter <= 2)
                    ;  // the reader returns to ASCII by itself
                else
                    total += (6 * (k + 1) + 7) / 8;
            }
        }
        if (m != A)
            total += 1;  // latch
        int values = 0;
        for (int k = i; k < j;) {
            const Char& ch = ALPHABET[letters[k]];
            switch (m) {
            case A: {
                const bool pair = k + 1 < j && ch.byte == '1' && ALPHABET[letters[k + 1]].byte == '1';
                total += pair ? 1 : ch.ascii;
                k += pair ? 2 : 1;
                continue;
            }
            case C: if (!ch.c40) return INT_MAX; values += ch.c40; break;
            case T: if (!ch.text) return INT_MAX; values += ch.text; break;
            case X: if (!ch.x12) return INT_MAX; values += ch.x12; break;
            case E: if (!ch.edifact) return INT_MAX; values += 1; break;
            case B: if (ch.fnc1) return INT_MAX; values += 1; break;
            }
            ++k;
        }
        if (m == C || m == T || m == X)
            total += 2 * (values / 3);
        if (m == E)
            total += 3 * (values / 4);
        if (m == B)
            total += values + (values < 250 ? 1 : 2);
        pendingValues = values;
        edifactValues = values;
        // The end of the data inside this run.
        if (j == n) {
            if (m == C || m == T) {
                if (values % 3 == 1)
                    return INT_MAX;
                if (values % 3 == 2)
                    total += 2;  // Shift 1 completes the triplet
            } else if (m == X && values % 3 != 0) {
                return INT_MAX;
            } else if (m == E && values % 4 != 0) {
                total += (6 * (values % 4 + 1) + 7) / 8;
            }
        }
        prev = m;
        i = j;
    }
    return total;
}

int exhaustive(const int* letters, int n) {
    int modes[5] = {};
    int best = INT_MAX;
    int combinations = 1;
    for (int k = 0; k < n; ++k)
        combinations *= MODES;
    for (int c = 0; c < combinations; ++c) {
        int r = c;
        for (int k = 0; k < n; ++k) {
            modes[k] = r % MODES;
            r /= MODES;
        }
        best = std::min(best, cost(letters, modes, n));
    }
    return best;
}

TEST(DataMatrixStream, ShortestOverEveryModeAssignment) {
#ifdef DATAMATRIX_SANITIZE
    const int longest = 4;
#else
    const int longest = 5;
#endif
    int checked = 0;
    for (int n = 1; n <= longest; ++n) {
        int letters[5] = {};
        int inputs = 1;
        for (int k = 0; k < n; ++k)
            inputs *= LETTERS;
        for (int c = 0; c < inputs; ++c) {
            int r = c;
            std::vector<Unit> units;
            for (int k = 0; k < n; ++k) {
                letters[k] = r % LETTERS;
                r /= LETTERS;
                const Char& ch = ALPHABET[letters[k]];
                units.push_back({ch.fnc1 ? Unit::Fnc1 : Unit::Byte, ch.byte, 0});
            }
            const dm::detail::StreamPlan plan(units);
            const int want = exhaustive(letters, n);
            std::string shown;
            for (const Unit& u : units)
                shown += u.kind == Unit::Fnc1 ? std::string("<FNC1>")
                         : u.byte == 0xE9    ? std::string("\\xE9")
                                             : std::string(1, static_cast<char>(u.byte));
            ASSERT_EQ(plan.least(), want) << shown;
            std::vector<std::uint8_t> out;
            plan.write(want, out);
            ASSERT_LE(static_cast<int>(out.size()), want) << shown;
            ++checked;
        }
    }
    EXPECT_GT(checked, 1000);
}

// Streams whose codewords are known from ISO/IEC 16022 (digit pairs, the
// Upper Shift, C40 packing, the Base 256 length and scrambling).
struct StreamCase {
    const char* label;
    std::string data;
    int capacity;
    std::vector<int> codewords;
};

TEST(DataMatrixStream, KnownStreams) {
    const StreamCase cases[] = {
        {"digit pairs", "123456", 3, {142, 164, 186}},
        {"odd digit in ASCII", "12345", 3, {142, 164, 54}},
        {"upper shift", "\xE9", 2, {235, 106}},
        // C40: latch, then 1600 x 14 + 40 x 15 + 16 + 1 = 23017 = 89 x 256 + 233
        // and 1600 x 17 + 40 x 18 + 19 + 1 = 27940 = 109 x 256 + 36.
        {"C40 triplets, symbol full", "ABCDEF", 5, {230, 89, 233, 109, 36}},
        {"C40 triplets and unlatch", "ABCDEF", 7, {230, 89, 233, 109, 36, 254}},
        {"one codeword left: no unlatch", "ABCDEF", 6, {230, 89, 233, 109, 36}},
        // Base 256: latch, length 4, the bytes; each scrambled by adding
        // 149 p mod 255 + 1 at position p (44, 193, 87, 236, 130) mod 256.
        {"Base 256", "\x80\x81\x82\x83", 6, {231, 48, 65, 216, 110, 5}},
    };
    for (const StreamCase& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<Unit> units;
        for (unsigned char b : c.data)
            units.push_back({Unit::Byte, b, 0});
        const dm::detail::StreamPlan plan(units);
        ASSERT_TRUE(plan.fits(c.capacity));
        std::vector<std::uint8_t> out;
        plan.write(c.capacity, out);
        EXPECT_EQ(std::vector<int>(out.begin(), out.end()), c.codewords);
    }
}

}  // namespace
}  // namespace dmtest
