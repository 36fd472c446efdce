// Code 128 (ISO/IEC 15417).

#include "Common.h"

#include "Gs1.h"

#include <Code128Tables.h>

namespace korvane::detail {

Result<Symbol> encodeCode128(const std::string& data, const EncodeOptions& o) {
    // Bytes 128-255 would need FNC4, which the engine does not write; and the
    // engine reads bytes 199-201 as requests to change set.
    if (const std::size_t bad = firstRefused(data, [](unsigned char c) { return c < 128; });
        bad != std::string::npos)
        return invalidCharacter(Symbology::Code128, data, bad);
    const Result<LinearSettings> settings = linearSettings(Symbology::Code128, o);
    if (!settings)
        return settings.error();
    char start = o.code128Start;
    if (start >= 'a' && start <= 'c')
        start = static_cast<char>(start - 'a' + 'A');
    if (start == 0)
        start = ::detail::chooseCode128Set(data, 0);
    if (start != 'A' && start != 'B' && start != 'C')
        return Error{ErrorCode::InvalidOption, "the Code 128 start set is A, B or C"};

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
