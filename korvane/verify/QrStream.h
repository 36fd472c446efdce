#pragma once
// The bit stream of the QR Code family as the readers decode it: QR Code,
// Micro QR and rMQR share the segments and differ in their indicators and
// count lengths.

#include "Readers.h"

#include <vector>

namespace korvane::detail {

struct StreamHeaders {
    static constexpr int MODES = 8;
    int indicatorBits;  // 0: no indicator, every segment numeric (Micro QR M1)
    int terminatorBits;
    // The indicators of numeric, alphanumeric, byte, Kanji, ECI, FNC1 first,
    // FNC1 second and structured append (-1: not in the symbol).
    int mode[MODES];
    int countBits[4];  // of the first four; 0: not in the symbol
};

// Decodes the segments in the first `bits` bits of `data` (bytes) into
// r.data (and r.gs1, the structured-append fields); false when the stream
// breaks off or holds an indicator the symbol does not have.
bool decodeQrStream(const std::vector<int>& data, int bits, const StreamHeaders& headers, Reading& r);

}  // namespace korvane::detail
