// EmfPainter's metafiles against the real GDI: each file is played back with
// PlayEnhMetaFile into a DIB section and compared pixel for pixel with the same
// drawing recorded directly through GDI calls (CreateEnhMetaFileA, the solid
// pens and brushes, Rectangle, a bold "Helvetica" font and ExtTextOutA with
// ETO_OPAQUE). The records GDI enumerates from our files are checked as well.

#include "EmfPainter.h"
#include "LinearSymbol.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Drawing {
    const char* label;
    std::vector<int> widths, heights;
    std::string text;
    int fontHeight;
};

Drawing fromSymbol(const char* label, int symbology, const std::string& code) {
    LinearSymbol s;
    s.symbology = symbology;
    s.code = code;
    s.processTilde = true;
    s.checkCharacter = true;
    s.buildSymbol();
    return {label, s.barWidths, s.barHeights, s.text, 20};
}

std::vector<Drawing> drawings() {
    return {
        {"three elements, text wider than the bars", {2, 1, 2}, {40, 40, 40}, "AB", 20},
        {"even count ends with a space", {1, 1, 3, 2}, {30, 30, 30, 30}, "", 0},
        {"taller bars after the first", {1, 1, 1, 2, 1}, {20, 20, 25, 25, 20}, "xyz", 16},
        fromSymbol("Code 39", 0, "WINE-123"),
        fromSymbol("Code 128", 13, "Gdi 2024"),
        fromSymbol("EAN-13 with guard bars", 10, "400638133393"),
        fromSymbol("UPC-E", 12, "04210000526"),
        fromSymbol("Postnet", 15, "55555"),
        fromSymbol("Interleaved 2 of 5", 2, "1234567890"),
    };
}

// The drawing of EmfPainter::paintBars made through GDI itself.
HENHMETAFILE recordWithGdi(const Drawing& d) {
    const int count = static_cast<int>(d.widths.size());
    int total = 0;
    for (int w : d.widths)
        total += w;
    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    LOGPEN whitePen = {PS_SOLID, {1, 1}, RGB(255, 255, 255)};
    LOGBRUSH whiteBrush = {BS_SOLID, RGB(255, 255, 255), 0};
    HPEN pen = CreatePenIndirect(&whitePen);
    HBRUSH brush = CreateBrushIndirect(&whiteBrush);
    SelectObject(dc, pen);
    SelectObject(dc, brush);
    Rectangle(dc, 0, 0, 2 * total, d.fontHeight + 2 * d.heights[0]);
    DeleteObject(pen);
    DeleteObject(brush);

    LOGPEN blackPen = {PS_SOLID, {1, 1}, RGB(0, 0, 0)};
    LOGBRUSH blackBrush = {BS_SOLID, RGB(0, 0, 0), 0};
    pen = CreatePenIndirect(&blackPen);
    brush = CreateBrushIndirect(&blackBrush);
    SelectObject(dc, pen);
    SelectObject(dc, brush);
    int x = 0;
    for (int j = 0; j < count; ++j) {
        if (j % 2 == 0)
            Rectangle(dc, 2 * x, 0, 2 * (x + d.widths[j]), 2 * d.heights[j]);
        x += d.widths[j];
    }
    if (d.fontHeight > 0) {
        const int length = static_cast<int>(d.text.size());
        int tx = (2 * total - d.fontHeight * length) / 2;
        if (tx < 0)
            tx = 0;
        HFONT font = CreateFontA(d.fontHeight, 0, 0, 0, 700, FALSE, FALSE, FALSE, 0, 0, 0, 0, 0, "Helvetica");
        SelectObject(dc, font);
        ExtTextOutA(dc, tx, 2 * d.heights[0], ETO_OPAQUE, nullptr, d.text.c_str(), length, nullptr);
        DeleteObject(font);
    }
    HENHMETAFILE emf = CloseEnhMetaFile(dc);
    DeleteObject(pen);
    DeleteObject(brush);
    return emf;
}

HENHMETAFILE fromBytes(const std::vector<std::uint8_t>& bytes) {
    return SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data());
}

ENHMETAHEADER headerOf(HENHMETAFILE emf) {
    ENHMETAHEADER h{};
    GetEnhMetaFileHeader(emf, sizeof h, &h);
    return h;
}

// A 32-bit top-down DIB section filled with grey, so that the white
// background rectangle shows as well as the black bars.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        bits_ = static_cast<std::uint32_t*>(bits);
        for (int i = 0; i < width * height; ++i)
            bits_[i] = 0x808080;
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    void play(HENHMETAFILE emf, const RECT& where) {
        PlayEnhMetaFile(dc_, emf, &where);
        GdiFlush();
    }
    std::uint32_t at(int x, int y) const { return bits_[y * width_ + x] & 0xFFFFFF; }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    std::uint32_t* bits_;
};

std::string describeDifferences(const Canvas& ours, const Canvas& gdi) {
    int differing = 0;
    std::ostringstream first;
    for (int y = 0; y < ours.height(); ++y)
        for (int x = 0; x < ours.width(); ++x)
            if (ours.at(x, y) != gdi.at(x, y)) {
                if (differing < 8)
                    first << " (" << x << "," << y << ") ours " << std::hex << ours.at(x, y) << " gdi "
                          << gdi.at(x, y) << std::dec;
                ++differing;
            }
    if (differing == 0)
        return "";
    return std::to_string(differing) + " pixels differ, first:" + first.str();
}

struct Record {
    DWORD type;
    std::vector<std::uint8_t> bytes;
};

int CALLBACK collect(HDC, HANDLETABLE*, const ENHMETARECORD* r, int, LPARAM data) {
    auto* records = reinterpret_cast<std::vector<Record>*>(data);
    const auto* p = reinterpret_cast<const std::uint8_t*>(r);
    records->push_back({r->iType, std::vector<std::uint8_t>(p, p + r->nSize)});
    return 1;
}

std::vector<Record> recordsOf(HENHMETAFILE emf) {
    std::vector<Record> records;
    EnumEnhMetaFile(nullptr, emf, collect, &records, nullptr);
    return records;
}

std::string typeList(const std::vector<Record>& records) {
    std::string s;
    for (const Record& r : records)
        s += std::to_string(r.type) + " ";
    return s;
}

// Plays a metafile at one device pixel per logical unit: into the rectangle
// of its own bounds, so that the frame maps back onto them.
RECT ownBounds(HENHMETAFILE emf) {
    const RECTL b = headerOf(emf).rclBounds;
    return {b.left, b.top, b.right, b.bottom};
}

HENHMETAFILE ourMetafile(const Drawing& d) {
    return fromBytes(EmfPainter::barsMetafile(d.widths.data(), d.heights.data(), static_cast<int>(d.widths.size()),
                                              d.text, d.fontHeight, static_cast<int>(d.text.size())));
}

int darkPixelsBelow(const Canvas& c, int top) {
    int dark = 0;
    for (int y = top; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x)
            dark += c.at(x, y) == 0;
    return dark;
}

TEST(EmfPlayback, DrawsPixelForPixelLikeGdi) {
    for (const Drawing& d : drawings()) {
        SCOPED_TRACE(d.label);
        ASSERT_FALSE(d.widths.empty());
        HENHMETAFILE ours = ourMetafile(d);
        ASSERT_NE(ours, nullptr);
        HENHMETAFILE gdi = recordWithGdi(d);
        ASSERT_NE(gdi, nullptr);
        // Room around the drawing shows anything drawn outside it.
        const RECTL b = headerOf(gdi).rclBounds;
        Canvas a(b.right + 16, b.bottom + 16), g(b.right + 16, b.bottom + 16);
        a.play(ours, ownBounds(ours));
        g.play(gdi, ownBounds(gdi));
        EXPECT_EQ(describeDifferences(a, g), "");
        if (!d.text.empty() && d.fontHeight > 0) {  // the text really is drawn, so it is compared too
            EXPECT_GT(darkPixelsBelow(g, 2 * d.heights[0]), 0);
        }
        DeleteEnhMetaFile(ours);
        DeleteEnhMetaFile(gdi);
    }
}

// What a player reads back: the same record sequence as GDI's own recording
// (GDI stores ExtTextOutA as EMR_EXTTEXTOUTW), the same pens, brushes and
// rectangles, and the font as asked for.
TEST(EmfPlayback, RecordsAreGdisRecords) {
    for (const Drawing& d : drawings()) {
        SCOPED_TRACE(d.label);
        ASSERT_FALSE(d.widths.empty());
        HENHMETAFILE ours = ourMetafile(d);
        HENHMETAFILE gdi = recordWithGdi(d);
        const std::vector<Record> ro = recordsOf(ours), rg = recordsOf(gdi);
        DeleteEnhMetaFile(ours);
        DeleteEnhMetaFile(gdi);

        std::string ourTypes, gdiTypes;
        for (const Record& r : ro)
            ourTypes += std::to_string(r.type == EMR_EXTTEXTOUTA ? EMR_EXTTEXTOUTW : r.type) + " ";
        EXPECT_EQ(ourTypes, typeList(rg));
        ASSERT_EQ(ro.size(), rg.size());

        // The rectangles GDI should find: the background, then every bar,
        // stored inclusive of their right and bottom edges.
        std::vector<RECTL> expected;
        int total = 0;
        for (int w : d.widths)
            total += w;
        expected.push_back({0, 0, 2 * total - 1, d.fontHeight + 2 * d.heights[0] - 1});
        int x = 0;
        for (std::size_t j = 0; j < d.widths.size(); ++j) {
            if (j % 2 == 0)
                expected.push_back({2 * x, 0, 2 * (x + d.widths[j]) - 1, 2 * d.heights[j] - 1});
            x += d.widths[j];
        }
        std::size_t rectangles = 0;
        for (std::size_t i = 0; i < ro.size(); ++i) {
            const Record& o = ro[i];
            const Record& g = rg[i];
            if (o.type == EMR_RECTANGLE) {
                const auto* ourBox = reinterpret_cast<const EMRRECTANGLE*>(o.bytes.data());
                const auto* gdiBox = reinterpret_cast<const EMRRECTANGLE*>(g.bytes.data());
                ASSERT_LT(rectangles, expected.size());
                const RECTL& e = expected[rectangles++];
                EXPECT_EQ(std::memcmp(&ourBox->rclBox, &e, sizeof e), 0) << "rectangle " << rectangles;
                EXPECT_EQ(std::memcmp(&ourBox->rclBox, &gdiBox->rclBox, sizeof e), 0) << "rectangle " << rectangles;
            } else if (o.type == EMR_CREATEPEN) {
                const auto* op = reinterpret_cast<const EMRCREATEPEN*>(o.bytes.data());
                const auto* gp = reinterpret_cast<const EMRCREATEPEN*>(g.bytes.data());
                EXPECT_EQ(op->ihPen, gp->ihPen);
                EXPECT_EQ(op->lopn.lopnStyle, gp->lopn.lopnStyle);
                EXPECT_EQ(op->lopn.lopnWidth.x, gp->lopn.lopnWidth.x);
                EXPECT_EQ(op->lopn.lopnColor, gp->lopn.lopnColor);
            } else if (o.type == EMR_CREATEBRUSHINDIRECT) {
                EXPECT_EQ(o.bytes, g.bytes);
            } else if (o.type == EMR_SELECTOBJECT || o.type == EMR_DELETEOBJECT) {
                EXPECT_EQ(o.bytes, g.bytes);
            } else if (o.type == EMR_EXTCREATEFONTINDIRECTW) {
                const auto* of = reinterpret_cast<const EMREXTCREATEFONTINDIRECTW*>(o.bytes.data());
                const auto* gf = reinterpret_cast<const EMREXTCREATEFONTINDIRECTW*>(g.bytes.data());
                // GDI leaves the rest of the face name buffer undefined: compare up to the terminator.
                LOGFONTW ol = of->elfw.elfLogFont, gl = gf->elfw.elfLogFont;
                EXPECT_EQ(std::wstring(ol.lfFaceName), L"Helvetica");
                EXPECT_EQ(std::wstring(gl.lfFaceName), L"Helvetica");
                std::memset(ol.lfFaceName, 0, sizeof ol.lfFaceName);
                std::memset(gl.lfFaceName, 0, sizeof gl.lfFaceName);
                EXPECT_EQ(std::memcmp(&ol, &gl, sizeof ol), 0);
                EXPECT_EQ(of->ihFont, gf->ihFont);
            } else if (o.type == EMR_EXTTEXTOUTA) {
                const auto* ot = reinterpret_cast<const EMREXTTEXTOUTA*>(o.bytes.data());
                const auto* gt = reinterpret_cast<const EMREXTTEXTOUTW*>(g.bytes.data());
                EXPECT_EQ(ot->emrtext.ptlReference.x, gt->emrtext.ptlReference.x);
                EXPECT_EQ(ot->emrtext.ptlReference.y, gt->emrtext.ptlReference.y);
                EXPECT_EQ(ot->emrtext.nChars, gt->emrtext.nChars);
                EXPECT_EQ(ot->emrtext.fOptions, static_cast<DWORD>(ETO_OPAQUE));
                EXPECT_EQ(ot->emrtext.fOptions, gt->emrtext.fOptions);
                EXPECT_EQ(ot->iGraphicsMode, gt->iGraphicsMode);
                const char* text = reinterpret_cast<const char*>(o.bytes.data()) + ot->emrtext.offString;
                EXPECT_EQ(std::string(text, ot->emrtext.nChars), d.text);
            } else {
                EXPECT_TRUE(o.type == EMR_HEADER || o.type == EMR_EOF) << "record type " << o.type;
            }
        }
        EXPECT_EQ(rectangles, expected.size());
    }
}

// The header's bounds are GDI's for bars alone. Text is measured by GDI with
// the real font; the writer estimates it at one font height per character, so
// there the bounds only have to cover the bars and background.
TEST(EmfPlayback, HeaderBoundsAreGdis) {
    for (const Drawing& d : drawings()) {
        SCOPED_TRACE(d.label);
        ASSERT_FALSE(d.widths.empty());
        HENHMETAFILE ours = ourMetafile(d);
        HENHMETAFILE gdi = recordWithGdi(d);
        const ENHMETAHEADER ho = headerOf(ours), hg = headerOf(gdi);
        DeleteEnhMetaFile(ours);
        DeleteEnhMetaFile(gdi);
        EXPECT_EQ(ho.nHandles, hg.nHandles);
        EXPECT_EQ(ho.nRecords, hg.nRecords);
        if (d.fontHeight == 0 || d.text.empty()) {
            EXPECT_EQ(std::memcmp(&ho.rclBounds, &hg.rclBounds, sizeof(RECTL)), 0)
                << ho.rclBounds.right << "x" << ho.rclBounds.bottom << " against " << hg.rclBounds.right << "x"
                << hg.rclBounds.bottom;
        } else {
            int total = 0, tallest = 0;
            for (std::size_t j = 0; j < d.widths.size(); ++j) {
                total += d.widths[j];
                tallest = std::max(tallest, d.heights[j]);
            }
            EXPECT_EQ(ho.rclBounds.left, 0);
            EXPECT_EQ(ho.rclBounds.top, 0);
            EXPECT_GE(ho.rclBounds.right, 2 * total - 1);
            EXPECT_GE(ho.rclBounds.bottom, std::max(2 * tallest, d.fontHeight + 2 * d.heights[0]) - 1);
        }
    }
}

// A file written by paintBars opens with GetEnhMetaFileA and plays like the
// bytes it was made from.
TEST(EmfPlayback, WrittenFileOpensInGdi) {
    const Drawing d = fromSymbol("Code 39", 0, "FILE");
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string path = std::string(dir) + "emf_playback_test.emf";
    EmfPainter painter;
    ASSERT_TRUE(painter.paintBars(path, d.widths.data(), d.heights.data(), static_cast<int>(d.widths.size()), d.text,
                                  20, static_cast<int>(d.text.size())));
    HENHMETAFILE fromFile = GetEnhMetaFileA(path.c_str());
    ASSERT_NE(fromFile, nullptr);
    HENHMETAFILE gdi = recordWithGdi(d);
    const RECTL b = headerOf(gdi).rclBounds;
    Canvas a(b.right + 16, b.bottom + 16), g(b.right + 16, b.bottom + 16);
    a.play(fromFile, ownBounds(fromFile));
    g.play(gdi, ownBounds(gdi));
    EXPECT_EQ(describeDifferences(a, g), "");
    DeleteEnhMetaFile(fromFile);
    DeleteEnhMetaFile(gdi);
    DeleteFileA(path.c_str());
}

// paintMatrix against the same squares drawn through GDI.
TEST(EmfPlayback, MatrixDrawsLikeGdi) {
    const int rows = 5, columns = 7;
    std::vector<int> modules(rows * columns);
    for (int i = 0; i < rows * columns; ++i)
        modules[i] = (i * 7 + i / 3) % 3 == 0 ? 0 : 0xFFFFFF;
    HENHMETAFILE ours = fromBytes(EmfPainter::matrixMetafile(modules.data(), rows, columns));
    ASSERT_NE(ours, nullptr);

    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    LOGPEN whitePen = {PS_SOLID, {1, 1}, RGB(255, 255, 255)};
    LOGBRUSH whiteBrush = {BS_SOLID, RGB(255, 255, 255), 0};
    HPEN pen = CreatePenIndirect(&whitePen);
    HBRUSH brush = CreateBrushIndirect(&whiteBrush);
    SelectObject(dc, pen);
    SelectObject(dc, brush);
    Rectangle(dc, 0, 0, 2 * columns, 2 * rows);
    DeleteObject(pen);
    DeleteObject(brush);
    pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    brush = CreateSolidBrush(RGB(0, 0, 0));
    SelectObject(dc, pen);
    SelectObject(dc, brush);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            if (modules[r * columns + c] == 0)
                Rectangle(dc, 2 * c, 2 * r, 2 * c + 2, 2 * r + 2);
    DeleteObject(pen);
    DeleteObject(brush);
    HENHMETAFILE gdi = CloseEnhMetaFile(dc);

    Canvas a(2 * columns + 8, 2 * rows + 8), g(2 * columns + 8, 2 * rows + 8);
    a.play(ours, ownBounds(ours));
    g.play(gdi, ownBounds(gdi));
    EXPECT_EQ(describeDifferences(a, g), "");
    EXPECT_EQ(typeList(recordsOf(ours)), typeList(recordsOf(gdi)));
    DeleteEnhMetaFile(ours);
    DeleteEnhMetaFile(gdi);
}

}  // namespace
