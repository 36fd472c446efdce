#pragma once
// Internal interface of the writers: one function per format, and the pieces
// they share (checks, numbers, colours, text as code points).

#include "korvane/Write.h"

#include <string>
#include <vector>
#include <string_view>

namespace korvane::writers {

Result<Written> writeSvg(const Drawing& drawing, const WriteOptions& options);
Result<Written> writePdf(const Drawing& drawing, const WriteOptions& options);
Result<Written> writePdfPages(const Drawing* const* pages, std::size_t count, const WriteOptions& options);

// A PDF written into `sink` a page at a time, so that a long run of label
// sheets needs memory for one page rather than the file. page() writes each
// page as it comes; finish() the page tree, the catalog and the cross-reference
// table. After a failure of the sink everything is refused.
class PdfPageStream {
public:
    PdfPageStream(ByteSink& sink, const WriteOptions& options);
    Status page(const Drawing& drawing);
    Status finish();
    std::size_t pages() const { return pages_; }

private:
    int begin(int number = 0);  // starts object `number`, or a new one; returns its number
    int reserve();              // a number for an object written later
    Status flush();

    ByteSink& sink_;
    WriteOptions options_;
    std::string out_;             // what is not yet in the sink
    std::size_t written_ = 0;     // bytes in the sink
    std::vector<std::size_t> offsets_;  // by object number - 1
    std::vector<int> rootKids_;
    std::vector<std::vector<int>> nodes_;  // intermediate pages nodes: their number, then their kids
    int sans_ = 0, ocrb_ = 0;     // font objects, once a page uses them
    std::size_t pages_ = 0;
    bool failed_ = false;
};
Result<Written> writeEps(const Drawing& drawing, const WriteOptions& options);
Result<Written> writePng(const Drawing& drawing, const WriteOptions& options);
Result<Written> writeEmf(const Drawing& drawing, const WriteOptions& options);
Result<Written> writeBmp(const Drawing& drawing, const WriteOptions& options);

// The bytes of a file built as a string, copied in one block: a copy element
// by element (char to uint8_t) is a loop over every byte where the compiler
// optimises for size, as the WebAssembly build does.
inline std::vector<std::uint8_t> bytesOf(std::string_view s) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(s.data());
    return std::vector<std::uint8_t>(p, p + s.size());
}

// What every writer refuses: a canvas without dots, a text turned by other
// than a multiple of 90 degrees.
Status checkDrawing(const Drawing& drawing);

// The rectangle clipped to the canvas; false when nothing of it is left.
bool clipToCanvas(const Rect& r, const Drawing& drawing, Rect& out);

// Whether a text run can be drawn at all (finite position, positive finite size).
bool drawable(const TextRun& t);

// The drawing's resolution, or the fallback when it has none (0, negative or
// not a number); 96 when neither is usable.
double resolutionOf(const Drawing& drawing, const WriteOptions& options);

// Shortest decimal form of `v` rounded to `decimals` places: "12", "0.5",
// "-3.25", never "-0".
void appendNumber(std::string& out, double v, int decimals = 3);
void appendInt(std::string& out, long long v);
// The same written at `out`, which has room for NUMBER_ROOM (INT_ROOM)
// characters; they return the end of what they wrote.
constexpr std::size_t NUMBER_ROOM = 64, INT_ROOM = 24;
char* formatNumber(char* out, double v, int decimals);
char* formatInt(char* out, long long v);
// Numbers separated by single spaces, as PDF and PostScript take operands
// (and SVG a view box): "0 0 120 80"; appendNumbers rounds each to `decimals`.
// The values are taken by reference, so that each is read only when it is
// written rather than all held across the calls.
template <typename First, typename... More>
void appendInts(std::string& out, const First& first, const More&... more) {
    appendInt(out, first);
    ((out += ' ', appendInt(out, more)), ...);
}
template <typename First, typename... More>
void appendNumbers(std::string& out, int decimals, const First& first, const More&... more) {
    appendNumber(out, first, decimals);
    ((out += ' ', appendNumber(out, more, decimals)), ...);
}

// The code points of a text run: UTF-8 where the bytes are valid UTF-8, each
// other byte taken as Latin-1; control characters (C0, DEL, C1) become spaces
// and the non-characters U+FFFE and U+FFFF become U+FFFD.
std::u32string codePoints(std::string_view text);

// A code point as a byte of WinAnsiEncoding (Windows-1252: Latin-1 with
// typographic characters at 128-159); '?' where the encoding has none.
unsigned char toWinAnsi(char32_t c);

// PDF and PostScript share these pieces of syntax.
// The text as a literal string of WinAnsiEncoding bytes: parentheses and
// backslashes escaped, bytes outside printable ASCII as octal, so the file
// stays 7-bit.
void appendLiteral(std::string& out, const std::u32string& text);
// The operators of a format that make a colour current, by colour space.
struct ColourOperators {
    const char* grey;
    const char* rgb;
    const char* cmyk;
};
constexpr ColourOperators PDF_FILL{"g", "rg", "k"};
constexpr ColourOperators POSTSCRIPT{"setgray", "setrgbcolor", "setcmykcolor"};
// The colour in the space print workflows keep apart: CMYK as given, greys
// (black and white included) as one grey level, so black bars print on the
// black plate alone and keep their edges; other colours as RGB. Components
// from 0 to 1 (four places), the operator and a line end.
void appendColour(std::string& out, Colour c, const ColourOperators& ops);

// `top` composited over `bottom` (source over); opaque when `bottom` is.
Colour over(Colour top, Colour bottom);
// The colour as an opaque one on white paper, for formats without alpha.
Colour onPaper(Colour c);

// Unit vectors of a text rotation (degrees clockwise, y downwards).
struct Direction {
    int cos = 1;
    int sin = 0;
};
Direction direction(int rotation);
// 0, 90, 180 or 270 for any multiple of 90.
int normalRotation(int rotation);

}  // namespace korvane::writers
