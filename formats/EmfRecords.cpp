// Enhanced-metafile record encoder.

#include "EmfRecords.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace emf {
namespace {

using std::int32_t;
using std::int64_t;
using std::uint32_t;

int32_t clamp32(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

constexpr uint32_t PS_SOLID = 0;
constexpr uint32_t BS_SOLID = 0;
constexpr std::size_t HEADER_SIZE = 108;  // EMR_HEADER with both extensions
constexpr std::size_t LF_FACESIZE = 32;
constexpr uint32_t TEXT_FIXED_SIZE = 76;  // EMR_EXTTEXTOUT* up to the string

// Little-endian fields.
void putU16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void putU32(std::vector<std::uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void putBox(std::vector<std::uint8_t>& out, const Box& r) {
    putU32(out, static_cast<uint32_t>(clamp32(r.left)));
    putU32(out, static_cast<uint32_t>(clamp32(r.top)));
    putU32(out, static_cast<uint32_t>(clamp32(r.right)));
    putU32(out, static_cast<uint32_t>(clamp32(r.bottom)));
}

// Device pixels to 0.01 mm, rounded to nearest: px * um / (10 * pixels).
int64_t toFrame(int64_t px, int64_t um, int64_t pixels) {
    const int64_t scaled = px * um;
    const int64_t divisor = 10 * pixels;
    return scaled >= 0 ? (scaled + divisor / 2) / divisor : -((-scaled + divisor / 2) / divisor);
}

}  // namespace

MetafileBuilder::MetafileBuilder() { out_.reserve(4096); }

void MetafileBuilder::setBounds(const Box& inclusive) {
    bounds_ = inclusive;
    hasBounds_ = true;
    fixedBounds_ = true;
}

void MetafileBuilder::createPen(uint32_t handle, uint32_t colour) {
    begin(EMR_CREATEPEN);
    u32(handle);
    u32(PS_SOLID);
    i32(1);  // width x
    i32(1);  // width y (unused)
    u32(colour);
    end();
    useHandle(handle);
}

void MetafileBuilder::createBrush(uint32_t handle, uint32_t colour) {
    begin(EMR_CREATEBRUSHINDIRECT);
    u32(handle);
    u32(BS_SOLID);
    u32(colour);
    u32(0);  // hatch
    end();
    useHandle(handle);
}

void MetafileBuilder::createFont(uint32_t handle, int32_t height) {
    Font font;
    font.height = height;
    font.weight = FW_BOLD;
    font.face = FONT_FACE;
    createFont(handle, font);
}

void MetafileBuilder::createFont(uint32_t handle, const Font& font) {
    begin(EMR_EXTCREATEFONTINDIRECTW);
    u32(handle);
    i32(font.height);
    i32(0);                // width
    i32(font.escapement);  // escapement
    i32(font.escapement);  // orientation: the characters turn with the line
    i32(font.weight);
    // italic, underline, strike-out, charset, out precision, clip precision,
    // quality: all 0
    for (int i = 0; i < 7; ++i)
        out_.push_back(0);
    out_.push_back(font.pitchAndFamily);
    for (std::size_t i = 0; i < LF_FACESIZE; ++i) {
        const char c = i + 1 < LF_FACESIZE && i < font.face.size() ? font.face[i] : '\0';
        out_.push_back(static_cast<std::uint8_t>(c));  // UTF-16LE
        out_.push_back(0);
    }
    end();
    useHandle(handle);
}

void MetafileBuilder::select(uint32_t handle) { handleRecord(EMR_SELECTOBJECT, handle); }
void MetafileBuilder::remove(uint32_t handle) { handleRecord(EMR_DELETEOBJECT, handle); }
void MetafileBuilder::setBkMode(uint32_t mode) { valueRecord(EMR_SETBKMODE, mode); }
void MetafileBuilder::setTextAlign(uint32_t align) { valueRecord(EMR_SETTEXTALIGN, align); }
void MetafileBuilder::setTextColor(uint32_t colour) { valueRecord(EMR_SETTEXTCOLOR, colour); }

void MetafileBuilder::rectangle(const Box& r) {
    if (r.left == r.right || r.top == r.bottom)
        return;
    const Box box{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right) - 1,
                  std::max(r.top, r.bottom) - 1};
    begin(EMR_RECTANGLE);
    boxFields(box);
    end();
    include(box);
}

void MetafileBuilder::textRecord(uint32_t type, int64_t x, int64_t y, uint32_t units, uint32_t options,
                                 const Box& box) {
    begin(type);
    boxFields({box.left, box.top, box.right - 1, box.bottom - 1});
    u32(GM_COMPATIBLE);
    // Page units to 0.01 mm.
    const float scaleX = static_cast<float>(device_.widthUm) / (10.0f * static_cast<float>(device_.widthPx));
    const float scaleY = static_cast<float>(device_.heightUm) / (10.0f * static_cast<float>(device_.heightPx));
    f32(scaleX);
    f32(scaleY);
    i32(clamp32(x));
    i32(clamp32(y));
    u32(units);
    u32(TEXT_FIXED_SIZE);  // offString: the string follows the fixed part
    u32(options);
    for (int i = 0; i < 4; ++i)
        i32(0);  // no clipping rectangle
    u32(0);      // offDx: no character spacing array
}

void MetafileBuilder::textOut(int64_t x, int64_t y, const std::string& text, const Box& box) {
    textRecord(EMR_EXTTEXTOUTA, x, y, static_cast<uint32_t>(text.size()), ETO_OPAQUE, box);
    out_.insert(out_.end(), text.begin(), text.end());
    while ((out_.size() - recordStart_) % 4 != 0)
        out_.push_back(0);
    end();
    if (!text.empty())
        include({box.left, box.top, box.right - 1, box.bottom - 1});
}

void MetafileBuilder::textOutW(int64_t x, int64_t y, const std::u16string& text, uint32_t options, const Box& box) {
    textRecord(EMR_EXTTEXTOUTW, x, y, static_cast<uint32_t>(text.size()), options, box);
    for (char16_t c : text)
        putU16(out_, static_cast<std::uint16_t>(c));
    while ((out_.size() - recordStart_) % 4 != 0)
        out_.push_back(0);
    end();
    if (!text.empty())
        include({box.left, box.top, box.right - 1, box.bottom - 1});
}

std::vector<std::uint8_t> MetafileBuilder::finish() {
    begin(EMR_EOF);
    u32(0);   // palette entries
    u32(16);  // offset of the (absent) palette
    u32(20);  // size of this record, repeated at its end
    end();

    const Box bounds = hasBounds_ ? bounds_ : Box{0, 0, -1, -1};
    std::vector<std::uint8_t> file;
    file.reserve(HEADER_SIZE + out_.size());
    putU32(file, EMR_HEADER);
    putU32(file, HEADER_SIZE);
    putBox(file, bounds);
    putBox(file, {toFrame(bounds.left, device_.widthUm, device_.widthPx),
                  toFrame(bounds.top, device_.heightUm, device_.heightPx),
                  toFrame(bounds.right, device_.widthUm, device_.widthPx),
                  toFrame(bounds.bottom, device_.heightUm, device_.heightPx)});
    putU32(file, 0x464D4520);  // " EMF"
    putU32(file, 0x00010000);  // version
    putU32(file, static_cast<uint32_t>(HEADER_SIZE + out_.size()));
    putU32(file, records_ + 1);
    putU16(file, static_cast<std::uint16_t>(maxHandle_ + 1));  // slot 0 is the metafile itself
    putU16(file, 0);
    putU32(file, 0);  // no description
    putU32(file, 0);
    putU32(file, 0);  // no palette
    putU32(file, static_cast<uint32_t>(device_.widthPx));
    putU32(file, static_cast<uint32_t>(device_.heightPx));
    putU32(file, static_cast<uint32_t>((device_.widthUm + 500) / 1000));
    putU32(file, static_cast<uint32_t>((device_.heightUm + 500) / 1000));
    putU32(file, 0);  // no pixel format
    putU32(file, 0);
    putU32(file, 0);  // not OpenGL
    putU32(file, static_cast<uint32_t>(device_.widthUm));
    putU32(file, static_cast<uint32_t>(device_.heightUm));
    file.insert(file.end(), out_.begin(), out_.end());
    return file;
}

void MetafileBuilder::begin(uint32_t type) {
    recordStart_ = out_.size();
    u32(type);
    u32(0);  // size, patched by end()
}

void MetafileBuilder::end() {
    const uint32_t size = static_cast<uint32_t>(out_.size() - recordStart_);
    for (int i = 0; i < 4; ++i)
        out_[recordStart_ + 4 + i] = static_cast<std::uint8_t>(size >> (8 * i));
    ++records_;
}

void MetafileBuilder::handleRecord(uint32_t type, uint32_t handle) {
    begin(type);
    u32(handle);
    end();
}

void MetafileBuilder::valueRecord(uint32_t type, uint32_t value) {
    begin(type);
    u32(value);
    end();
}

void MetafileBuilder::useHandle(uint32_t handle) { maxHandle_ = std::max(maxHandle_, handle); }

void MetafileBuilder::include(const Box& r) {
    if (fixedBounds_ || r.right < r.left || r.bottom < r.top)
        return;  // bounds given, or nothing drawn
    if (!hasBounds_) {
        bounds_ = r;
        hasBounds_ = true;
        return;
    }
    bounds_.left = std::min(bounds_.left, r.left);
    bounds_.top = std::min(bounds_.top, r.top);
    bounds_.right = std::max(bounds_.right, r.right);
    bounds_.bottom = std::max(bounds_.bottom, r.bottom);
}

void MetafileBuilder::u32(uint32_t v) { putU32(out_, v); }
void MetafileBuilder::i32(int32_t v) { putU32(out_, static_cast<uint32_t>(v)); }
void MetafileBuilder::f32(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    putU32(out_, bits);
}
void MetafileBuilder::boxFields(const Box& r) { putBox(out_, r); }

}  // namespace emf
