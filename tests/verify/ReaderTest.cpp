// The readers on pictures drawn by the test support (not by layout()), in
// both orientations, and on noise, which they must never accept.

#include "VerifyTestSupport.h"

#include "verify/Readers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

using korvane::EncodeOptions;
using korvane::Symbology;
using korvane::detail::LinearReadOptions;
using verifytest::Value;

// The picture turned a quarter clockwise: (x, y) goes to (height - 1 - y, x).
korvane::GrayRaster turned(const korvane::GrayRaster& r) {
    korvane::GrayRaster t;
    t.width = r.height;
    t.height = r.width;
    t.pixels.resize(r.pixels.size());
    for (int y = 0; y < t.height; ++y)
        for (int x = 0; x < t.width; ++x)
            t.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(t.width) + static_cast<std::size_t>(x)] =
                r.at(y, r.height - 1 - x);
    return t;
}

// The elements as the test support draws them: bars hanging from the top
// edge. Postnet's half bars stand on the baseline, so its picture is flipped
// top to bottom.
korvane::GrayRaster bars(const korvane::Symbol& s) {
    std::vector<int> heights(s.widths.size(), 60);
    for (std::size_t i = 0; i < s.kinds.size(); ++i)
        if (s.kinds[i] == korvane::BarKind::Short)
            heights[i] = 24;
    korvane::GrayRaster r = verifytest::toRaster(
        testsupport::renderBars(s.widths.data(), heights.data(), static_cast<int>(s.widths.size()), 3, 14));
    if (s.symbology == Symbology::Postnet)
        for (int y = 0; y < r.height / 2; ++y)
            std::swap_ranges(r.pixels.begin() + static_cast<std::ptrdiff_t>(y) * r.width,
                             r.pixels.begin() + static_cast<std::ptrdiff_t>(y + 1) * r.width,
                             r.pixels.begin() + static_cast<std::ptrdiff_t>(r.height - 1 - y) * r.width);
    return r;
}

const Value LINEAR[] = {
    {"Code 39", Symbology::Code39, "READER-39", [](EncodeOptions& o) { o.check = true; }},
    {"Code 39 full ASCII", Symbology::Code39Extended, "reader 39"},
    {"Code 93", Symbology::Code93, "READER 93"},
    {"Code 93 full ASCII", Symbology::Code93Extended, "reader 93"},
    {"Code 11", Symbology::Code11, "0123456789-0"},
    {"Codabar", Symbology::Codabar, "31117013206375", [](EncodeOptions& o) { o.check = true; }},
    {"MSI", Symbology::Msi, "80523", [](EncodeOptions& o) { o.msiCheck = korvane::MsiCheck::Mod10Mod10; }},
    {"Interleaved 2 of 5", Symbology::Interleaved2of5, "00123456789012", [](EncodeOptions& o) { o.check = true; }},
    {"Industrial 2 of 5", Symbology::Industrial2of5, "31415"},
    {"Matrix 2 of 5", Symbology::Matrix2of5, "27182"},
    {"EAN-13 with add-on", Symbology::Ean13, "978020137962+51995"},
    {"EAN-8", Symbology::Ean8, "9638507"},
    {"UPC-A", Symbology::UpcA, "72527273070"},
    {"UPC-E", Symbology::UpcE, "0425261+04"},
    {"Code 128", Symbology::Code128, "Reader\t128"},
    {"GS1-128", Symbology::Gs1_128, "(01)09501101530003(17)251231(10)L1"},
    {"Postnet", Symbology::Postnet, "555511234"},
};

LinearReadOptions optionsFor(const korvane::Symbol& s) {
    LinearReadOptions o;
    o.check = !s.facts.checkCharacters.empty();
    o.msiCheckDigits = static_cast<int>(s.facts.checkCharacters.size());
    return o;
}

TEST(VerifyReaders, LinearReadersReadRowsAndColumns) {
    for (const Value& value : LINEAR) {
        const korvane::Symbol s = verifytest::encoded(value);
        const korvane::GrayRaster across = bars(s);
        for (const korvane::GrayRaster& picture : {across, turned(across)}) {
            SCOPED_TRACE(std::string(value.label) + (&picture == &across ? "" : ", turned"));
            const korvane::detail::Reading r = korvane::detail::readLinear(picture, s.symbology, optionsFor(s));
            EXPECT_TRUE(r.ok) << r.failure;
            EXPECT_EQ(r.data, s.facts.data);
            EXPECT_EQ(r.addOn, s.facts.addOn);
            EXPECT_EQ(r.gs1, s.symbology == Symbology::Gs1_128);
        }
    }
}

// Matrix 2 of 5 has no check digit, so a scanner set to check one reads the
// last digit as data even where it happens to be the modulo-10 check of the
// rest, as the 2 of 27182 is.
TEST(VerifyReaders, NoCheckDigitIsTakenFromMatrix2of5) {
    const korvane::Symbol s = verifytest::encoded({"Matrix 2 of 5", Symbology::Matrix2of5, "27182"});
    LinearReadOptions o;
    o.check = true;
    const korvane::detail::Reading r = korvane::detail::readLinear(bars(s), s.symbology, o);
    EXPECT_TRUE(r.ok) << r.failure;
    EXPECT_EQ(r.data, "27182");
    EXPECT_EQ(r.checkCharacters, "");
}

TEST(VerifyReaders, AztecReaderReadsEveryTurn) {
    const struct {
        Value value;
        const char* structuredId;
    } AZTEC[] = {
        {{"compact", Symbology::Aztec, "reader"}, ""},
        {{"full range", Symbology::Aztec, "Reader, full range: 0123456789", [](EncodeOptions& o) { o.minSize = 41; }},
         ""},
        {{"structured append", Symbology::Aztec, "set", [](EncodeOptions& o) { o.structuredAppend = {3, 5, "ID"}; }},
         "ID"},
    };
    for (const auto& [value, structuredId] : AZTEC) {
        const korvane::Symbol s = verifytest::encoded(value);
        std::vector<bool> dark(s.modules.size());
        for (int turn = 0; turn < 4; ++turn) {
            SCOPED_TRACE(std::string(value.label) + ", turned " + std::to_string(90 * turn));
            // Module (r, c) of the picture after `turn` quarter turns clockwise.
            const int n = s.columns;
            for (int r = 0; r < n; ++r)
                for (int c = 0; c < n; ++c) {
                    int sr = r, sc = c;
                    for (int k = 0; k < turn; ++k) {
                        const int t = sr;
                        sr = n - 1 - sc;
                        sc = t;
                    }
                    dark[static_cast<std::size_t>(r * n + c)] = s.dark(sr, sc);
                }
            const korvane::detail::Reading r =
                korvane::detail::readAztec(verifytest::toRaster(testsupport::renderMatrix(dark, n, n, 4, 2)));
            EXPECT_TRUE(r.ok) << r.failure;
            EXPECT_EQ(r.data, s.facts.data);
            EXPECT_EQ(r.size, s.columns);
            EXPECT_EQ(r.structuredIndex, s.facts.aztec.structuredIndex);
            EXPECT_EQ(r.structuredCount, s.facts.aztec.structuredCount);
            EXPECT_EQ(r.structuredId, structuredId);
        }
    }
}

// Noise, stripes and blank pictures: nothing to read, and nothing read.
TEST(VerifyReaders, NoiseIsNeverRead) {
    std::mt19937 random(16388);
    for (int picture = 0; picture < 24; ++picture) {
        korvane::GrayRaster r;
        r.width = 40 + picture * 7;
        r.height = 30 + picture * 3;
        r.pixels.resize(static_cast<std::size_t>(r.width) * static_cast<std::size_t>(r.height));
        const int stripe = 1 + picture % 5;
        for (int y = 0; y < r.height; ++y)
            for (int x = 0; x < r.width; ++x) {
                const bool dark = picture % 3 == 0 ? random() % 2 == 0
                                  : picture % 3 == 1 ? (x / stripe + (random() % 8 == 0)) % 2 == 0
                                                     : false;
                r.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(r.width) + static_cast<std::size_t>(x)] =
                    dark ? 0 : 255;
            }
        for (int s = 0; s < korvane::SYMBOLOGY_COUNT; ++s) {
            SCOPED_TRACE("picture " + std::to_string(picture) + ", symbology " + std::to_string(s));
            const auto symbology = static_cast<Symbology>(s);
            // Pharmacode has no start pattern and no check: any bars of its two
            // widths between quiet zones are a number, stripes among them. DAFT
            // likewise: any bars of one width on one pitch are its states.
            if (symbology == Symbology::Pharmacode || symbology == Symbology::Daft)
                continue;
            const korvane::detail::Reading read = symbology == Symbology::Aztec
                                                      ? korvane::detail::readAztec(r)
                                                      : korvane::detail::readLinear(r, symbology);
            EXPECT_FALSE(read.ok) << read.data;
            EXPECT_FALSE(read.failure.empty());
        }
    }
}

}  // namespace
