// UK Plessey: hexadecimal digits, each four bits with the least significant
// first, between a start of bits 1101 and the stop; an 8-bit cyclic check
// (x^8 + x^7 + x^6 + x^5 + x^3 + 1) over the data bits before the stop. A
// bit is four modules: a bar of three and a space of one for 1, a bar of one
// and a space of three for 0.

#include "LinearBars.h"

#include <string>
#include <vector>

namespace korvane::linear {
namespace {

bool isHexDigit(unsigned char c) { return isDigit(c) || (c >= 'A' && c <= 'F'); }

int hexValue(char c) { return c <= '9' ? c - '0' : c - 'A' + 10; }

// The stop after the check bits, with the termination bar: its widths in modules.
constexpr int STOP[] = {3, 3, 1, 3, 1, 1, 3, 1, 3};
constexpr int START_BITS[] = {1, 1, 0, 1};
constexpr int POLYNOMIAL[] = {1, 1, 1, 1, 0, 1, 0, 0, 1};

}  // namespace

Result<Symbol> encodePlessey(std::string_view data, const EncodeOptions& o) {
    constexpr Symbology S = Symbology::Plessey;
    if (const std::size_t bad = firstRefused(data, isHexDigit); bad != std::string_view::npos)
        return invalidCharacter(S, data, bad);
    const Result<LinearSettings> settings = detail::linearSettings(S, o);
    if (!settings)
        return settings.error();
    if (settings->wideRatio != 3)
        return Error{ErrorCode::InvalidOption, "Plessey's bits are a bar and a space of 3 and 1 modules; the wide "
                                               "ratio cannot be " + std::to_string(settings->wideRatio)};
    std::vector<int> bits;
    bits.reserve(4 * data.size() + 8);
    for (char c : data)
        for (int k = 0; k < 4; ++k)
            bits.push_back((hexValue(c) >> k) & 1);
    // The remainder of the data bits followed by eight zeros.
    std::vector<int> rest = bits;
    rest.resize(bits.size() + 8, 0);
    for (std::size_t i = 0; i < bits.size(); ++i)
        if (rest[i] != 0)
            for (std::size_t j = 0; j < 9; ++j)
                rest[i + j] ^= POLYNOMIAL[j];
    bits.insert(bits.end(), rest.end() - 8, rest.end());

    Result<Symbol> result = newSymbol(S, 3);
    Symbol& symbol = *result;
    BarWriter bars(symbol, 2 * (4 + bits.size()) + std::size(STOP));
    const auto addBit = [&](int bit) {
        bars.add(bit != 0 ? 3 : 1);
        bars.add(bit != 0 ? 1 : 3);
    };
    for (int bit : START_BITS)
        addBit(bit);
    for (int bit : bits)
        addBit(bit);
    for (int w : STOP)
        bars.add(w);
    bars.finish();
    // The check bits as two hexadecimal digits, least significant bits first as drawn.
    constexpr char HEX[] = "0123456789ABCDEF";
    const std::size_t crc = bits.size() - 8;
    for (std::size_t n = 0; n < 2; ++n) {
        int v = 0;
        for (int k = 0; k < 4; ++k)
            v |= bits[crc + 4 * n + static_cast<std::size_t>(k)] << k;
        symbol.facts.checkCharacters += HEX[v];
    }
    symbol.facts.data.append(data);
    symbol.text.append(data);
    centredText(symbol);
    return result;
}

}  // namespace korvane::linear
