#include "Decode.h"
#include "NoDecoder.h"

namespace testsupport {

namespace {
int calls = 0;
}

int decoderCallsInTest() { return calls; }
void resetDecoderCalls() { calls = 0; }

Decoded decode(const GrayImage&, Symbology) {
    ++calls;
    Decoded d;
    d.error = "no decoder in the Windows test build";
    return d;
}

std::string bytesToString(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

}  // namespace testsupport
