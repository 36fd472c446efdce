// The npm package's side in WebAssembly: the library's encode(), layout(),
// write() and verify() behind a few C functions for the JavaScript loader
// (js/lib/korvane.js). Options arrive as NUL-separated name/value pairs named
// as the command's options ("x-dim", "qr-level"); the encoder's are looked up
// in the library's option table, so an option is refused where the table says
// it does not apply. One call at a time: the answer waits in one buffer
// (kvjs_out, kvjs_out_length) until the next call.

#include <korvane/korvane.hpp>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#define KVJS_EXPORT extern "C" __attribute__((used, visibility("default")))

using namespace korvane;

namespace {

std::string out;  // the last call's answer: bytes, JSON, or an error message
// ... or a written file's bytes, kept as the writer gave them rather than copied into `out`.
std::vector<std::uint8_t> outFile;
bool answerIsFile = false;
std::string warningsOut;  // the last symbol's warnings and its layout's, one a line

// ---- JSON, for facts, verdicts and the registry ----

void jsonString(std::string& j, std::string_view s) {
    j += '"';
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            j += '\\';
            j += ch;
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            j += buf;
        } else
            j += ch;
    }
    j += '"';
}

// A number to ten significant digits, as %.10g gives it, without printf:
// here printf formats doubles through 128-bit long doubles done in software,
// which took more time than laying out a symbol. Whole numbers are written
// whole; others from the digits of v scaled to ten significant ones, where
// they fit a double exactly; the rest (very large or small) by printf.
void number(std::string& j, double v) {
    char buf[40];
    char* end = buf + sizeof buf;
    char* p = end;
    const auto digits = [&p](unsigned long long n, int atLeast) {
        for (int i = 0; n != 0 || i < atLeast; ++i, n /= 10)
            *--p = static_cast<char>('0' + n % 10);
    };
    const double a = std::fabs(v);
    if (a == std::floor(a) && a < 1e15) {
        digits(static_cast<unsigned long long>(a), 1);
    } else if (a >= 1e-4 && a < 1e9) {
        static constexpr double POWERS[] = {1,   1e1, 1e2, 1e3,  1e4,  1e5,  1e6, 1e7,
                                            1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14};
        int decimals = 9 - static_cast<int>(std::floor(std::log10(a)));
        decimals = std::clamp(decimals, 0, 14);
        auto n = static_cast<unsigned long long>(std::round(a * POWERS[decimals]));
        while (decimals > 0 && n % 10 == 0) {
            n /= 10;
            --decimals;
        }
        digits(n % static_cast<unsigned long long>(POWERS[decimals]), decimals);
        if (decimals > 0)
            *--p = '.';
        digits(n / static_cast<unsigned long long>(POWERS[decimals]), 1);
    } else {
        std::snprintf(buf, sizeof buf, "%.10g", v);
        j += buf;
        return;
    }
    if (v < 0)
        *--p = '-';
    j.append(p, static_cast<std::size_t>(end - p));
}

struct Json {
    std::string j = "{";
    void key(std::string_view k) {
        if (j.size() > 1)
            j += ',';
        jsonString(j, k);
        j += ':';
    }
    Json& str(std::string_view k, std::string_view v) { key(k); jsonString(j, v); return *this; }
    Json& num(std::string_view k, double v) {
        key(k);
        number(j, std::isfinite(v) ? v : 0.0);
        return *this;
    }
    Json& boolean(std::string_view k, bool v) { key(k); j += v ? "true" : "false"; return *this; }
    Json& raw(std::string_view k, std::string_view v) { key(k); j += v; return *this; }
    std::string done() { return j + "}"; }
};

std::string stringArray(const std::vector<std::string>& v) {
    std::string j = "[";
    for (const std::string& s : v) {
        if (j.size() > 1)
            j += ',';
        jsonString(j, s);
    }
    return j + "]";
}

// ---- option values as the loader sends them ----

struct Fail {
    Error error;
};

[[noreturn]] void fail(ErrorCode code, std::string message) { throw Fail{Error{code, std::move(message)}}; }
[[noreturn]] void badValue(std::string_view name, std::string_view what, std::string_view value) {
    fail(ErrorCode::InvalidOption, std::string(name) + " must be " + std::string(what) + ", not '" +
                                       std::string(value.substr(0, 40)) + "'");
}

std::string lower(std::string_view s) {
    std::string l(s);
    for (char& c : l)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return l;
}

bool asBool(std::string_view name, std::string_view v) {
    if (v == "1")
        return true;
    if (v == "0")
        return false;
    badValue(name, "true or false", v);
}

int asInt(std::string_view name, std::string_view v) {
    const std::string s(v);
    char* end = nullptr;
    const long long n = std::strtoll(s.c_str(), &end, 10);
    if (s.empty() || *end != '\0' || n < -1'000'000'000 || n > 1'000'000'000)
        badValue(name, "a whole number", v);
    return static_cast<int>(n);
}

double asNumber(std::string_view name, std::string_view v) {
    const std::string s(v);
    char* end = nullptr;
    const double d = std::strtod(s.c_str(), &end);
    if (s.empty() || *end != '\0' || !std::isfinite(d))
        badValue(name, "a number", v);
    return d;
}

std::vector<std::string_view> split(std::string_view v, char sep) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = v.find(sep);
        parts.push_back(v.substr(0, at));
        if (at == std::string_view::npos)
            return parts;
        v.remove_prefix(at + 1);
    }
}

Length asLength(std::string_view name, std::string_view v, Unit bare, bool modules) {
    Result<Length> length = parseLength(v, bare, modules);
    if (!length)
        fail(length.error().code, std::string(name) + ": " + length.error().message);
    return *length;
}

// A colour in any form the library's parser takes.
Colour asColour(std::string_view name, std::string_view v) {
    Result<Colour> colour = parseColour(v);
    if (!colour)
        fail(colour.error().code, std::string(name) + ": " + colour.error().message);
    return *colour;
}

// One encoder option through its row of the library's table, which parses
// and checks the text as it does the command's. The loader sends arrays as
// "a,b,c" (a set's [index, count, id], a size's [rows, columns]) and an
// object's fields as field=value pairs separated by 0x1F.
void setEncodeOption(EncodeOptions& o, const EncodeOptionInfo& row, std::string_view v) {
    std::vector<std::string> texts;
    const std::vector<std::string_view> parts = split(v, ',');
    if (row.kind == OptionKind::Set && parts.size() >= 2 && v.find('/') == std::string_view::npos)
        texts.push_back(std::string(parts[0]) + "/" + std::string(parts[1]) +
                        (parts.size() > 2 ? ":" + std::string(v.substr(parts[0].size() + parts[1].size() + 2)) : ""));
    else if (row.kind == OptionKind::Size && parts.size() == 2)
        texts.push_back(std::string(parts[0]) + "x" + std::string(parts[1]));
    else if (row.kind == OptionKind::Fields)
        for (std::string_view field : split(v, '\x1f'))
            texts.emplace_back(field);
    else
        texts.emplace_back(v);
    for (const std::string& text : texts)
        if (const Status set = row.set(row, o, text); !set)
            fail(set.error().code, std::string(row.name) + ": " + set.error().message);
}

// One layout option through its row of the library's table: the loader's
// text read by the row's kind (an array as "a,b"), the range left to
// checkLayoutOptions(). "text" is JavaScript's own, the opposite of noText.
void setLayoutValue(const LayoutOptionInfo& row, LayoutOptions& l, std::string_view name, std::string_view v) {
    switch (row.kind) {
    case OptionKind::Number:
        assignLayoutNumber(row, l, !row.choices.empty() && lower(v) == row.choices ? 0 : asNumber(name, v));
        break;
    case OptionKind::Integer: assignLayoutNumber(row, l, asInt(name, v)); break;
    case OptionKind::Flag: assignLayoutFlag(row, l, asBool(name, v)); break;
    case OptionKind::Length:
    case OptionKind::Lengths: {
        const std::vector<std::string_view> p = row.kind == OptionKind::Lengths ? split(v, ',') : std::vector{v};
        if (p.size() > 2)
            badValue(name, "a length or [beside, above and below]", v);
        const Length values[2] = {asLength(name, p[0], row.unit, row.modules),
                                  p.size() == 2 ? asLength(name, p[1], row.unit, row.modules) : Length{}};
        assignLayoutLengths(row, l, values, p.size());
        break;
    }
    case OptionKind::Colour:
        if (const Status set = assignLayoutColour(row, l, asColour(name, v)); !set)
            fail(set.error().code, std::string(name) + ": " + set.error().message);
        break;
    default: break;
    }
}

bool setLayoutKey(LayoutOptions& l, std::string_view name, std::string_view v) {
    if (name == "text") {
        l.text = asBool(name, v);
        return true;
    }
    const LayoutOptionInfo* row = findLayoutOption(name);
    if (row == nullptr)
        return false;
    setLayoutValue(*row, l, name, v);
    return true;
}

// The library's request, and the printer that grade() alone takes.
struct Request : korvane::Request {
    std::optional<PrinterProfile> printer;
};

Request parseRequest(const char* symbologyName, const char* data, std::size_t dataLength, const char* options,
                     std::size_t optionsLength) {
    Request q;
    const std::string name(symbologyName);
    const std::optional<Symbology> found = findSymbology(name);
    if (!found)
        fail(ErrorCode::UnknownSymbology, "'" + name.substr(0, 40) + "' is no symbology; symbologies() lists them");
    q.symbology = *found;
    q.data.assign(data, dataLength);
    const std::vector<std::string_view> fields = split(std::string_view(options, optionsLength), '\0');
    for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
        const std::string_view key = fields[i], value = fields[i + 1];
        if (setLayoutKey(q.layout, key, value))
            continue;
        if (key == "printer") {
            Result<PrinterProfile> printer = printerProfile(value);
            if (!printer)
                fail(printer.error().code, "printer: " + printer.error().message);
            q.printer = std::move(*printer);
            continue;
        }
        const EncodeOptionInfo* row = findEncodeOption(key);
        if (!row)
            fail(ErrorCode::InvalidOption, "no option '" + std::string(key.substr(0, 40)) + "'");
        if (const Status applies = checkOptionApplies(*row, q.symbology, key); !applies)
            fail(applies.error().code, applies.error().message);
        setEncodeOption(q.encode, *row, value);
    }
    if (const Status ok = checkRequest(q); !ok)
        fail(ok.error().code, ok.error().message);
    return q;
}

template <typename T>
T take(Result<T>&& r) {
    if (!r)
        throw Fail{r.error()};
    return std::move(*r);
}

std::string factJson(const Fact& f);

// Which of a record's facts to put: at the top the plain facts come before the
// symbol's shape and the nested records after it.
enum class FactPart { Plain, Records, All };

void putFacts(Json& j, const std::vector<Fact>& facts, FactPart part) {
    for (const Fact& f : facts) {
        const bool record = f.kind == Fact::Kind::Record;
        if (f.shownIn(JAVASCRIPT_VIEW) && (part == FactPart::All || record == (part == FactPart::Records)))
            j.raw(factName(f.name, NameStyle::Camel), factJson(f));
    }
}

std::string factJson(const Fact& f) {
    std::string j;
    switch (f.kind) {
    case Fact::Kind::Integer: number(j, static_cast<double>(f.integer)); break;
    case Fact::Kind::Boolean: j = f.integer != 0 ? "true" : "false"; break;
    case Fact::Kind::Real: number(j, std::isfinite(f.real) ? f.real : 0.0); break;
    case Fact::Kind::Text:
    case Fact::Kind::Bytes: jsonString(j, f.text); break;
    case Fact::Kind::List:
        j = "[";
        for (const Fact& item : f.items)
            j += (j.size() > 1 ? "," : "") + factJson(item);
        j += "]";
        break;
    case Fact::Kind::Record: {
        Json record;
        putFacts(record, f.items, FactPart::All);
        j = record.done();
        break;
    }
    }
    return j;
}

std::string factsJson(const Symbol& s, const Drawing& d) {
    const std::vector<Fact> facts = factsRecord(s);
    const SymbologyInfo& info = symbologyInfo(s.symbology);
    Json j;
    j.str("symbology", info.name).str("title", info.title);
    putFacts(j, facts, FactPart::Plain);
    j.raw("warnings", stringArray(s.warnings));
    j.boolean("matrix", s.isMatrix());
    if (s.isMatrix()) {
        j.num("rows", s.rows).num("columns", s.columns);
        std::string m = "[";
        for (int r = 0; r < s.rows; ++r) {
            m += r ? ",\"" : "\"";
            for (int c = 0; c < s.columns; ++c)
                m += s.dark(r, c) ? '1' : '0';
            m += '"';
        }
        j.raw("modules", m + "]");
    } else {
        j.num("widthModules", s.widthModules);
        std::string w = "[";
        for (std::size_t i = 0; i < s.widths.size(); ++i)
            w += (i ? "," : "") + std::to_string(s.widths[i]);
        j.raw("widths", w + "]");
    }
    putFacts(j, facts, FactPart::Records);
    j.raw("layout", Json()
                        .num("width", d.width)
                        .num("height", d.height)
                        .num("dpi", d.dpi)
                        .num("widthMm", d.widthMm())
                        .num("heightMm", d.heightMm())
                        .num("xMm", d.xMm)
                        .num("moduleDots", d.moduleDots)
                        .raw("warnings", stringArray(d.warnings))
                        .done());
    return j.done();
}

std::string verdictJson(const Verdict& v) {
    return Json()
        .boolean("ok", v.ok)
        .str("read", v.read)
        .str("reason", v.reason)
        .num("firstDifference", v.firstDifference)
        .num("correctedCodewords", v.correctedCodewords)
        .done();
}

std::string parameterJson(const QualityParameter& p) {
    return Json()
        .str("name", p.name)
        .num("value", p.value)
        .str("grade", std::string(1, gradeLetter(p.grade)))
        .boolean("informative", p.informative)
        .done();
}

std::string parametersJson(const std::vector<QualityParameter>& parameters) {
    std::string j = "[";
    for (const QualityParameter& p : parameters)
        j += (j.size() > 1 ? "," : "") + parameterJson(p);
    return j + "]";
}

std::string gradeJson(const QualityGrade& q) {
    std::string scans = "[";
    for (const ScanGrade& scan : q.scans)
        scans += (scans.size() > 1 ? "," : "") + parametersJson(scan.parameters);
    return Json()
        .boolean("graded", q.graded)
        .str("reason", q.reason)
        .str("standard", q.standard)
        .num("grade", q.grade)
        .str("letter", std::string(1, q.letter))
        .str("text", q.text)
        .str("printer", q.profile.name)
        .num("printerDpi", q.profile.dpi)
        .raw("parameters", parametersJson(q.parameters))
        .raw("scans", scans + "]")
        .done();
}

const char* checkRuleName(CheckRule r) {
    switch (r) {
    case CheckRule::None: return "none";
    case CheckRule::Optional: return "optional";
    case CheckRule::OptionalOn: return "optional-on";
    case CheckRule::Mandatory: return "mandatory";
    }
    return "none";
}

std::string symbologiesJson() {
    std::size_t count = 0;
    const EncodeOptionInfo* table = encodeOptionTable(count);
    std::string j = "[";
    const SymbologyInfo* all = allSymbologies();
    for (int i = 0; i < SYMBOLOGY_COUNT; ++i) {
        const SymbologyInfo& info = all[i];
        std::vector<std::string> aliases, caps, options;
        for (std::string_view a : info.aliases)
            if (!a.empty())
                aliases.emplace_back(a);
        for (std::string_view c : capabilityNames(info))
            caps.emplace_back(c);
        for (std::size_t k = 0; k < count; ++k)
            if (table[k].appliesTo(info))
                options.emplace_back(table[k].name);
        j += i ? "," : "";
        j += Json()
                 .str("name", info.name)
                 .str("title", info.title)
                 .raw("aliases", stringArray(aliases))
                 .str("characters", info.characters)
                 .str("check", checkRuleName(info.check))
                 .boolean("matrix", info.matrix)
                 .raw("capabilities", stringArray(caps))
                 .raw("options", stringArray(options))
                 .num("defaultXMm", info.defaultXMm)
                 .num("minXMm", info.minXMm)
                 .num("maxDataBytes", static_cast<double>(info.maxDataBytes))
                 .done();
    }
    return j + "]";
}

// What kvjs_run makes of a request.
enum Action { ENCODE = 0, SVG, PDF, EPS, PNG, EMF, BMP, VERIFY, GRADE };

// The answer in `out`, or for a file in `outFile`; returns whether it is a file.
bool run(int action, const Request& q) {
    if (q.printer && action != GRADE)
        fail(ErrorCode::InvalidOption, "the option printer is grade()'s");
    // Read where they are: moving a Symbol or a Drawing out of its Result is
    // a call per member at -Oz.
    const Result<Symbol> encoded = encode(q);
    if (!encoded)
        throw Fail{encoded.error()};
    const Symbol& symbol = *encoded;
    const Result<Drawing> laidOut = layout(symbol, q.layout);
    if (!laidOut)
        throw Fail{laidOut.error()};
    const Drawing& drawing = *laidOut;
    for (const std::vector<std::string>* list : {&symbol.warnings, &drawing.warnings})
        for (const std::string& w : *list)
            warningsOut += (warningsOut.empty() ? "" : "\n") + w;
    switch (action) {
    case ENCODE: out = factsJson(symbol, drawing); return false;
    case VERIFY: out = verdictJson(verify(drawing, symbol)); return false;
    case GRADE: out = gradeJson(grade(drawing, symbol, q.printer.value_or(PrinterProfile{}))); return false;
    default: break;
    }
    constexpr Format FORMATS[] = {Format::Svg, Format::Pdf, Format::Eps, Format::Png, Format::Emf, Format::Bmp};
    if (action < SVG || action > BMP)
        fail(ErrorCode::UnknownFormat, "no such action");
    Result<Written> w = write(drawing, FORMATS[action - SVG]);
    if (!w)
        throw Fail{w.error()};
    outFile = std::move(w->bytes);
    return true;
}

// ---- label sheets ----

// A sheet length on paper: a bare number is millimetres.
double sheetMm(std::string_view name, std::string_view v) {
    const Length l = asLength(name, v, Unit::Mm, false);
    if (l.unit == Unit::Px)
        fail(ErrorCode::InvalidOption, std::string(name) + ": sheet lengths are on paper, not px");
    return l.mm(0);
}

// "A4", "A5", "A3", "A6", "Letter", "Legal", "WxH" with a unit after the
// height ("100x150mm", "4x6in") that a bare width shares, or "W,H" as lengths.
PageSize pageSize(std::string_view v) {
    const std::vector<std::string_view> wh = split(v, ',');
    if (wh.size() == 2)
        return PageSize{sheetMm("page", wh[0]), sheetMm("page", wh[1])};
    Result<PageSize> named = parsePageSize(v);
    if (!named)
        fail(named.error().code, "page: " + named.error().message + ", or [width, height]");
    return *named;
}

struct StringSink : ByteSink {
    std::string bytes;
    Status append(std::string_view b) override {
        bytes.append(b);
        return Done{};
    }
};

// The sheet being made: its options until the first label, which gives the
// colours (and the resolution, unless the sheet has its own), then its pages.
struct SheetRun {
    SheetOptions options;
    bool dpiGiven = false;
    long long labels = 0;
    StringSink pdf;
    std::optional<SheetGeometry> geometry;
    std::unique_ptr<PageOutput> output;
    std::optional<SheetWriter> writer;
};
std::optional<SheetRun> sheetRun;

void beginSheet(std::string_view optionPairs) {
    SheetRun& r = sheetRun.emplace();
    SheetOptions& o = r.options;
    const std::vector<std::string_view> fields = split(optionPairs, '\0');
    for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
        const std::string_view key = fields[i], v = fields[i + 1];
        if (key == "page")
            o.page = pageSize(v);
        else if (key == "grid") {
            const std::vector<std::string_view> p = split(v, ',');
            if (p.size() != 2)
                badValue(key, "[columns, rows]", v);
            o.columns = asInt(key, p[0]);
            o.rows = asInt(key, p[1]);
        } else if (key == "margins") {
            // All sides; vertical, horizontal; top, horizontal, bottom; or top, right, bottom, left.
            const std::vector<std::string_view> m = split(v, ',');
            if (m.size() > 4)
                badValue(key, "one to four lengths", v);
            o.marginTopMm = sheetMm(key, m[0]);
            o.marginRightMm = m.size() > 1 ? sheetMm(key, m[1]) : o.marginTopMm;
            o.marginBottomMm = m.size() > 2 ? sheetMm(key, m[2]) : o.marginTopMm;
            o.marginLeftMm = m.size() > 3 ? sheetMm(key, m[3]) : o.marginRightMm;
        } else if (key == "gap") {
            const std::vector<std::string_view> g = split(v, ',');
            if (g.size() > 2)
                badValue(key, "a length or [between columns, between rows]", v);
            o.gapHorizontalMm = sheetMm(key, g[0]);
            o.gapVerticalMm = g.size() > 1 ? sheetMm(key, g[1]) : o.gapHorizontalMm;
        } else if (key == "dpi") {
            o.dpi = asNumber(key, v);
            r.dpiGiven = true;
        } else if (key == "label-text")
            o.textLine = asBool(key, v);
        else if (key == "cut-marks")
            o.cutMarks = asBool(key, v);
        else
            fail(ErrorCode::InvalidOption, "no sheet option '" + std::string(key.substr(0, 40)) + "'");
    }
}

// The next label: laid out for its cell, at a smaller X when it does not fit
// and its X was not given, as the command's --sheet does.
void addLabel(const Request& q, std::string_view text) {
    if (q.printer)
        fail(ErrorCode::InvalidOption, "the option printer is grade()'s");
    if (!sheetRun)
        fail(ErrorCode::InvalidOption, "no sheet begun");
    SheetRun& r = *sheetRun;
    ++r.labels;
    if (!r.geometry) {
        if (!r.dpiGiven)
            r.options.dpi = q.layout.dpi;
        if (r.options.dpi <= 0)
            fail(ErrorCode::InvalidOption, "a sheet needs a resolution: give dpi");
        r.options.foreground = q.layout.foreground;
        r.options.background = q.layout.background;
        r.geometry = take(sheetGeometry(r.options));
        r.output = pdfPages(r.pdf);
        r.writer.emplace(*r.geometry, *r.output);
    }
    const Symbol symbol = take(encode(q));
    LayoutOptions layoutOptions = q.layout;
    layoutOptions.dpi = r.geometry->dpi;
    const Drawing label = take(layoutForCell(symbol, layoutOptions, *r.geometry, !q.layout.xDim));
    if (const Status added = r.writer->add(label, text); !added)
        throw Fail{added.error()};
}

int failed(const Error& e) {
    answerIsFile = false;
    out = e.message;
    return static_cast<int>(e.code) + 1;
}

}  // namespace

// 0 and the answer in kvjs_out(), or 1 + the library's ErrorCode and its
// message there. `options` holds name\0value\0 pairs.
KVJS_EXPORT int kvjs_run(int action, const char* symbology, const char* data, std::size_t dataLength,
                         const char* options, std::size_t optionsLength) {
    warningsOut.clear();
    try {
        answerIsFile = run(action, parseRequest(symbology, data, dataLength, options, optionsLength));
        return 0;
    } catch (const Fail& f) {
        return failed(f.error);
    }
}

// A label sheet in three steps: kvjs_sheet_begin with the sheet's options
// (page, grid, margins, gap, dpi, label-text, cut-marks as name\0value\0
// pairs), kvjs_sheet_add for each label as kvjs_run takes it with the line of
// text under it, then kvjs_sheet_end, which leaves the PDF in kvjs_out().
// A failure ends the sheet; its message names the label (counted from 1).
KVJS_EXPORT int kvjs_sheet_begin(const char* options, std::size_t optionsLength) {
    try {
        beginSheet(std::string_view(options, optionsLength));
        return 0;
    } catch (const Fail& f) {
        sheetRun.reset();
        return failed(f.error);
    }
}

KVJS_EXPORT int kvjs_sheet_add(const char* symbology, const char* data, std::size_t dataLength, const char* options,
                               std::size_t optionsLength, const char* text, std::size_t textLength) {
    try {
        addLabel(parseRequest(symbology, data, dataLength, options, optionsLength), std::string_view(text, textLength));
        return 0;
    } catch (const Fail& f) {
        const long long n = sheetRun ? sheetRun->labels : 0;
        sheetRun.reset();
        Error e = f.error;
        if (n > 0)
            e.message = "label " + std::to_string(n) + ": " + e.message;
        return failed(e);
    }
}

KVJS_EXPORT int kvjs_sheet_end() {
    try {
        if (!sheetRun || !sheetRun->writer)
            fail(ErrorCode::InvalidOption, "a sheet needs at least one label");
        if (const Status done = sheetRun->writer->finish(); !done)
            throw Fail{done.error()};
        answerIsFile = false;
        out = std::move(sheetRun->pdf.bytes);
        sheetRun.reset();
        return 0;
    } catch (const Fail& f) {
        sheetRun.reset();
        return failed(f.error);
    }
}

constexpr const char* KINDS[] = {"flag", "integer", "number", "letter", "word",    "text",
                                  "set",  "size",    "fields", "length", "lengths", "colour"};

// The library's option rows as JSON: name, kind, value name, range, choices, help.
std::string optionsJson() {
    std::size_t count = 0;
    const EncodeOptionInfo* table = encodeOptionTable(count);
    std::string j = "[";
    for (std::size_t i = 0; i < count; ++i) {
        const EncodeOptionInfo& row = table[i];
        std::vector<std::string> choices;
        if (row.kind == OptionKind::Letter)
            for (char c : row.choices)
                choices.emplace_back(1, c);
        else if (row.kind == OptionKind::Word)
            for (std::string_view w : split(row.choices, '|'))
                choices.emplace_back(w);
        j += i ? "," : "";
        j += Json()
                 .str("name", row.name)
                 .str("kind", KINDS[static_cast<int>(row.kind)])
                 .str("valueName", row.valueName)
                 .num("low", row.low)
                 .num("high", row.high)
                 .raw("choices", stringArray(choices))
                 .str("help", row.help)
                 .done();
    }
    return j + "]";
}

// The layout rows alike; choices: the values an integer takes, or a number's word for 0.
std::string layoutOptionsJson() {
    std::size_t count = 0;
    const LayoutOptionInfo* table = layoutOptionTable(count);
    std::string j = "[";
    for (std::size_t i = 0; i < count; ++i) {
        const LayoutOptionInfo& row = table[i];
        std::vector<std::string> choices;
        for (std::string_view c : row.choices.empty() ? std::vector<std::string_view>{} : split(row.choices, '|'))
            choices.emplace_back(c);
        j += i ? "," : "";
        j += Json()
                 .str("name", row.name)
                 .str("kind", KINDS[static_cast<int>(row.kind)])
                 .str("valueName", row.valueName)
                 .num("low", row.low)
                 .num("high", row.high)
                 .raw("choices", stringArray(choices))
                 .str("help", row.help)
                 .done();
    }
    return j + "]";
}

KVJS_EXPORT int kvjs_options() {
    answerIsFile = false;
    out = optionsJson();
    return 0;
}

KVJS_EXPORT int kvjs_layout_options() {
    answerIsFile = false;
    out = layoutOptionsJson();
    return 0;
}

// The registry as JSON.
KVJS_EXPORT int kvjs_symbologies() {
    answerIsFile = false;
    out = symbologiesJson();
    return 0;
}

// GS1 data without a symbol (`what`: 0 check, 1 Digital Link on `extra`'s
// domain, 2 element strings of a Digital Link URI, 3 human-readable text):
// 0 and the answer in kvjs_out() (check: its notes, one a line), or 1 +
// the ErrorCode and its message.
KVJS_EXPORT int kvjs_gs1(int what, const char* data, std::size_t dataLength, const char* extra,
                         std::size_t extraLength) {
    answerIsFile = false;
    const std::string_view text(data, dataLength);
    Result<std::string> r = std::string();
    if (what == 0) {
        const Result<std::vector<std::string>> notes = checkGs1(text);
        if (notes)
            for (const std::string& note : *notes)
                r->append(note).append("\n");
        else
            r = notes.error();
    } else if (what == 1) {
        r = gs1DigitalLink(text, extraLength ? std::string_view(extra, extraLength) : "https://id.gs1.org");
    } else {
        r = what == 2 ? gs1FromDigitalLink(text) : gs1HumanReadable(text);
    }
    if (!r)
        return failed(r.error());
    out = std::move(*r);
    return 0;
}

// The short name of an error code (1 + ErrorCode), "invalid-data".
KVJS_EXPORT const char* kvjs_error_name(int status) {
    return status > 0 ? errorCodeName(static_cast<ErrorCode>(status - 1)) : "";
}

KVJS_EXPORT const char* kvjs_version() { return KORVANE_VERSION_STRING; }
// The warnings of kvjs_run's last symbol, one a line ("" for none).
KVJS_EXPORT const char* kvjs_warnings() { return warningsOut.c_str(); }
KVJS_EXPORT const char* kvjs_out() {
    return answerIsFile ? reinterpret_cast<const char*>(outFile.data()) : out.data();
}
KVJS_EXPORT std::size_t kvjs_out_length() { return answerIsFile ? outFile.size() : out.size(); }
