// Data Matrix ECC 200: the adapter over the library's encoder
// (korvane/datamatrix/), which takes the parsed message as it is.

#include "Adapters.h"

#include "../datamatrix/DataMatrix.h"

namespace korvane::detail {

Result<Symbol> encodeDataMatrix(const Message& message, const EncodeOptions& o) {
    datamatrix::Options d;
    if ((o.dmRows != 0) != (o.dmColumns != 0))
        return Error{ErrorCode::InvalidOption, "a Data Matrix size needs both rows and columns"};
    d.rows = o.dmRows;
    d.columns = o.dmColumns;
    d.shape = o.dmShape == DataMatrixShape::Rectangular ? datamatrix::Shape::Rectangular
              : o.dmShape == DataMatrixShape::Any       ? datamatrix::Shape::Any
                                                        : datamatrix::Shape::Square;
    d.dmre = o.dmre;
    if (o.check.has_value() || o.wideRatio != 0)
        return Error{ErrorCode::InvalidOption, "Data Matrix has neither a check character nor wide elements"};
    Result<datamatrix::Encoded> e = datamatrix::encode(message, d);
    if (!e)
        return e.error();

    Symbol symbol;
    symbol.symbology = Symbology::DataMatrix;
    symbol.rows = e->size->rows;
    symbol.columns = e->size->columns;
    symbol.modules = std::move(e->modules);
    symbol.facts.data = std::move(e->readerData);
    symbol.text = symbol.facts.data;
    DataMatrixFacts& f = symbol.facts.dataMatrix;
    f.rectangular = !e->size->square();
    f.dmre = e->size->dmre;
    f.dataCodewords = e->size->dataCodewords;
    f.checkCodewords = e->size->checkCodewords;
    f.blocks = e->size->blocks;
    f.streamCodewords = e->streamCodewords;
    f.readerInit = message.readerInit;
    f.structuredIndex = message.structuredAppend.index;
    f.structuredCount = message.structuredAppend.count;
    for (const datamatrix::Segment& s : e->segments)
        f.segments.push_back({datamatrix::modeName(s.mode), s.start, s.end});
    return symbol;
}

}  // namespace korvane::detail
