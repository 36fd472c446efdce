// Placeholder until the optimal encoder lands: the aztec program's encoder.

#include "AztecOptimal.h"

#include "../encode/Adapters.h"

namespace korvane::detail {

Result<Symbol> encodeAztecOptimal(std::string_view data, const EncodeOptions& o) {
    EncodeOptions specified = o;
    specified.aztecEncoder = AztecEncoder::Specified;
    return encodeAztec(data, specified);
}

}  // namespace korvane::detail
