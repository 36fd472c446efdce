#pragma once
// The symbologies and what the library knows about each: names,
// accepted characters, check characters, and the sizes their standards ask for.

#include "Export.h"
#include <optional>
#include <string_view>

namespace korvane {

enum class Symbology {
    Code39,
    Code39Extended,
    Code93,
    Code93Extended,
    Code11,
    Codabar,
    Msi,
    Interleaved2of5,
    Industrial2of5,
    Matrix2of5,
    Ean13,
    Ean8,
    UpcA,
    UpcE,
    Code128,
    Gs1_128,
    Postnet,
    Aztec,
    Pdf417,
};
constexpr int SYMBOLOGY_COUNT = 19;

// Whether a symbology's check character can be chosen.
enum class CheckRule {
    None,       // the symbology has no check character
    Optional,   // off by default; EncodeOptions::check turns it on
    OptionalOn, // on by default; EncodeOptions::check can turn it off
    Mandatory,  // always computed (a supplied one is verified where the data may carry it)
};

struct SymbologyInfo {
    Symbology id;
    std::string_view name;        // canonical name, e.g. "ean13"
    std::string_view title;       // e.g. "EAN-13"
    std::string_view aliases[3];  // further names (empty entries unused)
    std::string_view characters;  // the characters it accepts, in words
    CheckRule check;
    bool matrix;          // two-dimensional (a module matrix rather than a row of bars)
    bool twoWidths;       // elements are narrow or wide, so the wide ratio applies
    int defaultWideRatio; // wide element in narrow modules (2 or 3), where twoWidths
    double defaultXMm;    // nominal X-dimension (module width)
    double minXMm;        // below this the standard's readers are not expected to cope
    // Bar height in modules (0: 15 % of the symbol's width, at least 6.35 mm,
    // as ISO/IEC 15417 and 16388 recommend); fixed millimetres where the
    // standard gives them (Postnet).
    double defaultHeightModules;
    double defaultHeightMm;
    int quietLeft;   // quiet zones in modules
    int quietRight;
    int quietVertical;
};

// The registry, indexed by Symbology.
KORVANE_API const SymbologyInfo& symbologyInfo(Symbology s);
KORVANE_API const SymbologyInfo* allSymbologies();  // SYMBOLOGY_COUNT entries

// A symbology by its canonical name or an alias, ignoring case and the
// characters '-', '_' and ' ' ("EAN-13", "ean_13" and "ean13" all match).
KORVANE_API std::optional<Symbology> findSymbology(std::string_view name);

}  // namespace korvane
