#pragma once
// The tables of QR Code (ISO/IEC 18004) the encoder needs, each with checks
// that catch a mistyped entry at compile time.

#include <cstdint>

namespace korvane::qr::detail {

constexpr int MAX_VERSION = 40;

// Codewords of each version, data and check together (ISO/IEC 18004 Table 1).
constexpr int TOTAL_CODEWORDS[MAX_VERSION + 1] = {
    0,    26,   44,   70,   100,  134,  172,  196,  242,  292,  346,  404,  466,  532,
    581,  655,  733,  815,  901,  991,  1085, 1156, 1258, 1364, 1474, 1588, 1706, 1828,
    1921, 2051, 2185, 2323, 2465, 2611, 2761, 2876, 3034, 3196, 3362, 3532, 3706,
};

// Centres of the alignment patterns along each axis (ISO/IEC 18004 Annex E,
// Table E.1); 0 ends a row.
constexpr std::uint8_t ALIGNMENT[MAX_VERSION + 1][7] = {
    {},
    {},
    {6, 18},
    {6, 22},
    {6, 26},
    {6, 30},
    {6, 34},
    {6, 22, 38},
    {6, 24, 42},
    {6, 26, 46},
    {6, 28, 50},
    {6, 30, 54},
    {6, 32, 58},
    {6, 34, 62},
    {6, 26, 46, 66},
    {6, 26, 48, 70},
    {6, 26, 50, 74},
    {6, 30, 54, 78},
    {6, 30, 56, 82},
    {6, 30, 58, 86},
    {6, 34, 62, 90},
    {6, 28, 50, 72, 94},
    {6, 26, 50, 74, 98},
    {6, 30, 54, 78, 102},
    {6, 28, 54, 80, 106},
    {6, 32, 58, 84, 110},
    {6, 30, 58, 86, 114},
    {6, 34, 62, 90, 118},
    {6, 26, 50, 74, 98, 122},
    {6, 30, 54, 78, 102, 126},
    {6, 26, 52, 78, 104, 130},
    {6, 30, 56, 82, 108, 134},
    {6, 34, 60, 86, 112, 138},
    {6, 30, 58, 86, 114, 142},
    {6, 34, 62, 90, 118, 146},
    {6, 30, 54, 78, 102, 126, 150},
    {6, 24, 50, 76, 102, 128, 154},
    {6, 28, 54, 80, 106, 132, 158},
    {6, 32, 58, 84, 110, 136, 162},
    {6, 26, 54, 82, 110, 138, 166},
    {6, 30, 58, 86, 114, 142, 170},
};

// Check codewords per block and number of blocks, by version and level L, M,
// Q, H (ISO/IEC 18004 Table 9). The data codewords are shared out as evenly
// as the total allows, the shorter blocks first.
struct BlockSpec {
    std::uint8_t checkPerBlock;
    std::uint8_t blocks;
};
constexpr BlockSpec BLOCKS[MAX_VERSION + 1][4] = {
    {},
    {{7, 1}, {10, 1}, {13, 1}, {17, 1}},        {{10, 1}, {16, 1}, {22, 1}, {28, 1}},
    {{15, 1}, {26, 1}, {18, 2}, {22, 2}},       {{20, 1}, {18, 2}, {26, 2}, {16, 4}},
    {{26, 1}, {24, 2}, {18, 4}, {22, 4}},       {{18, 2}, {16, 4}, {24, 4}, {28, 4}},
    {{20, 2}, {18, 4}, {18, 6}, {26, 5}},       {{24, 2}, {22, 4}, {22, 6}, {26, 6}},
    {{30, 2}, {22, 5}, {20, 8}, {24, 8}},       {{18, 4}, {26, 5}, {24, 8}, {28, 8}},
    {{20, 4}, {30, 5}, {28, 8}, {24, 11}},      {{24, 4}, {22, 8}, {26, 10}, {28, 11}},
    {{26, 4}, {22, 9}, {24, 12}, {22, 16}},     {{30, 4}, {24, 9}, {20, 16}, {24, 16}},
    {{22, 6}, {24, 10}, {30, 12}, {24, 18}},    {{24, 6}, {28, 10}, {24, 17}, {30, 16}},
    {{28, 6}, {28, 11}, {28, 16}, {28, 19}},    {{30, 6}, {26, 13}, {28, 18}, {28, 21}},
    {{28, 7}, {26, 14}, {26, 21}, {26, 25}},    {{28, 8}, {26, 16}, {30, 20}, {28, 25}},
    {{28, 8}, {26, 17}, {28, 23}, {30, 25}},    {{28, 9}, {28, 17}, {30, 23}, {24, 34}},
    {{30, 9}, {28, 18}, {30, 25}, {30, 30}},    {{30, 10}, {28, 20}, {30, 27}, {30, 32}},
    {{26, 12}, {28, 21}, {30, 29}, {30, 35}},   {{28, 12}, {28, 23}, {28, 34}, {30, 37}},
    {{30, 12}, {28, 25}, {30, 34}, {30, 40}},   {{30, 13}, {28, 26}, {30, 35}, {30, 42}},
    {{30, 14}, {28, 28}, {30, 38}, {30, 45}},   {{30, 15}, {28, 29}, {30, 40}, {30, 48}},
    {{30, 16}, {28, 31}, {30, 43}, {30, 51}},   {{30, 17}, {28, 33}, {30, 45}, {30, 54}},
    {{30, 18}, {28, 35}, {30, 48}, {30, 57}},   {{30, 19}, {28, 37}, {30, 51}, {30, 60}},
    {{30, 19}, {28, 38}, {30, 53}, {30, 63}},   {{30, 20}, {28, 40}, {30, 56}, {30, 66}},
    {{30, 21}, {28, 43}, {30, 59}, {30, 70}},   {{30, 22}, {28, 45}, {30, 62}, {30, 74}},
    {{30, 24}, {28, 47}, {30, 65}, {30, 77}},   {{30, 25}, {28, 49}, {30, 68}, {30, 81}},
};

// --- checks

// Modules left for codewords: the whole square less the finder patterns with
// their separators and the format information (225), the timing patterns, the
// alignment patterns (those over a timing pattern share five modules with it)
// and the version information (36 modules, from version 7).
constexpr int codewordModules(int v) {
    const int size = 17 + 4 * v;
    int n = size * size - 3 * 64 - 31 - 2 * (size - 16);
    int centres = 0;
    while (centres < 7 && ALIGNMENT[v][centres] != 0)
        ++centres;
    if (centres > 0) {
        const int patterns = centres * centres - 3;
        const int onTiming = 2 * (centres - 2);
        n -= patterns * 25 - onTiming * 5;
    }
    return n - (v >= 7 ? 36 : 0);
}

constexpr bool tablesAgree() {
    for (int v = 1; v <= MAX_VERSION; ++v) {
        const int size = 17 + 4 * v;
        if (codewordModules(v) / 8 != TOTAL_CODEWORDS[v])
            return false;
        // The alignment centres: as many as the version asks, from 6 to size - 7,
        // evenly spaced by an even step after the first.
        int centres = 0;
        while (centres < 7 && ALIGNMENT[v][centres] != 0)
            ++centres;
        if (v >= 2 && (centres != v / 7 + 2 || ALIGNMENT[v][0] != 6 || ALIGNMENT[v][centres - 1] != size - 7))
            return false;
        for (int i = 2; i < centres; ++i)
            if (ALIGNMENT[v][i] - ALIGNMENT[v][i - 1] != ALIGNMENT[v][centres - 1] - ALIGNMENT[v][centres - 2] ||
                (ALIGNMENT[v][i] - ALIGNMENT[v][i - 1]) % 2 != 0)
                return false;
        // Every level leaves data, less at a higher level; no block is longer
        // than a Reed-Solomon code word over GF(256) can be.
        int previousData = 1 << 30;
        for (int level = 0; level < 4; ++level) {
            const BlockSpec b = BLOCKS[v][level];
            const int data = TOTAL_CODEWORDS[v] - b.checkPerBlock * b.blocks;
            if (data <= 0 || data >= previousData || TOTAL_CODEWORDS[v] / b.blocks + 1 > 255)
                return false;
            previousData = data;
        }
    }
    return true;
}
static_assert(tablesAgree(), "Table 1, Table 9 and Table E.1 agree with the symbol's geometry");
// Known data capacities (ISO/IEC 18004 Table 7): 1-L, 1-H, 40-L, 40-M, 40-Q, 40-H.
static_assert(TOTAL_CODEWORDS[1] - BLOCKS[1][0].checkPerBlock * BLOCKS[1][0].blocks == 19);
static_assert(TOTAL_CODEWORDS[1] - BLOCKS[1][3].checkPerBlock * BLOCKS[1][3].blocks == 9);
static_assert(TOTAL_CODEWORDS[40] - BLOCKS[40][0].checkPerBlock * BLOCKS[40][0].blocks == 2956);
static_assert(TOTAL_CODEWORDS[40] - BLOCKS[40][1].checkPerBlock * BLOCKS[40][1].blocks == 2334);
static_assert(TOTAL_CODEWORDS[40] - BLOCKS[40][2].checkPerBlock * BLOCKS[40][2].blocks == 1666);
static_assert(TOTAL_CODEWORDS[40] - BLOCKS[40][3].checkPerBlock * BLOCKS[40][3].blocks == 1276);

}  // namespace korvane::qr::detail
