#pragma once
// The library's own encoders of the linear symbologies. Each writes
// its element widths straight into the Symbol it returns; none keeps state.

#include "korvane/Encode.h"

#include <string>
#include <string_view>

namespace korvane::linear {

// Tilde escapes for the linear symbologies (parseMessage() with `escapes`):
// "~~" a tilde, "~" and any character then a number of three characters the
// byte of that value (0 adds nothing, above 255 is 255); a tilde with fewer
// than three characters after it is dropped.
std::string resolveEscapes(std::string_view text);

// One per family, named by the registry's rows. Each encodes `data` (already
// parsed: escapes resolved, GS1 element strings in their plain form with GS
// after variable-length fields) with the options encode() has checked
// against the symbology.
Result<Symbol> encodeCode39(Symbology s, std::string_view data, const EncodeOptions& o);
Result<Symbol> encodeCode93(Symbology s, std::string_view data, const EncodeOptions& o);
Result<Symbol> encodeCode11(std::string_view data, const EncodeOptions& o);
Result<Symbol> encodeCodabar(std::string_view data, const EncodeOptions& o);
Result<Symbol> encodeMsi(std::string_view data, const EncodeOptions& o);
Result<Symbol> encodeTwoOfFive(Symbology s, std::string_view data, const EncodeOptions& o);
Result<Symbol> encodeEanUpc(Symbology s, std::string_view data, const EncodeOptions& o);
Result<Symbol> encodeCode128(std::string_view data, const EncodeOptions& o);
Result<Symbol> encodeGs1_128(std::string_view data, const EncodeOptions& o);
Result<Symbol> encodePostnet(std::string_view data, const EncodeOptions& o);
// LOGMARS, VIN, PZN and Code 32: Code 39 characters made by their own rules.
Result<Symbol> encodeCode39Variant(Symbology s, std::string_view data, const EncodeOptions& o);
// IATA and Datalogic 2 of 5.
Result<Symbol> encodeTwoOfFiveVariant(Symbology s, std::string_view data, const EncodeOptions& o);
Result<Symbol> encodePharmacode(std::string_view data, const EncodeOptions& o);
Result<Symbol> encodePlessey(std::string_view data, const EncodeOptions& o);
Result<Symbol> encodeTelepen(Symbology s, std::string_view data, const EncodeOptions& o);
// The postal codes besides Postnet: IMb, PLANET, and RM4SCC or KIX.
Result<Symbol> encodeImb(std::string_view data, const EncodeOptions& o);
Result<Symbol> encodePlanet(std::string_view data, const EncodeOptions& o);
Result<Symbol> encodeRoyalMail(Symbology s, std::string_view data, const EncodeOptions& o);
// Australia Post's customer, reply paid, routing and redirection barcodes.
Result<Symbol> encodeAusPost(Symbology s, std::string_view data, const EncodeOptions& o);
// DAFT: the four states named one a bar.
Result<Symbol> encodeDaft(std::string_view data, const EncodeOptions& o);

}  // namespace korvane::linear

namespace korvane::detail {

// encode() of data through the adapters over the legacy engine (linear/), as
// the library drew every linear symbol before it had the encoders above. Kept
// only so that tests and the differential fuzz target can hold those encoders
// to the engine's bars; matrix symbologies go their usual way.
Result<Symbol> encodeThroughEngine(Symbology s, std::string_view data, const EncodeOptions& o);

}  // namespace korvane::detail
