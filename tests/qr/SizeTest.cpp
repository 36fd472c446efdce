// Sizes against two peer generators (zint's library and zxing-cpp's writer)
// on a corpus of URLs, texts, digit runs, Japanese text and bytes: no symbol
// of ours is larger at the same level, and the test says how many are smaller.
//
// Japanese text is held against zint told to use ECI 20 (Shift JIS). Left to
// itself, zint writes Shift JIS bytes in byte mode with no designator, where
// ISO/IEC 18004 (2015) reads ISO 8859-1: readers must guess. The library puts
// such text in Kanji mode, or marks the bytes ECI 20, at the cost of the
// 12-bit designator; the test counts how often that makes zint's unmarked
// symbol the smaller one.

#include "QrTestSupport.h"

#define ZX_USE_UTF8 1
#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>

#include <gtest/gtest.h>

#include <iostream>
#include <map>

using korvane::qr::Level;

namespace {

struct Entry {
    const char* kind;
    std::string value;
    bool bytes;  // not text: zint and zxing-cpp take it as bytes
};

std::vector<Entry> corpus() {
    std::mt19937 rng(2015);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    auto from = [&](const char* set, int n) {
        std::string s;
        const int len = static_cast<int>(std::char_traits<char>::length(set));
        for (int i = 0; i < n; ++i)
            s += set[pick(len)];
        return s;
    };
    const char* LOWER = "abcdefghijklmnopqrstuvwxyz";
    const char* ALNUM = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::vector<Entry> out;
    for (int i = 0; i < 60; ++i) {
        const char* schemes[] = {"https://", "http://", "HTTPS://", "https://www."};
        std::string url = schemes[pick(4)] + from(LOWER, 3 + pick(10)) + (pick(2) ? ".com" : ".co.uk");
        for (int p = 0, n = pick(4); p < n; ++p)
            url += "/" + from(ALNUM, 1 + pick(12));
        if (pick(2))
            url += "?id=" + from("0123456789", 1 + pick(14)) + "&ref=" + from(ALNUM, pick(8));
        if (pick(4) == 0)
            url = "HTTPS://EXAMPLE.COM/01/" + from("0123456789", 14) + "/21/" + from("0123456789ABCDEF", 8);
        out.push_back({"URL", url, false});
    }
    const char* WORDS[] = {"Order", "ticket", "SEAT", "14C", "gate", "B22", "total", "EUR", "12.50", "ref:",
                           "Hello,", "world!", "2024-05-17", "#42", "(c)", "ID", "A-1234", "qty", "x3", "OK"};
    for (int i = 0; i < 60; ++i) {
        std::string s;
        for (int w = 0, n = 2 + pick(14); w < n; ++w)
            s += std::string(w ? " " : "") + WORDS[pick(20)];
        out.push_back({"mixed text", s, false});
    }
    for (int i = 0; i < 60; ++i) {
        std::string s = from("0123456789", 1 + pick(200));
        if (pick(3) == 0)
            s = from("ABCDEFGH", 1 + pick(5)) + s + from("XYZ-", pick(4)) + from("0123456789", pick(40));
        out.push_back({"digits", s, false});
    }
    const char* JAPANESE[] = {"\xe6\x9d\xb1\xe4\xba\xac", "\xe9\xa7\x85", "\xe3\x81\x82\xe3\x82\x8a\xe3\x81\x8c\xe3\x81\xa8\xe3\x81\x86",
                              "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e", "\xe3\x83\x81\xe3\x82\xb1\xe3\x83\x83\xe3\x83\x88",
                              "\xe4\xba\x88\xe7\xb4\x84", "No.", "123", "QR", "\xe3\x80\x81", "\xe3\x80\x82", " "};
    for (int i = 0; i < 60; ++i) {
        std::string s;
        for (int w = 0, n = 1 + pick(20); w < n; ++w)
            s += JAPANESE[pick(12)];
        out.push_back({"Japanese", s, false});
    }
    for (int i = 0; i < 60; ++i) {
        std::string s;
        for (int k = 0, n = 1 + pick(300); k < n; ++k)
            s += static_cast<char>(pick(256));
        out.push_back({"bytes", s, true});
    }
    return out;
}

int zxingSize(const Entry& e, Level level) {
    constexpr int ECC[4] = {1, 4, 6, 8};  // zxing-cpp's 0-8 scale: L, M, Q, H
    ZXing::MultiFormatWriter w(ZXing::BarcodeFormat::QRCode);
    w.setEccLevel(ECC[static_cast<int>(level)]).setMargin(0);
    try {
        if (e.bytes) {
            std::wstring wide(e.value.begin(), e.value.end());
            for (wchar_t& c : wide)
                c = static_cast<wchar_t>(static_cast<unsigned char>(c));
            w.setEncoding(ZXing::CharacterSet::ISO8859_1);
            return w.encode(wide, 0, 0).width();
        }
        w.setEncoding(ZXing::CharacterSet::UTF8);
        return w.encode(e.value, 0, 0).width();
    } catch (...) {
        return 0;  // too long for zxing-cpp's encoder
    }
}

}  // namespace

TEST(QrSize, NoSymbolLargerThanZintsOrZxingsAtTheSameLevel) {
    std::map<std::string, std::array<int, 5>> tally;  // entries, smaller than zint, than zxing, equal to both, zint refused
    int unmarkedSmaller[2] = {0, 0};
    int i = 0;
    for (const Entry& e : corpus()) {
        const auto level = static_cast<Level>(i++ % 4);
        korvane::qr::QrOptions o;
        o.level = level;
        o.boost = false;
        const auto ours = korvane::qr::encode(qrtest::message(e.value), o);
        ASSERT_TRUE(ours) << ours.error().message;
        const bool japanese = std::string(e.kind) == "Japanese";
        const qrtest::ZintSymbol z = qrtest::zint(e.value, static_cast<int>(level) + 1, 0, -1, !e.bytes, false,
                                                  japanese ? 20 : 0);
        if (japanese) {
            const qrtest::ZintSymbol unmarked = qrtest::zint(e.value, static_cast<int>(level) + 1, 0, -1, true);
            ++unmarkedSmaller[unmarked.size > 0 && unmarked.size < ours->size];
        }
        const int zx = zxingSize(e, level);
        SCOPED_TRACE(std::string(e.kind) + " level " + korvane::qr::levelName(level) + ": " + e.value);
        auto& t = tally[e.kind];
        ++t[0];
        if (z.size > 0) {
            EXPECT_LE(ours->size, z.size) << "zint";
            t[1] += ours->size < z.size;
        } else {
            ++t[4];
        }
        if (zx > 0) {
            EXPECT_LE(ours->size, zx) << "zxing-cpp";
        }
        t[2] += zx > 0 && ours->size < zx;
        t[3] += ours->size == z.size && ours->size == zx;
    }
    for (const auto& [kind, t] : tally)
        std::cout << kind << ": " << t[0] << " values, smaller than zint's " << t[1] << ", than zxing-cpp's " << t[2]
                  << ", the same as both " << t[3] << (t[4] ? ", zint refused " + std::to_string(t[4]) : "") << "\n";
    std::cout << "Japanese: zint's symbol without a designator is smaller in " << unmarkedSmaller[1] << " of "
              << unmarkedSmaller[0] + unmarkedSmaller[1] << "\n";

    // Text with Latin-1 letters goes as UTF-8 under ECI 26 (two bytes a letter
    // and the designator) where zint writes ISO 8859-1 bytes unmarked: counted,
    // not held against it. Unmarked, such bytes are read as Shift JIS often
    // enough (in a trial of 1,000 random values zxing-cpp 1.4 misread 117 and
    // zbar 0.23 221) that the library marks them.
    std::mt19937 rng(1);
    int larger = 0, count = 0;
    for (; count < 60; ++count) {
        const std::string value = qrtest::randomValue(qrtest::Kind::Latin1, rng);
        korvane::qr::QrOptions o;
        o.boost = false;
        const auto ours = korvane::qr::encode(qrtest::message(value), o);
        ASSERT_TRUE(ours);
        larger += ours->size > qrtest::zint(value, 2, 0, -1, true).size;
    }
    std::cout << "Latin-1 text: larger than zint's unmarked ISO 8859-1 in " << larger << " of " << count << "\n";
}
