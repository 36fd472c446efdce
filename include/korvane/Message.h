#pragma once
// A Message: the data parsed once, before any encoder sees it. Bytes, plus the
// things that are not bytes: FNC1, ECI designators, structured append, reader
// initialisation. Tilde escapes and GS1 element strings are resolved here, so
// no encoder parses text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace korvane {

enum class MarkerKind : std::uint8_t {
    Fnc1,  // a function 1 character (outside GS1 data, where it is not a separator)
    Eci,   // an Extended Channel Interpretation designator, `eci` 0-999999
};

// A marker stands before bytes[position] (position == bytes.size(): after the last byte).
struct Marker {
    MarkerKind kind = MarkerKind::Fnc1;
    std::size_t position = 0;
    int eci = 0;
};

struct StructuredAppend {
    int index = 0;   // 1-based position in the set; 0 = not part of a set
    int count = 0;   // symbols in the set
    std::string id;  // optional file or message identifier, as the symbology takes it
};

struct Message {
    // The data bytes. For GS1 data the element strings, AI digits included,
    // with GS (0x1D) after each variable-length field that does not end the
    // data: each such GS is encoded as the symbology's FNC1 separator.
    std::string bytes;
    std::vector<Marker> markers;  // in order of position
    bool gs1 = false;             // GS1 data: FNC1 in first position
    StructuredAppend structuredAppend;
    bool readerInit = false;
};

}  // namespace korvane
