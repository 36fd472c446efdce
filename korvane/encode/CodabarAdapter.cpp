// Codabar, with its start and stop characters A-D and the optional modulo-16 check.

#include "Common.h"

namespace korvane::detail {
namespace {

bool isCodabarData(unsigned char c) {
    return isDigit(c) || c == '-' || c == '$' || c == ':' || c == '/' || c == '.' || c == '+';
}

char startStop(unsigned char c) {
    const char upper = static_cast<char>(c >= 'a' && c <= 'd' ? c - 'a' + 'A' : c);
    return upper >= 'A' && upper <= 'D' ? upper : 0;
}

}  // namespace

Result<Symbol> encodeCodabar(const std::string& data, const EncodeOptions& o) {
    // Data that opens and closes with A-D carries its own start and stop.
    std::string value = data;
    char start = startStop(static_cast<unsigned char>(o.codabarStart));
    char stop = startStop(static_cast<unsigned char>(o.codabarStop));
    std::size_t offset = 0;
    if (value.size() >= 2 && startStop(static_cast<unsigned char>(value.front())) &&
        startStop(static_cast<unsigned char>(value.back()))) {
        start = startStop(static_cast<unsigned char>(value.front()));
        stop = startStop(static_cast<unsigned char>(value.back()));
        value = value.substr(1, value.size() - 2);
        offset = 1;
    }
    if (!start || !stop)
        return Error{ErrorCode::InvalidOption, "Codabar start and stop characters are A, B, C or D"};
    if (value.empty())
        return Error{ErrorCode::InvalidData, "the Codabar data between start and stop is empty"};
    // Positions in messages count from the first character given, start included.
    if (const std::size_t bad = firstRefused(value, isCodabarData); bad != std::string::npos)
        return invalidCharacter(Symbology::Codabar, data, bad + offset);
    LinearSymbol engine;
    engine.codabarStartChar = start;
    engine.codabarStopChar = stop;
    Result<Symbol> symbol = encodeWithEngine(Symbology::Codabar, LinearSymbol::CODABAR, value, o, isCodabarData, engine);
    if (symbol)
        centredText(*symbol, engine.text);
    return symbol;
}

}  // namespace korvane::detail
