// Windows enhanced metafiles for any drawing, through the record encoder
// barlane uses (formats/EmfRecords): one logical unit per dot, the reference
// device a page at the drawing's resolution, so the frame is the canvas's
// physical size. Rectangles are drawn with a pen and brush of the same colour,
// as GDI's Rectangle() covers [left, right) x [top, bottom) that way. Text is
// ExtTextOutW on the baseline with the anchor as the text alignment, in
// "OCR B" (fixed pitch, so Windows substitutes a monospace face where it is
// missing) or Arial. GDI has no alpha: translucent colours are flattened.

#include "writers/Writers.h"

#include <EmfRecords.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvane::writers {
namespace {

constexpr std::uint32_t PEN_SLOT = 1;
constexpr std::uint32_t BRUSH_SLOT = 2;
constexpr std::uint32_t FONT_SLOT = 3;

// The reference page when the canvas is smaller: A4's width and height.
constexpr double PAGE_WIDTH_MM = 210;
constexpr double PAGE_HEIGHT_MM = 297;

std::uint32_t colorRef(Colour c) { return emf::colorRef(c.r, c.g, c.b); }

std::int32_t clampInt(double v) {
    return static_cast<std::int32_t>(std::clamp(std::round(v), 1.0, static_cast<double>(std::numeric_limits<std::int32_t>::max())));
}

emf::Device deviceFor(const Drawing& d, double dpi) {
    emf::Device dev;
    dev.widthPx = std::max(d.width, clampInt(PAGE_WIDTH_MM / 25.4 * dpi));
    dev.heightPx = std::max(d.height, clampInt(PAGE_HEIGHT_MM / 25.4 * dpi));
    dev.widthUm = clampInt(dev.widthPx * 25400.0 / dpi);
    dev.heightUm = clampInt(dev.heightPx * 25400.0 / dpi);
    return dev;
}

std::u16string utf16(const std::u32string& text) {
    std::u16string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

void penAndBrush(emf::MetafileBuilder& b, std::uint32_t colour) {
    b.createPen(PEN_SLOT, colour);
    b.select(PEN_SLOT);
    b.createBrush(BRUSH_SLOT, colour);
    b.select(BRUSH_SLOT);
}

void dropPenAndBrush(emf::MetafileBuilder& b) {
    b.remove(PEN_SLOT);
    b.remove(BRUSH_SLOT);
}

void text(emf::MetafileBuilder& b, const TextRun& t) {
    const std::u32string points = codePoints(t.text);
    emf::Font font;
    font.height = -std::max(1, static_cast<int>(std::lround(std::min(t.size, 1e6))));  // the em, not the cell
    font.escapement = ((360 - normalRotation(t.rotation)) % 360) * 10;
    if (t.font == Font::OcrB) {
        font.face = "OCR B";
        font.pitchAndFamily = emf::FIXED_PITCH | emf::FF_MODERN;
    } else {
        font.face = "Arial";
        font.pitchAndFamily = emf::VARIABLE_PITCH | emf::FF_SWISS;
    }
    b.createFont(FONT_SLOT, font);
    b.select(FONT_SLOT);
    b.setTextAlign(emf::TA_BASELINE | (t.anchor == Anchor::Start    ? emf::TA_LEFT
                                       : t.anchor == Anchor::Middle ? emf::TA_CENTER
                                                                    : emf::TA_RIGHT));
    // The area the run covers, estimated at 0.6 em per character, for the bounds.
    const Direction dir = direction(t.rotation);
    const double length = 0.6 * t.size * static_cast<double>(points.size());
    const double back = t.anchor == Anchor::Start ? 0 : t.anchor == Anchor::Middle ? length / 2 : length;
    const double x0 = t.x - back * dir.cos, y0 = t.y - back * dir.sin;
    const double x1 = x0 + length * dir.cos + t.size * dir.sin, y1 = y0 + length * dir.sin - t.size * dir.cos;
    const auto at = [](double v) { return static_cast<std::int64_t>(std::llround(std::clamp(v, -1e15, 1e15))); };
    b.textOutW(at(t.x), at(t.y), utf16(points), 0,
               {at(std::min(x0, x1)), at(std::min(y0, y1)), at(std::max(x0, x1)), at(std::max(y0, y1))});
    b.remove(FONT_SLOT);
}

}  // namespace

Result<Written> writeEmf(const Drawing& d, const WriteOptions& options) {
    emf::MetafileBuilder b;
    b.setDevice(deviceFor(d, resolutionOf(d, options)));
    b.setBounds({0, 0, d.width - 1, d.height - 1});
    if (!d.background.transparent()) {
        penAndBrush(b, colorRef(onPaper(d.background)));
        b.rectangle({0, 0, d.width, d.height});
        dropPenAndBrush(b);
    }
    const Colour ink = onPaper(d.background.transparent() ? d.foreground : over(d.foreground, d.background));
    penAndBrush(b, colorRef(ink));
    for (const Rect& r : d.rects) {
        Rect c;
        if (clipToCanvas(r, d, c))
            b.rectangle({c.x, c.y, static_cast<std::int64_t>(c.x) + c.width, static_cast<std::int64_t>(c.y) + c.height});
    }
    dropPenAndBrush(b);
    bool textSetUp = false;
    for (const TextRun& t : d.texts) {
        if (!drawable(t))
            continue;
        if (!textSetUp) {
            b.setBkMode(emf::TRANSPARENT);
            b.setTextColor(colorRef(ink));
            textSetUp = true;
        }
        text(b, t);
    }
    Written w;
    w.bytes = b.finish();
    return w;
}

}  // namespace korvane::writers
