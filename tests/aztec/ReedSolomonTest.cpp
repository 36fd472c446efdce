#include "Aztec.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

struct RsCase {
    const char* label;
    int gf, pp;
    std::vector<int> data;
    std::vector<int> checks;
};

std::vector<int> checkWords(const std::vector<int>& data, int nc, int gf, int pp) {
    std::vector<int> wd(data);
    wd.resize(data.size() + nc + 1, -7);  // the sentinel slot must be cleared
    Aztec::ReedSolomon(wd.data(), static_cast<int>(data.size()), nc, gf, pp);
    EXPECT_EQ(wd.back(), 0);
    for (size_t i = 0; i < data.size(); ++i)
        EXPECT_EQ(wd[i], data[i]) << "data word " << i << " changed";
    return std::vector<int>(wd.begin() + static_cast<long>(data.size()), wd.end() - 1);
}

TEST(ReedSolomon, KnownCheckWords) {
    const RsCase cases[] = {
        {"GF(16) mode message, compact", 16, 19, {0, 4}, {10, 3, 11, 8, 4}},
        {"GF(16) mode message, full-range", 16, 19, {0, 0, 0, 11}, {4, 12, 14, 13, 2, 13}},
        {"GF(64)", 64, 67, {5}, {47, 42, 10, 28, 22, 8, 25, 52, 33, 44, 17, 18, 11, 56, 18, 53}},
        {"GF(256)", 256, 301, {1, 2, 3}, {53, 46, 95, 0, 75}},
    };
    for (const RsCase& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(checkWords(c.data, static_cast<int>(c.checks.size()), c.gf, c.pp), c.checks);
    }
}

// Every codeword of a Reed-Solomon code word is a multiple of the generator, so
// data followed by its check words evaluates to zero at each root a^1 .. a^nc.
TEST(ReedSolomon, CodeWordsVanishAtTheGeneratorRootsInEveryField) {
    const int fields[][2] = {{16, 19}, {64, 67}, {256, 301}, {1024, 1033}, {4096, 4201}};
    for (const auto& f : fields) {
        const int gf = f[0], pp = f[1];
        SCOPED_TRACE(gf);
        std::vector<int> log(gf), alog(gf);
        alog[0] = 1;
        for (int i = 1; i < gf; ++i) {
            alog[i] = alog[i - 1] * 2;
            if (alog[i] >= gf)
                alog[i] ^= pp;
            log[alog[i]] = i;
        }
        // Data lengths and check counts around the four-words-per-pass grouping.
        for (const auto& shape : {std::make_pair(41, 12), std::make_pair(6, 2), std::make_pair(3, 9)}) {
            const int nd = shape.first, nc = shape.second;
            std::vector<int> data;
            for (int i = 0; i < nd; ++i)
                data.push_back((i * 37 + 11) % gf);
            data[1] = 0;
            std::vector<int> word = data;
            for (int c : checkWords(data, nc, gf, pp))
                word.push_back(c);
            for (int r = 1; r <= nc; ++r) {
                int value = 0;  // Horner's rule at a^r, highest power first
                for (int w : word)
                    value = Aztec::mult(value, alog[r], log.data(), alog.data(), gf) ^ w;
                EXPECT_EQ(value, 0) << nd << "+" << nc << ", root a^" << r;
            }
        }
        EXPECT_EQ(checkWords(std::vector<int>(7, 0), 9, gf, pp), std::vector<int>(9, 0));
    }
}

// The check words of the largest codes, which take the fast paths (generator
// multiplied out by halves, division by table rows, two words per pass),
// against the routine as ISO/IEC 24778 describes it: the generator one root at
// a time, the division one product at a time.
struct Reference {
    int gf, pp;
    std::vector<int> log, alog;
    Reference(int size, int poly) : gf(size), pp(poly), log(size), alog(size) {
        alog[0] = 1;
        for (int i = 1; i < gf; ++i) {
            alog[i] = alog[i - 1] * 2 >= gf ? (alog[i - 1] * 2) ^ pp : alog[i - 1] * 2;
            log[alog[i]] = i;
        }
    }
    int mult(int x, int y) const { return Aztec::mult(x, y, log.data(), alog.data(), gf); }
    std::vector<int> generator(int nc) const {
        std::vector<int> c(nc + 1, 0);
        c[0] = 1;
        for (int i = 1; i <= nc; ++i) {
            c[i] = c[i - 1];
            for (int j = i - 1; j >= 1; --j)
                c[j] = mult(c[j], alog[i % (gf - 1)]) ^ c[j - 1];
            c[0] = mult(c[0], alog[i % (gf - 1)]);
        }
        return c;
    }
    std::vector<int> checks(const std::vector<int>& data, int nc) const {
        const std::vector<int> c = generator(nc);
        std::vector<int> reg(nc + 1, 0);
        for (int d : data) {
            const int k = d ^ reg[0];
            for (int j = 0; j < nc; ++j)
                reg[j] = reg[j + 1] ^ mult(k, c[nc - 1 - j]);
        }
        reg.pop_back();
        return reg;
    }
};

TEST(ReedSolomon, LargeCodesMatchTheWordByWordRoutine) {
    struct Shape {
        int gf, pp, nd, nc;
    };
    const Shape shapes[] = {
        {4096, 4201, 1394, 270}, {4096, 4201, 1, 1663}, {4096, 4201, 15, 1000}, {4096, 4201, 16, 999},
        {4096, 4201, 201, 33},   {1024, 1033, 300, 700}, {1024, 1033, 9, 17},   {256, 301, 101, 140},
        {64, 67, 30, 10},        {64, 67, 1, 39},        {16, 19, 4, 6},
    };
    for (const Shape& s : shapes) {
        SCOPED_TRACE(std::to_string(s.gf) + ": " + std::to_string(s.nd) + "+" + std::to_string(s.nc));
        const Reference ref(s.gf, s.pp);
        std::vector<int> data;
        unsigned x = static_cast<unsigned>(s.nd * 7919 + s.nc);
        for (int i = 0; i < s.nd; ++i) {
            x = x * 1103515245u + 12345u;
            data.push_back(static_cast<int>((x >> 16) % static_cast<unsigned>(s.gf)));
        }
        EXPECT_EQ(Aztec::generatorPolynomial(s.nc, s.gf, s.pp), ref.generator(s.nc));
        EXPECT_EQ(checkWords(data, s.nc, s.gf, s.pp), ref.checks(data, s.nc));
    }
}

TEST(ReedSolomon, GeneratorAndEdgeCases) {
    EXPECT_EQ(Aztec::generatorPolynomial(5, 16, 19), (std::vector<int>{1, 2, 6, 4, 11, 1}));
    // No check words: only the sentinel slot is written.
    std::vector<int> wd = {3, 9, 42};
    Aztec::ReedSolomon(wd.data(), 2, 0, 64, 67);
    EXPECT_EQ(wd, (std::vector<int>{3, 9, 0}));
    int x = 0;
    EXPECT_EQ(Aztec::mult(0, 5, &x, &x, 16), 0);
}

}  // namespace
