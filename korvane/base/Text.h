#pragma once
// How a message shows a piece of data, a byte or a number: the one place the
// library's error messages take these from.

#include "korvane/Export.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace korvane {
// Declared for the front ends in korvane/Values.h.
KORVANE_API std::string quotedValue(std::string_view text);
}  // namespace korvane

namespace korvane::detail {

// 12345 as "12,345".
std::string thousands(long long n);

// 'x' for printable ASCII, otherwise "byte 0x1F".
std::string describeByte(unsigned char c);

// Data quoted for a one-line message: printable ASCII as it is, other bytes
// as \xNN, cut after `max` characters with "...".
std::string quoted(std::string_view data, std::size_t max = 40);

// An option's value as a message shows it (korvane::quotedValue, Values.h).
using korvane::quotedValue;

// `text` with ASCII letters in lower case.
std::string lowerCase(std::string_view text);

}  // namespace korvane::detail
