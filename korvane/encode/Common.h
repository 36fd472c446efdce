#pragma once
// Small steps the linear adapters repeat.

#include "Adapters.h"

namespace korvane::detail {

// The 43 characters of Code 39, which Code 93 shares.
inline bool inCode39Set(unsigned char c) {
    return isDigit(c) || (c >= 'A' && c <= 'Z') || c == '-' || c == '.' || c == ' ' || c == '$' || c == '/' ||
           c == '+' || c == '%';
}

inline bool isAscii(unsigned char c) { return c < 128; }

// Data as people read it under the bars: control characters show as spaces.
inline std::string humanReadable(const std::string& data) {
    std::string out = data;
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 32 || c == 127)
            c = ' ';
    return out;
}

// The human-readable line centred under the whole symbol.
inline void centredText(Symbol& symbol, std::string text) {
    symbol.textSpans.push_back({text, 0, symbol.widthModules, TextPlace::Below, false});
    symbol.text = std::move(text);
}

// Facts of a symbol whose engine text is the data followed by its check characters.
inline void dataAndChecks(Symbol& symbol, const std::string& data, const std::string& engineText) {
    symbol.facts.data = data;
    if (engineText.size() > data.size() && engineText.compare(0, data.size(), data) == 0)
        symbol.facts.checkCharacters = engineText.substr(data.size());
}

// The common case: every byte checked against `accepts`, the settings read,
// the engine (with any settings of its own already made) run, and the data
// with the check characters the engine added.
template <typename Pred>
Result<Symbol> encodeWithEngine(Symbology s, int engineSymbology, const std::string& data, const EncodeOptions& o,
                                Pred accepts, LinearSymbol& engine) {
    if (const std::size_t bad = firstRefused(data, accepts); bad != std::string::npos)
        return invalidCharacter(s, data, bad);
    const Result<LinearSettings> settings = linearSettings(s, o);
    if (!settings)
        return settings.error();
    setUpEngine(engine, engineSymbology, data, *settings);
    Result<Symbol> symbol = runEngine(engine, s, *settings);
    if (symbol)
        dataAndChecks(*symbol, data, engine.text);
    return symbol;
}

}  // namespace korvane::detail
