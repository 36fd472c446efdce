#pragma once
// Writes a matrix of colours as an uncompressed 24-bit Windows BMP file, one pixel
// per entry, without scaling or margin.

#include <cstdint>
#include <string>

// BITMAPFILEHEADER: 14 bytes on disk.
struct typeHEADER {
    char itype[2] = {'B', 'M'};
    std::uint32_t size = 0;
    std::uint16_t res1 = 0;
    std::uint16_t res2 = 0;
    std::uint32_t offset = 0;
};

// BITMAPINFOHEADER: 40 bytes on disk; planes and bitsPixel are written as 16 bits.
struct typeINFOHEADER {
    std::int32_t size = 40;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t planes = 1;
    std::int32_t bitsPixel = 24;
    std::int32_t compression = 0;
    std::int32_t sizeImage = 0;
    std::int32_t XPelsPerMeter = 0;
    std::int32_t YPelsPerMeter = 0;
    std::int32_t ClrUsed = 0;
    std::int32_t ClrImportant = 0;
};

class bitmapfile {
public:
    // Writes `rows` x `cols` colours 0xRRGGBB (row-major, top row first) to
    // `filename`, creating or truncating it. The whole file is built in memory and
    // written at once; returns false, leaving no file behind, when the matrix is
    // empty or too large for a BMP, or the file cannot be written.
    bool write(const char* filename, const int* bmp, int rows, int cols);

    // The bytes of the last file built by write().
    const std::string& contents() const { return image; }

    void writeHeader(const typeHEADER& header);
    void writeInfoHeader(const typeINFOHEADER& info);
    // Pixel rows bottom-up, blue-green-red, each padded with zeros to 4 bytes.
    void writeBitmap(const int* bmp, int rows, int cols);

    // Little-endian conversion into `res` (2 or 4 bytes); returns `res`.
    static char* toWord(int value, char* res);
    static char* toDWord(int value, char* res);

private:
    std::string image;

    void putWord(int value);
    void putDWord(std::uint32_t value);
};
