// Data Matrix ECC 200 symbols (ISO/IEC 16022; DMRE from ISO/IEC 21471): the
// sizes, the header codewords, the size chosen, padding and Reed-Solomon
// blocks; encode() runs the stages: data codewords (here, with the streams
// of DataMatrixEncodation.cpp), check words (here) and modules
// (DataMatrixPlacement.cpp).

#include "DataMatrix.h"

#include "../base/ReedSolomonEncoder.h"
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

// Data words beyond which the check words are made with a table of products.
constexpr int PRODUCT_TABLE_WORDS = 256;

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
    // Generator roots alpha^1 ... alpha^n (ISO/IEC 16022, 5.7.2); the blocks
    // take the data words in turn, and their check words are interleaved alike.
    const korvane::detail::ReedSolomonEncoder rs(korvane::detail::DATA_MATRIX_FIELD, n, 1,
                                                 dataWords > PRODUCT_TABLE_WORDS);
    const auto width = static_cast<std::size_t>(n), step = static_cast<std::size_t>(blocks);
    const auto data = static_cast<std::size_t>(dataWords);
    codewords.resize(data + step * width);
    std::array<std::uint8_t, 256> checks{};
    for (std::size_t block = 0; block < step && block < data; ++block) {
        rs.encode(codewords.data() + block, (data - block + step - 1) / step, step, checks.data());
        for (std::size_t j = 0; j < width; ++j)
            codewords[data + j * step + block] = checks[j];
    }
}

std::vector<std::uint8_t> checkWords(const std::uint8_t* data, int count, int n) {
    std::vector<std::uint8_t> words(data, data + count);
    addCheckWords(words, count, 1, n);
    return std::vector<std::uint8_t>(words.begin() + count, words.end());
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

// The codewords before the data: structured append, reader programming, FNC1
// of GS1 data, or one macro codeword for the header and trailer of a message
// in the format of ISO/IEC 15434 with format 05 or 06 (the data then lies in
// [from, to) of the message's bytes).
struct Header {
    std::vector<std::uint8_t> codewords;
    std::size_t from = 0, to = 0;
};

// Two codewords 1-254 of a file identification, given as one number 1-64516.
constexpr long MOST_FILE_ID = 254 * 254;

Result<Header> headerOf(const Message& message) {
    const StructuredAppend& sa = message.structuredAppend;
    Header h;
    std::vector<std::uint8_t>& header = h.codewords;
    if (sa.index > 0 || sa.count > 0) {
        if (sa.count < 2 || sa.count > 16 || sa.index < 1 || sa.index > sa.count)
            return Error{ErrorCode::InvalidOption, "structured append takes 2-16 symbols, the index 1-count; got " +
                                                       std::to_string(sa.index) + " of " + std::to_string(sa.count)};
        if (message.readerInit)
            return Error{ErrorCode::InvalidOption, "reader programming cannot be part of a structured-append set"};
        long id = 1;
        if (!sa.id.empty()) {
            char* end = nullptr;
            id = std::strtol(sa.id.c_str(), &end, 10);
            if (*end != '\0' || sa.id.size() > 5 || id < 1 || id > MOST_FILE_ID)
                return Error{ErrorCode::InvalidOption, "the structured-append file id " +
                                                           korvane::detail::quoted(sa.id, 12) + " is not a number 1-64516"};
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
    const std::string_view bytes = message.bytes;
    h.to = bytes.size();
    if (header.empty() && bytes.size() >= MACRO_HEAD_05.size() + MACRO_TAIL.size() &&
        bytes.substr(bytes.size() - MACRO_TAIL.size()) == MACRO_TAIL) {
        for (auto [head, cw] : {std::pair{MACRO_HEAD_05, MACRO_05}, std::pair{MACRO_HEAD_06, MACRO_06}})
            if (bytes.substr(0, head.size()) == head) {
                header.push_back(static_cast<std::uint8_t>(cw));
                h.from = head.size();
                h.to = bytes.size() - MACRO_TAIL.size();
            }
    }
    return h;
}

// Longer data fits no symbol: two digits per codeword at best.
constexpr std::size_t MOST_UNITS = 2 * 1558;

// The units of the data between the header and trailer, bounded so that the
// search's table stays bounded by the largest symbol (markers take a
// codeword each at least).
Result<std::vector<detail::Unit>> boundedUnits(const Message& message, const Header& h) {
    if (message.bytes.size() > MOST_UNITS + 4)
        return Error{ErrorCode::DataTooLong, "the data has " + thousands(static_cast<long long>(message.bytes.size())) +
                                                 " bytes; the largest symbol holds at most " + thousands(MOST_UNITS)};
    Result<std::vector<detail::Unit>> units = unitsOf(message, h.from, h.to);
    if (!units)
        return units.error();
    if (units->size() > MOST_UNITS)
        return Error{ErrorCode::DataTooLong, "the data and its markers make " +
                                                 thousands(static_cast<long long>(units->size())) +
                                                 " characters; the largest symbol holds at most " + thousands(MOST_UNITS)};
    return units;
}

// The size asked for, or the smallest allowed that a shortest stream fits.
Result<const SizeInfo*> chooseSize(const detail::StreamPlan& plan, int head, const Options& options) {
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
        return chosen;
    }
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
    return chosen;
}

// Padding: 129 first, then the 253-state pseudo-random pads (ISO/IEC 16022, 5.2.3).
void pad(std::vector<std::uint8_t>& cw, int capacity) {
    if (static_cast<int>(cw.size()) < capacity)
        cw.push_back(PAD);
    while (static_cast<int>(cw.size()) < capacity) {
        const int position = static_cast<int>(cw.size()) + 1;
        int pad = PAD + (149 * position) % 253 + 1;
        if (pad > 254)
            pad -= 254;
        cw.push_back(static_cast<std::uint8_t>(pad));
    }
}

// What a reader returns: FNC1 as GS (the one that marks GS1 data went to the
// header), ECI designators left out, the macro header and trailer restored.
std::string readerDataOf(std::string_view bytes, const Header& h, const std::vector<detail::Unit>& units) {
    std::string read;
    if (h.from > 0)
        read.assign(bytes.substr(0, h.from));
    for (const detail::Unit& u : units) {
        if (u.kind == detail::Unit::Byte)
            read.push_back(static_cast<char>(u.byte));
        else if (u.kind == detail::Unit::Fnc1)
            read.push_back('\x1d');
    }
    if (h.to < bytes.size())
        read.append(bytes.substr(h.to));
    return read;
}

}  // namespace

Result<Encoded> detail::dataCodewords(const Message& message, const Options& options) {
    Result<Header> header = headerOf(message);
    if (!header)
        return header.error();
    Result<std::vector<Unit>> units = boundedUnits(message, *header);
    if (!units)
        return units.error();
    // FNC1 in first position marks GS1 data only as the ASCII codeword
    // itself; inside a C40 or Text triplet a reader takes it for a GS.
    std::vector<std::uint8_t>& head = header->codewords;
    const bool firstMarksGs1 = head.empty() || (head.size() == 4 && head[0] == STRUCTURED_APPEND);
    if (firstMarksGs1 && !units->empty() && units->front().kind == Unit::Fnc1) {
        head.push_back(FNC1);
        units->erase(units->begin());
    }
    const StreamPlan plan(*units);
    const int headWords = static_cast<int>(head.size());
    const Result<const SizeInfo*> chosen = chooseSize(plan, headWords, options);
    if (!chosen)
        return chosen.error();
    Encoded e;
    e.size = *chosen;
    const int capacity = e.size->dataCodewords;
    e.codewords.reserve(static_cast<std::size_t>(capacity + e.size->checkCodewords));
    e.codewords = head;
    plan.write(capacity - headWords, e.codewords, &e.segments);
    e.streamCodewords = static_cast<int>(e.codewords.size());
    pad(e.codewords, capacity);
    e.readerData = readerDataOf(message.bytes, *header, *units);
    return e;
}

Result<Encoded> encode(const Message& message, const Options& options) {
    Result<Encoded> e = detail::dataCodewords(message, options);
    if (!e)
        return e;
    const SizeInfo& size = *e->size;
    // Check words block by block, the blocks interleaved codeword by codeword.
    detail::addCheckWords(e->codewords, size.dataCodewords, size.blocks, size.checkCodewords / size.blocks);
    e->modules = detail::placeModules(size, e->codewords);
    return e;
}

}  // namespace korvane::datamatrix
