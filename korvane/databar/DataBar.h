#pragma once
// GS1 DataBar (ISO/IEC 24724): the encoders of the seven symbologies and
// what they share with their readers.

#include "DataBarTables.h"

#include "korvane/Encode.h"
#include "korvane/Message.h"
#include "../encode/Gs1.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvane::databar {

// The forms of GS1 DataBar that carry a GTIN.
enum class Form { Omni, Truncated, Stacked, StackedOmni };

// The thirteen digits of a GTIN without its check digit, from 13 digits,
// 14 with the check digit (verified) or "(01)" and either; the error names
// what is wrong. `limited` also refuses an indicator digit above 1.
Result<std::string> gtinDigits(std::string_view data, bool limited);

// The elements of a GS1 DataBar row, space first (the left guard's), for
// the 13 digits of a GTIN: 46 elements of 96 modules.
std::vector<int> omniElements(const std::string& digits13);

// GS1 DataBar Expanded: the values of the data characters of element
// strings (`segments` a row for a stacked symbol, 0 for one row), or why
// they do not fit.
Result<std::vector<int>> expandedValues(const std::vector<detail::Gs1Element>& e, int segments);
struct ExpandedCharacters {
    std::vector<std::array<int, 8>> widths;  // the check character's first
    std::vector<int> finders;                // 1-12: A1, A2, B1 ... F2
};
ExpandedCharacters expandedCharacters(const std::vector<int>& values);
// One row of the characters [from, to): guards, characters and finders,
// space first.
std::vector<int> expandedRow(const ExpandedCharacters& c, int from, int to);

// The symbols, with the GS1 data and human-readable text; the symbology
// is left for the caller to set.
Result<Symbol> encodeDataBar(Form form, std::string_view data);
// Expanded in one row (`segments` 0), or stacked with 2-22 segments a row (even).
Result<Symbol> encodeExpanded(std::string_view data, int segments);

}  // namespace korvane::databar

namespace korvane::databar {

// Rows of modules, '1' dark, as the stacked symbols are built.
using Row = std::string;
// The modules of elements that start with a light one (`dark` false) or a dark one.
Row moduleRow(const std::vector<int>& elements, bool dark);
// A finder pattern's place in a row: its first column, and whether it is
// drawn mirrored (its wide space then on the right).
struct FinderAt {
    int column;
    bool mirrored;
};
// The separator row next to `row` (ISO/IEC 24724 5.3.2.2 and 7.2.8): the
// complement of the row's modules [from, to) with four light modules at each
// end, dark modules over a finder pattern's spaces alternating with light
// ones from its narrow end; light beyond.
Row finderSeparator(const Row& row, const std::vector<FinderAt>& finders, int from, int to);
// The middle of the three separator rows: light and dark modules in turn.
Row middleSeparator(std::size_t width);
// A symbol of rows of modules, each `heights` modules tall, with its human-readable text.
Symbol gridSymbol(const std::vector<Row>& rows, const std::vector<int>& heights);
// A one-row symbol of elements that start with a light guard space.
Symbol lineSymbol(const std::vector<int>& elements);

}  // namespace korvane::databar

namespace korvane::databar {

// The registry's encoders: a linear row (DataBar, Truncated, Expanded) and
// the stacked ones, each with its symbology set.
Result<Symbol> encodeLinearRow(Symbology s, std::string_view data, const EncodeOptions& o);
Result<Symbol> encodeStacked(const Message& message, const EncodeOptions& o);
Result<Symbol> encodeStackedOmni(const Message& message, const EncodeOptions& o);
Result<Symbol> encodeExpandedStacked(const Message& message, const EncodeOptions& o);

}  // namespace korvane::databar
