// The option table: every field of EncodeOptions has a row, a C field and a
// rule for where it applies.

#include "KorvaneTestUtil.h"

#include "CApiFields.h"
#include <korvane/Options.h>
#include <korvane/Request.h>
#include <korvane/korvane.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

TEST(OptionTable, EveryOptionHasARowAndACField) {
    // A field added to EncodeOptions or kv_encode_options breaks one of these
    // bindings: give it a row in the option table (korvane/Options.cpp), a C
    // field read in CApi.cpp and a command option, then name it here.
    korvane::EncodeOptions o;
    [[maybe_unused]] auto& [check, escapes, gs1, eci, wideRatio, code128Start, msiCheck, codabarStart, codabarStop,
                            upceSystem, addOn, addOnGap, aztecEncoder, eccPercent, eccExtraWords, minSize, compactOnly,
                            fullOnly, bytes, readerInit, structuredAppend, qrLevel, qrVersion, qrMask, qrBoost, qrKanji,
                            dmRows, dmColumns, dmShape, dmre, pdfLevel, pdfColumns, pdfRows, pdfCompact, pdfAspect,
                            rowHeight, pdfMacro, gs1DigitalLink, gs1DlDomain, databarSegments, rmqrHeight,
                            rmqrWidth] = o;
    constexpr std::size_t CPP_FIELDS = 42;  // the Data Matrix and rMQR sizes take two
    kv_encode_options c;
    [[maybe_unused]] auto& [cSize, cCheck, cEscapes, cGs1, cEci, cWide, cStart, cMsi, cCodabarStart, cCodabarStop, cUpce,
                            cAddOn, cGap, cSpecified, cEcc, cExtra, cMinSize, cCompact, cFull, cBytes, cReaderInit,
                            cIndex, cCount, cId, cQrLevel, cQrVersion, cQrMask, cQrNoBoost, cQrNoKanji, cDmRows,
                            cDmColumns, cDmShape, cDmre, cPdfLevel, cPdfColumns, cPdfRows, cPdfCompact, cPdfAspect,
                            cRowHeight, cFileName, cTimeStamp, cSender, cAddressee, cFileSize, cChecksum, cGs1Dl,
                            cGs1DlDomain, cDatabarSegments, cRmqrHeight, cRmqrWidth] = c;
    // Structured append takes three, the Data Matrix and rMQR sizes two, the Macro PDF417 fields six;
    // the struct's own size one more.
    constexpr std::size_t C_FIELDS = 50;

    std::size_t rows = 0;
    const korvane::EncodeOptionInfo* table = korvane::encodeOptionTable(rows);
    EXPECT_EQ(rows + 2, CPP_FIELDS);
    const std::vector<std::string_view> cNames = korvane::detail::cEncodeOptionNames();
    EXPECT_EQ(cNames.size(), rows);
    EXPECT_EQ(C_FIELDS, rows + 10);
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

// The layout rows set LayoutOptions from the command's text, refuse as the
// command does, and give checkLayoutOptions() its limits.
TEST(LayoutOptionTable, RowsSetAndRefuseAsTheCommand) {
    struct Case {
        const char* name;
        const char* text;
        const char* refusal;  // "" when taken
        bool (*holds)(const korvane::LayoutOptions&);
    };
    using L = const korvane::LayoutOptions&;
    const Case cases[] = {
        {"dpi", "600", "", [](L l) { return l.dpi == 600; }},
        {"dpi", "NONE", "", [](L l) { return l.dpi == 0; }},
        {"dpi", "0", "'0' is out of range; it must be 1 to 10000", nullptr},
        {"x-dim", "13mil", "", [](L l) { return l.xDim && l.xDim->unit == korvane::Unit::Mil; }},
        {"x-dim", "5x", "'5x' is not a length", nullptr},
        {"height", "50x", "", [](L l) { return l.height && l.height->inModules() && l.height->value == 50; }},
        {"quiet-zone", "2mm,3", "", [](L l) {
             return l.quietLeft && l.quietRight && l.quietLeft->unit == korvane::Unit::Mm &&
                    l.quietVertical->value == 3 && l.quietVertical->inModules();
         }},
        {"no-text", "", "", [](L l) { return !l.text; }},
        {"no-text", "0", "", [](L l) { return l.text; }},
        {"fg", "navy", "", [](L l) { return l.foreground.b > 0 && l.foreground.r == 0; }},
        {"fg", "none", "the bars must be drawn in an opaque colour", nullptr},
        {"bg", "none", "", [](L l) { return l.background.transparent(); }},
        {"rotate", "270", "", [](L l) { return l.rotation == 270; }},
        {"rotate", "45", "'45' is not 0, 90, 180 or 270", nullptr},
        {"bogus", "1", "no option 'bogus'", nullptr},
    };
    for (const Case& c : cases) {
        korvane::LayoutOptions l;
        const korvane::Status set = korvane::setLayoutOption(l, c.name, c.text);
        const std::string what = std::string(c.name) + "=" + c.text;
        if (*c.refusal == '\0') {
            ASSERT_TRUE(set) << what << ": " << set.error().message;
            EXPECT_TRUE(c.holds(l)) << what;
        } else {
            ASSERT_FALSE(set) << what;
            EXPECT_EQ(set.error().message.rfind(c.refusal, 0), 0u) << what << ": " << set.error().message;
        }
    }
}

TEST(LayoutOptionTable, CheckLayoutOptionsReadsTheRowsLimits) {
    std::size_t count = 0;
    const korvane::LayoutOptionInfo* rows = korvane::layoutOptionTable(count);
    ASSERT_GT(count, 0u);
    for (std::size_t i = 0; i < count; ++i)
        EXPECT_EQ(korvane::findLayoutOption(rows[i].name), &rows[i]);
    // Values typed by the packages and assigned through a row: just within, and just beyond, its limit.
    const auto checked = [](const char* name, double value) {
        korvane::LayoutOptions l;
        const korvane::LayoutOptionInfo& row = *korvane::findLayoutOption(name);
        if (row.kind == korvane::OptionKind::Length) {
            const korvane::Length length = korvane::mm(value);
            korvane::assignLayoutLengths(row, l, &length, 1);
        } else
            korvane::assignLayoutNumber(row, l, value);
        return static_cast<bool>(korvane::checkLayoutOptions(l, korvane::Symbology::Code128));
    };
    for (const char* name : {"dpi", "x-dim", "height", "bwr", "font-size"}) {
        const double high = korvane::findLayoutOption(name)->high;
        EXPECT_TRUE(checked(name, high)) << name;
        EXPECT_FALSE(checked(name, high * 1.01)) << name;
    }
    EXPECT_TRUE(checked("rotate", 180));
    EXPECT_FALSE(checked("rotate", 100));
}

// A request takes options of either table by name, refuses an encode option
// for a symbology it means nothing for (even at its default), names the option
// in every refusal, and checks what needs no data in one place.
TEST(Request, OptionsByNameCheckedInOnePlace) {
    struct Case {
        korvane::Symbology symbology;
        std::vector<std::pair<const char*, const char*>> options;
        const char* refusal;  // "" when taken
    };
    using korvane::Symbology;
    const Case cases[] = {
        {Symbology::Qr, {{"qr-level", "Q"}, {"x-dim", "0.5mm"}, {"fg", "navy"}}, ""},
        {Symbology::Code128, {{"ecc", "23"}}, "the option ecc does not apply to Code 128"},
        {Symbology::Code128, {{"qr-level", "M"}}, "the option qr-level does not apply to Code 128"},
        {Symbology::Aztec, {{"ecc", "95"}}, "ecc: '95' is out of range; it must be"},
        {Symbology::Code128, {{"rotate", "45"}}, "rotate: '45' is not 0, 90, 180 or 270"},
        {Symbology::Code128, {{"colour", "red"}}, "no option 'colour'"},
        {Symbology::Qr, {{"height", "20mm"}}, "height does not apply"},
    };
    for (const Case& c : cases) {
        korvane::Request request;
        request.symbology = c.symbology;
        request.data = "DATA";
        korvane::Status status = korvane::Done{};
        for (const auto& [name, text] : c.options)
            if (status)
                status = korvane::setOption(request, name, text);
        if (status)
            status = korvane::checkRequest(request);
        const std::string what = std::string(korvane::symbologyInfo(c.symbology).name) + " " + c.options[0].first;
        if (*c.refusal == '\0') {
            ASSERT_TRUE(status) << what << ": " << status.error().message;
            EXPECT_TRUE(korvane::encode(request)) << what;
        } else {
            ASSERT_FALSE(status) << what;
            EXPECT_NE(status.error().message.find(c.refusal), std::string::npos) << what << ": " << status.error().message;
        }
    }
}
