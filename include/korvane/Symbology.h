#pragma once
// The symbologies and what the library knows about each: names,
// accepted characters, check characters, and the sizes their standards ask for.

#include "Export.h"
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

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
    Qr,
    DataMatrix,
    Pdf417,
    Logmars,
    Vin,
    Pzn,
    Code32,
    Iata2of5,
    Datalogic2of5,
    Pharmacode,
    Plessey,
    Telepen,
    TelepenNumeric,
    DataBar,
    DataBarTruncated,
    DataBarStacked,
    DataBarStackedOmni,
    DataBarExpanded,
    DataBarExpandedStacked,
    Imb,
    Planet,
    Rm4scc,
    Kix,
    AusPost,
    AusReply,
    AusRoute,
    AusRedirect,
    Daft,
    MicroQr,
    Rmqr,
    UpnQr,
};
constexpr int SYMBOLOGY_COUNT = 49;

// Whether a symbology's check character can be chosen.
enum class CheckRule {
    None,       // the symbology has no check character
    Optional,   // off by default; EncodeOptions::check turns it on
    OptionalOn, // on by default; EncodeOptions::check can turn it off
    Mandatory,  // always computed (a supplied one is verified where the data may carry it)
};

// What a symbology takes besides its characters, as bits of
// SymbologyInfo::capabilities. Front ends read these instead of keeping lists.
enum Capability : unsigned {
    CAP_GS1 = 1u << 0,                // GS1 element strings (EncodeOptions::gs1)
    CAP_FNC1 = 1u << 1,               // FNC1 anywhere in the data (escape "~F")
    CAP_ECI = 1u << 2,                // ECI designators (EncodeOptions::eci, escape "~Ennnnnn")
    CAP_STRUCTURED_APPEND = 1u << 3,  // a symbol of a set (EncodeOptions::structuredAppend)
    CAP_READER_INIT = 1u << 4,        // reader initialisation / programming
    CAP_ADD_ON = 1u << 5,             // an EAN/UPC add-on of 2 or 5 digits
    CAP_RETAIL_TEXT = 1u << 6,        // digits set around the bars as the retail standards show them
    CAP_CODE128_START = 1u << 7,      // a chosen Code 128 start set
    CAP_MSI_CHECK = 1u << 8,          // the MSI check digit schemes
    CAP_CODABAR_ENDS = 1u << 9,       // Codabar start and stop characters
    CAP_UPCE_SYSTEM = 1u << 10,       // the UPC-E number system
    CAP_AZTEC = 1u << 11,             // the Aztec sizing and encoder options
    CAP_QR = 1u << 12,                // the QR Code level, version, mask and mode options
    CAP_DATAMATRIX = 1u << 13,        // the Data Matrix size and shape options
    CAP_PDF417 = 1u << 14,            // the PDF417 level, shape, row height and macro fields
    CAP_GS1_ONLY = 1u << 15,          // the data is always GS1 element strings (GS1-128)
    CAP_DATABAR_SEGMENTS = 1u << 16,  // the segments a row of GS1 DataBar Expanded Stacked
    CAP_RMQR = 1u << 17,              // the rMQR size option
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
    unsigned capabilities;  // Capability bits
    // The most bytes of data (after escapes and GS1 parsing; each FNC1 or ECI
    // marker counts as one) that any symbol of the symbology holds: the whole
    // capacity of the largest symbol in its densest characters, or for linear
    // symbologies without a fixed length the most this library draws. Longer
    // data is refused before any other work.
    std::size_t maxDataBytes;
    // The symbology GS1 data makes of this one ("gs1-128" for Code 128), or empty.
    std::string_view gs1Name = {};
    // Four-state postal codes: the height of the tracker (the middle band
    // every bar crosses) in mm, beside the full bars' defaultHeightMm; 0 for
    // every other symbology.
    double trackerHeightMm = 0;

    constexpr bool takes(Capability c) const { return (capabilities & c) != 0; }
};

// The names of a symbology's capabilities that mean something to a user
// ("gs1", "eci", "structured-append", "reader-init", "fnc1", "add-on",
// "retail-text"), for lists and reports; the option groups are left out.
KORVANE_API std::vector<std::string_view> capabilityNames(const SymbologyInfo& info);

// The registry, indexed by Symbology.
KORVANE_API const SymbologyInfo& symbologyInfo(Symbology s);
KORVANE_API const SymbologyInfo* allSymbologies();  // SYMBOLOGY_COUNT entries

// A symbology by its canonical name or an alias, ignoring case and the
// characters '-', '_' and ' ' ("EAN-13", "ean_13" and "ean13" all match).
KORVANE_API std::optional<Symbology> findSymbology(std::string_view name);

}  // namespace korvane
