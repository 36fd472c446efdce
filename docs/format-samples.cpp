// Writes one EAN-13 symbol in every format the library writes, for the
// README's pictures (scripts/format-pictures.sh renders them).
//   format-samples FOLDER

#include <korvane/korvane.hpp>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: format-samples FOLDER\n");
        return 2;
    }
    auto symbol = korvane::encode(korvane::Symbology::Ean13, "590123412345");
    if (!symbol) {
        std::fprintf(stderr, "format-samples: %s\n", symbol.error().message.c_str());
        return 1;
    }
    korvane::LayoutOptions options;
    options.dpi = 300;
    auto drawing = korvane::layout(*symbol, options);
    if (!drawing) {
        std::fprintf(stderr, "format-samples: %s\n", drawing.error().message.c_str());
        return 1;
    }
    for (const char* name : {"svg", "pdf", "eps", "png", "emf", "bmp"}) {
        const std::string path = std::string(argv[1]) + "/sample." + name;
        auto written = korvane::writeFile(*drawing, path);
        if (!written) {
            std::fprintf(stderr, "format-samples: %s\n", written.error().message.c_str());
            return 1;
        }
        for (const std::string& w : written->warnings)
            std::fprintf(stderr, "format-samples: %s: %s\n", name, w.c_str());
    }
    std::printf("%d %d\n", drawing->width, drawing->height);
    return 0;
}
