#pragma once
// Helpers shared by the Aztec tests: bit strings as text, symbols as rows of '0'/'1',
// decoding through the independent reader, and reading BMP files back.

#include "Aztec.h"
#include "BitString.h"
#include "Decode.h"

#include <cstdint>
#include <string>
#include <vector>

namespace aztectest {

// Bits of `s` with the spaces removed ("00010 11100" -> "0001011100").
std::string packed(const std::string& s);

// Encodes a text through the character encoder as paint() would (tilde escapes
// when `tilde` is set) and returns the stream as '0'/'1'.
std::string encodedText(const std::string& text, bool tilde = false);

std::vector<int> bytesOf(const std::string& s);

// The painted matrix as one '0'/'1' text per row, 1 = dark.
std::vector<std::string> matrixRows(const Aztec& aztec);

// Renders the painted matrix with a quiet zone and decodes it.
testsupport::Decoded decodeSymbol(const Aztec& aztec);

struct Bmp {
    bool ok = false;
    std::string error;
    std::uint32_t fileSize = 0, offset = 0, headerSize = 0, sizeImage = 0, compression = 0;
    std::int32_t width = 0, height = 0;
    std::uint16_t planes = 0, bitsPixel = 0, res1 = 0, res2 = 0;
    std::uint32_t xPels = 0, yPels = 0, clrUsed = 0, clrImportant = 0;
    std::vector<int> pixels;  // width x height colours 0xRRGGBB, top row first
    bool padZero = true;      // every row pad byte was 0
};

// Parses a 24-bit BMP from its bytes, checking that the layout is consistent.
Bmp parseBmp(const std::string& bytes);
Bmp readBmp(const std::string& path);

std::string readWhole(const std::string& path);

}  // namespace aztectest
