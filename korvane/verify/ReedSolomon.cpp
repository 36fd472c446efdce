// Reed-Solomon syndromes, Berlekamp-Massey, Chien search and Forney's formula,
// over GF(2^m) and over GF(929).

#include "ReedSolomon.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>

namespace korvane::detail {
namespace {

// Log and antilog tables of GF(2^M) with the given primitive polynomial
// (alpha = x), for a code whose generator's roots start at alpha^FIRST_ROOT. They are made when first used rather than by the compiler:
// 40 KB of tables cost more to carry in the WebAssembly module than the
// microseconds they take to build.
template <int M, int POLYNOMIAL, int FIRST_ROOT>
struct Tables {
    static constexpr int SIZE = 1 << M;
    std::array<std::uint16_t, SIZE> log{};
    std::array<std::uint16_t, 2 * (SIZE - 1)> exp{};
    GaloisField field{SIZE, log.data(), exp.data(), FIRST_ROOT};

    Tables() {
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
    Tables(const Tables&) = delete;
    Tables& operator=(const Tables&) = delete;
};

template <int M, int POLYNOMIAL, int FIRST_ROOT = 1>
const GaloisField* fieldOf() {
    static const Tables<M, POLYNOMIAL, FIRST_ROOT> tables;
    return &tables.field;
}

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

// The remainder of the words (as a polynomial, highest power first) by the
// monic generator of degree checkWords: the last checkWords words of the
// result. Each data word w subtracts w * g(x) shifted into place. w * g is the
// sum of alpha^b * g over the bits b of w, or, with rows made for every
// nibble value, of at most three rows: a few XORs of whole rows per data word
// rather than a field multiplication per term.
std::vector<int> remainder(const GaloisField& f, const std::vector<int>& words, int checkWords) {
    const std::vector<int> g = generator(f, checkWords);
    const auto n = static_cast<std::size_t>(checkWords);
    int bits = 0;
    while ((1 << bits) < f.size)
        ++bits;
    std::vector<std::uint16_t> a(words.begin(), words.end());
    const std::size_t data = a.size() - n;
    auto subtract = [n](std::uint16_t* __restrict target, const std::uint16_t* __restrict row) {
        for (std::size_t j = 0; j < n; ++j)
            target[j] ^= row[j];
    };

    // rows[(b / 4) * 16 + v]: (v << (b / 4 * 4)) * g, for the nibble values v;
    // the single bits first, the other values (when there is enough data to
    // repay them) as sums of a smaller value's row and one bit's.
    const int nibbles = (bits + 3) / 4;
    const bool allValues = data >= 32;
    std::vector<std::uint16_t> rows(static_cast<std::size_t>(nibbles) * 16 * n, 0);
    auto row = [&](int nibble, int v) { return rows.data() + (static_cast<std::size_t>(nibble) * 16 + v) * n; };
    for (int b = 0; b < bits; ++b) {
        std::uint16_t* r = row(b / 4, 1 << (b % 4));
        for (std::size_t j = 0; j < n; ++j)
            r[j] = static_cast<std::uint16_t>(f.multiply(1 << b, g[j + 1]));
    }
    if (allValues)
        for (int nibble = 0; nibble < nibbles; ++nibble)
            for (int v = 3; v < 16; ++v) {
                const int low = v & -v;
                if (v == low)
                    continue;
                std::copy(row(nibble, v - low), row(nibble, v - low) + n, row(nibble, v));
                subtract(row(nibble, v), row(nibble, low));
            }

    for (std::size_t i = 0; i < data; ++i) {
        const int w = a[i];
        for (int nibble = 0; nibble < nibbles; ++nibble) {
            const int v = (w >> (4 * nibble)) & 15;
            if (allValues) {
                if (v)
                    subtract(a.data() + i + 1, row(nibble, v));
                continue;
            }
            for (int bit = 1; bit < 16; bit <<= 1)
                if (v & bit)
                    subtract(a.data() + i + 1, row(nibble, bit));
        }
    }
    return std::vector<int>(a.begin() + static_cast<std::ptrdiff_t>(data), a.end());
}

}  // namespace

std::vector<int> generator(const GaloisField& f, int n) {
    // The q-binomial theorem with q = alpha gives the coefficients directly:
    // that of x^(n-k) is alpha^(k(k+1)/2) times the Gaussian binomial [n k],
    // and [n k] = [n k-1] (1 + alpha^(n-k+1)) / (1 + alpha^k). The
    // denominators are not zero for k below the order of alpha. Roots from
    // alpha^b rather than alpha^1 multiply that of x^(n-k) by alpha^((b-1)k).
    std::vector<int> g(static_cast<std::size_t>(n) + 1);
    const int q = f.order();
    const int shift = ((f.firstRoot - 1) % q + q) % q;
    int binomial = 1;
    g[0] = 1;
    for (int k = 1; k <= n; ++k) {
        const int numerator = 1 ^ f.exp[(n - k + 1) % q];
        const int denominator = 1 ^ f.exp[k % q];
        binomial = f.divide(f.multiply(binomial, numerator), denominator);
        const long long power = (static_cast<long long>(k) * (k + 1) / 2 + static_cast<long long>(shift) * k) % q;
        g[static_cast<std::size_t>(k)] = f.multiply(binomial, f.exp[power]);
    }
    return g;
}

const GaloisField* aztecField(int bits) {
    switch (bits) {
    // ISO/IEC 24778: x^4+x+1, x^6+x+1, x^8+x^5+x^3+x^2+1, x^10+x^3+1, x^12+x^6+x^5+x^3+1.
    case 4: return fieldOf<4, 0x13>();
    case 6: return fieldOf<6, 0x43>();
    case 8: return fieldOf<8, 0x12D>();
    case 10: return fieldOf<10, 0x409>();
    case 12: return fieldOf<12, 0x1069>();
    default: return nullptr;
    }
}

const GaloisField& dataMatrixField() { return *fieldOf<8, 0x12D>(); }

const GaloisField& qrField() { return *fieldOf<8, 0x11D, 0>(); }

std::vector<int> syndromes(const GaloisField& f, const std::vector<int>& words, int checkWords) {
    // S_j = sum of word_k alpha^((b + j - 1) e_k), e_k the power of word k and
    // b the first root. Word by word,
    // the exponent of each term grows by e_k from one syndrome to the next;
    // four words at a time keep the additions independent of each other.
    std::vector<int> s(static_cast<std::size_t>(checkWords), 0);
    const int q = f.order();
    const int n = static_cast<int>(words.size());
    struct Term {
        int exponent;  // log of the term for the first syndrome
        int step;      // e_k
    };
    std::vector<Term> terms;
    terms.reserve(words.size());
    for (int k = 0; k < n; ++k) {
        const int w = words[static_cast<std::size_t>(k)];
        if (w == 0)
            continue;
        const int e = (n - 1 - k) % q;
        terms.push_back({static_cast<int>((f.log[w] + static_cast<long long>(e) * (f.firstRoot + q)) % q), e});
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


namespace {

// Berlekamp-Massey: the error locator Lambda(x) of the syndromes, lowest
// power first, trailing zeros dropped. Returns the number of errors it
// claims (its degree when it is sound).
int errorLocator(const GaloisField& f, const std::vector<int>& s, std::vector<int>& lambda) {
    const int checkWords = static_cast<int>(s.size());
    std::vector<int> previous{1};
    lambda.assign(1, 1);
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
    return errors;
}

// Chien search over the word positions and Forney's formula for the values:
// corrects the words in place and returns how many, or -1 when the locator's
// derivative vanishes at a root.
int fixErrors(const GaloisField& f, std::vector<int>& words, const std::vector<int>& s, const std::vector<int>& lambda) {
    // Omega(x) = S(x) Lambda(x) mod x^checkWords; Lambda'(x) keeps the odd terms.
    std::vector<int> omega(s.size(), 0);
    for (std::size_t i = 0; i < omega.size(); ++i)
        for (std::size_t k = 0; k <= i && k < lambda.size(); ++k)
            omega[i] ^= f.multiply(lambda[k], s[i - k]);
    std::vector<int> derivative(lambda.size() > 1 ? lambda.size() - 1 : 1, 0);
    for (std::size_t k = 1; k < lambda.size(); k += 2)
        derivative[k - 1] = lambda[k];
    // The value at X = alpha^e carries a factor X^(1 - b), b the first root.
    const int q = f.order();
    const long long lift = ((1 - f.firstRoot) % q + q) % q;
    const int n = static_cast<int>(words.size());
    int found = 0;
    for (int k = 0; k < n; ++k) {
        const int e = n - 1 - k;  // the word's power
        if (evaluate(f, lambda, -e) != 0)
            continue;
        const int denominator = evaluate(f, derivative, -e);
        if (denominator == 0)
            return -1;
        int value = f.divide(evaluate(f, omega, -e), denominator);
        if (lift != 0)
            value = f.multiply(value, f.exp[lift * e % q]);
        words[static_cast<std::size_t>(k)] ^= value;
        ++found;
    }
    return found;
}

}  // namespace

int correctErrors(const GaloisField& f, std::vector<int>& words, int checkWords) {
    if (checkWords <= 0)
        return 0;
    if (checkWords >= f.order() || static_cast<std::size_t>(checkWords) > words.size())
        return -1;
    // All syndromes vanish exactly when the generator divides the word; the
    // division is the cheaper test. The remainder has the word's syndromes
    // (g vanishes at its roots), so they come from it when it is not zero.
    const std::vector<int> rest = remainder(f, words, checkWords);
    bool clean = true;
    for (int v : rest)
        clean = clean && v == 0;
    if (clean)
        return 0;
    const std::vector<int> s = syndromes(f, rest, checkWords);
    std::vector<int> lambda;
    const int errors = errorLocator(f, s, lambda);
    if (errors * 2 > checkWords || static_cast<int>(lambda.size()) - 1 != errors)
        return -1;
    const int found = fixErrors(f, words, s, lambda);
    if (found != errors)
        return -1;
    for (int v : remainder(f, words, checkWords))
        if (v != 0)
            return -1;
    return found;
}

// ---------------------------------------------------------------- GF(929)

namespace {

constexpr int MOD = 929;

int power929(int base, int e) {
    int r = 1;
    base %= MOD;
    while (e > 0) {
        if (e & 1)
            r = r * base % MOD;
        base = base * base % MOD;
        e >>= 1;
    }
    return r;
}
int inverse929(int a) { return power929(a, MOD - 2); }

// A polynomial (lowest coefficient first) at x.
int evaluate929(const std::vector<int>& p, int x) {
    int r = 0;
    for (std::size_t i = p.size(); i > 0; --i)
        r = (r * x + p[i - 1]) % MOD;
    return r;
}

std::vector<int> syndromes929(const std::vector<int>& words, int checks) {
    const int n = static_cast<int>(words.size());
    std::vector<int> s(static_cast<std::size_t>(checks));
    for (int j = 1; j <= checks; ++j) {
        const int a = power929(3, j);
        int v = 0;
        for (int i = 0; i < n; ++i)
            v = (v * a + words[static_cast<std::size_t>(i)]) % MOD;
        s[static_cast<std::size_t>(j) - 1] = v;
    }
    return s;
}

// The erasure locator: the product of (1 - X x) over the erased positions.
std::vector<int> erasureLocator929(int n, const std::vector<int>& erasures) {
    std::vector<int> lambda{1};
    for (int e : erasures) {
        const int x = power929(3, n - 1 - e);
        std::vector<int> next(lambda.size() + 1, 0);
        for (std::size_t i = 0; i < lambda.size(); ++i) {
            next[i] = (next[i] + lambda[i]) % MOD;
            next[i + 1] = (next[i + 1] + MOD - lambda[i] * x % MOD) % MOD;
        }
        lambda = next;
    }
    return lambda;
}

// Berlekamp-Massey from the erasure locator: the errors-and-erasures locator,
// trailing zeros dropped.
std::vector<int> errorLocator929(const std::vector<int>& s, std::vector<int> lambda, int rho) {
    const int checks = static_cast<int>(s.size());
    std::vector<int> b = lambda;
    int l = rho;
    for (int r = rho + 1; r <= checks; ++r) {
        int delta = 0;
        for (std::size_t j = 0; j < lambda.size() && static_cast<int>(j) < r; ++j)
            delta = (delta + lambda[j] * s[static_cast<std::size_t>(r - 1) - j]) % MOD;
        std::vector<int> shifted(b.size() + 1, 0);
        std::copy(b.begin(), b.end(), shifted.begin() + 1);
        if (delta == 0) {
            b = shifted;
            continue;
        }
        std::vector<int> t(std::max(lambda.size(), shifted.size()), 0);
        for (std::size_t i = 0; i < t.size(); ++i) {
            const int a = i < lambda.size() ? lambda[i] : 0;
            const int c = i < shifted.size() ? shifted[i] : 0;
            t[i] = (a + MOD - delta * c % MOD) % MOD;
        }
        if (2 * l <= r + rho - 1) {
            l = r + rho - l;
            const int inv = inverse929(delta);
            b = lambda;
            for (int& v : b)
                v = v * inv % MOD;
        } else {
            b = shifted;
        }
        lambda = t;
    }
    while (lambda.size() > 1 && lambda.back() == 0)
        lambda.pop_back();
    return lambda;
}

// Chien search and Forney's formula: corrects the words in place and returns
// how many, or -1 when the locator's derivative vanishes at a root.
int fixErrors929(std::vector<int>& words, const std::vector<int>& s, const std::vector<int>& lambda) {
    const int n = static_cast<int>(words.size()), checks = static_cast<int>(s.size());
    // Omega = S(x) Lambda(x) mod x^checks, S(x) = S1 + S2 x + ...
    std::vector<int> omega(static_cast<std::size_t>(checks), 0);
    for (int i = 0; i < checks; ++i)
        for (std::size_t j = 0; j <= static_cast<std::size_t>(i) && j < lambda.size(); ++j)
            omega[static_cast<std::size_t>(i)] =
                (omega[static_cast<std::size_t>(i)] + s[static_cast<std::size_t>(i) - j] * lambda[j]) % MOD;
    std::vector<int> derivative;
    for (std::size_t i = 1; i < lambda.size(); ++i)
        derivative.push_back(static_cast<int>(i % MOD) * lambda[i] % MOD);
    int found = 0;
    for (int i = 0; i < n; ++i) {
        const int x = power929(3, n - 1 - i);
        const int xInv = inverse929(x);
        if (evaluate929(lambda, xInv) != 0)
            continue;
        ++found;
        const int denominator = evaluate929(derivative, xInv);
        if (denominator == 0)
            return -1;
        const int value = (MOD - evaluate929(omega, xInv)) % MOD * inverse929(denominator) % MOD;
        words[static_cast<std::size_t>(i)] = (words[static_cast<std::size_t>(i)] + MOD - value) % MOD;
    }
    return found;
}

bool allZero(const std::vector<int>& v) {
    return std::all_of(v.begin(), v.end(), [](int x) { return x == 0; });
}

}  // namespace

int correctErasures929(std::vector<int>& words, int checks, const std::vector<int>& erasures, int reserved) {
    const std::vector<int> s = syndromes929(words, checks);
    if (allZero(s))
        return 0;
    const int rho = static_cast<int>(erasures.size());
    if (rho > checks - reserved)
        return -1;
    const int n = static_cast<int>(words.size());
    const std::vector<int> lambda = errorLocator929(s, erasureLocator929(n, erasures), rho);
    const int degree = static_cast<int>(lambda.size()) - 1;
    if (2 * (degree - rho) + rho > checks - reserved)
        return -1;
    const int found = fixErrors929(words, s, lambda);
    if (found != degree || !allZero(syndromes929(words, checks)))
        return -1;
    return found;
}

}  // namespace korvane::detail
