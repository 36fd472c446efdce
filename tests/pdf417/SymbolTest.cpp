// PDF417 symbols: check words, and symbols read back by zxing-cpp and
// compared row for row with zint's.

#include "Pdf417TestSupport.h"

#include <gtest/gtest.h>

namespace {

namespace pdf = korvane::pdf417;
using pdf417test::Kind;

// ISO/IEC 15438's worked example: "PDF417" at level 1.
TEST(Pdf417Check, WorkedExample) {
    EXPECT_EQ(pdf::detail::checkWords({5, 453, 178, 121, 239}, 4), (std::vector<int>{452, 327, 657, 619}));
}

TEST(Pdf417Check, RecommendedLevels) {
    const std::pair<int, int> cases[] = {{1, 2}, {40, 2}, {41, 3}, {160, 3}, {161, 4}, {320, 4}, {321, 5}, {863, 5}};
    for (auto [data, level] : cases)
        EXPECT_EQ(pdf::detail::recommendedLevel(data), level) << data;
}

testsupport::Decoded read(const pdf::Symbol& s, int rowHeight = 3) {
    return pdf417test::readWithZxing(s.modules, s.rows, s.width, rowHeight);
}

struct KindCase {
    const char* label;
    Kind kind;
    int maxLength;
};
const KindCase KINDS[] = {
    {"text", Kind::Text, 120},       {"digits", Kind::Digits, 200}, {"bytes", Kind::Bytes, 100},
    {"mixed", Kind::Mixed, 120},     {"UTF-8 with ECI 26", Kind::Utf8, 40},
    {"digit runs inside text", Kind::DigitRunsInText, 40},
};

// Random values of every kind at every level, read by zxing-cpp.
TEST(Pdf417Symbol, RandomValuesReadByZxing) {
    std::mt19937 rng(4171);
    for (const KindCase& k : KINDS) {
        for (int i = 0; i < pdf417test::scaled(1000); ++i) {
            korvane::Message m = pdf417test::plain(pdf417test::randomValue(rng, k.kind, k.maxLength));
            if (k.kind == Kind::Utf8)
                m.markers.push_back({korvane::MarkerKind::Eci, 0, 26});
            pdf::Options o;
            o.level = i % 9;
            o.compact = i % 7 == 3;
            auto s = pdf::encode(m, o);
            ASSERT_TRUE(s) << k.label << ": " << s.error().message;
            const testsupport::Decoded d = read(*s);
            ASSERT_TRUE(d.ok) << k.label << " level " << o.level << ": " << d.error << " for "
                              << testing::PrintToString(m.bytes);
            if (k.kind == Kind::Utf8)
                ASSERT_EQ(d.text, m.bytes) << k.label;
            else
                ASSERT_EQ(std::string(d.bytes.begin(), d.bytes.end()), m.bytes) << k.label << " level " << o.level;
        }
    }
}

// With columns and level fixed, digits alone have one shortest stream, so
// the rows must be zint's to the module.
TEST(Pdf417Symbol, DigitRowsMatchZint) {
    std::mt19937 rng(15438);
    for (int i = 0; i < pdf417test::scaled(300); ++i) {
        std::string digits;
        const int n = std::uniform_int_distribution<int>(10, 44)(rng);
        for (int j = 0; j < n; ++j)
            digits += static_cast<char>('0' + std::uniform_int_distribution<int>(0, 9)(rng));
        pdf::Options o;
        o.level = i % 9;
        o.columns = o.level < 6 ? 1 + i % 12 : 8 + i % 23;  // level 8's 512 check words need 6 columns
        auto s = pdf::encode(pdf417test::plain(digits), o);
        ASSERT_TRUE(s) << s.error().message;
        const auto zint = pdf417test::zintRows(55, "--secure=" + std::to_string(o.level) + " --cols=" +
                                                      std::to_string(o.columns), digits, s->width);
        ASSERT_EQ(pdf417test::rowsOf(s->modules, s->rows, s->width), zint)
            << digits << " level " << o.level << " columns " << o.columns;
    }
}

}  // namespace
