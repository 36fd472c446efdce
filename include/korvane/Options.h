#pragma once
// The table of encode options: one row per field of EncodeOptions, with the
// name the command and the packages give it, its field in the C API, the kind
// and range of its value, and the symbologies it applies to. Every front end
// parses an option's value through its row and encode() checks the range, so
// the library, the C API, the command, Python and JavaScript share one policy:
// the same names, the same values accepted, the same refusals.

#include "Encode.h"
#include "Export.h"
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

}  // namespace korvane
