// IATA 2 of 5 (Industrial 2 of 5 with the start and stop of Interleaved
// 2 of 5, as airline baggage tags print it) and Datalogic 2 of 5 (Matrix
// 2 of 5 digits between the same start and stop). Both take the modulo-10
// check digit of the 2 of 5 family on request.

#include "LinearBars.h"

namespace korvane::linear {
namespace {

// Wide positions weigh 1, 2, 4, 7 and parity (0 is 4 + 7).
constexpr const char* TWO_OF_FIVE[] = {
    "nnwwn", "wnnnw", "nwnnw", "wwnnn", "nnwnw", "wnwnn", "nwwnn", "nnnww", "wnnwn", "nwnwn",
};

// Modulo 10, weights 3, 1, 3, ... from the rightmost digit.
char checkDigit(std::string_view digits) {
    int sum = 0;
    bool three = true;
    for (std::size_t i = digits.size(); i-- > 0; three = !three)
        sum += (digits[i] - '0') * (three ? 3 : 1);
    return static_cast<char>('0' + complement(sum, 10));
}

}  // namespace

Result<Symbol> encodeTwoOfFiveVariant(Symbology s, std::string_view data, const EncodeOptions& o) {
    if (const std::size_t bad = firstNonDigit(data); bad != std::string_view::npos)
        return invalidCharacter(s, data, bad);
    const Result<LinearSettings> settings = detail::linearSettings(s, o);
    if (!settings)
        return settings.error();
    const int wide = settings->wideRatio;
    const bool iata = s == Symbology::Iata2of5;
    std::string all(data);
    if (settings->check)
        all += checkDigit(data);
    Result<Symbol> result = newSymbol(s, wide);
    Symbol& symbol = *result;
    // Start: two narrow bars; stop: a wide bar, a narrow space and a narrow bar.
    BarWriter bars(symbol, 4 + (iata ? 10 : 6) * all.size() + 3);
    for (int i = 0; i < 4; ++i)
        bars.add(1);
    for (char c : all) {
        const char* p = TWO_OF_FIVE[c - '0'];
        if (iata) {
            // The bars carry the digit; every space is narrow.
            for (int k = 0; k < 5; ++k) {
                bars.add(p[k] == 'w' ? wide : 1);
                bars.add(1);
            }
        } else {
            // Bar, space, bar, space, bar and a narrow gap.
            bars.narrowWide(p, 5, wide);
            bars.add(1);
        }
    }
    for (int w : {wide, 1, 1})
        bars.add(w);
    bars.finish();
    if (settings->check)
        symbol.facts.checkCharacters.assign(1, all.back());
    symbol.facts.data.append(data);
    symbol.text = std::move(all);
    centredText(symbol);
    return result;
}

}  // namespace korvane::linear
