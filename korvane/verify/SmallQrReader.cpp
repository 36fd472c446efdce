// Micro QR (ISO/IEC 18004) and rMQR (ISO/IEC 23941): the symbol's extent on a
// light ground, the module grid sampled for each size and quarter turn the
// extent allows, the one whose finder pattern is there, its format
// information, unmasking, the Reed-Solomon check and the segments. The sizes
// and capacities here are the reader's own, apart from the encoder's.

#include "QrStream.h"
#include "Readers.h"
#include "ReedSolomon.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace korvane::detail {
namespace {

// ---------------------------------------------------------------- the picture

struct Extent {
    int left = 0, top = 0, right = -1, bottom = -1;  // dark pixels' bounds, inclusive
};

Extent extentOf(const GrayRaster& p) {
    Extent e{p.width, p.height, -1, -1};
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (p.at(x, y) < 128) {
                e.left = std::min(e.left, x);
                e.right = std::max(e.right, x);
                e.top = std::min(e.top, y);
                e.bottom = std::max(e.bottom, y);
            }
    return e;
}

// Modules of the upright symbol, rows x columns, 1 dark.
struct Modules {
    int rows = 0, columns = 0;
    std::vector<std::uint8_t> dark;
    int at(int r, int c) const { return dark[static_cast<std::size_t>(r * columns + c)]; }
};

// The picture's extent sampled as `rows` x `columns` modules of the upright
// symbol turned `turns` quarter turns clockwise; the grid of their centres
// goes into `grid`.
Modules sample(const GrayRaster& p, const Extent& e, int rows, int columns, int turns, ModuleGrid& grid) {
    const bool sideways = turns % 2 == 1;
    const double across = (e.right - e.left + 1.0) / (sideways ? rows : columns);
    const double down = (e.bottom - e.top + 1.0) / (sideways ? columns : rows);
    Modules m{rows, columns, std::vector<std::uint8_t>(static_cast<std::size_t>(rows * columns))};
    // Where module (r, c) of the upright symbol lies in the picture's grid.
    const auto place = [&](int r, int c, int& x, int& y) {
        switch (turns) {
        case 0: x = c, y = r; break;
        case 1: x = rows - 1 - r, y = c; break;
        case 2: x = columns - 1 - c, y = rows - 1 - r; break;
        default: x = r, y = columns - 1 - c; break;
        }
    };
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            int x = 0, y = 0;
            place(r, c, x, y);
            const int px = static_cast<int>(e.left + (x + 0.5) * across);
            const int py = static_cast<int>(e.top + (y + 0.5) * down);
            m.dark[static_cast<std::size_t>(r * columns + c)] = p.at(px, py) < 128 ? 1 : 0;
        }
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    place(0, 0, x0, y0);
    place(0, 1, x1, y1);
    place(1, 0, x2, y2);
    grid = {e.left + (x0 + 0.5) * across, e.top + (y0 + 0.5) * down, 0, 0, (x1 - x0) * across, (y1 - y0) * down,
            (x2 - x0) * across, (y2 - y0) * down};
    return m;
}

// Modules of the 7x7 finder pattern at the top left that disagree with it.
int finderErrors(const Modules& m) {
    int errors = 0;
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 7; ++c) {
            const int ring = std::max(std::abs(r - 3), std::abs(c - 3));
            errors += m.at(r, c) != (ring != 2 ? 1 : 0);
        }
    return errors;
}

// Codeword bits from two-module columns, right to left from `firstRight`,
// upwards first, around the function modules.
std::vector<std::pair<int, int>> codewordModules(const Modules& function, int firstRight) {
    std::vector<std::pair<int, int>> out;
    bool upward = true;
    for (int right = firstRight; right >= 1; right -= 2, upward = !upward)
        for (int step = 0; step < function.rows; ++step) {
            const int r = upward ? function.rows - 1 - step : step;
            for (int c = right; c >= right - 1; --c)
                if (!function.at(r, c))
                    out.emplace_back(r, c);
        }
    return out;
}

// The nearest of `count` code words `word(i)` to `read`, within 3 bits; -1 otherwise.
template <typename Word>
int nearest(int read, int count, Word word) {
    int best = -1, bestDistance = 4;
    for (int i = 0; i < count; ++i) {
        int d = 0;
        for (int x = read ^ word(i); x != 0; x &= x - 1)
            ++d;
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

int bchWord(int data, int g, int degree) {
    int rem = data << degree;
    for (int b = 31; b >= degree; --b)
        if (rem >> b & 1)
            rem ^= g << (b - degree);
    return data << degree | rem;
}

void set(Modules& m, int r, int c) { m.dark[static_cast<std::size_t>(r * m.columns + c)] = 1; }

// ---------------------------------------------------------------- Micro QR

// Data bits by version M1-M4 and symbol number's level: the format
// information's symbol numbers 0-7 are M1, M2-L, M2-M, M3-L, M3-M, M4-L,
// M4-M, M4-Q (ISO/IEC 18004 Tables 7 and 13).
struct MicroSymbol {
    int version;
    char level;
    int dataBits;
};
constexpr MicroSymbol MICRO_SYMBOLS[8] = {{1, 'L', 20}, {2, 'L', 40}, {2, 'M', 32}, {3, 'L', 84},
                                          {3, 'M', 68}, {4, 'L', 128}, {4, 'M', 112}, {4, 'Q', 80}};
// Codewords in all by version: the modules left over, in bytes rounded up.
constexpr int microCodewords(int v) { return ((9 + 2 * v) * (9 + 2 * v) - 64 - 15 - 2 * (2 * v + 1) + 7) / 8; }
static_assert(microCodewords(1) == 5 && microCodewords(2) == 10 && microCodewords(3) == 17 && microCodewords(4) == 24);

Modules microFunction(int n) {
    Modules f{n, n, std::vector<std::uint8_t>(static_cast<std::size_t>(n * n))};
    for (int k = 0; k < n; ++k) {
        set(f, 0, k);
        set(f, k, 0);
    }
    for (int r = 0; r <= 8; ++r)
        for (int c = 0; c <= 8; ++c)
            set(f, r, c);
    return f;
}

bool microMask(int mask, int i, int j) {
    switch (mask) {
    case 0: return i % 2 == 0;
    case 1: return (i / 2 + j / 3) % 2 == 0;
    case 2: return ((i * j) % 2 + (i * j) % 3) % 2 == 0;
    default: return ((i + j) % 2 + (i * j) % 3) % 2 == 0;
    }
}

Reading readMicroModules(const Modules& m) {
    Reading r;
    const int n = m.rows;
    int format = 0;
    for (int k = 0; k < 15; ++k)
        format |= (k <= 7 ? m.at(k + 1, 8) : m.at(8, 15 - k)) << k;
    const int found = nearest(format, 32, [](int i) { return bchWord(i, 0x537, 10) ^ 0x4445; });
    if (found < 0 || 9 + 2 * MICRO_SYMBOLS[found >> 2].version != n) {
        r.failure = "the Micro QR format information cannot be corrected";
        return r;
    }
    const MicroSymbol s = MICRO_SYMBOLS[found >> 2];
    const int mask = found & 3;
    r.qrVersion = s.version;
    r.qrLevel = s.level;
    r.qrMask = mask;
    r.size = r.rows = r.columns = n;
    // The bits: the data (a last word of four bits in M1 and M3), then the check words.
    const int total = microCodewords(s.version), dataWords = (s.dataBits + 7) / 8;
    std::vector<int> words(static_cast<std::size_t>(total), 0);
    int k = 0;
    for (const auto& [row, col] : codewordModules(microFunction(n), n - 1)) {
        const int bit = m.at(row, col) ^ (microMask(mask, row, col) ? 1 : 0);
        // Past the data bits, the check words start on a whole byte.
        const int at = k < s.dataBits ? k : 8 * dataWords + (k - s.dataBits);
        if (at < 8 * total)
            words[static_cast<std::size_t>(at >> 3)] |= bit << (7 - (at & 7));
        ++k;
    }
    const int check = total - dataWords;
    const int fixed = correctErrors(qrField(), words, check);
    if (fixed < 0) {
        r.failure = "the Micro QR Reed-Solomon check words cannot correct its errors";
        return r;
    }
    r.correctedCodewords = fixed;
    r.dataCodewords = dataWords;
    r.checkCodewords = check;
    CodewordBlock block;
    for (int i = 0; i < total; ++i)
        block.words.push_back(i);
    block.checkWords = check;
    block.corrected = fixed;
    r.blocks.push_back(block);
    words.resize(static_cast<std::size_t>(dataWords));
    const int v = s.version;
    // Indicators 0-3 of v - 1 bits; count lengths (ISO/IEC 18004 Table 3).
    constexpr int COUNTS[5][4] = {{}, {3, 0, 0, 0}, {4, 3, 0, 0}, {5, 4, 4, 3}, {6, 5, 5, 4}};
    StreamHeaders h{v - 1, 2 * v + 1, {0, 1, 2, 3, -1, -1, -1, -1}, {}};
    for (int i = 0; i < 4; ++i)
        h.countBits[i] = COUNTS[v][i];
    if (!decodeQrStream(words, s.dataBits, h, r)) {
        r.failure = "the Micro QR bit stream breaks off or holds a mode it cannot have";
        r.data.clear();
        return r;
    }
    r.ok = true;
    return r;
}

// ---------------------------------------------------------------- rMQR

// By size number 0-31: height, width, codewords, data codewords at M and
// H, blocks at M and H (ISO/IEC 23941).
struct RectSymbol {
    int height, width, codewords, dataM, dataH, blocksM, blocksH;
};
constexpr RectSymbol RECTS[32] = {
    {7, 43, 13, 6, 3, 1, 1},       {7, 59, 21, 12, 7, 1, 1},      {7, 77, 32, 20, 10, 1, 1},
    {7, 99, 44, 28, 14, 1, 1},     {7, 139, 68, 44, 24, 1, 2},    {9, 43, 21, 12, 7, 1, 1},
    {9, 59, 33, 21, 11, 1, 1},     {9, 77, 49, 31, 17, 1, 2},     {9, 99, 66, 42, 22, 1, 2},
    {9, 139, 99, 63, 33, 2, 3},    {11, 27, 15, 7, 5, 1, 1},      {11, 43, 31, 19, 11, 1, 1},
    {11, 59, 47, 31, 15, 1, 2},    {11, 77, 67, 43, 23, 1, 2},    {11, 99, 89, 57, 29, 2, 2},
    {11, 139, 132, 84, 42, 2, 3},  {13, 27, 21, 12, 7, 1, 1},     {13, 43, 41, 27, 13, 1, 1},
    {13, 59, 60, 38, 20, 1, 2},    {13, 77, 85, 53, 29, 2, 2},    {13, 99, 113, 73, 35, 2, 3},
    {13, 139, 166, 106, 54, 3, 4}, {15, 43, 51, 33, 15, 1, 2},    {15, 59, 74, 48, 26, 1, 2},
    {15, 77, 103, 67, 31, 2, 3},   {15, 99, 136, 88, 48, 2, 4},   {15, 139, 199, 127, 69, 3, 5},
    {17, 43, 61, 39, 21, 1, 2},    {17, 59, 88, 56, 28, 2, 2},    {17, 77, 122, 78, 38, 2, 3},
    {17, 99, 160, 100, 56, 3, 4},  {17, 139, 232, 152, 76, 4, 6},
};
// Character-count lengths by size number: numeric, alphanumeric, byte, Kanji.
constexpr std::uint8_t RECT_COUNTS[32][4] = {
    {4, 3, 3, 2}, {5, 5, 4, 3}, {6, 5, 5, 4}, {7, 6, 5, 5}, {7, 6, 6, 5}, {5, 5, 4, 3}, {6, 5, 5, 4}, {7, 6, 5, 5},
    {7, 6, 6, 5}, {8, 7, 6, 6}, {4, 4, 3, 2}, {6, 5, 5, 4}, {7, 6, 5, 5}, {7, 6, 6, 5}, {8, 7, 6, 6}, {8, 7, 7, 6},
    {5, 5, 4, 3}, {6, 6, 5, 5}, {7, 6, 6, 5}, {7, 7, 6, 6}, {8, 7, 7, 6}, {8, 8, 7, 7}, {7, 6, 6, 5}, {7, 7, 6, 5},
    {8, 7, 7, 6}, {8, 7, 7, 6}, {9, 8, 7, 7}, {7, 6, 6, 5}, {8, 7, 6, 6}, {8, 7, 7, 6}, {8, 8, 7, 6}, {9, 8, 8, 7},
};

// Function modules: the four edges, the finder with its separator, the
// sub-finder, the corner modules, the alignment patterns with their timing
// columns and both format areas.
Modules rectFunction(int h, int w) {
    Modules f{h, w, std::vector<std::uint8_t>(static_cast<std::size_t>(h * w))};
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) {
            const bool edge = r == 0 || c == 0 || r == h - 1 || c == w - 1;
            const bool finder = r <= 7 && c <= 7, subFinder = r >= h - 5 && c >= w - 5;
            const bool leftFormat = r >= 1 && r <= 5 && c >= 8 && c <= 10;
            const bool rightFormat = r >= h - 6 && r <= h - 2 && c >= w - 8 && c <= w - 6;
            if (edge || finder || subFinder || leftFormat || rightFormat)
                set(f, r, c);
        }
    for (int i = 0; i < 3; ++i) {
        set(f, 1 + i, 11);
        set(f, h - 6, w - 5 + i);
    }
    set(f, 1, w - 2);
    set(f, h - 2, 1);
    // Alignment columns: from 23 or more on, spaced 26 or 28 as the width gives.
    const std::vector<int> columns = w == 27   ? std::vector<int>{}
                                     : w == 43 ? std::vector<int>{21}
                                     : w == 59 ? std::vector<int>{19, 39}
                                     : w == 77 ? std::vector<int>{25, 51}
                                     : w == 99 ? std::vector<int>{23, 49, 75}
                                               : std::vector<int>{27, 55, 83, 111};
    for (const int a : columns)
        for (int r = 0; r < h; ++r)
            for (int c = a - 1; c <= a + 1; ++c)
                if (c == a || r <= 2 || r >= h - 3)
                    set(f, r, c);
    return f;
}

int rectFormat(const Modules& m, bool right) {
    const int h = m.rows, w = m.columns;
    int v = 0;
    for (int i = 0; i < 18; ++i) {
        const int r = i < 15 ? (right ? h - 6 : 1) + i % 5 : right ? h - 6 : 1 + (i - 15);
        const int c = i < 15 ? (right ? w - 8 : 8) + i / 5 : right ? w - 5 + (i - 15) : 11;
        v |= m.at(r, c) << i;
    }
    return v;
}

// The data codewords of the blocks, corrected, into `data`.
bool rectBlocks(const std::vector<int>& codewords, int dataTotal, int blocks, Reading& r, std::vector<int>& data) {
    const int total = static_cast<int>(codewords.size());
    const int check = (total - dataTotal) / blocks;
    const int shortData = dataTotal / blocks, longBlocks = dataTotal % blocks;
    std::vector<std::vector<int>> block(static_cast<std::size_t>(blocks));
    r.blocks.assign(static_cast<std::size_t>(blocks), CodewordBlock{});
    int at = 0;
    const auto take = [&](int b) {
        r.blocks[static_cast<std::size_t>(b)].words.push_back(at);
        block[static_cast<std::size_t>(b)].push_back(codewords[static_cast<std::size_t>(at++)]);
    };
    for (int i = 0; i <= shortData; ++i)
        for (int b = 0; b < blocks; ++b)
            if (i < shortData || b >= blocks - longBlocks)
                take(b);
    for (int i = 0; i < check; ++i)
        for (int b = 0; b < blocks; ++b)
            take(b);
    for (std::size_t b = 0; b < block.size(); ++b) {
        const int fixed = correctErrors(qrField(), block[b], check);
        if (fixed < 0)
            return false;
        r.correctedCodewords += fixed;
        r.blocks[b].checkWords = check;
        r.blocks[b].corrected = fixed;
        data.insert(data.end(), block[b].begin(), block[b].end() - check);
    }
    r.checkCodewords = total - dataTotal;
    return true;
}

Reading readRectModules(const Modules& m, int size) {
    Reading r;
    const RectSymbol s = RECTS[size];
    const auto word = [](int masking) {
        return [masking](int i) { return bchWord(i, 0x1F25, 12) ^ masking; };
    };
    int found = nearest(rectFormat(m, false), 64, word(0b011111101010110010));
    if (found < 0)
        found = nearest(rectFormat(m, true), 64, word(0b100000101001111011));
    if (found < 0 || (found & 31) != size) {
        r.failure = "the rMQR format information cannot be corrected";
        return r;
    }
    const bool high = found >> 5;
    r.qrVersion = size + 1;
    r.qrLevel = high ? 'H' : 'M';
    r.size = s.height;
    r.rows = s.height;
    r.columns = s.width;
    std::vector<int> codewords(static_cast<std::size_t>(s.codewords), 0);
    int k = 0;
    for (const auto& [row, col] : codewordModules(rectFunction(s.height, s.width), s.width - 2)) {
        if (k < 8 * s.codewords)
            codewords[static_cast<std::size_t>(k >> 3)] |= (m.at(row, col) ^ ((row / 2 + col / 3) % 2 == 0)) << (7 - (k & 7));
        ++k;
    }
    std::vector<int> data;
    const int dataTotal = high ? s.dataH : s.dataM;
    if (!rectBlocks(codewords, dataTotal, high ? s.blocksH : s.blocksM, r, data)) {
        r.failure = "the rMQR Reed-Solomon check words cannot correct its errors";
        r.blocks.clear();
        return r;
    }
    r.dataCodewords = dataTotal;
    StreamHeaders h{3, 3, {1, 2, 3, 4, 7, 5, 6, -1}, {}};
    for (int i = 0; i < 4; ++i)
        h.countBits[i] = RECT_COUNTS[size][i];
    if (!decodeQrStream(data, 8 * dataTotal, h, r)) {
        r.failure = "the rMQR bit stream breaks off or holds a mode it cannot have";
        r.data.clear();
        return r;
    }
    r.ok = true;
    return r;
}

// Tries every size and turn the extent allows, the ones whose finder
// pattern is at the top left; the first that reads, else the first failure.
template <typename Try>
Reading readSymbol(const GrayRaster& raster, const char* none, Try attempt) {
    Reading first;
    first.failure = none;
    if (raster.width <= 0 || raster.height <= 0 ||
        raster.pixels.size() != static_cast<std::size_t>(raster.width) * static_cast<std::size_t>(raster.height))
        return first;
    const Extent e = extentOf(raster);
    if (e.right < e.left)
        return first;
    bool failed = false;
    Reading r = attempt(raster, e, first, failed);
    return r.ok || failed ? r : first;
}

}  // namespace

std::vector<std::pair<int, int>> microQrCodewordModules(int version) {
    if (version < 1 || version > 4)
        return {};
    return codewordModules(microFunction(9 + 2 * version), 8 + 2 * version);
}

std::vector<std::pair<int, int>> rmqrCodewordModules(int size) {
    if (size < 0 || size >= 32)
        return {};
    const RectSymbol& s = RECTS[size];
    std::vector<std::pair<int, int>> out = codewordModules(rectFunction(s.height, s.width), s.width - 2);
    if (out.size() > static_cast<std::size_t>(8 * s.codewords))
        out.resize(static_cast<std::size_t>(8 * s.codewords));
    return out;
}

Reading readMicroQr(const GrayRaster& raster) {
    return readSymbol(raster, "no Micro QR symbol found",
                      [](const GrayRaster& p, const Extent& e, const Reading& none, bool& failed) {
                          const double w = e.right - e.left + 1.0, h = e.bottom - e.top + 1.0;
                          Reading failure = none;
                          for (int n = 11; n <= 17; n += 2) {
                              if (std::fabs(w / n - h / n) > 0.2 * (w / n) || w / n < 1)
                                  continue;
                              for (int turns = 0; turns < 4; ++turns) {
                                  ModuleGrid grid;
                                  const Modules m = sample(p, e, n, n, turns, grid);
                                  if (finderErrors(m) > 2)
                                      continue;
                                  Reading r = readMicroModules(m);
                                  r.grid = grid;
                                  r.quarterTurns = turns;
                                  r.modulePixels = w / n;
                                  r.centreX = (e.left + e.right + 1) / 2.0;
                                  r.centreY = (e.top + e.bottom + 1) / 2.0;
                                  if (r.ok)
                                      return r;
                                  if (!failed) {
                                      failure = r;
                                      failed = true;
                                  }
                              }
                          }
                          return failure;
                      });
}

Reading readRmqr(const GrayRaster& raster) {
    return readSymbol(raster, "no rMQR symbol found",
                      [](const GrayRaster& p, const Extent& e, const Reading& none, bool& failed) {
                          const double w = e.right - e.left + 1.0, h = e.bottom - e.top + 1.0;
                          Reading failure = none;
                          for (int size = 0; size < 32; ++size)
                              for (int turns = 0; turns < 4; ++turns) {
                                  const RectSymbol s = RECTS[size];
                                  const double across = w / (turns % 2 ? s.height : s.width);
                                  const double down = h / (turns % 2 ? s.width : s.height);
                                  if (std::fabs(across - down) > 0.1 * across || across < 1)
                                      continue;
                                  ModuleGrid grid;
                                  const Modules m = sample(p, e, s.height, s.width, turns, grid);
                                  if (finderErrors(m) > 2)
                                      continue;
                                  Reading r = readRectModules(m, size);
                                  r.grid = grid;
                                  r.quarterTurns = turns;
                                  r.modulePixels = across;
                                  r.centreX = (e.left + e.right + 1) / 2.0;
                                  r.centreY = (e.top + e.bottom + 1) / 2.0;
                                  if (r.ok)
                                      return r;
                                  if (!failed) {
                                      failure = r;
                                      failed = true;
                                  }
                              }
                          return failure;
                      });
}

}  // namespace korvane::detail
