// Reed-Solomon check words for Aztec symbols: the data codewords use GF(64),
// GF(256), GF(1024) or GF(4096) by codeword size, the mode message GF(16).

#include "Aztec.h"

#include <cstdint>
#include <vector>

namespace {

// Log and antilog tables of GF(gf) with primitive element 2. The antilog table is
// laid out twice over, so log[x] + log[y] indexes it without a modulo, and is
// followed by zeros: ZERO_LOG, the log given to 0, plus any log lands there.
struct Field {
    int gf;
    int zeroLog;
    std::vector<std::uint16_t> log;
    std::vector<std::uint16_t> alog;

    Field(int size, int pp) : gf(size), zeroLog(2 * (size - 1)), log(size), alog(3 * (size - 1) + 1, 0) {
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

std::vector<int> generator(const Field& f, int nc) {
    // Multiplies (x - a^1)(x - a^2)...(x - a^nc) out; subtraction is addition here.
    std::vector<int> c(static_cast<size_t>(nc) + 1, 0);
    c[0] = 1;
    for (int i = 1; i <= nc; ++i) {
        const int root = f.alog[i % (f.gf - 1)];
        const int rootLog = f.log[root];
        c[i] = c[i - 1];
        for (int j = i - 1; j >= 1; --j)
            c[j] = f.alog[f.log[c[j]] + rootLog] ^ c[j - 1];
        c[0] = f.alog[f.log[c[0]] + rootLog];
    }
    return c;
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
    return generator(Field(gf, pp), nc);
}

void Aztec::ReedSolomon(int* wd, int nd, int nc, int gf, int pp) {
    if (nd < 0 || nc < 0 || !validField(gf, pp))
        return;
    for (int j = 0; j <= nc; ++j)
        wd[nd + j] = 0;
    if (nc == 0)
        return;
    const Field f(gf, pp);
    const std::vector<int> c = generator(f, nc);
    // Logs of the generator coefficients below x^nc, in the order the division
    // meets them (c[nc-1] first).
    std::vector<int> gLog(static_cast<size_t>(nc));
    for (int j = 0; j < nc; ++j)
        gLog[j] = f.log[c[nc - 1 - j]];

    // Long division of data(x) * x^nc by the generator. The remainder register
    // slides along one array: after data word i it occupies reg[i+1 .. i+nc].
    std::vector<int> reg(static_cast<size_t>(nd) + nc, 0);
    for (int i = 0; i < nd; ++i)
        reg[i] = wd[i] & (gf - 1);
    const std::uint16_t* alog = f.alog.data();
    for (int i = 0; i < nd; ++i) {
        const int k = reg[i];
        if (k == 0)
            continue;
        const int kLog = f.log[k];
        int* r = reg.data() + i + 1;
        const int* g = gLog.data();
        for (int j = 0; j < nc; ++j)
            r[j] ^= alog[kLog + g[j]];
    }
    for (int j = 0; j < nc; ++j)
        wd[nd + j] = reg[nd + j];
}
