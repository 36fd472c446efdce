// EAN-13, EAN-8, UPC-A and UPC-E (ISO/IEC 15420) with their 2- and 5-digit add-ons.

#include "LinearBars.h"

#include <cstring>
#include <iterator>

namespace korvane::linear {
namespace {

// ISO/IEC 15420 Table 1: number set A, the module widths of each digit read
// space, bar, space, bar. Set B is each pattern reversed; set C, for the
// right-hand digits, has set A's widths read bar, space, bar, space.
constexpr const char* SET_A[] = {"3211", "2221", "2122", "1411", "1132", "1231", "1114", "1312", "1213", "3112"};
static_assert(std::size(SET_A) == 10);

constexpr bool sevenModulesEach() {
    for (const char* p : SET_A)
        if (p[0] + p[1] + p[2] + p[3] - 4 * '0' != 7 || p[4] != '\0')
            return false;
    return true;
}
static_assert(sevenModulesEach());

// ISO/IEC 15420 Table 3: the number sets of the six left-hand digits of
// EAN-13, by the leading digit (which is drawn by them alone).
constexpr const char* EAN13_SETS[] = {"AAAAAA", "AABABB", "AABBAB", "AABBBA", "ABAABB",
                                      "ABBAAB", "ABBBAA", "ABABAB", "ABABBA", "ABBABA"};
static_assert(std::size(EAN13_SETS) == 10);

// UPC-E: the sets of the six digits by the check digit, number system 0
// ('B' set B, 'A' set A); number system 1 swaps every letter.
constexpr const char* UPCE_SETS[] = {"BBBAAA", "BBABAA", "BBAABA", "BBAAAB", "BABBAA",
                                     "BAABBA", "BAAABB", "BABABA", "BABAAB", "BAABAB"};
static_assert(std::size(UPCE_SETS) == 10);

// The 5-digit add-on's sets by its check value, and the 2-digit add-on's by
// its value modulo 4.
constexpr const char* ADDON5_SETS[] = {"BBAAA", "BABAA", "BAABA", "BAAAB", "ABBAA",
                                       "AABBA", "AAABB", "ABABA", "ABAAB", "AABAB"};
static_assert(std::size(ADDON5_SETS) == 10);
constexpr const char* ADDON2_SETS[] = {"AA", "AB", "BA", "BB"};

// Sets of six that differ from one another, as the check digit must be read back from them.
constexpr bool setsDistinct(const char* const (&sets)[10], int length) {
    for (int a = 0; a < 10; ++a)
        for (int b = a + 1; b < 10; ++b) {
            bool same = true;
            for (int i = 0; i < length; ++i)
                same = same && sets[a][i] == sets[b][i];
            if (same)
                return false;
        }
    return true;
}
static_assert(setsDistinct(EAN13_SETS, 6) && setsDistinct(UPCE_SETS, 6) && setsDistinct(ADDON5_SETS, 5));

struct Shape {
    int minDigits;  // without the check digit
    int width;      // main symbol in modules
};
constexpr Shape EAN13_SHAPE = {12, 95};
constexpr Shape EAN8_SHAPE = {7, 67};
constexpr Shape UPCA_SHAPE = {11, 95};
constexpr Shape UPCE_SHAPE = {11, 51};

const Shape& shapeOf(Symbology s) {
    switch (s) {
    case Symbology::Ean8: return EAN8_SHAPE;
    case Symbology::UpcA: return UPCA_SHAPE;
    case Symbology::UpcE: return UPCE_SHAPE;
    default: return EAN13_SHAPE;
    }
}

std::string title(Symbology s) { return std::string(symbologyInfo(s).title); }

// The least space before an add-on: 7 modules after EAN, 9 after UPC.
int addOnGapLeast(Symbology s) { return s == Symbology::UpcA || s == Symbology::UpcE ? 9 : 7; }

// The digits' widths in the order they are drawn: set A (and set C, read
// from a bar), and set B, each set A pattern reversed.
struct DigitWidths {
    int a[10][4];
    int b[10][4];
};
constexpr DigitWidths makeDigitWidths() {
    DigitWidths t{};
    for (int d = 0; d < 10; ++d)
        for (int i = 0; i < 4; ++i) {
            t.a[d][i] = SET_A[d][i] - '0';
            t.b[d][i] = SET_A[d][3 - i] - '0';
        }
    return t;
}
constexpr DigitWidths DIGITS = makeDigitWidths();

// The largest symbol: UPC-A or EAN-13 (59 elements), a gap and a 5-digit add-on (32).
constexpr int MOST_ELEMENTS = 59 + 32;

// The kinds of a symbol's elements: guard bars where `guards` (module ranges
// [from, to)) say, then after `mainElements` the add-on's gap and its bars.
struct Kinds {
    BarKind k[MOST_ELEMENTS];
};
constexpr Kinds kindsOf(const int (&mainWidths)[59], int mainElements, const int (&guards)[3][2]) {
    Kinds t{};
    int x = 0;
    for (int i = 0; i < mainElements; x += mainWidths[i], ++i) {
        bool guard = false;
        for (const auto& g : guards)
            guard = guard || (x >= g[0] && x < g[1]);
        t.k[i] = i % 2 == 0 && guard ? BarKind::Guard : BarKind::Data;
    }
    for (int i = mainElements; i < MOST_ELEMENTS; ++i)
        t.k[i] = (i - mainElements) % 2 == 1 ? BarKind::AddOn : BarKind::Data;
    return t;
}
// Any digits will do for the positions: every digit spans seven modules.
constexpr int WIDTHS_95[59] = {1, 1, 1, 3, 2, 1, 1, 3, 2, 1, 1, 3, 2, 1, 1, 3, 2, 1, 1, 3, 2, 1, 1, 3, 2, 1, 1, 1, 1, 1, 1,
                               1, 3, 2, 1, 1, 3, 2, 1, 1, 3, 2, 1, 1, 3, 2, 1, 1, 3, 2, 1, 1, 3, 2, 1, 1, 1, 1, 1};
constexpr int WIDTHS_67[59] = {1, 1, 1, 3, 2, 1, 1, 3, 2, 1, 1, 3, 2, 1, 1, 3, 2, 1, 1, 1, 1, 1, 1,
                               1, 3, 2, 1, 1, 3, 2, 1, 1, 3, 2, 1, 1, 3, 2, 1, 1, 1, 1, 1};
constexpr int WIDTHS_51[59] = {1, 1, 1, 3, 2, 1, 1, 3, 2, 1, 1, 3, 2, 1, 1, 3, 2, 1, 1,
                               3, 2, 1, 1, 3, 2, 1, 1, 1, 1, 1, 1, 1, 1};
// UPC-A draws the bars of its first and last digits at guard height too.
constexpr Kinds EAN13_KINDS = kindsOf(WIDTHS_95, 59, {{0, 3}, {45, 50}, {92, 95}});
constexpr Kinds UPCA_KINDS = kindsOf(WIDTHS_95, 59, {{0, 10}, {45, 50}, {85, 95}});
constexpr Kinds EAN8_KINDS = kindsOf(WIDTHS_67, 43, {{0, 3}, {31, 36}, {64, 67}});
constexpr Kinds UPCE_KINDS = kindsOf(WIDTHS_51, 33, {{0, 3}, {45, 51}, {0, 0}});

constexpr int sum(const int (&w)[59], int n) {
    int total = 0;
    for (int i = 0; i < n; ++i)
        total += w[i];
    return total;
}
static_assert(sum(WIDTHS_95, 59) == 95 && sum(WIDTHS_67, 43) == 67 && sum(WIDTHS_51, 33) == 51);

// Writes widths left to right.
struct Writer {
    int* at;
    void add(int w) { *at++ = w; }
    void three() { at[0] = at[1] = at[2] = 1, at += 3; }
    void five() { at[0] = at[1] = at[2] = at[3] = at[4] = 1, at += 5; }
    void digit(const int (&w)[4]) {
        std::memcpy(at, w, sizeof w);
        at += 4;
    }
    void left(char digit, char set) { this->digit(set == 'A' ? DIGITS.a[digit - '0'] : DIGITS.b[digit - '0']); }
    void right(char digit) { this->digit(DIGITS.a[digit - '0']); }
};

// Splits "digits+addon" and checks the add-on: `main` receives the digits
// before '+', `addOn` the add-on (from the data or the options; empty for none).
Status takeAddOn(Symbology s, std::string_view data, std::string_view& main, std::string_view& addOn,
                 const EncodeOptions& o) {
    addOn = o.addOn;
    main = data;
    if (const std::size_t plus = data.find('+'); plus != std::string_view::npos) {
        if (!addOn.empty())
            return Error{ErrorCode::InvalidOption, "the add-on is given twice, in the data and as an option"};
        addOn = data.substr(plus + 1);
        if (const std::size_t bad = firstNonDigit(addOn); bad != std::string::npos)
            return invalidCharacter(s, data, plus + 1 + bad);
        main = data.substr(0, plus);
    }
    if (addOn.empty())
        return Done{};
    if (const std::size_t bad = firstNonDigit(addOn); bad != std::string::npos)
        return Error{ErrorCode::InvalidData, "the add-on holds " +
                                                 detail::describeByte(static_cast<unsigned char>(addOn[bad])) +
                                                 "; it takes digits only"};
    if (addOn.size() != 2 && addOn.size() != 5)
        return Error{ErrorCode::InvalidData, "an add-on has 2 or 5 digits; \"" + std::string(addOn) + "\" has " +
                                                 std::to_string(addOn.size())};
    const int least = addOnGapLeast(s);
    if (o.addOnGap != 0 && (o.addOnGap < least || o.addOnGap > 12))
        return Error{ErrorCode::InvalidOption, "the add-on gap is " + std::to_string(o.addOnGap) + " modules; after " +
                                                   title(s) + " it must be " + std::to_string(least) + " to 12"};
    return Done{};
}

// The UPC-A number (eleven digits) of six UPC-E digits under a number system.
std::string expandUpcE(std::string_view six, char numberSystem) {
    std::string out(1, numberSystem);
    switch (six[5]) {
    case '0':
    case '1':
    case '2': out.append(six.substr(0, 2)).append(1, six[5]).append("0000").append(six.substr(2, 3)); break;
    case '3': out.append(six.substr(0, 3)).append("00000").append(six.substr(3, 2)); break;
    case '4': out.append(six.substr(0, 4)).append("00000").append(1, six[4]); break;
    default: out.append(six.substr(0, 5)).append("0000").append(1, six[5]); break;
    }
    return out;
}

// The six UPC-E digits of a 12-digit UPC-A number, or "" when no rule of
// zero suppression fits it. The rules are tried in turn and a later one that
// fits wins.
std::string compressUpcE(std::string_view v) {
    std::string six;
    const bool zeros45 = v[4] == '0' && v[5] == '0';
    if (zeros45 && v[3] <= '2')
        six.append(v.substr(1, 2)).append(v.substr(8, 3)).append(1, v[3]);
    if (zeros45 && v[3] >= '3')
        six.append(v.substr(1, 3)).append(v.substr(9, 2)).append("3");
    if (v[4] != '0' && v[5] == '0')
        six.assign(v.substr(1, 4)).append(1, v[10]).append("4");
    if (v[5] != '0')
        six.assign(v.substr(1, 5)).append(1, v[10]);
    return six;
}

// The UPC-A number (eleven digits, no check) a UPC-E value stands for, from its
// forms: 6 digits, number system + 6, number system + 6 + check, or the UPC-A
// number itself (11 or 12 digits). `check` receives a supplied check digit.
Result<std::string> upceAsUpcA(std::string_view data, const EncodeOptions& o, char& check) {
    check = 0;
    if (data.size() == 11 || data.size() == 12) {
        if (data.size() == 12)
            check = data[11];
        return std::string(data.substr(0, 11));
    }
    if (data.size() < 6 || data.size() > 8)
        return Error{ErrorCode::InvalidData,
                     "UPC-E takes 6 digits, 7 or 8 with the number system and check digit, or the 11- or 12-digit "
                     "UPC-A number; \"" + std::string(data) + "\" has " + std::to_string(data.size())};
    const char ns =
        data.size() == 6 ? static_cast<char>('0' + (o.upceNumberSystem > 0 ? o.upceNumberSystem : 0)) : data[0];
    if (data.size() == 8)
        check = data[7];
    return expandUpcE(data.size() == 6 ? data : data.substr(1, 6), ns);
}

// The gap, the add-on's start, its digits and the separators between them;
// returns its width in modules, gap included.
int addAddOn(Writer& w, std::string_view addOn, int gap) {
    w.add(gap);
    w.add(1), w.add(1), w.add(2);
    const char* sets;
    if (addOn.size() == 2) {
        sets = ADDON2_SETS[((addOn[0] - '0') * 10 + (addOn[1] - '0')) % 4];
    } else {
        // Weights 3 and 9 alternate from the last digit leftwards.
        int sum = 0;
        for (int i = 0; i < 5; ++i)
            sum += (addOn[static_cast<std::size_t>(i)] - '0') * (i % 2 == 0 ? 3 : 9);
        sets = ADDON5_SETS[sum % 10];
    }
    for (std::size_t i = 0; i < addOn.size(); ++i) {
        if (i > 0)
            w.add(1), w.add(1);
        w.left(addOn[i], sets[i]);
    }
    const auto digits = static_cast<int>(addOn.size());
    return gap + 4 + 7 * digits + 2 * (digits - 1);
}

// The digits placed the retail way: groups under the halves, the outer digits
// beside the symbol; a span more for the add-on's digits.
void retailText(Symbol& symbol, Symbology s, std::string_view d, std::string_view addOn) {
    struct Place {
        int from, length, start, end;
        TextPlace place;
        bool small;
    };
    static constexpr Place EAN13[] = {{0, 1, 0, 0, TextPlace::LeftOf, false},
                                      {1, 6, 3, 45, TextPlace::Below, false},
                                      {7, 6, 50, 92, TextPlace::Below, false}};
    static constexpr Place EAN8[] = {{0, 4, 3, 31, TextPlace::Below, false}, {4, 4, 36, 64, TextPlace::Below, false}};
    static constexpr Place UPCA[] = {{0, 1, 0, 0, TextPlace::LeftOf, true},
                                     {1, 5, 10, 45, TextPlace::Below, false},
                                     {6, 5, 50, 85, TextPlace::Below, false},
                                     {11, 1, 95, 95, TextPlace::RightOf, true}};
    // UPC-E: number system, the six digits, check digit.
    static constexpr Place UPCE[] = {{0, 1, 0, 0, TextPlace::LeftOf, true},
                                     {1, 6, 3, 45, TextPlace::Below, false},
                                     {7, 1, 51, 51, TextPlace::RightOf, true}};
    const Place* places = s == Symbology::Ean13 ? EAN13 : s == Symbology::Ean8 ? EAN8 : s == Symbology::UpcA ? UPCA : UPCE;
    const std::size_t count = s == Symbology::Ean13 ? std::size(EAN13)
                              : s == Symbology::Ean8 ? std::size(EAN8)
                              : s == Symbology::UpcA ? std::size(UPCA)
                                                     : std::size(UPCE);
    auto& spans = symbol.textSpans;
    spans.reserve(count + (addOn.empty() ? 0 : 1));
    for (std::size_t i = 0; i < count; ++i) {
        const Place& p = places[i];
        spans.push_back({std::string(d.data() + p.from, static_cast<std::size_t>(p.length)), p.start, p.end, p.place,
                         p.small});
    }
    if (!addOn.empty())
        spans.push_back({std::string(addOn), symbol.addOnStartModule, symbol.widthModules, TextPlace::Above, false});
}

// The number's digits into `full` (UPC-E's expanded to UPC-A's twelve, check
// digit place included) and a check digit given with them into `supplied`.
Status readDigits(Symbology s, std::string_view data, const EncodeOptions& o, const Shape& shape, char* full,
                  char& supplied) {
    const auto digits = static_cast<std::size_t>(shape.minDigits);
    if (s == Symbology::UpcE) {
        const Result<std::string> upca = upceAsUpcA(data, o, supplied);
        if (!upca)
            return upca.error();
        if ((*upca)[0] != '0' && (*upca)[0] != '1')
            return Error{ErrorCode::InvalidData, "UPC-E numbers have number system 0 or 1; \"" + std::string(data) +
                                                     "\" has " + upca->substr(0, 1)};
        upca->copy(full, digits);
        return Done{};
    }
    const auto n = static_cast<int>(data.size());
    if (n != shape.minDigits && n != shape.minDigits + 1)
        return Error{ErrorCode::InvalidData, title(s) + " takes " + std::to_string(shape.minDigits) + " digits, or " +
                                                 std::to_string(shape.minDigits + 1) + " with the check digit; \"" +
                                                 std::string(data) + "\" has " + std::to_string(n)};
    data.copy(full, digits);
    if (n == shape.minDigits + 1)
        supplied = data.back();
    return Done{};
}

// GS1 modulo 10: weights 3 and 1 from the right.
char gs1CheckDigit(const char* full, std::size_t digits) {
    int three = 0, one = 0;
    std::size_t i = digits;
    for (; i >= 2; i -= 2)
        three += full[i - 1] - '0', one += full[i - 2] - '0';
    if (i == 1)
        three += full[0] - '0';
    return static_cast<char>('0' + complement(3 * three + one, 10));
}

// UPC-E's six digits. The parity of the six carries the number system and the
// check digit; a reader expands the six under that number system, so a number
// that does not come back unchanged would scan as another.
Status upceSix(std::string_view number, std::string& six) {
    six = compressUpcE(number);
    const std::string readBack = six.size() == 6 ? expandUpcE(six, number[0]) : std::string();
    if (readBack != number.substr(0, 11))
        return Error{ErrorCode::InvalidData, "UPC-E cannot draw \"" + std::string(number) +
                                                 "\": it cannot be zero-suppressed (the six digits \"" + six +
                                                 "\" read back as " + readBack + number[11] + ")"};
    return Done{};
}

// The main symbol's bars and spaces: guards and digits in their number sets.
void drawMain(Writer& w, Symbology s, const char* full, const std::string& six) {
    switch (s) {
    case Symbology::Ean13: {
        const char* sets = EAN13_SETS[full[0] - '0'];
        w.three();
        for (int i = 1; i <= 6; ++i)
            w.left(full[i], sets[i - 1]);
        w.five();
        for (int i = 7; i <= 12; ++i)
            w.right(full[i]);
        w.three();
        break;
    }
    case Symbology::Ean8:
        w.three();
        for (int i = 0; i < 4; ++i)
            w.left(full[i], 'A');
        w.five();
        for (int i = 4; i < 8; ++i)
            w.right(full[i]);
        w.three();
        break;
    case Symbology::UpcA:
        w.three();
        for (int i = 0; i < 6; ++i)
            w.left(full[i], 'A');
        w.five();
        for (int i = 6; i < 12; ++i)
            w.right(full[i]);
        w.three();
        break;
    default: {
        const char* sets = UPCE_SETS[full[11] - '0'];
        const bool system1 = full[0] == '1';
        w.three();
        for (std::size_t i = 0; i < 6; ++i)
            w.left(six[i], (sets[i] == 'B') != system1 ? 'B' : 'A');
        w.five();
        w.add(1);
        break;
    }
    }
}

// The kinds table of a symbology and its main symbol's count of elements.
const Kinds& kindsFor(Symbology s, int& elements) {
    switch (s) {
    case Symbology::Ean8: elements = 43; return EAN8_KINDS;
    case Symbology::UpcA: elements = 59; return UPCA_KINDS;
    case Symbology::UpcE: elements = 33; return UPCE_KINDS;
    default: elements = 59; return EAN13_KINDS;
    }
}

// What the symbol says of itself: the digits shown (UPC-E its number system,
// six digits and check digit), the check digit, the text and the add-on.
void describe(Symbol& symbol, Symbology s, std::string_view number, const std::string& six, char supplied,
              std::string_view addOn) {
    const char expected = number.back();
    std::string& shown = symbol.facts.data;
    if (s == Symbology::UpcE)
        shown.append(1, number[0]).append(six).append(1, expected);
    else
        shown.append(number);
    symbol.facts.checkCharacters.push_back(expected);
    symbol.facts.checkSupplied = supplied != 0;
    retailText(symbol, s, shown, addOn);
    symbol.text.append(shown);
    if (!addOn.empty()) {
        symbol.facts.addOn.append(addOn);
        symbol.text.append(1, ' ').append(addOn);
    }
}

// The symbol of a checked number (its check digit last), built where it is
// returned from, so that it is never moved.
Result<Symbol> buildEanUpc(Symbology s, std::string_view number, const std::string& six, char supplied,
                           std::string_view addOn, const EncodeOptions& o) {
    const Shape& shape = shapeOf(s);
    const int gap = o.addOnGap != 0 ? o.addOnGap : addOnGapLeast(s);
    int elements = 0;
    const Kinds& kinds = kindsFor(s, elements);
    if (!addOn.empty())
        elements += addOn.size() == 2 ? 14 : 32;  // gap, start (3), 4 a digit, 2 a separator

    Result<Symbol> result = newSymbol(s, 0);
    Symbol& symbol = *result;
    int widths[MOST_ELEMENTS];
    Writer w{widths};
    drawMain(w, s, number.data(), six);
    symbol.widthModules = shape.width + (addOn.empty() ? 0 : addAddOn(w, addOn, gap));
    symbol.widths.assign(widths, widths + elements);
    symbol.kinds.assign(kinds.k, kinds.k + elements);
    if (!addOn.empty())
        symbol.addOnStartModule = shape.width + gap;
    describe(symbol, s, number, six, supplied, addOn);
    return result;
}

}  // namespace

Result<Symbol> encodeEanUpc(Symbology s, std::string_view input, const EncodeOptions& o) {
    std::string_view data = input;
    std::string_view addOn;
    if (!o.addOn.empty() || input.find('+') != std::string_view::npos)
        if (const Status taken = takeAddOn(s, input, data, addOn, o); !taken)
            return taken.error();
    if (const std::size_t bad = firstNonDigit(data); bad != std::string_view::npos)
        return invalidCharacter(s, input, bad);
    // The check digit is always drawn and there are no wide elements: only
    // options that say otherwise need the rules read.
    if (o.check || o.wideRatio != 0)
        if (const Result<LinearSettings> settings = detail::linearSettings(s, o); !settings)
            return settings.error();
    if (o.upceNumberSystem > 1 || (s != Symbology::UpcE && o.upceNumberSystem >= 0))
        return Error{ErrorCode::InvalidOption, "the UPC-E number system is 0 or 1, and only for UPC-E"};

    const Shape& shape = shapeOf(s);
    char full[13];  // the digits and the check digit
    const auto digits = static_cast<std::size_t>(shape.minDigits);
    char supplied = 0;
    if (const Status read = readDigits(s, data, o, shape, full, supplied); !read)
        return read.error();
    const char expected = gs1CheckDigit(full, digits);
    if (supplied && supplied != expected)
        return Error{ErrorCode::CheckDigit, title(s) + " check digit " + supplied + " of " +
                                                std::string(full, digits) + supplied + " does not match; it should be " +
                                                expected};
    full[digits] = expected;
    const std::string_view number(full, digits + 1);
    std::string six;
    if (s == Symbology::UpcE)
        if (const Status drawn = upceSix(number, six); !drawn)
            return drawn.error();
    return buildEanUpc(s, number, six, supplied, addOn, o);
}

}  // namespace korvane::linear
