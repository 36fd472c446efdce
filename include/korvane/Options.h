#pragma once
// The tables of encode and layout options: one row per option, with the name
// the command and the packages give it (an encode option's field in the C API
// too), the kind and range of its value, and, for the encoder's, the
// symbologies it applies to. Every front end parses an option's value through
// its row and encode() or layout() checks the range, so the library, the C
// API, the command, Python and JavaScript share one policy: the same names,
// the same values accepted, the same refusals.

#include "Encode.h"
#include "Export.h"
#include "Layout.h"
#include "Symbology.h"

#include <cstddef>
#include <string_view>

namespace korvane {

// What an option's value is, as text (the command's form) and as a typed
// value in the packages.
enum class OptionKind {
    Flag,     // true or false: "1", "true", "yes", "on" (or nothing) and "0", "false", "no", "off"
    Integer,  // a whole number within [low, high]
    Number,   // a decimal number within [low, high]
    Letter,   // one of `choices`, either case
    Word,     // one of the '|'-separated `choices`, either case
    Text,     // any text
    Set,      // "I/N[:ID]": symbol I of a set of N, with an optional identifier (Python and JS: a tuple/array)
    Size,     // "RxC": rows by columns (Python and JS: a tuple/array)
    Fields,   // "FIELD=VALUE", one field a time (Python and JS: a dict/object of fields)
    Length,   // a length: a number in the row's unit, or text with a unit ("0.33mm", "13mil", "50x")
    Lengths,  // "H[,V]": one or two lengths (Python a tuple, JS an array)
    Colour,   // RRGGBB, RRGGBBAA, cmyk:C,M,Y,K or a name (Python a tuple and JS an array of components too)
};

struct EncodeOptionInfo {
    std::string_view name;   // as the command spells it, without "--": "ecc-words"; Python "ecc_words", JS "eccWords"
    std::string_view cName;  // the field of kv_encode_options: "ecc_extra_words"
    std::string_view help;   // one line
    // Whether the option can mean anything for a symbology.
    bool (*appliesTo)(const SymbologyInfo& info);
    // Whether `options` sets it to something other than its default.
    bool (*isSet)(const EncodeOptions& options);
    OptionKind kind;
    std::string_view valueName;  // the value in help texts: "N", "A-D", "I/N[:ID]"; "" for a flag
    double low;                  // Integer and Number: the range; Set: the largest count
    double high;
    std::string_view choices;    // Letter: the letters ("ABC"); Word: the words ("square|rect|any")
    // Applies a value given as text to `options`; the error says what is
    // wrong with the value without naming the option (each front end names
    // it in its own spelling).
    Status (*set)(const EncodeOptionInfo& row, EncodeOptions& options, std::string_view text);
    // Integer and Number: the value `options` holds, for the range check.
    double (*number)(const EncodeOptions& options);
};

// The rows, in the order of EncodeOptions' fields.
KORVANE_API const EncodeOptionInfo* encodeOptionTable(std::size_t& count);

// The row named `name` (the command's spelling), or null.
KORVANE_API const EncodeOptionInfo* findEncodeOption(std::string_view name);

// Applies the option named `name` (the command's spelling) from its text.
// Errors (InvalidOption): no such option, or a value its row refuses ("'95'
// is out of range; it must be 0 to 90").
KORVANE_API Status setEncodeOption(EncodeOptions& options, std::string_view name, std::string_view text);

// An InvalidOption error naming the first option set in `options` that does
// not apply to `symbology` ("the option ecc does not apply to EAN-13") or is
// out of its row's range ("the option ecc is 95; it must be 0 to 90"), or Done.
KORVANE_API Status checkOptionsApply(Symbology symbology, const EncodeOptions& options);

// The table of layout options, in the same vocabulary: one row per option of
// LayoutOptions with the command's name (Python keyword and JS name as for the
// encode options), its kind, range and help. The command and the C API set
// them from text through `set`, which checks the row's range as it parses;
// Python and JavaScript take typed values, check their types and assign them
// with the assign*() calls below, leaving the range to checkLayoutOptions(),
// which reads its limits from these rows.
struct LayoutOptionInfo {
    std::string_view name;       // "x-dim"; Python "x_dim", JS "xDim"
    std::string_view help;       // one line, as the command's --help gives it
    OptionKind kind;             // Number, Integer, Flag, Length, Lengths or Colour
    std::string_view valueName;  // "N", "LENGTH", "H[,V]", "COLOUR"; "" for a flag
    double low;                  // Number and Integer: the range text may give; Length(s): the largest in mm (high)
    double high;
    // Number: a word that means 0 ("none": no resolution); Integer: the values
    // taken ("0|90|180|270"), where only some of the range are.
    std::string_view choices;
    Unit unit;                   // Length(s): the unit of a number without one
    bool modules;                // Length(s): whether a count of modules ("50x") is taken
    bool opaque;                 // Colour: only an opaque colour is taken
    // Applies a value given as text, checked against the row; the error says
    // what is wrong without naming the option.
    Status (*set)(const LayoutOptionInfo& row, LayoutOptions& options, std::string_view text);
    // The field the row sets (the one of its kind; null for the others).
    double LayoutOptions::*number;
    int LayoutOptions::*integer;
    bool LayoutOptions::*flag;                 // Flag: set to the value, or to its opposite where `inverted`
    bool inverted;
    std::optional<Length> LayoutOptions::*length;  // Lengths: the first value's (the side quiet zones, both)
    Colour LayoutOptions::*colour;
};

// The rows, in the order the command lists them.
KORVANE_API const LayoutOptionInfo* layoutOptionTable(std::size_t& count);

// The row named `name` (the command's spelling), or null.
KORVANE_API const LayoutOptionInfo* findLayoutOption(std::string_view name);

// Applies the layout option named `name` from its text, as the command does.
// Errors (InvalidOption): no such option, or a value its row refuses ("'0' is
// out of range; it must be 1 to 10000").
KORVANE_API Status setLayoutOption(LayoutOptions& options, std::string_view name, std::string_view text);

// Typed values through a row, for the packages: each assigns the row's field
// (a Number's or Integer's value as given: checkLayoutOptions() says whether
// it is in range). Lengths: one value sets the first field(s), a second the
// vertical quiet zone.
KORVANE_API void assignLayoutNumber(const LayoutOptionInfo& row, LayoutOptions& options, double value);
KORVANE_API void assignLayoutFlag(const LayoutOptionInfo& row, LayoutOptions& options, bool value);
KORVANE_API void assignLayoutLengths(const LayoutOptionInfo& row, LayoutOptions& options, const Length* values,
                                     std::size_t count);
// Error (InvalidOption): a colour that is not opaque where the row takes only those.
KORVANE_API Status assignLayoutColour(const LayoutOptionInfo& row, LayoutOptions& options, Colour value);

}  // namespace korvane
