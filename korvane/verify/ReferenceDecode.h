#pragma once
// Reference decodes: how each symbology's own standard decodes a symbol
// character from its measured element widths, and the decodability ISO/IEC
// 15416 takes from that decode. Both grade() and verify() judge a linear
// symbol's widths here, so that what one reads the other reads.
//
//   Code 128 (ISO/IEC 15417), Code 93: edge to similar edge distances e1..e4
//     against p, the character's own width (11 and 9 modules), so that gain
//     that widens every bar alike cancels; Code 128 checks its bars' sum too.
//   EAN/UPC (ISO/IEC 15420): e1 and e2 against p (7 modules), and the bar
//     widths of the characters 1, 7, 2 and 8, which share their e values.
//   Code 39 and its variants, Codabar, Interleaved 2 of 5: each element
//     narrow or wide at a threshold taken from its own character's width.

#include "korvane/Symbology.h"

#include <string>
#include <vector>

namespace korvane::detail {

struct ReferenceDecode {
    bool applies = false;      // false: the symbology has no reference decode here
    bool decoded = false;      // every character decodes as its nominal pattern
    double decodability = 0;   // 0-1: the least share of its margin a measurement keeps
    std::string failure;       // when !decoded: the first character that fails, and how
};

// `measured` and `nominal` are the main symbol's elements (no quiet zones, no
// add-on) from its first bar, in the same direction; `wideRatio` is the
// nominal wide element in narrow modules (two-width symbologies). A width on
// a decision threshold decodes neither way: it fails.
ReferenceDecode referenceDecode(const std::vector<double>& measured, const std::vector<int>& nominal, Symbology s,
                                int wideRatio);

}  // namespace korvane::detail
