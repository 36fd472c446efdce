// The symbologies drawn in Code 39 characters: LOGMARS (MIL-STD-1189B), the
// vehicle identification number (ISO 3779, with the North American check
// digit of 49 CFR 565), the German Pharmazentralnummer (PZN8, IFA) and the
// Italian pharmaceutical code (Code 32). Each makes its Code 39 characters
// and has the Code 39 encoder draw them; the data a reader returns are those
// characters, as any Code 39 scanner gives them.

#include "LinearBars.h"

#include <string>

namespace korvane::linear {
namespace {

Error wrongLength(Symbology s, std::size_t length, const char* wanted) {
    return Error{ErrorCode::InvalidData, std::string(symbologyInfo(s).title) + " data of " + std::to_string(length) +
                                             " characters; it takes " + wanted};
}

Error wrongCheck(Symbology s, char supplied, char expected, std::size_t position) {
    return Error{ErrorCode::CheckDigit, std::string(symbologyInfo(s).title) + " check digit '" + supplied +
                                            "' at position " + std::to_string(position) + " is wrong; the data gives '" +
                                            expected + "'"};
}

// VIN: ISO 3779 characters are digits and capital letters but I, O and Q.
bool isVinCharacter(unsigned char c) {
    return isDigit(c) || (c >= 'A' && c <= 'Z' && c != 'I' && c != 'O' && c != 'Q');
}

// 49 CFR 565.15: letters stand for digits, the positions are weighted, and
// position 9 holds the sum modulo 11 ('X' for 10).
char vinCheck(std::string_view vin) {
    constexpr int LETTER_VALUES[26] = {1, 2, 3, 4, 5, 6, 7, 8, 0, 1, 2, 3, 4, 5, 0, 7, 0, 9, 2, 3, 4, 5, 6, 7, 8, 9};
    constexpr int WEIGHTS[17] = {8, 7, 6, 5, 4, 3, 2, 10, 0, 9, 8, 7, 6, 5, 4, 3, 2};
    int sum = 0;
    for (std::size_t i = 0; i < 17; ++i) {
        const char c = vin[i];
        sum += WEIGHTS[i] * (isDigit(static_cast<unsigned char>(c)) ? c - '0' : LETTER_VALUES[c - 'A']);
    }
    const int r = sum % 11;
    return r == 10 ? 'X' : static_cast<char>('0' + r);
}

// The digits with zeros before them up to `length`.
std::string padded(std::string_view digits, std::size_t length) {
    return std::string(length - digits.size(), '0').append(digits);
}

// PZN8: the seven digits weighted 1 to 7, modulo 11; numbers whose remainder
// is 10 are not issued.
int pznCheck(std::string_view digits) {
    int sum = 0;
    for (std::size_t i = 0; i < 7; ++i)
        sum += static_cast<int>(i + 1) * (digits[i] - '0');
    return sum % 11;
}

// Code 32: every second digit doubled (its digits summed), modulo 10.
char code32Check(std::string_view digits) {
    int sum = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        const int d = digits[i] - '0';
        sum += i % 2 == 1 ? (2 * d) / 10 + (2 * d) % 10 : d;
    }
    return static_cast<char>('0' + sum % 10);
}

// Code 32's base-32 digits: no vowels.
constexpr char BASE32[] = "0123456789BCDFGHJKLMNPQRSTUVWXYZ";

// What a variant draws: its Code 39 characters, the check digit, the text under the bars.
struct Drawn {
    std::string characters;
    std::string check;
    bool checkSupplied = false;
    std::string text;
};

Result<Drawn> vin(Symbology s, std::string_view data) {
    if (const std::size_t bad = firstRefused(data, isVinCharacter); bad != std::string_view::npos)
        return invalidCharacter(s, data, bad);
    if (data.size() != 17)
        return wrongLength(s, data.size(), "17");
    // Position 9 is a check digit in North America (world manufacturer codes 1-5).
    if (data[0] >= '1' && data[0] <= '5' && vinCheck(data) != data[8])
        return wrongCheck(s, data[8], vinCheck(data), 9);
    return Drawn{std::string(data), {}, false, std::string(data)};
}

Result<Drawn> pzn(Symbology s, std::string_view data) {
    if (const std::size_t bad = firstNonDigit(data); bad != std::string_view::npos)
        return invalidCharacter(s, data, bad);
    if (data.empty() || data.size() > 8)
        return wrongLength(s, data.size(), "1 to 7 digits, or 8 with the check digit");
    const std::string digits = padded(data.substr(0, std::min<std::size_t>(data.size(), 7)), 7);
    const int check = pznCheck(digits);
    if (check == 10)
        return Error{ErrorCode::InvalidData, "PZN " + digits + " has no check digit (the remainder is 10); no such "
                                             "number is issued"};
    const char c = static_cast<char>('0' + check);
    if (data.size() == 8 && data[7] != c)
        return wrongCheck(s, data[7], c, 8);
    return Drawn{"-" + digits + c, std::string(1, c), data.size() == 8, "PZN - " + digits + c};
}

Result<Drawn> code32(Symbology s, std::string_view data) {
    if (const std::size_t bad = firstNonDigit(data); bad != std::string_view::npos)
        return invalidCharacter(s, data, bad);
    if (data.empty() || data.size() > 9)
        return wrongLength(s, data.size(), "1 to 8 digits, or 9 with the check digit");
    const std::string digits = padded(data.substr(0, std::min<std::size_t>(data.size(), 8)), 8);
    const char c = code32Check(digits);
    if (data.size() == 9 && data[8] != c)
        return wrongCheck(s, data[8], c, 9);
    long value = std::stol(digits + c);
    std::string characters(6, '0');
    for (int i = 5; i >= 0; --i, value /= 32)
        characters[static_cast<std::size_t>(i)] = BASE32[value % 32];
    return Drawn{characters, std::string(1, c), data.size() == 9, "A" + digits + c};
}

}  // namespace

Result<Symbol> encodeCode39Variant(Symbology s, std::string_view data, const EncodeOptions& o) {
    const Result<LinearSettings> settings = detail::linearSettings(s, o);
    if (!settings)
        return settings.error();
    Result<Drawn> drawn = Drawn{std::string(data), {}, false, {}};
    if (s == Symbology::Vin)
        drawn = vin(s, data);
    else if (s == Symbology::Pzn)
        drawn = pzn(s, data);
    else if (s == Symbology::Code32)
        drawn = code32(s, data);
    else if (const std::size_t bad = firstRefused(data, inCode39Set); bad != std::string_view::npos)
        return invalidCharacter(s, data, bad);  // LOGMARS: Code 39's characters
    if (!drawn)
        return drawn.error();
    EncodeOptions plain;
    plain.wideRatio = settings->wideRatio;
    plain.check = s == Symbology::Logmars && settings->check;  // LOGMARS's is Code 39's modulo-43 character
    Result<Symbol> result = encodeCode39(Symbology::Code39, drawn->characters, plain);
    if (!result)
        return result;
    Symbol& symbol = *result;
    symbol.symbology = s;
    if (s != Symbology::Logmars) {
        symbol.facts.checkCharacters = drawn->check;
        symbol.facts.checkSupplied = drawn->checkSupplied;
        symbol.text = drawn->text;
        symbol.textSpans.clear();
        centredText(symbol);
    }
    return result;
}

}  // namespace korvane::linear
