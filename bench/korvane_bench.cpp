// The library's encode() and encode() + layout() for every symbology.

#include <korvane/korvane.hpp>

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

struct Sample {
    korvane::Symbology s;
    const char* name;
    std::string data;
};

const Sample SAMPLES[] = {
    {korvane::Symbology::Code39, "Code39", "ABC123"},
    {korvane::Symbology::Code39Extended, "Code39Ext", "Hello, World"},
    {korvane::Symbology::Code93, "Code93", "TEST93"},
    {korvane::Symbology::Code93Extended, "Code93Ext", "code93"},
    {korvane::Symbology::Code11, "Code11", "123-45"},
    {korvane::Symbology::Codabar, "Codabar", "A40156B"},
    {korvane::Symbology::Msi, "Msi", "80523"},
    {korvane::Symbology::Interleaved2of5, "Itf", "12345678"},
    {korvane::Symbology::Industrial2of5, "Industrial25", "123456"},
    {korvane::Symbology::Matrix2of5, "Matrix25", "123456"},
    {korvane::Symbology::Ean13, "Ean13", "400638133393"},
    {korvane::Symbology::Ean8, "Ean8", "9638507"},
    {korvane::Symbology::UpcA, "UpcA", "03600029145"},
    {korvane::Symbology::UpcE, "UpcE", "0123456"},
    {korvane::Symbology::Code128, "Code128", "ABC-abc-0123456789xy"},
    {korvane::Symbology::Gs1_128, "Gs1_128", "(01)09501101530003(10)AB-12"},
    {korvane::Symbology::Postnet, "Postnet", "555551234"},
    {korvane::Symbology::Aztec, "Aztec", "Aztec barcode 0123456789"},
};

void encodeOnly(benchmark::State& state, const Sample& sample) {
    for (auto _ : state) {
        korvane::Result<korvane::Symbol> s = korvane::encode(sample.s, sample.data);
        benchmark::DoNotOptimize(s);
    }
}

void encodeAndLayout(benchmark::State& state, const Sample& sample) {
    const korvane::LayoutOptions options;
    for (auto _ : state) {
        korvane::Result<korvane::Symbol> s = korvane::encode(sample.s, sample.data);
        korvane::Result<korvane::Drawing> d = korvane::layout(*s, options);
        benchmark::DoNotOptimize(d);
    }
}

// What korvane.encode("ean13", data).svg() does in Python: by name, the
// default layout, the SVG as a string; bench/python_overhead.py compares.
void encodeSvgByName(benchmark::State& state) {
    const std::string data = "590123412345";
    for (auto _ : state) {
        korvane::Result<korvane::Symbol> s = korvane::encode(std::string_view("ean13"), data);
        korvane::Result<korvane::Drawing> d = korvane::layout(*s);
        korvane::Result<korvane::Written> w = korvane::write(*d, korvane::Format::Svg);
        std::string svg(w->bytes.begin(), w->bytes.end());
        benchmark::DoNotOptimize(svg);
    }
}
BENCHMARK(encodeSvgByName)->Name("EncodeSvgByName/Ean13");

// Ten GS1 AIs parsed and checked against the Syntax Dictionary, with the
// rules between them (the goal: under 5 us).
void checkGs1TenAis(benchmark::State& state) {
    const std::string data = "(01)09506000134352(10)ABC123(17)270101(21)SERIAL42(11)250101(3103)000189"
                             "(3922)1299(4321)1(7003)2501011230(8008)25010112";
    for (auto _ : state) {
        korvane::Result<std::vector<std::string>> notes = korvane::checkGs1(data);
        benchmark::DoNotOptimize(notes);
    }
}
BENCHMARK(checkGs1TenAis)->Name("CheckGs1/TenAis");

const bool registered = [] {
    for (const Sample& s : SAMPLES) {
        benchmark::RegisterBenchmark((std::string("Encode/") + s.name).c_str(), encodeOnly, s);
        benchmark::RegisterBenchmark((std::string("EncodeLayout/") + s.name).c_str(), encodeAndLayout, s);
    }
    return true;
}();

}  // namespace
