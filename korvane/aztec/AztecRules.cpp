// The configuration rules and facts shared by the library's two Aztec encoders.

#include "AztecRules.h"

#include <Aztec.h>

namespace korvane::detail {

bool aztecKindAllowed(int row, const EncodeOptions& o) {
    const bool compact = Aztec::isCompactRow(row);
    return !(o.compactOnly && !compact) && !(o.fullOnly && compact);
}

bool aztecReaderInitFits(bool compact, int layers) { return compact ? layers == 1 : layers <= 22; }

bool aztecRowAllowed(int row, const EncodeOptions& o) {
    return aztecKindAllowed(row, o) && Aztec::configuration[row][Aztec::CONF_COLUMNS] >= o.minSize &&
           (!o.readerInit ||
            aztecReaderInitFits(Aztec::isCompactRow(row), Aztec::configuration[row][Aztec::CONF_DATA_LAYERS]));
}

AztecFacts aztecFacts(int row, int dataCodewords, int dataBits, const Message& message) {
    AztecFacts f;
    f.compact = Aztec::isCompactRow(row);
    f.layers = Aztec::configuration[row][Aztec::CONF_DATA_LAYERS];
    f.totalCodewords = Aztec::configuration[row][Aztec::CONF_CODEWORDS];
    f.codewordBits = Aztec::configuration[row][Aztec::CONF_CODEWORD_SIZE];
    f.dataCodewords = dataCodewords;
    f.dataBits = dataBits;
    f.eccPercent = 100.0 * (f.totalCodewords - f.dataCodewords) / f.totalCodewords;
    f.readerInit = message.readerInit;
    f.structuredIndex = message.structuredAppend.index;
    f.structuredCount = message.structuredAppend.count;
    return f;
}

}  // namespace korvane::detail
