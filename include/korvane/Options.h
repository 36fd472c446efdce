#pragma once
// The table of encode options: one row per field of EncodeOptions, with the
// name the command and the packages give it, its field in the C API, and the
// symbologies it applies to. encode() refuses an option set where it does not
// apply, so the library, the C API and the command share one policy.

#include "Encode.h"
#include "Export.h"
#include "Symbology.h"

#include <cstddef>
#include <string_view>

namespace korvane {

struct EncodeOptionInfo {
    std::string_view name;   // as the command spells it, without "--": "ecc-words"
    std::string_view cName;  // the field of kv_encode_options: "ecc_extra_words"
    std::string_view help;   // one line
    // Whether the option can mean anything for a symbology.
    bool (*appliesTo)(const SymbologyInfo& info);
    // Whether `options` sets it to something other than its default.
    bool (*isSet)(const EncodeOptions& options);
};

// The rows, in the order of EncodeOptions' fields.
KORVANE_API const EncodeOptionInfo* encodeOptionTable(std::size_t& count);

// The row named `name` (the command's spelling), or null.
KORVANE_API const EncodeOptionInfo* findEncodeOption(std::string_view name);

// An InvalidOption error naming the first option set in `options` that does
// not apply to `symbology` ("--ecc does not apply to EAN-13"), or Done.
KORVANE_API Status checkOptionsApply(Symbology symbology, const EncodeOptions& options);

}  // namespace korvane
