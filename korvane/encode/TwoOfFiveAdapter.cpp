// Interleaved, Industrial and Matrix 2 of 5.

#include "Common.h"

namespace korvane::detail {
namespace {

// Industrial 2 of 5 carries its data in the bars alone and keeps every space
// narrow (the engine draws the spaces wide for the programs' own symbols). The
// digits' bars are the engine's; start and stop are the standard's.
void narrowIndustrialSpaces(Symbol& symbol, int wide) {
    constexpr int ENGINE_START = 6;
    constexpr int ENGINE_STOP = 5;
    const std::vector<int>& e = symbol.widths;
    std::vector<int> widths = {wide, 1, wide, 1, 1, 1};
    for (std::size_t i = ENGINE_START; i + ENGINE_STOP < e.size(); i += 2) {
        widths.push_back(e[i]);
        widths.push_back(1);
    }
    for (int w : {wide, 1, 1, 1, wide})
        widths.push_back(w);
    symbol.widths = std::move(widths);
    symbol.kinds.assign(symbol.widths.size(), BarKind::Data);
    symbol.widthModules = 0;
    for (int w : symbol.widths)
        symbol.widthModules += w;
}

constexpr int ENGINE_TYPES[] = {LinearSymbol::INTERLEAVED_2OF5, LinearSymbol::INDUSTRIAL_2OF5,
                                LinearSymbol::MATRIX_2OF5};

}  // namespace

Result<Symbol> encodeTwoOfFive(Symbology s, const std::string& data, const EncodeOptions& o) {
    const int family = static_cast<int>(s) - static_cast<int>(Symbology::Interleaved2of5);
    LinearSymbol engine;
    Result<Symbol> symbol = encodeWithEngine(s, ENGINE_TYPES[family], data, o, isDigit, engine);
    if (!symbol)
        return symbol;
    const bool check = engine.checkCharacter;

    if (s == Symbology::Interleaved2of5) {
        // The engine text is every digit drawn: pairs, so a leading zero may have been added.
        const std::string drawn = check ? engine.text.substr(0, engine.text.size() - 1) : engine.text;
        if (drawn.size() > data.size())
            symbol->warnings.push_back("a leading zero was added: Interleaved 2 of 5 draws digits in pairs");
        symbol->facts.data = drawn;
        symbol->facts.checkCharacters = check ? engine.text.substr(engine.text.size() - 1) : "";
        centredText(*symbol, engine.text);
        return symbol;
    }
    if (s == Symbology::Industrial2of5)
        narrowIndustrialSpaces(*symbol, symbol->wideRatio);
    // Industrial 2 of 5 takes the same modulo-10 check as EAN (weights 3 and 1
    // from the right); the engine shows the data alone.
    if (check)
        symbol->facts.checkCharacters = engine.eanCheckDigit(data);
    centredText(*symbol, data + symbol->facts.checkCharacters);
    return symbol;
}

}  // namespace korvane::detail
