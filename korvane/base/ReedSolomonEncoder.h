#pragma once
// Reed-Solomon check words over GF(256), the one encoder of the QR Code and
// Data Matrix engines. Each field is a constant, built once at compile time;
// the readers in verify/ keep tables of their own, an independent check.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace korvane::detail {

// GF(256) for the primitive polynomial `poly` (x^8 included), alpha = x.
// `exp` is doubled so that the sum of two logarithms indexes it unreduced.
struct Gf256 {
    std::array<std::uint8_t, 512> exp{};
    std::array<std::uint8_t, 256> log{};
    constexpr explicit Gf256(int poly) {
        int x = 1;
        for (int i = 0; i < 255; ++i) {
            exp[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(x);
            exp[static_cast<std::size_t>(i) + 255] = static_cast<std::uint8_t>(x);
            log[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(i);
            x <<= 1;
            if (x & 0x100)
                x ^= poly;
        }
        exp[510] = exp[0];
        exp[511] = exp[1];
    }
    constexpr int mul(int a, int b) const {
        if (a == 0 || b == 0)
            return 0;
        return exp[static_cast<std::size_t>(log[static_cast<std::size_t>(a)]) + log[static_cast<std::size_t>(b)]];
    }
};

// x^8 + x^4 + x^3 + x^2 + 1 (ISO/IEC 18004, 7.5.2).
inline constexpr Gf256 QR_FIELD{0x11D};
// x^8 + x^5 + x^3 + x^2 + 1 (ISO/IEC 16022, 5.7.1).
inline constexpr Gf256 DATA_MATRIX_FIELD{0x12D};
static_assert(QR_FIELD.exp[8] == 0x1D && QR_FIELD.exp[255] == 1 && QR_FIELD.log[2] == 1);
static_assert(DATA_MATRIX_FIELD.exp[8] == 0x2D && DATA_MATRIX_FIELD.mul(DATA_MATRIX_FIELD.exp[254], 2) == 1);

// The check words of one generator, (x - alpha^first) ... (x - alpha^(first + n - 1)),
// for any number of blocks. Each data word shifts the remainder and adds the
// generator times the feedback; with `productTable` (worth its 255 x n
// multiplications only over some hundreds of data words) a row per feedback
// value holds those products, so a data word costs n XORs.
class ReedSolomonEncoder {
public:
    ReedSolomonEncoder(const Gf256& field, int checkWords, int firstRoot, bool productTable);

    int checkWords() const { return n_; }

    // Writes the check words of the `length` words data[0], data[stride], ...
    // to out[0, checkWords).
    void encode(const std::uint8_t* data, std::size_t length, std::size_t stride, std::uint8_t* out) const;

private:
    const Gf256& field_;
    int n_;
    std::vector<std::uint8_t> logG_;  // logarithms of the generator's coefficients below its leading 1
    std::vector<std::uint8_t> rows_;  // 256 rows of n: feedback value times the generator
};

}  // namespace korvane::detail
