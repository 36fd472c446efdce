#pragma once
// One symbol as a front end asks for it: the symbology, the data and the
// options of the encoder, the layout and the writers. The command, Python and
// JavaScript fill a request through the option rows (Options.h), each from
// its own kind of values, and check it here, in one place, when the options
// are given rather than when the symbol is drawn.

#include "Encode.h"
#include "Export.h"
#include "Layout.h"
#include "Options.h"
#include "Write.h"

#include <string>
#include <string_view>

namespace korvane {

struct Request {
    Symbology symbology = Symbology::Code128;
    std::string data;
    EncodeOptions encode;
    LayoutOptions layout;
    WriteOptions write;
};

// Refuses an encode option given for a symbology it means nothing for, even at
// its default value: "the option ecc does not apply to Code 128". `spelled`
// is the option's name as the front end spells it (the row's name if empty).
KORVANE_API Status checkOptionApplies(const EncodeOptionInfo& row, Symbology symbology, std::string_view spelled = {});

// Sets an option of either table by the command's name from its text; an
// encode option must apply to the request's symbology. Errors name the option.
KORVANE_API Status setOption(Request& request, std::string_view name, std::string_view text);

// Every check that needs no data: the encode options set apply to the
// symbology and are within their ranges (checkOptionsApply()), and the layout
// options hold for it (checkLayoutOptions()).
KORVANE_API Status checkRequest(const Request& request);

// The request's symbol: encode(request.symbology, request.data, request.encode).
KORVANE_API Result<Symbol> encode(const Request& request);

}  // namespace korvane
