#pragma once
// GS1 application identifiers as GS1's Barcode Syntax Dictionary defines
// them: each AI's components (character set, length, the checks named for
// each) and the rules between AIs (those an AI requires, those it excludes).
// The table is Gs1Dictionary.h; this is what checks data against it.

#include "korvane/Result.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvane::detail {

enum class Gs1Cset : unsigned char {
    Numeric,    // N: digits
    Cset82,     // X: GS1 character set 82
    Cset39,     // Y: GS1 character set 39
    Base64Url,  // Z: the URL-safe base 64 alphabet
};

struct Gs1Component {
    Gs1Cset cset;
    unsigned char minLength;
    unsigned char maxLength;
    bool optional;
    unsigned long long linters;  // Gs1Linter bits
};

struct Gs1AiEntry {
    const char* first;  // an AI, or the first and last of a range of AIs of one length
    const char* last;
    bool predefinedLength;  // no FNC1 after it
    bool dlAttribute;       // a GS1 Digital Link data attribute
    int componentCount;
    Gs1Component components[5];
    const char* requires_;  // "01,02 21": each group one requirement, alternatives by ',', all of A+B; or null
    const char* excludes;   // "01,310n": AIs or patterns ('n' any digit) it may not stand with; or null
    const char* dlpkey;     // a Digital Link primary key: "" alone, or its qualifier sequences; null if none
    const char* title;
};

// The entry of `ai` (2-4 digits), or null when GS1 defines no such AI.
const Gs1AiEntry* findGs1Ai(std::string_view ai);

// Checks the field of AI `ai` against its entry: components in turn, each
// its character set and length, then the checks the dictionary names for it.
// Errors name the AI, the component and the rule: "GS1 AI (17) date 240431
// has day 31; the month has 30".
Status checkGs1Field(const Gs1AiEntry& entry, std::string_view ai, std::string_view value);

// What GS1 calls the field's length when it is predefined (the sum of the
// components' fixed lengths), or 0 when a separator ends it.
int gs1FixedLength(const Gs1AiEntry& entry);

struct Gs1AiValue {
    std::string_view ai;
    std::string_view value;
};

// The rules between the AIs of one message: an AI given twice with different
// values, and pairs the dictionary forbids, are errors. AIs that require
// others are noted in `missing` ("AI (10) needs one of (01), (02), ...")
// rather than refused: GS1 asks for them over every carrier on an item, and
// another symbol on the label may carry them.
Status checkGs1Pairs(const std::vector<Gs1AiValue>& elements, std::vector<std::string>* missing = nullptr);

}  // namespace korvane::detail
