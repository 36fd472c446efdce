// verify() against the work of making the same symbol: encode() plus layout()
// for linear symbols (verification should cost at most twice that), and the
// largest Aztec symbol (at most a millisecond). grade(): an EAN-13 at 300 dpi
// at most a millisecond, the largest Aztec, QR Code (version 40) and Data
// Matrix (144 x 144) at most 20 ms, a PDF417 of 1,000 bytes a few ms, as laid
// out and as a 203 dpi thermal printer prints them.
//
//   cmake --build build --target verify_bench && build/bench/verify_bench

#include <korvane/korvane.hpp>

#include <benchmark/benchmark.h>

#include <string>

namespace {

using korvane::Symbology;

struct Case {
    const char* name;
    Symbology symbology;
    const char* data;
};

// Typical values: a label's worth of data for each linear symbology.
const Case LINEAR[] = {
    {"Code39", Symbology::Code39, "ABC-1234"},
    {"Code39Extended", Symbology::Code39Extended, "Abc-1234"},
    {"Code93", Symbology::Code93, "TEST93"},
    {"Code93Extended", Symbology::Code93Extended, "Test93"},
    {"Code11", Symbology::Code11, "123-45"},
    {"Codabar", Symbology::Codabar, "A123456B"},
    {"Msi", Symbology::Msi, "80523"},
    {"Interleaved2of5", Symbology::Interleaved2of5, "12345670"},
    {"Industrial2of5", Symbology::Industrial2of5, "123456"},
    {"Matrix2of5", Symbology::Matrix2of5, "123456"},
    {"Ean13", Symbology::Ean13, "590123412345"},
    {"Ean13AddOn5", Symbology::Ean13, "590123412345+52495"},
    {"Ean8", Symbology::Ean8, "5512345"},
    {"UpcA", Symbology::UpcA, "03600029145"},
    {"UpcE", Symbology::UpcE, "0123456"},
    {"Code128", Symbology::Code128, "Code 128 / 0123456789"},
    {"Gs1_128", Symbology::Gs1_128, "(01)09501101530003(10)AB-12"},
    {"Postnet", Symbology::Postnet, "12345678901"},
};

void encodeAndLayout(benchmark::State& state, const Case& c) {
    for (auto _ : state) {
        auto symbol = korvane::encode(c.symbology, c.data);
        auto drawing = korvane::layout(*symbol);
        benchmark::DoNotOptimize(drawing);
    }
}

void verifyOnly(benchmark::State& state, const korvane::Symbol& symbol, const korvane::Drawing& drawing) {
    for (auto _ : state) {
        korvane::Verdict v = korvane::verify(drawing, symbol);
        if (!v.ok)
            state.SkipWithError(v.reason.c_str());
        benchmark::DoNotOptimize(v);
    }
}

// The largest Aztec symbol: 151 x 151 modules, filled (23 % check words) or
// made that size for a little data (nearly all check words).
korvane::Symbol largestAztec(bool filled) {
    korvane::EncodeOptions o;
    o.minSize = 151;
    const std::string data = filled ? std::string(1100 * 12 / 8, 'x') : "151 x 151";
    return *korvane::encode(Symbology::Aztec, data, o);
}

// Bytes that take byte compaction throughout.
std::string pdf417Bytes(std::size_t n) {
    std::string out(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        out[i] = static_cast<char>(0x80 + i % 97);
    return out;
}

void gradeOnly(benchmark::State& state, const korvane::Symbol& symbol, const korvane::Drawing& drawing,
               const char* printer) {
    const korvane::PrinterProfile profile = *korvane::printerProfile(printer);
    for (auto _ : state) {
        korvane::QualityGrade q = korvane::grade(drawing, symbol, profile);
        if (!q.graded)
            state.SkipWithError(q.reason.c_str());
        benchmark::DoNotOptimize(q);
    }
}

int registerAll() {
    for (const char* printer : {"ideal", "thermal203"}) {
        const korvane::Symbol ean = *korvane::encode(Symbology::Ean13, "590123412345");
        const korvane::Drawing eanDrawing = *korvane::layout(ean);
        benchmark::RegisterBenchmark((std::string("Grade/Ean13/") + printer).c_str(),
                                     [ean, eanDrawing, printer](benchmark::State& s) {
                                         gradeOnly(s, ean, eanDrawing, printer);
                                     })
            ->Unit(benchmark::kMicrosecond);
        korvane::EncodeOptions qr40, dm144;
        qr40.qrVersion = 40;
        dm144.dmRows = dm144.dmColumns = 144;
        const std::pair<const char*, korvane::Symbol> matrix[] = {
            {"Aztec151", largestAztec(true)},
            {"QrVersion40", *korvane::encode(Symbology::Qr, std::string(2000, 'x'), qr40)},
            {"DataMatrix144", *korvane::encode(Symbology::DataMatrix, std::string(1500, 'x'), dm144)},
            {"Pdf417Bytes1000", *korvane::encode(Symbology::Pdf417, pdf417Bytes(1000))},
        };
        for (const auto& [name, symbol] : matrix) {
            const korvane::Drawing drawing = *korvane::layout(symbol);
            benchmark::RegisterBenchmark((std::string("Grade/") + name + "/" + printer).c_str(),
                                         [symbol = symbol, drawing, printer](benchmark::State& s) {
                                             gradeOnly(s, symbol, drawing, printer);
                                         })
                ->Unit(benchmark::kMillisecond);
        }
    }
    for (const Case& c : LINEAR) {
        auto symbol = korvane::encode(c.symbology, c.data);
        auto drawing = korvane::layout(*symbol);
        benchmark::RegisterBenchmark((std::string("EncodeLayout/") + c.name).c_str(),
                                     [c](benchmark::State& s) { encodeAndLayout(s, c); });
        benchmark::RegisterBenchmark((std::string("Verify/") + c.name).c_str(),
                                     [symbol = *symbol, drawing = *drawing](benchmark::State& s) {
                                         verifyOnly(s, symbol, drawing);
                                     });
    }
    for (bool filled : {true, false}) {
        const korvane::Symbol symbol = largestAztec(filled);
        const korvane::Drawing drawing = *korvane::layout(symbol);
        benchmark::RegisterBenchmark(filled ? "Verify/Aztec151Filled" : "Verify/Aztec151Sparse",
                                     [symbol, drawing](benchmark::State& s) { verifyOnly(s, symbol, drawing); })
            ->Unit(benchmark::kMicrosecond);
    }
    return 0;
}
const int REGISTERED = registerAll();

}  // namespace
