// Every symbology read back by verify() over a table of values and a table of
// layouts (turns, resolutions, bar width reduction, colours), and by zxing-cpp
// where it reads the symbology: both must read what was encoded.

#include "VerifyTestSupport.h"

#include <gtest/gtest.h>

namespace {

using korvane::EncodeOptions;
using korvane::LayoutOptions;
using korvane::MsiCheck;
using korvane::Symbology;
using verifytest::Value;

// zxing-cpp 1.4 (Debian) reads these valid symbols wrongly: it takes a
// leading GS byte for the GS1 marker, and reads the padding of a short last
// codeword as a byte shift. The library's readers decide; zxing's reading is
// not compared.
enum class Zxing { Reads, Misreads };

struct Row {
    Value value;
    Zxing zxing = Zxing::Reads;
};

const Row VALUES[] = {
    {{"Code 39, all specials, check, ratio 2", Symbology::Code39, "CODE-39 $/+%.",
      [](EncodeOptions& o) { o.check = true; o.wideRatio = 2; }}},
    {{"Code 39, digits, ratio 3", Symbology::Code39, "0123456789"}},
    {{"Code 39 full ASCII with check", Symbology::Code39Extended, "Hello, World! {x}",
      [](EncodeOptions& o) { o.check = true; }}},
    {{"Code 39 full ASCII controls", Symbology::Code39Extended, std::string("a\x01~\x7f@`", 6)}},
    {{"Code 93", Symbology::Code93, "TEST93"}},
    {{"Code 93 specials", Symbology::Code93, "CODE 93-$/+%."}},
    {{"Code 93 full ASCII", Symbology::Code93Extended, "Code 93: a~b{c}"}},
    {{"Code 11, check C", Symbology::Code11, "123-45"}},
    {{"Code 11, checks C and K", Symbology::Code11, "12345678901", [](EncodeOptions& o) { o.wideRatio = 3; }}},
    {{"Code 11 without check", Symbology::Code11, "0-9", [](EncodeOptions& o) { o.check = false; }}},
    {{"Codabar", Symbology::Codabar, "123456"}},
    {{"Codabar with its own start and stop", Symbology::Codabar, "C$1.5:/+-D"}},
    {{"Codabar with check, ratio 2", Symbology::Codabar, "40156",
      [](EncodeOptions& o) { o.check = true; o.wideRatio = 2; o.codabarStart = 'C'; o.codabarStop = 'D'; }}},
    {{"MSI modulo 10", Symbology::Msi, "80523"}},
    {{"MSI modulo 11", Symbology::Msi, "1234", [](EncodeOptions& o) { o.msiCheck = MsiCheck::Mod11; }}},
    {{"MSI modulo 11 and 10", Symbology::Msi, "1234", [](EncodeOptions& o) { o.msiCheck = MsiCheck::Mod11Mod10; }}},
    {{"MSI modulo 10 twice, ratio 3", Symbology::Msi, "123456789",
      [](EncodeOptions& o) { o.msiCheck = MsiCheck::Mod10Mod10; o.wideRatio = 3; }}},
    {{"MSI without check", Symbology::Msi, "4711", [](EncodeOptions& o) { o.check = false; }}},
    {{"Interleaved 2 of 5", Symbology::Interleaved2of5, "12345670"}},
    {{"Interleaved 2 of 5 with check, ratio 2", Symbology::Interleaved2of5, "1234567",
      [](EncodeOptions& o) { o.check = true; o.wideRatio = 2; }}},
    {{"Industrial 2 of 5 with check", Symbology::Industrial2of5, "123456", [](EncodeOptions& o) { o.check = true; }}},
    {{"Industrial 2 of 5, ratio 2", Symbology::Industrial2of5, "0042", [](EncodeOptions& o) { o.wideRatio = 2; }}},
    {{"Matrix 2 of 5", Symbology::Matrix2of5, "0123456789"}},
    {{"LOGMARS with check", Symbology::Logmars, "NSN-4240", [](EncodeOptions& o) { o.check = true; }}},
    {{"VIN", Symbology::Vin, "1M8GDM9AXKP042788"}},
    {{"PZN", Symbology::Pzn, "1234567", [](EncodeOptions& o) { o.wideRatio = 2; }}},
    {{"Code 32", Symbology::Code32, "12345678"}},
    {{"IATA 2 of 5 with check", Symbology::Iata2of5, "0123456789", [](EncodeOptions& o) { o.check = true; }}},
    {{"Datalogic 2 of 5, ratio 2", Symbology::Datalogic2of5, "98765", [](EncodeOptions& o) { o.wideRatio = 2; }}},
    {{"Plessey", Symbology::Plessey, "0123456789ABCDEF"}},
    {{"Telepen", Symbology::Telepen, "Telepen 0-9 ~x"}},
    {{"Telepen numeric with X", Symbology::TelepenNumeric, "4012X"}},
    {{"GS1 DataBar", Symbology::DataBar, "0950110153001"}},
    {{"GS1 DataBar Truncated", Symbology::DataBarTruncated, "(01)20012345678909"}},
    {{"GS1 DataBar Expanded, weight and date", Symbology::DataBarExpanded, "(01)98898765432106(3202)012345(15)991231"}},
    {{"GS1 DataBar Expanded, price and lot", Symbology::DataBarExpanded, "(01)90012345678908(3922)795(10)ABC"}},
    {{"GS1 DataBar Expanded, ISO 646", Symbology::DataBarExpanded, "(10)abc-DEF.12345678(21)x_y!"}},
    {{"GS1 DataBar Stacked", Symbology::DataBarStacked, "0950110153001"}},
    {{"GS1 DataBar Stacked Omnidirectional", Symbology::DataBarStackedOmni, "1234567890123"}},
    {{"GS1 DataBar Expanded Stacked, a row turned round", Symbology::DataBarExpandedStacked,
      "(01)98898765432106(3202)012345(15)991231(10)ABC"}},
    {{"GS1 DataBar Expanded Stacked, two segments a row", Symbology::DataBarExpandedStacked, "(21)ABC123",
      [](EncodeOptions& o) { o.databarSegments = 2; }}},
    {{"EAN-13", Symbology::Ean13, "590123412345"}},
    {{"EAN-13, 2-digit add-on", Symbology::Ean13, "400638133393+12"}},
    {{"EAN-13, 5-digit add-on, gap 7", Symbology::Ean13, "978014300723+52495",
      [](EncodeOptions& o) { o.addOnGap = 7; }}},
    {{"EAN-8", Symbology::Ean8, "5512345"}},
    {{"EAN-8, 2-digit add-on", Symbology::Ean8, "9638507+05"}},
    {{"UPC-A", Symbology::UpcA, "03600029145"}},
    {{"UPC-A, 5-digit add-on", Symbology::UpcA, "01234567890+12345"}},
    {{"UPC-E, number system 0", Symbology::UpcE, "0123456"}},
    {{"UPC-E, number system 1, add-on", Symbology::UpcE, "1654321+07"}},
    {{"UPC-E from the UPC-A number", Symbology::UpcE, "04530000087"}},
    {{"Code 128", Symbology::Code128, "Code 128"}},
    {{"Code 128, digits in set C", Symbology::Code128, "12345678901234567890"}},
    {{"Code 128, controls in set A", Symbology::Code128, std::string("ABC\x01" "def\x1f" "123456|\x7f", 15)}},
    {{"Code 128 from start set C", Symbology::Code128, "1234AB", [](EncodeOptions& o) { o.code128Start = 'C'; }}},
    {{"Code 128 from start set A", Symbology::Code128, "ab12", [](EncodeOptions& o) { o.code128Start = 'A'; }}},
    {{"GS1-128", Symbology::Gs1_128, "(01)09501101530003(10)AB-12"}},
    {{"GS1-128, fields of both kinds", Symbology::Gs1_128, "(00)106141411234567897(3102)123456(21)X/9"}},
    {{"Postnet ZIP", Symbology::Postnet, "12345"}},
    {{"Postnet ZIP+4", Symbology::Postnet, "123456789"}},
    {{"Postnet delivery point", Symbology::Postnet, "12345678901"}},
    {{"Aztec text", Symbology::Aztec, "Aztec Code 2D!"}},
    {{"Aztec digits", Symbology::Aztec, "01234567890123456789"}},
    {{"Aztec all modes", Symbology::Aztec, "Mixed: a@b\\c^d_e`f|g~h\r\n. , : [x]{y}"}},
    {{"Aztec bytes", Symbology::Aztec, std::string("\x00\x01\x7f\x80\xfe\xff text", 11)}},
    {{"Aztec GS1 with FNC1", Symbology::Aztec, "~F0112345678901231~F10ABC", [](EncodeOptions& o) { o.escapes = true; }}},
    {{"Aztec ECI", Symbology::Aztec, "~E000026caf\xc3\xa9", [](EncodeOptions& o) { o.escapes = true; }}},
    {{"Aztec leading GS byte", Symbology::Aztec, "~d029A1", [](EncodeOptions& o) { o.escapes = true; }},
     Zxing::Misreads},
    {{"Aztec reader initialisation", Symbology::Aztec, "PROGRAM", [](EncodeOptions& o) { o.readerInit = true; }}},
    {{"Aztec structured append", Symbology::Aztec, "part two",
      [](EncodeOptions& o) { o.structuredAppend = {2, 4, "DOC"}; }}},
    {{"Aztec, half check words", Symbology::Aztec, "error correction", [](EncodeOptions& o) { o.eccPercent = 50; }}},
    {{"Aztec 27 x 27 compact", Symbology::Aztec, std::string(60, 'Z'), [](EncodeOptions& o) { o.compactOnly = true; }}},
    {{"Aztec 151 x 151", Symbology::Aztec, "the largest symbol", [](EncodeOptions& o) { o.minSize = 151; }}},
    {{"Aztec 12-bit codewords ending in a byte", Symbology::Aztec, "ZUD\x19M",
      [](EncodeOptions& o) { o.minSize = 133; o.eccPercent = 9; }},
     Zxing::Misreads},
    {{"QR URL", Symbology::Qr, "https://example.com/a?b=1&c=2"}},
    {{"QR digits and letters", Symbology::Qr, "0123456789012345 ABCDEF-XYZ 0123456789"}},
    {{"QR Kanji", Symbology::Qr, "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e QR"}},
    {{"QR UTF-8 under ECI 26", Symbology::Qr, "caf\xc3\xa9 \xce\xb1\xce\xb2"}},
    {{"QR GS1", Symbology::Qr, "(01)09501101530003(10)AB-12", [](EncodeOptions& o) { o.gs1 = true; }}},
    {{"QR FNC1 second position", Symbology::Qr, "37~FAB~F12", [](EncodeOptions& o) { o.escapes = true; }}},
    {{"QR ECI 3", Symbology::Qr, "caf\xe9", [](EncodeOptions& o) { o.eci = 3; }}},
    {{"QR structured append", Symbology::Qr, "part two", [](EncodeOptions& o) { o.structuredAppend = {2, 3, "77"}; }}},
    {{"QR version 40, level H, mask 7", Symbology::Qr, "the largest symbol",
      [](EncodeOptions& o) { o.qrVersion = 40; o.qrLevel = korvane::QrLevel::H; o.qrMask = 7; }}},
};

struct Layout {
    const char* label;
    verifytest::LayoutTweak tweak;
    bool zxingReads;  // zxing-cpp 1.4 reads every value so laid out
};

const Layout LAYOUTS[] = {
    {"300 dpi", nullptr, true},
    {"turned 90", [](LayoutOptions& o) { o.rotation = 90; }, true},
    {"turned 180", [](LayoutOptions& o) { o.rotation = 180; }, true},
    {"turned 270", [](LayoutOptions& o) { o.rotation = 270; }, true},
    {"pixels, one dot per module", [](LayoutOptions& o) { o.dpi = 0; o.xDim = korvane::px(1); }, true},
    {"600 dpi, X of 3 dots", [](LayoutOptions& o) { o.dpi = 600; o.xDim = korvane::mm(0.127); }, true},
    // zxing-cpp misses some Code 39 and Aztec symbols whose bars are thinned.
    {"bar width reduction", [](LayoutOptions& o) { o.dpi = 600; o.xDim = korvane::mm(0.33); o.barReduction = korvane::mm(0.04); }, false},
    {"blue on transparent", [](LayoutOptions& o) { o.foreground = {0, 40, 120, 255}; o.background = {0, 0, 0, 0}; },
     true},
};

TEST(VerifyRoundTrip, EveryValueInEveryLayout) {
    for (const Row& row : VALUES) {
        const korvane::Symbol symbol = verifytest::encoded(row.value);
        for (const Layout& layout : LAYOUTS) {
            SCOPED_TRACE(std::string(row.value.label) + ", " + layout.label);
            const korvane::Drawing drawing = verifytest::laidOut(symbol, layout.tweak);
            const korvane::Verdict v = korvane::verify(drawing, symbol);
            EXPECT_TRUE(v.ok) << verifytest::describe(v);
            EXPECT_EQ(v.correctedCodewords, 0);
            if (!v.zxingRan || row.zxing == Zxing::Misreads)
                continue;
            if (layout.zxingReads) {
                EXPECT_TRUE(v.zxingAgrees) << verifytest::describe(v);
            }
            if (!v.zxingRead.empty()) {
                EXPECT_EQ(v.zxingRead, v.read);  // where both read, they agree
            }
        }
    }
}

// The symbologies zxing-cpp reads give their second opinion; the others do not.
TEST(VerifyRoundTrip, ZxingRunsWhereItReads) {
    const struct {
        Symbology symbology;
        const char* data;
        bool runs;
    } CASES[] = {
        {Symbology::Code39, "ZX", true},         {Symbology::Code128, "zx", true},
        {Symbology::Aztec, "zx", true},          {Symbology::Code11, "1-2", false},
        {Symbology::Msi, "12", false},           {Symbology::Industrial2of5, "12", false},
        {Symbology::Matrix2of5, "12", false},    {Symbology::Postnet, "12345", false},
    };
    for (const auto& c : CASES) {
        SCOPED_TRACE(c.data);
        const korvane::Symbol symbol = verifytest::encoded({"", c.symbology, c.data});
        const korvane::Verdict v = korvane::verify(verifytest::laidOut(symbol), symbol);
        EXPECT_TRUE(v.ok) << verifytest::describe(v);
        EXPECT_EQ(v.zxingRan, c.runs);
    }
}

}  // namespace
