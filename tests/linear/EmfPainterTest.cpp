// The EMF writer, checked by reading its files back record by record.

#include "EmfPainter.h"
#include "EmfReader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

using testsupport::EmfFile;
using testsupport::EmfRect;
using testsupport::readEmf;

namespace {

constexpr std::uint32_t WHITE = 0xFFFFFF;
constexpr std::uint32_t BLACK = 0;

EmfFile bars(std::vector<int> widths, std::vector<int> heights, const std::string& text, int fontHeight) {
    const auto bytes = EmfPainter::barsMetafile(widths.data(), heights.data(), static_cast<int>(widths.size()),
                                                text, fontHeight, static_cast<int>(text.size()));
    EmfFile f = readEmf(bytes);
    EXPECT_EQ(f.error, "");
    return f;
}

TEST(EmfPainter, BarsTextAndBackground) {
    const EmfFile f = bars({2, 1, 2}, {40, 40, 40}, "AB", 20);
    ASSERT_EQ(f.rectangles.size(), 3u);
    EXPECT_EQ(f.rectangles[0].rect, (EmfRect{0, 0, 10, 100}));
    EXPECT_EQ(f.rectangles[0].penColour, WHITE);
    EXPECT_EQ(f.rectangles[0].brushColour, WHITE);
    EXPECT_EQ(f.rectangles[1].rect, (EmfRect{0, 0, 4, 80}));
    EXPECT_EQ(f.rectangles[2].rect, (EmfRect{6, 0, 10, 80}));
    EXPECT_EQ(f.rectangles[2].penColour, BLACK);
    EXPECT_EQ(f.rectangles[2].brushColour, BLACK);
    ASSERT_EQ(f.texts.size(), 1u);
    EXPECT_EQ(f.texts[0].x, 0);  // (10 - 40) / 2 is negative
    EXPECT_EQ(f.texts[0].y, 80);
    EXPECT_EQ(f.texts[0].text, "AB");
    EXPECT_EQ(f.texts[0].options, 2u);  // ETO_OPAQUE
    EXPECT_EQ(f.texts[0].fontHeight, 20);
    EXPECT_EQ(f.texts[0].fontWeight, 700);
    EXPECT_EQ(f.texts[0].face, "Helvetica");
    EXPECT_EQ(f.handles, 4);
}

TEST(EmfPainter, RecordSequenceIsWhatGdiRecords) {
    const EmfFile f = bars({3}, {10}, "X", 20);
    const std::vector<std::uint32_t> expected = {
        1,                                  // header
        38, 37, 39, 37, 43, 40, 40,         // white pen and brush, background, deleted
        38, 37, 39, 37, 43,                 // black pen and brush, one bar
        82, 37, 83, 40,                     // font, text, font deleted
        14,                                 // end of file
    };
    std::vector<std::uint32_t> types;
    for (const auto& r : f.records)
        types.push_back(r.type);
    EXPECT_EQ(types, expected);
}

TEST(EmfPainter, TextIsCentredOnFontHeightWidths) {
    const EmfFile f = bars({50, 50}, {30, 30}, "ABCDE", 20);
    ASSERT_EQ(f.texts.size(), 1u);
    EXPECT_EQ(f.texts[0].x, 50);  // (200 - 100) / 2
}

TEST(EmfPainter, CountParityAndFontHeightZero) {
    const EmfFile even = bars({1, 2, 3, 4}, {20, 20, 20, 20}, "", 0);
    ASSERT_EQ(even.rectangles.size(), 3u);  // background and two bars; the last space draws nothing
    EXPECT_EQ(even.rectangles[0].rect, (EmfRect{0, 0, 20, 40}));
    EXPECT_TRUE(even.texts.empty());
    EXPECT_EQ(even.handles, 3);
    EXPECT_EQ(even.bounds, (EmfRect{0, 0, 19, 39}));
}

TEST(EmfPainter, HeaderBoundsAndFrameCoverTheDrawing) {
    // A guard bar taller than the first element reaches beyond the background.
    const EmfFile f = bars({1, 1, 1}, {10, 1, 15}, "", 0);
    EXPECT_EQ(f.bounds, (EmfRect{0, 0, 5, 29}));
    EXPECT_EQ(f.frame, (EmfRect{0, 0, (5 * 2540 + 48) / 96, (29 * 2540 + 48) / 96}));
    EXPECT_EQ(f.deviceWidthPx, 1920);
    EXPECT_EQ(f.deviceHeightPx, 1080);
    EXPECT_EQ(f.deviceWidthMm, 508);
}

TEST(EmfPainter, NoElementsWritesNoFile) {
    const auto path = (std::filesystem::temp_directory_path() / "emf_painter_empty.emf").string();
    std::remove(path.c_str());
    EmfPainter painter;
    EXPECT_FALSE(painter.paintBars(path, nullptr, nullptr, 0, "x", 20, 1));
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(EmfPainter, FileOnDiskMatchesTheMemoryImage) {
    const auto path = (std::filesystem::temp_directory_path() / "emf_painter_bars.emf").string();
    const int widths[] = {1, 1, 3};
    const int heights[] = {9, 9, 9};
    EmfPainter painter;
    ASSERT_TRUE(painter.paintBars(path, widths, heights, 3));
    EXPECT_EQ(testsupport::readFileBytes(path), EmfPainter::barsMetafile(widths, heights, 3, "", 0, 0));
    std::remove(path.c_str());
    EXPECT_FALSE(painter.paintBars("/nonexistent-dir/x.emf", widths, heights, 3));
}

TEST(EmfPainter, FailedWriteNeverRemovesADevice) {
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    const int widths[] = {1};
    const int heights[] = {9};
    EmfPainter painter;
    EXPECT_FALSE(painter.paintBars("/dev/full", widths, heights, 1));
    EXPECT_TRUE(std::filesystem::exists("/dev/full"));
}

TEST(EmfPainter, MatrixDrawsDarkModulesOnly) {
    const int modules[] = {0, 1, 5, 0};  // 0 is dark
    const EmfFile f = readEmf(EmfPainter::matrixMetafile(modules, 2, 2));
    ASSERT_EQ(f.error, "");
    ASSERT_EQ(f.rectangles.size(), 3u);
    EXPECT_EQ(f.rectangles[0].rect, (EmfRect{0, 0, 4, 4}));
    EXPECT_EQ(f.rectangles[1].rect, (EmfRect{0, 0, 2, 2}));
    EXPECT_EQ(f.rectangles[2].rect, (EmfRect{2, 2, 4, 4}));
    EXPECT_EQ(f.records[f.records.size() - 2].type, 40u);  // the black objects are deleted before the end
}

TEST(EmfPainter, HugeSizesSaturateInsteadOfOverflowing) {
    const EmfFile f = bars({2000000000, 5}, {2000000000, 1}, "T", 20);
    ASSERT_EQ(f.rectangles.size(), 2u);
    EXPECT_EQ(f.rectangles[1].rect.right, 2147483647);
    EXPECT_EQ(f.rectangles[1].rect.bottom, 2147483647);
}

}  // namespace
