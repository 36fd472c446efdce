// Code 11 (USD-8): digits and the dash, with check C (and K for more than ten characters).

#include "LinearBars.h"

#include <iterator>

namespace korvane::linear {
namespace {

// USD-8 character table, in order of check-sum value: five elements, bar
// first, 'n' narrow and 'w' wide.
constexpr const char* CODE11_PATTERNS[] = {
    "nnnnw", "wnnnw", "nwnnw", "wwnnn", "nnwnw", "wnwnn", "nwwnn", "nnnww", "wnnwn", "wnnnn",  // 0-9
    "nnwnn",                                                                                   // - (10)
};
static_assert(std::size(CODE11_PATTERNS) == 11);
constexpr const char* START_STOP = "nnwwn";
constexpr char CODE11_CHARACTERS[] = "0123456789-";
constexpr int ELEMENTS = 5;  // and a narrow gap after each character but the stop

int valueOf(char c) { return c == '-' ? 10 : c - '0'; }

// Weights firstWeight ... maxWeight, 1, 2, ... from the last character to the first.
int weightedSum(std::string_view data, int firstWeight, int maxWeight) {
    int sum = 0;
    int weight = firstWeight;
    for (std::size_t i = data.size(); i-- > 0;) {
        sum += weight * valueOf(data[i]);
        weight = weight % maxWeight + 1;
    }
    return sum;
}

void addCharacter(BarWriter& bars, const char* pattern, int wide) {
    bars.narrowWide(pattern, ELEMENTS, wide);
    bars.add(1);
}

}  // namespace

Result<Symbol> encodeCode11(std::string_view data, const EncodeOptions& o) {
    if (const std::size_t bad = firstRefused(data, [](unsigned char c) { return isDigit(c) || c == '-'; });
        bad != std::string_view::npos)
        return invalidCharacter(Symbology::Code11, data, bad);
    const Result<LinearSettings> settings = detail::linearSettings(Symbology::Code11, o);
    if (!settings)
        return settings.error();
    const int wide = settings->wideRatio;
    const bool check = settings->check;
    const bool twoChecks = check && data.size() > 10;
    const int checks = check ? (twoChecks ? 2 : 1) : 0;

    // Built where it is returned from, so that the symbol is never moved.
    return [&] {
        Result<Symbol> result = newSymbol(Symbology::Code11, wide);
        Symbol& symbol = *result;
        BarWriter bars(symbol, (data.size() + checks + 1) * (ELEMENTS + 1) + ELEMENTS);
        addCharacter(bars, START_STOP, wide);
        for (char c : data)
            addCharacter(bars, CODE11_PATTERNS[valueOf(c)], wide);
        if (check) {
            const int c = weightedSum(data, 1, 10) % 11;
            const int k = (c + weightedSum(data, 2, 9)) % 11;  // C takes weight 1 in K
            addCharacter(bars, CODE11_PATTERNS[c], wide);
            symbol.facts.checkCharacters.assign(1, CODE11_CHARACTERS[c]);
            if (twoChecks) {
                addCharacter(bars, CODE11_PATTERNS[k], wide);
                symbol.facts.checkCharacters += CODE11_CHARACTERS[k];
            }
        }
        bars.narrowWide(START_STOP, ELEMENTS, wide);
        bars.finish();
        symbol.facts.data.append(data);
        symbol.text.append(data).append(symbol.facts.checkCharacters);
        centredText(symbol);
        return result;
    }();
}

}  // namespace korvane::linear
