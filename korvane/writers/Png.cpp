// PNG through libspng, encoded row by row: 1-bit grey for black on white,
// 8-bit grey where both colours are opaque greys, RGB for other opaque
// colours, RGBA when either colour is translucent. pHYs holds the resolution.

#include "writers/Scanlines.h"

#include "korvane/Layout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>

#include <spng.h>

namespace korvane::writers {

namespace {

enum class Mode { Bilevel, Grey, Rgb, Rgba };

// zlib level: the rows of a barcode repeat, so the fastest level already finds
// nearly every match, at a fraction of the default's time.
constexpr int COMPRESSION_LEVEL = 1;

// Where the bytes of a 64-bit word lie in memory, for packing 1-bit rows.
const bool LITTLE_ENDIAN_HOST = [] {
    const std::uint16_t one = 1;
    std::uint8_t first;
    std::memcpy(&first, &one, 1);
    return first == 1;
}();

std::uint8_t reverseBits(std::uint8_t b) {
    std::uint8_t r = 0;
    for (int i = 0; i < 8; ++i)
        r = static_cast<std::uint8_t>(r << 1 | (b >> i & 1));
    return r;
}

struct ContextDeleter {
    void operator()(spng_ctx* ctx) const { spng_ctx_free(ctx); }
};

int appendToBytes(spng_ctx*, void* user, void* data, std::size_t length) {
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(user);
    const auto* p = static_cast<const std::uint8_t*>(data);
    try {
        bytes->insert(bytes->end(), p, p + length);
    } catch (...) {
        return SPNG_IO_ERROR;
    }
    return 0;
}

Error failed(int code) {
    return Error{ErrorCode::WriteFailed, std::string("the PNG encoder failed: ") + spng_strerror(code)};
}

}  // namespace

Result<Written> writePng(const Drawing& d, const WriteOptions& options) {
    if (static_cast<long long>(d.width) * d.height > MAX_CANVAS_DOTS)
        return Error{ErrorCode::SizeTooLarge, "a PNG of " + std::to_string(d.width) + " x " + std::to_string(d.height) +
                                                  " pixels is more than the 2^28 the library makes"};
    const Colour fg = d.foreground, bg = d.background;
    const auto grey = [](Colour c) { return c.r == c.g && c.g == c.b; };
    Mode mode = Mode::Rgba;
    if (fg == BLACK && bg == WHITE)
        mode = Mode::Bilevel;
    else if (fg.opaque() && bg.opaque())
        mode = grey(fg) && grey(bg) ? Mode::Grey : Mode::Rgb;

    // Pixel per coverage value, channels in PNG order.
    std::array<std::array<std::uint8_t, 4>, 256> lookup{};
    if (mode != Mode::Bilevel)
        for (int c = 0; c < 256; ++c) {
            Colour ink = fg;
            ink.a = static_cast<std::uint8_t>((fg.a * c + 127) / 255);
            const Colour px = bg.transparent() ? ink : over(ink, bg);
            lookup[static_cast<std::size_t>(c)] = {px.r, px.g, px.b, px.a};
        }

    Written w;
    RasterText text = rasterizeText(d, options, "png");
    w.warnings = std::move(text.warnings);

    std::unique_ptr<spng_ctx, ContextDeleter> ctx(spng_ctx_new(SPNG_CTX_ENCODER));
    if (!ctx)
        return Error{ErrorCode::WriteFailed, "the PNG encoder could not be started"};
    w.bytes.reserve(1024);
    spng_ihdr ihdr{};
    ihdr.width = static_cast<std::uint32_t>(d.width);
    ihdr.height = static_cast<std::uint32_t>(d.height);
    ihdr.bit_depth = mode == Mode::Bilevel ? 1 : 8;
    ihdr.color_type = mode == Mode::Bilevel || mode == Mode::Grey ? SPNG_COLOR_TYPE_GRAYSCALE
                      : mode == Mode::Rgb                        ? SPNG_COLOR_TYPE_TRUECOLOR
                                                                 : SPNG_COLOR_TYPE_TRUECOLOR_ALPHA;
    int err = spng_set_png_stream(ctx.get(), appendToBytes, &w.bytes);
    if (err == 0)
        err = spng_set_ihdr(ctx.get(), &ihdr);
    const double dpi = resolutionOf(d, options);
    spng_phys phys{};
    phys.ppu_x = phys.ppu_y = static_cast<std::uint32_t>(std::lround(std::min(dpi / 0.0254, 2e9)));
    phys.unit_specifier = 1;  // metres
    if (err == 0)
        err = spng_set_phys(ctx.get(), &phys);
    if (err == 0)
        err = spng_set_option(ctx.get(), SPNG_IMG_COMPRESSION_LEVEL, COMPRESSION_LEVEL);
    const std::size_t channels = mode == Mode::Rgba ? 4 : mode == Mode::Rgb ? 3 : 1;
    const std::size_t rowBytes = mode == Mode::Bilevel ? (static_cast<std::size_t>(d.width) + 7) / 8
                                                       : static_cast<std::size_t>(d.width) * channels;
    // No filter: repeated rows are found by zlib as they are, and spng's filters
    // cost more than they save on pictures of two colours.
    if (err == 0)
        err = spng_set_option(ctx.get(), SPNG_FILTER_CHOICE, SPNG_FILTER_CHOICE_NONE);
    if (err == 0)
        err = spng_encode_image(ctx.get(), nullptr, 0, SPNG_FMT_PNG, SPNG_ENCODE_PROGRESSIVE | SPNG_ENCODE_FINALIZE);
    if (err != 0)
        return failed(err);

    std::vector<std::uint8_t> row(rowBytes);
    Scanlines lines(d, std::move(text.glyphs), false);
    for (int y = 0; y < d.height; ++y) {
        const std::uint8_t* cover = lines.next();
        if (lines.redrawn()) {
            if (mode == Mode::Bilevel) {
                // Grey level 1 (white) where the coverage is under half, eight pixels a byte.
                const std::size_t whole = static_cast<std::size_t>(d.width) / 8;
                for (std::size_t i = 0; i < whole; ++i) {
                    // The top bits of the eight coverage bytes, under 128 = white, gathered
                    // into one byte with the first pixel in the high bit.
                    std::uint64_t v;
                    std::memcpy(&v, cover + 8 * i, 8);
                    const std::uint64_t white = (~v & 0x8080808080808080ULL) >> 7;
                    std::uint64_t packed = (white * 0x8040201008040201ULL) >> 56;
                    if (!LITTLE_ENDIAN_HOST)
                        packed = reverseBits(static_cast<std::uint8_t>(packed));
                    row[i] = static_cast<std::uint8_t>(packed);
                }
                if (whole < rowBytes) {
                    unsigned bits = 0;
                    for (int x = static_cast<int>(8 * whole); x < static_cast<int>(8 * rowBytes); ++x)
                        bits = bits << 1 | (x < d.width && cover[x] < 128);
                    row[whole] = static_cast<std::uint8_t>(bits);
                }
            } else {
                std::uint8_t* out = row.data();
                for (int x = 0; x < d.width; ++x) {
                    const auto& px = lookup[cover[x]];
                    if (mode == Mode::Grey) {
                        *out++ = px[0];
                    } else {
                        for (std::size_t k = 0; k < channels; ++k)
                            *out++ = px[k];
                    }
                }
            }
        }
        err = spng_encode_row(ctx.get(), row.data(), row.size());
        if (err != 0 && err != SPNG_EOI)
            return failed(err);
    }
    if (err != SPNG_EOI)
        return failed(err);
    return w;
}

}  // namespace korvane::writers
