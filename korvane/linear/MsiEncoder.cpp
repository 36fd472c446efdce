// MSI (Modified Plessey): digits as four bits each, with one or two
// modulo-10 / modulo-11 check digits.

#include "LinearBars.h"

namespace korvane::linear {
namespace {

// A digit is its four bits, most significant first: 1 a wide bar and a narrow
// space, 0 a narrow bar and a wide space.
void addDigit(BarWriter& bars, int digit, int wide) {
    for (int bit = 3; bit >= 0; --bit) {
        const bool one = (digit >> bit & 1) != 0;
        bars.add(one ? wide : 1);
        bars.add(one ? 1 : wide);
    }
}

// The modulo-10 check digit of the digits, and of `extra` after them when it
// is 0-9: the digits in odd places from the right doubled (the sum of the
// double's digits, 2d or 2d - 9), the others as they are.
int mod10(std::string_view digits, int extra) {
    int sum = 0;
    bool odd = true;
    const auto take = [&](int d) {
        sum += odd ? (d < 5 ? 2 * d : 2 * d - 9) : d;
        odd = !odd;
    };
    if (extra >= 0)
        take(extra);
    for (std::size_t i = digits.size(); i-- > 0;)
        take(digits[i] - '0');
    return complement(sum, 10);
}

// The modulo-11 check value, 0-10, weights 2 to 7 repeating from the right.
int mod11(std::string_view digits) {
    int sum = 0;
    int weight = 2;
    for (std::size_t i = digits.size(); i-- > 0;) {
        sum += weight * (digits[i] - '0');
        weight = weight == 7 ? 2 : weight + 1;
    }
    return complement(sum, 11);
}

}  // namespace

Result<Symbol> encodeMsi(std::string_view data, const EncodeOptions& o) {
    if (const std::size_t bad = firstNonDigit(data); bad != std::string_view::npos)
        return invalidCharacter(Symbology::Msi, data, bad);
    const Result<LinearSettings> settings = detail::linearSettings(Symbology::Msi, o);
    if (!settings)
        return settings.error();
    const int wide = settings->wideRatio;

    int checks[2] = {-1, -1};
    if (settings->check) {
        switch (o.msiCheck) {
        case MsiCheck::Mod10: checks[0] = mod10(data, -1); break;
        case MsiCheck::Mod11: checks[0] = mod11(data); break;
        case MsiCheck::Mod11Mod10: checks[0] = mod11(data); break;
        case MsiCheck::Mod10Mod10: checks[0] = mod10(data, -1); break;
        }
        if (checks[0] == 10)  // no MSI digit shows it; any other would be a wrong check
            return Error{ErrorCode::InvalidData, "the MSI modulo-11 check value of this value is 10, which no MSI "
                                                 "digit can show; use check mode 0 or 3"};
        if (o.msiCheck == MsiCheck::Mod11Mod10 || o.msiCheck == MsiCheck::Mod10Mod10)
            checks[1] = mod10(data, checks[0]);
    }
    const std::size_t checkCount = checks[0] < 0 ? 0 : checks[1] < 0 ? 1 : 2;

    // Built where it is returned from, so that the symbol is never moved.
    return [&] {
        Result<Symbol> result = newSymbol(Symbology::Msi, wide);
        Symbol& symbol = *result;
        BarWriter bars(symbol, 2 + 8 * (data.size() + checkCount) + 3);
        bars.add(wide);
        bars.add(1);
        for (char c : data)
            addDigit(bars, c - '0', wide);
        for (std::size_t i = 0; i < checkCount; ++i) {
            addDigit(bars, checks[i], wide);
            symbol.facts.checkCharacters += static_cast<char>('0' + checks[i]);
        }
        bars.add(1);
        bars.add(wide);
        bars.add(1);
        bars.finish();
        symbol.facts.data.append(data);
        symbol.text.append(data).append(symbol.facts.checkCharacters);
        centredText(symbol);
        return result;
    }();
}

}  // namespace korvane::linear
