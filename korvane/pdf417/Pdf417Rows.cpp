// PDF417 rows (ISO/IEC 15438, 5.3): start pattern, left row indicator,
// symbol characters of the row's cluster, right row indicator and stop
// pattern, or the one-module stop of compact PDF417.

#include "Pdf417.h"

#include "Pdf417Tables.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace korvane::pdf417::detail {
namespace {

// Start 81111113 and stop 711311121 (ISO/IEC 15438 5.3.2), first module in the top bit.
constexpr std::uint32_t START_PATTERN = 0x1FEA8;  // 17 modules
constexpr int START_MODULES = 17;
constexpr std::uint32_t STOP_PATTERN = 0x3FA29;   // 18 modules
constexpr int STOP_MODULES = 18;

bool littleEndian() {
    const std::uint32_t one = 1;
    std::uint8_t first = 0;
    std::memcpy(&first, &one, 1);
    return first == 1;
}

void put(std::uint8_t* row, int& at, std::uint32_t pattern, int modules) {
    for (int bit = modules - 1; bit >= 0; --bit)
        row[at++] = static_cast<std::uint8_t>((pattern >> bit) & 1U);
}

// Four modules as four bytes in memory order, the first from the nibble's top bit.
constexpr std::array<std::uint32_t, 16> makeNibbles() {
    std::array<std::uint32_t, 16> t{};
    for (std::uint32_t n = 0; n < 16; ++n) {
        const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(n >> 3 & 1U), static_cast<std::uint8_t>(n >> 2 & 1U),
                                       static_cast<std::uint8_t>(n >> 1 & 1U), static_cast<std::uint8_t>(n & 1U)};
        t[n] = 0;
        for (int i = 0; i < 4; ++i)  // as a memcpy of the four bytes would load them on this machine
            t[n] |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    }
    return t;
}
constexpr std::array<std::uint32_t, 16> NIBBLES = makeNibbles();

// A symbol character: 17 modules, four at a time.
void putCharacter(std::uint8_t* row, int& at, std::uint32_t pattern) {
    row[at] = static_cast<std::uint8_t>(pattern >> 16 & 1U);
    for (int k = 0; k < 4; ++k) {
        std::uint32_t four = NIBBLES[pattern >> (12 - 4 * k) & 0xFU];
        if (!littleEndian()) {
            std::uint8_t b[4];
            for (int i = 0; i < 4; ++i)
                b[i] = static_cast<std::uint8_t>(four >> (8 * i));
            std::memcpy(&four, b, 4);
        }
        std::memcpy(row + at + 1 + 4 * k, &four, 4);
    }
    at += 17;
}

}  // namespace

int widthFor(int columns, bool compact) {
    return compact ? START_MODULES + 17 * (columns + 1) + 1 : START_MODULES + 17 * (columns + 2) + STOP_MODULES;
}

void drawRows(Symbol& s, bool compact) {
    const int rows = s.rows, columns = s.columns, level = s.level;
    const std::vector<int>& cw = s.codewords;
    s.width = widthFor(columns, compact);
    s.modules.assign(static_cast<std::size_t>(rows) * static_cast<std::size_t>(s.width), 0);
    for (int r = 0; r < rows; ++r) {
        std::uint8_t* line = s.modules.data() + static_cast<std::ptrdiff_t>(r) * s.width;
        const int cluster = r % 3;
        const int base = 30 * (r / 3);
        // Row indicators (ISO/IEC 15438 5.3.3): rows, columns and level spread over three rows.
        const int rowsPart = base + (rows - 1) / 3;
        const int levelPart = base + level * 3 + (rows - 1) % 3;
        const int columnsPart = base + columns - 1;
        const int left = cluster == 0 ? rowsPart : cluster == 1 ? levelPart : columnsPart;
        const int right = cluster == 0 ? columnsPart : cluster == 1 ? rowsPart : levelPart;
        const auto& table = CLUSTER_PATTERNS[cluster];
        int at = 0;
        put(line, at, START_PATTERN, START_MODULES);
        putCharacter(line, at, table[left]);
        for (int c = 0; c < columns; ++c)
            putCharacter(line, at, table[cw[static_cast<std::size_t>(r * columns + c)]]);
        if (compact) {
            line[at++] = 1;
        } else {
            putCharacter(line, at, table[right]);
            put(line, at, STOP_PATTERN, STOP_MODULES);
        }
    }
}

}  // namespace korvane::pdf417::detail
