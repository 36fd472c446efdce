// The writers in memory: one EAN-13 and one 151 x 151 Aztec symbol, laid out
// at the library's defaults (300 dpi, nominal X), written in every format.
// The "bytes" counter is the size of the output.

#include <korvane/korvane.hpp>

#include <benchmark/benchmark.h>

#include <string>

namespace {

korvane::Drawing drawingOf(korvane::Symbology symbology, const std::string& data,
                           const korvane::EncodeOptions& options = {}) {
    auto symbol = korvane::encode(symbology, data, options);
    auto drawing = korvane::layout(*symbol);
    return *drawing;
}

const korvane::Drawing& ean13() {
    static const korvane::Drawing d = drawingOf(korvane::Symbology::Ean13, "590123412345");
    return d;
}

const korvane::Drawing& aztec151() {
    static const korvane::Drawing d = [] {
        korvane::EncodeOptions o;
        o.minSize = 151;
        std::string data;
        for (int i = 0; i < 1000; ++i)
            data += static_cast<char>('A' + (i * 7919) % 26);
        return drawingOf(korvane::Symbology::Aztec, data, o);
    }();
    return d;
}

void writeIn(benchmark::State& state, const korvane::Drawing& d, korvane::Format format) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto written = korvane::write(d, format);
        bytes = written->bytes.size();
        benchmark::DoNotOptimize(written);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_Ean13(benchmark::State& state) { writeIn(state, ean13(), static_cast<korvane::Format>(state.range(0))); }
void BM_Aztec151(benchmark::State& state) { writeIn(state, aztec151(), static_cast<korvane::Format>(state.range(0))); }

// Formats in the order of korvane::Format: svg, pdf, eps, png, emf, bmp.
BENCHMARK(BM_Ean13)->DenseRange(0, korvane::FORMAT_COUNT - 1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Aztec151)->DenseRange(0, korvane::FORMAT_COUNT - 1)->Unit(benchmark::kMicrosecond);

}  // namespace
