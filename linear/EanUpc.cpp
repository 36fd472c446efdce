// EAN-13, EAN-8 and UPC-A (ISO/IEC 15420), and the GS1 mod-10 check digit they
// share with UPC-E.

#include "EanTables.h"
#include "LinearSymbol.h"

#include <string>

namespace {

using eanupc::addDigit;
using eanupc::firstNonDigit;
using eanupc::nonDigitReason;

void addStartGuard(LinearSymbol& s) {
    s.addGuardPattern(EDGE_GUARD_COLOURS, EDGE_GUARD);
    s.guardMarks[0] = s.currentX;
}

void addCentreGuard(LinearSymbol& s) {
    s.guardMarks[1] = s.currentX;
    s.addGuardPattern(CENTRE_GUARD_COLOURS, CENTRE_GUARD);
    s.guardMarks[2] = s.currentX;
}

void addEndGuard(LinearSymbol& s) {
    s.guardMarks[3] = s.currentX;
    s.addGuardPattern(EDGE_GUARD_COLOURS, EDGE_GUARD);
    s.guardMarks[4] = s.currentX;
}

// The reason for refusing a value too short for a fixed-length symbology that
// completes `digits - 1` digits with a check digit when `check` allows.
std::string tooShortReason(const std::string& symbology, const std::string& value, int digits, bool check) {
    if (static_cast<int>(value.size()) == digits - 1 && !check)
        return symbology + " value \"" + value + "\" has " + std::to_string(digits - 1) +
               " digits and check digits are switched off; it needs " + std::to_string(digits);
    return symbology + " needs " + std::to_string(digits - 1) + " digits, or " + std::to_string(digits) +
           " with the check digit; \"" + value + "\" has " + std::to_string(value.size()) + " characters";
}

void warnOnUndrawnTail(LinearSymbol& s, const std::string& symbology, std::size_t drawn) {
    if (s.code.size() > drawn)
        s.warnings.push_back(symbology + " draws " + std::to_string(drawn) + " digits; the characters \"" +
                             s.code.substr(drawn) + "\" after them are not drawn");
}

}  // namespace

std::string LinearSymbol::eanCheckDigit(const std::string& digits) const {
    // Weights 3, 1, 3, ... from the last character leftwards.
    int tripled = 0;
    int single = 0;
    bool weightThree = true;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        const int value = digitValue(*it);
        (weightThree ? tripled : single) += value;
        weightThree = !weightThree;
    }
    const int r = static_cast<int>(floorMod(3 * tripled + single, 10));
    return intToString(r == 0 ? 0 : 10 - r);
}

void LinearSymbol::encodeEan13() {
    const bool completed = code.size() == 12;
    if (completed) {
        if (const int bad = firstNonDigit(code, 12); bad >= 0) {
            refuseSymbol(nonDigitReason("EAN-13", code, bad));
            return;
        }
        // EAN-13 always carries its check digit, whatever checkCharacter says.
        code += eanCheckDigit(code);
        if (text.empty())
            text = code;
    }
    if (code.size() < 13) {
        refuseSymbol(tooShortReason("EAN-13", code, 13, true));
        return;
    }
    if (const int bad = firstNonDigit(code, 13); bad >= 0) {
        refuseSymbol(nonDigitReason("EAN-13", code, bad));
        return;
    }
    if (!completed)
        eanupc::warnOnCheckDigit(*this, "EAN-13", code, 12);
    warnOnUndrawnTail(*this, "EAN-13", 13);

    addStartGuard(*this);
    // The leading digit is not drawn: it selects the number sets of digits 2 to 6.
    const char* parity = Ean13ParityTable[digitValue(code[0])];
    addDigit(*this, EanSetA, code[1], LEFT_DIGIT_COLOURS);
    for (int i = 2; i <= 6; ++i)
        addDigit(*this, parity[i - 2] == 'B' ? EanSetB : EanSetA, code[i], LEFT_DIGIT_COLOURS);
    addCentreGuard(*this);
    for (int i = 7; i <= 12; ++i)
        addDigit(*this, EanSetC, code[i], RIGHT_DIGIT_COLOURS);
    addEndGuard(*this);

    eanupc::addSupplementIfSet(*this, code, 2);
}

void LinearSymbol::encodeEan8() {
    const bool completed = code.size() == 7 && checkCharacter;
    if (completed) {
        if (const int bad = firstNonDigit(code, 7); bad >= 0) {
            refuseSymbol(nonDigitReason("EAN-8", code, bad));
            return;
        }
        code += eanCheckDigit(code);
    }
    if (code.size() < 8) {
        refuseSymbol(tooShortReason("EAN-8", code, 8, checkCharacter));
        return;
    }
    if (const int bad = firstNonDigit(code, 8); bad >= 0) {
        refuseSymbol(nonDigitReason("EAN-8", code, bad));
        return;
    }
    if (!completed)
        eanupc::warnOnCheckDigit(*this, "EAN-8", code, 7);
    warnOnUndrawnTail(*this, "EAN-8", 8);
    if (text.empty())
        text = code;

    addStartGuard(*this);
    for (int i = 0; i <= 3; ++i)
        addDigit(*this, EanSetA, code[i], LEFT_DIGIT_COLOURS);
    addCentreGuard(*this);
    for (int i = 4; i <= 7; ++i)
        addDigit(*this, EanSetC, code[i], RIGHT_DIGIT_COLOURS);
    addEndGuard(*this);

    eanupc::addSupplementIfSet(*this, code, 2);
}

void LinearSymbol::encodeUpcA() {
    const bool completed = code.size() == 11 && checkCharacter;
    // Every character is drawn, so every one must be a digit.
    if (const int bad = firstNonDigit(code, code.size()); bad >= 0) {
        refuseSymbol(nonDigitReason("UPC-A", code, bad));
        return;
    }
    if (completed)
        code += eanCheckDigit(code);
    if (text.empty())
        text = code;
    if (code.size() == 12) {
        if (!completed)
            eanupc::warnOnCheckDigit(*this, "UPC-A", code, 11);
    } else {
        // Drawn as given, but no reader takes it for a UPC-A symbol.
        warnings.push_back("UPC-A has 12 digits (11 and the check digit), but \"" + code + "\" has " +
                           std::to_string(code.size()) + "; the symbol is drawn as given");
    }

    addStartGuard(*this);
    for (std::size_t i = 0; i < code.size(); ++i) {
        if (i < 6)
            addDigit(*this, EanSetA, code[i], LEFT_DIGIT_COLOURS);
        else
            addDigit(*this, EanSetC, code[i], RIGHT_DIGIT_COLOURS);
        if (i == 5)
            addCentreGuard(*this);
    }
    addEndGuard(*this);

    eanupc::addSupplementIfSet(*this, code, 1);
}
