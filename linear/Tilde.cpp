// Tilde escapes: a way to type characters a command line cannot carry.

#include "LinearSymbol.h"

std::string LinearSymbol::processTildes(const std::string& input) const {
    const std::size_t n = input.size();
    std::string out;
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const char c = input[i];
        if (c != '~') {
            if (c != '\0')  // as charToString, which gives nothing for code 0
                out += c;
            continue;
        }
        if (i + 1 == n)
            continue;  // a lone tilde at the end is dropped
        if (input[i + 1] == '~') {
            out += '~';
            ++i;
        } else if (i + 3 < n) {
            // "~dNNN": the character after the tilde is not examined.
            int number = parseNumber(input.substr(i + 2, 3));
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
