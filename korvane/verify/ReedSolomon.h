#pragma once
// Reed-Solomon checking and correction for every reader: GF(2^m) with a
// primitive polynomial and the power of alpha at the generator's first root
// (Aztec Code, Data Matrix, QR Code), and the prime field GF(929) of PDF417
// with erasures.

#include <cstdint>
#include <vector>

namespace korvane::detail {

struct GaloisField {
    int size;                  // 2^m
    const std::uint16_t* log;  // log[x], x in 1 .. size-1
    const std::uint16_t* exp;  // exp[i], i in 0 .. 2(size-1)-1: sums of two logs need no reduction
    int firstRoot;             // the generator's roots are alpha^firstRoot, alpha^(firstRoot+1), ...

    int order() const { return size - 1; }
    int multiply(int a, int b) const { return a == 0 || b == 0 ? 0 : exp[log[a] + log[b]]; }
    int divide(int a, int b) const { return a == 0 ? 0 : exp[log[a] + order() - log[b]]; }
};

// Aztec Code (ISO/IEC 24778): m-bit words, m 4, 6, 8, 10 or 12, roots from
// alpha^1; null for any other m.
const GaloisField* aztecField(int bits);
// Data Matrix (ISO/IEC 16022): x^8+x^5+x^3+x^2+1, roots from alpha^1 (the
// field of 8-bit Aztec words).
const GaloisField& dataMatrixField();
// QR Code (ISO/IEC 18004): x^8+x^4+x^3+x^2+1, roots from alpha^0.
const GaloisField& qrField();

// Words: data then check words, the first the highest power. Checks that the
// syndromes vanish and otherwise corrects up to checkWords / 2 wrong words in
// place. Returns how many were corrected, or -1 when the errors are beyond
// correction.
int correctErrors(const GaloisField& field, std::vector<int>& words, int checkWords);

// The syndromes S1 ... S_checkWords (the word at the generator's roots); all
// zero for a valid code word.
std::vector<int> syndromes(const GaloisField& field, const std::vector<int>& words, int checkWords);

// The generator polynomial (x + alpha^b) (x + alpha^(b+1)) ... (x + alpha^(b+n-1)),
// b the field's first root, highest power first (the first coefficient is
// 1). n below the field's order.
std::vector<int> generator(const GaloisField& field, int n);

// PDF417 (ISO/IEC 15438): words modulo 929, the generator's roots 3^1 ...
// 3^checkWords. Corrects `words` (first the highest power) in place, the
// positions in `erasures` known to be wrong, keeping `reserved` check words
// for detection: 2 x errors + erasures <= checkWords - reserved. Returns the
// number of words changed, or -1.
int correctErasures929(std::vector<int>& words, int checkWords, const std::vector<int>& erasures, int reserved);

}  // namespace korvane::detail
