// Fuzzes the GS1 DataBar encoders and readers. Encoder mode: arbitrary data
// for one of the six symbologies (and a row width for Expanded Stacked);
// every symbol made must read back through verify() as the data it holds,
// and any refusal must be an error value. Reader mode: arbitrary scan lines
// and pictures, which the readers must survive.

#include "FuzzInput.h"
#include "korvane/Encode.h"
#include "korvane/Layout.h"
#include "korvane/Verify.h"
#include "verify/DataBarRead.h"
#include "verify/Linear.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr korvane::Symbology SYMBOLOGIES[] = {
    korvane::Symbology::DataBar,         korvane::Symbology::DataBarTruncated,
    korvane::Symbology::DataBarStacked,  korvane::Symbology::DataBarStackedOmni,
    korvane::Symbology::DataBarExpanded, korvane::Symbology::DataBarExpandedStacked,
};

[[noreturn]] void fail(const char* what, const std::string& data, const std::string& why) {
    std::fprintf(stderr, "%s: %s\n  data (%zu): %s\n", what, why.c_str(), data.size(), data.c_str());
    std::abort();
}

void readers(FuzzInput& in) {
    korvane::GrayRaster r;
    r.width = in.range(1, 255);
    r.height = in.range(1, 16);
    r.pixels.assign(static_cast<std::size_t>(r.width) * static_cast<std::size_t>(r.height), 255);
    for (std::uint8_t& p : r.pixels)
        p = in.remaining() > 0 ? in.byte() : 255;
    (void)korvane::detail::readDataBarStacked(r);
    (void)korvane::detail::readExpandedStacked(r);
    for (korvane::Symbology s : {korvane::Symbology::DataBar, korvane::Symbology::DataBarExpanded})
        (void)korvane::detail::readLinear(r, s);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Header: mode (reader from 224), symbology, segments; then the data.
    FuzzInput in(data, size);
    if (in.byte() >= 224) {
        readers(in);
        return 0;
    }
    const korvane::Symbology s = SYMBOLOGIES[in.range(0, 5)];
    korvane::EncodeOptions o;
    o.databarSegments = in.range(0, 23);
    const std::string message = in.bytes(in.remaining());
    const korvane::Result<korvane::Symbol> symbol = korvane::encode(s, message, o);
    if (!symbol) {
        if (symbol.error().message.empty())
            fail("a refusal without a message", message, "");
        return 0;
    }
    korvane::LayoutOptions lo;
    lo.dpi = 0;
    lo.xDim = korvane::px(2);
    const korvane::Result<korvane::Drawing> drawing = korvane::layout(*symbol, lo);
    if (!drawing)
        fail("no layout", message, drawing.error().message);
    const korvane::Verdict v = korvane::verify(*drawing, *symbol);
    if (!v.ok)
        fail("not read back", message, v.reason);
    return 0;
}
