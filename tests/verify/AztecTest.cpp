// The Aztec reader's error correction: modules flipped in the data and in the
// mode message are corrected up to what the check words allow and reported;
// beyond that the symbol fails.

#include "VerifyTestSupport.h"

#include "verify/Readers.h"

#include <gtest/gtest.h>

namespace {

using korvane::EncodeOptions;
using korvane::Symbol;
using korvane::Symbology;

void flip(Symbol& s, int x, int y) {
    const int c = s.columns / 2;
    s.modules[static_cast<std::size_t>(c + y) * static_cast<std::size_t>(s.columns) + static_cast<std::size_t>(c + x)] ^= 1;
}

int checkWords(const Symbol& s) { return s.facts.aztec.totalCodewords - s.facts.aztec.dataCodewords; }

// One module flipped in each of `count` codewords spread over the symbol.
void flipCodewords(Symbol& s, int count) {
    const korvane::AztecFacts& f = s.facts.aztec;
    const auto modules = korvane::detail::aztecDataModules(f.compact, f.layers);
    const std::size_t bits = static_cast<std::size_t>(f.codewordBits);
    const std::size_t skip = modules.size() % bits, total = modules.size() / bits;
    for (int i = 0; i < count; ++i) {
        const std::size_t k = static_cast<std::size_t>(i) * total / static_cast<std::size_t>(count);
        const auto [x, y] = modules[skip + k * bits + static_cast<std::size_t>(i) % bits];
        flip(s, x, y);
    }
}

// Bit b of the mode message (clockwise from the top left of its ring).
void flipModeBit(Symbol& s, int b) {
    const bool compact = s.facts.aztec.compact;
    const int ring = compact ? 5 : 7, perSide = compact ? 7 : 10, side = b / perSide, k = b % perSide;
    int along = compact ? k - 3 : (k < 5 ? k - 5 : k - 4);  // full-range sides pass over the grid line
    if (side >= 2)
        along = -along;
    switch (side) {
    case 0: flip(s, along, -ring); break;
    case 1: flip(s, ring, along); break;
    case 2: flip(s, along, ring); break;
    default: flip(s, -ring, along); break;
    }
}

struct Symbols {
    const char* label;
    const char* data;
    void (*tweak)(EncodeOptions&);
};
// Codewords of 6, 8, 10 and 12 bits.
const Symbols SYMBOLS[] = {
    {"compact, 6-bit codewords", "AZTEC", nullptr},
    {"full, 8-bit codewords", "Aztec Code, ISO/IEC 24778", [](EncodeOptions& o) { o.minSize = 31; }},
    {"full, 10-bit codewords", "ten-bit codewords", [](EncodeOptions& o) { o.minSize = 57; }},
    {"full, 12-bit codewords", "twelve-bit codewords", [](EncodeOptions& o) { o.minSize = 121; }},
};

TEST(VerifyAztec, FlippedCodewordsAreCorrectedUpToHalfTheCheckWords) {
    for (const Symbols& sy : SYMBOLS) {
        const Symbol made = verifytest::encoded({sy.label, Symbology::Aztec, sy.data, sy.tweak});
        const int capacity = checkWords(made) / 2;
        for (int flips : {1, capacity, capacity + 1, 2 * capacity + 1}) {
            SCOPED_TRACE(std::string(sy.label) + ", " + std::to_string(flips) + " codewords of " +
                         std::to_string(capacity) + " correctable");
            Symbol damaged = made;
            flipCodewords(damaged, flips);
            const korvane::Verdict v = korvane::verify(verifytest::laidOut(damaged), made);
            if (flips <= capacity) {
                EXPECT_TRUE(v.ok) << verifytest::describe(v);
                EXPECT_EQ(v.correctedCodewords, flips);
            } else {
                EXPECT_FALSE(v.ok) << verifytest::describe(v);
                EXPECT_FALSE(v.reason.empty());
            }
        }
    }
}

TEST(VerifyAztec, ModeMessageErrorsAreCorrected) {
    const struct {
        const char* label;
        void (*tweak)(EncodeOptions&);
        std::vector<int> bits;  // one per mode-message word
        bool ok;
    } CASES[] = {
        {"compact, one word", nullptr, {0}, true},
        {"compact, two words", nullptr, {0, 9}, true},
        {"compact, three words", nullptr, {0, 9, 17}, false},
        {"full, three words", [](EncodeOptions& o) { o.fullOnly = true; }, {1, 14, 30}, true},
        {"full, four words", [](EncodeOptions& o) { o.fullOnly = true; }, {1, 14, 30, 38}, false},
    };
    for (const auto& c : CASES) {
        SCOPED_TRACE(c.label);
        const Symbol made = verifytest::encoded({"", Symbology::Aztec, "MODE", c.tweak});
        Symbol damaged = made;
        for (int b : c.bits)
            flipModeBit(damaged, b);
        const korvane::Verdict v = korvane::verify(verifytest::laidOut(damaged), made);
        EXPECT_EQ(v.ok, c.ok) << verifytest::describe(v);
        if (c.ok) {
            EXPECT_EQ(v.correctedCodewords, static_cast<int>(c.bits.size()));
        }
    }
}

// A reference grid module of a full-range symbol that is not where it belongs.
TEST(VerifyAztec, MissingReferenceGridFails) {
    const Symbol made = verifytest::encoded({"", Symbology::Aztec, "grid", [](EncodeOptions& o) { o.minSize = 37; }});
    Symbol damaged = made;
    flip(damaged, 16, 3);
    const korvane::Verdict v = korvane::verify(verifytest::laidOut(damaged), made);
    EXPECT_FALSE(v.ok);
    EXPECT_NE(v.reason.find("reference grid module at (16, 3)"), std::string::npos) << v.reason;
}

}  // namespace
