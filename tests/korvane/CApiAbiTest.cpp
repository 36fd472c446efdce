// The C API's option structs carry their size: a caller whose header is older
// than the library (its structs end early) or newer (they go on past the
// library's) gets what a caller with the library's own header gets, and the
// library neither reads nor writes past the caller's size. The structs sit in
// buffers followed by guard bytes: a write past the size changes a guard, and
// a read past it takes a guard's 0xA5 bytes for a field.
// (Programs built against the 2.0 header, without sizes: tests/consumer/previous_abi.c.)

#include <korvane/korvane.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr unsigned char GUARD = 0xA5;

// A caller's struct of `size` bytes, followed by guards.
template <typename Options>
class CallerStruct {
public:
    explicit CallerStruct(std::size_t size) : size_(size), bytes_(size + 64, GUARD) {}
    Options* get() { return reinterpret_cast<Options*>(bytes_.data()); }
    bool guardsIntact() const {
        return std::all_of(bytes_.begin() + static_cast<std::ptrdiff_t>(size_), bytes_.end(),
                           [](unsigned char b) { return b == GUARD; });
    }

private:
    std::size_t size_;
    std::vector<unsigned char> bytes_;
};

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// What the C API makes of one symbol with these options: its size in modules,
// or the error.
std::string encoded(const char* symbology, const char* data, const kv_encode_options* o) {
    kv_symbol* symbol = nullptr;
    char error[200] = "";
    if (kv_encode(symbology, data, std::strlen(data), o, &symbol, error, sizeof error) != KV_OK)
        return error;
    const std::string made =
        std::to_string(kv_symbol_width_modules(symbol)) + "x" + std::to_string(kv_symbol_height_modules(symbol));
    kv_symbol_free(symbol);
    return made;
}

std::string laidOut(const kv_layout_options* o) {
    kv_symbol* symbol = nullptr;
    kv_drawing* drawing = nullptr;
    char error[200] = "";
    std::string made;
    if (kv_encode("code128", "ABC", 3, nullptr, &symbol, error, sizeof error) != KV_OK ||
        kv_layout(symbol, o, &drawing, error, sizeof error) != KV_OK)
        made = error;
    else
        made = std::to_string(kv_drawing_width(drawing)) + "x" + std::to_string(kv_drawing_height(drawing));
    kv_drawing_free(drawing);
    kv_symbol_free(symbol);
    return made;
}

// The bytes of a sheet of three labels, two to a page.
std::string sheet(const kv_sheet_options* o, const kv_layout_options* layout) {
    const fs::path path = fs::temp_directory_path() / ("kv_abi_" + std::to_string(::getpid()) + ".pdf");
    kv_symbol* symbol = nullptr;
    kv_sheet* s = nullptr;
    char error[200] = "";
    std::string made;
    if (kv_encode("ean13", "590123412345", 12, nullptr, &symbol, error, sizeof error) != KV_OK ||
        kv_sheet_open(o, path.c_str(), nullptr, &s, error, sizeof error) != KV_OK)
        made = error;
    for (int i = 0; s != nullptr && made.empty() && i < 3; ++i)
        if (kv_sheet_add(s, symbol, layout, "label", 1, error, sizeof error) != KV_OK)
            made = error;
    if (s != nullptr && made.empty())
        made = kv_sheet_close(s, error, sizeof error) == KV_OK ? readFile(path) : error;
    kv_sheet_free(s);
    kv_symbol_free(symbol);
    fs::remove(path);
    return made;
}

struct SizeCase {
    const char* label;
    std::size_t encodeSize, layoutSize, sheetSize;
};

// Sizes a caller's header might give: ending before a field appended later
// (Macro PDF417, rotation, colours), or going on past the library's struct.
const SizeCase SIZE_CASES[] = {
    {"older header", offsetof(kv_encode_options, pdf_file_name), offsetof(kv_layout_options, rotation),
     offsetof(kv_sheet_options, foreground)},
    {"older header, Data Matrix fields and after missing", offsetof(kv_encode_options, dm_rows),
     offsetof(kv_layout_options, foreground), offsetof(kv_sheet_options, cut_marks)},
    {"newer header", sizeof(kv_encode_options) + 24, sizeof(kv_layout_options) + 24, sizeof(kv_sheet_options) + 24},
};

TEST(CApiAbi, StructsOfAnotherSizeGiveWhatTheLibrarysOwnGive) {
    for (const SizeCase& c : SIZE_CASES) {
        SCOPED_TRACE(c.label);
        CallerStruct<kv_encode_options> e(c.encodeSize);
        kv_encode_options_init_sized(e.get(), c.encodeSize);
        EXPECT_TRUE(e.guardsIntact());
        EXPECT_EQ(e.get()->size, c.encodeSize);
        EXPECT_EQ(encoded("pdf417", "PDF417 label 42", e.get()), encoded("pdf417", "PDF417 label 42", nullptr));
        e.get()->qr_level = 3;  // in every caller's struct
        kv_encode_options full;
        kv_encode_options_init(&full);
        full.qr_level = 3;
        EXPECT_EQ(encoded("qr", "https://example.com", e.get()), encoded("qr", "https://example.com", &full));
        EXPECT_TRUE(e.guardsIntact());

        CallerStruct<kv_layout_options> l(c.layoutSize);
        kv_layout_options_init_sized(l.get(), c.layoutSize);
        EXPECT_TRUE(l.guardsIntact());
        l.get()->dpi = 0;
        l.get()->module_dots = 3;
        kv_layout_options fullLayout;
        kv_layout_options_init(&fullLayout);
        fullLayout.dpi = 0;
        fullLayout.module_dots = 3;
        EXPECT_EQ(laidOut(l.get()), laidOut(&fullLayout));

        CallerStruct<kv_sheet_options> s(c.sheetSize);
        kv_sheet_options_init_sized(s.get(), c.sheetSize);
        EXPECT_TRUE(s.guardsIntact());
        s.get()->columns = 2;
        s.get()->rows = 1;
        kv_sheet_options fullSheet;
        kv_sheet_options_init(&fullSheet);
        fullSheet.columns = 2;
        fullSheet.rows = 1;
        const std::string bytes = sheet(&fullSheet, &fullLayout);
        EXPECT_EQ(bytes.compare(0, 5, "%PDF-"), 0) << bytes;
        EXPECT_TRUE(sheet(s.get(), l.get()) == bytes);
        EXPECT_TRUE(l.guardsIntact() && s.guardsIntact());
    }
}

TEST(CApiAbi, AStructWithoutItsSizeIsRefused) {
    kv_encode_options e{};
    kv_layout_options l{};
    kv_sheet_options s{};
    char error[200] = "";
    kv_symbol* symbol = nullptr;
    EXPECT_EQ(kv_encode("ean13", "590123412345", 12, &e, &symbol, error, sizeof error), KV_INVALID_ARGUMENT);
    EXPECT_STREQ(error, "the options' size is 0: start them from their kv_*_options_init");
    ASSERT_EQ(kv_encode("ean13", "590123412345", 12, nullptr, &symbol, error, sizeof error), KV_OK);
    kv_drawing* drawing = nullptr;
    EXPECT_EQ(kv_layout(symbol, &l, &drawing, error, sizeof error), KV_INVALID_ARGUMENT);
    kv_sheet* opened = nullptr;
    EXPECT_EQ(kv_sheet_open(&s, "never.pdf", nullptr, &opened, error, sizeof error), KV_INVALID_ARGUMENT);
    EXPECT_EQ(opened, nullptr);
    kv_symbol_free(symbol);

    // Too small to hold the size: nothing written.
    CallerStruct<kv_encode_options> tiny(sizeof(std::uint64_t) - 1);
    kv_encode_options_init_sized(tiny.get(), sizeof(std::uint64_t) - 1);
    EXPECT_TRUE(tiny.guardsIntact());
}

}  // namespace
