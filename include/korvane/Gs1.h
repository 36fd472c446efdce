#pragma once
// GS1 Digital Link: the URI form of GS1 element strings
// ("https://id.gs1.org/01/09506000134352/10/ABC1?17=270101"), made from
// element strings and read back into them, each checked against GS1's rules.

#include "Export.h"
#include "Result.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// The GS1 Digital Link URI of element strings ("(01)09506000134352(10)ABC1"
// or the plain form with GS after variable-length fields): the primary key
// and its qualifiers in the path, in the order GS1 gives them, the other AIs
// as query parameters. `domain` is the URI's scheme, host and any path
// before the key. The uncompressed form.
KORVANE_API Result<std::string> gs1DigitalLink(std::string_view elementStrings,
                                               std::string_view domain = "https://id.gs1.org");

// The element strings ("(01)09506000134352(10)ABC1(17)270101") of a GS1
// Digital Link URI: its primary key and qualifiers, then the AIs of its
// query in their order; query parameters that are no AI are left out. When
// a value holds a bracket, the plain form, with GS (0x1D) after
// variable-length fields.
KORVANE_API Result<std::string> gs1FromDigitalLink(std::string_view uri);

// Checks element strings against GS1's rules (every AI of GS1's Barcode
// Syntax Dictionary with its checks, pairs GS1 forbids, an AI twice with
// different values): the error names the AI, the component and the rule.
// What it gives back are notes: AIs that need others the data lacks ("GS1 AI
// (10) needs (01) or (02) ..."), which another carrier on the item may hold.
KORVANE_API Result<std::vector<std::string>> checkGs1(std::string_view elementStrings);

// Element strings as printed under a symbol: "(01) 09506000134352 (17) 270101".
KORVANE_API Result<std::string> gs1HumanReadable(std::string_view elementStrings);

}  // namespace korvane
