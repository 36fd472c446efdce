// Tilde escapes of the symbologies without FNC1 or ECI: the linear programs'
// rules, so that a value typed for barlane reads the same here.

#include "LinearEncoders.h"

#include <cstdlib>

namespace korvane::linear {

std::string resolveEscapes(std::string_view text) {
    const std::size_t n = text.size();
    std::string out;
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const char c = text[i];
        if (c != '~') {
            if (c != '\0')  // a NUL byte is dropped, as "~d000" is
                out += c;
            continue;
        }
        if (i + 1 == n)
            continue;  // a lone tilde at the end is dropped
        if (text[i + 1] == '~') {
            out += '~';
            ++i;
        } else if (i + 3 < n) {
            // "~" and any character, then a number read from the next three
            // characters as strtod reads it (so " 65", "1e2" and "0x4" count),
            // above 255 taken as 255, its low byte kept when it is not zero.
            char digits[4] = {text[i + 2], text[i + 3], i + 4 < n ? text[i + 4] : '\0', '\0'};
            const double v = std::strtod(digits, nullptr);
            int number = !(v > -2147483648.0) ? (v != v ? 0 : -2147483647 - 1) : v >= 2147483647.0 ? 2147483647
                                                                                                  : static_cast<int>(v);
            if (number > 255)
                number = 255;
            if ((number & 0xFF) != 0)
                out += static_cast<char>(number & 0xFF);
            i += 4;
        }
        // fewer than three characters follow: the tilde is dropped
    }
    return out;
}

}  // namespace korvane::linear
