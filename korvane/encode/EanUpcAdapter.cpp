// EAN-13, EAN-8, UPC-A and UPC-E (ISO/IEC 15420) with their 2- and 5-digit add-ons.

#include "Common.h"
#include "Gs1.h"

#include <EanTables.h>

#include <iterator>

namespace korvane::detail {
namespace {

struct Shape {
    int minDigits;         // without the check digit
    int engineSymbology;
    int width;             // main symbol in modules
    // Guard bar ranges [from, to) in modules: bars there descend into the text line.
    int guards[3][2];
};

constexpr Shape EAN13_SHAPE = {12, LinearSymbol::EAN13, 95, {{0, 3}, {45, 50}, {92, 95}}};
constexpr Shape EAN8_SHAPE = {7, LinearSymbol::EAN8, 67, {{0, 3}, {31, 36}, {64, 67}}};
// UPC-A draws the bars of its first and last digits at guard height too.
constexpr Shape UPCA_SHAPE = {11, LinearSymbol::UPCA, 95, {{0, 10}, {45, 50}, {85, 95}}};
constexpr Shape UPCE_SHAPE = {11, LinearSymbol::UPCE, 51, {{0, 3}, {45, 51}, {0, 0}}};

const Shape& shapeOf(Symbology s) {
    switch (s) {
    case Symbology::Ean8: return EAN8_SHAPE;
    case Symbology::UpcA: return UPCA_SHAPE;
    case Symbology::UpcE: return UPCE_SHAPE;
    default: return EAN13_SHAPE;
    }
}

std::string title(Symbology s) { return std::string(symbologyInfo(s).title); }

Error wrongCheck(Symbology s, const std::string& digits, char expected) {
    return {ErrorCode::CheckDigit, title(s) + " check digit " + digits.back() + " of " + digits +
                                       " does not match; it should be " + expected};
}

// The least space before an add-on (ISO/IEC 15420): 7 modules after EAN, 9 after UPC.
int addOnGapLeast(Symbology s) { return s == Symbology::UpcA || s == Symbology::UpcE ? 9 : 7; }

// Splits "digits+addon" and checks the add-on.
Result<std::string> takeAddOn(Symbology s, std::string& data, const EncodeOptions& o) {
    std::string addOn = o.addOn;
    if (const std::size_t plus = data.find('+'); plus != std::string::npos) {
        if (!addOn.empty())
            return Error{ErrorCode::InvalidOption, "the add-on is given twice, in the data and as an option"};
        addOn = data.substr(plus + 1);
        if (const std::size_t bad = firstRefused(addOn, isDigit); bad != std::string::npos)
            return invalidCharacter(s, data, plus + 1 + bad);
        data.erase(plus);
    }
    if (addOn.empty())
        return addOn;
    if (const std::size_t bad = firstRefused(addOn, isDigit); bad != std::string::npos)
        return Error{ErrorCode::InvalidData, "the add-on holds " + describeByte(static_cast<unsigned char>(addOn[bad])) +
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

// The UPC-A number (11 digits, no check) a UPC-E value stands for, from its
// forms: 6 digits, number system + 6, number system + 6 + check, or the UPC-A
// number itself (11 or 12 digits). `check` receives a supplied check digit.
Result<std::string> upceAsUpcA(const std::string& data, const EncodeOptions& o, char& check) {
    check = 0;
    if (data.size() == 11 || data.size() == 12) {
        if (data.size() == 12)
            check = data[11];
        return data.substr(0, 11);
    }
    if (data.size() < 6 || data.size() > 8)
        return Error{ErrorCode::InvalidData,
                     "UPC-E takes 6 digits, 7 or 8 with the number system and check digit, or the 11- or 12-digit "
                     "UPC-A number; \"" + data + "\" has " + std::to_string(data.size())};
    char ns = data.size() == 6 ? static_cast<char>('0' + (o.upceNumberSystem > 0 ? o.upceNumberSystem : 0)) : data[0];
    if (data.size() == 8)
        check = data[7];
    const std::string six = data.size() == 6 ? data : data.substr(1, 6);
    return ::detail::expandUpcE(six, ns);
}

void markGuards(Symbol& symbol, const Shape& shape) {
    // The guard ranges are in order and apart (an empty one is passed at
    // once), so one walk along the bars finds them all.
    std::size_t g = 0;
    int x = 0;
    for (std::size_t i = 0; i < symbol.widths.size(); x += symbol.widths[i], ++i) {
        if (i % 2 != 0)
            continue;
        if (symbol.addOnStartModule >= 0 && x >= symbol.addOnStartModule) {
            symbol.kinds[i] = BarKind::AddOn;
            continue;
        }
        while (g < std::size(shape.guards) && x >= shape.guards[g][1])
            ++g;
        if (g < std::size(shape.guards) && x >= shape.guards[g][0])
            symbol.kinds[i] = BarKind::Guard;
    }
}

// The digits placed the retail way: groups under the halves, the outer digits
// beside the symbol.
void retailText(Symbol& symbol, Symbology s, const std::string& d) {
    auto& spans = symbol.textSpans;
    spans.reserve(5);  // four groups at most, and an add-on
    switch (s) {
    case Symbology::Ean13:
        spans.push_back({d.substr(0, 1), 0, 0, TextPlace::LeftOf, false});
        spans.push_back({d.substr(1, 6), 3, 45, TextPlace::Below, false});
        spans.push_back({d.substr(7, 6), 50, 92, TextPlace::Below, false});
        break;
    case Symbology::Ean8:
        spans.push_back({d.substr(0, 4), 3, 31, TextPlace::Below, false});
        spans.push_back({d.substr(4, 4), 36, 64, TextPlace::Below, false});
        break;
    case Symbology::UpcA:
        spans.push_back({d.substr(0, 1), 0, 0, TextPlace::LeftOf, true});
        spans.push_back({d.substr(1, 5), 10, 45, TextPlace::Below, false});
        spans.push_back({d.substr(6, 5), 50, 85, TextPlace::Below, false});
        spans.push_back({d.substr(11, 1), 95, 95, TextPlace::RightOf, true});
        break;
    default:  // UPC-E: number system, the six digits, check digit
        spans.push_back({d.substr(0, 1), 0, 0, TextPlace::LeftOf, true});
        spans.push_back({d.substr(1, 6), 3, 45, TextPlace::Below, false});
        spans.push_back({d.substr(7, 1), 51, 51, TextPlace::RightOf, true});
        break;
    }
}

}  // namespace

Result<Symbol> encodeEanUpc(Symbology s, const std::string& input, const EncodeOptions& o) {
    std::string data = input;
    const Result<std::string> addOn = takeAddOn(s, data, o);
    if (!addOn)
        return addOn.error();
    if (const std::size_t bad = firstRefused(data, isDigit); bad != std::string::npos)
        return invalidCharacter(s, input, bad);
    const Result<LinearSettings> settings = linearSettings(s, o);
    if (!settings)
        return settings.error();
    if (o.upceNumberSystem > 1 || (s != Symbology::UpcE && o.upceNumberSystem >= 0))
        return Error{ErrorCode::InvalidOption, "the UPC-E number system is 0 or 1, and only for UPC-E"};

    const Shape& shape = shapeOf(s);
    std::string digits = data;  // without the check digit
    char supplied = 0;
    if (s == Symbology::UpcE) {
        const Result<std::string> upca = upceAsUpcA(data, o, supplied);
        if (!upca)
            return upca.error();
        digits = *upca;
        if (digits.empty() || (digits[0] != '0' && digits[0] != '1'))
            return Error{ErrorCode::InvalidData, "UPC-E numbers have number system 0 or 1; \"" + data +
                                                     "\" has " + (digits.empty() ? std::string("none") : digits.substr(0, 1))};
    } else {
        const auto n = static_cast<int>(data.size());
        if (n != shape.minDigits && n != shape.minDigits + 1)
            return Error{ErrorCode::InvalidData, title(s) + " takes " + std::to_string(shape.minDigits) + " digits, or " +
                                                     std::to_string(shape.minDigits + 1) + " with the check digit; \"" +
                                                     data + "\" has " + std::to_string(n)};
        if (n == shape.minDigits + 1) {
            supplied = data.back();
            digits.pop_back();
        }
    }
    const char expected = gs1CheckDigit(digits);
    if (supplied && supplied != expected)
        return wrongCheck(s, digits + supplied, expected);

    LinearSymbol engine;
    setUpEngine(engine, shape.engineSymbology, digits, *settings);
    // The engine picks the UPC-E parity table by this setting: '1' is number system 0's.
    engine.upceSystem = digits[0] == '0' ? '1' : '0';
    if (!addOn->empty()) {
        engine.supplement = *addOn;
        engine.supplement2 = addOn->size() == 2;
        engine.supplement5 = addOn->size() == 5;
        engine.supplementGap = o.addOnGap != 0 ? o.addOnGap : addOnGapLeast(s);
    }
    Result<Symbol> symbol = runEngine(engine, s, *settings);
    if (!symbol)
        return symbol;
    if (!engine.warnings.empty())  // the checks above leave the engine nothing to doubt
        return Error{ErrorCode::InvalidData, engine.warnings.front()};

    const std::string full = digits + expected;
    std::string shown = full;
    if (s == Symbology::UpcE) {
        const std::string six = engine.compressUpcE(full);
        shown = full.substr(0, 1) + six + expected;
    }
    symbol->facts.data = shown;
    symbol->facts.checkCharacters = std::string(1, expected);
    symbol->facts.checkSupplied = supplied != 0;
    symbol->facts.addOn = *addOn;
    if (!addOn->empty())
        symbol->addOnStartModule = shape.width + (o.addOnGap != 0 ? o.addOnGap : addOnGapLeast(s));
    markGuards(*symbol, shape);
    retailText(*symbol, s, shown);
    if (!addOn->empty())
        symbol->textSpans.push_back({*addOn, symbol->addOnStartModule, symbol->widthModules, TextPlace::Above, false});
    symbol->text = addOn->empty() ? shown : shown + " " + *addOn;
    return symbol;
}

}  // namespace korvane::detail
