// Data Matrix ECC 200 (ISO/IEC 16022; DMRE from ISO/IEC 21471): the L of
// the finder and the clock tracks give the module grid in any of the four
// quarter turns; then the data regions, the codewords as the placement walk
// left them, Reed-Solomon correction block by block and the encodations.
//
// Nothing here comes from the encoder: the size table is written in its own
// form (the data codewords follow from the module count), the placement walk
// is written again, and decoding knows only the published code values.

#include "ReedSolomon.h"
#include "Readers.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

namespace korvane::detail {
namespace {

// ---------------------------------------------------------------- the sizes

// ISO/IEC 16022 Table 7 and ISO/IEC 21471 Table 7, as a reader needs them:
// symbol size, data regions down and across, check words and blocks. The
// data codewords are what the mapping matrix holds beyond the check words.
struct Size {
    int rows, columns;
    int regionsDown, regionsAcross;
    int checkWords, blocks;

    constexpr int regionRows() const { return rows / regionsDown - 2; }
    constexpr int regionColumns() const { return columns / regionsAcross - 2; }
    constexpr int mappingRows() const { return rows - 2 * regionsDown; }
    constexpr int mappingColumns() const { return columns - 2 * regionsAcross; }
    constexpr int totalWords() const { return mappingRows() * mappingColumns() / 8; }
    constexpr int dataWords() const { return totalWords() - checkWords; }
};

constexpr Size SIZES[] = {
    {10, 10, 1, 1, 5, 1},     {12, 12, 1, 1, 7, 1},     {14, 14, 1, 1, 10, 1},    {16, 16, 1, 1, 12, 1},
    {18, 18, 1, 1, 14, 1},    {20, 20, 1, 1, 18, 1},    {22, 22, 1, 1, 20, 1},    {24, 24, 1, 1, 24, 1},
    {26, 26, 1, 1, 28, 1},    {32, 32, 2, 2, 36, 1},    {36, 36, 2, 2, 42, 1},    {40, 40, 2, 2, 48, 1},
    {44, 44, 2, 2, 56, 1},    {48, 48, 2, 2, 68, 1},    {52, 52, 2, 2, 84, 2},    {64, 64, 4, 4, 112, 2},
    {72, 72, 4, 4, 144, 4},   {80, 80, 4, 4, 192, 4},   {88, 88, 4, 4, 224, 4},   {96, 96, 4, 4, 272, 4},
    {104, 104, 4, 4, 336, 6}, {120, 120, 6, 6, 408, 6}, {132, 132, 6, 6, 496, 8}, {144, 144, 6, 6, 620, 10},
    // rectangles
    {8, 18, 1, 1, 7, 1},      {8, 32, 1, 2, 11, 1},     {12, 26, 1, 1, 14, 1},    {12, 36, 1, 2, 18, 1},
    {16, 36, 1, 2, 24, 1},    {16, 48, 1, 2, 28, 1},
    // DMRE
    {8, 48, 1, 2, 15, 1},     {8, 64, 1, 4, 18, 1},     {8, 80, 1, 4, 22, 1},     {8, 96, 1, 4, 28, 1},
    {8, 120, 1, 6, 32, 1},    {8, 144, 1, 6, 36, 1},    {12, 64, 1, 4, 27, 1},    {12, 88, 1, 4, 36, 1},
    {16, 64, 1, 4, 36, 1},    {20, 36, 1, 2, 28, 1},    {20, 44, 1, 2, 34, 1},    {20, 64, 1, 4, 42, 1},
    {22, 48, 1, 2, 38, 1},    {24, 48, 1, 2, 41, 1},    {24, 64, 1, 4, 46, 1},    {26, 40, 1, 2, 38, 1},
    {26, 48, 1, 2, 42, 1},    {26, 64, 1, 4, 50, 1},
};
static_assert(std::size(SIZES) == 48);

// Known data capacities, one per family, keep the derived column honest.
constexpr int dataWordsOf(int rows, int columns) {
    for (const Size& s : SIZES)
        if (s.rows == rows && s.columns == columns)
            return s.dataWords();
    return -1;
}
static_assert(dataWordsOf(10, 10) == 3 && dataWordsOf(144, 144) == 1558 && dataWordsOf(16, 48) == 49 &&
              dataWordsOf(26, 64) == 118 && dataWordsOf(52, 52) == 204 && dataWordsOf(8, 120) == 49);

const Size* sizeOf(int rows, int columns) {
    for (const Size& s : SIZES)
        if (s.rows == rows && s.columns == columns)
            return &s;
    return nullptr;
}

// ---------------------------------------------------------------- the grid

using Grid = std::vector<std::vector<std::uint8_t>>;  // [row][column], 1 = dark

Grid turned(const Grid& g) {  // a quarter turn clockwise
    const std::size_t rows = g.size(), cols = g[0].size();
    Grid t(cols, std::vector<std::uint8_t>(rows));
    for (std::size_t r = 0; r < rows; ++r)
        for (std::size_t c = 0; c < cols; ++c)
            t[c][rows - 1 - r] = g[r][c];
    return t;
}

// How well the outline matches the finder: left column and bottom row
// dark, top row and right column alternating from a dark top-left module.
int finderScore(const Grid& g) {
    const int rows = static_cast<int>(g.size()), cols = static_cast<int>(g[0].size());
    int score = 0;
    for (int r = 0; r < rows; ++r) {
        score += g[r][0] == 1;
        score += g[r][cols - 1] == ((rows - 1 - r) % 2 == 0 ? 1 : 0);
    }
    for (int c = 0; c < cols; ++c) {
        score += g[rows - 1][c] == 1;
        score += g[0][c] == (c % 2 == 0 ? 1 : 0);
    }
    return score;
}

// Dark runs along a line of the picture.
int darkRuns(const GrayRaster& raster, bool vertical, int at, int from, int to) {
    int runs = 0;
    bool previous = false;
    for (int i = from; i <= to; ++i) {
        const bool d = (vertical ? raster.at(at, i) : raster.at(i, at)) < 128;
        runs += d && !previous;
        previous = d;
    }
    return runs;
}

// The centre of the first module along a clock track through `at` and the
// module pitch: the track's dark modules stand alone, so the centres of its
// dark runs lie two modules apart whatever the print growth. The box's own
// estimate (first, pitch) when the track shows fewer than two runs.
void clockTrack(const GrayRaster& raster, bool vertical, int at, int from, int to, double& first, double& pitch) {
    std::vector<double> centres;
    int start = -1;
    for (int i = from; i <= to + 1; ++i) {
        const bool d = i <= to && (vertical ? raster.at(at, i) : raster.at(i, at)) < 128;
        if (d && start < 0)
            start = i;
        if (!d && start >= 0) {
            centres.push_back((start + i) / 2.0);
            start = -1;
        }
    }
    if (centres.size() < 2)
        return;
    const double p = (centres.back() - centres.front()) / (2.0 * static_cast<double>(centres.size() - 1));
    if (!(p > 0))
        return;
    const double k0 = std::round((centres.front() - from) / p - 0.5);
    pitch = p;
    first = centres.front() - k0 * p;
}

// The symbol's modules, upright, from the picture; empty when no finder is
// there. `where` tells where the upright symbol's modules lie.
Grid sampleGrid(const GrayRaster& raster, std::string& failure, ModuleGrid& where) {
    int minX = raster.width, maxX = -1, minY = raster.height, maxY = -1;
    for (int y = 0; y < raster.height; ++y)
        for (int x = 0; x < raster.width; ++x)
            if (raster.at(x, y) < 128) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
    if (maxX < 0) {
        failure = "no dark modules in the picture";
        return {};
    }
    // Two sides of the outline are solid and two alternate; the alternating
    // ones count half the modules along them.
    const int top = darkRuns(raster, false, minY, minX, maxX), bottom = darkRuns(raster, false, maxY, minX, maxX);
    const int left = darkRuns(raster, true, minX, minY, maxY), right = darkRuns(raster, true, maxX, minY, maxY);
    const int across = 2 * std::max(top, bottom), down = 2 * std::max(left, right);
    if (std::min(top, bottom) != 1 || std::min(left, right) != 1 || std::min(across, down) < 8 || std::max(across, down) < 10) {
        failure = "no L-shaped finder with clock tracks opposite it";
        return {};
    }
    const double w = (maxX - minX + 1) / static_cast<double>(across);
    const double h = (maxY - minY + 1) / static_cast<double>(down);
    Grid g(static_cast<std::size_t>(down), std::vector<std::uint8_t>(static_cast<std::size_t>(across)));
    for (int r = 0; r < down; ++r)
        for (int c = 0; c < across; ++c) {
            const int x = minX + static_cast<int>((c + 0.5) * w);
            const int y = minY + static_cast<int>((r + 0.5) * h);
            g[r][c] = raster.at(std::min(x, maxX), std::min(y, maxY)) < 128 ? 1 : 0;
        }
    Grid best = g;
    int bestScore = finderScore(g), bestTurn = 0;
    for (int turn = 1; turn < 4; ++turn) {
        g = turned(g);
        const int s = finderScore(g);
        if (s > bestScore) {
            bestScore = s;
            best = g;
            bestTurn = turn;
        }
    }
    // Where the modules are: pitch and first centre from the clock tracks.
    double x0 = minX + 0.5 * w, y0 = minY + 0.5 * h, pw = w, ph = h;
    clockTrack(raster, false, top > bottom ? static_cast<int>(minY + 0.5 * h) : static_cast<int>(maxY + 1 - 0.5 * h),
               minX, maxX, x0, pw);
    clockTrack(raster, true, left > right ? static_cast<int>(minX + 0.5 * w) : static_cast<int>(maxX + 1 - 0.5 * w),
               minY, maxY, y0, ph);
    // Module (r, c) of the grid turned t times lies at picture module
    // o + r d + c a; a turn makes (o, d, a) (o + (rows - 1) d, a, -d).
    double o[2] = {0, 0}, d[2] = {1, 0}, a[2] = {0, 1};  // (picture row, picture column)
    int rows = down;
    for (int t = 0; t < bestTurn; ++t) {
        const int columnsBefore = t % 2 == 0 ? across : down;
        o[0] += (rows - 1) * d[0];
        o[1] += (rows - 1) * d[1];
        const double d0 = d[0], d1 = d[1];
        d[0] = a[0];
        d[1] = a[1];
        a[0] = -d0;
        a[1] = -d1;
        rows = columnsBefore;
    }
    where = {x0 + o[1] * pw, y0 + o[0] * ph, 0, 0, a[1] * pw, a[0] * ph, d[1] * pw, d[0] * ph};
    return best;
}

// ---------------------------------------------------------------- placement

// For each bit of each codeword, its module in the mapping matrix, by the
// diagonal walk of ISO/IEC 16022 Annex F (with the wrap of ISO/IEC 21471).
struct Placement {
    int nrow, ncol;
    std::vector<int> owner;                     // per module: codeword * 8 + bit, -1 none
    std::vector<std::array<int, 8>> positions;  // per codeword: module index of bits 0 (high) .. 7

    Placement(int rows, int cols) : nrow(rows), ncol(cols), owner(static_cast<std::size_t>(rows) * cols, -1) {}

    void put(int r, int c, int word, int bit) {
        if (r < 0) {
            r += nrow;
            c += 4 - ((nrow + 4) % 8);
        }
        if (c < 0) {
            c += ncol;
            r += 4 - ((ncol + 4) % 8);
            if (r >= nrow)
                r -= nrow;
        }
        if (r < 0 || r >= nrow || c < 0 || c >= ncol)
            return;
        const int index = r * ncol + c;
        owner[static_cast<std::size_t>(index)] = word * 8 + bit;
        if (static_cast<int>(positions.size()) <= word)
            positions.resize(static_cast<std::size_t>(word) + 1, std::array<int, 8>{-1, -1, -1, -1, -1, -1, -1, -1});
        positions[static_cast<std::size_t>(word)][static_cast<std::size_t>(bit)] = index;
    }
    bool free(int r, int c) const { return owner[static_cast<std::size_t>(r) * ncol + c] < 0; }

    void standard(int r, int c, int word) {
        constexpr int dr[8] = {-2, -2, -1, -1, -1, 0, 0, 0};
        constexpr int dc[8] = {-2, -1, -2, -1, 0, -2, -1, 0};
        for (int b = 0; b < 8; ++b)
            put(r + dr[b], c + dc[b], word, b);
    }
    void corner(const int (&at)[8][2], int word) {
        for (int b = 0; b < 8; ++b)
            put(at[b][0] < 0 ? nrow + at[b][0] : at[b][0], at[b][1] < 0 ? ncol + at[b][1] : at[b][1], word, b);
    }

    void walk() {
        // Corner shapes: negative coordinates count from the far edge.
        const int a[8][2] = {{-1, 0}, {-1, 1}, {-1, 2}, {0, -2}, {0, -1}, {1, -1}, {2, -1}, {3, -1}};
        const int b[8][2] = {{-3, 0}, {-2, 0}, {-1, 0}, {0, -4}, {0, -3}, {0, -2}, {0, -1}, {1, -1}};
        const int c[8][2] = {{-3, 0}, {-2, 0}, {-1, 0}, {0, -2}, {0, -1}, {1, -1}, {2, -1}, {3, -1}};
        const int d[8][2] = {{-1, 0}, {-1, -1}, {0, -3}, {0, -2}, {0, -1}, {1, -3}, {1, -2}, {1, -1}};
        int word = 0, r = 4, col = 0;
        while (r < nrow || col < ncol) {
            if (r == nrow && col == 0)
                corner(a, word++);
            if (r == nrow - 2 && col == 0 && ncol % 4 != 0)
                corner(b, word++);
            if (r == nrow - 2 && col == 0 && ncol % 8 == 4)
                corner(c, word++);
            if (r == nrow + 4 && col == 2 && ncol % 8 == 0)
                corner(d, word++);
            for (; r >= 0 && col < ncol; r -= 2, col += 2)
                if (r >= 0 && r < nrow && col >= 0 && col < ncol && free(r, col))
                    standard(r, col, word++);
            r += 1;
            col += 3;
            for (; r < nrow && col >= 0; r += 2, col -= 2)
                if (r >= 0 && r < nrow && col >= 0 && col < ncol && free(r, col))
                    standard(r, col, word++);
            r += 3;
            col += 1;
        }
    }
};

// ---------------------------------------------------------------- decoding

constexpr char GS = 0x1D;

struct Decoder {
    const std::vector<int>& words;  // the data codewords
    std::size_t pos = 0;
    Reading& out;
    std::string text;
    std::string trailer;
    std::string why;
    std::size_t dataStart = 0;  // after the structured-append header, where FNC1 marks GS1 data

    bool fail(const std::string& w) {
        why = w + " at codeword " + std::to_string(pos);
        return false;
    }
    int next() { return words[pos++]; }
    std::size_t left() const { return words.size() - pos; }

    bool ascii() {
        bool upper = false;
        while (left() > 0) {
            const int cw = next();
            if (upper && (cw < 1 || cw > 128))
                return fail("an Upper Shift before a codeword that is no ASCII character");
            if (cw >= 1 && cw <= 128) {
                text.push_back(static_cast<char>(cw - 1 + (upper ? 128 : 0)));
                upper = false;
            } else if (cw == 129) {
                return true;  // padding
            } else if (cw >= 130 && cw <= 229) {
                text.push_back(static_cast<char>('0' + (cw - 130) / 10));
                text.push_back(static_cast<char>('0' + (cw - 130) % 10));
            } else if (cw == 230 || cw == 239) {
                if (!triplets(cw == 239 ? 1 : 0))
                    return false;
            } else if (cw == 238) {
                if (!triplets(2))
                    return false;
            } else if (cw == 240) {
                if (!edifact())
                    return false;
            } else if (cw == 231) {
                if (!base256())
                    return false;
            } else if (cw == 232) {
                if (pos - 1 == dataStart && text.empty())
                    out.gs1 = true;
                else
                    text.push_back(GS);
            } else if (cw == 233) {
                if (pos - 1 != 0 || left() < 3)
                    return fail("structured append away from the first codeword");
                const int seq = next();
                out.structuredIndex = (seq >> 4) + 1;
                out.structuredCount = 17 - (seq & 0x0F);
                const int id1 = next(), id2 = next();
                if (out.structuredCount < 2 || out.structuredIndex > out.structuredCount || id1 < 1 || id1 > 254 ||
                    id2 < 1 || id2 > 254)
                    return fail("a structured-append header out of range");
                out.structuredId = std::to_string((id1 - 1) * 254 + id2);
                dataStart = pos;
            } else if (cw == 234) {
                if (pos - 1 != 0)
                    return fail("reader programming away from the first codeword");
                out.readerInit = true;
            } else if (cw == 235) {
                upper = true;
            } else if (cw == 236 || cw == 237) {
                if (pos - 1 != 0)
                    return fail("a macro away from the first codeword");
                text += cw == 236 ? "[)>\x1e" "05\x1d" : "[)>\x1e" "06\x1d";
                trailer = "\x1e\x04";
            } else if (cw == 241) {
                if (!eci())
                    return false;
            } else if (cw == 254 && left() == 0) {
                // an unlatch some encoders write as the last codeword after a triplet
            } else {
                return fail("codeword " + std::to_string(cw) + " means nothing in ASCII");
            }
        }
        return true;
    }

    bool eci() {
        if (left() < 1)
            return fail("an ECI without its designator");
        const int c1 = next();
        if (c1 <= 127)
            return true;
        if (c1 <= 191) {
            if (left() < 1)
                return fail("an ECI designator cut short");
            next();
            return true;
        }
        if (left() < 2)
            return fail("an ECI designator cut short");
        next();
        next();
        return true;
    }

    // C40 (0), Text (1), X12 (2): three values in two codewords until the
    // unlatch, or until a single codeword is left (which is ASCII).
    bool triplets(int set) {
        int shift = 0;
        bool upper = false;
        while (left() >= 2) {
            if (words[pos] == 254) {
                ++pos;
                return true;
            }
            const int v = words[pos] * 256 + words[pos + 1] - 1;
            pos += 2;
            if (v < 0 || v >= 64000)
                return fail("a triplet value out of range");
            const int values[3] = {v / 1600, v / 40 % 40, v % 40};
            for (int value : values) {
                int c = -1;
                if (set == 2) {
                    static constexpr char X12[] = "\r*> ";
                    c = value < 4 ? X12[value] : value < 14 ? '0' + value - 4 : value < 40 ? 'A' + value - 14 : -1;
                    if (c < 0)
                        return fail("an X12 value out of range");
                    text.push_back(static_cast<char>(c));
                    continue;
                }
                if (shift == 0) {
                    if (value < 3) {
                        shift = value + 1;
                        continue;
                    }
                    c = value == 3 ? ' ' : value < 14 ? '0' + value - 4 : (set == 1 ? 'a' : 'A') + value - 14;
                } else if (shift == 1) {
                    c = value;
                } else if (shift == 2) {
                    if (value <= 14)
                        c = 33 + value;
                    else if (value <= 21)
                        c = 58 + value - 15;
                    else if (value <= 26)
                        c = 91 + value - 22;
                    else if (value == 27) {
                        text.push_back(GS);
                        shift = 0;
                        continue;
                    } else if (value == 30) {
                        upper = true;
                        shift = 0;
                        continue;
                    } else {
                        return fail("a Shift 2 value out of range");
                    }
                } else {  // shift 3
                    if (set == 1)
                        c = value == 0 ? '`' : value <= 26 ? 'A' + value - 1 : 96 + value;
                    else
                        c = 96 + value;
                    if (c > 127)
                        return fail("a Shift 3 value out of range");
                }
                shift = 0;
                text.push_back(static_cast<char>(c + (upper ? 128 : 0)));
                upper = false;
            }
        }
        return true;
    }

    bool edifact() {
        while (left() > 2) {
            int bits = 0;  // bits of the group used
            const std::uint32_t group = (static_cast<std::uint32_t>(words[pos]) << 16) |
                                        (static_cast<std::uint32_t>(words[pos + 1]) << 8) |
                                        static_cast<std::uint32_t>(words[pos + 2]);
            for (int k = 0; k < 4; ++k) {
                const int value = static_cast<int>((group >> (18 - 6 * k)) & 0x3F);
                bits += 6;
                if (value == 0x1F) {
                    pos += static_cast<std::size_t>((bits + 7) / 8);
                    return true;
                }
                text.push_back(static_cast<char>(value < 32 ? value | 0x40 : value));
            }
            pos += 3;
        }
        return true;  // two codewords or fewer left: ASCII again
    }

    int unrandomised(std::size_t at) const {
        const int v = words[at] - static_cast<int>((149 * (at + 1)) % 255 + 1);
        return v < 0 ? v + 256 : v;
    }

    bool base256() {
        if (left() < 1)
            return fail("a Base 256 field without its length");
        const int d1 = unrandomised(pos++);
        std::size_t length;
        if (d1 == 0) {
            length = left();
        } else if (d1 <= 249) {
            length = static_cast<std::size_t>(d1);
        } else {
            if (left() < 1)
                return fail("a Base 256 length cut short");
            length = static_cast<std::size_t>((d1 - 249) * 250 + unrandomised(pos++));
        }
        if (length > left())
            return fail("a Base 256 field longer than the symbol");
        for (std::size_t k = 0; k < length; ++k, ++pos)
            text.push_back(static_cast<char>(unrandomised(pos)));
        return true;
    }
};

}  // namespace

std::vector<std::pair<int, int>> dataMatrixCodewordModules(int rows, int columns) {
    std::vector<std::pair<int, int>> out;
    const Size* size = sizeOf(rows, columns);
    if (!size)
        return out;
    const int rr = size->regionRows(), rc = size->regionColumns();
    Placement place(size->mappingRows(), size->mappingColumns());
    place.walk();
    out.reserve(place.positions.size() * 8);
    for (const auto& word : place.positions)
        for (int index : word) {
            if (index < 0)
                return {};
            const int y = index / place.ncol, x = index % place.ncol;
            out.emplace_back(y / rr * (rr + 2) + y % rr + 1, x / rc * (rc + 2) + x % rc + 1);
        }
    return out;
}

namespace {

// The codewords in the order of the placement walk over the mapping matrix
// (the regions without their frames).
bool readCodewords(const Grid& g, const Size& size, std::vector<int>& codewords, std::string& failure) {
    const int rr = size.regionRows(), rc = size.regionColumns();
    const int nrow = size.mappingRows(), ncol = size.mappingColumns();
    std::vector<std::uint8_t> mapping(static_cast<std::size_t>(nrow) * ncol);
    for (int y = 0; y < nrow; ++y)
        for (int x = 0; x < ncol; ++x)
            mapping[static_cast<std::size_t>(y) * ncol + x] = g[y / rr * (rr + 2) + y % rr + 1][x / rc * (rc + 2) + x % rc + 1];
    Placement place(nrow, ncol);
    place.walk();
    const int total = size.totalWords();
    if (static_cast<int>(place.positions.size()) != total) {
        failure = "the placement walk gives " + std::to_string(place.positions.size()) + " codewords, not " +
                  std::to_string(total);
        return false;
    }
    codewords.assign(static_cast<std::size_t>(total), 0);
    for (int k = 0; k < total; ++k) {
        int v = 0;
        for (int b = 0; b < 8; ++b)
            v = (v << 1) | mapping[static_cast<std::size_t>(place.positions[static_cast<std::size_t>(k)][static_cast<std::size_t>(b)])];
        codewords[static_cast<std::size_t>(k)] = v;
    }
    return true;
}

// The data codewords after each block's correction, the blocks as read and
// the words corrected in all.
bool correctBlocks(const Size& size, const std::vector<int>& codewords, std::vector<int>& data,
                   std::vector<CodewordBlock>& read, int& corrected, std::string& failure) {
    // Blocks: codeword i of the data belongs to block i mod blocks, and so do
    // the check words after the data.
    const int blocks = size.blocks, dataWords = size.dataWords(), check = size.checkWords / blocks;
    data.assign(static_cast<std::size_t>(dataWords), 0);
    corrected = 0;
    read.assign(static_cast<std::size_t>(blocks), CodewordBlock{});
    for (int b = 0; b < blocks; ++b) {
        std::vector<int> block;
        CodewordBlock& words = read[static_cast<std::size_t>(b)];
        for (int i = b; i < dataWords; i += blocks) {
            block.push_back(codewords[static_cast<std::size_t>(i)]);
            words.words.push_back(i);
        }
        const int own = static_cast<int>(block.size());
        for (int j = 0; j < check; ++j) {
            block.push_back(codewords[static_cast<std::size_t>(dataWords + j * blocks + b)]);
            words.words.push_back(dataWords + j * blocks + b);
        }
        const int fixed = correctErrors(dataMatrixField(), block, check);
        if (fixed < 0) {
            failure = "Reed-Solomon block " + std::to_string(b + 1) + " of " + std::to_string(blocks) +
                      " has more errors than its " + std::to_string(check) + " check words correct";
            return false;
        }
        words.checkWords = check;
        words.corrected = fixed;
        corrected += fixed;
        for (int k = 0; k < own; ++k)
            data[static_cast<std::size_t>(b + k * blocks)] = block[static_cast<std::size_t>(k)];
    }
    return true;
}

}  // namespace

Reading readDataMatrix(const GrayRaster& raster) {
    Reading r;
    if (raster.width <= 0 || raster.height <= 0 || raster.pixels.size() != static_cast<std::size_t>(raster.width) * raster.height) {
        r.failure = "the picture is empty";
        return r;
    }
    ModuleGrid where;
    const Grid g = sampleGrid(raster, r.failure, where);
    if (g.empty())
        return r;
    const int rows = static_cast<int>(g.size()), cols = static_cast<int>(g[0].size());
    const Size* size = sizeOf(rows, cols);
    if (!size) {
        r.failure = "the clock tracks count " + std::to_string(rows) + "x" + std::to_string(cols) +
                    " modules, which is no Data Matrix size";
        return r;
    }
    if (finderScore(g) < 2 * (rows + cols) - 4) {
        r.failure = "the finder and clock tracks are damaged";
        return r;
    }

    std::vector<int> codewords, data;
    std::vector<CodewordBlock> read;
    int corrected = 0;
    if (!readCodewords(g, *size, codewords, r.failure) || !correctBlocks(*size, codewords, data, read, corrected, r.failure))
        return r;
    const int dataWords = size->dataWords();
    Decoder d{data, 0, r, {}, {}, {}, 0};
    if (!d.ascii()) {
        r.failure = d.why;
        return r;
    }
    r.data = d.text + d.trailer;
    r.rows = rows;
    r.columns = cols;
    r.size = rows;
    r.dataCodewords = dataWords;
    r.correctedCodewords = corrected;
    r.grid = where;
    r.blocks = std::move(read);
    r.ok = true;
    return r;
}

}  // namespace korvane::detail
