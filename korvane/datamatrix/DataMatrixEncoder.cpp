// Data Matrix ECC 200 symbols: the sizes, the header codewords, padding,
// Reed-Solomon blocks, module placement and the data regions with their
// finder and clock tracks (ISO/IEC 16022; DMRE from ISO/IEC 21471).

#include "DataMatrix.h"

#include "../base/Text.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <string>

namespace korvane::datamatrix {
namespace {

// ISO/IEC 16022 Table 7 (ECC 200 symbol attributes), then the DMRE sizes of
// ISO/IEC 21471 Table 7. Region sizes exclude the finder and clock tracks.
constexpr SizeInfo SIZES[] = {
    // rows cols  region   data  check blocks
    {10, 10, 8, 8, 3, 5, 1, false},
    {12, 12, 10, 10, 5, 7, 1, false},
    {14, 14, 12, 12, 8, 10, 1, false},
    {16, 16, 14, 14, 12, 12, 1, false},
    {18, 18, 16, 16, 18, 14, 1, false},
    {20, 20, 18, 18, 22, 18, 1, false},
    {22, 22, 20, 20, 30, 20, 1, false},
    {24, 24, 22, 22, 36, 24, 1, false},
    {26, 26, 24, 24, 44, 28, 1, false},
    {32, 32, 14, 14, 62, 36, 1, false},
    {36, 36, 16, 16, 86, 42, 1, false},
    {40, 40, 18, 18, 114, 48, 1, false},
    {44, 44, 20, 20, 144, 56, 1, false},
    {48, 48, 22, 22, 174, 68, 1, false},
    {52, 52, 24, 24, 204, 84, 2, false},
    {64, 64, 14, 14, 280, 112, 2, false},
    {72, 72, 16, 16, 368, 144, 4, false},
    {80, 80, 18, 18, 456, 192, 4, false},
    {88, 88, 20, 20, 576, 224, 4, false},
    {96, 96, 22, 22, 696, 272, 4, false},
    {104, 104, 24, 24, 816, 336, 6, false},
    {120, 120, 18, 18, 1050, 408, 6, false},
    {132, 132, 20, 20, 1304, 496, 8, false},
    {144, 144, 22, 22, 1558, 620, 10, false},
    {8, 18, 6, 16, 5, 7, 1, false},
    {8, 32, 6, 14, 10, 11, 1, false},
    {12, 26, 10, 24, 16, 14, 1, false},
    {12, 36, 10, 16, 22, 18, 1, false},
    {16, 36, 14, 16, 32, 24, 1, false},
    {16, 48, 14, 22, 49, 28, 1, false},
    {8, 48, 6, 22, 18, 15, 1, true},
    {8, 64, 6, 14, 24, 18, 1, true},
    {8, 80, 6, 18, 32, 22, 1, true},
    {8, 96, 6, 22, 38, 28, 1, true},
    {8, 120, 6, 18, 49, 32, 1, true},
    {8, 144, 6, 22, 63, 36, 1, true},
    {12, 64, 10, 14, 43, 27, 1, true},
    {12, 88, 10, 20, 64, 36, 1, true},
    {16, 64, 14, 14, 62, 36, 1, true},
    {20, 36, 18, 16, 44, 28, 1, true},
    {20, 44, 18, 20, 56, 34, 1, true},
    {20, 64, 18, 14, 84, 42, 1, true},
    {22, 48, 20, 22, 72, 38, 1, true},
    {24, 48, 22, 22, 80, 41, 1, true},
    {24, 64, 22, 14, 108, 46, 1, true},
    {26, 40, 24, 18, 70, 38, 1, true},
    {26, 48, 24, 22, 90, 42, 1, true},
    {26, 64, 24, 14, 118, 50, 1, true},
};
constexpr int SIZE_COUNT = static_cast<int>(std::size(SIZES));
static_assert(SIZE_COUNT == 24 + 6 + 18);

// Each row checks itself: the regions tile the symbol, the mapping matrix
// holds exactly the data and check codewords (eight modules each, the four
// corner modules of some squares left over), and the check words divide
// evenly into the blocks.
constexpr bool consistent(const SizeInfo& s) {
    const int down = s.rows / (s.regionRows + 2);
    const int across = s.columns / (s.regionColumns + 2);
    if (down * (s.regionRows + 2) != s.rows || across * (s.regionColumns + 2) != s.columns)
        return false;
    const int modules = down * s.regionRows * across * s.regionColumns;
    if (modules / 8 != s.dataCodewords + s.checkCodewords || modules % 8 > 4)
        return false;
    return s.checkCodewords % s.blocks == 0 && (s.dataCodewords + s.blocks - 1) / s.blocks + s.checkCodewords / s.blocks <= 255;
}
constexpr bool allConsistent() {
    for (const SizeInfo& s : SIZES)
        if (!consistent(s))
            return false;
    return true;
}
static_assert(allConsistent());

// Header codewords (ISO/IEC 16022, 5.6).
constexpr int FNC1 = 232;
constexpr int STRUCTURED_APPEND = 233;
constexpr int READER_PROGRAMMING = 234;
constexpr int MACRO_05 = 236;
constexpr int MACRO_06 = 237;
constexpr int PAD = 129;

// GF(256) with the prime polynomial x^8 + x^5 + x^3 + x^2 + 1 (ISO/IEC 16022, 5.7.1).
struct Field {
    std::array<std::uint8_t, 512> exp{};
    std::array<std::uint8_t, 256> log{};
    constexpr Field() {
        int x = 1;
        for (int i = 0; i < 255; ++i) {
            exp[i] = static_cast<std::uint8_t>(x);
            exp[i + 255] = static_cast<std::uint8_t>(x);
            log[x] = static_cast<std::uint8_t>(i);
            x <<= 1;
            if (x & 0x100)
                x ^= 0x12D;
        }
    }
    constexpr int mul(int a, int b) const { return a == 0 || b == 0 ? 0 : exp[log[a] + log[b]]; }
};
constexpr Field GF{};
static_assert(GF.exp[8] == 0x2D && GF.mul(GF.exp[254], 2) == 1);

// The macro headers, as a reader restores them around the data.
constexpr std::string_view MACRO_HEAD_05 = "[)>\x1e" "05\x1d";
constexpr std::string_view MACRO_HEAD_06 = "[)>\x1e" "06\x1d";
constexpr std::string_view MACRO_TAIL = "\x1e\x04";

bool preferred(const SizeInfo& a, const SizeInfo& b) {
    const int areaA = a.rows * a.columns, areaB = b.rows * b.columns;
    return areaA != areaB ? areaA < areaB : a.dataCodewords < b.dataCodewords;
}

bool allowed(const SizeInfo& s, const Options& o) {
    if (s.dmre && !o.dmre)
        return false;
    switch (o.shape) {
    case Shape::Square: return s.square();
    case Shape::Rectangular: return !s.square();
    case Shape::Any: return true;
    }
    return false;
}

using korvane::detail::thousands;

}  // namespace

const SizeInfo* sizesBegin() { return SIZES; }
const SizeInfo* sizesEnd() { return SIZES + SIZE_COUNT; }
const SizeInfo* findSize(int rows, int columns) {
    for (const SizeInfo& s : SIZES)
        if (s.rows == rows && s.columns == columns)
            return &s;
    return nullptr;
}

const char* modeName(Mode m) {
    switch (m) {
    case Mode::Ascii: return "ASCII";
    case Mode::C40: return "C40";
    case Mode::Text: return "Text";
    case Mode::X12: return "X12";
    case Mode::Edifact: return "EDIFACT";
    case Mode::Base256: return "Base 256";
    }
    return "";
}

namespace detail {

void addCheckWords(std::vector<std::uint8_t>& codewords, int dataWords, int blocks, int n) {
    // Generator (x - alpha^1) ... (x - alpha^n), highest power first; its
    // coefficients are never zero.
    std::array<int, 256> g{};
    g[0] = 1;
    for (int i = 1; i <= n; ++i)
        for (int j = i; j >= 1; --j)
            g[static_cast<std::size_t>(j)] ^= GF.mul(g[static_cast<std::size_t>(j) - 1], GF.exp[i]);
    // Each data codeword shifts the remainder and adds the generator times
    // the feedback. With many codewords a table of those products (a row per
    // feedback value) pays for itself: the step is then a shift and an XOR of
    // two rows of bytes.
    const std::size_t width = static_cast<std::size_t>(n);
    const bool table = dataWords > 256;
    std::vector<std::uint8_t> products(table ? 256 * width : 0);
    std::array<int, 256> logG{};
    for (std::size_t j = 0; j < width; ++j)
        logG[j] = GF.log[static_cast<std::size_t>(g[j + 1])];
    auto fillRow = [&](int f, std::uint8_t* row) {
        if (f == 0) {
            std::fill(row, row + width, 0);
            return;
        }
        const int logF = GF.log[static_cast<std::size_t>(f)];
        for (std::size_t j = 0; j < width; ++j)
            row[j] = GF.exp[static_cast<std::size_t>(logF + logG[j])];
    };
    if (table)
        for (int f = 0; f < 256; ++f)
            fillRow(f, &products[static_cast<std::size_t>(f) * width]);

    codewords.resize(static_cast<std::size_t>(dataWords) + static_cast<std::size_t>(blocks) * width);
    std::array<std::uint8_t, 257> a{}, b{};
    for (int block = 0; block < blocks; ++block) {
        std::uint8_t* r = a.data();
        std::uint8_t* next = b.data();
        std::fill(r, r + width + 1, 0);
        for (int k = block; k < dataWords; k += blocks) {
            const int f = codewords[static_cast<std::size_t>(k)] ^ r[0];
            if (table) {
                const std::uint8_t* row = &products[static_cast<std::size_t>(f) * width];
                for (std::size_t j = 0; j < width; ++j)
                    next[j] = static_cast<std::uint8_t>(r[j + 1] ^ row[j]);
            } else if (f == 0) {
                std::copy(r + 1, r + width + 1, next);
            } else {
                const int logF = GF.log[static_cast<std::size_t>(f)];
                for (std::size_t j = 0; j < width; ++j)
                    next[j] = static_cast<std::uint8_t>(r[j + 1] ^ GF.exp[static_cast<std::size_t>(logF + logG[j])]);
            }
            next[width] = 0;
            std::swap(r, next);
        }
        for (std::size_t j = 0; j < width; ++j)
            codewords[static_cast<std::size_t>(dataWords) + j * static_cast<std::size_t>(blocks) + static_cast<std::size_t>(block)] = r[j];
    }
}

std::vector<std::uint8_t> checkWords(const std::uint8_t* data, int count, int n) {
    std::vector<std::uint8_t> words(data, data + count);
    addCheckWords(words, count, 1, n);
    return std::vector<std::uint8_t>(words.begin() + count, words.end());
}

// The placement of ISO/IEC 16022 Annex F: codewords as 8-module shapes
// walked diagonally up and down the mapping matrix, with four special shapes
// at the corners and wrap-around at the edges. `put(index, codeword, bit)`
// receives each module (codewords from 1, bit 0 the most significant);
// `filled(index)` says whether one has been placed there.
template <typename Put, typename Filled>
void walk(int nrow, int ncol, Put put, Filled filled) {
    auto module = [&](int row, int col, int codeword, int bit) {
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
        if (row >= 0 && row < nrow && col >= 0 && col < ncol)
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
    // The corner shapes: module positions for bits 0-7.
    using Corner = std::array<std::array<int, 2>, 8>;
    const Corner corners[4] = {
        {{{nrow - 1, 0}, {nrow - 1, 1}, {nrow - 1, 2}, {0, ncol - 2}, {0, ncol - 1}, {1, ncol - 1}, {2, ncol - 1}, {3, ncol - 1}}},
        {{{nrow - 3, 0}, {nrow - 2, 0}, {nrow - 1, 0}, {0, ncol - 4}, {0, ncol - 3}, {0, ncol - 2}, {0, ncol - 1}, {1, ncol - 1}}},
        {{{nrow - 3, 0}, {nrow - 2, 0}, {nrow - 1, 0}, {0, ncol - 2}, {0, ncol - 1}, {1, ncol - 1}, {2, ncol - 1}, {3, ncol - 1}}},
        {{{nrow - 1, 0}, {nrow - 1, ncol - 1}, {0, ncol - 3}, {0, ncol - 2}, {0, ncol - 1}, {1, ncol - 3}, {1, ncol - 2}, {1, ncol - 1}}},
    };
    auto corner = [&](int which, int codeword) {
        for (int bit = 0; bit < 8; ++bit)
            module(corners[which][static_cast<std::size_t>(bit)][0], corners[which][static_cast<std::size_t>(bit)][1],
                   codeword, bit);
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

std::vector<int> placement(int nrow, int ncol) {
    std::vector<int> grid(static_cast<std::size_t>(nrow) * ncol, -1);
    walk(nrow, ncol, [&](int i, int codeword, int bit) { grid[static_cast<std::size_t>(i)] = codeword * 8 + bit; },
         [&](int i) { return grid[static_cast<std::size_t>(i)] >= 0; });
    if (grid.back() < 0)
        fixCorner(grid, nrow, ncol, 1, 0);
    return grid;
}

}  // namespace detail

namespace {

// The units of the message: its bytes, GS as FNC1 in GS1 data, and its markers.
Result<std::vector<detail::Unit>> unitsOf(const Message& m, std::size_t from, std::size_t to) {
    std::vector<detail::Unit> units;
    units.reserve(to - from + m.markers.size());
    std::size_t next = 0;
    for (std::size_t i = from; i <= to; ++i) {
        for (; next < m.markers.size() && m.markers[next].position <= i; ++next) {
            const Marker& mk = m.markers[next];
            if (mk.position < from || mk.position > to)
                return Error{ErrorCode::InvalidData, "a marker lies inside the macro header or trailer"};
            if (mk.kind == MarkerKind::Eci) {
                if (mk.eci < 0 || mk.eci > 999999)
                    return Error{ErrorCode::InvalidOption, "ECI " + std::to_string(mk.eci) + " is outside 0-999999"};
                units.push_back({detail::Unit::Eci, 0, mk.eci});
            } else {
                units.push_back({detail::Unit::Fnc1, 0, 0});
            }
        }
        if (i == to)
            break;
        const auto b = static_cast<std::uint8_t>(m.bytes[i]);
        if (m.gs1 && b == 0x1D)
            units.push_back({detail::Unit::Fnc1, 0, 0});
        else
            units.push_back({detail::Unit::Byte, b, 0});
    }
    // Markers out of order (or past the data) would otherwise be lost.
    if (next != m.markers.size())
        return Error{ErrorCode::InvalidData, "the markers are not in order of position"};
    return units;
}

}  // namespace

Result<Encoded> encode(const Message& message, const Options& options) {
    const StructuredAppend& sa = message.structuredAppend;
    std::vector<std::uint8_t> header;
    if (sa.index > 0 || sa.count > 0) {
        if (sa.count < 2 || sa.count > 16 || sa.index < 1 || sa.index > sa.count)
            return Error{ErrorCode::InvalidOption, "structured append takes 2-16 symbols, the index 1-count; got " +
                                                       std::to_string(sa.index) + " of " + std::to_string(sa.count)};
        if (message.readerInit)
            return Error{ErrorCode::InvalidOption, "reader programming cannot be part of a structured-append set"};
        // The file identification: two codewords 1-254, given as one number 1-64516.
        long id = 1;
        if (!sa.id.empty()) {
            char* end = nullptr;
            id = std::strtol(sa.id.c_str(), &end, 10);
            if (*end != '\0' || sa.id.size() > 5 || id < 1 || id > 254 * 254)
                return Error{ErrorCode::InvalidOption,
                             "the structured-append file id " + korvane::detail::quoted(sa.id, 12) + " is not a number 1-64516"};
        }
        header.push_back(STRUCTURED_APPEND);
        header.push_back(static_cast<std::uint8_t>(((sa.index - 1) << 4) | (17 - sa.count)));
        header.push_back(static_cast<std::uint8_t>((id - 1) / 254 + 1));
        header.push_back(static_cast<std::uint8_t>((id - 1) % 254 + 1));
    }
    if (message.readerInit && message.gs1)
        return Error{ErrorCode::InvalidOption, "reader programming and GS1 data both need the first codeword"};
    if (message.readerInit)
        header.push_back(READER_PROGRAMMING);
    if (message.gs1)
        header.push_back(FNC1);

    // A message in the format of ISO/IEC 15434 with format 05 or 06 is
    // written as one codeword for its header and trailer.
    std::size_t from = 0, to = message.bytes.size();
    const std::string_view bytes = message.bytes;
    if (header.empty() && bytes.size() >= MACRO_HEAD_05.size() + MACRO_TAIL.size() &&
        bytes.substr(bytes.size() - MACRO_TAIL.size()) == MACRO_TAIL) {
        for (auto [head, cw] : {std::pair{MACRO_HEAD_05, MACRO_05}, std::pair{MACRO_HEAD_06, MACRO_06}})
            if (bytes.substr(0, head.size()) == head) {
                header.push_back(static_cast<std::uint8_t>(cw));
                from = head.size();
                to = bytes.size() - MACRO_TAIL.size();
            }
    }

    // Longer data fits no symbol: two digits per codeword at best.
    constexpr std::size_t MOST_UNITS = 2 * 1558;
    if (message.bytes.size() > MOST_UNITS + 4)
        return Error{ErrorCode::DataTooLong, "the data has " + thousands(static_cast<long long>(message.bytes.size())) +
                                                 " bytes; the largest symbol holds at most " + thousands(MOST_UNITS)};
    Result<std::vector<detail::Unit>> units = unitsOf(message, from, to);
    if (!units)
        return units.error();
    // Markers take a codeword each at least: the search's table stays bounded by the largest symbol.
    if (units->size() > MOST_UNITS)
        return Error{ErrorCode::DataTooLong, "the data and its markers make " +
                                                 thousands(static_cast<long long>(units->size())) +
                                                 " characters; the largest symbol holds at most " + thousands(MOST_UNITS)};
    // FNC1 in first position marks GS1 data only as the ASCII codeword
    // itself; inside a C40 or Text triplet a reader takes it for a GS.
    const bool firstMarksGs1 = header.empty() || (header.size() == 4 && header[0] == STRUCTURED_APPEND);
    if (firstMarksGs1 && !units->empty() && units->front().kind == detail::Unit::Fnc1) {
        header.push_back(FNC1);
        units->erase(units->begin());
    }
    const detail::StreamPlan plan(*units);
    const int head = static_cast<int>(header.size());

    const SizeInfo* chosen = nullptr;
    if (options.rows > 0 || options.columns > 0) {
        chosen = findSize(options.rows, options.columns);
        if (!chosen)
            return Error{ErrorCode::InvalidOption, "Data Matrix has no " + std::to_string(options.rows) + "x" +
                                                       std::to_string(options.columns) + " size"};
        if (!plan.fits(chosen->dataCodewords - head)) {
            const int least = plan.least();
            return Error{ErrorCode::DataTooLong, "the data needs " + thousands(least == INT_MAX ? least : least + head) +
                                                     " codewords; the " + std::to_string(chosen->rows) + "x" +
                                                     std::to_string(chosen->columns) + " symbol holds " +
                                                     thousands(chosen->dataCodewords)};
        }
    } else {
        int largest = 0;
        for (const SizeInfo& s : SIZES) {
            if (!allowed(s, options))
                continue;
            largest = std::max(largest, static_cast<int>(s.dataCodewords));
            if (s.dataCodewords - head >= 0 && plan.fits(s.dataCodewords - head) && (!chosen || preferred(s, *chosen)))
                chosen = &s;
        }
        if (!chosen)
            return Error{ErrorCode::DataTooLong, "the data needs " + thousands(plan.least() + static_cast<long long>(head)) +
                                                     " codewords; the largest symbol allowed holds " + thousands(largest)};
    }

    Encoded e;
    e.size = chosen;
    const int capacity = chosen->dataCodewords;
    std::vector<std::uint8_t>& cw = e.codewords;
    cw.reserve(static_cast<std::size_t>(capacity + chosen->checkCodewords));
    cw = header;
    plan.write(capacity - head, cw, &e.segments);
    e.streamCodewords = static_cast<int>(cw.size());
    // Padding: 129 first, then the 253-state pseudo-random pads (ISO/IEC 16022, 5.2.3).
    if (static_cast<int>(cw.size()) < capacity)
        cw.push_back(PAD);
    while (static_cast<int>(cw.size()) < capacity) {
        const int position = static_cast<int>(cw.size()) + 1;
        int pad = PAD + (149 * position) % 253 + 1;
        if (pad > 254)
            pad -= 254;
        cw.push_back(static_cast<std::uint8_t>(pad));
    }

    // Check words block by block, the blocks interleaved codeword by codeword.
    detail::addCheckWords(cw, capacity, chosen->blocks, chosen->checkCodewords / chosen->blocks);

    // The codewords' bits into the mapping matrix (2: not yet placed), then
    // the matrix into the regions, each framed by its finder (solid left and
    // bottom) and clock tracks (alternating top and right).
    const int rr = chosen->regionRows, rc = chosen->regionColumns;
    const int nrow = chosen->regionsDown() * rr, ncol = chosen->regionsAcross() * rc;
    std::vector<std::uint8_t> mapping(static_cast<std::size_t>(nrow) * ncol, 2);
    detail::walk(
        nrow, ncol,
        [&](int i, int codeword, int bit) {
            mapping[static_cast<std::size_t>(i)] =
                static_cast<std::uint8_t>((cw[static_cast<std::size_t>(codeword) - 1] >> (7 - bit)) & 1);
        },
        [&](int i) { return mapping[static_cast<std::size_t>(i)] != 2; });
    if (mapping.back() == 2)
        detail::fixCorner<std::uint8_t>(mapping, nrow, ncol, 1, 0);
    const int rows = chosen->rows, cols = chosen->columns;
    e.modules.assign(static_cast<std::size_t>(rows) * cols, 0);
    for (int y = 0; y < rows; ++y) {
        std::uint8_t* out = &e.modules[static_cast<std::size_t>(y) * cols];
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
        const std::uint8_t* in = &mapping[static_cast<std::size_t>(y / (rr + 2) * rr + ry - 1) * ncol];
        for (int x = 0; x < cols; x += rc + 2, in += rc) {
            out[x] = 1;
            std::copy(in, in + rc, out + x + 1);
            out[x + rc + 1] = static_cast<std::uint8_t>(ry % 2);
        }
    }

    // What a reader returns: FNC1 as GS (the one that marks GS1 data went
    // to the header), ECI designators left out, the macro header and
    // trailer restored.
    std::string& read = e.readerData;
    if (from > 0)
        read.assign(bytes.substr(0, from));
    for (const detail::Unit& u : *units) {
        if (u.kind == detail::Unit::Byte)
            read.push_back(static_cast<char>(u.byte));
        else if (u.kind == detail::Unit::Fnc1)
            read.push_back('\x1d');
    }
    if (to < bytes.size())
        read.append(bytes.substr(to));
    return e;
}

}  // namespace korvane::datamatrix
