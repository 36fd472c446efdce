// QR Code (ISO/IEC 18004): the message read into units, the bit stream,
// Reed-Solomon blocks, the function patterns, module placement, the masks
// scored a row at a time, and the format and version information.

#include "Qr.h"

#include "QrKanjiTable.h"
#include "QrTables.h"
#include "../base/Text.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>
#include <string>
#include <vector>

namespace korvane::qr {
namespace detail {
namespace {

// ------------------------------------------------------------ the message

constexpr char ALNUM_CHARS[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";
static_assert(sizeof ALNUM_CHARS - 1 == 45, "ISO/IEC 18004 Table 5 has 45 characters");

// The alphanumeric value of each byte (ISO/IEC 18004 Table 5), -1 outside the set.
constexpr std::array<std::int8_t, 256> alnumValues() {
    std::array<std::int8_t, 256> t{};
    for (auto& v : t)
        v = -1;
    for (int i = 0; i < 45; ++i)
        t[static_cast<unsigned char>(ALNUM_CHARS[i])] = static_cast<std::int8_t>(i);
    return t;
}
constexpr std::array<std::int8_t, 256> ALNUM = alnumValues();
static_assert(ALNUM['0'] == 0 && ALNUM['A'] == 10 && ALNUM[' '] == 36 && ALNUM[':'] == 44 && ALNUM['a'] == -1);

constexpr int GS = 0x1D;

constexpr std::uint8_t bit(Mode m) { return static_cast<std::uint8_t>(1 << static_cast<int>(m)); }

// Length of the UTF-8 sequence at data[i] and its code point; 0 when the
// bytes there are no well-formed sequence (overlong forms, surrogates and
// values past U+10FFFF included).
int utf8At(const std::string& data, std::size_t i, std::uint32_t& cp) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(data[k]); };
    const unsigned c = b(i);
    int len = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    if (len == 0 || i + static_cast<std::size_t>(len) > data.size())
        return 0;
    cp = len == 1 ? c : len == 2 ? c & 0x1F : len == 3 ? c & 0x0F : c & 0x07;
    for (int k = 1; k < len; ++k) {
        const unsigned t = b(i + static_cast<std::size_t>(k));
        if ((t & 0xC0) != 0x80)
            return 0;
        cp = cp << 6 | (t & 0x3F);
    }
    constexpr std::uint32_t LEAST[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < LEAST[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

// Characters the peer readers map differently from the Shift JIS codec the
// table comes from (their tables disagree on a few symbols); they go in byte
// mode as UTF-8, so that every reader returns the character typed. Found by
// encoding every character of the table, in Kanji mode and as Shift JIS bytes
// under ECI 20, and reading it with zxing-cpp 1.4 and zbar 0.23: only the
// minus sign of 0x817C (U+2212) came back otherwise.
constexpr std::uint32_t UNRELIABLE_IN_KANJI = 0x2212;

// The worked examples of Kanji mode in ISO/IEC 18004: U+70B9 (0x935F) and U+8317 (0xE4AA).
static_assert(QR_KANJI_CODE_POINTS[0x0D9F] == 0x70B9 && QR_KANJI_CODE_POINTS[0x1AAA] == 0x8317);

// The table inverted, sorted by code point, made once when first needed.
struct KanjiEntry {
    std::uint16_t codePoint;
    std::uint16_t value;
};

const std::vector<KanjiEntry>& kanjiByCodePoint() {
    static const std::vector<KanjiEntry> entries = [] {
        std::vector<KanjiEntry> e;
        e.reserve(QR_KANJI_CHARACTERS);
        for (int v = 0; v < QR_KANJI_VALUES; ++v)
            if (QR_KANJI_CODE_POINTS[v] != 0 && QR_KANJI_CODE_POINTS[v] != UNRELIABLE_IN_KANJI)
                e.push_back({QR_KANJI_CODE_POINTS[v], static_cast<std::uint16_t>(v)});
        std::sort(e.begin(), e.end(), [](const KanjiEntry& x, const KanjiEntry& y) { return x.codePoint < y.codePoint; });
        return e;
    }();
    return entries;
}

int kanjiValue(std::uint32_t cp) {
    const std::vector<KanjiEntry>& table = kanjiByCodePoint();
    const auto e = std::lower_bound(table.begin(), table.end(), cp,
                                    [](const KanjiEntry& k, std::uint32_t c) { return k.codePoint < c; });
    return e != table.end() && e->codePoint == cp ? e->value : -1;
}

// What the encoder works from: the data with FNC1 resolved, where the ECI
// designators go, and the header that comes before the segments.
struct Input {
    std::string data;                 // bytes to encode; GS for an FNC1 separator
    std::vector<Marker> ecis;         // explicit designators, positions in `data`
    bool fnc1First = false;
    int applicationIndicator = -1;    // FNC1 in second position: 0-99, or a letter's code + 100
    std::string indicatorText;        // the indicator as readers put it before the data
};

Error invalid(const std::string& why) { return {ErrorCode::InvalidData, "QR Code " + why}; }

Result<Input> readMessage(const Message& m) {
    Input in;
    in.fnc1First = m.gs1;
    std::size_t taken = 0;  // bytes of m.bytes moved into the indicator
    bool fnc1 = m.gs1;
    std::vector<Marker> fnc1s;
    for (const Marker& k : m.markers) {
        if (k.position > m.bytes.size())
            return invalid("has a marker after the end of the data");
        if (k.kind == MarkerKind::Eci) {
            if (k.eci < 0 || k.eci > 999999)
                return Error{ErrorCode::InvalidOption, "an ECI designator is 0 to 999999, not " + std::to_string(k.eci)};
            continue;
        }
        if (!fnc1 && fnc1s.empty()) {
            // The first FNC1: at the start it makes GS1 data; after a letter or
            // two digits it makes that the application indicator.
            const std::string& b = m.bytes;
            const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
            const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
            if (k.position == 0) {
                in.fnc1First = true;
            } else if (k.position == 1 && isLetter(b[0])) {
                in.applicationIndicator = static_cast<unsigned char>(b[0]) + 100;
                taken = 1;
            } else if (k.position == 2 && isDigit(b[0]) && isDigit(b[1])) {
                in.applicationIndicator = (b[0] - '0') * 10 + (b[1] - '0');
                taken = 2;
            } else {
                return invalid("takes FNC1 only first, after an application indicator (a letter or two digits), "
                               "or as a separator after those; FNC1 at position " +
                               std::to_string(k.position + 1));
            }
            fnc1 = true;
            continue;
        }
        if (!fnc1)
            return invalid("takes FNC1 at position " + std::to_string(k.position + 1) + " only in GS1 data");
        fnc1s.push_back(k);
    }
    if (in.applicationIndicator >= 0)
        in.indicatorText = m.bytes.substr(0, taken);
    // The data less the indicator, with GS for each separator FNC1 and the
    // designators' positions moved with it.
    std::size_t f = 0;
    for (std::size_t i = taken; i <= m.bytes.size(); ++i) {
        for (const Marker& k : m.markers)
            if (k.kind == MarkerKind::Eci && k.position == i)
                in.ecis.push_back({MarkerKind::Eci, in.data.size(), k.eci});
        while (f < fnc1s.size() && fnc1s[f].position == i) {
            in.data += static_cast<char>(GS);
            ++f;
        }
        if (i < m.bytes.size())
            in.data += m.bytes[i];
    }
    for (const Marker& k : m.markers)
        if (k.kind == MarkerKind::Eci && k.position < taken)
            return invalid("cannot carry an ECI designator inside its application indicator");
    if (in.data.empty() && in.ecis.empty())
        return invalid("has no data to encode");
    return in;
}

// In FNC1 data an alphanumeric '%' stands for GS, and "%%" for '%'. The
// encoder writes GS that way but puts '%' itself in byte mode: zxing-cpp 1.4
// drops the rest of an alphanumeric segment after "%%".
bool takesAlnum(unsigned char c, bool fnc1) { return fnc1 ? c == GS || (ALNUM[c] >= 0 && c != '%') : ALNUM[c] >= 0; }

// Two separators in a row would read "%%", a percent sign, in one
// alphanumeric segment: the first of them goes in byte mode.
void separateSeparators(const Input& in, bool fnc1, std::vector<Unit>& units) {
    if (!fnc1)
        return;
    for (std::size_t i = 0; i + 1 < units.size(); ++i)
        if (in.data[units[i].at] == GS && in.data[units[i + 1].at] == GS)
            units[i].modes &= static_cast<std::uint8_t>(~bit(Mode::Alphanumeric));
}

// Units of bytes: numeric, alphanumeric or byte.
std::vector<Unit> byteUnits(const Input& in, bool fnc1) {
    std::vector<Unit> units(in.data.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        const auto c = static_cast<unsigned char>(in.data[i]);
        Unit& u = units[i];
        u.at = static_cast<std::uint32_t>(i);
        u.modes = bit(Mode::Byte);
        if (c >= '0' && c <= '9')
            u.modes |= bit(Mode::Numeric);
        if (takesAlnum(c, fnc1))
            u.modes |= bit(Mode::Alphanumeric);
    }
    separateSeparators(in, fnc1, units);
    return units;
}

// Units of UTF-8 text: one per character, Kanji where JIS X 0208 has it.
std::vector<Unit> textUnits(const Input& in, bool fnc1, bool kanji) {
    std::vector<Unit> units;
    for (std::size_t i = 0; i < in.data.size();) {
        std::uint32_t cp = 0;
        const int len = utf8At(in.data, i, cp);
        Unit u;
        u.at = static_cast<std::uint32_t>(i);
        u.bytes = static_cast<std::uint8_t>(len);
        u.modes = bit(Mode::Byte);
        if (len == 1) {
            const auto c = static_cast<unsigned char>(cp);
            if (c >= '0' && c <= '9')
                u.modes |= bit(Mode::Numeric);
            if (takesAlnum(c, fnc1))
                u.modes |= bit(Mode::Alphanumeric);
        } else if (const int v = kanji ? kanjiValue(cp) : -1; v >= 0) {
            u.modes |= bit(Mode::Kanji);
            u.kanji = static_cast<std::uint16_t>(v);
        }
        units.push_back(u);
        i += static_cast<std::size_t>(len);
    }
    separateSeparators(in, fnc1, units);
    return units;
}

bool validUtf8(const std::string& s, bool& nonAscii) {
    nonAscii = false;
    for (std::size_t i = 0; i < s.size();) {
        std::uint32_t cp = 0;
        const int len = utf8At(s, i, cp);
        if (len == 0)
            return false;
        nonAscii = nonAscii || len > 1;
        i += static_cast<std::size_t>(len);
    }
    return true;
}

int eciBits(int eci) { return 4 + (eci < 128 ? 8 : eci < 16384 ? 16 : 24); }

// ------------------------------------------------------------ the bit stream

class BitWriter {
public:
    void put(std::uint32_t value, int bits) {
        for (int b = bits - 1; b >= 0; --b) {
            if (count_ % 8 == 0)
                bytes_.push_back(0);
            if ((value >> b) & 1)
                bytes_.back() |= static_cast<std::uint8_t>(0x80 >> (count_ % 8));
            ++count_;
        }
    }
    int bits() const { return count_; }
    std::vector<std::uint8_t>& bytes() { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
    int count_ = 0;
};

void putEci(BitWriter& w, int eci) {
    w.put(0b0111, 4);
    if (eci < 128)
        w.put(static_cast<std::uint32_t>(eci), 8);
    else if (eci < 16384)
        w.put(0x8000u | static_cast<std::uint32_t>(eci), 16);
    else
        w.put(0xC00000u | static_cast<std::uint32_t>(eci), 24);
}

constexpr std::uint32_t MODE_INDICATOR[4] = {0b0001, 0b0010, 0b0100, 0b1000};

// The alphanumeric characters of a unit (its value, or "%%" for '%' in FNC1 data).
int alnumOf(unsigned char c, bool fnc1) { return fnc1 && c == GS ? ALNUM['%'] : ALNUM[c]; }

// Writes the segments of `units` as `modes` chose them; false when a count
// does not fit its field (never for data a version holds).
bool putSegments(BitWriter& w, const Input& in, const std::vector<Unit>& units, const std::vector<Mode>& modes,
                 int range, bool fnc1, std::vector<Segment>& segments) {
    std::size_t i = 0;
    while (i < units.size()) {
        if (units[i].eciBefore)
            for (const Marker& e : in.ecis)
                if (e.position == units[i].at)
                    putEci(w, e.eci);
        const Mode mode = modes[i];
        std::size_t end = i + 1;
        while (end < units.size() && modes[end] == mode && !units[end].eciBefore)
            ++end;
        int count = 0;
        for (std::size_t k = i; k < end; ++k)
            count += mode == Mode::Byte ? units[k].bytes : mode == Mode::Alphanumeric ? units[k].alnum : 1;
        if (count >= 1 << countBits(mode, range))
            return false;
        w.put(MODE_INDICATOR[static_cast<int>(mode)], 4);
        w.put(static_cast<std::uint32_t>(count), countBits(mode, range));
        segments.push_back({mode, count});
        const auto byteAt = [&](std::size_t k) { return static_cast<unsigned char>(in.data[units[k].at]); };
        switch (mode) {
        case Mode::Numeric:
            for (std::size_t k = i; k < end; k += 3) {
                const std::size_t n = std::min<std::size_t>(3, end - k);
                std::uint32_t v = 0;
                for (std::size_t j = 0; j < n; ++j)
                    v = v * 10 + (byteAt(k + j) - '0');
                w.put(v, n == 3 ? 10 : n == 2 ? 7 : 4);
            }
            break;
        case Mode::Alphanumeric: {
            int pending = -1;
            for (std::size_t k = i; k < end; ++k) {
                const unsigned char c = byteAt(k);
                for (int r = 0; r < units[k].alnum; ++r) {
                    const int v = alnumOf(c, fnc1);
                    if (pending < 0) {
                        pending = v;
                    } else {
                        w.put(static_cast<std::uint32_t>(pending * 45 + v), 11);
                        pending = -1;
                    }
                }
            }
            if (pending >= 0)
                w.put(static_cast<std::uint32_t>(pending), 6);
            break;
        }
        case Mode::Byte:
            for (std::size_t k = i; k < end; ++k) {
                if (units[k].sjis) {
                    // The Kanji-mode value back to its Shift JIS code (ISO/IEC 18004 7.4.6, reversed).
                    const int v = units[k].kanji;
                    const int code = ((v / 0xC0) << 8 | v % 0xC0) + (v / 0xC0 <= 0x1E ? 0x8140 : 0xC140);
                    w.put(static_cast<std::uint32_t>(code), 16);
                    continue;
                }
                for (int b = 0; b < units[k].bytes; ++b)
                    w.put(static_cast<unsigned char>(in.data[units[k].at + static_cast<std::uint32_t>(b)]), 8);
            }
            break;
        case Mode::Kanji:
            for (std::size_t k = i; k < end; ++k)
                w.put(units[k].kanji, 13);
            break;
        }
        i = end;
    }
    return true;
}

// ------------------------------------------------------------ Reed-Solomon

// GF(256) modulo x^8+x^4+x^3+x^2+1 (0x11D), alpha = x.
struct Field {
    std::array<std::uint8_t, 512> exp{};
    std::array<int, 256> log{};
    constexpr Field() {
        int v = 1;
        for (int i = 0; i < 255; ++i) {
            exp[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v);
            exp[static_cast<std::size_t>(i + 255)] = static_cast<std::uint8_t>(v);
            log[static_cast<std::size_t>(v)] = i;
            v <<= 1;
            if (v & 0x100)
                v ^= 0x11D;
        }
        exp[510] = exp[0];
        exp[511] = exp[1];
    }
};
constexpr Field GF;
static_assert(GF.exp[8] == 0x1D && GF.exp[255] == 1 && GF.log[2] == 1);

// --------------------------------------------------------------- matrices

// Set bits of a word without a library call: x86-64's baseline has no
// popcount instruction, and the call costs more than these few operations.
[[gnu::always_inline]] constexpr int bitCount(std::uint64_t x) {
    x -= (x >> 1) & 0x5555555555555555u;
    x = (x & 0x3333333333333333u) + ((x >> 2) & 0x3333333333333333u);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
    return static_cast<int>((x * 0x0101010101010101u) >> 56);
}
static_assert(bitCount(0) == 0 && bitCount(~std::uint64_t{0}) == 64 && bitCount(0x8000000000000001u) == 2);

// A row (or column) of modules as bits, bit j for module j, in W words: one
// for symbols up to 64 modules across (versions 1-11), three for the largest.
// Its operations are always inlined: where the build optimises for size (the
// WebAssembly module) they would stay calls that pass their words through
// memory, and choosing the mask took most of the time of a whole symbol.
#define KV_LINE_OP [[gnu::always_inline]] inline
template <int W>
struct Line {
    std::uint64_t w[W] = {};

    KV_LINE_OP Line() = default;

    KV_LINE_OP void set(int j) { w[j >> 6] |= std::uint64_t{1} << (j & 63); }
    KV_LINE_OP bool get(int j) const { return (w[j >> 6] >> (j & 63)) & 1; }
    KV_LINE_OP static Line of(const std::uint64_t* words) {
        Line l;
        for (int i = 0; i < W; ++i)
            l.w[i] = words[i];
        return l;
    }
    KV_LINE_OP friend Line operator&(Line a, const Line& b) {
        for (int i = 0; i < W; ++i)
            a.w[i] &= b.w[i];
        return a;
    }
    KV_LINE_OP friend Line operator|(Line a, const Line& b) {
        for (int i = 0; i < W; ++i)
            a.w[i] |= b.w[i];
        return a;
    }
    KV_LINE_OP friend Line operator^(Line a, const Line& b) {
        for (int i = 0; i < W; ++i)
            a.w[i] ^= b.w[i];
        return a;
    }
    KV_LINE_OP Line operator~() const {
        Line l;
        for (int i = 0; i < W; ++i)
            l.w[i] = ~w[i];
        return l;
    }
    // Bit j takes bit j + k (k 1-63); the top bits become 0.
    KV_LINE_OP Line down(int k) const {
        Line l;
        for (int i = 0; i < W; ++i)
            l.w[i] = w[i] >> k | (i + 1 < W ? w[i + 1] << (64 - k) : 0);
        return l;
    }
    // Bit j takes bit j - k (k 1-63); bits below k become 0.
    KV_LINE_OP Line up(int k) const {
        Line l;
        for (int i = 0; i < W; ++i)
            l.w[i] = w[i] << k | (i > 0 ? w[i - 1] >> (64 - k) : 0);
        return l;
    }
    KV_LINE_OP int count() const {
        int n = 0;
        for (int i = 0; i < W; ++i)
            n += bitCount(w[i]);
        return n;
    }
};

template <int W>
Line<W> firstBits(int n) {
    Line<W> l;
    for (int j = 0; j < n && j < 64 * W; ++j)
        l.set(j);
    return l;
}

// The eight data masks (ISO/IEC 18004 Table 10), row i, column j.
constexpr bool masked(int m, int i, int j) {
    switch (m) {
    case 0: return (i + j) % 2 == 0;
    case 1: return i % 2 == 0;
    case 2: return j % 3 == 0;
    case 3: return (i + j) % 3 == 0;
    case 4: return (i / 2 + j / 3) % 2 == 0;
    case 5: return (i * j) % 2 + (i * j) % 3 == 0;
    case 6: return ((i * j) % 2 + (i * j) % 3) % 2 == 0;
    default: return ((i + j) % 2 + (i * j) % 3) % 2 == 0;
    }
}

// Every mask repeats after 12 rows and 12 columns, so 12 lines per mask and
// direction cover any symbol: words[m][0][i % 12] is row i,
// words[m][1][j % 12] column j, 192 modules long.
struct MaskLines {
    std::uint64_t words[8][2][12][3] = {};
    constexpr MaskLines() {
        for (int m = 0; m < 8; ++m)
            for (int r = 0; r < 12; ++r)
                for (int k = 0; k < 192; ++k) {
                    if (masked(m, r, k))
                        words[m][0][r][k >> 6] |= std::uint64_t{1} << (k & 63);
                    if (masked(m, k, r))
                        words[m][1][r][k >> 6] |= std::uint64_t{1} << (k & 63);
                }
    }
};
constexpr MaskLines MASK_LINES;

template <int W>
KV_LINE_OP int lineRuns(const Line<W>& l, const Line<W>& valid1) {
    // N1: in a run of k >= 5 equal modules, k - 4 windows of five and one run start: 3 + (k - 5).
    const Line<W> equal = ~(l ^ l.down(1)) & valid1;
    const Line<W> five = equal & equal.down(1) & equal.down(2) & equal.down(3);
    return five.count() + 2 * (five & ~five.up(1)).count();
}

// N3: a 1:1:3:1:1 pattern with four light modules before or after it. Those
// may lie in the quiet zone, which is light: outside the symbol counts as light.
template <int W>
KV_LINE_OP int lineFinders(const Line<W>& l, const Line<W>& valid6) {
    const Line<W> pattern = l & ~l.down(1) & l.down(2) & l.down(3) & l.down(4) & ~l.down(5) & l.down(6) & valid6;
    const Line<W> anyBefore = l | l.up(1) | l.up(2) | l.up(3);
    const Line<W> anyAfter = l | l.down(1) | l.down(2) | l.down(3);
    return (pattern & (~anyBefore.up(1) | ~anyAfter.down(7))).count();
}

template <int W>
struct Lines {
    int size = 0;
    std::vector<Line<W>> rows, columns;

    explicit Lines(int n) : size(n), rows(static_cast<std::size_t>(n)), columns(static_cast<std::size_t>(n)) {}
    KV_LINE_OP void set(int row, int col) {
        rows[static_cast<std::size_t>(row)].set(col);
        columns[static_cast<std::size_t>(col)].set(row);
    }
};
#undef KV_LINE_OP

template <int W>
int score(const Lines<W>& m) {
    const int n = m.size;
    const Line<W> valid1 = firstBits<W>(n - 1), valid6 = firstBits<W>(n - 6);
    int runs = 0, finders = 0, blocks = 0, dark = 0;
    for (int i = 0; i < n; ++i) {
        const Line<W>& r = m.rows[static_cast<std::size_t>(i)];
        const Line<W>& c = m.columns[static_cast<std::size_t>(i)];
        runs += lineRuns(r, valid1) + lineRuns(c, valid1);
        finders += lineFinders(r, valid6) + lineFinders(c, valid6);
        dark += r.count();
        if (i + 1 < n) {
            const Line<W> same = ~(r ^ m.rows[static_cast<std::size_t>(i) + 1]);
            blocks += (same & same.down(1) & ~(r ^ r.down(1)) & valid1).count();
        }
    }
    // N4: 10 points for each full 5 % by which dark modules depart from half.
    const int total = n * n;
    const int k = std::abs(20 * dark - 10 * total) / total;
    return runs + 3 * blocks + 40 * finders + 10 * k;
}

constexpr int formatBits(Level level, int mask) {
    // Level bits L 01, M 00, Q 11, H 10 (ISO/IEC 18004 Table 12); BCH (15,5)
    // with generator x^10+x^8+x^5+x^4+x^2+x+1, then XOR 101010000010010.
    constexpr int LEVEL_BITS[4] = {1, 0, 3, 2};
    const int data = LEVEL_BITS[static_cast<int>(level)] << 3 | mask;
    int rem = data << 10;
    for (int b = 14; b >= 10; --b)
        if (rem >> b & 1)
            rem ^= 0x537 << (b - 10);
    return (data << 10 | rem) ^ 0x5412;
}

constexpr int versionBits(int version) {
    // BCH (18,6) with generator x^12+x^11+x^10+x^9+x^8+x^5+x^2+1.
    int rem = version << 12;
    for (int b = 17; b >= 12; --b)
        if (rem >> b & 1)
            rem ^= 0x1F25 << (b - 12);
    return version << 12 | rem;
}
// The worked examples of ISO/IEC 18004 Annex C and D.
static_assert(formatBits(Level::M, 5) == 0b100000011001110);
static_assert(versionBits(7) == 0b000111110010010100);

// Where the 15 format bits go, bit i of each copy (row, column).
struct Place {
    int row, column;
};
void formatPlaces(int size, Place first[15], Place second[15]) {
    for (int i = 0; i < 15; ++i) {
        if (i < 6)
            first[i] = {i, 8};
        else if (i < 8)
            first[i] = {i + 1, 8};
        else if (i == 8)
            first[i] = {8, 7};
        else
            first[i] = {8, 14 - i};
        second[i] = i < 8 ? Place{8, size - 1 - i} : Place{size - 15 + i, 8};
    }
}

class Builder {
public:
    explicit Builder(int version) : version_(version), size_(17 + 4 * version) {
        const auto cells = static_cast<std::size_t>(size_) * static_cast<std::size_t>(size_);
        dark_.assign(cells, 0);
        function_.assign(cells, 0);
        drawFunctionPatterns();
    }

    int size() const { return size_; }

    // Codeword bits in the two-module columns, right to left, up then down,
    // column 6 (the vertical timing pattern) skipped.
    void place(const std::vector<std::uint8_t>& codewords) {
        std::size_t bitIndex = 0;
        const std::size_t bitCount = codewords.size() * 8;
        bool upward = true;
        for (int right = size_ - 1; right >= 1; right -= 2) {
            if (right == 6)
                right = 5;
            for (int step = 0; step < size_; ++step) {
                const int row = upward ? size_ - 1 - step : step;
                for (int col = right; col >= right - 1; --col) {
                    const std::size_t at = index(row, col);
                    if (function_[at])
                        continue;
                    if (bitIndex < bitCount)
                        dark_[at] = (codewords[bitIndex >> 3] >> (7 - (bitIndex & 7))) & 1;
                    ++bitIndex;  // remainder bits stay light
                }
            }
            upward = !upward;
        }
    }

    // Chooses the mask (or takes `fixed`) and writes the final modules.
    int finish(Level level, int fixed, std::vector<std::uint8_t>& modules) {
        if (size_ <= 64)
            return finishIn<1>(level, fixed, modules);
        if (size_ <= 128)
            return finishIn<2>(level, fixed, modules);
        return finishIn<3>(level, fixed, modules);
    }

private:
    std::size_t index(int row, int col) const {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(size_) + static_cast<std::size_t>(col);
    }
    void set(int row, int col, bool dark) {
        dark_[index(row, col)] = dark ? 1 : 0;
        function_[index(row, col)] = 1;
    }

    void drawFunctionPatterns() {
        const int n = size_;
        // Finder patterns with their light separators.
        for (const auto& [r0, c0] : {std::pair{0, 0}, std::pair{0, n - 7}, std::pair{n - 7, 0}})
            for (int dr = -1; dr <= 7; ++dr)
                for (int dc = -1; dc <= 7; ++dc) {
                    const int r = r0 + dr, c = c0 + dc;
                    if (r < 0 || c < 0 || r >= n || c >= n)
                        continue;
                    const int ring = std::max(std::abs(dr - 3), std::abs(dc - 3));
                    set(r, c, ring != 2 && ring != 4);
                }
        // Timing patterns.
        for (int k = 8; k < n - 8; ++k) {
            set(6, k, k % 2 == 0);
            set(k, 6, k % 2 == 0);
        }
        // Alignment patterns, less the three that would overlap finders.
        const std::uint8_t* centres = ALIGNMENT[version_];
        int count = 0;
        while (count < 7 && centres[count] != 0)
            ++count;
        for (int a = 0; a < count; ++a)
            for (int b = 0; b < count; ++b) {
                if ((a == 0 && b == 0) || (a == 0 && b == count - 1) || (a == count - 1 && b == 0))
                    continue;
                for (int dr = -2; dr <= 2; ++dr)
                    for (int dc = -2; dc <= 2; ++dc)
                        set(centres[a] + dr, centres[b] + dc, std::max(std::abs(dr), std::abs(dc)) != 1);
            }
        // Format information (written per mask) and the dark module beside it.
        Place first[15], second[15];
        formatPlaces(n, first, second);
        for (int i = 0; i < 15; ++i) {
            set(first[i].row, first[i].column, false);
            set(second[i].row, second[i].column, false);
        }
        set(n - 8, 8, true);
        // Version information, from version 7.
        if (version_ >= 7) {
            const int v = versionBits(version_);
            for (int i = 0; i < 18; ++i) {
                const bool d = (v >> i) & 1;
                set(i / 3, n - 11 + i % 3, d);
                set(n - 11 + i % 3, i / 3, d);
            }
        }
    }

    template <int W>
    int finishIn(Level level, int fixed, std::vector<std::uint8_t>& modules) const {
        Lines<W> base(size_), data(size_);
        for (int r = 0; r < size_; ++r)
            for (int c = 0; c < size_; ++c) {
                const std::size_t at = index(r, c);
                if (dark_[at])
                    base.set(r, c);
                if (!function_[at])
                    data.set(r, c);
            }
        Lines<W> trial(size_);
        int best = fixed, bestScore = 0;
        if (fixed < 0)
            for (int m = 0; m < 8; ++m) {
                apply(base, data, level, m, trial);
                const int s = score(trial);
                if (m == 0 || s < bestScore) {
                    best = m;
                    bestScore = s;
                }
            }
        apply(base, data, level, best, trial);
        modules.resize(dark_.size());
        for (int r = 0; r < size_; ++r)
            for (int c = 0; c < size_; ++c)
                modules[index(r, c)] = trial.rows[static_cast<std::size_t>(r)].get(c) ? 1 : 0;
        return best;
    }

    // The symbol under mask m with its format information: data modules flipped
    // where the mask says, whole lines at a time.
    template <int W>
    void apply(const Lines<W>& base, const Lines<W>& data, Level level, int m, Lines<W>& out) const {
        for (int i = 0; i < size_; ++i) {
            const auto k = static_cast<std::size_t>(i);
            out.rows[k] = base.rows[k] ^ (Line<W>::of(MASK_LINES.words[m][0][i % 12]) & data.rows[k]);
            out.columns[k] = base.columns[k] ^ (Line<W>::of(MASK_LINES.words[m][1][i % 12]) & data.columns[k]);
        }
        const int format = formatBits(level, m);
        Place first[15], second[15];
        formatPlaces(size_, first, second);
        for (int i = 0; i < 15; ++i)
            if ((format >> i) & 1) {
                out.set(first[i].row, first[i].column);
                out.set(second[i].row, second[i].column);
            }
    }

    int version_;
    int size_;
    std::vector<std::uint8_t> dark_, function_;
};

}  // namespace

int totalCodewords(int version) { return TOTAL_CODEWORDS[version]; }

int dataCodewords(int version, Level level) {
    const BlockSpec b = BLOCKS[version][static_cast<int>(level)];
    return TOTAL_CODEWORDS[version] - b.checkPerBlock * b.blocks;
}

RsEncoder::RsEncoder(int n, std::size_t words) : n_(n), g_(static_cast<std::size_t>(n) + 1, 0) {
    // The generator (x - alpha^0) ... (x - alpha^(n-1)), highest power first.
    g_[0] = 1;
    for (int r = 0; r < n; ++r)
        for (int k = r + 1; k >= 1; --k) {
            const int prev = g_[static_cast<std::size_t>(k) - 1];
            if (prev != 0)
                g_[static_cast<std::size_t>(k)] ^= GF.exp[static_cast<std::size_t>(GF.log[static_cast<std::size_t>(prev)] + r)];
        }
    // Row c: c times the generator's lower coefficients, what a word c
    // subtracts from the remainder. It takes 255 multiplications a
    // coefficient, so it repays only over more data words than that.
    if (words < 512)
        return;
    rows_.assign(static_cast<std::size_t>(256) * static_cast<std::size_t>(n), 0);
    for (int c = 1; c < 256; ++c)
        for (int k = 0; k < n; ++k)
            rows_[static_cast<std::size_t>(c * n + k)] = multiply(c, g_[static_cast<std::size_t>(k) + 1]);
}

std::uint8_t RsEncoder::multiply(int a, int b) {
    return a == 0 || b == 0 ? 0
                            : GF.exp[static_cast<std::size_t>(GF.log[static_cast<std::size_t>(a)] +
                                                              GF.log[static_cast<std::size_t>(b)])];
}

void RsEncoder::encode(const std::uint8_t* data, std::size_t length, std::uint8_t* out) const {
    const auto n = static_cast<std::size_t>(n_);
    std::fill(out, out + n, 0);
    for (std::size_t i = 0; i < length; ++i) {
        const int factor = data[i] ^ out[0];
        std::copy(out + 1, out + n, out);
        out[n - 1] = 0;
        if (factor == 0)
            continue;
        if (!rows_.empty()) {
            const std::uint8_t* row = rows_.data() + static_cast<std::size_t>(factor) * n;
            for (std::size_t k = 0; k < n; ++k)
                out[k] ^= row[k];
        } else {
            for (std::size_t k = 0; k < n; ++k)
                out[k] ^= multiply(factor, g_[k + 1]);
        }
    }
}

std::vector<std::uint8_t> checkWords(const std::vector<std::uint8_t>& data, int n) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(n));
    RsEncoder(n, data.size()).encode(data.data(), data.size(), out.data());
    return out;
}

namespace {

template <int W>
int penaltyIn(const std::vector<std::uint8_t>& modules, int size) {
    Lines<W> m(size);
    for (int r = 0; r < size; ++r)
        for (int c = 0; c < size; ++c)
            if (modules[static_cast<std::size_t>(r) * static_cast<std::size_t>(size) + static_cast<std::size_t>(c)])
                m.set(r, c);
    return score(m);
}

}  // namespace

int penalty(const std::vector<std::uint8_t>& modules, int size) {
    if (size <= 64)
        return penaltyIn<1>(modules, size);
    return size <= 128 ? penaltyIn<2>(modules, size) : penaltyIn<3>(modules, size);
}

}  // namespace detail

const char* levelName(Level level) {
    constexpr const char* NAMES[4] = {"L", "M", "Q", "H"};
    return NAMES[static_cast<int>(level)];
}

namespace {

using namespace detail;

using korvane::detail::thousands;

// The data codewords with their check words, blocks interleaved.
std::vector<std::uint8_t> interleave(const std::vector<std::uint8_t>& data, int version, Level level) {
    const BlockSpec spec = BLOCKS[version][static_cast<int>(level)];
    const int blocks = spec.blocks, n = spec.checkPerBlock;
    const int shortLen = static_cast<int>(data.size()) / blocks;
    const int longBlocks = static_cast<int>(data.size()) % blocks;
    const RsEncoder rs(n, data.size());
    std::vector<std::uint8_t> out(static_cast<std::size_t>(TOTAL_CODEWORDS[version]));
    std::vector<std::uint8_t> checks(static_cast<std::size_t>(n));
    const std::size_t checkStart = data.size();
    std::size_t start = 0;
    for (int b = 0; b < blocks; ++b) {
        // The long blocks come last; their last word goes after every block's others.
        const bool isLong = b >= blocks - longBlocks;
        const int len = shortLen + (isLong ? 1 : 0);
        for (int i = 0; i < shortLen; ++i)
            out[static_cast<std::size_t>(i * blocks + b)] = data[start + static_cast<std::size_t>(i)];
        if (isLong)
            out[static_cast<std::size_t>(shortLen * blocks + b - (blocks - longBlocks))] =
                data[start + static_cast<std::size_t>(shortLen)];
        rs.encode(data.data() + start, static_cast<std::size_t>(len), checks.data());
        for (int i = 0; i < n; ++i)
            out[checkStart + static_cast<std::size_t>(i * blocks + b)] = checks[static_cast<std::size_t>(i)];
        start += static_cast<std::size_t>(len);
    }
    return out;
}

// The chosen path: its modes, the version range it was made for, and its bits with the headers.
struct Plan {
    Path path;
    int range = 0;
    int bits = 0;
};

// No character takes fewer than 10/3 bits (three digits in 10), so more
// characters than version 40 at level L holds as digits (7,089) fit no
// symbol. Far longer data is refused before the path's tables are made for it
// (about 40 bytes a character), with a bound for what it needs; data near the
// limit gets the exact count.
constexpr std::size_t MOST_CHARACTERS = 4 * 7089;

Error tooManyCharacters(std::size_t characters, const QrOptions& o) {
    const std::size_t leastBytes = (characters * 10 / 3 + 7) / 8;
    const int v = o.version != 0 ? o.version : MAX_VERSION;
    return Error{ErrorCode::DataTooLong, "the data needs at least " + thousands(static_cast<long long>(leastBytes)) +
                                             " bytes; a version-" + std::to_string(v) + " QR Code at level " +
                                             levelName(o.level) + " holds " + thousands(dataCodewords(v, o.level))};
}

}  // namespace

Result<QrSymbol> encode(const Message& message, const QrOptions& o) {
    if (o.version < 0 || o.version > MAX_VERSION)
        return Error{ErrorCode::InvalidOption, "the QR Code version is 1 to 40, not " + std::to_string(o.version)};
    if (o.mask < -1 || o.mask > 7)
        return Error{ErrorCode::InvalidOption, "the QR Code mask is 0 to 7, not " + std::to_string(o.mask)};
    if (static_cast<int>(o.level) > 3)
        return Error{ErrorCode::InvalidOption, "the QR Code level is L, M, Q or H"};
    const StructuredAppend& sa = message.structuredAppend;
    int parity = -1;
    if (sa.index != 0 || sa.count != 0) {
        if (sa.count < 2 || sa.count > 16 || sa.index < 1 || sa.index > sa.count)
            return Error{ErrorCode::InvalidOption, "a QR Code structured-append set has 2 to 16 symbols and an index "
                                                   "within it, not " + std::to_string(sa.index) + " of " +
                                                   std::to_string(sa.count)};
        if (sa.id.empty()) {
            parity = 0;
            for (char c : message.bytes)
                parity ^= static_cast<unsigned char>(c);
        } else {
            parity = 0;
            for (char c : sa.id) {
                if (c < '0' || c > '9' || parity > 255)
                    break;
                parity = parity * 10 + (c - '0');
            }
            if (sa.id.size() > 3 || sa.id.find_first_not_of("0123456789") != std::string::npos || parity > 255)
                return Error{ErrorCode::InvalidOption,
                             "a QR Code structured-append identifier is the set's parity byte, 0 to 255, not " +
                                 korvane::detail::quoted(sa.id)};
        }
    }
    if (message.readerInit)
        return Error{ErrorCode::InvalidOption, "QR Code has no reader initialisation"};

    // A character is at most four bytes of UTF-8: data this long is refused unread.
    if (message.bytes.size() / 4 > MOST_CHARACTERS)
        return tooManyCharacters(message.bytes.size() / 4, o);
    Result<Input> read = readMessage(message);
    if (!read)
        return read.error();
    Input& in = *read;
    const bool fnc1 = in.fnc1First || in.applicationIndicator >= 0;

    // Text or bytes: UTF-8 text with characters beyond ASCII is read as
    // characters (Kanji mode possible), marked ECI 26 when any of them goes in
    // byte mode; anything else, or data with designators of its own, as bytes.
    bool nonAscii = false;
    const bool text = in.ecis.empty() && validUtf8(in.data, nonAscii) && nonAscii;
    int headerBits = (parity >= 0 ? 20 : 0) + (in.fnc1First ? 4 : 0) + (in.applicationIndicator >= 0 ? 12 : 0);
    for (const Marker& e : in.ecis)
        headerBits += eciBits(e.eci);

    // Candidate unit lists: as they are, or (text) without ECI, Kanji only beyond ASCII.
    std::vector<std::vector<Unit>> candidates;
    std::vector<int> candidateEci;
    if (text) {
        // Japanese text: Kanji mode, or Shift JIS bytes under ECI 20. Without
        // a designator every character beyond ASCII must go in Kanji mode
        // (byte data is ISO 8859-1 by default); either way the readers take
        // byte segments for Shift JIS, where '\' and '~' are other characters
        // (zbar returns a yen sign and an overline), so those cannot be in it.
        for (const int eci : {-1, 20}) {
            std::vector<Unit> japanese = textUnits(in, fnc1, o.kanji);
            bool possible = o.kanji;
            for (Unit& u : japanese) {
                const auto c = static_cast<unsigned char>(in.data[u.at]);
                if (u.bytes == 1) {
                    if (c == '\\' || c == '~')
                        u.modes = 0;
                } else if (u.modes & bit(Mode::Kanji)) {
                    u.bytes = 2;
                    u.sjis = 1;
                    if (eci < 0)
                        u.modes = bit(Mode::Kanji);
                } else {
                    u.modes = 0;
                }
                possible = possible && u.modes != 0;
            }
            if (possible) {
                candidates.push_back(std::move(japanese));
                candidateEci.push_back(eci);
            }
        }
        // Under ECI 26 everything as UTF-8 bytes: neither zxing-cpp nor zbar
        // reads Kanji segments after that designator.
        candidates.push_back(textUnits(in, fnc1, false));
        candidateEci.push_back(26);
    } else {
        std::vector<Unit> units = byteUnits(in, fnc1);
        for (const Marker& e : in.ecis)
            if (e.position < units.size() && e.position > 0)
                units[e.position].eciBefore = 1;
        candidates.push_back(std::move(units));
        candidateEci.push_back(-1);
    }

    if (candidates.back().size() > MOST_CHARACTERS)
        return tooManyCharacters(candidates.back().size(), o);

    // The shortest stream for each version range; the smallest version that holds it.
    const int level0 = static_cast<int>(o.level);
    Plan plan;
    int version = 0, chosen = -1;
    int neededBits = 0;
    for (int range = 0; range < 3 && version == 0; ++range) {
        if (o.version != 0 && versionRange(o.version) != range)
            continue;
        for (std::size_t c = 0; c < candidates.size(); ++c) {
            Path p = shortestPath(candidates[c], range);
            if (p.bits < 0)
                continue;
            const int bits = headerBits + p.bits + (candidateEci[c] >= 0 ? eciBits(candidateEci[c]) : 0);
            if (chosen < 0 || plan.range != range || bits < plan.bits) {
                plan.path = std::move(p);
                plan.bits = bits;
                plan.range = range;
                chosen = static_cast<int>(c);
            }
        }
        if (chosen < 0)
            break;
        neededBits = plan.bits;
        const int first = o.version != 0 ? o.version : range == 0 ? 1 : range == 1 ? 10 : 27;
        const int last = o.version != 0 ? o.version : range == 0 ? 9 : range == 1 ? 26 : 40;
        for (int v = first; v <= last; ++v)
            if (dataCodewords(v, o.level) * 8 >= plan.bits) {
                version = v;
                break;
            }
    }
    if (version == 0) {
        const int v = o.version != 0 ? o.version : MAX_VERSION;
        return Error{ErrorCode::DataTooLong, "the data needs " + thousands((neededBits + 7) / 8) +
                                                 " bytes; a version-" + std::to_string(v) + " QR Code at level " +
                                                 levelName(o.level) + " holds " +
                                                 thousands(dataCodewords(v, o.level))};
    }
    Level level = o.level;
    if (o.boost)
        for (int l = 3; l > level0; --l)
            if (dataCodewords(version, static_cast<Level>(l)) * 8 >= plan.bits) {
                level = static_cast<Level>(l);
                break;
            }

    QrSymbol sym;
    const std::vector<Unit>& units = candidates[static_cast<std::size_t>(chosen)];
    BitWriter w;
    if (parity >= 0) {
        w.put(0b0011, 4);
        w.put(static_cast<std::uint32_t>(sa.index - 1), 4);
        w.put(static_cast<std::uint32_t>(sa.count - 1), 4);
        w.put(static_cast<std::uint32_t>(parity), 8);
    }
    sym.eci = candidateEci[static_cast<std::size_t>(chosen)];
    if (sym.eci >= 0)
        putEci(w, sym.eci);
    for (const Marker& e : in.ecis)
        if (e.position == 0)
            putEci(w, e.eci);
    if (in.fnc1First)
        w.put(0b0101, 4);
    if (in.applicationIndicator >= 0) {
        w.put(0b1001, 4);
        w.put(static_cast<std::uint32_t>(in.applicationIndicator), 8);
    }
    if (!putSegments(w, in, units, plan.path.modes, plan.range, fnc1, sym.segments))
        return Error{ErrorCode::DataTooLong, "a QR Code segment holds more characters than its count can say"};
    // A designator after the last byte changes nothing read, but it was asked for.
    for (const Marker& e : in.ecis)
        if (e.position > 0 && e.position >= in.data.size())
            putEci(w, e.eci);
    sym.dataBits = w.bits();
    const int capacity = dataCodewords(version, level);
    // Terminator (up to four 0 bits), then whole bytes, then the pad codewords.
    w.put(0, std::min(4, capacity * 8 - w.bits()));
    if (w.bits() % 8 != 0)
        w.put(0, 8 - w.bits() % 8);
    std::vector<std::uint8_t>& data = w.bytes();
    for (int k = 0; static_cast<int>(data.size()) < capacity; ++k)
        data.push_back(k % 2 == 0 ? 0xEC : 0x11);

    Builder builder(version);
    builder.place(interleave(data, version, level));
    sym.mask = builder.finish(level, o.mask, sym.modules);
    sym.version = version;
    sym.level = level;
    sym.size = builder.size();
    sym.dataCodewords = capacity;
    sym.checkCodewords = TOTAL_CODEWORDS[version] - capacity;
    sym.blocks = BLOCKS[version][static_cast<int>(level)].blocks;
    sym.parity = parity;
    sym.readerData = in.indicatorText + in.data;
    return sym;
}

}  // namespace korvane::qr
