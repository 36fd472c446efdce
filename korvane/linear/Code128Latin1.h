#pragma once
// Code 128 of Latin-1 text (ISO/IEC 15417): bytes 128-255 are the byte less
// 128 after FNC4, one at a time, or all of them after a pair of FNC4 (a
// single FNC4 then marks an ASCII byte), which the engine does not write.

#include <string>
#include <string_view>
#include <vector>

namespace korvane::detail {

// Latin-1 text from data: UTF-8 whose characters are all below U+0100 as
// those characters, any other valid UTF-8 refused (npos and the character's
// index in `refused`), and bytes that are no UTF-8 as Latin-1 already.
struct Latin1Text {
    std::string bytes;
    std::size_t refused = std::string::npos;  // the first character above U+00FF, counted from 0
    std::size_t refusedAt = 0, refusedLength = 0;  // its bytes in the data
    unsigned long codePoint = 0;              // that character
};
Latin1Text latin1Text(std::string_view data);

// The symbol values from the start character to the last data character
// (no check character, no stop) of the encoding with the fewest FNC4
// characters, and of those the fewest symbol characters. `start` is 'A', 'B'
// or 'C' to force the start set, 0 to choose it.
std::vector<int> code128Values(std::string_view latin1, char start);

}  // namespace korvane::detail
