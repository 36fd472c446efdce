// Fuzzes the QR Code reader. Mode 0: an arbitrary picture (width, pixels per
// bit 1-4, then one bit per pixel, 1 dark). Mode 1: a symbol the encoder
// makes of a short value, with modules flipped where the input says. The
// reader must never crash or hang; a symbol with so few flips that neither its
// format information nor any block can be decoded to another code word must
// read as its value when it reads at all.

#include "FuzzInput.h"

#include "qr/Qr.h"
#include "verify/Readers.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int MAX_SIDE = 400;

korvane::GrayRaster fromBits(int width, int scale, const std::string& bits) {
    korvane::GrayRaster raster;
    const int height = std::min(MAX_SIDE, static_cast<int>(bits.size() * 8 / static_cast<std::size_t>(width)));
    raster.width = width * scale;
    raster.height = height * scale;
    raster.pixels.assign(static_cast<std::size_t>(raster.width) * static_cast<std::size_t>(raster.height), 255);
    for (int y = 0; y < raster.height; ++y)
        for (int x = 0; x < raster.width; ++x) {
            const std::size_t bit = static_cast<std::size_t>(y / scale) * static_cast<std::size_t>(width) +
                                    static_cast<std::size_t>(x / scale);
            if ((static_cast<unsigned char>(bits[bit / 8]) >> (7 - bit % 8)) & 1)
                raster.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(raster.width) +
                              static_cast<std::size_t>(x)] = 0;
        }
    return raster;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    if (!in.flag()) {
        const int width = in.range(1, MAX_SIDE);
        const int scale = in.range(1, 4);
        const std::string bits = in.rest();
        if (bits.size() * 8 < static_cast<std::size_t>(width))
            return 0;
        (void)korvane::detail::readQr(fromBits(width, scale, bits));
        return 0;
    }
    korvane::qr::QrOptions o;
    o.level = static_cast<korvane::qr::Level>(in.range(0, 3));
    o.version = in.range(1, 12);
    o.boost = false;
    korvane::Message m;
    m.bytes = in.bytes(in.range(1, 16));
    const korvane::Result<korvane::qr::QrSymbol> made = korvane::qr::encode(m, o);
    if (!made)
        return 0;
    korvane::qr::QrSymbol s = *made;
    const int flips = in.range(0, 60);
    for (int k = 0; k < flips; ++k) {
        const int row = in.byte() % s.size, col = in.byte() % s.size;
        s.modules[static_cast<std::size_t>(row * s.size + col)] ^= 1;
    }
    korvane::GrayRaster raster;
    raster.width = raster.height = (s.size + 8) * 2;
    raster.pixels.assign(static_cast<std::size_t>(raster.width) * static_cast<std::size_t>(raster.height), 255);
    for (int y = 0; y < raster.height; ++y)
        for (int x = 0; x < raster.width; ++x) {
            const int row = y / 2 - 4, col = x / 2 - 4;
            if (row >= 0 && col >= 0 && row < s.size && col < s.size && s.modules[static_cast<std::size_t>(row * s.size + col)])
                raster.pixels[static_cast<std::size_t>(y * raster.width + x)] = 0;
        }
    const korvane::detail::Reading r = korvane::detail::readQr(raster);
    // Up to three flips: the format information (BCH distance 7) and every
    // block (at most half its check words wrong) decode to what was made.
    const int reach = std::min(3, made->checkCodewords / made->blocks / 2);
    if (r.ok && flips <= reach && r.data != made->readerData) {
        std::fprintf(stderr, "a symbol with %d flips read as other data\n", flips);
        std::abort();
    }
    return 0;
}
