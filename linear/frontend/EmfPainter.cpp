// Enhanced-metafile encoder for EmfPainter.

#include "EmfPainter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <sys/stat.h>

namespace {

using std::int32_t;
using std::int64_t;
using std::uint32_t;

using Rect = emf::Box;
using emf::MetafileBuilder;

constexpr uint32_t WHITE = 0x00FFFFFF;  // COLORREF 0x00bbggrr
constexpr uint32_t BLACK = 0x00000000;

// Handle table slots: the white objects are deleted before the black ones are
// created, so both pairs use slots 1 and 2; the font takes slot 3.
constexpr uint32_t PEN_SLOT = 1;
constexpr uint32_t BRUSH_SLOT = 2;
constexpr uint32_t FONT_SLOT = 3;

void selectPenAndBrush(MetafileBuilder& emf, uint32_t colour) {
    emf.createPen(PEN_SLOT, colour);
    emf.select(PEN_SLOT);
    emf.createBrush(BRUSH_SLOT, colour);
    emf.select(BRUSH_SLOT);
}

void paintBackground(MetafileBuilder& emf, int64_t width, int64_t height) {
    selectPenAndBrush(emf, WHITE);
    emf.rectangle({0, 0, width, height});
    emf.remove(PEN_SLOT);
    emf.remove(BRUSH_SLOT);
}

// Whether the path names something other than a regular file (a device, a
// pipe, a directory).
bool isSpecialFile(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

bool writeFile(const std::string& file, const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty())
        return false;
    const bool special = isSpecialFile(file);
    std::FILE* f = std::fopen(file.c_str(), "wb");
    if (f == nullptr)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool closed = std::fclose(f) == 0;
    if (!(written && closed)) {
        if (!special)
            std::remove(file.c_str());  // never leave a partial file behind
        return false;
    }
    return true;
}

}  // namespace

std::vector<std::uint8_t> EmfPainter::barsMetafile(const int* widths, const int* heights, int count,
                                                   const std::string& text, int fontHeight, int textLength) {
    if (count <= 0)
        return {};
    int64_t total = 0;
    for (int i = 0; i < count; ++i)
        total += widths[i];

    MetafileBuilder emf;
    const int64_t firstHeight = 2 * static_cast<int64_t>(heights[0]);
    paintBackground(emf, 2 * total, fontHeight + firstHeight);

    selectPenAndBrush(emf, BLACK);
    int64_t x = 0;
    for (int j = 0; j < count; ++j) {
        if (j % 2 == 0)
            emf.rectangle({2 * x, 0, 2 * (x + widths[j]), 2 * static_cast<int64_t>(heights[j])});
        x += widths[j];
    }

    if (fontHeight > 0) {
        const std::size_t length =
            std::min(text.size(), static_cast<std::size_t>(std::max(textLength, 0)));
        // Centred on the assumption that each character is as wide as the font is high.
        const int64_t textWidth = static_cast<int64_t>(fontHeight) * textLength;
        int64_t tx = (2 * total - textWidth) / 2;
        if (tx < 0)
            tx = 0;
        emf.createFont(FONT_SLOT, fontHeight);
        emf.select(FONT_SLOT);
        emf.textOut(tx, firstHeight, text.substr(0, length),
                    {tx, firstHeight, tx + static_cast<int64_t>(fontHeight) * static_cast<int64_t>(length),
                     firstHeight + fontHeight});
        emf.remove(FONT_SLOT);
    }
    return emf.finish();
}

std::vector<std::uint8_t> EmfPainter::matrixMetafile(const int* modules, int rows, int columns) {
    if (rows <= 0 || columns <= 0)
        return {};
    MetafileBuilder emf;
    paintBackground(emf, 2 * static_cast<int64_t>(columns), 2 * static_cast<int64_t>(rows));
    selectPenAndBrush(emf, BLACK);
    for (int64_t r = 0; r < rows; ++r)
        for (int64_t c = 0; c < columns; ++c)
            if (modules[r * columns + c] == 0)
                emf.rectangle({2 * c, 2 * r, 2 * c + 2, 2 * r + 2});
    emf.remove(PEN_SLOT);
    emf.remove(BRUSH_SLOT);
    return emf.finish();
}

bool EmfPainter::paintBars(const std::string& file, const int* widths, const int* heights, int count,
                           const std::string& text, int fontHeight, int textLength) {
    return writeFile(file, barsMetafile(widths, heights, count, text, fontHeight, textLength));
}

bool EmfPainter::paintBars(const std::string& file, const int* widths, const int* heights, int count) {
    return paintBars(file, widths, heights, count, "", 0, 0);
}

bool EmfPainter::paintMatrix(const std::string& file, const int* modules, int rows, int columns) {
    return writeFile(file, matrixMetafile(modules, rows, columns));
}
