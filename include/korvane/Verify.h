#pragma once
// verify(): read a laid-out symbol back as a scanner would and compare what
// it holds with the data that was asked for.

#include "Export.h"
#include "Drawing.h"
#include "Symbol.h"

#include <string>

namespace korvane {

struct Verdict {
    bool ok = false;
    // The data the reader returned (empty when it read nothing); an EAN/UPC
    // add-on follows after '+', as in encode()'s data.
    std::string read;
    // Why it failed: what differs and where ("character 4 reads 'B', expected 'A'"),
    // or the check that failed ("Reed-Solomon syndromes do not vanish").
    std::string reason;
    int firstDifference = -1;  // index into the expected data, -1 when none
    // Aztec and QR Code: codewords (Aztec: mode-message and data codewords)
    // that the check words had to correct. A symbol as laid out should need none; one needing more than
    // its check words correct fails.
    int correctedCodewords = 0;
    // PDF417: of those, the characters no scan line could read (erasures).
    int erasedCodewords = 0;

    // A second opinion from zxing-cpp, where the library was built with it
    // (KORVANE_WITH_ZXING) and it reads this symbology; it is reported but does
    // not decide.
    bool zxingRan = false;
    bool zxingAgrees = false;  // zxing-cpp read the data asked for
    std::string zxingRead;     // what it read, in the form of `read`
};

// Renders the drawing (at least 4 pixels per module: drawings of fewer dots per
// module are scaled up), reads it without using the symbol's element widths or
// modules, in any of the four orientations, and compares what it read with
// symbol.facts: the data, check characters and add-on; for Aztec also reader
// initialisation and structured append; for QR Code structured append, GS1
// and the version, level and mask of its format information. Linear symbols are read as grade()
// decodes them printed as drawn: ten scan lines through its synthetic aperture, each read between
// the edges ISO/IEC 15416 places and held to the symbology's reference decode and its quiet zones
// (half a module short at most), so that verify() passes exactly what grade() decodes. Colours count as a scanner sees them: the bars must be
// darker than the background (a transparent one is light) by at least 20 %
// of the reflectance range; matrix symbols may also be light on dark. An Aztec
// symbol that reads but whose picture a scanner would not trust fails too:
// light lines between its modules, a run more than a quarter module wider or
// narrower than its modules, a bull's-eye out of square (the reason names
// the row or column). grade() in Grade.h says how well it would scan printed.
// Thread-safe: it keeps no state between calls.
KORVANE_API Verdict verify(const Drawing& drawing, const Symbol& symbol);

}  // namespace korvane
