#pragma once
// Helpers shared by the library's tests: module strings, pictures for
// zxing-cpp, and zint's module dump as an independent reference.

#include "Decode.h"
#include "Render.h"

#include <korvane/korvane.hpp>

#include <string>

namespace kvtest {

// The symbol's modules as '1' (bar) and '0' (space), left to right.
std::string moduleString(const korvane::Symbol& symbol);

// Options changed from their defaults by `change`.
template <typename Change>
korvane::EncodeOptions options(Change change) {
    korvane::EncodeOptions o;
    change(o);
    return o;
}

// encode() that fails the test on an error.
korvane::Symbol encoded(korvane::Symbology s, const std::string& data, const korvane::EncodeOptions& o = {});

// The drawing's rectangles as a grayscale picture with `pad` extra white dots
// around it, for zxing-cpp.
testsupport::GrayImage picture(const korvane::Drawing& d, int pad = 40);

// Layout options without a physical size: `moduleDots` dots per module.
korvane::LayoutOptions pixels(int moduleDots);

// Lays the symbol out (at 2 dots per module unless `lo` says otherwise) and decodes it.
testsupport::Decoded readBack(const korvane::Symbol& symbol, testsupport::Symbology as,
                              const korvane::LayoutOptions& lo = pixels(2));

// The zxing-cpp symbology for a library symbology, where zxing reads it.
bool zxingReads(korvane::Symbology s, testsupport::Symbology& as);

// zint's module dump of one symbol as '0'/'1' rows ("" when zint fails).
// `barcode` is zint's type number, `extra` further options.
std::vector<std::string> zintRows(int barcode, const std::string& data, const std::string& extra = "");

}  // namespace kvtest
