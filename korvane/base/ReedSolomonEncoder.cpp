#include "ReedSolomonEncoder.h"

#include <algorithm>

namespace korvane::detail {

ReedSolomonEncoder::ReedSolomonEncoder(const Gf256& field, int checkWords, int firstRoot, bool productTable)
    : field_(field), n_(checkWords) {
    const auto n = static_cast<std::size_t>(checkWords);
    // The generator, highest power first.
    std::vector<int> g(n + 1, 0);
    g[0] = 1;
    for (std::size_t r = 0; r < n; ++r) {
        const int root = field.exp[static_cast<std::size_t>(firstRoot) + r];
        for (std::size_t k = r + 1; k >= 1; --k)
            g[k] ^= field.mul(g[k - 1], root);
    }
    // The generators of both symbologies have no zero coefficient; one that
    // had would take the table, which needs no logarithm of it.
    const bool zero = std::find(g.begin() + 1, g.end(), 0) != g.end();
    logG_.resize(n);
    for (std::size_t k = 0; k < n; ++k)
        logG_[k] = field.log[static_cast<std::size_t>(g[k + 1])];
    if (!productTable && !zero)
        return;
    rows_.assign(256 * n, 0);
    for (std::size_t c = 1; c < 256; ++c) {
        std::uint8_t* row = &rows_[c * n];
        if (zero) {
            for (std::size_t k = 0; k < n; ++k)
                row[k] = static_cast<std::uint8_t>(field.mul(static_cast<int>(c), g[k + 1]));
            continue;
        }
        const std::size_t logC = field.log[c];
        for (std::size_t k = 0; k < n; ++k)
            row[k] = field.exp[logC + logG_[k]];
    }
}

void ReedSolomonEncoder::encode(const std::uint8_t* data, std::size_t length, std::size_t stride,
                                std::uint8_t* out) const {
    const auto n = static_cast<std::size_t>(n_);
    if (n == 0)
        return;
    std::fill(out, out + n, 0);
    // One pass a data word: the remainder shifted down a place as the
    // generator times the feedback is added.
    for (std::size_t i = 0; i < length; ++i) {
        const int factor = data[i * stride] ^ out[0];
        if (factor == 0) {
            std::copy(out + 1, out + n, out);
            out[n - 1] = 0;
        } else if (!rows_.empty()) {
            const std::uint8_t* row = rows_.data() + static_cast<std::size_t>(factor) * n;
            for (std::size_t k = 0; k + 1 < n; ++k)
                out[k] = static_cast<std::uint8_t>(out[k + 1] ^ row[k]);
            out[n - 1] = row[n - 1];
        } else {
            const std::size_t logF = field_.log[static_cast<std::size_t>(factor)];
            const std::uint8_t* logG = logG_.data();
            for (std::size_t k = 0; k + 1 < n; ++k)
                out[k] = static_cast<std::uint8_t>(out[k + 1] ^ field_.exp[logF + logG[k]]);
            out[n - 1] = field_.exp[logF + logG[n - 1]];
        }
    }
}

}  // namespace korvane::detail
