// Micro QR (ISO/IEC 18004, M1-M4) and rMQR (ISO/IEC 23941): their headers and
// capacities, and the symbol from the data codewords: check words, function
// patterns, codeword placement, masking and the format information. The data
// stream is QR Code's (QrEncoder.cpp), written with these headers.

#include "Qr.h"

#include "SmallQrTables.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <vector>

namespace korvane::qr::detail {
namespace {

// A rectangle of modules and which of them are function modules.
struct Grid {
    int rows = 0, columns = 0;
    std::vector<std::uint8_t> dark, function;

    Grid(int r, int c)
        : rows(r), columns(c), dark(static_cast<std::size_t>(r * c), 0), function(static_cast<std::size_t>(r * c), 0) {}
    std::size_t at(int r, int c) const { return static_cast<std::size_t>(r * columns + c); }
    void set(int r, int c, bool d) {
        dark[at(r, c)] = d ? 1 : 0;
        function[at(r, c)] = 1;
    }
};

// The 7x7 finder pattern at the top left and its light separator.
void drawFinder(Grid& g) {
    for (int r = 0; r <= 7 && r < g.rows; ++r)
        for (int c = 0; c <= 7; ++c) {
            const int ring = std::max(std::abs(r - 3), std::abs(c - 3));
            g.set(r, c, ring != 2 && ring < 4);
        }
}

// Codeword bits in two-module columns from the right, upwards first, around
// the function modules; `bits` of `stream` (most significant bit first).
// Micro QR's first pair of columns is the rightmost; rMQR's right edge is a
// column of its own, and its pairs start left of it.
void place(Grid& g, const std::vector<std::uint8_t>& stream, std::size_t bits, int firstRight) {
    std::size_t k = 0;
    bool upward = true;
    for (int right = firstRight; right >= 1; right -= 2) {
        for (int step = 0; step < g.rows; ++step) {
            const int row = upward ? g.rows - 1 - step : step;
            for (int col = right; col >= right - 1; --col) {
                const std::size_t at = g.at(row, col);
                if (g.function[at])
                    continue;
                if (k < bits)
                    g.dark[at] = (stream[k >> 3] >> (7 - (k & 7))) & 1;
                ++k;  // remainder bits stay light
            }
        }
        upward = !upward;
    }
}

// BCH code words: `data` followed by its remainder modulo the generator `g` of `degree`.
int bch(int data, int g, int degree) {
    int rem = data << degree;
    for (int b = 31; b >= degree; --b)
        if (rem >> b & 1)
            rem ^= g << (b - degree);
    return data << degree | rem;
}

// ---- Micro QR

// The four data masks (ISO/IEC 18004 Table 10: QR Code's masks 1, 4, 6 and 7).
bool microMasked(int mask, int i, int j) {
    switch (mask) {
    case 0: return i % 2 == 0;
    case 1: return (i / 2 + j / 3) % 2 == 0;
    case 2: return ((i * j) % 2 + (i * j) % 3) % 2 == 0;
    default: return ((i + j) % 2 + (i * j) % 3) % 2 == 0;
    }
}

Grid microFunctionPatterns(int version) {
    const int n = MICRO[version].size;
    Grid g(n, n);
    drawFinder(g);
    for (int k = 8; k < n; ++k) {
        g.set(0, k, k % 2 == 0);
        g.set(k, 0, k % 2 == 0);
    }
    for (int k = 1; k <= 8; ++k) {
        g.set(8, k, false);
        g.set(k, 8, false);
    }
    return g;
}

// A module of the unmasked symbol under a mask.
int maskedAt(const Grid& g, int mask, int r, int c) {
    return g.dark[g.at(r, c)] ^ (!g.function[g.at(r, c)] && microMasked(mask, r, c) ? 1 : 0);
}

// The evaluation of the symbol under a mask (ISO/IEC 18004, 7.8.3.2): the
// dark modules of the right column and of the bottom row, timing patterns
// left out; the more even and the more of them, the better. Only those two
// lines are masked for it.
int microScore(const Grid& g, int mask) {
    const int n = g.rows;
    int right = 0, bottom = 0;
    for (int k = 1; k < n; ++k) {
        right += maskedAt(g, mask, k, n - 1);
        bottom += maskedAt(g, mask, n - 1, k);
    }
    return std::min(right, bottom) * 16 + std::max(right, bottom);
}

void applyMicroMask(Grid& g, int mask) {
    for (int r = 0; r < g.rows; ++r)
        for (int c = 0; c < g.columns; ++c)
            if (!g.function[g.at(r, c)] && microMasked(mask, r, c))
                g.dark[g.at(r, c)] ^= 1;
}

// ---- rMQR

// The format word's two masks: beside the finder and beside the sub-finder.
constexpr int RECT_FORMAT_MASK_LEFT = 0b011111101010110010;
constexpr int RECT_FORMAT_MASK_RIGHT = 0b100000101001111011;

// Edges: timing patterns along all four sides (dark on even rows and
// columns), the corner patterns top right and bottom left.
void drawRectEdges(Grid& g) {
    const int h = g.rows, w = g.columns;
    for (int c = 0; c < w; ++c) {
        g.set(0, c, c % 2 == 0);
        g.set(h - 1, c, c % 2 == 0);
    }
    for (int r = 0; r < h; ++r) {
        g.set(r, 0, r % 2 == 0);
        g.set(r, w - 1, r % 2 == 0);
    }
    g.set(0, w - 2, true);
    g.set(0, w - 1, true);
    g.set(1, w - 1, true);
    g.set(1, w - 2, false);
    g.set(h - 1, 0, true);
    g.set(h - 1, 1, true);
    g.set(h - 1, 2, true);
    g.set(h - 2, 0, true);
    g.set(h - 2, 1, false);
}

// The format areas: 15 modules in three columns of five and three more beside
// them, bit 0 first; `first` the top left module of the columns, `extra`
// the first of the three, one step `down` or across from it.
void rectFormatPlaces(int h, int w, bool right, int row[18], int col[18]) {
    const int r0 = right ? h - 6 : 1, c0 = right ? w - 8 : 8;
    for (int i = 0; i < 15; ++i) {
        row[i] = r0 + i % 5;
        col[i] = c0 + i / 5;
    }
    for (int i = 15; i < 18; ++i) {
        row[i] = right ? h - 6 : 1 + (i - 15);
        col[i] = right ? w - 5 + (i - 15) : 11;
    }
}

Grid rectFunctionPatterns(int size) {
    const int h = RECT[size].height, w = RECT[size].width;
    Grid g(h, w);
    drawRectEdges(g);
    drawFinder(g);
    // The sub-finder pattern at the bottom right.
    for (int r = h - 5; r < h; ++r)
        for (int c = w - 5; c < w; ++c)
            g.set(r, c, std::max(std::abs(r - (h - 3)), std::abs(c - (w - 3))) != 1);
    // Alignment patterns on the top and bottom edges, a timing column between.
    const std::uint8_t* centres = RECT_ALIGNMENT[rectAlignmentIndex(w)];
    for (int i = 0; i < 4 && centres[i] != 0; ++i) {
        const int a = centres[i];
        for (int r = 0; r < h; ++r)
            g.set(r, a, r % 2 == 0);
        for (int dc = -1; dc <= 1; ++dc)
            for (const int r : {0, 1, 2, h - 3, h - 2, h - 1})
                g.set(r, a + dc, dc != 0 || (r != 1 && r != h - 2));
    }
    int row[18], col[18];
    for (const bool right : {false, true}) {
        rectFormatPlaces(h, w, right, row, col);
        for (int i = 0; i < 18; ++i)
            g.set(row[i], col[i], false);
    }
    return g;
}

}  // namespace

int microDataBits(int version, Level level) {
    const int l = static_cast<int>(level);
    return version >= 1 && version <= MICRO_VERSIONS && l < 3 ? MICRO[version].dataBits[l] : 0;
}

Header microHeader(int version) {
    Header h;
    h.indicatorBits = version - 1;
    for (int m = 0; m < 4; ++m) {
        h.indicator[m] = static_cast<std::uint8_t>(m);
        h.countBits[m] = MICRO[version].countBits[m];
    }
    h.eci = h.fnc1First = h.fnc1Second = 0;
    return h;
}

int microFormatBits(int version, Level level, int mask) {
    const int number = MICRO_SYMBOL_NUMBER[version][static_cast<int>(level)];
    return bch(number << 2 | mask, 0x537, 10) ^ 0b100010001000101;
}

int finishMicro(int version, Level level, const std::vector<std::uint8_t>& data, int fixed,
                std::vector<std::uint8_t>& modules) {
    const int dataBits = microDataBits(version, level);
    const std::vector<std::uint8_t> check = checkWords(data, MICRO[version].codewords - static_cast<int>(data.size()));
    // The stream: the data bits (a last word of four bits in M1 and M3), then the check words.
    std::vector<std::uint8_t> stream(data.size() + check.size(), 0);
    std::size_t bits = 0;
    const auto put = [&](std::uint8_t byte, int n) {
        for (int b = 7; b > 7 - n; --b, ++bits)
            if (byte >> b & 1)
                stream[bits >> 3] |= static_cast<std::uint8_t>(0x80 >> (bits & 7));
    };
    for (std::size_t i = 0; i < data.size(); ++i)
        put(data[i], std::min(8, dataBits - static_cast<int>(8 * i)));
    for (const std::uint8_t c : check)
        put(c, 8);
    Grid g = microFunctionPatterns(version);
    place(g, stream, bits, g.columns - 1);
    int best = fixed;
    if (best < 0) {
        int bestScore = -1;
        for (int m = 0; m < 4; ++m)
            if (const int s = microScore(g, m); s > bestScore) {
                best = m;
                bestScore = s;
            }
    }
    applyMicroMask(g, best);
    const int format = microFormatBits(version, level, best);
    for (int k = 0; k < 15; ++k) {
        const bool d = format >> k & 1;
        if (k <= 7)
            g.set(k + 1, 8, d);
        else
            g.set(8, 15 - k, d);
    }
    modules = std::move(g.dark);
    return best;
}

int rectDataCodewords(int size, Level level) { return RECT[size].data[level == Level::H ? 1 : 0]; }

Header rectHeader(int size) {
    Header h;
    h.indicatorBits = 3;
    for (int m = 0; m < 4; ++m) {
        h.indicator[m] = static_cast<std::uint8_t>(m + 1);
        h.countBits[m] = RECT[size].countBits[m];
    }
    h.eci = 0b111;
    h.fnc1First = 0b101;
    h.fnc1Second = 0b110;
    return h;
}

void finishRect(int size, Level level, const std::vector<std::uint8_t>& data, std::vector<std::uint8_t>& modules) {
    const RectSpec& spec = RECT[size];
    const int l = level == Level::H ? 1 : 0;
    const int blocks = spec.blocks[l];
    const std::vector<std::uint8_t> codewords =
        interleaveBlocks(data, blocks, (spec.codewords - spec.data[l]) / blocks, spec.codewords);
    Grid g = rectFunctionPatterns(size);
    place(g, codewords, codewords.size() * 8, g.columns - 2);
    // The one data mask: (i div 2 + j div 3) mod 2 = 0.
    for (int r = 0; r < g.rows; ++r)
        for (int c = 0; c < g.columns; ++c)
            if (!g.function[g.at(r, c)] && (r / 2 + c / 3) % 2 == 0)
                g.dark[g.at(r, c)] ^= 1;
    const int word = bch(l << 5 | size, 0x1F25, 12);
    int row[18], col[18];
    for (const bool right : {false, true}) {
        rectFormatPlaces(g.rows, g.columns, right, row, col);
        const int masked = word ^ (right ? RECT_FORMAT_MASK_RIGHT : RECT_FORMAT_MASK_LEFT);
        for (int i = 0; i < 18; ++i)
            g.set(row[i], col[i], masked >> i & 1);
    }
    modules = std::move(g.dark);
}

int rectDataModules(int size) {
    const Grid g = rectFunctionPatterns(size);
    return static_cast<int>(std::count(g.function.begin(), g.function.end(), 0));
}

}  // namespace korvane::qr::detail
