#include "DataMatrixTestSupport.h"

#include <Render.h>

#include <dmtx.h>
#include <zint.h>

#include <cstdlib>
#include <cstring>
#include <utility>

namespace dmtest {

bool fullRun() {
    const char* all = std::getenv("DATAMATRIX_FULL");
    return all && std::strcmp(all, "1") == 0;
}

int sampleCount(int full) {
    if (fullRun())
        return full;
#ifdef DATAMATRIX_SANITIZE
    return std::max(1, full / 10);
#else
    return full;
#endif
}

testsupport::GrayImage render(const dm::Encoded& e, int scale, int quiet) {
    std::vector<bool> dark(e.modules.begin(), e.modules.end());
    return testsupport::renderMatrix(dark, e.size->rows, e.size->columns, scale, quiet);
}

testsupport::Decoded readZxing(const dm::Encoded& e) {
    return testsupport::decode(render(e), testsupport::Symbology::DataMatrix);
}

namespace {

DmtxRead readDmtxAt(const dm::Encoded& e, int scale, int quiet) {
    testsupport::GrayImage image = render(e, scale, quiet);
    DmtxRead r;
    DmtxImage* img = dmtxImageCreate(image.pixels.data(), image.width, image.height, DmtxPack8bppK);
    DmtxDecode* dec = dmtxDecodeCreate(img, 1);
    DmtxRegion* reg = dmtxRegionFindNext(dec, nullptr);
    if (reg) {
        DmtxMessage* msg = dmtxDecodeMatrixRegion(dec, reg, DmtxUndefined);
        if (msg) {
            r.ok = true;
            r.data.assign(reinterpret_cast<const char*>(msg->output), static_cast<std::size_t>(msg->outputIdx));
            dmtxMessageDestroy(&msg);
        }
        dmtxRegionDestroy(&reg);
    }
    dmtxDecodeDestroy(&dec);
    dmtxImageDestroy(&img);
    return r;
}

}  // namespace

DmtxRead readDmtx(const dm::Encoded& e) {
    // libdmtx's edge search misses or misfits the odd clean symbol at one
    // scale and reads it at another (one 12x36 symbol in 18,000 failed at 4
    // and 5 pixels a module, read at 2, 3, 6 and 8); a symbol counts as
    // unreadable when three pictures fail.
    for (const auto& [scale, quiet] : {std::pair{4, 4}, std::pair{5, 3}, std::pair{3, 2}}) {
        DmtxRead r = readDmtxAt(e, scale, quiet);
        if (r.ok && r.data == e.readerData)
            return r;
        if (scale == 3)
            return r;
    }
    return {};
}

int zintSizeOption(int rows, int columns) {
    const dm::SizeInfo* s = dm::findSize(rows, columns);
    // zint numbers the sizes in the order of ISO/IEC 16022 Table 7, then the
    // DMRE ones in the order of ISO/IEC 21471: the order of the library's table.
    return s ? static_cast<int>(s - dm::sizesBegin()) + 1 : 0;
}

ZintSymbol zintEncode(const std::string& data, int zintSize, bool gs1, bool rectangular, bool dmre) {
    zint_symbol* s = ZBarcode_Create();
    s->symbology = BARCODE_DATAMATRIX;
    s->input_mode = gs1 ? GS1_MODE : DATA_MODE;
    s->option_2 = zintSize;
    s->option_3 = dmre ? DM_DMRE : rectangular ? 0 : DM_SQUARE;
    ZintSymbol z;
    const int error = ZBarcode_Encode(s, reinterpret_cast<const unsigned char*>(data.data()),
                                      static_cast<int>(data.size()));
    if (error < ZINT_ERROR) {
        z.rows = s->rows;
        z.columns = s->width;
        for (int y = 0; y < z.rows; ++y)
            for (int x = 0; x < z.columns; ++x)
                z.modules.push_back(static_cast<std::uint8_t>((s->encoded_data[y][x >> 3] >> (x & 7)) & 1));
    }
    ZBarcode_Delete(s);
    return z;
}

const char* kindName(Kind k) {
    switch (k) {
    case Kind::Digits: return "digits";
    case Kind::Upper: return "upper-case text";
    case Kind::Lower: return "lower-case text";
    case Kind::X12: return "X12 characters";
    case Kind::Edifact: return "EDIFACT characters";
    case Kind::Bytes: return "bytes";
    case Kind::Utf8: return "UTF-8 text";
    case Kind::Gs1: return "GS1 element strings";
    case Kind::Mixed: return "mixed";
    }
    return "";
}

namespace {

char pick(std::string_view set, std::mt19937& rng) {
    return set[std::uniform_int_distribution<std::size_t>(0, set.size() - 1)(rng)];
}

std::string gs1Value(std::mt19937& rng, int maxLength) {
    // GTIN with its check digit, then variable-length batch and serial fields.
    std::string gtin;
    for (int i = 0; i < 13; ++i)
        gtin.push_back(pick("0123456789", rng));
    int sum = 0;
    for (int i = 0; i < 13; ++i)
        sum += (gtin[static_cast<std::size_t>(i)] - '0') * (i % 2 == 0 ? 3 : 1);
    gtin.push_back(static_cast<char>('0' + (10 - sum % 10) % 10));
    std::string s = "01" + gtin;
    const int fields = std::uniform_int_distribution<int>(0, 2)(rng);
    const char* ais[] = {"10", "21"};
    for (int f = 0; f < fields && static_cast<int>(s.size()) < maxLength; ++f) {
        s += ais[f];
        const int n = std::uniform_int_distribution<int>(1, 20)(rng);
        for (int i = 0; i < n; ++i)
            s.push_back(pick("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-./", rng));
        if (f + 1 < fields)
            s.push_back('\x1d');
    }
    return s;
}

}  // namespace

std::string randomValue(Kind k, std::mt19937& rng, int maxLength) {
    if (k == Kind::Gs1)
        return gs1Value(rng, maxLength);
    const int n = std::uniform_int_distribution<int>(1, maxLength)(rng);
    std::string s;
    for (int i = 0; i < n; ++i) {
        switch (k) {
        case Kind::Digits: s.push_back(pick("0123456789", rng)); break;
        case Kind::Upper: s.push_back(pick("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ", rng)); break;
        case Kind::Lower: s.push_back(pick("abcdefghijklmnopqrstuvwxyz0123456789 ", rng)); break;
        case Kind::X12: s.push_back(pick("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 *>\r", rng)); break;
        case Kind::Edifact: s.push_back(static_cast<char>(std::uniform_int_distribution<int>(32, 94)(rng))); break;
        case Kind::Bytes: s.push_back(static_cast<char>(std::uniform_int_distribution<int>(0, 255)(rng))); break;
        case Kind::Utf8: {
            const char* words[] = {"Grüße", "naïve", "Ελλάδα", "日本", "café ", "x", " ", "Москва"};
            s += words[std::uniform_int_distribution<int>(0, 7)(rng)];
            i += 3;
            break;
        }
        default: {
            const int group = std::uniform_int_distribution<int>(0, 5)(rng);
            if (group == 0)
                s.push_back(pick("0123456789", rng));
            else if (group == 1)
                s.push_back(pick("ABCDEFGHIJKLMNOPQRSTUVWXYZ", rng));
            else if (group == 2)
                s.push_back(pick("abcdefghijklmnopqrstuvwxyz", rng));
            else if (group == 3)
                s.push_back(pick(" !\"#$%&'()*+,-./:;<=>?@[\\]^_", rng));
            else if (group == 4)
                s.append(static_cast<std::size_t>(std::uniform_int_distribution<int>(1, 6)(rng)),
                         pick("0123456789", rng));
            else
                s.push_back(static_cast<char>(std::uniform_int_distribution<int>(0, 255)(rng)));
        }
        }
    }
    return s;
}

korvane::GrayRaster raster(const testsupport::GrayImage& image) {
    korvane::GrayRaster r;
    r.width = image.width;
    r.height = image.height;
    r.pixels = image.pixels;
    return r;
}

korvane::detail::Reading readOurs(const dm::Encoded& e) { return korvane::detail::readDataMatrix(raster(render(e))); }

korvane::Message plain(const std::string& bytes) {
    korvane::Message m;
    m.bytes = bytes;
    return m;
}

}  // namespace dmtest
