// Encoding speed of the library's Data Matrix encoder (korvane::encode: the
// parsed message, the shortest stream, the smallest symbol, Reed-Solomon and
// placement), and of its reader on a clean picture. The values are those of
// bench/datamatrix_instructions.sh, which counts instructions beside zint's.

#include <korvane/korvane.hpp>

#include <benchmark/benchmark.h>

#ifdef DATAMATRIX_BENCH_ZINT
#include <zint.h>
#endif

#include <random>
#include <string>

namespace {

const std::string URL = "https://www.example.com/catalogue/item?id=123456&lang=en-GB";  // 59 characters

std::string randomBytes(int n) {
    std::mt19937 rng(1914);
    std::string s;
    for (int i = 0; i < n; ++i)
        s += static_cast<char>(rng() & 0xFF);
    return s;
}

// Words, numbers and punctuation as in a label or a message.
std::string mixedText(int n) {
    static const char* words[] = {"Order", "no.", "4711", "shipped", "to", "Berlin", "on", "2024-05-17;",
                                  "weight", "12.5kg", "(fragile)", "contact:", "info@example.com", "REF", "X-99"};
    std::mt19937 rng(1789);
    std::string s;
    while (static_cast<int>(s.size()) < n) {
        s += words[rng() % std::size(words)];
        s += ' ';
    }
    s.resize(static_cast<std::size_t>(n));
    return s;
}

void encodeData(benchmark::State& state, const std::string& data) {
    for (auto _ : state) {
        auto symbol = korvane::encode(korvane::Symbology::DataMatrix, data);
        benchmark::DoNotOptimize(symbol);
    }
    const auto symbol = korvane::encode(korvane::Symbology::DataMatrix, data);
    if (!symbol)
        state.SkipWithError(symbol.error().message.c_str());
    else
        state.counters["modules"] = symbol->columns;
}

void BM_Url59(benchmark::State& state) { encodeData(state, URL); }
void BM_Bytes1000(benchmark::State& state) { encodeData(state, randomBytes(1000)); }
void BM_MixedText1000(benchmark::State& state) { encodeData(state, mixedText(1000)); }

void BM_VerifyMixedText1000(benchmark::State& state) {
    const auto symbol = korvane::encode(korvane::Symbology::DataMatrix, mixedText(1000));
    korvane::LayoutOptions l;
    l.dpi = 0;
    l.xDim = korvane::px(3);
    const auto drawing = korvane::layout(*symbol, l);
    for (auto _ : state) {
        auto v = korvane::verify(*drawing, *symbol);
        benchmark::DoNotOptimize(v);
    }
}

#ifdef DATAMATRIX_BENCH_ZINT
// zint's library on the same data, for the times side by side.
void zintData(benchmark::State& state, const std::string& data) {
    for (auto _ : state) {
        zint_symbol* s = ZBarcode_Create();
        s->symbology = BARCODE_DATAMATRIX;
        s->input_mode = DATA_MODE;
        const int error = ZBarcode_Encode(s, reinterpret_cast<const unsigned char*>(data.data()),
                                          static_cast<int>(data.size()));
        benchmark::DoNotOptimize(error);
        ZBarcode_Delete(s);
    }
}
void BM_ZintUrl59(benchmark::State& state) { zintData(state, URL); }
void BM_ZintBytes1000(benchmark::State& state) { zintData(state, randomBytes(1000)); }
void BM_ZintMixedText1000(benchmark::State& state) { zintData(state, mixedText(1000)); }
BENCHMARK(BM_ZintUrl59);
BENCHMARK(BM_ZintBytes1000);
BENCHMARK(BM_ZintMixedText1000);
#endif

}  // namespace

BENCHMARK(BM_Url59);
BENCHMARK(BM_Bytes1000);
BENCHMARK(BM_MixedText1000);
BENCHMARK(BM_VerifyMixedText1000);
