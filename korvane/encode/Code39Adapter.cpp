// Code 39 (ISO/IEC 16388) and its full-ASCII form.

#include "Common.h"

namespace korvane::detail {

Result<Symbol> encodeCode39(Symbology s, const std::string& data, const EncodeOptions& o) {
    const bool extended = s == Symbology::Code39Extended;
    LinearSymbol engine;
    Result<Symbol> symbol =
        extended ? encodeWithEngine(s, LinearSymbol::CODE39_EXTENDED, data, o, isAscii, engine)
                 : encodeWithEngine(s, LinearSymbol::CODE39, data, o, inCode39Set, engine);
    // The check character of the full-ASCII form is a Code 39 character, shown as it is.
    if (symbol)
        centredText(*symbol, humanReadable(data) + symbol->facts.checkCharacters);
    return symbol;
}

}  // namespace korvane::detail
