// Colour spaces for print: greys (black and white included) as one grey level
// and CMYK as given in PDF and EPS, so black bars stay on the black plate; the
// formats without CMYK take its documented RGB conversion.

#include "WriterTestSupport.h"

#include <korvane/korvane.hpp>

#include <gtest/gtest.h>

#include <string>

namespace {

using korvane::Colour;
using korvane::Format;

std::string text(const korvane::Result<korvane::Written>& w) {
    return w ? std::string(w->bytes.begin(), w->bytes.end()) : std::string();
}

TEST(ColourSpace, GreysAsGreyAndCmykAsGivenInPdfAndEps) {
    const struct {
        const char* label;
        Colour fg;
        const char* pdf;  // the operators the bars' colour is set with
        const char* eps;
        const char* svg;  // the fill of the formats without CMYK
    } cases[] = {
        {"black", korvane::BLACK, "\n0 g\n", "\n0 setgray\n", "#000000"},
        {"a grey", {0x33, 0x33, 0x33, 255}, "\n0.2 g\n", "\n0.2 setgray\n", "#333333"},
        {"a colour", {0x00, 0x00, 0x80, 255}, "\n0 0 0.502 rg\n", "\n0 0 0.502 setrgbcolor\n", "#000080"},
        {"CMYK black", Colour::fromCmyk(0, 0, 0, 100), "\n0 0 0 1 k\n", "\n0 0 0 1 setcmykcolor\n", "#000000"},
        {"CMYK cyan", Colour::fromCmyk(100, 0, 0, 0), "\n1 0 0 0 k\n", "\n1 0 0 0 setcmykcolor\n", "#00ffff"},
        {"CMYK mix", Colour::fromCmyk(20, 40, 60, 50), "\n0.2 0.4 0.6 0.5 k\n", "\n0.2 0.4 0.6 0.5 setcmykcolor\n",
         "#664d33"},
    };
    korvane::Drawing d;
    d.width = 20;
    d.height = 10;
    d.rects = {{5, 0, 5, 10}};
    writertest::TempDir tmp;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        d.foreground = c.fg;
        const std::string pdf = text(korvane::write(d, Format::Pdf));
        const std::string eps = text(korvane::write(d, Format::Eps));
        EXPECT_NE(pdf.find(c.pdf), std::string::npos) << pdf;
        EXPECT_NE(pdf.find("\n1 g\n"), std::string::npos) << "the white paper";
        EXPECT_EQ(pdf.find(" rg\n") != std::string::npos, c.pdf == std::string("\n0 0 0.502 rg\n"));
        EXPECT_NE(eps.find(c.eps), std::string::npos) << eps;
        EXPECT_NE(text(korvane::write(d, Format::Svg)).find(std::string("fill=\"") + c.svg), std::string::npos);
        // Ghostscript and Poppler draw the bars where they are.
        for (Format f : {Format::Pdf, Format::Eps}) {
            const auto w = korvane::write(d, f);
            std::string error;
            const writertest::GrayImage img = writertest::picture(f, w->bytes, d, tmp, error);
            ASSERT_EQ(img.width, d.width) << error;
            EXPECT_LT(img.pixels[7], img.pixels[1]) << "bar darker than paper";
        }
    }
}

}  // namespace
