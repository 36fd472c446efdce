// Interleaved, Industrial and Matrix 2 of 5: digits in five elements, two of
// them wide.

#include "LinearBars.h"

#include <iterator>

namespace korvane::linear {
namespace {

// The two-of-five digit patterns: the wide positions weigh 1, 2, 4, 7 and
// parity (0 is 4 + 7).
constexpr const char* TWO_OF_FIVE[] = {
    "nnwwn", "wnnnw", "nwnnw", "wwnnn", "nnwnw", "wnwnn", "nwwnn", "nnnww", "wnnwn", "nwnwn",
};
static_assert(std::size(TWO_OF_FIVE) == 10);

constexpr bool weightsGiveDigits() {
    constexpr int WEIGHTS[] = {1, 2, 4, 7, 0};
    for (int d = 0; d < 10; ++d) {
        int value = 0, wide = 0;
        for (int i = 0; i < 5; ++i)
            if (TWO_OF_FIVE[d][i] == 'w')
                value += WEIGHTS[i], ++wide;
        if (wide != 2 || value != (d == 0 ? 11 : d))
            return false;
    }
    return true;
}
static_assert(weightsGiveDigits());

// Modulo 10, weights 3, 1, 3, ... from the rightmost digit.
char checkDigit(std::string_view digits) {
    int sum = 0;
    bool three = true;
    for (std::size_t i = digits.size(); i-- > 0;) {
        sum += (digits[i] - '0') * (three ? 3 : 1);
        three = !three;
    }
    return static_cast<char>('0' + complement(sum, 10));
}

Result<Symbol> interleaved(std::string_view data, const LinearSettings& settings) {
    const bool check = settings.check;
    const int wide = settings.wideRatio;
    // The digits drawn go in pairs: a leading zero evens them up.
    const bool leadingZero = (data.size() % 2 == 0) == check;
    std::string drawn;
    drawn.reserve(data.size() + 2);
    if (leadingZero)
        drawn += '0';
    drawn.append(data);
    std::string all = drawn;
    if (check)
        all += checkDigit(drawn);

    Result<Symbol> result = newSymbol(Symbology::Interleaved2of5, wide);
    Symbol& symbol = *result;
    BarWriter bars(symbol, 4 + 5 * all.size() + 3);
    for (int i = 0; i < 4; ++i)
        bars.add(1);
    for (std::size_t i = 0; i + 1 < all.size(); i += 2) {
        // The first digit of a pair is carried by five bars, the second by the five spaces between them.
        const char* barPattern = TWO_OF_FIVE[all[i] - '0'];
        const char* spacePattern = TWO_OF_FIVE[all[i + 1] - '0'];
        for (int k = 0; k < 5; ++k) {
            bars.add(barPattern[k] == 'w' ? wide : 1);
            bars.add(spacePattern[k] == 'w' ? wide : 1);
        }
    }
    bars.add(wide);
    bars.add(1);
    bars.add(1);
    bars.finish();
    if (leadingZero)
        symbol.warnings.push_back("a leading zero was added: Interleaved 2 of 5 draws digits in pairs");
    if (check)
        symbol.facts.checkCharacters.assign(1, all.back());
    symbol.facts.data = std::move(drawn);
    symbol.text = std::move(all);
    centredText(symbol);
    return result;
}

}  // namespace

Result<Symbol> encodeTwoOfFive(Symbology s, std::string_view data, const EncodeOptions& o) {
    if (const std::size_t bad = firstNonDigit(data); bad != std::string_view::npos)
        return invalidCharacter(s, data, bad);
    const Result<LinearSettings> settings = detail::linearSettings(s, o);
    if (!settings)
        return settings.error();
    if (s == Symbology::Interleaved2of5)
        return interleaved(data, *settings);

    const int wide = settings->wideRatio;
    const bool industrial = s == Symbology::Industrial2of5;
    // Matrix 2 of 5 has no check digit (its rule refuses one before this).
    const bool check = industrial && settings->check;
    const std::size_t digits = data.size() + (check ? 1 : 0);
    // Built where it is returned from, so that the symbol is never moved.
    return [&] {
        Result<Symbol> result = newSymbol(s, wide);
        Symbol& symbol = *result;
        if (check)
            symbol.facts.checkCharacters.assign(1, checkDigit(data));
        if (industrial) {
            // The data is in the bars alone; every space is narrow.
            BarWriter bars(symbol, 6 + 10 * digits + 5);
            for (int w : {wide, 1, wide, 1, 1, 1})
                bars.add(w);
            const auto addDigit = [&](char c) {
                const char* p = TWO_OF_FIVE[c - '0'];
                for (int k = 0; k < 5; ++k) {
                    bars.add(p[k] == 'w' ? wide : 1);
                    bars.add(1);
                }
            };
            for (char c : data)
                addDigit(c);
            if (check)
                addDigit(symbol.facts.checkCharacters[0]);
            for (int w : {wide, 1, 1, 1, wide})
                bars.add(w);
            bars.finish();
        } else {
            // Each digit is followed by a narrow space; the stop's trailing space is quiet zone.
            BarWriter bars(symbol, 6 + 6 * digits + 5);
            for (int w : {wide, 1, 1, 1, 1, 1})
                bars.add(w);
            for (char c : data) {
                bars.narrowWide(TWO_OF_FIVE[c - '0'], 5, wide);
                bars.add(1);
            }
            for (int w : {wide, 1, 1, 1, 1})
                bars.add(w);
            bars.finish();
        }
        symbol.facts.data.append(data);
        symbol.text.append(data).append(symbol.facts.checkCharacters);
        centredText(symbol);
        return result;
    }();
}

}  // namespace korvane::linear
