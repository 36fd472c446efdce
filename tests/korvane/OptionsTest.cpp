// The option table: every field of EncodeOptions has a row, a C field and a
// rule for where it applies.

#include "KorvaneTestUtil.h"

#include "CApiFields.h"
#include <korvane/Options.h>
#include <korvane/korvane.h>

#include <gtest/gtest.h>

#include <algorithm>

TEST(OptionTable, EveryOptionHasARowAndACField) {
    // A field added to EncodeOptions or kv_encode_options breaks one of these
    // bindings: give it a row in the option table (korvane/Options.cpp), a C
    // field read in CApi.cpp and a command option, then name it here.
    korvane::EncodeOptions o;
    [[maybe_unused]] auto& [check, escapes, gs1, eci, wideRatio, code128Start, msiCheck, codabarStart, codabarStop,
                            upceSystem, addOn, addOnGap, aztecEncoder, eccPercent, eccExtraWords, minSize, compactOnly,
                            fullOnly, bytes, readerInit, structuredAppend, qrLevel, qrVersion, qrMask, qrBoost, qrKanji,
                            dmRows, dmColumns, dmShape, dmre, pdfLevel, pdfColumns, pdfRows, pdfCompact, pdfAspect,
                            rowHeight, pdfMacro] = o;
    constexpr std::size_t CPP_FIELDS = 37;  // the Data Matrix size takes two
    kv_encode_options c;
    [[maybe_unused]] auto& [cSize, cCheck, cEscapes, cGs1, cEci, cWide, cStart, cMsi, cCodabarStart, cCodabarStop, cUpce,
                            cAddOn, cGap, cSpecified, cEcc, cExtra, cMinSize, cCompact, cFull, cBytes, cReaderInit,
                            cIndex, cCount, cId, cQrLevel, cQrVersion, cQrMask, cQrNoBoost, cQrNoKanji, cDmRows,
                            cDmColumns, cDmShape, cDmre, cPdfLevel, cPdfColumns, cPdfRows, cPdfCompact, cPdfAspect,
                            cRowHeight, cFileName, cTimeStamp, cSender, cAddressee, cFileSize, cChecksum] = c;
    // Structured append takes three, the Data Matrix size two, the Macro PDF417 fields six;
    // the struct's own size one more.
    constexpr std::size_t C_FIELDS = 45;

    std::size_t rows = 0;
    const korvane::EncodeOptionInfo* table = korvane::encodeOptionTable(rows);
    EXPECT_EQ(rows + 1, CPP_FIELDS);
    const std::vector<std::string_view> cNames = korvane::detail::cEncodeOptionNames();
    EXPECT_EQ(cNames.size(), rows);
    EXPECT_EQ(C_FIELDS, rows + 9);
    for (std::size_t i = 0; i < rows; ++i) {
        SCOPED_TRACE(std::string(table[i].name));
        EXPECT_NE(std::find(cNames.begin(), cNames.end(), table[i].cName), cNames.end());
        EXPECT_EQ(korvane::findEncodeOption(table[i].name), &table[i]);
        EXPECT_FALSE(table[i].isSet(korvane::EncodeOptions{}));
    }
}

// The C API refuses what the C++ API refuses, with the same words.
TEST(OptionTable, CApiSharesThePolicy) {
    kv_encode_options c;
    kv_encode_options_init(&c);
    c.ecc_percent = 40;
    kv_symbol* symbol = nullptr;
    char error[256] = "";
    EXPECT_EQ(kv_encode("ean13", "590123412345", 12, &c, &symbol, error, sizeof error), KV_INVALID_OPTION);
    korvane::EncodeOptions o;
    o.eccPercent = 40;
    EXPECT_EQ(std::string(error), korvane::encode(korvane::Symbology::Ean13, "590123412345", o).error().message);
    kv_encode_options_init(&c);
    c.gs1 = 1;
    c.compact_only = 1;
    ASSERT_EQ(kv_encode("aztec", "(01)09501101530003", 18, &c, &symbol, error, sizeof error), KV_OK) << error;
    EXPECT_EQ(kv_symbol_width_modules(symbol), kv_symbol_height_modules(symbol));
    kv_symbol_free(symbol);
}
