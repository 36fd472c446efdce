// PDF417 (ISO/IEC 15438): error correction, the symbol's shape, and its rows
// of start pattern, row indicators, symbol characters and stop pattern.

#include "Pdf417.h"

#include "Pdf417Tables.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace korvane::pdf417 {
namespace {

constexpr int MOD = 929;
constexpr int MAX_CODEWORDS = 928;  // Reed-Solomon over GF(929): at most 928 codewords in a symbol
constexpr int PAD = 900;

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

int widthFor(int columns, bool compact) {
    return compact ? START_MODULES + 17 * (columns + 1) + 1 : START_MODULES + 17 * (columns + 2) + STOP_MODULES;
}

// The generator polynomials (x - 3)(x - 3^2)...(x - 3^k) of the nine levels,
// k = 2^(level+1), lowest coefficient first, the leading 1 left out; worked
// out once, by the compiler.
struct Generators {
    std::array<int, 9> offset{};
    std::array<std::uint16_t, 1022> coefficients{};
};
constexpr Generators makeGenerators() {
    Generators out{};
    int at = 0;
    for (int level = 0; level < 9; ++level) {
        const int k = 2 << level;
        std::array<int, 513> g{};
        g[0] = 1;
        int root = 1;
        for (int j = 1; j <= k; ++j) {
            root = root * 3 % MOD;
            for (int i = j; i >= 0; --i)
                g[static_cast<std::size_t>(i)] =
                    ((i > 0 ? g[static_cast<std::size_t>(i) - 1] : 0) + MOD - root * g[static_cast<std::size_t>(i)] % MOD) % MOD;
        }
        out.offset[static_cast<std::size_t>(level)] = at;
        for (int i = 0; i < k; ++i)
            out.coefficients[static_cast<std::size_t>(at++)] = static_cast<std::uint16_t>(g[static_cast<std::size_t>(i)]);
    }
    return out;
}
constexpr Generators GENERATORS = makeGenerators();
// Level 0: (x - 3)(x - 9) = x^2 - 12 x + 27, and -12 is 917 modulo 929.
static_assert(GENERATORS.coefficients[0] == 27 && GENERATORS.coefficients[1] == 917);

}  // namespace

namespace detail {

std::vector<int> checkWords(const std::vector<int>& data, int count) {
    const int level = __builtin_ctz(static_cast<unsigned>(count)) - 1;
    const std::uint16_t* g = &GENERATORS.coefficients[static_cast<std::size_t>(GENERATORS.offset[level])];
    // The remainder of data(x) * x^count over g(x), rem[0] its top
    // coefficient, kept unreduced: a coefficient gathers at most `count` terms
    // of under 929^2 as it moves down (512 x 863,041 < 2^32), so only the
    // feedback term is reduced, once per data codeword.
    std::vector<std::uint32_t> negated(static_cast<std::size_t>(count));
    for (int j = 0; j < count; ++j)
        negated[static_cast<std::size_t>(j)] = static_cast<std::uint32_t>((MOD - g[count - 1 - j]) % MOD);
    // Two coefficients ride in one 64-bit word: t times a pair of 10-bit
    // factors adds under 2^20 to each 32-bit half, which stays below 2^32 (see
    // above), so no carry crosses between them. `count` is even.
    std::vector<std::uint32_t> rem(static_cast<std::size_t>(count) + 1, 0);
    std::vector<std::uint32_t> shifted(static_cast<std::size_t>(count) + 1, 0);
    for (int d : data) {
        const std::uint64_t t = (static_cast<std::uint32_t>(d) + rem[0]) % MOD;
        const std::uint32_t* in = rem.data() + 1;
        const std::uint32_t* by = negated.data();
        std::uint32_t* out = shifted.data();
        for (std::size_t j = 0; j < static_cast<std::size_t>(count); j += 2) {
            std::uint64_t a, b;
            std::memcpy(&a, in + j, sizeof a);
            std::memcpy(&b, by + j, sizeof b);
            a += t * b;
            std::memcpy(out + j, &a, sizeof a);
        }
        rem.swap(shifted);
    }
    std::vector<int> checks(static_cast<std::size_t>(count));
    for (std::size_t j = 0; j < checks.size(); ++j)
        checks[j] = static_cast<int>((MOD - rem[j] % MOD) % MOD);
    return checks;
}

int recommendedLevel(int dataCodewords) {
    if (dataCodewords <= 40)
        return 2;
    if (dataCodewords <= 160)
        return 3;
    if (dataCodewords <= 320)
        return 4;
    return 5;
}

}  // namespace detail

Result<Symbol> encode(const Message& message, const Options& o) {
    if (o.level < -1 || o.level > 8)
        return Error{ErrorCode::InvalidOption, "the PDF417 error-correction level is 0-8, not " + std::to_string(o.level)};
    if (o.columns != 0 && (o.columns < 1 || o.columns > 30))
        return Error{ErrorCode::InvalidOption, "PDF417 has 1-30 data columns, not " + std::to_string(o.columns)};
    if (o.rows != 0 && (o.rows < 3 || o.rows > 90))
        return Error{ErrorCode::InvalidOption, "PDF417 has 3-90 rows, not " + std::to_string(o.rows)};
    if (o.rowHeight < 1 || o.rowHeight > 20)
        return Error{ErrorCode::InvalidOption, "a PDF417 row is 1-20 modules tall, not " + std::to_string(o.rowHeight)};
    if (!(o.aspect > 0.01 && o.aspect < 100))
        return Error{ErrorCode::InvalidOption, "the PDF417 width-to-height ratio is 0.01-100"};

    auto stream = detail::dataCodewords(message, o.macro);
    if (!stream)
        return stream.error();
    const int data = static_cast<int>(stream->size()) + 1;  // with the length descriptor
    int level = o.level;
    if (level < 0) {
        level = detail::recommendedLevel(data);
        while (level > 0 && data + (2 << level) > MAX_CODEWORDS)
            --level;  // the most data the largest symbol holds, with less protection
    }
    const int check = 2 << level;
    const int needed = data + check;
    if (needed > MAX_CODEWORDS)
        return Error{ErrorCode::DataTooLong, "the data needs " + std::to_string(needed) +
                                                 " codewords at level " + std::to_string(level) +
                                                 "; a PDF417 symbol holds 928"};

    int rows = o.rows;
    int columns = o.columns;
    if (rows != 0 && columns != 0) {
        if (rows * columns < needed || rows * columns > MAX_CODEWORDS)
            return Error{ErrorCode::DataTooLong, "the data needs " + std::to_string(needed) + " codewords; " +
                                                     std::to_string(rows) + " rows of " + std::to_string(columns) +
                                                     " columns " +
                                                     (rows * columns > MAX_CODEWORDS ? "exceed 928" : "hold " +
                                                          std::to_string(rows * columns))};
    } else if (columns != 0) {
        rows = std::max(3, (needed + columns - 1) / columns);
        if (rows > 90 || rows * columns > MAX_CODEWORDS)
            return Error{ErrorCode::DataTooLong, "the data needs " + std::to_string(needed) + " codewords; " +
                                                     std::to_string(columns) + " columns hold at most " +
                                                     std::to_string(std::min(90 * columns, MAX_CODEWORDS / columns * columns))};
    } else if (rows != 0) {
        columns = (needed + rows - 1) / rows;
        if (columns > 30 || rows * columns > MAX_CODEWORDS)
            return Error{ErrorCode::DataTooLong, "the data needs " + std::to_string(needed) + " codewords; " +
                                                     std::to_string(rows) + " rows hold at most " +
                                                     std::to_string(std::min(30 * rows, MAX_CODEWORDS / rows * rows))};
        columns = std::max(columns, 1);
    } else {
        // The shape nearest the ratio asked for; among equals the fewest codewords, then the wider.
        double bestScore = 0;
        for (int c = 1; c <= 30; ++c) {
            const int r = std::max(3, (needed + c - 1) / c);
            if (r > 90 || r * c > MAX_CODEWORDS)
                continue;
            const double ratio = static_cast<double>(widthFor(c, o.compact)) / (r * o.rowHeight);
            const double score = std::fabs(std::log(ratio / o.aspect));
            if (columns == 0 || score < bestScore - 1e-9 ||
                (score < bestScore + 1e-9 && r * c <= rows * columns)) {
                bestScore = score;
                rows = r;
                columns = c;
            }
        }
        if (columns == 0)
            return Error{ErrorCode::DataTooLong, "the data needs " + std::to_string(needed) +
                                                     " codewords; no PDF417 shape holds them"};
    }

    Symbol s;
    s.rows = rows;
    s.columns = columns;
    s.level = level;
    s.checkCodewords = check;
    s.dataCodewords = rows * columns - check;
    s.padCodewords = s.dataCodewords - data;
    std::vector<int>& cw = s.codewords;
    cw.reserve(static_cast<std::size_t>(rows * columns));
    cw.push_back(s.dataCodewords);
    // Padding goes before a Macro PDF417 control block, which must end the data.
    // (928 begins it; no data or ECI codeword reaches 900.)
    const auto macroAt = std::find(stream->begin(), stream->end(), 928);
    cw.insert(cw.end(), stream->begin(), macroAt);
    cw.insert(cw.end(), static_cast<std::size_t>(s.padCodewords), PAD);
    cw.insert(cw.end(), macroAt, stream->end());
    const std::vector<int> checks = detail::checkWords(cw, check);
    cw.insert(cw.end(), checks.begin(), checks.end());

    s.width = widthFor(columns, o.compact);
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
        if (o.compact) {
            line[at++] = 1;
        } else {
            putCharacter(line, at, table[right]);
            put(line, at, STOP_PATTERN, STOP_MODULES);
        }
    }
    return s;
}

}  // namespace korvane::pdf417
