// The library's linear encoders against the legacy engine they replace, on
// arbitrary data and options: both give the same symbol (widths, kinds, text,
// facts, warnings) or the same error, or the run stops with both described.

#include "FuzzInput.h"

#include "linear/LinearEncoders.h"

#include <cstdio>
#include <cstdlib>

namespace {

std::string describe(const korvane::Result<korvane::Symbol>& r) {
    if (!r)
        return "error " + std::to_string(static_cast<int>(r.error().code)) + ": " + r.error().message;
    const korvane::Symbol& s = *r;
    std::string out = std::to_string(static_cast<int>(s.symbology)) + " " + std::to_string(s.wideRatio) + " " +
                      std::to_string(s.widthModules) + " " + std::to_string(s.addOnStartModule) + "\n";
    for (std::size_t i = 0; i < s.widths.size(); ++i)
        out += std::to_string(s.widths[i]) + static_cast<char>('a' + static_cast<int>(s.kinds.at(i)));
    out += "\n" + s.text + "\n";
    for (const korvane::TextSpan& t : s.textSpans)
        out += t.text + " " + std::to_string(t.startModule) + " " + std::to_string(t.endModule) + " " +
               std::to_string(static_cast<int>(t.place)) + (t.small ? "s\n" : "\n");
    out += s.facts.data + "|" + s.facts.checkCharacters + "|" + (s.facts.checkSupplied ? "1|" : "0|") + s.facts.addOn;
    for (const std::string& w : s.warnings)
        out += "\n" + w;
    return out + "\n" + std::to_string(s.kinds.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const auto symbology = static_cast<korvane::Symbology>(in.range(0, static_cast<int>(korvane::Symbology::Postnet)));
    korvane::EncodeOptions o;
    const int check = in.range(0, 3);
    if (check < 2)
        o.check = check == 1;
    o.escapes = in.range(0, 3) == 0;
    o.gs1 = in.range(0, 3) == 0;
    o.wideRatio = in.range(0, 7) < 5 ? 0 : in.range(1, 4);
    constexpr char STARTS[] = {0, 'A', 'B', 'C', 'a', 'c', 'D', '\x7f'};
    o.code128Start = STARTS[in.range(0, 7)];
    o.msiCheck = static_cast<korvane::MsiCheck>(in.range(0, 3));
    o.codabarStart = static_cast<char>(in.range('A', 'E') + (in.flag() ? 32 : 0));
    o.codabarStop = static_cast<char>(in.range('A', 'E'));
    o.upceNumberSystem = in.range(-1, 2);
    if (in.range(0, 3) == 0)
        o.addOn = in.bytes(static_cast<std::size_t>(in.range(0, 6)));
    o.addOnGap = in.range(0, 3) == 0 ? in.range(0, 14) : 0;
    // The options a symbology does not take are refused alike by both paths
    // before any encoder runs; now and then one is left set to hold them to that.
    if (in.range(0, 7) != 0) {
        const korvane::SymbologyInfo& info = korvane::symbologyInfo(symbology);
        const korvane::EncodeOptions d;
        if (!info.twoWidths)
            o.wideRatio = d.wideRatio;
        if (!info.takes(korvane::CAP_GS1))
            o.gs1 = false;
        if (!info.takes(korvane::CAP_CODE128_START))
            o.code128Start = d.code128Start;
        if (!info.takes(korvane::CAP_MSI_CHECK))
            o.msiCheck = d.msiCheck;
        if (!info.takes(korvane::CAP_CODABAR_ENDS))
            o.codabarStart = d.codabarStart, o.codabarStop = d.codabarStop;
        if (!info.takes(korvane::CAP_UPCE_SYSTEM))
            o.upceNumberSystem = d.upceNumberSystem;
        if (!info.takes(korvane::CAP_ADD_ON))
            o.addOn.clear(), o.addOnGap = d.addOnGap;
    }
    const std::string value = in.rest();

    const std::string ours = describe(korvane::encode(symbology, value, o));
    const std::string engine = describe(korvane::detail::encodeThroughEngine(symbology, value, o));
    if (ours != engine) {
        std::fprintf(stderr, "the encoders differ from the engine for symbology %d\nours:\n%s\nengine:\n%s\n",
                     static_cast<int>(symbology), ours.c_str(), engine.c_str());
        std::abort();
    }
    return 0;
}
