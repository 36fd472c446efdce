#pragma once
// The settings of one symbol as typed: the symbology, the encoder's and the
// layout's options, the output format. Lengths stay as typed until resolve()
// knows the resolution, so "4px" means dots at whichever --dpi is given, in
// any order. A batch row's own columns apply over a copy of the run's
// settings through the same table of options as the command line.

#include "Units.h"

#include <korvane/Encode.h>
#include <korvane/Layout.h>
#include <korvane/Request.h>
#include <korvane/Write.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::cli {

struct Settings {
    Symbology symbology = Symbology::Code128;
    EncodeOptions encode;
    bool gs1 = false;  // Code 128 becomes GS1-128; Aztec starts with FNC1

    // Layout, as typed: lengths keep their units until layout() knows the
    // resolution and X.
    LayoutOptions layout;

    std::optional<Format> format;
    bool forceFormat = false;  // --format over an extension that names another format
    WriteOptions write;

    // The options given that only some symbologies take ("--wide-ratio"),
    // refused by resolve() for the others rather than silently ignored.
    std::vector<std::string> specific;
};

// What the library is given for one symbol: the symbology, the data as the
// encoder takes it (--gs1 rewrites Aztec data), the encode, layout and write options.
using Resolved = Request;

// Converts typed settings and data for the library. Errors: InvalidOption
// for settings that contradict each other, the encoder's own errors for GS1
// data (which --gs1 checks before Aztec takes it).
Result<Resolved> resolve(const Settings& settings, std::string_view data);

// One option that shapes a symbol: its long name (without "--"), an optional
// short name, whether it takes a value, a help line, and how it applies.
struct SymbolOption {
    std::string_view name;  // literals: the table is built once per run
    std::string_view shortName;  // "" or one letter
    std::string_view valueName;  // "" for a flag
    std::string_view help;
    // Applies the value (ignored for a flag) to the settings, or says why not.
    std::function<Status(Settings&, const std::string&)> apply;
};

// Every option that shapes a symbol, in the order --help lists them.
const std::vector<SymbolOption>& symbolOptions();

// The option named `name` (long name, without dashes), or null.
const SymbolOption* findSymbolOption(std::string_view name);

// Which of the options above mean something for a symbology, for --list.
std::vector<std::string> optionsFor(Symbology s);

}  // namespace korvane::cli
