// PDF417 encoding speed: korvane::encode from the data to the finished rows,
// beside zint's library on the same values (both at their default level and
// shape). bench/pdf417_instructions.sh counts the instructions of the same.

#include <korvane/Encode.h>

#include <benchmark/benchmark.h>
#include <zint.h>

#include <random>
#include <string>

namespace {

const std::string URL = "https://www.example.com/products/item?id=1234567&ref=abcdef";  // 59 characters

std::string text1000() {
    const std::string sentence =
        "Invoice 2024-0042, due 30 June: 3 x Widget (blue), EUR 19.99 each; ship to 12 High Street, Leeds LS1 4AB. ";
    std::string s;
    while (s.size() < 1000)
        s += sentence;
    return s.substr(0, 1000);
}

std::string bytes1000() {
    std::mt19937 rng(15438);
    std::string s;
    for (int i = 0; i < 1000; ++i)
        s += static_cast<char>(rng() & 0xFF);
    return s;
}

void ours(benchmark::State& state, const std::string& data) {
    for (auto _ : state) {
        auto symbol = korvane::encode(korvane::Symbology::Pdf417, data);
        benchmark::DoNotOptimize(symbol);
    }
    const auto symbol = korvane::encode(korvane::Symbology::Pdf417, data);
    if (!symbol)
        state.SkipWithError(symbol.error().message.c_str());
    else
        state.counters["codewords"] = symbol->facts.pdf417.dataCodewords + symbol->facts.pdf417.checkCodewords;
}

void zint(benchmark::State& state, const std::string& data) {
    for (auto _ : state) {
        zint_symbol* symbol = ZBarcode_Create();
        symbol->symbology = BARCODE_PDF417;
        symbol->input_mode = DATA_MODE;
        const int error = ZBarcode_Encode(symbol, reinterpret_cast<const unsigned char*>(data.data()),
                                          static_cast<int>(data.size()));
        benchmark::DoNotOptimize(error);
        ZBarcode_Delete(symbol);
    }
}

void BM_Url59(benchmark::State& state) { ours(state, URL); }
void BM_Text1000(benchmark::State& state) { ours(state, text1000()); }
void BM_Bytes1000(benchmark::State& state) { ours(state, bytes1000()); }
void BM_ZintUrl59(benchmark::State& state) { zint(state, URL); }
void BM_ZintText1000(benchmark::State& state) { zint(state, text1000()); }
void BM_ZintBytes1000(benchmark::State& state) { zint(state, bytes1000()); }

}  // namespace

BENCHMARK(BM_Url59);
BENCHMARK(BM_ZintUrl59);
BENCHMARK(BM_Text1000);
BENCHMARK(BM_ZintText1000);
BENCHMARK(BM_Bytes1000);
BENCHMARK(BM_ZintBytes1000);
