#pragma once
// What both Aztec encoders of the library agree on: which configurations the
// options allow, and the facts a symbol reports.

#include "korvane/Encode.h"

namespace korvane::detail {

// The configuration row is of a kind the options allow (compact only, full
// range only).
bool aztecKindAllowed(int row, const EncodeOptions& o);

// Reader initialisation is flagged in the top bit of the codeword count, which
// readers look at only in one-layer compact symbols and full-range symbols of
// up to 22 layers.
bool aztecReaderInitFits(bool compact, int layers);

// The row may hold the symbol: its kind, at least o.minSize modules across,
// and able to carry the reader-initialisation flag when asked for.
bool aztecRowAllowed(int row, const EncodeOptions& o);

// The facts of a symbol in configuration `row` with `dataCodewords` of data
// made from a stream of `dataBits`.
AztecFacts aztecFacts(int row, int dataCodewords, int dataBits, const Message& message);

}  // namespace korvane::detail
