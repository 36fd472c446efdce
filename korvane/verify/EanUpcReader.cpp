// EAN-13, EAN-8, UPC-A and UPC-E with their 2- and 5-digit add-ons (ISO/IEC 15420).

#include "Linear.h"

#include <cmath>
#include <iterator>

namespace korvane::detail {
namespace {

// Number set A (odd parity) as module widths of space, bar, space, bar; the
// row is the digit. Set B (even parity) is each set A pattern reversed, and
// set C (the right half) has set A's widths starting with a bar.
constexpr const char* SET_A[] = {
    "3211", "2221", "2122", "1411", "1132", "1231", "1114", "1312", "1213", "3112",
};
constexpr const char* SET_B[] = {
    "1123", "1222", "2212", "1141", "2311", "1321", "4111", "2131", "3121", "2113",
};
static_assert(std::size(SET_A) == 10 && std::size(SET_B) == 10);
constexpr auto SET_A_DIGITS = reverseTable<256>(SET_A, moduleKey);
constexpr auto SET_B_DIGITS = reverseTable<256>(SET_B, moduleKey);
static_assert(distinctKeys(SET_A_DIGITS, SET_A) && distinctKeys(SET_B_DIGITS, SET_B));

// EAN-13: the number sets of the six left-hand digits give the leading digit.
constexpr const char* EAN13_PARITY[] = {
    "AAAAAA", "AABABB", "AABBAB", "AABBBA", "ABAABB", "ABBAAB", "ABBBAA", "ABABAB", "ABABBA", "ABBABA",
};
// UPC-E, number system 0: the number sets of the six digits give the check
// digit (the row). Number system 1 swaps A and B.
constexpr const char* UPCE_PARITY[] = {
    "BBBAAA", "BBABAA", "BBAABA", "BBAAAB", "BABBAA", "BAABBA", "BAAABB", "BABABA", "BABAAB", "BAABAB",
};
// Five-digit add-on: the number sets of its digits give its check value.
constexpr const char* ADDON5_PARITY[] = {
    "BBAAA", "BABAA", "BAABA", "BAAAB", "ABBAA", "AABBA", "AAABB", "ABABA", "ABAAB", "AABAB",
};
// Two-digit add-on: the number sets give the value modulo 4.
constexpr const char* ADDON2_PARITY[] = {"AA", "AB", "BA", "BB"};

constexpr int GUARD = 3;         // bar, space, bar of one module each
constexpr int CENTRE = 5;        // space, bar, space, bar, space
constexpr int UPCE_END = 6;      // space, bar, space, bar, space, bar
constexpr int DIGIT = 4;
constexpr int DIGIT_MODULES = 7;
constexpr int ADDON_START[] = {1, 1, 2};

struct Shape {
    const char* name;
    int left;        // digits before the centre guard (all of them for UPC-E)
    int right;       // digits after it
    int modules;     // the main symbol's width
    double gapNeeded;  // the main symbol's quiet zone after it: the least add-on gap
};
Shape shapeOf(Symbology s) {
    switch (s) {
    case Symbology::Ean8: return {"EAN-8", 4, 4, 67, 7};
    case Symbology::UpcA: return {"UPC-A", 6, 6, 95, 9};
    case Symbology::UpcE: return {"UPC-E", 6, 0, 51, 7};
    default: return {"EAN-13", 6, 6, 95, 7};
    }
}

// The UPC-A number (without check digit) that a UPC-E number system and six digits stand for.
std::string expandUpcE(char ns, const std::string& d) {
    const std::string head(1, ns);
    switch (d[5]) {
    case '0':
    case '1':
    case '2': return head + d.substr(0, 2) + d[5] + "0000" + d.substr(2, 3);
    case '3': return head + d.substr(0, 3) + "00000" + d.substr(3, 2);
    case '4': return head + d.substr(0, 4) + "00000" + d[4];
    default: return head + d.substr(0, 5) + "0000" + d[5];
    }
}

// The six UPC-E digits of a UPC-A number (number system and ten digits) by
// zero suppression, or "" when none of its four forms fits.
std::string compressUpcA(const std::string& a) {
    const std::string m = a.substr(1, 5), item = a.substr(6, 5);
    if ((m.substr(2) == "000" || m.substr(2) == "100" || m.substr(2) == "200") && item.substr(0, 2) == "00")
        return m.substr(0, 2) + item.substr(2) + m[2];
    if (m.substr(3) == "00" && item.substr(0, 3) == "000")
        return m.substr(0, 3) + item.substr(3) + "3";
    if (m[4] == '0' && item.substr(0, 4) == "0000")
        return m.substr(0, 4) + item[4] + "4";
    if (m[4] != '0' && item.substr(0, 4) == "0000" && item[4] >= '5')
        return m + item[4];
    return "";
}

// Whether the elements from `i` have the given module widths, allowing half a module.
bool guardAt(const Runs& runs, int i, int count, const int* widths, double x, double gain) {
    for (int k = 0; k < count; ++k) {
        const double m = (runs[static_cast<std::size_t>(i + k)] + ((i + k) % 2 ? -gain : gain)) / x;
        if (std::fabs(m - widths[k]) > 0.5)
            return false;
    }
    return true;
}
constexpr int ONES[] = {1, 1, 1, 1, 1, 1};

// A digit of set A or B (left half, starting with a space), or of set C
// (starting with a bar, which reads as set A). -1 when it is none.
int digitAt(const Runs& runs, int i, double gain, char& set) {
    const int found = moduleKeyAt(runs, i, DIGIT, DIGIT_MODULES, gain);
    if (found < 0)
        return -1;
    const std::size_t key = static_cast<std::size_t>(found);
    if (SET_A_DIGITS[key] >= 0) {
        set = 'A';
        return SET_A_DIGITS[key];
    }
    if (SET_B_DIGITS[key] >= 0) {
        set = 'B';
        return SET_B_DIGITS[key];
    }
    return -1;
}

int rowOf(const char* const* table, int rows, const std::string& parity) {
    for (int k = 0; k < rows; ++k)
        if (parity == table[k])
            return k;
    return -1;
}

// Reads an add-on starting at bar `s`; its digits, or a failure (after a
// valid main symbol, so it ranks as VALID).
LineRead readAddOn(const Runs& runs, int s, double x, double gain) {
    const int n = static_cast<int>(runs.size());
    if (s + GUARD + DIGIT >= n || !guardAt(runs, s, GUARD, ADDON_START, x, gain))
        return failed(NOTHING, "");
    std::string digits, parity;
    int i = s + GUARD;
    for (;;) {
        char set = 0;
        const int d = i + DIGIT < n ? digitAt(runs, i, gain, set) : -1;
        if (d < 0)
            return failed(VALID, "add-on digit " + std::to_string(digits.size() + 1) + " has no valid pattern");
        digits += static_cast<char>('0' + d);
        parity += set;
        i += DIGIT;
        // A one-module space and bar separate the digits; a quiet zone ends the add-on.
        if (digits.size() == 5 || i + 2 >= n || !guardAt(runs, i, 2, ONES, x, gain))
            break;
        i += 2;
    }
    LineRead r;
    if (digits.size() == 2) {
        if (parity != ADDON2_PARITY[std::stoi(digits) % 4])
            return failed(VALID, "the number sets of the add-on " + digits + " do not match its value");
    } else if (digits.size() == 5) {
        const int check = (3 * (digits[0] + digits[2] + digits[4] - 3 * '0') + 9 * (digits[1] + digits[3] - 2 * '0')) % 10;
        if (parity != ADDON5_PARITY[check])
            return failed(VALID, "the number sets of the add-on " + digits + " do not match its check value");
    } else {
        return failed(VALID, "the add-on has " + std::to_string(digits.size()) + " digits; add-ons have 2 or 5");
    }
    r.progress = DECODED;
    r.addOn = digits;
    r.lastBar = i - 1;
    return r;
}

// The digits with what the number sets of the left half (`parity`) add: the
// leading digit of EAN-13, UPC-E's number system and check digit; the check
// digit verified. A failure says what does not fit.
LineRead checkedDigits(Symbology symbology, const Shape& shape, std::string& digits, const std::string& parity) {
    LineRead r;
    switch (symbology) {
    case Symbology::Ean13:
    case Symbology::UpcA: {
        const int lead = rowOf(EAN13_PARITY, 10, parity);
        if (lead < 0)
            return failed(COMPLETE, "the number sets " + parity + " of the left half give no leading digit");
        if (symbology == Symbology::UpcA && lead != 0)
            return failed(COMPLETE, "the symbol is an EAN-13 with leading digit " + std::to_string(lead) +
                                        ", not a UPC-A");
        if (symbology == Symbology::Ean13)
            digits.insert(digits.begin(), static_cast<char>('0' + lead));
        break;
    }
    case Symbology::Ean8:
        if (parity != "AAAA")
            return failed(COMPLETE, "the EAN-8 left half uses number set B");
        break;
    default: {  // UPC-E: number system and check digit come from the number sets
        int ns = 0, check = rowOf(UPCE_PARITY, 10, parity);
        if (check < 0) {
            std::string swapped = parity;
            for (char& c : swapped)
                c = c == 'A' ? 'B' : 'A';
            ns = 1;
            check = rowOf(UPCE_PARITY, 10, swapped);
        }
        if (check < 0)
            return failed(COMPLETE, "the number sets " + parity + " of the UPC-E digits give no check digit");
        const std::string upca = expandUpcE(static_cast<char>('0' + ns), digits);
        // Each UPC-A number has one UPC-E form: the first that fits.
        if (compressUpcA(upca) != digits)
            return failed(COMPLETE, "the UPC-E digits " + digits + " are not the zero-suppressed form of " + upca +
                                        " (that is " + compressUpcA(upca) + ")");
        const char expected = checkDigit31(upca);
        if (expected != '0' + check)
            return failed(COMPLETE, "the UPC-E check digit (from the number sets) is " + std::to_string(check) +
                                        "; the digits give " + expected);
        digits = std::string(1, static_cast<char>('0' + ns)) + digits + static_cast<char>('0' + check);
        r.checkCharacters = std::string(1, static_cast<char>('0' + check));
        break;
    }
    }
    if (symbology != Symbology::UpcE) {
        const char expected = checkDigit31(digits.substr(0, digits.size() - 1));
        if (digits.back() != expected)
            return failed(COMPLETE, std::string("the ") + shape.name + " check digit reads " + digits.back() +
                                        "; the digits before it give " + expected);
        r.checkCharacters = std::string(1, expected);
    }
    return r;
}

LineRead readFrom(const Runs& runs, int s, Symbology symbology, const Shape& shape) {
    const int n = static_cast<int>(runs.size());
    const bool upce = symbology == Symbology::UpcE;
    const int leftEnd = s + GUARD + DIGIT * shape.left;
    const int rightStart = leftEnd + (upce ? 0 : CENTRE);
    const int lastBar = upce ? leftEnd + UPCE_END - 1 : rightStart + DIGIT * shape.right + GUARD - 1;
    if (lastBar + 1 >= n)
        return failed(STARTED, std::string("the ") + shape.name + " symbol is cut short");
    double span = 0;
    for (int i = s; i <= lastBar; ++i)
        span += runs[static_cast<std::size_t>(i)];
    const double x = span / shape.modules;
    // Print gain from the guard patterns, whose elements are all one module.
    double gain = 0;
    int guards = 0;
    auto addGain = [&](int from, int count) {
        for (int i = from; i < from + count; ++i, ++guards)
            gain += i % 2 ? runs[static_cast<std::size_t>(i)] - x : x - runs[static_cast<std::size_t>(i)];
    };
    addGain(s, GUARD);
    addGain(leftEnd, upce ? UPCE_END : CENTRE);
    if (!upce)
        addGain(lastBar - GUARD + 1, GUARD);
    gain /= guards;
    if (!guardAt(runs, s, GUARD, ONES, x, gain) ||
        !guardAt(runs, leftEnd, upce ? UPCE_END : CENTRE, ONES, x, gain) ||
        (!upce && !guardAt(runs, lastBar - GUARD + 1, GUARD, ONES, x, gain)))
        return failed(STARTED, std::string("the ") + shape.name + " guard patterns are not where they belong");

    std::string digits, parity;
    for (int k = 0; k < shape.left + shape.right; ++k) {
        const int i = k < shape.left ? s + GUARD + DIGIT * k : rightStart + DIGIT * (k - shape.left);
        char set = 0;
        const int d = digitAt(runs, i, gain, set);
        // Right-hand digits start with a bar, so set C reads as set A.
        if (d < 0 || (k >= shape.left && set != 'A'))
            return failed(COMPLETE, std::string(shape.name) + " symbol character " + std::to_string(k + 1) +
                                        " has no valid pattern");
        digits += static_cast<char>('0' + d);
        if (k < shape.left)
            parity += set;
    }

    LineRead r = checkedDigits(symbology, shape, digits, parity);
    if (!r.failure.empty())
        return r;
    r.data = digits;
    r.found(s, lastBar, x);

    // An add-on follows within 12 modules.
    const double gap = runs[static_cast<std::size_t>(lastBar) + 1] / x;
    if (lastBar + 2 < n && gap <= 12.5) {
        LineRead addOn = readAddOn(runs, lastBar + 2, x, gain);
        if (addOn.progress == DECODED) {
            if (gap < shape.gapNeeded - 0.25)
                return failed(VALID, "the gap before the add-on is " + std::to_string(std::lround(gap)) +
                                            " modules; " + shape.name + " needs " +
                                            std::to_string(static_cast<int>(shape.gapNeeded)));
            r.addOn = addOn.addOn;
            r.lastBar = addOn.lastBar;
            r.quietRight = 5;  // after an add-on
        } else if (addOn.progress > NOTHING) {
            return addOn;
        }
    }
    return r;
}

}  // namespace

LineRead decodeEanUpc(const ScanLine& line, Symbology s) {
    const Shape shape = shapeOf(s);
    // The start guard: bar, space, bar of one module each.
    return eachModuleStart(line.runs, GUARD, GUARD, [&](int i) { return readFrom(line.runs, i, s, shape); });
}

}  // namespace korvane::detail
