// The encoders' stages called alone on the worked examples of the standards.

#include "datamatrix/DataMatrix.h"
#include "qr/Qr.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

namespace qr = korvane::qr;
namespace dm = korvane::datamatrix;

korvane::Message messageOf(const std::string& bytes) {
    korvane::Message m;
    m.bytes = bytes;
    return m;
}

// ISO/IEC 18004 Annex I: "01234567" as a 1-M symbol.
std::vector<int> qrDataCodewords() {
    qr::QrOptions o;
    o.boost = false;
    const auto stream = qr::detail::dataStream(messageOf("01234567"), o);
    if (!stream || stream->version != 1)
        return {};
    return {stream->codewords.begin(), stream->codewords.end()};
}

std::vector<int> qrCodewords() {
    const std::vector<std::uint8_t> data = {0x10, 0x20, 0x0C, 0x56, 0x61, 0x80, 0xEC, 0x11,
                                            0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11};
    const auto all = qr::detail::interleave(data, 1, qr::Level::M);
    return {all.begin() + 16, all.end()};
}

// ISO/IEC 16022 Annex O: "123456" in a 10 x 10 symbol.
std::vector<int> dataMatrixDataCodewords() {
    const auto e = dm::detail::dataCodewords(messageOf("123456"), {});
    if (!e || e->size->rows != 10)
        return {};
    return {e->codewords.begin(), e->codewords.end()};
}

std::vector<int> dataMatrixCheckWords() {
    std::vector<std::uint8_t> cw = {142, 164, 186};
    dm::detail::addCheckWords(cw, 3, 1, 5);
    return {cw.begin() + 3, cw.end()};
}

struct StageCase {
    const char* name;
    std::function<std::vector<int>()> run;
    std::vector<int> expected;
};

TEST(EngineStages, WorkedExamplesOfTheStandards) {
    const StageCase cases[] = {
        {"QR data stream", qrDataCodewords,
         {0x10, 0x20, 0x0C, 0x56, 0x61, 0x80, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11}},
        {"QR check words", qrCodewords, {0xA5, 0x24, 0xD4, 0xC1, 0xED, 0x36, 0xC7, 0x87, 0x2C, 0x55}},
        {"Data Matrix data codewords", dataMatrixDataCodewords, {142, 164, 186}},
        {"Data Matrix check words", dataMatrixCheckWords, {114, 25, 5, 88, 102}},
    };
    for (const StageCase& c : cases)
        EXPECT_EQ(c.run(), c.expected) << c.name;
}

}  // namespace
