// Damaged symbols are caught: a bar widened or dropped, two characters'
// patterns swapped, a check character changed, a quiet zone cut, the colours
// made unreadable, the facts contradicted. Each is a failure with a reason.

#include "VerifyTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace {

using korvane::Drawing;
using korvane::EncodeOptions;
using korvane::Symbol;
using korvane::Symbology;
using verifytest::Value;
using verifytest::cutQuietZone;

// --- damage to a Symbol before layout (elements counted from the first bar)

void swapElements(Symbol& s, int a, int b, int count) {
    for (int k = 0; k < count; ++k)
        std::swap(s.widths[static_cast<std::size_t>(a + k)], s.widths[static_cast<std::size_t>(b + k)]);
}

// Draws the elements at `from` again at `to`: another character in its place.
void copyElements(Symbol& s, int from, int to, int count) {
    for (int k = 0; k < count; ++k)
        s.widths[static_cast<std::size_t>(to + k)] = s.widths[static_cast<std::size_t>(from + k)];
    s.widthModules = 0;
    for (int w : s.widths)
        s.widthModules += w;
}

// Postnet carries digits in its bars' heights; bar b of digit d is element
// 2 + 10 d + 2 b (after the frame bar and its space).
void swapPostnetBars(Symbol& s, int digitA, int barA, int digitB, int barB) {
    std::swap(s.kinds[static_cast<std::size_t>(2 + 10 * digitA + 2 * barA)],
              s.kinds[static_cast<std::size_t>(2 + 10 * digitB + 2 * barB)]);
}
void swapPostnetDigits(Symbol& s, int a, int b) {
    for (int k = 0; k < 5; ++k)
        swapPostnetBars(s, a, k, b, k);
}

// --- damage to a Drawing (laid out upright, so its bars run left to right)

int lastEnd(const Drawing& d) {
    int end = 0;
    for (const korvane::Rect& r : d.rects)
        end = std::max(end, r.x + r.width);
    return end;
}

// A narrow bar in the middle, one module wider into a space of at least two.
void widenBar(Drawing& d) {
    const int x = static_cast<int>(d.moduleDots);
    for (std::size_t i = d.rects.size() / 2; i + 1 < d.rects.size(); ++i)
        if (d.rects[i].width == x && d.rects[i + 1].x - (d.rects[i].x + d.rects[i].width) >= 2 * x) {
            d.rects[i].width += x;
            return;
        }
    ADD_FAILURE() << "no bar to widen";
}

void dropBar(Drawing& d) { d.rects.erase(d.rects.begin() + static_cast<std::ptrdiff_t>(d.rects.size() / 2)); }

void cutQuietAfter(Drawing& d, int modules) { d.width = lastEnd(d) + modules * static_cast<int>(d.moduleDots); }

struct Damage {
    const char* label;
    Value value;
    void (*symbolDamage)(Symbol&);
    void (*drawingDamage)(Drawing&);
    const char* reason;  // a part of the reason given
};

// Element offsets: Code 39 characters take ten elements with their gap (the
// start is character 0), Code 93 and Code 128 six, Codabar eight, Code 11
// six, MSI digits eight after a start of two, Interleaved 2 of 5 pairs ten
// after a start of four (the second digit in the spaces), EAN-13 digits four
// after the three-element guard (right half from element 32), an add-on's
// after the 59 elements of the main symbol, the gap and its start of three.
const Damage DAMAGES[] = {
    {"Code 39, two characters swapped", {"", Symbology::Code39, "ABCDEF", [](EncodeOptions& o) { o.check = true; }},
     [](Symbol& s) { swapElements(s, 10, 20, 10); }, nullptr, "data character 1 reads 'B', expected 'A'"},
    {"Code 39, check character changed", {"", Symbology::Code39, "ABCDEF", [](EncodeOptions& o) { o.check = true; }},
     [](Symbol& s) { copyElements(s, 10, 70, 9); }, nullptr, "check character reads 'A'"},
    {"Code 39, a bar widened", {"", Symbology::Code39, "ABCDEF"}, nullptr, widenBar, ""},
    {"Code 39, a bar dropped", {"", Symbology::Code39, "ABCDEF"}, nullptr, dropBar, ""},
    {"Code 39, quiet zone cut before", {"", Symbology::Code39, "ABCDEF"}, nullptr,
     [](Drawing& d) { cutQuietZone(d, 3); }, "quiet zone before the symbol is 3.0 modules"},
    {"Code 39 full ASCII, a bar dropped", {"", Symbology::Code39Extended, "ab-cd"}, nullptr, dropBar, ""},
    {"Code 93, two characters swapped", {"", Symbology::Code93, "TEST93"},
     [](Symbol& s) { swapElements(s, 6, 12, 6); }, nullptr, "check character C"},
    {"Code 93, a bar widened", {"", Symbology::Code93, "TEST93"}, nullptr, widenBar, ""},
    {"Code 11, check character changed", {"", Symbology::Code11, "123-45"},
     [](Symbol& s) { copyElements(s, 6, 42, 5); }, nullptr, "check character C reads '1'"},
    {"Codabar, check character changed",
     {"", Symbology::Codabar, "40156", [](EncodeOptions& o) { o.check = true; }},
     [](Symbol& s) { copyElements(s, 8, 48, 7); }, nullptr, "check character reads '4'"},
    {"Codabar, quiet zone cut after", {"", Symbology::Codabar, "40156"}, nullptr,
     [](Drawing& d) { cutQuietAfter(d, 4); }, "quiet zone after the symbol"},
    {"MSI, check digit changed", {"", Symbology::Msi, "80523"}, [](Symbol& s) { copyElements(s, 2, 42, 8); },
     nullptr, "check character 1 reads '8', expected '4'"},
    {"Interleaved 2 of 5, check digit changed",
     {"", Symbology::Interleaved2of5, "1234567", [](EncodeOptions& o) { o.check = true; }},
     [](Symbol& s) { swapElements(s, 37, 39, 1); }, nullptr, ""},
    {"Industrial 2 of 5, a bar dropped", {"", Symbology::Industrial2of5, "123456"}, nullptr, dropBar, ""},
    {"Matrix 2 of 5, two digits swapped", {"", Symbology::Matrix2of5, "1234"},
     [](Symbol& s) { swapElements(s, 6, 12, 6); }, nullptr, "data character 1 reads '2', expected '1'"},
    {"EAN-13, two digits swapped", {"", Symbology::Ean13, "590123412345"},
     [](Symbol& s) { swapElements(s, 36, 40, 4); }, nullptr, "check digit"},
    {"EAN-13, check digit changed", {"", Symbology::Ean13, "590123412345"},
     [](Symbol& s) { copyElements(s, 32, 52, 4); }, nullptr, "check digit reads 1"},
    {"EAN-13, quiet zone cut after", {"", Symbology::Ean13, "590123412345"}, nullptr,
     [](Drawing& d) { cutQuietAfter(d, 3); }, "quiet zone after the symbol is 3.0 modules"},
    {"EAN-13, add-on digit changed", {"", Symbology::Ean13, "590123412345+12"},
     [](Symbol& s) { copyElements(s, 63, 69, 4); }, nullptr, "add-on"},
    {"UPC-E, a digit changed", {"", Symbology::UpcE, "0123456"}, [](Symbol& s) { copyElements(s, 3, 7, 4); },
     nullptr, ""},
    {"Code 128, two characters swapped", {"", Symbology::Code128, "Code 128!"},
     [](Symbol& s) { swapElements(s, 6, 12, 6); }, nullptr, "check character"},
    {"Code 128, a bar widened", {"", Symbology::Code128, "Code 128!"}, nullptr, widenBar, ""},
    {"GS1-128, quiet zone cut before", {"", Symbology::Gs1_128, "(01)09501101530003"}, nullptr,
     [](Drawing& d) { cutQuietZone(d, 0); }, "quiet zone before the symbol is 0.0 modules"},
    {"Postnet, two digits swapped", {"", Symbology::Postnet, "12345"},
     [](Symbol& s) { swapPostnetDigits(s, 0, 1); }, nullptr, "data character 1 reads '2', expected '1'"},
    {"Postnet, check digit changed", {"", Symbology::Postnet, "12345"},
     [](Symbol& s) { swapPostnetBars(s, 5, 0, 5, 1); }, nullptr, "check digit reads 8"},
};

TEST(VerifyDamage, EveryDamageIsCaughtWithAReason) {
    for (const Damage& d : DAMAGES) {
        SCOPED_TRACE(d.label);
        Symbol symbol = verifytest::encoded(d.value);
        const Symbol asMade = symbol;
        if (d.symbolDamage)
            d.symbolDamage(symbol);
        Drawing drawing = verifytest::laidOut(symbol);
        if (d.drawingDamage)
            d.drawingDamage(drawing);
        const korvane::Verdict v = korvane::verify(drawing, asMade);
        EXPECT_FALSE(v.ok) << verifytest::describe(v);
        EXPECT_FALSE(v.reason.empty());
        EXPECT_NE(v.reason.find(d.reason), std::string::npos) << verifytest::describe(v);
    }
}

// What the reader found differs from what the symbol says it holds.
TEST(VerifyDamage, FactsThatDoNotMatchTheSymbol) {
    const struct {
        const char* label;
        Value value;
        void (*change)(Symbol&);
        const char* reason;
        int firstDifference;
    } CASES[] = {
        {"data", {"", Symbology::Code128, "ABCD"}, [](Symbol& s) { s.facts.data = "ABXD"; },
         "data character 3 reads 'C', expected 'X'", 2},
        {"data cut short", {"", Symbology::Code128, "ABCD"}, [](Symbol& s) { s.facts.data = "ABCDE"; },
         "ends after 4 characters", 4},
        {"check characters", {"", Symbology::Code39, "AB", [](EncodeOptions& o) { o.check = true; }},
         [](Symbol& s) { s.facts.checkCharacters = "Q"; }, "check character 1 reads", -1},
        {"add-on", {"", Symbology::Ean8, "5512345+12"}, [](Symbol& s) { s.facts.addOn = "13"; }, "add-on", -1},
        {"GS1 marker", {"", Symbology::Code128, "0109501101530003"},
         [](Symbol& s) { s.symbology = Symbology::Gs1_128; }, "FNC1", -1},
        {"reader initialisation", {"", Symbology::Aztec, "PROGRAM"},
         [](Symbol& s) { s.facts.aztec.readerInit = true; }, "reader initialisation", -1},
        {"structured append", {"", Symbology::Aztec, "part", [](EncodeOptions& o) { o.structuredAppend = {1, 2, ""}; }},
         [](Symbol& s) { s.facts.aztec.structuredCount = 3; }, "structured-append symbol 1 of 2", -1},
    };
    for (const auto& c : CASES) {
        SCOPED_TRACE(c.label);
        const Symbol symbol = verifytest::encoded(c.value);
        Symbol claimed = symbol;
        c.change(claimed);
        const korvane::Verdict v = korvane::verify(verifytest::laidOut(symbol), claimed);
        EXPECT_FALSE(v.ok);
        EXPECT_NE(v.reason.find(c.reason), std::string::npos) << verifytest::describe(v);
        EXPECT_EQ(v.firstDifference, c.firstDifference);
    }
}

// Colours as a scanner sees them.
TEST(VerifyDamage, ColoursAScannerCannotRead) {
    const struct {
        const char* label;
        korvane::Symbology symbology;
        korvane::Colour foreground, background;
        bool ok;
        const char* reason;
    } CASES[] = {
        {"light grey on white", Symbology::Ean13, {220, 220, 220, 255}, korvane::WHITE, false, "contrast"},
        {"white bars on black", Symbology::Ean13, korvane::WHITE, korvane::BLACK, false, "lighter than the background"},
        {"transparent bars", Symbology::Code128, {0, 0, 0, 0}, korvane::WHITE, false, "contrast"},
        {"black on transparent", Symbology::Code128, korvane::BLACK, {255, 0, 0, 0}, true, ""},
        {"dark red on cream", Symbology::Code39, {120, 0, 0, 255}, {255, 250, 220, 255}, true, ""},
        // ISO/IEC 24778 readers take Aztec symbols light on dark too.
        {"Aztec white on black", Symbology::Aztec, korvane::WHITE, korvane::BLACK, true, ""},
    };
    for (const auto& c : CASES) {
        SCOPED_TRACE(c.label);
        const Symbol symbol =
            verifytest::encoded({"", c.symbology, c.symbology == Symbology::Ean13 ? "590123412345" : "COLOUR"});
        Drawing drawing = verifytest::laidOut(symbol);
        drawing.foreground = c.foreground;
        drawing.background = c.background;
        const korvane::Verdict v = korvane::verify(drawing, symbol);
        EXPECT_EQ(v.ok, c.ok) << verifytest::describe(v);
        EXPECT_NE(v.reason.find(c.reason), std::string::npos) << verifytest::describe(v);
    }
}

}  // namespace
