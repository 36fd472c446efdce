// EAN-13, EAN-8, UPC-A and UPC-E (ISO/IEC 15420) with their 2- and 5-digit add-ons.

#include "LinearBars.h"

#include "../encode/Gs1.h"

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

// The largest symbol: UPC-A or EAN-13 (59 elements), a gap and a 5-digit add-on (32).
constexpr int MOST_ELEMENTS = 59 + 32;

// Elements with their kinds, on the stack until they are complete.
struct Elements {
    int widths[MOST_ELEMENTS];
    BarKind kinds[MOST_ELEMENTS];
    int count = 0;

    void add(int width, BarKind kind) {
        widths[count] = width;
        kinds[count] = kind;
        ++count;
    }
    // Alternating elements starting with a bar of `kind`.
    void guard(const char* pattern, BarKind kind, bool barFirst = true) {
        for (const char* p = pattern; *p != '\0'; ++p, barFirst = !barFirst)
            add(*p - '0', barFirst ? kind : BarKind::Data);
    }
    // A left-hand digit (space first) in set 'A' or 'B'.
    void leftDigit(char digit, char set, BarKind kind) {
        const char* p = SET_A[digit - '0'];
        if (set == 'A') {
            add(p[0] - '0', BarKind::Data), add(p[1] - '0', kind), add(p[2] - '0', BarKind::Data), add(p[3] - '0', kind);
        } else {
            add(p[3] - '0', BarKind::Data), add(p[2] - '0', kind), add(p[1] - '0', BarKind::Data), add(p[0] - '0', kind);
        }
    }
    // A right-hand digit (bar first), set C.
    void rightDigit(char digit, BarKind kind) {
        const char* p = SET_A[digit - '0'];
        add(p[0] - '0', kind), add(p[1] - '0', BarKind::Data), add(p[2] - '0', kind), add(p[3] - '0', BarKind::Data);
    }
};

// Splits "digits+addon" and checks the add-on; `main` receives the digits before '+'.
Result<std::string> takeAddOn(Symbology s, std::string_view data, std::string_view& main, const EncodeOptions& o) {
    std::string addOn = o.addOn;
    main = data;
    if (const std::size_t plus = data.find('+'); plus != std::string_view::npos) {
        if (!addOn.empty())
            return Error{ErrorCode::InvalidOption, "the add-on is given twice, in the data and as an option"};
        addOn.assign(data.substr(plus + 1));
        if (const std::size_t bad = firstRefused(addOn, isDigit); bad != std::string::npos)
            return invalidCharacter(s, data, plus + 1 + bad);
        main = data.substr(0, plus);
    }
    if (addOn.empty())
        return addOn;
    if (const std::size_t bad = firstRefused(addOn, isDigit); bad != std::string::npos)
        return Error{ErrorCode::InvalidData, "the add-on holds " +
                                                 detail::describeByte(static_cast<unsigned char>(addOn[bad])) +
                                                 "; it takes digits only"};
    if (addOn.size() != 2 && addOn.size() != 5)
        return Error{ErrorCode::InvalidData,
                     "an add-on has 2 or 5 digits; \"" + addOn + "\" has " + std::to_string(addOn.size())};
    const int least = addOnGapLeast(s);
    if (o.addOnGap != 0 && (o.addOnGap < least || o.addOnGap > 12))
        return Error{ErrorCode::InvalidOption, "the add-on gap is " + std::to_string(o.addOnGap) + " modules; after " +
                                                   title(s) + " it must be " + std::to_string(least) + " to 12"};
    return addOn;
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

void addAddOn(Elements& e, const std::string& addOn, int gap) {
    e.add(gap, BarKind::Data);
    e.guard("112", BarKind::AddOn);
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
            e.guard("11", BarKind::AddOn, false);
        e.leftDigit(addOn[i], sets[i], BarKind::AddOn);
    }
}

// The digits placed the retail way: groups under the halves, the outer digits
// beside the symbol.
void retailText(Symbol& symbol, Symbology s, const std::string& d, bool addOn) {
    auto& spans = symbol.textSpans;
    const auto span = [&](std::size_t from, std::size_t n, int start, int end, TextPlace place, bool small) {
        spans.push_back({d.substr(from, n), start, end, place, small});
    };
    switch (s) {
    case Symbology::Ean13:
        spans.reserve(addOn ? 4 : 3);
        span(0, 1, 0, 0, TextPlace::LeftOf, false);
        span(1, 6, 3, 45, TextPlace::Below, false);
        span(7, 6, 50, 92, TextPlace::Below, false);
        break;
    case Symbology::Ean8:
        spans.reserve(addOn ? 3 : 2);
        span(0, 4, 3, 31, TextPlace::Below, false);
        span(4, 4, 36, 64, TextPlace::Below, false);
        break;
    case Symbology::UpcA:
        spans.reserve(addOn ? 5 : 4);
        span(0, 1, 0, 0, TextPlace::LeftOf, true);
        span(1, 5, 10, 45, TextPlace::Below, false);
        span(6, 5, 50, 85, TextPlace::Below, false);
        span(11, 1, 95, 95, TextPlace::RightOf, true);
        break;
    default:  // UPC-E: number system, the six digits, check digit
        spans.reserve(addOn ? 4 : 3);
        span(0, 1, 0, 0, TextPlace::LeftOf, true);
        span(1, 6, 3, 45, TextPlace::Below, false);
        span(7, 1, 51, 51, TextPlace::RightOf, true);
        break;
    }
}

}  // namespace

Result<Symbol> encodeEanUpc(Symbology s, std::string_view input, const EncodeOptions& o) {
    std::string_view data;
    Result<std::string> addOnResult = takeAddOn(s, input, data, o);
    if (!addOnResult)
        return addOnResult.error();
    std::string& addOn = *addOnResult;
    if (const std::size_t bad = firstRefused(data, isDigit); bad != std::string_view::npos)
        return invalidCharacter(s, input, bad);
    const Result<LinearSettings> settings = detail::linearSettings(s, o);
    if (!settings)
        return settings.error();
    if (o.upceNumberSystem > 1 || (s != Symbology::UpcE && o.upceNumberSystem >= 0))
        return Error{ErrorCode::InvalidOption, "the UPC-E number system is 0 or 1, and only for UPC-E"};

    const Shape& shape = shapeOf(s);
    std::string full;  // the digits and the check digit
    full.reserve(13);
    char supplied = 0;
    if (s == Symbology::UpcE) {
        const Result<std::string> upca = upceAsUpcA(data, o, supplied);
        if (!upca)
            return upca.error();
        full = *upca;
        if (full[0] != '0' && full[0] != '1')
            return Error{ErrorCode::InvalidData, "UPC-E numbers have number system 0 or 1; \"" + std::string(data) +
                                                     "\" has " + full.substr(0, 1)};
    } else {
        const auto n = static_cast<int>(data.size());
        if (n != shape.minDigits && n != shape.minDigits + 1)
            return Error{ErrorCode::InvalidData, title(s) + " takes " + std::to_string(shape.minDigits) + " digits, or " +
                                                     std::to_string(shape.minDigits + 1) + " with the check digit; \"" +
                                                     std::string(data) + "\" has " + std::to_string(n)};
        full.assign(data.substr(0, static_cast<std::size_t>(shape.minDigits)));
        if (n == shape.minDigits + 1)
            supplied = data.back();
    }
    const char expected = detail::gs1CheckDigit(full);
    if (supplied && supplied != expected)
        return Error{ErrorCode::CheckDigit, title(s) + " check digit " + supplied + " of " + full + supplied +
                                                " does not match; it should be " + expected};
    full += expected;

    std::string six;
    if (s == Symbology::UpcE) {
        // The parity of the six digits carries the number system and the check
        // digit; a reader expands the six under that number system, so a number
        // that does not come back unchanged would scan as another.
        six = compressUpcE(full);
        const std::string readBack = six.size() == 6 ? expandUpcE(six, full[0]) : std::string();
        if (readBack.compare(0, std::string::npos, full, 0, 11) != 0)
            return Error{ErrorCode::InvalidData, "UPC-E cannot draw \"" + full +
                                                     "\": it cannot be zero-suppressed (the six digits \"" + six +
                                                     "\" read back as " + readBack + full[11] + ")"};
    }

    Elements e;
    const BarKind G = BarKind::Guard, D = BarKind::Data;
    switch (s) {
    case Symbology::Ean13: {
        const char* sets = EAN13_SETS[full[0] - '0'];
        e.guard("111", G);
        for (int i = 1; i <= 6; ++i)
            e.leftDigit(full[static_cast<std::size_t>(i)], sets[i - 1], D);
        e.guard("11111", G, false);
        for (int i = 7; i <= 12; ++i)
            e.rightDigit(full[static_cast<std::size_t>(i)], D);
        e.guard("111", G);
        break;
    }
    case Symbology::Ean8:
        e.guard("111", G);
        for (int i = 0; i < 4; ++i)
            e.leftDigit(full[static_cast<std::size_t>(i)], 'A', D);
        e.guard("11111", G, false);
        for (int i = 4; i < 8; ++i)
            e.rightDigit(full[static_cast<std::size_t>(i)], D);
        e.guard("111", G);
        break;
    case Symbology::UpcA:
        // UPC-A draws the bars of its first and last digits at guard height too.
        e.guard("111", G);
        for (int i = 0; i < 6; ++i)
            e.leftDigit(full[static_cast<std::size_t>(i)], 'A', i == 0 ? G : D);
        e.guard("11111", G, false);
        for (int i = 6; i < 12; ++i)
            e.rightDigit(full[static_cast<std::size_t>(i)], i == 11 ? G : D);
        e.guard("111", G);
        break;
    default: {
        const char* sets = UPCE_SETS[full[11] - '0'];
        const bool system1 = full[0] == '1';
        e.guard("111", G);
        for (std::size_t i = 0; i < 6; ++i)
            e.leftDigit(six[i], (sets[i] == 'B') != system1 ? 'B' : 'A', D);
        e.guard("111111", G, false);
        break;
    }
    }
    const int gap = o.addOnGap != 0 ? o.addOnGap : addOnGapLeast(s);
    if (!addOn.empty())
        addAddOn(e, addOn, gap);

    Result<Symbol> result = newSymbol(s, settings->wideRatio);
    Symbol& symbol = *result;
    symbol.widths.assign(e.widths, e.widths + e.count);
    symbol.kinds.assign(e.kinds, e.kinds + e.count);
    int total = 0;
    for (int i = 0; i < e.count; ++i)
        total += e.widths[i];
    symbol.widthModules = total;

    std::string shown;
    if (s == Symbology::UpcE) {
        shown.reserve(8);
        shown.append(1, full[0]).append(six).append(1, expected);
    } else {
        shown = full;
    }
    symbol.facts.checkCharacters.assign(1, expected);
    symbol.facts.checkSupplied = supplied != 0;
    retailText(symbol, s, shown, !addOn.empty());
    if (addOn.empty()) {
        symbol.text = shown;
    } else {
        symbol.addOnStartModule = shape.width + gap;
        symbol.textSpans.push_back({addOn, symbol.addOnStartModule, symbol.widthModules, TextPlace::Above, false});
        symbol.text.reserve(shown.size() + 1 + addOn.size());
        symbol.text.append(shown).append(1, ' ').append(addOn);
        symbol.facts.addOn = std::move(addOn);
    }
    symbol.facts.data = std::move(shown);
    return result;
}

}  // namespace korvane::linear
