#pragma once
// Data Matrix module placement (ISO/IEC 16022 Annex F), shared by the
// encoder, which places codeword bits, and placement(), which maps them.

#include <array>
#include <cstddef>
#include <vector>

namespace korvane::datamatrix::detail {

// A module position outside the mapping matrix wrapped round to the other
// side (ISO/IEC 16022 Annex F.3); false when it still lies outside.
inline bool wrap(int nrow, int ncol, int& row, int& col) {
    if (row < 0) {
        row += nrow;
        col += 4 - ((nrow + 4) % 8);
    }
    if (col < 0) {
        col += ncol;
        row += 4 - ((ncol + 4) % 8);
        // Some DMRE sizes (26x40, 26x48) wrap past the bottom here:
        // ISO/IEC 21471 (Annex E) takes the row round once more.
        if (row >= nrow)
            row -= nrow;
    }
    return row >= 0 && row < nrow && col >= 0 && col < ncol;
}

// The four corner shapes: module positions (row, column) for bits 0-7.
using Corner = std::array<std::array<int, 2>, 8>;
inline Corner cornerShape(int which, int nrow, int ncol) {
    switch (which) {
    case 0: return {{{nrow - 1, 0}, {nrow - 1, 1}, {nrow - 1, 2}, {0, ncol - 2}, {0, ncol - 1}, {1, ncol - 1}, {2, ncol - 1}, {3, ncol - 1}}};
    case 1: return {{{nrow - 3, 0}, {nrow - 2, 0}, {nrow - 1, 0}, {0, ncol - 4}, {0, ncol - 3}, {0, ncol - 2}, {0, ncol - 1}, {1, ncol - 1}}};
    case 2: return {{{nrow - 3, 0}, {nrow - 2, 0}, {nrow - 1, 0}, {0, ncol - 2}, {0, ncol - 1}, {1, ncol - 1}, {2, ncol - 1}, {3, ncol - 1}}};
    default: return {{{nrow - 1, 0}, {nrow - 1, ncol - 1}, {0, ncol - 3}, {0, ncol - 2}, {0, ncol - 1}, {1, ncol - 3}, {1, ncol - 2}, {1, ncol - 1}}};
    }
}

// The placement of ISO/IEC 16022 Annex F: codewords as 8-module shapes
// walked diagonally up and down the mapping matrix, with four special shapes
// at the corners and wrap-around at the edges. `put(index, codeword, bit)`
// receives each module (codewords from 1, bit 0 the most significant);
// `filled(index)` says whether one has been placed there.
template <typename Put, typename Filled>
void walk(int nrow, int ncol, Put put, Filled filled) {
    auto module = [&](int row, int col, int codeword, int bit) {
        if (wrap(nrow, ncol, row, col))
            put(row * ncol + col, codeword, bit);
    };
    auto shape = [&](int row, int col, int codeword) {
        if (row >= 2 && col >= 2 && row < nrow && col < ncol) {  // inside: no wrap to check
            const int i = row * ncol + col;
            put(i - 2 * ncol - 2, codeword, 0);
            put(i - 2 * ncol - 1, codeword, 1);
            put(i - ncol - 2, codeword, 2);
            put(i - ncol - 1, codeword, 3);
            put(i - ncol, codeword, 4);
            put(i - 2, codeword, 5);
            put(i - 1, codeword, 6);
            put(i, codeword, 7);
            return;
        }
        module(row - 2, col - 2, codeword, 0);
        module(row - 2, col - 1, codeword, 1);
        module(row - 1, col - 2, codeword, 2);
        module(row - 1, col - 1, codeword, 3);
        module(row - 1, col, codeword, 4);
        module(row, col - 2, codeword, 5);
        module(row, col - 1, codeword, 6);
        module(row, col, codeword, 7);
    };
    auto corner = [&](int which, int codeword) {
        const Corner c = cornerShape(which, nrow, ncol);
        for (int bit = 0; bit < 8; ++bit)
            module(c[static_cast<std::size_t>(bit)][0], c[static_cast<std::size_t>(bit)][1], codeword, bit);
    };

    int codeword = 1;
    int row = 4, col = 0;
    do {
        if (row == nrow && col == 0)
            corner(0, codeword++);
        if (row == nrow - 2 && col == 0 && ncol % 4 != 0)
            corner(1, codeword++);
        if (row == nrow - 2 && col == 0 && ncol % 8 == 4)
            corner(2, codeword++);
        if (row == nrow + 4 && col == 2 && ncol % 8 == 0)
            corner(3, codeword++);
        do {  // up and to the right
            if (row >= 0 && row < nrow && col >= 0 && col < ncol && !filled(row * ncol + col))
                shape(row, col, codeword++);
            row -= 2;
            col += 2;
        } while (row >= 0 && col < ncol);
        row += 1;
        col += 3;
        do {  // down and to the left
            if (row >= 0 && row < nrow && col >= 0 && col < ncol && !filled(row * ncol + col))
                shape(row, col, codeword++);
            row += 2;
            col -= 2;
        } while (row < nrow && col >= 0);
        row += 3;
        col += 1;
    } while (row < nrow || col < ncol);
}

// Where the walk leaves the bottom-right 2 x 2 modules unused, they are
// fixed: dark on the diagonal, light off it.
template <typename T>
void fixCorner(std::vector<T>& grid, int nrow, int ncol, T dark, T light) {
    grid[static_cast<std::size_t>(nrow) * ncol - 1] = dark;
    grid[static_cast<std::size_t>(nrow - 1) * ncol - 2] = dark;
    grid[static_cast<std::size_t>(nrow) * ncol - 2] = light;
    grid[static_cast<std::size_t>(nrow - 1) * ncol - 1] = light;
}

}  // namespace korvane::datamatrix::detail
