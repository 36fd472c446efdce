// PDF417 through the library: options to symbol, escapes to ECI, and
// verify() reading the laid-out drawing with our reader.

#include "Pdf417TestSupport.h"

#include <korvane/Encode.h>
#include <korvane/Layout.h>
#include <korvane/Verify.h>

#include <gtest/gtest.h>

namespace {

korvane::Result<korvane::Symbol> make(const std::string& data, const korvane::EncodeOptions& o) {
    return korvane::encode(korvane::Symbology::Pdf417, data, o);
}

TEST(Pdf417Library, OptionsShapeTheSymbol) {
    korvane::EncodeOptions o;
    o.pdfColumns = 4;
    o.pdfLevel = 3;
    o.rowHeight = 4;
    o.pdfCompact = true;
    auto s = make("Options shape the symbol", o);
    ASSERT_TRUE(s) << s.error().message;
    EXPECT_EQ(s->columns, 17 * 4 + 35);  // start, left indicator, four characters, one-module stop
    EXPECT_EQ(s->moduleAspect, 4);
    EXPECT_EQ(s->facts.pdf417.level, 3);
    EXPECT_EQ(s->facts.pdf417.rows * 4, s->facts.pdf417.dataCodewords + s->facts.pdf417.checkCodewords);
    EXPECT_EQ(s->rows, s->facts.pdf417.rows);
    EXPECT_TRUE(korvane::findSymbology("PDF") == korvane::Symbology::Pdf417);
    o.check = true;
    EXPECT_FALSE(make("x", o));
}

// "~E000026" is the ECI for UTF-8: zxing-cpp turns the bytes into that text.
TEST(Pdf417Library, EscapesCarryEci) {
    korvane::EncodeOptions o;
    o.escapes = true;
    auto s = make("~E000026Grüße", o);
    ASSERT_TRUE(s) << s.error().message;
    EXPECT_EQ(s->facts.data, "Grüße");
    std::vector<std::uint8_t> modules;
    for (int r = 0; r < s->rows; ++r)
        for (int c = 0; c < s->columns; ++c)
            modules.push_back(s->dark(r, c) ? 1 : 0);
    const testsupport::Decoded d = pdf417test::readWithZxing(modules, s->rows, s->columns);
    ASSERT_TRUE(d.ok) << d.error;
    EXPECT_EQ(d.text, "Grüße");
    EXPECT_TRUE(d.hasECI);
}

// verify() lays the symbol out, renders it and reads it with our reader, at
// every rotation, with the macro and reader-initialisation marks compared.
TEST(Pdf417Library, VerifiesAtEveryRotation) {
    korvane::EncodeOptions o;
    o.readerInit = true;
    o.structuredAppend = {2, 5, "123"};
    auto s = make("Verified at every rotation 0123456789", o);
    ASSERT_TRUE(s) << s.error().message;
    for (int rotation : {0, 90, 180, 270}) {
        korvane::LayoutOptions l;
        l.rotation = rotation;
        auto d = korvane::layout(*s, l);
        ASSERT_TRUE(d) << d.error().message;
        const korvane::Verdict v = korvane::verify(*d, *s);
        EXPECT_TRUE(v.ok) << rotation << ": " << v.reason;
        EXPECT_EQ(v.read, "Verified at every rotation 0123456789");
        EXPECT_EQ(v.correctedCodewords, 0);
    }
}

}  // namespace
