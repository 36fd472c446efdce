// The postal codes drawn by bar heights besides Postnet: the Intelligent Mail
// barcode, PLANET, Royal Mail's 4-state customer code and KIX.

#include "LinearBars.h"
#include "PostalTables.h"

#include "korvane/Values.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

namespace korvane::postal {

namespace {

// The characters of the codewords, and for the reader the codewords of the
// characters (-1 for the values that are none), each made at first use.
const std::array<std::uint16_t, IMB_CODEWORDS>& imbCharacters() {
    static const std::array<std::uint16_t, IMB_CODEWORDS> t = [] {
        std::array<std::uint16_t, IMB_CODEWORDS> made{};
        const auto five = nOf13<IMB_FIVE_OF_13>(5);
        const auto two = nOf13<IMB_TWO_OF_13>(2);
        std::copy(five.begin(), five.end(), made.begin());
        std::copy(two.begin(), two.end(), made.begin() + IMB_FIVE_OF_13);
        return made;
    }();
    return t;
}

const std::vector<std::int16_t>& imbCodewords() {
    static const std::vector<std::int16_t> t = [] {
        std::vector<std::int16_t> made(8192, -1);
        for (int cw = 0; cw < IMB_CODEWORDS; ++cw)
            made[imbCharacters()[static_cast<std::size_t>(cw)]] = static_cast<std::int16_t>(cw);
        return made;
    }();
    return t;
}

}  // namespace

std::uint16_t imbCharacter(int codeword) { return imbCharacters()[static_cast<std::size_t>(codeword)]; }
int imbCodeword(std::uint16_t character) { return character < 8192 ? imbCodewords()[character] : -1; }

}  // namespace korvane::postal

namespace korvane::linear {
namespace {

using postal::ImbValue;

// Four-state bars one module wide with a space of one module between them.
Result<Symbol> fourStateSymbol(Symbology s, std::string_view states, const SymbolFacts& facts) {
    Result<Symbol> result = newSymbol(s, 0);
    Symbol& symbol = *result;
    const std::size_t count = 2 * states.size() - 1;
    symbol.widths.assign(count, 1);
    symbol.kinds.assign(count, BarKind::Data);
    for (std::size_t i = 0; i < states.size(); ++i) {
        const char state = states[i];
        symbol.kinds[2 * i] = state == 'A'   ? BarKind::Ascender
                              : state == 'D' ? BarKind::Descender
                              : state == 'T' ? BarKind::Tracker
                                             : BarKind::Data;
    }
    symbol.widthModules = static_cast<int>(count);
    symbol.facts = facts;
    // Postal codes carry no human-readable line; the address beside them is the text.
    symbol.text = facts.data;
    return result;
}

Error fieldError(std::string message) { return Error{ErrorCode::InvalidData, std::move(message)}; }

// The tracking and routing codes of IMb data: 20 digits, then 0, 5, 9 or 11,
// with '-' or a space between them or nothing.
Result<std::pair<std::string, std::string>> imbFields(std::string_view data) {
    const std::size_t separator = data.find_first_of("- ");
    const std::size_t split = separator != std::string_view::npos ? separator : std::min<std::size_t>(20, data.size());
    const std::string_view tracking = data.substr(0, split);
    const std::string_view routing = data.substr(std::min(data.size(), separator != std::string_view::npos ? split + 1 : split));
    for (std::size_t i = 0; i < data.size(); ++i)
        if (!isDigit(static_cast<unsigned char>(data[i])) && i != separator)
            return fieldError(std::string("the IMb ") + (i < split ? "tracking" : "routing") +
                              " code takes digits only; " + quotedValue(data.substr(i, 1)) + " at position " +
                              std::to_string(i + 1) + " is not one");
    if (tracking.size() != 20)
        return fieldError("the IMb tracking code has 20 digits; " + quotedValue(tracking) + " has " +
                          std::to_string(tracking.size()));
    if (tracking[1] > '4')
        return fieldError(std::string("the IMb barcode identifier (the tracking code's first two digits) ends in "
                                      "0-4; it is ") + std::string(tracking.substr(0, 2)));
    if (routing.size() != 0 && routing.size() != 5 && routing.size() != 9 && routing.size() != 11)
        return fieldError("the IMb routing code has 5, 9 or 11 digits, or none; " + quotedValue(routing) + " has " +
                          std::to_string(routing.size()));
    return std::pair{std::string(tracking), std::string(routing)};
}

// The 65 bar states of checked tracking and routing codes.
std::string imbStates(const std::string& tracking, const std::string& routing) {
    std::uint64_t zip = 0;
    for (char c : routing)
        zip = zip * 10 + static_cast<std::uint64_t>(c - '0');
    int kind = 0;
    while (postal::IMB_ROUTING_LENGTHS[kind] != static_cast<int>(routing.size()))
        ++kind;
    const std::uint64_t start = routing.empty() ? 0 : zip + postal::IMB_ROUTING_BASE[kind];
    ImbValue v;
    v.limb[0] = static_cast<std::uint32_t>(start);
    v.limb[1] = static_cast<std::uint32_t>(start >> 32);
    v.mulAdd(10, static_cast<std::uint32_t>(tracking[0] - '0'));
    v.mulAdd(5, static_cast<std::uint32_t>(tracking[1] - '0'));
    for (std::size_t i = 2; i < tracking.size(); ++i)
        v.mulAdd(10, static_cast<std::uint32_t>(tracking[i] - '0'));
    std::uint8_t bytes[13];
    v.bytes(bytes);
    const int fcs = postal::imbCrc(bytes);
    int codewords[10];
    codewords[9] = static_cast<int>(v.divMod(636));
    for (int i = 8; i >= 1; --i)
        codewords[i] = static_cast<int>(v.divMod(postal::IMB_CODEWORDS));
    codewords[0] = static_cast<int>(v.limb[0]);
    // The last codeword doubled marks which way up the symbol is; the
    // eleventh bit of the check sequence rides on the first.
    codewords[9] *= 2;
    if (fcs & 0x400)
        codewords[0] += 659;
    std::uint16_t characters[10];
    for (int i = 0; i < 10; ++i) {
        characters[i] = postal::imbCharacter(codewords[i]);
        if (fcs & (1 << i))
            characters[i] = static_cast<std::uint16_t>(~characters[i] & 0x1FFF);
    }
    std::string states;
    states.reserve(65);
    for (const postal::ImbBar& b : postal::IMB_BARS)
        states += postal::stateOf((characters[b.ascender] >> b.ascenderBit) & 1,
                                  (characters[b.descender] >> b.descenderBit) & 1);
    return states;
}

}  // namespace

Result<Symbol> encodeImb(std::string_view data, const EncodeOptions& o) {
    if (const Result<LinearSettings> settings = detail::linearSettings(Symbology::Imb, o); !settings)
        return settings.error();
    const auto fields = imbFields(data);
    if (!fields)
        return fields.error();
    SymbolFacts facts;
    facts.data = fields->first + fields->second;
    return fourStateSymbol(Symbology::Imb, imbStates(fields->first, fields->second), facts);
}

// PLANET: Postnet's frame and pitch, three full bars a digit and the same check digit.
Result<Symbol> encodePlanet(std::string_view data, const EncodeOptions& o) {
    constexpr Symbology S = Symbology::Planet;
    if (const std::size_t bad = firstRefused(data, isDigit); bad != std::string_view::npos)
        return invalidCharacter(S, data, bad);
    if (data.size() != 11 && data.size() != 13)
        return fieldError("PLANET encodes 11 or 13 digits; " + quotedValue(data) + " has " +
                          std::to_string(data.size()));
    if (const Result<LinearSettings> settings = detail::linearSettings(S, o); !settings)
        return settings.error();
    int sum = 0;
    for (char c : data)
        sum += c - '0';
    const char check = static_cast<char>('0' + complement(sum, 10));
    Result<Symbol> result = newSymbol(S, 0);
    Symbol& symbol = *result;
    // Bars of 2 modules on a pitch of 5, as Postnet's.
    const std::size_t barCount = 2 + 5 * (data.size() + 1);
    const std::size_t count = 2 * barCount - 1;
    symbol.widths.assign(count, 3);
    symbol.kinds.assign(count, BarKind::Data);
    std::size_t bar = 2;
    const auto addDigit = [&](char c) {
        for (bool full : postal::planetFull(c - '0')) {
            if (!full)
                symbol.kinds[bar] = BarKind::Short;
            bar += 2;
        }
    };
    for (char c : data)
        addDigit(c);
    addDigit(check);
    for (std::size_t i = 0; i < count; i += 2)
        symbol.widths[i] = 2;
    symbol.widthModules = static_cast<int>(barCount * 2 + (barCount - 1) * 3);
    symbol.facts.data.assign(data);
    symbol.facts.checkCharacters.assign(1, check);
    symbol.text.assign(data);
    return result;
}

// Royal Mail's 4-state customer code (an ascender to start, the check
// character and a full bar to stop) and KIX (the characters alone).
Result<Symbol> encodeRoyalMail(Symbology s, std::string_view data, const EncodeOptions& o) {
    const auto isCharacter = [](unsigned char c) { return postal::RM4SCC_CHARACTERS.find(static_cast<char>(c)) != std::string_view::npos; };
    if (data.empty())
        return fieldError(std::string(symbologyInfo(s).title) + " needs at least one character");
    if (const std::size_t bad = firstRefused(data, isCharacter); bad != std::string_view::npos)
        return invalidCharacter(s, data, bad);
    if (const Result<LinearSettings> settings = detail::linearSettings(s, o); !settings)
        return settings.error();
    const bool royalMail = s == Symbology::Rm4scc;
    std::string states = royalMail ? "A" : "";
    int rows = 0, columns = 0;
    for (char c : data) {
        const int index = static_cast<int>(postal::RM4SCC_CHARACTERS.find(c));
        const auto bars = postal::rm4sccBars(index);
        states.append(bars.begin(), bars.end());
        rows += index / 6 + 1;
        columns += index % 6 + 1;
    }
    SymbolFacts facts;
    facts.data.assign(data);
    if (royalMail) {
        const int check = postal::rm4sccCheck(rows, columns);
        const auto bars = postal::rm4sccBars(check);
        states.append(bars.begin(), bars.end());
        states += 'F';
        facts.checkCharacters.assign(1, postal::RM4SCC_CHARACTERS[static_cast<std::size_t>(check)]);
    }
    return fourStateSymbol(s, states, facts);
}

}  // namespace korvane::linear

namespace korvane::linear {
namespace {

// The format an FCC names, or null.
const postal::AusFormat* ausFormat(int fcc) {
    for (const postal::AusFormat& f : postal::AUS_FORMATS)
        if (f.fcc == fcc)
            return &f;
    return nullptr;
}

// The format of Australia Post data on row `row`: the FCC given (as "FCC "
// before the sorting code) or the one the row and the customer
// information's length make.
Result<const postal::AusFormat*> ausFormatOf(int row, int given, std::size_t customer) {
    if (given >= 0) {
        const postal::AusFormat* f = ausFormat(given);
        if (f == nullptr)
            return fieldError("FCC " + std::to_string(given) + " is none Australia Post defines (" +
                              postal::AUS_FCC_LIST + ")");
        if (f->row != row || static_cast<std::size_t>(f->customerDigits) != customer)
            return fieldError("FCC " + std::to_string(given) + " takes " + std::to_string(f->customerDigits) +
                              " digits of customer information on " +
                              std::string(symbologyInfo(static_cast<Symbology>(static_cast<int>(Symbology::AusPost) + f->row)).name) +
                              "; this has " + std::to_string(customer) + " on " +
                              std::string(symbologyInfo(static_cast<Symbology>(static_cast<int>(Symbology::AusPost) + row)).name));
        return f;
    }
    for (const postal::AusFormat& f : postal::AUS_FORMATS)
        if (f.row == row && static_cast<std::size_t>(f.customerDigits) == customer)
            return &f;
    return fieldError(row == 0 ? "Australia Post customer information is 8 or 15 digits (customer barcodes 2 and 3), "
                                 "or none; this has " + std::to_string(customer)
                               : "this Australia Post barcode carries no customer information; this has " +
                                     std::to_string(customer) + " characters after the sorting code");
}

// The bar states of an FCC, sorting code and customer information.
std::string ausStates(const postal::AusFormat& f, std::string_view digits) {
    std::string bars;
    const auto addDigit = [&](char c) {
        const auto pair = postal::ausDigit(c - '0');
        bars.append(pair.begin(), pair.end());
    };
    addDigit(static_cast<char>('0' + f.fcc / 10));
    addDigit(static_cast<char>('0' + f.fcc % 10));
    for (char c : digits)
        addDigit(c);
    const std::size_t dataBars = static_cast<std::size_t>(f.bars - 2 * postal::AUS_FRAME_BARS - postal::AUS_PARITY_BARS);
    bars.resize(dataBars, 'T');  // filler
    std::vector<int> symbols;
    for (std::size_t i = 0; i < bars.size(); i += 3)
        symbols.push_back(16 * postal::ausValue(bars[i]) + 4 * postal::ausValue(bars[i + 1]) +
                          postal::ausValue(bars[i + 2]));
    for (int p : postal::ausParity(symbols.begin(), symbols.end()))
        for (int shift : {4, 2, 0})
            bars += postal::AUS_STATES[(p >> shift) & 3];
    return "AT" + bars + "AT";
}

}  // namespace

// Australia Post's customer barcodes: data is the 8-digit sorting code
// (DPID) and any customer information in digits, with the FCC and a space
// before them where it is given.
Result<Symbol> encodeAusPost(Symbology s, std::string_view data, const EncodeOptions& o) {
    if (const Result<LinearSettings> settings = detail::linearSettings(s, o); !settings)
        return settings.error();
    int given = -1;
    std::size_t offset = 0;
    if (data.size() > 3 && data[2] == ' ' && isDigit(static_cast<unsigned char>(data[0])) &&
        isDigit(static_cast<unsigned char>(data[1]))) {
        given = (data[0] - '0') * 10 + (data[1] - '0');
        offset = 3;
    }
    const std::string_view digits = data.substr(offset);
    for (std::size_t i = 0; i < digits.size(); ++i)
        if (!isDigit(static_cast<unsigned char>(digits[i])))
            return fieldError(std::string(i < 8 ? "the Australia Post sorting code (DPID)"
                                                : "the Australia Post customer information (table N)") +
                              " takes digits only; " + quotedValue(digits.substr(i, 1)) + " at position " +
                              std::to_string(offset + i + 1) + " is not one");
    if (digits.size() < 8)
        return fieldError("the Australia Post sorting code (DPID) has 8 digits; " + quotedValue(digits) + " has " +
                          std::to_string(digits.size()));
    const int row = static_cast<int>(s) - static_cast<int>(Symbology::AusPost);
    const Result<const postal::AusFormat*> format = ausFormatOf(row, given, digits.size() - 8);
    if (!format)
        return format.error();
    SymbolFacts facts;
    facts.data.assign(digits);
    return fourStateSymbol(s, ausStates(**format, digits), facts);
}

Result<Symbol> encodeDaft(std::string_view data, const EncodeOptions& o) {
    constexpr Symbology S = Symbology::Daft;
    const auto isState = [](unsigned char c) { return std::strchr("DAFTdaft", c) != nullptr && c != 0; };
    if (data.empty())
        return fieldError("DAFT needs at least one bar");
    if (const std::size_t bad = firstRefused(data, isState); bad != std::string_view::npos)
        return invalidCharacter(S, data, bad);
    if (const Result<LinearSettings> settings = detail::linearSettings(S, o); !settings)
        return settings.error();
    SymbolFacts facts;
    facts.data.assign(data);
    for (char& c : facts.data)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return fourStateSymbol(S, facts.data, facts);
}

}  // namespace korvane::linear
