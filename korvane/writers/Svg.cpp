// SVG 1.1: the canvas in millimetres (pixels without a resolution), a view box
// in dots, every bar in one path and each text run as <text>.
//
// Bars of the same top and height are one polygon per row: along the top of a
// bar, down its right edge, along the bottom of the gap to the next bar, up
// its left edge, and so on, closed along the bottom back to the start. The
// closing line runs over the gaps' bottom edges in the other direction, so the
// gaps enclose no area and only the bars are filled. A 151 x 151 Aztec symbol
// stays well under 60 KB this way, where a <rect> per run of modules would
// take four times as much.

#include "writers/Writers.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numeric>

namespace korvane::writers {
namespace {

// Families that render everywhere: the Debian font's family name and its
// common spellings first, then the generic family.
constexpr const char* OCRB_FAMILIES = "OCR-B, OCRB, 'OCR B', monospace";
constexpr const char* SANS_FAMILIES = "'DejaVu Sans', Helvetica, Arial, sans-serif";

void appendHex(std::string& out, std::uint8_t v) {
    constexpr char DIGITS[] = "0123456789abcdef";
    out += DIGITS[v >> 4];
    out += DIGITS[v & 15];
}

// fill="#rrggbb", with fill-opacity where the colour is translucent.
void appendFill(std::string& out, Colour c) {
    out += " fill=\"#";
    appendHex(out, c.r);
    appendHex(out, c.g);
    appendHex(out, c.b);
    out += '"';
    if (!c.opaque()) {
        out += " fill-opacity=\"";
        appendNumber(out, c.a / 255.0, 4);
        out += '"';
    }
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Character data: markup characters as entities; code points are already free
// of the control characters XML forbids.
void appendEscaped(std::string& out, const std::u32string& text) {
    for (char32_t c : text) {
        switch (c) {
        case U'<': out += "&lt;"; break;
        case U'>': out += "&gt;"; break;
        case U'&': out += "&amp;"; break;
        default: appendUtf8(out, c);
        }
    }
}

int gcd(int a, int b) { return std::gcd(a, b); }

void appendBars(std::string& out, const Drawing& d) {
    std::vector<Rect> rects;
    rects.reserve(d.rects.size());
    int unit = 0;
    for (const Rect& r : d.rects) {
        Rect c;
        if (!clipToCanvas(r, d, c))
            continue;
        rects.push_back(c);
        // Once found, the unit divides nearly every rectangle: test before taking gcds.
        if (unit == 0 || c.x % unit != 0 || c.y % unit != 0 || c.width % unit != 0 || c.height % unit != 0)
            unit = gcd(gcd(unit, c.x), gcd(gcd(unit, c.y), gcd(c.width, c.height)));
    }
    if (rects.empty())
        return;
    const auto rowOrder = [](const Rect& a, const Rect& b) {
        if (a.y != b.y)
            return a.y < b.y;
        if (a.height != b.height)
            return a.height < b.height;
        return a.x < b.x;
    };
    if (!std::is_sorted(rects.begin(), rects.end(), rowOrder))
        std::sort(rects.begin(), rects.end(), rowOrder);

    out += "<path";
    appendFill(out, d.foreground);
    out += " shape-rendering=\"crispEdges\"";
    if (unit > 1) {
        // Every coordinate is a multiple of `unit` dots (a module, usually): written in those units.
        out += " transform=\"scale(";
        appendInt(out, unit);
        out += ")\"";
    }
    out += " d=\"";
    // The path data straight into a buffer of its largest size: a rectangle
    // writes at most four numbers of up to 20 characters and six letters.
    const std::size_t room = rects.size() * 90 + 64;
    const std::unique_ptr<char[]> path(new char[room]);  // left uninitialised: it is written before it is read
    char* p = path.get();
    const auto put = [&p](char c) { *p++ = c; };
    const auto number = [&p](long long v) {
        char digits[24];
        int n = 0;
        unsigned long long u = v < 0 ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
        do {
            digits[n++] = static_cast<char>('0' + u % 10);
            u /= 10;
        } while (u != 0);
        if (v < 0)
            *p++ = '-';
        while (n > 0)
            *p++ = digits[--n];
    };
    long long startX = 0, startY = 0;  // where the last polygon began: the current point after 'z'
    for (std::size_t i = 0; i < rects.size();) {
        const int y = rects[i].y / unit;
        const int h = rects[i].height / unit;
        const int x0 = rects[i].x / unit;
        if (i == 0) {
            put('M');
            number(x0);
            put(' ');
            number(y);
        } else {
            put('m');
            number(x0 - startX);
            put(' ');
            number(y - startY);
        }
        startX = x0;
        startY = y;
        long long at = x0;  // x of the pen: top-left of the first bar, bottom-right of the others
        bool first = true;
        while (i < rects.size() && rects[i].y / unit == y && rects[i].height / unit == h) {
            const long long from = rects[i].x / unit;
            long long to = from + rects[i].width / unit;
            ++i;
            // Bars that touch are one bar.
            while (i < rects.size() && rects[i].y / unit == y && rects[i].height / unit == h &&
                   rects[i].x / unit == to) {
                to += rects[i].width / unit;
                ++i;
            }
            if (!first) {
                put('h');
                number(from - at);
                put('v');
                number(-h);
            }
            put('h');
            number(to - from);
            put('v');
            number(h);
            at = to;
            first = false;
        }
        put('H');
        number(x0);
        put('z');
    }
    out.append(path.get(), static_cast<std::size_t>(p - path.get()));
    out += "\"/>\n";
}

// What follows a text's x up to its characters: y, font, size, anchor, turn
// and fill. The text runs of a symbol mostly share all of these (the digits
// under an EAN-13 differ in x alone), so the writer makes the attributes once
// and reuses them while they stay the same.
struct TextAttributes {
    const TextRun* from = nullptr;  // the run they were made for
    std::string text;

    bool fits(const TextRun& t) const {
        // A turn is about the run's own x: made again for each turned run.
        return from && t.rotation == 0 && from->rotation == 0 && t.y == from->y && t.size == from->size &&
               t.font == from->font && t.anchor == from->anchor;
    }
    void make(const TextRun& t, Colour colour) {
        from = &t;
        text.clear();
        text += "\" y=\"";
        appendNumber(text, t.y, 2);
        text += "\" font-family=\"";
        text += t.font == Font::OcrB ? OCRB_FAMILIES : SANS_FAMILIES;
        text += "\" font-size=\"";
        appendNumber(text, t.size, 2);
        text += '"';
        if (t.anchor != Anchor::Start)
            text += t.anchor == Anchor::Middle ? " text-anchor=\"middle\"" : " text-anchor=\"end\"";
        if (const int rotation = normalRotation(t.rotation); rotation != 0) {
            text += " transform=\"rotate(";
            appendInt(text, rotation);  // clockwise, as y runs downwards
            text += ' ';
            appendNumber(text, t.x, 2);
            text += ' ';
            appendNumber(text, t.y, 2);
            text += ")\"";
        }
        appendFill(text, colour);
        text += " xml:space=\"preserve\">";
    }
};

void appendText(std::string& out, const TextRun& t, Colour colour, TextAttributes& attributes) {
    if (!attributes.fits(t))
        attributes.make(t, colour);
    out += "<text x=\"";
    appendNumber(out, t.x, 2);
    out += attributes.text;
    // Printable ASCII without markup characters is written as it stands.
    const bool plain = std::all_of(t.text.begin(), t.text.end(),
                                   [](char c) { return c >= ' ' && c <= '~' && c != '<' && c != '>' && c != '&'; });
    if (plain)
        out += t.text;
    else
        appendEscaped(out, codePoints(t.text));
    out += "</text>\n";
}

// A length in millimetres to 6 places, never above the exact value, so a
// renderer that rounds the size up in pixels gets the canvas's own count.
void appendLength(std::string& out, double mm) {
    double rounded = std::round(mm * 1e6) / 1e6;
    if (rounded > mm)
        rounded -= 1e-6;
    appendNumber(out, rounded, 6);
}

}  // namespace

Result<Written> writeSvg(const Drawing& d, const WriteOptions&) {
    std::string out;
    out.reserve(512 + d.rects.size() * 12 + d.texts.size() * 160);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"";
    const bool physical = std::isfinite(d.dpi) && d.dpi > 0;
    const char* unit = physical ? "mm" : "px";
    appendLength(out, physical ? d.widthMm() : d.width);
    out += unit;
    out += "\" height=\"";
    appendLength(out, physical ? d.heightMm() : d.height);
    out += unit;
    out += "\" viewBox=\"";
    appendInts(out, 0, 0, d.width, d.height);
    out += "\">\n";
    if (!d.background.transparent()) {
        out += "<rect width=\"";
        appendInt(out, d.width);
        out += "\" height=\"";
        appendInt(out, d.height);
        out += '"';
        appendFill(out, d.background);
        out += "/>\n";
    }
    appendBars(out, d);
    TextAttributes attributes;
    for (const TextRun& t : d.texts)
        if (drawable(t))
            appendText(out, t, d.foreground, attributes);
    out += "</svg>\n";

    Written w;
    w.bytes = bytesOf(out);
    return w;
}

}  // namespace korvane::writers
