// Encodes, lays out and rasterises an EAN-13 through an installed korvane.
#include <korvane/korvane.hpp>

#include <cstdio>

int main() {
    auto symbol = korvane::encode("ean13", "590123412345");
    if (!symbol) {
        std::fprintf(stderr, "%s\n", symbol.error().message.c_str());
        return 1;
    }
    korvane::LayoutOptions options;
    options.xDim = korvane::mm(0.33);
    options.dpi = 300;
    auto drawing = korvane::layout(*symbol, options);
    if (!drawing)
        return 1;
    auto raster = korvane::rasterize(*drawing);
    if (!raster)
        return 1;
    std::printf("%s %s %dx%d X=%.4f\n", KORVANE_VERSION_STRING, symbol->facts.data.c_str(), raster->width,
                raster->height, drawing->xMm);
    return 0;
}
