#pragma once
// What the GS1 DataBar readers share between scan lines and the rows of
// stacked symbols (DataBarReader.cpp, DataBarStackedReader.cpp).

#include "Lines.h"
#include "Readers.h"

#include <string>
#include <vector>

namespace korvane::detail {

struct LineRead;
struct ScanLine;

// Half a GS1 DataBar symbol: two characters around a finder pattern, read
// from run `at` (the first character's first element). The left half is an
// outside character, the finder and an inside one mirrored; the right half
// an inside character, the finder mirrored and an outside one mirrored.
struct DataBarHalf {
    bool ok = false;
    long long value = 0;  // the half's share of the symbol value
    int finder = -1;      // 0-8
    int checksum = 0;     // the half's share of the modulo-79 sum
};
DataBarHalf readDataBarHalf(const Runs& runs, int at, bool right);
// The 14-digit GTIN of two halves whose finders carry their check value.
bool joinDataBar(const DataBarHalf& left, const DataBarHalf& right, std::string& gtin);

// A pair of GS1 DataBar Expanded: the left character, its finder pattern
// (1-12: A1, A2 ... F2, the even ones mirrored) and the right character
// mirrored back, when there is one; widths as the encoder wrote them.
struct ExpandedPiece {
    bool ok = false;
    int finder = 0;
    bool hasRight = false;
    int left[8] = {};
    int right[8] = {};
};
ExpandedPiece readExpandedPiece(const Runs& runs, int at, bool withRight);
// The element strings of the pairs, in order, with GS after variable-length
// fields; false with `failure` saying why.
bool joinExpanded(const std::vector<ExpandedPiece>& pairs, std::string& data, std::string& failure);
// The element strings of an Expanded bit stream.
bool expandedData(const std::string& bits, std::string& data);

LineRead decodeDataBar(const ScanLine& line);
LineRead decodeExpanded(const ScanLine& line);

// The stacked symbols from pictures, row by row.
Reading readDataBarStacked(const GrayRaster& raster);
Reading readExpandedStacked(const GrayRaster& raster);

}  // namespace korvane::detail
