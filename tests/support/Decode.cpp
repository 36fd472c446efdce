#include "Decode.h"

#define ZX_USE_UTF8 1  // text() as UTF-8 std::string
#include <ZXing/ReadBarcode.h>

namespace testsupport {

namespace {

ZXing::BarcodeFormat formatOf(Symbology s) {
    using F = ZXing::BarcodeFormat;
    switch (s) {
    case Symbology::Code39:
    case Symbology::Code39Extended: return F::Code39;
    case Symbology::Code93: return F::Code93;
    case Symbology::Code128: return F::Code128;
    case Symbology::Codabar: return F::Codabar;
    case Symbology::ITF: return F::ITF;
    case Symbology::EAN8: return F::EAN8;
    case Symbology::EAN13: return F::EAN13;
    case Symbology::UPCA: return F::UPCA;
    case Symbology::UPCE: return F::UPCE;
    case Symbology::Aztec: return F::Aztec;
    case Symbology::QRCode: return F::QRCode;
    case Symbology::DataMatrix: return F::DataMatrix;
    case Symbology::Pdf417: return F::PDF417;
    case Symbology::MicroQRCode: return F::MicroQRCode;
    }
    return F::None;
}

}  // namespace

Decoded decode(const GrayImage& image, Symbology symbology) {
    ZXing::DecodeHints hints;
    hints.setFormats(formatOf(symbology));
    hints.setTryHarder(true);
    hints.setTryRotate(false);
    hints.setTryCode39ExtendedMode(symbology == Symbology::Code39Extended);
    hints.setReturnCodabarStartEnd(true);
    hints.setEanAddOnSymbol(ZXing::EanAddOnSymbol::Read);
    hints.setBinarizer(ZXing::Binarizer::FixedThreshold);
    ZXing::ImageView view(image.pixels.data(), image.width, image.height, ZXing::ImageFormat::Lum);
    ZXing::Result result = ZXing::ReadBarcode(view, hints);

    Decoded d;
    d.ok = result.isValid();
    if (!d.ok) {
        d.error = result.error() ? result.error().msg() : "no symbol found";
        return d;
    }
    d.text = result.text();
    d.bytes.assign(result.bytes().begin(), result.bytes().end());
    d.symbologyId = result.symbologyIdentifier();
    d.readerInit = result.readerInit();
    d.sequenceIndex = result.sequenceIndex();
    d.sequenceSize = result.sequenceSize();
    d.sequenceId = result.sequenceId();
    d.hasECI = result.hasECI();
    const ZXing::ByteArray eci = result.bytesECI();
    d.bytesECI.assign(eci.begin(), eci.end());
    d.gs1 = result.contentType() == ZXing::ContentType::GS1;
    return d;
}

std::string bytesToString(const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace testsupport
