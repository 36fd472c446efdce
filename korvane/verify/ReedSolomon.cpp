// Reed-Solomon syndromes, Berlekamp-Massey, Chien search and Forney's formula.

#include "ReedSolomon.h"

#include <array>
#include <cstddef>

namespace korvane::detail {
namespace {

// Log and antilog tables of GF(2^M) with the given primitive polynomial
// (alpha = x), made at compile time.
template <int M, int POLYNOMIAL>
struct Tables {
    static constexpr int SIZE = 1 << M;
    std::array<std::uint16_t, SIZE> log{};
    std::array<std::uint16_t, 2 * (SIZE - 1)> exp{};

    constexpr Tables() {
        int v = 1;
        for (int i = 0; i < SIZE - 1; ++i) {
            exp[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(v);
            exp[static_cast<std::size_t>(i + SIZE - 1)] = static_cast<std::uint16_t>(v);
            log[static_cast<std::size_t>(v)] = static_cast<std::uint16_t>(i);
            v <<= 1;
            if (v >= SIZE)
                v ^= POLYNOMIAL;
        }
    }
};

// ISO/IEC 24778: x^4+x+1, x^6+x+1, x^8+x^5+x^3+x^2+1, x^10+x^3+1, x^12+x^6+x^5+x^3+1.
constexpr Tables<4, 0x13> GF16;
constexpr Tables<6, 0x43> GF64;
constexpr Tables<8, 0x12D> GF256;
constexpr Tables<10, 0x409> GF1024;
constexpr Tables<12, 0x1069> GF4096;

constexpr GaloisField FIELD16{16, GF16.log.data(), GF16.exp.data()};
constexpr GaloisField FIELD64{64, GF64.log.data(), GF64.exp.data()};
constexpr GaloisField FIELD256{256, GF256.log.data(), GF256.exp.data()};
constexpr GaloisField FIELD1024{1024, GF1024.log.data(), GF1024.exp.data()};
constexpr GaloisField FIELD4096{4096, GF4096.log.data(), GF4096.exp.data()};

// p(x) at x = alpha^power; coefficients lowest power first.
int evaluate(const GaloisField& f, const std::vector<int>& p, int power) {
    int v = 0;
    const int q = f.order();
    power %= q;
    if (power < 0)
        power += q;
    for (std::size_t i = p.size(); i-- > 0;)
        v = (v == 0 ? 0 : f.exp[f.log[v] + power]) ^ p[i];
    return v;
}

}  // namespace

const GaloisField* aztecField(int bits) {
    switch (bits) {
    case 4: return &FIELD16;
    case 6: return &FIELD64;
    case 8: return &FIELD256;
    case 10: return &FIELD1024;
    case 12: return &FIELD4096;
    default: return nullptr;
    }
}

std::vector<int> syndromes(const GaloisField& f, const std::vector<int>& words, int checkWords) {
    // S_j = sum of word_k alpha^(j e_k), e_k the power of word k. Word by word,
    // the exponent of each term grows by e_k from one syndrome to the next;
    // four words at a time keep the additions independent of each other.
    std::vector<int> s(static_cast<std::size_t>(checkWords), 0);
    const int q = f.order();
    const int n = static_cast<int>(words.size());
    struct Term {
        int exponent;  // log of the term for S_1
        int step;      // e_k
    };
    std::vector<Term> terms;
    terms.reserve(words.size());
    for (int k = 0; k < n; ++k) {
        const int w = words[static_cast<std::size_t>(k)];
        if (w == 0)
            continue;
        const int e = (n - 1 - k) % q;
        terms.push_back({(f.log[w] + e) % q, e});
    }
    std::size_t t = 0;
    for (; t + 4 <= terms.size(); t += 4) {
        int a = terms[t].exponent, b = terms[t + 1].exponent, c = terms[t + 2].exponent, d = terms[t + 3].exponent;
        const int sa = terms[t].step, sb = terms[t + 1].step, sc = terms[t + 2].step, sd = terms[t + 3].step;
        for (int j = 0; j < checkWords; ++j) {
            s[static_cast<std::size_t>(j)] ^= f.exp[a] ^ f.exp[b] ^ f.exp[c] ^ f.exp[d];
            a += sa;
            b += sb;
            c += sc;
            d += sd;
            a -= a >= q ? q : 0;
            b -= b >= q ? q : 0;
            c -= c >= q ? q : 0;
            d -= d >= q ? q : 0;
        }
    }
    for (; t < terms.size(); ++t) {
        int a = terms[t].exponent;
        for (int j = 0; j < checkWords; ++j) {
            s[static_cast<std::size_t>(j)] ^= f.exp[a];
            a += terms[t].step;
            a -= a >= q ? q : 0;
        }
    }
    return s;
}

int correctErrors(const GaloisField& f, std::vector<int>& words, int checkWords) {
    if (checkWords <= 0)
        return 0;
    const std::vector<int> s = syndromes(f, words, checkWords);
    bool clean = true;
    for (int v : s)
        clean = clean && v == 0;
    if (clean)
        return 0;

    // Berlekamp-Massey: the error locator Lambda(x), lowest power first.
    std::vector<int> lambda{1}, previous{1};
    int errors = 0, shift = 1, lastDiscrepancy = 1;
    for (int i = 0; i < checkWords; ++i) {
        int d = s[static_cast<std::size_t>(i)];
        for (int k = 1; k <= errors && k < static_cast<int>(lambda.size()); ++k)
            d ^= f.multiply(lambda[static_cast<std::size_t>(k)], s[static_cast<std::size_t>(i - k)]);
        if (d == 0) {
            ++shift;
            continue;
        }
        const int scale = f.divide(d, lastDiscrepancy);
        std::vector<int> next = lambda;
        if (next.size() < previous.size() + static_cast<std::size_t>(shift))
            next.resize(previous.size() + static_cast<std::size_t>(shift), 0);
        for (std::size_t k = 0; k < previous.size(); ++k)
            next[k + static_cast<std::size_t>(shift)] ^= f.multiply(scale, previous[k]);
        if (2 * errors <= i) {
            previous = lambda;
            errors = i + 1 - errors;
            lastDiscrepancy = d;
            shift = 1;
        } else {
            ++shift;
        }
        lambda = std::move(next);
    }
    while (lambda.size() > 1 && lambda.back() == 0)
        lambda.pop_back();
    if (errors * 2 > checkWords || static_cast<int>(lambda.size()) - 1 != errors)
        return -1;

    // Omega(x) = S(x) Lambda(x) mod x^checkWords; Lambda'(x) keeps the odd terms.
    std::vector<int> omega(static_cast<std::size_t>(checkWords), 0);
    for (std::size_t i = 0; i < omega.size(); ++i)
        for (std::size_t k = 0; k <= i && k < lambda.size(); ++k)
            omega[i] ^= f.multiply(lambda[k], s[i - k]);
    std::vector<int> derivative(lambda.size() > 1 ? lambda.size() - 1 : 1, 0);
    for (std::size_t k = 1; k < lambda.size(); k += 2)
        derivative[k - 1] = lambda[k];

    // Chien search over the word positions; Forney's formula for the values.
    const int n = static_cast<int>(words.size());
    int found = 0;
    for (int k = 0; k < n; ++k) {
        const int e = n - 1 - k;  // the word's power
        if (evaluate(f, lambda, -e) != 0)
            continue;
        const int denominator = evaluate(f, derivative, -e);
        if (denominator == 0)
            return -1;
        words[static_cast<std::size_t>(k)] ^= f.divide(evaluate(f, omega, -e), denominator);
        ++found;
    }
    if (found != errors)
        return -1;
    for (int v : syndromes(f, words, checkWords))
        if (v != 0)
            return -1;
    return found;
}

}  // namespace korvane::detail
