// Code 39 and its full-ASCII form.

#include "Code39Tables.h"
#include "LinearSymbol.h"

#include <algorithm>
#include <climits>

namespace {

constexpr int CHARACTER_ELEMENTS = 9;  // bar first

// Adds Code 39 character `row` followed by the inter-character gap (a space).
void addCode39Character(LinearSymbol& s, int row, int gap) {
    s.addPatternCodes(Code39Table[row].pattern, CHARACTER_ELEMENTS, s.barHeightPixels);
    s.addElement(gap, s.barHeightPixels);
}

// A gap of no width (or a negative one, from negative settings) would merge
// neighbouring characters; it is one unit instead.
int gapWidth(const LinearSymbol& s) {
    const long long g = static_cast<long long>(s.interCharGap) * s.narrowBarWidth;
    return g <= 0 ? 1 : static_cast<int>(std::min<long long>(g, INT_MAX));
}

// Check character, text and stop, common to both forms.
void finishCode39(LinearSymbol& s, int sum, int gap, bool textOnlyIfEmpty) {
    if (s.checkCharacter) {
        const int k = static_cast<int>(LinearSymbol::floorMod(sum, 43));
        addCode39Character(s, k, gap);
        if (!textOnlyIfEmpty || s.text.empty())
            s.text = s.code + Code39Table[k].character;
    }
    s.addPatternCodes(Code39Table[CODE39_START_STOP].pattern, CHARACTER_ELEMENTS, s.barHeightPixels);
}

}  // namespace

void LinearSymbol::encodeCode39() {
    const int gap = gapWidth(*this);
    addCode39Character(*this, CODE39_START_STOP, gap);
    int sum = 0;
    for (char c : code) {
        const int k = CODE39_INDEX.row(c);
        if (k < 0)
            continue;  // not in the character set: skipped
        sum += k;
        addCode39Character(*this, k, gap);
    }
    finishCode39(*this, sum, gap, false);
}

void LinearSymbol::encodeCode39Extended() {
    const int gap = gapWidth(*this);
    addCode39Character(*this, CODE39_START_STOP, gap);
    int sum = 0;
    for (char c : code) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 128)
            continue;
        for (const char* e = Code39AsciiTable[byte]; *e != '\0'; ++e) {
            const int k = CODE39_INDEX.row(*e);
            if (k < 0)
                continue;
            sum += k;
            addCode39Character(*this, k, gap);
        }
    }
    finishCode39(*this, sum, gap, true);
}
