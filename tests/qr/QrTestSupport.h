#pragma once
// Shared by the QR Code tests: pictures of symbols, the two independent
// readers (zxing-cpp, zbar) and the independent generator (zint), in-process.

#include "Decode.h"
#include "Render.h"

#include <qr/Qr.h>
#include <verify/Readers.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace qrtest {

// Values per kind and level in the round trips (fewer under the sanitizers).
#ifndef QR_TEST_VALUES
#define QR_TEST_VALUES 1000
#endif
constexpr int VALUES = QR_TEST_VALUES;

korvane::Message message(const std::string& bytes);

testsupport::GrayImage image(const korvane::qr::QrSymbol& symbol, int scale = 2);

// zxing-cpp's reading of the symbol (text as UTF-8, bytes as carried).
testsupport::Decoded zxing(const korvane::qr::QrSymbol& symbol);

// zbar's reading: its text (converted to UTF-8 as zbar sees fit), or with
// `binary` the bytes as carried. Empty optional-like: ok false when nothing read.
struct ZbarRead {
    bool ok = false;
    std::string data;
};
ZbarRead zbar(const korvane::qr::QrSymbol& symbol, bool binary = false);

// zint's symbol for the same bytes: level 1-4 (L-H), version 0 (any) or
// 1-40, mask -1 (zint's choice) or 0-7. Empty modules when zint refused.
struct ZintSymbol {
    int size = 0;
    std::vector<std::uint8_t> modules;
    std::string error;
};
ZintSymbol zint(const std::string& data, int level, int version = 0, int mask = -1, bool utf8 = false,
                bool gs1 = false, int eci = 0);

// The library's own reader on the same picture zxing-cpp and zbar see.
korvane::detail::Reading ours(const std::vector<std::uint8_t>& modules, int size, int scale = 2, int turns = 0);

// The mask of a finished matrix, read from its format information (the first copy).
int maskOf(const std::vector<std::uint8_t>& modules, int size);

// Random values of each kind the round trips use.
enum class Kind { Numeric, Alphanumeric, Bytes, Latin1, Utf8, Kanji, Gs1, Mixed };
const char* kindName(Kind k);
std::string randomValue(Kind k, std::mt19937& rng);

}  // namespace qrtest
