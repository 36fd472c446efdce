// PDF417 (ISO/IEC 15438): the adapter over the library's engine. It builds the
// Message from the data (until the library parses messages for every
// encoder) and turns the engine's rows into a Symbol.

#include "Adapters.h"

#include "../pdf417/Pdf417.h"

#include <Aztec.h>

namespace korvane::detail {
namespace {

// The data as a Message: bytes as given, or with escapes the bytes and the
// FNC1/ECI markers that ~F and ~Ennnnnn leave (the Aztec engine's tilde parser,
// which both symbologies share until the library parses messages).
Message messageOf(std::string_view data, const EncodeOptions& o) {
    Message m;
    if (o.eci >= 0)
        m.markers.push_back({MarkerKind::Eci, 0, o.eci});
    if (!o.escapes) {
        m.bytes.assign(data);
    } else {
        Aztec parser;
        const std::string text = parser.applyTilde(std::string(data));
        for (std::size_t i = 0; i < text.size(); ++i) {
            const int marker = i < parser.controlChars.size() ? parser.controlChars[i] : Aztec::CONTROL_NONE;
            if (marker == Aztec::CONTROL_NONE)
                m.bytes += text[i];
            else
                m.markers.push_back({marker == Aztec::CONTROL_FNC ? MarkerKind::Fnc1 : MarkerKind::Eci,
                                     m.bytes.size(), marker});
        }
    }
    m.readerInit = o.readerInit;
    m.structuredAppend = o.structuredAppend;
    return m;
}

}  // namespace

Result<Symbol> encodePdf417(Symbology s, std::string_view data, const EncodeOptions& o) {
    if (o.check.has_value() || o.wideRatio != 0)
        return Error{ErrorCode::InvalidOption, "PDF417 has neither a check character nor wide elements"};
    if (o.rowHeight < 0 || o.rowHeight > 20)
        return Error{ErrorCode::InvalidOption, "a PDF417 row is 1-20 modules tall, not " + std::to_string(o.rowHeight)};
    const Message message = messageOf(data, o);
    if (message.bytes.empty())
        return Error{ErrorCode::InvalidData, "the data is empty after its escapes"};

    pdf417::Options options;
    options.level = o.pdfLevel;
    options.columns = o.pdfColumns;
    options.rows = o.pdfRows;
    options.compact = o.pdfCompact;
    options.aspect = o.pdfAspect;
    options.rowHeight = o.rowHeight == 0 ? 3 : o.rowHeight;
    options.macro.fileName = o.pdfMacro.fileName;
    options.macro.timeStamp = o.pdfMacro.timeStamp;
    options.macro.sender = o.pdfMacro.sender;
    options.macro.addressee = o.pdfMacro.addressee;
    options.macro.fileSize = o.pdfMacro.fileSize;
    options.macro.checksum = o.pdfMacro.checksum;
    const Result<pdf417::Symbol> made = pdf417::encode(message, options);
    if (!made)
        return made.error();

    Symbol symbol;
    symbol.symbology = s;
    symbol.rows = made->rows;
    symbol.columns = made->width;
    symbol.moduleAspect = options.rowHeight;
    symbol.modules = made->modules;
    Pdf417Facts& f = symbol.facts.pdf417;
    f.rows = made->rows;
    f.columns = made->columns;
    f.level = made->level;
    f.dataCodewords = made->dataCodewords;
    f.checkCodewords = made->checkCodewords;
    f.capacityLeft = made->padCodewords;
    f.compact = o.pdfCompact;
    f.segmentIndex = message.structuredAppend.index;
    f.segmentCount = message.structuredAppend.index > 0 ? message.structuredAppend.count : 0;
    f.readerInit = o.readerInit;
    symbol.facts.data = message.bytes;
    return symbol;
}

}  // namespace korvane::detail
