// Enhanced-metafile encoder for EmfPainter.

#include "EmfPainter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <sys/stat.h>

namespace {

using std::int32_t;
using std::int64_t;
using std::uint32_t;

// Coordinates are computed in 64 bits and saturated to the 32-bit range of
// the file format, so absurd sizes never overflow.
int32_t clamp32(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

struct Rect {
    int64_t left, top, right, bottom;
};

constexpr uint32_t WHITE = 0x00FFFFFF;  // COLORREF 0x00bbggrr
constexpr uint32_t BLACK = 0x00000000;
constexpr uint32_t PS_SOLID = 0;
constexpr uint32_t BS_SOLID = 0;
constexpr std::size_t HEADER_SIZE = 108;  // EMR_HEADER with both extensions
constexpr std::size_t LF_FACESIZE = 32;

// Little-endian field writer.
struct ByteWriter {
    std::vector<std::uint8_t> bytes;

    void u16(std::uint16_t v) {
        bytes.push_back(static_cast<std::uint8_t>(v));
        bytes.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void u32(uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void f32(float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        u32(bits);
    }
    void rect(const Rect& r) {
        i32(clamp32(r.left));
        i32(clamp32(r.top));
        i32(clamp32(r.right));
        i32(clamp32(r.bottom));
    }
};

// Accumulates records and the header's counts, then assembles the file.
class MetafileBuilder {
public:
    MetafileBuilder() { out_.bytes.reserve(4096); }

    void createPen(uint32_t handle, uint32_t colour) {
        begin(emf::EMR_CREATEPEN);
        u32(handle);
        u32(PS_SOLID);
        i32(1);  // width x
        i32(1);  // width y (unused)
        u32(colour);
        end();
        useHandle(handle);
    }

    void createBrush(uint32_t handle, uint32_t colour) {
        begin(emf::EMR_CREATEBRUSHINDIRECT);
        u32(handle);
        u32(BS_SOLID);
        u32(colour);
        u32(0);  // hatch
        end();
        useHandle(handle);
    }

    void createFont(uint32_t handle, int32_t height) {
        begin(emf::EMR_EXTCREATEFONTINDIRECTW);
        u32(handle);
        i32(height);
        i32(0);  // width
        i32(0);  // escapement
        i32(0);  // orientation
        i32(emf::FW_BOLD);
        // italic, underline, strike-out, charset, out precision, clip precision,
        // quality, pitch and family: all 0
        for (int i = 0; i < 8; ++i)
            out_.bytes.push_back(0);
        const std::size_t faceLength = std::strlen(emf::FONT_FACE);
        for (std::size_t i = 0; i < LF_FACESIZE; ++i) {
            const char c = i < faceLength ? emf::FONT_FACE[i] : '\0';
            out_.bytes.push_back(static_cast<std::uint8_t>(c));  // UTF-16LE
            out_.bytes.push_back(0);
        }
        end();
        useHandle(handle);
    }

    void select(uint32_t handle) { handleRecord(emf::EMR_SELECTOBJECT, handle); }
    void remove(uint32_t handle) { handleRecord(emf::EMR_DELETEOBJECT, handle); }

    // Rectangle(left, top, right, bottom) as a GDI metafile device context
    // records it: corners put in order, and the box stored inclusive
    // (left..right-1, top..bottom-1), the area Rectangle() covers; players draw
    // EMR_RECTANGLE boxes inclusive of both edges. An empty rectangle draws
    // nothing and is not recorded.
    void rectangle(const Rect& r) {
        if (r.left == r.right || r.top == r.bottom)
            return;
        const Rect box{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right) - 1,
                       std::max(r.top, r.bottom) - 1};
        begin(emf::EMR_RECTANGLE);
        rectFields(box);
        end();
        include(box);
    }

    // ExtTextOutA at (x, y), ETO_OPAQUE, no clipping rectangle, no spacing
    // array. `box` estimates the area the text covers, for the bounds.
    void textOut(int64_t x, int64_t y, const std::string& text, const Rect& box) {
        begin(emf::EMR_EXTTEXTOUTA);
        const Rect inclusive{box.left, box.top, box.right - 1, box.bottom - 1};
        rectFields(inclusive);
        u32(emf::GM_COMPATIBLE);
        f32(2540.0f / 96.0f);  // page units to 0.01 mm
        f32(2540.0f / 96.0f);
        i32(clamp32(x));
        i32(clamp32(y));
        u32(static_cast<uint32_t>(text.size()));
        u32(76);  // offString: the string follows the fixed part
        u32(emf::ETO_OPAQUE);
        for (int i = 0; i < 4; ++i)
            i32(0);  // no clipping rectangle
        u32(0);      // offDx: no character spacing array
        out_.bytes.insert(out_.bytes.end(), text.begin(), text.end());
        while ((out_.bytes.size() - recordStart_) % 4 != 0)
            out_.bytes.push_back(0);
        end();
        if (!text.empty())
            include(inclusive);
    }

    std::vector<std::uint8_t> finish() {
        begin(emf::EMR_EOF);
        u32(0);   // palette entries
        u32(16);  // offset of the (absent) palette
        u32(20);  // size of this record, repeated at its end
        end();

        const Rect bounds = hasBounds_ ? bounds_ : Rect{0, 0, -1, -1};
        ByteWriter header;
        header.bytes.reserve(HEADER_SIZE + out_.bytes.size());
        header.u32(emf::EMR_HEADER);
        header.u32(HEADER_SIZE);
        header.rect(bounds);
        header.rect({toFrame(bounds.left), toFrame(bounds.top), toFrame(bounds.right), toFrame(bounds.bottom)});
        header.u32(0x464D4520);  // " EMF"
        header.u32(0x00010000);  // version
        header.u32(static_cast<uint32_t>(HEADER_SIZE + out_.bytes.size()));
        header.u32(records_ + 1);
        header.u16(static_cast<std::uint16_t>(maxHandle_ + 1));  // slot 0 is the metafile itself
        header.u16(0);
        header.u32(0);  // no description
        header.u32(0);
        header.u32(0);  // no palette
        header.i32(emf::DEVICE_WIDTH_PX);
        header.i32(emf::DEVICE_HEIGHT_PX);
        header.i32((emf::DEVICE_WIDTH_UM + 500) / 1000);
        header.i32((emf::DEVICE_HEIGHT_UM + 500) / 1000);
        header.u32(0);  // no pixel format
        header.u32(0);
        header.u32(0);  // not OpenGL
        header.i32(emf::DEVICE_WIDTH_UM);
        header.i32(emf::DEVICE_HEIGHT_UM);
        header.bytes.insert(header.bytes.end(), out_.bytes.begin(), out_.bytes.end());
        return std::move(header.bytes);
    }

private:
    static int64_t toFrame(int64_t px) {
        // 0.01 mm per pixel at 96 dpi is 2540 / 96, rounded to nearest.
        const int64_t scaled = px * 2540;
        return scaled >= 0 ? (scaled + 48) / 96 : -((-scaled + 48) / 96);
    }

    void begin(uint32_t type) {
        recordStart_ = out_.bytes.size();
        u32(type);
        u32(0);  // size, patched by end()
    }

    void end() {
        const uint32_t size = static_cast<uint32_t>(out_.bytes.size() - recordStart_);
        std::memcpy(&out_.bytes[recordStart_ + 4], &size, 4);
        ++records_;
    }

    void handleRecord(uint32_t type, uint32_t handle) {
        begin(type);
        u32(handle);
        end();
    }

    void useHandle(uint32_t handle) { maxHandle_ = std::max(maxHandle_, handle); }

    void include(const Rect& r) {
        if (r.right < r.left || r.bottom < r.top)
            return;  // nothing drawn
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

    void u32(uint32_t v) { out_.u32(v); }
    void i32(int32_t v) { out_.i32(v); }
    void f32(float v) { out_.f32(v); }
    void rectFields(const Rect& r) { out_.rect(r); }

    ByteWriter out_;
    std::size_t recordStart_ = 0;
    uint32_t records_ = 0;
    uint32_t maxHandle_ = 0;
    Rect bounds_{0, 0, -1, -1};
    bool hasBounds_ = false;
};

// Handle table slots: the white objects are deleted before the black ones are
// created, so both pairs use slots 1 and 2; the font takes slot 3.
constexpr uint32_t PEN_SLOT = 1;
constexpr uint32_t BRUSH_SLOT = 2;
constexpr uint32_t FONT_SLOT = 3;

void selectPenAndBrush(MetafileBuilder& emf, uint32_t colour) {
    emf.createPen(PEN_SLOT, colour);
    emf.select(PEN_SLOT);
    emf.createBrush(BRUSH_SLOT, colour);
    emf.select(BRUSH_SLOT);
}

void paintBackground(MetafileBuilder& emf, int64_t width, int64_t height) {
    selectPenAndBrush(emf, WHITE);
    emf.rectangle({0, 0, width, height});
    emf.remove(PEN_SLOT);
    emf.remove(BRUSH_SLOT);
}

// Whether the path names something other than a regular file (a device, a
// pipe, a directory).
bool isSpecialFile(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

bool writeFile(const std::string& file, const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty())
        return false;
    const bool special = isSpecialFile(file);
    std::FILE* f = std::fopen(file.c_str(), "wb");
    if (f == nullptr)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool closed = std::fclose(f) == 0;
    if (!(written && closed)) {
        if (!special)
            std::remove(file.c_str());  // never leave a partial file behind
        return false;
    }
    return true;
}

}  // namespace

std::vector<std::uint8_t> EmfPainter::barsMetafile(const int* widths, const int* heights, int count,
                                                   const std::string& text, int fontHeight, int textLength) {
    if (count <= 0)
        return {};
    int64_t total = 0;
    for (int i = 0; i < count; ++i)
        total += widths[i];

    MetafileBuilder emf;
    const int64_t firstHeight = 2 * static_cast<int64_t>(heights[0]);
    paintBackground(emf, 2 * total, fontHeight + firstHeight);

    selectPenAndBrush(emf, BLACK);
    int64_t x = 0;
    for (int j = 0; j < count; ++j) {
        if (j % 2 == 0)
            emf.rectangle({2 * x, 0, 2 * (x + widths[j]), 2 * static_cast<int64_t>(heights[j])});
        x += widths[j];
    }

    if (fontHeight > 0) {
        const std::size_t length =
            std::min(text.size(), static_cast<std::size_t>(std::max(textLength, 0)));
        // Centred on the assumption that each character is as wide as the font is high.
        const int64_t textWidth = static_cast<int64_t>(fontHeight) * textLength;
        int64_t tx = (2 * total - textWidth) / 2;
        if (tx < 0)
            tx = 0;
        emf.createFont(FONT_SLOT, fontHeight);
        emf.select(FONT_SLOT);
        emf.textOut(tx, firstHeight, text.substr(0, length),
                    {tx, firstHeight, tx + static_cast<int64_t>(fontHeight) * static_cast<int64_t>(length),
                     firstHeight + fontHeight});
        emf.remove(FONT_SLOT);
    }
    return emf.finish();
}

std::vector<std::uint8_t> EmfPainter::matrixMetafile(const int* modules, int rows, int columns) {
    if (rows <= 0 || columns <= 0)
        return {};
    MetafileBuilder emf;
    paintBackground(emf, 2 * static_cast<int64_t>(columns), 2 * static_cast<int64_t>(rows));
    selectPenAndBrush(emf, BLACK);
    for (int64_t r = 0; r < rows; ++r)
        for (int64_t c = 0; c < columns; ++c)
            if (modules[r * columns + c] == 0)
                emf.rectangle({2 * c, 2 * r, 2 * c + 2, 2 * r + 2});
    emf.remove(PEN_SLOT);
    emf.remove(BRUSH_SLOT);
    return emf.finish();
}

bool EmfPainter::paintBars(const std::string& file, const int* widths, const int* heights, int count,
                           const std::string& text, int fontHeight, int textLength) {
    return writeFile(file, barsMetafile(widths, heights, count, text, fontHeight, textLength));
}

bool EmfPainter::paintBars(const std::string& file, const int* widths, const int* heights, int count) {
    return paintBars(file, widths, heights, count, "", 0, 0);
}

bool EmfPainter::paintMatrix(const std::string& file, const int* modules, int rows, int columns) {
    return writeFile(file, matrixMetafile(modules, rows, columns));
}
