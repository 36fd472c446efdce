// encode(): the dispatcher over the adapters, and the helpers they share.

#include "Descriptor.h"
#include "encode/Adapters.h"

#include "korvane/Options.h"

#include <algorithm>
#include <climits>
#include <cstdio>

namespace korvane {

const char* errorCodeName(ErrorCode code) {
    switch (code) {
    case ErrorCode::UnknownSymbology: return "unknown-symbology";
    case ErrorCode::InvalidData: return "invalid-data";
    case ErrorCode::CheckDigit: return "check-digit";
    case ErrorCode::DataTooLong: return "data-too-long";
    case ErrorCode::InvalidOption: return "invalid-option";
    case ErrorCode::SizeTooLarge: return "size-too-large";
    case ErrorCode::UnknownFormat: return "unknown-format";
    case ErrorCode::WriteFailed: return "write-failed";
    case ErrorCode::VerifyFailed: return "verify-failed";
    }
    return "error";
}

namespace detail {

Status checkDataLength(const SymbologyInfo& info, std::size_t bytes, std::size_t markers) {
    // Compared without adding, so no count wraps however long the data.
    const std::size_t most = info.maxDataBytes;
    if (bytes <= most && markers <= most - bytes)
        return Done{};
    const std::string size = "the data is " + thousands(static_cast<long long>(std::min<std::size_t>(bytes, LLONG_MAX))) +
                             (markers > 0 ? " bytes and " + thousands(static_cast<long long>(markers)) + " markers"
                                          : std::string(" bytes"));
    const std::string limit = thousands(static_cast<long long>(most));
    if (info.matrix)
        return Error{ErrorCode::DataTooLong, size + "; no " + std::string(info.title) + " holds more than " + limit +
                                                 " (digits, its densest data)"};
    if (info.check == CheckRule::Mandatory && most < 100)  // the fixed lengths of retail and postal codes
        return Error{ErrorCode::DataTooLong, size + "; " + std::string(info.title) + " takes at most " + limit + " (" +
                                                 std::string(info.characters) + ")"};
    return Error{ErrorCode::DataTooLong, size + "; " + std::string(info.title) + " takes at most " + limit + " here"};
}



Error invalidCharacter(Symbology s, std::string_view data, std::size_t index) {
    const SymbologyInfo& info = symbologyInfo(s);
    return {ErrorCode::InvalidData, std::string(info.title) + " cannot encode " +
                                        describeByte(static_cast<unsigned char>(data[index])) + " at position " +
                                        std::to_string(index + 1) + " (it takes " + std::string(info.characters) +
                                        ")"};
}

namespace {

Result<bool> checkWanted(const SymbologyInfo& info, const EncodeOptions& o) {
    switch (info.check) {
    case CheckRule::None:
        if (o.check.value_or(false))
            return Error{ErrorCode::InvalidOption, std::string(info.title) + " has no check character"};
        return false;
    case CheckRule::Optional: return o.check.value_or(false);
    case CheckRule::OptionalOn: return o.check.value_or(true);
    case CheckRule::Mandatory:
        if (!o.check.value_or(true))
            return Error{ErrorCode::InvalidOption,
                         std::string(info.title) + " always carries its check character; it cannot be switched off"};
        return true;
    }
    return false;
}

Result<int> wideRatioWanted(const SymbologyInfo& info, const EncodeOptions& o) {
    if (o.wideRatio == 0)
        return info.twoWidths ? info.defaultWideRatio : 0;
    if (!info.twoWidths)
        return Error{ErrorCode::InvalidOption, std::string(info.title) + " has no wide elements to set a ratio for"};
    if (o.wideRatio < 2 || o.wideRatio > 3)
        return Error{ErrorCode::InvalidOption, "the wide ratio is " + std::to_string(o.wideRatio) +
                                                   "; it must be 2 or 3 narrow modules"};
    return o.wideRatio;
}

}  // namespace

Result<LinearSettings> linearSettings(Symbology s, const EncodeOptions& o) {
    const SymbologyInfo& info = symbologyInfo(s);
    if (!o.check && o.wideRatio == 0)  // the symbology's defaults, which never contradict it
        return LinearSettings{info.check == CheckRule::OptionalOn || info.check == CheckRule::Mandatory,
                              info.twoWidths ? info.defaultWideRatio : 0};
    const Result<bool> check = checkWanted(info, o);
    if (!check)
        return check.error();
    const Result<int> ratio = wideRatioWanted(info, o);
    if (!ratio)
        return ratio.error();
    return LinearSettings{*check, *ratio};
}

void setUpEngine(LinearSymbol& e, int engineSymbology, const std::string& code, const LinearSettings& settings) {
    e.symbology = engineSymbology;
    e.code = code;
    e.checkCharacter = settings.check;
    e.narrowBarWidth = 1;
    e.wideRatio = settings.wideRatio > 0 ? settings.wideRatio : 2;
    e.interCharGap = 1;
    e.barHeight = 100;  // heights are the layout's business; any fixed value will do
    e.processTilde = false;
}

Result<Symbol> runEngine(LinearSymbol& engine, Symbology s, const LinearSettings& settings) {
    engine.buildSymbol();
    return symbolFromEngine(engine, s, settings);
}

Result<Symbol> symbolFromEngine(const LinearSymbol& engine, Symbology s, const LinearSettings& settings) {
    if (engine.barCount == 0) {
        const std::string why = engine.failureReason.empty() ? "the data gives no bars" : engine.failureReason;
        return Error{ErrorCode::InvalidData, why};
    }
    Symbol symbol;
    symbol.symbology = s;
    symbol.wideRatio = settings.wideRatio;
    // A symbol ends with a bar; a space after it belongs to the quiet zone.
    const std::size_t count = engine.barWidths.size() - (engine.barWidths.size() % 2 == 0 ? 1 : 0);
    // From pointers, so the copy is one block even where the compiler optimises for size.
    symbol.widths.assign(engine.barWidths.data(), engine.barWidths.data() + count);
    symbol.kinds.assign(count, BarKind::Data);
    const int* widths = symbol.widths.data();
    for (std::size_t i = 0; i < count; ++i)
        symbol.widthModules += widths[i];
    return symbol;
}

// What encode() refuses in a message whatever the symbology's encoder makes of it.
Status checkMessage(const SymbologyInfo& info, const Message& message) {
    if (const Status fits = detail::checkDataLength(info, message.bytes.size(), message.markers.size()); !fits)
        return fits;
    if (message.bytes.empty() && message.markers.empty() && !info.matrix)
        return Error{ErrorCode::InvalidData, "the data is empty"};
    if (message.gs1 && !info.takes(CAP_GS1))
        return Error{ErrorCode::InvalidOption, std::string(info.title) + " cannot carry GS1 data"};
    for (const Marker& m : message.markers) {
        if (m.position > message.bytes.size())
            return Error{ErrorCode::InvalidData, "a marker stands beyond the end of the data"};
        if (!info.takes(m.kind == MarkerKind::Fnc1 ? CAP_FNC1 : CAP_ECI))
            return Error{ErrorCode::InvalidData, std::string(info.title) + " cannot carry " +
                                                     (m.kind == MarkerKind::Fnc1 ? "FNC1" : "ECI designators")};
    }
    if (message.structuredAppend.index != 0 && !info.takes(CAP_STRUCTURED_APPEND))
        return Error{ErrorCode::InvalidOption, std::string(info.title) + " has no structured append"};
    if (message.readerInit && !info.takes(CAP_READER_INIT))
        return Error{ErrorCode::InvalidOption, std::string(info.title) + " has no reader initialisation"};
    return Done{};
}

}  // namespace detail

namespace {

// A message whose options were checked against the symbology.
Result<Symbol> encodeChecked(Symbology symbology, const Message& message, const EncodeOptions& o) {
    const detail::Descriptor& d = detail::descriptor(symbology);
    if (const Status valid = detail::checkMessage(d.info, message); !valid)
        return valid.error();
    return d.encode(symbology, message, o);
}

}  // namespace


Result<Symbol> encode(Symbology symbology, const Message& message, const EncodeOptions& o) {
    if (static_cast<int>(symbology) < 0 || static_cast<int>(symbology) >= SYMBOLOGY_COUNT)
        return Error{ErrorCode::UnknownSymbology, "unknown symbology"};
    if (const Status applies = checkOptionsApply(symbology, o); !applies)
        return applies.error();
    return encodeChecked(symbology, message, o);
}

Result<Symbol> encode(Symbology symbology, std::string_view data, const EncodeOptions& o) {
    // The common case, linear data as it is: the message parseMessage() would
    // build holds the data alone, and no check of encodeChecked() can fail
    // for it, so the encoder reads the caller's bytes where they are. (The
    // options a linear symbology takes include no ECI, structured append or
    // reader initialisation; checkOptionsApply() refuses those.)
    if (static_cast<int>(symbology) >= 0 && static_cast<int>(symbology) < SYMBOLOGY_COUNT) {
        const detail::Descriptor& d = detail::descriptor(symbology);
        if (d.encodeBytes && !o.escapes && !o.gs1 && !d.info.takes(CAP_GS1_ONLY)) {
            if (!detail::optionsApply(symbology, o))
                return checkOptionsApply(symbology, o).error();
            if (data.empty())
                return Error{ErrorCode::InvalidData, "the data is empty"};
            // Compared here, so that data that fits pays for no Status.
            if (data.size() > d.info.maxDataBytes)
                return detail::checkDataLength(d.info, data.size()).error();
            return d.encodeBytes(symbology, data, false, o);
        }
    }
    const Result<Message> message = parseMessage(symbology, data, o);  // checks the options too
    if (!message)
        return message.error();
    return encodeChecked(symbology, *message, o);
}

Result<Symbol> encode(std::string_view symbologyName, std::string_view data, const EncodeOptions& options) {
    const std::optional<Symbology> s = findSymbology(symbologyName);
    if (!s)
        return Error{ErrorCode::UnknownSymbology, "unknown symbology " + detail::quoted(symbologyName)};
    return encode(*s, data, options);
}

}  // namespace korvane
