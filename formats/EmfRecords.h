#pragma once
// Enhanced-metafile (EMF) records, encoded without GDI: the builder below
// appends the records a metafile device context would record and assembles
// the header around them. barlane's EmfPainter and the korvane library's EMF
// writer both draw through it.

#include <cstdint>
#include <string>
#include <vector>

namespace emf {
// Reference device of the header unless the caller describes another one:
// a 96 dpi screen.
constexpr int DEVICE_WIDTH_PX = 1920;
constexpr int DEVICE_HEIGHT_PX = 1080;
constexpr int DEVICE_WIDTH_UM = 508000;   // 20 inches at 96 dpi
constexpr int DEVICE_HEIGHT_UM = 285750;  // 11.25 inches at 96 dpi

// Record types used by the writers.
constexpr std::uint32_t EMR_HEADER = 1;
constexpr std::uint32_t EMR_EOF = 14;
constexpr std::uint32_t EMR_SETBKMODE = 18;
constexpr std::uint32_t EMR_SETTEXTALIGN = 22;
constexpr std::uint32_t EMR_SETTEXTCOLOR = 24;
constexpr std::uint32_t EMR_SELECTOBJECT = 37;
constexpr std::uint32_t EMR_CREATEPEN = 38;
constexpr std::uint32_t EMR_CREATEBRUSHINDIRECT = 39;
constexpr std::uint32_t EMR_DELETEOBJECT = 40;
constexpr std::uint32_t EMR_RECTANGLE = 43;
constexpr std::uint32_t EMR_EXTCREATEFONTINDIRECTW = 82;
constexpr std::uint32_t EMR_EXTTEXTOUTA = 83;
constexpr std::uint32_t EMR_EXTTEXTOUTW = 84;

constexpr std::uint32_t ETO_OPAQUE = 0x0002;
constexpr std::uint32_t GM_COMPATIBLE = 1;
constexpr std::int32_t FW_NORMAL = 400;
constexpr std::int32_t FW_BOLD = 700;
constexpr const char* FONT_FACE = "Helvetica";

// SetBkMode and SetTextAlign values.
constexpr std::uint32_t TRANSPARENT = 1;
constexpr std::uint32_t TA_LEFT = 0;
constexpr std::uint32_t TA_RIGHT = 2;
constexpr std::uint32_t TA_CENTER = 6;
constexpr std::uint32_t TA_BASELINE = 24;

// LOGFONT pitch and family.
constexpr std::uint8_t FIXED_PITCH = 1;
constexpr std::uint8_t VARIABLE_PITCH = 2;
constexpr std::uint8_t FF_SWISS = 0x20;
constexpr std::uint8_t FF_MODERN = 0x30;

// A COLORREF: 0x00bbggrr.
constexpr std::uint32_t colorRef(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<std::uint32_t>(r) | static_cast<std::uint32_t>(g) << 8 | static_cast<std::uint32_t>(b) << 16;
}

// Logical coordinates; corners as GDI calls take them.
struct Box {
    std::int64_t left, top, right, bottom;
};

// The fields of a LOGFONTW the writers choose.
struct Font {
    std::int32_t height = 0;       // negative: the em height; positive: the cell height
    std::int32_t escapement = 0;   // tenths of a degree, counter-clockwise
    std::int32_t weight = FW_NORMAL;
    std::uint8_t pitchAndFamily = 0;
    std::string face;              // ASCII, at most 31 characters are kept
};

// The reference device the header describes: its size in pixels and in
// micrometres. Logical units are its pixels.
struct Device {
    std::int32_t widthPx = DEVICE_WIDTH_PX;
    std::int32_t heightPx = DEVICE_HEIGHT_PX;
    std::int32_t widthUm = DEVICE_WIDTH_UM;
    std::int32_t heightUm = DEVICE_HEIGHT_UM;
};

// Accumulates records and the header's counts, then assembles the file.
// Coordinates are computed in 64 bits and saturated to the 32-bit range of the
// file format, so absurd sizes never overflow.
class MetafileBuilder {
public:
    MetafileBuilder();

    // The header's reference device (default: the 96 dpi screen above).
    void setDevice(const Device& device) { device_ = device; }
    // Fixed bounds (inclusive, in device pixels) instead of the area drawn.
    void setBounds(const Box& inclusive);

    void createPen(std::uint32_t handle, std::uint32_t colour);
    void createBrush(std::uint32_t handle, std::uint32_t colour);
    // A bold FONT_FACE of the given cell height: the font barlane draws with.
    void createFont(std::uint32_t handle, std::int32_t height);
    void createFont(std::uint32_t handle, const Font& font);
    void select(std::uint32_t handle);
    void remove(std::uint32_t handle);

    void setBkMode(std::uint32_t mode);
    void setTextAlign(std::uint32_t align);
    void setTextColor(std::uint32_t colour);

    // Rectangle(left, top, right, bottom) as a GDI metafile device context
    // records it: corners put in order, and the box stored inclusive
    // (left..right-1, top..bottom-1), the area Rectangle() covers; players draw
    // EMR_RECTANGLE boxes inclusive of both edges. An empty rectangle draws
    // nothing and is not recorded.
    void rectangle(const Box& r);

    // ExtTextOutA at (x, y), ETO_OPAQUE, no clipping rectangle, no spacing
    // array. `box` estimates the area the text covers, for the bounds.
    void textOut(std::int64_t x, std::int64_t y, const std::string& text, const Box& box);
    // ExtTextOutW at (x, y) with the given options, no clipping rectangle, no
    // spacing array; `text` is UTF-16.
    void textOutW(std::int64_t x, std::int64_t y, const std::u16string& text, std::uint32_t options,
                  const Box& box);

    // The file: header, records, end-of-file record.
    std::vector<std::uint8_t> finish();

private:
    void begin(std::uint32_t type);
    void end();
    void handleRecord(std::uint32_t type, std::uint32_t handle);
    void valueRecord(std::uint32_t type, std::uint32_t value);
    void useHandle(std::uint32_t handle);
    void include(const Box& r);
    void textRecord(std::uint32_t type, std::int64_t x, std::int64_t y, std::uint32_t units, std::uint32_t options,
                    const Box& box);
    void u32(std::uint32_t v);
    void i32(std::int32_t v);
    void f32(float v);
    void boxFields(const Box& r);

    std::vector<std::uint8_t> out_;
    std::size_t recordStart_ = 0;
    std::uint32_t records_ = 0;
    std::uint32_t maxHandle_ = 0;
    Box bounds_{0, 0, -1, -1};
    bool hasBounds_ = false;
    bool fixedBounds_ = false;
    Device device_;
};

}  // namespace emf
