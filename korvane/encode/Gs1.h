#pragma once
// GS1 element strings: application identifiers (AIs) and their fields.

#include "korvane/Result.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvane::detail {

struct Gs1Element {
    std::string ai;
    std::string value;
    bool predefinedLength = false;  // needs no FNC1 after it: GS1's list of fixed-length identifiers
};

// Reads "(01)09501101530003(10)AB-12" (or with square brackets), or the plain
// form "0109501101530003" "10AB-12" with GS (0x1D) ending variable-length
// fields. Checks every AI against the table, the field's characters and
// length, and the check digits of GTIN, SSCC and GLN fields.
Result<std::vector<Gs1Element>> parseGs1(std::string_view data);

// The GS1 modulo-10 check digit of `digits` (weights 3 and 1 from the right),
// shared by GTINs, SSCCs, GLNs and the EAN/UPC symbols.
char gs1CheckDigit(std::string_view digits);

// "(01)09501101530003(10)AB-12"
std::string gs1HumanText(const std::vector<Gs1Element>& elements);

// The AIs and fields as a reader returns them, with `separator` after every
// field that needs one except the last.
std::string gs1Data(const std::vector<Gs1Element>& elements, char separator);

}  // namespace korvane::detail
