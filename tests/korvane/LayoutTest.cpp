// layout(): the arithmetic of X, quiet zones, heights, text and rotation, and
// the requests it refuses.

#include "KorvaneTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>

using korvane::Drawing;
using korvane::LayoutOptions;
using korvane::Symbology;

namespace {

LayoutOptions at(double dpi, double xMm = 0) {
    LayoutOptions o;
    o.dpi = dpi;
    if (xMm > 0)
        o.xDim = korvane::mm(xMm);
    return o;
}

Drawing laidOut(Symbology s, const std::string& data, const LayoutOptions& o) {
    const korvane::Result<Drawing> d = korvane::layout(kvtest::encoded(s, data), o);
    EXPECT_TRUE(d.ok()) << (d ? "" : d.error().message);
    return d ? *d : Drawing{};
}

bool warns(const Drawing& d, const std::string& part) {
    for (const std::string& w : d.warnings)
        if (w.find(part) != std::string::npos)
            return true;
    return false;
}

}  // namespace

TEST(Layout, XSnapsToWholeDotsAndSetsEverySize) {
    const struct {
        Symbology s;
        std::string data;
        double dpi, xMm;
        int dots;
        double reached;
        int quietLeft, quietRight, barHeight;  // dots
        const char* warning;                   // "" for none
    } cases[] = {
        // 22.85 mm EAN-13 bars at X 0.33 mm, with the 11X and 7X quiet zones.
        {Symbology::Ean13, "590123412345", 300, 0.33, 4, 0.33867, 44, 28, 270, ""},
        {Symbology::Ean13, "590123412345", 600, 0.33, 8, 0.33867, 88, 56, 540, ""},
        {Symbology::UpcA, "03600029145", 300, 0, 4, 0.33867, 36, 36, 270, ""},
        {Symbology::Ean8, "9638507", 300, 0, 4, 0.33867, 28, 28, 215, ""},
        // 15 % of the width, at least 6.35 mm (75 dots at 300 dpi).
        {Symbology::Code128, "ABC", 300, 0.254, 3, 0.254, 30, 30, 75, ""},
        {Symbology::Code128, std::string(60, 'x'), 300, 0.254, 3, 0.254, 30, 30, 313, ""},  // 695 modules
        {Symbology::Code39, "CODE39", 203, 0.19, 2, 0.25025, 20, 20, 51, "becomes"},
        {Symbology::Code39, "CODE39", 300, 0.1, 1, 0.08467, 10, 10, 75, "below the Code 39 minimum"},
        {Symbology::Postnet, "12345", 300, 0.254, 3, 0.254, 39, 39, 38, ""},
        {Symbology::Aztec, "Aztec", 300, 0.5, 6, 0.508, 0, 0, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data.substr(0, 12) + " at " + std::to_string(c.dpi));
        const Drawing d = laidOut(c.s, c.data, at(c.dpi, c.xMm));
        EXPECT_EQ(d.moduleDots, c.dots);
        EXPECT_NEAR(d.xMm, c.reached, 5e-5);
        EXPECT_EQ(d.symbolBox.x, c.quietLeft);
        EXPECT_EQ(d.quietLeft, c.quietLeft);
        EXPECT_EQ(d.quietRight, c.quietRight);
        if (c.barHeight > 0) {
            int tallest = 0;
            for (const korvane::Rect& r : d.rects)
                if (r.y == d.symbolBox.y)
                    tallest = std::max(tallest, r.height);
            const bool retail = c.s == Symbology::Ean13 || c.s == Symbology::UpcA || c.s == Symbology::Ean8;
            EXPECT_EQ(tallest, c.barHeight + (retail ? 5 * c.dots : 0));  // guard bars descend 5X
        }
        EXPECT_EQ(std::string(c.warning).empty(), d.warnings.empty());
        if (*c.warning) {
            EXPECT_TRUE(warns(d, c.warning));
        }
    }
}

// EAN/UPC bars shorter than GS1's height for the X asked for are allowed, with a warning.
TEST(Layout, ShortRetailBarsWarn) {
    const struct {
        Symbology s;
        const char* data;
        korvane::Length height;
        bool warned;
    } cases[] = {
        {Symbology::Ean13, "590123412345", korvane::mm(5), true},
        {Symbology::Ean13, "590123412345", korvane::mm(22.85), false},
        {Symbology::Ean13, "590123412345", korvane::modules(40), true},
        {Symbology::Ean8, "9638507", korvane::mm(10), true},
        {Symbology::Code128, "ABC", korvane::mm(5), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        LayoutOptions o = at(300, 0.33);
        o.height = c.height;
        EXPECT_EQ(warns(laidOut(c.s, c.data, o), "GS1 gives"), c.warned);
    }
    LayoutOptions o = at(300, 0.33);
    o.height = korvane::mm(5);
    EXPECT_TRUE(warns(laidOut(Symbology::Ean13, "590123412345", o),
                      "a bar height of 5 mm is below the 22.85 mm GS1 gives EAN-13 at X 0.33 mm"));
}

// EAN-13 digits the retail way: the first left of the start guard, then one
// digit centred under each symbol character (7 modules), so every writer's
// font keeps clear of the guards; the add-on's digits over its bars, which
// start lower. OCR-B digits 8.33 modules tall (2.75 mm at X 0.33 mm).
TEST(Layout, RetailTextPositions) {
    const Drawing d = laidOut(Symbology::Ean13, "590123412345+12", at(300, 0.33));
    const std::string digits = "5901234123457";
    ASSERT_EQ(d.texts.size(), digits.size() + 1);
    const double em = 2.75 / 0.33 / 0.77 * 4;
    for (std::size_t i = 0; i < d.texts.size(); ++i) {
        SCOPED_TRACE(i);
        const korvane::TextRun& t = d.texts[i];
        // Module of the digit's centre: 4.5 left of the symbol, then the halves 3-45 and 50-92.
        const double centre = i == 0 ? -4.5 : i <= 6 ? 3 + 7 * (i - 1) + 3.5 : i <= 12 ? 50 + 7 * (i - 7) + 3.5 : 112;
        EXPECT_EQ(t.text, i < digits.size() ? digits.substr(i, 1) : "12");
        EXPECT_DOUBLE_EQ(t.x, 44 + centre * 4);
        EXPECT_EQ(t.anchor, korvane::Anchor::Middle);
        EXPECT_EQ(t.font, korvane::Font::OcrB);
        EXPECT_DOUBLE_EQ(t.size, em);
    }
    // Digits under the bars sit half a module below them; the add-on's above its bars.
    EXPECT_DOUBLE_EQ(d.texts[1].y, 270 + 2 + 0.77 * em);
    EXPECT_DOUBLE_EQ(d.texts[13].y, 0.77 * em);
    const korvane::Rect& firstAddOnBar = d.rects[d.rects.size() - 7];
    EXPECT_EQ(firstAddOnBar.x, 44 + 102 * 4);
    EXPECT_GT(firstAddOnBar.y, d.texts[13].y);
    EXPECT_EQ(firstAddOnBar.y + firstAddOnBar.height, 270 + 20);
    EXPECT_GE(d.height, static_cast<int>(d.texts[1].y));
}

TEST(Layout, RotationTurnsTheCanvasAndEveryRectangle) {
    const LayoutOptions upright = kvtest::pixels(2);
    const Drawing d0 = laidOut(Symbology::Code128, "Turn", upright);
    for (int rotation : {90, 180, 270}) {
        SCOPED_TRACE(rotation);
        LayoutOptions o = upright;
        o.rotation = rotation;
        const Drawing d = laidOut(Symbology::Code128, "Turn", o);
        EXPECT_EQ(d.rotation, rotation);
        EXPECT_EQ(d.width, rotation == 180 ? d0.width : d0.height);
        EXPECT_EQ(d.height, rotation == 180 ? d0.height : d0.width);
        ASSERT_EQ(d.rects.size(), d0.rects.size());
        const korvane::Rect& a = d0.rects[0];
        const korvane::Rect& b = d.rects[0];
        const korvane::Rect expected = rotation == 90    ? korvane::Rect{d0.height - a.y - a.height, a.x, a.height, a.width}
                                       : rotation == 180 ? korvane::Rect{d0.width - a.x - a.width, d0.height - a.y - a.height, a.width, a.height}
                                                         : korvane::Rect{a.y, d0.width - a.x - a.width, a.height, a.width};
        EXPECT_EQ(std::tie(b.x, b.y, b.width, b.height), std::tie(expected.x, expected.y, expected.width, expected.height));
        EXPECT_EQ(d.texts[0].rotation, rotation);
    }
}

TEST(Layout, BarWidthReductionAndQuietZoneOverride) {
    LayoutOptions o = at(600, 0.254);  // 6 dots
    o.barReduction = korvane::mm(0.085);  // 2 dots
    o.quietLeft = korvane::modules(3);
    const Drawing d = laidOut(Symbology::Code39, "A", o);
    const Drawing plain = laidOut(Symbology::Code39, "A", at(600, 0.254));
    ASSERT_EQ(d.rects.size(), plain.rects.size());
    EXPECT_EQ(d.barReductionDots, 2);
    EXPECT_EQ(d.rects[0].width, plain.rects[0].width - 2);
    EXPECT_EQ(d.rects[0].x - d.symbolBox.x, plain.rects[0].x - plain.symbolBox.x + 1);  // centre kept
    EXPECT_EQ(d.symbolBox.x, 3 * 6);
    EXPECT_TRUE(warns(d, "left quiet zone of 3 modules is below the 10"));
}

TEST(Layout, AbsurdRequestsAreRefusedBeforeAnythingIsAllocated) {
    const korvane::Symbol aztec = kvtest::encoded(Symbology::Aztec, std::string(1500, 'x'));
    const korvane::Symbol code39 = kvtest::encoded(Symbology::Code39, "A");
    auto options = [](auto change) {
        LayoutOptions o;
        change(o);
        return o;
    };
    const struct {
        const char* label;
        const korvane::Symbol& symbol;
        LayoutOptions o;
        korvane::ErrorCode code;
    } cases[] = {
        {"X of a metre", code39, options([](LayoutOptions& o) { o.xDim = korvane::mm(1000); }), korvane::ErrorCode::SizeTooLarge},
        {"a million dpi", code39, options([](LayoutOptions& o) { o.dpi = 1e6; }), korvane::ErrorCode::SizeTooLarge},
        {"2^28 dots", aztec, options([](LayoutOptions& o) { o.xDim = korvane::mm(10); o.dpi = 2400; }), korvane::ErrorCode::SizeTooLarge},
        {"negative dpi", code39, options([](LayoutOptions& o) { o.dpi = -1; }), korvane::ErrorCode::InvalidOption},
        {"not a number", code39, options([](LayoutOptions& o) { o.xDim = korvane::mm(std::nan("")); }), korvane::ErrorCode::InvalidOption},
        {"45 degrees", code39, options([](LayoutOptions& o) { o.rotation = 45; }), korvane::ErrorCode::InvalidOption},
        {"reduction eats the bar", code39, options([](LayoutOptions& o) { o.barReduction = korvane::mm(0.3); }), korvane::ErrorCode::InvalidOption},
        {"huge quiet zone", code39, options([](LayoutOptions& o) { o.quietLeft = korvane::modules(1e9); }), korvane::ErrorCode::SizeTooLarge},
        {"same colours", code39, options([](LayoutOptions& o) { o.background = korvane::BLACK; }), korvane::ErrorCode::InvalidOption},
        {"empty symbol", korvane::Symbol{}, {}, korvane::ErrorCode::InvalidData},
        // Refused here for every front end, which no longer check these themselves.
        {"a height on a matrix symbol", aztec, options([](LayoutOptions& o) { o.height = korvane::mm(20); }),
         korvane::ErrorCode::InvalidOption},
        {"X in mm without a resolution", code39, options([](LayoutOptions& o) { o.dpi = 0; o.xDim = korvane::mm(0.5); }),
         korvane::ErrorCode::InvalidOption},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const korvane::Result<Drawing> d = korvane::layout(c.symbol, c.o);
        ASSERT_FALSE(d.ok());
        EXPECT_EQ(d.error().code, c.code);
    }
    // The front ends' check before a symbol is made: the same rules.
    const std::size_t last = std::size(cases) - 1;
    EXPECT_FALSE(korvane::checkLayoutOptions(cases[last - 1].o, Symbology::Qr).ok());
    EXPECT_FALSE(korvane::checkLayoutOptions(cases[last].o, Symbology::Code39).ok());
    EXPECT_TRUE(korvane::checkLayoutOptions(cases[last - 1].o, Symbology::Code39).ok());
}

// Bar width reduction on a matrix takes dots only where dark meets light: no
// seam between dark neighbours, the same loss on every side of a dark area,
// and the symbol still reads (zxing-cpp's finder gives up on light rings
// about a third wider than the dark ones).
TEST(Layout, MatrixBarWidthReductionShrinksOnlyDarkLightEdges) {
    const korvane::Symbol s = kvtest::encoded(Symbology::Aztec, "Hello BWR test 1234567890");
    for (int moduleDots : {4, 6, 8, 10}) {
        for (int reduction = 1; reduction < moduleDots - 1; ++reduction) {
            SCOPED_TRACE(std::to_string(moduleDots) + " dots a module, " + std::to_string(reduction) + " off");
            LayoutOptions o = at(300, moduleDots * 25.4 / 300);
            o.barReduction = korvane::px(reduction);
            const Drawing d = laidOut(Symbology::Aztec, "Hello BWR test 1234567890", o);
            ASSERT_EQ(d.barReductionDots, reduction);
            const korvane::Result<korvane::GrayRaster> raster = korvane::rasterize(d);
            ASSERT_TRUE(raster);
            const int lead = reduction / 2, trail = reduction - lead;
            auto dark = [&](int r, int c) {
                return r >= 0 && c >= 0 && r < s.rows && c < s.columns && s.dark(r, c);
            };
            int wrong = 0;
            for (int y = 0; y < d.symbolBox.height; ++y)
                for (int x = 0; x < d.symbolBox.width; ++x) {
                    const int r = y / moduleDots, c = x / moduleDots, oy = y % moduleDots, ox = x % moduleDots;
                    const bool expected = dark(r, c) && (dark(r, c - 1) || ox >= lead) &&
                                          (dark(r, c + 1) || ox < moduleDots - trail) &&
                                          (dark(r - 1, c) || oy >= lead) && (dark(r + 1, c) || oy < moduleDots - trail);
                    wrong += expected != (raster->at(d.symbolBox.x + x, d.symbolBox.y + y) < 128);
                }
            EXPECT_EQ(wrong, 0);
            const testsupport::Decoded read = testsupport::decode(kvtest::picture(d), testsupport::Symbology::Aztec);
            if (reduction * 4 <= moduleDots) {  // up to a quarter of a module, as printers need
                EXPECT_TRUE(read.ok);
                EXPECT_EQ(read.text, "Hello BWR test 1234567890");
            }
        }
    }
}

// A matrix of any shape: rows and columns apart, modules taller than wide.
TEST(Layout, MatrixOfRowsAndColumnsWithTallModules) {
    korvane::Symbol s;
    s.symbology = Symbology::Aztec;
    s.rows = 2;
    s.columns = 3;
    s.moduleAspect = 3;
    s.modules = {1, 1, 0,
                 0, 1, 1};
    LayoutOptions o = kvtest::pixels(2);
    o.quietLeft = o.quietRight = o.quietVertical = korvane::modules(1);
    const korvane::Result<Drawing> d = korvane::layout(s, o);
    ASSERT_TRUE(d) << d.error().message;
    EXPECT_EQ(d->width, 3 * 2 + 2 * 2);
    EXPECT_EQ(d->height, 2 * 6 + 2 * 2);
    ASSERT_EQ(d->rects.size(), 2u);
    EXPECT_EQ(d->rects[0].x, 2);
    EXPECT_EQ(d->rects[0].y, 2);
    EXPECT_EQ(d->rects[0].width, 4);
    EXPECT_EQ(d->rects[0].height, 6);
    EXPECT_EQ(d->rects[1].x, 4);
    EXPECT_EQ(d->rects[1].y, 8);
}

// Lengths in every unit become dots in layout() alone, at the resolution and
// the X reached (300 dpi, X of 0.33 mm = 4 dots).
TEST(Layout, LengthsOfEveryUnit) {
    const struct {
        korvane::Length length;
        int dots;
    } cases[] = {
        {korvane::mm(2), 24},    {{0.5, korvane::Unit::Cm}, 59}, {korvane::inches(0.1), 30}, {korvane::mil(100), 30},
        {korvane::pt(7.2), 30},  {korvane::px(13), 13},          {korvane::modules(3), 12},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dots);
        LayoutOptions o = at(300, 0.33);
        o.quietLeft = o.height = c.length;
        const Drawing d = laidOut(Symbology::Code128, "A", o);
        EXPECT_EQ(d.quietLeft, c.dots);
        EXPECT_EQ(d.symbolBox.height, c.dots);
    }
    const korvane::Result<Drawing> modulesForX =
        korvane::layout(kvtest::encoded(Symbology::Code128, "A"), [] {
            LayoutOptions o;
            o.xDim = korvane::modules(2);
            return o;
        }());
    ASSERT_FALSE(modulesForX);
    EXPECT_NE(modulesForX.error().message.find("not a count of modules"), std::string::npos);
}
