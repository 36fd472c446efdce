#pragma once
// Reading the writers' files back through independent readers: rsvg-convert
// for SVG, pdftoppm for PDF, Ghostscript for EPS, libpng for PNG, the EMF
// record reader, and a BMP header and pixel reader.

#include "Render.h"

#include <korvane/Write.h>

#include <cstdint>
#include <string>
#include <vector>

namespace writertest {

using testsupport::GrayImage;

// A private temporary folder, removed with its contents.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string path(const std::string& name) const { return dir_ + "/" + name; }
    const std::string& dir() const { return dir_; }
    std::vector<std::string> entries() const;  // file names, sorted

private:
    std::string dir_;
};

std::vector<std::uint8_t> readBytes(const std::string& path);
void saveBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

// Runs a shell command (its output into `log`); true when it exits with 0.
bool run(const std::string& command, const std::string& log);

// A PNG's pixels as grey levels, translucent pixels composited on white.
bool readPng(const std::vector<std::uint8_t>& png, GrayImage& image, std::string& error);

struct PngHeader {
    int bitDepth = 0;
    int colourType = -1;
    bool hasPhys = false;
    std::uint32_t ppuX = 0, ppuY = 0;
    int unit = -1;
};
PngHeader pngHeader(const std::vector<std::uint8_t>& png);

struct Bmp {
    std::string error;  // empty when the headers are consistent
    std::int32_t width = 0, height = 0, xPelsPerMeter = 0;
    std::vector<std::uint32_t> pixels;  // 0xRRGGBB, top row first
};
Bmp readBmp(const std::vector<std::uint8_t>& bytes);

// The picture a reader makes of a writer's output, one pixel per dot of the
// drawing. `error` says what failed when the image is empty.
GrayImage picture(korvane::Format format, const std::vector<std::uint8_t>& bytes, const korvane::Drawing& drawing,
                  const TempDir& tmp, std::string& error);

// Lengths of the alternating dark and light runs along row `y`, from the
// first dark pixel to the last.
std::vector<int> runs(const GrayImage& image, int y);

}  // namespace writertest
