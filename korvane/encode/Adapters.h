#pragma once
// The encode adapters: one per symbology family, each a thin layer over an
// engine that checks the data strictly first (the engines skip or substitute
// what they cannot encode; the library refuses it) and turns the engine's
// elements into a Symbol.

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

// --- shared by the adapters (Encode.cpp) ---

// 12345 as "12,345".
std::string thousands(long long n);

// Refuses data of `bytes` bytes and `markers` FNC1 or ECI markers that no
// symbol of the symbology can hold (SymbologyInfo::maxDataBytes), naming the limit.
Status checkDataLength(const SymbologyInfo& info, std::size_t bytes, std::size_t markers = 0);

// 'x' for printable ASCII, otherwise "byte 0x1F".
std::string describeByte(unsigned char c);

// Data quoted for a one-line message: printable ASCII as it is, other bytes
// as \xNN, cut after `max` characters with "...".
std::string quoted(std::string_view data, std::size_t max = 40);

// "Code 39 cannot encode 'a' at position 3 (it takes digits, ...)"; positions count from 1.
Error invalidCharacter(Symbology s, std::string_view data, std::size_t index);

// Index of the first byte of `data` that `accepts` refuses, or npos.
template <typename Pred>
std::size_t firstRefused(std::string_view data, Pred accepts) {
    for (std::size_t i = 0; i < data.size(); ++i)
        if (!accepts(static_cast<unsigned char>(data[i])))
            return i;
    return std::string_view::npos;
}

inline bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// What the options ask of a linear symbology: the check character drawn or
// not, and the wide ratio (0 where it has no wide elements); an error where
// they contradict the symbology's rules.
struct LinearSettings {
    bool check = false;
    int wideRatio = 0;
};
Result<LinearSettings> linearSettings(Symbology s, const EncodeOptions& o);

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
