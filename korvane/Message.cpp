// parseMessage(): the data as typed turned into what encoders take. Tilde
// escapes and GS1 element strings are resolved here and nowhere else.

#include "encode/Checks.h"
#include "linear/LinearEncoders.h"
#include "encode/Gs1.h"

#include "korvane/Gs1.h"
#include "korvane/Options.h"

#include <cstdlib>

namespace korvane {
namespace {

constexpr char GS = 0x1D;

// The escapes of symbologies that carry FNC1 or ECI: "~F" FNC1, "~Ennnnnn" an
// ECI designator (taken only with a character after its six digits, and not
// when the number is negative), "~dNNN" a byte (above 255 reads as 255), "~~" a
// tilde; any other tilde is dropped and the character after it kept, as is a
// tilde at the very end. These are the aztec program's rules, so that both
// read a value alike.
void resolveMarkerEscapes(std::string_view text, Message& m) {
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const char c = text[i];
        if (c != '~') {
            m.bytes += c;
            ++i;
            continue;
        }
        if (i + 1 == n)
            break;
        const char next = text[i + 1];
        if (next == '~') {
            m.bytes += '~';
            i += 2;
            continue;
        }
        if ((next == 'e' || next == 'E') && i + 8 < n) {
            const long eci = std::strtol(std::string(text.substr(i + 2, 6)).c_str(), nullptr, 10);
            if (eci >= 0) {
                m.markers.push_back({MarkerKind::Eci, m.bytes.size(), static_cast<int>(eci)});
                i += 8;
                continue;
            }
        } else if (next == 'f' || next == 'F') {
            m.markers.push_back({MarkerKind::Fnc1, m.bytes.size(), 0});
            i += 2;
            continue;
        } else if ((next == 'd' || next == 'D') && i + 4 < n) {
            long value = std::strtol(std::string(text.substr(i + 2, 3)).c_str(), nullptr, 10);
            if (value >= 256)
                value = 255;
            m.bytes += static_cast<char>(static_cast<unsigned char>(value & 0xFF));
            i += 5;
            continue;
        }
        ++i;
    }
}

}  // namespace

Result<Message> parseMessage(Symbology symbology, std::string_view data, const EncodeOptions& o) {
    using namespace detail;
    if (static_cast<int>(symbology) < 0 || static_cast<int>(symbology) >= SYMBOLOGY_COUNT)
        return Error{ErrorCode::UnknownSymbology, "unknown symbology"};
    const SymbologyInfo& info = symbologyInfo(symbology);
    if (const Status applies = checkOptionsApply(symbology, o); !applies)
        return applies.error();
    if (data.empty())
        return Error{ErrorCode::InvalidData, "the data is empty"};
    // Escapes and GS1 parentheses shrink the data by at most eight to one
    // ("~E000026" is one marker), so longer data is refused unread.
    const bool shrinks = o.escapes || o.gs1 || info.takes(CAP_GS1_ONLY);
    if (data.size() / (shrinks ? 8 : 1) > info.maxDataBytes)
        return checkDataLength(info, data.size()).error();

    Message m;
    if (!o.escapes) {
        m.bytes.assign(data);
    } else if (info.takes(CAP_FNC1) || info.takes(CAP_ECI)) {
        resolveMarkerEscapes(data, m);
    } else {
        m.bytes = linear::resolveEscapes(data);  // the linear programs' rules
    }
    if (m.bytes.empty() && m.markers.empty() && !info.matrix)  // a matrix symbol may hold nothing
        return Error{ErrorCode::InvalidData, "the data is empty after its escapes"};

    const bool uri = m.bytes.rfind("https://", 0) == 0 || m.bytes.rfind("http://", 0) == 0;
    if (o.gs1 && uri && (info.takes(CAP_QR) || info.takes(CAP_DATAMATRIX))) {
        // GS1 data given as a Digital Link URI is checked as one and carried as it is, as plain text.
        if (const Result<std::string> elements = gs1FromDigitalLink(m.bytes); !elements)
            return elements.error();
    } else if (o.gs1 || info.takes(CAP_GS1_ONLY)) {
        if (!m.markers.empty())
            return Error{ErrorCode::InvalidData, "GS1 data cannot hold FNC1 or ECI escapes; "
                                                 "fields are separated by GS (0x1D) or written as (AI)"};
        const Result<std::vector<Gs1Element>> elements = parseGs1(m.bytes);
        if (!elements)
            return elements.error();
        m.bytes = gs1Data(*elements, GS);
        m.gs1 = true;
    }
    if (o.gs1DigitalLink) {
        // The symbol holds the element strings' URI, as plain text.
        if (o.gs1 || !m.markers.empty())
            return Error{ErrorCode::InvalidOption, "a GS1 Digital Link URI is plain text: gs1-dl takes element "
                                                   "strings without gs1 and without FNC1 or ECI escapes"};
        Result<std::string> uri =
            o.gs1DlDomain.empty() ? gs1DigitalLink(m.bytes) : gs1DigitalLink(m.bytes, o.gs1DlDomain);
        if (!uri)
            return uri.error();
        m.bytes = std::move(*uri);
    }
    if (o.eci >= 0) {
        if (o.eci > 999999)
            return Error{ErrorCode::InvalidOption,
                         "the ECI designator is " + std::to_string(o.eci) + "; it must be 0 to 999999"};
        m.markers.insert(m.markers.begin(), {MarkerKind::Eci, 0, o.eci});
    }
    m.structuredAppend = o.structuredAppend;
    m.readerInit = o.readerInit;
    return m;
}

}  // namespace korvane
