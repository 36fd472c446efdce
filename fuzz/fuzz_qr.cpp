// Fuzzes the QR Code encoder with arbitrary data, markers and options. Errors
// must be one line; every symbol it makes must have the geometry of its
// version and be read back by the library's reader as the data the encoder
// says a reader returns, with the version, level and mask it chose.
//
// Input: level, version (byte % 41), mask (byte % 9 - 1), flags (bit 0 no
// boost, bit 1 no Kanji, bit 2 GS1), markers (count % 4, then per marker:
// kind bit, position byte, ECI as four bytes), structured append (index,
// count, parity; index 0: none), then the data.

#include "FuzzInput.h"

#include "qr/Qr.h"
#include "verify/Readers.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

[[noreturn]] void fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
    std::abort();
}

korvane::GrayRaster picture(const korvane::qr::QrSymbol& s) {
    constexpr int SCALE = 2, QUIET = 4;
    korvane::GrayRaster r;
    r.width = r.height = (s.size + 2 * QUIET) * SCALE;
    r.pixels.assign(static_cast<std::size_t>(r.width) * static_cast<std::size_t>(r.height), 255);
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x) {
            const int row = y / SCALE - QUIET, col = x / SCALE - QUIET;
            if (row >= 0 && col >= 0 && row < s.size && col < s.size &&
                s.modules[static_cast<std::size_t>(row * s.size + col)])
                r.pixels[static_cast<std::size_t>(y * r.width + x)] = 0;
        }
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    korvane::qr::QrOptions o;
    o.level = static_cast<korvane::qr::Level>(in.range(0, 3));
    o.version = in.range(0, 40);
    o.mask = in.range(-1, 7);
    const std::uint8_t flags = in.byte();
    o.boost = !(flags & 1);
    o.kanji = !(flags & 2);
    korvane::Message m;
    m.gs1 = flags & 4;
    std::vector<korvane::Marker> markers(static_cast<std::size_t>(in.range(0, 3)));
    for (korvane::Marker& k : markers) {
        k.kind = in.flag() ? korvane::MarkerKind::Eci : korvane::MarkerKind::Fnc1;
        k.position = in.byte();
        k.eci = static_cast<int>(static_cast<std::uint32_t>(in.int32()) % 1000000);
    }
    m.structuredAppend.index = in.range(0, 16);
    m.structuredAppend.count = in.range(0, 16);
    const int parity = in.byte();
    if (m.structuredAppend.index > 0 && (parity & 1))
        m.structuredAppend.id = std::to_string(parity);
    m.bytes = in.restOftenLong();
    for (korvane::Marker& k : markers)
        k.position %= m.bytes.size() + 1;
    std::stable_sort(markers.begin(), markers.end(),
                     [](const korvane::Marker& a, const korvane::Marker& b) { return a.position < b.position; });
    m.markers = markers;

    const korvane::Result<korvane::qr::QrSymbol> made = korvane::qr::encode(m, o);
    if (!made) {
        const std::string& why = made.error().message;
        if (why.empty() || why.find('\n') != std::string::npos)
            fail("the error is not one line", why);
        return 0;
    }
    const korvane::qr::QrSymbol& s = *made;
    if (s.version < 1 || s.version > 40 || (o.version != 0 && s.version != o.version) || s.size != 17 + 4 * s.version ||
        s.modules.size() != static_cast<std::size_t>(s.size * s.size) || s.mask < 0 || s.mask > 7 ||
        (o.mask >= 0 && s.mask != o.mask) || static_cast<int>(s.level) < static_cast<int>(o.level))
        fail("the symbol breaks its own geometry", std::to_string(s.version) + " " + std::to_string(s.size));
    // FNC1 before the first byte makes GS1 data as well.
    bool gs1 = m.gs1;
    for (const korvane::Marker& k : m.markers)
        if (k.kind == korvane::MarkerKind::Fnc1) {
            gs1 = gs1 || k.position == 0;
            break;
        }
    const korvane::detail::Reading r = korvane::detail::readQr(picture(s));
    if (!r.ok)
        fail("our reader cannot read the symbol", r.failure);
    if (r.data != s.readerData || r.qrVersion != s.version || r.qrMask != s.mask ||
        r.qrLevel != korvane::qr::levelName(s.level)[0] || r.correctedCodewords != 0 || r.gs1 != gs1 ||
        r.structuredParity != s.parity)
        fail("the symbol reads back otherwise", r.data + " / " + s.readerData);
    return 0;
}
