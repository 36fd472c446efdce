// MSI: digits with one or two modulo-10 / modulo-11 check digits.

#include "Common.h"

namespace korvane::detail {

Result<Symbol> encodeMsi(const std::string& data, const EncodeOptions& o) {
    LinearSymbol engine;
    engine.msiCheckMode = static_cast<int>(o.msiCheck);
    Result<Symbol> symbol = encodeWithEngine(Symbology::Msi, LinearSymbol::MSI, data, o, isDigit, engine);
    if (symbol)
        centredText(*symbol, engine.text);
    return symbol;
}

}  // namespace korvane::detail
