// UPC-E (the zero-suppressed form of UPC-A numbers) and the two- and five-digit
// add-on symbols (ISO/IEC 15420).

#include "EanTables.h"
#include "LinearSymbol.h"

#include <algorithm>

#include <initializer_list>
#include <string>

namespace {

using eanupc::firstNonDigit;
using eanupc::nonDigitReason;

bool oneOf(const std::string& s, std::initializer_list<const char*> options) {
    for (const char* o : options)
        if (s == o)
            return true;
    return false;
}

// Appends one add-on digit at guard height: 'O' selects set A, anything else set B.
void addAddOnDigit(LinearSymbol& s, char digit, char parity) {
    const SymbolRow(&table)[10] = parity == 'O' ? EanSetA : EanSetB;
    if (eanupc::isDigit(digit))
        s.addGuardPattern(LEFT_DIGIT_COLOURS, table[digit - '0'].pattern);
}

// Steps shared by both add-ons: the digits to draw (a non-empty `supplement`
// setting replaces the default ones), supplementText, and the length and
// digit tests. Returns false when the add-on is not drawn.
bool prepareAddOn(LinearSymbol& s, const std::string& defaultDigits, std::size_t length, std::string& digits) {
    digits = s.supplement.empty() ? defaultDigits : s.supplement;
    if (s.supplementText.empty())
        s.supplementText = digits;
    const std::string name = std::to_string(length) + "-digit add-on";
    if (digits.size() != length) {
        s.warnings.push_back("the " + name + " \"" + digits + "\" has " + std::to_string(digits.size()) +
                             " characters and is not drawn");
        return false;
    }
    if (const int bad = firstNonDigit(digits, length); bad >= 0) {
        s.refuseSymbol(nonDigitReason("the " + name, digits, bad));
        return false;
    }
    return true;
}

// The space between the main symbol and its add-on; the main symbol ends with a
// bar, so the add-on starts with one again.
// A negative bar height (a setting) would make the gap negative and draw the
// add-on over the main symbol; it is no gap at all instead.
void addAddOnGap(LinearSymbol& s) {
    const int gap = s.supplementGap > 0 ? s.supplementGap : std::max(0, s.barHeightPixels / 2);
    s.addElement(gap, s.barHeightPixels);
    s.supplementStartX = s.currentX;
    s.addGuardPattern(ADDON_START_COLOURS, ADDON_START);
}

}  // namespace

std::string detail::expandUpcE(const std::string& six, char numberSystem) {
    if (six.size() != 6 || firstNonDigit(six, 6) >= 0)
        return {};
    const std::string ns(1, numberSystem);
    switch (six[5]) {
    case '0':
    case '1':
    case '2':
        return ns + six.substr(0, 2) + six[5] + "0000" + six.substr(2, 3);
    case '3':
        return ns + six.substr(0, 3) + "00000" + six.substr(3, 2);
    case '4':
        return ns + six.substr(0, 4) + "00000" + six[4];
    default:
        return ns + six.substr(0, 5) + "0000" + six[5];
    }
}

std::string LinearSymbol::compressUpcE(const std::string& v) const {
    if (v.size() < 12)
        return {};
    // Tested in this order; a later rule that applies replaces an earlier result.
    std::string six;
    const std::string c345 = v.substr(3, 3);
    if (oneOf(c345, {"000", "100", "200"}))
        six = v.substr(1, 2) + v.substr(8, 3) + v[3];
    if (oneOf(c345, {"300", "400", "500", "600", "700", "800", "900"}))
        six = v.substr(1, 3) + v.substr(9, 2) + "3";
    if (oneOf(v.substr(4, 2), {"10", "20", "30", "40", "50", "60", "70", "80", "90"}))
        six = v.substr(1, 4) + v[10] + "4";
    if (v[5] != '0')
        six = v.substr(1, 5) + v[10];
    return six;
}

void LinearSymbol::encodeUpcE() {
    const bool completed = code.size() == 11 && checkCharacter;
    if (completed) {
        if (const int bad = firstNonDigit(code, 11); bad >= 0) {
            refuseSymbol(nonDigitReason("UPC-E", code, bad));
            return;
        }
        code += eanCheckDigit(code);
    }
    if (code.size() < 12) {
        if (code.size() == 11)
            refuseSymbol("UPC-E value \"" + code + "\" has 11 digits and check digits are switched off; it needs 12");
        else
            refuseSymbol("UPC-E needs a UPC-A number of 11 digits, or 12 with the check digit; \"" + code +
                         "\" has " + std::to_string(code.size()) + " characters");
        return;
    }
    if (const int bad = firstNonDigit(code, 12); bad >= 0) {
        refuseSymbol(nonDigitReason("UPC-E", code, bad));
        return;
    }

    // The parity of the six digits carries both the check digit and the number
    // system; a reader expands the digits back under that number system, so a
    // value that does not come back unchanged would scan as another number.
    const bool system0 = upceSystem == '1';
    const char numberSystem = system0 ? '0' : '1';
    const std::string value = code.substr(0, 12);
    if (code[0] != numberSystem) {
        refuseSymbol("UPC-E cannot draw \"" + value + "\": its number system is " + code[0] +
                     ", but the parity in use is that of number system " + numberSystem);
        return;
    }
    const std::string d = compressUpcE(code);
    const std::string readBack = detail::expandUpcE(d, numberSystem);
    if (readBack != value.substr(0, 11)) {
        refuseSymbol("UPC-E cannot draw \"" + value + "\": it cannot be zero-suppressed (the six digits \"" + d +
                     "\" read back as " + readBack + value[11] + ")");
        return;
    }
    if (!completed)
        eanupc::warnOnCheckDigit(*this, "UPC-E", code, 11);
    if (code.size() > 12)
        warnings.push_back("UPC-E draws a 12-digit value; the characters \"" + code.substr(12) +
                           "\" after it are not drawn");

    const int q = digitValue(code[11]);
    if (text.empty())
        text = d;

    addGuardPattern(EDGE_GUARD_COLOURS, EDGE_GUARD);
    guardMarks[0] = currentX;
    const char* parity = system0 ? UpcEParityTable0[q] : UpcEParityTable1[q];
    for (std::size_t i = 0; i < d.size(); ++i)
        eanupc::addDigit(*this, parity[i] == 'E' ? EanSetB : EanSetA, d[i], LEFT_DIGIT_COLOURS);
    guardMarks[3] = currentX;
    addGuardPattern(UPCE_END_GUARD_COLOURS, UPCE_END_GUARD);
    guardMarks[4] = currentX;

    eanupc::addSupplementIfSet(*this, d, 0);
}

void LinearSymbol::encodeSupplement2(const std::string& digits) {
    std::string s;
    if (!prepareAddOn(*this, digits, 2, s))
        return;
    addAddOnGap(*this);
    const char* parity = Supplement2ParityTable[static_cast<int>(floorMod(parseNumber(s), 4))];
    addAddOnDigit(*this, s[0], parity[0]);
    addGuardPattern(ADDON_SEPARATOR_COLOURS, ADDON_SEPARATOR);
    addAddOnDigit(*this, s[1], parity[1]);
    supplementEndX = currentX;
}

void LinearSymbol::encodeSupplement5(const std::string& digits) {
    std::string s;
    if (!prepareAddOn(*this, digits, 5, s))
        return;
    // Weights 3 and 9 alternate from the last digit leftwards.
    int sum = 0;
    for (int i = 4; i >= 0; --i)
        sum += digitValue(s[static_cast<std::size_t>(i)]) * (i % 2 == 0 ? 3 : 9);
    const char* parity = Supplement5ParityTable[static_cast<int>(floorMod(sum, 10))];
    addAddOnGap(*this);
    for (int i = 0; i < 5; ++i) {
        addAddOnDigit(*this, s[static_cast<std::size_t>(i)], parity[i]);
        if (i < 4)
            addGuardPattern(ADDON_SEPARATOR_COLOURS, ADDON_SEPARATOR);
    }
    supplementEndX = currentX;
}
