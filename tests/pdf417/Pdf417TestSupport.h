#pragma once
// Shared by the PDF417 tests: random data of each kind, symbols rendered for
// zxing-cpp, and zint's rows for the same data.

#include "Decode.h"
#include "pdf417/Pdf417.h"

#include <random>
#include <string>
#include <vector>

namespace pdf417test {

#ifndef PDF417_RANDOM_SCALE
#define PDF417_RANDOM_SCALE 1
#endif
// A random count the sanitizer build divides by PDF417_RANDOM_SCALE.
constexpr int scaled(int n) { return n / PDF417_RANDOM_SCALE; }

enum class Kind { Text, Digits, Bytes, Mixed, Utf8, DigitRunsInText };
std::string randomValue(std::mt19937& rng, Kind kind, int maxLength);

// The symbol as zxing-cpp reads it (rows `rowHeight` modules tall).
testsupport::Decoded readWithZxing(const std::vector<std::uint8_t>& modules, int rows, int width, int rowHeight = 3);

// zint's rows for the data as "0101..." strings of at most `width` modules;
// empty when zint refuses it. `symbology` is zint's number (55 PDF417,
// 84 MicroPDF417); `args` its options.
std::vector<std::string> zintRows(int symbology, const std::string& args, const std::string& data, int width);

// Our rows in the same form.
std::vector<std::string> rowsOf(const std::vector<std::uint8_t>& modules, int rows, int width);

korvane::Message plain(const std::string& bytes);

}  // namespace pdf417test
