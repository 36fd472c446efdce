// The table of encode options: every option's name, kind, range and setter,
// and the one rule for an option that does not apply: it is refused, naming
// the option and the symbology.

#include "korvane/Options.h"

#include "Descriptor.h"

#include "base/Text.h"
#include "korvane/Units.h"
#include "korvane/Values.h"

#include <cstdio>
#include <iterator>
#include <string>
#include <utility>

namespace korvane {
namespace {

using detail::lowerCase;
using detail::quotedValue;

template <Capability C>
bool takes(const SymbologyInfo& info) {
    return info.takes(C);
}
bool always(const SymbologyInfo&) { return true; }
bool linear(const SymbologyInfo& info) { return !info.matrix; }
bool twoWidths(const SymbologyInfo& info) { return info.twoWidths; }
// GS1 Digital Link URIs are carried by QR Code and Data Matrix.
bool takesDigitalLink(const SymbologyInfo& info) { return info.takes(CAP_QR) || info.takes(CAP_DATAMATRIX); }

const EncodeOptions DEFAULTS{};

Error bad(std::string message) { return {ErrorCode::InvalidOption, std::move(message)}; }

// "a, b or c" from "a|b|c".
std::string listed(std::string_view choices, char separator) {
    std::string out;
    std::size_t count = 0;
    for (std::string_view rest = choices; !rest.empty(); ++count) {
        const std::size_t at = separator != 0 ? rest.find(separator) : 1;
        const std::string_view one = rest.substr(0, at);
        rest = at == std::string_view::npos || at >= rest.size() ? std::string_view() : rest.substr(at + (separator != 0));
        out += (count == 0 ? "" : rest.empty() ? " or " : ", ") + std::string(one);
    }
    return out;
}

// ---- setters by kind ----

Result<bool> flagValue(std::string_view text) {
    const std::string v = lowerCase(text);
    if (v.empty() || v == "1" || v == "true" || v == "yes" || v == "on")
        return true;
    if (v == "0" || v == "false" || v == "no" || v == "off")
        return false;
    return bad(quotedValue(text) + " is not 1, yes, true or on (or 0, no, false, off)");
}

template <bool EncodeOptions::*F, bool ON = true>
Status setFlag(const EncodeOptionInfo&, EncodeOptions& o, std::string_view text) {
    const Result<bool> b = flagValue(text);
    if (!b)
        return b.error();
    o.*F = *b == ON;
    return Done{};
}

Status setCheck(const EncodeOptionInfo&, EncodeOptions& o, std::string_view text) {
    const Result<bool> b = flagValue(text);
    if (!b)
        return b.error();
    o.check = *b;
    return Done{};
}

template <int EncodeOptions::*F>
Status setInteger(const EncodeOptionInfo& row, EncodeOptions& o, std::string_view text) {
    const Result<long long> n =
        parseInteger(text, static_cast<long long>(row.low), static_cast<long long>(row.high));
    if (!n)
        return n.error();
    o.*F = static_cast<int>(*n);
    return Done{};
}

template <int EncodeOptions::*F>
double integerOf(const EncodeOptions& o) {
    return o.*F;
}

Status setAspect(const EncodeOptionInfo& row, EncodeOptions& o, std::string_view text) {
    const Result<double> r = parseNumber(text, row.low, row.high);
    if (!r)
        return r.error();
    o.pdfAspect = *r;
    return Done{};
}

double aspectOf(const EncodeOptions& o) { return o.pdfAspect; }

// The index of the letter or word `text` names among the row's choices.
Result<int> choice(const EncodeOptionInfo& row, std::string_view text) {
    const std::string v = lowerCase(text);
    if (row.kind == OptionKind::Letter) {
        const std::size_t at = v.size() == 1 ? lowerCase(row.choices).find(v[0]) : std::string::npos;
        if (at != std::string::npos)
            return static_cast<int>(at);
        return bad(quotedValue(text) + " is not one of " + std::string(row.choices));
    }
    int index = 0;
    for (std::string_view rest = row.choices;; ++index) {
        const std::size_t bar = rest.find('|');
        if (rest.substr(0, bar) == v)
            return index;
        if (bar == std::string_view::npos)
            break;
        rest.remove_prefix(bar + 1);
    }
    return bad(quotedValue(text) + " is not " + listed(row.choices, '|'));
}

template <char EncodeOptions::*F>
Status setLetter(const EncodeOptionInfo& row, EncodeOptions& o, std::string_view text) {
    const Result<int> i = choice(row, text);
    if (!i)
        return i.error();
    o.*F = row.choices[static_cast<std::size_t>(*i)];
    return Done{};
}

template <typename E, E EncodeOptions::*F>
Status setChoice(const EncodeOptionInfo& row, EncodeOptions& o, std::string_view text) {
    const Result<int> i = choice(row, text);
    if (!i)
        return i.error();
    o.*F = static_cast<E>(*i);
    return Done{};
}

Status setAddOn(const EncodeOptionInfo&, EncodeOptions& o, std::string_view text) {
    o.addOn = std::string(text);
    return Done{};
}

// A web address's scheme and host (and any path before the key), printable ASCII.
Status setDlDomain(const EncodeOptionInfo&, EncodeOptions& o, std::string_view text) {
    const bool web = text.rfind("https://", 0) == 0 || text.rfind("http://", 0) == 0;
    for (const char c : text)
        if (c <= ' ' || c > '~' || c == '?' || c == '#')
            return bad(quotedValue(text) + " is not a web address without a query: a character " +
                       quotedValue(std::string_view(&c, 1)) + " is in it");
    if (!web || text.size() <= std::string_view("https://").size())
        return bad(quotedValue(text) + " is not a web address starting https:// (or http://)");
    o.gs1DlDomain = std::string(text);
    return Done{};
}

// I/N[:ID]: symbol I of a set of N (1 to the row's largest count), and the
// set's identifier as the symbology takes it; each symbology checks the sizes
// of its own sets.
Status setMember(const EncodeOptionInfo& row, EncodeOptions& o, std::string_view text) {
    const Error what = bad(quotedValue(text) + " is not INDEX/COUNT[:ID], such as 2/3 or 1/4:ORDER");
    const std::size_t slash = text.find('/');
    const std::size_t colon = text.find(':');
    if (slash == std::string_view::npos || (colon != std::string_view::npos && colon < slash))
        return what;
    const auto most = static_cast<long long>(row.high);
    const Result<long long> i = parseInteger(text.substr(0, slash), 1, most);
    const Result<long long> n = parseInteger(
        text.substr(slash + 1, colon == std::string_view::npos ? std::string_view::npos : colon - slash - 1), 1, most);
    if (!i || !n || *i > *n)
        return what;
    o.structuredAppend.index = static_cast<int>(*i);
    o.structuredAppend.count = static_cast<int>(*n);
    o.structuredAppend.id = colon == std::string_view::npos ? "" : std::string(text.substr(colon + 1));
    return Done{};
}

// RxC: the Data Matrix size (every size of ISO/IEC 16022 and 21471 lies
// within 8x10 to 144x144; the encoder refuses the sizes in between that are none).
Status setDmSize(const EncodeOptionInfo&, EncodeOptions& o, std::string_view text) {
    const std::size_t x = lowerCase(text).find('x');
    const Result<long long> r = parseInteger(text.substr(0, x), 8, 144);
    const Result<long long> c = x == std::string_view::npos ? r : parseInteger(text.substr(x + 1), 10, 144);
    if (x == std::string_view::npos || !r || !c)
        return bad(quotedValue(text) + " is not ROWSxCOLUMNS, such as 24x24 or 16x48");
    o.dmRows = static_cast<int>(*r);
    o.dmColumns = static_cast<int>(*c);
    return Done{};
}

// A QR Code version 1-40, or a Micro QR version M1-M4 (kept as 1-4: the
// symbology says which family it is).
Status setQrVersion(const EncodeOptionInfo& row, EncodeOptions& o, std::string_view text) {
    const bool micro = !text.empty() && (text[0] == 'M' || text[0] == 'm');
    const Result<long long> n = parseInteger(micro ? text.substr(1) : text, static_cast<long long>(row.low),
                                             micro ? 4 : static_cast<long long>(row.high));
    if (!n)
        return micro ? bad(quotedValue(text) + " is no Micro QR version; they are M1 to M4") : Status{n.error()};
    o.qrVersion = static_cast<int>(*n);
    return Done{};
}

// RHxW, the R optional: an rMQR size (the encoder checks it is one of the 32).
Status setRmqrSize(const EncodeOptionInfo&, EncodeOptions& o, std::string_view text) {
    const std::string v = lowerCase(text);
    const std::string_view t = !v.empty() && v[0] == 'r' ? text.substr(1) : text;
    const std::size_t x = lowerCase(t).find('x');
    const Result<long long> h = parseInteger(t.substr(0, x), 7, 17);
    const Result<long long> w = x == std::string_view::npos ? h : parseInteger(t.substr(x + 1), 27, 139);
    if (x == std::string_view::npos || !h || !w)
        return bad(quotedValue(text) + " is not an rMQR size RHxW, R7x43 to R17x139");
    o.rmqrHeight = static_cast<int>(*h);
    o.rmqrWidth = static_cast<int>(*w);
    return Done{};
}

// FIELD=VALUE: one optional Macro PDF417 field.
Status setMacroField(const EncodeOptionInfo&, EncodeOptions& o, std::string_view text) {
    const std::size_t eq = text.find('=');
    if (eq == std::string_view::npos)
        return bad(quotedValue(text) + " is not FIELD=VALUE, such as file-name=invoice.pdf");
    const std::string_view key = text.substr(0, eq), value = text.substr(eq + 1);
    PdfMacroFields& m = o.pdfMacro;
    const auto number = [&](long long high, auto set) -> Status {
        const Result<long long> n = parseInteger(value, 0, high);
        if (!n)
            return bad(std::string(key) + ": " + n.error().message);
        set(*n);
        return Done{};
    };
    if (key == "file-name")
        m.fileName = std::string(value);
    else if (key == "sender")
        m.sender = std::string(value);
    else if (key == "addressee")
        m.addressee = std::string(value);
    else if (key == "time-stamp")
        return number(1LL << 40, [&](long long n) { m.timeStamp = n; });
    else if (key == "file-size")
        return number(1LL << 40, [&](long long n) { m.fileSize = n; });
    else if (key == "checksum")
        return number(65535, [&](long long n) { m.checksum = static_cast<int>(n); });
    else
        return bad("no field " + quotedValue(key) +
                   "; the fields are file-name, time-stamp, sender, addressee, file-size and checksum");
    return Done{};
}

// Rows of each kind, so that the table below reads as a list of options.
constexpr EncodeOptionInfo flag(std::string_view name, std::string_view cName, std::string_view help,
                                bool (*applies)(const SymbologyInfo&), bool (*isSet)(const EncodeOptions&),
                                Status (*set)(const EncodeOptionInfo&, EncodeOptions&, std::string_view)) {
    return {name, cName, help, applies, isSet, OptionKind::Flag, "", 0, 0, "", set, nullptr};
}

template <int EncodeOptions::*F>
constexpr EncodeOptionInfo integer(std::string_view name, std::string_view cName, std::string_view help,
                                   bool (*applies)(const SymbologyInfo&), std::string_view valueName, int low,
                                   int high) {
    return {name,         cName, help, applies, [](const EncodeOptions& o) { return o.*F != DEFAULTS.*F; },
            OptionKind::Integer, valueName, static_cast<double>(low), static_cast<double>(high), "",
            &setInteger<F>, &integerOf<F>};
}

constexpr EncodeOptionInfo TABLE[] = {
    flag("check", "check", "add (or, where it is added by default, leave out) the optional check character", linear,
         [](const EncodeOptions& o) { return o.check.has_value(); }, &setCheck),
    flag("escapes", "escapes", "tilde escapes in the data: ~dNNN a byte, ~~ a tilde, ~F FNC1, ~Ennnnnn an ECI",
         always, [](const EncodeOptions& o) { return o.escapes; }, &setFlag<&EncodeOptions::escapes>),
    flag("gs1", "gs1", "the data is GS1 element strings, checked against the GS1 rules", takes<CAP_GS1>,
         [](const EncodeOptions& o) { return o.gs1; }, &setFlag<&EncodeOptions::gs1>),
    integer<&EncodeOptions::eci>("eci", "eci", "an ECI designator (0-999999) at the start of the data",
                                 takes<CAP_ECI>, "N", 0, 999999),
    integer<&EncodeOptions::wideRatio>("wide-ratio", "wide_ratio", "wide elements in narrow modules, 2 or 3",
                                       twoWidths, "N", 2, 3),
    {"code128-start", "code128_start", "the Code 128 start set A, B or C", takes<CAP_CODE128_START>,
     [](const EncodeOptions& o) { return o.code128Start != DEFAULTS.code128Start; }, OptionKind::Letter, "SET", 0, 0,
     "ABC", &setLetter<&EncodeOptions::code128Start>, nullptr},
    {"msi-check", "msi_check", "the MSI check digits: mod10, mod11, mod11-mod10 or mod10-mod10",
     takes<CAP_MSI_CHECK>, [](const EncodeOptions& o) { return o.msiCheck != DEFAULTS.msiCheck; }, OptionKind::Word,
     "KIND", 0, 0, "mod10|mod11|mod11-mod10|mod10-mod10", &setChoice<MsiCheck, &EncodeOptions::msiCheck>, nullptr},
    {"codabar-start", "codabar_start", "the Codabar start character A-D", takes<CAP_CODABAR_ENDS>,
     [](const EncodeOptions& o) { return o.codabarStart != DEFAULTS.codabarStart; }, OptionKind::Letter, "A-D", 0,
     0, "ABCD", &setLetter<&EncodeOptions::codabarStart>, nullptr},
    {"codabar-stop", "codabar_stop", "the Codabar stop character A-D", takes<CAP_CODABAR_ENDS>,
     [](const EncodeOptions& o) { return o.codabarStop != DEFAULTS.codabarStop; }, OptionKind::Letter, "A-D", 0, 0,
     "ABCD", &setLetter<&EncodeOptions::codabarStop>, nullptr},
    integer<&EncodeOptions::upceNumberSystem>("upce-system", "upce_number_system", "the UPC-E number system, 0 or 1",
                                              takes<CAP_UPCE_SYSTEM>, "0|1", 0, 1),
    {"add-on", "add_on", "an EAN/UPC add-on of 2 or 5 digits", takes<CAP_ADD_ON>,
     [](const EncodeOptions& o) { return !o.addOn.empty(); }, OptionKind::Text, "DIGITS", 0, 0, "", &setAddOn,
     nullptr},
    integer<&EncodeOptions::addOnGap>("add-on-gap", "add_on_gap",
                                      "modules between the symbol and its add-on, 7-12 (default 7 after EAN-13 and "
                                      "EAN-8, 9 after UPC-A and UPC-E)",
                                      takes<CAP_ADD_ON>, "N", 7, 12),
    {"aztec-encoder", "aztec_specified", "the Aztec encoder: optimal, or specified (the aztec program's)",
     takes<CAP_AZTEC>, [](const EncodeOptions& o) { return o.aztecEncoder != DEFAULTS.aztecEncoder; },
     OptionKind::Word, "NAME", 0, 0, "optimal|specified", &setChoice<AztecEncoder, &EncodeOptions::aztecEncoder>,
     nullptr},
    integer<&EncodeOptions::eccPercent>("ecc", "ecc_percent",
                                        "Aztec check words as a share of the symbol, 0-90 % (default 23)",
                                        takes<CAP_AZTEC>, "PERCENT", 0, 90),
    // 1,664 codewords in the largest symbol.
    integer<&EncodeOptions::eccExtraWords>("ecc-words", "ecc_extra_words",
                                           "Aztec check words beyond that share, 0-1664 (default 3)", takes<CAP_AZTEC>,
                                           "N", 0, 1664),
    integer<&EncodeOptions::minSize>("aztec-size", "min_size", "the smallest Aztec symbol, 15-151 modules across",
                                     takes<CAP_AZTEC>, "N", 15, 151),
    flag("compact", "compact_only", "compact Aztec symbols only (up to 27x27)", takes<CAP_AZTEC>,
         [](const EncodeOptions& o) { return o.compactOnly; }, &setFlag<&EncodeOptions::compactOnly>),
    flag("full-range", "full_only", "full-range Aztec symbols only", takes<CAP_AZTEC>,
         [](const EncodeOptions& o) { return o.fullOnly; }, &setFlag<&EncodeOptions::fullOnly>),
    flag("aztec-bytes", "aztec_bytes", "Aztec byte mode for the whole message (specified encoder)",
         takes<CAP_AZTEC>, [](const EncodeOptions& o) { return o.bytes; }, &setFlag<&EncodeOptions::bytes>),
    flag("reader-init", "reader_init", "a reader initialisation (programming) symbol", takes<CAP_READER_INIT>,
         [](const EncodeOptions& o) { return o.readerInit; }, &setFlag<&EncodeOptions::readerInit>),
    {"structured", "structured_index",
     "a symbol of a structured-append set, I of N: Aztec 2-26 symbols with an optional identifier of capital "
     "letters; QR Code 2-16, ID the set's parity byte 0-255; Data Matrix 2-16, file id 1-64516; PDF417 1-99999, "
     "file id digits in groups of three",
     takes<CAP_STRUCTURED_APPEND>,
     [](const EncodeOptions& o) { return o.structuredAppend.index != 0 || o.structuredAppend.count != 0; },
     OptionKind::Set, "I/N[:ID]", 1, 99999, "", &setMember, nullptr},
    {"qr-level", "qr_level",
     "QR Code error correction L, M, Q or H (Micro QR L, M, Q; rMQR M, H; default M, raised while the data fits)",
     takes<CAP_QR>, [](const EncodeOptions& o) { return o.qrLevel != DEFAULTS.qrLevel; }, OptionKind::Letter,
     "L|M|Q|H", 0, 0, "LMQH", &setChoice<QrLevel, &EncodeOptions::qrLevel>, nullptr},
    {"qr-version", "qr_version",
     "the QR Code version, 1-40; Micro QR M1-M4 (or 1-4) (default: the smallest that holds the data)",
     takes<CAP_QR>, [](const EncodeOptions& o) { return o.qrVersion != DEFAULTS.qrVersion; }, OptionKind::Integer,
     "N", 1, 40, "", &setQrVersion, &integerOf<&EncodeOptions::qrVersion>},
    integer<&EncodeOptions::qrMask>("qr-mask", "qr_mask",
                                    "the QR Code mask, 0-7; Micro QR 0-3 (default: the penalty rules' choice)",
                                    takes<CAP_QR>, "N", 0, 7),
    flag("no-boost", "qr_no_boost", "keep the QR Code level asked for even where a higher one fits", takes<CAP_QR>,
         [](const EncodeOptions& o) { return !o.qrBoost; }, &setFlag<&EncodeOptions::qrBoost, false>),
    flag("no-kanji", "qr_no_kanji", "no Kanji mode in QR Code: Japanese text as UTF-8 bytes", takes<CAP_QR>,
         [](const EncodeOptions& o) { return !o.qrKanji; }, &setFlag<&EncodeOptions::qrKanji, false>),
    {"dm-size", "dm_rows", "a fixed Data Matrix size, ROWSxCOLUMNS (10x10 to 144x144, 8x18 to 16x48, DMRE 8x48 to 26x64)",
     takes<CAP_DATAMATRIX>, [](const EncodeOptions& o) { return o.dmRows != 0 || o.dmColumns != 0; },
     OptionKind::Size, "RxC", 0, 0, "", &setDmSize, nullptr},
    {"dm-shape", "dm_shape", "Data Matrix shapes to choose from: square (default), rect or any",
     takes<CAP_DATAMATRIX>, [](const EncodeOptions& o) { return o.dmShape != DEFAULTS.dmShape; }, OptionKind::Word,
     "SHAPE", 0, 0, "square|rect|any", &setChoice<DataMatrixShape, &EncodeOptions::dmShape>, nullptr},
    flag("dmre", "dmre", "the Data Matrix rectangles of ISO/IEC 21471 (DMRE) may be chosen", takes<CAP_DATAMATRIX>,
         [](const EncodeOptions& o) { return o.dmre; }, &setFlag<&EncodeOptions::dmre>),
    integer<&EncodeOptions::pdfLevel>("pdf-level", "pdf_level",
                                      "PDF417 error correction 0-8 (default: the recommended minimum for the data)",
                                      takes<CAP_PDF417>, "0-8", 0, 8),
    integer<&EncodeOptions::pdfColumns>("pdf-columns", "pdf_columns",
                                        "PDF417 data columns, 1-30 (default: chosen for the width over height)",
                                        takes<CAP_PDF417>, "N", 1, 30),
    integer<&EncodeOptions::pdfRows>("pdf-rows", "pdf_rows", "PDF417 rows, 3-90 (default: as few as the data needs)",
                                     takes<CAP_PDF417>, "N", 3, 90),
    flag("pdf-compact", "pdf_compact", "compact (truncated) PDF417: no right row indicator, a one-module stop",
         takes<CAP_PDF417>, [](const EncodeOptions& o) { return o.pdfCompact; }, &setFlag<&EncodeOptions::pdfCompact>),
    {"pdf-aspect", "pdf_aspect",
     "the PDF417 width over height to approach when neither columns nor rows are fixed, 0.1-20 (default 3)",
     takes<CAP_PDF417>, [](const EncodeOptions& o) { return o.pdfAspect != DEFAULTS.pdfAspect; }, OptionKind::Number,
     "R", 0.1, 20, "", &setAspect, &aspectOf},
    integer<&EncodeOptions::rowHeight>("row-height", "row_height", "a PDF417 row's height in modules, 1-20 (default 3)",
                                       takes<CAP_PDF417>, "N", 1, 20),
    {"pdf-macro", "pdf_file_name",
     "an optional Macro PDF417 field: file-name, time-stamp (seconds since 1970), sender, addressee, file-size or "
     "checksum",
     takes<CAP_PDF417>,
     [](const EncodeOptions& o) {
         const PdfMacroFields& m = o.pdfMacro;
         return !m.fileName.empty() || m.timeStamp >= 0 || !m.sender.empty() || !m.addressee.empty() ||
                m.fileSize >= 0 || m.checksum >= 0;
     },
     OptionKind::Fields, "FIELD=VALUE", 0, 0, "", &setMacroField, nullptr},
    flag("gs1-dl", "gs1_digital_link",
         "the data are GS1 element strings; the symbol holds their GS1 Digital Link URI (QR Code, Data Matrix)",
         takesDigitalLink, [](const EncodeOptions& o) { return o.gs1DigitalLink; },
         &setFlag<&EncodeOptions::gs1DigitalLink>),
    {"gs1-dl-domain", "gs1_dl_domain", "the GS1 Digital Link URI's scheme and host (default https://id.gs1.org)",
     takesDigitalLink, [](const EncodeOptions& o) { return !o.gs1DlDomain.empty(); }, OptionKind::Text, "URL", 0, 0,
     "", &setDlDomain, nullptr},
    // 22 segments: the widest row, 21 data characters and the check character.
    integer<&EncodeOptions::databarSegments>("databar-segments", "databar_segments",
                                             "GS1 DataBar Expanded Stacked segments a row, 2-22 and even (default 4)",
                                             takes<CAP_DATABAR_SEGMENTS>, "N", 2, 22),
    {"rmqr-size", "rmqr_height",
     "a fixed rMQR size, RHxW (R7x43 to R17x139; default: the smallest that holds the data, by area, then by height)",
     takes<CAP_RMQR>, [](const EncodeOptions& o) { return o.rmqrHeight != 0 || o.rmqrWidth != 0; },
     OptionKind::Size, "RHxW", 0, 0, "", &setRmqrSize, nullptr},
};

std::string number(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

}  // namespace

const EncodeOptionInfo* encodeOptionTable(std::size_t& count) {
    count = std::size(TABLE);
    return TABLE;
}

const EncodeOptionInfo* findEncodeOption(std::string_view name) {
    for (const EncodeOptionInfo& row : TABLE)
        if (row.name == name)
            return &row;
    return nullptr;
}

Status setEncodeOption(EncodeOptions& options, std::string_view name, std::string_view text) {
    const EncodeOptionInfo* row = findEncodeOption(name);
    if (row == nullptr)
        return bad("no option " + quotedValue(name));
    return row->set(*row, options, text);
}

namespace {

// NaN fails both comparisons, so it is out of range too.
bool outOfRange(const EncodeOptionInfo& row, const EncodeOptions& o) {
    return row.number != nullptr && !(row.number(o) >= row.low && row.number(o) <= row.high);
}

// Whether any row is set where it does not apply or out of its range. The
// rows are indexed by constants, so their tests are known when this is
// compiled and run inline, without a call through the table's pointers for each.
template <std::size_t... I>
bool anyRefused(const SymbologyInfo& info, const EncodeOptions& o, std::index_sequence<I...>) {
    return ((TABLE[I].isSet(o) && (!TABLE[I].appliesTo(info) || outOfRange(TABLE[I], o))) || ...);
}

}  // namespace

namespace detail {
bool optionsApply(Symbology symbology, const EncodeOptions& options) {
    return !anyRefused(symbologyInfo(symbology), options, std::make_index_sequence<std::size(TABLE)>{});
}
}  // namespace detail

Status checkOptionsApply(Symbology symbology, const EncodeOptions& options) {
    const SymbologyInfo& info = symbologyInfo(symbology);
    if (detail::optionsApply(symbology, options))
        return Done{};
    for (const EncodeOptionInfo& row : TABLE) {
        if (!row.isSet(options))
            continue;
        if (!row.appliesTo(info))
            return bad("the option " + std::string(row.name) + " does not apply to " + std::string(info.title));
        if (outOfRange(row, options))
            return bad("the option " + std::string(row.name) + " is " + number(row.number(options)) +
                       "; it must be " + number(row.low) + (row.high == row.low + 1 ? " or " : " to ") +
                       number(row.high));
    }
    return Done{};
}

// ---- layout options ----

namespace {

// "none" (the row's word for 0) or a number within the row's range.
Status setLayoutNumber(const LayoutOptionInfo& row, LayoutOptions& o, std::string_view text) {
    if (!row.choices.empty() && lowerCase(text) == row.choices) {
        o.*row.number = 0;
        return Done{};
    }
    const Result<double> d = parseNumber(text, row.low, row.high);
    if (!d)
        return d.error();
    o.*row.number = *d;
    return Done{};
}

// A whole number within the row's range and among its values.
Status setLayoutInteger(const LayoutOptionInfo& row, LayoutOptions& o, std::string_view text) {
    const Result<long long> n = parseInteger(text, static_cast<long long>(row.low), static_cast<long long>(row.high));
    bool among = row.choices.empty();
    for (std::string_view rest = row.choices; n && !among && !rest.empty();) {
        const std::size_t bar = rest.find('|');
        among = rest.substr(0, bar) == std::to_string(*n);
        rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
    }
    if (!n || !among)
        return bad(quotedValue(text) + " is not " + listed(row.choices, '|'));
    o.*row.integer = static_cast<int>(*n);
    return Done{};
}

Status setLayoutFlag(const LayoutOptionInfo& row, LayoutOptions& o, std::string_view text) {
    const Result<bool> b = flagValue(text);
    if (!b)
        return b.error();
    assignLayoutFlag(row, o, *b);
    return Done{};
}

// One length, or two separated by a comma where the row takes two.
Status setLayoutLengths(const LayoutOptionInfo& row, LayoutOptions& o, std::string_view text) {
    const std::size_t comma = row.kind == OptionKind::Lengths ? text.find(',') : std::string_view::npos;
    Length values[2];
    const Result<Length> first = parseLength(text.substr(0, comma), row.unit, row.modules);
    if (!first)
        return first.error();
    values[0] = *first;
    if (comma != std::string_view::npos) {
        const Result<Length> second = parseLength(text.substr(comma + 1), row.unit, row.modules);
        if (!second)
            return second.error();
        values[1] = *second;
    }
    assignLayoutLengths(row, o, values, comma == std::string_view::npos ? 1 : 2);
    return Done{};
}

Status setLayoutColour(const LayoutOptionInfo& row, LayoutOptions& o, std::string_view text) {
    const Result<Colour> c = parseColour(text);
    if (!c)
        return c.error();
    return assignLayoutColour(row, o, *c);
}

constexpr LayoutOptionInfo layoutRow(std::string_view name, std::string_view help, OptionKind kind,
                                     std::string_view valueName,
                                     Status (*set)(const LayoutOptionInfo&, LayoutOptions&, std::string_view)) {
    return {name, help, kind, valueName, 0, 0, "", Unit::Mm, false, false, set,
            nullptr, nullptr, nullptr, false, nullptr, nullptr};
}

constexpr LayoutOptionInfo lengthRow(std::string_view name, std::string_view help, std::optional<Length> LayoutOptions::*field,
                                     Unit unit, bool modules, double highMm) {
    LayoutOptionInfo row = layoutRow(name, help, OptionKind::Length, "LENGTH", &setLayoutLengths);
    row.high = highMm;
    row.unit = unit;
    row.modules = modules;
    row.length = field;
    return row;
}

constexpr LayoutOptionInfo colourRow(std::string_view name, std::string_view help, Colour LayoutOptions::*field,
                                     bool opaque) {
    LayoutOptionInfo row = layoutRow(name, help, OptionKind::Colour, "COLOUR", &setLayoutColour);
    row.opaque = opaque;
    row.colour = field;
    return row;
}

constexpr LayoutOptionInfo dpiRow() {
    LayoutOptionInfo row = layoutRow("dpi", "resolution in dots per inch, 1-10000 (default 300); 'none' draws in "
                                            "pixels (give --x-dim in px)",
                                     OptionKind::Number, "N", &setLayoutNumber);
    row.low = 1;
    row.high = 10000;
    row.choices = "none";
    row.number = &LayoutOptions::dpi;
    return row;
}

constexpr LayoutOptionInfo quietRow() {
    LayoutOptionInfo row = lengthRow("quiet-zone", "quiet zones: beside and above/below, in modules (10) or lengths "
                                                   "(2.5mm); default: the symbology's standard",
                                     &LayoutOptions::quietLeft, Unit::Modules, true, 2000);
    row.kind = OptionKind::Lengths;
    row.valueName = "H[,V]";
    return row;
}

constexpr LayoutOptionInfo noTextRow() {
    LayoutOptionInfo row = layoutRow("no-text", "no human-readable text", OptionKind::Flag, "", &setLayoutFlag);
    row.flag = &LayoutOptions::text;
    row.inverted = true;
    return row;
}

constexpr LayoutOptionInfo rotateRow() {
    LayoutOptionInfo row = layoutRow("rotate", "0, 90, 180 or 270 clockwise", OptionKind::Integer, "DEGREES",
                                     &setLayoutInteger);
    row.high = 270;
    row.choices = "0|90|180|270";
    row.integer = &LayoutOptions::rotation;
    return row;
}

// The largest lengths layout() takes: X 10 mm (a module of a centimetre is
// already a poster), the text's em 50 mm, other lengths 2 m.
constexpr LayoutOptionInfo LAYOUT_TABLE[] = {
    dpiRow(),
    lengthRow("x-dim", "module width (X), e.g. 0.33mm, 13mil, 2px; default: the symbology's", &LayoutOptions::xDim,
              Unit::Mm, false, 10),
    lengthRow("height", "bar height, e.g. 20mm or 50x (modules); default: the symbology's", &LayoutOptions::height,
              Unit::Mm, true, 2000),
    lengthRow("bwr", "bar width reduction for print gain, e.g. 0.02mm or 1px", &LayoutOptions::barReduction, Unit::Mm,
              false, 2000),
    quietRow(),
    noTextRow(),
    lengthRow("font-size", "em size of the text, e.g. 3mm or 8pt; default: chosen from X", &LayoutOptions::fontSize,
              Unit::Mm, false, 50),
    colourRow("fg", "bar colour: RRGGBB, RRGGBBAA, cmyk:C,M,Y,K or a name (default black)",
              &LayoutOptions::foreground, true),
    colourRow("bg", "background: RRGGBB, RRGGBBAA, cmyk:C,M,Y,K, a name, or none for transparent (default white)",
              &LayoutOptions::background, false),
    rotateRow(),
};

}  // namespace

const LayoutOptionInfo* layoutOptionTable(std::size_t& count) {
    count = std::size(LAYOUT_TABLE);
    return LAYOUT_TABLE;
}

const LayoutOptionInfo* findLayoutOption(std::string_view name) {
    for (const LayoutOptionInfo& row : LAYOUT_TABLE)
        if (row.name == name)
            return &row;
    return nullptr;
}

Status setLayoutOption(LayoutOptions& options, std::string_view name, std::string_view text) {
    const LayoutOptionInfo* row = findLayoutOption(name);
    if (row == nullptr)
        return bad("no option " + quotedValue(name));
    return row->set(*row, options, text);
}

void assignLayoutNumber(const LayoutOptionInfo& row, LayoutOptions& options, double value) {
    if (row.number != nullptr)
        options.*row.number = value;
    else if (row.integer != nullptr)
        options.*row.integer = static_cast<int>(value);
}

void assignLayoutFlag(const LayoutOptionInfo& row, LayoutOptions& options, bool value) {
    if (row.flag != nullptr)
        options.*row.flag = value != row.inverted;
}

void assignLayoutLengths(const LayoutOptionInfo& row, LayoutOptions& options, const Length* values, std::size_t count) {
    if (row.length == nullptr || count == 0)
        return;
    options.*row.length = values[0];
    if (row.kind != OptionKind::Lengths)
        return;
    // The quiet zones: the first length beside the symbol, the second above and below.
    options.quietRight = values[0];
    if (count > 1)
        options.quietVertical = values[1];
}

Status assignLayoutColour(const LayoutOptionInfo& row, LayoutOptions& options, Colour value) {
    if (row.opaque && !value.opaque())
        return bad("the bars must be drawn in an opaque colour");
    if (row.colour != nullptr)
        options.*row.colour = value;
    return Done{};
}

}  // namespace korvane
