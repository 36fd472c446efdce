// The table of encode options and the one rule for an option that does not
// apply: it is refused, naming the option and the symbology.

#include "korvane/Options.h"

#include <iterator>
#include <utility>

namespace korvane {
namespace {

template <Capability C>
bool takes(const SymbologyInfo& info) {
    return info.takes(C);
}
bool always(const SymbologyInfo&) { return true; }
bool linear(const SymbologyInfo& info) { return !info.matrix; }
bool twoWidths(const SymbologyInfo& info) { return info.twoWidths; }

const EncodeOptions DEFAULTS{};

constexpr EncodeOptionInfo TABLE[] = {
    {"check", "check", "add (or, where it is added by default, leave out) the optional check character", linear,
     [](const EncodeOptions& o) { return o.check.has_value(); }},
    {"escapes", "escapes", "tilde escapes in the data: ~dNNN a byte, ~~ a tilde, ~F FNC1, ~Ennnnnn an ECI", always,
     [](const EncodeOptions& o) { return o.escapes; }},
    {"gs1", "gs1", "the data is GS1 element strings, checked against the GS1 rules", takes<CAP_GS1>,
     [](const EncodeOptions& o) { return o.gs1; }},
    {"eci", "eci", "an ECI designator (0-999999) at the start of the data", takes<CAP_ECI>,
     [](const EncodeOptions& o) { return o.eci != DEFAULTS.eci; }},
    {"wide-ratio", "wide_ratio", "wide elements in narrow modules, 2 or 3", twoWidths,
     [](const EncodeOptions& o) { return o.wideRatio != DEFAULTS.wideRatio; }},
    {"code128-start", "code128_start", "the Code 128 start set A, B or C", takes<CAP_CODE128_START>,
     [](const EncodeOptions& o) { return o.code128Start != DEFAULTS.code128Start; }},
    {"msi-check", "msi_check", "the MSI check digits: mod10, mod11, mod11-10 or mod10-10", takes<CAP_MSI_CHECK>,
     [](const EncodeOptions& o) { return o.msiCheck != DEFAULTS.msiCheck; }},
    {"codabar-start", "codabar_start", "the Codabar start character A-D", takes<CAP_CODABAR_ENDS>,
     [](const EncodeOptions& o) { return o.codabarStart != DEFAULTS.codabarStart; }},
    {"codabar-stop", "codabar_stop", "the Codabar stop character A-D", takes<CAP_CODABAR_ENDS>,
     [](const EncodeOptions& o) { return o.codabarStop != DEFAULTS.codabarStop; }},
    {"upce-system", "upce_number_system", "the UPC-E number system, 0 or 1", takes<CAP_UPCE_SYSTEM>,
     [](const EncodeOptions& o) { return o.upceNumberSystem != DEFAULTS.upceNumberSystem; }},
    {"add-on", "add_on", "an EAN/UPC add-on of 2 or 5 digits", takes<CAP_ADD_ON>,
     [](const EncodeOptions& o) { return !o.addOn.empty(); }},
    {"add-on-gap", "add_on_gap", "modules between the symbol and its add-on", takes<CAP_ADD_ON>,
     [](const EncodeOptions& o) { return o.addOnGap != DEFAULTS.addOnGap; }},
    {"aztec-encoder", "aztec_specified", "the Aztec encoder: optimal, or the aztec program's", takes<CAP_AZTEC>,
     [](const EncodeOptions& o) { return o.aztecEncoder != DEFAULTS.aztecEncoder; }},
    {"ecc", "ecc_percent", "Aztec check words as a share of the symbol, 0-90 %", takes<CAP_AZTEC>,
     [](const EncodeOptions& o) { return o.eccPercent != DEFAULTS.eccPercent; }},
    {"ecc-words", "ecc_extra_words", "Aztec check words beyond that share", takes<CAP_AZTEC>,
     [](const EncodeOptions& o) { return o.eccExtraWords != DEFAULTS.eccExtraWords; }},
    {"aztec-size", "min_size", "the smallest Aztec symbol, 15-151 modules across", takes<CAP_AZTEC>,
     [](const EncodeOptions& o) { return o.minSize != DEFAULTS.minSize; }},
    {"compact", "compact_only", "compact Aztec symbols only", takes<CAP_AZTEC>,
     [](const EncodeOptions& o) { return o.compactOnly; }},
    {"full-range", "full_only", "full-range Aztec symbols only", takes<CAP_AZTEC>,
     [](const EncodeOptions& o) { return o.fullOnly; }},
    {"aztec-bytes", "aztec_bytes", "the aztec program's encoder in byte mode", takes<CAP_AZTEC>,
     [](const EncodeOptions& o) { return o.bytes; }},
    {"reader-init", "reader_init", "a reader initialisation (programming) symbol", takes<CAP_READER_INIT>,
     [](const EncodeOptions& o) { return o.readerInit; }},
    {"structured", "structured_index", "a symbol of a structured-append set: I/N[:ID]", takes<CAP_STRUCTURED_APPEND>,
     [](const EncodeOptions& o) { return o.structuredAppend.index != 0 || o.structuredAppend.count != 0; }},
    {"qr-level", "qr_level", "QR Code error correction L, M, Q or H (default M)", takes<CAP_QR>,
     [](const EncodeOptions& o) { return o.qrLevel != DEFAULTS.qrLevel; }},
    {"qr-version", "qr_version", "the QR Code version, 1-40 (default: the smallest that holds the data)",
     takes<CAP_QR>, [](const EncodeOptions& o) { return o.qrVersion != DEFAULTS.qrVersion; }},
    {"qr-mask", "qr_mask", "the QR Code mask, 0-7 (default: the penalty rules' choice)", takes<CAP_QR>,
     [](const EncodeOptions& o) { return o.qrMask != DEFAULTS.qrMask; }},
    {"no-boost", "qr_no_boost", "keep the QR Code level asked for even where a higher one fits", takes<CAP_QR>,
     [](const EncodeOptions& o) { return !o.qrBoost; }},
    {"no-kanji", "qr_no_kanji", "no Kanji mode in QR Code: Japanese text as UTF-8 bytes", takes<CAP_QR>,
     [](const EncodeOptions& o) { return !o.qrKanji; }},
    {"dm-size", "dm_rows", "a fixed Data Matrix size, ROWSxCOLUMNS (10x10 to 144x144, 8x18 to 26x64)",
     takes<CAP_DATAMATRIX>, [](const EncodeOptions& o) { return o.dmRows != 0 || o.dmColumns != 0; }},
    {"dm-shape", "dm_shape", "Data Matrix shapes to choose from: square, rect or any", takes<CAP_DATAMATRIX>,
     [](const EncodeOptions& o) { return o.dmShape != DEFAULTS.dmShape; }},
    {"dmre", "dmre", "the Data Matrix rectangles of ISO/IEC 21471 (DMRE) may be chosen", takes<CAP_DATAMATRIX>,
     [](const EncodeOptions& o) { return o.dmre; }},
    {"pdf-level", "pdf_level", "PDF417 error correction 0-8 (default: the recommended minimum for the data)",
     takes<CAP_PDF417>, [](const EncodeOptions& o) { return o.pdfLevel != DEFAULTS.pdfLevel; }},
    {"pdf-columns", "pdf_columns", "PDF417 data columns, 1-30", takes<CAP_PDF417>,
     [](const EncodeOptions& o) { return o.pdfColumns != DEFAULTS.pdfColumns; }},
    {"pdf-rows", "pdf_rows", "PDF417 rows, 3-90", takes<CAP_PDF417>,
     [](const EncodeOptions& o) { return o.pdfRows != DEFAULTS.pdfRows; }},
    {"pdf-compact", "pdf_compact", "compact (truncated) PDF417", takes<CAP_PDF417>,
     [](const EncodeOptions& o) { return o.pdfCompact; }},
    {"pdf-aspect", "pdf_aspect", "the PDF417 width over height to approach (default 3)", takes<CAP_PDF417>,
     [](const EncodeOptions& o) { return o.pdfAspect != DEFAULTS.pdfAspect; }},
    {"row-height", "row_height", "a PDF417 row's height in modules, 1-20 (default 3)", takes<CAP_PDF417>,
     [](const EncodeOptions& o) { return o.rowHeight != DEFAULTS.rowHeight; }},
    {"pdf-macro", "pdf_file_name", "the optional Macro PDF417 fields: file name, time stamp, sender, addressee, "
     "file size, checksum", takes<CAP_PDF417>, [](const EncodeOptions& o) {
         const PdfMacroFields& m = o.pdfMacro;
         return !m.fileName.empty() || m.timeStamp >= 0 || !m.sender.empty() || !m.addressee.empty() ||
                m.fileSize >= 0 || m.checksum >= 0;
     }},
};

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

namespace {

// Whether any row is set where it does not apply. The rows are indexed by
// constants, so their tests are known when this is compiled and run inline,
// without a call through the table's pointers for each.
template <std::size_t... I>
bool anyMisapplied(const SymbologyInfo& info, const EncodeOptions& o, std::index_sequence<I...>) {
    return ((TABLE[I].isSet(o) && !TABLE[I].appliesTo(info)) || ...);
}

}  // namespace

Status checkOptionsApply(Symbology symbology, const EncodeOptions& options) {
    const SymbologyInfo& info = symbologyInfo(symbology);
    if (!anyMisapplied(info, options, std::make_index_sequence<std::size(TABLE)>{}))
        return Done{};
    for (const EncodeOptionInfo& row : TABLE)
        if (row.isSet(options) && !row.appliesTo(info))
            return Error{ErrorCode::InvalidOption,
                         "the option " + std::string(row.name) + " does not apply to " + std::string(info.title)};
    return Done{};
}

}  // namespace korvane
