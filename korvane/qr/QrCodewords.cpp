// QR Code codewords: the capacity of each version and level, the
// Reed-Solomon check words of each block, and the blocks interleaved.

#include "Qr.h"

#include "QrTables.h"
#include "../base/ReedSolomonEncoder.h"

#include <cstddef>
#include <vector>

namespace korvane::qr::detail {
namespace {

// Data words from which the check words are made with a table of products.
constexpr std::size_t PRODUCT_TABLE_WORDS = 512;

// Generator roots alpha^0 ... alpha^(n - 1) (ISO/IEC 18004, 7.5.2).
korvane::detail::ReedSolomonEncoder generator(int n, std::size_t words) {
    return korvane::detail::ReedSolomonEncoder(korvane::detail::QR_FIELD, n, 0, words >= PRODUCT_TABLE_WORDS);
}

}  // namespace

int totalCodewords(int version) { return TOTAL_CODEWORDS[version]; }

int dataCodewords(int version, Level level) {
    const BlockSpec b = BLOCKS[version][static_cast<int>(level)];
    return TOTAL_CODEWORDS[version] - b.checkPerBlock * b.blocks;
}

std::vector<std::uint8_t> checkWords(const std::vector<std::uint8_t>& data, int n) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(n));
    generator(n, data.size()).encode(data.data(), data.size(), 1, out.data());
    return out;
}

std::vector<std::uint8_t> interleave(const std::vector<std::uint8_t>& data, int version, Level level) {
    const BlockSpec spec = BLOCKS[version][static_cast<int>(level)];
    return interleaveBlocks(data, spec.blocks, spec.checkPerBlock, TOTAL_CODEWORDS[version]);
}

std::vector<std::uint8_t> interleaveBlocks(const std::vector<std::uint8_t>& data, int blocks, int n, int total) {
    const int shortLen = static_cast<int>(data.size()) / blocks;
    const int longBlocks = static_cast<int>(data.size()) % blocks;
    const korvane::detail::ReedSolomonEncoder rs = generator(n, data.size());
    std::vector<std::uint8_t> out(static_cast<std::size_t>(total));
    std::vector<std::uint8_t> checks(static_cast<std::size_t>(n));
    const std::size_t checkStart = data.size();
    std::size_t start = 0;
    for (int b = 0; b < blocks; ++b) {
        // The long blocks come last; their last word goes after every block's others.
        const bool isLong = b >= blocks - longBlocks;
        const int len = shortLen + (isLong ? 1 : 0);
        for (int i = 0; i < shortLen; ++i)
            out[static_cast<std::size_t>(i * blocks + b)] = data[start + static_cast<std::size_t>(i)];
        if (isLong)
            out[static_cast<std::size_t>(shortLen * blocks + b - (blocks - longBlocks))] =
                data[start + static_cast<std::size_t>(shortLen)];
        rs.encode(data.data() + start, static_cast<std::size_t>(len), 1, checks.data());
        for (int i = 0; i < n; ++i)
            out[checkStart + static_cast<std::size_t>(i * blocks + b)] = checks[static_cast<std::size_t>(i)];
        start += static_cast<std::size_t>(len);
    }
    return out;
}

}  // namespace korvane::qr::detail
