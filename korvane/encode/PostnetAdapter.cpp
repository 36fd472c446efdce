// Postnet: the United States Postal Service's bar-height code for ZIP codes.

#include "Common.h"

namespace korvane::detail {
namespace {

// Bars of 0.020 in on a pitch of 0.050 in (20 bars per inch, within the
// 20-24 the postal service accepts) at the nominal X of 0.010 in.
constexpr int BAR_MODULES = 2;
constexpr int SPACE_MODULES = 3;

}  // namespace

Result<Symbol> encodePostnet(const std::string& data, const EncodeOptions& o) {
    if (const std::size_t bad = firstRefused(data, isDigit); bad != std::string::npos)
        return invalidCharacter(Symbology::Postnet, data, bad);
    if (data.size() != 5 && data.size() != 9 && data.size() != 11)
        return Error{ErrorCode::InvalidData, "Postnet encodes a ZIP code of 5 digits, ZIP+4 of 9 or a delivery "
                                             "point of 11; \"" + data + "\" has " + std::to_string(data.size())};
    LinearSymbol engine;
    Result<Symbol> symbol = encodeWithEngine(Symbology::Postnet, LinearSymbol::POSTNET, data, o, isDigit, engine);
    if (!symbol)
        return symbol;
    const int tall = static_cast<int>(engine.postnetTallBarHeight);
    symbol->widthModules = 0;
    for (std::size_t i = 0; i < symbol->widths.size(); ++i) {
        const bool bar = i % 2 == 0;
        symbol->widths[i] = bar ? BAR_MODULES : SPACE_MODULES;
        if (bar && engine.barHeights[i] < tall)
            symbol->kinds[i] = BarKind::Short;
        symbol->widthModules += symbol->widths[i];
    }

    int sum = 0;
    for (char c : data)
        sum += c - '0';
    symbol->facts.data = data;
    symbol->facts.checkCharacters = std::string(1, static_cast<char>('0' + (10 - sum % 10) % 10));
    // Postnet symbols carry no human-readable line; the address printed beside them is the text.
    symbol->text = data;
    return symbol;
}

}  // namespace korvane::detail
