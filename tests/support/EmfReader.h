#pragma once
// A strict reader for the enhanced metafiles the suite writes, so tests can
// check every record that reaches the file.

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

struct EmfRect {
    std::int32_t left, top, right, bottom;
    bool operator==(const EmfRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

struct EmfRecord {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;  // the whole record, type and size included

    std::uint32_t u32(std::size_t offset) const;
    std::int32_t i32(std::size_t offset) const { return static_cast<std::int32_t>(u32(offset)); }
};

struct EmfFile {
    std::vector<EmfRecord> records;  // records[0] is the header
    std::string error;               // empty when the file is well formed

    // Header fields.
    EmfRect bounds{}, frame{};
    std::uint32_t bytes = 0, recordCount = 0;
    std::uint16_t handles = 0;
    std::int32_t deviceWidthPx = 0, deviceHeightPx = 0, deviceWidthMm = 0, deviceHeightMm = 0;

    // Drawing decoded from the records, in order.
    struct Drawn {
        EmfRect rect;  // as passed to Rectangle(): the record's inclusive box, right and bottom + 1
        std::uint32_t penColour, brushColour;
    };
    std::vector<Drawn> rectangles;
    struct Text {
        std::int32_t x = 0, y = 0;
        std::string text;
        std::uint32_t options = 0;
        std::int32_t fontHeight = 0, fontWeight = 0;
        std::string face;
        bool wide = false;                 // EMR_EXTTEXTOUTW: text is its UTF-16 converted to UTF-8
        std::uint32_t align = 0;           // SetTextAlign in force
        std::uint32_t colour = 0;          // SetTextColor in force
        std::uint32_t backgroundMode = 0;  // SetBkMode in force (0: never set)
        std::int32_t escapement = 0;       // of the font, tenths of a degree
        std::uint8_t pitchAndFamily = 0;
    };
    std::vector<Text> texts;
};

// Parses bytes and checks the structure: every record size a multiple of 4 and
// inside the file, the header's byte count, record count and handle count, the
// EOF record last, every selected or deleted handle created before.
EmfFile readEmf(const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> readFileBytes(const std::string& path);

}  // namespace testsupport
