#include "VerifyTestSupport.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace verifytest {

korvane::Symbol encoded(const Value& v) {
    korvane::EncodeOptions o;
    if (v.tweak)
        v.tweak(o);
    korvane::Result<korvane::Symbol> s = korvane::encode(v.symbology, v.data, o);
    EXPECT_TRUE(s.ok()) << v.label << ": " << (s ? "" : s.error().message);
    return s ? *s : korvane::Symbol{};
}

korvane::Drawing laidOut(const korvane::Symbol& symbol, LayoutTweak tweak) {
    korvane::LayoutOptions o;
    if (tweak)
        tweak(o);
    korvane::Result<korvane::Drawing> d = korvane::layout(symbol, o);
    EXPECT_TRUE(d.ok()) << (d ? "" : d.error().message);
    return d ? *d : korvane::Drawing{};
}

korvane::GrayRaster toRaster(const testsupport::GrayImage& image) {
    korvane::GrayRaster r;
    r.width = image.width;
    r.height = image.height;
    r.pixels = image.pixels;
    return r;
}

std::string describe(const korvane::Verdict& v) {
    return "ok " + std::to_string(v.ok) + ", read \"" + v.read + "\", reason \"" + v.reason + "\", zxing " +
           (v.zxingRan ? "\"" + v.zxingRead + "\"" : std::string("did not run"));
}

void cutQuietZone(korvane::Drawing& d, int modules) {
    int first = d.width;
    for (const korvane::Rect& r : d.rects)
        first = std::min(first, r.x);
    const int shift = first - modules * static_cast<int>(d.moduleDots);
    for (korvane::Rect& r : d.rects)
        r.x -= shift;
    d.width -= shift;
}

}  // namespace verifytest
