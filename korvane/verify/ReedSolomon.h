#pragma once
// Reed-Solomon checking and correction over the Galois fields of Aztec Code
// (ISO/IEC 24778): GF(16) for the mode message, GF(64), GF(256), GF(1024) and
// GF(4096) for the data, generator roots alpha^1 ... alpha^n.

#include <cstdint>
#include <vector>

namespace korvane::detail {

struct GaloisField {
    int size;                  // 2^m
    const std::uint16_t* log;  // log[x], x in 1 .. size-1
    const std::uint16_t* exp;  // exp[i], i in 0 .. 2(size-1)-1: sums of two logs need no reduction

    int order() const { return size - 1; }
    int multiply(int a, int b) const { return a == 0 || b == 0 ? 0 : exp[log[a] + log[b]]; }
    int divide(int a, int b) const { return a == 0 ? 0 : exp[log[a] + order() - log[b]]; }
};

// The field of m-bit words: 4, 6, 8, 10 or 12; null for any other m.
const GaloisField* aztecField(int bits);

// Words: data then check words, the first the highest power. Checks that the
// syndromes vanish and otherwise corrects up to checkWords / 2 wrong words in
// place. Returns how many were corrected, or -1 when the errors are beyond
// correction.
int correctErrors(const GaloisField& field, std::vector<int>& words, int checkWords);

// The syndromes S1 ... S_checkWords; all zero for a valid code word.
std::vector<int> syndromes(const GaloisField& field, const std::vector<int>& words, int checkWords);

// The generator polynomial (x + alpha) (x + alpha^2) ... (x + alpha^n),
// highest power first (the first coefficient is 1). n below the field's order.
std::vector<int> generator(const GaloisField& field, int n);

}  // namespace korvane::detail
