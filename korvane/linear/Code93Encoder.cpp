// Code 93 and its full-ASCII form (AIM USS Code 93): the Code 39 characters,
// or all of ASCII through shift pairs, with the check characters C and K.

#include "LinearBars.h"

#include <iterator>

namespace korvane::linear {
namespace {

// AIM USS Code 93 character table, in order of check-sum value: six element
// widths in modules, bar first, nine modules in all. Values 43-46 are the
// shifts ($), (%), (/) and (+).
constexpr const char* CODE93_PATTERNS[] = {
    "131112", "111213", "111312", "111411", "121113", "121212", "121311", "111114", "131211", "141111",  // 0-9
    "211113", "211212", "211311", "221112", "221211", "231111", "112113", "112212", "112311", "122112",  // A-J
    "132111", "111123", "111222", "111321", "121122", "131121", "212112", "212211", "211122", "211221",  // K-T
    "221121", "222111", "112122", "112221", "122121", "123111",                                          // U-Z
    "121131", "311112", "311211", "321111", "112131", "113121", "211131",                                // - . space $ / + %
    "121221", "312111", "311121", "122211",                                                              // shifts
};
static_assert(std::size(CODE93_PATTERNS) == 47);
// How a check character shows in the facts: the shifts have no character of their own.
constexpr char CODE93_CHARACTERS[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%____";
static_assert(std::size(CODE93_CHARACTERS) == 48);

constexpr const char* START = "111141";
constexpr const char* STOP = "1111411";  // the stop character and the final bar
constexpr int ELEMENTS = 6;

constexpr bool patternsNineModules() {
    for (const char* p : CODE93_PATTERNS) {
        int modules = 0;
        for (int i = 0; i < ELEMENTS; ++i)
            modules += p[i] - '0';
        if (modules != 9 || p[ELEMENTS] != '\0')
            return false;
    }
    return true;
}
static_assert(patternsNineModules());

constexpr int SHIFT_DOLLAR = 43, SHIFT_PERCENT = 44, SHIFT_SLASH = 45, SHIFT_PLUS = 46;

// Full ASCII: each byte as (shift, value) or (-1, value); the value is that of
// a Code 39 character. The shift pairs follow the full-ASCII table of Code 39
// with ($) (%) (/) (+) in place of $ % / +.
struct Expansion {
    signed char shift;
    signed char value;
};
constexpr int letter(char c) { return c - 'A' + 10; }
constexpr Expansion expansionOf(int byte) {
    if (byte == 0)
        return {SHIFT_PERCENT, letter('U')};
    if (byte < 27)
        return {SHIFT_DOLLAR, static_cast<signed char>(letter('A') + byte - 1)};
    if (byte < 32)
        return {SHIFT_PERCENT, static_cast<signed char>(letter('A') + byte - 27)};
    if (byte == ' ')
        return {-1, 38};
    if (byte == '-')
        return {-1, 36};
    if (byte == '.')
        return {-1, 37};
    if (byte >= '0' && byte <= '9')
        return {-1, static_cast<signed char>(byte - '0')};
    if (byte == ':')
        return {SHIFT_SLASH, letter('Z')};
    if (byte < 48)
        return {SHIFT_SLASH, static_cast<signed char>(letter('A') + byte - 33)};
    if (byte < 64)
        return {SHIFT_PERCENT, static_cast<signed char>(letter('F') + byte - 59)};
    if (byte == '@')
        return {SHIFT_PERCENT, letter('V')};
    if (byte <= 'Z')
        return {-1, static_cast<signed char>(letter('A') + byte - 'A')};
    if (byte < 96)
        return {SHIFT_PERCENT, static_cast<signed char>(letter('K') + byte - 91)};
    if (byte == '`')
        return {SHIFT_PERCENT, letter('W')};
    if (byte <= 'z')
        return {SHIFT_PLUS, static_cast<signed char>(letter('A') + byte - 'a')};
    return {SHIFT_PERCENT, static_cast<signed char>(letter('P') + byte - 123)};
}
struct ExpansionTable {
    Expansion e[128];
};
constexpr ExpansionTable makeExpansions() {
    ExpansionTable t{};
    for (int b = 0; b < 128; ++b)
        t.e[b] = expansionOf(b);
    return t;
}
constexpr ExpansionTable FULL_ASCII = makeExpansions();
// Spot checks against the published table: NUL (%)U, DEL (%)T, '$' (/)D, ';' (%)F, '{' (%)P.
static_assert(FULL_ASCII.e[0].shift == SHIFT_PERCENT && FULL_ASCII.e[0].value == letter('U'));
static_assert(FULL_ASCII.e[127].shift == SHIFT_PERCENT && FULL_ASCII.e[127].value == letter('T'));
static_assert(FULL_ASCII.e['$'].shift == SHIFT_SLASH && FULL_ASCII.e['$'].value == letter('D'));
static_assert(FULL_ASCII.e[';'].shift == SHIFT_PERCENT && FULL_ASCII.e[';'].value == letter('F'));
static_assert(FULL_ASCII.e['{'].shift == SHIFT_PERCENT && FULL_ASCII.e['{'].value == letter('P'));
static_assert(FULL_ASCII.e['/'].shift == SHIFT_SLASH && FULL_ASCII.e['/'].value == letter('O'));

// The Code 39 characters' values (as in Code 39) for the plain form.
int plainValue(unsigned char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    switch (c) {
    case '-': return 36;
    case '.': return 37;
    case ' ': return 38;
    case '$': return 39;
    case '/': return 40;
    case '+': return 41;
    default: return 42;  // '%', the last the check before this lets through
    }
}

// Sum of value x weight, weights 1 to maxWeight repeating from the last value, modulo 47.
int checkValue(const signed char* values, std::size_t count, int maxWeight) {
    int sum = 0;
    int weight = 0;
    for (std::size_t i = count; i-- > 0;) {
        weight = weight % maxWeight + 1;
        sum += values[i] * weight;
    }
    return sum % 47;
}

}  // namespace

Result<Symbol> encodeCode93(Symbology s, std::string_view data, const EncodeOptions& o) {
    const bool extended = s == Symbology::Code93Extended;
    if (const std::size_t bad = extended ? firstRefused(data, isAscii) : firstRefused(data, inCode39Set);
        bad != std::string_view::npos)
        return invalidCharacter(s, data, bad);
    const Result<LinearSettings> settings = detail::linearSettings(s, o);
    if (!settings)
        return settings.error();

    // The values drawn, for the check sums: two per byte at most, and C.
    std::string values(2 * data.size() + 1, '\0');
    auto* v = reinterpret_cast<signed char*>(values.data());
    std::size_t count = 0;
    for (char c : data) {
        const auto byte = static_cast<unsigned char>(c);
        if (!extended) {
            v[count++] = static_cast<signed char>(plainValue(byte));
            continue;
        }
        const Expansion e = FULL_ASCII.e[byte];
        if (e.shift >= 0)
            v[count++] = e.shift;
        v[count++] = e.value;
    }
    const bool check = settings->check;
    // Built where it is returned from, so that the symbol is never moved.
    return [&] {
        Result<Symbol> result = newSymbol(s, settings->wideRatio);
        Symbol& symbol = *result;
        BarWriter bars(symbol, ELEMENTS * (count + (check ? 3 : 1)) + 7);
        bars.digits(START, ELEMENTS);
        for (std::size_t i = 0; i < count; ++i)
            bars.digits(CODE93_PATTERNS[v[i]], ELEMENTS);
        if (check) {
            const int c = checkValue(v, count, 20);
            v[count] = static_cast<signed char>(c);
            const int k = checkValue(v, count + 1, 15);  // C takes weight 1 in K
            bars.digits(CODE93_PATTERNS[c], ELEMENTS);
            bars.digits(CODE93_PATTERNS[k], ELEMENTS);
            symbol.facts.checkCharacters = {CODE93_CHARACTERS[c], CODE93_CHARACTERS[k]};
        }
        bars.digits(STOP, 7);
        bars.finish();
        symbol.facts.data.assign(data);
        // C and K are read by scanners, not by people.
        appendReadable(symbol.text, data);
        centredText(symbol);
        return result;
    }();
}

}  // namespace korvane::linear
