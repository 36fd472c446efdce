// The library's encode() and layout() under arbitrary data and options:
// every call returns a symbol and a drawing that keep their invariants, or an
// error with a one-line message; nothing crashes.

#include "FuzzInput.h"

#include <korvane/korvane.hpp>

#include <cmath>
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
    eo.gs1 = in.flag();
    eo.eci = in.flag() ? in.range(-1, 1000000) : -1;
    // Mostly the options that apply, so that runs reach the encoders; now and
    // then all of them, to hold encode() to refusing the rest.
    if (in.range(0, 7) != 0) {
        const korvane::SymbologyInfo& info = korvane::symbologyInfo(symbology);
        const korvane::EncodeOptions d;
        if (info.matrix)
            eo.check.reset();
        if (!info.twoWidths)
            eo.wideRatio = d.wideRatio;
        if (!info.takes(korvane::CAP_CODE128_START))
            eo.code128Start = d.code128Start;
        if (!info.takes(korvane::CAP_MSI_CHECK))
            eo.msiCheck = d.msiCheck;
        if (!info.takes(korvane::CAP_CODABAR_ENDS))
            eo.codabarStart = d.codabarStart, eo.codabarStop = d.codabarStop;
        if (!info.takes(korvane::CAP_UPCE_SYSTEM))
            eo.upceNumberSystem = d.upceNumberSystem;
        if (!info.takes(korvane::CAP_ADD_ON))
            eo.addOnGap = d.addOnGap;
        if (!info.takes(korvane::CAP_AZTEC)) {
            eo.aztecEncoder = d.aztecEncoder;
            eo.eccPercent = d.eccPercent;
            eo.minSize = d.minSize;
            eo.compactOnly = eo.fullOnly = eo.bytes = false;
        }
        if (!info.takes(korvane::CAP_READER_INIT))
            eo.readerInit = false;
        if (!info.takes(korvane::CAP_STRUCTURED_APPEND))
            eo.structuredAppend = {};
        if (!info.takes(korvane::CAP_GS1))
            eo.gs1 = false;
        if (!info.takes(korvane::CAP_ECI))
            eo.eci = -1;
    }
    korvane::LayoutOptions lo;
    constexpr double DPIS[] = {0, 72, 96, 203, 300, 600, 1200, 0.5, 20000};
    lo.dpi = DPIS[in.range(0, 8)];
    // Any unit for any length; a unit layout() refuses for a field is a clean error.
    auto length = [&](double value) -> std::optional<korvane::Length> {
        constexpr korvane::Unit UNITS[] = {korvane::Unit::Mm, korvane::Unit::In, korvane::Unit::Mil,
                                           korvane::Unit::Pt, korvane::Unit::Px, korvane::Unit::Modules};
        const int unit = in.range(-1, 5);
        if (unit < 0)
            return std::nullopt;
        return korvane::Length{value, UNITS[unit]};
    };
    lo.xDim = length(in.range(0, 40) * 0.05);
    lo.height = length(in.range(0, 3) * 7.5);
    lo.barReduction = length(in.range(0, 3) * 0.03);
    lo.quietLeft = length(in.range(0, 20));
    lo.quietRight = length(in.range(0, 20));
    lo.quietVertical = length(in.range(0, 5));
    lo.text = in.flag();
    lo.fontSize = length(in.range(0, 3) * 1.5);
    lo.rotation = in.range(0, 4) * 90;
    const std::string value = in.restOftenLong();

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

    // Grading a drawing the library lays out ends in a grade from 0 to 4 or a
    // reason. Small drawings only, ideal or 203 dpi thermal by the data's
    // length, so that grading costs the target a small share of its speed.
    if (static_cast<long long>(d->width) * d->height <= (1LL << 18)) {
        for (const char* printer : {value.size() % 2 ? "thermal203" : "ideal"}) {
            const korvane::QualityGrade q = korvane::grade(*d, *s, *korvane::printerProfile(printer));
            if (q.graded ? !(q.grade >= 0 && q.grade <= 4) || q.text.empty() || q.letter != korvane::gradeLetter(q.grade)
                         : q.reason.empty())
                std::abort();
            for (const korvane::QualityParameter& p : q.parameters)
                if (p.grade < 0 || p.grade > 4 || !std::isfinite(p.value))
                    std::abort();
        }
    }
    return 0;
}
