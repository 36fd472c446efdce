#include "KorvaneTestUtil.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace kvtest {

std::string moduleString(const korvane::Symbol& symbol) {
    std::string out;
    for (std::size_t i = 0; i < symbol.widths.size(); ++i)
        out.append(static_cast<std::size_t>(symbol.widths[i]), i % 2 == 0 ? '1' : '0');
    return out;
}

korvane::Symbol encoded(korvane::Symbology s, const std::string& data, const korvane::EncodeOptions& o) {
    korvane::Result<korvane::Symbol> r = korvane::encode(s, data, o);
    EXPECT_TRUE(r.ok()) << data << ": " << (r ? "" : r.error().message);
    return r ? *r : korvane::Symbol{};
}

korvane::LayoutOptions pixels(int moduleDots) {
    korvane::LayoutOptions lo;
    lo.dpi = 0;
    lo.xDim = korvane::px(moduleDots);
    return lo;
}

testsupport::GrayImage picture(const korvane::Drawing& d, int pad) {
    testsupport::GrayImage image;
    const korvane::Result<korvane::GrayRaster> r = korvane::rasterize(d);
    if (!r)
        return image;
    image.width = r->width + 2 * pad;
    image.height = r->height + 2 * pad;
    image.pixels.assign(static_cast<std::size_t>(image.width) * image.height, 255);
    for (int y = 0; y < r->height; ++y)
        for (int x = 0; x < r->width; ++x)
            image.pixels[static_cast<std::size_t>(y + pad) * image.width + x + pad] = r->at(x, y);
    return image;
}

testsupport::Decoded readBack(const korvane::Symbol& symbol, testsupport::Symbology as,
                              const korvane::LayoutOptions& lo) {
    const korvane::Result<korvane::Drawing> d = korvane::layout(symbol, lo);
    if (!d) {
        testsupport::Decoded failed;
        failed.error = d.error().message;
        return failed;
    }
    return testsupport::decode(picture(*d), as);
}

bool zxingReads(korvane::Symbology s, testsupport::Symbology& as) {
    using K = korvane::Symbology;
    using Z = testsupport::Symbology;
    switch (s) {
    case K::Code39: as = Z::Code39; return true;
    case K::Code39Extended: as = Z::Code39Extended; return true;
    case K::Code93:
    case K::Code93Extended: as = Z::Code93; return true;
    case K::Codabar: as = Z::Codabar; return true;
    case K::Interleaved2of5: as = Z::ITF; return true;
    case K::Ean13: as = Z::EAN13; return true;
    case K::Ean8: as = Z::EAN8; return true;
    case K::UpcA: as = Z::UPCA; return true;
    case K::UpcE: as = Z::UPCE; return true;
    case K::Code128:
    case K::Gs1_128: as = Z::Code128; return true;
    case K::Aztec: as = Z::Aztec; return true;
    case K::Qr: as = Z::QRCode; return true;
    case K::DataMatrix: as = Z::DataMatrix; return true;
    case K::Pdf417: as = Z::Pdf417; return true;
    default: return false;
    }
}

namespace {

std::string shellQuoted(const std::string& s) {
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

}  // namespace

std::vector<std::string> zintRows(int barcode, const std::string& data, const std::string& extra) {
    const std::string command =
        "zint -b " + std::to_string(barcode) + " " + extra + " --dump -d " + shellQuoted(data) + " 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::vector<std::string> rows;
    if (!pipe)
        return rows;
    char line[8192];
    while (std::fgets(line, sizeof line, pipe.get()) != nullptr) {
        std::string row;
        for (const char* p = line; *p != '\0'; ++p) {
            const char c = *p;
            int v;
            if (c >= '0' && c <= '9')
                v = c - '0';
            else if (c >= 'A' && c <= 'F')
                v = c - 'A' + 10;
            else
                continue;
            for (int bit = 3; bit >= 0; --bit)
                row += (v >> bit) & 1 ? '1' : '0';
        }
        if (!row.empty())
            rows.push_back(row);
    }
    return rows;
}

}  // namespace kvtest
