// QR Code (ISO/IEC 18004), Micro QR and rMQR (ISO/IEC 23941): the adapter
// over the library's encoder (korvane/qr).

#include "Adapters.h"

#include "../qr/Qr.h"
#include "../qr/SmallQrTables.h"

namespace korvane::detail {
namespace {

Result<Symbol> encodeFamily(Symbology symbology, qr::Kind kind, int version, const Message& message,
                            const EncodeOptions& o) {
    const char* title = symbologyInfo(symbology).title.data();
    if (o.check.has_value() || o.wideRatio != 0)
        return Error{ErrorCode::InvalidOption, std::string(title) + " has neither a check character nor wide elements"};
    if (static_cast<int>(o.qrLevel) < 0 || static_cast<int>(o.qrLevel) > 3)
        return Error{ErrorCode::InvalidOption, "the QR Code level is L, M, Q or H"};
    qr::QrOptions q;
    q.kind = kind;
    q.level = static_cast<qr::Level>(o.qrLevel);
    q.version = version;
    q.mask = o.qrMask;
    q.boost = o.qrBoost;
    q.kanji = o.qrKanji;
    Result<qr::QrSymbol> made = qr::encode(message, q);
    if (!made)
        return made.error();
    qr::QrSymbol& s = *made;
    Symbol symbol;
    symbol.symbology = symbology;
    symbol.rows = s.size;
    symbol.columns = s.columns;
    symbol.modules = std::move(s.modules);
    QrFacts& f = symbol.facts.qr;
    f.version = s.version;
    f.versionName = s.versionName;
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

}  // namespace

Result<Symbol> encodeQr(const Message& message, const EncodeOptions& o) {
    return encodeFamily(Symbology::Qr, qr::Kind::Qr, o.qrVersion, message, o);
}

Result<Symbol> encodeMicroQr(const Message& message, const EncodeOptions& o) {
    return encodeFamily(Symbology::MicroQr, qr::Kind::Micro, o.qrVersion, message, o);
}

// The size RHxW as its number in the format information, plus one; 0 for none.
Result<Symbol> encodeRmqr(const Message& message, const EncodeOptions& o) {
    if (o.qrVersion != 0)
        return Error{ErrorCode::InvalidOption, "rMQR has sizes, not versions: choose one with rmqr-size RHxW"};
    int version = 0;
    if (o.rmqrHeight != 0 || o.rmqrWidth != 0) {
        std::string widths;
        for (int s = 0; s < qr::detail::RMQR_SIZES; ++s) {
            const qr::detail::RectSpec& r = qr::detail::RECT[s];
            if (r.height == o.rmqrHeight && r.width == o.rmqrWidth)
                version = s + 1;
            if (r.height == o.rmqrHeight)
                widths += (widths.empty() ? "" : ", ") + std::to_string(r.width);
        }
        if (version == 0)
            return Error{ErrorCode::InvalidOption,
                         "there is no rMQR R" + std::to_string(o.rmqrHeight) + "x" + std::to_string(o.rmqrWidth) +
                             (widths.empty() ? "; the heights are 7, 9, 11, 13, 15 and 17"
                                             : "; R" + std::to_string(o.rmqrHeight) + " is " + widths + " wide")};
    }
    return encodeFamily(Symbology::Rmqr, qr::Kind::Rect, version, message, o);
}

}  // namespace korvane::detail
