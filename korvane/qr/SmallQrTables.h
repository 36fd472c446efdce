#pragma once
// The tables of Micro QR (ISO/IEC 18004, versions M1-M4) and rMQR (ISO/IEC
// 23941, 32 rectangles from R7x43 to R17x139) the encoder needs, each with
// checks that catch a mistyped entry at compile time. The codeword counts are
// also held against the symbols' geometry by the tests (SmallQrTest).

#include <cstdint>

namespace korvane::qr::detail {

// ---- Micro QR

constexpr int MICRO_VERSIONS = 4;

// By version M1-M4 (index 1-4): modules across, codewords in all, data bits
// at levels L, M, Q (0 where the version lacks the level; M1 only detects
// errors and stands under L), and the character-count bits of numeric,
// alphanumeric, byte and Kanji mode (0: the mode is not in the version).
// ISO/IEC 18004 Tables 1, 3 and 7.
struct MicroSpec {
    std::uint8_t size;
    std::uint8_t codewords;
    std::uint8_t dataBits[3];
    std::uint8_t countBits[4];
};
constexpr MicroSpec MICRO[MICRO_VERSIONS + 1] = {
    {},
    {11, 5, {20, 0, 0}, {3, 0, 0, 0}},      // M1
    {13, 10, {40, 32, 0}, {4, 3, 0, 0}},    // M2
    {15, 17, {84, 68, 0}, {5, 4, 4, 3}},    // M3
    {17, 24, {128, 112, 80}, {6, 5, 5, 4}}, // M4
};

// Modules left for codewords: the square less the finder with its separator
// (64), the format information (15) and the two timing patterns.
constexpr int microCodewordModules(int v) {
    const int n = MICRO[v].size;
    return n * n - 64 - 15 - 2 * (n - 8);
}

constexpr bool microTablesAgree() {
    for (int v = 1; v <= MICRO_VERSIONS; ++v) {
        const MicroSpec& m = MICRO[v];
        // M1 and M3 end their data with a codeword of four bits.
        const int halfWord = v == 1 || v == 3 ? 4 : 0;
        if (m.size != 9 + 2 * v || microCodewordModules(v) != 8 * m.codewords - halfWord)
            return false;
        int previous = 1 << 30;
        for (int level = 0; level < 3; ++level) {
            const int bits = m.dataBits[level];
            if (bits == 0)
                continue;
            if (bits >= previous || bits % 8 != halfWord || (bits + 7) / 8 >= m.codewords)
                return false;
            previous = bits;
        }
    }
    return true;
}
static_assert(microTablesAgree(), "Micro QR sizes, codewords and data bits agree with the geometry");
// Known capacities (ISO/IEC 18004 Table 7): M1 holds 5 digits (a 3-bit count
// and 17 bits) but not 6; M4-L 35 digits (3 + 6 + 117 bits) but not 36.
static_assert(3 + 17 <= MICRO[1].dataBits[0] && 3 + 20 > MICRO[1].dataBits[0]);
static_assert(3 + 6 + 117 <= MICRO[4].dataBits[0] && 3 + 6 + 120 > MICRO[4].dataBits[0]);

// Symbol numbers of the format information by version and level (L, M, Q),
// -1 where the version lacks the level (ISO/IEC 18004 Table 13).
constexpr std::int8_t MICRO_SYMBOL_NUMBER[MICRO_VERSIONS + 1][3] = {
    {-1, -1, -1}, {0, -1, -1}, {1, 2, -1}, {3, 4, -1}, {5, 6, 7}};

// ---- rMQR

constexpr int RMQR_SIZES = 32;

// By size, in the order of the format information's size numbers: height,
// width, the character-count bits of numeric, alphanumeric, byte and Kanji
// mode, codewords in all, and data codewords and Reed-Solomon blocks at levels
// M and H (ISO/IEC 23941: its tables of sizes, character counts and error
// correction characteristics). The check codewords are shared evenly, the
// data as evenly as the total allows, the shorter blocks first.
struct RectSpec {
    std::uint8_t height;
    std::uint8_t width;
    std::uint8_t countBits[4];
    std::uint8_t codewords;
    std::uint8_t data[2];
    std::uint8_t blocks[2];
};
constexpr RectSpec RECT[RMQR_SIZES] = {
    {7, 43, {4, 3, 3, 2}, 13, {6, 3}, {1, 1}},         {7, 59, {5, 5, 4, 3}, 21, {12, 7}, {1, 1}},
    {7, 77, {6, 5, 5, 4}, 32, {20, 10}, {1, 1}},       {7, 99, {7, 6, 5, 5}, 44, {28, 14}, {1, 1}},
    {7, 139, {7, 6, 6, 5}, 68, {44, 24}, {1, 2}},      {9, 43, {5, 5, 4, 3}, 21, {12, 7}, {1, 1}},
    {9, 59, {6, 5, 5, 4}, 33, {21, 11}, {1, 1}},       {9, 77, {7, 6, 5, 5}, 49, {31, 17}, {1, 2}},
    {9, 99, {7, 6, 6, 5}, 66, {42, 22}, {1, 2}},       {9, 139, {8, 7, 6, 6}, 99, {63, 33}, {2, 3}},
    {11, 27, {4, 4, 3, 2}, 15, {7, 5}, {1, 1}},        {11, 43, {6, 5, 5, 4}, 31, {19, 11}, {1, 1}},
    {11, 59, {7, 6, 5, 5}, 47, {31, 15}, {1, 2}},      {11, 77, {7, 6, 6, 5}, 67, {43, 23}, {1, 2}},
    {11, 99, {8, 7, 6, 6}, 89, {57, 29}, {2, 2}},      {11, 139, {8, 7, 7, 6}, 132, {84, 42}, {2, 3}},
    {13, 27, {5, 5, 4, 3}, 21, {12, 7}, {1, 1}},       {13, 43, {6, 6, 5, 5}, 41, {27, 13}, {1, 1}},
    {13, 59, {7, 6, 6, 5}, 60, {38, 20}, {1, 2}},      {13, 77, {7, 7, 6, 6}, 85, {53, 29}, {2, 2}},
    {13, 99, {8, 7, 7, 6}, 113, {73, 35}, {2, 3}},     {13, 139, {8, 8, 7, 7}, 166, {106, 54}, {3, 4}},
    {15, 43, {7, 6, 6, 5}, 51, {33, 15}, {1, 2}},      {15, 59, {7, 7, 6, 5}, 74, {48, 26}, {1, 2}},
    {15, 77, {8, 7, 7, 6}, 103, {67, 31}, {2, 3}},     {15, 99, {8, 7, 7, 6}, 136, {88, 48}, {2, 4}},
    {15, 139, {9, 8, 7, 7}, 199, {127, 69}, {3, 5}},   {17, 43, {7, 6, 6, 5}, 61, {39, 21}, {1, 2}},
    {17, 59, {8, 7, 6, 6}, 88, {56, 28}, {2, 2}},      {17, 77, {8, 7, 7, 6}, 122, {78, 38}, {2, 3}},
    {17, 99, {8, 8, 7, 6}, 160, {100, 56}, {3, 4}},    {17, 139, {9, 8, 8, 7}, 232, {152, 76}, {4, 6}},
};

// Columns of the alignment patterns' centres by width (ISO/IEC 23941); 0 ends a row.
constexpr int rectAlignmentIndex(int width) {
    return width == 27 ? 0 : width == 43 ? 1 : width == 59 ? 2 : width == 77 ? 3 : width == 99 ? 4 : 5;
}
constexpr std::uint8_t RECT_ALIGNMENT[6][4] = {
    {}, {21}, {19, 39}, {25, 51}, {23, 49, 75}, {27, 55, 83, 111},
};

// Modules left for codewords: the rectangle less the top and bottom rows,
// the left and right columns, the finder with its separator, the sub-finder,
// the two corner modules not on an edge, the alignment patterns with the
// timing columns between them, and the two copies of the format information.
constexpr int rectCodewordModules(int s) {
    const int h = RECT[s].height, w = RECT[s].width;
    int n = (h - 2) * (w - 2);
    n -= (h >= 8 ? 7 : h - 2) * 7;       // finder and separator inside the edges
    n -= 16;                             // sub-finder inside the edges
    n -= h > 9 ? 2 : 1;                  // the corner modules beside the edges, but in the separator
    n -= 2 * 18;                         // format information
    const std::uint8_t* a = RECT_ALIGNMENT[rectAlignmentIndex(w)];
    for (int i = 0; i < 4 && a[i] != 0; ++i)
        n -= (h - 2) + 8;                // timing column, and the patterns' sides
    return n;
}

constexpr bool rectTablesAgree() {
    for (int s = 0; s < RMQR_SIZES; ++s) {
        const RectSpec& r = RECT[s];
        const int room = rectCodewordModules(s);
        if (room / 8 != r.codewords)
            return false;
        if (s > 0 && (r.height < RECT[s - 1].height ||
                      (r.height == RECT[s - 1].height && r.width <= RECT[s - 1].width)))
            return false;
        for (int level = 0; level < 2; ++level) {
            const int check = r.codewords - r.data[level];
            if (r.data[level] == 0 || check % r.blocks[level] != 0 || r.codewords / r.blocks[level] + 1 > 255)
                return false;
        }
        if (r.data[1] >= r.data[0])
            return false;
    }
    return true;
}
static_assert(rectTablesAgree(), "rMQR codewords, blocks and sizes agree with the geometry");

}  // namespace korvane::qr::detail
