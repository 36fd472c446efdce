// encode(): names, the forms data comes in, facts, and refusals.

#include "KorvaneTestUtil.h"

#include <gtest/gtest.h>

using korvane::EncodeOptions;
using korvane::ErrorCode;
using korvane::Symbology;
using kvtest::encoded;

TEST(Registry, NamesAndAliasesIgnoreCaseAndSeparators) {
    const struct {
        const char* name;
        Symbology expected;
    } cases[] = {
        {"code39", Symbology::Code39},        {"CODE39EXT", Symbology::Code39Extended},
        {"Code93", Symbology::Code93},        {"code93ext", Symbology::Code93Extended},
        {"code11", Symbology::Code11},        {"Codabar", Symbology::Codabar},
        {"msi", Symbology::Msi},              {"ITF", Symbology::Interleaved2of5},
        {"industrial25", Symbology::Industrial2of5}, {"matrix25", Symbology::Matrix2of5},
        {"EAN-13", Symbology::Ean13},         {"ean_8", Symbology::Ean8},
        {"UPC-A", Symbology::UpcA},           {"upce", Symbology::UpcE},
        {"code128", Symbology::Code128},      {"GS1-128", Symbology::Gs1_128},
        {"ean128", Symbology::Gs1_128},       {"postnet", Symbology::Postnet},
        {"Aztec", Symbology::Aztec},          {"QR-Code", Symbology::Qr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(korvane::findSymbology(c.name).has_value());
        EXPECT_EQ(*korvane::findSymbology(c.name), c.expected);
    }
    for (const char* unknown : {"", "qrc", "code", "-", "ean1"})
        EXPECT_FALSE(korvane::findSymbology(unknown).has_value()) << unknown;
    for (int i = 0; i < korvane::SYMBOLOGY_COUNT; ++i)
        EXPECT_EQ(static_cast<int>(korvane::allSymbologies()[i].id), i);
}

// The same symbol from every form the data may take.
TEST(Encode, DataFormsGiveTheSameSymbol) {
    EncodeOptions addOn12;
    addOn12.addOn = "12";
    EncodeOptions system1;
    system1.upceNumberSystem = 1;
    const struct {
        Symbology s;
        const char* a;
        EncodeOptions aOptions;
        const char* b;
        EncodeOptions bOptions;
    } cases[] = {
        {Symbology::Ean13, "590123412345", {}, "5901234123457", {}},
        {Symbology::Ean13, "590123412345+12", {}, "5901234123457", addOn12},
        {Symbology::Ean8, "5512345", {}, "55123457", {}},
        {Symbology::UpcA, "03600029145", {}, "036000291452", {}},
        {Symbology::UpcE, "123456", {}, "01234565", {}},
        {Symbology::UpcE, "0123456", {}, "01234565", {}},
        {Symbology::UpcE, "01234500006", {}, "012345000065", {}},
        {Symbology::UpcE, "01234565", {}, "012345000065", {}},
        {Symbology::UpcE, "123456", system1, "11234562", {}},
        {Symbology::Gs1_128, "(01)09501101530003(10)AB-12", {}, "010950110153000310AB-12", {}},
        {Symbology::Gs1_128, "[10]AB(12)[21]XY", {}, "10AB(12)\x1D" "21XY", {}},
        {Symbology::Codabar, "A123B", {}, "123", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " / " + c.b);
        const korvane::Symbol a = encoded(c.s, c.a, c.aOptions);
        const korvane::Symbol b = encoded(c.s, c.b, c.bOptions);
        EXPECT_EQ(kvtest::moduleString(a), kvtest::moduleString(b));
        EXPECT_EQ(a.facts.data, b.facts.data);
    }
}

TEST(Encode, FactsAndText) {
    const struct {
        Symbology s;
        const char* data;
        bool check;
        const char* facts;   // data as a reader returns it
        const char* checks;  // check characters
        const char* text;    // human-readable line
        int modules;
    } cases[] = {
        {Symbology::Code39, "ABC", true, "ABC", "X", "ABCX", 95},
        {Symbology::Code93, "TEST93", false, "TEST93", "+6", "TEST93", 91},
        {Symbology::Code11, "123", false, "123", "-", "123-", 46},
        {Symbology::Codabar, "1-2$", true, "1-2$", "7", "1-2$7", 87},
        {Symbology::Msi, "1234", false, "1234", "4", "12344", 67},
        {Symbology::Interleaved2of5, "123", false, "0123", "", "0123", 45},
        {Symbology::Interleaved2of5, "1234", true, "01234", "8", "012348", 63},
        {Symbology::Industrial2of5, "123", true, "123", "6", "1236", 75},
        {Symbology::Ean13, "590123412345+12", false, "5901234123457", "7", "5901234123457 12", 122},
        {Symbology::UpcE, "123456", false, "01234565", "5", "01234565", 51},
        {Symbology::Gs1_128, "(01)09501101530003(17)250101(10)A1(21)S", false, "010950110153000317250101" "10A1\x1D" "21S",
         "", "(01)09501101530003(17)250101(10)A1(21)S", 266},
        {Symbology::Postnet, "12345", false, "12345", "5", "12345", 157},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        EncodeOptions o;
        if (c.check)
            o.check = true;
        const korvane::Symbol s = encoded(c.s, c.data, o);
        EXPECT_EQ(s.facts.data, c.facts);
        EXPECT_EQ(s.facts.checkCharacters, c.checks);
        EXPECT_EQ(s.text, c.text);
        EXPECT_EQ(s.widthModules, c.modules);
        EXPECT_EQ(static_cast<int>(kvtest::moduleString(s).size()), c.modules);
    }
}

TEST(Encode, RetailGuardsAddOnAndTextSpans) {
    const korvane::Symbol s = encoded(Symbology::Ean13, "590123412345+12345");
    std::string guards;
    int x = 0;
    for (std::size_t i = 0; i < s.widths.size(); x += s.widths[i], ++i)
        if (i % 2 == 0 && s.kinds[i] != korvane::BarKind::Data)
            guards += (s.kinds[i] == korvane::BarKind::Guard ? "G" : "A") + std::to_string(x) + " ";
    EXPECT_EQ(guards, "G0 G2 G46 G48 G92 G94 A102 A104 A107 A111 A114 A117 A120 A123 A125 A130 A132 A134 A138 A141 A143 A148 ");
    EXPECT_EQ(s.addOnStartModule, 102);  // 95 modules and the least gap of 7
    ASSERT_EQ(s.textSpans.size(), 4u);
    EXPECT_EQ(s.textSpans[0].text, "5");
    EXPECT_EQ(s.textSpans[0].place, korvane::TextPlace::LeftOf);
    EXPECT_EQ(s.textSpans[1].text, "901234");
    EXPECT_EQ(s.textSpans[2].text, "123457");
    EXPECT_EQ(s.textSpans[3].text, "12345");
    EXPECT_EQ(s.textSpans[3].place, korvane::TextPlace::Above);
}

TEST(Encode, RefusalsSayWhatAndWhere) {
    EncodeOptions noCheck;
    noCheck.check = false;
    EncodeOptions ratio4;
    ratio4.wideRatio = 4;
    EncodeOptions gap20;
    gap20.addOnGap = 20;
    EncodeOptions startD;
    startD.code128Start = 'D';
    EncodeOptions ecc95;
    ecc95.eccPercent = 95;
    EncodeOptions gs1;
    gs1.gs1 = true;
    EncodeOptions eci26;
    eci26.eci = 26;
    EncodeOptions setIdOnTwoLines;
    setIdOnTwoLines.structuredAppend = {1, 2, "1\n2"};
    const struct {
        Symbology s;
        std::string data;
        EncodeOptions o;
        ErrorCode code;
        const char* message;  // a part of the message
    } cases[] = {
        {Symbology::Code39, "AbC", {}, ErrorCode::InvalidData, "cannot encode 'b' at position 2"},
        {Symbology::Code39Extended, "A\xE9", {}, ErrorCode::InvalidData, "byte 0xE9 at position 2"},
        {Symbology::Code93, "", {}, ErrorCode::InvalidData, "empty"},
        {Symbology::Code11, "12A", {}, ErrorCode::InvalidData, "'A' at position 3"},
        {Symbology::Codabar, "A12xB", {}, ErrorCode::InvalidData, "'x' at position 4"},
        {Symbology::Msi, "12 3", {}, ErrorCode::InvalidData, "' ' at position 3"},
        {Symbology::Interleaved2of5, "12-3", {}, ErrorCode::InvalidData, "'-' at position 3"},
        {Symbology::Ean13, "5901234123458", {}, ErrorCode::CheckDigit, "it should be 7"},
        {Symbology::Ean13, "59012341234", {}, ErrorCode::InvalidData, "takes 12 digits, or 13"},
        {Symbology::Ean13, "590123412345+123", {}, ErrorCode::InvalidData, "2 or 5 digits"},
        {Symbology::Ean13, "590123412345+12", gap20, ErrorCode::InvalidOption, "7 to 12"},
        {Symbology::Ean8, "55123450", {}, ErrorCode::CheckDigit, "it should be 7"},
        {Symbology::UpcA, "036000291453", {}, ErrorCode::CheckDigit, "it should be 2"},
        {Symbology::UpcA, "036000291452", noCheck, ErrorCode::InvalidOption, "cannot be switched off"},
        {Symbology::UpcE, "21234565", {}, ErrorCode::InvalidData, "number system 0 or 1"},
        {Symbology::UpcE, "01234000057", {}, ErrorCode::InvalidData, "zero-suppressed"},
        {Symbology::Code128, "ABC", startD, ErrorCode::InvalidOption, "start set"},
        {Symbology::Code39, "ABC", ratio4, ErrorCode::InvalidOption, "2 or 3"},
        {Symbology::Gs1_128, "(01)09501101530004", {}, ErrorCode::CheckDigit, "it should be 3"},
        {Symbology::Gs1_128, "(99", {}, ErrorCode::InvalidData, "not closed"},
        {Symbology::Gs1_128, "(01)123", {}, ErrorCode::InvalidData, "takes 14 characters"},
        {Symbology::Gs1_128, "(10)A B", {}, ErrorCode::InvalidData, "' ' at position 2"},
        {Symbology::Gs1_128, "(5)1", {}, ErrorCode::InvalidData, "unknown GS1 AI \"5\""},
        {Symbology::Gs1_128, "5555", {}, ErrorCode::InvalidData, "no GS1 AI begins at position 1"},
        // An AI is digits: a byte beyond ASCII in one was taken and then left out of the symbol.
        {Symbology::Gs1_128, "333\xF5" "333333", {}, ErrorCode::InvalidData, "no GS1 AI begins at position 1"},
        // Dates: real months and days (29 February in every fourth year), day 00 only for AIs 11-17.
        {Symbology::Gs1_128, "(17)251301", {}, ErrorCode::InvalidData, "AI (17) date 251301 has month 13"},
        {Symbology::Gs1_128, "(14)250101", {}, ErrorCode::InvalidData, "unknown GS1 AI \"14\""},  // as zint 2.11
        {Symbology::Gs1_128, "(11)250431", {}, ErrorCode::InvalidData, "day 31; the month has 30"},
        {Symbology::Gs1_128, "(15)250229", {}, ErrorCode::InvalidData, "day 29; the month has 28"},
        {Symbology::Gs1_128, "(7006)250100", {}, ErrorCode::InvalidData, "AI (7006) date 250100 has day 0"},
        {Symbology::Gs1_128, "(7007)250101251232", {}, ErrorCode::InvalidData, "date 251232 has day 32"},
        {Symbology::Gs1_128, "(7003)2501012460", {}, ErrorCode::InvalidData, "has hour 24"},
        {Symbology::Gs1_128, "(8008)250101235", {}, ErrorCode::InvalidData, "no field of its form (N6 N2 [N2] [N2])"},
        {Symbology::Postnet, "1234", {}, ErrorCode::InvalidData, "ZIP code of 5 digits"},
        {Symbology::Aztec, "", {}, ErrorCode::InvalidData, "empty"},
        {Symbology::Aztec, "x", ecc95, ErrorCode::InvalidOption, "0 to 90"},
        {Symbology::Aztec, std::string(4000, '\xFF'), {}, ErrorCode::DataTooLong, "bits"},
        {Symbology::Aztec, "(01)09501101530004", gs1, ErrorCode::CheckDigit, "AI (01) check digit 4"},
        {Symbology::Aztec, "(23)12", gs1, ErrorCode::InvalidData, "unknown GS1 AI \"23\""},
        {Symbology::Qr, "ABC", setIdOnTwoLines, ErrorCode::InvalidOption, "not \"1\\x0A2\""},
        {Symbology::DataMatrix, "ABC", setIdOnTwoLines, ErrorCode::InvalidOption, "id \"1\\x0A2\""},
        {Symbology::Pdf417, "ABC", setIdOnTwoLines, ErrorCode::InvalidOption, "not \"1\\x0A2\""},
        // One policy for an option that does not apply: refused, naming both.
        {Symbology::Ean13, "590123412345", ecc95, ErrorCode::InvalidOption, "ecc does not apply to EAN-13"},
        {Symbology::Code39, "ABC", gs1, ErrorCode::InvalidOption, "gs1 does not apply to Code 39"},
        {Symbology::Code128, "ABC", eci26, ErrorCode::InvalidOption, "eci does not apply to Code 128"},
        {Symbology::Aztec, "ABC", startD, ErrorCode::InvalidOption, "code128-start does not apply to Aztec Code"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data.substr(0, 40));
        const korvane::Result<korvane::Symbol> r = korvane::encode(c.s, c.data, c.o);
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(r.error().code, c.code);
        EXPECT_NE(r.error().message.find(c.message), std::string::npos) << r.error().message;
        EXPECT_EQ(r.error().message.find('\n'), std::string::npos);
    }
    // The dates beside those refused above that exist.
    for (const char* date : {"(17)240229", "(17)250200", "(7007)250101251231", "(8008)2501012359", "(7003)2501012359"})
        EXPECT_TRUE(korvane::encode(Symbology::Gs1_128, date).ok()) << date;
    const korvane::Result<korvane::Symbol> unknown = korvane::encode("qrcodes", "x");
    ASSERT_FALSE(unknown.ok());
    EXPECT_EQ(unknown.error().code, ErrorCode::UnknownSymbology);
}

// The most data of each symbology: at the limit a symbol is made, one byte
// more is refused naming the limit, and data of any length past it (a
// megabyte, with escapes, as a Message) is refused before any other work.
// Every month of every two-digit year, at its last day and the day after, in
// each GS1 date AI and each place a date takes in it. The days come from the
// Gregorian calendar: GS1 reads YY as the year within 49 years back or 50
// ahead of today, so for as long as today is before 2050 every YY names a year
// of 1901-2099, where the leap years are those divisible by 4 (2000 among them).
// Day 00 ("the whole month") is allowed in AIs 11-17 and nowhere else. The
// times after dates are tried at their limits too.
TEST(Encode, Gs1DatesKeepEveryMonthsDays) {
    auto lastDay = [](int yy, int month) {
        constexpr int DAYS[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        return month == 2 && yy % 4 == 0 ? 29 : DAYS[month - 1];
    };
    auto two = [](int n) { return std::string{static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)}; };
    const struct {
        const char* before;  // the AI and whatever precedes the date
        const char* after;   // whatever follows it
        bool dayZero;
    } places[] = {
        {"(11)", "", true},         {"(12)", "", true},           {"(13)", "", true},
        {"(15)", "", true},         {"(16)", "", true},           {"(17)", "", true},
        {"(7003)", "2359", false},  {"(7006)", "", false},        {"(7007)", "", false},
        {"(7007)250101", "", false}, {"(7007)", "251231", false}, {"(8008)", "23", false},
        {"(8008)", "235959", false},
    };
    for (const auto& p : places)
        for (int yy = 0; yy < 100; ++yy)
            for (int month = 0; month <= 13; ++month) {
                auto check = [&](int day, bool valid) {
                    const std::string data = p.before + two(yy) + two(month) + two(day) + p.after;
                    const korvane::Result<korvane::Symbol> r = korvane::encode(Symbology::Gs1_128, data);
                    EXPECT_EQ(r.ok(), valid) << data;
                    if (!r.ok()) {
                        EXPECT_EQ(r.error().code, ErrorCode::InvalidData) << data;
                    }
                };
                if (month == 0 || month == 13) {
                    check(1, false);
                    continue;
                }
                check(0, p.dayZero);
                check(lastDay(yy, month), true);
                check(lastDay(yy, month) + 1, false);
            }
    // Times after the date: hours to 23, minutes and seconds to 59, in whole
    // pairs of digits; 7007 is one date or two, nothing between.
    const std::pair<const char*, bool> times[] = {
        {"(7003)2501010000", true},  {"(7003)2501012359", true},  {"(7003)2501012400", false},
        {"(7003)2501012360", false}, {"(8008)25010123", true},    {"(8008)25010124", false},
        {"(8008)2501012359", true},  {"(8008)2501012360", false}, {"(8008)250101235959", true},
        {"(8008)250101235960", false}, {"(8008)250101000000", true}, {"(8008)2501012", false},
        {"(8008)25010123595", false}, {"(7007)25010125", false},  {"(7007)25010125123", false},
    };
    for (const auto& [data, valid] : times)
        EXPECT_EQ(korvane::encode(Symbology::Gs1_128, data).ok(), valid) << data;
}

// The measures, AIs 31nn-36nn, at every AI of the range: the third digit
// names the measure (310-316, 320-329, 330-337, 340-349, 350-357 and 360-369
// exist) and the last places the decimal point, 0 to 5. The same AIs zint
// 2.11 takes; the others are unknown.
TEST(Encode, Gs1MeasuresAtEveryAi) {
    const char LAST_MEASURE[] = {'6', '9', '7', '9', '7', '9'};  // the highest third digit of 31-36
    for (int ai = 3100; ai <= 3699; ++ai) {
        const std::string digits = std::to_string(ai);
        const bool exists = digits[1] >= '1' && digits[1] <= '6' &&
                            digits[2] <= LAST_MEASURE[digits[1] - '1'] && digits[3] <= '5';
        const korvane::Result<korvane::Symbol> r = korvane::encode(Symbology::Gs1_128, "(" + digits + ")001234");
        EXPECT_EQ(r.ok(), exists) << digits;
        if (!r.ok()) {
            EXPECT_NE(r.error().message.find("unknown GS1 AI \"" + digits + "\""), std::string::npos)
                << r.error().message;
        }
    }
}

TEST(Encode, DataPastTheLargestSymbolIsRefused) {
    EncodeOptions levelL;
    levelL.qrLevel = korvane::QrLevel::L;
    EncodeOptions level0;
    level0.pdfLevel = 0;
    const struct {
        Symbology s;
        std::string atLimit;  // empty: no data reaches this bound
        EncodeOptions o;
        const char* limit;
    } cases[] = {
        {Symbology::Qr, std::string(7089, '1'), levelL, "no QR Code holds more than 7,089"},
        {Symbology::DataMatrix, std::string(3116, '1'), {}, "no Data Matrix holds more than 3,116"},
        {Symbology::Pdf417, std::string(2710, '1'), level0, "no PDF417 holds more than 2,710"},
        {Symbology::Aztec, "", {}, "no Aztec Code holds more than 7,987"},
        {Symbology::Code128, std::string(1000, 'A'), {}, "Code 128 takes at most 1,000"},
        {Symbology::Ean13, "5901234123457+12345", {}, "EAN-13 takes at most 19 (12 digits"},
        {Symbology::UpcE, "042100005264+12345", {}, "UPC-E takes at most 18"},
        {Symbology::Postnet, "12345678901", {}, "Postnet takes at most 11"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.limit);
        const std::size_t most = korvane::symbologyInfo(c.s).maxDataBytes;
        if (!c.atLimit.empty()) {
            EXPECT_EQ(c.atLimit.size(), most);
            EXPECT_TRUE(korvane::encode(c.s, c.atLimit, c.o).ok());
        }
        const auto over = korvane::encode(c.s, std::string(most + 1, '1'), c.o);
        ASSERT_FALSE(over.ok());
        EXPECT_EQ(over.error().code, ErrorCode::DataTooLong);
        EXPECT_NE(over.error().message.find(c.limit), std::string::npos) << over.error().message;
    }
    EncodeOptions escapes;
    escapes.escapes = true;
    korvane::Message huge;
    huge.bytes.assign(1 << 20, '1');
    for (int i = 0; i < korvane::SYMBOLOGY_COUNT; ++i) {
        const Symbology s = korvane::allSymbologies()[i].id;
        SCOPED_TRACE(korvane::allSymbologies()[i].name);
        for (const auto& r : {korvane::encode(s, huge.bytes, {}), korvane::encode(s, huge.bytes, escapes),
                              korvane::encode(s, huge, {})}) {
            ASSERT_FALSE(r.ok());
            EXPECT_EQ(r.error().code, ErrorCode::DataTooLong);
            EXPECT_NE(r.error().message.find("the data is 1,048,576 bytes"), std::string::npos) << r.error().message;
        }
    }
}

TEST(Encode, EscapesAreResolvedBeforeTheCheck) {
    EncodeOptions o;
    o.escapes = true;
    EXPECT_EQ(encoded(Symbology::Code128, "A~d009B", o).facts.data, "A\tB");
    EXPECT_EQ(encoded(Symbology::Code39Extended, "~~x", o).facts.data, "~x");
    const korvane::Result<korvane::Symbol> r = korvane::encode(Symbology::Code39, "A~d097", o);
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.error().message.find("'a' at position 2"), std::string::npos);
}

// The aztec program's encoder through the library: the size options and the
// reader-initialisation mark hold (the engine alone would start from a row of
// the wrong kind, or mark a symbol whose count needs the mark's bit).
TEST(Encode, SpecifiedAztecKeepsSizeOptions) {
    auto specified = [](auto change) {
        EncodeOptions o;
        o.aztecEncoder = korvane::AztecEncoder::Specified;
        change(o);
        return o;
    };
    const struct {
        const char* data;
        EncodeOptions o;
        bool compact;
        int layersAtMost;
    } cases[] = {
        {"MODE", specified([](EncodeOptions& o) { o.fullOnly = true; }), false, 1},
        {"MODE", specified([](EncodeOptions& o) { o.compactOnly = true; o.minSize = 19; }), true, 2},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", specified([](EncodeOptions& o) { o.readerInit = true; }), false, 22},
        {"abc", specified([](EncodeOptions& o) { o.readerInit = true; }), true, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        const korvane::Symbol s = encoded(Symbology::Aztec, c.data, c.o);
        EXPECT_EQ(s.facts.aztec.compact, c.compact);
        EXPECT_LE(s.facts.aztec.layers, c.layersAtMost);
    }
    const korvane::Result<korvane::Symbol> tooBig =
        korvane::encode(Symbology::Aztec, "abc", specified([](EncodeOptions& o) { o.readerInit = true; o.minSize = 113; }));
    ASSERT_FALSE(tooBig.ok());
    EXPECT_NE(tooBig.error().message.find("reader initialisation"), std::string::npos);
    EXPECT_FALSE(korvane::encode(Symbology::Aztec, "x", specified([](EncodeOptions& o) {
                     o.compactOnly = true;
                     o.minSize = 31;
                 })).ok());
}

// The data is parsed once into bytes and markers, whatever the symbology.
TEST(Encode, MessagesFromEscapesAndGs1Forms) {
    using korvane::MarkerKind;
    auto opts = [](bool escapes, bool gs1, int eci = -1) {
        EncodeOptions o;
        o.escapes = escapes;
        o.gs1 = gs1;
        o.eci = eci;
        return o;
    };
    const struct {
        Symbology s;
        const char* data;
        EncodeOptions o;
        std::string bytes;
        std::string markers;  // "F@3" FNC1 before byte 3, "E26@0" ECI 26 before byte 0
        bool gs1;
    } cases[] = {
        {Symbology::Code128, "A~d009B~~", opts(true, false), "A\tB~", "", false},
        {Symbology::Code128, "A~F123", opts(true, false), "A{", "", false},  // linear: any letter, three digits
        {Symbology::Aztec, "~FAB~E000026C~d065", opts(true, false), "ABCA", "F@0 E26@2", false},
        {Symbology::Aztec, "AB", opts(false, false, 899), "AB", "E899@0", false},
        {Symbology::Aztec, "(01)09501101530003(10)AB(21)7", opts(false, true), "010950110153000310AB\x1D" "217", "",
         true},
        {Symbology::Aztec, "[01]09501101530003[17]261231", opts(false, true), "01095011015300031726123" "1", "",
         true},
        {Symbology::Code128, "(10)X(01)09501101530003", opts(false, true), "10X\x1D" "0109501101530003", "", true},
        {Symbology::Gs1_128, "0109501101530003" "10AB\x1D" "21x", opts(false, false), "010950110153000310AB\x1D" "21x",
         "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        const korvane::Result<korvane::Message> m = korvane::parseMessage(c.s, c.data, c.o);
        ASSERT_TRUE(m) << m.error().message;
        EXPECT_EQ(m->bytes, c.bytes);
        std::string markers;
        for (const korvane::Marker& k : m->markers)
            markers += (markers.empty() ? "" : " ") +
                       (k.kind == MarkerKind::Fnc1 ? std::string("F") : "E" + std::to_string(k.eci)) + "@" +
                       std::to_string(k.position);
        EXPECT_EQ(markers, c.markers);
        EXPECT_EQ(m->gs1, c.gs1);
    }
}

// GS1 Aztec from the library alone: FNC1 first, FNC1 between fields, read by
// zxing-cpp as GS1 with GS where a variable-length field ends.
TEST(Encode, Gs1AztecReadsAsGs1) {
    EncodeOptions o;
    o.gs1 = true;
    for (auto encoder : {korvane::AztecEncoder::Optimal, korvane::AztecEncoder::Specified}) {
        o.aztecEncoder = encoder;
        const korvane::Symbol s = encoded(Symbology::Aztec, "(01)09501101530003(10)AB-12(21)7(17)261231", o);
        EXPECT_EQ(s.facts.data, "010950110153000310AB-12\x1D" "21" "7\x1D" "17261231");
        const testsupport::Decoded d = kvtest::readBack(s, testsupport::Symbology::Aztec);
        ASSERT_TRUE(d.ok) << d.error;
        EXPECT_TRUE(d.gs1);
        EXPECT_EQ(testsupport::bytesToString(d.bytes), s.facts.data);
    }
}
