// Random values of every kind (a thousand each in a normal build), the four
// levels in turn, read back by zxing-cpp and zbar, and by the library's
// reader, which must agree with zxing-cpp.

#include "QrTestSupport.h"

#include <qr/QrKanjiTable.h>

#include <gtest/gtest.h>

using korvane::qr::Level;
using qrtest::Kind;

namespace {

// What a reader should return for `value` of kind `k`: text as typed; bytes
// as given (compared raw); GS1 with GS between the fields.
bool isText(Kind k) { return k != Kind::Bytes; }

}  // namespace

TEST(QrRoundTrip, EveryKindAndLevelReadsBackWithZxingAndZbar) {
    std::mt19937 rng(21);
    for (Kind kind : {Kind::Numeric, Kind::Alphanumeric, Kind::Bytes, Kind::Latin1, Kind::Utf8, Kind::Kanji, Kind::Gs1,
                      Kind::Mixed}) {
        // The levels take turns, so each kind meets all four within its values.
        int failures = 0;
        for (int i = 0; i < qrtest::VALUES && failures < 3; ++i) {
            const auto level = static_cast<Level>(i % 4);
            {
                const std::string value = qrtest::randomValue(kind, rng);
                korvane::Message m = qrtest::message(value);
                m.gs1 = kind == Kind::Gs1;
                korvane::qr::QrOptions o;
                o.level = level;
                const auto symbol = korvane::qr::encode(m, o);
                ASSERT_TRUE(symbol) << symbol.error().message;
                SCOPED_TRACE(std::string(qrtest::kindName(kind)) + " level " + korvane::qr::levelName(level) +
                             " value " + std::to_string(i) + " version " + std::to_string(symbol->version));
                const testsupport::Decoded z = qrtest::zxing(*symbol);
                const std::string zRead = isText(kind) && kind != Kind::Gs1 ? z.text : testsupport::bytesToString(z.bytes);
                const qrtest::ZbarRead b = qrtest::zbar(*symbol, !isText(kind));
                const bool ok = z.ok && zRead == value && b.ok && b.data == value && z.gs1 == (kind == Kind::Gs1);
                EXPECT_TRUE(ok) << "zxing " << (z.ok ? "\"" + zRead + "\"" : z.error) << ", zbar "
                                << (b.ok ? "\"" + b.data + "\"" : "nothing") << ", expected \"" << value << "\"";
                failures += ok ? 0 : 1;
                // The library's reader agrees with zxing-cpp (in a quarter of the cases turned).
                const korvane::detail::Reading r = qrtest::ours(symbol->modules, symbol->size, 2, i % 4 == 3 ? i / 4 % 4 : 0);
                EXPECT_TRUE(r.ok && r.data == zRead && r.gs1 == z.gs1 && r.correctedCodewords == 0 &&
                            r.qrVersion == symbol->version && r.qrMask == symbol->mask)
                    << "our reader: " << (r.ok ? "\"" + r.data + "\"" : r.failure);
                EXPECT_GE(static_cast<int>(symbol->level), static_cast<int>(level));
            }
        }
    }
}

namespace {

std::string utf8(std::uint32_t cp) {
    std::string s;
    if (cp < 0x800) {
        s += static_cast<char>(0xC0 | cp >> 6);
    } else {
        s += static_cast<char>(0xE0 | cp >> 12);
        s += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    }
    return s + static_cast<char>(0x80 | (cp & 0x3F));
}

}  // namespace

// Every JIS X 0208 character, twenty to a symbol, in Kanji mode and (between
// ASCII letters) as Shift JIS bytes under ECI 20.
TEST(QrRoundTrip, EveryJisCharacterReadsBackWithZxingAndZbar) {
    using korvane::qr::detail::QR_KANJI_CODE_POINTS;
    using korvane::qr::detail::QR_KANJI_VALUES;
    std::vector<std::uint32_t> characters;
    for (int v = 0; v < QR_KANJI_VALUES; ++v)
        if (QR_KANJI_CODE_POINTS[v] != 0)
            characters.push_back(QR_KANJI_CODE_POINTS[v]);
    ASSERT_EQ(characters.size(), static_cast<std::size_t>(korvane::qr::detail::QR_KANJI_CHARACTERS));
    for (const char* between : {"", "a"}) {
        for (std::size_t i = 0; i < characters.size(); i += 20) {
            std::string value;
            for (std::size_t k = i; k < i + 20 && k < characters.size(); ++k)
                value += between + utf8(characters[k]);
            const auto symbol = korvane::qr::encode(qrtest::message(value));
            ASSERT_TRUE(symbol) << symbol.error().message;
            const testsupport::Decoded z = qrtest::zxing(*symbol);
            const qrtest::ZbarRead b = qrtest::zbar(*symbol);
            EXPECT_TRUE(z.ok && z.text == value && b.ok && b.data == value)
                << "characters " << i << "-" << i + 19 << ": zxing \"" << z.text << "\", zbar \"" << b.data << "\"";
        }
    }
}
