// Fuzzes the reference decodes that grade() and verify() judge linear
// symbols by: arbitrary nominal and measured widths, for every symbology that
// has one. They must never crash or read past a table; a decodability is a
// share from 0 to 1; the nominal widths themselves, at any scale, decode with
// decodability 1; and a decode that fails says why.
//
// Input: symbology (an index into the list below), wide ratio (2 or 3), a
// scale byte, then per element its nominal width (1-4, or 1 and the ratio for
// two-width symbologies) and a measured deviation (signed, in 64ths of a module).

#include "FuzzInput.h"

#include "verify/ReferenceDecode.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using korvane::Symbology;

constexpr Symbology WITH_ONE[] = {
    Symbology::Code128, Symbology::Gs1_128,  Symbology::Code93,         Symbology::Code93Extended,
    Symbology::Ean13,   Symbology::UpcA,     Symbology::Ean8,           Symbology::UpcE,
    Symbology::Code39,  Symbology::Logmars,  Symbology::Codabar,        Symbology::Interleaved2of5,
};

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const Symbology s = WITH_ONE[in.byte() % std::size(WITH_ONE)];
    const int ratio = in.range(2, 3);
    const double scale = 0.25 + in.byte() / 16.0;
    const bool twoWidths = s == Symbology::Code39 || s == Symbology::Logmars || s == Symbology::Codabar ||
                           s == Symbology::Interleaved2of5;
    std::vector<int> nominal;
    std::vector<double> measured;
    while (in.remaining() >= 2 && nominal.size() < 400) {
        const std::uint8_t w = in.byte();
        nominal.push_back(twoWidths ? (w & 1 ? ratio : 1) : 1 + w % 4);
        measured.push_back(scale * (nominal.back() + static_cast<std::int8_t>(in.byte()) / 64.0));
    }
    const auto r = korvane::detail::referenceDecode(measured, nominal, s, ratio);
    if (r.applies && !(r.decodability >= 0 && r.decodability <= 1))
        fail("decodability out of 0-1");
    if (r.applies && !r.decoded && r.failure.empty())
        fail("a failed decode says nothing");
    std::vector<double> exact;
    for (int w : nominal)
        exact.push_back(scale * w);
    const auto ideal = korvane::detail::referenceDecode(exact, nominal, s, ratio);
    if (ideal.applies != r.applies)
        fail("whether a decode applies depends on the measurements");
    if (ideal.applies && (!ideal.decoded || std::fabs(ideal.decodability - 1) > 1e-9))
        fail("the nominal widths do not decode whole");
    return 0;
}
