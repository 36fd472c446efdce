// Every kind of data, in each shape, read back by zxing-cpp and libdmtx.

#include "DataMatrixTestSupport.h"

#include <gtest/gtest.h>

namespace dmtest {
namespace {

struct ShapeCase {
    const char* label;
    dm::Options options;
    bool dmtxReads;  // libdmtx knows no DMRE sizes
};

const ShapeCase SHAPES[] = {
    {"square", {dm::Shape::Square, false, 0, 0}, true},
    {"rectangular", {dm::Shape::Rectangular, false, 0, 0}, true},
    {"DMRE", {dm::Shape::Rectangular, true, 0, 0}, false},
};

// The longest random value of a kind: rectangles hold at most 49 codewords
// (DMRE 118), squares 1,558.
int maxLength(const ShapeCase& s) { return s.options.shape == dm::Shape::Square ? 120 : s.options.dmre ? 60 : 24; }

TEST(DataMatrixRoundTrip, EveryKindInEveryShape) {
    for (const ShapeCase& shape : SHAPES)
        for (Kind kind : ALL_KINDS) {
            std::mt19937 rng(static_cast<unsigned>(static_cast<int>(kind) * 7919 + maxLength(shape)));
            const int count = sampleCount(1000);
            int failures = 0;
            for (int i = 0; i < count && failures < 3; ++i) {
                const std::string value = randomValue(kind, rng, maxLength(shape));
                korvane::Message m = plain(value);
                m.gs1 = kind == Kind::Gs1;
                const korvane::Result<dm::Encoded> e = dm::encode(m, shape.options);
                if (!e) {
                    // Random bytes may overflow a rectangle; nothing else may fail.
                    EXPECT_EQ(e.error().code, korvane::ErrorCode::DataTooLong) << e.error().message;
                    continue;
                }
                const testsupport::Decoded z = readZxing(*e);
                const std::string want = e->readerData;
                // Our reader agrees with zxing-cpp (and with the value).
                const korvane::detail::Reading ours = readOurs(*e);
                if (!ours.ok || ours.data != want || ours.gs1 != m.gs1 || ours.correctedCodewords != 0) {
                    ++failures;
                    ADD_FAILURE() << shape.label << ", " << kindName(kind) << ": our reader "
                                  << (ours.ok ? "read \"" + ours.data + "\"" : ours.failure) << " for \"" << value
                                  << "\" in " << e->size->rows << "x" << e->size->columns;
                }
                if (!z.ok || testsupport::bytesToString(z.bytes) != want) {
                    ++failures;
                    ADD_FAILURE() << shape.label << ", " << kindName(kind) << ": zxing-cpp "
                                  << (z.ok ? "read \"" + testsupport::bytesToString(z.bytes) + "\"" : z.error)
                                  << " for \"" << value << "\" in " << e->size->rows << "x" << e->size->columns;
                }
                // libdmtx 0.7.7 finds no 8x32 symbol (zint's neither), drops
                // FNC1 and after an FNC1 in C40 or Text keeps the shift for the
                // next value: it reads GS1 data with one field only.
                const bool dmtxCan = shape.dmtxReads && e->size->columns != 32 &&
                                     (!m.gs1 || value.find('\x1d') == std::string::npos);
                if (dmtxCan && (fullRun() || i % 10 == 0 || kind == Kind::Gs1)) {
                    const DmtxRead d = readDmtx(*e);
                    if (!d.ok || d.data != want) {
                        ++failures;
                        ADD_FAILURE() << shape.label << ", " << kindName(kind) << ": libdmtx "
                                      << (d.ok ? "read \"" + d.data + "\"" : "read nothing") << " for \"" << value
                                      << "\" in " << e->size->rows << "x" << e->size->columns;
                    }
                }
            }
        }
}

// An FNC1 marker before the data marks GS1 data only as the ASCII codeword:
// text that C40 or Text would hold best must not take it into a triplet.
TEST(DataMatrixRoundTrip, LeadingFnc1MarksGs1) {
    struct Case {
        const char* value;
        bool structured;
    };
    const Case cases[] = {
        {"HELLO WORLD ABCDEFGH", false},
        {"hello world abcdefgh", true},
    };
    for (const Case& c : cases) {
        korvane::Message m = plain(c.value);
        m.markers.push_back({korvane::MarkerKind::Fnc1, 0, 0});
        if (c.structured)
            m.structuredAppend = {1, 2, "7"};
        const korvane::Result<dm::Encoded> e = dm::encode(m, {});
        ASSERT_TRUE(e) << e.error().message;
        EXPECT_EQ(e->readerData, c.value);
        const korvane::detail::Reading ours = readOurs(*e);
        EXPECT_TRUE(ours.ok && ours.data == c.value && ours.gs1) << c.value << ": " << ours.failure;
        const testsupport::Decoded z = readZxing(*e);
        EXPECT_TRUE(z.ok && testsupport::bytesToString(z.bytes) == c.value) << c.value << ": " << z.error;
    }
}

}  // namespace
}  // namespace dmtest
