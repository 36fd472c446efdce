// QR Code: encoding a 59-character URL (version 4) and 1,000 bytes, the SVG
// of a version-40 symbol from the data to the bytes of the file, and the
// library's reader on a version-10 symbol.
// bench/qr_instructions.sh counts the instructions of the first two beside
// zint's library.

#include <korvane/korvane.hpp>

#include "qr/Qr.h"
#include "verify/Readers.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

namespace {

const std::string URL59 = "https://www.example.com/products/widget-2000?id=1234567890X";

std::string randomBytes(std::size_t n) {
    std::mt19937 rng(1000);
    std::string s;
    for (std::size_t i = 0; i < n; ++i)
        s += static_cast<char>(rng() & 0xFF);
    return s;
}

void encodeMessage(benchmark::State& state, const std::string& data) {
    korvane::Message m;
    m.bytes = data;
    int version = 0;
    for (auto _ : state) {
        auto s = korvane::qr::encode(m);
        version = s->version;
        benchmark::DoNotOptimize(s);
    }
    state.counters["version"] = version;
}

void BM_QrEncodeUrl59(benchmark::State& state) { encodeMessage(state, URL59); }
BENCHMARK(BM_QrEncodeUrl59);

void BM_QrEncode1000Bytes(benchmark::State& state) { encodeMessage(state, randomBytes(1000)); }
BENCHMARK(BM_QrEncode1000Bytes);

// The library's encode() (message parsing, the adapter) on top of the encoder.
void BM_QrLibraryEncodeUrl59(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(korvane::encode(korvane::Symbology::Qr, URL59));
}
BENCHMARK(BM_QrLibraryEncodeUrl59);

korvane::Drawing version40() {
    korvane::EncodeOptions o;
    o.qrVersion = 40;
    return *korvane::layout(*korvane::encode(korvane::Symbology::Qr, randomBytes(2000), o));
}

// The SVG of a laid-out version-40 symbol (177 x 177 modules).
void BM_QrSvgWriteVersion40(benchmark::State& state) {
    const korvane::Drawing d = version40();
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto written = korvane::write(d, korvane::Format::Svg);
        bytes = written->bytes.size();
        benchmark::DoNotOptimize(written);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_QrSvgWriteVersion40)->Unit(benchmark::kMicrosecond);

// Data to SVG bytes for a version-40 symbol at the library's defaults.
void BM_QrSvgVersion40(benchmark::State& state) {
    korvane::EncodeOptions o;
    o.qrVersion = 40;
    const std::string data = randomBytes(2000);
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto symbol = korvane::encode(korvane::Symbology::Qr, data, o);
        auto drawing = korvane::layout(*symbol);
        auto written = korvane::write(*drawing, korvane::Format::Svg);
        bytes = written->bytes.size();
        benchmark::DoNotOptimize(written);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_QrSvgVersion40)->Unit(benchmark::kMicrosecond);

void BM_QrReadVersion10(benchmark::State& state) {
    korvane::EncodeOptions o;
    o.qrVersion = 10;
    auto symbol = korvane::encode(korvane::Symbology::Qr, URL59, o);
    korvane::LayoutOptions l;
    l.dpi = 0;
    l.xDim = korvane::px(4);
    auto raster = korvane::rasterize(*korvane::layout(*symbol, l));
    for (auto _ : state)
        benchmark::DoNotOptimize(korvane::detail::readQr(*raster));
}
BENCHMARK(BM_QrReadVersion10)->Unit(benchmark::kMicrosecond);

}  // namespace
