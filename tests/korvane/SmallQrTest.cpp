// Micro QR and rMQR: module for module against zint where the encodation is
// fixed, no larger than zint's elsewhere, read back by the library's own
// readers, the refusals, and the tables held against the symbols' geometry.

#include "KorvaneTestUtil.h"

#include "qr/Qr.h"
#include "qr/SmallQrTables.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using korvane::EncodeOptions;
using korvane::QrLevel;
using korvane::Symbology;

namespace {

// zint's type numbers.
constexpr int ZINT_MICROQR = 97;
constexpr int ZINT_RMQR = 145;

// The symbol's rows as '0'/'1' strings.
std::vector<std::string> rowsOf(const korvane::Symbol& s) {
    std::vector<std::string> rows;
    for (int r = 0; r < s.rows; ++r) {
        std::string row;
        for (int c = 0; c < s.columns; ++c)
            row += s.modules[static_cast<std::size_t>(r * s.columns + c)] ? '1' : '0';
        rows.push_back(row);
    }
    return rows;
}

// zint's rows cut to `columns` (its dump pads them to whole hexadecimal digits).
std::vector<std::string> zintRowsCut(int type, const std::string& data, const std::string& extra, int columns) {
    std::vector<std::string> rows = kvtest::zintRows(type, data, extra);
    for (std::string& r : rows)
        r.resize(static_cast<std::size_t>(columns), '0');
    return rows;
}

EncodeOptions fixed(QrLevel level, int version, int mask, int rmqrHeight = 0, int rmqrWidth = 0) {
    return kvtest::options([&](EncodeOptions& o) {
        o.qrLevel = level;
        o.qrVersion = version;
        o.qrMask = mask;
        o.qrBoost = false;
        o.rmqrHeight = rmqrHeight;
        o.rmqrWidth = rmqrWidth;
    });
}

}  // namespace

// Digits at a fixed version, level and mask have one encodation: every
// version and level of Micro QR under each mask, and rMQR sizes of every
// height at both levels.
TEST(SmallQr, ModulesMatchZint) {
    const struct {
        Symbology s;
        const char* data;
        EncodeOptions o;
        const char* zintOptions;
    } CASES[] = {
        {Symbology::MicroQr, "12345", fixed(QrLevel::L, 1, 0), "--vers=1 --secure=1 --mask=0"},
        {Symbology::MicroQr, "1234", fixed(QrLevel::L, 1, 3), "--vers=1 --secure=1 --mask=3"},
        {Symbology::MicroQr, "0123456789", fixed(QrLevel::L, 2, 1), "--vers=2 --secure=1 --mask=1"},
        {Symbology::MicroQr, "31415926", fixed(QrLevel::M, 2, 2), "--vers=2 --secure=2 --mask=2"},
        {Symbology::MicroQr, "01234567890123456789", fixed(QrLevel::L, 3, 3), "--vers=3 --secure=1 --mask=3"},
        {Symbology::MicroQr, "8675309", fixed(QrLevel::M, 3, 0), "--vers=3 --secure=2 --mask=0"},
        {Symbology::MicroQr, "01234567890123456789012345678901234", fixed(QrLevel::L, 4, 2),
         "--vers=4 --secure=1 --mask=2"},
        {Symbology::MicroQr, "2718281828", fixed(QrLevel::M, 4, 1), "--vers=4 --secure=2 --mask=1"},
        {Symbology::MicroQr, "123456789012345678901", fixed(QrLevel::Q, 4, 3), "--vers=4 --secure=3 --mask=3"},
        {Symbology::Rmqr, "12345", fixed(QrLevel::M, 0, -1, 7, 43), "--vers=1 --secure=2"},
        {Symbology::Rmqr, "1234", fixed(QrLevel::H, 0, -1, 7, 139), "--vers=5 --secure=4"},
        {Symbology::Rmqr, "98765432109876543210", fixed(QrLevel::M, 0, -1, 9, 77), "--vers=8 --secure=2"},
        {Symbology::Rmqr, "1", fixed(QrLevel::H, 0, -1, 11, 27), "--vers=11 --secure=4"},
        {Symbology::Rmqr, "112358132134", fixed(QrLevel::M, 0, -1, 13, 99), "--vers=21 --secure=2"},
        {Symbology::Rmqr, "4242", fixed(QrLevel::H, 0, -1, 15, 139), "--vers=27 --secure=4"},
        {Symbology::Rmqr, "16180339887498948482", fixed(QrLevel::M, 0, -1, 17, 43), "--vers=28 --secure=2"},
        {Symbology::Rmqr, "000000000000000000000000000000", fixed(QrLevel::H, 0, -1, 17, 139), "--vers=32 --secure=4"},
    };
    for (const auto& c : CASES) {
        const korvane::Symbol s = kvtest::encoded(c.s, c.data, c.o);
        EXPECT_EQ(rowsOf(s), zintRowsCut(c.s == Symbology::MicroQr ? ZINT_MICROQR : ZINT_RMQR, c.data,
                                         c.zintOptions, s.columns))
            << c.data << " " << c.zintOptions;
    }
}
