#pragma once
// Code 128 tables (ISO/IEC 15417) and the set-choice rules shared by Code 128
// and EAN-128 (GS1-128).

#include "LinearSymbol.h"

#include <iterator>
#include <string>
#include <string_view>

// Symbol character patterns, row = symbol value. Six module widths each: bar,
// space, bar, space, bar, space, eleven modules in all. Rows 103-105 are the
// start symbols; the stop pattern has a seventh element, a final bar.
constexpr const char* code128Patterns[] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312",  // 0-7
    "132212", "221213", "221312", "231212", "112232", "122132", "122231", "113222",  // 8-15
    "123122", "123221", "223211", "221132", "221231", "213212", "223112", "312131",  // 16-23
    "311222", "321122", "321221", "312212", "322112", "322211", "212123", "212321",  // 24-31
    "232121", "111323", "131123", "131321", "112313", "132113", "132311", "211313",  // 32-39
    "231113", "231311", "112133", "112331", "132131", "113123", "113321", "133121",  // 40-47
    "313121", "211331", "231131", "213113", "213311", "213131", "311123", "311321",  // 48-55
    "331121", "312113", "312311", "332111", "314111", "221411", "431111", "111224",  // 56-63
    "111422", "121124", "121421", "141122", "141221", "112214", "112412", "122114",  // 64-71
    "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111",  // 72-79
    "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112",  // 80-87
    "421211", "212141", "214121", "412121", "111143", "111341", "131141", "114113",  // 88-95
    "114311", "411113", "411311", "113141", "114131", "311141", "411131",            // 96-102
    "211412",  // 103: Start A
    "211214",  // 104: Start B
    "211232",  // 105: Start C
};
static_assert(std::size(code128Patterns) == 106);

constexpr const char* CODE128_STOP = "2331112";
constexpr const char* CODE128_SYMBOL_COLOURS = "bwbwbw";
constexpr const char* CODE128_STOP_COLOURS = "bwbwbwb";

// Symbol values with a fixed meaning.
constexpr int CODE128_SHIFT = 98;
constexpr int CODE128_CODE_C = 99;    // in sets A and B
constexpr int CODE128_CODE_B = 100;   // in sets A and C (FNC4 in set B)
constexpr int CODE128_CODE_A = 101;   // in sets B and C (FNC4 in set A)
constexpr int CODE128_FNC1 = 102;
constexpr int CODE128_START_A = 103;
constexpr int CODE128_START_B = 104;
constexpr int CODE128_START_C = 105;
constexpr int CODE128_CHECK_MODULUS = 103;
constexpr int CODE128_DATA_VALUES = 103;  // values 0-102 carry data or functions

// Character sets: entry v is what symbol value v stands for in that set. A
// data character is its own one-byte string; function symbols are named
// "_96" to "_102" after their value, so a token that names a function can be
// looked up in the same table. Bytes 0-31 are set A's control characters.
constexpr std::string_view code128SetA[] = {
    " ", "!", "\"", "#", "$", "%", "&", "'",  // 0-7
    "(", ")", "*", "+", ",", "-", ".", "/",  // 8-15
    "0", "1", "2", "3", "4", "5", "6", "7",  // 16-23
    "8", "9", ":", ";", "<", "=", ">", "?",  // 24-31
    "@", "A", "B", "C", "D", "E", "F", "G",  // 32-39
    "H", "I", "J", "K", "L", "M", "N", "O",  // 40-47
    "P", "Q", "R", "S", "T", "U", "V", "W",  // 48-55
    "X", "Y", "Z", "[", "\\", "]", "^", "_",  // 56-63
    std::string_view("\0", 1), "\x01", "\x02", "\x03", "\x04", "\x05", "\x06", "\x07",  // 64-71
    "\x08", "\x09", "\x0a", "\x0b", "\x0c", "\x0d", "\x0e", "\x0f",  // 72-79
    "\x10", "\x11", "\x12", "\x13", "\x14", "\x15", "\x16", "\x17",  // 80-87
    "\x18", "\x19", "\x1a", "\x1b", "\x1c", "\x1d", "\x1e", "\x1f",  // 88-95
    "_96", "_97", "_98", "_99", "_100", "_101", "_102",  // 96-102
};

constexpr std::string_view code128SetB[] = {
    " ", "!", "\"", "#", "$", "%", "&", "'",  // 0-7
    "(", ")", "*", "+", ",", "-", ".", "/",  // 8-15
    "0", "1", "2", "3", "4", "5", "6", "7",  // 16-23
    "8", "9", ":", ";", "<", "=", ">", "?",  // 24-31
    "@", "A", "B", "C", "D", "E", "F", "G",  // 32-39
    "H", "I", "J", "K", "L", "M", "N", "O",  // 40-47
    "P", "Q", "R", "S", "T", "U", "V", "W",  // 48-55
    "X", "Y", "Z", "[", "\\", "]", "^", "_",  // 56-63
    "`", "a", "b", "c", "d", "e", "f", "g",  // 64-71
    "h", "i", "j", "k", "l", "m", "n", "o",  // 72-79
    "p", "q", "r", "s", "t", "u", "v", "w",  // 80-87
    "x", "y", "z", "{", "|", "}", "~", "\x7f",  // 88-95
    "_96", "_97", "_98", "_99", "_100", "_101", "_102",  // 96-102
};

constexpr std::string_view code128SetC[] = {
    "00", "01", "02", "03", "04", "05", "06", "07",  // 0-7
    "08", "09", "10", "11", "12", "13", "14", "15",  // 8-15
    "16", "17", "18", "19", "20", "21", "22", "23",  // 16-23
    "24", "25", "26", "27", "28", "29", "30", "31",  // 24-31
    "32", "33", "34", "35", "36", "37", "38", "39",  // 32-39
    "40", "41", "42", "43", "44", "45", "46", "47",  // 40-47
    "48", "49", "50", "51", "52", "53", "54", "55",  // 48-55
    "56", "57", "58", "59", "60", "61", "62", "63",  // 56-63
    "64", "65", "66", "67", "68", "69", "70", "71",  // 64-71
    "72", "73", "74", "75", "76", "77", "78", "79",  // 72-79
    "80", "81", "82", "83", "84", "85", "86", "87",  // 80-87
    "88", "89", "90", "91", "92", "93", "94", "95",  // 88-95
    "96", "97", "98", "99", "_100", "_101", "_102",  // 96-102
};
static_assert(std::size(code128SetA) == CODE128_DATA_VALUES);
static_assert(std::size(code128SetB) == CODE128_DATA_VALUES);
static_assert(std::size(code128SetC) == CODE128_DATA_VALUES);

namespace detail {

// Returned by the scans below when nothing is found: larger than any index,
// so "not found" never ties with a real position however long the value is.
constexpr int CODE128_NO_INDEX = 2147483647;

// Value 0-102 of the first entry of `table` equal to token, else -1.
int findCode128Value(const std::string_view (&table)[CODE128_DATA_VALUES], std::string_view token);
// findCode128Value on set 'A', 'B' or 'C'; -1 for any other set character.
int code128ValueInSet(char setChar, std::string_view token);
// True for a token of exactly one character '0'-'9'.
bool isSingleDigit(std::string_view token);
// Index of the first byte at or after `from` that is a control byte for the
// set choice: 0-31 or 128-255 (127 is not). CODE128_NO_INDEX when none.
int firstControlIndex(const std::string& value, int from);
// Index of the first byte 'a'-'z' at or after `from`, else CODE128_NO_INDEX.
int firstLowercaseIndex(const std::string& value, int from);
// The set to encode value[from...] in: 'C' when four digits follow, else 'A'
// when a control byte comes before the next lowercase letter, else 'B'.
char chooseCode128Set(const std::string& value, int from);

// --- EAN-128 ---

// The token the EAN-128 encoder reads for one input byte: a space (when
// spaceIsFnc1) and byte 202 become "_102" (FNC1), 201 "_101", 200 "_100",
// 197 "_97" (FNC2), 196 "_96" (FNC3); any other token is returned unchanged.
std::string mapEan128Function(const std::string& token, bool spaceIsFnc1);
// Number of digits of the application identifier that begins with the (up to)
// two characters s; 0 for an identifier this encoder does not know.
int aiDigitCount(const std::string& s);
// Fixed length of a whole field, identifier included, for the identifier
// whose first two digits read as n; 0 for a field of variable length.
int aiFieldLength(int n);
// The value split into fields, each identifier in parentheses, fields
// separated by one space. On an unknown identifier it writes
// "Unknown EAN128 App.Id. " and the two characters to standard output and
// returns the value unchanged.
std::string ean128HumanText(const std::string& value);

// --- The encoder shared by both symbologies ---

enum class Code128Flavour {
    PLAIN,  // Code 128: request bytes 199-201 change sets; text is what was encoded
    GS1,    // EAN-128: start C and FNC1; spaces and bytes 196-202 are function tokens
};

struct Code128Outcome {
    std::string text;      // human-readable text collected while encoding (PLAIN only)
    int droppedBytes = 0;  // bytes that no set holds, left out of the symbol
};

// Appends start, data, check (when s.checkCharacter) and stop for s.code,
// starting in s.code128Set (PLAIN; any character but 'B' or 'C' means 'A')
// or in set C (GS1). Reads nothing outside s.code and the tables.
Code128Outcome appendCode128(LinearSymbol& s, Code128Flavour flavour);

}  // namespace detail
