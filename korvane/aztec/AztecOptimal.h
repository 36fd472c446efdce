#pragma once
// The library's own Aztec encoder: the shortest bit stream for the data over
// all sequences of modes, then the smallest symbol that holds it.

#include "korvane/Encode.h"

#include <string_view>

namespace korvane::detail {

// Options are checked by the caller.
Result<Symbol> encodeAztecOptimal(const Message& message, const EncodeOptions& o);

}  // namespace korvane::detail
