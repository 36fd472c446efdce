// QR Code (ISO/IEC 18004): the message read into units, the segmentation
// chosen and the bit stream written, and encode(), which runs the stages:
// data stream (here), codewords (QrCodewords.cpp), matrix (QrMatrix.cpp)
// and mask (QrMask.cpp).

#include "Qr.h"

#include "QrKanjiTable.h"
#include "QrTables.h"
#include "SmallQrTables.h"
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

int eciBits(int eci, int indicatorBits = 4) { return indicatorBits + (eci < 128 ? 8 : eci < 16384 ? 16 : 24); }

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

void putEci(BitWriter& w, int eci, const Header& h) {
    w.put(h.eci, h.indicatorBits);
    if (eci < 128)
        w.put(static_cast<std::uint32_t>(eci), 8);
    else if (eci < 16384)
        w.put(0x8000u | static_cast<std::uint32_t>(eci), 16);
    else
        w.put(0xC00000u | static_cast<std::uint32_t>(eci), 24);
}

// The alphanumeric characters of a unit (its value, or "%%" for '%' in FNC1 data).
int alnumOf(unsigned char c, bool fnc1) { return fnc1 && c == GS ? ALNUM['%'] : ALNUM[c]; }

// Writes the segments of `units` as `modes` chose them; false when a count
// does not fit its field (never for data a version holds).
bool putSegments(BitWriter& w, const Input& in, const std::vector<Unit>& units, const std::vector<Mode>& modes,
                 const Header& header, bool fnc1, std::vector<Segment>& segments) {
    std::size_t i = 0;
    while (i < units.size()) {
        if (units[i].eciBefore)
            for (const Marker& e : in.ecis)
                if (e.position == units[i].at)
                    putEci(w, e.eci, header);
        const Mode mode = modes[i];
        std::size_t end = i + 1;
        while (end < units.size() && modes[end] == mode && !units[end].eciBefore)
            ++end;
        int count = 0;
        for (std::size_t k = i; k < end; ++k)
            count += mode == Mode::Byte ? units[k].bytes : mode == Mode::Alphanumeric ? units[k].alnum : 1;
        const int countLength = header.countBits[static_cast<int>(mode)];
        if (count >= 1 << countLength)
            return false;
        w.put(header.indicator[static_cast<int>(mode)], header.indicatorBits);
        w.put(static_cast<std::uint32_t>(count), countLength);
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

}  // namespace

}  // namespace detail

const char* levelName(Level level) {
    constexpr const char* NAMES[4] = {"L", "M", "Q", "H"};
    return NAMES[static_cast<int>(level)];
}

namespace {

using namespace detail;

using korvane::detail::thousands;

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

// ---- Micro QR and rMQR: every version with headers of its own

// Data bits of a version at a level, 0 where it lacks the level.
int smallCapacity(Kind kind, int version, Level level) {
    if (kind == Kind::Micro)
        return microDataBits(version, level);
    return level == Level::M || level == Level::H ? rectDataCodewords(version - 1, level) * 8 : 0;
}

std::string versionName(Kind kind, int version) {
    if (kind == Kind::Micro)
        return "M" + std::to_string(version);
    const RectSpec& r = RECT[version - 1];
    return "R" + std::to_string(r.height) + "x" + std::to_string(r.width);
}

const char* kindName(Kind kind) { return kind == Kind::Micro ? "Micro QR" : "rMQR"; }

// The versions in the order they are tried: Micro QR M1 to M4, rMQR by area,
// then by height.
std::vector<int> smallOrder(Kind kind, int fixed) {
    if (fixed != 0)
        return {fixed};
    std::vector<int> order;
    for (int v = 1; v <= (kind == Kind::Micro ? MICRO_VERSIONS : RMQR_SIZES); ++v)
        order.push_back(v);
    if (kind == Kind::Rect)
        std::stable_sort(order.begin(), order.end(), [](int a, int b) {
            const RectSpec &x = RECT[a - 1], &y = RECT[b - 1];
            const int ax = x.height * x.width, ay = y.height * y.width;
            return ax != ay ? ax < ay : x.height < y.height;
        });
    return order;
}

// A level the fixed version lacks, named with the versions that have it.
Error missingLevel(Kind kind, int version, Level level) {
    std::string have;
    for (int v = 1; v <= MICRO_VERSIONS; ++v)
        if (smallCapacity(kind, v, level) > 0)
            have += (have.empty() ? "" : ", ") + versionName(kind, v);
    return Error{ErrorCode::InvalidOption, std::string("Micro QR ") + versionName(kind, version) + " has no level " +
                                               levelName(level) + "; " + levelName(level) + " is in " + have};
}

Status checkSmallOptions(const QrOptions& o) {
    const std::string v = std::to_string(o.version), level = levelName(o.level);
    if (o.kind == Kind::Micro) {
        if (o.version < 0 || o.version > MICRO_VERSIONS)
            return Error{ErrorCode::InvalidOption, "the Micro QR versions are M1 to M4, not " + v};
        if (o.mask < -1 || o.mask > 3)
            return Error{ErrorCode::InvalidOption, "the Micro QR mask is 0 to 3, not " + std::to_string(o.mask)};
        if (o.level == Level::H)
            return Error{ErrorCode::InvalidOption, "Micro QR has levels L (M1-M4), M (M2-M4) and Q (M4), not H"};
        if (o.version != 0 && smallCapacity(o.kind, o.version, o.level) == 0)
            return missingLevel(o.kind, o.version, o.level);
        return Done{};
    }
    if (o.version < 0 || o.version > RMQR_SIZES)
        return Error{ErrorCode::InvalidOption, "the rMQR size number is 1 to 32, not " + v};
    if (o.mask != -1)
        return Error{ErrorCode::InvalidOption, "rMQR has a single mask; none can be chosen"};
    if (o.level != Level::M && o.level != Level::H)
        return Error{ErrorCode::InvalidOption, "rMQR has levels M and H, not " + level};
    return Done{};
}

Status checkOptions(const QrOptions& o) {
    if (static_cast<int>(o.level) > 3)
        return Error{ErrorCode::InvalidOption, "the QR Code level is L, M, Q or H"};
    if (o.kind != Kind::Qr)
        return checkSmallOptions(o);
    if (o.version < 0 || o.version > MAX_VERSION)
        return Error{ErrorCode::InvalidOption, "the QR Code version is 1 to 40, not " + std::to_string(o.version)};
    if (o.mask < -1 || o.mask > 7)
        return Error{ErrorCode::InvalidOption, "the QR Code mask is 0 to 7, not " + std::to_string(o.mask)};
    if (static_cast<int>(o.level) > 3)
        return Error{ErrorCode::InvalidOption, "the QR Code level is L, M, Q or H"};
    return Done{};
}

// The structured-append parity byte: the one the set's identifier gives, or
// the XOR of the data's bytes; -1 outside a set.
Result<int> parityOf(const Message& message) {
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
    return parity;
}

// The unit lists the segmentation may take, each with the ECI designator the
// encoder puts first for it (-1 none).
struct Candidates {
    std::vector<std::vector<Unit>> units;
    std::vector<int> eci;
};

// Japanese text: Kanji mode, or Shift JIS bytes under ECI 20. Without a
// designator every character beyond ASCII must go in Kanji mode (byte data is
// ISO 8859-1 by default); either way the readers take byte segments for
// Shift JIS, where '\' and '~' are other characters (zbar returns a yen sign
// and an overline), so those cannot be in it.
void addJapanese(const Input& in, bool fnc1, bool kanji, bool withEci, Candidates& out) {
    for (const int eci : {-1, 20}) {
        if (eci >= 0 && !withEci)
            continue;
        std::vector<Unit> japanese = textUnits(in, fnc1, kanji);
        bool possible = kanji;
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
            out.units.push_back(std::move(japanese));
            out.eci.push_back(eci);
        }
    }
}

// Text or bytes: UTF-8 text with characters beyond ASCII is read as
// characters (Kanji mode possible), marked ECI 26 when any of them goes in
// byte mode; anything else, or data with designators of its own, as bytes.
// Text may be taken without ECI, Kanji only beyond ASCII.
// Micro QR has no ECI designators: its text beyond ASCII is Kanji or bytes
// as they are.
Candidates candidatesOf(const Input& in, bool fnc1, bool kanji, bool withEci) {
    Candidates out;
    bool nonAscii = false;
    if (in.ecis.empty() && validUtf8(in.data, nonAscii) && nonAscii) {
        addJapanese(in, fnc1, kanji, withEci, out);
        // Under ECI 26 everything as UTF-8 bytes: neither zxing-cpp nor zbar
        // reads Kanji segments after that designator.
        out.units.push_back(withEci ? textUnits(in, fnc1, false) : byteUnits(in, fnc1));
        out.eci.push_back(withEci ? 26 : -1);
        return out;
    }
    std::vector<Unit> units = byteUnits(in, fnc1);
    for (const Marker& e : in.ecis)
        if (e.position < units.size() && e.position > 0)
            units[e.position].eciBefore = 1;
    out.units.push_back(std::move(units));
    out.eci.push_back(-1);
    return out;
}

// The version ranges' first and last versions (ISO/IEC 18004 Table 3).
constexpr int RANGE_FIRST[3] = {1, 10, 27};
constexpr int RANGE_LAST[3] = {9, 26, 40};

// The stream chosen: its path, the candidate it segments, the version and
// level, the headers and capacity of that version, and its terminator's length.
struct Choice {
    Plan plan;
    int chosen = -1;
    int version = 0;
    Level level = Level::M;
    Header header;
    int capacityBits = 0;
    int terminator = 4;
};

// The shortest stream for each version range; the smallest version that
// holds it, and the highest level it still fits when the options boost it.
Result<Choice> choose(const Candidates& candidates, int headerBits, const QrOptions& o) {
    Choice ch;
    int neededBits = 0;
    for (int range = 0; range < 3 && ch.version == 0; ++range) {
        if (o.version != 0 && versionRange(o.version) != range)
            continue;
        for (std::size_t c = 0; c < candidates.units.size(); ++c) {
            Path p = shortestPath(candidates.units[c], range);
            if (p.bits < 0)
                continue;
            const int eci = candidates.eci[c];
            const int bits = headerBits + p.bits + (eci >= 0 ? eciBits(eci) : 0);
            if (ch.chosen < 0 || ch.plan.range != range || bits < ch.plan.bits) {
                ch.plan.path = std::move(p);
                ch.plan.bits = bits;
                ch.plan.range = range;
                ch.chosen = static_cast<int>(c);
            }
        }
        if (ch.chosen < 0)
            break;
        neededBits = ch.plan.bits;
        const int first = o.version != 0 ? o.version : RANGE_FIRST[range];
        const int last = o.version != 0 ? o.version : RANGE_LAST[range];
        for (int v = first; v <= last; ++v)
            if (dataCodewords(v, o.level) * 8 >= ch.plan.bits) {
                ch.version = v;
                break;
            }
    }
    if (ch.version == 0) {
        const int v = o.version != 0 ? o.version : MAX_VERSION;
        return Error{ErrorCode::DataTooLong, "the data needs " + thousands((neededBits + 7) / 8) +
                                                 " bytes; a version-" + std::to_string(v) + " QR Code at level " +
                                                 levelName(o.level) + " holds " +
                                                 thousands(dataCodewords(v, o.level))};
    }
    ch.level = o.level;
    if (o.boost)
        for (int l = 3; l > static_cast<int>(o.level); --l)
            if (dataCodewords(ch.version, static_cast<Level>(l)) * 8 >= ch.plan.bits) {
                ch.level = static_cast<Level>(l);
                break;
            }
    ch.header = qrHeader(ch.plan.range);
    ch.capacityBits = dataCodewords(ch.version, ch.level) * 8;
    return ch;
}

// The shortest stream in each version of the order; the first version that holds it.
Result<Choice> chooseSmall(const Candidates& candidates, int headerBits, const QrOptions& o) {
    Choice ch;
    int neededBits = 0, lastTried = 0;
    for (const int v : smallOrder(o.kind, o.version)) {
        const int capacity = smallCapacity(o.kind, v, o.level);
        if (capacity == 0)
            continue;
        const Header header = o.kind == Kind::Micro ? microHeader(v) : rectHeader(v - 1);
        Plan best;
        int chosen = -1;
        for (std::size_t c = 0; c < candidates.units.size(); ++c) {
            Path p = shortestPath(candidates.units[c], header);
            const int eci = candidates.eci[c];
            const int bits = headerBits + p.bits + (eci >= 0 ? eciBits(eci, header.indicatorBits) : 0);
            if (p.bits >= 0 && (chosen < 0 || bits < best.bits)) {
                best.path = std::move(p);
                best.bits = bits;
                chosen = static_cast<int>(c);
            }
        }
        lastTried = v;
        if (chosen < 0)
            continue;  // some character fits no mode of this version
        neededBits = best.bits;
        if (best.bits <= capacity) {
            ch.plan = std::move(best);
            ch.chosen = chosen;
            ch.version = v;
            ch.header = header;
            break;
        }
    }
    if (ch.version == 0) {
        const int v = lastTried != 0 ? lastTried : o.version;
        if (neededBits == 0)
            return Error{ErrorCode::InvalidData, std::string(kindName(o.kind)) + " " + versionName(o.kind, v) +
                                                     " has no mode for some character of the data"};
        return Error{ErrorCode::DataTooLong, "the data needs " + thousands(neededBits) + " bits; " +
                                                 kindName(o.kind) + " " + versionName(o.kind, v) + " at level " +
                                                 levelName(o.level) + " holds " +
                                                 thousands(smallCapacity(o.kind, v, o.level))};
    }
    ch.level = o.level;
    if (o.boost)
        for (int l = 3; l > static_cast<int>(o.level); --l)
            if (smallCapacity(o.kind, ch.version, static_cast<Level>(l)) >= ch.plan.bits) {
                ch.level = static_cast<Level>(l);
                break;
            }
    ch.capacityBits = smallCapacity(o.kind, ch.version, ch.level);
    ch.terminator = o.kind == Kind::Micro ? 2 * ch.version + 1 : 3;
    return ch;
}

// Pad codewords after the terminator (ISO/IEC 18004, 7.4.10).
constexpr std::uint8_t PAD_CODEWORDS[2] = {0xEC, 0x11};

// The headers (structured append, ECI, FNC1), the segments, then the
// terminator (up to four 0 bits), whole bytes and the pad codewords.
Result<DataStream> writeStream(const Message& message, const Input& in, const Candidates& candidates,
                               const Choice& ch, int parity) {
    const StructuredAppend& sa = message.structuredAppend;
    const bool fnc1 = in.fnc1First || in.applicationIndicator >= 0;
    DataStream out;
    BitWriter w;
    if (parity >= 0) {
        w.put(0b0011, 4);
        w.put(static_cast<std::uint32_t>(sa.index - 1), 4);
        w.put(static_cast<std::uint32_t>(sa.count - 1), 4);
        w.put(static_cast<std::uint32_t>(parity), 8);
    }
    const Header& h = ch.header;
    out.eci = candidates.eci[static_cast<std::size_t>(ch.chosen)];
    if (out.eci >= 0)
        putEci(w, out.eci, h);
    for (const Marker& e : in.ecis)
        if (e.position == 0)
            putEci(w, e.eci, h);
    if (in.fnc1First)
        w.put(h.fnc1First, h.indicatorBits);
    if (in.applicationIndicator >= 0) {
        w.put(h.fnc1Second, h.indicatorBits);
        w.put(static_cast<std::uint32_t>(in.applicationIndicator), 8);
    }
    const std::vector<Unit>& units = candidates.units[static_cast<std::size_t>(ch.chosen)];
    if (!putSegments(w, in, units, ch.plan.path.modes, h, fnc1, out.segments))
        return Error{ErrorCode::DataTooLong, "a QR Code segment holds more characters than its count can say"};
    // A designator after the last byte changes nothing read, but it was asked for.
    for (const Marker& e : in.ecis)
        if (e.position > 0 && e.position >= in.data.size())
            putEci(w, e.eci, h);
    out.dataBits = w.bits();
    // The terminator, zeros to the codeword's end, then pad codewords; Micro
    // QR's M1 and M3 end with a codeword of four bits, left 0.
    const int capacity = ch.capacityBits;
    w.put(0, std::min(ch.terminator, capacity - w.bits()));
    if (w.bits() % 8 != 0)
        w.put(0, 8 - w.bits() % 8);
    out.codewords = std::move(w.bytes());
    for (int k = 0; static_cast<int>(out.codewords.size()) < capacity / 8; ++k)
        out.codewords.push_back(PAD_CODEWORDS[k % 2]);
    if (static_cast<int>(out.codewords.size()) * 8 < capacity)
        out.codewords.push_back(0);
    out.version = ch.version;
    out.level = ch.level;
    out.parity = parity;
    out.readerData = in.indicatorText + in.data;
    return out;
}

}  // namespace

Result<DataStream> detail::dataStream(const Message& message, const QrOptions& o) {
    if (const Status ok = checkOptions(o); !ok)
        return ok.error();
    const Result<int> parity = parityOf(message);
    if (!parity)
        return parity.error();
    // A character is at most four bytes of UTF-8: data this long is refused unread.
    if (message.bytes.size() / 4 > MOST_CHARACTERS)
        return tooManyCharacters(message.bytes.size() / 4, o);
    const Result<Input> read = readMessage(message);
    if (!read)
        return read.error();
    const Input& in = *read;
    const bool fnc1 = in.fnc1First || in.applicationIndicator >= 0;
    if (o.kind != Kind::Qr && *parity >= 0)
        return Error{ErrorCode::InvalidOption, std::string(kindName(o.kind)) + " has no structured append"};
    if (o.kind == Kind::Micro && (fnc1 || !in.ecis.empty()))
        return Error{ErrorCode::InvalidData, fnc1 ? "Micro QR has no FNC1" : "Micro QR has no ECI designators"};
    const int indicator = o.kind == Kind::Rect ? 3 : 4;
    int headerBits = (*parity >= 0 ? 20 : 0) + (in.fnc1First ? indicator : 0) +
                     (in.applicationIndicator >= 0 ? indicator + 8 : 0);
    for (const Marker& e : in.ecis)
        headerBits += eciBits(e.eci, indicator);
    Candidates candidates = candidatesOf(in, fnc1, o.kanji, o.kind != Kind::Micro);
    if (o.bytesOnly)
        for (std::vector<Unit>& units : candidates.units)
            for (Unit& u : units)
                u.modes = u.sjis ? 0 : bit(Mode::Byte);
    if (candidates.units.back().size() > MOST_CHARACTERS)
        return tooManyCharacters(candidates.units.back().size(), o);
    const Result<Choice> choice =
        o.kind == Kind::Qr ? choose(candidates, headerBits, o) : chooseSmall(candidates, headerBits, o);
    if (!choice)
        return choice.error();
    return writeStream(message, in, candidates, *choice, *parity);
}

namespace {

// Micro QR and rMQR from their data codewords.
void finishSmall(Kind kind, const DataStream& stream, int mask, QrSymbol& sym) {
    const int v = stream.version;
    const int data = static_cast<int>(stream.codewords.size());
    sym.versionName = versionName(kind, v);
    if (kind == Kind::Micro) {
        sym.mask = finishMicro(v, stream.level, stream.codewords, mask, sym.modules);
        sym.size = sym.columns = MICRO[v].size;
        sym.checkCodewords = MICRO[v].codewords - data;
        sym.blocks = 1;
    } else {
        const RectSpec& r = RECT[v - 1];
        finishRect(v - 1, stream.level, stream.codewords, sym.modules);
        sym.mask = -1;
        sym.size = r.height;
        sym.columns = r.width;
        sym.checkCodewords = r.codewords - data;
        sym.blocks = r.blocks[stream.level == Level::H ? 1 : 0];
    }
    sym.dataCodewords = data;
}

}  // namespace

Result<QrSymbol> encode(const Message& message, const QrOptions& o) {
    Result<DataStream> stream = dataStream(message, o);
    if (!stream)
        return stream.error();
    const int version = stream->version;
    const Level level = stream->level;
    QrSymbol sym;
    if (o.kind == Kind::Qr) {
        const Matrix matrix = placeCodewords(version, interleave(stream->codewords, version, level));
        sym.mask = applyMask(matrix, level, o.mask, sym.modules);
        sym.size = sym.columns = matrix.size;
        sym.dataCodewords = dataCodewords(version, level);
        sym.checkCodewords = TOTAL_CODEWORDS[version] - sym.dataCodewords;
        sym.blocks = BLOCKS[version][static_cast<int>(level)].blocks;
    } else {
        finishSmall(o.kind, *stream, o.mask, sym);
    }
    sym.version = version;
    sym.level = level;
    sym.segments = std::move(stream->segments);
    sym.eci = stream->eci;
    sym.dataBits = stream->dataBits;
    sym.parity = stream->parity;
    sym.readerData = std::move(stream->readerData);
    return sym;
}

}  // namespace korvane::qr
