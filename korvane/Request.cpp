// Requests: the checks every front end makes of the options it is given.

#include "korvane/Request.h"

#include "korvane/Values.h"

namespace korvane {

Status checkOptionApplies(const EncodeOptionInfo& row, Symbology symbology, std::string_view spelled) {
    const SymbologyInfo& info = symbologyInfo(symbology);
    if (row.appliesTo(info))
        return Done{};
    return Error{ErrorCode::InvalidOption, "the option " + std::string(spelled.empty() ? row.name : spelled) +
                                               " does not apply to " + std::string(info.title)};
}

Status setOption(Request& request, std::string_view name, std::string_view text) {
    Status set = Done{};
    if (findLayoutOption(name) != nullptr) {
        set = setLayoutOption(request.layout, name, text);
    } else if (const EncodeOptionInfo* row = findEncodeOption(name)) {
        if (const Status applies = checkOptionApplies(*row, request.symbology); !applies)
            return applies;
        set = setEncodeOption(request.encode, name, text);
    } else {
        return Error{ErrorCode::InvalidOption, "no option " + quotedValue(name)};
    }
    if (set)
        return set;
    return Error{set.error().code, std::string(name) + ": " + set.error().message};
}

Status checkRequest(const Request& request) {
    if (const Status applies = checkOptionsApply(request.symbology, request.encode); !applies)
        return applies;
    return checkLayoutOptions(request.layout, request.symbology);
}

Result<Symbol> encode(const Request& request) { return encode(request.symbology, request.data, request.encode); }

}  // namespace korvane
