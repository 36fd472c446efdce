#pragma once
// The encode adapters: one per symbology family, each a thin layer over an
// engine that checks the data strictly first (the engines skip or substitute
// what they cannot encode; the library refuses it) and turns the engine's
// elements into a Symbol. The linear ones, over the legacy engine, are no
// longer encode()'s: korvane/linear/ draws those symbols, and these remain
// only for detail::encodeThroughEngine(), which tests and a fuzz target hold
// the new encoders to.

#include "Checks.h"

#include "korvane/Encode.h"

#include <LinearSymbol.h>

#include <string>
#include <string_view>

namespace korvane::detail {

Result<Symbol> encodeCode39(Symbology s, const std::string& data, const EncodeOptions& o);
Result<Symbol> encodeCode93(Symbology s, const std::string& data, const EncodeOptions& o);
Result<Symbol> encodeCode11(const std::string& data, const EncodeOptions& o);
Result<Symbol> encodeCodabar(const std::string& data, const EncodeOptions& o);
Result<Symbol> encodeMsi(const std::string& data, const EncodeOptions& o);
Result<Symbol> encodeTwoOfFive(Symbology s, const std::string& data, const EncodeOptions& o);
Result<Symbol> encodeEanUpc(Symbology s, const std::string& data, const EncodeOptions& o);
Result<Symbol> encodeCode128(const std::string& data, const EncodeOptions& o);
Result<Symbol> encodeGs1_128(const std::string& data, const EncodeOptions& o);
Result<Symbol> encodePostnet(const std::string& data, const EncodeOptions& o);
Result<Symbol> encodeDataMatrix(const Message& message, const EncodeOptions& o);
Result<Symbol> encodeAztec(const Message& message, const EncodeOptions& o);
Result<Symbol> encodeQr(const Message& message, const EncodeOptions& o);
Result<Symbol> encodePdf417(const Message& message, const EncodeOptions& o);
Result<Symbol> encodeMicroQr(const Message& message, const EncodeOptions& o);
Result<Symbol> encodeRmqr(const Message& message, const EncodeOptions& o);
Result<Symbol> encodeUpnQr(const Message& message, const EncodeOptions& o);

// Sets the engine up so that one drawing unit is one module: narrow elements
// and gaps of one module, wide ones of the ratio. Settings of one symbology
// (MSI check mode, Codabar start and stop, add-ons) are left as they are.
void setUpEngine(LinearSymbol& engine, int engineSymbology, const std::string& code, const LinearSettings& settings);

// Runs the engine and copies its elements into a new Symbol (every bar Data);
// the engine's refusal, if any, becomes an InvalidData error.
Result<Symbol> runEngine(LinearSymbol& engine, Symbology s, const LinearSettings& settings);
// The same for an engine whose elements are already built.
Result<Symbol> symbolFromEngine(const LinearSymbol& engine, Symbology s, const LinearSettings& settings);

}  // namespace korvane::detail
