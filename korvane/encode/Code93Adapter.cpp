// Code 93 and its full-ASCII form: the Code 39 characters, or all of ASCII
// through shift pairs, with the two check characters C and K.

#include "Common.h"

namespace korvane::detail {

Result<Symbol> encodeCode93(Symbology s, const std::string& data, const EncodeOptions& o) {
    LinearSymbol engine;
    Result<Symbol> symbol =
        s == Symbology::Code93Extended ? encodeWithEngine(s, LinearSymbol::CODE93_EXTENDED, data, o, isAscii, engine)
                                       : encodeWithEngine(s, LinearSymbol::CODE93, data, o, inCode39Set, engine);
    // C and K are read by scanners, not by people.
    if (symbol)
        centredText(*symbol, humanReadable(data));
    return symbol;
}

}  // namespace korvane::detail
