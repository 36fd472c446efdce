// The facts record: the one place that says which facts a symbol has, in what
// order and under what names.

#include "korvane/Facts.h"

#include "Descriptor.h"
#include "linear/PostalTables.h"

#include <algorithm>
#include <utility>

namespace korvane {
namespace {

constexpr unsigned REPORT_AND_PYTHON = REPORT_VIEW | PYTHON_VIEW;
constexpr unsigned REPORT_AND_JAVASCRIPT = REPORT_VIEW | JAVASCRIPT_VIEW;

Fact integer(std::string_view name, long long v, unsigned views = ALL_VIEWS) {
    Fact f;
    f.name = name;
    f.kind = Fact::Kind::Integer;
    f.integer = v;
    f.views = views;
    return f;
}

Fact boolean(std::string_view name, bool v, unsigned views = ALL_VIEWS) {
    Fact f = integer(name, v ? 1 : 0, views);
    f.kind = Fact::Kind::Boolean;
    return f;
}

Fact real(std::string_view name, double v, unsigned views = ALL_VIEWS) {
    Fact f = integer(name, 0, views);
    f.kind = Fact::Kind::Real;
    f.real = v;
    return f;
}

Fact text(std::string_view name, std::string v, unsigned views = ALL_VIEWS, Fact::Kind kind = Fact::Kind::Text) {
    Fact f = integer(name, 0, views);
    f.kind = kind;
    f.text = std::move(v);
    return f;
}

Fact nested(Fact::Kind kind, std::string_view name, std::vector<Fact> items, unsigned views = ALL_VIEWS) {
    Fact f = integer(name, 0, views);
    f.kind = kind;
    f.items = std::move(items);
    return f;
}

Fact record(std::string_view name, std::vector<Fact> items, unsigned views = ALL_VIEWS) {
    return nested(Fact::Kind::Record, name, std::move(items), views);
}

Fact unsetWhen(bool none, Fact f) {
    f.set = !none;
    return f;
}

// The place in a structured-append set, twice: as the report and JavaScript
// have it (a record, only in a set) and as Python has it (two numbers, always).
void addStructuredAppend(std::vector<Fact>& out, std::string_view record, std::string_view index,
                         std::string_view count, int i, int n, unsigned recordViews, std::vector<Fact> more = {}) {
    out.push_back(integer(index, i, PYTHON_VIEW));
    out.push_back(integer(count, n, PYTHON_VIEW));
    std::vector<Fact> items{integer("index", i), integer("count", n)};
    for (Fact& f : more)
        items.push_back(std::move(f));
    out.push_back(unsetWhen(n <= 0, ::korvane::record(record, std::move(items), recordViews)));
}

}  // namespace

namespace detail {

Fact aztecFacts(const Symbol& s) {
    const AztecFacts& a = s.facts.aztec;
    std::vector<Fact> f{
        boolean("compact", a.compact),
        integer("layers", a.layers),
        integer("data codewords", a.dataCodewords),
        integer("total codewords", a.totalCodewords),
        integer("codeword bits", a.codewordBits, REPORT_AND_PYTHON),
        integer("data bits", a.dataBits, REPORT_AND_PYTHON),
        real("ecc percent", a.eccPercent),
        boolean("reader init", a.readerInit, REPORT_AND_PYTHON),
    };
    addStructuredAppend(f, "structured append", "structured index", "structured count", a.structuredIndex,
                        a.structuredCount, REPORT_VIEW);
    return record("aztec", std::move(f));
}

namespace {

// QR Code's record; Micro QR's and rMQR's also name their version.
Fact qrRecord(const Symbol& s, bool named) {
    const QrFacts& q = s.facts.qr;
    std::vector<Fact> segments;
    for (const QrSegmentFact& g : q.segments)
        segments.push_back(record({}, {text("mode", g.mode), integer("characters", g.characters)}));
    std::vector<Fact> f{
        integer("version", q.version),
        text("level", std::string(1, q.level)),
        unsetWhen(q.mask < 0, integer("mask", q.mask)),
        nested(Fact::Kind::List, "segments", std::move(segments), REPORT_AND_PYTHON),
        unsetWhen(q.eci < 0, integer("eci", q.eci, REPORT_AND_PYTHON)),
        integer("data bits", q.dataBits, REPORT_AND_PYTHON),
        integer("data codewords", q.dataCodewords),
        integer("check codewords", q.checkCodewords),
        integer("blocks", q.blocks, REPORT_AND_PYTHON),
        integer("bits left", q.bitsLeft),
        boolean("gs1", q.gs1, REPORT_AND_PYTHON),
    };
    addStructuredAppend(f, "structured append", "structured index", "structured count", q.structuredIndex,
                        q.structuredCount, REPORT_VIEW, {integer("parity", q.structuredParity)});
    if (named)
        f.insert(f.begin() + 1, text("version name", q.versionName));
    return record("qr", std::move(f));
}

}  // namespace

Fact qrFacts(const Symbol& s) { return qrRecord(s, false); }

Fact smallQrFacts(const Symbol& s) { return qrRecord(s, true); }

Fact dataMatrixFacts(const Symbol& s) {
    const DataMatrixFacts& m = s.facts.dataMatrix;
    std::vector<Fact> segments;
    for (const DataMatrixSegment& g : m.segments)
        segments.push_back(record({}, {text("mode", g.mode), integer("start", g.start), integer("end", g.end)}));
    std::vector<Fact> f{
        integer("rows", s.rows, REPORT_VIEW),
        integer("columns", s.columns, REPORT_VIEW),
        text("shape", m.dmre ? "dmre" : m.rectangular ? "rectangular" : "square", REPORT_AND_PYTHON),
        boolean("rectangular", m.rectangular, JAVASCRIPT_VIEW),
        boolean("dmre", m.dmre, JAVASCRIPT_VIEW),
        integer("data codewords", m.dataCodewords),
        integer("check codewords", m.checkCodewords),
        integer("blocks", m.blocks, REPORT_AND_PYTHON),
        integer("stream codewords", m.streamCodewords, REPORT_VIEW),
        integer("capacity left", m.dataCodewords - m.streamCodewords, REPORT_AND_PYTHON),
        nested(Fact::Kind::List, "segments", std::move(segments), REPORT_AND_PYTHON),
        boolean("reader init", m.readerInit, REPORT_AND_PYTHON),
    };
    addStructuredAppend(f, "structured append", "structured index", "structured count", m.structuredIndex,
                        m.structuredCount, REPORT_VIEW);
    return record("data matrix", std::move(f));
}

Fact pdf417Facts(const Symbol& s) {
    const Pdf417Facts& p = s.facts.pdf417;
    std::vector<Fact> f{
        integer("rows", p.rows),
        integer("columns", p.columns),
        integer("level", p.level),
        integer("data codewords", p.dataCodewords),
        integer("check codewords", p.checkCodewords),
        integer("capacity left", p.capacityLeft),
        boolean("compact", p.compact),
        boolean("reader init", p.readerInit),
    };
    addStructuredAppend(f, "segments", "segment index", "segment count", p.segmentIndex, p.segmentCount,
                        REPORT_AND_JAVASCRIPT);
    return record("pdf417", std::move(f));
}

// The stacked GS1 DataBar symbols: their rows of characters (34 or 33
// modules tall, 5 and 7 for DataBar Stacked) and width in modules.
Fact dataBarFacts(const Symbol& s) {
    int rows = 0;
    for (int y = 0, band = 0; y < s.rows; ++y) {
        const bool same = y > 0 && std::equal(s.modules.begin() + static_cast<std::ptrdiff_t>(y) * s.columns,
                                              s.modules.begin() + static_cast<std::ptrdiff_t>(y + 1) * s.columns,
                                              s.modules.begin() + static_cast<std::ptrdiff_t>(y - 1) * s.columns);
        band = same ? band + 1 : 1;
        if (band == 5)
            ++rows;
    }
    std::vector<Fact> f{integer("rows", rows), integer("columns", s.columns)};
    // Expanded Stacked: a row is two guards of 2 modules and pairs of 49.
    if (s.symbology == Symbology::DataBarExpandedStacked)
        f.push_back(integer("segments per row", 2 * ((s.columns - 4) / 49)));
    return record("databar", std::move(f));
}

// An IMb's data is its 20-digit tracking code, then its routing code.
Fact imbFacts(const Symbol& s) {
    const std::string& data = s.facts.data;
    return record("imb", {text("tracking code", data.substr(0, 20)),
                          text("routing code", data.size() > 20 ? data.substr(20) : std::string())});
}

// An Australia Post barcode's data is its sorting code, then any customer
// information; the FCC follows from the row and that information's length.
Fact ausPostFacts(const Symbol& s) {
    const std::string& data = s.facts.data;
    const int row = static_cast<int>(s.symbology) - static_cast<int>(Symbology::AusPost);
    int fcc = 0;
    for (const postal::AusFormat& f : postal::AUS_FORMATS)
        if (f.row == row && static_cast<std::size_t>(f.customerDigits) + 8 == data.size())
            fcc = f.fcc;
    return record("australia post", {integer("fcc", fcc), text("sorting code", data.substr(0, 8)),
                                     text("customer information", data.size() > 8 ? data.substr(8) : std::string())});
}

}  // namespace detail

std::vector<Fact> factsRecord(const Symbol& s) {
    const SymbolFacts& f = s.facts;
    std::vector<Fact> out{
        text("data", f.data, ALL_VIEWS, Fact::Kind::Bytes),
        text("text", s.text, REPORT_AND_JAVASCRIPT, Fact::Kind::Bytes),
        text("check characters", f.checkCharacters),
        boolean("check supplied", f.checkSupplied),
        unsetWhen(f.addOn.empty(), text("add on", f.addOn)),
    };
    if (const auto more = detail::descriptor(s.symbology).facts)
        out.push_back(more(s));
    return out;
}

std::string factName(std::string_view words, NameStyle style) {
    std::string out;
    out.reserve(words.size());
    bool gap = false;
    for (const char c : words) {
        if (c == ' ') {
            gap = true;
            continue;
        }
        if (gap && style == NameStyle::Snake)
            out += '_';
        out += gap && style == NameStyle::Camel && c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        gap = false;
    }
    return out;
}

}  // namespace korvane
