#include "QrTestSupport.h"

#include <zbar.h>
#include <zint.h>

#include <memory>

namespace qrtest {

korvane::Message message(const std::string& bytes) {
    korvane::Message m;
    m.bytes = bytes;
    return m;
}

testsupport::GrayImage image(const korvane::qr::QrSymbol& symbol, int scale) {
    std::vector<bool> dark(symbol.modules.begin(), symbol.modules.end());
    return testsupport::renderMatrix(dark, symbol.size, symbol.size, scale, 4);
}

testsupport::Decoded zxing(const korvane::qr::QrSymbol& symbol) {
    return testsupport::decode(image(symbol, symbol.size > 150 ? 3 : 2), testsupport::Symbology::QRCode);
}

ZbarRead zbar(const korvane::qr::QrSymbol& symbol, bool binary) {
    const testsupport::GrayImage picture = image(symbol);
    std::unique_ptr<zbar::zbar_image_scanner_t, void (*)(zbar::zbar_image_scanner_t*)> scanner(
        zbar::zbar_image_scanner_create(), zbar::zbar_image_scanner_destroy);
    zbar::zbar_image_scanner_set_config(scanner.get(), zbar::ZBAR_NONE, zbar::ZBAR_CFG_ENABLE, 0);
    zbar::zbar_image_scanner_set_config(scanner.get(), zbar::ZBAR_QRCODE, zbar::ZBAR_CFG_ENABLE, 1);
    zbar::zbar_image_scanner_set_config(scanner.get(), zbar::ZBAR_QRCODE, zbar::ZBAR_CFG_BINARY, binary ? 1 : 0);
    std::unique_ptr<zbar::zbar_image_t, void (*)(zbar::zbar_image_t*)> img(zbar::zbar_image_create(),
                                                                          zbar::zbar_image_destroy);
    zbar::zbar_image_set_format(img.get(), zbar_fourcc('Y', '8', '0', '0'));
    zbar::zbar_image_set_size(img.get(), static_cast<unsigned>(picture.width), static_cast<unsigned>(picture.height));
    zbar::zbar_image_set_data(img.get(), picture.pixels.data(), picture.pixels.size(), nullptr);
    ZbarRead r;
    if (zbar::zbar_scan_image(scanner.get(), img.get()) <= 0)
        return r;
    const zbar::zbar_symbol_t* s = zbar::zbar_image_first_symbol(img.get());
    if (!s)
        return r;
    r.ok = true;
    r.data.assign(zbar::zbar_symbol_get_data(s), zbar::zbar_symbol_get_data_length(s));
    return r;
}

ZintSymbol zint(const std::string& data, int level, int version, int mask, bool utf8, bool gs1, int eci) {
    std::unique_ptr<zint_symbol, void (*)(zint_symbol*)> s(ZBarcode_Create(), ZBarcode_Delete);
    s->symbology = BARCODE_QRCODE;
    s->option_1 = level;
    s->option_2 = version;
    s->option_3 = mask >= 0 ? (mask + 1) << 8 : 0;
    s->input_mode = gs1 ? GS1_MODE : utf8 ? UNICODE_MODE : DATA_MODE;
    s->eci = eci;
    ZintSymbol z;
    const int rc = ZBarcode_Encode(s.get(), reinterpret_cast<const unsigned char*>(data.data()),
                                   static_cast<int>(data.size()));
    if (rc >= ZINT_ERROR) {
        z.error = s->errtxt;
        return z;
    }
    z.size = s->width;
    z.modules.resize(static_cast<std::size_t>(z.size) * static_cast<std::size_t>(z.size));
    for (int r = 0; r < z.size; ++r)
        for (int c = 0; c < z.size; ++c)
            z.modules[static_cast<std::size_t>(r * z.size + c)] = (s->encoded_data[r][c >> 3] >> (c & 7)) & 1;
    return z;
}

korvane::detail::Reading ours(const std::vector<std::uint8_t>& modules, int size, int scale, int turns) {
    // Quarter turns clockwise: (r, c) -> (c, size - 1 - r).
    std::vector<std::uint8_t> m = modules;
    for (int t = 0; t < turns; ++t) {
        std::vector<std::uint8_t> turned(m.size());
        for (int r = 0; r < size; ++r)
            for (int c = 0; c < size; ++c)
                turned[static_cast<std::size_t>(c * size + size - 1 - r)] = m[static_cast<std::size_t>(r * size + c)];
        m.swap(turned);
    }
    const testsupport::GrayImage picture =
        testsupport::renderMatrix(std::vector<bool>(m.begin(), m.end()), size, size, scale, 4);
    korvane::GrayRaster raster;
    raster.width = picture.width;
    raster.height = picture.height;
    raster.pixels = picture.pixels;
    return korvane::detail::readQr(raster);
}

int maskOf(const std::vector<std::uint8_t>& modules, int size) {
    // Format bits 14-10 after the XOR: row 8, columns 0-4 (bit 14 first).
    int bits = 0;
    for (int c = 0; c <= 4; ++c)
        bits = bits << 1 | modules[static_cast<std::size_t>(8 * size + c)];
    return (bits ^ 0b10101) & 7;
}

const char* kindName(Kind k) {
    constexpr const char* NAMES[] = {"numeric", "alphanumeric", "bytes", "Latin-1", "UTF-8", "Kanji", "GS1", "mixed"};
    return NAMES[static_cast<int>(k)];
}

namespace {

std::string utf8(std::uint32_t cp) {
    std::string s;
    if (cp < 0x80) {
        s += static_cast<char>(cp);
    } else if (cp < 0x800) {
        s += static_cast<char>(0xC0 | cp >> 6);
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        s += static_cast<char>(0xE0 | cp >> 12);
        s += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | cp >> 18);
        s += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
        s += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return s;
}

// Characters people write in Japanese text: kana, common kanji, punctuation.
constexpr std::uint32_t JAPANESE[] = {0x3042, 0x3044, 0x3046, 0x304B, 0x306E, 0x3093, 0x30A2, 0x30AB, 0x30F3, 0x30FC,
                                      0x65E5, 0x672C, 0x8A9E, 0x6F22, 0x5B57, 0x70B9, 0x8317, 0x6771, 0x4EAC, 0x99C5,
                                      0x3001, 0x3002, 0xFF01, 0x5927, 0x962A, 0x5E02, 0x753A, 0x756A, 0x5730, 0x9053};

}  // namespace

std::string randomValue(Kind k, std::mt19937& rng) {
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const int length = 1 + pick(k == Kind::Numeric ? 120 : 60);
    std::string s;
    switch (k) {
    case Kind::Numeric:
        for (int i = 0; i < length; ++i)
            s += static_cast<char>('0' + pick(10));
        break;
    case Kind::Alphanumeric:
        for (int i = 0; i < length; ++i)
            s += "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:"[pick(45)];
        break;
    case Kind::Bytes:
        for (int i = 0; i < length; ++i)
            s += static_cast<char>(pick(256));
        break;
    case Kind::Latin1:
        for (int i = 0; i < length; ++i)
            s += utf8(static_cast<std::uint32_t>(pick(3) == 0 ? 0xA0 + pick(96) : 0x20 + pick(95)));
        break;
    case Kind::Utf8:
        for (int i = 0; i < length; ++i) {
            const int r = pick(5);
            s += utf8(r == 0   ? 0x20 + pick(95)
                      : r == 1 ? 0x3B1 + pick(25)                       // Greek
                      : r == 2 ? 0x430 + pick(32)                       // Cyrillic
                      : r == 3 ? JAPANESE[pick(std::size(JAPANESE))]
                               : 0x1F600 + pick(64));                   // beyond the BMP
        }
        break;
    case Kind::Kanji:
        for (int i = 0; i < length; ++i)
            s += utf8(JAPANESE[pick(std::size(JAPANESE))]);
        break;
    case Kind::Gs1: {
        // A GTIN, then a lot number and a serial (variable length, GS between).
        s = "01";
        for (int i = 0; i < 13; ++i)
            s += static_cast<char>('0' + pick(10));
        int sum = 0;
        for (int i = 0; i < 13; ++i)
            sum += (s[2 + static_cast<std::size_t>(i)] - '0') * (i % 2 == 0 ? 1 : 3);
        s += static_cast<char>('0' + (10 - sum % 10) % 10);
        s += "10";
        for (int i = 0, n = 1 + pick(20); i < n; ++i)
            s += "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabc-%/"[pick(42)];
        s += '\x1D';
        s += "21";
        for (int i = 0, n = 1 + pick(20); i < n; ++i)
            s += "0123456789ABCDEFXYZ"[pick(19)];
        break;
    }
    case Kind::Mixed:
        while (static_cast<int>(s.size()) < length) {
            const int r = pick(4);
            const int n = 1 + pick(12);
            for (int i = 0; i < n; ++i)
                s += r == 0 ? std::string(1, static_cast<char>('0' + pick(10)))
                     : r == 1 ? std::string(1, "ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:"[pick(35)])
                     : r == 2 ? std::string(1, static_cast<char>(0x20 + pick(95)))
                              : utf8(JAPANESE[pick(std::size(JAPANESE))]);
        }
        break;
    }
    return s;
}

}  // namespace qrtest
