// The C API: opaque handles over the C++ objects, errors copied into the
// caller's buffer, no exception or C++ type across the boundary.

#include "korvane/korvane.h"
#include "korvane/korvane.hpp"

#include "CApiAbi2.h"
#include "CApiFields.h"
#include "encode/Adapters.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <mutex>
#include <utility>
#include <string>
#include <vector>
#include <optional>
#include <new>

// A record or list of a symbol's facts as the C API shows them: the entries
// the report shows, with their snake_case names.
struct kv_facts {
    struct Entry {
        std::string name;
        const korvane::Fact* fact;
        std::unique_ptr<kv_facts> nested;
    };
    std::vector<Entry> entries;

    explicit kv_facts(const std::vector<korvane::Fact>& facts) {
        for (const korvane::Fact& f : facts) {
            if (!f.shownIn(korvane::REPORT_VIEW))
                continue;
            const bool inner = f.kind == korvane::Fact::Kind::List || f.kind == korvane::Fact::Kind::Record;
            entries.push_back({korvane::factName(f.name, korvane::NameStyle::Snake), &f,
                               inner ? std::make_unique<kv_facts>(f.items) : nullptr});
        }
    }

    const korvane::Fact* at(int index) const {
        return index >= 0 && index < static_cast<int>(entries.size()) ? entries[static_cast<size_t>(index)].fact
                                                                       : nullptr;
    }
};

struct kv_symbol {
    explicit kv_symbol(korvane::Symbol made) : symbol(std::move(made)) {}

    korvane::Symbol symbol;
    // The facts record, made on the first kv_symbol_facts (most callers never
    // ask), once even when threads ask for it together.
    mutable std::once_flag factsMade;
    mutable std::vector<korvane::Fact> record;
    mutable std::unique_ptr<kv_facts> facts;
};

struct kv_drawing {
    korvane::Drawing drawing;
};

struct kv_sheet {
    korvane::SheetGeometry geometry;
    std::unique_ptr<korvane::FileSink> file;  // PDF
    std::unique_ptr<korvane::PageOutput> pages;
    std::optional<korvane::SheetWriter> writer;
    bool closed = false;
};

namespace {

kv_status statusOf(korvane::ErrorCode code) {
    using korvane::ErrorCode;
    switch (code) {
    case ErrorCode::UnknownSymbology: return KV_UNKNOWN_SYMBOLOGY;
    case ErrorCode::InvalidData: return KV_INVALID_DATA;
    case ErrorCode::CheckDigit: return KV_CHECK_DIGIT;
    case ErrorCode::DataTooLong: return KV_DATA_TOO_LONG;
    case ErrorCode::InvalidOption: return KV_INVALID_OPTION;
    case ErrorCode::SizeTooLarge: return KV_SIZE_TOO_LARGE;
    case ErrorCode::UnknownFormat: return KV_UNKNOWN_FORMAT;
    case ErrorCode::WriteFailed: return KV_WRITE_FAILED;
    case ErrorCode::VerifyFailed: return KV_VERIFY_FAILED;
    }
    return KV_INVALID_ARGUMENT;
}

kv_status fail(kv_status status, const std::string& message, char* error, size_t size) {
    if (error != nullptr && size > 0) {
        const size_t n = std::min(message.size(), size - 1);
        std::memcpy(error, message.data(), n);
        error[n] = '\0';
    }
    return status;
}

kv_status fail(const korvane::Error& e, char* error, size_t size) {
    return fail(statusOf(e.code), e.message, error, size);
}

korvane::Colour colour(uint32_t rgba) {
    return {static_cast<std::uint8_t>(rgba >> 24), static_cast<std::uint8_t>(rgba >> 16),
            static_cast<std::uint8_t>(rgba >> 8), static_cast<std::uint8_t>(rgba)};
}

// A layout colour: CMYK (0xCCMMYYKK, whole percent) where one is given, else RGBA.
korvane::Colour colour(uint32_t rgba, int32_t cmyk) {
    if (cmyk < 0)
        return colour(rgba);
    const auto part = [cmyk](int shift) { return static_cast<int>((static_cast<uint32_t>(cmyk) >> shift) & 0xFFu); };
    return korvane::Colour::fromCmyk(part(24), part(16), part(8), part(0));
}

uint32_t rgbaOf(const korvane::Colour& c) {
    return static_cast<uint32_t>(c.r) << 24 | static_cast<uint32_t>(c.g) << 16 | static_cast<uint32_t>(c.b) << 8 | c.a;
}

int32_t cmykOf(const korvane::Colour& c) {
    return c.cmyk ? static_cast<int32_t>(static_cast<uint32_t>(c.c) << 24 | static_cast<uint32_t>(c.m) << 16 |
                                         static_cast<uint32_t>(c.y) << 8 | c.k)
                  : -1;
}

// How each field of kv_encode_options sets EncodeOptions; the names follow the
// option table's C names, and a test holds the two together.
struct CField {
    const char* name;
    void (*apply)(const kv_encode_options& c, korvane::EncodeOptions& o);
};
constexpr CField C_FIELDS[] = {
    {"check", [](const kv_encode_options& c, korvane::EncodeOptions& o) {
         if (c.check >= 0)
             o.check = c.check != 0;
     }},
    {"escapes", [](const kv_encode_options& c, korvane::EncodeOptions& o) { o.escapes = c.escapes != 0; }},
    {"gs1", [](const kv_encode_options& c, korvane::EncodeOptions& o) { o.gs1 = c.gs1 != 0; }},
    {"eci", [](const kv_encode_options& c, korvane::EncodeOptions& o) { o.eci = c.eci < 0 ? -1 : c.eci; }},
    {"wide_ratio", [](const kv_encode_options& c, korvane::EncodeOptions& o) { o.wideRatio = c.wide_ratio; }},
    {"code128_start", [](const kv_encode_options& c, korvane::EncodeOptions& o) { o.code128Start = c.code128_start; }},
    {"msi_check", [](const kv_encode_options& c, korvane::EncodeOptions& o) {
         o.msiCheck = static_cast<korvane::MsiCheck>(c.msi_check >= 0 && c.msi_check <= 3 ? c.msi_check : 0);
     }},
    {"codabar_start", [](const kv_encode_options& c, korvane::EncodeOptions& o) { o.codabarStart = c.codabar_start; }},
    {"codabar_stop", [](const kv_encode_options& c, korvane::EncodeOptions& o) { o.codabarStop = c.codabar_stop; }},
    {"upce_number_system",
     [](const kv_encode_options& c, korvane::EncodeOptions& o) { o.upceNumberSystem = c.upce_number_system; }},
    {"add_on", [](const kv_encode_options& c, korvane::EncodeOptions& o) {
         if (c.add_on != nullptr)
             o.addOn = c.add_on;
     }},
    {"add_on_gap", [](const kv_encode_options& c, korvane::EncodeOptions& o) { o.addOnGap = c.add_on_gap; }},
    {"aztec_specified", [](const kv_encode_options& c, korvane::EncodeOptions& o) {
         o.aztecEncoder = c.aztec_specified ? korvane::AztecEncoder::Specified : korvane::AztecEncoder::Optimal;
     }},
    {"ecc_percent", [](const kv_encode_options& c, korvane::EncodeOptions& o) { o.eccPercent = c.ecc_percent; }},
    {"ecc_extra_words",
     [](const kv_encode_options& c, korvane::EncodeOptions& o) { o.eccExtraWords = c.ecc_extra_words; }},
    {"min_size", [](const kv_encode_options& c, korvane::EncodeOptions& o) { o.minSize = c.min_size; }},
    {"compact_only", [](const kv_encode_options& c, korvane::EncodeOptions& o) { o.compactOnly = c.compact_only != 0; }},
    {"full_only", [](const kv_encode_options& c, korvane::EncodeOptions& o) { o.fullOnly = c.full_only != 0; }},
    {"aztec_bytes", [](const kv_encode_options& c, korvane::EncodeOptions& o) { o.bytes = c.aztec_bytes != 0; }},
    {"reader_init", [](const kv_encode_options& c, korvane::EncodeOptions& o) { o.readerInit = c.reader_init != 0; }},
    {"structured_index", [](const kv_encode_options& c, korvane::EncodeOptions& o) {
         o.structuredAppend.index = c.structured_index;
         o.structuredAppend.count = c.structured_count;
         if (c.structured_id != nullptr)
             o.structuredAppend.id = c.structured_id;
     }},
    {"qr_level", [](const kv_encode_options& c, korvane::EncodeOptions& o) {
         // Out of range stays out of range, for the encoder to refuse.
         o.qrLevel = static_cast<korvane::QrLevel>(c.qr_level);
     }},
    {"qr_version", [](const kv_encode_options& c, korvane::EncodeOptions& o) { o.qrVersion = c.qr_version; }},
    {"qr_mask", [](const kv_encode_options& c, korvane::EncodeOptions& o) { o.qrMask = c.qr_mask; }},
    {"qr_no_boost", [](const kv_encode_options& c, korvane::EncodeOptions& o) { o.qrBoost = c.qr_no_boost == 0; }},
    {"qr_no_kanji", [](const kv_encode_options& c, korvane::EncodeOptions& o) { o.qrKanji = c.qr_no_kanji == 0; }},
    {"dm_rows", [](const kv_encode_options& c, korvane::EncodeOptions& o) {
         o.dmRows = c.dm_rows;
         o.dmColumns = c.dm_columns;
     }},
    {"dm_shape", [](const kv_encode_options& c, korvane::EncodeOptions& o) {
         o.dmShape = static_cast<korvane::DataMatrixShape>(c.dm_shape >= 0 && c.dm_shape <= 2 ? c.dm_shape : 0);
     }},
    {"dmre", [](const kv_encode_options& c, korvane::EncodeOptions& o) { o.dmre = c.dmre != 0; }},
    {"pdf_level", [](const kv_encode_options& c, korvane::EncodeOptions& o) { o.pdfLevel = c.pdf_level; }},
    {"pdf_columns", [](const kv_encode_options& c, korvane::EncodeOptions& o) { o.pdfColumns = c.pdf_columns; }},
    {"pdf_rows", [](const kv_encode_options& c, korvane::EncodeOptions& o) { o.pdfRows = c.pdf_rows; }},
    {"pdf_compact", [](const kv_encode_options& c, korvane::EncodeOptions& o) { o.pdfCompact = c.pdf_compact != 0; }},
    {"pdf_aspect", [](const kv_encode_options& c, korvane::EncodeOptions& o) { o.pdfAspect = c.pdf_aspect; }},
    {"row_height", [](const kv_encode_options& c, korvane::EncodeOptions& o) { o.rowHeight = c.row_height; }},
    {"pdf_file_name", [](const kv_encode_options& c, korvane::EncodeOptions& o) {
         korvane::PdfMacroFields& m = o.pdfMacro;
         m.fileName = c.pdf_file_name != nullptr ? c.pdf_file_name : "";
         m.timeStamp = c.pdf_time_stamp;
         m.sender = c.pdf_sender != nullptr ? c.pdf_sender : "";
         m.addressee = c.pdf_addressee != nullptr ? c.pdf_addressee : "";
         m.fileSize = c.pdf_file_size;
         m.checksum = c.pdf_checksum;
     }},
    {"gs1_digital_link",
     [](const kv_encode_options& c, korvane::EncodeOptions& o) { o.gs1DigitalLink = c.gs1_digital_link != 0; }},
    {"gs1_dl_domain", [](const kv_encode_options& c, korvane::EncodeOptions& o) {
         o.gs1DlDomain = c.gs1_dl_domain != nullptr ? c.gs1_dl_domain : "";
     }},
    {"databar_segments",
     [](const kv_encode_options& c, korvane::EncodeOptions& o) { o.databarSegments = c.databar_segments; }},
    {"rmqr_height", [](const kv_encode_options& c, korvane::EncodeOptions& o) {
         o.rmqrHeight = c.rmqr_height;
         o.rmqrWidth = c.rmqr_width;
     }},
};

// How each field of kv_encode_options is set back from EncodeOptions, for
// kv_set_option(); one entry for each of C_FIELDS, by the same name. A text
// that changed is the end of the option's text (a set's identifier after its
// ':', a field's value after its '='), so it points there.
const char* textOf(const std::string& now, const char* was, const char* text) {
    if (now == (was != nullptr ? was : ""))
        return was;
    const std::size_t length = std::strlen(text);
    return now.size() <= length ? text + (length - now.size()) : was;
}

struct CStore {
    const char* name;
    void (*store)(const korvane::EncodeOptions& o, kv_encode_options& c, const char* text);
};
using O = const korvane::EncodeOptions&;
using C = kv_encode_options&;
constexpr CStore C_STORES[] = {
    {"check", [](O o, C c, const char*) { c.check = o.check ? (*o.check ? 1 : 0) : -1; }},
    {"escapes", [](O o, C c, const char*) { c.escapes = o.escapes ? 1 : 0; }},
    {"gs1", [](O o, C c, const char*) { c.gs1 = o.gs1 ? 1 : 0; }},
    {"eci", [](O o, C c, const char*) { c.eci = o.eci; }},
    {"wide_ratio", [](O o, C c, const char*) { c.wide_ratio = o.wideRatio; }},
    {"code128_start", [](O o, C c, const char*) { c.code128_start = o.code128Start; }},
    {"msi_check", [](O o, C c, const char*) { c.msi_check = static_cast<int>(o.msiCheck); }},
    {"codabar_start", [](O o, C c, const char*) { c.codabar_start = o.codabarStart; }},
    {"codabar_stop", [](O o, C c, const char*) { c.codabar_stop = o.codabarStop; }},
    {"upce_number_system", [](O o, C c, const char*) { c.upce_number_system = o.upceNumberSystem; }},
    {"add_on", [](O o, C c, const char* t) { c.add_on = textOf(o.addOn, c.add_on, t); }},
    {"add_on_gap", [](O o, C c, const char*) { c.add_on_gap = o.addOnGap; }},
    {"aztec_specified",
     [](O o, C c, const char*) { c.aztec_specified = o.aztecEncoder == korvane::AztecEncoder::Specified ? 1 : 0; }},
    {"ecc_percent", [](O o, C c, const char*) { c.ecc_percent = o.eccPercent; }},
    {"ecc_extra_words", [](O o, C c, const char*) { c.ecc_extra_words = o.eccExtraWords; }},
    {"min_size", [](O o, C c, const char*) { c.min_size = o.minSize; }},
    {"compact_only", [](O o, C c, const char*) { c.compact_only = o.compactOnly ? 1 : 0; }},
    {"full_only", [](O o, C c, const char*) { c.full_only = o.fullOnly ? 1 : 0; }},
    {"aztec_bytes", [](O o, C c, const char*) { c.aztec_bytes = o.bytes ? 1 : 0; }},
    {"reader_init", [](O o, C c, const char*) { c.reader_init = o.readerInit ? 1 : 0; }},
    {"structured_index", [](O o, C c, const char* t) {
         c.structured_index = o.structuredAppend.index;
         c.structured_count = o.structuredAppend.count;
         c.structured_id = textOf(o.structuredAppend.id, c.structured_id, t);
     }},
    {"qr_level", [](O o, C c, const char*) { c.qr_level = static_cast<int>(o.qrLevel); }},
    {"qr_version", [](O o, C c, const char*) { c.qr_version = o.qrVersion; }},
    {"qr_mask", [](O o, C c, const char*) { c.qr_mask = o.qrMask; }},
    {"qr_no_boost", [](O o, C c, const char*) { c.qr_no_boost = o.qrBoost ? 0 : 1; }},
    {"qr_no_kanji", [](O o, C c, const char*) { c.qr_no_kanji = o.qrKanji ? 0 : 1; }},
    {"dm_rows", [](O o, C c, const char*) {
         c.dm_rows = o.dmRows;
         c.dm_columns = o.dmColumns;
     }},
    {"dm_shape", [](O o, C c, const char*) { c.dm_shape = static_cast<int>(o.dmShape); }},
    {"dmre", [](O o, C c, const char*) { c.dmre = o.dmre ? 1 : 0; }},
    {"pdf_level", [](O o, C c, const char*) { c.pdf_level = o.pdfLevel; }},
    {"pdf_columns", [](O o, C c, const char*) { c.pdf_columns = o.pdfColumns; }},
    {"pdf_rows", [](O o, C c, const char*) { c.pdf_rows = o.pdfRows; }},
    {"pdf_compact", [](O o, C c, const char*) { c.pdf_compact = o.pdfCompact ? 1 : 0; }},
    {"pdf_aspect", [](O o, C c, const char*) { c.pdf_aspect = o.pdfAspect; }},
    {"row_height", [](O o, C c, const char*) { c.row_height = o.rowHeight; }},
    {"pdf_file_name", [](O o, C c, const char* t) {
         const korvane::PdfMacroFields& m = o.pdfMacro;
         c.pdf_file_name = textOf(m.fileName, c.pdf_file_name, t);
         c.pdf_time_stamp = m.timeStamp;
         c.pdf_sender = textOf(m.sender, c.pdf_sender, t);
         c.pdf_addressee = textOf(m.addressee, c.pdf_addressee, t);
         c.pdf_file_size = m.fileSize;
         c.pdf_checksum = m.checksum;
     }},
    {"gs1_digital_link", [](O o, C c, const char*) { c.gs1_digital_link = o.gs1DigitalLink ? 1 : 0; }},
    {"gs1_dl_domain", [](O o, C c, const char* t) { c.gs1_dl_domain = textOf(o.gs1DlDomain, c.gs1_dl_domain, t); }},
    {"databar_segments", [](O o, C c, const char*) { c.databar_segments = o.databarSegments; }},
    {"rmqr_height", [](O o, C c, const char*) {
         c.rmqr_height = o.rmqrHeight;
         c.rmqr_width = o.rmqrWidth;
     }},
};
static_assert(std::size(C_STORES) == std::size(C_FIELDS));

const CStore* storeOf(std::string_view cName) {
    for (const CStore& s : C_STORES)
        if (cName == s.name)
            return &s;
    return nullptr;
}

korvane::EncodeOptions encodeOptions(const kv_encode_options& c) {
    korvane::EncodeOptions o;
    for (const CField& f : C_FIELDS)
        f.apply(c, o);
    return o;
}

korvane::LayoutOptions layoutOptions(const kv_layout_options& c) {
    korvane::LayoutOptions o;
    o.dpi = c.dpi;
    // The C fields keep one unit each; zero (negative for quiet zones) is the default.
    if (c.dpi > 0 && c.x_mm != 0)
        o.xDim = korvane::mm(c.x_mm);
    else if (c.dpi <= 0 && c.module_dots != 0)
        o.xDim = korvane::px(c.module_dots);
    if (c.height_mm != 0)
        o.height = korvane::mm(c.height_mm);
    else if (c.height_modules != 0)
        o.height = korvane::modules(c.height_modules);
    if (c.bar_reduction_mm != 0)
        o.barReduction = korvane::mm(c.bar_reduction_mm);
    if (c.quiet_left >= 0)
        o.quietLeft = korvane::modules(c.quiet_left);
    if (c.quiet_right >= 0)
        o.quietRight = korvane::modules(c.quiet_right);
    if (c.quiet_vertical >= 0)
        o.quietVertical = korvane::modules(c.quiet_vertical);
    o.text = c.text != 0;
    if (c.font_size_mm != 0)
        o.fontSize = korvane::mm(c.font_size_mm);
    o.foreground = colour(c.foreground, c.foreground_cmyk);
    o.background = colour(c.background, c.background_cmyk);
    o.rotation = c.rotation;
    return o;
}

kv_encode_options encodeDefaults() {
    const korvane::EncodeOptions d;
    kv_encode_options o{};
    o.size = sizeof o;
    o.check = -1;
    o.codabar_start = d.codabarStart;
    o.codabar_stop = d.codabarStop;
    o.upce_number_system = d.upceNumberSystem;
    o.add_on_gap = d.addOnGap;
    o.ecc_percent = d.eccPercent;
    o.ecc_extra_words = d.eccExtraWords;
    o.eci = d.eci;
    o.qr_level = static_cast<int>(d.qrLevel);
    o.qr_mask = d.qrMask;
    o.pdf_level = d.pdfLevel;
    o.pdf_aspect = d.pdfAspect;
    o.pdf_time_stamp = d.pdfMacro.timeStamp;
    o.pdf_file_size = d.pdfMacro.fileSize;
    o.pdf_checksum = d.pdfMacro.checksum;
    return o;
}

kv_layout_options layoutDefaults() {
    const korvane::LayoutOptions d;
    kv_layout_options o{};
    o.size = sizeof o;
    o.dpi = d.dpi;
    o.quiet_left = o.quiet_right = o.quiet_vertical = -1;
    o.text = 1;
    o.foreground = 0x000000FFu;
    o.background = 0xFFFFFFFFu;
    o.foreground_cmyk = o.background_cmyk = -1;
    return o;
}

kv_sheet_options sheetDefaults() {
    const korvane::SheetOptions d;
    kv_sheet_options o{};
    o.size = sizeof o;
    o.page_width_mm = d.page.widthMm;
    o.page_height_mm = d.page.heightMm;
    o.columns = d.columns;
    o.rows = d.rows;
    o.margin_top_mm = d.marginTopMm;
    o.margin_right_mm = d.marginRightMm;
    o.margin_bottom_mm = d.marginBottomMm;
    o.margin_left_mm = d.marginLeftMm;
    o.gap_horizontal_mm = d.gapHorizontalMm;
    o.gap_vertical_mm = d.gapVerticalMm;
    o.dpi = d.dpi;
    o.text_line = d.textLine ? 1 : 0;
    o.text_size_mm = d.textSizeMm;
    o.cut_marks = d.cutMarks ? 1 : 0;
    o.foreground = 0x000000FFu;
    o.background = 0xFFFFFFFFu;
    return o;
}

// The size is 64 bits wide everywhere, so the fields after it keep their
// places relative to one another whatever the width of a pointer (below).
constexpr std::uint64_t SIZE_FIELD = sizeof(std::uint64_t);

// The defaults into the first `size` bytes of the caller's struct, which is
// all it has; a size too small to hold the size itself gets nothing.
template <typename Options>
void initSized(Options* options, size_t size, Options defaults) {
    if (options == nullptr || size < SIZE_FIELD)
        return;
    defaults.size = size;
    std::memcpy(static_cast<void*>(options), &defaults, std::min(size, sizeof defaults));
}

// The caller's struct over the defaults, as far as its size reaches: fields
// appended after the caller's header keep their defaults, and fields of a later
// header than the library's are not read.
template <typename Options>
bool readSized(const Options* options, Options& out) {
    if (options == nullptr)
        return true;
    if (options->size < SIZE_FIELD)
        return false;
    std::memcpy(static_cast<void*>(&out), options,
                static_cast<size_t>(std::min<std::uint64_t>(options->size, sizeof out)));
    out.size = sizeof out;
    return true;
}

constexpr const char* UNSIZED = "the options' size is 0: start them from their kv_*_options_init";

// A 2.0 struct is the current one's fields after `size`, in the same places
// relative to the first; it is read into, and filled from, those fields.
template <typename Current, typename Old>
Current fromOld(const Old* old, Current current, size_t first) {
    if (old != nullptr)
        std::memcpy(reinterpret_cast<char*>(&current) + first, old, sizeof *old);
    return current;
}

template <typename Current, typename Old>
void toOld(Old* old, const Current& current, size_t first) {
    if (old != nullptr)
        std::memcpy(static_cast<void*>(old), reinterpret_cast<const char*>(&current) + first, sizeof *old);
}

// How each layout row's value goes back into kv_layout_options, whose fields
// keep one unit each; a value they cannot hold is refused, naming the unit.
using LayoutRead = const korvane::LayoutOptions&;
using LayoutC = kv_layout_options&;

korvane::Error cannotHold(const char* what) {
    return {korvane::ErrorCode::InvalidOption, std::string("the C layout options hold ") + what};
}

// A length as the struct's millimetres (0 when unset); px need a resolution.
korvane::Result<double> millimetres(const std::optional<korvane::Length>& l, double dpi, const char* what) {
    if (!l)
        return 0.0;
    if (l->inModules() || (l->unit == korvane::Unit::Px && dpi <= 0))
        return cannotHold(what);
    return l->mm(dpi);
}

// A quiet zone as the struct's modules (-1 when unset: the standard's).
korvane::Status quietModules(const std::optional<korvane::Length>& l, double& to) {
    if (l && !l->inModules())
        return cannotHold("quiet zones in modules (10, or 10x)");
    to = l ? l->value : -1;
    return korvane::Done{};
}

struct LayoutStore {
    std::string_view name;
    korvane::Status (*store)(LayoutRead o, LayoutC c);
};
constexpr LayoutStore LAYOUT_STORES[] = {
    {"dpi", [](LayoutRead o, LayoutC c) -> korvane::Status { return c.dpi = o.dpi, korvane::Done{}; }},
    {"x-dim", [](LayoutRead o, LayoutC c) -> korvane::Status {
         c.x_mm = 0;
         if (o.xDim && o.xDim->unit == korvane::Unit::Px && o.dpi <= 0)
             return c.module_dots = static_cast<int>(std::lround(o.xDim->value)), korvane::Done{};
         const korvane::Result<double> x = millimetres(o.xDim, o.dpi, "X as a length (px only without a resolution)");
         return x ? (c.x_mm = *x, korvane::Status(korvane::Done{})) : korvane::Status(x.error());
     }},
    {"height", [](LayoutRead o, LayoutC c) -> korvane::Status {
         const bool modules = o.height && o.height->inModules();
         const korvane::Result<double> h =
             modules ? korvane::Result<double>(0.0) : millimetres(o.height, o.dpi, "a height in modules or as a length");
         if (!h)
             return h.error();
         c.height_mm = *h;
         c.height_modules = modules ? o.height->value : 0;
         return korvane::Done{};
     }},
    {"bwr", [](LayoutRead o, LayoutC c) -> korvane::Status {
         const korvane::Result<double> r = millimetres(o.barReduction, o.dpi, "the bar width reduction as a length");
         return r ? (c.bar_reduction_mm = *r, korvane::Status(korvane::Done{})) : korvane::Status(r.error());
     }},
    {"quiet-zone", [](LayoutRead o, LayoutC c) -> korvane::Status {
         korvane::Status s = quietModules(o.quietLeft, c.quiet_left);
         if (s)
             s = quietModules(o.quietRight, c.quiet_right);
         return s ? quietModules(o.quietVertical, c.quiet_vertical) : s;
     }},
    {"no-text", [](LayoutRead o, LayoutC c) -> korvane::Status { return c.text = o.text ? 1 : 0, korvane::Done{}; }},
    {"font-size", [](LayoutRead o, LayoutC c) -> korvane::Status {
         const korvane::Result<double> f = millimetres(o.fontSize, o.dpi, "the font size as a length");
         return f ? (c.font_size_mm = *f, korvane::Status(korvane::Done{})) : korvane::Status(f.error());
     }},
    {"fg", [](LayoutRead o, LayoutC c) -> korvane::Status {
         c.foreground = rgbaOf(o.foreground);
         return c.foreground_cmyk = cmykOf(o.foreground), korvane::Done{};
     }},
    {"bg", [](LayoutRead o, LayoutC c) -> korvane::Status {
         c.background = rgbaOf(o.background);
         return c.background_cmyk = cmykOf(o.background), korvane::Done{};
     }},
    {"rotate", [](LayoutRead o, LayoutC c) -> korvane::Status { return c.rotation = o.rotation, korvane::Done{}; }},
};

const LayoutStore* layoutStoreOf(std::string_view name) {
    for (const LayoutStore& s : LAYOUT_STORES)
        if (s.name == name)
            return &s;
    return nullptr;
}

constexpr size_t ENCODE_FIRST = offsetof(kv_encode_options, check);
constexpr size_t LAYOUT_FIRST = offsetof(kv_layout_options, dpi);
constexpr size_t SHEET_FIRST = offsetof(kv_sheet_options, page_width_mm);

static_assert(offsetof(kv_encode_options, check) % alignof(kv_encode_options_2_0) == 0 &&
              offsetof(kv_encode_options, pdf_checksum) - offsetof(kv_encode_options, check) ==
                  offsetof(kv_encode_options_2_0, pdf_checksum));
static_assert(offsetof(kv_layout_options, dpi) % alignof(kv_layout_options_2_0) == 0 &&
              offsetof(kv_layout_options, rotation) - offsetof(kv_layout_options, dpi) ==
                  offsetof(kv_layout_options_2_0, rotation));
static_assert(offsetof(kv_sheet_options, page_width_mm) % alignof(kv_sheet_options_2_0) == 0 &&
              offsetof(kv_sheet_options, background) - offsetof(kv_sheet_options, page_width_mm) ==
                  offsetof(kv_sheet_options_2_0, background));

}  // namespace

namespace korvane::detail {

std::vector<std::string_view> cEncodeOptionNames() {
    std::vector<std::string_view> names;
    for (const CField& f : C_FIELDS)
        names.emplace_back(f.name);
    return names;
}

}  // namespace korvane::detail

extern "C" {

void kv_encode_options_init_sized(kv_encode_options* options, size_t size) {
    initSized(options, size, encodeDefaults());
}

void kv_layout_options_init_sized(kv_layout_options* options, size_t size) {
    initSized(options, size, layoutDefaults());
}

const char* kv_version(void) { return KORVANE_VERSION_STRING; }

kv_status kv_set_option(kv_encode_options* options, const char* name, const char* text, char* error,
                        size_t error_size) {
    if (options == nullptr || name == nullptr || text == nullptr)
        return fail(KV_INVALID_ARGUMENT, "a required argument is null", error, error_size);
    kv_encode_options c = encodeDefaults();
    if (!readSized(options, c))
        return fail(KV_INVALID_ARGUMENT, UNSIZED, error, error_size);
    const korvane::EncodeOptionInfo* row = korvane::findEncodeOption(name);
    const CStore* store = row != nullptr ? storeOf(row->cName) : nullptr;
    if (store == nullptr)
        return fail(KV_INVALID_OPTION, "no option '" + std::string(name).substr(0, 40) + "'", error, error_size);
    korvane::EncodeOptions o = encodeOptions(c);
    if (const korvane::Status set = row->set(*row, o, text); !set)
        return fail(statusOf(set.error().code), std::string(row->name) + ": " + set.error().message, error,
                    error_size);
    store->store(o, c, text);
    // Back into the caller's struct as far as its size reaches, its size kept.
    const std::uint64_t size = options->size;
    std::memcpy(static_cast<void*>(options), &c, static_cast<size_t>(std::min<std::uint64_t>(size, sizeof c)));
    options->size = size;
    return KV_OK;
}

kv_status kv_set_layout_option(kv_layout_options* options, const char* name, const char* text, char* error,
                               size_t error_size) {
    if (options == nullptr || name == nullptr || text == nullptr)
        return fail(KV_INVALID_ARGUMENT, "a required argument is null", error, error_size);
    kv_layout_options c = layoutDefaults();
    if (!readSized(options, c))
        return fail(KV_INVALID_ARGUMENT, UNSIZED, error, error_size);
    const korvane::LayoutOptionInfo* row = korvane::findLayoutOption(name);
    const LayoutStore* store = row != nullptr ? layoutStoreOf(row->name) : nullptr;
    if (store == nullptr)
        return fail(KV_INVALID_OPTION, "no option '" + std::string(name).substr(0, 40) + "'", error, error_size);
    korvane::LayoutOptions o = layoutOptions(c);
    korvane::Status set = row->set(*row, o, text);
    if (set)
        set = store->store(o, c);
    if (!set)
        return fail(statusOf(set.error().code), std::string(row->name) + ": " + set.error().message, error,
                    error_size);
    const std::uint64_t size = options->size;
    std::memcpy(static_cast<void*>(options), &c, static_cast<size_t>(std::min<std::uint64_t>(size, sizeof c)));
    options->size = size;
    return KV_OK;
}

kv_status kv_encode_sized(const char* symbology, const char* data, size_t length, const kv_encode_options* options,
                          kv_symbol** symbol, char* error, size_t error_size) {
    if (symbology == nullptr || symbol == nullptr || (data == nullptr && length > 0))
        return fail(KV_INVALID_ARGUMENT, "a required argument is null", error, error_size);
    *symbol = nullptr;
    kv_encode_options c = encodeDefaults();
    if (!readSized(options, c))
        return fail(KV_INVALID_ARGUMENT, UNSIZED, error, error_size);
    const korvane::EncodeOptions o = encodeOptions(c);
    korvane::Result<korvane::Symbol> r =
        korvane::encode(std::string_view(symbology), std::string_view(data == nullptr ? "" : data, length), o);
    if (!r)
        return fail(r.error(), error, error_size);
    *symbol = new (std::nothrow) kv_symbol(std::move(*r));
    return *symbol != nullptr ? KV_OK : fail(KV_INVALID_ARGUMENT, "out of memory", error, error_size);
}

void kv_symbol_free(kv_symbol* symbol) { delete symbol; }

const kv_facts* kv_symbol_facts(const kv_symbol* symbol) {
    if (symbol == nullptr)
        return nullptr;
    std::call_once(symbol->factsMade, [symbol] {
        symbol->record = korvane::factsRecord(symbol->symbol);
        symbol->facts = std::make_unique<kv_facts>(symbol->record);
    });
    return symbol->facts.get();
}

int kv_facts_count(const kv_facts* facts) { return facts != nullptr ? static_cast<int>(facts->entries.size()) : 0; }

int kv_facts_find(const kv_facts* facts, const char* name) {
    if (facts == nullptr || name == nullptr)
        return -1;
    for (size_t i = 0; i < facts->entries.size(); ++i)
        if (facts->entries[i].name == name)
            return static_cast<int>(i);
    return -1;
}

const char* kv_facts_name(const kv_facts* facts, int index) {
    return facts != nullptr && facts->at(index) != nullptr ? facts->entries[static_cast<size_t>(index)].name.c_str()
                                                           : nullptr;
}

kv_fact_type kv_facts_type(const kv_facts* facts, int index) {
    using Kind = korvane::Fact::Kind;
    const korvane::Fact* f = facts != nullptr ? facts->at(index) : nullptr;
    if (f == nullptr)
        return KV_FACT_NONE;
    switch (f->kind) {
    case Kind::Integer: return KV_FACT_INTEGER;
    case Kind::Boolean: return KV_FACT_BOOLEAN;
    case Kind::Real: return KV_FACT_REAL;
    case Kind::Text:
    case Kind::Bytes: return KV_FACT_TEXT;
    case Kind::List: return KV_FACT_LIST;
    case Kind::Record: return KV_FACT_RECORD;
    }
    return KV_FACT_NONE;
}

long long kv_facts_integer(const kv_facts* facts, int index) {
    const kv_fact_type t = kv_facts_type(facts, index);
    return t == KV_FACT_INTEGER || t == KV_FACT_BOOLEAN ? facts->at(index)->integer : 0;
}

double kv_facts_real(const kv_facts* facts, int index) {
    const kv_fact_type t = kv_facts_type(facts, index);
    return t == KV_FACT_REAL      ? facts->at(index)->real
           : t == KV_FACT_INTEGER ? static_cast<double>(facts->at(index)->integer)
                                  : 0;
}

const char* kv_facts_text(const kv_facts* facts, int index, size_t* length) {
    const bool text = kv_facts_type(facts, index) == KV_FACT_TEXT;
    if (length != nullptr)
        *length = text ? facts->at(index)->text.size() : 0;
    return text ? facts->at(index)->text.c_str() : nullptr;
}

const kv_facts* kv_facts_nested(const kv_facts* facts, int index) {
    return facts != nullptr && facts->at(index) != nullptr ? facts->entries[static_cast<size_t>(index)].nested.get()
                                                           : nullptr;
}

const char* kv_symbol_text(const kv_symbol* symbol) { return symbol != nullptr ? symbol->symbol.text.c_str() : ""; }

const char* kv_symbol_data(const kv_symbol* symbol, size_t* length) {
    if (symbol == nullptr) {
        if (length != nullptr)
            *length = 0;
        return "";
    }
    if (length != nullptr)
        *length = symbol->symbol.facts.data.size();
    return symbol->symbol.facts.data.c_str();
}

int kv_symbol_width_modules(const kv_symbol* symbol) {
    if (symbol == nullptr)
        return 0;
    return symbol->symbol.isMatrix() ? symbol->symbol.columns : symbol->symbol.widthModules;
}

int kv_symbol_height_modules(const kv_symbol* symbol) {
    return symbol != nullptr && symbol->symbol.isMatrix() ? symbol->symbol.rows : 0;
}

int kv_symbol_is_matrix(const kv_symbol* symbol) { return symbol != nullptr && symbol->symbol.isMatrix(); }

int kv_symbol_warning_count(const kv_symbol* symbol) {
    return symbol != nullptr ? static_cast<int>(symbol->symbol.warnings.size()) : 0;
}

const char* kv_symbol_warning(const kv_symbol* symbol, int index) {
    if (symbol == nullptr || index < 0 || index >= static_cast<int>(symbol->symbol.warnings.size()))
        return nullptr;
    return symbol->symbol.warnings[static_cast<size_t>(index)].c_str();
}

kv_status kv_layout_sized(const kv_symbol* symbol, const kv_layout_options* options, kv_drawing** drawing,
                          char* error, size_t error_size) {
    if (symbol == nullptr || drawing == nullptr)
        return fail(KV_INVALID_ARGUMENT, "a required argument is null", error, error_size);
    *drawing = nullptr;
    kv_layout_options c = layoutDefaults();
    if (!readSized(options, c))
        return fail(KV_INVALID_ARGUMENT, UNSIZED, error, error_size);
    korvane::Result<korvane::Drawing> r = korvane::layout(symbol->symbol, layoutOptions(c));
    if (!r)
        return fail(r.error(), error, error_size);
    *drawing = new (std::nothrow) kv_drawing{std::move(*r)};
    return *drawing != nullptr ? KV_OK : fail(KV_INVALID_ARGUMENT, "out of memory", error, error_size);
}

void kv_drawing_free(kv_drawing* drawing) { delete drawing; }

int kv_drawing_width(const kv_drawing* drawing) { return drawing != nullptr ? drawing->drawing.width : 0; }
int kv_drawing_height(const kv_drawing* drawing) { return drawing != nullptr ? drawing->drawing.height : 0; }
double kv_drawing_x_mm(const kv_drawing* drawing) { return drawing != nullptr ? drawing->drawing.xMm : 0; }

kv_status kv_rasterize(const kv_drawing* drawing, int scale, unsigned char** pixels, int* width, int* height,
                       char* error, size_t error_size) {
    if (drawing == nullptr || pixels == nullptr || width == nullptr || height == nullptr)
        return fail(KV_INVALID_ARGUMENT, "a required argument is null", error, error_size);
    *pixels = nullptr;
    *width = *height = 0;
    const korvane::Result<korvane::GrayRaster> r = korvane::rasterize(drawing->drawing, scale);
    if (!r)
        return fail(r.error(), error, error_size);
    auto* out = static_cast<unsigned char*>(std::malloc(r->pixels.size()));
    if (out == nullptr)
        return fail(KV_SIZE_TOO_LARGE, "out of memory", error, error_size);
    std::memcpy(out, r->pixels.data(), r->pixels.size());
    *pixels = out;
    *width = r->width;
    *height = r->height;
    return KV_OK;
}

kv_status kv_write(const kv_drawing* drawing, const char* format, unsigned char** bytes, size_t* length, char* error,
                   size_t error_size) {
    if (drawing == nullptr || format == nullptr || bytes == nullptr || length == nullptr)
        return fail(KV_INVALID_ARGUMENT, "a required argument is null", error, error_size);
    *bytes = nullptr;
    *length = 0;
    const std::optional<korvane::Format> f = korvane::findFormat(format);
    if (!f)
        return fail(KV_UNKNOWN_FORMAT, "unknown format " + korvane::detail::quoted(format), error, error_size);
    korvane::Result<korvane::Written> w = korvane::write(drawing->drawing, *f);
    if (!w)
        return fail(w.error(), error, error_size);
    auto* out = static_cast<unsigned char*>(std::malloc(w->bytes.empty() ? 1 : w->bytes.size()));
    if (out == nullptr)
        return fail(KV_WRITE_FAILED, "out of memory", error, error_size);
    if (!w->bytes.empty())
        std::memcpy(out, w->bytes.data(), w->bytes.size());
    *bytes = out;
    *length = w->bytes.size();
    return KV_OK;
}

kv_status kv_write_file(const kv_drawing* drawing, const char* path, const char* format, char* error,
                        size_t error_size) {
    if (drawing == nullptr || path == nullptr)
        return fail(KV_INVALID_ARGUMENT, "a required argument is null", error, error_size);
    std::optional<korvane::Format> f;
    if (format != nullptr) {
        f = korvane::findFormat(format);
        if (!f)
            return fail(KV_UNKNOWN_FORMAT, "unknown format " + korvane::detail::quoted(format), error, error_size);
    }
    const korvane::Result<korvane::Written> w = korvane::writeFile(drawing->drawing, path, f);
    return w ? KV_OK : fail(w.error(), error, error_size);
}

void kv_free(void* bytes) { std::free(bytes); }

void kv_sheet_options_init_sized(kv_sheet_options* options, size_t size) {
    initSized(options, size, sheetDefaults());
}

kv_status kv_sheet_open_sized(const kv_sheet_options* options, const char* path, const char* format,
                              kv_sheet** sheet, char* error, size_t error_size) {
    if (path == nullptr || sheet == nullptr)
        return fail(KV_INVALID_ARGUMENT, "a required argument is null", error, error_size);
    *sheet = nullptr;
    kv_sheet_options c = sheetDefaults();
    if (!readSized(options, c))
        return fail(KV_INVALID_ARGUMENT, UNSIZED, error, error_size);
    korvane::SheetOptions o;
    o.page = {c.page_width_mm, c.page_height_mm};
    o.columns = c.columns;
    o.rows = c.rows;
    o.marginTopMm = c.margin_top_mm;
    o.marginRightMm = c.margin_right_mm;
    o.marginBottomMm = c.margin_bottom_mm;
    o.marginLeftMm = c.margin_left_mm;
    o.gapHorizontalMm = c.gap_horizontal_mm;
    o.gapVerticalMm = c.gap_vertical_mm;
    o.dpi = c.dpi;
    o.textLine = c.text_line != 0;
    o.textSizeMm = c.text_size_mm;
    o.cutMarks = c.cut_marks != 0;
    o.foreground = colour(c.foreground);
    o.background = colour(c.background);
    const korvane::Result<korvane::SheetGeometry> geometry = korvane::sheetGeometry(o);
    if (!geometry)
        return fail(geometry.error(), error, error_size);
    const std::optional<korvane::Format> f = format != nullptr ? korvane::findFormat(format) : korvane::formatForPath(path);
    if (!f)
        return fail(KV_UNKNOWN_FORMAT, "no format named for " + korvane::detail::quoted(path), error, error_size);
    auto made = std::make_unique<kv_sheet>();
    made->geometry = *geometry;
    if (*f == korvane::Format::Pdf) {
        korvane::Result<std::unique_ptr<korvane::FileSink>> file = korvane::FileSink::open(path);
        if (!file)
            return fail(file.error(), error, error_size);
        made->file = std::move(*file);
        made->pages = korvane::pdfPages(*made->file);
    } else {
        // "labels.svg" -> "labels-1.svg", "labels-2.svg", ...
        const std::string name = path;
        const std::size_t slash = name.find_last_of("/\\");
        std::size_t dot = name.rfind('.');
        if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
            dot = name.size();
        made->pages = korvane::pageFiles(*f, [name, dot](long long page) {
            return name.substr(0, dot) + "-" + std::to_string(page) + name.substr(dot);
        });
    }
    made->writer.emplace(made->geometry, *made->pages);
    *sheet = made.release();
    return KV_OK;
}

kv_status kv_sheet_add_sized(kv_sheet* sheet, const kv_symbol* symbol, const kv_layout_options* layout,
                             const char* text, int fit, char* error, size_t error_size) {
    if (sheet == nullptr || symbol == nullptr)
        return fail(KV_INVALID_ARGUMENT, "a required argument is null", error, error_size);
    if (sheet->closed)
        return fail(KV_INVALID_ARGUMENT, "the sheet is closed", error, error_size);
    kv_layout_options c = layoutDefaults();
    if (!readSized(layout, c))
        return fail(KV_INVALID_ARGUMENT, UNSIZED, error, error_size);
    korvane::LayoutOptions o = layoutOptions(c);
    o.foreground = sheet->geometry.foreground;
    o.background = sheet->geometry.background;
    const korvane::Result<korvane::Drawing> label = korvane::layoutForCell(symbol->symbol, o, sheet->geometry, fit != 0);
    if (!label)
        return fail(label.error(), error, error_size);
    const korvane::Status added = sheet->writer->add(*label, text != nullptr ? text : "");
    return added ? KV_OK : fail(added.error(), error, error_size);
}

kv_status kv_sheet_close(kv_sheet* sheet, char* error, size_t error_size) {
    if (sheet == nullptr)
        return fail(KV_INVALID_ARGUMENT, "a required argument is null", error, error_size);
    if (sheet->closed)
        return fail(KV_INVALID_ARGUMENT, "the sheet is closed", error, error_size);
    sheet->closed = true;
    korvane::Status done = sheet->writer->finish();
    if (done && sheet->file)
        done = sheet->file->commit();
    return done ? KV_OK : fail(done.error(), error, error_size);
}

long long kv_sheet_pages(const kv_sheet* sheet) { return sheet != nullptr ? sheet->writer->pagesDone() : 0; }

void kv_sheet_free(kv_sheet* sheet) { delete sheet; }

kv_status kv_grade_reason(const kv_symbol* symbol, const kv_drawing* drawing, const char* printer, double* grade,
                          char* text, size_t text_size, char* reason, size_t reason_size, char* error,
                          size_t error_size) {
    if (symbol == nullptr || drawing == nullptr || grade == nullptr)
        return fail(KV_INVALID_ARGUMENT, "a required argument is null", error, error_size);
    *grade = 0;
    if (text != nullptr && text_size > 0)
        text[0] = '\0';
    if (reason != nullptr && reason_size > 0)
        reason[0] = '\0';
    const korvane::Result<korvane::PrinterProfile> profile = korvane::printerProfile(printer ? printer : "ideal");
    if (!profile)
        return fail(profile.error(), error, error_size);
    const korvane::QualityGrade q = korvane::grade(drawing->drawing, symbol->symbol, *profile);
    if (!q.graded)
        return fail(KV_INVALID_OPTION, q.reason, error, error_size);
    *grade = q.grade;
    if (text != nullptr && text_size > 0)
        std::snprintf(text, text_size, "%s", q.text.c_str());
    if (reason != nullptr && reason_size > 0)
        std::snprintf(reason, reason_size, "%s", q.reason.c_str());
    return KV_OK;
}

kv_status kv_grade(const kv_symbol* symbol, const kv_drawing* drawing, const char* printer, double* grade,
                   char* text, size_t text_size, char* error, size_t error_size) {
    return kv_grade_reason(symbol, drawing, printer, grade, text, text_size, nullptr, 0, error, error_size);
}

kv_status kv_gs1(kv_gs1_action what, const char* data, const char* domain, char* out, size_t out_size,
                 size_t* length, char* error, size_t error_size) {
    if (data == nullptr || (out == nullptr && out_size > 0))
        return fail(KV_INVALID_ARGUMENT, "a required argument is null", error, error_size);
    if (out_size > 0)
        out[0] = '\0';
    korvane::Result<std::string> r = std::string();
    switch (what) {
    case KV_GS1_CHECK: {
        const korvane::Result<std::vector<std::string>> notes = korvane::checkGs1(data);
        if (!notes)
            return fail(notes.error(), error, error_size);
        for (const std::string& note : *notes)
            r->append(note).append("\n");
        break;
    }
    case KV_GS1_DIGITAL_LINK: r = korvane::gs1DigitalLink(data, domain ? domain : "https://id.gs1.org"); break;
    case KV_GS1_ELEMENTS: r = korvane::gs1FromDigitalLink(data); break;
    case KV_GS1_HRI: r = korvane::gs1HumanReadable(data); break;
    default: return fail(KV_INVALID_ARGUMENT, "no such GS1 action", error, error_size);
    }
    if (!r)
        return fail(r.error(), error, error_size);
    if (length != nullptr)
        *length = r->size();
    if (r->size() >= out_size)
        return fail(KV_SIZE_TOO_LARGE, "the answer needs " + std::to_string(r->size() + 1) + " bytes", error,
                    error_size);
    std::memcpy(out, r->c_str(), r->size() + 1);
    return KV_OK;
}

// ---- the 2.0 entry points, for programs built against the header without sizes ----

#undef kv_encode
#undef kv_layout
#undef kv_sheet_open
#undef kv_sheet_add
#undef kv_encode_options_init
#undef kv_layout_options_init
#undef kv_sheet_options_init

KV_API void kv_encode_options_init(kv_encode_options_2_0* options) {
    toOld(options, encodeDefaults(), ENCODE_FIRST);
}

KV_API void kv_layout_options_init(kv_layout_options_2_0* options) {
    toOld(options, layoutDefaults(), LAYOUT_FIRST);
}

KV_API void kv_sheet_options_init(kv_sheet_options_2_0* options) { toOld(options, sheetDefaults(), SHEET_FIRST); }

KV_API kv_status kv_encode(const char* symbology, const char* data, size_t length,
                           const kv_encode_options_2_0* options, kv_symbol** symbol, char* error, size_t error_size) {
    const kv_encode_options c = fromOld(options, encodeDefaults(), ENCODE_FIRST);
    return kv_encode_sized(symbology, data, length, &c, symbol, error, error_size);
}

KV_API kv_status kv_layout(const kv_symbol* symbol, const kv_layout_options_2_0* options, kv_drawing** drawing,
                           char* error, size_t error_size) {
    const kv_layout_options c = fromOld(options, layoutDefaults(), LAYOUT_FIRST);
    return kv_layout_sized(symbol, &c, drawing, error, error_size);
}

KV_API kv_status kv_sheet_open(const kv_sheet_options_2_0* options, const char* path, const char* format,
                               kv_sheet** sheet, char* error, size_t error_size) {
    const kv_sheet_options c = fromOld(options, sheetDefaults(), SHEET_FIRST);
    return kv_sheet_open_sized(&c, path, format, sheet, error, error_size);
}

KV_API kv_status kv_sheet_add(kv_sheet* sheet, const kv_symbol* symbol, const kv_layout_options_2_0* layout,
                              const char* text, int fit, char* error, size_t error_size) {
    const kv_layout_options c = fromOld(layout, layoutDefaults(), LAYOUT_FIRST);
    return kv_sheet_add_sized(sheet, symbol, &c, text, fit, error, error_size);
}

}  // extern "C"
