// GS1 Digital Link URIs made from element strings and read back, and what
// either refuses.

#include <korvane/korvane.h>
#include <korvane/korvane.hpp>

#include "KorvaneTestUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

// Element strings, their URI on GS1's domain, and the element strings the
// URI reads back as (the qualifiers in the path's order, attributes after).
TEST(Gs1DigitalLink, ElementStringsAndUrisRoundTrip) {
    const struct {
        const char* elements;
        const char* uri;
        const char* back;
    } cases[] = {
        {"(01)09506000134352", "https://id.gs1.org/01/09506000134352", "(01)09506000134352"},
        {"(01)09506000134352(10)ABC1(17)270101", "https://id.gs1.org/01/09506000134352/10/ABC1?17=270101",
         "(01)09506000134352(10)ABC1(17)270101"},
        // Qualifiers in the dictionary's order whatever the element strings' order.
        {"(21)S/1(10)L+2(01)09506000134352(22)V", "https://id.gs1.org/01/09506000134352/22/V/10/L%2B2/21/S%2F1",
         "(01)09506000134352(22)V(10)L+2(21)S/1"},
        {"(01)09506000134352(235)TPX9", "https://id.gs1.org/01/09506000134352/235/TPX9",
         "(01)09506000134352(235)TPX9"},
        {"(00)106141412345678908", "https://id.gs1.org/00/106141412345678908", "(00)106141412345678908"},
        // An AI given twice with one value stands once.
        {"(01)09506000134352(10)A(10)A(17)270101(17)270101", "https://id.gs1.org/01/09506000134352/10/A?17=270101",
         "(01)09506000134352(10)A(17)270101"},
        {"(414)9506000134352(254)ext", "https://id.gs1.org/414/9506000134352/254/ext", "(414)9506000134352(254)ext"},
        {"(01)09506000134352(3103)000189(4300)A%26B", "https://id.gs1.org/01/09506000134352?3103=000189&4300=A%2526B",
         "(01)09506000134352(3103)000189(4300)A%26B"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.elements);
        const korvane::Result<std::string> uri = korvane::gs1DigitalLink(c.elements);
        ASSERT_TRUE(uri) << uri.error().message;
        EXPECT_EQ(*uri, c.uri);
        const korvane::Result<std::string> back = korvane::gs1FromDigitalLink(*uri);
        ASSERT_TRUE(back) << back.error().message;
        EXPECT_EQ(*back, c.back);
    }
    EXPECT_EQ(*korvane::gs1DigitalLink("(01)09506000134352", "https://example.com/shop/"),
              "https://example.com/shop/01/09506000134352");
}

// URIs as people write them: a path before the key, short GTINs, other query
// parameters; and what is no GS1 Digital Link.
TEST(Gs1DigitalLink, UrisReadOrRefused) {
    const struct {
        const char* uri;
        const char* elements;  // or the refusal's words
        bool ok;
    } cases[] = {
        {"https://example.com/a/b/01/9506000134352/10/X?linkType=gs1:pip#top", "(01)09506000134352(10)X", true},
        {"http://id.gs1.org/01/95060002?17=270101", "(01)00000095060002(17)270101", true},
        {"ftp://id.gs1.org/01/09506000134352", "begins with https:// or http://", false},
        {"https://id.gs1.org/10/ABC", "holds no GS1 primary key", false},
        {"https://id.gs1.org/01/09506000134352/10", "without its value", false},
        {"https://id.gs1.org/01/09506000134352/21/S/10/L", "stand in none of the orders 22,10,21|235", false},
        {"https://id.gs1.org/01/09506000134352/17/270101", "is no qualifier of (01)", false},
        {"https://id.gs1.org/01/09506000134353", "check digit 3 of 09506000134353", false},
        {"https://id.gs1.org/01/09506000134352?17=270132", "date 270132 has day 32", false},
        {"https://id.gs1.org/01/09506000134352/10/A%2", "without two hexadecimal digits", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.uri);
        const korvane::Result<std::string> r = korvane::gs1FromDigitalLink(c.uri);
        if (c.ok) {
            ASSERT_TRUE(r) << r.error().message;
            EXPECT_EQ(*r, c.elements);
        } else {
            ASSERT_FALSE(r);
            EXPECT_NE(r.error().message.find(c.elements), std::string::npos) << r.error().message;
        }
    }
    // No key; qualifiers of two sequences; an AI that is no data attribute; a second key.
    for (const char* refused : {"(10)ABC", "(01)09506000134352(22)V(235)T", "(01)09506000134352(254)EXT",
                                "(01)09506000134352(00)106141412345678908"}) {
        SCOPED_TRACE(refused);
        EXPECT_FALSE(korvane::gs1DigitalLink(refused));
    }
}

// The C call: the answer whole or not at all, and its length to ask again with.
TEST(Gs1DigitalLink, ThroughC) {
    const struct {
        kv_gs1_action what;
        const char* data;
        std::size_t room;
        kv_status status;
        const char* out;  // or the error's words
    } cases[] = {
        {KV_GS1_DIGITAL_LINK, "(01)09506000134352(10)AB", 64, KV_OK, "https://id.gs1.org/01/09506000134352/10/AB"},
        {KV_GS1_DIGITAL_LINK, "(01)09506000134352(10)AB", 42, KV_SIZE_TOO_LARGE, "needs 43 bytes"},
        {KV_GS1_ELEMENTS, "https://id.gs1.org/01/09506000134352", 64, KV_OK, "(01)09506000134352"},
        {KV_GS1_HRI, "(01)09506000134352(17)270101", 64, KV_OK, "(01) 09506000134352 (17) 270101"},
        {KV_GS1_CHECK, "(10)A", 128, KV_OK, "GS1 AI (10) needs (01) or (02) or (03) or (8006) or (8026)\n"},
        {KV_GS1_CHECK, "(01)09506000134353", 128, KV_CHECK_DIGIT, "check digit 3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        char out[128] = "x", error[128] = "";
        std::size_t length = 0;
        EXPECT_EQ(kv_gs1(c.what, c.data, nullptr, out, c.room, &length, error, sizeof error), c.status);
        if (c.status == KV_OK) {
            EXPECT_STREQ(out, c.out);
            EXPECT_EQ(length, std::string(c.out).size());
        } else {
            EXPECT_STREQ(out, "");
            EXPECT_NE(std::string(error).find(c.out), std::string::npos) << error;
        }
    }
    char error[64] = "";
    EXPECT_EQ(kv_gs1(KV_GS1_HRI, nullptr, nullptr, nullptr, 0, nullptr, error, sizeof error), KV_INVALID_ARGUMENT);
}

}  // namespace

namespace {

// --gs1-dl: QR Code and Data Matrix hold the element strings' URI, which
// zxing-cpp reads back and which parses back to the same element strings;
// what cannot be one is refused naming why.
TEST(Gs1DigitalLink, SymbolsHoldTheUri) {
    struct Case {
        korvane::Symbology symbology;
        const char* data;
        const char* domain;
        const char* uri;  // or the refusal it holds
    };
    using korvane::Symbology;
    const Case cases[] = {
        {Symbology::Qr, "(01)09506000134352(10)ABC1(17)270101", "",
         "https://id.gs1.org/01/09506000134352/10/ABC1?17=270101"},
        {Symbology::DataMatrix, "(01)09506000134352(21)A/B%1", "https://example.com/p",
         "https://example.com/p/01/09506000134352/21/A%2FB%251"},
        {Symbology::Qr, "(01)09506000134351", "", "check digit 1 of 09506000134351 does not match"},
        {Symbology::Code128, "(01)09506000134352", "", "the option gs1-dl does not apply to Code 128"},
        {Symbology::Qr, "(01)09506000134352", "ftp://example.com", "is not a web address starting https://"},
    };
    // A URI given as GS1 data is checked as one and carried as it is.
    const std::pair<const char*, const char*> given[] = {
        {"https://id.gs1.org/01/09506000134352/10/ABC1?17=270101", ""},
        {"https://id.gs1.org/01/09506000134351", "check digit 1 of 09506000134351 does not match"},
    };
    for (const auto& [uri, refusal] : given) {
        const korvane::Result<korvane::Symbol> symbol =
            korvane::encode(Symbology::DataMatrix, uri, kvtest::options([](auto& o) { o.gs1 = true; }));
        ASSERT_EQ(static_cast<bool>(symbol), *refusal == '\0') << uri;
        if (symbol)
            EXPECT_EQ(kvtest::readBack(*symbol, testsupport::Symbology::DataMatrix).text, uri);
        else
            EXPECT_NE(symbol.error().message.find(refusal), std::string::npos) << symbol.error().message;
    }
    for (const Case& c : cases) {
        korvane::Request request;
        request.symbology = c.symbology;
        request.data = c.data;
        korvane::Status set = korvane::setOption(request, "gs1-dl", "");
        if (set && *c.domain)
            set = korvane::setOption(request, "gs1-dl-domain", c.domain);
        const korvane::Result<korvane::Symbol> symbol = set ? korvane::encode(request) : set.error();
        if (std::string(c.uri).rfind("https://", 0) != 0) {
            ASSERT_FALSE(symbol) << c.data;
            EXPECT_NE(symbol.error().message.find(c.uri), std::string::npos) << symbol.error().message;
            continue;
        }
        ASSERT_TRUE(symbol) << c.data << ": " << symbol.error().message;
        testsupport::Symbology as;
        ASSERT_TRUE(kvtest::zxingReads(c.symbology, as));
        const testsupport::Decoded read = kvtest::readBack(*symbol, as);
        EXPECT_EQ(read.text, c.uri);
        const korvane::Result<std::string> back = korvane::gs1FromDigitalLink(read.text);
        ASSERT_TRUE(back) << read.text;
        EXPECT_EQ(*back, std::string(c.data)) << read.text;
    }
}

}  // namespace
