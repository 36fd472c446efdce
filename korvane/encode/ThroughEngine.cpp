// detail::encodeThroughEngine(): encode() of linear data through the adapters
// over the legacy engine (linear/), which tests and a fuzz target hold the
// library's own linear encoders to. Matrix symbologies go to encode().

#include "Adapters.h"

#include "korvane/Options.h"

namespace korvane {

namespace detail {

Result<Symbol> encodeThroughEngine(Symbology symbology, std::string_view data, const EncodeOptions& o) {
    // The engine's own tilde rules, so that parseMessage()'s are compared too.
    std::string resolved;
    EncodeOptions options = o;
    if (static_cast<int>(symbology) >= 0 && static_cast<int>(symbology) < SYMBOLOGY_COUNT &&
        !symbologyInfo(symbology).matrix && o.escapes && !data.empty()) {
        // The library's rule for data far past the limit comes before any
        // escape is read (parseMessage()), on this path as on encode()'s.
        if (data.size() / 8 > symbologyInfo(symbology).maxDataBytes) {
            if (const Status applies = checkOptionsApply(symbology, o); !applies)
                return applies.error();
            return checkDataLength(symbologyInfo(symbology), data.size()).error();
        }
        resolved = LinearSymbol().processTildes(std::string(data));
        if (resolved.empty()) {
            if (const Status applies = checkOptionsApply(symbology, o); !applies)
                return applies.error();
            return Error{ErrorCode::InvalidData, "the data is empty after its escapes"};
        }
        data = resolved;
        options.escapes = false;
    }
    const Result<Message> parsed = parseMessage(symbology, data, options);
    if (!parsed)
        return parsed.error();
    const Message& message = *parsed;
    if (const Status valid = checkMessage(symbologyInfo(symbology), message); !valid)
        return valid.error();
    const std::string& value = message.bytes;
    switch (symbology) {
    case Symbology::Code39:
    case Symbology::Code39Extended: return encodeCode39(symbology, value, o);
    case Symbology::Code93:
    case Symbology::Code93Extended: return encodeCode93(symbology, value, o);
    case Symbology::Code11: return encodeCode11(value, o);
    case Symbology::Codabar: return encodeCodabar(value, o);
    case Symbology::Msi: return encodeMsi(value, o);
    case Symbology::Interleaved2of5:
    case Symbology::Industrial2of5:
    case Symbology::Matrix2of5: return encodeTwoOfFive(symbology, value, o);
    case Symbology::Ean13:
    case Symbology::Ean8:
    case Symbology::UpcA:
    case Symbology::UpcE: return encodeEanUpc(symbology, value, o);
    case Symbology::Code128: return message.gs1 ? encodeGs1_128(value, o) : encodeCode128(value, o);
    case Symbology::Gs1_128: return encodeGs1_128(value, o);
    case Symbology::Postnet: return encodePostnet(value, o);
    default: return encode(symbology, message, o);
    }
}

}  // namespace detail

}  // namespace korvane
