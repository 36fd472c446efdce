// The C API sets an option by name from the command's text with the command's
// acceptance and messages: every encode row of tests/options/parity.json (the
// table the Python and JavaScript tests hold against the command) set through
// kv_set_option() and through setEncodeOption() gives the same refusals, and
// what both accept encodes to the same symbol, or fails with the same message,
// as the row's "refused" says the command does.

#include <korvane/korvane.h>
#include <korvane/korvane.hpp>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

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

bool allEncodeOptions(const Settings& given) {
    for (const auto& [name, text] : given)
        if (korvane::findEncodeOption(name) == nullptr)
            return false;
    return true;
}

// The symbol's SVG, or the error's message.
std::string drawnByC(const std::string& symbology, const std::string& data, const kv_encode_options& c) {
    char error[256] = "";
    kv_symbol* symbol = nullptr;
    if (kv_encode(symbology.c_str(), data.data(), data.size(), &c, &symbol, error, sizeof error) != KV_OK)
        return std::string("refused: ") + error;
    kv_drawing* drawing = nullptr;
    unsigned char* bytes = nullptr;
    size_t length = 0;
    std::string out = "not drawn";
    if (kv_layout(symbol, nullptr, &drawing, error, sizeof error) == KV_OK &&
        kv_write(drawing, "svg", &bytes, &length, error, sizeof error) == KV_OK)
        out.assign(reinterpret_cast<const char*>(bytes), length);
    kv_free(bytes);
    kv_drawing_free(drawing);
    kv_symbol_free(symbol);
    return out;
}

std::string drawnByCpp(const std::string& symbology, const std::string& data, const korvane::EncodeOptions& o) {
    const korvane::Result<korvane::Symbol> symbol = korvane::encode(std::string_view(symbology), data, o);
    if (!symbol)
        return "refused: " + symbol.error().message;
    const korvane::Result<korvane::Drawing> drawing = korvane::layout(*symbol);
    const korvane::Result<korvane::Written> svg =
        drawing ? korvane::write(*drawing, korvane::Format::Svg) : korvane::Result<korvane::Written>(drawing.error());
    return svg ? std::string(svg->bytes.begin(), svg->bytes.end()) : "not drawn";
}

TEST(CApiParity, OptionsByNameAsTheCommandTakesThem) {
    std::ifstream file(PARITY_JSON);
    ASSERT_TRUE(file) << PARITY_JSON;
    const nlohmann::json table = nlohmann::json::parse(file);
    int checked = 0;
    for (const nlohmann::json& row : table) {
        const Settings given = optionsOf(row["args"]);
        if (!allEncodeOptions(given))
            continue;  // layout rows: the C API takes layout as kv_layout_options
        const std::string what = row["symbology"].get<std::string>() + " " + row["args"].dump();
        kv_encode_options c;
        kv_encode_options_init(&c);
        korvane::EncodeOptions o;
        bool accepted = true;
        for (const auto& [name, text] : given) {
            char error[256] = "";
            const kv_status status = kv_set_option(&c, name.c_str(), text.c_str(), error, sizeof error);
            const korvane::Status set = korvane::setEncodeOption(o, name, text);
            ASSERT_EQ(status == KV_OK, static_cast<bool>(set)) << what;
            if (!set) {
                EXPECT_EQ(status, KV_INVALID_OPTION) << what;
                EXPECT_EQ(error, name + ": " + set.error().message) << what;
            }
            accepted = accepted && set;
        }
        const std::string data = row["data"];
        const std::string ours = accepted ? drawnByC(row["symbology"], data, c) : "refused";
        if (accepted) {
            EXPECT_EQ(ours, drawnByCpp(row["symbology"], data, o)) << what;
        }
        EXPECT_EQ(ours.rfind("refused", 0) == 0, row.value("refused", false)) << what << ": " << ours.substr(0, 80);
        ++checked;
    }
    EXPECT_GE(checked, 20);
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

}  // namespace
