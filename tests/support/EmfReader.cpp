#include "EmfReader.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>

namespace testsupport {

std::uint32_t EmfRecord::u32(std::size_t offset) const {
    if (offset + 4 > data.size())
        return 0;
    return static_cast<std::uint32_t>(data[offset]) | static_cast<std::uint32_t>(data[offset + 1]) << 8 |
           static_cast<std::uint32_t>(data[offset + 2]) << 16 | static_cast<std::uint32_t>(data[offset + 3]) << 24;
}

std::vector<std::uint8_t> readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

namespace {

EmfRect rectAt(const EmfRecord& r, std::size_t offset) {
    return {r.i32(offset), r.i32(offset + 4), r.i32(offset + 8), r.i32(offset + 12)};
}

struct Object {
    std::uint32_t type = 0;  // the creating record's type
    std::uint32_t colour = 0;
    std::int32_t fontHeight = 0, fontWeight = 0, escapement = 0;
    std::uint8_t pitchAndFamily = 0;
    std::string face;
};

void appendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

EmfFile readEmf(const std::vector<std::uint8_t>& bytes) {
    EmfFile f;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        if (pos + 8 > bytes.size()) {
            f.error = "truncated record header at " + std::to_string(pos);
            return f;
        }
        EmfRecord r;
        r.data.assign(bytes.begin() + pos, bytes.begin() + pos + 8);
        const std::uint32_t size = r.u32(4);
        if (size < 8 || size % 4 != 0 || pos + size > bytes.size()) {
            f.error = "bad record size " + std::to_string(size) + " at " + std::to_string(pos);
            return f;
        }
        r.data.assign(bytes.begin() + pos, bytes.begin() + pos + size);
        r.type = r.u32(0);
        f.records.push_back(std::move(r));
        pos += size;
    }
    if (f.records.empty() || f.records[0].type != 1) {
        f.error = "no header record";
        return f;
    }
    const EmfRecord& h = f.records[0];
    if (h.data.size() < 88 || h.u32(40) != 0x464D4520) {
        f.error = "bad header";
        return f;
    }
    f.bounds = rectAt(h, 8);
    f.frame = rectAt(h, 24);
    f.bytes = h.u32(48);
    f.recordCount = h.u32(52);
    f.handles = static_cast<std::uint16_t>(h.u32(56) & 0xFFFF);
    f.deviceWidthPx = h.i32(72);
    f.deviceHeightPx = h.i32(76);
    f.deviceWidthMm = h.i32(80);
    f.deviceHeightMm = h.i32(84);
    if (f.bytes != bytes.size())
        f.error = "header byte count " + std::to_string(f.bytes) + " but file has " + std::to_string(bytes.size());
    else if (f.recordCount != f.records.size())
        f.error = "header record count " + std::to_string(f.recordCount) + " but file has " +
                  std::to_string(f.records.size());
    else if (f.records.back().type != 14 || f.records.back().data.size() != 20 || f.records.back().u32(16) != 20)
        f.error = "file does not end with an EOF record";
    if (!f.error.empty())
        return f;

    std::map<std::uint32_t, Object> table;
    std::map<std::uint32_t, Object> selected;  // by creating record type
    std::uint32_t maxHandle = 0;
    std::uint32_t align = 0, textColour = 0, backgroundMode = 0;
    for (std::size_t i = 1; i + 1 < f.records.size(); ++i) {
        const EmfRecord& r = f.records[i];
        switch (r.type) {
        case 38:  // EMR_CREATEPEN
        case 39:  // EMR_CREATEBRUSHINDIRECT
        case 82: {  // EMR_EXTCREATEFONTINDIRECTW
            const std::uint32_t handle = r.u32(8);
            if (handle == 0 || table.count(handle)) {
                f.error = "object created in a used slot " + std::to_string(handle);
                return f;
            }
            Object o;
            o.type = r.type;
            if (r.type == 38)
                o.colour = r.u32(24);
            else if (r.type == 39)
                o.colour = r.u32(16);
            else {
                o.fontHeight = r.i32(12);
                o.escapement = r.i32(20);
                o.fontWeight = r.i32(28);
                o.pitchAndFamily = r.data.size() > 39 ? r.data[39] : 0;
                for (std::size_t k = 0; k < 32; ++k) {
                    const std::uint32_t ch = r.data.size() >= 40 + 2 * k + 2
                                                 ? r.data[40 + 2 * k] | (r.data[41 + 2 * k] << 8)
                                                 : 0;
                    if (ch == 0)
                        break;
                    o.face += static_cast<char>(ch);
                }
            }
            table[handle] = o;
            maxHandle = std::max(maxHandle, handle);
            break;
        }
        case 37:    // EMR_SELECTOBJECT
        case 40: {  // EMR_DELETEOBJECT
            const std::uint32_t handle = r.u32(8);
            auto it = table.find(handle);
            if (it == table.end()) {
                f.error = "unknown object " + std::to_string(handle);
                return f;
            }
            if (r.type == 37)
                selected[it->second.type] = it->second;
            else
                table.erase(it);
            break;
        }
        case 43: {  // EMR_RECTANGLE: the box is inclusive; reported as Rectangle()'s arguments
            EmfRect box = rectAt(r, 8);
            if (box.right < INT32_MAX)
                ++box.right;
            if (box.bottom < INT32_MAX)
                ++box.bottom;
            f.rectangles.push_back({box, selected[38].colour, selected[39].colour});
            break;
        }
        case 18:  // EMR_SETBKMODE
            backgroundMode = r.u32(8);
            break;
        case 22:  // EMR_SETTEXTALIGN
            align = r.u32(8);
            break;
        case 24:  // EMR_SETTEXTCOLOR
            textColour = r.u32(8);
            break;
        case 83:    // EMR_EXTTEXTOUTA
        case 84: {  // EMR_EXTTEXTOUTW
            EmfFile::Text t;
            t.x = r.i32(36);
            t.y = r.i32(40);
            const std::uint32_t chars = r.u32(44);
            const std::uint32_t off = r.u32(48);
            t.options = r.u32(52);
            t.wide = r.type == 84;
            const std::uint64_t end = off + static_cast<std::uint64_t>(chars) * (t.wide ? 2 : 1);
            if (end > r.data.size()) {
                f.error = "text outside its record";
                return f;
            }
            if (!t.wide) {
                t.text.assign(r.data.begin() + off, r.data.begin() + off + chars);
            } else {
                for (std::uint32_t k = 0; k < chars; ++k) {
                    std::uint32_t c = r.data[off + 2 * k] | r.data[off + 2 * k + 1] << 8;
                    if (c >= 0xD800 && c < 0xDC00 && k + 1 < chars) {
                        const std::uint32_t low = r.data[off + 2 * k + 2] | r.data[off + 2 * k + 3] << 8;
                        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                        ++k;
                    }
                    appendUtf8(t.text, c);
                }
            }
            t.align = align;
            t.colour = textColour;
            t.backgroundMode = backgroundMode;
            t.escapement = selected[82].escapement;
            t.pitchAndFamily = selected[82].pitchAndFamily;
            t.fontHeight = selected[82].fontHeight;
            t.fontWeight = selected[82].fontWeight;
            t.face = selected[82].face;
            f.texts.push_back(t);
            break;
        }
        default:
            f.error = "unexpected record type " + std::to_string(r.type);
            return f;
        }
    }
    if (f.handles != maxHandle + 1)
        f.error = "header handle count " + std::to_string(f.handles) + ", highest slot " + std::to_string(maxHandle);
    return f;
}

}  // namespace testsupport
