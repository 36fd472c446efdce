#pragma once
// Label sheets as the command takes them: its options turned into the
// library's, and the hint that names the option that would make room for a
// label. The library composes and writes the pages (korvane/Sheet.h).

#include "CommandLine.h"

#include <korvane/Sheet.h>

#include <string>

namespace korvane::cli {

// The sheet of --sheet, --grid, --margins, --gap, --label-text and
// --cut-marks at the run's resolution and colours.
SheetOptions sheetOptions(const SheetSettings& sheet, const Settings& settings);

// What was too large for a cell: a label of `width` x `height` dots (text
// line included), and whether any row gave its X or height itself.
struct Overflow {
    int width = 0;
    int height = 0;
    bool xGiven = false;
    bool heightGiven = false;
};

// The options that would make room, "fewer columns in --grid or smaller
// --margins would make room", naming margins when they take a fifth of the
// page in the direction that overflows; never empty.
std::string roomHint(const SheetSettings& sheet, const SheetGeometry& g, const Overflow& overflow);

}  // namespace korvane::cli
