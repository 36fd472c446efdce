// Speed of every linear symbology, as barlane builds it: the encode alone
// (buildSymbol), and the encode plus the EMF file image in memory.

#include "EmfPainter.h"
#include "LinearSymbol.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

struct Case {
    const char* name;
    int symbology;
    const char* value;  // as typed on barlane's command line (tilde escapes apply)
};

// One typical value per symbology, each drawn without a warning.
constexpr Case CASES[] = {
    {"Code39", LinearSymbol::CODE39, "123456789012"},
    {"Code39Extended", LinearSymbol::CODE39_EXTENDED, "Hello~d009World"},
    {"Interleaved2of5", LinearSymbol::INTERLEAVED_2OF5, "1234567890"},
    {"Code11", LinearSymbol::CODE11, "123-4567"},
    {"Codabar", LinearSymbol::CODABAR, "40156"},
    {"Msi", LinearSymbol::MSI, "80523"},
    {"UpcA", LinearSymbol::UPCA, "03600029145"},
    {"Industrial2of5", LinearSymbol::INDUSTRIAL_2OF5, "123456"},
    {"Matrix2of5", LinearSymbol::MATRIX_2OF5, "123456"},
    {"Code93", LinearSymbol::CODE93, "TEST93"},
    {"Ean13", LinearSymbol::EAN13, "590123412345"},
    {"Ean8", LinearSymbol::EAN8, "9638507"},
    {"UpcE", LinearSymbol::UPCE, "06510000432"},
    {"Code128", LinearSymbol::CODE128, "ABC-abc-0123456789xy"},
    {"Code93Extended", LinearSymbol::CODE93_EXTENDED, "Code~d03293"},
    {"Postnet", LinearSymbol::POSTNET, "12345"},
    {"Ean128", LinearSymbol::EAN128, "0105012345678900~d20210ABC123"},
};

LinearSymbol built(const Case& c) {
    LinearSymbol s;
    s.symbology = c.symbology;
    s.code = c.value;
    s.processTilde = true;
    s.checkCharacter = true;
    s.buildSymbol();
    return s;
}

void encode(benchmark::State& state, const Case& c) {
    for (auto _ : state) {
        const LinearSymbol s = built(c);
        benchmark::DoNotOptimize(s.barCount);
    }
    const LinearSymbol s = built(c);
    state.counters["elements"] = s.barCount;
    if (s.barCount == 0 || !s.warnings.empty())
        state.SkipWithError("the value does not draw cleanly");
}

void encodeAndEmf(benchmark::State& state, const Case& c) {
    for (auto _ : state) {
        const LinearSymbol s = built(c);
        const auto file = EmfPainter::barsMetafile(s.barWidths.data(), s.barHeights.data(), s.barCount, s.text, 20,
                                                   static_cast<int>(s.text.size()));
        benchmark::DoNotOptimize(file.data());
    }
    const LinearSymbol s = built(c);
    state.counters["bytes"] = static_cast<double>(
        EmfPainter::barsMetafile(s.barWidths.data(), s.barHeights.data(), s.barCount, s.text, 20,
                                 static_cast<int>(s.text.size()))
            .size());
}

const bool REGISTERED = [] {
    for (const Case& c : CASES) {
        benchmark::RegisterBenchmark((std::string("BM_Encode/") + c.name).c_str(), encode, c);
        benchmark::RegisterBenchmark((std::string("BM_EncodeEmf/") + c.name).c_str(), encodeAndEmf, c);
    }
    return true;
}();

}  // namespace
