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
    for (std::size_t c = 1; c < 256; ++c)
        for (std::size_t k = 0; k < n; ++k)
            rows_[c * n + k] = static_cast<std::uint8_t>(field.mul(static_cast<int>(c), g[k + 1]));
}

void ReedSolomonEncoder::encode(const std::uint8_t* data, std::size_t length, std::size_t stride,
                                std::uint8_t* out) const {
    const auto n = static_cast<std::size_t>(n_);
    if (n == 0)
        return;
    std::fill(out, out + n, 0);
    for (std::size_t i = 0; i < length; ++i) {
        const int factor = data[i * stride] ^ out[0];
        std::copy(out + 1, out + n, out);
        out[n - 1] = 0;
        if (factor == 0)
            continue;
        if (!rows_.empty()) {
            const std::uint8_t* row = rows_.data() + static_cast<std::size_t>(factor) * n;
            for (std::size_t k = 0; k < n; ++k)
                out[k] ^= row[k];
        } else {
            const std::size_t logF = field_.log[static_cast<std::size_t>(factor)];
            for (std::size_t k = 0; k < n; ++k)
                out[k] ^= field_.exp[logF + logG_[k]];
        }
    }
}

}  // namespace korvane::detail
