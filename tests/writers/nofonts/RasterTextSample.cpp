// raster_text_sample DIR [--no-system-fonts] [--font FILE]: writes PNG and BMP
// files with text into DIR (EAN/UPC digits, the text of other symbologies,
// Latin-1 and Windows-1252 characters turned every way) and prints the
// writers' warnings on standard error, one a line.
//
// With --no-system-fonts the process cannot open any font file, as on a
// machine without fonts: open() and fopen() of a path in a system font folder
// or of a font file fail with ENOENT. The tests compare its files with those
// of a normal run.

#undef _FORTIFY_SOURCE  // open() is defined below, not wrapped
#include <korvane/korvane.hpp>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include <dlfcn.h>
#include <fcntl.h>

namespace {

bool hideFonts = false;

bool fontPath(const char* path) {
    if (!hideFonts || path == nullptr)
        return false;
    const std::string_view p(path);
    for (std::string_view folder : {"/usr/share/fonts", "/usr/local/share/fonts", "/etc/fonts", "/.fonts",
                                    "/.local/share/fonts"})
        if (p.find(folder) != std::string_view::npos)
            return true;
    for (std::string_view ext : {".ttf", ".otf", ".ttc", ".pfb", ".pfa", ".woff", ".woff2"})
        if (p.size() >= ext.size() && strncasecmp(path + p.size() - ext.size(), ext.data(), ext.size()) == 0)
            return true;
    return false;
}

template <typename F>
F next(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

}  // namespace

// The calls a font rasteriser opens files with (FreeType: open(); others stdio).
extern "C" {
int open(const char* path, int flags, ...) {
    if (fontPath(path)) {
        errno = ENOENT;
        return -1;
    }
    va_list args;
    va_start(args, flags);
    const mode_t mode = (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(args, mode_t) : 0;
    va_end(args);
    static const auto real = next<int (*)(const char*, int, ...)>("open");
    return real(path, flags, mode);
}
int open64(const char* path, int flags, ...) {
    if (fontPath(path)) {
        errno = ENOENT;
        return -1;
    }
    va_list args;
    va_start(args, flags);
    const mode_t mode = (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(args, mode_t) : 0;
    va_end(args);
    static const auto real = next<int (*)(const char*, int, ...)>("open64");
    return real(path, flags, mode);
}
FILE* fopen(const char* path, const char* mode) {
    if (fontPath(path)) {
        errno = ENOENT;
        return nullptr;
    }
    static const auto real = next<FILE* (*)(const char*, const char*)>("fopen");
    return real(path, mode);
}
FILE* fopen64(const char* path, const char* mode) {
    if (fontPath(path)) {
        errno = ENOENT;
        return nullptr;
    }
    static const auto real = next<FILE* (*)(const char*, const char*)>("fopen64");
    return real(path, mode);
}
}

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    const std::string dir = argv[1];
    korvane::WriteOptions options;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-system-fonts") == 0)
            hideFonts = true;
        else if (std::strcmp(argv[i], "--font") == 0 && i + 1 < argc)
            options.fontFile = argv[++i];
        else
            return 2;
    }

    struct Sample {
        const char* name;
        korvane::Symbology symbology;
        const char* data;
    };
    const Sample samples[] = {
        {"ean13", korvane::Symbology::Ean13, "590123412345+12"},
        {"upca", korvane::Symbology::UpcA, "01234567890"},
        {"code39", korvane::Symbology::Code39, "KORVANE-39"},
    };
    std::vector<std::pair<std::string, korvane::Drawing>> drawings;
    for (const Sample& s : samples) {
        auto symbol = korvane::encode(s.symbology, s.data);
        auto drawing = symbol ? korvane::layout(*symbol) : korvane::Result<korvane::Drawing>(symbol.error());
        if (!drawing) {
            std::fprintf(stderr, "%s: %s\n", s.name, drawing.error().message.c_str());
            return 1;
        }
        drawings.emplace_back(s.name, std::move(*drawing));
    }
    korvane::Drawing latin;
    latin.width = 360;
    latin.height = 360;
    for (int rotation : {0, 90, 180, 270}) {
        korvane::TextRun t;
        t.x = 180;
        t.y = 180;
        t.size = 28;
        t.text = "Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC 5 \xE2\x80\x93 \xC3\x86\xC3\xB8";  // "Größe € 5 – Æø"
        t.rotation = rotation;
        t.font = rotation == 90 ? korvane::Font::OcrB : korvane::Font::Sans;
        latin.texts.push_back(t);
    }
    drawings.emplace_back("latin", latin);

    for (const auto& [name, drawing] : drawings)
        for (korvane::Format f : {korvane::Format::Png, korvane::Format::Bmp}) {
            const std::string path = dir + "/" + name + "." + korvane::formatName(f);
            auto written = korvane::writeFile(drawing, path, f, options);
            if (!written) {
                std::fprintf(stderr, "%s: %s\n", path.c_str(), written.error().message.c_str());
                return 1;
            }
            for (const std::string& w : written->warnings)
                std::fprintf(stderr, "%s\n", w.c_str());
        }
    return 0;
}
