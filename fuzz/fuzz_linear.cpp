// Fuzzes LinearSymbol: arbitrary value bytes under arbitrary settings, every
// symbology. Checks the invariants every build must keep.

#include "FuzzInput.h"
#include "LinearSymbol.h"

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char* what, const LinearSymbol& s) {
    std::fprintf(stderr, "%s: symbology %d, check %d, tilde %d, X %d, N %d, I %d, set %d, msi %d, supplement \"%s\" (%d/%d)\nvalue (%zu):",
                 what, s.symbology, s.checkCharacter, s.processTilde, s.narrowBarWidth, s.wideRatio, s.interCharGap,
                 s.code128Set, s.msiCheckMode, s.supplement.c_str(), s.supplement2, s.supplement5, s.code.size());
    for (unsigned char c : s.code)
        std::fprintf(stderr, " %02x", c);
    std::fprintf(stderr, "\n");
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Header: symbology, flags, X, N, I, bar height, margins, add-on gap, MSI
    // mode, Code 128 set, UPC-E system, Codabar start and stop, add-on length.
    FuzzInput in(data, size);
    LinearSymbol s;
    s.symbology = in.range(-1, LinearSymbol::SYMBOLOGY_COUNT);
    const std::uint8_t flags = in.byte();
    s.checkCharacter = flags & 1;
    s.processTilde = flags & 2;
    s.guardBars = flags & 4;
    s.supplement2 = flags & 8;
    s.supplement5 = flags & 16;
    s.narrowBarWidth = in.range(-2, 6);
    s.wideRatio = in.range(-1, 4);
    s.interCharGap = in.range(-1, 4);
    // The ends of the range stand for the largest heights barlane accepts.
    const int height = in.range(-100, 155);
    s.barHeight = height == 155 ? 2147483647.0 : height == -100 ? -2147483648.0 : height * 2;
    s.leftMargin = in.range(0, 50);
    s.topMargin = in.range(0, 50);
    s.supplementGap = in.range(0, 20);
    s.msiCheckMode = in.range(-1, 4);
    s.code128Set = static_cast<char>(in.byte());
    s.upceSystem = static_cast<char>(in.byte());
    s.codabarStartChar = static_cast<char>(in.byte());
    s.codabarStopChar = static_cast<char>(in.byte());
    s.supplement = in.bytes(in.range(0, 8));
    s.code = in.rest();
    const std::string given = s.code;

    s.buildSymbol();

    if (s.barWidths.size() != static_cast<std::size_t>(s.barCount) ||
        s.barHeights.size() != static_cast<std::size_t>(s.barCount))
        std::abort();
    if (s.code != given)
        fail("value not restored after tilde processing", s);
    // A known symbology that draws nothing always says why.
    if (s.barCount == 0 && s.symbology >= 0 && s.symbology < LinearSymbol::SYMBOLOGY_COUNT &&
        s.failureReason.empty())
        fail("no bars and no reason", s);
    for (int w : s.barWidths)
        if (w < 0)
            fail("negative element width", s);
    return 0;
}
