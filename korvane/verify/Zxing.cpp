// The second opinion of zxing-cpp: the drawing rendered as a scanner sees it
// (its two colours' luminances, a light margin around it) and read by
// zxing-cpp for the symbologies it knows.

#include "SecondOpinion.h"

#include "korvane/Raster.h"

#include "../Descriptor.h"
#include "../encode/Gs1.h"

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

#include <optional>

namespace korvane::detail {
namespace {

// The format zxing-cpp knows the symbology by, if it reads it.
std::optional<ZXing::BarcodeFormat> formatOf(const ZxingRead& z) {
    if (z.format.empty())
        return std::nullopt;
    const ZXing::BarcodeFormat f = ZXing::BarcodeFormatFromString(std::string(z.format));
    if (f == ZXing::BarcodeFormat::None)
        return std::nullopt;
    return f;
}

bool endsWith(const std::string& s, const std::string& tail) {
    return !tail.empty() && s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

SecondOpinion readWithZxing(const Drawing& drawing, int scale, int darkLevel, int lightLevel, const Symbol& symbol) {
    SecondOpinion out;
    const ZxingRead& z = descriptor(symbol.symbology).zxing;
    const std::optional<ZXing::BarcodeFormat> format = formatOf(z);
    if (!format)
        return out;
    out.ran = true;
    const Result<GrayRaster> raster = rasterize(drawing, scale);
    if (!raster)
        return out;
    // A margin of eight modules: Aztec symbols come without a quiet zone.
    const int margin = static_cast<int>(8 * std::max(1.0, drawing.moduleDots) * scale);
    const int w = raster->width + 2 * margin, h = raster->height + 2 * margin;
    std::vector<std::uint8_t> image(static_cast<std::size_t>(w) * static_cast<std::size_t>(h),
                                    static_cast<std::uint8_t>(lightLevel));
    for (int y = 0; y < raster->height; ++y)
        for (int x = 0; x < raster->width; ++x)
            if (raster->at(x, y) < 128)
                image[static_cast<std::size_t>(y + margin) * static_cast<std::size_t>(w) +
                      static_cast<std::size_t>(x + margin)] = static_cast<std::uint8_t>(darkLevel);

    ZXing::DecodeHints hints;
    hints.setFormats(*format);
    hints.setTryHarder(true);
    hints.setTryRotate(true);
    hints.setTryCode39ExtendedMode(z.fullAscii);
    hints.setReturnCodabarStartEnd(false);
    hints.setEanAddOnSymbol(ZXing::EanAddOnSymbol::Read);
    const ZXing::ImageView view(image.data(), w, h, ZXing::ImageFormat::Lum);
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    if (!result.isValid())
        return out;
    out.read = true;
    const auto& bytes = result.bytes();
    out.data.assign(z.before);
    out.data.append(bytes.begin(), bytes.end());
    if (z.bracketedGs1)
        if (const Result<std::vector<Gs1Element>> e = parseGs1(out.data))
            out.data = gs1Data(*e, '\x1d');
    // Kanji segments come as Shift JIS bytes; their text is the UTF-8 of the data.
    for (const QrSegmentFact& g : symbol.facts.qr.segments)
        if (g.mode == "kanji") {
            out.data = result.text();
            break;
        }
    // zxing-cpp returns the optional check characters of Code 39, Codabar and
    // Interleaved 2 of 5 with the data, and an add-on after a space.
    if (!symbol.facts.addOn.empty()) {
        const std::size_t space = out.data.rfind(' ');
        if (space != std::string::npos) {
            out.addOn = out.data.substr(space + 1);
            out.data.resize(space);
        }
    }
    if (z.checkInData && endsWith(out.data, symbol.facts.checkCharacters) && symbol.facts.data.size() < out.data.size())
        out.data.resize(out.data.size() - symbol.facts.checkCharacters.size());
    return out;
}

}  // namespace korvane::detail
