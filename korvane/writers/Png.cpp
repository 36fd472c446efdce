// PNG through libpng and zlib, made row by row: 1-bit grey for black on
// white, 8-bit grey where both colours are opaque greys, RGB for other opaque
// colours, RGBA when either colour is translucent. pHYs holds the resolution.

#include "writers/Scanlines.h"

#include "korvane/Layout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <csetjmp>

#include <png.h>
#include <zlib.h>

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

// libpng reports errors by jumping back to the setjmp of the function that
// called it, so that function holds no object with a destructor: the rows
// come from a RowSource the caller owns.
class RowSource {
public:
    virtual ~RowSource() = default;
    virtual const std::uint8_t* row() = 0;
};

struct PngStream {
    std::vector<std::uint8_t>* bytes;
    bool full = false;  // the vector could not grow
};

void appendToBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* stream = static_cast<PngStream*>(png_get_io_ptr(png));
    bool grown = true;
    try {
        stream->bytes->insert(stream->bytes->end(), data, data + length);
    } catch (...) {
        grown = false;
    }
    if (!grown) {
        stream->full = true;
        png_error(png, "out of memory");
    }
}

void noFlush(png_structp) {}

// zlib's state for one PNG is a few blocks of up to 64 KB. Given back to the
// system when a PNG is done, their pages fault in again for the next one, and
// that costs several times the compression itself; so each thread keeps the
// blocks of its last PNG for the next. Every block carries its size in front,
// since libpng and zlib free without saying how much.
class BlockCache {
public:
    BlockCache() = default;
    BlockCache(const BlockCache&) = delete;
    BlockCache& operator=(const BlockCache&) = delete;
    ~BlockCache() {
        for (Header* b : kept_)
            std::free(b);
    }

    void* take(std::size_t size) {
        for (Header*& b : kept_)
            if (b != nullptr && b->size == size) {
                Header* found = b;
                b = nullptr;
                keptBytes_ -= size;
                return found + 1;
            }
        if (size > SIZE_MAX - sizeof(Header))
            return nullptr;
        auto* b = static_cast<Header*>(std::malloc(sizeof(Header) + size));
        if (b == nullptr)
            return nullptr;
        b->size = size;
        return b + 1;
    }

    void give(void* p) {
        if (p == nullptr)
            return;
        Header* b = static_cast<Header*>(p) - 1;
        if (b->size >= MIN_KEPT && keptBytes_ + b->size <= MAX_KEPT_BYTES)
            for (Header*& slot : kept_)
                if (slot == nullptr) {
                    slot = b;
                    keptBytes_ += b->size;
                    return;
                }
        std::free(b);
    }

private:
    struct alignas(std::max_align_t) Header {
        std::size_t size;
    };
    static constexpr std::size_t MIN_KEPT = 4096;
    static constexpr std::size_t MAX_KEPT_BYTES = std::size_t{1} << 20;
    std::array<Header*, 8> kept_{};
    std::size_t keptBytes_ = 0;
};

thread_local BlockCache blockCache;

png_voidp takeBlock(png_structp, png_alloc_size_t size) { return blockCache.take(size); }
void giveBlock(png_structp, png_voidp p) { blockCache.give(p); }
voidpf takeZlibBlock(voidpf, uInt items, uInt size) {
    return size != 0 && items > SIZE_MAX / size ? nullptr : blockCache.take(std::size_t{items} * size);
}
void giveZlibBlock(voidpf, voidpf p) { blockCache.give(p); }

// The image data. libpng would deflate each row with a call of its own; the
// rows of a barcode are short and the calls cost more than the work they do.
// So the rows, each behind its filter byte (none), are gathered into blocks
// of INPUT_BLOCK bytes and deflated here; libpng writes each block of output
// as an IDAT chunk. Memory stays two blocks however large the picture is.
class IdatStream {
public:
    IdatStream() {
        z_.zalloc = takeZlibBlock;
        z_.zfree = giveZlibBlock;
        ready_ = deflateInit2(&z_, COMPRESSION_LEVEL, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    }
    ~IdatStream() {
        if (ready_)
            deflateEnd(&z_);
    }
    IdatStream(const IdatStream&) = delete;
    IdatStream& operator=(const IdatStream&) = delete;

    // Allocates the blocks; false when there is no memory for them.
    bool start() {
        if (!ready_)
            return false;
        try {
            in_.reserve(INPUT_BLOCK);
            out_.reset(new std::uint8_t[OUTPUT_BLOCK]);  // no need to clear it
        } catch (...) {
            return false;
        }
        return true;
    }

    // These run inside encodePng, which libpng's errors jump out of: they
    // hold nothing that needs destroying and only append within the capacity
    // reserved by start().
    void addRow(png_structp png, const std::uint8_t* row, std::size_t size) {
        if (in_.size() + 1 + size > INPUT_BLOCK)
            deflateInput(png, Z_NO_FLUSH);
        if (1 + size > INPUT_BLOCK) {  // a row longer than a block goes alone
            const std::uint8_t none = 0;
            deflateBytes(png, &none, 1, Z_NO_FLUSH);
            deflateBytes(png, row, size, Z_NO_FLUSH);
            return;
        }
        in_.push_back(0);
        in_.insert(in_.end(), row, row + size);
    }

    void finish(png_structp png) { deflateInput(png, Z_FINISH); }

private:
    static constexpr std::size_t INPUT_BLOCK = 32 * 1024;
    static constexpr std::size_t OUTPUT_BLOCK = 16 * 1024;

    void deflateInput(png_structp png, int flush) {
        deflateBytes(png, in_.data(), in_.size(), flush);
        in_.clear();
    }

    // Deflates `size` bytes, writing every full output block (and, at the
    // end, the rest) as an IDAT chunk.
    void deflateBytes(png_structp png, const std::uint8_t* bytes, std::size_t size, int flush) {
        z_.next_in = const_cast<Bytef*>(bytes);
        while (true) {
            const auto now = static_cast<uInt>(std::min<std::size_t>(size, UINT32_MAX));
            z_.avail_in = now;
            size -= now;
            int status;
            do {
                z_.next_out = out_.get();
                z_.avail_out = static_cast<uInt>(OUTPUT_BLOCK);
                status = deflate(&z_, size == 0 ? flush : Z_NO_FLUSH);
                if (status == Z_STREAM_ERROR)
                    png_error(png, "deflate failed");
                const std::size_t made = OUTPUT_BLOCK - z_.avail_out;
                if (made > 0)
                    png_write_chunk(png, reinterpret_cast<png_const_bytep>("IDAT"), out_.get(), made);
            } while (z_.avail_out == 0 || (size == 0 && flush == Z_FINISH && status != Z_STREAM_END));
            if (size == 0)
                return;
        }
    }

    z_stream z_{};
    bool ready_ = false;
    std::vector<std::uint8_t> in_;
    std::unique_ptr<std::uint8_t[]> out_;
};

// Keeps libpng's messages off standard error; the caller reports the failure.
void quietError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void quietWarning(png_structp, png_const_charp) {}

struct PngHeader {
    std::uint32_t width, height;
    int bitDepth, colourType;
    std::uint32_t pixelsPerMetre;
};

// Writes the whole image; false when libpng or zlib failed. No filter:
// repeated rows are found by zlib as they are, and filters cost more than they
// save on pictures of two colours.
bool encodePng(png_structp png, png_infop info, const PngHeader& h, RowSource& rows, std::size_t rowBytes,
               IdatStream& idat) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, h.width, h.height, h.bitDepth, h.colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_pHYs(png, info, h.pixelsPerMetre, h.pixelsPerMetre, PNG_RESOLUTION_METER);
    png_write_info(png, info);
    for (std::uint32_t y = 0; y < h.height; ++y)
        idat.addRow(png, rows.row(), rowBytes);
    idat.finish(png);
    png_write_chunk(png, reinterpret_cast<png_const_bytep>("IEND"), nullptr, 0);
    return true;
}

// The PNG structures, released however the encoding ends.
class PngWriter {
public:
    PngWriter() {
        png_ = png_create_write_struct_2(PNG_LIBPNG_VER_STRING, nullptr, quietError, quietWarning, nullptr, takeBlock,
                                        giveBlock);
        if (png_ != nullptr)
            info_ = png_create_info_struct(png_);
    }
    ~PngWriter() { png_destroy_write_struct(&png_, info_ != nullptr ? &info_ : nullptr); }
    PngWriter(const PngWriter&) = delete;
    PngWriter& operator=(const PngWriter&) = delete;
    bool ready() const { return png_ != nullptr && info_ != nullptr; }
    png_structp png() const { return png_; }
    png_infop info() const { return info_; }

private:
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
};

// Pixel per coverage value, channels in PNG order.
using Lookup = std::array<std::array<std::uint8_t, 4>, 256>;

// The smallest PNG that holds the colours: one bit a pixel for black on
// white, grey or RGB for opaque colours, else RGBA.
Mode modeOf(Colour fg, Colour bg) {
    const auto grey = [](Colour c) { return c.r == c.g && c.g == c.b; };
    if (fg == BLACK && bg == WHITE)
        return Mode::Bilevel;
    if (fg.opaque() && bg.opaque())
        return grey(fg) && grey(bg) ? Mode::Grey : Mode::Rgb;
    return Mode::Rgba;
}

Lookup lookupOf(Mode mode, Colour fg, Colour bg) {
    Lookup lookup{};
    if (mode != Mode::Bilevel)
        for (int c = 0; c < 256; ++c) {
            Colour ink = fg;
            ink.a = static_cast<std::uint8_t>((fg.a * c + 127) / 255);
            const Colour px = bg.transparent() ? ink : over(ink, bg);
            lookup[static_cast<std::size_t>(c)] = {px.r, px.g, px.b, px.a};
        }
    return lookup;
}

PngHeader headerOf(const Drawing& d, Mode mode, double dpi) {
    PngHeader header;
    header.width = static_cast<std::uint32_t>(d.width);
    header.height = static_cast<std::uint32_t>(d.height);
    header.bitDepth = mode == Mode::Bilevel ? 1 : 8;
    header.colourType = mode == Mode::Bilevel || mode == Mode::Grey ? PNG_COLOR_TYPE_GRAY
                        : mode == Mode::Rgb                        ? PNG_COLOR_TYPE_RGB
                                                                   : PNG_COLOR_TYPE_RGBA;
    header.pixelsPerMetre = static_cast<std::uint32_t>(std::lround(std::min(dpi / 0.0254, 2e9)));
    return header;
}

// The rows of the image, each made from the scanlines' coverage as it is asked for.
class PngRows : public RowSource {
public:
    PngRows(const Drawing& d, RasterText& text, Mode mode, std::size_t rowBytes, std::size_t channels,
         const Lookup& lookup)
        : lines_(d, std::move(text.glyphs), false), width_(d.width), mode_(mode), channels_(channels),
          lookup_(lookup), row_(rowBytes) {}

    const std::uint8_t* row() override {
        const std::uint8_t* cover = lines_.next();
        if (lines_.redrawn())
            fill(cover);
        return row_.data();
    }

private:
    void fill(const std::uint8_t* cover) {
        if (mode_ == Mode::Bilevel) {
            // Grey level 1 (white) where the coverage is under half, eight pixels a byte.
            const std::size_t whole = static_cast<std::size_t>(width_) / 8;
            for (std::size_t i = 0; i < whole; ++i) {
                // The top bits of the eight coverage bytes, under 128 = white, gathered
                // into one byte with the first pixel in the high bit.
                std::uint64_t v;
                std::memcpy(&v, cover + 8 * i, 8);
                const std::uint64_t white = (~v & 0x8080808080808080ULL) >> 7;
                std::uint64_t packed = (white * 0x8040201008040201ULL) >> 56;
                if (!LITTLE_ENDIAN_HOST)
                    packed = reverseBits(static_cast<std::uint8_t>(packed));
                row_[i] = static_cast<std::uint8_t>(packed);
            }
            if (whole < row_.size()) {
                unsigned bits = 0;
                for (int x = static_cast<int>(8 * whole); x < static_cast<int>(8 * row_.size()); ++x)
                    bits = bits << 1 | (x < width_ && cover[x] < 128);
                row_[whole] = static_cast<std::uint8_t>(bits);
            }
            return;
        }
        std::uint8_t* out = row_.data();
        for (int x = 0; x < width_; ++x) {
            const auto& px = lookup_[cover[x]];
            for (std::size_t k = 0; k < channels_; ++k)
                *out++ = px[k];
        }
    }

    Scanlines lines_;
    int width_;
    Mode mode_;
    std::size_t channels_;
    const Lookup& lookup_;
    std::vector<std::uint8_t> row_;
};

}  // namespace

Result<Written> writePng(const Drawing& d, const WriteOptions& options) {
    if (static_cast<long long>(d.width) * d.height > MAX_CANVAS_DOTS)
        return Error{ErrorCode::SizeTooLarge, "a PNG of " + std::to_string(d.width) + " x " + std::to_string(d.height) +
                                                  " pixels is more than the 2^28 the library makes"};
    const Mode mode = modeOf(d.foreground, d.background);
    const Lookup lookup = lookupOf(mode, d.foreground, d.background);

    Written w;
    RasterText text = rasterizeText(d, options, "png");
    w.warnings = std::move(text.warnings);

    PngWriter writer;
    if (!writer.ready())
        return Error{ErrorCode::WriteFailed, "the PNG encoder could not be started"};
    w.bytes.reserve(1024);
    PngStream stream{&w.bytes};
    png_set_write_fn(writer.png(), &stream, appendToBytes, noFlush);
    const PngHeader header = headerOf(d, mode, resolutionOf(d, options));

    const std::size_t channels = mode == Mode::Rgba ? 4 : mode == Mode::Rgb ? 3 : 1;
    const std::size_t rowBytes = mode == Mode::Bilevel ? (static_cast<std::size_t>(d.width) + 7) / 8
                                                       : static_cast<std::size_t>(d.width) * channels;
    PngRows rows(d, text, mode, rowBytes, channels, lookup);

    IdatStream idat;
    if (!idat.start())
        return Error{ErrorCode::WriteFailed, "the PNG encoder could not be started"};
    if (!encodePng(writer.png(), writer.info(), header, rows, rowBytes, idat))
        return Error{ErrorCode::WriteFailed,
                     stream.full ? "the PNG does not fit in memory" : "the PNG encoder failed"};
    return w;
}

}  // namespace korvane::writers
