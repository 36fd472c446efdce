// Code 93 and its full-ASCII form.

#include "Common.h"

namespace korvane::detail {
namespace {

bool isCode93Character(unsigned char c) {
    return isDigit(c) || (c >= 'A' && c <= 'Z') || c == '-' || c == '.' || c == ' ' || c == '$' || c == '/' ||
           c == '+' || c == '%';
}

std::string printable(const std::string& data) {
    std::string out = data;
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 32 || c == 127)
            c = ' ';
    return out;
}

}  // namespace

Result<Symbol> encodeCode93(Symbology s, const std::string& data, const EncodeOptions& o) {
    const bool extended = s == Symbology::Code93Extended;
    const std::size_t bad =
        extended ? firstRefused(data, [](unsigned char c) { return c < 128; }) : firstRefused(data, isCode93Character);
    if (bad != std::string::npos)
        return invalidCharacter(s, data, bad);
    const Result<bool> check = checkWanted(s, o);
    if (!check)
        return check.error();
    if (o.wideRatio != 0)
        return wideRatioWanted(s, o).error();

    LinearSymbol engine =
        engineSymbol(extended ? LinearSymbol::CODE93_EXTENDED : LinearSymbol::CODE93, data, true, 0);
    Result<Symbol> symbol = runEngine(engine, s);
    if (!symbol)
        return symbol;
    // The two check characters C and K are read by scanners, not by people.
    dataAndChecks(*symbol, data, engine.text);
    centredText(*symbol, printable(data));
    return symbol;
}

}  // namespace korvane::detail
