// EAN/UPC digits as every format's own reader shows them: each digit clear of
// the guard bars, at the height the retail standards give for the X.

#include "WriterTestSupport.h"

#include <korvane/korvane.hpp>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using korvane::Format;
using korvane::Symbology;
using writertest::TempDir;

struct Case {
    Symbology symbology;
    const char* data;
    double dpi;  // at the default X of 0.33 mm: 4 dots at 300 dpi, 2 at 150, 8 at 600
};

const Case CASES[] = {
    {Symbology::Ean13, "590123412345", 300},
    {Symbology::Ean8, "9638507", 300},
    {Symbology::UpcA, "01234567890", 300},
    {Symbology::UpcE, "0123456", 300},
    {Symbology::Ean13, "590123412345", 150},
    {Symbology::Ean8, "9638507", 600},
};

// Below the data bars: no dark pixel other than the guard bars' own within
// half a module of a guard bar (the leading digit, the digits of each half
// and the UPC check digit all lie between guards or beside them). Returns the
// rows [first, last] holding text, or {-1, -1} without any.
std::pair<int, int> checkClearance(const writertest::GrayImage& img, const korvane::Drawing& d) {
    const korvane::Rect& box = d.symbolBox;
    int barBottom = box.y + box.height;
    for (const korvane::Rect& r : d.rects)
        barBottom = std::min(barBottom, r.y + r.height);
    std::vector<korvane::Rect> guards;
    for (const korvane::Rect& r : d.rects)
        if (r.y + r.height == box.y + box.height)
            guards.push_back(r);
    EXPECT_GE(guards.size(), 5u);  // UPC-E has five
    const int margin = std::max(1, static_cast<int>(d.moduleDots) / 2);
    const auto dark = [&](int x, int y) { return img.pixels[static_cast<std::size_t>(y) * img.width + x] < 128; };
    const auto inGuard = [&](int x, int y) {
        return std::any_of(guards.begin(), guards.end(),
                           [&](const korvane::Rect& g) { return x >= g.x && x < g.x + g.width && y < g.y + g.height; });
    };
    int first = -1, last = -1, touching = 0;
    for (int y = barBottom; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            if (!dark(x, y) || inGuard(x, y))
                continue;
            first = first < 0 ? y : first;
            last = y;
            for (const korvane::Rect& g : guards)
                if (x >= g.x - margin && x < g.x + g.width + margin)
                    ++touching;
        }
    EXPECT_EQ(touching, 0) << "text pixels within " << margin << " dots of a guard bar";
    return {first, last};
}

TEST(RetailText, DigitsKeepClearOfTheGuardsInEveryFormat) {
    TempDir tmp;
    for (const Case& c : CASES) {
        korvane::LayoutOptions lo;
        lo.dpi = c.dpi;
        const auto symbol = korvane::encode(c.symbology, c.data);
        ASSERT_TRUE(symbol) << symbol.error().message;
        const auto d = korvane::layout(*symbol, lo);
        ASSERT_TRUE(d) << d.error().message;
        for (Format f : {Format::Svg, Format::Pdf, Format::Eps, Format::Png, Format::Bmp}) {
            SCOPED_TRACE(std::string(korvane::symbologyInfo(c.symbology).title) + " at " +
                         std::to_string(static_cast<int>(c.dpi)) + " dpi as " + korvane::formatName(f));
            const auto w = korvane::write(*d, f);
            ASSERT_TRUE(w) << w.error().message;
            std::string error;
            const auto img = writertest::picture(f, w->bytes, *d, tmp, error);
            ASSERT_EQ(img.width, d->width) << error;
            const auto [first, last] = checkClearance(img, *d);
            ASSERT_GE(first, 0) << "no text";
            if (f == Format::Png || f == Format::Bmp) {
                // OCR-B digits 2.75 mm tall at X 0.33 mm: 8.33 modules, their
                // overshoot and a dot of rounding more.
                const double x = d->moduleDots;
                EXPECT_NEAR(last - first + 1, 8.5 * x, 0.25 * x + 1);
            }
        }
    }
}

}  // namespace
