// Fuzzes the readers behind verify(): arbitrary pictures, read as each
// symbology. They must never crash or hang, and whatever they accept must
// pass its checks: read data is made into a symbol again by the library,
// whose check characters must be the ones read, and which the readers must
// read back as the same data.
//
// Input: symbology, flags (bit 0: optional check characters, bit 1: two MSI
// check digits), width (two bytes, low first), pixels per bit (1-4), then the picture
// one bit per pixel (1 dark), row by row. The seeds are symbols the library
// made, packed so.

#include "FuzzInput.h"

#include <korvane/korvane.hpp>

#include "verify/Readers.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int MAX_SIDE = 640;

[[noreturn]] void fail(const char* what, korvane::Symbology s, const std::string& detail) {
    std::fprintf(stderr, "%s: symbology %d: %s\n", what, static_cast<int>(s), detail.c_str());
    std::abort();
}

std::string shown(const std::string& s) {
    std::string out;
    char buf[8];
    for (unsigned char c : s) {
        std::snprintf(buf, sizeof buf, c >= 32 && c < 127 ? "%c" : "\\x%02X", c);
        out += buf;
    }
    return out;
}

// The data as encode() takes it back: an add-on after '+'.
std::string asInput(const korvane::detail::Reading& r) { return r.addOn.empty() ? r.data : r.data + "+" + r.addOn; }

// Code 93's shift characters as check characters: the reader names them
// ($), (%), (/), (+); the library's facts show '_'.
std::string plainChecks(const std::string& checks) {
    std::string out;
    for (std::size_t i = 0; i < checks.size(); ++i) {
        out += checks[i] == '(' && i + 2 < checks.size() ? '_' : checks[i];
        if (checks[i] == '(' && i + 2 < checks.size())
            i += 2;
    }
    return out;
}

void checkLinear(korvane::Symbology s, const korvane::detail::LinearReadOptions& o,
                 const korvane::detail::Reading& r) {
    using korvane::Symbology;
    const korvane::CheckRule rule = korvane::symbologyInfo(s).check;
    const bool optional = rule == korvane::CheckRule::Optional || rule == korvane::CheckRule::OptionalOn;
    // MSI does not say which scheme its check digits follow: any with as many digits will do.
    const int schemes = s == Symbology::Msi && o.check ? 4 : 1;
    bool matched = false;
    for (int scheme = 0; scheme < schemes && !matched; ++scheme) {
        korvane::EncodeOptions e;
        if (optional)
            e.check = o.check;
        e.msiCheck = static_cast<korvane::MsiCheck>(scheme);
        const korvane::Result<korvane::Symbol> again = korvane::encode(s, asInput(r), e);
        if (!again)
            return;  // read, but nothing the library makes (FNC4 bytes, unknown GS1 AIs, ...)
        if (again->facts.data != r.data || again->facts.addOn != r.addOn)
            fail("read data does not encode to itself", s, shown(r.data) + " / " + shown(again->facts.data));
        // Codabar's check character depends on start and stop characters, which are not reported.
        if (s != Symbology::Codabar && again->facts.checkCharacters != plainChecks(r.checkCharacters)) {
            if (s == Symbology::Msi)
                continue;
            fail("check characters read are not the data's", s,
                 shown(r.data) + ": read " + shown(r.checkCharacters) + ", made " + again->facts.checkCharacters);
        }
        matched = true;
        const korvane::Verdict v = korvane::verify(*korvane::layout(*again), *again);
        if (!v.ok)
            fail("the symbol made from read data does not verify", s, shown(r.data) + ": " + v.reason);
    }
    if (!matched)
        fail("MSI check digits match no scheme", s, shown(r.data) + " " + r.checkCharacters);
}

void checkAztec(const korvane::detail::Reading& r) {
    korvane::EncodeOptions e;
    e.structuredAppend = {r.structuredIndex, r.structuredCount, r.structuredId};
    const korvane::Result<korvane::Symbol> again = korvane::encode(korvane::Symbology::Aztec, r.data, e);
    if (!again)
        return;  // the empty message, say
    const korvane::Verdict v = korvane::verify(*korvane::layout(*again), *again);
    if (!v.ok || v.read != r.data)
        fail("read Aztec data does not come back", korvane::Symbology::Aztec, shown(r.data) + ": " + v.reason);
}

// QR Code data read back made into a symbol again reads as the same data
// (GS1 data and application indicators are left out: the plain value is what
// comes back).
void checkQr(const korvane::detail::Reading& r) {
    if (r.gs1 || r.data.empty())
        return;
    korvane::EncodeOptions e;
    if (r.structuredCount > 0)
        e.structuredAppend = {r.structuredIndex, r.structuredCount, std::to_string(r.structuredParity)};
    const korvane::Result<korvane::Symbol> again = korvane::encode(korvane::Symbology::Qr, r.data, e);
    if (!again)
        return;  // a set of more than 16, say
    const korvane::Verdict v = korvane::verify(*korvane::layout(*again), *again);
    if (!v.ok || v.read != r.data)
        fail("read QR Code data does not come back", korvane::Symbology::Qr, shown(r.data) + ": " + v.reason);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const auto symbology = static_cast<korvane::Symbology>(in.range(0, korvane::SYMBOLOGY_COUNT - 1));
    const std::uint8_t flags = in.byte();
    const int low = in.byte();
    const int width = (low | in.byte() << 8) % (MAX_SIDE + 1);
    const int scale = in.range(1, 4);
    const std::string bits = in.rest();
    if (width == 0)
        return 0;
    const int height = std::min(MAX_SIDE, static_cast<int>(bits.size() * 8 / static_cast<std::size_t>(width)));
    if (height == 0 || static_cast<long long>(width) * scale * height * scale > 4 * MAX_SIDE * MAX_SIDE)
        return 0;

    korvane::GrayRaster raster;
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

    if (symbology == korvane::Symbology::Qr) {
        const korvane::detail::Reading r = korvane::detail::readQr(raster);
        if (r.ok)
            checkQr(r);
        return 0;
    }
    if (symbology == korvane::Symbology::Aztec) {
        const korvane::detail::Reading r = korvane::detail::readAztec(raster);
        if (r.ok)
            checkAztec(r);
        return 0;
    }
    korvane::detail::LinearReadOptions o;
    o.check = flags & 1;
    o.msiCheckDigits = flags & 2 ? 2 : 1;
    const korvane::detail::Reading r = korvane::detail::readLinear(raster, symbology, o);
    if (r.ok)
        checkLinear(symbology, o, r);
    return 0;
}
