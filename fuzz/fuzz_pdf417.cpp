// Fuzzes the PDF417 encoder and reader. Encoder mode: arbitrary data and
// settings; every symbol made must read back (our reader) as the bytes, the
// reader-initialisation mark and the Macro PDF417 segment given, and any
// refusal must be an error value. Reader mode: arbitrary pictures, which the
// reader must survive.

#include "FuzzInput.h"
#include "pdf417/Pdf417.h"
#include "verify/Readers.h"

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char* what, const std::string& message, const std::string& got) {
    std::fprintf(stderr, "%s\nmessage (%zu):", what, message.size());
    for (unsigned char c : message)
        std::fprintf(stderr, " %02x", c);
    std::fprintf(stderr, "\nread (%zu):", got.size());
    for (unsigned char c : got)
        std::fprintf(stderr, " %02x", c);
    std::fprintf(stderr, "\n");
    std::abort();
}

korvane::GrayRaster rasterOf(const korvane::pdf417::Symbol& s, int rowHeight) {
    korvane::GrayRaster r;
    const int quiet = 2;
    r.width = s.width + 2 * quiet;
    r.height = s.rows * rowHeight + 2 * quiet;
    r.pixels.assign(static_cast<std::size_t>(r.width) * r.height, 255);
    for (int y = 0; y < s.rows * rowHeight; ++y)
        for (int x = 0; x < s.width; ++x)
            if (s.modules[static_cast<std::size_t>(y / rowHeight) * s.width + x])
                r.pixels[static_cast<std::size_t>(y + quiet) * r.width + x + quiet] = 0;
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Header: mode; encoder: level, columns, rows, compact, reader
    // initialisation, ECI (flag, then three bytes), macro (index, count, id
    // groups); then the message. Reader: width, height, then the pixels.
    FuzzInput in(data, size);
    if (in.byte() >= 224) {
        korvane::GrayRaster r;
        r.width = in.range(1, 255);
        r.height = in.range(1, 64);
        r.pixels.assign(static_cast<std::size_t>(r.width) * r.height, 255);
        for (std::uint8_t& p : r.pixels)
            p = in.remaining() > 0 ? in.byte() : 255;
        (void)korvane::detail::readPdf417(r);
        return 0;
    }
    korvane::pdf417::Options o;
    o.level = in.range(-1, 8);
    o.columns = in.range(0, 31);
    o.rows = in.range(0, 91);
    o.compact = in.flag();
    o.rowHeight = in.range(1, 4);
    korvane::Message m;
    m.readerInit = in.flag();
    if (in.flag()) {
        const int eci = static_cast<int>(in.byte()) | static_cast<int>(in.byte()) << 8 | (in.byte() & 0x0F) << 16;
        m.markers.push_back({korvane::MarkerKind::Eci, 0, eci});
    }
    const int macro = in.byte();
    if (macro >= 200) {
        m.structuredAppend.count = in.range(1, 40);
        m.structuredAppend.index = in.range(1, m.structuredAppend.count);
        m.structuredAppend.id = std::to_string(100 + in.range(0, 99)).substr(0, 3);
    }
    m.bytes = in.rest();
    const auto made = korvane::pdf417::encode(m, o);
    if (!made) {
        if (made.error().message.empty())
            fail("an error without a message", m.bytes, "");
        return 0;
    }
    const korvane::detail::Reading r = korvane::detail::readPdf417(rasterOf(*made, o.rowHeight));
    if (!r.ok)
        fail(("our reader failed: " + r.failure).c_str(), m.bytes, "");
    if (r.data != m.bytes)
        fail("read other bytes", m.bytes, r.data);
    if (r.readerInit != m.readerInit || r.structuredIndex != m.structuredAppend.index ||
        (m.structuredAppend.index > 0 && r.structuredCount != m.structuredAppend.count))
        fail("read other marks", m.bytes, r.data);
    return 0;
}
