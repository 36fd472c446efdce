// Code 39 (ISO/IEC 16388) and its full-ASCII form.

#include "Common.h"

namespace korvane::detail {
namespace {

bool isCode39Character(unsigned char c) {
    return isDigit(c) || (c >= 'A' && c <= 'Z') || c == '-' || c == '.' || c == ' ' || c == '$' || c == '/' ||
           c == '+' || c == '%';
}

// The human-readable form of full-ASCII data: control characters show as spaces.
std::string printable(const std::string& data) {
    std::string out = data;
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 32 || c == 127)
            c = ' ';
    return out;
}

}  // namespace

Result<Symbol> encodeCode39(Symbology s, const std::string& data, const EncodeOptions& o) {
    const bool extended = s == Symbology::Code39Extended;
    const std::size_t bad =
        extended ? firstRefused(data, [](unsigned char c) { return c < 128; }) : firstRefused(data, isCode39Character);
    if (bad != std::string::npos)
        return invalidCharacter(s, data, bad);
    const Result<bool> check = checkWanted(s, o);
    if (!check)
        return check.error();
    const Result<int> ratio = wideRatioWanted(s, o);
    if (!ratio)
        return ratio.error();

    LinearSymbol engine = engineSymbol(extended ? LinearSymbol::CODE39_EXTENDED : LinearSymbol::CODE39, data, *check,
                                       *ratio);
    Result<Symbol> symbol = runEngine(engine, s);
    if (!symbol)
        return symbol;
    symbol->wideRatio = *ratio;
    // The check character of the full-ASCII form is a Code 39 character, shown as it is.
    dataAndChecks(*symbol, data, engine.text);
    centredText(*symbol, printable(data) + symbol->facts.checkCharacters);
    return symbol;
}

}  // namespace korvane::detail
