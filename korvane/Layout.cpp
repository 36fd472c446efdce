// layout(): a Symbol placed on a canvas at a real printed size. Every physical
// decision lives here: X snapped to whole dots, bar width reduction, heights,
// quiet zones, text placement, colours and rotation.

#include "korvane/Layout.h"

#include "korvane/Options.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace korvane {
namespace {

constexpr double MM_PER_INCH = 25.4;
constexpr double MAX_QUIET_MODULES = 1000;
constexpr int MAX_MODULE_DOTS = 1000;
constexpr int DEFAULT_MODULE_DOTS = 4;

// Text metrics shared by every writer's fonts closely enough for placement:
// digits and capitals stand about 0.72 em high; an average character
// advances about 0.6 em (OCR-B is monospaced at that advance).
constexpr double CAP_HEIGHT = 0.72;
constexpr double ADVANCE = 0.6;
constexpr double DESCENT = 0.22;

// EAN/UPC (ISO/IEC 15420 and the GS1 General Specifications): guard bars
// descend 5 modules below the others. The digits are OCR-B, 2.75 mm tall at
// the nominal X of 0.33 mm, so 8.33 modules at any X; the digits of the
// built-in OCR-B stand 0.77 em. Each digit is centred under its own symbol
// character of 7 modules, so the digits keep clear of the guards whatever
// advance a writer's font has (OCR-B's 0.723 em would not fit six digits in
// a half). The outer UPC digits are smaller.
constexpr double GUARD_DESCENT_MODULES = 5;
constexpr double RETAIL_DIGIT_MODULES = 2.75 / 0.33;
constexpr double OCRB_DIGIT_HEIGHT = 0.77;
constexpr double SYMBOL_CHARACTER_MODULES = 7;
constexpr double SMALL_DIGIT_SCALE = 0.8;
// Other symbologies: text of 10 modules to the em, kept readable and modest.
constexpr double TEXT_EM_MODULES = 10;
constexpr double MIN_TEXT_EM_MM = 2.0;
constexpr double MAX_TEXT_EM_MM = 4.0;
// The minimum bar height of ISO/IEC 15417 and 16388: 15 % of the symbol's
// width, and at least 6.35 mm.
constexpr double HEIGHT_SHARE_OF_WIDTH = 0.15;
constexpr double MIN_HEIGHT_MM = 6.35;
// Postnet half bars are 0.050 in against 0.125 in for the full ones.
constexpr double POSTNET_SHORT_SHARE = 0.4;

bool isRetail(Symbology s) { return symbologyInfo(s).takes(CAP_RETAIL_TEXT); }

std::string format(const char* fmt, double v) {
    char buf[200];
    std::snprintf(buf, sizeof buf, fmt, v);
    return buf;
}

// The conversions of one layout: millimetres and modules to dots.
struct Scale {
    double dotsPerMm = 0;  // the real resolution, or a notional one without
    int x = 0;             // module in dots
    double wantedXMm = 0;  // X as asked for: standard heights scale with it, not with the snapped X

    int mm(double v) const { return static_cast<int>(std::lround(v * dotsPerMm)); }
    int modules(double v) const { return static_cast<int>(std::lround(v * x)); }
    // A length in dots, not yet rounded: px are dots, modules count X.
    double dots(const Length& l) const {
        switch (l.unit) {
        case Unit::Px: return l.value;
        case Unit::Modules: return l.value * x;
        default: return l.mm(0) * dotsPerMm;
        }
    }
    int wholeDots(const Length& l) const { return static_cast<int>(std::lround(dots(l))); }
};

Error tooLarge(const std::string& what) { return {ErrorCode::SizeTooLarge, what}; }

// The limits of the layout options, as their rows give them (korvane/Options.cpp).
struct Limits {
    double dpi = 0;       // the highest resolution
    double xMm = 0;       // the widest module
    double lengthMm = 0;  // heights, quiet zones, bar width reduction
    double fontMm = 0;    // the text's em
    std::string_view rotations;  // "0|90|180|270"
};

const Limits& limits() {
    static const Limits l = [] {
        const auto high = [](std::string_view name) { return findLayoutOption(name)->high; };
        return Limits{high("dpi"), high("x-dim"), high("height"), high("font-size"), findLayoutOption("rotate")->choices};
    }();
    return l;
}

// Whether `n` is one of the '|'-separated numbers of `choices`.
bool among(std::string_view choices, int n) {
    const std::string wanted = std::to_string(n);
    for (std::string_view rest = choices; !rest.empty();) {
        const std::size_t bar = rest.find('|');
        if (rest.substr(0, bar) == wanted)
            return true;
        rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
    }
    return false;
}

Status checkOptions(const LayoutOptions& o, Symbology symbology) {
    const Limits& limit = limits();
    auto bad = [](const std::string& m) { return Error{ErrorCode::InvalidOption, m}; };
    if (!(o.dpi >= 0) || o.dpi > limit.dpi)
        return o.dpi > limit.dpi ? Status(tooLarge(format("a resolution of %g dpi is beyond the 10,000 dpi any printer has", o.dpi)))
                               : Status(bad("the resolution must be positive"));
    if (o.dpi > 0 && o.dpi < 1)
        return bad("the resolution must be at least 1 dpi");
    if (o.xDim) {
        const Length& x = *o.xDim;
        if (x.unit == Unit::Modules)
            return bad("the X-dimension is a length or px, not a count of modules");
        if (!(x.value > 0))
            return bad("the X-dimension must be positive");
        if (o.dpi > 0 && x.mm(o.dpi) > limit.xMm)
            return tooLarge(format("an X-dimension of %g mm is beyond the 10 mm the library lays out", x.mm(o.dpi)));
        if (o.dpi <= 0 && x.unit != Unit::Px)
            return bad("without a resolution the X-dimension is given in px");
        if (o.dpi <= 0 && x.value > MAX_MODULE_DOTS)
            return bad("a module is 1 to 1,000 px");
    }
    for (const std::optional<Length>* l : {&o.height, &o.fontSize, &o.barReduction, &o.quietLeft, &o.quietRight,
                                           &o.quietVertical})
        if (*l && !((*l)->value >= 0 && std::isfinite((*l)->value)))
            return bad("heights, font sizes, quiet zones and bar width reduction cannot be negative");
    if (!among(limit.rotations, o.rotation))
        return bad("rotation is 0, 90, 180 or 270 degrees");
    // Lengths in units of their own are checked before a symbol is made; px
    // and modules wait for the resolution and X (layout()).
    auto mmOf = [](const std::optional<Length>& l) {
        return l && l->unit != Unit::Px && l->unit != Unit::Modules ? l->mm(0) : 0.0;
    };
    for (const auto& [l, what] : {std::pair{&o.height, "a height"}, {&o.barReduction, "a bar width reduction"},
                                  {&o.quietLeft, "a quiet zone"}, {&o.quietRight, "a quiet zone"},
                                  {&o.quietVertical, "a quiet zone"}})
        if (mmOf(*l) > limit.lengthMm)
            return tooLarge(std::string(what) + format(" of %g mm is beyond the 2,000 mm the library lays out", mmOf(*l)));
    if (mmOf(o.fontSize) > limit.fontMm)
        return tooLarge(format("a font size of %g mm is beyond the 50 mm the library draws", mmOf(o.fontSize)));
    for (const std::optional<Length>* q : {&o.quietLeft, &o.quietRight, &o.quietVertical})
        if (*q && (*q)->unit == Unit::Modules && (*q)->value > MAX_QUIET_MODULES)
            return tooLarge(format("a quiet zone of %g modules is beyond the 1,000 the library lays out", (*q)->value));
    // A matrix symbol's height follows from its modules (PDF417's rows have a
    // height option of their own).
    if (o.height && symbologyInfo(symbology).matrix)
        return bad("the option height does not apply to " + std::string(symbologyInfo(symbology).title));
    return Done{};
}

// Where the symbol and its text go before rotation; filled by the two builders.
struct Plan {
    Drawing d;
    int left = 0;  // the symbol's left edge (after the left quiet zone)
    int top = 0;
};

TextRun textRun(double x, double y, double size, const std::string& text, Anchor a, Font f) {
    TextRun t;
    t.x = x;
    t.y = y;
    t.size = size;
    t.text = text;
    t.anchor = a;
    t.font = f;
    return t;
}

// Horizontal extent of a run as placed, for growing the canvas around text.
void textExtent(const TextRun& t, double& from, double& to) {
    const double w = static_cast<double>(t.text.size()) * ADVANCE * t.size;
    from = t.anchor == Anchor::Start ? t.x : t.anchor == Anchor::Middle ? t.x - w / 2 : t.x - w;
    to = from + w;
}

// EAN/UPC digits one by one, each centred in a cell of its own: under the
// halves the symbol characters (the span shared out evenly), beside the
// symbol cells as wide as a symbol character, one module away from it.
void placeDigits(Drawing& d, const TextSpan& span, double from, double to, double x, double baseline, double size) {
    const std::size_t n = span.text.size();  // digits: a byte each
    if (n == 0)
        return;
    double cell = SYMBOL_CHARACTER_MODULES * x;
    double start = to + x;
    if (span.place == TextPlace::LeftOf)
        start = from - x - static_cast<double>(n) * cell;
    else if (span.place == TextPlace::Below) {
        cell = (to - from) / static_cast<double>(n);
        start = from;
    }
    for (std::size_t i = 0; i < n; ++i)
        d.texts.push_back(textRun(start + (static_cast<double>(i) + 0.5) * cell, baseline, size, span.text.substr(i, 1),
                                  Anchor::Middle, Font::OcrB));
}

void addBar(Drawing& d, int x, int y, int w, int h, int reduction) {
    if (w - reduction <= 0 || h <= 0)
        return;
    d.rects.push_back({x + reduction / 2, y, w - reduction, h});
}

// The bar height: as asked, else the standard's (in mm, in modules of the
// wanted X, or a share of the width with a floor), at least a dot.
int barHeightOf(const Symbol& symbol, const LayoutOptions& o, const Scale& s, long long widthDots) {
    const SymbologyInfo& info = symbologyInfo(symbol.symbology);
    int barHeight;
    if (o.height && o.height->value > 0)
        barHeight = s.wholeDots(*o.height);
    else if (info.defaultHeightMm > 0)
        barHeight = s.mm(info.defaultHeightMm);
    else if (info.defaultHeightModules > 0)
        barHeight = s.mm(info.defaultHeightModules * s.wantedXMm);
    else
        barHeight = std::max(static_cast<int>(std::lround(HEIGHT_SHARE_OF_WIDTH * static_cast<double>(widthDots))),
                             s.mm(MIN_HEIGHT_MM));
    return std::max(barHeight, 1);
}

// The text's em in dots: as asked, else OCR-B digits of the retail height, else from X.
double emOf(const LayoutOptions& o, const Scale& s, bool retail) {
    if (o.fontSize && o.fontSize->value > 0)
        return s.dots(*o.fontSize);
    if (retail)
        return RETAIL_DIGIT_MODULES / OCRB_DIGIT_HEIGHT * s.x;
    return std::clamp(TEXT_EM_MODULES * s.x, MIN_TEXT_EM_MM * s.dotsPerMm, MAX_TEXT_EM_MM * s.dotsPerMm);
}

// Where the bars of a linear symbol stand: from `top`, `height` dots tall;
// guards `descent` further down, add-on bars `addOnDrop` lower at the top.
// A four-state code's tracker is the band [trackerTop, trackerBottom) from
// `top`, in the middle of the full bars.
struct BarRows {
    int top = 0;
    int height = 0;
    int descent = 0;
    int addOnDrop = 0;
    int trackerTop = 0;
    int trackerBottom = 0;
};

// The tracker of a four-state code: the row's height beside its full bars',
// so that a bar height asked for keeps the proportion the postal service
// gives; at least a dot, centred (any odd dot goes below).
void placeTracker(BarRows& b, const SymbologyInfo& info) {
    if (!(info.trackerHeightMm > 0) || !(info.defaultHeightMm > 0))
        return;
    const double share = info.trackerHeightMm / info.defaultHeightMm;
    const int tracker = std::clamp(static_cast<int>(std::lround(share * b.height)), 1, b.height);
    b.trackerTop = (b.height - tracker) / 2;
    b.trackerBottom = b.trackerTop + tracker;
}

void addBars(Drawing& d, const Symbol& symbol, const Scale& s, int left, const BarRows& b, int reduction) {
    // Room for every bar at once: growing the vector a step at a time moved it over and over.
    d.rects.reserve(symbol.widths.size() / 2 + 1);
    int x = left;
    for (std::size_t i = 0; i < symbol.widths.size(); ++i) {
        const int w = symbol.widths[i] * s.x;
        if (i % 2 == 0) {
            switch (symbol.kinds[i]) {
            case BarKind::Data: addBar(d, x, b.top, w, b.height, reduction); break;
            case BarKind::Guard: addBar(d, x, b.top, w, b.height + b.descent, reduction); break;
            case BarKind::AddOn:
                addBar(d, x, b.top + b.addOnDrop, w, b.height + b.descent - b.addOnDrop, reduction);
                break;
            case BarKind::Short: {
                const int h = static_cast<int>(std::lround(POSTNET_SHORT_SHARE * b.height));
                addBar(d, x, b.top + b.height - h, w, h, reduction);
                break;
            }
            case BarKind::Ascender: addBar(d, x, b.top, w, b.trackerBottom, reduction); break;
            case BarKind::Descender:
                addBar(d, x, b.top + b.trackerTop, w, b.height - b.trackerTop, reduction);
                break;
            case BarKind::Tracker:
                addBar(d, x, b.top + b.trackerTop, w, b.trackerBottom - b.trackerTop, reduction);
                break;
            }
        }
        x += w;
    }
}

// Where the text of a linear symbol stands: its em and cap height, the
// baseline below the bars and the top of the text above them.
struct TextRows {
    double em = 0;
    double cap = 0;
    double baseline = 0;
    double top = 0;
};

void addTexts(Drawing& d, const Symbol& symbol, const Scale& s, int left, const TextRows& t, bool retail) {
    const Font font = retail ? Font::OcrB : Font::Sans;
    const double gap = s.x;
    std::size_t runs = 0;
    for (const TextSpan& span : symbol.textSpans)
        runs += retail && span.place != TextPlace::Above ? span.text.size() : 1;
    d.texts.reserve(runs);
    for (const TextSpan& span : symbol.textSpans) {
        const double size = span.small ? t.em * SMALL_DIGIT_SCALE : t.em;
        const double from = left + static_cast<double>(span.startModule) * s.x;
        const double to = left + static_cast<double>(span.endModule) * s.x;
        if (retail && span.place != TextPlace::Above) {
            placeDigits(d, span, from, to, s.x, t.baseline, size);
            continue;
        }
        switch (span.place) {
        case TextPlace::Below:
            d.texts.push_back(textRun((from + to) / 2, t.baseline, size, span.text, Anchor::Middle, font));
            break;
        case TextPlace::Above:
            d.texts.push_back(textRun((from + to) / 2, t.top + t.cap, size, span.text, Anchor::Middle, font));
            break;
        case TextPlace::LeftOf:
            d.texts.push_back(textRun(from - gap, t.baseline, size, span.text, Anchor::End, font));
            break;
        case TextPlace::RightOf:
            d.texts.push_back(textRun(to + gap, t.baseline, size, span.text, Anchor::Start, font));
            break;
        }
    }
}

Result<Plan> planLinear(const Symbol& symbol, const LayoutOptions& o, const Scale& s, int quietL, int quietR,
                        int quietV, int reduction) {
    const bool retail = isRetail(symbol.symbology);
    const long long widthDots = static_cast<long long>(symbol.widthModules) * s.x;
    const bool text = o.text && !symbol.textSpans.empty();
    TextRows t;
    t.em = emOf(o, s, retail);
    t.cap = (retail ? OCRB_DIGIT_HEIGHT : CAP_HEIGHT) * t.em;
    t.top = quietV;
    BarRows b;
    b.top = quietV;
    b.height = barHeightOf(symbol, o, s, widthDots);
    placeTracker(b, symbologyInfo(symbol.symbology));
    b.descent = retail ? s.modules(GUARD_DESCENT_MODULES) : 0;
    // Add-on bars leave room above them for their digits.
    b.addOnDrop = text ? static_cast<int>(std::ceil(t.cap + s.x)) : 0;
    t.baseline = b.top + b.height + (retail ? 0.5 * s.x : 0.25 * t.em) + t.cap;

    Plan p;
    Drawing& d = p.d;
    p.left = quietL;
    p.top = quietV;
    const int bottom = text ? static_cast<int>(std::ceil(t.baseline + (retail ? 0.1 : DESCENT) * t.em))
                            : b.top + b.height + b.descent;
    const long long canvasW = widthDots + quietL + quietR;
    const long long canvasH = static_cast<long long>(std::max(bottom, b.top + b.height + b.descent)) + quietV;
    if (canvasW * canvasH > MAX_CANVAS_DOTS || canvasW > MAX_CANVAS_DOTS || canvasH > MAX_CANVAS_DOTS)
        return tooLarge("the drawing would be " + std::to_string(canvasW) + " x " + std::to_string(canvasH) +
                        " dots, more than the 2^28 the library lays out");
    d.width = static_cast<int>(canvasW);
    d.height = static_cast<int>(canvasH);
    addBars(d, symbol, s, quietL, b, reduction);
    d.symbolBox = {quietL, b.top, static_cast<int>(widthDots), b.height + b.descent};
    if (text)
        addTexts(d, symbol, s, quietL, t, retail);
    return p;
}

// Dark modules as rectangles. Bar width reduction takes dots only from edges
// where dark meets light (half on one side, the rest on the other, as for
// bars), so two dark neighbours still touch and a dark area loses the same on
// all four sides. Dark modules side by side in a row with the same top and
// bottom become one rectangle.
void matrixRects(const Symbol& symbol, int left, int top, int moduleW, int moduleH, int reduction,
                 std::vector<Rect>& rects) {
    const int lead = reduction / 2, trail = reduction - reduction / 2;
    auto darkAt = [&](int r, int c) {
        return r >= 0 && c >= 0 && r < symbol.rows && c < symbol.columns && symbol.dark(r, c);
    };
    for (int r = 0; r < symbol.rows; ++r) {
        for (int c = 0; c < symbol.columns;) {
            if (!symbol.dark(r, c)) {
                ++c;
                continue;
            }
            const int y0 = top + r * moduleH + (darkAt(r - 1, c) ? 0 : lead);
            const int y1 = top + (r + 1) * moduleH - (darkAt(r + 1, c) ? 0 : trail);
            const int x0 = left + c * moduleW + (darkAt(r, c - 1) ? 0 : lead);
            int end = c + 1;
            while (end < symbol.columns && symbol.dark(r, end) &&
                   top + r * moduleH + (darkAt(r - 1, end) ? 0 : lead) == y0 &&
                   top + (r + 1) * moduleH - (darkAt(r + 1, end) ? 0 : trail) == y1)
                ++end;
            const int x1 = left + end * moduleW - (darkAt(r, end) ? 0 : trail);
            rects.push_back({x0, y0, x1 - x0, y1 - y0});
            c = end;
        }
    }
}

Result<Plan> planMatrix(const Symbol& symbol, const Scale& s, int quietL, int quietR, int quietV, int reduction) {
    const int moduleH = std::max(1, static_cast<int>(std::lround(symbol.moduleAspect * s.x)));
    const long long width = static_cast<long long>(symbol.columns) * s.x;
    const long long height = static_cast<long long>(symbol.rows) * moduleH;
    const long long canvasW = width + quietL + quietR;
    const long long canvasH = height + 2LL * quietV;
    if (canvasW * canvasH > MAX_CANVAS_DOTS)
        return tooLarge("the drawing would be " + std::to_string(canvasW) + " x " + std::to_string(canvasH) +
                        " dots, more than the 2^28 the library lays out");
    if (s.x - reduction <= 0 || moduleH - reduction <= 0)
        return Error{ErrorCode::InvalidOption, "the bar width reduction leaves nothing of a module"};
    Plan p;
    Drawing& d = p.d;
    d.width = static_cast<int>(canvasW);
    d.height = static_cast<int>(canvasH);
    d.matrix = true;
    p.left = quietL;
    p.top = quietV;
    d.symbolBox = {quietL, quietV, static_cast<int>(width), static_cast<int>(height)};
    matrixRects(symbol, quietL, quietV, s.x, moduleH, reduction, d.rects);
    return p;
}

// Grows the canvas sideways where text reaches beyond it.
void makeRoomForText(Drawing& d) {
    double lo = 0, hi = d.width;
    for (const TextRun& t : d.texts) {
        double from, to;
        textExtent(t, from, to);
        lo = std::min(lo, from);
        hi = std::max(hi, to);
    }
    const int grow = static_cast<int>(std::ceil(-lo));
    if (grow > 0) {
        for (Rect& r : d.rects)
            r.x += grow;
        for (TextRun& t : d.texts)
            t.x += grow;
        d.symbolBox.x += grow;
        d.quietLeft += grow;
    }
    const int right = static_cast<int>(std::ceil(hi - d.width));
    d.width += std::max(grow, 0) + std::max(right, 0);
    if (right > 0)
        d.quietRight += right;
}

Rect turn(const Rect& r, int rotation, int w, int h) {
    switch (rotation) {
    case 90: return {h - r.y - r.height, r.x, r.height, r.width};
    case 180: return {w - r.x - r.width, h - r.y - r.height, r.width, r.height};
    case 270: return {r.y, w - r.x - r.width, r.height, r.width};
    default: return r;
    }
}

void rotate(Drawing& d, int rotation) {
    if (rotation == 0)
        return;
    const int w = d.width, h = d.height;
    for (Rect& r : d.rects)
        r = turn(r, rotation, w, h);
    for (TextRun& t : d.texts) {
        const double x = t.x, y = t.y;
        switch (rotation) {
        case 90: t.x = h - y; t.y = x; break;
        case 180: t.x = w - x; t.y = h - y; break;
        default: t.x = y; t.y = w - x; break;
        }
        t.rotation = rotation;
    }
    if (rotation != 180)
        std::swap(d.width, d.height);
    d.rotation = rotation;
}

}  // namespace

namespace {

bool holdsElements(const Symbol& symbol) {
    return symbol.isMatrix() ? symbol.columns > 0 && symbol.moduleAspect > 0 && symbol.moduleAspect <= 100 &&
                                   symbol.modules.size() == static_cast<std::size_t>(symbol.rows) * symbol.columns
                             : !symbol.widths.empty() && symbol.kinds.size() == symbol.widths.size();
}

// X snapped to whole dots, at least one; `xMm` the X reached (0 without a
// resolution), with a warning where it strays from the X asked for or falls
// below the symbology's minimum.
Scale scaleOf(const LayoutOptions& o, const SymbologyInfo& info, double& xMm, std::vector<std::string>& warnings) {
    Scale s;
    xMm = 0;
    if (o.dpi > 0) {
        const double wanted = o.xDim ? o.xDim->mm(o.dpi) : info.defaultXMm;
        s.dotsPerMm = o.dpi / MM_PER_INCH;
        s.wantedXMm = wanted;
        s.x = std::max(1, static_cast<int>(std::lround(wanted * s.dotsPerMm)));
        xMm = s.x / s.dotsPerMm;
        if (std::fabs(xMm - wanted) > 0.05 * wanted)
            warnings.push_back(format("X of %.4g mm", wanted) + format(" becomes %.4g mm", xMm) +
                               format(" at %g dpi (whole dots)", o.dpi));
        if (xMm < info.minXMm * 0.999)
            warnings.push_back(format("X of %.4g mm", xMm) + " is below the " + std::string(info.title) +
                               format(" minimum of %g mm", info.minXMm));
    } else {
        s.x = o.xDim ? std::max(1, static_cast<int>(std::lround(o.xDim->value))) : DEFAULT_MODULE_DOTS;
        s.dotsPerMm = s.x / info.defaultXMm;  // millimetre settings keep their proportion to X
        s.wantedXMm = info.defaultXMm;
    }
    return s;
}

// Lengths beyond these are refused before anything is sized by them.
Status checkDots(const LayoutOptions& o, const Scale& s) {
    const double maxDots = limits().lengthMm * s.dotsPerMm;
    for (const std::optional<Length>* l : {&o.height, &o.fontSize, &o.barReduction})
        if (*l && s.dots(**l) > maxDots)
            return tooLarge(format("%g mm is beyond the 2 m the library lays out", s.dots(**l) / s.dotsPerMm));
    if (o.fontSize && s.dots(*o.fontSize) > limits().fontMm * s.dotsPerMm)
        return tooLarge(format("a font size of %g mm is beyond the 50 mm the library draws", s.dots(*o.fontSize) / s.dotsPerMm));
    for (const std::optional<Length>* q : {&o.quietLeft, &o.quietRight, &o.quietVertical})
        if (*q && s.dots(**q) > MAX_QUIET_MODULES * s.x)
            return tooLarge(format("a quiet zone of %g modules is beyond the 1,000 the library lays out",
                                   s.dots(**q) / s.x));
    return Done{};
}

// EAN/UPC shorter than the GS1 height for their X ("truncated") defeat the
// omnidirectional scanners at a till, which sweep the bars at an angle.
void warnTruncated(const Symbol& symbol, const LayoutOptions& o, const Scale& s, std::vector<std::string>& warnings) {
    const SymbologyInfo& info = symbologyInfo(symbol.symbology);
    if (!isRetail(symbol.symbology) || info.defaultHeightModules <= 0 || !o.height || !(o.height->value > 0))
        return;
    const double standardMm = info.defaultHeightModules * s.wantedXMm;
    const double askedMm = o.height->inModules() ? o.height->value * s.wantedXMm : s.dots(*o.height) / s.dotsPerMm;
    if (askedMm < 0.999 * standardMm)
        warnings.push_back(format("a bar height of %.3g mm", askedMm) + " is below the " +
                           format("%.4g mm", standardMm) + " GS1 gives " + std::string(info.title) +
                           format(" at X %.4g mm", s.wantedXMm) + "; scanners at a till may not read it");
}

// The quiet zones in dots: as asked (with a warning below the standard's), else the standard's.
struct Quiet {
    int left = 0, right = 0, vertical = 0;
};

Quiet quietOf(const LayoutOptions& o, const SymbologyInfo& info, const Scale& s, std::vector<std::string>& warnings) {
    auto quiet = [&](const std::optional<Length>& option, int standard, const char* side) {
        if (!option)
            return s.modules(standard);
        const double inModules = s.dots(*option) / s.x;
        if (inModules < standard - 1e-9)
            warnings.push_back(std::string("the ") + side + " quiet zone of " + format("%g", inModules) +
                               " modules is below the " + std::to_string(standard) + " the standard asks for");
        return static_cast<int>(std::lround(s.dots(*option)));
    };
    Quiet q;
    q.left = quiet(o.quietLeft, info.quietLeft, "left");
    q.right = quiet(o.quietRight, info.quietRight, "right");
    q.vertical = quiet(o.quietVertical, info.quietVertical, "vertical");
    return q;
}

// The drawing's record of how it was made, then its text room, colours and rotation.
Status finish(Drawing& d, const Symbol& symbol, const LayoutOptions& o, const Scale& s, double xMm, int reduction,
              const Quiet& q, std::vector<std::string>& warnings) {
    d.dpi = o.dpi;
    d.foreground = o.foreground;
    d.background = o.background;
    d.moduleDots = s.x;
    d.xMm = xMm;
    d.barReductionDots = reduction;
    d.quietLeft = q.left;
    d.quietRight = q.right;
    d.quietTop = q.vertical;
    d.quietBottom = q.vertical;
    if (!symbol.isMatrix())
        makeRoomForText(d);
    if (static_cast<long long>(d.width) * d.height > MAX_CANVAS_DOTS)
        return tooLarge("the drawing with its text would be more than 2^28 dots");
    if (o.foreground == o.background)
        return Error{ErrorCode::InvalidOption, "the foreground and background colours are the same"};
    const auto luminance = [](Colour c) { return 299 * c.r + 587 * c.g + 114 * c.b; };
    if (!o.background.transparent() && luminance(o.foreground) >= luminance(o.background))
        warnings.push_back("the bars are not darker than the background; many scanners cannot read such a symbol");
    rotate(d, o.rotation);
    d.warnings = std::move(warnings);
    return Done{};
}

}  // namespace

Result<Drawing> layout(const Symbol& symbol, const LayoutOptions& o) {
    if (const Status ok = checkOptions(o, symbol.symbology); !ok)
        return ok.error();
    if (!holdsElements(symbol))
        return Error{ErrorCode::InvalidData, "the symbol holds no elements to lay out"};
    const SymbologyInfo& info = symbologyInfo(symbol.symbology);
    std::vector<std::string> warnings;
    double xMm = 0;
    const Scale s = scaleOf(o, info, xMm, warnings);
    if (const Status ok = checkDots(o, s); !ok)
        return ok.error();
    const int reduction = o.barReduction ? s.wholeDots(*o.barReduction) : 0;
    if (reduction >= s.x)
        return Error{ErrorCode::InvalidOption, format("a bar width reduction of %g mm", reduction / s.dotsPerMm) +
                                                   " leaves nothing of a module of " + std::to_string(s.x) + " dots"};
    warnTruncated(symbol, o, s, warnings);
    const Quiet q = quietOf(o, info, s, warnings);
    Result<Plan> plan = symbol.isMatrix() ? planMatrix(symbol, s, q.left, q.right, q.vertical, reduction)
                                          : planLinear(symbol, o, s, q.left, q.right, q.vertical, reduction);
    if (!plan)
        return plan.error();
    if (const Status done = finish(plan->d, symbol, o, s, xMm, reduction, q, warnings); !done)
        return done.error();
    return std::move(plan->d);
}

Status checkLayoutOptions(const LayoutOptions& options, Symbology symbology) {
    return checkOptions(options, symbology);
}

}  // namespace korvane
