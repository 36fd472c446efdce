// PDF 1.4: a page of the drawing's size in points (several drawings make
// several pages: label sheets), the bars as filled
// rectangles, text in the standard fonts every reader has (Helvetica for the
// general face, Courier standing in for OCR-B), nothing embedded. Translucent
// colours use the constant-alpha graphics state of PDF 1.4.

#include "writers/Writers.h"

#include <array>
#include <tuple>
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

// A pages node holds at most this many kids: readers have limits on the
// length of an array (8,191 in PDF 1.4's own list), so a long run of labels
// hangs its later pages from intermediate nodes under the root.
constexpr std::size_t PAGES_PER_NODE = 1000;

}  // namespace

// Objects: 1 the catalog and 2 the root of the page tree, both written last
// when the pages are known; then each font when a page first uses it, each
// intermediate pages node when its first page comes, and every page with its
// contents, written as they come.
PdfPageStream::PdfPageStream(ByteSink& sink, const WriteOptions& options) : sink_(sink), options_(options) {
    out_ = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    offsets_.assign(2, 0);
}

int PdfPageStream::begin(int number) {
    if (number == 0) {
        offsets_.push_back(0);
        number = static_cast<int>(offsets_.size());
    }
    offsets_[static_cast<std::size_t>(number) - 1] = written_ + out_.size();
    appendInt(out_, number);
    out_ += " 0 obj\n";
    return number;
}

int PdfPageStream::reserve() {
    offsets_.push_back(0);
    return static_cast<int>(offsets_.size());
}

Status PdfPageStream::flush() {
    const Status ok = sink_.append(out_);
    written_ += out_.size();
    out_.clear();
    if (!ok)
        failed_ = true;
    return ok;
}

Status PdfPageStream::page(const Drawing& d) {
    if (failed_)
        return Error{ErrorCode::WriteFailed, "the PDF is given up after an earlier failure"};
    if (const Status ok = checkDrawing(d); !ok)
        return ok.error();
    const double pointsPerDot = 72.0 / resolutionOf(d, options_);
    std::string width, height;
    appendNumber(width, d.width * pointsPerDot, 4);
    appendNumber(height, d.height * pointsPerDot, 4);
    Fonts used;
    const std::string content = contentStream(d, pointsPerDot, height, used);
    for (const auto& [needed, object, base] : {std::tuple<bool, int*, const char*>{used.sans, &sans_, "Helvetica"},
                                               std::tuple<bool, int*, const char*>{used.ocrb, &ocrb_, "Courier"}}) {
        if (!needed || *object != 0)
            continue;
        *object = begin();
        out_ += "<< /Type /Font /Subtype /Type1 /BaseFont /";
        out_ += base;
        out_ += " /Encoding /WinAnsiEncoding >>\n";
        out_ += "endobj\n";
    }
    int parent = 2;
    if (pages_ >= PAGES_PER_NODE) {
        if ((pages_ - PAGES_PER_NODE) % PAGES_PER_NODE == 0) {
            nodes_.emplace_back();
            nodes_.back().push_back(reserve());
            rootKids_.push_back(nodes_.back().front());
        }
        parent = nodes_.back().front();
    }
    const int pageObject = begin();
    const int contentObject = pageObject + 1;
    (parent == 2 ? rootKids_ : nodes_.back()).push_back(pageObject);
    out_ += "<< /Type /Page /Parent " + std::to_string(parent) + " 0 R /MediaBox [0 0 " + width + ' ' + height +
            "] /Contents " + std::to_string(contentObject) + " 0 R\n";
    appendResources(out_, d, used, sans_, ocrb_);
    out_ += "endobj\n";
    begin();
    out_ += "<< /Length " + std::to_string(content.size()) + " >>\nstream\n";
    out_ += content;
    out_ += "endstream\nendobj\n";
    ++pages_;
    return flush();
}

Status PdfPageStream::finish() {
    if (failed_)
        return Error{ErrorCode::WriteFailed, "the PDF is given up after an earlier failure"};
    if (pages_ == 0)
        return Error{ErrorCode::InvalidOption, "a PDF needs at least one page"};
    const auto kids = [&](const int* from, const int* to) {
        out_ += "/Kids [";
        for (const int* k = from; k != to; ++k)
            out_ += std::to_string(*k) + " 0 R ";
        out_ += ']';
    };
    for (const std::vector<int>& node : nodes_) {
        begin(node.front());
        out_ += "<< /Type /Pages /Parent 2 0 R ";
        kids(node.data() + 1, node.data() + node.size());
        out_ += " /Count " + std::to_string(node.size() - 1) + " >>\nendobj\n";
    }
    begin(2);
    out_ += "<< /Type /Pages ";
    kids(rootKids_.data(), rootKids_.data() + rootKids_.size());
    out_ += " /Count " + std::to_string(pages_) + " >>\nendobj\n";
    begin(1);
    out_ += "<< /Type /Catalog /Pages 2 0 R >>\nendobj\n";

    const std::size_t xref = written_ + out_.size();
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
    out_ += " /Root 1 0 R >>\nstartxref\n";
    appendInt(out_, static_cast<long long>(xref));
    out_ += "\n%%EOF\n";
    return flush();
}

namespace {

// The bytes of a PDF made in memory.
class MemorySink : public ByteSink {
public:
    Status append(std::string_view bytes) override {
        const auto* b = reinterpret_cast<const std::uint8_t*>(bytes.data());
        bytes_.insert(bytes_.end(), b, b + bytes.size());
        return Done{};
    }
    std::vector<std::uint8_t> bytes_;
};

}  // namespace

Result<Written> writePdfPages(const Drawing* const* pages, std::size_t count, const WriteOptions& options) {
    if (count == 0)
        return Error{ErrorCode::InvalidOption, "a PDF needs at least one page"};
    MemorySink memory;
    PdfPageStream pdf(memory, options);
    for (std::size_t i = 0; i < count; ++i)
        if (const Status ok = pdf.page(*pages[i]); !ok)
            return ok.error();
    if (const Status ok = pdf.finish(); !ok)
        return ok.error();
    Written w;
    w.bytes = std::move(memory.bytes_);
    return w;
}

Result<Written> writePdf(const Drawing& d, const WriteOptions& options) {
    const Drawing* page = &d;
    return writePdfPages(&page, 1, options);
}

}  // namespace korvane::writers
