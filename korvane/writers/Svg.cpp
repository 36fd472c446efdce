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
#include <cstring>
#include <memory>
#include <numeric>

namespace korvane::writers {
namespace {

// Families that render everywhere: the Debian font's family name and its
// common spellings first, then the generic family.
constexpr std::string_view OCRB_FAMILIES = "OCR-B, OCRB, 'OCR B', monospace";
constexpr std::string_view SANS_FAMILIES = "'DejaVu Sans', Helvetica, Arial, sans-serif";

// The file is written through a cursor into room reserved for its largest
// size. Appending each piece to a std::string is a call into the C++ library
// (in the size-optimised WebAssembly build, a chain of them), and that was
// most of the writer's time.
struct Cursor {
    char* p;

    template <std::size_t N>
    void put(const char (&literal)[N]) {
        std::memcpy(p, literal, N - 1);
        p += N - 1;
    }
    void put(std::string_view s) {
        std::memcpy(p, s.data(), s.size());
        p += s.size();
    }
    void put(char c) { *p++ = c; }
    void number(double v, int decimals) { p = formatNumber(p, v, decimals); }
    void integer(long long v) { p = formatInt(p, v); }
};

// Room for a fill attribute: the literals and one number.
constexpr std::size_t FILL_ROOM = 48 + NUMBER_ROOM;

void putHex(Cursor& out, std::uint8_t v) {
    constexpr char DIGITS[] = "0123456789abcdef";
    out.put(DIGITS[v >> 4]);
    out.put(DIGITS[v & 15]);
}

// fill="#rrggbb", with fill-opacity where the colour is translucent.
void putFill(Cursor& out, Colour c) {
    out.put(" fill=\"#");
    putHex(out, c.r);
    putHex(out, c.g);
    putHex(out, c.b);
    out.put('"');
    if (!c.opaque()) {
        out.put(" fill-opacity=\"");
        out.number(c.a / 255.0, 4);
        out.put('"');
    }
}

void putUtf8(Cursor& out, char32_t c) {
    if (c < 0x80) {
        out.put(static_cast<char>(c));
    } else if (c < 0x800) {
        out.put(static_cast<char>(0xC0 | c >> 6));
        out.put(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.put(static_cast<char>(0xE0 | c >> 12));
        out.put(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out.put(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.put(static_cast<char>(0xF0 | c >> 18));
        out.put(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
        out.put(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out.put(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// Character data: markup characters as entities; code points are already free
// of the control characters XML forbids. A byte of text becomes at most five
// bytes here ("&amp;"; a stray byte is a two-byte character).
constexpr std::size_t ESCAPED_ROOM_PER_BYTE = 5;
void putEscaped(Cursor& out, std::string_view text) {
    // Printable ASCII without markup characters is written as it stands.
    if (std::all_of(text.begin(), text.end(),
                    [](char c) { return c >= ' ' && c <= '~' && c != '<' && c != '>' && c != '&'; })) {
        out.put(text);
        return;
    }
    for (char32_t c : codePoints(text)) {
        switch (c) {
        case U'<': out.put("&lt;"); break;
        case U'>': out.put("&gt;"); break;
        case U'&': out.put("&amp;"); break;
        default: putUtf8(out, c);
        }
    }
}

int gcd(int a, int b) { return std::gcd(a, b); }

// The bars clipped to the canvas, in rows, and the unit that divides every
// coordinate.
std::vector<Rect> clippedBars(const Drawing& d, int& unit) {
    // Rectangles wholly on the canvas, as layouts make them, are taken as they
    // are in one copy; otherwise each is clipped.
    const Rect* given = d.rects.data();
    const std::size_t count = d.rects.size();
    bool inside = true;
    for (std::size_t i = 0; i < count && inside; ++i) {
        const Rect& r = given[i];
        inside = r.width > 0 && r.height > 0 && r.x >= 0 && r.y >= 0 &&
                 static_cast<long long>(r.x) + r.width <= d.width && static_cast<long long>(r.y) + r.height <= d.height;
    }
    std::vector<Rect> rects;
    if (inside) {
        rects.assign(given, given + count);
    } else {
        rects.reserve(count);
        for (const Rect& r : d.rects)
            if (Rect c; clipToCanvas(r, d, c))
                rects.push_back(c);
    }
    unit = 0;
    for (std::size_t i = 0; i < rects.size(); ++i) {
        const Rect& c = rects.data()[i];
        // Once found, the unit divides nearly every rectangle: test before taking gcds.
        if (unit == 0 || c.x % unit != 0 || c.y % unit != 0 || c.width % unit != 0 || c.height % unit != 0)
            unit = gcd(gcd(unit, c.x), gcd(gcd(unit, c.y), gcd(c.width, c.height)));
    }
    const auto rowOrder = [](const Rect& a, const Rect& b) {
        if (a.y != b.y)
            return a.y < b.y;
        if (a.height != b.height)
            return a.height < b.height;
        return a.x < b.x;
    };
    if (!std::is_sorted(rects.begin(), rects.end(), rowOrder))
        std::sort(rects.begin(), rects.end(), rowOrder);
    return rects;
}

// Room for the path of `count` rectangles: each writes at most four numbers
// of up to 20 characters and six letters; the element's own text besides.
std::size_t barsRoom(std::size_t count) { return count * 90 + 128 + FILL_ROOM + INT_ROOM; }

void putBars(Cursor& out, const std::vector<Rect>& rects, int unit, Colour foreground) {
    if (rects.empty())
        return;
    out.put("<path");
    putFill(out, foreground);
    out.put(" shape-rendering=\"crispEdges\"");
    if (unit > 1) {
        // Every coordinate is a multiple of `unit` dots (a module, usually): written in those units.
        out.put(" transform=\"scale(");
        out.integer(unit);
        out.put(")\"");
    }
    out.put(" d=\"");
    char*& p = out.p;
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
    out.put("\"/>\n");
}

// What follows a text's x up to its characters: y, font, size, anchor, turn
// and fill. The text runs of a symbol mostly share all of these (the digits
// under an EAN-13 differ in x alone), so the writer makes the attributes once
// and reuses them while they stay the same.
struct TextAttributes {
    static constexpr std::size_t ROOM = 160 + 5 * NUMBER_ROOM + INT_ROOM + FILL_ROOM;
    const TextRun* from = nullptr;  // the run they were made for
    char text[ROOM];
    std::size_t length = 0;

    bool fits(const TextRun& t) const {
        // A turn is about the run's own x: made again for each turned run.
        return from && t.rotation == 0 && from->rotation == 0 && t.y == from->y && t.size == from->size &&
               t.font == from->font && t.anchor == from->anchor;
    }
    void make(const TextRun& t, Colour colour) {
        from = &t;
        Cursor out{text};
        out.put("\" y=\"");
        out.number(t.y, 2);
        out.put("\" font-family=\"");
        out.put(t.font == Font::OcrB ? OCRB_FAMILIES : SANS_FAMILIES);
        out.put("\" font-size=\"");
        out.number(t.size, 2);
        out.put('"');
        if (t.anchor != Anchor::Start) {
            if (t.anchor == Anchor::Middle)
                out.put(" text-anchor=\"middle\"");
            else
                out.put(" text-anchor=\"end\"");
        }
        if (const int rotation = normalRotation(t.rotation); rotation != 0) {
            out.put(" transform=\"rotate(");
            out.integer(rotation);  // clockwise, as y runs downwards
            out.put(' ');
            out.number(t.x, 2);
            out.put(' ');
            out.number(t.y, 2);
            out.put(")\"");
        }
        putFill(out, colour);
        out.put(" xml:space=\"preserve\">");
        length = static_cast<std::size_t>(out.p - text);
    }
};

std::size_t textRoom(const TextRun& t) {
    return 32 + NUMBER_ROOM + TextAttributes::ROOM + t.text.size() * ESCAPED_ROOM_PER_BYTE;
}

void putText(Cursor& out, const TextRun& t, Colour colour, TextAttributes& attributes) {
    if (!attributes.fits(t))
        attributes.make(t, colour);
    out.put("<text x=\"");
    out.number(t.x, 2);
    out.put(std::string_view(attributes.text, attributes.length));
    putEscaped(out, t.text);
    out.put("</text>\n");
}

// A length in millimetres to 6 places, never above the exact value, so a
// renderer that rounds the size up in pixels gets the canvas's own count.
void putLength(Cursor& out, double mm) {
    double rounded = std::round(mm * 1e6) / 1e6;
    if (rounded > mm)
        rounded -= 1e-6;
    out.number(rounded, 6);
}

}  // namespace

Result<Written> writeSvg(const Drawing& d, const WriteOptions&) {
    int unit = 0;
    const std::vector<Rect> rects = clippedBars(d, unit);
    std::size_t room = 320 + 2 * NUMBER_ROOM + 4 * INT_ROOM + 64 + 2 * INT_ROOM + FILL_ROOM + barsRoom(rects.size());
    for (const TextRun& t : d.texts)
        room += textRoom(t);

    // Left uninitialised: it is written before it is read. (A vector resized
    // to the room would set every byte first, one call a byte at -Oz.)
    const std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[room]);
    char* const start = reinterpret_cast<char*>(buffer.get());
    Cursor out{start};
    out.put("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
            "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"");
    const bool physical = std::isfinite(d.dpi) && d.dpi > 0;
    const std::string_view unitName = physical ? "mm" : "px";
    putLength(out, physical ? d.widthMm() : d.width);
    out.put(unitName);
    out.put("\" height=\"");
    putLength(out, physical ? d.heightMm() : d.height);
    out.put(unitName);
    out.put("\" viewBox=\"0 0 ");
    out.integer(d.width);
    out.put(' ');
    out.integer(d.height);
    out.put("\">\n");
    if (!d.background.transparent()) {
        out.put("<rect width=\"");
        out.integer(d.width);
        out.put("\" height=\"");
        out.integer(d.height);
        out.put('"');
        putFill(out, d.background);
        out.put("/>\n");
    }
    putBars(out, rects, unit, d.foreground);
    TextAttributes attributes;
    for (const TextRun& t : d.texts)
        if (drawable(t))
            putText(out, t, d.foreground, attributes);
    out.put("</svg>\n");
    Written w;
    w.bytes.assign(buffer.get(), buffer.get() + (out.p - start));
    return w;
}

}  // namespace korvane::writers
