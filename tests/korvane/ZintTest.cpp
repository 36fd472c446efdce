// The symbologies zxing-cpp does not read, and the places where the library
// follows the published standard rather than the aztec and barlane programs,
// compared module for module with zint, an independent generator.

#include "KorvaneTestUtil.h"

#include <gtest/gtest.h>

using korvane::EncodeOptions;
using korvane::Symbology;

namespace {

// zint's module row with its last nibble's padding removed.
std::string zintModules(int barcode, const std::string& data, const std::string& extra, int row = 0) {
    std::vector<std::string> rows = kvtest::zintRows(barcode, data, extra);
    if (rows.size() <= static_cast<std::size_t>(row))
        return "zint gave no symbol";
    std::string m = rows[static_cast<std::size_t>(row)];
    while (!m.empty() && m.back() == '0')
        m.pop_back();
    return m;
}

EncodeOptions checked(bool on) {
    return kvtest::options([on](EncodeOptions& o) { o.check = on; });
}
EncodeOptions gap(int modules) {
    return kvtest::options([modules](EncodeOptions& o) { o.addOnGap = modules; });
}
EncodeOptions msi(korvane::MsiCheck m) {
    return kvtest::options([m](EncodeOptions& o) { o.msiCheck = m; });
}

}  // namespace

TEST(AgainstZint, ModulesMatch) {
    const struct {
        const char* label;
        Symbology s;
        std::string data;
        EncodeOptions o;
        int zintType;
        const char* zintOptions;
    } cases[] = {
        // Industrial 2 of 5 with narrow spaces, start wnwnnn and stop wnnnw.
        {"industrial", Symbology::Industrial2of5, "123", {}, 7, ""},
        {"industrial check", Symbology::Industrial2of5, "9876543210", checked(true), 7, "--vers=1"},
        // UPC-E parity chosen by the number system of the data.
        {"upce system 0", Symbology::UpcE, "0123456", {}, 37, ""},
        {"upce system 1", Symbology::UpcE, "1123456", {}, 37, ""},
        {"upce rule 3", Symbology::UpcE, "0123043", {}, 37, ""},
        {"upce system 1 rule 4", Symbology::UpcE, "1432194", {}, 37, ""},
        // Add-on gap in modules.
        {"ean13 addon 2", Symbology::Ean13, "590123412345+12", {}, 13, ""},
        {"ean13 addon 5 gap 10", Symbology::Ean13, "590123412345+86104", gap(10), 13, "--addongap=10"},
        {"ean8 addon", Symbology::Ean8, "9638507+05", {}, 13, ""},
        {"upca addon", Symbology::UpcA, "03600029145+12345", {}, 34, ""},
        {"upce addon gap 12", Symbology::UpcE, "0123456+99", gap(12), 37, "--addongap=12"},
        // Symbologies zxing-cpp cannot read.
        {"code11 one check", Symbology::Code11, "123-45", {}, 1, "--vers=1"},
        {"code11 two checks", Symbology::Code11, "0123456789-", {}, 1, ""},
        {"code11 no check", Symbology::Code11, "99", checked(false), 1, "--vers=2"},
        {"msi mod 10", Symbology::Msi, "80523", {}, 47, "--vers=1"},
        {"msi mod 10 mod 10", Symbology::Msi, "80523", msi(korvane::MsiCheck::Mod10Mod10), 47, "--vers=2"},
        {"msi mod 11", Symbology::Msi, "1234", msi(korvane::MsiCheck::Mod11), 47, "--vers=3"},
        {"msi none", Symbology::Msi, "1234567", checked(false), 47, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(kvtest::moduleString(kvtest::encoded(c.s, c.data, c.o)), zintModules(c.zintType, c.data, c.zintOptions));
    }
}

// Postnet is read by bar heights: zint's first row marks the full bars.
TEST(AgainstZint, PostnetBarHeights) {
    for (const char* zip : {"12345", "123456789", "55555123401"}) {
        SCOPED_TRACE(zip);
        const korvane::Symbol s = kvtest::encoded(Symbology::Postnet, zip);
        std::string ours;
        for (std::size_t i = 0; i < s.kinds.size(); i += 2)
            ours += s.kinds[i] == korvane::BarKind::Short ? '0' : '1';
        const std::vector<std::string> rows = kvtest::zintRows(40, zip);
        ASSERT_EQ(rows.size(), 2u);
        std::string theirs;
        for (std::size_t x = 0; x < rows[1].size(); x += 2)
            if (rows[1][x] == '1')
                theirs += rows[0][x];
        EXPECT_EQ(ours, theirs);
    }
}

// Matrix 2 of 5: zint draws a longer bar in start and stop; the digits agree.
TEST(AgainstZint, Matrix2of5Digits) {
    const std::string ours = kvtest::moduleString(kvtest::encoded(Symbology::Matrix2of5, "0123456789"));
    const std::string theirs = zintModules(2, "0123456789", "");
    // Starts of 8 and 9 modules; each digit is 10 modules with its gap.
    constexpr std::size_t OUR_START = 8, THEIR_START = 9, DIGITS = 10 * 10;
    EXPECT_EQ(ours.substr(OUR_START, DIGITS), theirs.substr(THEIR_START, DIGITS));
}
