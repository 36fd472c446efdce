// Micro QR and rMQR: module for module against zint where the encodation is
// fixed, no larger than zint's elsewhere, read back by the library's own
// readers, the refusals, and the tables held against the symbols' geometry.

#include "KorvaneTestUtil.h"

#include "qr/Qr.h"
#include "qr/SmallQrTables.h"
#include "verify/Readers.h"

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

namespace {

struct CorpusCase {
    Symbology s;
    const char* label;
    std::string data;
    const char* zintOptions;  // what zint needs to take the same data
};

// Digits, text, bytes and Japanese text, each small enough for Micro QR.
const std::vector<CorpusCase>& corpus() {
    static const std::vector<CorpusCase> cases = [] {
        std::vector<CorpusCase> c;
        for (const Symbology s : {Symbology::MicroQr, Symbology::Rmqr}) {
            c.push_back({s, "digits", "0123456789012345", ""});
            c.push_back({s, "alphanumeric", "HELLO WORLD 42", ""});
            c.push_back({s, "mixed", "ABCDE123456789xyz", ""});
            c.push_back({s, "text", "Hello, world", ""});
            c.push_back({s, "bytes", std::string("\x01\xff\x80z", 4), "--binary"});
            c.push_back({s, "Japanese", "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\xe3\x81\xa7\xe3\x81\x99", ""});
        }
        c.push_back({Symbology::Rmqr, "URL", "https://example.com/path?query=ABC123", ""});
        c.push_back({Symbology::Rmqr, "long digits", std::string(150, '7'), ""});
        return c;
    }();
    return cases;
}

int zintType(Symbology s) { return s == Symbology::MicroQr ? ZINT_MICROQR : ZINT_RMQR; }

}  // namespace

// Where the segmentation is the encoder's own choice, no symbol is larger
// than zint's at the same level (Micro QR L, rMQR M).
TEST(SmallQr, NoLargerThanZint) {
    for (const CorpusCase& c : corpus()) {
        SCOPED_TRACE(c.label);
        const bool micro = c.s == Symbology::MicroQr;
        const korvane::Symbol s = kvtest::encoded(
            c.s, c.data, kvtest::options([micro](EncodeOptions& o) { o.qrLevel = micro ? QrLevel::L : QrLevel::M; }));
        const std::vector<std::string> theirs =
            kvtest::zintRows(zintType(c.s), c.data, std::string(c.zintOptions) + (micro ? " --secure=1" : " --secure=2"));
        ASSERT_FALSE(theirs.empty());
        const std::size_t theirWidth = micro ? theirs.size() : theirs[0].find_last_of('1') + 1;
        EXPECT_LE(static_cast<std::size_t>(s.rows) * static_cast<std::size_t>(s.columns), theirs.size() * theirWidth);
    }
}

// The library's readers read every symbol of the corpus back through verify(),
// at both levels a symbology has and turned a quarter.
TEST(SmallQr, ReadersReadTheCorpus) {
    for (const CorpusCase& c : corpus())
        for (const QrLevel level : {QrLevel::M, c.s == Symbology::MicroQr ? QrLevel::L : QrLevel::H}) {
            SCOPED_TRACE(std::string(c.label) + " level " + std::to_string(static_cast<int>(level)));
            const korvane::Symbol s =
                kvtest::encoded(c.s, c.data, kvtest::options([level](EncodeOptions& o) { o.qrLevel = level; }));
            korvane::LayoutOptions lo = kvtest::pixels(4);
            lo.rotation = c.data.size() % 2 == 0 ? 0 : 90;
            const korvane::Result<korvane::Drawing> d = korvane::layout(s, lo);
            ASSERT_TRUE(d.ok());
            const korvane::Verdict v = korvane::verify(*d, s);
            EXPECT_TRUE(v.ok) << v.reason;
            EXPECT_EQ(v.read, s.facts.data);
        }
}

// zxing-cpp 1.4 reads every Micro QR symbol of the corpus (it reads no rMQR).
TEST(SmallQr, ZxingReadsMicroQr) {
    for (const CorpusCase& c : corpus()) {
        if (c.s != Symbology::MicroQr || c.data.find('\xff') != std::string::npos)
            continue;  // bytes beyond ASCII without a designator: zxing-cpp guesses their character set
        SCOPED_TRACE(c.label);
        const korvane::Symbol s = kvtest::encoded(c.s, c.data);
        const testsupport::Decoded d = kvtest::readBack(s, testsupport::Symbology::MicroQRCode, kvtest::pixels(4));
        EXPECT_EQ(d.text, c.data) << d.error;
    }
}

// Refusals name the limit and what has it.
TEST(SmallQr, RefusalsNameTheLimit) {
    const struct {
        Symbology s;
        std::string data;
        EncodeOptions o;
        const char* message;
    } CASES[] = {
        {Symbology::MicroQr, "123456", fixed(QrLevel::L, 1, -1), "the data needs 23 bits; Micro QR M1 at level L holds 20"},
        {Symbology::MicroQr, "1", fixed(QrLevel::M, 1, -1), "Micro QR M1 has no level M; M is in M2, M3, M4"},
        {Symbology::MicroQr, "1", fixed(QrLevel::Q, 3, -1), "Micro QR M3 has no level Q; Q is in M4"},
        {Symbology::MicroQr, "1", fixed(QrLevel::H, 0, -1), "Micro QR has levels L (M1-M4), M (M2-M4) and Q (M4), not H"},
        {Symbology::MicroQr, "1", fixed(QrLevel::L, 5, -1), "the Micro QR versions are M1 to M4, not 5"},
        {Symbology::MicroQr, "1", fixed(QrLevel::L, 0, 4), "the Micro QR mask is 0 to 3, not 4"},
        {Symbology::MicroQr, "abc", fixed(QrLevel::L, 2, -1), "Micro QR M2 has no mode for some character of the data"},
        {Symbology::MicroQr, std::string(22, '1'), fixed(QrLevel::Q, 4, -1),
         "the data needs 83 bits; Micro QR M4 at level Q holds 80"},
        {Symbology::MicroQr, std::string(36, '1'), fixed(QrLevel::L, 0, -1),
         "the data is 36 bytes; no Micro QR holds more than 35"},
        {Symbology::Rmqr, std::string(20, '1'), fixed(QrLevel::M, 0, -1, 7, 43),
         "the data needs 74 bits; rMQR R7x43 at level M holds 48"},
        {Symbology::Rmqr, "1", fixed(QrLevel::L, 0, -1), "rMQR has levels M and H, not L"},
        {Symbology::Rmqr, "1", fixed(QrLevel::M, 0, -1, 7, 27), "there is no rMQR R7x27; R7 is 43, 59, 77, 99, 139 wide"},
        {Symbology::Rmqr, "1", fixed(QrLevel::M, 0, -1, 8, 43), "there is no rMQR R8x43; the heights are 7, 9, 11, 13, 15 and 17"},
        {Symbology::Rmqr, "1", fixed(QrLevel::M, 2, -1), "rMQR has sizes, not versions: choose one with rmqr-size RHxW"},
        {Symbology::Rmqr, "1", fixed(QrLevel::M, 0, 1), "rMQR has a single mask; none can be chosen"},
    };
    for (const auto& c : CASES) {
        const korvane::Result<korvane::Symbol> r = korvane::encode(c.s, c.data, c.o);
        ASSERT_FALSE(r.ok()) << c.message;
        EXPECT_NE(r.error().message.find(c.message), std::string::npos) << r.error().message;
    }
}

// The codeword counts of the tables against the modules the function
// patterns leave (Micro QR's are held at compile time).
TEST(SmallQr, RmqrTableMatchesGeometry) {
    namespace q = korvane::qr::detail;
    for (int s = 0; s < q::RMQR_SIZES; ++s) {
        SCOPED_TRACE(s);
        EXPECT_EQ(q::rectDataModules(s), q::rectCodewordModules(s));
        EXPECT_EQ(q::rectDataModules(s) / 8, q::RECT[s].codewords);
        // The reader's own function patterns leave the same modules.
        EXPECT_EQ(korvane::detail::rmqrCodewordModules(s).size(), static_cast<std::size_t>(8 * q::RECT[s].codewords));
    }
    for (int v = 1; v <= q::MICRO_VERSIONS; ++v)
        EXPECT_EQ(korvane::detail::microQrCodewordModules(v).size(),
                  static_cast<std::size_t>(q::microCodewordModules(v)));
}

// UPNQR: version 15 at level M, bytes of ISO 8859-2 under ECI 4, equal to
// zint's symbol (its mask chosen by the same rules) and read back by the
// library's QR Code reader as those bytes.
TEST(SmallQr, UpnQrMatchesZintAndReadsBack) {
    constexpr int ZINT_UPNQR = 143;
    const std::string order = "UPNQR\n\n\n\n\nJanez Novak\nDunajska 1\n1000 Ljubljana\n00000010000\n\n\nGDSV\n"
                              "Pla\xc4\x8dilo elektri\xc4\x8dne energije\n\nSI56020360253863406\nSI121234567890120\n"
                              "Elektro d.d.\n\xc5\xa0martinska 1\n1000 Ljubljana\n207\n";
    for (const std::string& data : {std::string("UPNQR"), order}) {
        const korvane::Symbol s = kvtest::encoded(Symbology::UpnQr, data);
        EXPECT_EQ(s.facts.qr.version, 15);
        EXPECT_EQ(rowsOf(s), zintRowsCut(ZINT_UPNQR, data, "", s.columns));
        const korvane::Result<korvane::Drawing> d = korvane::layout(s, kvtest::pixels(4));
        ASSERT_TRUE(d.ok());
        const korvane::Verdict v = korvane::verify(*d, s);
        EXPECT_TRUE(v.ok) << v.reason;
        EXPECT_EQ(v.read.find('\xc4'), std::string::npos);  // Latin-2 bytes, not UTF-8
    }
    const struct {
        std::string data;
        const char* message;
    } REFUSED[] = {
        {"caf\xc3\xa9 \xe2\x82\xac", "character 6 (\xe2\x82\xac) is not in ISO 8859-2"},
        {std::string(412, 'A'), "no UPNQR holds more than 411"},
    };
    for (const auto& c : REFUSED) {
        const korvane::Result<korvane::Symbol> r = korvane::encode(Symbology::UpnQr, c.data);
        ASSERT_FALSE(r.ok()) << c.message;
        EXPECT_NE(r.error().message.find(c.message), std::string::npos) << r.error().message;
    }
}
