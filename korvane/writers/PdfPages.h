#pragma once
// Several Drawings as the pages of one PDF file: label sheets. Each page is as
// large as its Drawing at the Drawing's resolution.

#include "korvane/Export.h"
#include "korvane/Drawing.h"
#include "korvane/Result.h"

#include <cstdint>
#include <vector>

namespace korvane {

// The bytes of a PDF with one page per drawing, in order. Rectangles are
// filled in the drawing's foreground over its background (none when
// transparent); text is set in Courier, whose advance of 0.6 em is the one
// layout() places text by. Refuses an empty list and drawings without a
// resolution (InvalidOption).
KORVANE_API Result<std::vector<std::uint8_t>> writePdfPages(const std::vector<Drawing>& pages);

}  // namespace korvane
