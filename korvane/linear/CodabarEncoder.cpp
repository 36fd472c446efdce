// Codabar, with its start and stop characters A-D and the optional modulo-16 check.

#include "LinearBars.h"

#include <iterator>

namespace korvane::linear {
namespace {

// Codabar character table, in order of check-sum value: seven elements, bar
// first, 'n' narrow and 'w' wide; values 16-19 are the start and stop
// characters A-D.
constexpr const char* CODABAR_PATTERNS[] = {
    "nnnnnww", "nnnnwwn", "nnnwnnw", "wwnnnnn", "nnwnnwn", "wnnnnwn", "nwnnnnw", "nwnnwnn", "nwwnnnn", "wnnwnnn",  // 0-9
    "nnnwwnn", "nnwwnnn", "wnnnwnw", "wnwnnnw", "wnwnwnn", "nnwnwnw",  // - $ : / . +
    "nnwwnwn", "nwnwnnw", "nnnwnww", "nnnwwwn",                        // A B C D
};
static_assert(std::size(CODABAR_PATTERNS) == 20);
constexpr char CODABAR_CHARACTERS[] = "0123456789-$:/.+ABCD";
static_assert(std::size(CODABAR_CHARACTERS) == 21);
constexpr int ELEMENTS = 7;  // and a narrow gap after each character but the stop
constexpr int FIRST_START_STOP = 16;

bool isCodabarData(unsigned char c) {
    return isDigit(c) || c == '-' || c == '$' || c == ':' || c == '/' || c == '.' || c == '+';
}

int valueOf(unsigned char c) {
    switch (c) {
    case '-': return 10;
    case '$': return 11;
    case ':': return 12;
    case '/': return 13;
    case '.': return 14;
    case '+': return 15;
    default: return c - '0';
    }
}

// 'A'-'D' (either case) as upper case, else 0.
char startStop(unsigned char c) {
    const char upper = static_cast<char>(c >= 'a' && c <= 'd' ? c - 'a' + 'A' : c);
    return upper >= 'A' && upper <= 'D' ? upper : 0;
}

void addCharacter(BarWriter& bars, int value, int wide) {
    bars.narrowWide(CODABAR_PATTERNS[value], ELEMENTS, wide);
    bars.add(1);
}

}  // namespace

Result<Symbol> encodeCodabar(std::string_view data, const EncodeOptions& o) {
    // Data that opens and closes with A-D carries its own start and stop.
    std::string_view value = data;
    char start = startStop(static_cast<unsigned char>(o.codabarStart));
    char stop = startStop(static_cast<unsigned char>(o.codabarStop));
    std::size_t offset = 0;
    if (value.size() >= 2 && startStop(static_cast<unsigned char>(value.front())) &&
        startStop(static_cast<unsigned char>(value.back()))) {
        start = startStop(static_cast<unsigned char>(value.front()));
        stop = startStop(static_cast<unsigned char>(value.back()));
        value = value.substr(1, value.size() - 2);
        offset = 1;
    }
    if (!start || !stop)
        return Error{ErrorCode::InvalidOption, "Codabar start and stop characters are A, B, C or D"};
    if (value.empty())
        return Error{ErrorCode::InvalidData, "the Codabar data between start and stop is empty"};
    // Positions in messages count from the first character given, start included.
    if (const std::size_t bad = firstRefused(value, isCodabarData); bad != std::string_view::npos)
        return invalidCharacter(Symbology::Codabar, data, bad + offset);
    const Result<LinearSettings> settings = detail::linearSettings(Symbology::Codabar, o);
    if (!settings)
        return settings.error();
    const int wide = settings->wideRatio;
    const bool check = settings->check;

    const int startValue = FIRST_START_STOP + (start - 'A');
    const int stopValue = FIRST_START_STOP + (stop - 'A');
    // Built where it is returned from, so that the symbol is never moved.
    return [&] {
        Result<Symbol> result = newSymbol(Symbology::Codabar, wide);
        Symbol& symbol = *result;
        BarWriter bars(symbol, (value.size() + (check ? 2 : 1)) * (ELEMENTS + 1) + ELEMENTS);
        addCharacter(bars, startValue, wide);
        // The check makes start + data + stop + check a multiple of 16.
        int sum = startValue + stopValue;
        for (char c : value) {
            const int k = valueOf(static_cast<unsigned char>(c));
            sum += k;
            addCharacter(bars, k, wide);
        }
        if (check) {
            const int k = complement(sum, 16);
            addCharacter(bars, k, wide);
            symbol.facts.checkCharacters.assign(1, CODABAR_CHARACTERS[k]);
        }
        bars.narrowWide(CODABAR_PATTERNS[stopValue], ELEMENTS, wide);
        bars.finish();
        symbol.facts.data.append(value);
        symbol.text.append(value).append(symbol.facts.checkCharacters);
        centredText(symbol);
        return result;
    }();
}

}  // namespace korvane::linear
