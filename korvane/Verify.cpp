// verify(): the drawing read back by the library's own readers and compared
// with what the symbol was made from.

#include "korvane/Verify.h"

#include "korvane/Layout.h"

#include "Descriptor.h"
#include "base/Text.h"
#include "verify/Linear.h"
#include "verify/Readers.h"
#include "verify/GradeFamilies.h"
#include "verify/SecondOpinion.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace korvane {
namespace {

// Readers want at least this many pixels per module.
constexpr int MIN_PIXELS_PER_MODULE = 4;
// ISO/IEC 15416 grades a symbol contrast below 20 % as a failure.
constexpr double MIN_SYMBOL_CONTRAST = 0.20;

// Luminance (ITU-R BT.601 weights) of a colour laid over white paper, 0-255.
double luminance(Colour c) {
    const double a = c.a / 255.0;
    auto over = [a](std::uint8_t v) { return v * a + 255 * (1 - a); };
    return 0.299 * over(c.r) + 0.587 * over(c.g) + 0.114 * over(c.b);
}

std::string percent(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.0f %%", v * 100);
    return buf;
}

// What differs in the marks a matrix symbol carries besides its data: the
// reader-initialisation (or programming) flag, then the structured-append
// position; empty when they agree.
std::string markDifference(const detail::Reading& r, bool readerInit, const std::string& initName, int index,
                           int count) {
    if (r.readerInit != readerInit)
        return r.readerInit ? "the symbol is marked for " + initName + "; it should not be"
                            : "the symbol is not marked for " + initName;
    if (r.structuredIndex != index || r.structuredCount != count)
        return "the symbol reads as structured-append symbol " + std::to_string(r.structuredIndex) + " of " +
               std::to_string(r.structuredCount) + "; expected " + std::to_string(index) + " of " +
               std::to_string(count);
    return {};
}

// What differs between what was read and what was expected, and where; empty
// when they are equal. `what` names the part: "data", "check", "add-on".
std::string difference(const std::string& read, const std::string& expected, const std::string& what, int& first) {
    const std::size_t n = std::min(read.size(), expected.size());
    std::size_t i = 0;
    while (i < n && read[i] == expected[i])
        ++i;
    if (i == n && read.size() == expected.size())
        return {};
    first = static_cast<int>(i);
    if (i < n)
        return what + " character " + std::to_string(i + 1) + " reads " +
               detail::describeCharacter(static_cast<unsigned char>(read[i])) + ", expected " +
               detail::describeCharacter(static_cast<unsigned char>(expected[i]));
    const std::string count = what == "check" ? "check characters" : "the " + what;
    if (read.size() < expected.size())
        return count + " ends after " + std::to_string(read.size()) + " characters; expected " +
               std::to_string(expected.size()) + " (next " +
               detail::describeCharacter(static_cast<unsigned char>(expected[i])) + ")";
    return count + " has " + std::to_string(read.size()) + " characters; expected " + std::to_string(expected.size());
}

// Code 93 check values 43-46 are shift characters with no character of their
// own: the reader names them ($), (%), (/), (+); the library's facts show '_'.
std::string plainChecks(const std::string& checks) {
    std::string out;
    for (std::size_t i = 0; i < checks.size(); ++i) {
        if (checks[i] == '(' && i + 2 < checks.size() && checks[i + 2] == ')') {
            out += '_';
            i += 2;
        } else {
            out += checks[i];
        }
    }
    return out;
}

// Pixels per drawing dot for at least MIN_PIXELS_PER_MODULE per module,
// within what a raster may hold (and rasterize() scales: 64 at most).
int scaleFor(const Drawing& d) {
    constexpr int MAX_SCALE = 64;
    int scale = 1;
    if (d.moduleDots > 0 && d.moduleDots < MIN_PIXELS_PER_MODULE)
        scale = std::min(MAX_SCALE, static_cast<int>(std::ceil(MIN_PIXELS_PER_MODULE / d.moduleDots)));
    while (scale > 1 && static_cast<long long>(d.width) * scale * static_cast<long long>(d.height) * scale >
                            MAX_CANVAS_DOTS)
        --scale;
    return scale;
}

// The Verdict for a symbol that was read: what differs from symbol.facts, if anything.
void compare(const detail::Reading& r, const Symbol& symbol, Verdict& v) {
    v.read = r.addOn.empty() ? r.data : r.data + "+" + r.addOn;
    v.correctedCodewords = r.correctedCodewords;
    v.erasedCodewords = r.erasedCodewords;
    int first = -1;
    std::string why = difference(r.data, symbol.facts.data, "data", first);
    if (!why.empty()) {
        v.firstDifference = first;
        v.reason = why + " (read " + detail::quoted(r.data) + ")";
        return;
    }
    why = detail::descriptor(symbol.symbology).compare(r, symbol);
    if (!why.empty()) {
        v.reason = why;
        return;
    }
    v.ok = true;
}

// What a linear symbol's reading says otherwise than its facts, with or
// without its check characters.
std::string compareLinearRead(const detail::Reading& r, const Symbol& symbol, bool checks) {
    const SymbolFacts& facts = symbol.facts;
    int unused = -1;
    std::string why = difference(r.addOn, facts.addOn, "add-on", unused);
    if (why.empty() && facts.addOn.empty() != r.addOn.empty())
        why = r.addOn.empty() ? "the add-on was not read" : "an add-on was read where none was made";
    if (why.empty() && checks)
        why = difference(plainChecks(r.checkCharacters), facts.checkCharacters, "check", unused);
    return why;
}

}  // namespace

namespace detail {

std::string compareLinear(const Reading& r, const Symbol& symbol) { return compareLinearRead(r, symbol, true); }

// Code 128's check character is the reader's to verify; FNC1 first makes GS1-128.
std::string compareCode128(const Reading& r, const Symbol& symbol) {
    std::string why = compareLinearRead(r, symbol, false);
    const bool gs1 = symbologyInfo(symbol.symbology).takes(CAP_GS1_ONLY);
    if (why.empty() && gs1 != r.gs1)
        why = r.gs1 ? "the symbol starts with FNC1, which makes it GS1-128"
                    : "the symbol does not start with FNC1, so it is no GS1-128";
    return why;
}

std::string compareAztec(const Reading& r, const Symbol& symbol) {
    const AztecFacts& a = symbol.facts.aztec;
    std::string why = markDifference(r, a.readerInit, "reader initialisation", a.structuredIndex, a.structuredCount);
    if (why.empty() && a.layers > 0 && (r.compact != a.compact || r.layers != a.layers || r.size != symbol.columns))
        why = "the mode message gives a " + std::string(r.compact ? "compact" : "full-range") + " symbol of " +
              std::to_string(r.layers) + " layers; the symbol was made " + (a.compact ? "compact" : "full-range") +
              " with " + std::to_string(a.layers);
    if (why.empty() && a.dataCodewords > 0 && r.dataCodewords != a.dataCodewords)
        why = "the mode message gives " + std::to_string(r.dataCodewords) + " data codewords; the symbol has " +
              std::to_string(a.dataCodewords);
    return why;
}

std::string compareQr(const Reading& r, const Symbol& symbol) {
    const QrFacts& q = symbol.facts.qr;
    if (r.structuredIndex != q.structuredIndex || r.structuredCount != q.structuredCount ||
        r.structuredParity != q.structuredParity)
        return "the symbol reads as structured-append symbol " + std::to_string(r.structuredIndex) + " of " +
               std::to_string(r.structuredCount) + " (parity " + std::to_string(r.structuredParity) +
               "); expected " + std::to_string(q.structuredIndex) + " of " + std::to_string(q.structuredCount) +
               " (parity " + std::to_string(q.structuredParity) + ")";
    if (r.gs1 != q.gs1)
        return r.gs1 ? "the symbol starts with FNC1, which makes it GS1 data" : "the symbol is no GS1 data";
    if (r.qrVersion != q.version || r.qrLevel != q.level || r.qrMask != q.mask)
        return "the format information gives version " + std::to_string(r.qrVersion) + ", level " +
               std::string(1, r.qrLevel) + ", mask " + std::to_string(r.qrMask) + "; the symbol was made " +
               std::to_string(q.version) + ", " + std::string(1, q.level) + ", " + std::to_string(q.mask);
    return {};
}

std::string compareDataMatrix(const Reading& r, const Symbol& symbol) {
    const DataMatrixFacts& f = symbol.facts.dataMatrix;
    std::string why = markDifference(r, f.readerInit, "reader programming", f.structuredIndex, f.structuredCount);
    if (why.empty() && (r.rows != symbol.rows || r.columns != symbol.columns))
        why = "the clock tracks count " + std::to_string(r.rows) + "x" + std::to_string(r.columns) +
              " modules; the symbol was made " + std::to_string(symbol.rows) + "x" + std::to_string(symbol.columns);
    return why;
}

std::string comparePdf417(const Reading& r, const Symbol& symbol) {
    const Pdf417Facts& p = symbol.facts.pdf417;
    std::string why = markDifference(r, p.readerInit, "reader initialisation", p.segmentIndex, p.segmentCount);
    if (why.empty() && r.dataCodewords != p.dataCodewords)
        why = "the length descriptor gives " + std::to_string(r.dataCodewords) + " data codewords; the symbol has " +
              std::to_string(p.dataCodewords);
    return why;
}

Reading readAztecPicture(const GrayRaster& raster) {
    Reading r = readAztec(raster);
    if (r.ok) {
        // Read, but would a scanner trust the picture?
        std::string fault = aztecPictureFault(raster, r);
        if (!fault.empty()) {
            r.ok = false;
            r.failure = std::move(fault);
        }
    }
    return r;
}

}  // namespace detail

Verdict verify(const Drawing& drawing, const Symbol& symbol) {
    Verdict v;
    if (drawing.width <= 0 || drawing.height <= 0 || drawing.rects.empty()) {
        v.reason = "the drawing is empty";
        return v;
    }
    if (symbol.isMatrix() != symbologyInfo(symbol.symbology).matrix) {
        v.reason = "the symbol is neither a row of bars nor a matrix of its symbology";
        return v;
    }
    // Colours as a scanner sees them.
    const double dark = luminance(drawing.foreground);
    const double light = drawing.background.transparent() ? 255.0 : luminance(drawing.background);
    const double contrast = std::fabs(light - dark) / 255;
    if (contrast < MIN_SYMBOL_CONTRAST) {
        v.reason = "the symbol contrast is " + percent(contrast) + "; scanners need at least " +
                   percent(MIN_SYMBOL_CONTRAST);
        return v;
    }
    // Light bars on a dark ground read only as reversed matrix symbols.
    if (dark > light && !symbol.isMatrix()) {
        v.reason = "the bars are lighter than the background; scanners read dark bars on a light ground";
        return v;
    }

    const int scale = scaleFor(drawing);
    detail::Reading r;
    if (symbol.isMatrix()) {
        Result<GrayRaster> raster = rasterize(drawing, scale);
        if (!raster) {
            v.reason = "the drawing cannot be rendered: " + raster.error().message;
            return v;
        }
        r = detail::descriptor(symbol.symbology).readPicture(*raster);
    } else {
        detail::LinearReadOptions options;
        // The readers look for the optional kind only; the mandatory ones always.
        options.check = !symbol.facts.checkCharacters.empty();
        options.msiCheckDigits = static_cast<int>(symbol.facts.checkCharacters.size());
        options.requireAddOn = !symbol.facts.addOn.empty();
        if (detail::gradeFamily(symbol.symbology) == detail::GradeFamily::HeightModulated) {
            const detail::RectLines lines(drawing, scale);
            // Bars across a row when the symbol is upright or upside down: rows first then.
            const bool rowsFirst = drawing.rotation != 90 && drawing.rotation != 270;
            r = detail::readLines(lines, symbol.symbology, options, rowsFirst);
        } else {
            // As grade() decodes it, so that what one reads the other reads.
            r = detail::readAsGraded(drawing, symbol, options);
        }
    }
    if (r.ok) {
        compare(r, symbol, v);
    } else {
        v.reason = r.failure;
    }

    const detail::SecondOpinion z = detail::readWithZxing(drawing, scale, static_cast<int>(std::lround(dark)),
                                                          static_cast<int>(std::lround(light)), symbol);
    if (z.ran) {
        v.zxingRan = true;
        v.zxingRead = z.addOn.empty() ? z.data : z.data + "+" + z.addOn;
        v.zxingAgrees = z.read && z.data == symbol.facts.data && z.addOn == symbol.facts.addOn;
    }
    return v;
}

}  // namespace korvane
