// Code 39 (ISO/IEC 16388) and its full-ASCII form.

#include "LinearBars.h"

#include <iterator>

namespace korvane::linear {
namespace {

// ISO/IEC 16388 Table 1: the characters in order of their check-sum value,
// then the start/stop character '*'.
constexpr char CODE39_CHARACTERS[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%*";
constexpr int START_STOP = 43;

// The same table's bar and space patterns, bar first: 'n' narrow, 'w' wide.
constexpr const char* CODE39_PATTERNS[] = {
    "nnnwwnwnn", "wnnwnnnnw", "nnwwnnnnw", "wnwwnnnnn", "nnnwwnnnw",  // 0-4
    "wnnwwnnnn", "nnwwwnnnn", "nnnwnnwnw", "wnnwnnwnn", "nnwwnnwnn",  // 5-9
    "wnnnnwnnw", "nnwnnwnnw", "wnwnnwnnn", "nnnnwwnnw", "wnnnwwnnn",  // A-E
    "nnwnwwnnn", "nnnnnwwnw", "wnnnnwwnn", "nnwnnwwnn", "nnnnwwwnn",  // F-J
    "wnnnnnnww", "nnwnnnnww", "wnwnnnnwn", "nnnnwnnww", "wnnnwnnwn",  // K-O
    "nnwnwnnwn", "nnnnnnwww", "wnnnnnwwn", "nnwnnnwwn", "nnnnwnwwn",  // P-T
    "wwnnnnnnw", "nwwnnnnnw", "wwwnnnnnn", "nwnnwnnnw", "wwnnwnnnn",  // U-Y
    "nwwnwnnnn",                                                      // Z
    "nwnnnnwnw", "wwnnnnwnn", "nwwnnnwnn", "nwnwnwnnn",               // - . space $
    "nwnwnnnwn", "nwnnnwnwn", "nnnwnwnwn",                            // / + %
    "nwnnwnwnn",                                                      // * start and stop
};
static_assert(std::size(CODE39_PATTERNS) == 44 && std::size(CODE39_CHARACTERS) == 45);

constexpr int ELEMENTS = 9;  // and a narrow gap after each character but the stop

// Three of the nine elements are wide, and no two patterns agree.
constexpr bool patternsWellFormed() {
    for (const char* p : CODE39_PATTERNS) {
        int wide = 0;
        for (int i = 0; i < ELEMENTS; ++i)
            wide += p[i] == 'w' ? 1 : p[i] == 'n' ? 0 : 100;
        if (wide != 3 || p[ELEMENTS] != '\0')
            return false;
    }
    for (std::size_t a = 0; a < std::size(CODE39_PATTERNS); ++a)
        for (std::size_t b = a + 1; b < std::size(CODE39_PATTERNS); ++b) {
            bool same = true;
            for (int i = 0; i < ELEMENTS; ++i)
                same = same && CODE39_PATTERNS[a][i] == CODE39_PATTERNS[b][i];
            if (same)
                return false;
        }
    return true;
}
static_assert(patternsWellFormed());

// Byte -> check-sum value, -1 outside the 43 characters.
struct ValueIndex {
    signed char value[128];
};
constexpr ValueIndex makeValueIndex() {
    ValueIndex index{};
    for (signed char& v : index.value)
        v = -1;
    for (int k = 0; k < START_STOP; ++k)
        index.value[static_cast<unsigned char>(CODE39_CHARACTERS[k])] = static_cast<signed char>(k);
    return index;
}
constexpr ValueIndex VALUES = makeValueIndex();
static_assert(VALUES.value['A'] == 10 && VALUES.value['%'] == 42 && VALUES.value['*'] == -1);

// ISO/IEC 16388 Annex (full ASCII): the one or two Code 39 characters that
// stand for each ASCII byte.
constexpr const char* FULL_ASCII[128] = {
    "%U", "$A", "$B", "$C", "$D", "$E", "$F", "$G", "$H", "$I", "$J", "$K", "$L", "$M", "$N", "$O",  // 0-15
    "$P", "$Q", "$R", "$S", "$T", "$U", "$V", "$W", "$X", "$Y", "$Z", "%A", "%B", "%C", "%D", "%E",  // 16-31
    " ",  "/A", "/B", "/C", "/D", "/E", "/F", "/G", "/H", "/I", "/J", "/K", "/L", "-",  ".",  "/O",  // 32-47
    "0",  "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "/Z", "%F", "%G", "%H", "%I", "%J",  // 48-63
    "%V", "A",  "B",  "C",  "D",  "E",  "F",  "G",  "H",  "I",  "J",  "K",  "L",  "M",  "N",  "O",   // 64-79
    "P",  "Q",  "R",  "S",  "T",  "U",  "V",  "W",  "X",  "Y",  "Z",  "%K", "%L", "%M", "%N", "%O",  // 80-95
    "%W", "+A", "+B", "+C", "+D", "+E", "+F", "+G", "+H", "+I", "+J", "+K", "+L", "+M", "+N", "+O",  // 96-111
    "+P", "+Q", "+R", "+S", "+T", "+U", "+V", "+W", "+X", "+Y", "+Z", "%P", "%Q", "%R", "%S", "%T",  // 112-127
};

constexpr bool fullAsciiInSet() {
    for (const char* e : FULL_ASCII)
        for (const char* c = e; *c != '\0'; ++c)
            if (VALUES.value[static_cast<unsigned char>(*c)] < 0)
                return false;
    return true;
}
static_assert(fullAsciiInSet());

// The patterns with their gap, for wide ratios 2 and 3.
constexpr WidthTable<44, ELEMENTS, 1> CODE39_WIDTHS[] = {widthTable<44, ELEMENTS, 1>(CODE39_PATTERNS, 2),
                                                        widthTable<44, ELEMENTS, 1>(CODE39_PATTERNS, 3)};
static_assert(CODE39_WIDTHS[1].widths[0][3] == 3 && CODE39_WIDTHS[1].widths[0][9] == 1);

}  // namespace

Result<Symbol> encodeCode39(Symbology s, std::string_view data, const EncodeOptions& o) {
    const bool extended = s == Symbology::Code39Extended;
    if (const std::size_t bad = extended ? firstRefused(data, isAscii) : firstRefused(data, inCode39Set);
        bad != std::string_view::npos)
        return invalidCharacter(s, data, bad);
    const Result<LinearSettings> settings = detail::linearSettings(s, o);
    if (!settings)
        return settings.error();
    const int wide = settings->wideRatio;

    std::size_t characters = data.size();
    if (extended) {
        characters = 0;
        for (char c : data)
            characters += FULL_ASCII[static_cast<unsigned char>(c)][1] != '\0' ? 2 : 1;
    }
    const bool check = settings->check;
    const auto& widths = CODE39_WIDTHS[wide == 3 ? 1 : 0].widths;
    // Built where it is returned from, so that the symbol is never moved.
    return [&] {
        Result<Symbol> result = newSymbol(s, wide);
        Symbol& symbol = *result;
        const std::size_t all = characters + (check ? 3 : 2);  // with start, stop and check
        BarWriter bars(symbol, all * (ELEMENTS + 1) - 1);
        bars.copy<ELEMENTS + 1>(widths[START_STOP]);
        int sum = 0;
        for (char c : data) {
            if (!extended) {
                const int k = VALUES.value[static_cast<unsigned char>(c)];
                sum += k;
                bars.copy<ELEMENTS + 1>(widths[k]);
                continue;
            }
            for (const char* e = FULL_ASCII[static_cast<unsigned char>(c)]; *e != '\0'; ++e) {
                const int k = VALUES.value[static_cast<unsigned char>(*e)];
                sum += k;
                bars.copy<ELEMENTS + 1>(widths[k]);
            }
        }
        if (check) {
            const int k = sum % 43;
            bars.copy<ELEMENTS + 1>(widths[k]);
            symbol.facts.checkCharacters.push_back(CODE39_CHARACTERS[k]);
        }
        bars.copy<ELEMENTS>(widths[START_STOP]);
        // Six narrow and three wide elements a character, a narrow gap between two.
        bars.finish(static_cast<int>(all * (6 + 3 * wide) + all - 1));
        symbol.facts.data.append(data);
        // The check character of the full-ASCII form is a Code 39 character, shown as it is.
        appendReadable(symbol.text, data);
        symbol.text.append(symbol.facts.checkCharacters);
        centredText(symbol);
        return result;
    }();
}

}  // namespace korvane::linear
