// QR Code (ISO/IEC 18004): the adapter over the library's encoder (korvane/qr).

#include "Adapters.h"

#include "../qr/Qr.h"

namespace korvane::detail {

Result<Symbol> encodeQr(const Message& message, const EncodeOptions& o) {
    if (o.check.has_value() || o.wideRatio != 0)
        return Error{ErrorCode::InvalidOption, "QR Code has neither a check character nor wide elements"};
    if (static_cast<int>(o.qrLevel) < 0 || static_cast<int>(o.qrLevel) > 3)
        return Error{ErrorCode::InvalidOption, "the QR Code level is L, M, Q or H"};
    qr::QrOptions q;
    q.level = static_cast<qr::Level>(o.qrLevel);
    q.version = o.qrVersion;
    q.mask = o.qrMask;
    q.boost = o.qrBoost;
    q.kanji = o.qrKanji;
    Result<qr::QrSymbol> made = qr::encode(message, q);
    if (!made)
        return made.error();
    qr::QrSymbol& s = *made;
    Symbol symbol;
    symbol.symbology = Symbology::Qr;
    symbol.rows = symbol.columns = s.size;
    symbol.modules = std::move(s.modules);
    QrFacts& f = symbol.facts.qr;
    f.version = s.version;
    f.level = qr::levelName(s.level)[0];
    f.mask = s.mask;
    constexpr const char* MODES[4] = {"numeric", "alphanumeric", "byte", "kanji"};
    for (const qr::Segment& g : s.segments)
        f.segments.push_back({MODES[static_cast<int>(g.mode)], g.characters});
    f.eci = s.eci;
    f.dataBits = s.dataBits;
    f.dataCodewords = s.dataCodewords;
    f.checkCodewords = s.checkCodewords;
    f.blocks = s.blocks;
    f.bitsLeft = s.dataCodewords * 8 - s.dataBits;
    f.gs1 = message.gs1;
    f.structuredIndex = message.structuredAppend.index;
    f.structuredCount = message.structuredAppend.count;
    f.structuredParity = s.parity;
    symbol.facts.data = s.readerData;
    symbol.text = s.readerData;
    return symbol;
}

}  // namespace korvane::detail
