#pragma once
// Helpers shared by the linear symbology tests.

#include "Decode.h"
#include "LinearSymbol.h"
#include "Render.h"

#include <string>

namespace lineartest {

// A symbol built the way barlane builds it: tilde escapes and check
// characters on, other settings at their defaults unless `configure` changes them.
template <typename Configure>
LinearSymbol built(int symbology, const std::string& code, Configure configure) {
    LinearSymbol s;
    s.symbology = symbology;
    s.code = code;
    s.processTilde = true;
    s.checkCharacter = true;
    configure(s);
    s.buildSymbol();
    return s;
}

inline LinearSymbol built(int symbology, const std::string& code) {
    return built(symbology, code, [](LinearSymbol&) {});
}

// Element widths as digits in narrow units ("1" to "9", then 'A' = 10 ...),
// for readable expected values. Widths above 35 show as '?'.
inline std::string widthDigits(const LinearSymbol& s) {
    std::string out;
    for (int i = 0; i < s.barCount; ++i) {
        const int w = s.barWidths[i];
        out += w >= 0 && w <= 9 ? static_cast<char>('0' + w) : w <= 35 ? static_cast<char>('A' + w - 10) : '?';
    }
    return out;
}

// Renders the symbol with a quiet zone and decodes it with zxing-cpp.
inline testsupport::Decoded roundTrip(const LinearSymbol& s, testsupport::Symbology symbology, int scale = 3) {
    const testsupport::GrayImage image =
        testsupport::renderBars(s.barWidths.data(), s.barHeights.data(), s.barCount, scale, 15);
    return testsupport::decode(image, symbology);
}

}  // namespace lineartest
