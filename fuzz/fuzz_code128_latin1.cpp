// Code 128 of Latin-1 through FNC4: every symbol made from arbitrary bytes
// (the first byte chooses the start set) reads back through the library's own
// Code 128 reader as the Latin-1 text it was made from; a refusal is one line.

#include <korvane/korvane.hpp>

#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > 200)
        return 0;
    korvane::EncodeOptions options;
    const char starts[] = {0, 'A', 'B', 'C'};
    options.code128Start = starts[data[0] % 4];
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const korvane::Result<korvane::Symbol> symbol = korvane::encode(korvane::Symbology::Code128, text, options);
    if (!symbol) {
        if (symbol.error().message.find('\n') != std::string::npos)
            std::abort();
        return 0;
    }
    korvane::LayoutOptions layout;
    layout.dpi = 0;
    layout.xDim = korvane::px(2);
    const korvane::Result<korvane::Drawing> drawing = korvane::layout(*symbol, layout);
    if (!drawing)
        return 0;  // too wide for a canvas
    const korvane::Verdict verdict = korvane::verify(*drawing, *symbol);
    if (!verdict.ok) {
        std::fprintf(stderr, "read back wrong: %s\n", verdict.reason.c_str());
        std::abort();
    }
    return 0;
}
