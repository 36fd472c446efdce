#pragma once
// What the linear encoders share: a symbol made inside its Result (so that it
// is returned without a copy), the element writer, and the checks and text
// rules common to several families.

#include "LinearEncoders.h"

#include "../encode/Adapters.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace korvane::linear {

using detail::firstRefused;
using detail::invalidCharacter;
using detail::isDigit;
using detail::LinearSettings;

// A symbol with its symbology and wide ratio set, to be filled in place.
inline Result<Symbol> newSymbol(Symbology s, int wideRatio) {
    Result<Symbol> r{Symbol{}};
    r->symbology = s;
    r->wideRatio = wideRatio;
    return r;
}

// Writes elements left to right into a symbol's widths, which are sized once
// for the exact count the encoder works out first.
class BarWriter {
public:
    BarWriter(Symbol& symbol, std::size_t count) : symbol_(symbol) {
        symbol.widths.resize(count);
        at_ = symbol.widths.data();
    }
    void add(int width) { *at_++ = width; }
    // `count` widths of a pattern of module digits ('1'-'9').
    void digits(const char* pattern, int count) {
        for (int i = 0; i < count; ++i)
            *at_++ = pattern[i] - '0';
    }
    // `count` widths of a pattern of 'n' (narrow, 1) and 'w' (wide).
    void narrowWide(const char* pattern, int count, int wide) {
        for (int i = 0; i < count; ++i)
            *at_++ = pattern[i] == 'w' ? wide : 1;
    }
    std::size_t written() const { return static_cast<std::size_t>(at_ - symbol_.widths.data()); }
    // Every bar Data, and the width in modules.
    void finish() {
        Symbol& s = symbol_;
        s.kinds.assign(s.widths.size(), BarKind::Data);
        int total = 0;
        for (int w : s.widths)
            total += w;
        s.widthModules = total;
    }

private:
    Symbol& symbol_;
    int* at_;
};

// The 43 characters of Code 39, which Code 93 shares.
inline bool inCode39Set(unsigned char c) {
    return isDigit(c) || (c >= 'A' && c <= 'Z') || c == '-' || c == '.' || c == ' ' || c == '$' || c == '/' ||
           c == '+' || c == '%';
}

inline bool isAscii(unsigned char c) { return c < 128; }

// Data as people read it under the bars: control characters show as spaces.
inline std::string humanReadable(std::string_view data) {
    std::string out(data);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 32 || c == 127)
            c = ' ';
    return out;
}

// The human-readable line centred under the whole symbol.
inline void centredText(Symbol& symbol, std::string text) {
    symbol.textSpans.reserve(1);
    symbol.textSpans.push_back({text, 0, symbol.widthModules, TextPlace::Below, false});
    symbol.text = std::move(text);
}

// The check character's value from a weighted sum: the one that makes the sum
// a multiple of `modulus` (0 when it already is).
inline int complement(int sum, int modulus) {
    const int r = sum % modulus;
    return r == 0 ? 0 : modulus - r;
}

}  // namespace korvane::linear
