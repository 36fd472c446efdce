// Encoding speed of Aztec symbols: paint() from message to finished matrix, no file.

#include "Aztec.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

void paintText(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        Aztec aztec;
        aztec.setCode(text);
        aztec.paint();
        benchmark::DoNotOptimize(aztec.bitmap.data());
    }
    Aztec check;
    check.setCode(text);
    check.paint();
    state.counters["modules"] = check.rows;
    if (check.getStatus() != Aztec::STATUS_OK)
        state.SkipWithError("no symbol");
}

void BM_DefaultText(benchmark::State& state) { paintText(state, "Aztec barcode"); }

void BM_Text1000Bytes(benchmark::State& state) {
    static const std::string pool = "Aztec Code 2024: the quick brown fox, 42 lazy DOGS & more!\r\n";
    std::string text;
    for (int i = 0; i < 1000; ++i)
        text += pool[i % pool.size()];
    paintText(state, text);
}

void BM_Upper3067(benchmark::State& state) {
    std::string text;
    for (int i = 0; i < 3067; ++i)
        text += static_cast<char>('A' + i % 26);
    paintText(state, text);
}

void BM_Binary1914(benchmark::State& state) {
    std::vector<int> data(1914);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = 128 + static_cast<int>((i * 37) % 128);
    Aztec check;
    for (auto _ : state) {
        Aztec aztec;
        aztec.setEncoding(Aztec::ENC_BINARY);
        aztec.setBinaryCode(data.data(), static_cast<int>(data.size()));
        aztec.paint();
        benchmark::DoNotOptimize(aztec.bitmap.data());
    }
    check.setEncoding(Aztec::ENC_BINARY);
    check.setBinaryCode(data.data(), static_cast<int>(data.size()));
    check.paint();
    state.counters["modules"] = check.rows;
    if (check.getStatus() != Aztec::STATUS_OK)
        state.SkipWithError("no symbol");
}

}  // namespace

BENCHMARK(BM_DefaultText);
BENCHMARK(BM_Text1000Bytes);
BENCHMARK(BM_Upper3067);
BENCHMARK(BM_Binary1914);
