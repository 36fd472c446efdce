// Encapsulated PostScript, level 2: the bounding box is the canvas in points,
// the bars are rectfill operations, and text is shown in Helvetica (the
// general face) or Courier (standing in for OCR-B), re-encoded to the
// characters of WinAnsiEncoding, as in the PDF writer.
// The interpreter measures each string, so anchors need no metrics here.
// PostScript has no transparency: translucent colours are drawn as they would
// look on white paper, and a transparent background is simply not painted.

#include "writers/Writers.h"

#include <cmath>

namespace korvane::writers {
namespace {

// Fonts re-encoded to WinAnsiEncoding: ISOLatin1Encoding with the ASCII
// apostrophe and grave accent (which it turns into curly quotes) put back, and
// the typographic characters of codes 128-159.
constexpr const char* PROLOG =
    "%%BeginProlog\n"
    "/KvEncoding ISOLatin1Encoding 256 array copy dup 39 /quotesingle put dup 96 /grave put\n"
    "  128 [/Euro /.notdef /quotesinglbase /florin /quotedblbase /ellipsis /dagger /daggerdbl\n"
    "  /circumflex /perthousand /Scaron /guilsinglleft /OE /.notdef /Zcaron /.notdef\n"
    "  /.notdef /quoteleft /quoteright /quotedblleft /quotedblright /bullet /endash /emdash\n"
    "  /tilde /trademark /scaron /guilsinglright /oe /.notdef /zcaron /Ydieresis]\n"
    "  { 3 copy put pop 1 add } forall pop def\n"
    "/KvFont { findfont dup length dict begin { 1 index /FID ne { def } { pop pop } ifelse } forall\n"
    "  /Encoding KvEncoding def currentdict end definefont pop } bind def\n"
    "/KvSans /Helvetica KvFont\n"
    "/KvMono /Courier KvFont\n"
    "/R { rectfill } bind def\n"
    "% string x y size angle anchor font T: shows the string with its anchor (0 start,\n"
    "% 0.5 middle, 1 end) at x y, turned counter-clockwise by angle degrees.\n"
    "/T { findfont 3 index scalefont setfont gsave 5 -2 roll translate exch rotate exch pop\n"
    "  exch dup stringwidth pop 3 -1 roll mul neg 0 moveto show grestore } bind def\n"
    "%%EndProlog\n";

}  // namespace

Result<Written> writeEps(const Drawing& d, const WriteOptions& options) {
    const double pointsPerDot = 72.0 / resolutionOf(d, options);
    const double width = d.width * pointsPerDot;
    const double height = d.height * pointsPerDot;

    std::string out;
    out.reserve(1024 + d.rects.size() * 20 + d.texts.size() * 80);
    out += "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 ";
    appendInt(out, static_cast<long long>(std::ceil(width - 1e-9)));
    out += ' ';
    appendInt(out, static_cast<long long>(std::ceil(height - 1e-9)));
    out += "\n%%HiResBoundingBox: 0 0 ";
    appendNumber(out, width, 4);
    out += ' ';
    appendNumber(out, height, 4);
    out += "\n%%Creator: korvane\n%%LanguageLevel: 2\n%%Pages: 1\n"
           "%%DocumentNeededResources: font Helvetica Courier\n%%EndComments\n";
    out += PROLOG;
    out += "%%Page: 1 1\ngsave\n";
    // Dots from the bottom-left corner; y is turned over for each rectangle.
    appendNumber(out, pointsPerDot, 6);
    out += " dup scale\n";
    if (!d.background.transparent()) {
        appendColour(out, onPaper(d.background), POSTSCRIPT);
        appendInts(out, 0, 0, d.width, d.height);
        out += " R\n";
    }
    appendColour(out, d.background.transparent() ? onPaper(d.foreground) : onPaper(over(d.foreground, d.background)),
                 POSTSCRIPT);
    for (const Rect& r : d.rects) {
        Rect c;
        if (!clipToCanvas(r, d, c))
            continue;
        appendInts(out, c.x, static_cast<long long>(d.height) - c.y - c.height, c.width, c.height);
        out += " R\n";
    }
    for (const TextRun& t : d.texts) {
        if (!drawable(t))
            continue;
        appendLiteral(out, codePoints(t.text));
        out += ' ';
        appendNumbers(out, 3, t.x, d.height - t.y, t.size);
        out += ' ';
        appendInt(out, (360 - normalRotation(t.rotation)) % 360);
        out += t.anchor == Anchor::Start ? " 0" : t.anchor == Anchor::Middle ? " 0.5" : " 1";
        out += t.font == Font::OcrB ? " /KvMono T\n" : " /KvSans T\n";
    }
    out += "grestore\nshowpage\n%%EOF\n";

    Written w;
    w.bytes = bytesOf(out);
    return w;
}

}  // namespace korvane::writers
