#pragma once
// Small steps the linear adapters repeat.

#include "Adapters.h"

namespace korvane::detail {

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

}  // namespace korvane::detail
