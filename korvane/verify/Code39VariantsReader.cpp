// The symbologies drawn in Code 39 characters (LOGMARS reads as Code 39):
// the vehicle identification number, PZN and Code 32 are read as Code 39
// and then held to their own rules.

#include "Linear.h"

#include <string>

namespace korvane::detail {
namespace {

bool digits(const std::string& s, std::size_t from) {
    for (std::size_t i = from; i < s.size(); ++i)
        if (s[i] < '0' || s[i] > '9')
            return false;
    return true;
}

// VIN: 17 characters without I, O or Q; in North America (1-5 first) position
// 9 is the check digit of 49 CFR 565.15.
std::string vinFault(const std::string& d) {
    if (d.size() != 17)
        return "a VIN has 17 characters; the Code 39 symbol holds " + std::to_string(d.size());
    constexpr int LETTER_VALUES[26] = {1, 2, 3, 4, 5, 6, 7, 8, 0, 1, 2, 3, 4, 5, 0, 7, 0, 9, 2, 3, 4, 5, 6, 7, 8, 9};
    constexpr int WEIGHTS[17] = {8, 7, 6, 5, 4, 3, 2, 10, 0, 9, 8, 7, 6, 5, 4, 3, 2};
    int sum = 0;
    for (std::size_t i = 0; i < 17; ++i) {
        const char c = d[i];
        if (c == 'I' || c == 'O' || c == 'Q' || !((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')))
            return std::string("a VIN has no '") + c + "' (character " + std::to_string(i + 1) + ")";
        sum += WEIGHTS[i] * (c <= '9' ? c - '0' : LETTER_VALUES[c - 'A']);
    }
    const char check = sum % 11 == 10 ? 'X' : static_cast<char>('0' + sum % 11);
    if (d[0] >= '1' && d[0] <= '5' && d[8] != check)
        return std::string("the VIN check digit reads '") + d[8] + "'; the other characters give '" + check + "'";
    return {};
}

// PZN: '-', seven digits and their modulo-11 check digit (weights 1 to 7).
std::string pznFault(const std::string& d, std::string& check) {
    if (d.size() != 9 || d[0] != '-' || !digits(d, 1))
        return "a PZN is '-' and 8 digits; the Code 39 symbol holds \"" + d + "\"";
    int sum = 0;
    for (std::size_t i = 1; i < 8; ++i)
        sum += static_cast<int>(i) * (d[i] - '0');
    if (sum % 11 != d[8] - '0')
        return "the PZN check digit reads '" + d.substr(8) + "'; the digits before it give " +
               (sum % 11 == 10 ? "none" : "'" + std::to_string(sum % 11) + "'");
    check = d.substr(8);
    return {};
}

// Code 32: six base-32 characters holding nine digits, the last the check digit.
std::string code32Fault(const std::string& d, std::string& check) {
    constexpr std::string_view BASE32 = "0123456789BCDFGHJKLMNPQRSTUVWXYZ";
    if (d.size() != 6)
        return "a Code 32 symbol has 6 characters; the Code 39 symbol holds " + std::to_string(d.size());
    long value = 0;
    for (std::size_t i = 0; i < 6; ++i) {
        const std::size_t v = BASE32.find(d[i]);
        if (v == std::string_view::npos)
            return std::string("Code 32 has no '") + d[i] + "' (character " + std::to_string(i + 1) + ")";
        value = value * 32 + static_cast<long>(v);
    }
    if (value >= 1000000000L)
        return "the Code 32 characters make " + std::to_string(value) + ", more than nine digits";
    std::string number = std::to_string(value);
    number.insert(0, 9 - number.size(), '0');
    int sum = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        const int v = number[i] - '0';
        sum += i % 2 == 1 ? (2 * v) / 10 + (2 * v) % 10 : v;
    }
    if (sum % 10 != number[8] - '0')
        return "the Code 32 check digit reads '" + number.substr(8) + "'; the digits before it give '" +
               std::to_string(sum % 10) + "'";
    check = number.substr(8);
    return {};
}

}  // namespace

LineRead decodeCode39Variant(const ScanLine& line, const LinearReadOptions& o, Symbology s) {
    LinearReadOptions plain = o;
    plain.check = false;  // the check digits are the variants' own, read below
    LineRead r = decodeCode39(line, plain, false);
    if (r.progress != DECODED)
        return r;
    std::string check;
    const std::string fault = s == Symbology::Vin   ? vinFault(r.data)
                              : s == Symbology::Pzn ? pznFault(r.data, check)
                                                    : code32Fault(r.data, check);
    if (!fault.empty())
        return failed(COMPLETE, fault);
    r.checkCharacters = check;
    return r;
}

}  // namespace korvane::detail
