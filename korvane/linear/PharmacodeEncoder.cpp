// Pharmacode (Laetus, one track): a number from 3 to 131070 in narrow and
// wide bars with spaces of two modules between them. Read from the right,
// a narrow bar in place i adds 2^i and a wide one 2^(i+1).

#include "LinearBars.h"

#include <string>

namespace korvane::linear {

Result<Symbol> encodePharmacode(std::string_view data, const EncodeOptions& o) {
    constexpr Symbology S = Symbology::Pharmacode;
    if (const std::size_t bad = firstNonDigit(data); bad != std::string_view::npos)
        return invalidCharacter(S, data, bad);
    const Result<LinearSettings> settings = detail::linearSettings(S, o);
    if (!settings)
        return settings.error();
    // Narrow bars are one module, wide ones three, spaces two: a wide bar of
    // two would be a space's width.
    if (settings->wideRatio != 3)
        return Error{ErrorCode::InvalidOption, "Pharmacode's wide bars are 3 narrow ones; the wide ratio cannot be " +
                                                   std::to_string(settings->wideRatio)};
    std::size_t first = 0;
    while (first + 1 < data.size() && data[first] == '0')
        ++first;
    const std::string_view number = data.substr(std::min(first, data.size()));
    const long value = number.empty() || number.size() > 6 ? -1 : std::stol(std::string(number));
    if (value < 3 || value > 131070)
        return Error{ErrorCode::InvalidData, "Pharmacode takes a number from 3 to 131070; \"" + std::string(data) +
                                                 "\" is out of range"};
    // The bars from the right: narrow for an odd remainder, wide for an even one.
    std::string wide;
    for (long n = value; n > 0;) {
        const bool even = n % 2 == 0;
        wide += even ? 'w' : 'n';
        n = (n - (even ? 2 : 1)) / 2;
    }
    Result<Symbol> result = newSymbol(S, 3);
    Symbol& symbol = *result;
    BarWriter bars(symbol, 2 * wide.size() - 1);
    for (std::size_t i = wide.size(); i-- > 0;) {
        bars.add(wide[i] == 'w' ? 3 : 1);
        if (i > 0)
            bars.add(2);
    }
    bars.finish();
    symbol.facts.data = std::to_string(value);
    symbol.text = symbol.facts.data;
    centredText(symbol);
    return result;
}

}  // namespace korvane::linear
