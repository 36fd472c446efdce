// The options that shape a symbol, and their conversion for the library.

#include "Settings.h"

#include <korvane/Options.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <utility>

namespace korvane::cli {
namespace {

// An option's message names the option first: "--dpi: 'x' is not a number".
Status named(std::string_view option, const Error& e) {
    return invalidOption("--" + std::string(option) + ": " + e.message);
}

using Apply = std::function<Status(Settings&, const std::string&)>;

// The options only some symbologies take (optionsFor says which); the check
// options are left to the encoder, which refuses only a contradiction.
bool isSpecific(std::string_view name) {
    static const char* const SPECIFIC[] = {
        "gs1", "eci", "wide-ratio", "code128-start", "msi-check", "codabar-start", "codabar-stop", "upce-system", "add-on",
        "add-on-gap", "ecc", "ecc-words", "aztec-size", "compact", "full-range", "aztec-encoder", "aztec-bytes",
        "reader-init", "structured", "height", "qr-level", "qr-version", "qr-mask", "no-boost", "no-kanji",
        "dm-size", "dm-shape", "dmre", "pdf-level", "pdf-columns", "pdf-rows", "pdf-compact", "pdf-aspect",
        "row-height", "pdf-macro", "macro",
    };
    return std::find(std::begin(SPECIFIC), std::end(SPECIFIC), name) != std::end(SPECIFIC);
}

// Builders for the common shapes of option.

// I/N[:ID]: symbol I of a set of N (`leastCount` to `most`), and the set's
// identifier as the symbology takes it.
Apply memberOfSet(std::string_view name, std::string_view idName, long long leastCount, long long most,
                  std::string_view example) {
    return [=](Settings& s, const std::string& v) -> Status {
        const std::string what = "--" + std::string(name) + ": '" + v.substr(0, 40) + "' is not INDEX/COUNT[:" +
                                 std::string(idName) + "], such as 2/3 or " + std::string(example);
        const std::size_t slash = v.find('/');
        const std::size_t colon = v.find(':');
        if (slash == std::string::npos || (colon != std::string::npos && colon < slash))
            return invalidOption(what);
        const Result<long long> i = parseInteger(std::string_view(v).substr(0, slash), 1, most);
        const Result<long long> n = parseInteger(
            std::string_view(v).substr(slash + 1, colon == std::string::npos ? std::string::npos : colon - slash - 1),
            leastCount, most);
        if (!i || !n || *i > *n)
            return invalidOption(what);
        s.encode.structuredAppend.index = static_cast<int>(*i);
        s.encode.structuredAppend.count = static_cast<int>(*n);
        s.encode.structuredAppend.id = colon == std::string::npos ? "" : v.substr(colon + 1);
        return Done{};
    };
}
Apply flag(std::function<void(Settings&)> set) {
    return [set](Settings& s, const std::string&) -> Status {
        set(s);
        return Done{};
    };
}

Apply integer(std::string_view name, long long low, long long high, std::function<void(Settings&, int)> set) {
    return [=](Settings& s, const std::string& v) -> Status {
        const Result<long long> n = parseInteger(v, low, high);
        if (!n)
            return named(name, n.error());
        set(s, static_cast<int>(*n));
        return Done{};
    };
}

Apply length(std::string_view name, Unit bare, bool modules, std::optional<Length> Settings::*field) {
    return [=](Settings& s, const std::string& v) -> Status {
        const Result<Length> l = parseLength(v, bare, modules);
        if (!l)
            return named(name, l.error());
        s.*field = *l;
        return Done{};
    };
}

Apply colour(std::string_view name, Colour LayoutOptions::*field, bool transparentAllowed) {
    return [=](Settings& s, const std::string& v) -> Status {
        const Result<Colour> c = parseColour(v);
        if (!c)
            return named(name, c.error());
        if (!transparentAllowed && !c->opaque())
            return invalidOption("--" + std::string(name) + ": the bars must be drawn in an opaque colour");
        s.layout.*field = *c;
        return Done{};
    };
}

// One letter from a set, either case: "A", "b".
Apply letter(std::string_view name, std::string_view letters, std::function<void(Settings&, char)> set) {
    return [=](Settings& s, const std::string& v) -> Status {
        const char c = v.size() == 1 ? static_cast<char>(std::toupper(static_cast<unsigned char>(v[0]))) : 0;
        if (c == 0 || letters.find(c) == std::string::npos)
            return invalidOption("--" + std::string(name) + ": '" + v.substr(0, 20) + "' is not one of " +
                                 std::string(letters));
        set(s, c);
        return Done{};
    };
}

// One word from a list, either case: "mod10", "Optimal".
template <typename T>
Apply word(std::string_view name, std::vector<std::pair<std::string_view, T>> words,
           std::function<void(Settings&, T)> set) {
    return [=](Settings& s, const std::string& v) -> Status {
        const std::string k = lower(v);
        for (const auto& [w, value] : words) {
            if (k == w) {
                set(s, value);
                return Done{};
            }
        }
        std::string list;  // "a, b or c"
        for (std::size_t i = 0; i < words.size(); ++i)
            list += (i == 0 ? "" : i + 1 == words.size() ? " or " : ", ") + std::string(words[i].first);
        return invalidOption("--" + std::string(name) + ": '" + v.substr(0, 20) + "' is not " + list);
    };
}

std::vector<SymbolOption> makeOptions() {
    std::vector<SymbolOption> o;
    o.push_back({"symbology", "b", "NAME", "symbology by name or alias (korvane --list); default code128",
                 [](Settings& s, const std::string& v) -> Status {
                     const std::optional<Symbology> found = findSymbology(v);
                     if (!found)
                         return invalidOption("--symbology: '" + v.substr(0, 40) +
                                              "' is no symbology; korvane --list shows their names");
                     s.symbology = *found;
                     return Done{};
                 }});
    o.push_back({"format", "f", "FORMAT", "svg, pdf, eps, png, emf or bmp; default: from the output's extension",
                 [](Settings& s, const std::string& v) -> Status {
                     const std::optional<Format> f = findFormat(v);
                     if (!f)
                         return invalidOption("--format: '" + v.substr(0, 40) +
                                              "' is not svg, pdf, eps, png, emf or bmp");
                     s.format = *f;
                     return Done{};
                 }});
    // Encoding.
    o.push_back({"escapes", "", "", "tilde escapes in the data: ~dNNN a byte, ~~ a tilde; Aztec and QR Code "
                                    "also ~F (FNC1) and ~Ennnnnn (ECI)",
                 flag([](Settings& s) { s.encode.escapes = true; })});
    o.push_back({"check", "", "", "add the optional check character", flag([](Settings& s) { s.encode.check = true; })});
    o.push_back({"no-check", "", "", "leave out a check character that is on by default (Code 11, MSI)",
                 flag([](Settings& s) { s.encode.check = false; })});
    o.push_back({"gs1", "", "", "GS1 data: Code 128 becomes GS1-128; Aztec Code, QR Code and Data Matrix start with FNC1",
                 flag([](Settings& s) { s.gs1 = true; })});
    o.push_back({"eci", "", "N", "an ECI designator at the start of the data (Aztec, QR Code, Data Matrix 0-999999; PDF417 0-811799)",
                 integer("eci", 0, 999999, [](Settings& s, int v) { s.encode.eci = v; })});
    o.push_back({"wide-ratio", "", "N", "wide elements in narrow modules, 2 or 3 (two-width symbologies)",
                 integer("wide-ratio", 2, 3, [](Settings& s, int v) { s.encode.wideRatio = v; })});
    o.push_back({"code128-start", "", "SET", "Code 128 start set A, B or C; default: chosen from the data",
                 letter("code128-start", "ABC", [](Settings& s, char c) { s.encode.code128Start = c; })});
    o.push_back({"msi-check", "", "KIND", "MSI check: mod10, mod11, mod11-mod10 or mod10-mod10",
                 word<MsiCheck>("msi-check",
                                {{"mod10", MsiCheck::Mod10},
                                 {"mod11", MsiCheck::Mod11},
                                 {"mod11-mod10", MsiCheck::Mod11Mod10},
                                 {"mod10-mod10", MsiCheck::Mod10Mod10}},
                                [](Settings& s, MsiCheck m) { s.encode.msiCheck = m; })});
    o.push_back({"codabar-start", "", "A-D", "Codabar start character (default A)",
                 letter("codabar-start", "ABCD", [](Settings& s, char c) { s.encode.codabarStart = c; })});
    o.push_back({"codabar-stop", "", "A-D", "Codabar stop character (default B)",
                 letter("codabar-stop", "ABCD", [](Settings& s, char c) { s.encode.codabarStop = c; })});
    o.push_back({"upce-system", "", "0|1", "UPC-E number system; default: from the data",
                 integer("upce-system", 0, 1, [](Settings& s, int v) { s.encode.upceNumberSystem = v; })});
    o.push_back({"add-on", "", "DIGITS", "EAN/UPC add-on of 2 or 5 digits (or after '+' in the data)",
                 [](Settings& s, const std::string& v) -> Status {
                     s.encode.addOn = v;
                     return Done{};
                 }});
    o.push_back({"add-on-gap", "", "N",
                 "space before the add-on in modules, 7-12 (default 7 after EAN-13 and EAN-8, 9 after UPC-A and UPC-E)",
                 integer("add-on-gap", 7, 12, [](Settings& s, int v) { s.encode.addOnGap = v; })});
    o.push_back({"ecc", "", "PERCENT", "Aztec error correction as a share of the symbol, 0-90 (default 23)",
                 integer("ecc", 0, 90, [](Settings& s, int v) { s.encode.eccPercent = v; })});
    o.push_back({"ecc-words", "", "N", "Aztec check words beyond the percentage, 0-100 (default 3)",
                 integer("ecc-words", 0, 100, [](Settings& s, int v) { s.encode.eccExtraWords = v; })});
    o.push_back({"aztec-size", "", "N", "smallest Aztec symbol, 15-151 modules across",
                 integer("aztec-size", 15, 151, [](Settings& s, int v) { s.encode.minSize = v; })});
    o.push_back({"compact", "", "", "compact Aztec symbols only (up to 27x27)",
                 flag([](Settings& s) { s.encode.compactOnly = true; })});
    o.push_back({"full-range", "", "", "full-range Aztec symbols only",
                 flag([](Settings& s) { s.encode.fullOnly = true; })});
    o.push_back({"aztec-encoder", "", "NAME", "optimal (shortest bit stream, the default) or specified (the aztec "
                                              "program's encoder)",
                 word<AztecEncoder>("aztec-encoder",
                                    {{"optimal", AztecEncoder::Optimal}, {"specified", AztecEncoder::Specified}},
                                    [](Settings& s, AztecEncoder e) { s.encode.aztecEncoder = e; })});
    o.push_back({"aztec-bytes", "", "", "Aztec byte mode for the whole message (specified encoder)",
                 flag([](Settings& s) { s.encode.bytes = true; })});
    o.push_back({"reader-init", "", "", "reader initialisation (programming) symbol (Aztec, Data Matrix, PDF417)",
                 flag([](Settings& s) { s.encode.readerInit = true; })});
    o.push_back({"structured", "", "I/N[:ID]", "structured append: symbol I of N; Aztec 2-26 symbols, optional "
                                               "identifier of capital letters; QR Code 2-16, optional ID the "
                                               "set's parity byte 0-255; Data Matrix 2-16, "
                                               "file id 1-64516",
                 memberOfSet("structured", "ID", 2, 26, "1/4:ORDER")});
    o.push_back({"qr-level", "", "L|M|Q|H", "QR Code error correction (default M, raised while the data fits)",
                 letter("qr-level", "LMQH", [](Settings& s, char c) {
                     s.encode.qrLevel = c == 'L' ? QrLevel::L : c == 'M' ? QrLevel::M : c == 'Q' ? QrLevel::Q : QrLevel::H;
                 })});
    o.push_back({"qr-version", "", "N", "QR Code version 1-40 (default: the smallest that holds the data)",
                 integer("qr-version", 1, 40, [](Settings& s, int v) { s.encode.qrVersion = v; })});
    o.push_back({"qr-mask", "", "N", "QR Code mask 0-7 (default: the penalty rules' choice)",
                 integer("qr-mask", 0, 7, [](Settings& s, int v) { s.encode.qrMask = v; })});
    o.push_back({"no-boost", "", "", "keep the QR Code level given even where a higher one fits the same version",
                 flag([](Settings& s) { s.encode.qrBoost = false; })});
    o.push_back({"no-kanji", "", "", "no QR Code Kanji mode: Japanese text as UTF-8 bytes",
                 flag([](Settings& s) { s.encode.qrKanji = false; })});
    o.push_back({"dm-size", "", "RxC", "a fixed Data Matrix size, rows x columns: 10x10 to 144x144, 8x18 to 16x48, "
                                       "DMRE 8x48 to 26x64",
                 [](Settings& s, const std::string& v) -> Status {
                     const std::size_t x = lower(v).find('x');
                     const Result<long long> r = parseInteger(std::string_view(v).substr(0, x), 8, 144);
                     const Result<long long> c =
                         x == std::string::npos ? r : parseInteger(std::string_view(v).substr(x + 1), 10, 144);
                     if (x == std::string::npos || !r || !c)
                         return invalidOption("--dm-size: '" + v.substr(0, 20) + "' is not ROWSxCOLUMNS, such as 24x24 "
                                              "or 16x48");
                     s.encode.dmRows = static_cast<int>(*r);
                     s.encode.dmColumns = static_cast<int>(*c);
                     return Done{};
                 }});
    o.push_back({"dm-shape", "", "SHAPE", "Data Matrix shapes to choose from: square (default), rect or any",
                 word<DataMatrixShape>("dm-shape",
                                       {{"square", DataMatrixShape::Square},
                                        {"rect", DataMatrixShape::Rectangular},
                                        {"any", DataMatrixShape::Any}},
                                       [](Settings& s, DataMatrixShape d) { s.encode.dmShape = d; })});
    o.push_back({"dmre", "", "", "Data Matrix may take the rectangles of ISO/IEC 21471 (DMRE)",
                 flag([](Settings& s) { s.encode.dmre = true; })});
    o.push_back({"pdf-level", "", "0-8", "PDF417 error-correction level; default: the recommended minimum for the data",
                 integer("pdf-level", 0, 8, [](Settings& s, int v) { s.encode.pdfLevel = v; })});
    o.push_back({"pdf-columns", "", "N", "PDF417 data columns, 1-30; default: chosen for a symbol 3 times as wide as tall",
                 integer("pdf-columns", 1, 30, [](Settings& s, int v) { s.encode.pdfColumns = v; })});
    o.push_back({"pdf-rows", "", "N", "PDF417 rows, 3-90; default: as few as the data needs",
                 integer("pdf-rows", 3, 90, [](Settings& s, int v) { s.encode.pdfRows = v; })});
    o.push_back({"pdf-compact", "", "", "compact (truncated) PDF417: no right row indicator, a one-module stop",
                 flag([](Settings& s) { s.encode.pdfCompact = true; })});
    o.push_back({"row-height", "", "N", "PDF417 row height in modules, 1-20 (default 3)",
                 integer("row-height", 1, 20, [](Settings& s, int v) { s.encode.rowHeight = v; })});
    o.push_back({"pdf-aspect", "", "R", "PDF417 width over height to approach when neither columns nor rows are "
                                        "fixed, 0.1-20 (default 3)",
                 [](Settings& s, const std::string& v) -> Status {
                     char* end = nullptr;
                     const double r = std::strtod(v.c_str(), &end);
                     if (v.empty() || *end != '\0' || !(r >= 0.1 && r <= 20))
                         return invalidOption("--pdf-aspect: '" + v.substr(0, 20) + "' is not a ratio 0.1-20");
                     s.encode.pdfAspect = r;
                     return Done{};
                 }});
    o.push_back({"pdf-macro", "", "FIELD=VALUE", "an optional Macro PDF417 field: file-name, time-stamp (seconds "
                                                 "since 1970), sender, addressee, file-size or checksum; repeatable",
                 [](Settings& s, const std::string& v) -> Status {
                     const std::size_t eq = v.find('=');
                     const std::string key = v.substr(0, eq), value = eq == std::string::npos ? "" : v.substr(eq + 1);
                     PdfMacroFields& m = s.encode.pdfMacro;
                     const auto number = [&](long long high, auto set) -> Status {
                         const Result<long long> n = parseInteger(value, 0, high);
                         if (!n)
                             return invalidOption("--pdf-macro " + key + ": " + n.error().message);
                         set(*n);
                         return Done{};
                     };
                     if (eq == std::string::npos)
                         return invalidOption("--pdf-macro: '" + v.substr(0, 40) + "' is not FIELD=VALUE, such as "
                                              "file-name=invoice.pdf");
                     if (key == "file-name")
                         m.fileName = value;
                     else if (key == "sender")
                         m.sender = value;
                     else if (key == "addressee")
                         m.addressee = value;
                     else if (key == "time-stamp")
                         return number(1LL << 40, [&](long long n) { m.timeStamp = n; });
                     else if (key == "file-size")
                         return number(1LL << 40, [&](long long n) { m.fileSize = n; });
                     else if (key == "checksum")
                         return number(65535, [&](long long n) { m.checksum = static_cast<int>(n); });
                     else
                         return invalidOption("--pdf-macro: no field '" + key.substr(0, 20) + "'; the fields are "
                                              "file-name, time-stamp, sender, addressee, file-size and checksum");
                     return Done{};
                 }});
    o.push_back({"macro", "", "I/N[:FILEID]", "Macro PDF417: segment I of N (1-99999), optional file "
                                             "identifier of digits in groups of three (each 000-899)",
                 memberOfSet("macro", "FILEID", 1, 99999, "1/4:017053")});
    // Layout.
    o.push_back({"dpi", "", "N", "resolution in dots per inch, 1-10000 (default 300); 'none' draws in pixels "
                                  "(give --x-dim in px)",
                 [](Settings& s, const std::string& v) -> Status {
                     if (lower(v) == "none") {
                         s.dpi = 0;
                         return Done{};
                     }
                     const Result<double> d = parseNumber(v, 1, 10000);
                     if (!d)
                         return named("dpi", d.error());
                     s.dpi = *d;
                     return Done{};
                 }});
    o.push_back({"x-dim", "x", "LENGTH", "module width (X), e.g. 0.33mm, 13mil, 2px; default: the symbology's",
                 length("x-dim", Unit::Mm, false, &Settings::xDim)});
    o.push_back({"height", "", "LENGTH", "bar height, e.g. 20mm or 50x (modules); default: the symbology's",
                 length("height", Unit::Mm, true, &Settings::height)});
    o.push_back({"bwr", "", "LENGTH", "bar width reduction for print gain, e.g. 0.02mm or 1px",
                 length("bwr", Unit::Mm, false, &Settings::barReduction)});
    o.push_back({"quiet-zone", "q", "H[,V]", "quiet zones: beside and above/below, in modules (10) or lengths "
                                             "(2.5mm); default: the symbology's standard",
                 [](Settings& s, const std::string& v) -> Status {
                     const std::size_t comma = v.find(',');
                     const Result<Length> h = parseLength(std::string_view(v).substr(0, comma), Unit::Modules, true);
                     if (!h)
                         return named("quiet-zone", h.error());
                     s.quietHorizontal = *h;
                     if (comma != std::string::npos) {
                         const Result<Length> vert = parseLength(std::string_view(v).substr(comma + 1), Unit::Modules, true);
                         if (!vert)
                             return named("quiet-zone", vert.error());
                         s.quietVertical = *vert;
                     }
                     return Done{};
                 }});
    o.push_back({"no-text", "", "", "no human-readable text", flag([](Settings& s) { s.layout.text = false; })});
    o.push_back({"font-size", "", "LENGTH", "em size of the text, e.g. 3mm or 8pt; default: chosen from X",
                 length("font-size", Unit::Mm, false, &Settings::fontSize)});
    o.push_back({"font", "", "FILE", "TrueType/OpenType font for the text of PNG and BMP output",
                 [](Settings& s, const std::string& v) -> Status {
                     // A font asked for and missing would be text silently left
                     // out of every PNG and BMP: refused while the typo is fresh.
                     std::FILE* f = std::fopen(v.c_str(), "rb");
                     if (f == nullptr)
                         return invalidOption("--font: cannot read " + v.substr(0, 200) + ": " + std::strerror(errno));
                     std::fclose(f);
                     s.write.fontFile = v;
                     return Done{};
                 }});
    o.push_back({"fg", "", "COLOUR", "bar colour: RRGGBB, RRGGBBAA, cmyk:C,M,Y,K or a name (default black)",
                 colour("fg", &LayoutOptions::foreground, false)});
    o.push_back({"bg", "", "COLOUR",
                 "background: RRGGBB, RRGGBBAA, cmyk:C,M,Y,K, a name, or none for transparent (default white)",
                 colour("bg", &LayoutOptions::background, true)});
    o.push_back({"rotate", "r", "DEGREES", "0, 90, 180 or 270 clockwise",
                 [](Settings& s, const std::string& v) -> Status {
                     const Result<long long> r = parseInteger(v, 0, 270);
                     if (!r || *r % 90 != 0)
                         return invalidOption("--rotate: '" + v.substr(0, 20) + "' is not 0, 90, 180 or 270");
                     s.layout.rotation = static_cast<int>(*r);
                     return Done{};
                 }});
    // Options that mean something for some symbologies only are remembered, so
    // that resolve() can refuse them for the others.
    for (SymbolOption& option : o) {
        if (!isSpecific(option.name))
            continue;
        option.apply = [name = option.name, apply = option.apply](Settings& s, const std::string& v) -> Status {
            Status applied = apply(s, v);
            const std::string dashed = "--" + std::string(name);
            if (applied && std::find(s.specific.begin(), s.specific.end(), dashed) == s.specific.end())
                s.specific.push_back(dashed);
            return applied;
        };
    }
    return o;
}

}  // namespace

const std::vector<SymbolOption>& symbolOptions() {
    static const std::vector<SymbolOption> options = makeOptions();
    return options;
}

const SymbolOption* findSymbolOption(std::string_view name) {
    for (const SymbolOption& o : symbolOptions())
        if (o.name == name || (!o.shortName.empty() && o.shortName == name))
            return &o;
    return nullptr;
}

// The library's option table says where each option applies; the check
// option is spelt by what it changes.
std::vector<std::string> optionsFor(Symbology s) {
    const SymbologyInfo& info = symbologyInfo(s);
    std::vector<std::string> names;
    std::size_t count = 0;
    const EncodeOptionInfo* table = encodeOptionTable(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (!table[i].appliesTo(info))
            continue;
        if (table[i].name != "check")
            names.push_back("--" + std::string(table[i].name));
        else if (info.check == CheckRule::Optional)
            names.push_back("--check");
        else if (info.check == CheckRule::OptionalOn)
            names.push_back("--no-check");
    }
    if (!info.matrix)
        names.push_back("--height");
    if (s == Symbology::Pdf417)
        names.push_back("--macro");
    return names;
}

Result<Resolved> resolve(const Settings& s, std::string_view data) {
    if (!s.specific.empty()) {
        const std::vector<std::string> takes = optionsFor(s.symbology);
        for (const std::string& name : s.specific)
            if (std::find(takes.begin(), takes.end(), name) == takes.end())
                return invalidOption(name + " does not apply to " + std::string(symbologyInfo(s.symbology).title) +
                                     "; korvane --list shows the options of each symbology");
    }
    Resolved r;
    r.symbology = s.symbology;
    r.encode = s.encode;
    r.data = std::string(data);
    if (s.gs1) {
        if (s.symbology == Symbology::Code128)
            r.symbology = Symbology::Gs1_128;
        else if (symbologyInfo(s.symbology).takes(CAP_GS1))
            r.encode.gs1 = true;
    }

    LayoutOptions& l = r.layout;
    l = s.layout;
    l.dpi = s.dpi;
    // Lengths go to the library as typed; layout() converts them. Without a
    // resolution the module is given in px.
    if (s.xDim && s.dpi <= 0 && s.xDim->unit != Unit::Px)
        return invalidOption("--x-dim: with --dpi none, give the module width in px");
    l.xDim = s.xDim;
    l.height = s.height;
    l.barReduction = s.barReduction;
    l.fontSize = s.fontSize;
    l.quietLeft = l.quietRight = s.quietHorizontal;
    l.quietVertical = s.quietVertical;
    return r;
}

}  // namespace korvane::cli
