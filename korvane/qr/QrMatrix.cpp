// QR Code modules before masking: the finder, timing and alignment
// patterns, the places kept for the format and version information, and the
// codewords placed around them.

#include "Qr.h"

#include "QrTables.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <utility>
#include <vector>

namespace korvane::qr::detail {
namespace {

constexpr int versionBits(int version) {
    // BCH (18,6) with generator x^12+x^11+x^10+x^9+x^8+x^5+x^2+1.
    int rem = version << 12;
    for (int b = 17; b >= 12; --b)
        if (rem >> b & 1)
            rem ^= 0x1F25 << (b - 12);
    return version << 12 | rem;
}
// The worked example of ISO/IEC 18004 Annex D.
static_assert(versionBits(7) == 0b000111110010010100);

std::size_t cell(const Matrix& m, int row, int col) {
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(m.size) + static_cast<std::size_t>(col);
}

// A function module: its colour, kept from the masks.
void set(Matrix& m, int row, int col, bool dark) {
    m.dark[cell(m, row, col)] = dark ? 1 : 0;
    m.function[cell(m, row, col)] = 1;
}

void drawFunctionPatterns(Matrix& m, int version) {
    const int n = m.size;
    // Finder patterns with their light separators.
    for (const auto& [r0, c0] : {std::pair{0, 0}, std::pair{0, n - 7}, std::pair{n - 7, 0}})
        for (int dr = -1; dr <= 7; ++dr)
            for (int dc = -1; dc <= 7; ++dc) {
                const int r = r0 + dr, c = c0 + dc;
                if (r < 0 || c < 0 || r >= n || c >= n)
                    continue;
                const int ring = std::max(std::abs(dr - 3), std::abs(dc - 3));
                set(m, r, c, ring != 2 && ring != 4);
            }
    // Timing patterns.
    for (int k = 8; k < n - 8; ++k) {
        set(m, 6, k, k % 2 == 0);
        set(m, k, 6, k % 2 == 0);
    }
    // Alignment patterns, less the three that would overlap finders.
    const std::uint8_t* centres = ALIGNMENT[version];
    int count = 0;
    while (count < 7 && centres[count] != 0)
        ++count;
    for (int a = 0; a < count; ++a)
        for (int b = 0; b < count; ++b) {
            if ((a == 0 && b == 0) || (a == 0 && b == count - 1) || (a == count - 1 && b == 0))
                continue;
            for (int dr = -2; dr <= 2; ++dr)
                for (int dc = -2; dc <= 2; ++dc)
                    set(m, centres[a] + dr, centres[b] + dc, std::max(std::abs(dr), std::abs(dc)) != 1);
        }
    // Format information (written per mask) and the dark module beside it.
    Place first[15], second[15];
    formatPlaces(n, first, second);
    for (int i = 0; i < 15; ++i) {
        set(m, first[i].row, first[i].column, false);
        set(m, second[i].row, second[i].column, false);
    }
    set(m, n - 8, 8, true);
    // Version information, from version 7.
    if (version >= 7) {
        const int v = versionBits(version);
        for (int i = 0; i < 18; ++i) {
            const bool d = (v >> i) & 1;
            set(m, i / 3, n - 11 + i % 3, d);
            set(m, n - 11 + i % 3, i / 3, d);
        }
    }
}

// Codeword bits in the two-module columns, right to left, up then down,
// column 6 (the vertical timing pattern) skipped.
void place(Matrix& m, const std::vector<std::uint8_t>& codewords) {
    // Locals, not the matrix's members: a byte stored may alias anything, and
    // the members would be read again after every one.
    const int size = m.size;
    std::uint8_t* const dark = m.dark.data();
    const std::uint8_t* const function = m.function.data();
    std::size_t bitIndex = 0;
    const std::size_t bitCount = codewords.size() * 8;
    bool upward = true;
    for (int right = size - 1; right >= 1; right -= 2) {
        if (right == 6)
            right = 5;
        for (int step = 0; step < size; ++step) {
            const int row = upward ? size - 1 - step : step;
            for (int col = right; col >= right - 1; --col) {
                const std::size_t at = static_cast<std::size_t>(row) * static_cast<std::size_t>(size) +
                                       static_cast<std::size_t>(col);
                if (function[at])
                    continue;
                if (bitIndex < bitCount)
                    dark[at] = (codewords[bitIndex >> 3] >> (7 - (bitIndex & 7))) & 1;
                ++bitIndex;  // remainder bits stay light
            }
        }
        upward = !upward;
    }
}

}  // namespace

void formatPlaces(int size, Place first[15], Place second[15]) {
    for (int i = 0; i < 15; ++i) {
        if (i < 6)
            first[i] = {i, 8};
        else if (i < 8)
            first[i] = {i + 1, 8};
        else if (i == 8)
            first[i] = {8, 7};
        else
            first[i] = {8, 14 - i};
        second[i] = i < 8 ? Place{8, size - 1 - i} : Place{size - 15 + i, 8};
    }
}

Matrix placeCodewords(int version, const std::vector<std::uint8_t>& codewords) {
    Matrix m;
    m.size = sizeOf(version);
    const auto cells = static_cast<std::size_t>(m.size) * static_cast<std::size_t>(m.size);
    m.dark.assign(cells, 0);
    m.function.assign(cells, 0);
    drawFunctionPatterns(m, version);
    place(m, codewords);
    return m;
}

}  // namespace korvane::qr::detail
