// Label sheets through the C API: the same bytes as the C++ API for the same
// labels, a file per page for formats other than PDF, and no PDF at all from a
// sheet freed before it was closed.

#include <korvane/korvane.h>
#include <korvane/korvane.hpp>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class MemorySink : public korvane::ByteSink {
public:
    korvane::Status append(std::string_view bytes) override {
        text.append(bytes);
        return korvane::Done{};
    }
    std::string text;
};

const char* const VALUES[] = {"590123412345", "400638133393", "501234567890", "978020137962", "871125300120"};

// Five EAN-13 on a 2x2 grid through the C API: two pages.
kv_status cSheet(const std::string& path, bool close, long long* pages) {
    kv_sheet_options options;
    kv_sheet_options_init(&options);
    options.columns = options.rows = 2;
    options.text_line = 1;
    options.cut_marks = 1;
    // T, R, B, L and the two gaps all different: each field reaches its own side.
    options.margin_top_mm = 7;
    options.margin_right_mm = 13;
    options.margin_bottom_mm = 19;
    options.margin_left_mm = 4;
    options.gap_horizontal_mm = 3;
    options.gap_vertical_mm = 5;
    char error[200];
    kv_sheet* sheet = nullptr;
    kv_status status = kv_sheet_open(&options, path.c_str(), nullptr, &sheet, error, sizeof error);
    EXPECT_EQ(status, KV_OK) << error;
    if (status != KV_OK)
        return status;
    for (const char* value : VALUES) {
        kv_symbol* symbol = nullptr;
        EXPECT_EQ(kv_encode("ean13", value, std::strlen(value), nullptr, &symbol, error, sizeof error), KV_OK);
        status = kv_sheet_add(sheet, symbol, nullptr, value, 1, error, sizeof error);
        EXPECT_EQ(status, KV_OK) << error;
        kv_symbol_free(symbol);
    }
    if (close)
        status = kv_sheet_close(sheet, error, sizeof error);
    *pages = kv_sheet_pages(sheet);
    kv_sheet_free(sheet);
    return status;
}

TEST(SheetCApi, TheSameBytesAsTheCppApi) {
    const fs::path dir = fs::temp_directory_path() / ("kv_sheet_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    long long pages = 0;
    ASSERT_EQ(cSheet((dir / "c.pdf").string(), true, &pages), KV_OK);
    EXPECT_EQ(pages, 2);

    korvane::SheetOptions options;
    options.columns = options.rows = 2;
    options.textLine = options.cutMarks = true;
    options.marginTopMm = 7;
    options.marginRightMm = 13;
    options.marginBottomMm = 19;
    options.marginLeftMm = 4;
    options.gapHorizontalMm = 3;
    options.gapVerticalMm = 5;
    const auto geometry = korvane::sheetGeometry(options);
    ASSERT_TRUE(geometry);
    MemorySink memory;
    const auto pdf = korvane::pdfPages(memory);
    korvane::SheetWriter writer(*geometry, *pdf);
    for (const char* value : VALUES) {
        const auto symbol = korvane::encode(korvane::Symbology::Ean13, value);
        ASSERT_TRUE(symbol);
        const auto label = korvane::layoutForCell(*symbol, {}, *geometry, true);
        ASSERT_TRUE(label);
        ASSERT_TRUE(writer.add(*label, value));
    }
    ASSERT_TRUE(writer.finish());
    EXPECT_TRUE(readFile(dir / "c.pdf") == memory.text);

    ASSERT_EQ(cSheet((dir / "page.svg").string(), true, &pages), KV_OK);
    EXPECT_TRUE(fs::exists(dir / "page-1.svg") && fs::exists(dir / "page-2.svg"));
    EXPECT_EQ(cSheet((dir / "unclosed.pdf").string(), false, &pages), KV_OK);
    EXPECT_EQ(pages, 1) << "the first page went into the file as it filled";
    EXPECT_FALSE(fs::exists(dir / "unclosed.pdf"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 3) << "no temporary file left";
    fs::remove_all(dir);
}

}  // namespace
