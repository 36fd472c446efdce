#pragma once
// What the linear encoders share: a symbol made inside its Result (so that it
// is returned without a copy), the element writer, and the checks and text
// rules common to several families.

#include "LinearEncoders.h"

#include "../encode/Checks.h"

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

namespace korvane::linear {

using detail::firstRefused;
using detail::firstNonDigit;
using detail::invalidCharacter;
using detail::isDigit;
using detail::LinearSettings;

// A symbol with its symbology and wide ratio set, to be filled in place.
// Encoders build it where they return it from (one return of one object),
// so that it is never moved.
inline Result<Symbol> newSymbol(Symbology s, int wideRatio) {
    Result<Symbol> r(std::in_place);
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
    // `Count` widths as they are (a count known when compiled: one move, no call).
    template <std::size_t Count>
    void copy(const int* widths) {
        std::memcpy(at_, widths, Count * sizeof(int));
        at_ += Count;
    }
    // Every bar Data, and the width in modules.
    void finish() {
        int total = 0;
        for (int w : symbol_.widths)
            total += w;
        finish(total);
    }
    // The same where the encoder knows the width.
    void finish(int widthModules) {
        symbol_.kinds.assign(symbol_.widths.size(), BarKind::Data);
        symbol_.widthModules = widthModules;
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

// Data as people read it under the bars, appended to `out`: control
// characters show as spaces.
inline void appendReadable(std::string& out, std::string_view data) {
    const std::size_t from = out.size();
    out.append(data);
    for (std::size_t i = from; i < out.size(); ++i)
        if (static_cast<unsigned char>(out[i]) < 32 || out[i] == 127)
            out[i] = ' ';
}

// The human-readable line, symbol.text, centred under the whole symbol.
inline void centredText(Symbol& symbol) {
    symbol.textSpans.reserve(1);
    TextSpan& span = symbol.textSpans.emplace_back();
    span.text.append(symbol.text);
    span.endModule = symbol.widthModules;
}

// The check character's value from a weighted sum: the one that makes the sum
// a multiple of `modulus` (0 when it already is).
inline int complement(int sum, int modulus) {
    const int r = sum % modulus;
    return r == 0 ? 0 : modulus - r;
}

// A table of narrow/wide patterns ('n' and 'w', all `L` long) as widths in
// modules for one wide ratio, with `gap` more narrow elements after each
// (the gap between characters), so that a character is one copy.
template <std::size_t N, std::size_t L, std::size_t Gap>
struct WidthTable {
    int widths[N][L + Gap];
};
template <std::size_t N, std::size_t L, std::size_t Gap>
constexpr WidthTable<N, L, Gap> widthTable(const char* const (&patterns)[N], int wide) {
    WidthTable<N, L, Gap> t{};
    for (std::size_t k = 0; k < N; ++k) {
        for (std::size_t i = 0; i < L; ++i)
            t.widths[k][i] = patterns[k][i] == 'w' ? wide : 1;
        for (std::size_t i = L; i < L + Gap; ++i)
            t.widths[k][i] = 1;
    }
    return t;
}
// The same for patterns of module digits.
template <std::size_t N, std::size_t L>
constexpr WidthTable<N, L, 0> moduleTable(const char* const (&patterns)[N]) {
    WidthTable<N, L, 0> t{};
    for (std::size_t k = 0; k < N; ++k)
        for (std::size_t i = 0; i < L; ++i)
            t.widths[k][i] = patterns[k][i] - '0';
    return t;
}

}  // namespace korvane::linear
