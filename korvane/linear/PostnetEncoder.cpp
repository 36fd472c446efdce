// Postnet: the United States Postal Service's bar-height code for ZIP codes.

#include "LinearBars.h"

#include <iterator>

namespace korvane::linear {
namespace {

// USPS Publication 25 digit table: five bars, 1 full and 0 half height; two of
// the five are full (weights 7, 4, 2, 1, 0; 0 is 7 + 4).
constexpr const char* POSTNET_DIGITS[] = {
    "11000", "00011", "00101", "00110", "01001", "01010", "01100", "10001", "10010", "10100",
};
static_assert(std::size(POSTNET_DIGITS) == 10);

constexpr bool twoFullBarsEach() {
    constexpr int WEIGHTS[] = {7, 4, 2, 1, 0};
    for (int d = 0; d < 10; ++d) {
        int full = 0, value = 0;
        for (int i = 0; i < 5; ++i)
            if (POSTNET_DIGITS[d][i] == '1')
                ++full, value += WEIGHTS[i];
        if (full != 2 || value != (d == 0 ? 11 : d))
            return false;
    }
    return true;
}
static_assert(twoFullBarsEach());

// Bars of 0.020 in on a pitch of 0.050 in (20 bars per inch, within the
// 20-24 the postal service accepts) at the nominal X of 0.010 in.
constexpr int BAR_MODULES = 2;
constexpr int SPACE_MODULES = 3;

}  // namespace

Result<Symbol> encodePostnet(std::string_view data, const EncodeOptions& o) {
    if (const std::size_t bad = firstNonDigit(data); bad != std::string_view::npos)
        return invalidCharacter(Symbology::Postnet, data, bad);
    if (data.size() != 5 && data.size() != 9 && data.size() != 11)
        return Error{ErrorCode::InvalidData, "Postnet encodes a ZIP code of 5 digits, ZIP+4 of 9 or a delivery "
                                             "point of 11; \"" + std::string(data) + "\" has " +
                                                 std::to_string(data.size())};
    const Result<LinearSettings> settings = detail::linearSettings(Symbology::Postnet, o);
    if (!settings)
        return settings.error();

    int sum = 0;
    for (char c : data)
        sum += c - '0';
    const char check = static_cast<char>('0' + complement(sum, 10));

    // Built where it is returned from, so that the symbol is never moved.
    return [&] {
        Result<Symbol> result = newSymbol(Symbology::Postnet, settings->wideRatio);
        Symbol& symbol = *result;
        // Frame bar, five bars a digit, frame bar; a space after each bar but the last.
        const std::size_t barCount = 2 + 5 * (data.size() + 1);
        const std::size_t count = 2 * barCount - 1;
        symbol.widths.assign(count, SPACE_MODULES);
        symbol.kinds.assign(count, BarKind::Data);
        std::size_t bar = 2;  // the frame bar stays full
        const auto addDigit = [&](char c) {
            for (const char* p = POSTNET_DIGITS[c - '0']; *p != '\0'; ++p, bar += 2)
                if (*p == '0')
                    symbol.kinds[bar] = BarKind::Short;
        };
        for (char c : data)
            addDigit(c);
        addDigit(check);
        for (std::size_t i = 0; i < count; i += 2)
            symbol.widths[i] = BAR_MODULES;
        symbol.widthModules = static_cast<int>(barCount * BAR_MODULES + (barCount - 1) * SPACE_MODULES);
        symbol.facts.data.assign(data);
        symbol.facts.checkCharacters.assign(1, check);
        // Postnet symbols carry no human-readable line; the address printed beside them is the text.
        symbol.text.assign(data);
        return result;
    }();
}

}  // namespace korvane::linear
