// Fuzzes the Micro QR and rMQR encoders with arbitrary data, markers and
// options, and their readers with the symbols and with arbitrary pictures.
// Errors must be one line; every symbol must have the geometry of its version
// and read back by the library's reader as the data the encoder says a reader
// returns, with the version, level and mask it chose.
//
// Input: kind (bit 0: rMQR, bit 1: read the rest as a picture instead, bit 2:
// UPNQR's QR Code, version 15 at level M in byte mode, read as QR Code), level,
// version, mask, flags (bit 0 no boost, bit 1 no Kanji, bit 2 GS1), markers
// (count % 3, then per marker: kind bit, position byte, ECI as four bytes),
// then the data.

#include "FuzzInput.h"

#include "qr/Qr.h"
#include "qr/SmallQrTables.h"
#include "verify/Readers.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

namespace q = korvane::qr;

[[noreturn]] void fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
    std::abort();
}

korvane::GrayRaster picture(const q::QrSymbol& s) {
    constexpr int SCALE = 3, QUIET = 2;
    korvane::GrayRaster r;
    r.width = (s.columns + 2 * QUIET) * SCALE;
    r.height = (s.size + 2 * QUIET) * SCALE;
    r.pixels.assign(static_cast<std::size_t>(r.width) * static_cast<std::size_t>(r.height), 255);
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x) {
            const int row = y / SCALE - QUIET, col = x / SCALE - QUIET;
            if (row >= 0 && col >= 0 && row < s.size && col < s.columns &&
                s.modules[static_cast<std::size_t>(row * s.columns + col)])
                r.pixels[static_cast<std::size_t>(y * r.width + x)] = 0;
        }
    return r;
}

// Arbitrary bytes as a picture, 8 pixels a byte, up to 64 across.
void readArbitrary(FuzzInput& in) {
    const int width = in.range(1, 64) * 8;
    const std::string bytes = in.restOftenLong();
    korvane::GrayRaster r;
    r.width = width;
    r.height = static_cast<int>(bytes.size() * 8 / static_cast<std::size_t>(width));
    for (int i = 0; i < r.width * r.height; ++i)
        r.pixels.push_back(static_cast<unsigned char>(bytes[static_cast<std::size_t>(i / 8)]) >> (i % 8) & 1 ? 0 : 255);
    (void)korvane::detail::readMicroQr(r);
    (void)korvane::detail::readRmqr(r);
}

// UPNQR's symbol: bytes under ECI 4, every one in byte mode, at version 15 M.
int fuzzUpnQr(FuzzInput& in) {
    korvane::Message m;
    m.bytes = in.restOftenLong();
    if (m.bytes.size() > 420)
        m.bytes.resize(420);
    m.markers.push_back({korvane::MarkerKind::Eci, 0, 4});
    q::QrOptions o;
    o.version = 15;
    o.boost = false;
    o.kanji = false;
    o.bytesOnly = true;
    const korvane::Result<q::QrSymbol> made = q::encode(m, o);
    if (!made)
        return 0;
    const q::QrSymbol& s = *made;
    for (const q::Segment& g : s.segments)
        if (g.mode != q::Mode::Byte)
            fail("a UPNQR segment is not in byte mode", std::to_string(static_cast<int>(g.mode)));
    const korvane::detail::Reading r = korvane::detail::readQr(picture(s));
    if (!r.ok || r.data != m.bytes || r.qrVersion != 15 || r.qrLevel != 'M')
        fail("the UPNQR symbol reads back otherwise", r.failure);
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const std::uint8_t kind = in.byte();
    if (kind & 2) {
        readArbitrary(in);
        return 0;
    }
    if (kind & 4)
        return fuzzUpnQr(in);
    const bool rect = kind & 1;
    q::QrOptions o;
    o.kind = rect ? q::Kind::Rect : q::Kind::Micro;
    o.level = static_cast<q::Level>(in.range(0, 3));
    o.version = in.range(0, rect ? 32 : 4);
    o.mask = rect ? -1 : in.range(-1, 3);
    const std::uint8_t flags = in.byte();
    o.boost = !(flags & 1);
    o.kanji = !(flags & 2);
    korvane::Message m;
    m.gs1 = flags & 4;
    std::vector<korvane::Marker> markers(static_cast<std::size_t>(in.range(0, 2)));
    for (korvane::Marker& k : markers) {
        k.kind = in.flag() ? korvane::MarkerKind::Eci : korvane::MarkerKind::Fnc1;
        k.position = in.byte();
        k.eci = static_cast<int>(static_cast<std::uint32_t>(in.int32()) % 1000000);
    }
    m.bytes = in.restOftenLong();
    if (m.bytes.size() > 400)
        m.bytes.resize(400);
    for (korvane::Marker& k : markers)
        k.position %= m.bytes.size() + 1;
    std::stable_sort(markers.begin(), markers.end(),
                     [](const korvane::Marker& a, const korvane::Marker& b) { return a.position < b.position; });
    m.markers = markers;

    const korvane::Result<q::QrSymbol> made = q::encode(m, o);
    if (!made) {
        const std::string& why = made.error().message;
        if (why.empty() || why.find('\n') != std::string::npos)
            fail("the error is not one line", why);
        return 0;
    }
    const q::QrSymbol& s = *made;
    const int versions = rect ? q::detail::RMQR_SIZES : q::detail::MICRO_VERSIONS;
    const bool shape = rect ? s.size == q::detail::RECT[s.version - 1].height &&
                                  s.columns == q::detail::RECT[s.version - 1].width
                            : s.size == s.columns && s.size == 9 + 2 * s.version;
    if (s.version < 1 || s.version > versions || (o.version != 0 && s.version != o.version) || !shape ||
        s.modules.size() != static_cast<std::size_t>(s.size * s.columns) || (o.mask >= 0 && s.mask != o.mask) ||
        static_cast<int>(s.level) < static_cast<int>(o.level))
        fail("the symbol breaks its own geometry", s.versionName);
    const korvane::detail::Reading r =
        rect ? korvane::detail::readRmqr(picture(s)) : korvane::detail::readMicroQr(picture(s));
    if (!r.ok)
        fail("our reader cannot read the symbol", r.failure);
    if (r.data != s.readerData || r.qrVersion != s.version || r.qrMask != s.mask ||
        r.qrLevel != q::levelName(s.level)[0] || r.correctedCodewords != 0)
        fail("the symbol reads back otherwise", r.data + " / " + s.readerData);
    return 0;
}
