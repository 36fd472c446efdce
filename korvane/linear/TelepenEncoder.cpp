// Telepen: ASCII characters of seven bits and an even parity bit, least
// significant bit first, between the start '_' and the stop 'z', with a
// check character that makes the sum of all a multiple of 127. The bits
// become bars and spaces of one or three modules: 1 a narrow bar and space;
// 00 a wide bar and narrow space; 010 a wide bar and space; 0, two or more
// 1s and 0 a narrow bar and wide space, narrow pairs for the 1s between the
// second and the last, and a narrow bar and wide space again. Telepen
// numeric draws two digits in one character (27 and their value, or 17 and
// the digit for a digit and X).

#include "LinearBars.h"

#include <string>
#include <vector>

namespace korvane::linear {
namespace {

constexpr int START = '_', STOP = 'z';

void addBits(std::vector<int>& bits, int c) {
    int ones = 0;
    for (int k = 0; k < 7; ++k) {
        bits.push_back((c >> k) & 1);
        ones += (c >> k) & 1;
    }
    bits.push_back(ones % 2);
}

// The elements of a bit stream as the rules above draw it.
std::vector<int> elementsOf(const std::vector<int>& bits) {
    std::vector<int> out;
    for (std::size_t i = 0; i < bits.size();) {
        if (bits[i] == 1) {
            out.insert(out.end(), {1, 1});
            ++i;
        } else if (bits[i + 1] == 0) {
            out.insert(out.end(), {3, 1});
            i += 2;
        } else {
            std::size_t ones = 0;
            while (bits[i + 1 + ones] == 1)
                ++ones;
            if (ones == 1) {
                out.insert(out.end(), {3, 3});
            } else {
                out.insert(out.end(), {1, 3});
                for (std::size_t k = 2; k < ones; ++k)
                    out.insert(out.end(), {1, 1});
                out.insert(out.end(), {1, 3});
            }
            i += ones + 2;
        }
    }
    out.pop_back();  // the last space belongs to the quiet zone
    return out;
}

// Telepen numeric's characters, or an error naming the fault.
Result<std::vector<int>> numericValues(std::string_view data) {
    constexpr Symbology S = Symbology::TelepenNumeric;
    if (const std::size_t bad = firstRefused(data, [](unsigned char c) { return isDigit(c) || c == 'X'; });
        bad != std::string_view::npos)
        return invalidCharacter(S, data, bad);
    const bool pad = data.size() % 2 == 1;
    const std::string all = (pad ? "0" : "") + std::string(data);
    std::vector<int> values;
    for (std::size_t i = 0; i < all.size(); i += 2) {
        if (all[i] == 'X') {
            const std::size_t at = i + (pad ? 0 : 1);
            return Error{ErrorCode::InvalidData,
                         "Telepen numeric has 'X' only after a digit, as the second of a pair; 'X' at position " +
                             std::to_string(at) + (pad ? " is first of a pair once the odd count is padded with a "
                                                         "leading zero"
                                                       : " is first of a pair")};
        }
        const int first = all[i] - '0';
        values.push_back(all[i + 1] == 'X' ? 17 + first : 27 + 10 * first + (all[i + 1] - '0'));
    }
    return values;
}

}  // namespace

Result<Symbol> encodeTelepen(Symbology s, std::string_view data, const EncodeOptions& o) {
    std::vector<int> values;
    if (s == Symbology::TelepenNumeric) {
        Result<std::vector<int>> numeric = numericValues(data);
        if (!numeric)
            return numeric.error();
        values = std::move(*numeric);
    } else {
        if (const std::size_t bad = firstRefused(data, isAscii); bad != std::string_view::npos)
            return invalidCharacter(s, data, bad);
        values.assign(data.begin(), data.end());
    }
    const Result<LinearSettings> settings = detail::linearSettings(s, o);
    if (!settings)
        return settings.error();
    if (settings->wideRatio != 3)
        return Error{ErrorCode::InvalidOption, std::string(symbologyInfo(s).title) + "'s wide elements are 3 narrow "
                                               "ones; the wide ratio cannot be " + std::to_string(settings->wideRatio)};
    std::vector<int> bits;
    addBits(bits, START);
    int sum = 0;
    for (int v : values) {
        addBits(bits, v);
        sum += v;
    }
    addBits(bits, (127 - sum % 127) % 127);
    addBits(bits, STOP);
    const std::vector<int> elements = elementsOf(bits);
    Result<Symbol> result = newSymbol(s, 3);
    Symbol& symbol = *result;
    BarWriter bars(symbol, elements.size());
    for (int w : elements)
        bars.add(w);
    bars.finish();
    // Telepen numeric draws digits in pairs: a leading zero evens them up.
    if (s == Symbology::TelepenNumeric && data.size() % 2 == 1) {
        symbol.facts.data = "0";
        symbol.warnings.push_back("a leading zero was added: Telepen numeric draws digits in pairs");
    }
    symbol.facts.data.append(data);
    appendReadable(symbol.text, symbol.facts.data);
    centredText(symbol);
    return result;
}

}  // namespace korvane::linear
