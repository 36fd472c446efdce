#pragma once
// The high-level encoding of Aztec Code (ISO/IEC 24778): the shortest bit stream
// for a message over every sequence of latches, shifts, byte shifts, the
// two-character punctuation codes, FNC1 and ECI.

#include <BitString.h>

#include "korvane/Message.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvane::detail {

// The modes an encoder can be latched in; byte shift is a run, not a mode.
enum AztecMode : int { MODE_UPPER, MODE_LOWER, MODE_MIXED, MODE_PUNCT, MODE_DIGIT, MODE_COUNT };

// Code of byte `b` in `mode`'s character set, -1 when the set lacks it
// (ISO/IEC 24778 Table 2; the two-character punctuation codes are not bytes).
int aztecCode(AztecMode mode, int b);

// Punctuation code 2-5 of the pair CR LF, ". ", ", " or ": ", else -1.
int aztecPairCode(int first, int second);

struct AztecStream {
    int bits = 0;                  // bits appended
    AztecMode endMode = MODE_UPPER;  // the mode latched after the last character
};

// Appends the shortest stream for `text` to `bs`, the encoder starting latched
// in upper mode. `markers` is empty or holds one entry per byte of `text`, as
// Aztec::applyTilde fills them: -1 for a byte, 0 for FNC1, n > 0 for the ECI
// designator n (0-999999); the byte at a marked position is a placeholder and
// is not encoded. Runs in time linear in the length of `text`.
AztecStream appendShortestStream(std::string_view text, const std::vector<int>& markers, BitString& bs);

// A message as `text` and `markers` in the form above: a placeholder byte for
// each FNC1 and ECI designator; GS1 data starts with FNC1, and FNC1 stands in
// for each GS that ends a field. `markers` is left empty when nothing is marked.
void aztecInput(const Message& message, std::string& text, std::vector<int>& markers);

// The data as a reader returns it from `text` and its `markers` (as above):
// FNC1 as GS except in first position (where it marks GS1 data), ECI
// designators left out.
std::string readerData(const std::string& text, const std::vector<int>& markers);

}  // namespace korvane::detail
