#include "ABitMap.h"
#include "Aztec.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Layout {
    int size;
    bool compact;
    std::vector<int> cells;
    ABitMap map;
    Layout(int s, bool c) : size(s), compact(c), cells(static_cast<size_t>(s) * s, 42), map(s, s, c, cells.data()) {}
};

bool isCompactRow(int row) { return row == 0 || row == 2 || row == 4 || row == 6; }

TEST(Layout, FinderMarksAndGrid) {
    Layout compact(15, true);
    EXPECT_EQ(compact.map.getBit(0, 0), ABitMap::BLACK);
    EXPECT_EQ(compact.map.getBit(1, 0), ABitMap::WHITE);
    EXPECT_EQ(compact.map.getBit(4, 4), ABitMap::BLACK);
    EXPECT_EQ(compact.map.getBit(-7, -7), ABitMap::EMPTY);
    // Orientation marks: three dark modules top left, two top right, one bottom right.
    const std::map<std::pair<int, int>, int> marks = {
        {{-5, -5}, ABitMap::BLACK}, {{-4, -5}, ABitMap::BLACK}, {{-5, -4}, ABitMap::BLACK},
        {{5, -5}, ABitMap::BLACK},  {{5, -4}, ABitMap::BLACK},  {{4, -5}, ABitMap::WHITE},
        {{5, 4}, ABitMap::BLACK},   {{5, 5}, ABitMap::WHITE},   {{-5, 5}, ABitMap::WHITE},
        {{-4, 5}, ABitMap::WHITE},  {{-5, 4}, ABitMap::EMPTY},  {{4, 5}, ABitMap::EMPTY},
    };
    for (const auto& m : marks)
        EXPECT_EQ(compact.map.getBit(m.first.first, m.first.second), m.second)
            << m.first.first << "," << m.first.second;

    Layout full(37, false);
    EXPECT_EQ(full.map.getBit(0, 0), ABitMap::BLACKGRID);  // the grid repeats the finder's colours
    EXPECT_EQ(full.map.getBit(6, 6), ABitMap::BLACK);
    EXPECT_EQ(full.map.getBit(5, 5), ABitMap::WHITE);
    EXPECT_EQ(full.map.getBit(0, -7), ABitMap::WHITEGRID);   // grid claims the ring's axis modules
    EXPECT_EQ(full.map.getBit(16, -18), ABitMap::BLACKGRID);
    EXPECT_EQ(full.map.getBit(-17, 16), ABitMap::WHITEGRID);
    EXPECT_EQ(full.map.getBit(-7, -7), ABitMap::BLACK);
    EXPECT_EQ(full.map.getMinX(), -18);
    EXPECT_EQ(full.map.getMaxY(), 18);
}

TEST(Layout, ModeMessagePositions) {
    struct Case {
        int size;
        bool compact;
        int bits;
        std::pair<int, int> first, last;
    };
    const Case cases[] = {{15, true, 28, {-3, -5}, {-5, -3}}, {19, false, 40, {-5, -7}, {-7, -5}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        // First bit 1, the rest 0; then the last bit 1, the rest 0.
        for (int pass = 0; pass < 2; ++pass) {
            Layout layout(c.size, c.compact);
            const std::vector<int> fixedPatterns = layout.cells;
            BitString bs;
            for (int i = 0; i < c.bits; ++i)
                bs.addBits((pass == 0 ? i == 0 : i == c.bits - 1) ? 1 : 0, 1);
            layout.map.placeModeMessage(&bs, c.compact);
            EXPECT_EQ(bs.getLength(), 0);
            const auto where = pass == 0 ? c.first : c.last;
            EXPECT_EQ(layout.map.getBit(where.first, where.second), ABitMap::BLACK);
            int dark = 0;
            for (size_t i = 0; i < layout.cells.size(); ++i)
                dark += layout.cells[i] == ABitMap::BLACK && fixedPatterns[i] == ABitMap::EMPTY;
            EXPECT_EQ(dark, 1);
        }
        // Every message module: compact sides span -3..3, full-range sides -5..5 without 0.
        Layout layout(c.size, c.compact);
        BitString ones;
        for (int i = 0; i < c.bits; ++i)
            ones.addBits(1, 1);
        layout.map.placeModeMessage(&ones, c.compact);
        const int f = c.compact ? 4 : 6;
        const int reach = c.compact ? 3 : 5;
        for (int k = -reach; k <= reach; ++k) {
            const int expected = (!c.compact && k == 0) ? ABitMap::WHITEGRID : ABitMap::BLACK;
            EXPECT_EQ(layout.map.getBit(k, -f - 1), expected) << "top " << k;
            EXPECT_EQ(layout.map.getBit(f + 1, k), expected) << "right " << k;
            EXPECT_EQ(layout.map.getBit(k, f + 1), expected) << "bottom " << k;
            EXPECT_EQ(layout.map.getBit(-f - 1, k), expected) << "left " << k;
        }
    }
}

// Places a stream in which only bit number `index` (0 = first) is 1 and returns the
// module it landed on.
std::pair<int, int> whereBitLands(int size, bool compact, int bits, int index) {
    Layout layout(size, compact);
    std::vector<int> fixedPatterns = layout.cells;
    BitString bs;
    for (int i = 0; i < bits; ++i)
        bs.addBits(i == index ? 1 : 0, 1);
    layout.map.placeDominos(&bs, compact);
    const int half = size / 2;
    for (int y = -half; y <= half; ++y)
        for (int x = -half; x <= half; ++x)
            if (fixedPatterns[(y + half) * size + x + half] == ABitMap::EMPTY &&
                layout.map.getBit(x, y) == ABitMap::BLACK)
                return {x, y};
    return {99, 99};
}

TEST(Layout, DataPlacementOrder) {
    // The last bit of the stream lands first, at the top left of the first layer.
    struct Case {
        int size;
        bool compact;
        int bits, index;
        std::pair<int, int> at;
    };
    const Case cases[] = {
        {15, true, 102, 101, {-5, -6}},  // first placement
        {15, true, 102, 100, {-5, -7}},
        {15, true, 102, 99, {-4, -6}},
        {15, true, 102, 0, {-7, -6}},    // the first bit: two surplus modules follow it
        {19, false, 126, 125, {-7, -8}},
        {19, false, 126, 124, {-7, -9}},
        {37, false, 960, 0, {-18, -18}},  // the last module placed
        {37, false, 960, 1, {-17, -18}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.size) + " bit " + std::to_string(c.index));
        EXPECT_EQ(whereBitLands(c.size, c.compact, c.bits, c.index), c.at);
    }
}

TEST(Layout, EveryConfigurationFillsItsDataAreaExactlyOnce) {
    // Surplus modules (data modules beyond the capacity) per configuration row.
    std::map<int, int> surplus = {{0, 2}, {1, 2}, {12, 4}, {17, 4}, {22, 4}};
    for (int row : {14, 15, 19, 20, 24, 25, 28, 31, 34})
        surplus[row] = 8;
    for (int row = 0; row < Aztec::CONFIGURATION_COUNT; ++row) {
        SCOPED_TRACE(row);
        const int size = Aztec::configuration[row][Aztec::CONF_COLUMNS];
        const bool compact = isCompactRow(row);
        const int capacity = Aztec::configuration[row][Aztec::CONF_CAPACITY];
        Layout layout(size, compact);
        const std::vector<int> fixedPatterns = layout.cells;
        BitString modeMessage;
        for (int i = 0; i < (compact ? 28 : 40); ++i)
            modeMessage.addBits(1, 1);
        layout.map.placeModeMessage(&modeMessage, compact);
        BitString data;
        for (int i = 0; i < capacity; ++i)
            data.addBits(1, 1);
        EXPECT_EQ(layout.map.placeDominos(&data, compact), 0);
        int ones = 0, zeros = 0, empty = 0;
        for (size_t i = 0; i < layout.cells.size(); ++i) {
            if (fixedPatterns[i] != ABitMap::EMPTY)
                continue;
            if (layout.cells[i] == ABitMap::BLACK)
                ++ones;
            else if (layout.cells[i] == ABitMap::WHITE)
                ++zeros;
            else
                ++empty;
        }
        // Mode message modules and data modules together fill every free module,
        // except the two orientation positions that stay empty.
        EXPECT_EQ(empty, 2);
        EXPECT_EQ(ones, capacity + (compact ? 28 : 40));
        EXPECT_EQ(zeros, surplus.count(row) ? surplus[row] : 0);
    }
}

TEST(Layout, OverflowReportsTheBitsLeft) {
    Layout layout(15, true);
    BitString data;
    for (int i = 0; i < 110; ++i)
        data.addBits(1, 1);
    testing::internal::CaptureStdout();
    EXPECT_EQ(layout.map.placeDominos(&data, true), 6);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Still  bit to be placed on the barcode. Try selecting another configuration.");
}

// Codewords laid straight from their array land exactly where the stream of
// them lands, in every configuration, also when there are too few or too many.
TEST(Layout, CodewordsLandWhereTheirStreamWould) {
    unsigned seed = 24778;
    for (int row = 0; row < Aztec::CONFIGURATION_COUNT; ++row) {
        const int size = Aztec::configuration[row][Aztec::CONF_COLUMNS];
        const int bits = Aztec::configuration[row][Aztec::CONF_CODEWORD_SIZE];
        const int fits = Aztec::configuration[row][Aztec::CONF_CODEWORDS];
        const bool compact = isCompactRow(row);
        for (int count : {fits, fits / 3, fits + 2}) {
            SCOPED_TRACE(std::to_string(row) + ": " + std::to_string(count) + " codewords");
            std::vector<int> words(static_cast<std::size_t>(count));
            BitString stream;
            for (int& w : words) {
                seed = seed * 1103515245u + 12345u;
                w = static_cast<int>((seed >> 8) & ((1u << bits) - 1));
                stream.addBits(w, bits);
            }
            Layout fromWords(size, compact), fromStream(size, compact);
            testing::internal::CaptureStdout();
            const int leftFromWords = fromWords.map.placeCodewords(words.data(), count, bits, compact);
            const std::string saidFromWords = testing::internal::GetCapturedStdout();
            testing::internal::CaptureStdout();
            EXPECT_EQ(leftFromWords, fromStream.map.placeDominos(&stream, compact));
            EXPECT_EQ(saidFromWords, testing::internal::GetCapturedStdout());
            EXPECT_EQ(fromWords.cells, fromStream.cells);
        }
    }
}

}  // namespace
