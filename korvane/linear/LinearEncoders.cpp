// The dispatcher over the linear families.

#include "LinearEncoders.h"

namespace korvane::linear {

Result<Symbol> encode(Symbology s, std::string_view data, bool gs1, const EncodeOptions& o) {
    switch (s) {
    case Symbology::Code39:
    case Symbology::Code39Extended: return encodeCode39(s, data, o);
    case Symbology::Code93:
    case Symbology::Code93Extended: return encodeCode93(s, data, o);
    case Symbology::Code11: return encodeCode11(data, o);
    case Symbology::Codabar: return encodeCodabar(data, o);
    case Symbology::Msi: return encodeMsi(data, o);
    case Symbology::Interleaved2of5:
    case Symbology::Industrial2of5:
    case Symbology::Matrix2of5: return encodeTwoOfFive(s, data, o);
    case Symbology::Ean13:
    case Symbology::Ean8:
    case Symbology::UpcA:
    case Symbology::UpcE: return encodeEanUpc(s, data, o);
    case Symbology::Code128: return gs1 ? encodeGs1_128(data, o) : encodeCode128(data, o);
    case Symbology::Gs1_128: return encodeGs1_128(data, o);
    case Symbology::Postnet: return encodePostnet(data, o);
    default: break;
    }
    return Error{ErrorCode::UnknownSymbology, "not a linear symbology"};
}

}  // namespace korvane::linear
