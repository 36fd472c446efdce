// Fuzzes the postal codes read by bar heights (Postnet, PLANET, IMb, RM4SCC,
// KIX, Australia Post's four, DAFT): their encoders on arbitrary data, and their readers on arbitrary bar
// states. Whatever an encoder makes must verify as its data; whatever a
// reader accepts must encode again to the bars it read (or, read turned
// round, to those bars turned round).
//
// Input: symbology (0-9), mode (bit 0: bars rather than data), then the data,
// or one bar state a byte (0 full, 1 ascender, 2 descender, 3 tracker; half
// and full bars for Postnet and PLANET).

#include "FuzzInput.h"

#include <korvane/korvane.hpp>

#include "verify/Readers.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using korvane::BarKind;
using korvane::Symbology;

constexpr Symbology POSTAL[] = {Symbology::Postnet, Symbology::Planet,   Symbology::Imb,
                                Symbology::Rm4scc,  Symbology::Kix,      Symbology::AusPost,
                                Symbology::AusReply, Symbology::AusRoute, Symbology::AusRedirect,
                                Symbology::Daft};
constexpr std::size_t MOST_BARS = 200;

[[noreturn]] void fail(const char* what, Symbology s, const std::string& detail) {
    std::fprintf(stderr, "%s: symbology %d: %s\n", what, static_cast<int>(s), detail.c_str());
    std::abort();
}

bool twoState(Symbology s) { return s == Symbology::Postnet || s == Symbology::Planet; }

char stateOf(BarKind k) {
    switch (k) {
    case BarKind::Ascender: return 'A';
    case BarKind::Descender: return 'D';
    case BarKind::Tracker:
    case BarKind::Short: return 'T';
    default: return 'F';
    }
}

std::string statesOf(const korvane::Symbol& s) {
    std::string out;
    for (std::size_t i = 0; i < s.kinds.size(); i += 2)
        out += stateOf(s.kinds[i]);
    return out;
}

// The bars read the other way round: order reversed, up and down swapped.
std::string turned(std::string states) {
    std::reverse(states.begin(), states.end());
    for (char& c : states)
        c = c == 'A' ? 'D' : c == 'D' ? 'A' : c;
    return states;
}

void encodeAndVerify(Symbology s, const std::string& data) {
    const korvane::Result<korvane::Symbol> symbol = korvane::encode(s, data);
    if (!symbol)
        return;
    // DAFT bars without a full one give a reader no reference height (see readBars).
    if (s == Symbology::Daft && statesOf(*symbol).find('F') == std::string::npos)
        return;
    const korvane::Result<korvane::Drawing> drawing = korvane::layout(*symbol);
    if (!drawing)
        fail("a symbol made cannot be laid out", s, drawing.error().message);
    const korvane::Verdict v = korvane::verify(*drawing, *symbol);
    if (!v.ok || v.read != symbol->facts.data)
        fail("a symbol made does not read back", s, data + ": " + v.reason);
}

void readBars(Symbology s, const std::string& bytes) {
    const std::size_t count = std::min(bytes.size(), MOST_BARS);
    if (count < 2)
        return;
    korvane::Symbol symbol;
    symbol.symbology = s;
    symbol.widths.assign(2 * count - 1, twoState(s) ? 3 : 1);
    symbol.kinds.assign(2 * count - 1, BarKind::Data);
    constexpr BarKind KINDS[] = {BarKind::Data, BarKind::Ascender, BarKind::Descender, BarKind::Tracker};
    for (std::size_t i = 0; i < count; ++i) {
        const int k = static_cast<unsigned char>(bytes[i]) % 4;
        symbol.kinds[2 * i] = twoState(s) ? (k % 2 ? BarKind::Short : BarKind::Data) : KINDS[k];
        symbol.widths[2 * i] = twoState(s) ? 2 : 1;
    }
    symbol.widthModules = 0;
    for (int w : symbol.widths)
        symbol.widthModules += w;
    const korvane::Result<korvane::Drawing> drawing = korvane::layout(symbol);
    if (!drawing)
        return;
    const korvane::Result<korvane::GrayRaster> raster = korvane::rasterize(*drawing);
    if (!raster)
        return;
    const korvane::detail::Reading r = korvane::detail::readLinear(*raster, s);
    if (!r.ok)
        return;
    const korvane::Result<korvane::Symbol> again = korvane::encode(s, r.data);
    if (!again)
        fail("read data does not encode", s, r.data + ": " + again.error().message);
    const std::string bars = statesOf(symbol), made = statesOf(*again);
    // DAFT has no check and no bar of known height: bars without a full one
    // read with their tallest as full, and any reading is a DAFT symbol.
    if (s == Symbology::Daft && bars.find('F') == std::string::npos)
        return;
    if (made != bars && made != turned(bars))
        fail("read data encodes to other bars", s, r.data + ": read " + bars + ", made " + made);
    if (again->facts.checkCharacters != r.checkCharacters)
        fail("check characters read are not the data's", s, r.data);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const Symbology s = POSTAL[in.range(0, static_cast<int>(std::size(POSTAL)) - 1)];
    const bool bars = in.flag();
    const std::string rest = in.rest();
    if (bars)
        readBars(s, rest);
    else
        encodeAndVerify(s, rest);
    return 0;
}
