#include "WriterTestSupport.h"

#include "EmfReader.h"

#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace writertest {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "korvane-writers-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        std::abort();
    dir_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
}

std::vector<std::string> TempDir::entries() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void saveBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

bool run(const std::string& command, const std::string& log) {
    return std::system((command + " >'" + log + "' 2>&1").c_str()) == 0;
}

bool readPng(const std::vector<std::uint8_t>& png, GrayImage& image, std::string& error) {
    png_image img{};
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&img, png.data(), png.size())) {
        error = std::string("libpng: ") + img.message;
        return false;
    }
    img.format = PNG_FORMAT_GRAY;
    image.width = static_cast<int>(img.width);
    image.height = static_cast<int>(img.height);
    image.pixels.assign(PNG_IMAGE_SIZE(img), 0);
    png_color white{255, 255, 255};
    if (!png_image_finish_read(&img, &white, image.pixels.data(), 0, nullptr)) {
        error = std::string("libpng: ") + img.message;
        png_image_free(&img);
        return false;
    }
    return true;
}

PngHeader pngHeader(const std::vector<std::uint8_t>& png) {
    PngHeader h;
    const auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(png[at]) << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
    };
    for (std::size_t pos = 8; pos + 12 <= png.size();) {
        const std::uint32_t length = u32(pos);
        const std::string type(png.begin() + static_cast<long>(pos) + 4, png.begin() + static_cast<long>(pos) + 8);
        if (pos + 12 + length > png.size())
            break;
        if (type == "IHDR") {
            h.bitDepth = png[pos + 16];
            h.colourType = png[pos + 17];
        } else if (type == "pHYs") {
            h.hasPhys = true;
            h.ppuX = u32(pos + 8);
            h.ppuY = u32(pos + 12);
            h.unit = png[pos + 16];
        }
        pos += 12 + length;
    }
    return h;
}

Bmp readBmp(const std::vector<std::uint8_t>& b) {
    Bmp bmp;
    const auto u16 = [&](std::size_t at) { return static_cast<std::uint32_t>(b[at] | b[at + 1] << 8); };
    const auto u32 = [&](std::size_t at) { return u16(at) | u16(at + 2) << 16; };
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') {
        bmp.error = "no BMP header";
        return bmp;
    }
    bmp.width = static_cast<std::int32_t>(u32(18));
    bmp.height = static_cast<std::int32_t>(u32(22));
    bmp.xPelsPerMeter = static_cast<std::int32_t>(u32(38));
    const std::size_t stride = (3 * static_cast<std::size_t>(bmp.width) + 3) / 4 * 4;
    const std::size_t sizeImage = stride * static_cast<std::size_t>(bmp.height);
    if (u32(2) != b.size() || u32(10) != 54 || u32(14) != 40 || u16(26) != 1 || u16(28) != 24 || u32(30) != 0 ||
        u32(34) != sizeImage || b.size() != 54 + sizeImage || u32(42) != u32(38)) {
        bmp.error = "inconsistent BMP headers";
        return bmp;
    }
    for (int y = bmp.height - 1; y >= 0; --y) {
        const std::size_t row = 54 + stride * static_cast<std::size_t>(y);
        for (int x = 0; x < bmp.width; ++x) {
            const std::size_t p = row + 3 * static_cast<std::size_t>(x);
            bmp.pixels.push_back(static_cast<std::uint32_t>(b[p + 2]) << 16 | b[p + 1] << 8 | b[p]);
        }
    }
    return bmp;
}

namespace {

std::uint8_t luminance(std::uint32_t rgb) {
    return static_cast<std::uint8_t>((299 * (rgb >> 16 & 255) + 587 * (rgb >> 8 & 255) + 114 * (rgb & 255)) / 1000);
}

// A rendered file at exactly the drawing's size (renderers may add a pixel by rounding).
GrayImage fitted(GrayImage img, const korvane::Drawing& d) {
    GrayImage out;
    out.width = d.width;
    out.height = d.height;
    out.pixels.assign(static_cast<std::size_t>(d.width) * d.height, 255);
    for (int y = 0; y < std::min(d.height, img.height); ++y)
        for (int x = 0; x < std::min(d.width, img.width); ++x)
            out.pixels[static_cast<std::size_t>(y) * d.width + x] =
                img.pixels[static_cast<std::size_t>(y) * img.width + x];
    return out;
}

GrayImage rendered(const std::string& command, const std::string& png, const korvane::Drawing& d,
                   const TempDir& tmp, std::string& error) {
    GrayImage img;
    if (!run(command, tmp.path("tool.log"))) {
        const auto log = readBytes(tmp.path("tool.log"));
        error = "failed: " + command + ": " + std::string(log.begin(), log.end());
        return {};
    }
    if (!readPng(readBytes(png), img, error))
        return {};
    if (std::abs(img.width - d.width) > 1 || std::abs(img.height - d.height) > 1) {
        error = "rendered at " + std::to_string(img.width) + " x " + std::to_string(img.height);
        return {};
    }
    return fitted(std::move(img), d);
}

}  // namespace

GrayImage picture(korvane::Format format, const std::vector<std::uint8_t>& bytes, const korvane::Drawing& d,
                  const TempDir& tmp, std::string& error) {
    using korvane::Format;
    const std::string in = tmp.path(std::string("in.") + korvane::formatName(format));
    const std::string out = tmp.path("out.png");
    const std::string w = std::to_string(d.width), h = std::to_string(d.height);
    const std::string dpi = std::to_string(d.dpi > 0 ? d.dpi : 96);
    std::remove(out.c_str());
    switch (format) {
    case Format::Svg:
        saveBytes(in, bytes);
        return rendered("rsvg-convert -w " + w + " -h " + h + " -b white -o '" + out + "' '" + in + "'", out, d, tmp,
                        error);
    case Format::Pdf:
        saveBytes(in, bytes);
        return rendered("pdftoppm -scale-to-x " + w + " -scale-to-y " + h + " -gray -png "
                        "-singlefile '" + in + "' '" + tmp.path("out") + "'",
                        out, d, tmp, error);
    case Format::Eps:
        saveBytes(in, bytes);
        return rendered("gs -q -dSAFER -dBATCH -dNOPAUSE -dEPSCrop -dGraphicsAlphaBits=4 -dTextAlphaBits=4 -r" + dpi + " -sDEVICE=pnggray -sOutputFile='" +
                            out + "' '" + in + "'",
                        out, d, tmp, error);
    case Format::Png: {
        GrayImage img;
        readPng(bytes, img, error);
        return img;
    }
    case Format::Emf: {
        const testsupport::EmfFile f = testsupport::readEmf(bytes);
        if (!f.error.empty()) {
            error = "EMF: " + f.error;
            return {};
        }
        GrayImage img;
        img.width = d.width;
        img.height = d.height;
        img.pixels.assign(static_cast<std::size_t>(d.width) * d.height, 255);
        for (const auto& r : f.rectangles)
            for (int y = std::max(0, r.rect.top); y < std::min(d.height, r.rect.bottom); ++y)
                for (int x = std::max(0, r.rect.left); x < std::min(d.width, r.rect.right); ++x)
                    img.pixels[static_cast<std::size_t>(y) * d.width + x] = luminance(r.brushColour);
        return img;
    }
    case Format::Bmp: {
        const Bmp bmp = readBmp(bytes);
        if (!bmp.error.empty()) {
            error = "BMP: " + bmp.error;
            return {};
        }
        GrayImage img;
        img.width = bmp.width;
        img.height = bmp.height;
        for (std::uint32_t p : bmp.pixels)
            img.pixels.push_back(luminance(p));
        return img;
    }
    }
    return {};
}

std::vector<int> runs(const GrayImage& image, int y) {
    std::vector<int> out;
    if (y < 0 || y >= image.height)
        return out;
    const std::uint8_t* row = image.pixels.data() + static_cast<std::size_t>(y) * image.width;
    int first = 0, last = image.width - 1;
    while (first < image.width && row[first] >= 128)
        ++first;
    while (last >= first && row[last] >= 128)
        --last;
    for (int x = first; x <= last;) {
        const bool dark = row[x] < 128;
        int n = 0;
        while (x <= last && (row[x] < 128) == dark) {
            ++n;
            ++x;
        }
        out.push_back(n);
    }
    return out;
}

}  // namespace writertest
