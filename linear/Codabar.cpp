// Codabar.

#include "CharacterName.h"
#include "LinearSymbol.h"

#include <iterator>

namespace {

// Codabar symbol characters: seven elements, bar first. Row index = the
// character's value in the modulo-16 check sum; rows 16-19 are the start and
// stop characters A to D.
constexpr SymbolRow CodabarTable[] = {
    {"0", "nnnnnww"}, {"1", "nnnnwwn"}, {"2", "nnnwnnw"}, {"3", "wwnnnnn"}, {"4", "nnwnnwn"},
    {"5", "wnnnnwn"}, {"6", "nwnnnnw"}, {"7", "nwnnwnn"}, {"8", "nwwnnnn"}, {"9", "wnnwnnn"},
    {"-", "nnnwwnn"},  // 10
    {"$", "nnwwnnn"},  // 11
    {":", "wnnnwnw"},  // 12
    {"/", "wnwnnnw"},  // 13
    {".", "wnwnwnn"},  // 14
    {"+", "nnwnwnw"},  // 15
    {"A", "nnwwnwn"},  // 16
    {"B", "nwnwnnw"},  // 17
    {"C", "nnnwnww"},  // 18
    {"D", "nnnwwwn"},  // 19
};
static_assert(std::size(CodabarTable) == 20);

constexpr int FIRST_START_STOP_ROW = 16;

int findCodabarCharacter(char c) { return findRow(CodabarTable, std::string(1, c)); }

// Adds row k and the narrow gap after it.
void addCodabarCharacter(LinearSymbol& s, int k) {
    s.addPattern("bwbwbwbw", std::string(CodabarTable[k].pattern) + "n");
}

}  // namespace

void LinearSymbol::encodeCodabar() {
    // A symbol must open and close with one of A to D, or readers find no
    // symbol (or a different one) in it.
    const int start = findCodabarCharacter(codabarStartChar);
    const int stop = findCodabarCharacter(codabarStopChar);
    if (start < FIRST_START_STOP_ROW) {
        refuseSymbol("Codabar start character " + characterName(codabarStartChar) + " is not one of A, B, C and D");
        return;
    }
    if (stop < FIRST_START_STOP_ROW) {
        refuseSymbol("Codabar stop character " + characterName(codabarStopChar) + " is not one of A, B, C and D");
        return;
    }

    addCodabarCharacter(*this, start);
    // The check value makes start + data + stop + check a multiple of 16; a
    // character outside the table counts -1.
    int sum = start + stop;
    for (char c : code)
        sum += findCodabarCharacter(c);
    const int r = static_cast<int>(floorMod(sum, 16));
    const int check = r == 0 ? 0 : 16 - r;

    for (char c : code) {
        const int k = findCodabarCharacter(c);
        if (k >= 0)
            addCodabarCharacter(*this, k);  // others are skipped
    }
    if (checkCharacter) {
        if (text.empty())
            text = code + CodabarTable[check].character;
        addCodabarCharacter(*this, check);
    }
    addPattern("bwbwbwb", CodabarTable[stop].pattern);
}
