// The library's encode() and layout() under arbitrary data and options:
// every call returns a symbol and a drawing that keep their invariants, or an
// error with a one-line message; nothing crashes.

#include "FuzzInput.h"

#include <korvane/korvane.hpp>

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void broken(const char* what, const std::string& detail) {
    std::fprintf(stderr, "invariant broken: %s (%s)\n", what, detail.c_str());
    std::abort();
}

void checkSymbol(const korvane::Symbol& s) {
    if (s.isMatrix()) {
        if (s.modules.size() != static_cast<std::size_t>(s.rows) * s.columns || s.rows < 1 || s.columns < 1 ||
            s.rows > 1000 || s.columns > 1000 || !(s.moduleAspect > 0))
            broken("matrix size", std::to_string(s.rows) + " x " + std::to_string(s.columns));
        return;
    }
    if (s.widths.empty() || s.widths.size() % 2 == 0 || s.kinds.size() != s.widths.size())
        broken("elements: odd count from a bar to a bar, one kind each", std::to_string(s.widths.size()));
    int total = 0;
    for (int w : s.widths) {
        if (w < 1 || w > 12)
            broken("element width in modules", std::to_string(w));
        total += w;
    }
    if (total != s.widthModules)
        broken("width in modules", std::to_string(total));
}

void checkDrawing(const korvane::Drawing& d) {
    if (d.width <= 0 || d.height <= 0 || static_cast<long long>(d.width) * d.height > korvane::MAX_CANVAS_DOTS)
        broken("canvas", std::to_string(d.width) + "x" + std::to_string(d.height));
    for (const korvane::Rect& r : d.rects)
        if (r.width <= 0 || r.height <= 0 || r.x < 0 || r.y < 0 || r.x + r.width > d.width || r.y + r.height > d.height)
            broken("rectangle inside the canvas", std::to_string(r.x) + "," + std::to_string(r.y));
}

void checkError(const korvane::Error& e) {
    if (e.message.empty() || e.message.find('\n') != std::string::npos)
        broken("one-line error message", e.message);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const auto symbology = static_cast<korvane::Symbology>(in.range(0, korvane::SYMBOLOGY_COUNT - 1));
    korvane::EncodeOptions eo;
    const int check = in.range(0, 2);
    if (check < 2)
        eo.check = check == 1;
    eo.escapes = in.flag();
    eo.wideRatio = in.range(0, 4);
    eo.code128Start = static_cast<char>(in.byte());
    eo.msiCheck = static_cast<korvane::MsiCheck>(in.range(0, 3));
    eo.codabarStart = static_cast<char>(in.range('A', 'E'));
    eo.codabarStop = static_cast<char>(in.range('A', 'E'));
    eo.upceNumberSystem = in.range(-1, 2);
    eo.addOnGap = in.range(0, 14);
    eo.aztecEncoder = in.flag() ? korvane::AztecEncoder::Specified : korvane::AztecEncoder::Optimal;
    eo.eccPercent = in.range(0, 95);
    eo.minSize = in.flag() ? in.range(10, 160) : 0;
    eo.compactOnly = in.flag();
    eo.fullOnly = in.flag();
    eo.bytes = in.flag();
    eo.readerInit = in.flag();
    if (in.flag()) {
        eo.structuredAppend.count = in.range(0, 27);
        eo.structuredAppend.index = in.range(0, 27);
        eo.structuredAppend.id = in.bytes(in.range(0, 3));
    }
    korvane::LayoutOptions lo;
    constexpr double DPIS[] = {0, 72, 96, 203, 300, 600, 1200, 0.5, 20000};
    lo.dpi = DPIS[in.range(0, 8)];
    lo.xMm = in.range(0, 40) * 0.05;
    lo.moduleDots = in.range(0, 6);
    lo.heightMm = in.range(0, 3) * 7.5;
    lo.heightModules = in.range(0, 2) * 30;
    lo.barReductionMm = in.range(0, 3) * 0.03;
    lo.quietLeft = in.range(-1, 20);
    lo.quietRight = in.range(-1, 20);
    lo.quietVertical = in.range(-1, 5);
    lo.text = in.flag();
    lo.fontSizeMm = in.range(0, 3) * 1.5;
    lo.rotation = in.range(0, 4) * 90;
    const std::string value = in.rest();

    const korvane::Result<korvane::Symbol> s = korvane::encode(symbology, value, eo);
    if (!s) {
        checkError(s.error());
        return 0;
    }
    checkSymbol(*s);
    const korvane::Result<korvane::Drawing> d = korvane::layout(*s, lo);
    if (!d) {
        checkError(d.error());
        return 0;
    }
    checkDrawing(*d);
    return 0;
}
