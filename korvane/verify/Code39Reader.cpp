// Code 39 and its full-ASCII form (ISO/IEC 16388).

#include "Linear.h"

#include <iterator>

namespace korvane::detail {
namespace {

// ISO/IEC 16388 symbol characters: bar, space, bar, ... nine elements of
// which three are wide. The row is the character's value in the check sum.
constexpr const char* CODE39_PATTERNS[] = {
    "nnnwwnwnn", "wnnwnnnnw", "nnwwnnnnw", "wnwwnnnnn", "nnnwwnnnw",  // 0-4
    "wnnwwnnnn", "nnwwwnnnn", "nnnwnnwnw", "wnnwnnwnn", "nnwwnnwnn",  // 5-9
    "wnnnnwnnw", "nnwnnwnnw", "wnwnnwnnn", "nnnnwwnnw", "wnnnwwnnn",  // A-E
    "nnwnwwnnn", "nnnnnwwnw", "wnnnnwwnn", "nnwnnwwnn", "nnnnwwwnn",  // F-J
    "wnnnnnnww", "nnwnnnnww", "wnwnnnnwn", "nnnnwnnww", "wnnnwnnwn",  // K-O
    "nnwnwnnwn", "nnnnnnwww", "wnnnnnwwn", "nnwnnnwwn", "nnnnwnwwn",  // P-T
    "wwnnnnnnw", "nwwnnnnnw", "wwwnnnnnn", "nwnnwnnnw", "wwnnwnnnn",  // U-Y
    "nwwnwnnnn", "nwnnnnwnw", "wwnnnnwnn", "nwwnnnwnn", "nwnwnwnnn",  // Z - . space $
    "nwnwnnnwn", "nwnnnwnwn", "nnnwnwnwn", "nwnnwnwnn",               // / + % *
};
constexpr char CODE39_CHARACTERS[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%*";
static_assert(std::size(CODE39_PATTERNS) == 44 && sizeof CODE39_CHARACTERS == 45);
constexpr int START_STOP = 43;  // '*'
constexpr int CHECK_MODULUS = 43;
constexpr int ELEMENTS = 9;
// Each character follows an inter-character gap.
constexpr CharacterShape CODE39 = {"Code 39", ELEMENTS, ELEMENTS + 1, START_STOP};

constexpr auto CODE39_VALUES = reverseTable<512>(CODE39_PATTERNS, patternKey);
static_assert(distinctKeys(CODE39_VALUES, CODE39_PATTERNS));

int valueAt(const Runs& runs, int i, const WidthClasses& c) {
    return CODE39_VALUES[static_cast<std::size_t>(wideBits(runs, i, ELEMENTS, c))];
}

LineRead readFrom(const Runs& runs, int s, int end, const WidthClasses& c, const LinearReadOptions& o,
                  bool extended) {
    std::vector<int> values;
    LineRead failure;
    const int stop = readToStop(
        CODE39, s + ELEMENTS + 1, end, [&](int i) { return valueAt(runs, i, c); }, values, failure);
    if (stop < 0)
        return failure;
    const std::size_t checks = o.check ? 1 : 0;
    if (values.size() <= checks)
        return failed(COMPLETE, "the Code 39 symbol holds no data");
    LineRead r;
    if (o.check) {
        int sum = 0;
        for (std::size_t k = 0; k + 1 < values.size(); ++k)
            sum += values[k];
        const char expected = CODE39_CHARACTERS[sum % CHECK_MODULUS];
        const char read = CODE39_CHARACTERS[values.back()];
        if (read != expected)
            return failed(COMPLETE, std::string("the Code 39 check character reads '") + read +
                                        "'; the data before it gives '" + expected + "'");
        r.checkCharacters = std::string(1, read);
        values.pop_back();
    }
    for (std::size_t k = 0; k < values.size(); ++k) {
        const char ch = CODE39_CHARACTERS[values[k]];
        if (!extended || (ch != '$' && ch != '%' && ch != '/' && ch != '+')) {
            r.data += ch;
            continue;
        }
        const int byte = k + 1 < values.size() ? fullAsciiByte(ch, CODE39_CHARACTERS[values[k + 1]]) : -1;
        if (byte < 0)
            return failed(COMPLETE, "Code 39 characters " + std::to_string(k + 1) + " and " + std::to_string(k + 2) +
                                        " are no full-ASCII pair");
        r.data += static_cast<char>(byte);
        ++k;
    }
    r.found(s, stop + ELEMENTS - 1, c.module());
    return r;
}

}  // namespace

int fullAsciiByte(char shift, char letter) {
    if (letter < 'A' || letter > 'Z')
        return -1;
    const int k = letter - 'A';
    switch (shift) {
    case '$': return 1 + k;                    // $A-$Z: control characters 1-26
    case '+': return 'a' + k;                  // +A-+Z: lower-case letters
    case '/':
        if (k < 15)
            return '!' + k;                    // /A-/O: ! to /
        return letter == 'Z' ? ':' : -1;
    case '%':
        if (k < 5)
            return 27 + k;                     // %A-%E: ESC, FS, GS, RS, US
        if (k < 10)
            return ';' + (k - 5);              // %F-%J: ; < = > ?
        if (k < 15)
            return '[' + (k - 10);             // %K-%O: [ \ ] ^ _
        if (k < 20)
            return '{' + (k - 15);             // %P-%T: { | } ~ DEL
        switch (letter) {
        case 'U': return 0;
        case 'V': return '@';
        case 'W': return '`';
        default: return 127;                   // %X, %Y, %Z: DEL as well
        }
    default: return -1;
    }
}

LineRead decodeCode39(const ScanLine& line, const LinearReadOptions& o, bool extended) {
    const int startKey = patternKey(CODE39_PATTERNS[START_STOP]);
    return eachStart(
        line.runs, ELEMENTS, [&](int key) { return key == startKey; },
        [&](int s, int end, const WidthClasses& c) { return readFrom(line.runs, s, end, c, o, extended); });
}

}  // namespace korvane::detail
