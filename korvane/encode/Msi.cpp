// MSI: digits with one or two modulo-10 / modulo-11 check digits.

#include "Common.h"

namespace korvane::detail {

Result<Symbol> encodeMsi(const std::string& data, const EncodeOptions& o) {
    if (const std::size_t bad = firstRefused(data, isDigit); bad != std::string::npos)
        return invalidCharacter(Symbology::Msi, data, bad);
    const Result<bool> check = checkWanted(Symbology::Msi, o);
    if (!check)
        return check.error();
    const Result<int> ratio = wideRatioWanted(Symbology::Msi, o);
    if (!ratio)
        return ratio.error();

    LinearSymbol engine = engineSymbol(LinearSymbol::MSI, data, *check, *ratio);
    engine.msiCheckMode = static_cast<int>(o.msiCheck);
    Result<Symbol> symbol = runEngine(engine, Symbology::Msi);
    if (!symbol)
        return Error{ErrorCode::InvalidData, symbol.error().message};
    symbol->wideRatio = *ratio;
    dataAndChecks(*symbol, data, engine.text);
    centredText(*symbol, engine.text);
    return symbol;
}

}  // namespace korvane::detail
