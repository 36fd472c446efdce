// The options that shape a symbol, and their conversion for the library.

#include "Settings.h"

#include <korvane/Options.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>

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
        "row-height", "pdf-macro", "macro", "databar-segments",
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

// The options of the command itself: the symbology and the output format.
void addCommandOptions(std::vector<SymbolOption>& o) {
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
}

// Encoding: the library's option rows, parsed and checked by the library;
// the command spells the check both ways and keeps --gs1 and --macro of its own.
void addEncodeOptions(std::vector<SymbolOption>& o) {
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
}

// The short names the command gives some layout options.
std::string_view shortNameOf(std::string_view name) {
    return name == "x-dim" ? "x" : name == "quiet-zone" ? "q" : name == "rotate" ? "r" : "";
}

// A font asked for and missing would be text silently left out of every PNG
// and BMP: refused while the typo is fresh.
Status setFont(Settings& s, const std::string& v) {
    std::FILE* f = std::fopen(v.c_str(), "rb");
    if (f == nullptr)
        return invalidOption("--font: cannot read " + v.substr(0, 200) + ": " + std::strerror(errno));
    std::fclose(f);
    s.write.fontFile = v;
    return Done{};
}

// Layout: the library's layout rows, parsed and checked by the library; the
// font file, a writer's option, is the command's own and follows --font-size.
void addLayoutOptions(std::vector<SymbolOption>& o) {
    std::size_t rows = 0;
    const LayoutOptionInfo* table = layoutOptionTable(rows);
    for (std::size_t i = 0; i < rows; ++i) {
        const LayoutOptionInfo& row = table[i];
        o.push_back({row.name, shortNameOf(row.name), row.valueName, row.help,
                     [&row](Settings& s, const std::string& v) -> Status {
                         const Status set = row.set(row, s.layout, v);
                         return set ? set : named(row.name, set.error());
                     }});
        if (row.name == "font-size")
            o.push_back({"font", "", "FILE", "TrueType/OpenType font for the text of PNG and BMP output", &setFont});
    }
}

// Options that mean something for some symbologies only are remembered, so
// that resolve() can refuse them for the others.
void rememberSpecific(std::vector<SymbolOption>& o) {
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
}

std::vector<SymbolOption> makeOptions() {
    std::vector<SymbolOption> o;
    addCommandOptions(o);
    addEncodeOptions(o);
    addLayoutOptions(o);
    rememberSpecific(o);
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
    if (info.takes(CAP_PDF417))  // the Macro PDF417 fields
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
        const SymbologyInfo& info = symbologyInfo(s.symbology);
        if (!info.gs1Name.empty())  // GS1 data makes another symbology of this one (Code 128: GS1-128)
            r.symbology = findSymbology(info.gs1Name).value_or(s.symbology);
        else if (info.takes(CAP_GS1))
            r.encode.gs1 = true;
    }

    // Lengths go to the library as typed; layout() converts and checks them.
    r.layout = s.layout;
    r.write = s.write;
    // Out of the layout's range is a usage error, as any option out of its range.
    if (const Status ok = checkRequest(r); !ok)
        return invalidOption(ok.error().message);
    return r;
}

}  // namespace korvane::cli
