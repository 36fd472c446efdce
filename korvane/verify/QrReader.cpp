// QR Code (ISO/IEC 18004): the three finder patterns, the grid they span, the
// format and version information with their BCH codes, unmasking, the
// Reed-Solomon blocks and the decoding of the segments. Every table here is
// the reader's own: the positions and capacities are computed or written
// apart from the encoder's, so that a fault in one is not repeated in the other.

#include "Readers.h"
#include "QrStream.h"
#include "ReedSolomon.h"
#include "qr/QrKanjiTable.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace korvane::detail {
namespace {

using qr::detail::QR_KANJI_CODE_POINTS;
using qr::detail::QR_KANJI_VALUES;

// ---------------------------------------------------------------- the picture

struct Picture {
    const GrayRaster& raster;
    bool inverted;  // light modules on a dark ground
    bool dark(int x, int y) const {
        const bool inside = x >= 0 && y >= 0 && x < raster.width && y < raster.height;
        return inside ? (raster.at(x, y) < 128) != inverted : false;
    }
};

struct Point {
    double x, y;
};

double distance(Point a, Point b) { return std::hypot(a.x - b.x, a.y - b.y); }

// Five runs dark, light, dark, light, dark in 1:1:3:1:1. Print gain moves the
// edges between dark and light but not the distance from one edge to the
// next edge of the same kind, so the pairs of neighbouring runs are tested
// (2, 4, 4, 2 modules). Returns the module size, or 0.
double finderRatio(const int r[5]) {
    const double total = r[0] + r[1] + r[2] + r[3] + r[4];
    if (total < 7)
        return 0;
    const double m = total / 7;
    const double pairs[4] = {2, 4, 4, 2};
    for (int k = 0; k < 4; ++k) {
        const double p = r[k] + r[k + 1];
        if (std::fabs(p - pairs[k] * m) > 0.75 * m)
            return 0;
    }
    return std::fabs(r[2] - 3 * m) <= 1.5 * m ? m : 0;
}

// The centre of the finder's middle run along a column (or row) through
// (x, y), when the runs there look like a finder; the module size in `module`.
bool crossCheck(const Picture& p, bool vertical, double xf, double yf, double& centre, double& module) {
    const int x = static_cast<int>(xf), y = static_cast<int>(yf);
    const int length = vertical ? p.raster.height : p.raster.width;
    auto dark = [&](int i) { return vertical ? p.dark(x, i) : p.dark(i, y); };
    const int at = vertical ? y : x;
    if (!dark(at))
        return false;
    int r[5] = {0, 0, 0, 0, 0};
    int i = at;
    while (i >= 0 && dark(i)) {
        ++r[2];
        --i;
    }
    while (i >= 0 && !dark(i)) {
        ++r[1];
        --i;
    }
    while (i >= 0 && dark(i)) {
        ++r[0];
        --i;
    }
    int j = at + 1;
    while (j < length && dark(j)) {
        ++r[2];
        ++j;
    }
    const int middleEnd = j;
    while (j < length && !dark(j)) {
        ++r[3];
        ++j;
    }
    while (j < length && dark(j)) {
        ++r[4];
        ++j;
    }
    module = finderRatio(r);
    if (module <= 0)
        return false;
    centre = middleEnd - r[2] / 2.0;
    return true;
}

// The same pattern along the diagonal through (x, y): data modules often
// make 1:1:3:1:1 across and down, seldom on the diagonal too.
bool diagonalCheck(const Picture& p, double xf, double yf) {
    const int x = static_cast<int>(xf), y = static_cast<int>(yf);
    if (!p.dark(x, y))
        return false;
    int r[5] = {0, 0, 0, 0, 0};
    int k = 0;
    while (p.dark(x - k, y - k) && k <= x && k <= y) {
        ++r[2];
        ++k;
    }
    for (int run = 1, dark = 0; run >= 0; --run, dark = !dark) {
        while (k <= x && k <= y && p.dark(x - k, y - k) == (dark != 0)) {
            ++r[run];
            ++k;
        }
    }
    k = 1;
    while (p.dark(x + k, y + k) && x + k < p.raster.width && y + k < p.raster.height) {
        ++r[2];
        ++k;
    }
    for (int run = 3, dark = 0; run <= 4; ++run, dark = !dark) {
        while (x + k < p.raster.width && y + k < p.raster.height && p.dark(x + k, y + k) == (dark != 0)) {
            ++r[run];
            ++k;
        }
    }
    return finderRatio(r) > 0;
}

struct Finder {
    Point centre;
    double module;
    int seen;
};

std::vector<Finder> findFinders(const Picture& p) {
    std::vector<Finder> found;
    const int w = p.raster.width;
    std::vector<int> starts;  // where each run of the row starts; runs alternate, the first light
    for (int y = 0; y < p.raster.height; ++y) {
        starts.clear();
        bool colour = false;
        for (int x = 0; x < w; ++x)
            if (p.dark(x, y) != colour || x == 0) {
                if (x == 0 && p.dark(0, y))
                    starts.push_back(0);  // an empty light run first keeps the parity
                starts.push_back(x);
                colour = p.dark(x, y);
            }
        starts.push_back(w);
        // Dark runs have odd indices.
        for (std::size_t i = 1; i + 5 < starts.size(); i += 2) {
            int r[5];
            for (int k = 0; k < 5; ++k)
                r[k] = starts[i + static_cast<std::size_t>(k) + 1] - starts[i + static_cast<std::size_t>(k)];
            double module = finderRatio(r);
            if (module <= 0)
                continue;
            const double cx = starts[i + 2] + r[2] / 2.0;
            double cy = 0, cx2 = 0, m2 = 0, m3 = 0;
            if (!crossCheck(p, true, cx, y + 0.5, cy, m2) || !crossCheck(p, false, cx, cy, cx2, m3) ||
                !diagonalCheck(p, cx2, cy))
                continue;
            module = (module + m2 + m3) / 3;
            bool merged = false;
            for (Finder& f : found)
                if (std::fabs(f.centre.x - cx2) < 2 * module && std::fabs(f.centre.y - cy) < 2 * module &&
                    std::fabs(f.module - module) < module) {
                    f.centre.x = (f.centre.x * f.seen + cx2) / (f.seen + 1);
                    f.centre.y = (f.centre.y * f.seen + cy) / (f.seen + 1);
                    f.module = (f.module * f.seen + module) / (f.seen + 1);
                    ++f.seen;
                    merged = true;
                    break;
                }
            if (!merged && found.size() < 64)
                found.push_back({{cx2, cy}, module, 1});
        }
    }
    return found;
}

// ---------------------------------------------------------------- geometry

// Centres of the alignment patterns along an axis: from column 6 to size - 7,
// v / 7 + 2 of them; the spacing after the first is even and the first
// interval takes what is left (version 32 spaces its patterns by 26).
std::vector<int> alignmentCentres(int version) {
    if (version < 2)
        return {};
    const int count = version / 7 + 2;
    const int last = 4 * version + 10;
    int step = version == 32 ? 26 : (last - 6 + count - 2) / (count - 1);
    step += step % 2;
    std::vector<int> c(static_cast<std::size_t>(count));
    c[0] = 6;
    for (int k = count - 1; k >= 1; --k)
        c[static_cast<std::size_t>(k)] = last - (count - 1 - k) * step;
    return c;
}

// Which modules are no data: finders with separators and format areas,
// timing patterns, alignment patterns, version areas and the dark module.
std::vector<std::uint8_t> functionMap(int version) {
    const int n = 17 + 4 * version;
    std::vector<std::uint8_t> f(static_cast<std::size_t>(n * n), 0);
    auto mark = [&](int r0, int c0, int rows, int cols) {
        for (int r = r0; r < r0 + rows; ++r)
            for (int c = c0; c < c0 + cols; ++c)
                f[static_cast<std::size_t>(r * n + c)] = 1;
    };
    mark(0, 0, 9, 9);
    mark(0, n - 8, 9, 8);
    mark(n - 8, 0, 8, 9);
    mark(6, 0, 1, n);
    mark(0, 6, n, 1);
    const std::vector<int> centres = alignmentCentres(version);
    for (int a : centres)
        for (int b : centres) {
            const bool nearFinder = (a < 10 && b < 10) || (a < 10 && b > n - 10) || (a > n - 10 && b < 10);
            if (!nearFinder)
                mark(a - 2, b - 2, 5, 5);
        }
    if (version >= 7) {
        mark(0, n - 11, 6, 3);
        mark(n - 11, 0, 3, 6);
    }
    return f;
}

// Data codewords by version and level L, M, Q, H (ISO/IEC 18004 Table 7) and
// the number of Reed-Solomon blocks (Table 9); the check words per block
// follow from the codewords the symbol has room for.
constexpr std::uint16_t DATA_CODEWORDS[41][4] = {
    {0, 0, 0, 0},          {19, 16, 13, 9},       {34, 28, 22, 16},      {55, 44, 34, 26},
    {80, 64, 48, 36},      {108, 86, 62, 46},     {136, 108, 76, 60},    {156, 124, 88, 66},
    {194, 154, 110, 86},   {232, 182, 132, 100},  {274, 216, 154, 122},  {324, 254, 180, 140},
    {370, 290, 206, 158},  {428, 334, 244, 180},  {461, 365, 261, 197},  {523, 415, 295, 223},
    {589, 453, 325, 253},  {647, 507, 367, 283},  {721, 563, 397, 313},  {795, 627, 445, 341},
    {861, 669, 485, 385},  {932, 714, 512, 406},  {1006, 782, 568, 442}, {1094, 860, 614, 464},
    {1174, 914, 664, 514}, {1276, 1000, 718, 538}, {1370, 1062, 754, 596}, {1468, 1128, 808, 628},
    {1531, 1193, 871, 661}, {1631, 1267, 911, 701}, {1735, 1373, 985, 745}, {1843, 1455, 1033, 793},
    {1955, 1541, 1115, 845}, {2071, 1631, 1171, 901}, {2191, 1725, 1231, 961}, {2306, 1812, 1286, 986},
    {2434, 1914, 1354, 1054}, {2566, 1992, 1426, 1096}, {2702, 2102, 1502, 1142}, {2812, 2216, 1582, 1222},
    {2956, 2334, 1666, 1276},
};
constexpr std::uint8_t BLOCK_COUNT[41][4] = {
    {0, 0, 0, 0},     {1, 1, 1, 1},     {1, 1, 1, 1},     {1, 1, 2, 2},     {1, 2, 2, 4},     {1, 2, 4, 4},
    {2, 4, 4, 4},     {2, 4, 6, 5},     {2, 4, 6, 6},     {2, 5, 8, 8},     {4, 5, 8, 8},     {4, 5, 8, 11},
    {4, 8, 10, 11},   {4, 9, 12, 16},   {4, 9, 16, 16},   {6, 10, 12, 18},  {6, 10, 17, 16},  {6, 11, 16, 19},
    {6, 13, 18, 21},  {7, 14, 21, 25},  {8, 16, 20, 25},  {8, 17, 23, 25},  {9, 17, 23, 34},  {9, 18, 25, 30},
    {10, 20, 27, 32}, {12, 21, 29, 35}, {12, 23, 34, 37}, {12, 25, 34, 40}, {13, 26, 35, 42}, {14, 28, 38, 45},
    {15, 29, 40, 48}, {16, 31, 43, 51}, {17, 33, 45, 54}, {18, 35, 48, 57}, {19, 37, 51, 60}, {19, 38, 53, 63},
    {20, 40, 56, 66}, {21, 43, 59, 70}, {22, 45, 62, 74}, {24, 47, 65, 77}, {25, 49, 68, 81},
};

// ---------------------------------------------------------------- BCH codes

// The BCH remainder of `data` shifted left by `degree`, by the generator `g` of that degree.
int bchRemainder(int data, int g, int degree) {
    int v = data << degree;
    for (int b = 31 - __builtin_clz(static_cast<unsigned>(v | 1)); b >= degree; --b)
        if (v >> b & 1)
            v ^= g << (b - degree);
    return v;
}

// The 5 format bits (level bits, mask) nearest to either reading, or -1
// when both are more than 3 bits from every code word.
int decodeFormat(int first, int second) {
    int best = -1, bestDistance = 4;
    for (int data = 0; data < 32; ++data) {
        const int word = (data << 10 | bchRemainder(data, 0x537, 10)) ^ 0x5412;
        const int d = std::min(__builtin_popcount(static_cast<unsigned>(word ^ first)),
                               __builtin_popcount(static_cast<unsigned>(word ^ second)));
        if (d < bestDistance) {
            bestDistance = d;
            best = data;
        }
    }
    return best;
}

int decodeVersion(int first, int second) {
    int best = -1, bestDistance = 4;
    for (int v = 7; v <= 40; ++v) {
        const int word = v << 12 | bchRemainder(v, 0x1F25, 12);
        const int d = std::min(__builtin_popcount(static_cast<unsigned>(word ^ first)),
                               __builtin_popcount(static_cast<unsigned>(word ^ second)));
        if (d < bestDistance) {
            bestDistance = d;
            best = v;
        }
    }
    return best;
}

// ---------------------------------------------------------------- the bit stream

class BitReader {
public:
    BitReader(const std::vector<int>& bytes, int bits) : bytes_(bytes), bits_(bits) {}
    int left() const { return bits_ - at_; }
    // Whether the next `n` bits are all 0 (or fewer than `n` are left).
    bool zerosAhead(int n) const {
        if (left() < n)
            return true;
        for (int b = at_; b < at_ + n; ++b)
            if (bytes_[static_cast<std::size_t>(b >> 3)] >> (7 - (b & 7)) & 1)
                return false;
        return true;
    }
    int read(int bits) {
        int v = 0;
        for (int b = 0; b < bits; ++b, ++at_)
            v = v << 1 | (bytes_[static_cast<std::size_t>(at_ >> 3)] >> (7 - (at_ & 7)) & 1);
        return v;
    }

private:
    const std::vector<int>& bytes_;
    int bits_;
    int at_ = 0;
};

void appendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | cp >> 6);
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | cp >> 12);
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Shift JIS bytes (ECI 20) as UTF-8: ASCII as it is, the double-byte codes
// of JIS X 0208 through the Kanji table; false for anything else.
bool shiftJisToUtf8(const std::string& bytes, std::string& out) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        if (i + 1 == bytes.size())
            return false;
        const int code = c << 8 | static_cast<unsigned char>(bytes[++i]);
        const int offset = code >= 0x8140 && code <= 0x9FFC ? code - 0x8140 : code >= 0xE040 && code <= 0xEBBF ? code - 0xC140 : -1;
        const int value = offset < 0 ? -1 : (offset >> 8) * 0xC0 + (offset & 0xFF);
        if (value < 0 || (offset & 0xFF) >= 0xC0 || value >= QR_KANJI_VALUES || QR_KANJI_CODE_POINTS[value] == 0)
            return false;
        appendUtf8(out, QR_KANJI_CODE_POINTS[value]);
    }
    return true;
}

constexpr char ALPHANUMERIC[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";

// `n` digits (none read: n < 0), three to 10 bits.
bool readNumeric(BitReader& in, int n, std::string& out) {
    if (n < 0)
        return false;
    for (; n > 0; n -= 3) {
        const int digits = std::min(n, 3);
        const int bits = digits == 3 ? 10 : digits == 2 ? 7 : 4;
        if (in.left() < bits)
            return false;
        const int v = in.read(bits);
        if (v >= (digits == 3 ? 1000 : digits == 2 ? 100 : 10))
            return false;
        const std::string s = std::to_string(v + (digits == 3 ? 1000 : digits == 2 ? 100 : 10));
        out += s.substr(1);
    }
    return true;
}

// `n` alphanumeric characters, two to 11 bits; under FNC1 "%%" is a percent
// sign and a lone '%' the FNC1 separator GS.
bool readAlphanumeric(BitReader& in, int n, bool fnc1, std::string& out) {
    if (n < 0)
        return false;
    std::string seg;
    for (; n > 0; n -= 2) {
        const int bits = n >= 2 ? 11 : 6;
        if (in.left() < bits)
            return false;
        const int v = in.read(bits);
        if (n >= 2) {
            if (v >= 45 * 45)
                return false;
            seg += ALPHANUMERIC[v / 45];
            seg += ALPHANUMERIC[v % 45];
        } else {
            if (v >= 45)
                return false;
            seg += ALPHANUMERIC[v];
        }
    }
    for (std::size_t i = 0; i < seg.size(); ++i) {
        if (!fnc1 || seg[i] != '%') {
            out += seg[i];
        } else if (i + 1 < seg.size() && seg[i + 1] == '%') {
            out += '%';
            ++i;
        } else {
            out += '\x1D';
        }
    }
    return true;
}

// `n` Kanji characters of 13 bits, as UTF-8.
bool readKanji(BitReader& in, int n, std::string& out) {
    if (n < 0 || in.left() < 13 * n)
        return false;
    for (int i = 0; i < n; ++i) {
        const int v = in.read(13);
        if (v >= QR_KANJI_VALUES || QR_KANJI_CODE_POINTS[v] == 0)
            return false;
        appendUtf8(out, QR_KANJI_CODE_POINTS[v]);
    }
    return true;
}

// An ECI designator of one, two or three bytes.
bool readEciDesignator(BitReader& in, int& eci) {
    if (in.left() < 8)
        return false;
    int v = in.read(8);
    if ((v & 0x80) == 0) {
        // one byte
    } else if ((v & 0xC0) == 0x80) {
        if (in.left() < 8)
            return false;
        v = (v & 0x3F) << 8 | in.read(8);
    } else if ((v & 0xE0) == 0xC0) {
        if (in.left() < 16)
            return false;
        v = (v & 0x1F) << 16 | in.read(16);
    } else {
        return false;
    }
    eci = v;
    return true;
}

}  // namespace

bool decodeQrStream(const std::vector<int>& data, int bits, const StreamHeaders& h, Reading& r) {
    BitReader in(data, bits);
    bool fnc1 = false;
    int eci = -1;
    std::string prefix;
    while (!in.zerosAhead(h.terminatorBits)) {
        // No indicator (Micro QR's M1): numeric.
        const int indicator = h.indicatorBits > 0 ? in.read(h.indicatorBits) : h.mode[0];
        int mode = -1;
        for (int m = 0; m < StreamHeaders::MODES; ++m)
            if (h.mode[m] == indicator && (m >= 4 || h.countBits[m] > 0))
                mode = m;
        auto count = [&](int m) { return in.left() >= h.countBits[m] ? in.read(h.countBits[m]) : -1; };
        switch (mode) {
        case 0:  // numeric
            if (!readNumeric(in, count(0), r.data))
                return false;
            break;
        case 1:  // alphanumeric
            if (!readAlphanumeric(in, count(1), fnc1, r.data))
                return false;
            break;
        case 2: {  // byte
            const int n = count(2);
            if (n < 0 || in.left() < 8 * n)
                return false;
            std::string bytes;
            for (int i = 0; i < n; ++i)
                bytes += static_cast<char>(in.read(8));
            // Under ECI 20 the bytes are Shift JIS, returned as UTF-8 like Kanji
            // segments; under any other designator they stay as they are.
            if (eci != 20 || !shiftJisToUtf8(bytes, r.data))
                r.data += bytes;
            break;
        }
        case 3:  // Kanji
            if (!readKanji(in, count(3), r.data))
                return false;
            break;
        case 4:  // ECI designator: the bytes that follow are kept as they are
            if (!readEciDesignator(in, eci))
                return false;
            break;
        case 5:  // FNC1 in first position: GS1 data
            fnc1 = true;
            r.gs1 = true;
            break;
        case 6: {  // FNC1 in second position, after its application indicator
            if (in.left() < 8)
                return false;
            const int ai = in.read(8);
            fnc1 = true;
            if (ai < 100) {
                prefix = std::to_string(100 + ai).substr(1);
            } else if ((ai >= 165 && ai <= 190) || (ai >= 197 && ai <= 222)) {
                prefix = std::string(1, static_cast<char>(ai - 100));
            } else {
                return false;
            }
            break;
        }
        case 7:  // structured append
            if (in.left() < 16)
                return false;
            r.structuredIndex = in.read(4) + 1;
            r.structuredCount = in.read(4) + 1;
            r.structuredParity = in.read(8);
            break;
        default:
            return false;  // no mode of this reader
        }
    }
    r.data = prefix + r.data;
    return true;
}

namespace {

// QR Code's indicators (ISO/IEC 18004 Table 2) and count lengths (Table 3).
bool decodeStream(const std::vector<int>& data, int version, Reading& r) {
    const int range = version <= 9 ? 0 : version <= 26 ? 1 : 2;
    constexpr int COUNTS[3][4] = {{10, 9, 8, 8}, {12, 11, 16, 10}, {14, 13, 16, 12}};
    StreamHeaders h{4, 4, {0b0001, 0b0010, 0b0100, 0b1000, 0b0111, 0b0101, 0b1001, 0b0011}, {}};
    for (int m = 0; m < 4; ++m)
        h.countBits[m] = COUNTS[range][m];
    return decodeQrStream(data, static_cast<int>(data.size()) * 8, h, r);
}

// ---------------------------------------------------------------- the symbol

// Module centres in the picture: an affine map fixed by the three finder
// centres, which lie 3.5 modules in from the corners.
struct Grid {
    Point origin, right, down;  // per module
    int size;
    bool dark(const Picture& p, int row, int col) const {
        const double u = col + 0.5 - 3.5, v = row + 0.5 - 3.5;
        const double x = origin.x + u * right.x + v * down.x;
        const double y = origin.y + u * right.y + v * down.y;
        return p.dark(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)));
    }
};

Grid gridFor(Point topLeft, Point topRight, Point bottomLeft, int size) {
    const double span = size - 7;
    return {topLeft,
            {(topRight.x - topLeft.x) / span, (topRight.y - topLeft.y) / span},
            {(bottomLeft.x - topLeft.x) / span, (bottomLeft.y - topLeft.y) / span},
            size};
}

// Format information: bits 14 ... 0 around the top-left finder, and split
// between the other two; -1 when neither copy can be corrected.
int readFormat(const Picture& p, const Grid& g) {
    const int n = g.size;
    const int FIRST[15][2] = {{8, 0}, {8, 1}, {8, 2}, {8, 3}, {8, 4}, {8, 5}, {8, 7}, {8, 8},
                              {7, 8}, {5, 8}, {4, 8}, {3, 8}, {2, 8}, {1, 8}, {0, 8}};
    int first = 0, second = 0;
    for (const auto& rc : FIRST)
        first = first << 1 | g.dark(p, rc[0], rc[1]);
    for (int k = 0; k < 7; ++k)
        second = second << 1 | g.dark(p, n - 1 - k, 8);
    for (int k = 0; k < 8; ++k)
        second = second << 1 | g.dark(p, 8, n - 8 + k);
    return decodeFormat(first, second);
}

// The codeword bits unmasked: two-module columns from the right, upwards then downwards.
std::vector<int> readCodewords(const Picture& p, const Grid& g, int version, int mask) {
    auto maskAt = [mask](int i, int j) {
        switch (mask) {
        case 0: return (i + j) % 2 == 0;
        case 1: return i % 2 == 0;
        case 2: return j % 3 == 0;
        case 3: return (i + j) % 3 == 0;
        case 4: return (i / 2 + j / 3) % 2 == 0;
        case 5: return i * j % 2 + i * j % 3 == 0;
        case 6: return (i * j % 2 + i * j % 3) % 2 == 0;
        default: return ((i + j) % 2 + i * j % 3) % 2 == 0;
        }
    };
    std::vector<int> codewords;
    int current = 0, bits = 0;
    for (const auto& [row, col] : qrCodewordModules(version)) {
        current = current << 1 | (g.dark(p, row, col) != maskAt(row, col));
        if (++bits == 8) {
            codewords.push_back(current);
            current = bits = 0;
        }
    }
    return codewords;
}

// The blocks (version and level given, levelIndex L, M, Q, H) corrected
// into r.blocks, the data codewords into `data`; false with r.failure when
// they do not share into the blocks or cannot be corrected.
bool correctBlocks(const std::vector<int>& codewords, int version, int levelIndex, Reading& r, std::vector<int>& data) {
    const int dataTotal = DATA_CODEWORDS[version][levelIndex];
    const int blocks = BLOCK_COUNT[version][levelIndex];
    const int total = static_cast<int>(codewords.size());
    if ((total - dataTotal) % blocks != 0) {
        r.failure = "the QR Code's codewords do not share into its blocks";
        return false;
    }
    const int check = (total - dataTotal) / blocks;
    const int shortData = dataTotal / blocks, longBlocks = dataTotal % blocks;
    std::vector<std::vector<int>> block(static_cast<std::size_t>(blocks));
    r.blocks.assign(static_cast<std::size_t>(blocks), CodewordBlock{});
    int at = 0;
    auto take = [&](int b) {
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
    // Check words that only guard against misreading (Table 9's p).
    const int protection = version == 1 ? (levelIndex == 0 ? 3 : levelIndex == 1 ? 2 : 1)
                           : version == 2 && levelIndex == 0 ? 2
                           : version == 3 && levelIndex == 0 ? 1
                                                             : 0;
    for (std::size_t b = 0; b < block.size(); ++b) {
        std::vector<int>& words = block[b];
        const int fixed = correctErrors(qrField(), words, check);
        if (fixed < 0) {
            r.failure = "the QR Code's Reed-Solomon check words cannot correct its errors";
            r.blocks.clear();
            return false;
        }
        r.correctedCodewords += fixed;
        r.blocks[b].checkWords = check;
        r.blocks[b].protection = protection;
        r.blocks[b].corrected = fixed;
        data.insert(data.end(), words.begin(), words.end() - check);
    }
    return true;
}

Reading readGrid(const Picture& p, Point a, Point b, Point c, double module) {
    Reading r;
    // The size from the finders' spacing, a version's 4k + 17 modules.
    const double across = (distance(a, b) + distance(a, c)) / 2 / module + 7;
    int version = static_cast<int>(std::lround((across - 17) / 4));
    version = std::clamp(version, 1, 40);
    Grid g = gridFor(a, b, c, 17 + 4 * version);
    if (version >= 7) {
        int first = 0, second = 0;
        const int n = g.size;
        for (int i = 17; i >= 0; --i) {
            first = first << 1 | g.dark(p, i / 3, n - 11 + i % 3);
            second = second << 1 | g.dark(p, n - 11 + i % 3, i / 3);
        }
        const int read = decodeVersion(first, second);
        if (read < 0) {
            r.failure = "the QR Code version information cannot be corrected";
            return r;
        }
        if (read != version) {
            version = read;
            g = gridFor(a, b, c, 17 + 4 * version);
        }
    }
    const int n = g.size;
    const int format = readFormat(p, g);
    if (format < 0) {
        r.failure = "the QR Code format information cannot be corrected";
        return r;
    }
    constexpr char LEVELS[4] = {'M', 'L', 'H', 'Q'};  // by the two level bits
    const int level = format >> 3, mask = format & 7;
    r.qrVersion = version;
    r.qrLevel = LEVELS[level];
    r.qrMask = mask;
    r.size = n;

    const std::vector<int> codewords = readCodewords(p, g, version, mask);
    const int levelIndex = level == 1 ? 0 : level == 0 ? 1 : level == 3 ? 2 : 3;  // L, M, Q, H
    const int dataTotal = DATA_CODEWORDS[version][levelIndex];
    std::vector<int> data;
    if (!correctBlocks(codewords, version, levelIndex, r, data))
        return r;
    r.dataCodewords = dataTotal;
    r.grid = {g.origin.x, g.origin.y, 3, 3, g.right.x, g.right.y, g.down.x, g.down.y};
    if (!decodeStream(data, version, r)) {
        r.failure = "the QR Code's bit stream breaks off or holds a mode this reader does not know";
        r.data.clear();
        return r;
    }
    r.ok = true;
    return r;
}

Reading readPicture(const Picture& p) {
    Reading none;
    std::vector<Finder> finders = findFinders(p);
    // A finder is seen on every row through its middle three modules; data
    // that happens to look like one, on few. The likeliest first.
    std::sort(finders.begin(), finders.end(), [](const Finder& x, const Finder& y) { return x.seen > y.seen; });
    if (finders.size() > 24)
        finders.resize(24);
    none.failure = "no three QR Code finder patterns found";
    Reading best = none;
    for (std::size_t i = 0; i < finders.size(); ++i)
        for (std::size_t j = i + 1; j < finders.size(); ++j)
            for (std::size_t k = j + 1; k < finders.size(); ++k) {
                Finder f[3] = {finders[i], finders[j], finders[k]};
                const double m = (f[0].module + f[1].module + f[2].module) / 3;
                if (std::fabs(f[0].module - m) > m / 2 || std::fabs(f[1].module - m) > m / 2 ||
                    std::fabs(f[2].module - m) > m / 2)
                    continue;
                // The corner finder faces the longest side; the other two are
                // equally far from it, at a right angle.
                const double d01 = distance(f[0].centre, f[1].centre), d02 = distance(f[0].centre, f[2].centre),
                             d12 = distance(f[1].centre, f[2].centre);
                int corner = d12 >= d01 && d12 >= d02 ? 0 : d02 >= d01 ? 1 : 2;
                const Point a = f[corner].centre;
                Point b = f[(corner + 1) % 3].centre, c = f[(corner + 2) % 3].centre;
                const double ab = distance(a, b), ac = distance(a, c);
                if (ab < 7 * m || std::fabs(ab - ac) > 0.1 * std::max(ab, ac) ||
                    std::fabs(std::hypot(ab, ac) - distance(b, c)) > 0.1 * distance(b, c))
                    continue;
                // Clockwise from the corner (y grows downwards): top right, then bottom left.
                if ((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x) < 0)
                    std::swap(b, c);
                Reading r = readGrid(p, a, b, c, m);
                if (r.ok)
                    return r;
                if (best.failure == none.failure)
                    best = std::move(r);
            }
    return best;
}

}  // namespace

std::vector<std::pair<int, int>> qrCodewordModules(int version) {
    std::vector<std::pair<int, int>> out;
    if (version < 1 || version > 40)
        return out;
    const int n = 17 + 4 * version;
    const std::vector<std::uint8_t> function = functionMap(version);
    for (int col = n - 1, pass = 0; col > 0; col -= 2, ++pass) {
        if (col == 6)
            --col;
        for (int k = 0; k < n; ++k) {
            const int row = pass % 2 == 0 ? n - 1 - k : k;
            for (int c = col; c >= col - 1; --c)
                if (!function[static_cast<std::size_t>(row * n + c)])
                    out.emplace_back(row, c);
        }
    }
    out.resize(out.size() / 8 * 8);
    return out;
}

std::vector<int> qrAlignmentCentres(int version) { return alignmentCentres(version); }

Reading readQr(const GrayRaster& raster) {
    Reading r;
    r.failure = "no three QR Code finder patterns found";
    if (raster.width <= 0 || raster.height <= 0 ||
        raster.pixels.size() != static_cast<std::size_t>(raster.width) * static_cast<std::size_t>(raster.height))
        return r;
    r = readPicture(Picture{raster, false});
    if (!r.ok && r.qrVersion == 0) {
        Reading reversed = readPicture(Picture{raster, true});
        if (reversed.ok || reversed.qrVersion != 0)
            return reversed;
    }
    return r;
}

}  // namespace korvane::detail
