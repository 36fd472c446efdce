// Reed-Solomon check words for Aztec symbols: the data codewords use GF(64),
// GF(256), GF(1024) or GF(4096) by codeword size, the mode message GF(16).
//
// The largest symbol holds 1,664 codewords, so a check word computation can
// take a million field products. Both the generator and the division work on
// whole rows at once: the products of every field element with a fixed
// polynomial come from two small tables (ScaledRows), and the row operations
// are plain exclusive-or loops the compiler turns into vector code. Nothing is
// kept between calls except the constant field tables, so the routines can be
// called from many threads at once.

#include "Aztec.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

using Word = std::uint16_t;  // a field element; every field here has at most 2^16 elements

// Log and antilog tables of GF(gf) with primitive element 2. The antilog table is
// laid out twice over, so log[x] + log[y] indexes it without a modulo, and is
// followed by zeros: zeroLog, the log given to 0, plus any log (zeroLog included)
// lands there, so products with 0 need no test.
void fillTables(int gf, int pp, Word* log, Word* alog) {
    int v = 1;
    for (int i = 0; i < gf - 1; ++i) {
        alog[i] = alog[i + gf - 1] = static_cast<Word>(v);
        log[v] = static_cast<Word>(i);
        v <<= 1;
        if (v >= gf)
            v ^= pp;
    }
    for (int i = 2 * (gf - 1); i <= 4 * (gf - 1); ++i)
        alog[i] = 0;
    log[0] = static_cast<Word>(2 * (gf - 1));
}

// The tables of the five fields Aztec uses, each made once, when first used.
// (Made by the compiler they would be 70 KB of data in every program that
// links the engine, WebAssembly modules included.)
template <int GF, int PP>
struct ConstantTables {
    Word log[GF];
    Word alog[4 * (GF - 1) + 1];
    ConstantTables() : log(), alog() { fillTables(GF, PP, log, alog); }
};

// A field: its size gf = 2^bits, reduction polynomial pp, and tables.
struct Field {
    int gf;
    int bits;
    int pp;
    const Word* log;
    const Word* alog;

    // Multiplies every entry of v[0..n-1] by 2 (the polynomial x).
    void doubleAll(Word* v, int n) const {
        for (int j = 0; j < n; ++j) {
            const unsigned t = static_cast<unsigned>(v[j]) << 1;
            v[j] = static_cast<Word>(t ^ ((t >> bits) * static_cast<unsigned>(pp)));
        }
    }
};

int bitsOf(int gf) {
    int bits = 0;
    while ((1 << bits) < gf)
        ++bits;
    return bits;
}

template <int GF, int PP>
Field constantField() {
    static const ConstantTables<GF, PP> tables;
    return {GF, bitsOf(GF), PP, tables.log, tables.alog};
}

// The field for a call: one of the five Aztec uses, or one built for it.
class FieldFor {
public:
    FieldFor(int gf, int pp) {
        switch (gf * 8192 + pp) {
        case 16 * 8192 + 19: field = constantField<16, 19>(); break;
        case 64 * 8192 + 67: field = constantField<64, 67>(); break;
        case 256 * 8192 + 301: field = constantField<256, 301>(); break;
        case 1024 * 8192 + 1033: field = constantField<1024, 1033>(); break;
        case 4096 * 8192 + 4201: field = constantField<4096, 4201>(); break;
        default:
            log_.resize(static_cast<std::size_t>(gf));
            alog_.resize(static_cast<std::size_t>(4 * (gf - 1) + 1));
            fillTables(gf, pp, log_.data(), alog_.data());
            field = {gf, bitsOf(gf), pp, log_.data(), alog_.data()};
        }
    }
    Field field{};

private:
    std::vector<Word> log_;
    std::vector<Word> alog_;
};

bool validField(int gf, int pp) {
    // A field of 2^m elements, 2 <= m <= 16, whose reduction polynomial has degree m.
    if (gf < 4 || gf > 65536 || (gf & (gf - 1)) != 0)
        return false;
    return pp >= gf && pp < 2 * gf;
}

// Row operations run over whole blocks of this many entries, one 128-bit
// vector, so that the compiler turns them into vector code. An array a row is
// added to needs ROOM entries past its end; they are left unchanged.
constexpr int LANES = 8;
constexpr int ROOM = 2 * LANES;

// to[j] = a[j] ^ b[j] over `length` entries, a multiple of LANES.
void sumRows(const Word* a, const Word* b, Word* to, int length) {
    for (int j = 0; j < length; j += LANES)
        for (int t = 0; t < LANES; ++t)
            to[j + t] = static_cast<Word>(a[j + t] ^ b[j + t]);
}

// k * v[0..n-1], entry by entry, for any field element k. Multiplication by k
// is linear over the bits of k, so the rows for the low bits of k and for the
// high bits are tabulated apart (2^lowBits + 2^highBits rows) and
// k * v = low(k & lowMask) ^ high(k >> lowBits). Each row is 0, then the n
// products, then zeros to a whole number of blocks; the leading 0 lets the
// products of two coefficients, one place apart, be added in one pass.
class ScaledRows {
public:
    ScaledRows(const Field& f, const Word* v, int n)
        : stride_((n + 1 + LANES - 1) / LANES * LANES), lowBits_(f.bits / 2), lowRows_(1 << lowBits_),
          highRows_(1 << (f.bits - lowBits_)),
          rows_(new Word[static_cast<std::size_t>(stride_) * (lowRows_ + highRows_) + LANES]) {
        // Every row is written below: the two zero rows (and the tail read past
        // the last row), then the single-bit rows x^b * v, each the one before
        // doubled, then every other row as the sum of a row with one bit fewer
        // and a single-bit row.
        std::fill(row(0), row(1), Word{0});
        std::fill(row(lowRows_), row(lowRows_ + 1), Word{0});
        std::fill(row(rowCount()), row(rowCount()) + LANES, Word{0});
        Word* one = row(1);
        std::fill(one, one + stride_, Word{0});
        std::copy(v, v + n, one + 1);
        for (int b = 1; b < f.bits; ++b) {
            std::copy(bitRow(b - 1), bitRow(b - 1) + stride_, bitRow(b));
            f.doubleAll(bitRow(b), stride_);
        }
        fillComposites(0, lowRows_);
        fillComposites(lowRows_, highRows_);
    }

    // k * v[0].
    Word first(int k) const { return static_cast<Word>(low(k)[1] ^ high(k)[1]); }

    // r[j] ^= k * v[j] for j < n.
    void addScaled(int k, Word* r) const {
        const Word* a = low(k) + 1;
        const Word* b = high(k) + 1;
        for (int j = 0; j < stride_; j += LANES)
            for (int t = 0; t < LANES; ++t)
                r[j + t] ^= static_cast<Word>(a[j + t] ^ b[j + t]);
    }

    // r[j] ^= k0 * v[j] ^ k1 * v[j-1] for j <= n: two coefficients in one pass.
    void addScaledPair(int k0, int k1, Word* r) const {
        const Word* a0 = low(k0) + 1;
        const Word* b0 = high(k0) + 1;
        const Word* a1 = low(k1);
        const Word* b1 = high(k1);
        for (int j = 0; j < stride_; j += LANES)
            for (int t = 0; t < LANES; ++t)
                r[j + t] ^= static_cast<Word>(a0[j + t] ^ b0[j + t] ^ a1[j + t] ^ b1[j + t]);
    }

private:
    int stride_;
    int lowBits_;
    int lowRows_;
    int highRows_;
    std::unique_ptr<Word[]> rows_;

    int rowCount() const { return lowRows_ + highRows_; }
    Word* row(int index) { return rows_.get() + static_cast<std::size_t>(index) * stride_; }
    const Word* row(int index) const { return rows_.get() + static_cast<std::size_t>(index) * stride_; }
    const Word* low(int k) const { return row(k & (lowRows_ - 1)); }
    const Word* high(int k) const { return row(lowRows_ + (k >> lowBits_)); }
    Word* bitRow(int b) { return b < lowBits_ ? row(1 << b) : row(lowRows_ + (1 << (b - lowBits_))); }

    void fillComposites(int first, int count) {
        for (int k = 3; k < count; ++k)
            if ((k & (k - 1)) != 0)
                sumRows(row(first + (k & (k - 1))), row(first + (k & -k)), row(first + k), stride_);
    }
};

// Below this many roots a generator is multiplied out one root at a time.
constexpr int LEAF_ROOTS = 32;
// Products of polynomials with fewer terms than this keep B's logs on the stack.
constexpr int LEAF_PRODUCT_TERMS = 128;

// c[0..count] := (x - a^first)(x - a^(first+1))...(x - a^(first+count-1)), c[j]
// the coefficient of x^j; subtraction is addition here.
void multiplyRoots(const Field& f, int first, int count, Word* c) {
    std::fill(c, c + count + 1, Word{0});
    c[0] = 1;
    for (int i = 0; i < count; ++i) {
        const int rootLog = (first + i) % (f.gf - 1);
        c[i + 1] = c[i];
        for (int j = i; j >= 1; --j)
            c[j] = static_cast<Word>(f.alog[f.log[c[j]] + rootLog] ^ c[j - 1]);
        c[0] = f.alog[f.log[c[0]] + rootLog];
    }
}

// c[0..a+b] := A[0..a] * B[0..b]; c has ROOM entries past c[a+b]. Large
// products take B's tables (their cost grows with the field, not with A), two
// coefficients of A per pass; small ones go product by product with B's logs.
void multiply(const Field& f, const Word* A, int a, const Word* B, int b, Word* c) {
    std::fill(c, c + a + b + 1, Word{0});
    const int rows = (1 << (f.bits / 2)) + (1 << (f.bits - f.bits / 2));
    if (3 * (a + 1) * (b + 1) > rows * ((b + 1) / 3 + 16)) {
        const ScaledRows rowsOfB(f, B, b + 1);
        int i = 0;
        for (; i + 1 <= a; i += 2)
            rowsOfB.addScaledPair(A[i], A[i + 1], c + i);
        if (i <= a)
            rowsOfB.addScaled(A[i], c + i);
        return;
    }
    Word logB[LEAF_PRODUCT_TERMS];
    std::vector<Word> logBLarge;
    Word* lb = logB;
    if (b >= LEAF_PRODUCT_TERMS) {
        logBLarge.resize(static_cast<std::size_t>(b) + 1);
        lb = logBLarge.data();
    }
    for (int j = 0; j <= b; ++j)
        lb[j] = f.log[B[j]];
    for (int i = 0; i <= a; ++i) {
        const Word* scaled = f.alog + f.log[A[i]];
        Word* to = c + i;
        for (int j = 0; j <= b; ++j)
            to[j] ^= scaled[lb[j]];
    }
}

// The same product, split in halves multiplied out apart and then together; c
// has ROOM entries past c[count].
void generator(const Field& f, int first, int count, Word* c) {
    if (count <= LEAF_ROOTS)
        return multiplyRoots(f, first, count, c);
    const int half = count / 2;
    std::vector<Word> a(static_cast<std::size_t>(half + 1 + ROOM)), b(static_cast<std::size_t>(count - half + 1 + ROOM));
    generator(f, first, half, a.data());
    generator(f, first + half, count - half, b.data());
    multiply(f, a.data(), half, b.data(), count - half, c);
}

// Long division of data(x) * x^nc by the generator g (monic, degree nc). The
// remainder register slides along reg (ROOM entries past its end): after data
// word i it occupies reg[i+1 .. i+nc]. gReversed[j] is the coefficient of
// x^(nc-1-j), the order in which the register meets them.
void divide(const Field& f, Word* reg, int nd, int nc, const Word* gReversed) {
    if (nd * 4 < (1 << (f.bits / 2))) {
        // Too few data words to pay for the tables: one product at a time, with
        // the generator's logs.
        std::vector<Word> gLog(gReversed, gReversed + nc);
        for (Word& v : gLog)
            v = f.log[v];
        for (int i = 0; i < nd; ++i) {
            const Word* scaled = f.alog + f.log[reg[i]];
            Word* r = reg + i + 1;
            for (int j = 0; j < nc; ++j)
                r[j] ^= scaled[gLog[static_cast<std::size_t>(j)]];
        }
        return;
    }
    // Two data words per pass: the second one's feedback is known as soon as
    // the first one's product with the leading coefficient is.
    const ScaledRows rows(f, gReversed, nc);
    int i = 0;
    for (; i + 1 < nd; i += 2) {
        const int k0 = reg[i];
        const int k1 = reg[i + 1] ^ rows.first(k0);
        rows.addScaledPair(k0, k1, reg + i + 1);
    }
    if (i < nd)
        rows.addScaled(reg[i], reg + i + 1);
}

}  // namespace

int Aztec::mult(int x, int y, const int* log, const int* alog, int gf) {
    if (x == 0 || y == 0)
        return 0;
    return alog[(log[x] + log[y]) % (gf - 1)];
}

std::vector<int> Aztec::generatorPolynomial(int nc, int gf, int pp) {
    if (nc < 0 || !validField(gf, pp))
        return {};
    const FieldFor f(gf, pp);
    std::vector<Word> c(static_cast<std::size_t>(nc + 1 + ROOM));
    generator(f.field, 1, nc, c.data());
    return std::vector<int>(c.begin(), c.begin() + nc + 1);
}

void Aztec::ReedSolomon(int* wd, int nd, int nc, int gf, int pp) {
    if (nd < 0 || nc < 0 || !validField(gf, pp))
        return;
    for (int j = 0; j <= nc; ++j)
        wd[nd + j] = 0;
    if (nc == 0)
        return;
    const FieldFor fieldFor(gf, pp);
    const Field& f = fieldFor.field;

    // The generator (x - a^1)...(x - a^nc), its coefficients below x^nc in the
    // order the division meets them.
    std::vector<Word> g(static_cast<std::size_t>(nc + 1 + ROOM));
    generator(f, 1, nc, g.data());
    std::reverse(g.begin(), g.begin() + nc + 1);  // g[0] is now the leading 1

    std::vector<Word> reg(static_cast<std::size_t>(nd) + nc + ROOM, 0);
    for (int i = 0; i < nd; ++i)
        reg[static_cast<std::size_t>(i)] = static_cast<Word>(wd[i] & (gf - 1));
    divide(f, reg.data(), nd, nc, g.data() + 1);
    for (int j = 0; j < nc; ++j)
        wd[nd + j] = reg[static_cast<std::size_t>(nd + j)];
}
