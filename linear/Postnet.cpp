// Postnet.

#include "CharacterName.h"
#include "LinearSymbol.h"

#include <iterator>

namespace {

// POSTNET digits: five bars, '1' a full bar and '0' a half bar; two of the five
// are full (weights 7, 4, 2, 1, 0; 0 is 7 + 4).
constexpr SymbolRow PostnetTable[] = {
    {"0", "11000"}, {"1", "00011"}, {"2", "00101"}, {"3", "00110"}, {"4", "01001"},
    {"5", "01010"}, {"6", "01100"}, {"7", "10001"}, {"8", "10010"}, {"9", "10100"},
};
static_assert(std::size(PostnetTable) == 10);

int postnetDigit(char c) { return findDigit(PostnetTable, std::string(1, c)); }

}  // namespace

// Every bar is narrow and followed by a wide space; only its height varies.
// A character other than '0' and '1' adds nothing, so bars and spaces keep
// alternating.
void LinearSymbol::addPostnetPattern(const std::string& pattern) {
    const int tall = static_cast<int>(postnetTallBarHeight);
    const int half = static_cast<int>(postnetShortBarHeight);
    for (char p : pattern) {
        if (p != '0' && p != '1')
            continue;
        addElement(narrowBarPixels, p == '1' ? tall : half);
        addElement(wideBarPixels, 1);
    }
}

void LinearSymbol::encodePostnet() {
    for (char c : code) {
        if (postnetDigit(c) < 0) {
            refuseSymbol("Postnet encodes digits only, and the value holds " + characterName(c));
            return;
        }
    }
    std::string s = code;
    int sum = 0;
    for (char c : code)
        sum += postnetDigit(c);
    const int r = static_cast<int>(floorMod(sum, 10));
    if (checkCharacter)
        s += intToString(r == 0 ? 0 : 10 - r);

    addPostnetPattern("1");  // frame bar
    for (char c : s)
        addPostnetPattern(PostnetTable[postnetDigit(c)].pattern);
    addPostnetPattern("1");
}
