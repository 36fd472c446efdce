// PDF417 (ISO/IEC 15438): the adapter over the library's engine, which turns
// the engine's rows into a Symbol.

#include "Adapters.h"

#include "../pdf417/Pdf417.h"

namespace korvane::detail {

Result<Symbol> encodePdf417(const Message& message, const EncodeOptions& o) {
    if (o.check.has_value() || o.wideRatio != 0)
        return Error{ErrorCode::InvalidOption, "PDF417 has neither a check character nor wide elements"};
    if (o.rowHeight < 0 || o.rowHeight > 20)
        return Error{ErrorCode::InvalidOption, "a PDF417 row is 1-20 modules tall, not " + std::to_string(o.rowHeight)};
    if (message.bytes.empty())
        return Error{ErrorCode::InvalidData, "the data is empty"};

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
    symbol.symbology = Symbology::Pdf417;
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
    f.readerInit = message.readerInit;
    symbol.facts.data = message.bytes;
    return symbol;
}

}  // namespace korvane::detail
