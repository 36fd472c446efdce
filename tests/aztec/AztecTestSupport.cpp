#include "AztecTestSupport.h"

#include "Render.h"

#include <fstream>
#include <iterator>

namespace aztectest {

std::string packed(const std::string& s) {
    std::string out;
    for (char c : s)
        if (c == '0' || c == '1')
            out += c;
    return out;
}

std::vector<int> bytesOf(const std::string& s) {
    std::vector<int> b;
    for (char c : s)
        b.push_back(static_cast<unsigned char>(c));
    return b;
}

std::string encodedText(const std::string& text, bool tilde) {
    Aztec a;
    std::string t = text;
    a.controlChars.assign(text.size(), Aztec::CONTROL_NONE);
    if (tilde)
        t = a.applyTilde(text);
    const std::vector<int> b = bytesOf(t);
    BitString bs;
    a.encodeBytes(b.data(), static_cast<int>(b.size()), Aztec::SET_UPPER, true, true, &bs);
    return bs.toString();
}

std::vector<std::string> matrixRows(const Aztec& aztec) {
    std::vector<std::string> rows;
    for (int r = 0; r < aztec.rows; ++r) {
        std::string row;
        for (int c = 0; c < aztec.cols; ++c)
            row += aztec.bitmap[static_cast<size_t>(r) * aztec.cols + c] == 0 ? '1' : '0';
        rows.push_back(row);
    }
    return rows;
}

testsupport::Decoded decodeSymbol(const Aztec& aztec) {
    std::vector<bool> dark(aztec.bitmap.size());
    for (size_t i = 0; i < dark.size(); ++i)
        dark[i] = aztec.bitmap[i] == 0;
    return testsupport::decode(testsupport::renderMatrix(dark, aztec.rows, aztec.cols, 3, 4),
                               testsupport::Symbology::Aztec);
}

namespace {

std::uint32_t le(const std::string& b, size_t at, int n) {
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

}  // namespace

Bmp parseBmp(const std::string& b) {
    Bmp bmp;
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') {
        bmp.error = "no BMP header";
        return bmp;
    }
    bmp.fileSize = le(b, 2, 4);
    bmp.res1 = static_cast<std::uint16_t>(le(b, 6, 2));
    bmp.res2 = static_cast<std::uint16_t>(le(b, 8, 2));
    bmp.offset = le(b, 10, 4);
    bmp.headerSize = le(b, 14, 4);
    bmp.width = static_cast<std::int32_t>(le(b, 18, 4));
    bmp.height = static_cast<std::int32_t>(le(b, 22, 4));
    bmp.planes = static_cast<std::uint16_t>(le(b, 26, 2));
    bmp.bitsPixel = static_cast<std::uint16_t>(le(b, 28, 2));
    bmp.compression = le(b, 30, 4);
    bmp.sizeImage = le(b, 34, 4);
    bmp.xPels = le(b, 38, 4);
    bmp.yPels = le(b, 42, 4);
    bmp.clrUsed = le(b, 46, 4);
    bmp.clrImportant = le(b, 50, 4);
    if (bmp.width <= 0 || bmp.height <= 0 || bmp.bitsPixel != 24) {
        bmp.error = "unexpected geometry";
        return bmp;
    }
    const size_t rowBytes = (3 * static_cast<size_t>(bmp.width) + 3) / 4 * 4;
    if (b.size() != bmp.offset + rowBytes * bmp.height) {
        bmp.error = "file length does not match the geometry";
        return bmp;
    }
    bmp.pixels.assign(static_cast<size_t>(bmp.width) * bmp.height, 0);
    for (int r = 0; r < bmp.height; ++r) {
        const size_t rowStart = bmp.offset + rowBytes * (bmp.height - 1 - r);  // bottom-up
        for (int c = 0; c < bmp.width; ++c)
            bmp.pixels[static_cast<size_t>(r) * bmp.width + c] = static_cast<int>(le(b, rowStart + 3 * c, 3));
        for (size_t p = rowStart + 3 * bmp.width; p < rowStart + rowBytes; ++p)
            if (b[p] != 0)
                bmp.padZero = false;
    }
    bmp.ok = true;
    return bmp;
}

std::string readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

Bmp readBmp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        Bmp bmp;
        bmp.error = "cannot open " + path;
        return bmp;
    }
    return parseBmp(readWhole(path));
}

}  // namespace aztectest
