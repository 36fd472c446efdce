// PDF 1.4: a page of the drawing's size in points (several drawings make
// several pages: label sheets), the bars as filled
// rectangles, text in the standard fonts every reader has (Helvetica for the
// general face, Courier standing in for OCR-B), nothing embedded. Translucent
// colours use the constant-alpha graphics state of PDF 1.4.

#include "writers/Writers.h"

#include <array>
#include <cstdio>

namespace korvane::writers {
namespace {

// Helvetica advance widths in 1/1000 em for WinAnsiEncoding codes 32-255
// (0: no character at that code); Courier's are all 600.
constexpr short HELVETICA_WIDTHS[] = {
    278, 278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278,   // 32-47
    556, 556, 556, 556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556,   // 48-63
    1015, 667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833, 722, 778,  // 64-79
    667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278, 278, 278, 469, 556,   // 80-95
    333, 556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556,   // 96-111
    556, 556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584, 0,     // 112-127
    556, 0, 222, 556, 333, 1000, 556, 556, 333, 1000, 667, 333, 1000, 0, 611, 0,      // 128-143
    0, 222, 222, 333, 333, 350, 556, 1000, 333, 1000, 500, 333, 944, 0, 500, 667,     // 144-159
    278, 333, 556, 556, 556, 556, 260, 556, 333, 737, 370, 556, 584, 333, 737, 333,   // 160-175
    400, 584, 333, 333, 333, 556, 537, 278, 333, 333, 365, 556, 834, 834, 834, 611,   // 176-191
    667, 667, 667, 667, 667, 667, 1000, 722, 667, 667, 667, 667, 278, 278, 278, 278,  // 192-207
    722, 722, 778, 778, 778, 778, 778, 584, 778, 722, 722, 722, 722, 667, 667, 611,   // 208-223
    556, 556, 556, 556, 556, 556, 889, 500, 556, 556, 556, 556, 278, 278, 278, 278,   // 224-239
    556, 556, 556, 556, 556, 556, 556, 584, 611, 556, 556, 556, 556, 500, 556, 500,   // 240-255
};
static_assert(std::size(HELVETICA_WIDTHS) == 224);
constexpr int COURIER_WIDTH = 600;

int advance(Font font, unsigned char code) {
    if (font == Font::OcrB)
        return COURIER_WIDTH;
    return code >= 32 ? HELVETICA_WIDTHS[code - 32] : 0;
}

struct Fonts {
    bool sans = false;
    bool ocrb = false;
};

std::string contentStream(const Drawing& d, double pointsPerDot, const std::string& pageHeight, Fonts& fonts) {
    std::string s;
    s.reserve(256 + d.rects.size() * 20 + d.texts.size() * 80);
    // Dots, y downwards, from the top-left corner.
    s += "q\n";
    appendNumber(s, pointsPerDot, 6);
    s += " 0 0 ";
    appendNumber(s, -pointsPerDot, 6);
    s += " 0 ";
    s += pageHeight;
    s += " cm\n";
    if (!d.background.transparent()) {
        if (!d.background.opaque())
            s += "/GSb gs\n";
        appendColour(s, d.background, PDF_FILL);
        appendInts(s, 0, 0, d.width, d.height);
        s += " re f\n";
    }
    if (!d.foreground.opaque())
        s += "/GSf gs\n";
    appendColour(s, d.foreground, PDF_FILL);
    bool any = false;
    for (const Rect& r : d.rects) {
        Rect c;
        if (!clipToCanvas(r, d, c))
            continue;
        appendInts(s, c.x, c.y, c.width, c.height);
        s += " re\n";
        any = true;
    }
    if (any)
        s += "f\n";
    for (const TextRun& t : d.texts) {
        if (!drawable(t))
            continue;
        const std::u32string text = codePoints(t.text);
        long long units = 0;  // width in 1/1000 em
        for (char32_t c : text)
            units += advance(t.font, toWinAnsi(c));
        (t.font == Font::OcrB ? fonts.ocrb : fonts.sans) = true;
        const double width = static_cast<double>(units) * t.size / 1000;
        const double shift = t.anchor == Anchor::Start ? 0 : t.anchor == Anchor::Middle ? width / 2 : width;
        const Direction dir = direction(t.rotation);
        // The text matrix turns the run clockwise and sets it upright in the
        // y-down space: along (cos, sin), its ascenders towards (sin, -cos).
        s += "BT\n";
        s += t.font == Font::OcrB ? "/F2" : "/F1";
        s += " 1 Tf\n";
        appendNumbers(s, 3, t.size * dir.cos, t.size * dir.sin, t.size * dir.sin, -t.size * dir.cos,
                      t.x - shift * dir.cos, t.y - shift * dir.sin);
        s += " Tm\n";
        appendLiteral(s, text);
        s += " Tj\nET\n";
    }
    s += "Q\n";
    return s;
}

class PdfFile {
public:
    PdfFile() { out_ = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n"; }

    // Starts object `number` (numbered in order from 1).
    void begin() {
        offsets_.push_back(out_.size());
        appendInt(out_, static_cast<long long>(offsets_.size()));
        out_ += " 0 obj\n";
    }
    void end() { out_ += "endobj\n"; }
    std::string& body() { return out_; }

    std::string finish(int root) {
        const std::size_t xref = out_.size();
        out_ += "xref\n0 ";
        appendInt(out_, static_cast<long long>(offsets_.size()) + 1);
        out_ += "\n0000000000 65535 f \n";
        for (std::size_t offset : offsets_) {
            char entry[24];
            std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
            out_ += entry;
        }
        out_ += "trailer\n<< /Size ";
        appendInt(out_, static_cast<long long>(offsets_.size()) + 1);
        out_ += " /Root ";
        appendInt(out_, root);
        out_ += " 0 R >>\nstartxref\n";
        appendInt(out_, static_cast<long long>(xref));
        out_ += "\n%%EOF\n";
        return std::move(out_);
    }

private:
    std::string out_;
    std::vector<std::size_t> offsets_;
};

void appendAlphaState(std::string& out, const char* name, Colour c) {
    out += ' ';
    out += name;
    out += " << /Type /ExtGState /ca ";
    appendNumber(out, c.a / 255.0, 4);
    out += " >>";
}

// Fonts and transparency a page's resources name.
void appendResources(std::string& out, const Drawing& d, const Fonts& fonts, int sansObject, int ocrbObject) {
    out += "   /Resources << /ProcSet [/PDF /Text]";
    if (fonts.sans || fonts.ocrb) {
        out += " /Font <<";
        if (fonts.sans)
            out += " /F1 " + std::to_string(sansObject) + " 0 R";
        if (fonts.ocrb)
            out += " /F2 " + std::to_string(ocrbObject) + " 0 R";
        out += " >>";
    }
    const bool backgroundAlpha = !d.background.transparent() && !d.background.opaque();
    if (backgroundAlpha || !d.foreground.opaque()) {
        out += " /ExtGState <<";
        if (backgroundAlpha)
            appendAlphaState(out, "/GSb", d.background);
        if (!d.foreground.opaque())
            appendAlphaState(out, "/GSf", d.foreground);
        out += " >>";
    }
    out += " >> >>\n";
}

}  // namespace

Result<Written> writePdfPages(const Drawing* const* pages, std::size_t count, const WriteOptions& options) {
    if (count == 0)
        return Error{ErrorCode::InvalidOption, "a PDF needs at least one page"};
    std::vector<std::string> contents(count);
    std::vector<Fonts> used(count);
    Fonts all;
    for (std::size_t i = 0; i < count; ++i) {
        if (const Status ok = checkDrawing(*pages[i]); !ok)
            return ok.error();
        const double pointsPerDot = 72.0 / resolutionOf(*pages[i], options);
        std::string height;
        appendNumber(height, pages[i]->height * pointsPerDot, 4);
        contents[i] = contentStream(*pages[i], pointsPerDot, height, used[i]);
        all.sans = all.sans || used[i].sans;
        all.ocrb = all.ocrb || used[i].ocrb;
    }

    // 1 catalog, 2 page tree, then the fonts used, then a page and its contents per page.
    PdfFile pdf;
    std::string& out = pdf.body();
    int next = 3;
    const int sansObject = all.sans ? next++ : 0;
    const int ocrbObject = all.ocrb ? next++ : 0;
    const int firstPage = next;
    pdf.begin();
    out += "<< /Type /Catalog /Pages 2 0 R >>\n";
    pdf.end();
    pdf.begin();
    out += "<< /Type /Pages /Kids [";
    for (std::size_t i = 0; i < count; ++i)
        out += std::to_string(firstPage + 2 * static_cast<int>(i)) + " 0 R ";
    out += "] /Count " + std::to_string(count) + " >>\n";
    pdf.end();
    for (const char* base : {"Helvetica", "Courier"}) {
        if (base[0] == 'H' ? !all.sans : !all.ocrb)
            continue;
        pdf.begin();
        out += "<< /Type /Font /Subtype /Type1 /BaseFont /";
        out += base;
        out += " /Encoding /WinAnsiEncoding >>\n";
        pdf.end();
    }
    for (std::size_t i = 0; i < count; ++i) {
        const Drawing& d = *pages[i];
        const double pointsPerDot = 72.0 / resolutionOf(d, options);
        std::string width, height;
        appendNumber(width, d.width * pointsPerDot, 4);
        appendNumber(height, d.height * pointsPerDot, 4);
        pdf.begin();
        out += "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + width + ' ' + height + "] /Contents " +
               std::to_string(firstPage + 2 * static_cast<int>(i) + 1) + " 0 R\n";
        appendResources(out, d, used[i], sansObject, ocrbObject);
        pdf.end();
        pdf.begin();
        out += "<< /Length " + std::to_string(contents[i].size()) + " >>\nstream\n";
        out += contents[i];
        out += "endstream\n";
        pdf.end();
        std::string().swap(contents[i]);
    }
    const std::string file = pdf.finish(1);
    Written w;
    w.bytes.assign(file.begin(), file.end());
    return w;
}

Result<Written> writePdf(const Drawing& d, const WriteOptions& options) {
    const Drawing* page = &d;
    return writePdfPages(&page, 1, options);
}

}  // namespace korvane::writers
