// MSI.

#include "LinearSymbol.h"

#include <iterator>
#include <vector>

namespace {

// Each digit is its four bits, most significant first: 1 is a wide bar and a
// narrow space ("wn"), 0 a narrow bar and a wide space ("nw").
constexpr SymbolRow MsiTable[] = {
    {"0", "nwnwnwnw"}, {"1", "nwnwnwwn"}, {"2", "nwnwwnnw"}, {"3", "nwnwwnwn"}, {"4", "nwwnnwnw"},
    {"5", "nwwnnwwn"}, {"6", "nwwnwnnw"}, {"7", "nwwnwnwn"}, {"8", "wnnwnwnw"}, {"9", "wnnwnwwn"},
};
static_assert(std::size(MsiTable) == 10);

int msiDigit(char c) { return findDigit(MsiTable, std::string(1, c)); }

// The modulo-11 check value (0 to 10) with the weights 2 to 7 repeating from
// the last character; a character that is not a digit counts -1.
int msiMod11Value(const std::string& value) {
    int sum = 0;
    int weight = 2;
    for (auto c = value.rbegin(); c != value.rend(); ++c) {
        sum += weight * msiDigit(*c);
        weight = weight == 7 ? 2 : weight + 1;
    }
    const int r = static_cast<int>(LinearSymbol::floorMod(sum, 11));
    return r == 0 ? 0 : 11 - r;
}

}  // namespace

// The digits in odd positions from the right, read as a number and doubled,
// give the sum of the digits of that double; each such digit d adds 2d, less 9
// when 2d has two digits, which works for values of any length. Characters
// that are not digits are not drawn and take no position.
int LinearSymbol::msiMod10Digit(const std::string& s) const {
    int sum = 0;
    bool odd = true;
    for (auto c = s.rbegin(); c != s.rend(); ++c) {
        const int d = msiDigit(*c);
        if (d < 0)
            continue;
        sum += odd ? (d < 5 ? 2 * d : 2 * d - 9) : d;
        odd = !odd;
    }
    const int r = static_cast<int>(floorMod(sum, 10));
    return r == 0 ? 0 : 10 - r;
}

void LinearSymbol::encodeMsi() {
    const int m11 = msiMod11Value(code);
    const bool usesMod11 = msiCheckMode == 1 || msiCheckMode == 2;
    if (checkCharacter && usesMod11 && m11 == 10) {
        // 10 has no MSI digit; any digit drawn in its place would be a wrong check.
        refuseSymbol("the MSI modulo-11 check value of this value is 10, which no MSI digit can show; "
                     "use check mode 0 or 3");
        return;
    }
    const int b = msiMod10Digit(code);
    std::vector<int> checks;
    if (checkCharacter) {
        switch (msiCheckMode) {
        case 0: checks = {b}; break;
        case 1: checks = {m11}; break;
        case 2: checks = {m11, msiMod10Digit(code + intToString(m11))}; break;
        case 3: checks = {b, msiMod10Digit(code + intToString(b))}; break;
        default: break;
        }
    }

    addPattern("bw", "wn");
    for (char c : code) {
        const int d = msiDigit(c);
        if (d >= 0)
            addPattern("bwbwbwbw", MsiTable[d].pattern);  // others are skipped
    }
    if (checkCharacter) {
        text = code;
        for (int d : checks) {
            addPattern("bwbwbwbw", MsiTable[d].pattern);
            text += intToString(d);
        }
    }
    addPattern("bwb", "nwn");
}
