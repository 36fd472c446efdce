// The C API sets an option by name from the command's text with the command's
// acceptance and messages: every row of tests/options/parity.json (the table
// the Python and JavaScript tests hold against the command) set through
// kv_set_option() or kv_set_layout_option() and through setEncodeOption() or
// setLayoutOption() gives the same refusals, and what both accept draws the
// same SVG, or fails with the same message, as the row's "refused" says the
// command does.

#include <korvane/korvane.h>
#include <korvane/korvane.hpp>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using Settings = std::vector<std::pair<std::string, std::string>>;

// The options of a row as the command is given them: "--name value", or "--name" alone for a flag.
Settings optionsOf(const nlohmann::json& args) {
    Settings given;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string arg = args[i];
        const bool valued = i + 1 < args.size() && args[i + 1].get<std::string>().rfind("--", 0) != 0;
        given.emplace_back(arg.substr(2), valued ? args[++i].get<std::string>() : "");
    }
    return given;
}

// Options set both ways: the C structs and the library's.
struct Both {
    kv_encode_options encodeC;
    kv_layout_options layoutC;
    korvane::EncodeOptions encode;
    korvane::LayoutOptions layout;
    Both() {
        kv_encode_options_init(&encodeC);
        kv_layout_options_init(&layoutC);
    }
};

// Sets one option both ways; the two agree on whether it is taken and why not.
bool setBoth(Both& both, const std::string& name, const std::string& text, const std::string& what) {
    char error[256] = "";
    const bool layout = korvane::findLayoutOption(name) != nullptr;
    const kv_status status = layout ? kv_set_layout_option(&both.layoutC, name.c_str(), text.c_str(), error, sizeof error)
                                    : kv_set_option(&both.encodeC, name.c_str(), text.c_str(), error, sizeof error);
    const korvane::Status set = layout ? korvane::setLayoutOption(both.layout, name, text)
                                       : korvane::setEncodeOption(both.encode, name, text);
    EXPECT_EQ(status == KV_OK, static_cast<bool>(set)) << what << ": " << error;
    if (!set) {
        EXPECT_EQ(status, KV_INVALID_OPTION) << what;
        EXPECT_EQ(error, name + ": " + set.error().message) << what;
    }
    return set && status == KV_OK;
}

// The symbol's SVG, or the error's message.
std::string drawnByC(const std::string& symbology, const std::string& data, const Both& both) {
    char error[256] = "";
    kv_symbol* symbol = nullptr;
    if (kv_encode(symbology.c_str(), data.data(), data.size(), &both.encodeC, &symbol, error, sizeof error) != KV_OK)
        return std::string("refused: ") + error;
    kv_drawing* drawing = nullptr;
    unsigned char* bytes = nullptr;
    size_t length = 0;
    std::string out = "not drawn";
    if (kv_layout(symbol, &both.layoutC, &drawing, error, sizeof error) != KV_OK)
        out = std::string("refused: ") + error;
    else if (kv_write(drawing, "svg", &bytes, &length, error, sizeof error) == KV_OK)
        out.assign(reinterpret_cast<const char*>(bytes), length);
    kv_free(bytes);
    kv_drawing_free(drawing);
    kv_symbol_free(symbol);
    return out;
}

std::string drawnByCpp(const std::string& symbology, const std::string& data, const Both& both) {
    const korvane::Result<korvane::Symbol> symbol = korvane::encode(std::string_view(symbology), data, both.encode);
    if (!symbol)
        return "refused: " + symbol.error().message;
    const korvane::Result<korvane::Drawing> drawing = korvane::layout(*symbol, both.layout);
    if (!drawing)
        return "refused: " + drawing.error().message;
    const korvane::Result<korvane::Written> svg = korvane::write(*drawing, korvane::Format::Svg);
    return svg ? std::string(svg->bytes.begin(), svg->bytes.end()) : "not drawn";
}

TEST(CApiParity, OptionsByNameAsTheCommandTakesThem) {
    std::ifstream file(PARITY_JSON);
    ASSERT_TRUE(file) << PARITY_JSON;
    const nlohmann::json table = nlohmann::json::parse(file);
    int checked = 0;
    for (const nlohmann::json& row : table) {
        const std::string what = row["symbology"].get<std::string>() + " " + row["args"].dump();
        Both both;
        bool accepted = true;
        // Kept to the end: the C options' texts point into it.
        const Settings given = optionsOf(row["args"]);
        for (const auto& [name, text] : given)
            accepted = setBoth(both, name, text, what) && accepted;
        const std::string data = row["data"];
        const std::string ours = accepted ? drawnByC(row["symbology"], data, both) : "refused";
        if (accepted) {
            EXPECT_EQ(ours, drawnByCpp(row["symbology"], data, both)) << what;
        }
        EXPECT_EQ(ours.rfind("refused", 0) == 0, row.value("refused", false)) << what << ": " << ours.substr(0, 80);
        ++checked;
    }
    EXPECT_GE(checked, 40);
}

// The fields of the option alone change; texts point into the text given; a
// struct that does not say its size, or a name that is none, is refused.
TEST(CApiParity, SetOptionChangesItsFieldsAlone) {
    kv_encode_options c;
    kv_encode_options_init(&c);
    kv_encode_options before = c;
    const std::string member = "2/3:ORDER";
    ASSERT_EQ(kv_set_option(&c, "structured", member.c_str(), nullptr, 0), KV_OK);
    EXPECT_EQ(c.structured_index, 2);
    EXPECT_EQ(c.structured_count, 3);
    EXPECT_EQ(c.structured_id, member.c_str() + 4);
    c.structured_index = before.structured_index, c.structured_count = before.structured_count;
    c.structured_id = before.structured_id;
    EXPECT_EQ(std::memcmp(&c, &before, sizeof c), 0);
    ASSERT_EQ(kv_set_option(&c, "pdf-macro", "sender=ACME", nullptr, 0), KV_OK);
    ASSERT_EQ(kv_set_option(&c, "pdf-macro", "checksum=7", nullptr, 0), KV_OK);
    EXPECT_STREQ(c.pdf_sender, "ACME");
    EXPECT_EQ(c.pdf_checksum, 7);
    EXPECT_EQ(kv_set_option(&c, "no-boost", "", nullptr, 0), KV_OK);
    EXPECT_EQ(c.qr_no_boost, 1);
    char error[128] = "";
    EXPECT_EQ(kv_set_option(&c, "x-dim", "1mm", error, sizeof error), KV_INVALID_OPTION);
    EXPECT_STREQ(error, "no option 'x-dim'");
    c.size = 0;
    EXPECT_EQ(kv_set_option(&c, "ecc", "30", nullptr, 0), KV_INVALID_ARGUMENT);
    EXPECT_EQ(kv_set_option(nullptr, "ecc", "30", nullptr, 0), KV_INVALID_ARGUMENT);
}

// The layout struct keeps one unit a field: what a value becomes there, and
// what it cannot hold is refused naming the unit.
std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}
std::string hex(std::uint32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "%08x", v);
    return text;
}

TEST(CApiParity, LayoutOptionsInTheStructsUnits) {
    using Field = std::string (*)(const kv_layout_options&);
    const Field dots = [](const kv_layout_options& o) { return number(o.module_dots) + " dots, " + number(o.x_mm) + " mm"; };
    const Field height = [](const kv_layout_options& o) { return number(o.height_modules) + " x, " + number(o.height_mm) + " mm"; };
    const Field quiet = [](const kv_layout_options& o) {
        return number(o.quiet_left) + " " + number(o.quiet_right) + " " + number(o.quiet_vertical);
    };
    const Field background = [](const kv_layout_options& o) {
        return hex(o.background) + " cmyk " + hex(static_cast<std::uint32_t>(o.background_cmyk));
    };
    const Field foreground = [](const kv_layout_options& o) {
        return hex(o.foreground) + " cmyk " + hex(static_cast<std::uint32_t>(o.foreground_cmyk));
    };
    struct Case {
        const char* dpi;
        const char* name;
        const char* text;
        Field field;
        std::string expected;  // the field, or the refusal
    };
    const Case cases[] = {
        {"none", "x-dim", "3px", dots, "3 dots, 0 mm"},
        {"300", "x-dim", "13mil", dots, "0 dots, 0.3302 mm"},
        {"300", "height", "50x", height, "50 x, 0 mm"},
        {"600", "height", "60px", height, "0 x, 2.54 mm"},
        {"300", "quiet-zone", "4,2", quiet, "4 4 2"},
        {"300", "quiet-zone", "2mm", quiet, "quiet-zone: the C layout options hold quiet zones in modules (10, or 10x)"},
        {"none", "bwr", "1px", dots, "bwr: the C layout options hold the bar width reduction as a length"},
        {"300", "bg", "cmyk:0,0,20,0", background, "ffffccff cmyk 00001400"},
        {"300", "fg", "navy", foreground, "000080ff cmyk ffffffff"},
    };
    for (const Case& c : cases) {
        kv_layout_options o;
        kv_layout_options_init(&o);
        ASSERT_EQ(kv_set_layout_option(&o, "dpi", c.dpi, nullptr, 0), KV_OK);
        char error[160] = "";
        const bool set = kv_set_layout_option(&o, c.name, c.text, error, sizeof error) == KV_OK;
        EXPECT_EQ(set ? c.field(o) : std::string(error), c.expected) << c.name << " " << c.text;
    }
}

}  // namespace
