// Every symbology through every writer, read back by an independent reader:
// the picture decodes with zxing-cpp to the data where zxing reads the
// symbology, and the bars measured along a row are the symbol's widths times
// the module's dots; then each format's own headers.

#include "Decode.h"
#include "EmfReader.h"
#include "WriterTestSupport.h"

#include <korvane/korvane.hpp>

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cmath>
#include <optional>

namespace {

using korvane::Format;
using korvane::Symbology;
using writertest::TempDir;

struct Case {
    Symbology symbology;
    const char* data;
    double dpi;
};

// Every symbology at 300 dpi, and a second resolution (a 203 dpi label
// printer, where X snaps to other dot counts) for a few.
const Case CASES[] = {
    {Symbology::Code39, "CODE39-2024", 300},
    {Symbology::Code39Extended, "Hello, world!", 300},
    {Symbology::Code93, "CODE93 TEST", 300},
    {Symbology::Code93Extended, "code93 ext", 300},
    {Symbology::Code11, "123-45", 300},
    {Symbology::Codabar, "A40156B", 300},
    {Symbology::Msi, "1234567", 300},
    {Symbology::Interleaved2of5, "12345670", 300},
    {Symbology::Industrial2of5, "123456", 300},
    {Symbology::Matrix2of5, "123456", 300},
    {Symbology::Ean13, "590123412345", 300},
    {Symbology::Ean8, "9638507", 300},
    {Symbology::UpcA, "03600029145", 300},
    {Symbology::UpcE, "0123456", 300},
    {Symbology::Code128, "Korvane 128", 300},
    {Symbology::Gs1_128, "(01)09501101530003(17)250101", 300},
    {Symbology::Postnet, "12345", 300},
    {Symbology::Aztec, "Aztec writer test", 300},
    {Symbology::Qr, "https://example.com/qr?writer=test", 300},
    {Symbology::DataMatrix, "Data Matrix writer test", 300},
    {Symbology::Ean13, "590123412345", 203},
    {Symbology::UpcE, "0123456", 203},
    {Symbology::Code128, "Korvane 128", 203},
    {Symbology::Code11, "123-45", 203},
    {Symbology::Postnet, "12345", 203},
    {Symbology::Aztec, "Aztec writer test", 203},
    {Symbology::Qr, "QR CODE 0123456789", 203},
    {Symbology::DataMatrix, "Data Matrix writer test", 203},
};

// zxing-cpp's reader for a symbology, where it has one.
std::optional<testsupport::Symbology> readerFor(Symbology s) {
    using R = testsupport::Symbology;
    switch (s) {
    case Symbology::Code39: return R::Code39;
    case Symbology::Code39Extended: return R::Code39Extended;
    case Symbology::Code93:
    case Symbology::Code93Extended: return R::Code93;
    case Symbology::Codabar: return R::Codabar;
    case Symbology::Interleaved2of5: return R::ITF;
    case Symbology::Ean13: return R::EAN13;
    case Symbology::Ean8: return R::EAN8;
    case Symbology::UpcA: return R::UPCA;
    case Symbology::UpcE: return R::UPCE;
    case Symbology::Code128:
    case Symbology::Gs1_128: return R::Code128;
    case Symbology::Aztec: return R::Aztec;
    case Symbology::Qr: return R::QRCode;
    case Symbology::DataMatrix: return R::DataMatrix;
    default: return std::nullopt;
    }
}

// What zxing returns, in the form of SymbolFacts::data.
std::string readData(const testsupport::Decoded& d, Symbology s) {
    std::string data = testsupport::bytesToString(d.bytes);
    if (s == Symbology::Codabar && data.size() >= 2)
        data = data.substr(1, data.size() - 2);  // start and stop characters
    return data;
}

void checkFormat(Format format, const std::vector<std::uint8_t>& bytes, const korvane::Drawing& d,
                 const TempDir& tmp) {
    switch (format) {
    case Format::Svg: {
        xmlDocPtr doc = xmlReadMemory(reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()),
                                      "in.svg", nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
        ASSERT_NE(doc, nullptr) << "not well-formed XML";
        const xmlNode* root = xmlDocGetRootElement(doc);
        EXPECT_STREQ(reinterpret_cast<const char*>(root->name), "svg");
        EXPECT_STREQ(reinterpret_cast<const char*>(root->ns->href), "http://www.w3.org/2000/svg");
        xmlChar* width = xmlGetProp(root, BAD_CAST "width");
        EXPECT_NEAR(std::atof(reinterpret_cast<const char*>(width)), d.widthMm(), 1e-5);
        EXPECT_NE(std::string(reinterpret_cast<const char*>(width)).find("mm"), std::string::npos);
        xmlFree(width);
        xmlFreeDoc(doc);
        break;
    }
    case Format::Pdf:
        EXPECT_TRUE(writertest::run("qpdf --check '" + tmp.path("in.pdf") + "'", tmp.path("qpdf.log")));
        break;
    case Format::Eps: {
        const std::string text(bytes.begin(), bytes.end());
        const double w = d.width * 72 / d.dpi, h = d.height * 72 / d.dpi;
        EXPECT_NE(text.find("%%BoundingBox: 0 0 " + std::to_string(static_cast<int>(std::ceil(w))) + " " +
                            std::to_string(static_cast<int>(std::ceil(h))) + "\n"),
                  std::string::npos);
        double hw = 0, hh = 0;
        const std::size_t at = text.find("%%HiResBoundingBox: 0 0 ");
        ASSERT_NE(at, std::string::npos);
        ASSERT_EQ(std::sscanf(text.c_str() + at, "%%%%HiResBoundingBox: 0 0 %lf %lf", &hw, &hh), 2);
        EXPECT_NEAR(hw, w, 1e-4);
        EXPECT_NEAR(hh, h, 1e-4);
        break;
    }
    case Format::Png: {
        const writertest::PngHeader h = writertest::pngHeader(bytes);
        EXPECT_EQ(h.bitDepth, 1);  // black on white
        EXPECT_EQ(h.colourType, 0);
        EXPECT_TRUE(h.hasPhys);
        EXPECT_EQ(h.ppuX, static_cast<std::uint32_t>(std::lround(d.dpi / 0.0254)));
        EXPECT_EQ(h.ppuY, h.ppuX);
        EXPECT_EQ(h.unit, 1);
        break;
    }
    case Format::Emf: {
        // Exactly the drawing's rectangles after the background, and its texts.
        const testsupport::EmfFile f = testsupport::readEmf(bytes);
        ASSERT_EQ(f.rectangles.size(), d.rects.size() + 1);
        EXPECT_EQ(f.rectangles[0].rect, (testsupport::EmfRect{0, 0, d.width, d.height}));
        for (std::size_t i = 0; i < d.rects.size(); ++i) {
            const korvane::Rect& r = d.rects[i];
            EXPECT_EQ(f.rectangles[i + 1].rect, (testsupport::EmfRect{r.x, r.y, r.x + r.width, r.y + r.height}));
        }
        ASSERT_EQ(f.texts.size(), d.texts.size());
        for (std::size_t i = 0; i < d.texts.size(); ++i) {
            EXPECT_EQ(f.texts[i].text, d.texts[i].text);
            EXPECT_EQ(f.texts[i].y, std::lround(d.texts[i].y));
        }
        EXPECT_NEAR(f.frame.right, (d.width - 1) * 2540.0 / d.dpi, 1.0);  // 0.01 mm
        break;
    }
    case Format::Bmp:
        EXPECT_EQ(writertest::readBmp(bytes).xPelsPerMeter, std::lround(d.dpi / 0.0254));
        break;
    }
}

class EverySymbol : public testing::TestWithParam<Format> {};

TEST_P(EverySymbol, ReadBackByIndependentReaders) {
    const Format format = GetParam();
    TempDir tmp;
    for (const Case& c : CASES) {
        const korvane::SymbologyInfo& info = korvane::symbologyInfo(c.symbology);
        SCOPED_TRACE(std::string(info.title) + " at " + std::to_string(static_cast<int>(c.dpi)) + " dpi");
        const auto symbol = korvane::encode(c.symbology, c.data);
        ASSERT_TRUE(symbol) << symbol.error().message;
        korvane::LayoutOptions lo;
        lo.dpi = c.dpi;
        const auto drawing = korvane::layout(*symbol, lo);
        ASSERT_TRUE(drawing) << drawing.error().message;
        const auto written = korvane::write(*drawing, format);
        ASSERT_TRUE(written) << written.error().message;
        EXPECT_TRUE(written->warnings.empty());

        std::string error;
        const writertest::GrayImage image = writertest::picture(format, written->bytes, *drawing, tmp, error);
        ASSERT_EQ(image.width, drawing->width) << error;
        ASSERT_EQ(image.height, drawing->height);
        if (const auto reader = readerFor(c.symbology)) {
            const testsupport::Decoded decoded = testsupport::decode(image, *reader);
            EXPECT_TRUE(decoded.ok) << decoded.error;
            EXPECT_EQ(readData(decoded, c.symbology), symbol->facts.data);
        }
        if (!symbol->isMatrix()) {
            // A row near the bottom of the bars crosses every bar, Postnet's short ones too.
            const korvane::Rect& box = drawing->symbolBox;
            std::vector<int> expected;
            for (int w : symbol->widths)
                expected.push_back(w * static_cast<int>(drawing->moduleDots));
            if (expected.size() % 2 == 0)
                expected.pop_back();  // a trailing space ends where the quiet zone begins
            EXPECT_EQ(writertest::runs(image, box.y + box.height * 9 / 10), expected);
        }
        checkFormat(format, written->bytes, *drawing, tmp);
    }
}

INSTANTIATE_TEST_SUITE_P(Writers, EverySymbol,
                         testing::Values(Format::Svg, Format::Pdf, Format::Eps, Format::Png, Format::Emf, Format::Bmp),
                         [](const testing::TestParamInfo<Format>& p) { return korvane::formatName(p.param); });

}  // namespace
