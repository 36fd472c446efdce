#pragma once
// Output interface for a finished linear symbol.

#include <string>

class BarPainter {
public:
    virtual ~BarPainter() = default;
    // Draws `count` elements (even-numbered ones are bars) and the text below
    // them into `file`. Returns whether the file was written; a count of 0
    // writes nothing.
    virtual bool paintBars(const std::string& file, const int* widths, const int* heights, int count,
                           const std::string& text, int fontHeight, int textLength) = 0;
};
