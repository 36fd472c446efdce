#pragma once
// Decoding through zxing-cpp, the independent reader the round-trip tests trust.

#include "Render.h"

#include <string>
#include <vector>

namespace testsupport {

enum class Symbology { Code39, Code39Extended, Code93, Code128, Codabar, ITF, EAN8, EAN13, UPCA, UPCE, Aztec, QRCode,
                        DataMatrix, Pdf417, MicroQRCode };

struct Decoded {
    bool ok = false;
    std::string text;                 // decoded text as UTF-8
    std::vector<std::uint8_t> bytes;  // raw content bytes (no character set conversion)
    std::string symbologyId;          // e.g. "]C1" for GS1-128, "]z3" for Aztec with ECI
    std::string error;                // why decoding failed, when !ok
    bool readerInit = false;
    int sequenceIndex = -1;
    int sequenceSize = -1;
    std::string sequenceId;
    bool hasECI = false;              // an ECI designator was read
    std::string bytesECI;             // content with ECI designators as "\\nnnnnn" escapes
    bool gs1 = false;                 // FNC1 in first position: GS1 content
};

// Decodes one symbol of the given symbology from the image; only that format is
// enabled. Code 39 extended turns on zxing's full-ASCII interpretation; check
// characters are returned as part of the text where the reader keeps them.
Decoded decode(const GrayImage& image, Symbology symbology);

std::string bytesToString(const std::vector<std::uint8_t>& bytes);

}  // namespace testsupport
