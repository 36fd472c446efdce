// Every symbology zxing-cpp reads, through encode -> layout -> raster ->
// zxing-cpp, by the C++ API and by the C API; and the same on many threads.

#include "KorvaneTestUtil.h"

#include <korvane/korvane.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <thread>

using korvane::EncodeOptions;
using korvane::Symbology;

namespace {

const EncodeOptions WITH_CHECK = kvtest::options([](EncodeOptions& o) { o.check = true; });
EncodeOptions ratio(int r) {
    return kvtest::options([r](EncodeOptions& o) { o.wideRatio = r; });
}
EncodeOptions startSet(char set) {
    return kvtest::options([set](EncodeOptions& o) { o.code128Start = set; });
}

struct Case {
    Symbology s;
    std::string data;
    EncodeOptions o;
    std::string read;  // what zxing-cpp returns
};

const Case CASES[] = {
    {Symbology::Code39, "CODE 39-$/+%.", {}, "CODE 39-$/+%."},
    {Symbology::Code39, "ABC", WITH_CHECK, "ABCX"},
    {Symbology::Code39, "W1", ratio(2), "W1"},
    {Symbology::Code39Extended, "Hello, World!\t~", {}, "Hello, World!\t~"},
    {Symbology::Code93, "TEST93", {}, "TEST93"},
    {Symbology::Code93Extended, "code93\x7f", {}, "code93\x7f"},
    {Symbology::Codabar, "40156", {}, "A40156B"},
    {Symbology::Codabar, "C1-2$D", WITH_CHECK, "C1-2$3D"},
    {Symbology::Interleaved2of5, "1234567", {}, "01234567"},
    {Symbology::Interleaved2of5, "123456", WITH_CHECK, "01234565"},
    {Symbology::Ean13, "590123412345", {}, "5901234123457"},
    {Symbology::Ean13, "4006381333931", {}, "4006381333931"},
    {Symbology::Ean8, "9638507", {}, "96385074"},
    {Symbology::UpcA, "03600029145", {}, "036000291452"},
    {Symbology::UpcE, "0123456", {}, "01234565"},
    {Symbology::UpcE, "1123456", {}, "11234562"},
    {Symbology::UpcE, "04252614", {}, "04252614"},
    {Symbology::Code128, "ABC-abc-0123456789xy", {}, "ABC-abc-0123456789xy"},
    {Symbology::Code128, "\x01\x02 ctl and lower", startSet('A'), "\x01\x02 ctl and lower"},
    {Symbology::Code128, "12345678", startSet('C'), "12345678"},
    {Symbology::Gs1_128, "(01)09501101530003(17)250101(10)AB-12", {}, "01095011015300031725010110AB-12"},
    {Symbology::Gs1_128, "(10)A1(21)S", {}, "10A1\x1D" "21S"},
    {Symbology::Aztec, "Aztec barcode", {}, "Aztec barcode"},
    {Symbology::Aztec, std::string("bytes \x80\xFF\x00 in", 12), {}, std::string("bytes \x80\xFF\x00 in", 12)},
};

std::string readText(const testsupport::Decoded& d) {
    return d.bytes.empty() ? d.text : testsupport::bytesToString(d.bytes);
}

}  // namespace

TEST(RoundTrip, CxxApi) {
    for (const Case& c : CASES) {
        SCOPED_TRACE(c.data);
        testsupport::Symbology as;
        ASSERT_TRUE(kvtest::zxingReads(c.s, as));
        const korvane::Symbol symbol = kvtest::encoded(c.s, c.data, c.o);
        const testsupport::Decoded d = kvtest::readBack(symbol, as);
        ASSERT_TRUE(d.ok) << d.error;
        EXPECT_EQ(readText(d), c.read);
    }
}

TEST(RoundTrip, AddOnsAreReadWithTheMainSymbol) {
    const struct {
        Symbology s;
        const char* data;
        const char* read;
    } cases[] = {
        {Symbology::Ean13, "590123412345+12", "5901234123457 12"},
        {Symbology::UpcA, "03600029145+12345", "036000291452 12345"},
        {Symbology::Ean8, "9638507+05", "96385074 05"},
        {Symbology::UpcE, "0123456+99", "01234565 99"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        testsupport::Symbology as;
        ASSERT_TRUE(kvtest::zxingReads(c.s, as));
        const testsupport::Decoded d = kvtest::readBack(kvtest::encoded(c.s, c.data), as);
        ASSERT_TRUE(d.ok) << d.error;
        EXPECT_EQ(d.text, c.read);
    }
}

// The C API gives the same pixels, and so the same reading.
TEST(RoundTrip, CApi) {
    for (const Case& c : CASES) {
        SCOPED_TRACE(c.data);
        kv_encode_options eo;
        kv_encode_options_init(&eo);
        if (c.o.check)
            eo.check = *c.o.check ? 1 : 0;
        eo.wide_ratio = c.o.wideRatio;
        eo.code128_start = c.o.code128Start;
        kv_symbol* symbol = nullptr;
        char error[200];
        const char* name = korvane::symbologyInfo(c.s).name.data();
        ASSERT_EQ(kv_encode(name, c.data.data(), c.data.size(), &eo, &symbol, error, sizeof error), KV_OK) << error;
        kv_layout_options lo;
        kv_layout_options_init(&lo);
        lo.dpi = 0;
        lo.module_dots = 2;
        kv_drawing* drawing = nullptr;
        ASSERT_EQ(kv_layout(symbol, &lo, &drawing, error, sizeof error), KV_OK) << error;
        unsigned char* pixels = nullptr;
        int w = 0, h = 0;
        ASSERT_EQ(kv_rasterize(drawing, 1, &pixels, &w, &h, error, sizeof error), KV_OK) << error;

        const korvane::Result<korvane::Drawing> cxx = korvane::layout(kvtest::encoded(c.s, c.data, c.o), kvtest::pixels(2));
        ASSERT_TRUE(cxx.ok());
        const korvane::Result<korvane::GrayRaster> raster = korvane::rasterize(*cxx);
        ASSERT_EQ(w, raster->width);
        ASSERT_EQ(h, raster->height);
        EXPECT_EQ(std::vector<std::uint8_t>(pixels, pixels + static_cast<std::size_t>(w) * h), raster->pixels);
        EXPECT_STREQ(kv_symbol_text(symbol), kvtest::encoded(c.s, c.data, c.o).text.c_str());
        // And the same grade.
        double g = -1;
        char text[32];
        ASSERT_EQ(kv_grade(symbol, drawing, "203,0.3", &g, text, sizeof text, error, sizeof error), KV_OK) << error;
        const korvane::QualityGrade q =
            korvane::grade(*cxx, kvtest::encoded(c.s, c.data, c.o), *korvane::printerProfile("203,0.3"));
        EXPECT_EQ(g, q.grade);
        EXPECT_EQ(text, q.text);
        // And what set it, in the command's words.
        char reason[160];
        ASSERT_EQ(kv_grade_reason(symbol, drawing, "203,0.3", &g, nullptr, 0, reason, sizeof reason, error,
                                  sizeof error),
                  KV_OK)
            << error;
        EXPECT_EQ(g, q.grade);
        EXPECT_EQ(reason, q.reason);
        EXPECT_NE(std::string(reason), "");
        kv_free(pixels);
        kv_drawing_free(drawing);
        kv_symbol_free(symbol);
    }
}

TEST(CApi, ErrorsAndNullArguments) {
    char error[16];
    kv_symbol* symbol = nullptr;
    EXPECT_EQ(kv_encode("ean13", "59012341234X", 12, nullptr, &symbol, error, sizeof error), KV_INVALID_DATA);
    EXPECT_EQ(std::string(error).size(), sizeof error - 1);  // cut to the buffer, terminated
    EXPECT_EQ(symbol, nullptr);
    EXPECT_EQ(kv_encode("ean13", "5901234123458", 13, nullptr, &symbol, nullptr, 0), KV_CHECK_DIGIT);
    EXPECT_EQ(kv_encode("nosuch", "1", 1, nullptr, &symbol, nullptr, 0), KV_UNKNOWN_SYMBOLOGY);
    EXPECT_EQ(kv_encode(nullptr, "1", 1, nullptr, &symbol, nullptr, 0), KV_INVALID_ARGUMENT);
    EXPECT_EQ(kv_encode("code39", nullptr, 3, nullptr, &symbol, nullptr, 0), KV_INVALID_ARGUMENT);
    EXPECT_EQ(kv_layout(nullptr, nullptr, nullptr, nullptr, 0), KV_INVALID_ARGUMENT);
    double g = 0;
    EXPECT_EQ(kv_grade(nullptr, nullptr, nullptr, &g, nullptr, 0, nullptr, 0), KV_INVALID_ARGUMENT);
    EXPECT_EQ(kv_grade_reason(nullptr, nullptr, nullptr, &g, nullptr, 0, nullptr, 0, nullptr, 0), KV_INVALID_ARGUMENT);
    ASSERT_EQ(kv_encode("code39", "A", 1, nullptr, &symbol, nullptr, 0), KV_OK);
    kv_layout_options lo;
    kv_layout_options_init(&lo);
    lo.dpi = 1e6;
    kv_drawing* drawing = nullptr;
    EXPECT_EQ(kv_layout(symbol, &lo, &drawing, nullptr, 0), KV_SIZE_TOO_LARGE);
    EXPECT_EQ(drawing, nullptr);
    EXPECT_EQ(kv_symbol_warning(symbol, 5), nullptr);
    EXPECT_STREQ(kv_version(), KORVANE_VERSION_STRING);
    kv_symbol_free(symbol);
    kv_symbol_free(nullptr);
    kv_drawing_free(nullptr);
}

// A symbology that is not graded gives why as the error and leaves no reason
// from before behind.
TEST(RoundTrip, CApiUngradedLeavesNoReason) {
    kv_symbol* symbol = nullptr;
    kv_drawing* drawing = nullptr;
    ASSERT_EQ(kv_encode("postnet", "12345", 5, nullptr, &symbol, nullptr, 0), KV_OK);
    ASSERT_EQ(kv_layout(symbol, nullptr, &drawing, nullptr, 0), KV_OK);
    double g = -1;
    char reason[64] = "stale";
    char error[200] = "";
    EXPECT_EQ(kv_grade_reason(symbol, drawing, nullptr, &g, nullptr, 0, reason, sizeof reason, error, sizeof error),
              KV_INVALID_OPTION);
    EXPECT_STREQ(reason, "");
    EXPECT_NE(std::string(error), "");
    kv_drawing_free(drawing);
    kv_symbol_free(symbol);
}

// Encoding and layout share nothing between calls: many threads at once give
// what one thread gives.
TEST(RoundTrip, ThreadsAgreeWithOneThread) {
    std::vector<std::pair<Symbology, std::string>> work;
    std::mt19937 rng(7);
    for (int i = 0; i < 400; ++i) {
        const Case& c = CASES[static_cast<std::size_t>(i) % std::size(CASES)];
        work.emplace_back(c.s, c.data);
    }
    auto run = [&](std::size_t i) {
        const korvane::Result<korvane::Symbol> s = korvane::encode(work[i].first, work[i].second);
        if (!s)
            return std::vector<std::uint8_t>{};
        const korvane::Result<korvane::Drawing> d = korvane::layout(*s, kvtest::pixels(1));
        return d ? korvane::rasterize(*d)->pixels : std::vector<std::uint8_t>{};
    };
    std::vector<std::vector<std::uint8_t>> single(work.size()), parallel(work.size());
    for (std::size_t i = 0; i < work.size(); ++i)
        single[i] = run(i);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (std::size_t i = t; i < work.size(); i += 4)
                parallel[i] = run(i);
        });
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(single, parallel);
}
