#pragma once
// EmfPainter: writes linear symbols and module matrices as Windows enhanced
// metafiles (EMF).
//
// The records are encoded without GDI, by the shared encoder in EmfRecords.h:
// the file holds exactly the GDI calls a metafile device context would record
// for the drawing (white background rectangle, black bar rectangles, one bold
// "Helvetica" text run), so a Windows player draws the same rectangles and text. Every coordinate is
// twice the drawing unit. The header describes a 96 dpi reference screen of
// 1920 x 1080 pixels (508 x 285.75 mm): bounds are in pixels, the frame in
// 0.01 mm at 2540/96 per pixel.
//
// The whole file is built in memory and written at once, so a failure never
// leaves a partial file behind.

#include "BarPainter.h"

#include <cstdint>
#include <string>
#include <vector>

class EmfPainter : public BarPainter {
public:
    bool paintBars(const std::string& file, const int* widths, const int* heights, int count,
                   const std::string& text, int fontHeight, int textLength) override;
    // Bars only: no text.
    bool paintBars(const std::string& file, const int* widths, const int* heights, int count);
    // One 2 x 2 square per module whose value is 0 (dark); rows x columns
    // modules, row-major.
    bool paintMatrix(const std::string& file, const int* modules, int rows, int columns);

    // The file contents paintBars / paintMatrix would write (empty when they
    // would write nothing).
    static std::vector<std::uint8_t> barsMetafile(const int* widths, const int* heights, int count,
                                                  const std::string& text, int fontHeight, int textLength);
    static std::vector<std::uint8_t> matrixMetafile(const int* modules, int rows, int columns);
};

// The record encoder and the emf:: constants live in the shared formats library.
#include "EmfRecords.h"
