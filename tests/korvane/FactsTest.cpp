// The facts record of each family, as each front end sees it, and through the
// C API. The front ends' own tests hold their serialisations (the command's
// JSON, Python's dict, the npm package's object).

#include <korvane/Facts.h>
#include <korvane/korvane.h>
#include <korvane/korvane.hpp>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using korvane::Fact;
using korvane::FactView;

// A record in one view as "name=value ...", records in {}, lists in [].
std::string shown(const std::vector<Fact>& facts, FactView view) {
    std::string out;
    for (const Fact& f : facts) {
        if (!f.shownIn(view))
            continue;
        if (!out.empty())
            out += ' ';
        if (!f.name.empty())
            out += korvane::factName(f.name, view == korvane::PYTHON_VIEW ? korvane::NameStyle::Snake
                                                                           : korvane::NameStyle::Camel) + "=";
        char real[32];
        switch (f.kind) {
        case Fact::Kind::Integer: out += std::to_string(f.integer); break;
        case Fact::Kind::Boolean: out += f.integer ? "true" : "false"; break;
        case Fact::Kind::Real:
            std::snprintf(real, sizeof real, "%.4g", f.real);
            out += real;
            break;
        case Fact::Kind::Text:
        case Fact::Kind::Bytes: out += "'" + f.text + "'"; break;
        case Fact::Kind::List: out += "[" + shown(f.items, view) + "]"; break;
        case Fact::Kind::Record: out += "{" + shown(f.items, view) + "}"; break;
        }
    }
    return out;
}

struct FactsCase {
    const char* label;
    korvane::Symbology symbology;
    const char* data;
    korvane::EncodeOptions options;
    FactView view;
    const char* expected;
};

korvane::EncodeOptions structured(int index, int count) {
    korvane::EncodeOptions o;
    o.structuredAppend.index = index;
    o.structuredAppend.count = count;
    return o;
}

korvane::EncodeOptions addOn(const char* digits) {
    korvane::EncodeOptions o;
    o.addOn = digits;
    return o;
}

using S = korvane::Symbology;
const FactsCase FACTS_CASES[] = {
    {"EAN-13: the add-on, the report leaves out what is not there", S::Ean13, "590123412345", addOn("12"),
     korvane::REPORT_VIEW,
     "data='5901234123457' text='5901234123457 12' checkCharacters='7' checkSupplied=false addOn='12'"},
    {"Code 39 in Python: no text, the add-on empty", S::Code39, "ABC", {}, korvane::PYTHON_VIEW,
     "data='ABC' check_characters='' check_supplied=false add_on=''"},
    {"Aztec in a set", S::Aztec, "ABC", structured(2, 3), korvane::REPORT_VIEW,
     "data='ABC' text='ABC' checkCharacters='' checkSupplied=false aztec={compact=true layers=1 dataCodewords=6 "
     "totalCodewords=17 codewordBits=6 dataBits=35 eccPercent=64.71 readerInit=false "
     "structuredAppend={index=2 count=3}}"},
    {"Aztec in JavaScript", S::Aztec, "Seat14C", {}, korvane::JAVASCRIPT_VIEW,
     "data='Seat14C' text='Seat14C' checkCharacters='' checkSupplied=false addOn='' aztec={compact=true layers=1 "
     "dataCodewords=8 totalCodewords=17 eccPercent=52.94}"},
    {"QR Code with the ECI it added", S::Qr, "\xc3\x84-text", {}, korvane::REPORT_VIEW,
     "data='\xc3\x84-text' text='\xc3\x84-text' checkCharacters='' checkSupplied=false qr={version=1 level='Q' "
     "mask=3 segments=[{mode='byte' characters=7}] eci=26 dataBits=80 dataCodewords=13 checkCodewords=13 blocks=1 "
     "bitsLeft=24 gs1=false}"},
    {"QR Code in Python: the set as two numbers, no ECI as -1", S::Qr, "HELLO", structured(2, 4),
     korvane::PYTHON_VIEW,
     "data='HELLO' check_characters='' check_supplied=false add_on='' qr={version=1 level='H' mask=0 "
     "segments=[{mode='alphanumeric' characters=5}] eci=-1 data_bits=61 data_codewords=9 check_codewords=17 "
     "blocks=1 bits_left=11 gs1=false structured_index=2 structured_count=4}"},
    {"Data Matrix", S::DataMatrix, "Hello123456", {}, korvane::REPORT_VIEW,
     "data='Hello123456' text='Hello123456' checkCharacters='' checkSupplied=false dataMatrix={rows=14 columns=14 "
     "shape='square' dataCodewords=8 checkCodewords=10 blocks=1 streamCodewords=8 capacityLeft=0 "
     "segments=[{mode='ASCII' start=0 end=11}] readerInit=false}"},
    {"Data Matrix in JavaScript", S::DataMatrix, "Hello123456", {}, korvane::JAVASCRIPT_VIEW,
     "data='Hello123456' text='Hello123456' checkCharacters='' checkSupplied=false addOn='' dataMatrix={"
     "rectangular=false dmre=false dataCodewords=8 checkCodewords=10}"},
    {"PDF417 segment of a Macro PDF417 file", S::Pdf417, "x", structured(2, 5), korvane::JAVASCRIPT_VIEW,
     "data='x' text='' checkCharacters='' checkSupplied=false addOn='' pdf417={rows=9 columns=2 level=2 "
     "dataCodewords=10 checkCodewords=8 capacityLeft=1 compact=false readerInit=false segments={index=2 count=5}}"},
    {"PDF417 in Python", S::Pdf417, "PDF417 label 42", {}, korvane::PYTHON_VIEW,
     "data='PDF417 label 42' check_characters='' check_supplied=false add_on='' pdf417={rows=9 columns=2 level=2 "
     "data_codewords=10 check_codewords=8 capacity_left=0 compact=false reader_init=false segment_index=0 "
     "segment_count=0}"},
};

TEST(Facts, EachFamilysRecordInEachView) {
    for (const FactsCase& c : FACTS_CASES) {
        SCOPED_TRACE(c.label);
        const korvane::Result<korvane::Symbol> s = korvane::encode(c.symbology, c.data, c.options);
        ASSERT_TRUE(s) << s.error().message;
        EXPECT_EQ(shown(korvane::factsRecord(*s), c.view), c.expected);
    }
}

TEST(Facts, NamesInEachStyle) {
    struct Case {
        const char* words;
        const char* camel;
        const char* snake;
    };
    const Case CASES[] = {{"data", "data", "data"},
                          {"data matrix", "dataMatrix", "data_matrix"},
                          {"check characters", "checkCharacters", "check_characters"},
                          {"pdf417", "pdf417", "pdf417"}};
    for (const Case& c : CASES) {
        EXPECT_EQ(korvane::factName(c.words, korvane::NameStyle::Camel), c.camel);
        EXPECT_EQ(korvane::factName(c.words, korvane::NameStyle::Snake), c.snake);
    }
}

// The C API walks the report's record: snake_case names, lists and records
// nested, out-of-range indexes harmless.
TEST(Facts, ThroughTheCApi) {
    kv_encode_options o;
    kv_encode_options_init(&o);
    o.structured_index = 2;
    o.structured_count = 4;
    o.qr_level = 3;
    kv_symbol* symbol = nullptr;
    ASSERT_EQ(kv_encode("qr", "HELLO", 5, &o, &symbol, nullptr, 0), KV_OK);
    const kv_facts* top = kv_symbol_facts(symbol);
    EXPECT_EQ(kv_facts_find(top, "add_on"), -1) << "not there: left out, as the report leaves it";
    size_t length = 0;
    EXPECT_STREQ(kv_facts_text(top, kv_facts_find(top, "data"), &length), "HELLO");
    EXPECT_EQ(length, 5u);
    const int qrAt = kv_facts_find(top, "qr");
    ASSERT_EQ(kv_facts_type(top, qrAt), KV_FACT_RECORD);
    const kv_facts* qr = kv_facts_nested(top, qrAt);
    EXPECT_EQ(kv_facts_integer(qr, kv_facts_find(qr, "version")), 1);
    EXPECT_EQ(kv_facts_type(qr, kv_facts_find(qr, "gs1")), KV_FACT_BOOLEAN);
    EXPECT_STREQ(kv_facts_text(qr, kv_facts_find(qr, "level"), nullptr), "H");
    const kv_facts* segments = kv_facts_nested(qr, kv_facts_find(qr, "segments"));
    ASSERT_EQ(kv_facts_count(segments), 1);
    EXPECT_STREQ(kv_facts_name(segments, 0), "");
    const kv_facts* segment = kv_facts_nested(segments, 0);
    EXPECT_STREQ(kv_facts_text(segment, kv_facts_find(segment, "mode"), nullptr), "alphanumeric");
    const kv_facts* set = kv_facts_nested(qr, kv_facts_find(qr, "structured_append"));
    EXPECT_EQ(kv_facts_integer(set, kv_facts_find(set, "count")), 4);
    EXPECT_EQ(kv_facts_find(qr, "structured_index"), -1) << "Python's spelling of the set";

    EXPECT_EQ(kv_facts_type(qr, 99), KV_FACT_NONE);
    EXPECT_EQ(kv_facts_name(qr, -1), nullptr);
    EXPECT_EQ(kv_facts_text(qr, kv_facts_find(qr, "version"), &length), nullptr);
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(kv_facts_nested(nullptr, 0), nullptr);
    EXPECT_EQ(kv_facts_count(kv_symbol_facts(nullptr)), 0);
    kv_symbol_free(symbol);
}

}  // namespace
