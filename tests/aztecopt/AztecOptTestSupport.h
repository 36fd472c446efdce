#pragma once
// Helpers of the optimal Aztec encoder's tests: a reader of high-level bit
// streams, decoding symbols through zxing-cpp, and what a reader returns.

#include "Decode.h"

#include <korvane/Encode.h>

#include <string>
#include <vector>

namespace aztecopt {

// A message as the encoder takes it: bytes, and per position -1, 0 (FNC1) or
// an ECI number.
struct Message {
    std::string bytes;
    std::vector<int> markers;
};

// Reads a high-level stream ('0'/'1') the way ISO/IEC 24778 defines it,
// starting in upper mode; trailing bits too few for a code are ignored. FNC1
// and ECI come back as markers on a placeholder byte '0'. `ok` is false on a
// code the standard does not allow where it stands.
struct ReadStream {
    bool ok = false;
    std::string error;
    Message message;
};
ReadStream readStream(const std::string& bits);

// The stream the optimal encoder writes for a message, as '0'/'1'.
std::string shortestStream(const Message& m);

// Renders a symbol with a quiet zone and decodes it.
testsupport::Decoded decodeSymbol(const korvane::Symbol& symbol);

// Whether zxing-cpp's reading of a symbol is the content `expected`. The reader
// takes a GS at the very start for the GS1 marker, and one after a single
// letter or two digits for an AIM application indicator; neither is content then.
bool readsAs(const testsupport::Decoded& d, const std::string& expected);

}  // namespace aztecopt
