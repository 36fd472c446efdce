// Code 93 and its full-ASCII form.

#include "LinearSymbol.h"

#include <iterator>
#include <vector>

namespace {

// AIM USS Code 93 symbol characters. Row index = the character's value in the
// check sums; each pattern is six element widths in modules (bar, space, bar,
// space, bar, space) adding up to nine modules. The four shift characters are
// named "_1" to "_4" so that no one-character key reaches them.
constexpr SymbolRow Code93Table[] = {
    {"0", "131112"}, {"1", "111213"}, {"2", "111312"}, {"3", "111411"}, {"4", "121113"},
    {"5", "121212"}, {"6", "121311"}, {"7", "111114"}, {"8", "131211"}, {"9", "141111"},
    {"A", "211113"}, {"B", "211212"}, {"C", "211311"}, {"D", "221112"}, {"E", "221211"},
    {"F", "231111"}, {"G", "112113"}, {"H", "112212"}, {"I", "112311"}, {"J", "122112"},
    {"K", "132111"}, {"L", "111123"}, {"M", "111222"}, {"N", "111321"}, {"O", "121122"},
    {"P", "131121"}, {"Q", "212112"}, {"R", "212211"}, {"S", "211122"}, {"T", "211221"},
    {"U", "221121"}, {"V", "222111"}, {"W", "112122"}, {"X", "112221"}, {"Y", "122121"},
    {"Z", "123111"},
    {"-", "121131"},   // 36
    {".", "311112"},   // 37
    {" ", "311211"},   // 38
    {"$", "321111"},   // 39
    {"/", "112131"},   // 40
    {"+", "113121"},   // 41
    {"%", "211131"},   // 42
    {"_1", "121221"},  // 43: shift ($)
    {"_2", "312111"},  // 44: shift (%)
    {"_3", "311121"},  // 45: shift (/)
    {"_4", "122211"},  // 46: shift (+)
};
static_assert(std::size(Code93Table) == 47);

constexpr const char* CODE93_START = "111141";
constexpr const char* CODE93_STOP = "1111411";  // the stop character and the final bar
constexpr const char* SIX_ELEMENTS = "bwbwbw";

// Full-ASCII Code 93: the Code 93 characters that stand for each ASCII code
// 0-127, either one data character or a shift ("_1" to "_4") and a letter.
constexpr const char* Code93AsciiTable[128] = {
    "_2U", "_1A", "_1B", "_1C", "_1D", "_1E", "_1F", "_1G",  // 0-7
    "_1H", "_1I", "_1J", "_1K", "_1L", "_1M", "_1N", "_1O",  // 8-15
    "_1P", "_1Q", "_1R", "_1S", "_1T", "_1U", "_1V", "_1W",  // 16-23
    "_1X", "_1Y", "_1Z", "_2A", "_2B", "_2C", "_2D", "_2E",  // 24-31
    " ",   "_3A", "_3B", "_3C", "_3D", "_3E", "_3F", "_3G",  // 32-39
    "_3H", "_3I", "_3J", "_3K", "_3L", "-",   ".",   "_3O",  // 40-47
    "0",   "1",   "2",   "3",   "4",   "5",   "6",   "7",    // 48-55
    "8",   "9",   "_3Z", "_2F", "_2G", "_2H", "_2I", "_2J",  // 56-63
    "_2V", "A",   "B",   "C",   "D",   "E",   "F",   "G",    // 64-71
    "H",   "I",   "J",   "K",   "L",   "M",   "N",   "O",    // 72-79
    "P",   "Q",   "R",   "S",   "T",   "U",   "V",   "W",    // 80-87
    "X",   "Y",   "Z",   "_2K", "_2L", "_2M", "_2N", "_2O",  // 88-95
    "_2W", "_4A", "_4B", "_4C", "_4D", "_4E", "_4F", "_4G",  // 96-103
    "_4H", "_4I", "_4J", "_4K", "_4L", "_4M", "_4N", "_4O",  // 104-111
    "_4P", "_4Q", "_4R", "_4S", "_4T", "_4U", "_4V", "_4W",  // 112-119
    "_4X", "_4Y", "_4Z", "_2P", "_2Q", "_2R", "_2S", "_2T",  // 120-127
};
static_assert(std::size(Code93AsciiTable) == 128);

int findCode93Character(const std::string& key) { return findRow(Code93Table, key); }

// Sum of value x weight with the weights 1, 2, ... maxWeight, 1, 2, ... given
// from the last value to the first, reduced modulo 47.
int code93Check(const std::vector<int>& values, int maxWeight) {
    int sum = 0;
    int weight = 0;
    for (auto v = values.rbegin(); v != values.rend(); ++v) {
        weight = weight % maxWeight + 1;
        sum += *v * weight;
    }
    return static_cast<int>(LinearSymbol::floorMod(sum, 47));
}

// Draws one symbol character and records its value for the check sums; a
// value outside the table (a key that was not found) draws nothing.
void addCode93Character(LinearSymbol& s, std::vector<int>& drawn, int value) {
    if (value < 0 || value >= static_cast<int>(std::size(Code93Table)))
        return;
    s.addPattern(SIX_ELEMENTS, Code93Table[value].pattern);
    drawn.push_back(value);
}

// Start, the data characters (found by expand), checks C and K, stop.
template <typename Expand>
void encodeCode93Symbol(LinearSymbol& s, Expand expand) {
    std::vector<int> drawn;
    s.addPattern(SIX_ELEMENTS, CODE93_START);
    for (char c : s.code)
        expand(c, drawn);
    if (s.checkCharacter) {
        const int c = code93Check(drawn, 20);
        drawn.push_back(c);
        const int k = code93Check(drawn, 15);  // C takes weight 1 in K
        s.addPattern(SIX_ELEMENTS, Code93Table[c].pattern);
        s.addPattern(SIX_ELEMENTS, Code93Table[k].pattern);
        if (s.text.empty())
            s.text = s.code + Code93Table[c].character[0] + Code93Table[k].character[0];
    }
    s.addPattern("bwbwbwb", CODE93_STOP);
}

}  // namespace

void LinearSymbol::encodeCode93() {
    encodeCode93Symbol(*this, [this](char c, std::vector<int>& drawn) {
        // A character outside the table is not found and so skipped.
        addCode93Character(*this, drawn, findCode93Character(std::string(1, c)));
    });
}

void LinearSymbol::encodeCode93Extended() {
    encodeCode93Symbol(*this, [this](char c, std::vector<int>& drawn) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 128)
            return;  // beyond ASCII: skipped
        const std::string e = Code93AsciiTable[byte];
        if (e.size() == 3) {
            addCode93Character(*this, drawn, findCode93Character(e.substr(0, 2)));
            addCode93Character(*this, drawn, findCode93Character(e.substr(2)));
        } else {
            addCode93Character(*this, drawn, findCode93Character(e));
        }
    });
}
