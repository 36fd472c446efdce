// The writers under arbitrary drawings: rectangles anywhere (also outside the
// canvas), any colours, odd resolutions, text of any bytes, size, anchor and
// rotation. Every format returns a well-formed file or an error with a
// one-line message; nothing crashes.

#include "FuzzInput.h"

#include <korvane/korvane.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

[[noreturn]] void broken(const char* what, const std::string& detail) {
    std::fprintf(stderr, "invariant broken: %s (%s)\n", what, detail.c_str());
    std::abort();
}

korvane::Colour colour(FuzzInput& in) {
    return {in.byte(), in.byte(), in.byte(), in.byte()};
}

int coordinate(FuzzInput& in) { return static_cast<std::int16_t>(in.byte() | in.byte() << 8); }

double size(FuzzInput& in) {
    constexpr double SIZES[] = {0, 1, 7.5, 12, 44, 300, 5000, -3, std::numeric_limits<double>::quiet_NaN(),
                                std::numeric_limits<double>::infinity()};
    const std::uint8_t b = in.byte();
    return b < 200 ? b / 2.0 : SIZES[b % std::size(SIZES)];
}

void checkFile(korvane::Format f, const std::vector<std::uint8_t>& b) {
    const std::string head(b.begin(), b.begin() + static_cast<long>(std::min<std::size_t>(b.size(), 8)));
    switch (f) {
    case korvane::Format::Svg:
        if (head.rfind("<?xml", 0) != 0 || std::string(b.end() - 7, b.end()) != "</svg>\n")
            broken("SVG frame", head);
        break;
    case korvane::Format::Pdf:
        if (head.rfind("%PDF-1.4", 0) != 0 || std::string(b.end() - 6, b.end()) != "%%EOF\n")
            broken("PDF frame", head);
        break;
    case korvane::Format::Eps:
        if (head.rfind("%!PS", 0) != 0)
            broken("EPS header", head);
        break;
    case korvane::Format::Png:
        if (head != "\x89PNG\r\n\x1a\n")
            broken("PNG signature", head);
        break;
    case korvane::Format::Emf: {
        const std::uint32_t bytes = b[48] | b[49] << 8 | b[50] << 16 | static_cast<std::uint32_t>(b[51]) << 24;
        if (b.size() < 108 || bytes != b.size())
            broken("EMF size", std::to_string(b.size()));
        break;
    }
    case korvane::Format::Bmp: {
        const std::uint32_t bytes = b[2] | b[3] << 8 | b[4] << 16 | static_cast<std::uint32_t>(b[5]) << 24;
        if (head.rfind("BM", 0) != 0 || bytes != b.size())
            broken("BMP size", std::to_string(b.size()));
        break;
    }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t length) {
    FuzzInput in(data, length);
    korvane::Drawing d;
    d.width = in.range(0, 400);
    d.height = in.range(0, 300);
    constexpr double DPIS[] = {300, 0, 72, 203, 600, 1e9, -1, std::numeric_limits<double>::quiet_NaN()};
    d.dpi = DPIS[in.byte() % std::size(DPIS)];
    d.foreground = colour(in);
    d.background = colour(in);
    const int rects = in.range(0, 40);
    for (int i = 0; i < rects; ++i)
        d.rects.push_back({coordinate(in), coordinate(in), coordinate(in), coordinate(in)});
    const int texts = in.range(0, 4);
    for (int i = 0; i < texts; ++i) {
        korvane::TextRun t;
        t.x = coordinate(in);
        t.y = coordinate(in);
        t.size = size(in);
        t.anchor = static_cast<korvane::Anchor>(in.range(0, 2));
        t.font = in.flag() ? korvane::Font::OcrB : korvane::Font::Sans;
        constexpr int ROTATIONS[] = {0, 90, 180, 270, -90, 450, 45};
        t.rotation = ROTATIONS[in.byte() % std::size(ROTATIONS)];
        t.text = in.bytes(in.range(0, 40));
        d.texts.push_back(t);
    }
    for (int f = 0; f < korvane::FORMAT_COUNT; ++f) {
        const auto format = static_cast<korvane::Format>(f);
        const auto written = korvane::write(d, format);
        if (!written) {
            const std::string& m = written.error().message;
            if (m.empty() || m.find('\n') != std::string::npos)
                broken("one-line error message", m);
            continue;
        }
        checkFile(format, written->bytes);
    }
    return 0;
}
