// Code 11.

#include "LinearSymbol.h"

#include <iterator>

namespace {

// Code 11 symbol characters: five elements, bar first. Row index = the
// character's value in the C and K check sums.
constexpr SymbolRow Code11Table[] = {
    {"0", "nnnnw"}, {"1", "wnnnw"}, {"2", "nwnnw"}, {"3", "wwnnn"}, {"4", "nnwnw"}, {"5", "wnwnn"},
    {"6", "nwwnn"}, {"7", "nnnww"}, {"8", "wnnwn"}, {"9", "wnnnn"},
    {"-", "nnwnn"},  // 10
};
static_assert(std::size(Code11Table) == 11);

constexpr const char* CODE11_START_STOP = "nnwwn";

int findCode11Character(char c) { return findRow(Code11Table, std::string(1, c)); }

// Weighted sum of the value's rows with the weights firstWeight, ...
// maxWeight, 1, 2, ... from the last character to the first. A character
// outside the table has row -1 and so subtracts its weight.
int code11Sum(const std::string& value, int firstWeight, int maxWeight) {
    int sum = 0;
    int weight = firstWeight;
    for (auto c = value.rbegin(); c != value.rend(); ++c) {
        sum += weight * findCode11Character(*c);
        weight = weight % maxWeight + 1;
    }
    return sum;
}

// Adds row k and the narrow gap after it.
void addCode11Character(LinearSymbol& s, int k) {
    s.addPattern("bwbwbw", std::string(Code11Table[k].pattern) + "n");
}

}  // namespace

void LinearSymbol::encodeCode11() {
    addPattern("bwbwbw", std::string(CODE11_START_STOP) + "n");
    const int c = static_cast<int>(floorMod(code11Sum(code, 1, 10), 11));
    const int k = static_cast<int>(floorMod(c + code11Sum(code, 2, 9), 11));  // C has weight 1 in K

    for (char ch : code) {
        const int row = findCode11Character(ch);
        if (row >= 0)
            addCode11Character(*this, row);  // others are skipped
    }
    if (checkCharacter) {
        const bool ownText = text.empty();
        addCode11Character(*this, c);
        if (ownText)
            text = code + Code11Table[c].character;
        if (code.size() > 10) {
            addCode11Character(*this, k);
            if (ownText)
                text += Code11Table[k].character;
        }
    }
    addPattern("bwbwb", CODE11_START_STOP);
}
