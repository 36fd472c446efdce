// Aztec Code (ISO/IEC 24778): finding the bull's-eye, the mode message, the
// layers, Reed-Solomon correction, and the decoding of the message.

#include "ReedSolomon.h"
#include "Readers.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace korvane::detail {
namespace {

// ---------------------------------------------------------------- the picture

struct Picture {
    const GrayRaster& raster;
    bool dark(int x, int y) const {
        return x >= 0 && y >= 0 && x < raster.width && y < raster.height && raster.at(x, y) < 128;
    }
};

// A run of one colour along a row or column: where it starts and how long it is.
struct Run {
    int start;
    int length;
    bool dark;
    double centre() const { return start + length / 2.0; }
};

std::vector<Run> runsAlong(const Picture& p, bool vertical, int at) {
    std::vector<Run> runs;
    const int length = vertical ? p.raster.height : p.raster.width;
    for (int i = 0; i < length; ++i) {
        const bool d = vertical ? p.dark(at, i) : p.dark(i, at);
        if (runs.empty() || runs.back().dark != d)
            runs.push_back({i, 1, d});
        else
            ++runs.back().length;
    }
    return runs;
}

// The bull's-eye's core seen along a line through its centre: dark, light,
// ... dark, each one module, the outermost dark ring possibly running on into
// dark modules beyond it. Edge to similar edge (a run and the next) measures
// two modules whatever print gain did, so the test uses those pairs.
bool coreAround(const std::vector<Run>& runs, std::size_t centre) {
    if (centre < 4 || centre + 4 >= runs.size() || !runs[centre].dark)
        return false;
    double sum = 0;
    for (std::size_t k = centre - 3; k < centre + 3; ++k)
        sum += runs[k].length + runs[k + 1].length;
    const double pair = sum / 6;
    for (std::size_t k = centre - 3; k < centre + 3; ++k) {
        const double p = runs[k].length + runs[k + 1].length;
        if (p < 0.75 * pair || p > 1.25 * pair)
            return false;
    }
    return runs[centre - 4].length >= pair / 4 && runs[centre + 4].length >= pair / 4;
}

// The run through (x, y) along a row (or column) and up to `side` runs on
// each side of it; `centre` receives the index of the run through (x, y).
std::vector<Run> runsAround(const Picture& p, bool vertical, int x, int y, int side, std::size_t& centre) {
    const int length = vertical ? p.raster.height : p.raster.width;
    auto dark = [&](int i) { return vertical ? p.dark(x, i) : p.dark(i, y); };
    const int at = vertical ? y : x;
    std::vector<Run> before, after;
    int from = at, to = at + 1;
    const bool colour = dark(at);
    while (from > 0 && dark(from - 1) == colour)
        --from;
    while (to < length && dark(to) == colour)
        ++to;
    const Run middle{from, to - from, colour};
    for (int k = 0, end = from; k < side && end > 0; ++k) {
        const bool c = dark(end - 1);
        int start = end - 1;
        while (start > 0 && dark(start - 1) == c)
            --start;
        before.push_back({start, end - start, c});
        end = start;
    }
    for (int k = 0, start = to; k < side && start < length; ++k) {
        const bool c = dark(start);
        int end = start + 1;
        while (end < length && dark(end) == c)
            ++end;
        after.push_back({start, end - start, c});
        start = end;
    }
    std::vector<Run> runs(before.rbegin(), before.rend());
    centre = runs.size();
    runs.push_back(middle);
    runs.insert(runs.end(), after.begin(), after.end());
    return runs;
}

// Where the symbol lies: its centre, module size and the turn that brings
// symbol coordinates (x right, y down, from the centre) into the picture.
// The turns are quarter turns, so a module's column in the picture depends on
// one of its coordinates only, and its row on the other: the pixel of every
// offset along each axis is worked out once.
class Grid {
public:
    Grid(const Picture& p, double cx, double cy, double module, int reach)
        : p_(p), reach_(reach), columns_(static_cast<std::size_t>(2 * reach + 1)),
          rows_(static_cast<std::size_t>(2 * reach + 1)) {
        for (int k = -reach; k <= reach; ++k) {
            columns_[static_cast<std::size_t>(k + reach)] = static_cast<int>(std::floor(cx + k * module));
            rows_[static_cast<std::size_t>(k + reach)] = static_cast<int>(std::floor(cy + k * module));
        }
    }
    void turn(int quarterTurns) { turn_ = quarterTurns & 3; }
    int turn() const { return turn_; }

    // Offsets beyond the reach read as light.
    bool dark(int x, int y) const {
        if (std::abs(x) > reach_ || std::abs(y) > reach_)
            return false;
        int u = x, v = y;  // turned clockwise: (x, y) -> (-y, x)
        switch (turn_) {
        case 1: u = -y; v = x; break;
        case 2: u = -x; v = -y; break;
        case 3: u = y; v = -x; break;
        default: break;
        }
        return p_.dark(columns_[static_cast<std::size_t>(u + reach_)], rows_[static_cast<std::size_t>(v + reach_)]);
    }

private:
    const Picture& p_;
    int reach_;
    int turn_ = 0;
    std::vector<int> columns_, rows_;
};

// ---------------------------------------------------------------- geometry

constexpr int COMPACT_FINDER = 4;  // bull's-eye radius in modules
constexpr int FULL_FINDER = 6;
constexpr int GRID_SPACING = 16;   // reference grid lines of full-range symbols
constexpr int MAX_REACH = 75;      // modules from the centre to the edge of the largest symbol (151 x 151)

// Orientation marks on the mode-message ring (radius r): per corner, the corner
// and its neighbours along the ring, dark or light. Top left: all three dark;
// top right: the corner and the one below; bottom right: the one above the
// corner; bottom left: none.
struct Mark {
    int x, y;  // multiples of r, and offsets
    bool dark;
};
std::vector<Mark> orientationMarks(int r) {
    return {
        {-r, -r, true},      {-r + 1, -r, true},  {-r, -r + 1, true},
        {r, -r, true},       {r, -r + 1, true},   {r - 1, -r, false},
        {r, r - 1, true},    {r, r, false},       {r - 1, r, false},
        {-r, r, false},      {-r + 1, r, false},  {-r, r - 1, false},
    };
}

// Positions along one side of the mode-message ring: -3 ... 3 in compact
// symbols, -5 ... 5 without the grid line 0 in full-range ones.
std::vector<int> modeSidePositions(bool compact) {
    std::vector<int> out;
    const int reach = compact ? 3 : 5;
    for (int k = -reach; k <= reach; ++k)
        if (compact || k != 0)
            out.push_back(k);
    return out;
}

// The offsets from the centre of the rows (or columns) that carry the mode
// message and the data, in order from the top (left): the grid lines of
// full-range symbols are passed over, so these are the symbol's coordinates
// without them. Compact: -(5 + 2L) ... 5 + 2L; full: 7 + 2L on each side, none 0.
std::vector<int> dataAxis(bool compact, int layers) {
    std::vector<int> axis;
    const int reach = (compact ? 5 : 7) + 2 * layers;
    for (int k = -reach; k <= reach; ++k) {
        if (compact) {
            axis.push_back(k);
        } else if (k != 0) {
            const int a = std::abs(k);
            const int actual = a + (a - 1) / (GRID_SPACING - 1);  // every 15 positions one grid line is skipped
            axis.push_back(k < 0 ? -actual : actual);
        }
    }
    return axis;
}

int symbolSize(bool compact, int layers) {
    const std::vector<int> axis = dataAxis(compact, layers);
    return 2 * axis.back() + 1;
}

// Codeword size by the number of layers.
int codewordBits(bool compact, int layers) {
    if (layers <= 2)
        return 6;
    if (compact || layers <= 8)
        return 8;
    return layers <= 22 ? 10 : 12;
}

// The data modules, layer by layer from the outside in: each layer is a ring
// two modules thick read in four strips (left side downwards, bottom
// rightwards, right side upwards, top leftwards), each strip as pairs of
// modules across it, outer module first; a strip runs from its corner to two
// modules short of the next, where the next strip begins.
template <typename Visit>
void forEachDataModule(bool compact, int layers, Visit&& visit) {
    const std::vector<int> axis = dataAxis(compact, layers);
    const int last = static_cast<int>(axis.size()) - 1;
    for (int layer = 0; layer < layers; ++layer) {
        const int low = 2 * layer, high = last - 2 * layer;
        const int length = high - low - 1;  // pairs per strip
        for (int j = 0; j < length; ++j)
            for (int k = 0; k < 2; ++k)
                visit(axis[low + k], axis[low + j]);
        for (int j = 0; j < length; ++j)
            for (int k = 0; k < 2; ++k)
                visit(axis[low + j], axis[high - k]);
        for (int j = 0; j < length; ++j)
            for (int k = 0; k < 2; ++k)
                visit(axis[high - k], axis[high - j]);
        for (int j = 0; j < length; ++j)
            for (int k = 0; k < 2; ++k)
                visit(axis[high - j], axis[low + k]);
    }
}

// ---------------------------------------------------------------- the message

// The character sets of ISO/IEC 24778: per mode, what each code stands for.
// Values 0-255 are bytes; two-byte punctuation is first * 256 + second;
// negative values are the mode changes.
enum Code : int {
    PS = -1,   // punctuation shift
    US = -2,   // upper shift
    BS = -3,   // binary (byte) shift
    UL = -4,   // latches
    LL = -5,
    ML = -6,
    PL = -7,
    DL = -8,
    FLG = -9,  // FLG(n): FNC1 or an ECI designator
};
enum Mode { UPPER, LOWER, MIXED, PUNCT, DIGIT };

constexpr int UPPER_SET[32] = {
    PS,  ' ', 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N',
    'O', 'P', 'Q', 'R', 'S', 'T', 'U', 'V', 'W', 'X', 'Y', 'Z', LL,  ML,  DL,  BS,
};
constexpr int LOWER_SET[32] = {
    PS,  ' ', 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n',
    'o', 'p', 'q', 'r', 's', 't', 'u', 'v', 'w', 'x', 'y', 'z', US,  ML,  DL,  BS,
};
constexpr int MIXED_SET[32] = {
    PS, ' ', 1,  2,   3,    4,   5,   6,   7,   8,   9,   10,  11, 12, 13, 27,
    28, 29,  30, 31,  '@', '\\', '^', '_', '`', '|', '~', 127, LL, UL, PL, BS,
};
constexpr int PUNCT_SET[32] = {
    FLG, '\r', '\r' * 256 + '\n', '.' * 256 + ' ', ',' * 256 + ' ', ':' * 256 + ' ', '!', '"',
    '#', '$',  '%',               '&',             '\'',            '(',             ')', '*',
    '+', ',',  '-',               '.',             '/',             ':',             ';', '<',
    '=', '>',  '?',               '[',             ']',             '{',             '}', UL,
};
constexpr int DIGIT_SET[16] = {PS, ' ', '0', '1', '2', '3', '4', '5', '6', '7', '8', '9', ',', '.', UL, US};
constexpr const int* SETS[] = {UPPER_SET, LOWER_SET, MIXED_SET, PUNCT_SET, DIGIT_SET};

class BitReader {
public:
    explicit BitReader(const std::vector<std::uint8_t>& bits) : bits_(bits) {}
    std::size_t position() const { return at_; }
    bool has(int n) const { return at_ + static_cast<std::size_t>(n) <= bits_.size(); }
    int read(int n) {
        int v = 0;
        for (int k = 0; k < n; ++k)
            v = v * 2 + bits_[at_++];
        return v;
    }
    // Whether everything from `from` on is 1: the padding that ends a message.
    bool onlyPaddingFrom(std::size_t from) const {
        return std::all_of(bits_.begin() + static_cast<std::ptrdiff_t>(from), bits_.end(),
                           [](std::uint8_t b) { return b == 1; });
    }

private:
    const std::vector<std::uint8_t>& bits_;
    std::size_t at_ = 0;
};

struct Message {
    std::string data;
    bool gs1 = false;
    int structuredIndex = 0, structuredCount = 0;
    std::string structuredId;
};

// A structured-append header: M/L U/L at the very start, then in upper case
// an optional message identifier between spaces, the symbol's position and
// the count as letters (A = 1). Returns a failure, or nothing.
std::optional<std::string> readStructuredAppend(BitReader& in, Message& m) {
    auto letter = [&]() -> int {
        if (!in.has(5))
            return -1;
        return UPPER_SET[in.read(5)];
    };
    int c = letter();
    if (c == ' ') {
        for (c = letter(); c >= 'A' && c <= 'Z'; c = letter())
            m.structuredId += static_cast<char>(c);
        if (c != ' ')
            return std::string("the structured-append message identifier is not closed by a space");
        c = letter();
    }
    const int count = letter();
    if (c < 'A' || c > 'Z' || count < 'A' || count > 'Z')
        return std::string("the structured-append header has no position and count");
    m.structuredIndex = c - 'A' + 1;
    m.structuredCount = count - 'A' + 1;
    if (m.structuredCount < 2 || m.structuredIndex > m.structuredCount)
        return "the structured-append header says symbol " + std::to_string(m.structuredIndex) + " of " +
               std::to_string(m.structuredCount);
    return std::nullopt;
}

// What reading the payload of a code came to.
enum class Item { Read, OutOfBits, Failed };

// A binary shift's length and bytes.
Item readBinaryShift(BitReader& in, Message& m) {
    if (!in.has(5))
        return Item::OutOfBits;
    int length = in.read(5);
    if (length == 0) {
        if (!in.has(11))
            return Item::OutOfBits;
        length = in.read(11) + 31;
    }
    if (!in.has(8 * length))
        return Item::OutOfBits;
    for (int k = 0; k < length; ++k)
        m.data += static_cast<char>(in.read(8));
    return Item::Read;
}

// FLG(n): FNC1, or an ECI designator of n digits.
Item readFlag(BitReader& in, std::size_t itemStart, Message& m, std::string& failure) {
    if (!in.has(3))
        return Item::OutOfBits;
    const int n = in.read(3);
    if (n == 0) {
        // FNC1: in first position it marks GS1 data; elsewhere it separates fields.
        if (m.data.empty())
            m.gs1 = true;
        else
            m.data += '\x1D';
    } else if (n == 7) {
        failure = "FLG(7) at bit " + std::to_string(itemStart) + " is reserved";
        return Item::Failed;
    } else {
        // An ECI designator of n digits; it changes the interpretation, not the bytes.
        if (!in.has(4 * n))
            return Item::OutOfBits;
        for (int k = 0; k < n; ++k) {
            const int digit = in.read(4);
            if (digit < 2 || digit > 11) {
                failure = "the ECI designator at bit " + std::to_string(itemStart) + " holds a non-digit";
                return Item::Failed;
            }
        }
    }
    return Item::Read;
}

// Decodes the bit stream; a failure says where it went wrong.
std::optional<std::string> decodeMessage(const std::vector<std::uint8_t>& bits, Message& m) {
    BitReader in(bits);
    Mode latched = UPPER;
    int shifted = -1;  // the mode of the next code only, after a shift
    if (in.has(10)) {
        BitReader probe = in;
        if (probe.read(5) == 29 && probe.read(5) == 29) {  // M/L then U/L: structured append
            in.read(10);
            if (auto failure = readStructuredAppend(in, m))
                return failure;
        }
    }
    for (;;) {
        const std::size_t itemStart = in.position();
        auto ended = [&]() -> std::optional<std::string> {
            if (in.onlyPaddingFrom(itemStart))
                return std::nullopt;
            return "the message ends inside a code at bit " + std::to_string(itemStart);
        };
        const Mode mode = static_cast<Mode>(shifted >= 0 ? shifted : latched);
        const int width = mode == DIGIT ? 4 : 5;
        if (!in.has(width))
            return ended();
        const int code = SETS[mode][in.read(width)];
        shifted = -1;
        if (code >= 0) {
            if (code > 255)
                m.data += static_cast<char>(code / 256);
            m.data += static_cast<char>(code & 0xFF);
            continue;
        }
        switch (code) {
        case PS: shifted = PUNCT; break;
        case US: shifted = UPPER; break;
        case UL: latched = UPPER; break;
        case LL: latched = LOWER; break;
        case ML: latched = MIXED; break;
        case PL: latched = PUNCT; break;
        case DL: latched = DIGIT; break;
        case BS:
        case FLG: {
            std::string failure;
            const Item item = code == BS ? readBinaryShift(in, m) : readFlag(in, itemStart, m, failure);
            if (item == Item::OutOfBits)
                return ended();
            if (item == Item::Failed)
                return failure;
            break;
        }
        default: break;
        }
    }
}

// ---------------------------------------------------------------- reading

struct ModeMessage {
    bool compact = false;
    int layers = 0;
    int dataCodewords = 0;
    bool readerInit = false;
    // The count's top bit is set in a symbol too large to mark reader
    // initialisation with it, where it must be part of the count.
    bool topBitOutsideReaderInit = false;
    int corrected = 0;
};

std::optional<ModeMessage> readModeMessage(const Grid& g, bool compact) {
    const int r = (compact ? COMPACT_FINDER : FULL_FINDER) + 1;
    const std::vector<int> side = modeSidePositions(compact);
    std::vector<int> bits;
    for (int k : side)
        bits.push_back(g.dark(k, -r));
    for (int k : side)
        bits.push_back(g.dark(r, k));
    for (auto k = side.rbegin(); k != side.rend(); ++k)
        bits.push_back(g.dark(*k, r));
    for (auto k = side.rbegin(); k != side.rend(); ++k)
        bits.push_back(g.dark(-r, *k));
    std::vector<int> words;
    for (std::size_t i = 0; i + 4 <= bits.size(); i += 4)
        words.push_back(bits[i] * 8 + bits[i + 1] * 4 + bits[i + 2] * 2 + bits[i + 3]);
    const int dataWords = compact ? 2 : 4;
    const int corrected = correctErrors(*aztecField(4), words, static_cast<int>(words.size()) - dataWords);
    if (corrected < 0)
        return std::nullopt;
    int value = 0;
    for (int k = 0; k < dataWords; ++k)
        value = value * 16 + words[static_cast<std::size_t>(k)];
    ModeMessage m;
    m.compact = compact;
    m.corrected = corrected;
    if (compact) {
        m.layers = (value >> 6) + 1;
        int n = value & 0x3F;
        // Reader initialisation sets the top bit of the count, which only a
        // one-layer compact symbol leaves free.
        if (m.layers == 1 && (n & 0x20)) {
            m.readerInit = true;
            n &= 0x1F;
        }
        m.topBitOutsideReaderInit = m.layers > 1 && (n & 0x20);
        m.dataCodewords = n + 1;
    } else {
        m.layers = (value >> 11) + 1;
        int n = value & 0x7FF;
        if (m.layers <= 22 && (n & 0x400)) {
            m.readerInit = true;
            n &= 0x3FF;
        }
        m.topBitOutsideReaderInit = m.layers > 22 && (n & 0x400);
        m.dataCodewords = n + 1;
    }
    return m;
}

// Full-range symbols continue the bull's-eye with a light ring at 5 and a dark one at 6.
bool looksCompact(const Grid& g) {
    int wrong = 0;
    for (int k = -6; k <= 6; ++k) {
        wrong += g.dark(k, -5) && std::abs(k) < 6;
        wrong += g.dark(k, 5) && std::abs(k) < 6;
        wrong += g.dark(-5, k) && std::abs(k) < 6;
        wrong += g.dark(5, k) && std::abs(k) < 6;
        wrong += !g.dark(k, -6) + !g.dark(k, 6) + !g.dark(-6, k) + !g.dark(6, k);
    }
    return wrong > 4;
}

// The mode message at the turn whose orientation marks fit best, and after
// it the others in order of fit; the grid is left at the turn that read.
std::optional<ModeMessage> findModeMessage(Grid& g, bool compact) {
    const int ring = (compact ? COMPACT_FINDER : FULL_FINDER) + 1;
    int score[4] = {};
    for (int turn = 0; turn < 4; ++turn) {
        g.turn(turn);
        for (const Mark& m : orientationMarks(ring))
            score[turn] += g.dark(m.x, m.y) == m.dark;
    }
    int order[4] = {0, 1, 2, 3};
    std::stable_sort(std::begin(order), std::end(order), [&](int a, int b) { return score[a] > score[b]; });
    std::optional<ModeMessage> mode;
    for (int turn : order) {
        if (score[turn] < 9)  // of 12 marks
            break;
        g.turn(turn);
        mode = readModeMessage(g, compact);
        if (mode)
            break;
    }
    return mode;
}

// The reference grid of full-range symbols: dark where x + y is even. The
// first module that is not, in words.
std::optional<std::string> referenceGridFault(const Grid& g, int half) {
    for (int a = -half; a <= half; ++a)
        for (int line = -half / GRID_SPACING * GRID_SPACING; line <= half; line += GRID_SPACING)
            for (int pass = 0; pass < 2; ++pass) {
                const int x = pass == 0 ? a : line, y = pass == 0 ? line : a;
                if (std::max(std::abs(x), std::abs(y)) <= FULL_FINDER + 1)
                    continue;  // the bull's-eye and the mode-message ring
                if (g.dark(x, y) != ((x + y) % 2 == 0))
                    return "the reference grid module at (" + std::to_string(x) + ", " + std::to_string(y) +
                           ") from the centre is " + (g.dark(x, y) ? "dark" : "light");
            }
    return std::nullopt;
}

// The data codewords read, corrected (what correction did goes into `out`)
// and unstuffed into the message's bits.
std::optional<std::string> readDataStream(const Grid& g, const ModeMessage& mode, Reading& out,
                                          std::vector<std::uint8_t>& stream) {
    // The layers' bits, outermost first; the stream starts after the bits
    // that do not fill a whole codeword.
    std::vector<std::uint8_t> raw;
    forEachDataModule(mode.compact, mode.layers, [&](int x, int y) { raw.push_back(g.dark(x, y) ? 1 : 0); });
    const int bits = codewordBits(mode.compact, mode.layers);
    const int total = static_cast<int>(raw.size()) / bits;
    const std::size_t skip = raw.size() % static_cast<std::size_t>(bits);
    if (mode.dataCodewords > total)
        return "the Aztec mode message gives " + std::to_string(mode.dataCodewords) +
               " data codewords; the symbol holds " + std::to_string(total);
    std::vector<int> words(static_cast<std::size_t>(total), 0);
    for (std::size_t k = 0; k < words.size(); ++k)
        for (int b = 0; b < bits; ++b)
            words[k] = words[k] * 2 + raw[skip + k * static_cast<std::size_t>(bits) + static_cast<std::size_t>(b)];
    const int corrected = correctErrors(*aztecField(bits), words, total - mode.dataCodewords);
    if (corrected < 0)
        return "the Aztec data has more errors than its " + std::to_string(total - mode.dataCodewords) +
               " check words correct (the syndromes do not vanish)";
    out.correctedCodewords = mode.corrected + corrected;
    out.correctedDataCodewords = corrected;
    out.checkCodewords = total - mode.dataCodewords;
    out.blocks.resize(1);
    out.blocks[0].words.resize(static_cast<std::size_t>(total));
    for (int k = 0; k < total; ++k)
        out.blocks[0].words[static_cast<std::size_t>(k)] = k;
    out.blocks[0].checkWords = total - mode.dataCodewords;
    out.blocks[0].corrected = corrected;

    // Bit stuffing: a codeword of all zeros or all ones is never written; one
    // whose first bits are all equal had its last bit stuffed.
    const int ones = (1 << bits) - 1;
    for (int k = 0; k < mode.dataCodewords; ++k) {
        const int w = words[static_cast<std::size_t>(k)];
        if (w == 0 || w == ones)
            return "Aztec data codeword " + std::to_string(k + 1) + " is all " + (w == 0 ? "zeros" : "ones");
        const int keep = (w >> 1) == 0 || (w >> 1) == (ones >> 1) ? bits - 1 : bits;
        for (int b = bits - 1; b >= bits - keep; --b)
            stream.push_back(static_cast<std::uint8_t>((w >> b) & 1));
    }
    return std::nullopt;
}

// Reads the symbol around a bull's-eye at (cx, cy). `modeRead` says whether
// it got as far as a valid mode message (whose failures say more than those
// of a bull's-eye that was none).
Reading readAt(const Picture& p, double cx, double cy, double module, bool& modeRead) {
    Reading out;
    modeRead = false;
    Grid g(p, cx, cy, module, MAX_REACH);
    const bool compact = looksCompact(g);
    const std::optional<ModeMessage> mode = findModeMessage(g, compact);
    if (!mode) {
        out.failure = "the Aztec mode message cannot be read or corrected";
        return out;
    }
    modeRead = true;
    auto fail = [&](std::string why) {
        if (mode->topBitOutsideReaderInit)
            why += " (the top bit of the mode message's codeword count is set, as reader initialisation would set it; "
                   "that marks reader initialisation only in compact symbols of one layer and full-range symbols of "
                   "up to 22 layers)";
        out.failure = std::move(why);
        return out;
    };
    const int size = symbolSize(compact, mode->layers);
    const int half = size / 2;
    if (std::floor(cx - half * module) < 0 || std::floor(cy - half * module) < 0 ||
        std::floor(cx + half * module) >= p.raster.width || std::floor(cy + half * module) >= p.raster.height)
        return fail("the " + std::to_string(size) + " x " + std::to_string(size) +
                    " Aztec symbol the mode message describes runs off the picture");
    out.compact = compact;
    out.centreX = cx;
    out.centreY = cy;
    out.modulePixels = module;
    out.quarterTurns = g.turn();
    {
        // Turned clockwise, the symbol's x step runs down the picture.
        constexpr int ACROSS[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
        const int t = g.turn();
        out.grid = {cx, cy, half, half, ACROSS[t][0] * module, ACROSS[t][1] * module,
                    -ACROSS[t][1] * module, ACROSS[t][0] * module};
    }
    out.layers = mode->layers;
    out.size = size;
    out.dataCodewords = mode->dataCodewords;
    out.readerInit = mode->readerInit;

    if (!compact) {
        if (auto fault = referenceGridFault(g, half))
            return fail(*fault);
    }
    std::vector<std::uint8_t> stream;
    if (auto failure = readDataStream(g, *mode, out, stream))
        return fail(*failure);
    Message message;
    if (auto failure = decodeMessage(stream, message))
        return fail("the Aztec message does not decode: " + *failure);
    out.ok = true;
    out.data = std::move(message.data);
    out.gs1 = message.gs1;
    out.structuredIndex = message.structuredIndex;
    out.structuredCount = message.structuredCount;
    out.structuredId = std::move(message.structuredId);
    return out;
}

// Runs of one colour along a line, as (dark, length).
struct Stretch {
    bool dark;
    double length;
};
void addStretch(std::vector<Stretch>& out, bool dark, double length) {
    if (!out.empty() && out.back().dark == dark)
        out.back().length += length;
    else
        out.push_back({dark, length});
}

std::string describeLine(bool column, int k) {
    return std::string(column ? "module column " : "module row ") + std::to_string(k) + " from the centre";
}

// One row (column false) or column of modules at offset k from the centre:
// the runs its modules make against the runs of pixels through their centres.
std::string lineFault(const Picture& p, const Reading& r, bool column, int k, int half) {
    const double m = r.modulePixels;
    const int across = static_cast<int>(std::floor((column ? r.centreX : r.centreY) + k * m));
    const double centre = column ? r.centreY : r.centreX;
    auto dark = [&](int along) { return column ? p.dark(across, along) : p.dark(along, across); };
    // The modules, with one light module beyond each edge of the symbol.
    std::vector<Stretch> modules;
    addStretch(modules, false, 1);
    for (int u = -half; u <= half; ++u)
        addStretch(modules, dark(static_cast<int>(std::floor(centre + u * m))), 1);
    addStretch(modules, false, 1);
    std::vector<Stretch> pixels;
    const int from = static_cast<int>(std::floor(centre - (half + 1.5) * m));
    const int to = static_cast<int>(std::floor(centre + (half + 1.5) * m));
    addStretch(pixels, false, 1);
    // Pixels (from, to) along the line; off the picture they are light. Runs
    // are counted straight from the raster's memory: verifying spends most here.
    const GrayRaster& raster = p.raster;
    const int length = column ? raster.height : raster.width;
    const bool onPicture = across >= 0 && across < (column ? raster.width : raster.height);
    const int a0 = std::clamp(from + 1, 0, length), a1 = std::clamp(to, 0, length);
    addStretch(pixels, false, std::max(0, std::min(a0, to) - (from + 1)));
    if (a0 < a1) {
        if (onPicture) {
            const std::size_t w = static_cast<std::size_t>(raster.width);
            const std::uint8_t* at = column ? raster.pixels.data() + static_cast<std::size_t>(a0) * w + across
                                            : raster.pixels.data() + static_cast<std::size_t>(across) * w + a0;
            const std::size_t step = column ? w : 1;
            bool colour = *at < 128;
            int count = 0;
            for (int a = a0; a < a1; ++a, at += step) {
                const bool d = *at < 128;
                if (d != colour) {
                    addStretch(pixels, colour, count);
                    colour = d;
                    count = 0;
                }
                ++count;
            }
            addStretch(pixels, colour, count);
        } else {
            addStretch(pixels, false, a1 - a0);
        }
    }
    addStretch(pixels, false, std::max(0, to - std::max(a1, from + 1)));
    addStretch(pixels, false, 1);
    if (pixels.size() != modules.size())
        return describeLine(column, k) + " shows " + std::to_string(pixels.size()) + " runs of dark and light where its " +
               "modules make " + std::to_string(modules.size()) + " (light lines between dark modules, or modules run together)";
    constexpr double MAX_GROWTH = 0.25;  // modules
    for (std::size_t i = 1; i + 1 < pixels.size(); ++i) {
        const double off = pixels[i].length / m - modules[i].length;
        if (std::fabs(off) > MAX_GROWTH + 1e-9) {
            char buf[160];
            std::snprintf(buf, sizeof buf, "a %s run of %.0f module%s measures %.0f pixels at %.2f pixels a module, %.2f "
                          "modules %s; scanners allow %.2f",
                          pixels[i].dark ? "dark" : "light", modules[i].length, modules[i].length == 1 ? "" : "s", pixels[i].length, m, std::fabs(off),
                          off > 0 ? "wide" : "narrow", MAX_GROWTH);
            return describeLine(column, k) + ": " + buf;
        }
    }
    return {};
}

// The bull's-eye's rings inside the outermost dark one, edge to similar edge
// along the row and the column through the centre.
std::string bullsEyeFault(const Picture& p, const Reading& r) {
    const int finder = r.compact ? COMPACT_FINDER : FULL_FINDER;
    for (int pass = 0; pass < 2; ++pass) {
        const bool vertical = pass == 1;
        std::size_t c = 0;
        const std::vector<Run> runs = runsAround(p, vertical, static_cast<int>(std::floor(r.centreX)),
                                                 static_cast<int>(std::floor(r.centreY)), finder, c);
        if (c < static_cast<std::size_t>(finder) || c + static_cast<std::size_t>(finder) >= runs.size())
            return "the bull's-eye's rings are not all there";
        double low = 1e9, high = 0;
        for (std::size_t j = c - static_cast<std::size_t>(finder) + 1; j + 1 < c + static_cast<std::size_t>(finder); ++j) {
            const double pair = runs[j].length + runs[j + 1].length;
            low = std::min(low, pair);
            high = std::max(high, pair);
        }
        constexpr double MAX_SPREAD = 0.1;  // modules
        if ((high - low) / r.modulePixels > MAX_SPREAD + 1e-9) {
            char buf[200];
            std::snprintf(buf, sizeof buf,
                          "the bull's-eye is not square: along its %s its rings measure %.0f to %.0f pixels edge to "
                          "similar edge (%.2f modules apart; scanners place the grid from it)",
                          vertical ? "column" : "row", low, high, (high - low) / r.modulePixels);
            return buf;
        }
    }
    return {};
}

}  // namespace

std::string aztecPictureFault(const GrayRaster& raster, const Reading& reading) {
    if (!reading.ok || reading.modulePixels < 1 || reading.size < 1)
        return "no Aztec symbol was read";
    const Picture p{raster};
    if (std::string why = bullsEyeFault(p, reading); !why.empty())
        return why;
    const int half = reading.size / 2;
    for (int pass = 0; pass < 2; ++pass)
        for (int k = -half; k <= half; ++k)
            if (std::string why = lineFault(p, reading, pass == 1, k, half); !why.empty())
                return why;
    return {};
}

std::vector<std::pair<int, int>> aztecDataModules(bool compact, int layers) {
    std::vector<std::pair<int, int>> out;
    if (layers < 1 || layers > (compact ? 4 : 32))
        return out;
    forEachDataModule(compact, layers, [&](int x, int y) { out.emplace_back(x, y); });
    return out;
}

Reading readAztec(const GrayRaster& raster) {
    Reading best;
    best.failure = "no Aztec bull's-eye found";
    if (raster.width <= 0 || raster.height <= 0 ||
        raster.pixels.size() != static_cast<std::size_t>(raster.width) * static_cast<std::size_t>(raster.height))
        return best;
    const Picture p{raster};
    // Rows from the middle outwards, as a scanner aims at the middle; a
    // bull's-eye must be confirmed across the column through its centre too.
    constexpr int MAX_CANDIDATES = 64;
    int candidates = 0;
    bool bestModeRead = false;
    // A bull's-eye is seen from every row through its centre module: read it once.
    std::vector<std::pair<double, double>> tried;
    for (int step = 0; step < raster.height && candidates < MAX_CANDIDATES; ++step) {
        const int y = raster.height / 2 + (step % 2 ? (step + 1) / 2 : -(step / 2));
        if (y < 0 || y >= raster.height)
            continue;
        const std::vector<Run> row = runsAlong(p, false, y);
        for (std::size_t i = 4; i + 4 < row.size() && candidates < MAX_CANDIDATES; ++i) {
            if (!coreAround(row, i))
                continue;
            const int x = static_cast<int>(row[i].centre());
            std::size_t j = 0, c = 0;
            const std::vector<Run> column = runsAround(p, true, x, y, 4, j);
            if (!coreAround(column, j))
                continue;
            ++candidates;
            // The centre and module size from the centres of the dark runs,
            // which print gain leaves where they are.
            const double cy = column[j].centre();
            const std::vector<Run> through = runsAround(p, false, x, static_cast<int>(cy), 4, c);
            if (!coreAround(through, c))
                continue;
            const double cx = through[c].centre();
            const double module =
                (through[c + 2].centre() - through[c - 2].centre() + column[j + 2].centre() - column[j - 2].centre()) /
                8.0;
            if (module < 1 || std::any_of(tried.begin(), tried.end(), [&](const std::pair<double, double>& t) {
                    return std::fabs(t.first - cx) < module && std::fabs(t.second - cy) < module;
                }))
                continue;
            tried.emplace_back(cx, cy);
            bool modeRead = false;
            Reading r = readAt(p, cx, cy, module, modeRead);
            if (r.ok)
                return r;
            if (modeRead || !bestModeRead) {
                best = std::move(r);
                bestModeRead = bestModeRead || modeRead;
            }
        }
    }
    return best;
}

}  // namespace korvane::detail
