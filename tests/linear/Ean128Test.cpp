// EAN-128 (GS1-128): application identifiers, text, symbol sequences and decoding by zxing-cpp.

#include "Code128Tables.h"
#include "Code128TestUtil.h"
#include "LinearTestUtil.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using code128test::STOP;
using code128test::symbolValues;
using lineartest::built;
using lineartest::roundTrip;

namespace {

constexpr const char* UNKNOWN_AI = "Unknown EAN128 App.Id. ";

struct DigitCountCase {
    std::string ai;
    int digits;
};

TEST(Ean128Tables, AiDigitCount) {
    const DigitCountCase cases[] = {
        {"00", 2}, {"04", 2}, {"05", 0}, {"10", 2}, {"17", 2}, {"19", 2}, {"20", 2}, {"22", 2},
        {"23", 3}, {"25", 3}, {"26", 0}, {"30", 2}, {"31", 4}, {"36", 4}, {"37", 2}, {"38", 0},
        {"39", 4}, {"40", 3}, {"42", 3}, {"43", 0}, {"50", 0}, {"60", 0}, {"70", 4}, {"71", 0},
        {"80", 4}, {"81", 4}, {"82", 0}, {"90", 2}, {"99", 2}, {"A1", 0}, {"(0", 0}, {" 1", 0},
        {"1", 2},  {"3", 4},  {"2", 0},  {"2x", 0}, {"", 0},
    };
    for (const DigitCountCase& c : cases) {
        SCOPED_TRACE("'" + c.ai + "'");
        EXPECT_EQ(detail::aiDigitCount(c.ai), c.digits);
    }
}

TEST(Ean128Tables, AiFieldLength) {
    const std::pair<int, int> cases[] = {
        {0, 20}, {1, 16}, {3, 16}, {4, 18}, {5, 0},  {10, 0},  {11, 8},  {19, 8}, {20, 4},
        {21, 0}, {30, 0}, {31, 10}, {36, 10}, {37, 0}, {40, 0}, {41, 16}, {42, 0}, {99, 0},
    };
    for (const auto& [n, length] : cases) {
        SCOPED_TRACE(n);
        EXPECT_EQ(detail::aiFieldLength(n), length);
    }
}

TEST(Ean128Tables, FunctionTokens) {
    const struct {
        std::string byte;
        bool spaceIsFnc1;
        std::string token;
    } cases[] = {
        {" ", true, "_102"},   {" ", false, " "},     {"\xCA", true, "_102"}, {"\xCA", false, "_102"},
        {"\xC9", true, "_101"}, {"\xC8", true, "_100"}, {"\xC5", true, "_97"},  {"\xC4", true, "_96"},
        {"\xC7", true, "\xC7"}, {"A", true, "A"},       {"_102", true, "_102"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.byte);
        EXPECT_EQ(detail::mapEan128Function(c.byte, c.spaceIsFnc1), c.token);
    }
}

struct TextCase {
    const char* label;
    std::string value;
    std::string text;
    std::string printed;  // what goes to standard output
};

const TextCase TEXT_CASES[] = {
    {"fixed then variable field", "0112345678901231 10ABC", "(01)12345678901231 (10)ABC", ""},
    {"fixed field needs no separator", "01123456789012311012345", "(01)12345678901231 (10)12345", ""},
    {"four-digit AI", "3102123456", "(3102)123456", ""},
    {"three-digit AI", "2401X", "(240)1X", ""},
    {"byte 202 separates like a space", "10AB\xCA" "21X", "(10)AB (21)X", ""},
    {"separator after a fixed field is skipped", "3102123456 10A", "(3102)123456 (10)A", ""},
    {"SSCC runs twenty characters", "00123456789012345678" "10X", "(00)123456789012345678 (10)X", ""},
    {"unknown AI", "AB", "AB", "AB"},
    {"parentheses are no AI", "(01)12345678901231", "(01)12345678901231", "(0"},
    {"space at the start", " 10AB", " 10AB", " 1"},
    {"two spaces start an unknown field", "10AB  21X", "10AB  21X", " 2"},
    {"unknown AI after a known one", "10AB 55X", "10AB 55X", "55"},
    {"value ends inside a two-digit AI", "1", "(1)", ""},
    {"value ends inside a four-digit AI", "310", "(310)", ""},
    {"field cut by a space inside its AI", "310 10A", "(310) (10)A", ""},
    {"fixed field cut short by the end", "0112345", "(01)12345", ""},
    {"empty value", "", "", ""},
};

TEST(Ean128, HumanReadableText) {
    for (const TextCase& c : TEXT_CASES) {
        SCOPED_TRACE(c.label);
        testing::internal::CaptureStdout();
        const std::string text = detail::ean128HumanText(c.value);
        const std::string printed = testing::internal::GetCapturedStdout();
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(printed, c.printed.empty() ? "" : UNKNOWN_AI + c.printed);
    }
}

struct SequenceCase {
    const char* label;
    std::string code;  // tilde escapes apply
    std::vector<int> values;  // start, data, check, STOP
};

const SequenceCase SEQUENCE_CASES[] = {
    {"fixed AI, space as FNC1, variable AI", "0112345678901231 10ABC",
     {105, 102, 1, 12, 34, 56, 78, 90, 12, 31, 102, 10, 100, 33, 34, 35, 23, STOP}},
    {"unknown AI: one FNC1 only", "AB", {105, 102, 100, 33, 34, 24, STOP}},
    {"space at the start gives FNC1 twice", " 10", {105, 102, 102, 10, 29, STOP}},
    {"odd digit count ends in set B", "10123", {105, 102, 10, 12, 100, 19, 37, STOP}},
    {"four-digit AI", "3102123456", {105, 102, 31, 2, 12, 34, 56, 5, STOP}},
    {"byte 202 is FNC1; its control byte chooses set A", "10AB~d20221X", {105, 102, 10, 101, 33, 34, 102, 18, 17, 56, 47, STOP}},
    {"FNC3 and FNC2 are reached through set A", "~d196~d197", {105, 102, 101, 96, 97, 55, STOP}},
    {"request bytes of Code 128 are data here", "~d199", {105, 102, 101, 100, STOP}},
    {"tokens 100 and 101 are emitted as they are", "12~d20134", {105, 102, 12, 101, 34, 52, STOP}},
};

TEST(Ean128, SymbolSequences) {
    for (const SequenceCase& c : SEQUENCE_CASES) {
        SCOPED_TRACE(c.label);
        testing::internal::CaptureStdout();
        const LinearSymbol s = built(LinearSymbol::EAN128, c.code);
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(symbolValues(s), c.values);
        EXPECT_EQ(s.code128Set, 'C');
    }
}

TEST(Ean128, TextAndMessageOfABuild) {
    testing::internal::CaptureStdout();
    const LinearSymbol known = built(LinearSymbol::EAN128, "0112345678901231 10ABC", [](LinearSymbol& s) {
        s.code128Set = 'A';
    });
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(known.text, "(01)12345678901231 (10)ABC");

    testing::internal::CaptureStdout();
    const LinearSymbol labelled = built(LinearSymbol::EAN128, "AB", [](LinearSymbol& s) { s.text = "label"; });
    EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string(UNKNOWN_AI) + "AB");
    EXPECT_EQ(labelled.text, "label");

    testing::internal::CaptureStdout();
    const LinearSymbol noCheck = built(LinearSymbol::EAN128, "10AB", [](LinearSymbol& s) { s.checkCharacter = false; });
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(symbolValues(noCheck), (std::vector<int>{105, 102, 10, 100, 33, 34, STOP}));

    testing::internal::CaptureStdout();
    const LinearSymbol dropped = built(LinearSymbol::EAN128, "10A~d233");
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(dropped.warnings.size(), 1u);
}

TEST(Ean128, BarlanePrintsTheUnknownAiMessageAndStillDrawsTheSymbol) {
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "barlane_ean128_test.emf";
    std::filesystem::remove(file);
    const std::string cmd = std::string(BARLANE_EXE) + " -file " + file.string() + " -type 16 -code AB 2>/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string out;
    std::array<char, 512> buf;
    while (const std::size_t n = fread(buf.data(), 1, buf.size(), p))
        out.append(buf.data(), n);
    EXPECT_EQ(pclose(p), 0);
    const std::string message = std::string(UNKNOWN_AI) + "AB";
    ASSERT_GE(out.size(), message.size());
    EXPECT_EQ(out.substr(out.size() - message.size()), message);
    EXPECT_TRUE(std::filesystem::exists(file));
    std::filesystem::remove(file);
}

// --- decoding by zxing-cpp ---

// GS1 content as zxing-cpp returns it: FNC1 after the start is the "]C1"
// identifier, each later FNC1 a group separator.
void expectGs1(const std::string& code, const std::string& content, int scale = 3) {
    testing::internal::CaptureStdout();
    const LinearSymbol s = built(LinearSymbol::EAN128, code, [](LinearSymbol& sym) { sym.barHeight = 30; });
    testing::internal::GetCapturedStdout();
    const testsupport::Decoded d = roundTrip(s, testsupport::Symbology::Code128, scale);
    ASSERT_TRUE(d.ok) << d.error;
    EXPECT_EQ(d.symbologyId, "]C1");
    EXPECT_EQ(testsupport::bytesToString(d.bytes), content);
}

TEST(Ean128RoundTrip, FixedAndVariableFields) {
    const struct {
        std::string code;
        std::string content;
    } cases[] = {
        {"0112345678901231 10ABC", "0112345678901231\x1D" "10ABC"},
        {"01123456789012311012345", "01123456789012311012345"},
        {"3102123456", "3102123456"},
        {"00123456789012345678" "10LOT7 21abc", "00123456789012345678" "10LOT7\x1D" "21abc"},
        {"10123", "10123"},
        {"10AB~d20221X 3102000500", "10AB\x1D" "21X\x1D" "3102000500"},
        {"17251231 10X1", "17251231\x1D" "10X1"},
        {"(01)12345678901231", "(01)12345678901231"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        expectGs1(c.code, c.content);
    }
}

TEST(Ean128RoundTrip, LongValuesAreDrawnWhole) {
    std::string code;
    std::string content;
    for (int k = 0; code.size() < 3000; ++k) {
        const std::string field = "10LOT" + std::to_string(k) + (k % 2 ? "ab" : "");
        code += field + " ";
        content += field + "\x1D";
    }
    code += "0112345678901231";
    content += "0112345678901231";
    expectGs1(code, content, 1);
}

}  // namespace
