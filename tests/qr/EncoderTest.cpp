// The encoder's parts that no reader sees directly: the segmentation against
// an exhaustive search, the row-wise mask scoring against the rules applied
// module by module, and its errors.

#include "QrTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

using korvane::qr::Mode;
using korvane::qr::detail::Unit;

namespace {

constexpr int COUNT_BITS[3][4] = {{10, 9, 8, 8}, {12, 11, 16, 10}, {14, 13, 16, 12}};

// Bits of the segments that `modes` makes of `units`, from the lengths in
// ISO/IEC 18004 7.4: a new segment wherever the mode changes.
int segmentBits(const std::vector<Unit>& units, const std::vector<int>& modes, int range) {
    int bits = 0;
    for (std::size_t i = 0; i < units.size();) {
        std::size_t end = i;
        int chars = 0;
        while (end < units.size() && modes[end] == modes[i]) {
            chars += modes[i] == 1 ? units[end].alnum : modes[i] == 2 ? units[end].bytes : 1;
            ++end;
        }
        bits += 4 + COUNT_BITS[range][modes[i]];
        switch (modes[i]) {
        case 0: bits += chars / 3 * 10 + (chars % 3 == 2 ? 7 : chars % 3 == 1 ? 4 : 0); break;
        case 1: bits += chars / 2 * 11 + chars % 2 * 6; break;
        case 2: bits += 8 * chars; break;
        default: bits += 13 * chars; break;
        }
        i = end;
    }
    return bits;
}

}  // namespace

TEST(QrSegmentation, ShortestPathEqualsExhaustiveSearch) {
    // Unit kinds: a digit, an upper-case letter, a lower-case letter, a Kanji
    // character (three UTF-8 bytes), a character beyond ASCII that is no Kanji.
    const std::uint8_t KINDS[][2] = {{0b0111, 1}, {0b0110, 1}, {0b0100, 1}, {0b1100, 3}, {0b0100, 2}};
    std::mt19937 rng(7);
    for (int trial = 0; trial < 400; ++trial) {
        std::vector<Unit> units(1 + rng() % 7);
        for (Unit& u : units) {
            const auto& k = KINDS[rng() % 5];
            u.modes = k[0];
            u.bytes = k[1];
        }
        for (int range = 0; range < 3; ++range) {
            int best = INT_MAX;
            std::vector<int> modes(units.size(), 0);
            for (;;) {
                bool allowed = true;
                for (std::size_t i = 0; i < units.size(); ++i)
                    allowed = allowed && (units[i].modes >> modes[i] & 1);
                if (allowed)
                    best = std::min(best, segmentBits(units, modes, range));
                std::size_t i = 0;
                while (i < modes.size() && ++modes[i] == 4)
                    modes[i++] = 0;
                if (i == modes.size())
                    break;
            }
            const korvane::qr::detail::Path path = korvane::qr::detail::shortestPath(units, range);
            ASSERT_EQ(path.bits, best) << "trial " << trial << " range " << range;
            std::vector<int> chosen;
            for (Mode m : path.modes)
                chosen.push_back(static_cast<int>(m));
            EXPECT_EQ(segmentBits(units, chosen, range), best);
        }
    }
}

// The search above stops at seven units, before most switches pay: a run of
// digits amid bytes needs six or more (nine in versions 27-40) to be worth
// its own segment, letters amid bytes eleven or more (fifteen), digits amid
// letters thirteen or more (seventeen). Inputs here are runs of each kind up
// to 24 units long, too many for every mode of every unit: the search walks
// every cut into segments instead, each segment in its cheapest mode, which
// comes to the same least (two segments of one mode side by side never cost
// less than one), cut off where the bits so far and at least what is left
// already pass the shortest path's.
TEST(QrSegmentation, ShortestPathOnRunsLongEnoughToSwitch) {
    const std::uint8_t KINDS[][2] = {{0b0111, 1}, {0b0110, 1}, {0b0100, 1}, {0b1100, 3}, {0b0100, 2}};
    const double LEAST[] = {10.0 / 3, 5.5, 8, 13, 16};  // bits a unit of each kind takes at least
    std::mt19937 rng(18004);
    for (int trial = 0; trial < 200; ++trial) {
        std::vector<Unit> units;
        std::vector<double> least;
        while (units.size() < 24) {
            const auto kind = rng() % 5;
            for (unsigned k = 0, n = 1 + rng() % 18; k < n && units.size() < 24; ++k) {
                Unit u;
                u.modes = KINDS[kind][0];
                u.bytes = KINDS[kind][1];
                units.push_back(u);
                least.push_back(LEAST[kind]);
            }
        }
        const int n = static_cast<int>(units.size());
        std::vector<double> leastAfter(static_cast<std::size_t>(n) + 1, 0);
        for (int i = n - 1; i >= 0; --i)
            leastAfter[static_cast<std::size_t>(i)] = leastAfter[static_cast<std::size_t>(i) + 1] + least[static_cast<std::size_t>(i)];
        for (int range = 0; range < 3; ++range) {
            SCOPED_TRACE("trial " + std::to_string(trial) + " range " + std::to_string(range));
            const korvane::qr::detail::Path path = korvane::qr::detail::shortestPath(units, range);
            std::vector<int> chosen;
            for (Mode m : path.modes)
                chosen.push_back(static_cast<int>(m));
            ASSERT_EQ(segmentBits(units, chosen, range), path.bits);
            int best = path.bits + 1;  // the search must reach the path's bits, and may find fewer
            const auto cut = [&](auto&& self, int from, int bits) -> void {
                if (from == n) {
                    best = std::min(best, bits);
                    return;
                }
                if (bits + leastAfter[static_cast<std::size_t>(from)] >= best)
                    return;
                std::uint8_t allowed = 0b1111;
                for (int to = from + 1; to <= n && allowed; ++to) {
                    allowed &= units[static_cast<std::size_t>(to - 1)].modes;
                    const std::vector<Unit> segment(units.begin() + from, units.begin() + to);
                    for (int mode = 0; mode < 4; ++mode)
                        if (allowed >> mode & 1)
                            self(self, to, bits + segmentBits(segment, std::vector<int>(segment.size(), mode), range));
                }
            };
            cut(cut, 0, 0);
            EXPECT_EQ(path.bits, best);
        }
    }
}

namespace {

// The four penalty rules of ISO/IEC 18004 7.8.3, module by module: runs of
// five or more, 2 x 2 blocks, 1:1:3:1:1 patterns with four light modules on
// one side (outside the symbol is light), and the share of dark modules.
int plainPenalty(const std::vector<std::uint8_t>& m, int n) {
    auto at = [&](int r, int c, bool columns) {
        if (r < 0 || c < 0 || r >= n || c >= n)
            return 0;
        return static_cast<int>(columns ? m[static_cast<std::size_t>(c * n + r)] : m[static_cast<std::size_t>(r * n + c)]);
    };
    int score = 0, dark = 0;
    for (bool columns : {false, true})
        for (int r = 0; r < n; ++r) {
            for (int c = 0; c < n;) {
                int e = c;
                while (e < n && at(r, e, columns) == at(r, c, columns))
                    ++e;
                if (e - c >= 5)
                    score += 3 + (e - c - 5);
                c = e;
            }
            for (int c = 0; c + 7 <= n; ++c) {
                const int p[7] = {1, 0, 1, 1, 1, 0, 1};
                bool match = true;
                for (int k = 0; k < 7; ++k)
                    match = match && at(r, c + k, columns) == p[k];
                bool before = true, after = true;
                for (int k = 1; k <= 4; ++k) {
                    before = before && at(r, c - k, columns) == 0;
                    after = after && at(r, c + 6 + k, columns) == 0;
                }
                if (match && (before || after))
                    score += 40;
            }
        }
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c) {
            dark += at(r, c, false);
            if (r + 1 < n && c + 1 < n && at(r, c, false) == at(r + 1, c, false) &&
                at(r, c, false) == at(r, c + 1, false) && at(r, c, false) == at(r + 1, c + 1, false))
                score += 3;
        }
    const int percent20 = std::abs(20 * dark - 10 * n * n);
    return score + 10 * (percent20 / (n * n));
}

}  // namespace

TEST(QrMasks, LineScoringEqualsTheRulesModuleByModule) {
    std::mt19937 rng(8);
    for (int trial = 0; trial < 60; ++trial) {
        const int n = 21 + 4 * static_cast<int>(rng() % 40);
        std::vector<std::uint8_t> m(static_cast<std::size_t>(n * n));
        // Long runs and finder-like patterns must occur: bias some rows.
        const unsigned bias = rng() % 4;
        for (auto& v : m)
            v = static_cast<std::uint8_t>((rng() % 8) < 4 + bias ? 0 : 1);
        EXPECT_EQ(korvane::qr::detail::penalty(m, n), plainPenalty(m, n)) << "size " << n;
    }
}

TEST(QrEncoder, ErrorsNameTheLimit) {
    const struct {
        std::string data;
        korvane::qr::QrOptions options;
        korvane::ErrorCode code;
        const char* message;
    } cases[] = {
        {std::string(7090, '1'), {}, korvane::ErrorCode::DataTooLong,
         "the data needs 2,957 bytes; a version-40 QR Code at level M holds 2,334"},
        {std::string(100000, 'x'), {}, korvane::ErrorCode::DataTooLong,
         "the data needs at least 41,667 bytes; a version-40 QR Code at level M holds 2,334"},
        {"HELLO WORLD 12345678", {korvane::qr::Level::H, 1}, korvane::ErrorCode::DataTooLong,
         "the data needs 15 bytes; a version-1 QR Code at level H holds 9"},
        {"A", {korvane::qr::Level::M, 41}, korvane::ErrorCode::InvalidOption, "the QR Code version is 1 to 40, not 41"},
        {"A", {korvane::qr::Level::M, 0, 8}, korvane::ErrorCode::InvalidOption, "the QR Code mask is 0 to 7, not 8"},
    };
    for (const auto& c : cases) {
        const auto r = korvane::qr::encode(qrtest::message(c.data), c.options);
        ASSERT_FALSE(r);
        EXPECT_EQ(r.error().code, c.code);
        EXPECT_EQ(r.error().message, c.message);
    }
}

namespace {

// Data codewords of each version and level, worked out here from the symbol's
// geometry and the error correction of ISO/IEC 18004 Table 9 (codewords per
// block and blocks), not taken from the library.
int dataCodewords(int version, int level) {
    static const int EC_PER_BLOCK[4][41] = {
        {0, 7, 10, 15, 20, 26, 18, 20, 24, 30, 18, 20, 24, 26, 30, 22, 24, 28, 30, 28, 28,
         28, 28, 30, 30, 26, 28, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
        {0, 10, 16, 26, 18, 24, 16, 18, 22, 22, 26, 30, 22, 22, 24, 24, 28, 28, 26, 26, 26,
         26, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28},
        {0, 13, 22, 18, 26, 18, 24, 18, 22, 20, 24, 28, 26, 24, 20, 30, 24, 28, 28, 26, 30,
         28, 30, 30, 30, 30, 28, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
        {0, 17, 28, 22, 16, 22, 28, 26, 26, 24, 28, 24, 28, 22, 24, 24, 30, 28, 28, 26, 28,
         30, 24, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30}};
    static const int BLOCKS[4][41] = {
        {0, 1, 1, 1, 1, 1, 2, 2, 2, 2, 4, 4, 4, 4, 4, 6, 6, 6, 6, 7, 8,
         8, 9, 9, 10, 12, 12, 12, 13, 14, 15, 16, 17, 18, 19, 19, 20, 21, 22, 24, 25},
        {0, 1, 1, 1, 2, 2, 4, 4, 4, 5, 5, 5, 8, 9, 9, 10, 10, 11, 13, 14, 16,
         17, 17, 18, 20, 21, 23, 25, 26, 28, 29, 31, 33, 35, 37, 38, 40, 43, 45, 47, 49},
        {0, 1, 1, 2, 2, 4, 4, 6, 6, 8, 8, 8, 10, 12, 16, 12, 17, 16, 18, 21, 20,
         23, 23, 25, 27, 29, 34, 34, 35, 38, 40, 43, 45, 48, 51, 53, 56, 59, 62, 65, 68},
        {0, 1, 1, 2, 4, 4, 4, 5, 6, 8, 8, 11, 11, 16, 16, 18, 16, 19, 21, 25, 25,
         25, 34, 30, 32, 35, 37, 40, 42, 45, 48, 51, 54, 57, 60, 63, 66, 70, 74, 77, 81}};
    // Modules left for data: the whole square less finders with separators and
    // format information (3 x 64 + 31), timing patterns, alignment patterns
    // (n x n of them less the three under finders, the ones on the timing rows
    // sharing 5 modules each with them), the dark module and, from version 7,
    // version information (2 x 18).
    const int side = 17 + 4 * version;
    int modules = side * side - 3 * 64 - 31 - 2 * (side - 16);
    if (version >= 2) {
        const int n = version / 7 + 2;
        modules -= 25 * (n * n - 3) - 10 * (n - 2);
    }
    if (version >= 7)
        modules -= 36;
    return modules / 8 - EC_PER_BLOCK[level][version] * BLOCKS[level][version];
}

// Most characters of one mode in one segment of `codewords` data codewords.
int capacity(int codewords, int mode, int version) {
    const int range = version < 10 ? 0 : version < 27 ? 1 : 2;
    const int bits = 8 * codewords - 4 - COUNT_BITS[range][mode];
    int n = 0;
    switch (mode) {
    case 0: n = bits / 10 * 3 + (bits % 10 >= 7 ? 2 : bits % 10 >= 4 ? 1 : 0); break;
    case 1: n = bits / 11 * 2 + (bits % 11 >= 6 ? 1 : 0); break;
    case 2: n = bits / 8; break;
    default: n = bits / 13; break;
    }
    return std::min(n, (1 << COUNT_BITS[range][mode]) - 1);
}

}  // namespace

// Every version and level holds its most digits, letters, bytes and Kanji, and
// not one more: the library against the capacities worked out above, which
// zint confirms at every edge (a check on the transcription). Masks are fixed
// to keep it quick.
TEST(QrEncoder, EveryVersionAndLevelHoldsItsCapacityAndNotOneMore) {
    // Rows of ISO/IEC 18004 Table 7 read directly: the corners of the table.
    const struct {
        int version, level, numeric, alnum, bytes, kanji;
    } known[] = {{1, 0, 41, 25, 17, 10}, {1, 3, 17, 10, 7, 4}, {10, 1, 513, 311, 213, 131},
                 {40, 0, 7089, 4296, 2953, 1817}, {40, 3, 3057, 1852, 1273, 784}};
    for (const auto& k : known) {
        const int d = dataCodewords(k.version, k.level);
        EXPECT_EQ(capacity(d, 0, k.version), k.numeric) << "version " << k.version;
        EXPECT_EQ(capacity(d, 1, k.version), k.alnum) << "version " << k.version;
        EXPECT_EQ(capacity(d, 2, k.version), k.bytes) << "version " << k.version;
        EXPECT_EQ(capacity(d, 3, k.version), k.kanji) << "version " << k.version;
    }
    // One mode each: numeric, alphanumeric, byte, Kanji (U+6771 as UTF-8).
    const std::string FILL[4] = {"7", "Q", "q", "\xE6\x9D\xB1"};
    auto times = [](const std::string& s, int n) {
        std::string out;
        for (int i = 0; i < n; ++i)
            out += s;
        return out;
    };
    for (int version = 1; version <= 40; ++version)
        for (int level = 0; level < 4; ++level)
            for (int mode = 0; mode < 4; ++mode) {
                const int cap = capacity(dataCodewords(version, level), mode, version);
                SCOPED_TRACE("version " + std::to_string(version) + " level " + std::to_string(level) + " mode " +
                             std::to_string(mode) + ": " + std::to_string(cap));
                const std::string fits = times(FILL[mode], cap);
                const std::string over = fits + FILL[mode];
                const bool utf8 = mode == 3;  // zint turns UTF-8 into Shift JIS for Kanji mode
                ASSERT_GT(qrtest::zint(fits, level + 1, version, 0, utf8).size, 0) << "zint refused the capacity";
                ASSERT_EQ(qrtest::zint(over, level + 1, version, 0, utf8).size, 0) << "zint took one more";
                korvane::qr::QrOptions o;
                o.level = static_cast<korvane::qr::Level>(level);
                o.version = version;
                o.mask = 0;
                o.boost = false;
                const auto ok = korvane::qr::encode(qrtest::message(fits), o);
                ASSERT_TRUE(ok) << ok.error().message;
                EXPECT_EQ(ok->size, 17 + 4 * version);
                const auto refused = korvane::qr::encode(qrtest::message(over), o);
                ASSERT_FALSE(refused);
                EXPECT_EQ(refused.error().code, korvane::ErrorCode::DataTooLong);
            }
}
