// The codeword stream: the standard's worked values, and the shortest stream
// proven against an exhaustive search over every way to carry short inputs.

#include "Pdf417TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

using korvane::pdf417::detail::Step;
using korvane::pdf417::detail::emitSteps;
using korvane::pdf417::detail::shortestSteps;

std::vector<int> stream(const std::string& data, bool latched = false) {
    std::vector<int> out;
    EXPECT_TRUE(emitSteps(data, shortestSteps(data, latched), latched, out));
    return out;
}

struct StreamCase {
    const char* label;
    std::string data;
    std::vector<int> codewords;
};

// ISO/IEC 15438 worked values for numeric and byte compaction, and text
// built by hand from the sub-mode tables.
const StreamCase STREAM_CASES[] = {
    {"15 digits: one numeric group", "000213298174000", {902, 1, 624, 434, 632, 282, 200}},
    {"alpha pairs", "PDF417", {453, 178, 121, 239}},
    {"lower case after ll", "ab", {27 * 30 + 0, 1 * 30 + 29}},
    {"one byte shifted within text", "A\xE9" "B", {0 * 30 + 29, 913, 0xE9, 1 * 30 + 29}},
};

TEST(Pdf417Stream, KnownValues) {
    for (const StreamCase& c : STREAM_CASES) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(stream(c.data), c.codewords);
    }
}

// Byte compaction forced on text: a multiple of six bytes latches with 924,
// any other count with 901 and the last bytes one a codeword.
TEST(Pdf417Stream, ByteCompaction) {
    std::vector<int> out;
    ASSERT_TRUE(emitSteps("alcool", std::vector<Step>(6, Step::Byte), false, out));
    EXPECT_EQ(out, (std::vector<int>{924, 163, 238, 432, 766, 244}));
    out.clear();
    ASSERT_TRUE(emitSteps("alcool!", std::vector<Step>(7, Step::Byte), false, out));
    EXPECT_EQ(out, (std::vector<int>{901, 163, 238, 432, 766, 244, '!'}));
}

// Every step that might carry the byte; emitSteps refuses the ones that cannot.
std::vector<Step> candidates(unsigned char c) {
    std::vector<Step> s = {Step::ByteShift, Step::Byte};
    if (c < 128)
        for (Step t : {Step::TextAlpha, Step::TextLower, Step::TextMixed, Step::TextPunct, Step::ShiftPunct,
                       Step::ShiftAlpha})
            s.push_back(t);
    if (c >= '0' && c <= '9') {
        s.push_back(Step::Digit);
        s.push_back(Step::DigitGroup);
    }
    return s;
}

std::size_t exhaustiveShortest(const std::string& data, bool latched) {
    std::size_t best = SIZE_MAX;
    std::vector<Step> steps(data.size());
    std::function<void(std::size_t)> walk = [&](std::size_t i) {
        if (i == data.size()) {
            std::vector<int> out;
            if (emitSteps(data, steps, latched, out))
                best = std::min(best, out.size());
            return;
        }
        for (Step s : candidates(static_cast<unsigned char>(data[i]))) {
            steps[i] = s;
            walk(i + 1);
        }
    };
    walk(0);
    return best;
}

// Upper and lower case, a digit, mixed-only, punctuation-only, a character in
// both mixed and punctuation, space, and a byte beyond text.
const std::string ALPHABET = "Aa1&;, \xE9";

TEST(Pdf417Stream, ShortestAgainstExhaustiveSearch) {
    std::vector<std::string> inputs = {""};
    for (int length = 1; length <= 3; ++length) {
        std::vector<std::string> longer;
        for (const std::string& s : inputs)
            if (static_cast<int>(s.size()) == length - 1)
                for (char c : ALPHABET)
                    longer.push_back(s + c);
        inputs.insert(inputs.end(), longer.begin(), longer.end());
    }
    std::mt19937 rng(17);
    for (int i = 0; i < pdf417test::scaled(60); ++i) {
        std::string s;
        const int n = std::uniform_int_distribution<int>(4, 6)(rng);
        for (int j = 0; j < n; ++j)
            s += ALPHABET[std::uniform_int_distribution<std::size_t>(0, ALPHABET.size() - 1)(rng)];
        inputs.push_back(s);
    }
    for (const std::string& s : inputs)
        for (bool latched : {false, true}) {
            SCOPED_TRACE(testing::PrintToString(s) + (latched ? " after an ECI" : ""));
            EXPECT_EQ(stream(s, latched).size(), exhaustiveShortest(s, latched));
        }
}

// Inputs long enough for the trade-offs the search above never meets: a run
// of digits amid upper-case text goes to numeric compaction (902 in, 900 back
// out) only from 13 or 14 digits on, since text carries two digits a
// codeword; bytes amid text go to byte compaction (901 in, 900 out) rather
// than a 913 before each once there are a few; six bytes take five codewords
// after 924. Every choice of step for every byte is walked, cut off where the
// codewords so far (less one, for a half-filled last one) and the least the
// rest can take (15/44 a digit, 1/2 a text character, 5/6 a byte) pass the
// shortest stream's.
TEST(Pdf417Stream, ShortestAgainstExhaustiveSearchOnLongRuns) {
    std::vector<std::string> inputs;
    for (int digits = 12; digits <= 15; ++digits)
        inputs.push_back("AB" + std::string(static_cast<std::size_t>(digits), '7') + "CD");
    inputs.push_back(std::string(14, '1') + ";");
    for (int bytes = 1; bytes <= 7; ++bytes)
        inputs.push_back("A" + std::string(static_cast<std::size_t>(bytes), '\xE9') + "a");
    std::mt19937 rng(15438);
    const std::string runs[] = {"Aa", "1111111", "\xE9\xE9\xE9", "&;,", " ", "a"};
    for (int i = 0; i < pdf417test::scaled(20); ++i) {
        std::string s;
        while (s.size() < 10)
            s += runs[rng() % 6];
        inputs.push_back(s);
    }
    for (const std::string& data : inputs)
        for (bool latched : {false, true}) {
            SCOPED_TRACE(testing::PrintToString(data) + (latched ? " after an ECI" : ""));
            const std::size_t shortest = stream(data, latched).size();
            std::vector<double> leastAfter(data.size() + 1, 0);
            for (std::size_t i = data.size(); i-- > 0;) {
                const auto c = static_cast<unsigned char>(data[i]);
                leastAfter[i] = leastAfter[i + 1] + (c >= '0' && c <= '9' ? 15.0 / 44 : c < 128 ? 0.5 : 5.0 / 6);
            }
            std::size_t best = shortest + 1;
            std::vector<Step> steps;
            std::vector<int> out;
            const std::function<void()> walk = [&] {
                const std::size_t i = steps.size();
                out.clear();
                if (!emitSteps(data.substr(0, i), steps, latched, out))
                    return;
                if (i == data.size()) {
                    best = std::min(best, out.size());
                    return;
                }
                if (static_cast<double>(out.size()) - 1 + leastAfter[i] >= static_cast<double>(best))
                    return;
                for (Step s : candidates(static_cast<unsigned char>(data[i]))) {
                    steps.push_back(s);
                    walk();
                    steps.pop_back();
                }
            };
            walk();
            EXPECT_EQ(best, shortest);
        }
}

// Long digit runs: groups of 44 digits, 15 codewords each.
// Lengths far past any symbol: the count is exact, not wrapped (half
// codewords scaled by 2^16 overflowed 32 bits at 8,192 codewords).
TEST(Pdf417Stream, LongDataCountsExactly) {
    const struct {
        const char* label;
        std::string data;
        std::size_t codewords;
    } cases[] = {
        {"100,000 letters, two a codeword", std::string(100000, 'A'), 50000},
        {"100,001 bytes: a latch, five codewords for six, one for each of the last five", std::string(100001, '\xE9'),
         1 + 16666 * 5 + 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(stream(c.data).size(), c.codewords);
    }
}

TEST(Pdf417Stream, NumericGroupsOf44) {
    const std::string digits(89, '7');
    const std::vector<int> out = stream(digits);
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out[0], 902);
    EXPECT_EQ(out.size(), 1U + 15 + 15 + 1);
}

}  // namespace
