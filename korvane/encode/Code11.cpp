// Code 11: digits and the dash, with check C (and K for more than ten characters).

#include "Common.h"

namespace korvane::detail {

Result<Symbol> encodeCode11(const std::string& data, const EncodeOptions& o) {
    const std::size_t bad = firstRefused(data, [](unsigned char c) { return isDigit(c) || c == '-'; });
    if (bad != std::string::npos)
        return invalidCharacter(Symbology::Code11, data, bad);
    const Result<bool> check = checkWanted(Symbology::Code11, o);
    if (!check)
        return check.error();
    const Result<int> ratio = wideRatioWanted(Symbology::Code11, o);
    if (!ratio)
        return ratio.error();

    LinearSymbol engine = engineSymbol(LinearSymbol::CODE11, data, *check, *ratio);
    Result<Symbol> symbol = runEngine(engine, Symbology::Code11);
    if (!symbol)
        return symbol;
    symbol->wideRatio = *ratio;
    dataAndChecks(*symbol, data, engine.text);
    centredText(*symbol, engine.text);
    return symbol;
}

}  // namespace korvane::detail
