#pragma once
// The checks and messages that the encoders and the engine adapters share
// (defined in Encode.cpp); nothing here knows an engine. How messages show
// data, bytes and numbers is in base/Text.h.

#include "../base/Text.h"
#include "korvane/Encode.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace korvane::detail {

// Refuses data of `bytes` bytes and `markers` FNC1 or ECI markers that no
// symbol of the symbology can hold (SymbologyInfo::maxDataBytes), naming the limit.
Status checkDataLength(const SymbologyInfo& info, std::size_t bytes, std::size_t markers = 0);

// What encode() refuses in a message whatever the symbology's encoder makes
// of it: data past the limit, markers and marks the symbology cannot carry.
Status checkMessage(const SymbologyInfo& info, const Message& message);

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

// Index of the first byte of `data` that is no digit, or npos. Eight bytes are
// tested at once: a byte is a digit when it and the byte 6 above it both have
// the high nibble 3. A carry out of one byte comes only from a byte of 0xFA or
// more, which fails itself, so a word that passes holds eight digits; a word
// that fails is searched byte by byte.
inline std::size_t firstNonDigit(std::string_view data) {
    constexpr std::uint64_t HIGH = 0xF0F0F0F0F0F0F0F0u, THREES = 0x3030303030303030u, SIXES = 0x0606060606060606u;
    std::size_t i = 0;
    for (; i + 8 <= data.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, data.data() + i, sizeof word);
        if ((word & HIGH) != THREES || ((word + SIXES) & HIGH) != THREES)
            break;
    }
    for (; i < data.size(); ++i)
        if (!isDigit(static_cast<unsigned char>(data[i])))
            return i;
    return std::string_view::npos;
}

// What the options ask of a linear symbology: the check character drawn or
// not, and the wide ratio (0 where it has no wide elements); an error where
// they contradict the symbology's rules.
struct LinearSettings {
    bool check = false;
    int wideRatio = 0;
};
Result<LinearSettings> linearSettings(Symbology s, const EncodeOptions& o);

}  // namespace korvane::detail
