// QR Code (ISO/IEC 18004), Micro QR and rMQR (ISO/IEC 23941): the adapter
// over the library's encoder (korvane/qr).

#include "Adapters.h"

#include "../qr/Qr.h"
#include "../qr/SmallQrTables.h"

namespace korvane::detail {
namespace {

// The encoder's options from the command's.
qr::QrOptions optionsOf(qr::Kind kind, int version, const EncodeOptions& o) {
    qr::QrOptions q;
    q.kind = kind;
    q.level = static_cast<qr::Level>(o.qrLevel);
    q.version = version;
    q.mask = o.qrMask;
    q.boost = o.qrBoost;
    q.kanji = o.qrKanji;
    return q;
}

Result<Symbol> encodeFamily(Symbology symbology, const qr::QrOptions& q, const Message& message,
                            const EncodeOptions& o) {
    const char* title = symbologyInfo(symbology).title.data();
    if (o.check.has_value() || o.wideRatio != 0)
        return Error{ErrorCode::InvalidOption, std::string(title) + " has neither a check character nor wide elements"};
    if (static_cast<int>(o.qrLevel) < 0 || static_cast<int>(o.qrLevel) > 3)
        return Error{ErrorCode::InvalidOption, "the QR Code level is L, M, Q or H"};
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
    return encodeFamily(Symbology::Qr, optionsOf(qr::Kind::Qr, o.qrVersion, o), message, o);
}

Result<Symbol> encodeMicroQr(const Message& message, const EncodeOptions& o) {
    return encodeFamily(Symbology::MicroQr, optionsOf(qr::Kind::Micro, o.qrVersion, o), message, o);
}

// rMQR: the size RHxW found among the 32, its number plus one the version.
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
    return encodeFamily(Symbology::Rmqr, optionsOf(qr::Kind::Rect, version, o), message, o);
}

namespace {

// ISO 8859-2 (Latin-2) bytes 0xA0-0xFF by their code points; bytes below 0xA0
// are the code points themselves.
constexpr std::uint16_t LATIN2_HIGH[96] = {
    0x00A0, 0x0104, 0x02D8, 0x0141, 0x00A4, 0x013D, 0x015A, 0x00A7, 0x00A8, 0x0160, 0x015E, 0x0164,
    0x0179, 0x00AD, 0x017D, 0x017B, 0x00B0, 0x0105, 0x02DB, 0x0142, 0x00B4, 0x013E, 0x015B, 0x02C7,
    0x00B8, 0x0161, 0x015F, 0x0165, 0x017A, 0x02DD, 0x017E, 0x017C, 0x0154, 0x00C1, 0x00C2, 0x0102,
    0x00C4, 0x0139, 0x0106, 0x00C7, 0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA, 0x0170,
    0x00DC, 0x00DD, 0x0162, 0x00DF, 0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3,
    0x00F4, 0x0151, 0x00F6, 0x00F7, 0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};
// The letters of Slovene in their places: Č 0xC8, Š 0xA9, Ž 0xAE, č 0xE8, š 0xB9, ž 0xBE.
static_assert(LATIN2_HIGH[0xC8 - 0xA0] == 0x010C && LATIN2_HIGH[0xA9 - 0xA0] == 0x0160 &&
              LATIN2_HIGH[0xAE - 0xA0] == 0x017D && LATIN2_HIGH[0xE8 - 0xA0] == 0x010D &&
              LATIN2_HIGH[0xB9 - 0xA0] == 0x0161 && LATIN2_HIGH[0xBE - 0xA0] == 0x017E);

// UTF-8 text as ISO 8859-2 bytes; the error names the first character it lacks.
Result<std::string> latin2(const std::string& text) {
    std::string out;
    for (std::size_t i = 0, character = 1; i < text.size(); ++character) {
        const auto c = static_cast<unsigned char>(text[i]);
        const int length = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        std::uint32_t cp = length == 1 ? c : length == 2 ? c & 0x1Fu : length == 3 ? c & 0x0Fu : c & 0x07u;
        bool wellFormed = length > 0 && i + static_cast<std::size_t>(length) <= text.size();
        for (int k = 1; wellFormed && k < length; ++k) {
            const auto t = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            wellFormed = (t & 0xC0) == 0x80;
            cp = cp << 6 | (t & 0x3Fu);
        }
        if (!wellFormed)
            return Error{ErrorCode::InvalidData, "UPNQR takes UTF-8 text; byte " + std::to_string(i + 1) +
                                                     " starts no UTF-8 character"};
        int byte = cp < 0xA0 ? static_cast<int>(cp) : -1;
        for (int b = 0; b < 96 && byte < 0; ++b)
            if (LATIN2_HIGH[b] == cp)
                byte = 0xA0 + b;
        if (byte < 0)
            return Error{ErrorCode::InvalidData, "character " + std::to_string(character) + " (" +
                                                     text.substr(i, static_cast<std::size_t>(length)) +
                                                     ") is not in ISO 8859-2, which UPNQR takes"};
        out += static_cast<char>(byte);
        i += static_cast<std::size_t>(length);
    }
    return out;
}

}  // namespace

// UPNQR: version 15 at level M, every byte in byte mode under ECI 4.
Result<Symbol> encodeUpnQr(const Message& message, const EncodeOptions& o) {
    if (!message.markers.empty() || message.gs1 || message.structuredAppend.count != 0 || message.readerInit)
        return Error{ErrorCode::InvalidData, "UPNQR takes the payment order's text only: no ECI, FNC1, GS1 or "
                                             "structured append"};
    Result<std::string> bytes = latin2(message.bytes);
    if (!bytes)
        return bytes.error();
    Message m;
    m.bytes = std::move(*bytes);
    m.markers.push_back({MarkerKind::Eci, 0, 4});
    qr::QrOptions q;
    q.level = qr::Level::M;
    q.version = 15;
    q.boost = false;
    q.kanji = false;
    q.bytesOnly = true;
    return encodeFamily(Symbology::UpnQr, q, m, o);
}

}  // namespace korvane::detail
