// The library's own linear encoders (korvane/linear/) against the legacy
// engine they replace: every symbol, refusal and warning the same, over a
// corpus that takes each of the seventeen symbologies through its options.

#include "encode/Checks.h"
#include "linear/LinearEncoders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using korvane::EncodeOptions;
using korvane::MsiCheck;
using korvane::Symbology;

// Everything the two paths give back, as one comparable string.
std::string describe(const korvane::Result<korvane::Symbol>& r) {
    if (!r)
        return "error " + std::to_string(static_cast<int>(r.error().code)) + ": " + r.error().message;
    const korvane::Symbol& s = *r;
    std::string out = "symbology " + std::to_string(static_cast<int>(s.symbology)) + " ratio " +
                      std::to_string(s.wideRatio) + " width " + std::to_string(s.widthModules) + " add-on at " +
                      std::to_string(s.addOnStartModule) + "\nwidths";
    for (int w : s.widths)
        out += " " + std::to_string(w);
    out += "\nkinds ";
    for (korvane::BarKind k : s.kinds)
        out += static_cast<char>('0' + static_cast<int>(k));
    out += "\ntext [" + s.text + "]";
    for (const korvane::TextSpan& t : s.textSpans)
        out += "\nspan [" + t.text + "] " + std::to_string(t.startModule) + "-" + std::to_string(t.endModule) + " " +
               std::to_string(static_cast<int>(t.place)) + (t.small ? " small" : "");
    out += "\nfacts [" + s.facts.data + "] [" + s.facts.checkCharacters + "] " +
           (s.facts.checkSupplied ? "supplied" : "computed") + " [" + s.facts.addOn + "]";
    for (const std::string& w : s.warnings)
        out += "\nwarning " + w;
    return out;
}

// An option set by name: the corpus names the options it varies.
struct Variant {
    const char* name;
    void (*apply)(EncodeOptions&);
};
const Variant PLAIN = {"defaults", [](EncodeOptions&) {}};
const Variant CHECK_ON = {"check on", [](EncodeOptions& o) { o.check = true; }};
const Variant CHECK_OFF = {"check off", [](EncodeOptions& o) { o.check = false; }};
const Variant RATIO_2 = {"ratio 2", [](EncodeOptions& o) { o.wideRatio = 2; }};
const Variant RATIO_3_CHECK = {"ratio 3, check", [](EncodeOptions& o) { o.wideRatio = 3, o.check = true; }};
const Variant RATIO_BAD = {"ratio 4", [](EncodeOptions& o) { o.wideRatio = 4; }};
const Variant ESCAPES = {"escapes", [](EncodeOptions& o) { o.escapes = true; }};
const Variant START_A = {"start A", [](EncodeOptions& o) { o.code128Start = 'A'; }};
const Variant START_B = {"start b", [](EncodeOptions& o) { o.code128Start = 'b'; }};
const Variant START_C = {"start C", [](EncodeOptions& o) { o.code128Start = 'C'; }};
const Variant START_BAD = {"start D", [](EncodeOptions& o) { o.code128Start = 'D'; }};
const Variant GS1 = {"gs1", [](EncodeOptions& o) { o.gs1 = true; }};
const Variant MOD11 = {"mod 11", [](EncodeOptions& o) { o.msiCheck = MsiCheck::Mod11; }};
const Variant MOD11_10 = {"mod 11-10", [](EncodeOptions& o) { o.msiCheck = MsiCheck::Mod11Mod10; }};
const Variant MOD10_10 = {"mod 10-10", [](EncodeOptions& o) { o.msiCheck = MsiCheck::Mod10Mod10; }};
const Variant ENDS_CD = {"ends C D", [](EncodeOptions& o) { o.codabarStart = 'c', o.codabarStop = 'D'; }};
const Variant ENDS_BAD = {"ends E", [](EncodeOptions& o) { o.codabarStart = 'E'; }};
const Variant SYSTEM_1 = {"number system 1", [](EncodeOptions& o) { o.upceNumberSystem = 1; }};
const Variant SYSTEM_2 = {"number system 2", [](EncodeOptions& o) { o.upceNumberSystem = 2; }};
const Variant ADD_ON_2 = {"add-on 12, gap 10", [](EncodeOptions& o) { o.addOn = "12", o.addOnGap = 10; }};
const Variant ADD_ON_5 = {"add-on 54495", [](EncodeOptions& o) { o.addOn = "54495"; }};
const Variant ADD_ON_BAD = {"add-on 123", [](EncodeOptions& o) { o.addOn = "123"; }};
const Variant GAP_BAD = {"gap 13", [](EncodeOptions& o) { o.addOn = "05", o.addOnGap = 13; }};

struct Family {
    std::vector<Symbology> symbologies;
    std::vector<std::string> data;
    std::vector<Variant> variants;
};

const std::string CONTROL_AND_DEL = std::string("A\x01z\x7f", 4) + std::string(1, '\0') + "9";

const Family CORPUS[] = {
    {{Symbology::Code39, Symbology::Code39Extended},
     {"ABC123", "CODE 39-$/+%.", "a", "Hello, World!", CONTROL_AND_DEL, "\xC3\xA9", "~d065~~x",
      "~d 65~d1e2~d0x4~d-12~dnan~dinf~d000~~~", "~d00", "~"},
     {PLAIN, CHECK_ON, RATIO_2, RATIO_3_CHECK, RATIO_BAD, ESCAPES}},
    {{Symbology::Code93, Symbology::Code93Extended},
     {"CODE93", "TEST93 $%/+", "abc{}~", CONTROL_AND_DEL, "Z", "\x80"},
     {PLAIN, CHECK_OFF, RATIO_2}},
    {{Symbology::Code11},
     {"123-45", "0123456789", "01234567890", "1-2-3-4-5-6-7", "12A"},
     {PLAIN, CHECK_OFF, RATIO_3_CHECK}},
    {{Symbology::Codabar},
     {"40156", "A40156B", "d1-2$3:4/5.6+7c", "A", "AB", "C12", "12X34", "A12X4D"},
     {PLAIN, CHECK_ON, RATIO_2, ENDS_CD, ENDS_BAD}},
    {{Symbology::Msi},
     {"1234567", "8", "1001", "00000", "12a"},
     {PLAIN, CHECK_OFF, MOD11, MOD11_10, MOD10_10, RATIO_3_CHECK}},
    {{Symbology::Interleaved2of5, Symbology::Industrial2of5, Symbology::Matrix2of5},
     {"1234567890", "12345", "7", "00", "12-34"},
     {PLAIN, CHECK_ON, CHECK_OFF, RATIO_2, RATIO_3_CHECK}},
    {{Symbology::Ean13, Symbology::Ean8, Symbology::UpcA, Symbology::UpcE},
     {"400638133393", "4006381333931", "4006381333932", "1234567", "96385074", "03600029145", "036000291452",
      "425261", "0425261", "04252614", "14252614", "24252614", "01234500006", "01210000003", "01200000305",
      "04210000526", "12345670", "123", "12345678901234", "4006381333931+12", "96385074+54495", "425261+1",
      "425261+12x", "40063813339x"},
     {PLAIN, ADD_ON_2, ADD_ON_5, ADD_ON_BAD, GAP_BAD, SYSTEM_1, SYSTEM_2, CHECK_OFF}},
    {{Symbology::Code128},
     {"ABC-abc-0123456789xy", "0123456789", "12345", "1", "abcDEF\x01\x02" "12345678ab", "\x1d" "01\x1d" "ABC",
      "a`b\x01`c", "`\x01", "123a4567", "Stra\xC3\x9F" "e 12", "\xE9t\xE9", "\xFF\xFE 1234", "\xE2\x82\xAC",
      "(01)09501101530003(10)AB12", "~d200A"},
     {PLAIN, START_A, START_B, START_C, START_BAD, GS1, ESCAPES}},
    // The last: a byte no code set holds, which the GS1 check lets through in a
    // four-digit AI's last place and the symbol leaves out.
    {{Symbology::Gs1_128},
     {"(01)09501101530003(10)AB12", "[01]09501101530003[17]251231[10]abc", "0109501101530003\x1d" "10X",
      "(10)a-b(21)123456", "(01)09501101530004", "(99)1", "333\xF5" "333333"},
     {PLAIN, CHECK_OFF}},
    {{Symbology::Postnet}, {"12345", "123456789", "12345678901", "1234", "1234a"}, {PLAIN, CHECK_ON, RATIO_2}},
    // Far past the limit with escapes: refused before any escape is read, on both paths.
    {{Symbology::Postnet, Symbology::Ean13}, {std::string(46, '1') + std::string(55, '~')}, {ESCAPES}},
};

TEST(LinearEncoders, DrawWhatTheLegacyEngineDrew) {
    int compared = 0;
    for (const Family& family : CORPUS)
        for (Symbology s : family.symbologies)
            for (const std::string& data : family.data)
                for (const Variant& v : family.variants) {
                    EncodeOptions o;
                    v.apply(o);
                    SCOPED_TRACE(std::string(korvane::symbologyInfo(s).title) + " \"" + data + "\" " + v.name);
                    EXPECT_EQ(describe(korvane::encode(s, data, o)),
                              describe(korvane::detail::encodeThroughEngine(s, data, o)));
                    ++compared;
                }
    EXPECT_GT(compared, 900);
}

}  // namespace

// The word-at-a-time digit test finds the first non-digit wherever it is and
// whatever byte it is (those next to '0'-'9', and 0xFA-0xFF whose sum with 6
// carries into the next byte).
TEST(LinearEncoders, FirstNonDigitFindsEveryByteAtEveryPlace) {
    for (std::size_t length = 1; length <= 17; ++length)
        for (std::size_t at = 0; at < length; ++at)
            for (int byte = 0; byte < 256; ++byte) {
                std::string data(length, '7');
                data[at] = static_cast<char>(byte);
                const bool digit = byte >= '0' && byte <= '9';
                ASSERT_EQ(korvane::detail::firstNonDigit(data), digit ? std::string::npos : at)
                    << "length " << length << ", byte " << byte << " at " << at;
            }
}
