#pragma once
// GS1 DataBar (ISO/IEC 24724): the encoders of the seven symbologies and
// what they share with their readers.

#include "DataBarTables.h"

#include "korvane/Encode.h"
#include "../encode/Gs1.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvane::databar {

// The element widths of a character of value `value` (0 to the set's
// values less one) in a set of groups: odd and even elements interleaved,
// odd first. `evenMajor` where the value counts even patterns in the
// higher place (the inside characters of GS1 DataBar). False for a value
// outside the set.
template <std::size_t N>
bool characterWidths(const CharacterGroup (&groups)[N], int value, int elements, bool oddNoNarrow, bool evenMajor,
                     int* out) {
    std::size_t g = N;
    while (g > 0 && groups[g - 1].first > value)
        --g;
    if (g == 0 || value < 0)
        return false;
    const CharacterGroup& c = groups[g - 1];
    const int v = value - c.first;
    const int oddValue = evenMajor ? v % c.oddCount : v / c.evenCount;
    const int evenValue = evenMajor ? v / c.oddCount : v % c.evenCount;
    if (oddValue >= c.oddCount || evenValue >= c.evenCount)
        return false;
    int odd[8] = {}, even[8] = {};
    elementWidths(oddValue, c.oddModules, elements, c.widestOdd, oddNoNarrow, odd);
    elementWidths(evenValue, c.evenModules, elements, c.widestEven, !oddNoNarrow, even);
    for (int i = 0; i < elements; ++i) {
        out[2 * i] = odd[i];
        out[2 * i + 1] = even[i];
    }
    return true;
}

// The value of a character from its widths (odd and even interleaved, odd
// first), or -1 where no character of the set has them.
template <std::size_t N>
int characterValue(const CharacterGroup (&groups)[N], const int* widths, int elements, bool oddNoNarrow,
                   bool evenMajor) {
    int odd[8] = {}, even[8] = {};
    int oddSum = 0, evenSum = 0;
    for (int i = 0; i < elements; ++i) {
        odd[i] = widths[2 * i];
        even[i] = widths[2 * i + 1];
        oddSum += odd[i];
        evenSum += even[i];
    }
    for (const CharacterGroup& c : groups) {
        if (c.oddModules != oddSum || c.evenModules != evenSum)
            continue;
        for (int i = 0; i < elements; ++i)
            if (odd[i] > c.widestOdd || even[i] > c.widestEven)
                return -1;
        const int oddValue = widthsValue(odd, elements, c.widestOdd, oddNoNarrow);
        const int evenValue = widthsValue(even, elements, c.widestEven, !oddNoNarrow);
        if (oddValue >= c.oddCount || evenValue >= c.evenCount)
            return -1;
        // The widths must be the ones the value makes (a pattern without a
        // narrow element where one is needed has a value too).
        int back[16] = {};
        const int value = c.first + (evenMajor ? evenValue * c.oddCount + oddValue : oddValue * c.evenCount + evenValue);
        characterWidths(groups, value, elements, oddNoNarrow, evenMajor, back);
        for (int i = 0; i < 2 * elements; ++i)
            if (back[i] != widths[i])
                return -1;
        return value;
    }
    return -1;
}

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
// The separator row next to `row` (ISO/IEC 24724 5.3.2.2 and 7.2.8): the row's
// complement with four light modules at each end, dark modules over a finder
// pattern's spaces alternating with light ones from its narrow end.
Row finderSeparator(const Row& row, const std::vector<FinderAt>& finders);
// The middle of the three separator rows: light and dark modules in turn.
Row middleSeparator(std::size_t width);
// A symbol of rows of modules, each `heights` modules tall, with its human-readable text.
Symbol gridSymbol(const std::vector<Row>& rows, const std::vector<int>& heights);
// A one-row symbol of elements that start with a light guard space.
Symbol lineSymbol(const std::vector<int>& elements);

}  // namespace korvane::databar
