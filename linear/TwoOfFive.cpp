// The two-of-five family: Interleaved, Industrial and Matrix 2 of 5.

#include "CharacterName.h"
#include "LinearSymbol.h"

#include <iterator>

namespace {

// The two-of-five digit patterns: five elements, two of them wide (the wide
// positions weigh 1, 2, 4, 7 and parity; 0 is 4 + 7).
constexpr SymbolRow TwoOfFiveTable[] = {
    {"0", "nnwwn"}, {"1", "wnnnw"}, {"2", "nwnnw"}, {"3", "wwnnn"}, {"4", "nnwnw"},
    {"5", "wnwnn"}, {"6", "nwwnn"}, {"7", "nnnww"}, {"8", "wnnwn"}, {"9", "nwnwn"},
};
static_assert(std::size(TwoOfFiveTable) == 10);

int digitOf(char c) { return findDigit(TwoOfFiveTable, std::string(1, c)); }

// Modulo-10 check digit with the weights 3, 1, 3, ... from the rightmost digit.
// Characters that are not digits draw nothing, so they take no weight either
// and the check digit always matches the digits drawn.
int twoOfFiveCheckDigit(const std::string& value) {
    int total = 0;
    int weight = 3;
    for (auto c = value.rbegin(); c != value.rend(); ++c) {
        const int d = digitOf(*c);
        if (d < 0)
            continue;
        total += weight * d;
        weight = 4 - weight;
    }
    const int r = static_cast<int>(LinearSymbol::floorMod(total, 10));
    return r == 0 ? 0 : 10 - r;
}

void encodeTwoOfFive(LinearSymbol& s, int symbology) {
    switch (symbology) {
    case LinearSymbol::INTERLEAVED_2OF5: {
        // Interleaving needs a digit for every bar and space group; a value with
        // anything else would scan as digits the user did not give.
        for (char c : s.code) {
            if (digitOf(c) < 0) {
                s.refuseSymbol("Interleaved 2 of 5 encodes digits only, and the value holds " + characterName(c));
                return;
            }
        }
        std::string v = s.code;
        if ((v.size() % 2 == 0) == s.checkCharacter)
            v = "0" + v;  // the drawn digits must come in pairs
        if (s.checkCharacter)
            v += LinearSymbol::intToString(twoOfFiveCheckDigit(v));
        s.addPattern("bwbw", "nnnn");
        for (std::size_t i = 0; i + 1 < v.size(); i += 2) {
            // The first digit of a pair is carried by five bars, the second by the five spaces between them.
            const char* bars = TwoOfFiveTable[digitOf(v[i])].pattern;
            const char* spaces = TwoOfFiveTable[digitOf(v[i + 1])].pattern;
            for (int k = 0; k < 5; ++k)
                s.addPattern("bw", std::string{bars[k], spaces[k]});
        }
        s.addPattern("bwb", "wnn");
        if (s.text.empty())
            s.text = v;
        break;
    }
    case LinearSymbol::INDUSTRIAL_2OF5: {
        std::string v = s.code;
        if (s.checkCharacter)
            v += LinearSymbol::intToString(twoOfFiveCheckDigit(v));
        s.addPattern("bwbwbw", "wwwwnw");
        for (char c : v) {
            const int d = digitOf(c);
            if (d < 0)
                continue;
            // Only the bars carry the pattern; every space is wide.
            for (const char* e = TwoOfFiveTable[d].pattern; *e != '\0'; ++e)
                s.addPattern("bw", std::string{*e, 'w'});
        }
        s.addPattern("bwbwb", "wwnww");
        break;
    }
    case LinearSymbol::MATRIX_2OF5:
        s.addPattern("bwbwbw", "wnnnnn");
        for (char c : s.code) {
            const int d = digitOf(c);
            if (d >= 0)
                s.addPattern("bwbwbw", std::string(TwoOfFiveTable[d].pattern) + "n");
        }
        s.addPattern("bwbwbw", "wnnnnn");
        break;
    default:
        break;
    }
}

}  // namespace

void LinearSymbol::encodeInterleaved2of5() { encodeTwoOfFive(*this, INTERLEAVED_2OF5); }
void LinearSymbol::encodeIndustrial2of5() { encodeTwoOfFive(*this, INDUSTRIAL_2OF5); }
void LinearSymbol::encodeMatrix2of5() { encodeTwoOfFive(*this, MATRIX_2OF5); }
