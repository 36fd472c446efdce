#pragma once
// EAN/UPC tables (ISO/IEC 15420), shared by EAN-13, EAN-8, UPC-A, UPC-E and the
// two- and five-digit add-ons, with the few helpers those encoders share.
//
// Digit patterns are four widths in modules (one module = narrowBarPixels);
// guard patterns use 'n', which is also one module.

#include "LinearSymbol.h"

#include <iterator>
#include <string>

// Number set A (odd parity), left-hand digits, read space, bar, space, bar.
constexpr SymbolRow EanSetA[] = {
    {"0", "3211"}, {"1", "2221"}, {"2", "2122"}, {"3", "1411"}, {"4", "1132"},
    {"5", "1231"}, {"6", "1114"}, {"7", "1312"}, {"8", "1213"}, {"9", "3112"},
};
static_assert(std::size(EanSetA) == 10);

// Number set B (even parity): each set A pattern reversed.
constexpr SymbolRow EanSetB[] = {
    {"0", "1123"}, {"1", "1222"}, {"2", "2212"}, {"3", "1141"}, {"4", "2311"},
    {"5", "1321"}, {"6", "4111"}, {"7", "2131"}, {"8", "3121"}, {"9", "2113"},
};
static_assert(std::size(EanSetB) == 10);

// Number set C, right-hand digits: the set A widths read bar, space, bar, space.
constexpr SymbolRow EanSetC[] = {
    {"0", "3211"}, {"1", "2221"}, {"2", "2122"}, {"3", "1411"}, {"4", "1132"},
    {"5", "1231"}, {"6", "1114"}, {"7", "1312"}, {"8", "1213"}, {"9", "3112"},
};
static_assert(std::size(EanSetC) == 10);

constexpr const char* LEFT_DIGIT_COLOURS = "wbwb";
constexpr const char* RIGHT_DIGIT_COLOURS = "bwbw";

constexpr const char* EDGE_GUARD_COLOURS = "bwb";
constexpr const char* EDGE_GUARD = "nnn";
constexpr const char* CENTRE_GUARD_COLOURS = "wbwbw";
constexpr const char* CENTRE_GUARD = "nnnnn";
constexpr const char* UPCE_END_GUARD_COLOURS = "wbwbwb";
constexpr const char* UPCE_END_GUARD = "nnnnnn";
constexpr const char* ADDON_START_COLOURS = "bwb";
constexpr const char* ADDON_START = "112";
constexpr const char* ADDON_SEPARATOR_COLOURS = "wb";
constexpr const char* ADDON_SEPARATOR = "11";

// Number sets of EAN-13 digits 2 to 6 (0-based), indexed by the leading digit.
// Digit 1 is always set A, so the standard's first parity letter is left out.
constexpr const char* Ean13ParityTable[] = {
    "AAAAA",  // 0
    "ABABB",  // 1
    "ABBAB",  // 2
    "ABBBA",  // 3
    "BAABB",  // 4
    "BBAAB",  // 5
    "BBBAA",  // 6
    "BABAB",  // 7
    "BABBA",  // 8
    "BBABA",  // 9
};
static_assert(std::size(Ean13ParityTable) == 10);

// UPC-E parity of the six digits, indexed by the check digit: 'O' set A, 'E' set B.
// Number system 0.
constexpr const char* UpcEParityTable0[] = {
    "EEEOOO", "EEOEOO", "EEOOEO", "EEOOOE", "EOEEOO",
    "EOOEEO", "EOOOEE", "EOEOEO", "EOEOOE", "EOOEOE",
};
static_assert(std::size(UpcEParityTable0) == 10);

// Number system 1: every letter of number system 0 swapped.
constexpr const char* UpcEParityTable1[] = {
    "OOOEEE", "OOEOEE", "OOEEOE", "OOEEEO", "OEOOEE",
    "OEEOOE", "OEEEOO", "OEOEOE", "OEOEEO", "OEEOEO",
};
static_assert(std::size(UpcEParityTable1) == 10);

// Five-digit add-on parity, indexed by the add-on check value.
constexpr const char* Supplement5ParityTable[] = {
    "EEOOO", "EOEOO", "EOOEO", "EOOOE", "OEEOO",
    "OOEEO", "OOOEE", "OEOEO", "OEOOE", "OOEOE",
};
static_assert(std::size(Supplement5ParityTable) == 10);

// Two-digit add-on parity, indexed by the add-on value modulo 4.
constexpr const char* Supplement2ParityTable[] = {"OO", "OE", "EO", "EE"};
static_assert(std::size(Supplement2ParityTable) == 4);

// Compile-time checks of the tables, and helpers shared by EanUpc.cpp and UpcE.cpp.
namespace eanupc {

constexpr bool reversedPattern(const char* a, const char* b) {
    return a[0] == b[3] && a[1] == b[2] && a[2] == b[1] && a[3] == b[0];
}

constexpr bool swappedParity(const char* a, const char* b) {
    for (int i = 0; i < 6; ++i)
        if ((a[i] == 'E') != (b[i] == 'O'))
            return false;
    return true;
}

constexpr bool setsAgree() {
    for (int d = 0; d < 10; ++d) {
        if (!reversedPattern(EanSetA[d].pattern, EanSetB[d].pattern))
            return false;
        if (!reversedPattern(EanSetB[d].pattern, EanSetC[d].pattern))  // C has the set A widths
            return false;
        // Rows are in digit order, so a digit is its own row.
        if (EanSetA[d].character[0] != '0' + d || EanSetB[d].character[0] != '0' + d ||
            EanSetC[d].character[0] != '0' + d)
            return false;
        // Every digit spans seven modules.
        int modules = 0;
        for (int i = 0; i < 4; ++i)
            modules += EanSetA[d].pattern[i] - '0';
        if (modules != 7)
            return false;
        if (!swappedParity(UpcEParityTable0[d], UpcEParityTable1[d]))
            return false;
    }
    return true;
}

static_assert(setsAgree(), "number sets or UPC-E parities out of step");

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The character as the user sees it in a message: 'A', or its code when it
// does not print.
inline std::string describeCharacter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte > 32 && byte < 127)
        return std::string("'") + c + "'";
    return "the character with code " + std::to_string(byte);
}

// Index of the first character of s[0, count) that is not a digit, else -1.
inline int firstNonDigit(const std::string& s, std::size_t count) {
    for (std::size_t i = 0; i < count && i < s.size(); ++i)
        if (!isDigit(s[i]))
            return static_cast<int>(i);
    return -1;
}

// Reason for refusing `value` because of the non-digit at `index`.
inline std::string nonDigitReason(const std::string& symbology, const std::string& value, int index) {
    return symbology + " cannot encode " + describeCharacter(value[static_cast<std::size_t>(index)]) +
           " at position " + std::to_string(index + 1) + " of \"" + value +
           "\": only the digits 0 to 9 can be drawn";
}

// Appends one digit with the pattern of `table`, at ordinary bar height.
// Callers check the digit first; a non-digit adds nothing.
// `colours` names the element each digit starts with, for the reader of the
// call; every digit is four elements.
inline void addDigit(LinearSymbol& s, const SymbolRow (&table)[10], char digit, const char* colours) {
    static_cast<void>(colours);
    if (isDigit(digit))
        s.addPatternCodes(table[digit - '0'].pattern, 4, s.barHeightPixels);
}

// Records a warning when the check digit supplied at `checkIndex` of the value
// is not the one computed from the characters before it.
inline void warnOnCheckDigit(LinearSymbol& s, const std::string& symbology, const std::string& value,
                             std::size_t checkIndex) {
    const std::string expected = s.eanCheckDigit(value.substr(0, checkIndex));
    if (value[checkIndex] != expected[0])
        s.warnings.push_back(symbology + " check digit " + value[checkIndex] + " of \"" +
                             value.substr(0, checkIndex + 1) + "\" should be " + expected +
                             "; the symbol is drawn with " + value[checkIndex]);
}

// The default add-on digits: up to `count` characters of `value` from `from`.
inline std::string addOnDigits(const std::string& value, std::size_t from, std::size_t count) {
    return from <= value.size() ? value.substr(from, count) : std::string();
}

// Draws the add-on the settings ask for, with `value` supplying its default digits.
inline void addSupplementIfSet(LinearSymbol& s, const std::string& value, std::size_t from) {
    if (s.supplement2)
        s.encodeSupplement2(addOnDigits(value, from, 2));
    else if (s.supplement5)
        s.encodeSupplement5(addOnDigits(value, from, 5));
}

}  // namespace eanupc

namespace detail {

// The eleven digits of the UPC-A number that the six UPC-E digits stand for
// under `numberSystem` (without its check digit), or "" when `six` is not six
// digits long.
std::string expandUpcE(const std::string& six, char numberSystem);

}  // namespace detail
