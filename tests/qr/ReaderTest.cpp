// The library's reader on symbols it did not make (zint's), on damaged
// symbols up to what their check words correct, and on the markers of the
// bit stream; zxing-cpp reads the same pictures and must agree.

#include "QrTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using korvane::qr::Level;

TEST(QrReader, ReadsZintSymbolsOfEveryVersionAsZxingDoes) {
    std::mt19937 rng(40);
    for (int version = 1; version <= 40; ++version) {
        const int level = 1 + version % 4;
        std::string value;
        const int room = korvane::qr::detail::dataCodewords(version, static_cast<Level>(level - 1)) - 3;
        for (int i = 0, n = 1 + static_cast<int>(rng() % std::min(40, room)); i < n; ++i)
            value += static_cast<char>(0x20 + rng() % 95);
        const qrtest::ZintSymbol z = qrtest::zint(value, level, version);
        ASSERT_GT(z.size, 0) << z.error;
        const korvane::detail::Reading r = qrtest::ours(z.modules, z.size, 2, version % 4);
        korvane::qr::QrSymbol asSymbol;
        asSymbol.size = z.size;
        asSymbol.modules = z.modules;
        const testsupport::Decoded zx = qrtest::zxing(asSymbol);
        EXPECT_TRUE(r.ok && zx.ok && r.data == zx.text && r.qrVersion == version)
            << "version " << version << ": ours " << (r.ok ? r.data : r.failure) << ", zxing " << zx.text;
    }
}

TEST(QrReader, CorrectsDamageUpToTheCheckWordsCapacity) {
    std::mt19937 rng(30);
    for (int trial = 0; trial < 48; ++trial) {
        korvane::qr::QrOptions o;
        o.level = static_cast<Level>(trial % 4);
        o.version = 1 + static_cast<int>(rng() % 40);
        o.boost = false;
        std::string value;
        const int room = korvane::qr::detail::dataCodewords(o.version, o.level) - 3;
        for (int i = 0, n = 1 + static_cast<int>(rng() % std::min(30, room)); i < n; ++i)
            value += static_cast<char>(rng() % 256);
        const auto symbol = korvane::qr::encode(qrtest::message(value), o);
        ASSERT_TRUE(symbol) << symbol.error().message;
        // Codewords are dealt to the blocks in turn, so the first t x blocks
        // of them put t errors in every block.
        const int perBlock = symbol->checkCodewords / symbol->blocks / 2;
        const int wrong = perBlock * symbol->blocks;
        const auto places = korvane::detail::qrCodewordModules(symbol->version);
        korvane::qr::QrSymbol damaged = *symbol;
        for (int k = 0; k < wrong; ++k) {
            const auto [row, col] = places[static_cast<std::size_t>(8 * k) + rng() % 8];
            damaged.modules[static_cast<std::size_t>(row * damaged.size + col)] ^= 1;
        }
        SCOPED_TRACE("version " + std::to_string(o.version) + " level " + korvane::qr::levelName(o.level));
        const korvane::detail::Reading r = qrtest::ours(damaged.modules, damaged.size, 2, trial % 4);
        const testsupport::Decoded zx = qrtest::zxing(damaged);
        EXPECT_TRUE(zx.ok && testsupport::bytesToString(zx.bytes) == value) << "zxing: " << zx.error;
        EXPECT_TRUE(r.ok && r.data == value) << (r.ok ? "read other data" : r.failure);
        EXPECT_EQ(r.correctedCodewords, wrong);
    }
}

TEST(QrReader, MarkersOfTheStream) {
    const auto gs1 = [] {
        korvane::Message m = qrtest::message("0109501101530003\x1D" "10AB12");
        m.gs1 = true;
        return m;
    };
    const auto second = [](const char* indicator, const char* data) {
        korvane::Message m = qrtest::message(std::string(indicator) + data);
        m.markers.push_back({korvane::MarkerKind::Fnc1, std::string(indicator).size(), 0});
        return m;
    };
    const auto twoSeparators = [] {
        korvane::Message m = qrtest::message("10AB\x1D\x1D" "21XY");
        m.gs1 = true;
        return m;
    };
    const auto eci = [] {
        korvane::Message m = qrtest::message("caf\xE9");
        m.markers.push_back({korvane::MarkerKind::Eci, 0, 3});
        return m;
    };
    const auto set = [] {
        korvane::Message m = qrtest::message("PART TWO");
        m.structuredAppend = {2, 3, "123"};
        return m;
    };
    const struct {
        const char* label;
        korvane::Message message;
        std::string read;     // by our reader and zxing-cpp (its bytes)
        bool gs1;
        int index, count, parity;
    } cases[] = {
        {"GS1", gs1(), "0109501101530003\x1D" "10AB12", true, 0, 0, -1},
        // "%%" would be a percent sign: the first separator goes in byte mode.
        {"two separators in a row", twoSeparators(), "10AB\x1D\x1D" "21XY", true, 0, 0, -1},
        {"FNC1 second, digits", second("37", "ABC"), "37ABC", false, 0, 0, -1},
        {"FNC1 second, letter", second("a", "XYZ\x1D" "1"), "aXYZ\x1D" "1", false, 0, 0, -1},
        {"ECI 3", eci(), "caf\xE9", false, 0, 0, -1},
        {"structured append", set(), "PART TWO", false, 2, 3, 123},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const auto symbol = korvane::qr::encode(c.message);
        ASSERT_TRUE(symbol) << symbol.error().message;
        EXPECT_EQ(symbol->readerData, c.read);
        const korvane::detail::Reading r = qrtest::ours(symbol->modules, symbol->size);
        ASSERT_TRUE(r.ok) << r.failure;
        EXPECT_EQ(r.data, c.read);
        EXPECT_EQ(r.gs1, c.gs1);
        EXPECT_EQ(r.structuredIndex, c.index);
        EXPECT_EQ(r.structuredCount, c.count);
        EXPECT_EQ(r.structuredParity, c.parity);
        const testsupport::Decoded zx = qrtest::zxing(*symbol);
        EXPECT_EQ(testsupport::bytesToString(zx.bytes), c.read);
        EXPECT_EQ(zx.gs1, c.gs1);
        EXPECT_EQ(zx.sequenceIndex, c.index > 0 ? c.index - 1 : -1);
        EXPECT_EQ(zx.sequenceSize, c.count > 0 ? c.count : -1);
    }
}
