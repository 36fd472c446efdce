#pragma once
// A Drawing: a symbol placed on a canvas in device units (dots at the
// drawing's resolution). Vector writers use the same geometry, scaled to
// millimetres or points by the resolution. Writers need nothing else.

#include <cstdint>
#include <string>
#include <vector>

namespace korvane {

struct Colour {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;  // a = 0: transparent
    // A print colour given as CMYK, in whole percent: PDF and EPS write it as
    // it is, so black stays on the black plate alone; r, g and b hold it for
    // the formats without CMYK (SVG, PNG, EMF, BMP), converted without a
    // colour profile as R = 255 (1 - C) (1 - K), G with M, B with Y.
    bool cmyk = false;
    std::uint8_t c = 0, m = 0, y = 0, k = 0;

    // Percentages above 100 count as 100.
    static constexpr Colour fromCmyk(int cyan, int magenta, int yellow, int black) {
        const auto percent = [](int v) { return static_cast<std::uint8_t>(v < 0 ? 0 : v > 100 ? 100 : v); };
        const auto rgb = [](int ink, int key) {
            return static_cast<std::uint8_t>((255 * (100 - ink) * (100 - key) + 5000) / 10000);
        };
        Colour col;
        col.c = percent(cyan);
        col.m = percent(magenta);
        col.y = percent(yellow);
        col.k = percent(black);
        col.r = rgb(col.c, col.k);
        col.g = rgb(col.m, col.k);
        col.b = rgb(col.y, col.k);
        col.cmyk = true;
        return col;
    }

    bool opaque() const { return a == 255; }
    bool transparent() const { return a == 0; }
    // A grey (black and white included) given as RGB: one ink, DeviceGray in print formats.
    bool grey() const { return !cmyk && r == g && g == b; }
    bool operator==(const Colour& o) const {
        return r == o.r && g == o.g && b == o.b && a == o.a && cmyk == o.cmyk && c == o.c && m == o.m && y == o.y &&
               k == o.k;
    }
    bool operator!=(const Colour& o) const { return !(*this == o); }
};
constexpr Colour BLACK{0, 0, 0, 255};
constexpr Colour WHITE{255, 255, 255, 255};

// A filled rectangle in whole dots; x to the right, y downwards, from the
// canvas's top-left corner. Rectangles never overlap each other and lie within
// the canvas.
struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

enum class Font : std::uint8_t {
    Sans,  // the general text face
    OcrB,  // EAN/UPC digits (OCR-B, as the retail standards show them)
};

enum class Anchor : std::uint8_t { Start, Middle, End };

// One line of text. (x, y) is the anchor point on the baseline, in dots; the
// text runs in the direction given by `rotation` (degrees clockwise: 0, 90,
// 180 or 270; 90 runs downwards). `size` is the font's em size in dots.
// The text is UTF-8 where it is valid UTF-8; writers take other bytes as
// Latin-1 and draw control characters as spaces.
struct TextRun {
    double x = 0;
    double y = 0;
    double size = 0;
    std::string text;
    Anchor anchor = Anchor::Middle;
    Font font = Font::Sans;
    int rotation = 0;
};

struct Drawing {
    int width = 0;    // canvas in dots
    int height = 0;
    double dpi = 300; // dots per inch; 0: no physical size (writers use pixels)

    Colour foreground = BLACK;
    Colour background = WHITE;  // may be transparent

    std::vector<Rect> rects;   // all in the foreground colour
    std::vector<TextRun> texts;

    // Facts of the layout, for reports and for reading the drawing back.
    int rotation = 0;          // degrees clockwise the symbol was turned
    double moduleDots = 0;     // X in dots (whole)
    double xMm = 0;            // X reached on paper (0 without a resolution)
    int barReductionDots = 0;  // bar width reduction applied to every bar
    // The symbol's own box (bars or modules without text and quiet zones),
    // before rotation, in dots.
    Rect symbolBox;
    int quietLeft = 0, quietRight = 0, quietTop = 0, quietBottom = 0;  // dots, before rotation
    bool matrix = false;       // modules of a matrix symbol rather than bars

    std::vector<std::string> warnings;

    double widthMm() const { return dpi > 0 ? width * 25.4 / dpi : 0; }
    double heightMm() const { return dpi > 0 ? height * 25.4 / dpi : 0; }
};

}  // namespace korvane
