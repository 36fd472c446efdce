#pragma once
// EmfPainter: writes linear symbols and module matrices as Windows enhanced
// metafiles (EMF).
//
// The records are encoded here, without GDI: the file holds exactly the GDI
// calls a metafile device context would record for the drawing (white
// background rectangle, black bar rectangles, one bold "Helvetica" text run),
// so a Windows player draws the same rectangles and text. Every coordinate is
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

namespace emf {
// Reference device of the header.
constexpr int DEVICE_WIDTH_PX = 1920;
constexpr int DEVICE_HEIGHT_PX = 1080;
constexpr int DEVICE_WIDTH_UM = 508000;   // 20 inches at 96 dpi
constexpr int DEVICE_HEIGHT_UM = 285750;  // 11.25 inches at 96 dpi

// Record types used by the writer.
constexpr std::uint32_t EMR_HEADER = 1;
constexpr std::uint32_t EMR_EOF = 14;
constexpr std::uint32_t EMR_SELECTOBJECT = 37;
constexpr std::uint32_t EMR_CREATEPEN = 38;
constexpr std::uint32_t EMR_CREATEBRUSHINDIRECT = 39;
constexpr std::uint32_t EMR_DELETEOBJECT = 40;
constexpr std::uint32_t EMR_RECTANGLE = 43;
constexpr std::uint32_t EMR_EXTCREATEFONTINDIRECTW = 82;
constexpr std::uint32_t EMR_EXTTEXTOUTA = 83;

constexpr std::uint32_t ETO_OPAQUE = 0x0002;
constexpr std::uint32_t GM_COMPATIBLE = 1;
constexpr std::int32_t FW_BOLD = 700;
constexpr const char* FONT_FACE = "Helvetica";
}  // namespace emf
