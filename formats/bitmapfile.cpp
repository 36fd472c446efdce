#include "bitmapfile.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

// Whether the path names something other than a regular file (a device, a
// pipe, a directory).
bool isSpecialFile(const char* path) {
    struct stat st;
    return stat(path, &st) == 0 && !S_ISREG(st.st_mode);
}

constexpr int HEADERS_SIZE = 14 + 40;

int rowPadding(int cols) {
    const int rest = (3 * cols) % 4;
    return rest == 0 ? 0 : 4 - rest;
}

}  // namespace

char* bitmapfile::toWord(int value, char* res) {
    res[0] = static_cast<char>(value & 0xFF);
    res[1] = static_cast<char>((value >> 8) & 0xFF);
    return res;
}

char* bitmapfile::toDWord(int value, char* res) {
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        res[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return res;
}

void bitmapfile::putWord(int value) {
    char buf[2];
    image.append(toWord(value, buf), 2);
}

void bitmapfile::putDWord(std::uint32_t value) {
    char buf[4];
    image.append(toDWord(static_cast<int>(value), buf), 4);
}

void bitmapfile::writeHeader(const typeHEADER& header) {
    image.append(header.itype, 2);
    putDWord(header.size);
    putWord(header.res1);
    putWord(header.res2);
    putDWord(header.offset);
}

void bitmapfile::writeInfoHeader(const typeINFOHEADER& info) {
    putDWord(static_cast<std::uint32_t>(info.size));
    putDWord(static_cast<std::uint32_t>(info.width));
    putDWord(static_cast<std::uint32_t>(info.height));
    putWord(info.planes);
    putWord(info.bitsPixel);
    putDWord(static_cast<std::uint32_t>(info.compression));
    putDWord(static_cast<std::uint32_t>(info.sizeImage));
    putDWord(static_cast<std::uint32_t>(info.XPelsPerMeter));
    putDWord(static_cast<std::uint32_t>(info.YPelsPerMeter));
    putDWord(static_cast<std::uint32_t>(info.ClrUsed));
    putDWord(static_cast<std::uint32_t>(info.ClrImportant));
}

namespace {

void putLittleEndian(char* out, std::uint32_t v) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    std::memcpy(out, &v, 4);  // one store where the machine's order is the file's
#else
    out[0] = static_cast<char>(v & 0xFF);
    out[1] = static_cast<char>((v >> 8) & 0xFF);
    out[2] = static_cast<char>((v >> 16) & 0xFF);
    out[3] = static_cast<char>(v >> 24);
#endif
}

// One matrix row as blue-green-red bytes; four pixels at a time make three
// 32-bit words (b g r b, g r b g, r b g r).
void pixelRow(const int* in, int cols, char* out) {
    int c = 0;
    for (; c + 4 <= cols; c += 4, out += 12) {
        const std::uint32_t p0 = static_cast<std::uint32_t>(in[c]) & 0xFFFFFF;
        const std::uint32_t p1 = static_cast<std::uint32_t>(in[c + 1]) & 0xFFFFFF;
        const std::uint32_t p2 = static_cast<std::uint32_t>(in[c + 2]) & 0xFFFFFF;
        const std::uint32_t p3 = static_cast<std::uint32_t>(in[c + 3]) & 0xFFFFFF;
        putLittleEndian(out, p0 | p1 << 24);
        putLittleEndian(out + 4, p1 >> 8 | p2 << 16);
        putLittleEndian(out + 8, p2 >> 16 | p3 << 8);
    }
    for (; c < cols; ++c, out += 3) {
        const auto v = static_cast<std::uint32_t>(in[c]);
        out[0] = static_cast<char>(v & 0xFF);
        out[1] = static_cast<char>((v >> 8) & 0xFF);
        out[2] = static_cast<char>((v >> 16) & 0xFF);
    }
}

}  // namespace

void bitmapfile::writeBitmap(const int* bmp, int rows, int cols) {
    // Each row is assembled in a buffer whose pad bytes stay zero, then appended
    // as one block.
    std::string row(static_cast<std::size_t>(3 * cols + rowPadding(cols)), '\0');
    for (int r = rows - 1; r >= 0; --r) {
        pixelRow(bmp + static_cast<std::size_t>(r) * cols, cols, &row[0]);
        image.append(row);
    }
}

bool bitmapfile::write(const char* filename, const int* bmp, int rows, int cols) {
    image.clear();
    if (filename == nullptr || bmp == nullptr || rows <= 0 || cols <= 0)
        return false;
    // sizeImage and the file size must fit their signed 32-bit header fields.
    const long long rowBytes = 3LL * cols + rowPadding(cols);
    const long long sizeImage = rowBytes * rows;
    if (sizeImage > 0x7FFFFFFFLL - HEADERS_SIZE)
        return false;

    typeHEADER header;
    header.size = static_cast<std::uint32_t>(HEADERS_SIZE + sizeImage);
    header.offset = HEADERS_SIZE;
    typeINFOHEADER info;
    info.width = cols;
    info.height = rows;  // positive: rows stored bottom-up
    info.sizeImage = static_cast<std::int32_t>(sizeImage);
    image.reserve(static_cast<std::size_t>(header.size));
    writeHeader(header);
    writeInfoHeader(info);
    writeBitmap(bmp, rows, cols);

    // A half-written regular file is removed; a device or pipe named as the
    // output is never removed.
    const bool special = isSpecialFile(filename);
    std::FILE* bmpfile = std::fopen(filename, "wb");
    if (bmpfile == nullptr)
        return false;
    std::setvbuf(bmpfile, nullptr, _IONBF, 0);  // the image goes out in one write, not through a buffer
    const bool written = std::fwrite(image.data(), 1, image.size(), bmpfile) == image.size();
    if (std::fclose(bmpfile) != 0 || !written) {
        if (!special)
            std::remove(filename);
        return false;
    }
    return true;
}
