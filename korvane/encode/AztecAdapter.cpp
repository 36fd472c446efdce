// Aztec Code (ISO/IEC 24778): the adapter over the aztec program's encoder,
// and the choice between it and the library's own.

#include "Adapters.h"

#include "../aztec/AztecModes.h"
#include "../aztec/AztecOptimal.h"
#include "../aztec/AztecRules.h"

#include <Aztec.h>

#include <cstdio>
#include <vector>

namespace korvane::detail {
namespace {

// The first configuration row at least `side` modules across, of the kinds
// allowed. The engine starts from this row whether or not its kind is allowed,
// so the library never hands it a row of the wrong kind.
int firstRow(int side, const EncodeOptions& o) {
    for (int row = 0; row < Aztec::CONFIGURATION_COUNT; ++row)
        if (aztecKindAllowed(row, o) && Aztec::configuration[row][Aztec::CONF_COLUMNS] >= side)
            return row;
    return Aztec::CONFIGURATION_COUNT;
}

// The engine reads FNC1 and ECI only as its own tilde escapes, so a message
// with markers goes back into that form, every tilde of its bytes doubled.
std::string engineEscapes(const std::string& text, const std::vector<int>& markers) {
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int marker = markers[i];
        if (marker == 0) {
            out += "~F";
        } else if (marker > 0) {
            char eci[16];
            std::snprintf(eci, sizeof eci, "~E%06d", marker);
            out += eci;
        } else if (text[i] == '~') {
            out += "~~";
        } else {
            out += text[i];
        }
    }
    return out;
}

Result<Symbol> encodeSpecified(const Message& message, const EncodeOptions& o) {
    Aztec aztec;
    std::string text;
    std::vector<int> markers;
    aztecInput(message, text, markers);
    if (!markers.empty() && markers.back() > 0)
        return Error{ErrorCode::InvalidData, "the aztec program's encoder takes an ECI designator only before data"};
    std::vector<int> bytes;
    if (markers.empty() && o.bytes) {
        bytes.assign(text.begin(), text.end());
        for (int& b : bytes)
            b &= 0xFF;
        aztec.setBinaryCode(bytes.data(), static_cast<int>(bytes.size()));
        aztec.setEncoding(Aztec::ENC_BINARY);
    } else {
        aztec.setCode(markers.empty() ? text : engineEscapes(text, markers));
        aztec.setEncoding(o.bytes ? Aztec::ENC_BINARY : Aztec::ENC_NORMAL);
        aztec.setProcessTilde(!markers.empty());
    }
    const std::string asRead = readerData(text, markers);
    aztec.setErrorCorrectionLevel(o.eccPercent);
    aztec.setPreferredConfiguration(firstRow(o.minSize, o));
    aztec.setConfigurationType(o.compactOnly ? Aztec::CONFIGURATION_COMPACT
                               : o.fullOnly  ? Aztec::CONFIGURATION_FULL
                                             : Aztec::CONFIGURATION_ANY);
    aztec.setReaderInitilization(o.readerInit);
    if (o.structuredAppend.index > 0) {
        aztec.setStructuredAppend(true);
        aztec.setStructuredAppendIndex(o.structuredAppend.index);
        aztec.setStructuredAppendCounter(o.structuredAppend.count);
        aztec.setFileId(o.structuredAppend.id);
    }
    aztec.paint();
    if (aztec.getStatus() != Aztec::STATUS_OK)
        return Error{ErrorCode::DataTooLong, "the data needs " + std::to_string(aztec.getDataBits()) +
                                                 " bits; the largest symbol allowed holds " +
                                                 std::to_string(aztec.getMaxDataBits())};

    Symbol symbol;
    symbol.symbology = Symbology::Aztec;
    symbol.rows = symbol.columns = aztec.cols;
    symbol.modules.resize(aztec.bitmap.size());
    for (std::size_t i = 0; i < aztec.bitmap.size(); ++i)
        symbol.modules[i] = aztec.bitmap[i] == 0 ? 1 : 0;
    const int row = aztec.selectedConfiguration;
    if (o.readerInit && !aztecReaderInitFits(Aztec::isCompactRow(row), Aztec::configuration[row][Aztec::CONF_DATA_LAYERS])) {
        if (Aztec::isCompactRow(row) && !o.compactOnly) {
            EncodeOptions full = o;  // a full-range symbol of a few layers can carry the mark
            full.fullOnly = true;
            return encodeSpecified(message, full);
        }
        return Error{ErrorCode::DataTooLong,
                     "reader initialisation needs a compact symbol of one layer or a full-range symbol of up to 22 "
                     "layers; the data needs " + std::to_string(Aztec::configuration[row][Aztec::CONF_COLUMNS]) +
                         " modules across"};
    }
    symbol.facts.aztec = aztecFacts(row, aztec.getDataCodewords(), aztec.getDataBits(), message);
    symbol.facts.data = asRead;
    symbol.text = asRead;
    return symbol;
}

}  // namespace

Result<Symbol> encodeAztec(const Message& message, const EncodeOptions& options) {
    // The message holds the set and the reader-initialisation flag.
    EncodeOptions o = options;
    o.structuredAppend = message.structuredAppend;
    o.readerInit = message.readerInit;
    if (o.eccPercent < 0 || o.eccPercent > 90)
        return Error{ErrorCode::InvalidOption,
                     "the Aztec error correction is " + std::to_string(o.eccPercent) + " %; it must be 0 to 90"};
    if (o.minSize != 0 && (o.minSize < 15 || o.minSize > 151))
        return Error{ErrorCode::InvalidOption,
                     "the smallest Aztec symbol is 15 to 151 modules across, not " + std::to_string(o.minSize)};
    if (o.compactOnly && o.fullOnly)
        return Error{ErrorCode::InvalidOption, "compact-only and full-range-only exclude each other"};
    if (o.compactOnly && o.minSize > 27)
        return Error{ErrorCode::InvalidOption, "compact symbols are at most 27 modules across, not " +
                                                   std::to_string(o.minSize)};
    if (o.structuredAppend.index != 0 &&
        (o.structuredAppend.index < 1 || o.structuredAppend.count < 2 || o.structuredAppend.count > 26 ||
         o.structuredAppend.index > o.structuredAppend.count))
        return Error{ErrorCode::InvalidOption, "a structured-append set has 2 to 26 symbols and an index within it"};
    for (char c : o.structuredAppend.id)
        if (c < 'A' || c > 'Z')
            return Error{ErrorCode::InvalidOption, "a structured-append identifier is upper-case letters A-Z"};
    if (o.check.has_value() || o.wideRatio != 0)
        return Error{ErrorCode::InvalidOption, "Aztec Code has neither a check character nor wide elements"};
    if (o.aztecEncoder == AztecEncoder::Specified)
        return encodeSpecified(message, o);
    return encodeAztecOptimal(message, o);
}

}  // namespace korvane::detail
