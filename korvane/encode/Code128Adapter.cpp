// Code 128 (ISO/IEC 15417).

#include "Common.h"

#include "../linear/Code128Latin1.h"
#include "Gs1.h"

#include <Code128Tables.h>

#include <cstdio>
#include <numeric>

namespace korvane::detail {

namespace {

// Latin-1 as UTF-8, for the human-readable line; C0 and C1 controls as spaces.
std::string readableLatin1(const std::string& latin1) {
    std::string out;
    for (char ch : latin1) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 32 || (c >= 127 && c < 160)) {
            out += ' ';
        } else if (c < 128) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Data beyond ASCII: Latin-1 through FNC4, which the engine does not write,
// so the symbol is built here from the values of the shortest encoding.
Result<Symbol> encodeLatin1(const std::string& data, char start, const LinearSettings& settings) {
    const Latin1Text text = latin1Text(data);
    if (text.refused != std::string::npos) {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04lX", text.codePoint);
        return Error{ErrorCode::InvalidData, "Code 128 cannot encode '" +
                                                 data.substr(text.refusedAt, text.refusedLength) + "' (" + code +
                                                 ") at position " + std::to_string(text.refused + 1) + " (it takes " +
                                                 std::string(symbologyInfo(Symbology::Code128).characters) + ")"};
    }
    std::vector<int> values = code128Values(text.bytes, start);
    if (values.empty())
        return Error{ErrorCode::InvalidData, "the data is empty"};
    long sum = values.front();
    for (std::size_t k = 1; k < values.size(); ++k)
        sum += static_cast<long>(values[k]) * static_cast<long>(k);
    values.push_back(static_cast<int>(sum % CODE128_CHECK_MODULUS));

    Symbol symbol;
    symbol.symbology = Symbology::Code128;
    symbol.wideRatio = settings.wideRatio;
    for (int v : values)
        for (const char* w = code128Patterns[v]; *w != 0; ++w)
            symbol.widths.push_back(*w - '0');
    for (const char* w = CODE128_STOP; *w != 0; ++w)
        symbol.widths.push_back(*w - '0');
    symbol.kinds.assign(symbol.widths.size(), BarKind::Data);
    symbol.widthModules = std::accumulate(symbol.widths.begin(), symbol.widths.end(), 0);
    symbol.facts.data = text.bytes;
    centredText(symbol, readableLatin1(text.bytes));
    return symbol;
}

}  // namespace

Result<Symbol> encodeCode128(const std::string& data, const EncodeOptions& o) {
    const Result<LinearSettings> settings = linearSettings(Symbology::Code128, o);
    if (!settings)
        return settings.error();
    char start = o.code128Start;
    if (start >= 'a' && start <= 'c')
        start = static_cast<char>(start - 'a' + 'A');
    if (start != 0 && start != 'A' && start != 'B' && start != 'C')
        return Error{ErrorCode::InvalidOption, "the Code 128 start set is A, B or C"};
    // ASCII goes through the engine as it always has (it also reads bytes
    // 199-201 as requests to change set, so nothing else may reach it).
    if (firstRefused(data, [](unsigned char c) { return c < 128; }) != std::string::npos)
        return encodeLatin1(data, start, *settings);
    if (start == 0)
        start = ::detail::chooseCode128Set(data, 0);

    LinearSymbol engine;
    engine.code128Set = start;
    setUpEngine(engine, LinearSymbol::CODE128, data, *settings);
    Result<Symbol> symbol = runEngine(engine, Symbology::Code128, *settings);
    if (!symbol)
        return symbol;
    if (!engine.warnings.empty())
        return Error{ErrorCode::InvalidData, engine.warnings.front()};
    symbol->facts.data = data;
    centredText(*symbol, humanReadable(data));
    return symbol;
}

Result<Symbol> encodeGs1_128(const std::string& data, const EncodeOptions& o) {
    const Result<std::vector<Gs1Element>> elements = parseGs1(data);
    if (!elements)
        return elements.error();
    const Result<LinearSettings> settings = linearSettings(Symbology::Gs1_128, o);
    if (!settings)
        return settings.error();

    // The engine's GS1 flavour starts in set C with FNC1 and reads byte 202 as
    // the FNC1 that ends a variable-length field. The steps of buildSymbol are
    // taken one by one: its human-readable text knows only the oldest AIs.
    constexpr char FNC1_BYTE = static_cast<char>(202);
    LinearSymbol engine;
    setUpEngine(engine, LinearSymbol::EAN128, gs1Data(*elements, FNC1_BYTE), *settings);
    engine.computeDimensions();
    ::detail::appendCode128(engine, ::detail::Code128Flavour::GS1);
    Result<Symbol> symbol = symbolFromEngine(engine, Symbology::Gs1_128, *settings);
    if (!symbol)
        return symbol;
    symbol->facts.data = gs1Data(*elements, 0x1D);
    centredText(*symbol, gs1HumanText(*elements));
    return symbol;
}

}  // namespace korvane::detail
