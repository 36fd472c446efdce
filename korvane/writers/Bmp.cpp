// BMP for any drawing, through the aztec program's bitmap writer
// (formats/bitmapfile): 24-bit pixels written bottom row first, one row at a
// time, with the resolution in the header's pixels per metre. BMP has no
// alpha: colours are drawn as they look on white paper.

#include "writers/Scanlines.h"

#include "korvane/Layout.h"

#include <bitmapfile.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace korvane::writers {

Result<Written> writeBmp(const Drawing& d, const WriteOptions& options) {
    if (static_cast<long long>(d.width) * d.height > MAX_CANVAS_DOTS)
        return Error{ErrorCode::SizeTooLarge, "a BMP of " + std::to_string(d.width) + " x " + std::to_string(d.height) +
                                                  " pixels is more than the 2^28 the library makes"};
    Written w;
    if (!d.background.opaque())
        w.warnings.push_back(d.background.transparent() ? "BMP has no transparency; the background is white"
                                                        : "BMP has no transparency; the background is mixed with white");
    RasterText text = rasterizeText(d, options, "bmp");
    w.warnings.insert(w.warnings.end(), text.warnings.begin(), text.warnings.end());

    // Colour 0xRRGGBB per coverage value.
    const Colour paper = onPaper(d.background);
    const Colour ink = onPaper(d.background.transparent() ? d.foreground : over(d.foreground, d.background));
    std::array<int, 256> lookup{};
    for (int c = 0; c < 256; ++c) {
        const auto mix = [c](int from, int to) { return from + ((to - from) * c + (to >= from ? 127 : -127)) / 255; };
        lookup[static_cast<std::size_t>(c)] = mix(paper.r, ink.r) << 16 | mix(paper.g, ink.g) << 8 | mix(paper.b, ink.b);
    }

    const int rowPad = (4 - (3 * d.width) % 4) % 4;
    const long long sizeImage = (3LL * d.width + rowPad) * d.height;
    typeHEADER header;
    header.offset = 14 + 40;
    header.size = static_cast<std::uint32_t>(header.offset + sizeImage);
    typeINFOHEADER info;
    info.width = d.width;
    info.height = d.height;  // positive: rows stored bottom-up
    info.sizeImage = static_cast<std::int32_t>(sizeImage);
    info.XPelsPerMeter = info.YPelsPerMeter =
        static_cast<std::int32_t>(std::lround(std::min(resolutionOf(d, options) / 0.0254, 2e9)));

    bitmapfile bmp;
    bmp.writeHeader(header);
    bmp.writeInfoHeader(info);
    std::vector<int> row(static_cast<std::size_t>(d.width));
    Scanlines lines(d, std::move(text.glyphs), true);
    for (int y = 0; y < d.height; ++y) {
        const std::uint8_t* cover = lines.next();
        if (lines.redrawn())
            for (int x = 0; x < d.width; ++x)
                row[static_cast<std::size_t>(x)] = lookup[cover[x]];
        bmp.writeBitmap(row.data(), 1, d.width);
    }
    const std::string& bytes = bmp.contents();
    w.bytes = bytesOf(bytes);
    return w;
}

}  // namespace korvane::writers
