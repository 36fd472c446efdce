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
Apply flag(std::function<void(Settings&)> set) {
    return [set](Settings& s, const std::string&) -> Status {
        set(s);
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
    o.push_back({"force-format", "", "", "write --format's format even where the output's extension names another",
                 flag([](Settings& s) { s.forceFormat = true; })});
    // Encoding: the library's option rows, parsed and checked by the library;
    // the command spells the check both ways and keeps --gs1 and --macro of its own.
    std::size_t rows = 0;
    const EncodeOptionInfo* table = encodeOptionTable(rows);
    for (std::size_t i = 0; i < rows; ++i) {
        const EncodeOptionInfo& row = table[i];
        Apply apply = [&row](Settings& s, const std::string& v) -> Status {
            const Status set = row.set(row, s.encode, v);
            return set ? set : named(row.name, set.error());
        };
        if (row.name == "gs1") {
            o.push_back({"gs1", "", "", "GS1 data: Code 128 becomes GS1-128; Aztec Code, QR Code and Data Matrix start "
                                        "with FNC1",
                         flag([](Settings& s) { s.gs1 = true; })});
            continue;
        }
        if (row.name == "check") {
            o.push_back({"check", "", "", "add the optional check character", apply});
            o.push_back({"no-check", "", "", "leave out a check character that is on by default (Code 11, MSI)",
                         [apply](Settings& s, const std::string&) { return apply(s, "0"); }});
            continue;
        }
        o.push_back({row.name, "", row.kind == OptionKind::Flag ? "" : row.valueName, row.help, apply});
        if (row.name == "structured")
            o.push_back({"macro", "", "I/N[:FILEID]", "Macro PDF417: segment I of N (1-99999), optional file "
                                                     "identifier of digits in groups of three (each 000-899)",
                         [&row](Settings& s, const std::string& v) -> Status {
                             const Status set = row.set(row, s.encode, v);
                             return set ? set : named("macro", set.error());
                         }});
    }
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
    // Lengths go to the library as typed; layout() converts and checks them.
    l.xDim = s.xDim;
    l.height = s.height;
    l.barReduction = s.barReduction;
    l.fontSize = s.fontSize;
    l.quietLeft = l.quietRight = s.quietHorizontal;
    l.quietVertical = s.quietVertical;
    // Out of the layout's range is a usage error, as any option out of its range.
    if (const Status ok = checkLayoutOptions(l, r.symbology); !ok)
        return invalidOption(ok.error().message);
    return r;
}

}  // namespace korvane::cli
