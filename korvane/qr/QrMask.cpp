// QR Code masking: the eight masks applied a whole row and column at a time,
// each scored by the four penalty rules, and the format information of the
// one chosen.

#include "Qr.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace korvane::qr::detail {
namespace {

// Set bits of a word without a library call: x86-64's baseline has no
// popcount instruction, and the call costs more than these few operations.
[[gnu::always_inline]] constexpr int bitCount(std::uint64_t x) {
    x -= (x >> 1) & 0x5555555555555555u;
    x = (x & 0x3333333333333333u) + ((x >> 2) & 0x3333333333333333u);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
    return static_cast<int>((x * 0x0101010101010101u) >> 56);
}
static_assert(bitCount(0) == 0 && bitCount(~std::uint64_t{0}) == 64 && bitCount(0x8000000000000001u) == 2);

// A row (or column) of modules as bits, bit j for module j, in W words: one
// for symbols up to 64 modules across (versions 1-11), three for the largest.
// Its operations are always inlined: where the build optimises for size (the
// WebAssembly module) they would stay calls that pass their words through
// memory, and choosing the mask took most of the time of a whole symbol.
#define KV_LINE_OP [[gnu::always_inline]] inline
template <int W>
struct Line {
    std::uint64_t w[W] = {};

    KV_LINE_OP Line() = default;

    KV_LINE_OP void set(int j) { w[j >> 6] |= std::uint64_t{1} << (j & 63); }
    KV_LINE_OP bool get(int j) const { return (w[j >> 6] >> (j & 63)) & 1; }
    KV_LINE_OP static Line of(const std::uint64_t* words) {
        Line l;
        for (int i = 0; i < W; ++i)
            l.w[i] = words[i];
        return l;
    }
    KV_LINE_OP friend Line operator&(Line a, const Line& b) {
        for (int i = 0; i < W; ++i)
            a.w[i] &= b.w[i];
        return a;
    }
    KV_LINE_OP friend Line operator|(Line a, const Line& b) {
        for (int i = 0; i < W; ++i)
            a.w[i] |= b.w[i];
        return a;
    }
    KV_LINE_OP friend Line operator^(Line a, const Line& b) {
        for (int i = 0; i < W; ++i)
            a.w[i] ^= b.w[i];
        return a;
    }
    KV_LINE_OP Line operator~() const {
        Line l;
        for (int i = 0; i < W; ++i)
            l.w[i] = ~w[i];
        return l;
    }
    // Bit j takes bit j + k (k 1-63); the top bits become 0.
    KV_LINE_OP Line down(int k) const {
        Line l;
        for (int i = 0; i < W; ++i)
            l.w[i] = w[i] >> k | (i + 1 < W ? w[i + 1] << (64 - k) : 0);
        return l;
    }
    // Bit j takes bit j - k (k 1-63); bits below k become 0.
    KV_LINE_OP Line up(int k) const {
        Line l;
        for (int i = 0; i < W; ++i)
            l.w[i] = w[i] << k | (i > 0 ? w[i - 1] >> (64 - k) : 0);
        return l;
    }
    KV_LINE_OP int count() const {
        int n = 0;
        for (int i = 0; i < W; ++i)
            n += bitCount(w[i]);
        return n;
    }
};

template <int W>
Line<W> firstBits(int n) {
    Line<W> l;
    for (int j = 0; j < n && j < 64 * W; ++j)
        l.set(j);
    return l;
}

// The eight data masks (ISO/IEC 18004 Table 10), row i, column j.
constexpr bool masked(int m, int i, int j) {
    switch (m) {
    case 0: return (i + j) % 2 == 0;
    case 1: return i % 2 == 0;
    case 2: return j % 3 == 0;
    case 3: return (i + j) % 3 == 0;
    case 4: return (i / 2 + j / 3) % 2 == 0;
    case 5: return (i * j) % 2 + (i * j) % 3 == 0;
    case 6: return ((i * j) % 2 + (i * j) % 3) % 2 == 0;
    default: return ((i + j) % 2 + (i * j) % 3) % 2 == 0;
    }
}

// Every mask repeats after 12 rows and 12 columns, so 12 lines per mask and
// direction cover any symbol: words[m][0][i % 12] is row i,
// words[m][1][j % 12] column j, 192 modules long.
struct MaskLines {
    std::uint64_t words[8][2][12][3] = {};
    constexpr MaskLines() {
        for (int m = 0; m < 8; ++m)
            for (int r = 0; r < 12; ++r)
                for (int k = 0; k < 192; ++k) {
                    if (masked(m, r, k))
                        words[m][0][r][k >> 6] |= std::uint64_t{1} << (k & 63);
                    if (masked(m, k, r))
                        words[m][1][r][k >> 6] |= std::uint64_t{1} << (k & 63);
                }
    }
};
constexpr MaskLines MASK_LINES;

template <int W>
KV_LINE_OP int lineRuns(const Line<W>& l, const Line<W>& valid1) {
    // N1: in a run of k >= 5 equal modules, k - 4 windows of five and one run start: 3 + (k - 5).
    const Line<W> equal = ~(l ^ l.down(1)) & valid1;
    const Line<W> five = equal & equal.down(1) & equal.down(2) & equal.down(3);
    return five.count() + 2 * (five & ~five.up(1)).count();
}

// N3: a 1:1:3:1:1 pattern with four light modules before or after it. Those
// may lie in the quiet zone, which is light: outside the symbol counts as light.
template <int W>
KV_LINE_OP int lineFinders(const Line<W>& l, const Line<W>& valid6) {
    const Line<W> pattern = l & ~l.down(1) & l.down(2) & l.down(3) & l.down(4) & ~l.down(5) & l.down(6) & valid6;
    const Line<W> anyBefore = l | l.up(1) | l.up(2) | l.up(3);
    const Line<W> anyAfter = l | l.down(1) | l.down(2) | l.down(3);
    return (pattern & (~anyBefore.up(1) | ~anyAfter.down(7))).count();
}

template <int W>
struct Lines {
    int size = 0;
    std::vector<Line<W>> rows, columns;

    explicit Lines(int n) : size(n), rows(static_cast<std::size_t>(n)), columns(static_cast<std::size_t>(n)) {}
    KV_LINE_OP void set(int row, int col) {
        rows[static_cast<std::size_t>(row)].set(col);
        columns[static_cast<std::size_t>(col)].set(row);
    }
};
#undef KV_LINE_OP

template <int W>
int score(const Lines<W>& m) {
    const int n = m.size;
    const Line<W> valid1 = firstBits<W>(n - 1), valid6 = firstBits<W>(n - 6);
    int runs = 0, finders = 0, blocks = 0, dark = 0;
    for (int i = 0; i < n; ++i) {
        const Line<W>& r = m.rows[static_cast<std::size_t>(i)];
        const Line<W>& c = m.columns[static_cast<std::size_t>(i)];
        runs += lineRuns(r, valid1) + lineRuns(c, valid1);
        finders += lineFinders(r, valid6) + lineFinders(c, valid6);
        dark += r.count();
        if (i + 1 < n) {
            const Line<W> same = ~(r ^ m.rows[static_cast<std::size_t>(i) + 1]);
            blocks += (same & same.down(1) & ~(r ^ r.down(1)) & valid1).count();
        }
    }
    // N4: 10 points for each full 5 % by which dark modules depart from half.
    const int total = n * n;
    const int k = std::abs(20 * dark - 10 * total) / total;
    return runs + 3 * blocks + 40 * finders + 10 * k;
}

constexpr int formatBits(Level level, int mask) {
    // Level bits L 01, M 00, Q 11, H 10 (ISO/IEC 18004 Table 12); BCH (15,5)
    // with generator x^10+x^8+x^5+x^4+x^2+x+1, then XOR 101010000010010.
    constexpr int LEVEL_BITS[4] = {1, 0, 3, 2};
    const int data = LEVEL_BITS[static_cast<int>(level)] << 3 | mask;
    int rem = data << 10;
    for (int b = 14; b >= 10; --b)
        if (rem >> b & 1)
            rem ^= 0x537 << (b - 10);
    return (data << 10 | rem) ^ 0x5412;
}

// The worked example of ISO/IEC 18004 Annex C.
static_assert(formatBits(Level::M, 5) == 0b100000011001110);

std::size_t cell(const Matrix& m, int row, int col) {
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(m.size) + static_cast<std::size_t>(col);
}

// The symbol under mask m with its format information: data modules flipped
// where the mask says, whole lines at a time.
template <int W>
void apply(const Lines<W>& base, const Lines<W>& data, Level level, int m, Lines<W>& out) {
    for (int i = 0; i < base.size; ++i) {
        const auto k = static_cast<std::size_t>(i);
        out.rows[k] = base.rows[k] ^ (Line<W>::of(MASK_LINES.words[m][0][i % 12]) & data.rows[k]);
        out.columns[k] = base.columns[k] ^ (Line<W>::of(MASK_LINES.words[m][1][i % 12]) & data.columns[k]);
    }
    const int format = formatBits(level, m);
    Place first[15], second[15];
    formatPlaces(base.size, first, second);
    for (int i = 0; i < 15; ++i)
        if ((format >> i) & 1) {
            out.set(first[i].row, first[i].column);
            out.set(second[i].row, second[i].column);
        }
}

template <int W>
int finishIn(const Matrix& mx, Level level, int fixed, std::vector<std::uint8_t>& modules) {
    Lines<W> base(mx.size), data(mx.size);
    for (int r = 0; r < mx.size; ++r)
        for (int c = 0; c < mx.size; ++c) {
            const std::size_t at = cell(mx, r, c);
            if (mx.dark[at])
                base.set(r, c);
            if (!mx.function[at])
                data.set(r, c);
        }
    Lines<W> trial(mx.size);
    int best = fixed, bestScore = 0;
    if (fixed < 0)
        for (int m = 0; m < 8; ++m) {
            apply(base, data, level, m, trial);
            const int s = score(trial);
            if (m == 0 || s < bestScore) {
                best = m;
                bestScore = s;
            }
        }
    apply(base, data, level, best, trial);
    modules.resize(mx.dark.size());
    for (int r = 0; r < mx.size; ++r)
        for (int c = 0; c < mx.size; ++c)
            modules[cell(mx, r, c)] = trial.rows[static_cast<std::size_t>(r)].get(c) ? 1 : 0;
    return best;
}
}  // namespace

int applyMask(const Matrix& matrix, Level level, int fixed, std::vector<std::uint8_t>& modules) {
    if (matrix.size <= 64)
        return finishIn<1>(matrix, level, fixed, modules);
    if (matrix.size <= 128)
        return finishIn<2>(matrix, level, fixed, modules);
    return finishIn<3>(matrix, level, fixed, modules);
}
namespace {

template <int W>
int penaltyIn(const std::vector<std::uint8_t>& modules, int size) {
    Lines<W> m(size);
    for (int r = 0; r < size; ++r)
        for (int c = 0; c < size; ++c)
            if (modules[static_cast<std::size_t>(r) * static_cast<std::size_t>(size) + static_cast<std::size_t>(c)])
                m.set(r, c);
    return score(m);
}

}  // namespace

int penalty(const std::vector<std::uint8_t>& modules, int size) {
    if (size <= 64)
        return penaltyIn<1>(modules, size);
    return size <= 128 ? penaltyIn<2>(modules, size) : penaltyIn<3>(modules, size);
}

}  // namespace korvane::qr::detail
