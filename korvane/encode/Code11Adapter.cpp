// Code 11: digits and the dash, with check C (and K for more than ten characters).

#include "Common.h"

namespace korvane::detail {

Result<Symbol> encodeCode11(const std::string& data, const EncodeOptions& o) {
    LinearSymbol engine;
    Result<Symbol> symbol = encodeWithEngine(Symbology::Code11, LinearSymbol::CODE11, data, o,
                                             [](unsigned char c) { return isDigit(c) || c == '-'; }, engine);
    if (symbol)
        centredText(*symbol, engine.text);
    return symbol;
}

}  // namespace korvane::detail
