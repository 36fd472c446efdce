#pragma once
// Code 39 tables (ISO/IEC 16388), shared by Code 39, its full-ASCII form and
// the width estimates of Code 39 extended and Code 93.

#include "LinearSymbol.h"

#include <iterator>

// Row index = the character's value in the mod-43 check sum. Patterns are nine
// elements, bar first: 'n' narrow, 'w' wide; three of the nine are wide.
constexpr SymbolRow Code39Table[] = {
    {"0", "nnnwwnwnn"}, {"1", "wnnwnnnnw"}, {"2", "nnwwnnnnw"}, {"3", "wnwwnnnnn"},
    {"4", "nnnwwnnnw"}, {"5", "wnnwwnnnn"}, {"6", "nnwwwnnnn"}, {"7", "nnnwnnwnw"},
    {"8", "wnnwnnwnn"}, {"9", "nnwwnnwnn"},
    {"A", "wnnnnwnnw"}, {"B", "nnwnnwnnw"}, {"C", "wnwnnwnnn"}, {"D", "nnnnwwnnw"},
    {"E", "wnnnwwnnn"}, {"F", "nnwnwwnnn"}, {"G", "nnnnnwwnw"}, {"H", "wnnnnwwnn"},
    {"I", "nnwnnwwnn"}, {"J", "nnnnwwwnn"}, {"K", "wnnnnnnww"}, {"L", "nnwnnnnww"},
    {"M", "wnwnnnnwn"}, {"N", "nnnnwnnww"}, {"O", "wnnnwnnwn"}, {"P", "nnwnwnnwn"},
    {"Q", "nnnnnnwww"}, {"R", "wnnnnnwwn"}, {"S", "nnwnnnwwn"}, {"T", "nnnnwnwwn"},
    {"U", "wwnnnnnnw"}, {"V", "nwwnnnnnw"}, {"W", "wwwnnnnnn"}, {"X", "nwnnwnnnw"},
    {"Y", "wwnnwnnnn"}, {"Z", "nwwnwnnnn"},
    {"-", "nwnnnnwnw"},  // 36
    {".", "wwnnnnwnn"},  // 37
    {" ", "nwwnnnwnn"},  // 38
    {"$", "nwnwnwnnn"},  // 39
    {"/", "nwnwnnnwn"},  // 40
    {"+", "nwnnnwnwn"},  // 41
    {"%", "nnnwnwnwn"},  // 42
    {"*", "nwnnwnwnn"},  // 43: start and stop
};
static_assert(std::size(Code39Table) == 44);

constexpr int CODE39_START_STOP = 43;

inline int findCode39Character(const SymbolRow (&table)[44], const std::string& key) {
    return findRow(table, key);
}

// findCode39Character for one character, by index.
constexpr CharIndex<44> CODE39_INDEX = makeCharIndex(Code39Table);

// Full-ASCII Code 39: the one or two Code 39 characters that stand for each
// ASCII code 0-127.
constexpr const char* Code39AsciiTable[128] = {
    "%U", "$A", "$B", "$C", "$D", "$E", "$F", "$G", "$H", "$I", "$J", "$K", "$L", "$M", "$N", "$O",  // 0-15
    "$P", "$Q", "$R", "$S", "$T", "$U", "$V", "$W", "$X", "$Y", "$Z", "%A", "%B", "%C", "%D", "%E",  // 16-31
    " ",  "/A", "/B", "/C", "/D", "/E", "/F", "/G", "/H", "/I", "/J", "/K", "/L", "-",  ".",  "/O",  // 32-47
    "0",  "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "/Z", "%F", "%G", "%H", "%I", "%J",  // 48-63
    "%V", "A",  "B",  "C",  "D",  "E",  "F",  "G",  "H",  "I",  "J",  "K",  "L",  "M",  "N",  "O",   // 64-79
    "P",  "Q",  "R",  "S",  "T",  "U",  "V",  "W",  "X",  "Y",  "Z",  "%K", "%L", "%M", "%N", "%O",  // 80-95
    "%W", "+A", "+B", "+C", "+D", "+E", "+F", "+G", "+H", "+I", "+J", "+K", "+L", "+M", "+N", "+O",  // 96-111
    "+P", "+Q", "+R", "+S", "+T", "+U", "+V", "+W", "+X", "+Y", "+Z", "%P", "%Q", "%R", "%S", "%T",  // 112-127
};
static_assert(std::size(Code39AsciiTable) == 128);
