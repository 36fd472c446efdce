// Reed-Solomon check words for Aztec symbols: the data codewords use GF(64),
// GF(256), GF(1024) or GF(4096) by codeword size, the mode message GF(16).

#include "Aztec.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

// Log and antilog tables of GF(gf) with primitive element 2. The antilog table is
// laid out twice over, so log[x] + log[y] indexes it without a modulo, and is
// followed by zeros: zeroLog, the log given to 0, plus any log (zeroLog included)
// lands there, so products with 0 need no test.
struct Field {
    int gf;
    int zeroLog;
    std::vector<std::uint16_t> log;
    std::vector<std::uint16_t> alog;

    Field(int size, int pp) : gf(size), zeroLog(2 * (size - 1)), log(size), alog(4 * (size - 1) + 1, 0) {
        int v = 1;
        for (int i = 0; i < size - 1; ++i) {
            alog[i] = alog[i + size - 1] = static_cast<std::uint16_t>(v);
            log[v] = static_cast<std::uint16_t>(i);
            v <<= 1;
            if (v >= size)
                v ^= pp;
        }
        log[0] = static_cast<std::uint16_t>(zeroLog);
    }
};

void generator(const Field& f, int nc, int* c) {
    // Multiplies (x - a^1)(x - a^2)...(x - a^nc) out into c[0..nc]; subtraction
    // is addition here.
    std::fill(c, c + nc + 1, 0);
    c[0] = 1;
    for (int i = 1; i <= nc; ++i) {
        const int root = f.alog[i % (f.gf - 1)];
        const int rootLog = f.log[root];
        c[i] = c[i - 1];
        for (int j = i - 1; j >= 1; --j)
            c[j] = f.alog[f.log[c[j]] + rootLog] ^ c[j - 1];
        c[0] = f.alog[f.log[c[0]] + rootLog];
    }
}

// The tables of the five fields Aztec uses are built once; others on each call.
const Field* knownField(int gf, int pp) {
    switch (gf * 8192 + pp) {
    case 16 * 8192 + 19: { static const Field f(16, 19); return &f; }
    case 64 * 8192 + 67: { static const Field f(64, 67); return &f; }
    case 256 * 8192 + 301: { static const Field f(256, 301); return &f; }
    case 1024 * 8192 + 1033: { static const Field f(1024, 1033); return &f; }
    case 4096 * 8192 + 4201: { static const Field f(4096, 4201); return &f; }
    default: return nullptr;
    }
}

bool validField(int gf, int pp) {
    // A field of 2^m elements, 2 <= m <= 16, whose reduction polynomial has degree m.
    if (gf < 4 || gf > 65536 || (gf & (gf - 1)) != 0)
        return false;
    return pp >= gf && pp < 2 * gf;
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
    std::vector<int> c(static_cast<size_t>(nc) + 1);
    const Field* known = knownField(gf, pp);
    generator(known != nullptr ? *known : Field(gf, pp), nc, c.data());
    return c;
}

void Aztec::ReedSolomon(int* wd, int nd, int nc, int gf, int pp) {
    if (nd < 0 || nc < 0 || !validField(gf, pp))
        return;
    for (int j = 0; j <= nc; ++j)
        wd[nd + j] = 0;
    if (nc == 0)
        return;
    const Field* known = knownField(gf, pp);
    std::unique_ptr<Field> built;
    if (known == nullptr)
        built = std::make_unique<Field>(gf, pp);
    const Field& f = known != nullptr ? *known : *built;
    // Scratch space: the generator c[0..nc], the logs of its coefficients and
    // the remainder register. Small codes (every mode message) stay on the stack.
    constexpr int SMALL = 64;
    int cSmall[SMALL + 1], gSmall[SMALL], regSmall[2 * SMALL];
    std::vector<int> cLarge, gLarge, regLarge;
    int* c = cSmall;
    int* gLog = gSmall;
    int* reg = regSmall;
    if (nc > SMALL) {
        cLarge.resize(static_cast<std::size_t>(nc) + 1);
        gLarge.resize(static_cast<std::size_t>(nc));
        c = cLarge.data();
        gLog = gLarge.data();
    }
    if (nd + nc > 2 * SMALL) {
        regLarge.resize(static_cast<std::size_t>(nd) + nc);
        reg = regLarge.data();
    }
    generator(f, nc, c);
    // Logs of the generator coefficients below x^nc, in the order the division
    // meets them (c[nc-1] first).
    for (int j = 0; j < nc; ++j)
        gLog[j] = f.log[c[nc - 1 - j]];

    // Long division of data(x) * x^nc by the generator. The remainder register
    // slides along one array: after data word i it occupies reg[i+1 .. i+nc].
    for (int i = 0; i < nd; ++i)
        reg[i] = wd[i] & (gf - 1);
    std::fill(reg + nd, reg + nd + nc, 0);
    const std::uint16_t* alog = f.alog.data();
    const int* g = gLog;
    int i = 0;
    // Four data words per pass over the register: their feedback values k0..k3
    // are found first, then every register word takes all four products at once.
    constexpr int S = 4;
    for (; i + S <= nd && nc >= S; i += S) {
        int k[S];
        for (int t = 0; t < S; ++t) {
            int v = reg[i + t];
            for (int u = 0; u < t; ++u)
                v ^= alog[f.log[k[u]] + g[t - u - 1]];
            k[t] = v;
        }
        const std::uint16_t* a0 = alog + f.log[k[0]];
        const std::uint16_t* a1 = alog + f.log[k[1]];
        const std::uint16_t* a2 = alog + f.log[k[2]];
        const std::uint16_t* a3 = alog + f.log[k[3]];
        int* r = reg + i + S;
        for (int m = 0; m <= nc - S; ++m)
            r[m] ^= a0[g[m + 3]] ^ a1[g[m + 2]] ^ a2[g[m + 1]] ^ a3[g[m]];
        for (int m = nc - S + 1; m < nc; ++m)  // the last words see only the later k
            for (int u = S + m - nc; u < S; ++u)
                r[m] ^= alog[f.log[k[u]] + g[S + m - 1 - u]];
    }
    for (; i < nd; ++i) {
        const int k = reg[i];
        if (k == 0)
            continue;
        const std::uint16_t* a = alog + f.log[k];
        int* r = reg + i + 1;
        for (int j = 0; j < nc; ++j)
            r[j] ^= a[g[j]];
    }
    for (int j = 0; j < nc; ++j)
        wd[nd + j] = reg[nd + j];
}
