// A multi-page PDF from Drawings. Each page's content stream draws in the
// drawing's own dots, y downwards: one transformation at the top of the stream
// (72/dpi points per dot, origin moved to the top-left corner) lets every
// rectangle be written as four integers.

#include "PdfPages.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace korvane {
namespace {

constexpr double POINTS_PER_INCH = 72;
constexpr double ADVANCE = 0.6;  // Courier advances 600/1000 em per character
constexpr double PI = 3.14159265358979323846;

class Out {
public:
    void text(std::string_view s) { bytes_.insert(bytes_.end(), s.begin(), s.end()); }
    void integer(long long v) {
        char buf[24];
        const auto r = std::to_chars(buf, buf + sizeof buf, v);
        bytes_.insert(bytes_.end(), buf, r.ptr);
    }
    void number(double v) {
        char buf[64];
        const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 3);
        bytes_.insert(bytes_.end(), buf, r.ptr);
    }
    // Overwrites `digits` characters at `at` with v, zero-padded.
    void patch(std::size_t at, std::size_t v, int digits) {
        for (int i = digits - 1; i >= 0; --i, v /= 10)
            bytes_[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>('0' + v % 10);
    }
    std::size_t size() const { return bytes_.size(); }
    std::vector<std::uint8_t>& bytes() { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

void colour(Out& o, const Colour& c, const char* op) {
    o.number(c.r / 255.0);
    o.text(" ");
    o.number(c.g / 255.0);
    o.text(" ");
    o.number(c.b / 255.0);
    o.text(" ");
    o.text(op);
    o.text("\n");
}

// UTF-8 to the one-byte WinAnsi text of a PDF string, with ( ) \ escaped.
// Characters outside Latin-1 become '?', control characters spaces; bytes
// that are not UTF-8 are taken as Latin-1.
std::string pdfString(const std::string& s, std::size_t& characters) {
    std::string out;
    characters = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        unsigned code = c;
        if (c >= 0xC0 && c < 0xE0 && i + 1 < s.size() && (static_cast<unsigned char>(s[i + 1]) >> 6) == 2) {
            code = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3Fu);
            ++i;
        } else if (c >= 0xE0 && c < 0xF8) {
            std::size_t extra = c >= 0xF0 ? 3 : 2;
            bool valid = i + extra < s.size();
            for (std::size_t k = 1; valid && k <= extra; ++k)
                valid = (static_cast<unsigned char>(s[i + k]) >> 6) == 2;
            if (valid) {
                code = '?';
                i += extra;
            }
        }
        ++characters;
        if (code < 32 || code == 127 || (code >= 128 && code < 160))
            code = ' ';
        else if (code > 255)
            code = '?';
        if (code == '(' || code == ')' || code == '\\')
            out += '\\';
        out += static_cast<char>(code);
    }
    return out;
}

void content(Out& o, const Drawing& d) {
    const double scale = POINTS_PER_INCH / d.dpi;
    o.text("q\n");
    if (!d.background.transparent()) {
        colour(o, d.background, "rg");
        o.text("0 0 ");
        o.number(d.width * scale);
        o.text(" ");
        o.number(d.height * scale);
        o.text(" re f\n");
    }
    o.number(scale);
    o.text(" 0 0 ");
    o.number(-scale);
    o.text(" 0 ");
    o.number(d.height * scale);
    o.text(" cm\n");
    colour(o, d.foreground, "rg");
    for (const Rect& r : d.rects) {
        o.integer(r.x);
        o.text(" ");
        o.integer(r.y);
        o.text(" ");
        o.integer(r.width);
        o.text(" ");
        o.integer(r.height);
        o.text(" re\n");
    }
    if (!d.rects.empty())
        o.text("f\n");
    for (const TextRun& t : d.texts) {
        std::size_t characters = 0;
        const std::string s = pdfString(t.text, characters);
        const double radians = t.rotation * PI / 180;
        const double cx = std::cos(radians), sy = std::sin(radians);
        const double width = characters * ADVANCE * t.size;
        const double back = t.anchor == Anchor::Start ? 0 : t.anchor == Anchor::Middle ? width / 2 : width;
        o.text("BT /F1 ");
        o.number(t.size);
        o.text(" Tf ");
        // Glyph x along the text's direction, glyph up turned with it (y is downwards here).
        for (double v : {cx, sy, sy, -cx, t.x - back * cx, t.y - back * sy}) {
            o.number(v);
            o.text(" ");
        }
        o.text("Tm (");
        o.text(s);
        o.text(") Tj ET\n");
    }
    o.text("Q\n");
}

}  // namespace

Result<std::vector<std::uint8_t>> writePdfPages(const std::vector<Drawing>& pages) {
    if (pages.empty())
        return Error{ErrorCode::InvalidOption, "a PDF needs at least one page"};
    for (const Drawing& d : pages)
        if (!(d.dpi > 0))
            return Error{ErrorCode::InvalidOption, "a PDF page needs a drawing with a resolution"};
    Out o;
    // About 24 bytes a rectangle and 100 a line of text, so the file grows once.
    std::size_t estimate = 4096;
    for (const Drawing& d : pages)
        estimate += 512 + d.rects.size() * 24 + d.texts.size() * 100;
    o.bytes().reserve(estimate);
    std::vector<std::size_t> offsets;  // of objects 1..n
    auto object = [&](std::size_t number) {
        if (offsets.size() < number)
            offsets.resize(number);
        offsets[number - 1] = o.size();
        o.integer(static_cast<long long>(number));
        o.text(" 0 obj\n");
    };
    o.text("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
    // Objects: 1 catalogue, 2 page tree, 3 font, then a page and its content per page.
    const std::size_t count = pages.size();
    object(1);
    o.text("<< /Type /Catalog /Pages 2 0 R >>\nendobj\n");
    object(2);
    o.text("<< /Type /Pages /Count ");
    o.integer(static_cast<long long>(count));
    o.text(" /Kids [");
    for (std::size_t i = 0; i < count; ++i) {
        o.integer(static_cast<long long>(4 + 2 * i));
        o.text(" 0 R ");
    }
    o.text("] >>\nendobj\n");
    object(3);
    o.text("<< /Type /Font /Subtype /Type1 /BaseFont /Courier /Encoding /WinAnsiEncoding >>\nendobj\n");
    for (std::size_t i = 0; i < count; ++i) {
        const Drawing& d = pages[i];
        const double scale = POINTS_PER_INCH / d.dpi;
        object(4 + 2 * i);
        o.text("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 ");
        o.number(d.width * scale);
        o.text(" ");
        o.number(d.height * scale);
        o.text("] /Resources << /Font << /F1 3 0 R >> >> /Contents ");
        o.integer(static_cast<long long>(5 + 2 * i));
        o.text(" 0 R >>\nendobj\n");
        // The content goes straight into the file; its length, zero-padded
        // to a fixed width, is filled in afterwards.
        constexpr int LENGTH_DIGITS = 12;
        object(5 + 2 * i);
        o.text("<< /Length ");
        const std::size_t lengthAt = o.size();
        o.text(std::string(LENGTH_DIGITS, '0'));
        o.text(" >>\nstream\n");
        const std::size_t start = o.size();
        content(o, d);
        o.patch(lengthAt, o.size() - start, LENGTH_DIGITS);
        o.text("endstream\nendobj\n");
    }
    const std::size_t xref = o.size();
    o.text("xref\n0 ");
    o.integer(static_cast<long long>(offsets.size() + 1));
    o.text("\n0000000000 65535 f \n");
    for (std::size_t at : offsets) {
        char line[24];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", at);
        o.text(line);
    }
    o.text("trailer\n<< /Size ");
    o.integer(static_cast<long long>(offsets.size() + 1));
    o.text(" /Root 1 0 R >>\nstartxref\n");
    o.integer(static_cast<long long>(xref));
    o.text("\n%%EOF\n");
    return std::move(o.bytes());
}

}  // namespace korvane
