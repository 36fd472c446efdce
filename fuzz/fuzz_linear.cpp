// Fuzzes LinearSymbol: arbitrary value bytes under arbitrary settings, every
// symbology. Checks the invariants every build must keep.

#include "LinearSymbol.h"

#include <fuzzer/FuzzedDataProvider.h>

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
    FuzzedDataProvider in(data, size);
    LinearSymbol s;
    s.symbology = in.ConsumeIntegralInRange<int>(-1, LinearSymbol::SYMBOLOGY_COUNT);
    s.checkCharacter = in.ConsumeBool();
    s.processTilde = in.ConsumeBool();
    s.guardBars = in.ConsumeBool();
    s.supplement2 = in.ConsumeBool();
    s.supplement5 = in.ConsumeBool();
    s.narrowBarWidth = in.ConsumeIntegralInRange<int>(-2, 6);
    s.wideRatio = in.ConsumeIntegralInRange<int>(-1, 4);
    s.interCharGap = in.ConsumeIntegralInRange<int>(-1, 4);
    s.barHeight = in.ConsumeIntegralInRange<int>(-100, 400);
    s.leftMargin = in.ConsumeIntegralInRange<int>(0, 50);
    s.topMargin = in.ConsumeIntegralInRange<int>(0, 50);
    s.supplementGap = in.ConsumeIntegralInRange<int>(0, 20);
    s.msiCheckMode = in.ConsumeIntegralInRange<int>(-1, 4);
    s.code128Set = in.ConsumeIntegral<char>();
    s.upceSystem = in.ConsumeIntegral<char>();
    s.codabarStartChar = in.ConsumeIntegral<char>();
    s.codabarStopChar = in.ConsumeIntegral<char>();
    s.supplement = in.ConsumeRandomLengthString(8);
    s.code = in.ConsumeRemainingBytesAsString();
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
