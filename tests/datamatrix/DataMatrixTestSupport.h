#pragma once
// Shared by the Data Matrix tests: symbols from the library's engine, read
// back by the two independent readers (zxing-cpp and libdmtx) and by zint's
// generator; random values of each kind.

#include "datamatrix/DataMatrix.h"

#include "verify/Readers.h"

#include <Decode.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace dmtest {

namespace dm = korvane::datamatrix;

// How many random values a set runs: `full` normally, a tenth under the
// sanitizers (or `full` with DATAMATRIX_FULL=1 in the environment).
int sampleCount(int full);
// DATAMATRIX_FULL=1: every check on every value (libdmtx reads a tenth otherwise).
bool fullRun();

testsupport::GrayImage render(const dm::Encoded& e, int scale = 3, int quiet = 2);

// zxing-cpp's reading of the symbol.
testsupport::Decoded readZxing(const dm::Encoded& e);

// libdmtx's reading: the data bytes, FNC1 as GS; ok false when nothing was read.
struct DmtxRead {
    bool ok = false;
    std::string data;
};
DmtxRead readDmtx(const dm::Encoded& e);

// zint's symbol for `data` at a fixed size (its option value for the size)
// or its own choice (0), as rows of '0'/'1'; empty when zint refuses.
struct ZintSymbol {
    int rows = 0, columns = 0;
    std::vector<std::uint8_t> modules;
};
ZintSymbol zintEncode(const std::string& data, int zintSize, bool gs1 = false, bool rectangular = false,
                      bool dmre = false);
// zint's option_2 value for a size (1-30 standard, 31-48 DMRE), 0 if none.
int zintSizeOption(int rows, int columns);

enum class Kind { Digits, Upper, Lower, X12, Edifact, Bytes, Utf8, Gs1, Mixed };
const char* kindName(Kind k);
constexpr Kind ALL_KINDS[] = {Kind::Digits, Kind::Upper, Kind::Lower, Kind::X12, Kind::Edifact,
                              Kind::Bytes, Kind::Utf8, Kind::Gs1, Kind::Mixed};

// A random value of a kind, 1-`maxLength` characters (GS1: element strings
// with GS after variable-length fields).
std::string randomValue(Kind k, std::mt19937& rng, int maxLength);

korvane::Message plain(const std::string& bytes);

// The picture as the library's readers take it.
korvane::GrayRaster raster(const testsupport::GrayImage& image);
// The library's own reader on the symbol's picture.
korvane::detail::Reading readOurs(const dm::Encoded& e);

}  // namespace dmtest
