// Against zint, an independent generator: numeric data has one encodation,
// so with version, level and mask fixed the matrices must agree module for
// module; with the mask left free, the masks chosen must agree as well.

#include "QrTestSupport.h"

#include <gtest/gtest.h>

using korvane::qr::Level;

namespace {

struct NumericCase {
    std::string digits;
    int version;
    Level level;
    int mask;
};

// 300 values over all versions and levels, each as long as a random share of
// what its version holds.
std::vector<NumericCase> numericCases() {
    std::mt19937 rng(18004);
    std::vector<NumericCase> cases;
    for (int i = 0; i < 300; ++i) {
        NumericCase c;
        c.version = 1 + i % 40;
        c.level = static_cast<Level>(rng() % 4);
        c.mask = static_cast<int>(rng() % 8);
        const int countBits = c.version <= 9 ? 10 : c.version <= 26 ? 12 : 14;
        const int bits = korvane::qr::detail::dataCodewords(c.version, c.level) * 8 - 4 - countBits;
        const int most = bits / 10 * 3 + (bits % 10 >= 7 ? 2 : bits % 10 >= 4 ? 1 : 0);
        const int length = 1 + static_cast<int>(rng() % static_cast<unsigned>(most));
        for (int k = 0; k < length; ++k)
            c.digits += static_cast<char>('0' + rng() % 10);
        cases.push_back(c);
    }
    return cases;
}

korvane::qr::QrSymbol ours(const NumericCase& c, int mask) {
    korvane::qr::QrOptions o;
    o.version = c.version;
    o.level = c.level;
    o.mask = mask;
    o.boost = false;
    const auto s = korvane::qr::encode(qrtest::message(c.digits), o);
    EXPECT_TRUE(s) << s.error().message;
    return s ? *s : korvane::qr::QrSymbol{};
}

}  // namespace

TEST(QrAgainstZint, NumericMatricesEqualWithVersionLevelAndMaskFixed) {
    for (const NumericCase& c : numericCases()) {
        SCOPED_TRACE("version " + std::to_string(c.version) + " level " + korvane::qr::levelName(c.level) + " mask " +
                     std::to_string(c.mask) + " digits " + std::to_string(c.digits.size()));
        const korvane::qr::QrSymbol s = ours(c, c.mask);
        const qrtest::ZintSymbol z = qrtest::zint(c.digits, static_cast<int>(c.level) + 1, c.version, c.mask);
        ASSERT_EQ(z.size, s.size) << z.error;
        EXPECT_EQ(s.modules, z.modules);
    }
}

TEST(QrAgainstZint, SameMaskChosen) {
    int differ = 0;
    for (const NumericCase& c : numericCases()) {
        const korvane::qr::QrSymbol s = ours(c, -1);
        const qrtest::ZintSymbol z = qrtest::zint(c.digits, static_cast<int>(c.level) + 1, c.version, -1);
        ASSERT_EQ(z.size, s.size) << z.error;
        const int theirs = qrtest::maskOf(z.modules, z.size);
        if (theirs != s.mask) {
            ++differ;
            // Where they differ, the standard's rules must prefer ours.
            const korvane::qr::QrSymbol alt = ours(c, theirs);
            ADD_FAILURE() << "version " << c.version << " level " << korvane::qr::levelName(c.level) << ": mask "
                          << s.mask << " (penalty " << korvane::qr::detail::penalty(s.modules, s.size)
                          << "), zint " << theirs << " (penalty "
                          << korvane::qr::detail::penalty(alt.modules, alt.size) << ")";
        }
    }
    EXPECT_EQ(differ, 0);
}
