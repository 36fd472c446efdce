// Data Matrix modules: the mapping matrix of the codewords, and the symbol's
// data regions with their finders and clock tracks.

#include "DataMatrix.h"
#include "DataMatrixPlacement.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace korvane::datamatrix::detail {

std::vector<int> placement(int nrow, int ncol) {
    std::vector<int> grid(static_cast<std::size_t>(nrow) * ncol, -1);
    walk(nrow, ncol, [&](int i, int codeword, int bit) { grid[static_cast<std::size_t>(i)] = codeword * 8 + bit; },
         [&](int i) { return grid[static_cast<std::size_t>(i)] >= 0; });
    if (grid.back() < 0)
        fixCorner(grid, nrow, ncol, 1, 0);
    return grid;
}

std::vector<std::uint8_t> placeModules(const SizeInfo& size, const std::vector<std::uint8_t>& cw) {
    // The codewords' bits into the mapping matrix (2: not yet placed), then
    // the matrix into the regions, each framed by its finder (solid left and
    // bottom) and clock tracks (alternating top and right).
    const int rr = size.regionRows, rc = size.regionColumns;
    const int nrow = size.regionsDown() * rr, ncol = size.regionsAcross() * rc;
    std::vector<std::uint8_t> mapping(static_cast<std::size_t>(nrow) * ncol, 2);
    // Pointers, not the vectors: a byte stored may alias anything, and the
    // vectors' own pointers would be read again after every one.
    std::uint8_t* const map = mapping.data();
    const std::uint8_t* const words = cw.data();
    walk(
        nrow, ncol,
        [map, words](int i, int codeword, int bit) {
            map[i] = static_cast<std::uint8_t>((words[codeword - 1] >> (7 - bit)) & 1);
        },
        [map](int i) { return map[i] != 2; });
    if (mapping.back() == 2)
        fixCorner<std::uint8_t>(mapping, nrow, ncol, 1, 0);
    const int rows = size.rows, cols = size.columns;
    std::vector<std::uint8_t> modules(static_cast<std::size_t>(rows) * cols, 0);
    for (int y = 0; y < rows; ++y) {
        std::uint8_t* out = modules.data() + static_cast<std::size_t>(y) * cols;
        const int ry = y % (rr + 2);
        if (ry == rr + 1) {  // finder
            std::fill(out, out + cols, 1);
            continue;
        }
        if (ry == 0) {  // clock track
            for (int x = 0; x < cols; x += 2)
                out[x] = 1;
            continue;
        }
        const std::uint8_t* in = map + static_cast<std::size_t>(y / (rr + 2) * rr + ry - 1) * ncol;
        for (int x = 0; x < cols; x += rc + 2, in += rc) {
            out[x] = 1;
            std::copy(in, in + rc, out + x + 1);
            out[x + rc + 1] = static_cast<std::uint8_t>(ry % 2);
        }
    }
    return modules;
}

}  // namespace korvane::datamatrix::detail
