// Encoding speed of the library's Aztec encoder (korvane::encode, the optimal
// stream and the smallest symbol), from the data to the finished matrix.

#include <korvane/Encode.h>

#include <benchmark/benchmark.h>

#include <random>
#include <string>

namespace {

void encodeData(benchmark::State& state, const std::string& data) {
    for (auto _ : state) {
        auto symbol = korvane::encode(korvane::Symbology::Aztec, data);
        benchmark::DoNotOptimize(symbol);
    }
    const auto symbol = korvane::encode(korvane::Symbology::Aztec, data);
    if (!symbol)
        state.SkipWithError(symbol.error().message.c_str());
    else
        state.counters["modules"] = symbol->columns;
}

std::string capitals(int n) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += static_cast<char>('A' + i % 26);
    return s;
}

std::string randomBytes(int n) {
    std::mt19937 rng(1914);
    std::string s;
    for (int i = 0; i < n; ++i)
        s += static_cast<char>(rng() & 0xFF);
    return s;
}

void BM_Text20(benchmark::State& state) { encodeData(state, "Aztec Code 2024, ok!"); }
void BM_Capitals3067(benchmark::State& state) { encodeData(state, capitals(3067)); }
void BM_Bytes1914(benchmark::State& state) { encodeData(state, randomBytes(1914)); }
void BM_Bytes1000(benchmark::State& state) { encodeData(state, randomBytes(1000)); }
void BM_Text1000(benchmark::State& state) {
    static const std::string pool = "Aztec Code 2024: the quick brown fox, 42 lazy DOGS & more!\r\n";
    std::string text;
    for (int i = 0; i < 1000; ++i)
        text += pool[static_cast<std::size_t>(i) % pool.size()];
    encodeData(state, text);
}

}  // namespace

BENCHMARK(BM_Text20);
BENCHMARK(BM_Text1000);
BENCHMARK(BM_Capitals3067);
BENCHMARK(BM_Bytes1000);
BENCHMARK(BM_Bytes1914);
