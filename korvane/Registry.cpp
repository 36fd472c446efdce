// The symbology registry: a descriptor per symbology, with its names, accepted
// characters, check rules and the sizes its standard asks for, and the
// encoder, reader, comparison and facts the library uses for it.

#include "Descriptor.h"
#include "databar/DataBar.h"
#include "encode/Adapters.h"
#include "linear/LinearEncoders.h"
#include "verify/Linear.h"
#include "verify/Readers.h"
#include "verify/DataBarRead.h"

#include <array>
#include <iterator>
#include <optional>
#include <string>
#include <utility>

namespace korvane {
namespace {

using detail::Descriptor;
using detail::GradeFamily;
using detail::LinearReadOptions;
using detail::LineRead;
using detail::QuietZone;
using detail::Reading;
using detail::ScanLine;
using detail::ZxingRead;

// Heights of the retail symbols at their nominal X of 0.33 mm (ISO/IEC 15420):
// 22.85 mm for EAN-13, UPC-A and UPC-E, 18.23 mm for EAN-8.
constexpr double RETAIL_HEIGHT_MODULES = 22.85 / 0.33;
constexpr double EAN8_HEIGHT_MODULES = 18.23 / 0.33;
// Postnet full bars are 0.125 in high.
constexpr double POSTNET_HEIGHT_MM = 3.175;
// Four-state bars are one module wide on a pitch of two. X of 0.6 mm puts
// 21 bars to the inch and snaps to whole dots within 5 % at 203, 300 and 600
// dpi: IMb asks for 20-24 bars to the inch of 0.015-0.025 in, Royal Mail for
// 20-24 to 25.4 mm of 0.38-0.63 mm. IMb's full bars are 0.145 in, its
// tracker 0.048 in (the middle of 0.125-0.165 and 0.039-0.057 in); Royal
// Mail's and KIX's 5.22 and 1.27 mm.
constexpr double FOUR_STATE_X_MM = 0.6;
constexpr double FOUR_STATE_MIN_X_MM = 0.38;
constexpr double IMB_HEIGHT_MM = 0.145 * 25.4;
constexpr double IMB_TRACKER_MM = 0.048 * 25.4;
constexpr double RM4SCC_HEIGHT_MM = 5.22;
constexpr double RM4SCC_TRACKER_MM = 1.27;
// Australia Post prints its bars about 5 mm high, 22-25 to the inch: X of
// 0.5 mm (bars of 0.4-0.6 mm) puts 25 there.
constexpr double AUSPOST_X_MM = 0.5;
constexpr double AUSPOST_HEIGHT_MM = 5.0;
constexpr double AUSPOST_TRACKER_MM = 1.3;

// The most data each symbology holds (SymbologyInfo::maxDataBytes).
// Linear symbologies of any length: 1,000 characters make a symbol of some
// 11,000 modules, over 2 m at the least X; at the default size the layout
// draws little more.
constexpr std::size_t LINEAR_MOST = 1000;
// EAN/UPC: the digits with their check digit, '+' and a five-digit add-on
// (UPC-E also as the twelve-digit UPC-A number it compresses).
constexpr std::size_t EAN13_MOST = 13 + 1 + 5;
constexpr std::size_t EAN8_MOST = 8 + 1 + 5;
constexpr std::size_t UPC_MOST = 12 + 1 + 5;
constexpr std::size_t POSTNET_MOST = 11;
// IMb: 20 + 11 digits and a separator; PLANET 13; RM4SCC and KIX as many
// characters as fit a mail piece's address block.
constexpr std::size_t IMB_MOST = 32;
constexpr std::size_t PLANET_MOST = 13;
constexpr std::size_t RM4SCC_MOST = 50;
constexpr std::size_t KIX_MOST = 18;
// Australia Post: "FCC ", the sorting code and 15 digits of customer information.
constexpr std::size_t AUSPOST_MOST = 3 + 8 + 15;
// DAFT: a bar a letter, 100 bars (12 cm at the default X).
constexpr std::size_t DAFT_MOST = 100;
// LOGMARS symbols hold at most 30 characters; a VIN is 17; PZN and Code 32
// take their number with its check digit.
constexpr std::size_t LOGMARS_MOST = 30;
constexpr std::size_t VIN_MOST = 17;
constexpr std::size_t PZN_MOST = 8;
constexpr std::size_t CODE32_MOST = 9;
// Pharmacode: 131070 at most.
constexpr std::size_t PHARMACODE_MOST = 6;
// Pharmacode's narrow bar is 0.5 mm (Laetus), its bars 8 mm high.
constexpr double PHARMACODE_X_MM = 0.5;
constexpr double PHARMACODE_HEIGHT_MM = 8;
// Aztec Code: 19,968 bits in a 32-layer symbol, and two bytes in a 5-bit
// punctuation pair at best.
constexpr std::size_t AZTEC_MOST = 19968 * 2 / 5;
// QR Code: version 40 at level L holds 23,648 data bits; less a 4-bit mode
// indicator and a 14-bit count, 23,630 bits carry 7,089 digits at 10 bits
// for three. Every other character and every marker takes more.
constexpr std::size_t QR_MOST = 7089;
// Data Matrix: 144x144 holds 1,558 data codewords, two digits in each.
constexpr std::size_t DATAMATRIX_MOST = 2 * 1558;
// PDF417: 928 codewords less two check words and the length descriptor
// leave 925; after the latch to numeric compaction, 61 groups of 44 digits
// in 15 codewords and 26 digits in the last 9.
constexpr std::size_t PDF417_MOST = 61 * 44 + 26;
// GS1 DataBar: "(01)" and a GTIN with its check digit. Expanded: 21 data
// characters of 12 bits, 252 bits, hold at most 74 digits with their AIs.
constexpr std::size_t DATABAR_MOST = 4 + 14;
constexpr std::size_t EXPANDED_MOST = 74;
// GS1 DataBar's nominal X (its range is 0.264 mm to 0.660 mm at the point of sale).
constexpr double DATABAR_X_MM = 0.33;
static_assert(61 * 15 + 9 == 925 - 1);
// Micro QR: M4 at level L holds 128 data bits; less a 3-bit mode indicator
// and a 6-bit count, 35 digits. rMQR: R17x139 at level M holds 1,216; less a
// 3-bit indicator and a 9-bit count, 361 digits (120 groups of three and one).
constexpr std::size_t MICROQR_MOST = 35;
constexpr std::size_t RMQR_MOST = 361;
// UPNQR: version 15 at level M holds 415 data codewords; less ECI 4 (12
// bits) and a byte segment's header (20 bits), 411 bytes.
constexpr std::size_t UPNQR_MOST = 411;
static_assert(415 * 8 - 12 - 20 == 411 * 8);
static_assert(128 - 3 - 6 >= 11 * 10 + 7 && 1216 - 3 - 9 >= 120 * 10 + 4);

// The parts of a row that follow from the family.
using LinearEncoder = Result<Symbol> (*)(Symbology s, std::string_view data, bool gs1, const EncodeOptions& o);
using LineReader = LineRead (*)(const ScanLine& line, Symbology s, const LinearReadOptions& o);
using Compare = std::string (*)(const Reading& r, const Symbol& symbol);

Result<Symbol> encodeLinear(Symbology s, const Message& message, const EncodeOptions& o) {
    return detail::descriptor(s).encodeBytes(s, message.bytes, message.gs1, o);
}

// A linear symbology's encoder and reader (korvane/linear/, verify/), the
// quiet zones its reader asks for and zxing-cpp's name for it.
struct LinearParts {
    LinearEncoder encode;
    LineReader read;
    QuietZone quiet;
    ZxingRead zxing;
    Compare compare = detail::compareLinear;
    // How it is graded where its widths do not say (postal codes read by bar
    // heights; Pharmacode, whose spaces are neither narrow nor wide).
    std::optional<GradeFamily> grading = std::nullopt;
    Fact (*facts)(const Symbol& symbol) = nullptr;
};

// Linear symbols are graded by their widths: two-width ones, retail ones, the rest.
constexpr GradeFamily gradingOf(const SymbologyInfo& info, const LinearParts& parts) {
    return parts.grading                 ? *parts.grading
           : info.twoWidths              ? GradeFamily::TwoWidthLinear
           : info.takes(CAP_RETAIL_TEXT) ? GradeFamily::Retail
                                         : GradeFamily::MultiWidthLinear;
}

constexpr Descriptor linear(const SymbologyInfo& info, const LinearParts& parts) {
    return {info,        encodeLinear, parts.encode, parts.read,  nullptr, parts.compare,
            parts.facts, parts.quiet,  parts.zxing,  gradingOf(info, parts)};
}

// The linear encoders, one per family, as the rows call them.
constexpr LinearEncoder CODE39_BARS = [](Symbology s, std::string_view data, bool, const EncodeOptions& o) {
    return linear::encodeCode39(s, data, o);
};
constexpr LinearEncoder CODE93_BARS = [](Symbology s, std::string_view data, bool, const EncodeOptions& o) {
    return linear::encodeCode93(s, data, o);
};
constexpr LinearEncoder CODE11_BARS = [](Symbology, std::string_view data, bool, const EncodeOptions& o) {
    return linear::encodeCode11(data, o);
};
constexpr LinearEncoder CODABAR_BARS = [](Symbology, std::string_view data, bool, const EncodeOptions& o) {
    return linear::encodeCodabar(data, o);
};
constexpr LinearEncoder MSI_BARS = [](Symbology, std::string_view data, bool, const EncodeOptions& o) {
    return linear::encodeMsi(data, o);
};
constexpr LinearEncoder TWO_OF_FIVE_BARS = [](Symbology s, std::string_view data, bool, const EncodeOptions& o) {
    return linear::encodeTwoOfFive(s, data, o);
};
constexpr LinearEncoder EAN_UPC_BARS = [](Symbology s, std::string_view data, bool, const EncodeOptions& o) {
    return linear::encodeEanUpc(s, data, o);
};
// Code 128 with GS1 data draws GS1-128.
constexpr LinearEncoder CODE128_BARS = [](Symbology, std::string_view data, bool gs1, const EncodeOptions& o) {
    return gs1 ? linear::encodeGs1_128(data, o) : linear::encodeCode128(data, o);
};
constexpr LinearEncoder GS1_128_BARS = [](Symbology, std::string_view data, bool, const EncodeOptions& o) {
    return linear::encodeGs1_128(data, o);
};
constexpr LinearEncoder POSTNET_BARS = [](Symbology, std::string_view data, bool, const EncodeOptions& o) {
    return linear::encodePostnet(data, o);
};
constexpr LinearEncoder CODE39_VARIANT_BARS = [](Symbology s, std::string_view data, bool, const EncodeOptions& o) {
    return linear::encodeCode39Variant(s, data, o);
};
constexpr LinearEncoder TWO_OF_FIVE_VARIANT_BARS = [](Symbology s, std::string_view data, bool, const EncodeOptions& o) {
    return linear::encodeTwoOfFiveVariant(s, data, o);
};
constexpr LinearEncoder PHARMACODE_BARS = [](Symbology, std::string_view data, bool, const EncodeOptions& o) {
    return linear::encodePharmacode(data, o);
};
constexpr LinearEncoder PLESSEY_BARS = [](Symbology, std::string_view data, bool, const EncodeOptions& o) {
    return linear::encodePlessey(data, o);
};
constexpr LinearEncoder TELEPEN_BARS = [](Symbology s, std::string_view data, bool, const EncodeOptions& o) {
    return linear::encodeTelepen(s, data, o);
};
constexpr LinearEncoder DATABAR_BARS = [](Symbology s, std::string_view data, bool, const EncodeOptions& o) {
    return databar::encodeLinearRow(s, data, o);
};
constexpr LinearEncoder IMB_BARS = [](Symbology, std::string_view data, bool, const EncodeOptions& o) {
    return linear::encodeImb(data, o);
};
constexpr LinearEncoder PLANET_BARS = [](Symbology, std::string_view data, bool, const EncodeOptions& o) {
    return linear::encodePlanet(data, o);
};
constexpr LinearEncoder ROYAL_MAIL_BARS = [](Symbology s, std::string_view data, bool, const EncodeOptions& o) {
    return linear::encodeRoyalMail(s, data, o);
};
constexpr LinearEncoder AUSPOST_BARS = [](Symbology s, std::string_view data, bool, const EncodeOptions& o) {
    return linear::encodeAusPost(s, data, o);
};
constexpr LinearEncoder DAFT_BARS = [](Symbology, std::string_view data, bool, const EncodeOptions& o) {
    return linear::encodeDaft(data, o);
};

struct MatrixParts {
    Result<Symbol> (*encode)(const Message& message, const EncodeOptions& o);
    Reading (*read)(const GrayRaster& raster);
    Compare compare;
    Fact (*facts)(const Symbol& symbol);
    ZxingRead zxing;
    GradeFamily grading = GradeFamily::Matrix;
};

template <const MatrixParts& parts>
Result<Symbol> encodeMatrix(Symbology, const Message& message, const EncodeOptions& o) {
    return parts.encode(message, o);
}

template <const MatrixParts& parts>
constexpr Descriptor matrix(const SymbologyInfo& info) {
    return {info,        encodeMatrix<parts>, nullptr, nullptr, parts.read, parts.compare, parts.facts, {},
            parts.zxing, parts.grading};
}

// The linear readers, one per family, as the rows call them.
constexpr LineReader CODE39 = [](const ScanLine& l, Symbology, const LinearReadOptions& o) {
    return detail::decodeCode39(l, o, false);
};
constexpr LineReader CODE39_FULL_ASCII = [](const ScanLine& l, Symbology, const LinearReadOptions& o) {
    return detail::decodeCode39(l, o, true);
};
constexpr LineReader CODE93 = [](const ScanLine& l, Symbology, const LinearReadOptions&) {
    return detail::decodeCode93(l, false);
};
constexpr LineReader CODE93_FULL_ASCII = [](const ScanLine& l, Symbology, const LinearReadOptions&) {
    return detail::decodeCode93(l, true);
};
constexpr LineReader CODE11 = [](const ScanLine& l, Symbology, const LinearReadOptions& o) {
    return detail::decodeCode11(l, o);
};
constexpr LineReader CODABAR = [](const ScanLine& l, Symbology, const LinearReadOptions& o) {
    return detail::decodeCodabar(l, o);
};
constexpr LineReader MSI = [](const ScanLine& l, Symbology, const LinearReadOptions& o) {
    return detail::decodeMsi(l, o);
};
constexpr LineReader TWO_OF_FIVE = [](const ScanLine& l, Symbology s, const LinearReadOptions& o) {
    return detail::decodeTwoOfFive(l, o, s);
};
constexpr LineReader EAN_UPC = [](const ScanLine& l, Symbology s, const LinearReadOptions&) {
    return detail::decodeEanUpc(l, s);
};
constexpr LineReader CODE128 = [](const ScanLine& l, Symbology, const LinearReadOptions&) {
    return detail::decodeCode128(l);
};
constexpr LineReader POSTNET = [](const ScanLine& l, Symbology s, const LinearReadOptions&) {
    return detail::decodePostnet(l, s);
};
constexpr LineReader CODE39_VARIANT = [](const ScanLine& l, Symbology s, const LinearReadOptions& o) {
    return detail::decodeCode39Variant(l, o, s);
};
constexpr LineReader TWO_OF_FIVE_VARIANT = [](const ScanLine& l, Symbology s, const LinearReadOptions& o) {
    return detail::decodeTwoOfFiveVariant(l, o, s);
};
constexpr LineReader PHARMACODE = [](const ScanLine& l, Symbology, const LinearReadOptions&) {
    return detail::decodePharmacode(l);
};
constexpr LineReader PLESSEY = [](const ScanLine& l, Symbology, const LinearReadOptions&) {
    return detail::decodePlessey(l);
};
constexpr LineReader TELEPEN = [](const ScanLine& l, Symbology s, const LinearReadOptions&) {
    return detail::decodeTelepen(l, s);
};
constexpr LineReader DATABAR = [](const ScanLine& l, Symbology, const LinearReadOptions&) {
    return detail::decodeDataBar(l);
};
constexpr LineReader DATABAR_EXPANDED = [](const ScanLine& l, Symbology, const LinearReadOptions&) {
    return detail::decodeExpanded(l);
};
constexpr LineReader FOUR_STATE = [](const ScanLine& l, Symbology s, const LinearReadOptions&) {
    return detail::decodeFourState(l, s);
};

// The matrix families.
constexpr MatrixParts AZTEC{detail::encodeAztec, detail::readAztecPicture, detail::compareAztec,
                            detail::aztecFacts, {"Aztec"}};
constexpr MatrixParts QR{detail::encodeQr, detail::readQr, detail::compareQr, detail::qrFacts, {"QRCode"}};
constexpr MatrixParts MICRO_QR{detail::encodeMicroQr, detail::readMicroQr, detail::compareQr, detail::smallQrFacts,
                               {"MicroQRCode"}};
// zxing-cpp 1.4 reads no rMQR.
constexpr MatrixParts RMQR{detail::encodeRmqr, detail::readRmqr, detail::compareQr, detail::smallQrFacts, {}};
// UPNQR is a QR Code to its readers.
constexpr MatrixParts UPN_QR{detail::encodeUpnQr, detail::readQr, detail::compareQr, detail::qrFacts, {"QRCode"}};
constexpr MatrixParts DATA_MATRIX{detail::encodeDataMatrix, detail::readDataMatrix, detail::compareDataMatrix,
                                  detail::dataMatrixFacts, {"DataMatrix"}};
// PDF417 is graded as the multi-row symbol it is.
constexpr MatrixParts PDF417{detail::encodePdf417, detail::readPdf417, detail::comparePdf417, detail::pdf417Facts,
                             {"PDF417"}, GradeFamily::Pdf417};
// The stacked GS1 DataBar symbols: rows of modules, read row by row.
constexpr MatrixParts DATABAR_STACKED{databar::encodeStacked, detail::readDataBarStacked, detail::compareLinear,
                                      detail::dataBarFacts, {}};
constexpr MatrixParts DATABAR_STACKED_OMNI{databar::encodeStackedOmni, detail::readDataBarStacked,
                                           detail::compareLinear, detail::dataBarFacts, {}};
constexpr MatrixParts DATABAR_EXPANDED_STACKED{databar::encodeExpandedStacked, detail::readExpandedStacked,
                                               detail::compareLinear, detail::dataBarFacts, {}};

// One row per symbology, in the order of the Symbology enumeration.
// Columns of SymbologyInfo: id, name, title, aliases, characters, check rule,
// matrix, two widths, wide ratio, nominal X, minimum X, height in modules,
// height in mm, quiet zones left, right, above and below (modules),
// capabilities, most data. Then, for a linear symbology, its line reader,
// the quiet zones the reader asks for and zxing-cpp's format (LinearParts); for a matrix
// symbology, its family. The readers ask for the quiet zones of ISO/IEC 16388
// (Code 39), 15417 (Code 128), 15420 (EAN/UPC), 16390 (Interleaved 2 of 5) and
// AIM's Code 93 and Codabar standards, and ten modules where no standard
// gives a figure.
constexpr Descriptor REGISTRY[] = {
    linear({Symbology::Code39, "code39", "Code 39", {"code3of9", "39", ""},
     "digits, upper-case letters, space and - . $ / + %", CheckRule::Optional, false, true, 3, 0.254, 0.19, 0, 0,
     10, 10, 0, 0, LINEAR_MOST},
           {CODE39_BARS, CODE39, {10, 10}, {"Code39"}}),
    linear({Symbology::Code39Extended, "code39ext", "Code 39 extended", {"code39extended", "code39fullascii", ""},
     "ASCII (bytes 0-127)", CheckRule::Optional, false, true, 3, 0.254, 0.19, 0, 0, 10, 10, 0, 0, LINEAR_MOST},
           {CODE39_BARS, CODE39_FULL_ASCII, {10, 10}, {"Code39", true}}),
    linear({Symbology::Code93, "code93", "Code 93", {"93", "", ""}, "digits, upper-case letters, space and - . $ / + %",
     CheckRule::Mandatory, false, false, 0, 0.254, 0.19, 0, 0, 10, 10, 0, 0, LINEAR_MOST},
           {CODE93_BARS, CODE93, {10, 10}, {"Code93", false, false}}),
    linear({Symbology::Code93Extended, "code93ext", "Code 93 extended", {"code93extended", "code93fullascii", ""},
     "ASCII (bytes 0-127)", CheckRule::Mandatory, false, false, 0, 0.254, 0.19, 0, 0, 10, 10, 0, 0, LINEAR_MOST},
           {CODE93_BARS, CODE93_FULL_ASCII, {10, 10}, {"Code93", false, false}}),
    linear({Symbology::Code11, "code11", "Code 11", {"usd8", "", ""}, "digits and -", CheckRule::OptionalOn, false, true, 2,
     0.254, 0.19, 0, 0, 10, 10, 0, 0, LINEAR_MOST},
           {CODE11_BARS, CODE11, {10, 10}, {}}),
    linear({Symbology::Codabar, "codabar", "Codabar", {"nw7", "code2of7", "rationalizedcodabar"},
     "digits and - $ : / . +, with start and stop A-D", CheckRule::Optional, false, true, 3, 0.254, 0.19, 0, 0, 10,
     10, 0, CAP_CODABAR_ENDS, LINEAR_MOST},
           {CODABAR_BARS, CODABAR, {10, 10}, {"Codabar"}}),
    linear({Symbology::Msi, "msi", "MSI", {"msiplessey", "modifiedplessey", ""}, "digits", CheckRule::OptionalOn, false, true,
     2, 0.254, 0.19, 0, 0, 12, 12, 0, CAP_MSI_CHECK, LINEAR_MOST},
           {MSI_BARS, MSI, {10, 10}, {}}),
    linear({Symbology::Interleaved2of5, "itf", "Interleaved 2 of 5", {"interleaved2of5", "i25", "code25interleaved"},
     "digits", CheckRule::Optional, false, true, 3, 0.254, 0.19, 0, 0, 10, 10, 0, 0, LINEAR_MOST},
           {TWO_OF_FIVE_BARS, TWO_OF_FIVE, {10, 10}, {"ITF"}}),
    linear({Symbology::Industrial2of5, "industrial25", "Industrial 2 of 5", {"industrial2of5", "code25industrial", ""},
     "digits", CheckRule::Optional, false, true, 3, 0.254, 0.19, 0, 0, 10, 10, 0, 0, LINEAR_MOST},
           {TWO_OF_FIVE_BARS, TWO_OF_FIVE, {10, 10}, {}}),
    linear({Symbology::Matrix2of5, "matrix25", "Matrix 2 of 5", {"matrix2of5", "code25matrix", ""}, "digits",
     CheckRule::None, false, true, 3, 0.254, 0.19, 0, 0, 10, 10, 0, 0, LINEAR_MOST},
           {TWO_OF_FIVE_BARS, TWO_OF_FIVE, {10, 10}, {}}),
    linear({Symbology::Ean13, "ean13", "EAN-13", {"ean", "jan", "gtin13"}, "12 digits, or 13 with the check digit; "
     "an add-on of 2 or 5 digits after '+'", CheckRule::Mandatory, false, false, 0, 0.33, 0.264,
     RETAIL_HEIGHT_MODULES, 0, 11, 7, 0, CAP_ADD_ON | CAP_RETAIL_TEXT, EAN13_MOST},
           {EAN_UPC_BARS, EAN_UPC, {11, 7}, {"EAN-13"}}),
    linear({Symbology::Ean8, "ean8", "EAN-8", {"gtin8", "", ""}, "7 digits, or 8 with the check digit; an add-on after '+'",
     CheckRule::Mandatory, false, false, 0, 0.33, 0.264, EAN8_HEIGHT_MODULES, 0, 7, 7, 0, CAP_ADD_ON | CAP_RETAIL_TEXT, EAN8_MOST},
           {EAN_UPC_BARS, EAN_UPC, {7, 7}, {"EAN-8"}}),
    linear({Symbology::UpcA, "upca", "UPC-A", {"upc", "gtin12", ""}, "11 digits, or 12 with the check digit; an add-on "
     "after '+'", CheckRule::Mandatory, false, false, 0, 0.33, 0.264, RETAIL_HEIGHT_MODULES, 0, 9, 9, 0, CAP_ADD_ON | CAP_RETAIL_TEXT, UPC_MOST},
           {EAN_UPC_BARS, EAN_UPC, {9, 9}, {"UPC-A"}}),
    linear({Symbology::UpcE, "upce", "UPC-E", {"", "", ""}, "6 digits; 7 or 8 with the number system (0 or 1) and the "
     "check digit; or the 11- or 12-digit UPC-A number it compresses; an add-on after '+'",
     CheckRule::Mandatory, false, false, 0, 0.33, 0.264, RETAIL_HEIGHT_MODULES, 0, 9, 7, 0, CAP_ADD_ON | CAP_RETAIL_TEXT | CAP_UPCE_SYSTEM, UPC_MOST},
           {EAN_UPC_BARS, EAN_UPC, {9, 7}, {"UPC-E"}}),
    linear({Symbology::Code128, "code128", "Code 128", {"128", "", ""},
     "Latin-1 (ISO/IEC 8859-1): ASCII, and U+0080-U+00FF (UTF-8 text) or bytes 128-255 through FNC4", CheckRule::Mandatory, false,
     false, 0, 0.254, 0.19, 0, 0, 10, 10, 0, CAP_GS1 | CAP_CODE128_START, LINEAR_MOST, "gs1-128"},
           {CODE128_BARS, CODE128, {10, 10}, {"Code128"}, detail::compareCode128}),
    linear({Symbology::Gs1_128, "gs1-128", "GS1-128", {"ean128", "ucc128", ""},
     "GS1 element strings: (01)09501101530003(10)ABC, or AIs with GS (0x1D) after variable-length fields",
     CheckRule::Mandatory, false, false, 0, 0.495, 0.25, 0, 0, 10, 10, 0, CAP_GS1 | CAP_GS1_ONLY, LINEAR_MOST},
           {GS1_128_BARS, CODE128, {10, 10}, {"Code128"}, detail::compareCode128}),
    // Postnet: 1/8 inch either side, two and a half bar pitches; read by bar heights.
    linear({Symbology::Postnet, "postnet", "Postnet", {"uspspostnet", "", ""}, "5, 9 or 11 digits", CheckRule::Mandatory,
     false, false, 0, 0.254, 0.19, 0, POSTNET_HEIGHT_MM, 13, 13, 0, 0, POSTNET_MOST},
           {POSTNET_BARS, POSTNET, {2.5, 2.5, " bar pitches"}, {}, detail::compareLinear,
            GradeFamily::HeightModulated}),
    matrix<AZTEC>({Symbology::Aztec, "aztec", "Aztec Code", {"azteccode", "iso24778", ""}, "any bytes", CheckRule::Mandatory,
     true, false, 0, 0.5, 0.25, 0, 0, 0, 0, 0, CAP_GS1 | CAP_FNC1 | CAP_ECI | CAP_STRUCTURED_APPEND | CAP_READER_INIT | CAP_AZTEC, AZTEC_MOST}),
    // QR Code: X of 0.5 mm as for Aztec (a 59-character URL, version 4, is then
    // 16.5 mm across, which phone cameras read at arm's length; 0.25 mm still
    // gives three dots a module at 300 dpi); a quiet zone of 4 modules all round
    // (ISO/IEC 18004).
    matrix<QR>({Symbology::Qr, "qr", "QR Code", {"qrcode", "iso18004", ""},
     "any bytes; UTF-8 text (JIS X 0208 characters in Kanji mode)", CheckRule::Mandatory, true, false, 0, 0.5, 0.25,
     0, 0, 4, 4, 4, CAP_GS1 | CAP_FNC1 | CAP_ECI | CAP_STRUCTURED_APPEND | CAP_QR, QR_MOST}),
    // ISO/IEC 16022 asks for a quiet zone of one module.
    matrix<DATA_MATRIX>({Symbology::DataMatrix, "datamatrix", "Data Matrix", {"dm", "iso16022", "datamatrixecc200"}, "any bytes",
     CheckRule::Mandatory, true, false, 0, 0.5, 0.25, 0, 0, 1, 1, 1,
     CAP_GS1 | CAP_FNC1 | CAP_ECI | CAP_STRUCTURED_APPEND | CAP_READER_INIT | CAP_DATAMATRIX, DATAMATRIX_MOST}),
    // ISO/IEC 15438: quiet zones of 2 modules all round; X of 10 mil is usual, 7.5 mil the least.
    matrix<PDF417>({Symbology::Pdf417, "pdf417", "PDF417", {"pdf", "iso15438", ""}, "any bytes", CheckRule::Mandatory, true, false,
     0, 0.254, 0.19, 0, 0, 2, 2, 2, CAP_ECI | CAP_STRUCTURED_APPEND | CAP_READER_INIT | CAP_PDF417, PDF417_MOST}),
    // The symbologies drawn in Code 39 characters, with its quiet zones.
    // LOGMARS (MIL-STD-1189B): Code 39 with the wide ratio of 3 and its
    // optional modulo-43 check character.
    linear({Symbology::Logmars, "logmars", "LOGMARS", {"milstd1189", "", ""},
     "digits, upper-case letters, space and - . $ / + %", CheckRule::Optional, false, true, 3, 0.254, 0.19, 0, 0,
     10, 10, 0, 0, LOGMARS_MOST},
           {CODE39_VARIANT_BARS, CODE39, {10, 10}, {"Code39"}}),
    linear({Symbology::Vin, "vin", "VIN", {"vehicleidentificationnumber", "", ""},
     "17 digits and upper-case letters but I, O and Q; a North American VIN's check digit (position 9) is verified",
     CheckRule::Mandatory, false, true, 3, 0.254, 0.19, 0, 0, 10, 10, 0, 0, VIN_MOST},
           {CODE39_VARIANT_BARS, CODE39_VARIANT, {10, 10}, {"Code39"}}),
    linear({Symbology::Pzn, "pzn", "PZN", {"pzn8", "pharmazentralnummer", ""},
     "up to 7 digits (zeros put before), or 8 with the check digit", CheckRule::Mandatory, false, true, 3, 0.254,
     0.19, 0, 0, 10, 10, 0, 0, PZN_MOST},
           {CODE39_VARIANT_BARS, CODE39_VARIANT, {10, 10}, {"Code39"}}),
    linear({Symbology::Code32, "code32", "Code 32", {"italianpharmacode", "farmacode", ""},
     "up to 8 digits (zeros put before), or 9 with the check digit", CheckRule::Mandatory, false, true, 3, 0.254,
     0.19, 0, 0, 10, 10, 0, 0, CODE32_MOST},
           {CODE39_VARIANT_BARS, CODE39_VARIANT, {10, 10}, {"Code39"}}),
    // The 2 of 5 family with the start and stop of Interleaved 2 of 5.
    linear({Symbology::Iata2of5, "iata25", "IATA 2 of 5", {"iata2of5", "code25iata", ""}, "digits",
     CheckRule::Optional, false, true, 3, 0.254, 0.19, 0, 0, 10, 10, 0, 0, LINEAR_MOST},
           {TWO_OF_FIVE_VARIANT_BARS, TWO_OF_FIVE_VARIANT, {10, 10}, {}}),
    linear({Symbology::Datalogic2of5, "datalogic25", "Datalogic 2 of 5", {"datalogic2of5", "chinapost", ""},
     "digits", CheckRule::Optional, false, true, 3, 0.254, 0.19, 0, 0, 10, 10, 0, 0, LINEAR_MOST},
           {TWO_OF_FIVE_VARIANT_BARS, TWO_OF_FIVE_VARIANT, {10, 10}, {}}),
    // Pharmacode's spaces are two modules; quiet zones of three spaces.
    linear({Symbology::Pharmacode, "pharmacode", "Pharmacode", {"laetus", "pharmacodeonetrack", ""},
     "a number from 3 to 131070", CheckRule::None, false, true, 3, PHARMACODE_X_MM, 0.5, 0, PHARMACODE_HEIGHT_MM,
     6, 6, 0, 0, PHARMACODE_MOST},
           {PHARMACODE_BARS, PHARMACODE, {6, 6}, {}, detail::compareLinear, GradeFamily::MultiWidthLinear}),
    // UK Plessey: bits of four modules, three-to-one; its cyclic check always drawn.
    linear({Symbology::Plessey, "plessey", "Plessey", {"ukplessey", "plesseycode", ""},
     "hexadecimal digits 0-9 and A-F", CheckRule::Mandatory, false, true, 3, 0.254, 0.19, 0, 0, 10, 10, 0, 0,
     LINEAR_MOST},
           {PLESSEY_BARS, PLESSEY, {10, 10}, {}}),
    // Telepen: elements of one and three modules; its modulo-127 check always drawn.
    linear({Symbology::Telepen, "telepen", "Telepen", {"telepenascii", "telepenfullascii", ""}, "ASCII (bytes 0-127)",
     CheckRule::Mandatory, false, true, 3, 0.254, 0.19, 0, 0, 10, 10, 0, 0, LINEAR_MOST},
           {TELEPEN_BARS, TELEPEN, {10, 10}, {}}),
    linear({Symbology::TelepenNumeric, "telepen-num", "Telepen numeric", {"telepennumeric", "", ""},
     "digits, and X after a digit as the second of a pair (a leading zero evens an odd count)",
     CheckRule::Mandatory, false, true, 3, 0.254, 0.19, 0, 0, 10, 10, 0, 0, LINEAR_MOST},
           {TELEPEN_BARS, TELEPEN, {10, 10}, {}}),
    // GS1 DataBar (ISO/IEC 24724): no quiet zones beyond the guards' spaces,
    // which the symbols leave to the layout. Heights: 33 X, 13 X truncated,
    // 34 X for Expanded; the stacked rows are drawn as rows of modules.
    linear({Symbology::DataBar, "databar", "GS1 DataBar", {"databar-omni", "rss14", "gs1databar"},
     "a GTIN: 13 digits, or 14 with its check digit, optionally after (01)", CheckRule::Mandatory, false, false, 0,
     DATABAR_X_MM, 0.264, 33, 0, 1, 1, 0, 0, DATABAR_MOST},
           {DATABAR_BARS, DATABAR, {1, 1}, {"DataBar", false, true, "01"}}),
    linear({Symbology::DataBarTruncated, "databar-truncated", "GS1 DataBar Truncated", {"rss14truncated", "", ""},
     "a GTIN: 13 digits, or 14 with its check digit, optionally after (01)", CheckRule::Mandatory, false, false, 0,
     DATABAR_X_MM, 0.264, 13, 0, 1, 1, 0, 0, DATABAR_MOST},
           {DATABAR_BARS, DATABAR, {1, 1}, {"DataBar", false, true, "01"}}),
    matrix<DATABAR_STACKED>({Symbology::DataBarStacked, "databar-stacked", "GS1 DataBar Stacked", {"rss14stacked", "", ""},
     "a GTIN: 13 digits, or 14 with its check digit, optionally after (01)", CheckRule::Mandatory, true, false, 0,
     DATABAR_X_MM, 0.264, 0, 0, 1, 1, 1, 0, DATABAR_MOST}),
    matrix<DATABAR_STACKED_OMNI>({Symbology::DataBarStackedOmni, "databar-stacked-omni",
     "GS1 DataBar Stacked Omnidirectional", {"rss14stackedomni", "databarstackedomnidirectional", ""},
     "a GTIN: 13 digits, or 14 with its check digit, optionally after (01)", CheckRule::Mandatory, true, false, 0,
     DATABAR_X_MM, 0.264, 0, 0, 1, 1, 1, 0, DATABAR_MOST}),
    linear({Symbology::DataBarExpanded, "databar-expanded", "GS1 DataBar Expanded", {"rssexpanded", "databarexp", ""},
     "GS1 element strings: (01)98898765432106(3202)012345(15)991231, or AIs with GS after variable-length fields",
     CheckRule::Mandatory, false, false, 0, DATABAR_X_MM, 0.264, 34, 0, 1, 1, 0, CAP_GS1 | CAP_GS1_ONLY,
     EXPANDED_MOST},
           {DATABAR_BARS, DATABAR_EXPANDED, {1, 1}, {"DataBarExpanded", false, true, {}, true}}),
    matrix<DATABAR_EXPANDED_STACKED>({Symbology::DataBarExpandedStacked, "databar-expanded-stacked",
     "GS1 DataBar Expanded Stacked", {"rssexpandedstacked", "databarexpstk", ""},
     "GS1 element strings, as for GS1 DataBar Expanded, in rows of 2-22 segments", CheckRule::Mandatory, true, false,
     0, DATABAR_X_MM, 0.264, 0, 0, 1, 1, 1, CAP_GS1 | CAP_GS1_ONLY | CAP_DATABAR_SEGMENTS, EXPANDED_MOST}),
    // The postal codes read by bar heights, not graded. IMb: 1/8 inch either
    // side, about three bar pitches, as for the four-state codes after it.
    linear({Symbology::Imb, "imb", "IMb", {"uspsimail", "intelligentmail", "onecode"},
     "a 20-digit tracking code (its second digit 0-4), then a routing code of 5, 9 or 11 digits after '-', a space "
     "or nothing", CheckRule::Mandatory, false, false, 0, FOUR_STATE_X_MM, FOUR_STATE_MIN_X_MM, 0, IMB_HEIGHT_MM, 6,
     6, 0, 0, IMB_MOST, {}, IMB_TRACKER_MM},
           {IMB_BARS, FOUR_STATE, {2.5, 2.5, " bar pitches"}, {}, detail::compareLinear, GradeFamily::HeightModulated,
            detail::imbFacts}),
    linear({Symbology::Planet, "planet", "PLANET", {"uspsplanet", "", ""}, "11 or 13 digits", CheckRule::Mandatory,
     false, false, 0, 0.254, 0.19, 0, POSTNET_HEIGHT_MM, 13, 13, 0, 0, PLANET_MOST},
           {PLANET_BARS, POSTNET, {2.5, 2.5, " bar pitches"}, {}, detail::compareLinear,
            GradeFamily::HeightModulated}),
    linear({Symbology::Rm4scc, "rm4scc", "RM4SCC", {"royalmail", "royalmail4scc", "cbc"},
     "digits and upper-case letters", CheckRule::Mandatory, false, false, 0, FOUR_STATE_X_MM, FOUR_STATE_MIN_X_MM, 0,
     RM4SCC_HEIGHT_MM, 6, 6, 0, 0, RM4SCC_MOST, {}, RM4SCC_TRACKER_MM},
           {ROYAL_MAIL_BARS, FOUR_STATE, {2.5, 2.5, " bar pitches"}, {}, detail::compareLinear,
            GradeFamily::HeightModulated}),
    linear({Symbology::Kix, "kix", "KIX", {"kixcode", "dutchkix", ""}, "digits and upper-case letters", CheckRule::None,
     false, false, 0, FOUR_STATE_X_MM, FOUR_STATE_MIN_X_MM, 0, RM4SCC_HEIGHT_MM, 6, 6, 0, 0, KIX_MOST, {},
     RM4SCC_TRACKER_MM},
           {ROYAL_MAIL_BARS, FOUR_STATE, {2.5, 2.5, " bar pitches"}, {}, detail::compareLinear,
            GradeFamily::HeightModulated}),
    // Australia Post: the FCC follows from the row and the customer
    // information's length, or is given with a space before the sorting code.
    linear({Symbology::AusPost, "auspost", "Australia Post", {"australiapost", "auspostcustomer", ""},
     "an 8-digit sorting code (DPID), then 8 or 15 digits of customer information or none; an FCC (11, 59, 62) "
     "and a space may come first", CheckRule::Mandatory, false, false, 0, AUSPOST_X_MM, FOUR_STATE_MIN_X_MM, 0,
     AUSPOST_HEIGHT_MM, 6, 6, 0, 0, AUSPOST_MOST, {}, AUSPOST_TRACKER_MM},
           {AUSPOST_BARS, FOUR_STATE, {2.5, 2.5, " bar pitches"}, {}, detail::compareLinear,
            GradeFamily::HeightModulated, detail::ausPostFacts}),
    linear({Symbology::AusReply, "ausreply", "Australia Post Reply Paid", {"auspostreply", "", ""},
     "an 8-digit sorting code (DPID); the FCC 45 and a space may come first", CheckRule::Mandatory, false, false, 0,
     AUSPOST_X_MM, FOUR_STATE_MIN_X_MM, 0, AUSPOST_HEIGHT_MM, 6, 6, 0, 0, AUSPOST_MOST, {}, AUSPOST_TRACKER_MM},
           {AUSPOST_BARS, FOUR_STATE, {2.5, 2.5, " bar pitches"}, {}, detail::compareLinear,
            GradeFamily::HeightModulated, detail::ausPostFacts}),
    linear({Symbology::AusRoute, "ausroute", "Australia Post Routing", {"auspostrouting", "", ""},
     "an 8-digit sorting code (DPID); the FCC 87 and a space may come first", CheckRule::Mandatory, false, false, 0,
     AUSPOST_X_MM, FOUR_STATE_MIN_X_MM, 0, AUSPOST_HEIGHT_MM, 6, 6, 0, 0, AUSPOST_MOST, {}, AUSPOST_TRACKER_MM},
           {AUSPOST_BARS, FOUR_STATE, {2.5, 2.5, " bar pitches"}, {}, detail::compareLinear,
            GradeFamily::HeightModulated, detail::ausPostFacts}),
    linear({Symbology::AusRedirect, "ausredirect", "Australia Post Redirection", {"auspostredirect", "", ""},
     "an 8-digit sorting code (DPID); the FCC 92 and a space may come first", CheckRule::Mandatory, false, false, 0,
     AUSPOST_X_MM, FOUR_STATE_MIN_X_MM, 0, AUSPOST_HEIGHT_MM, 6, 6, 0, 0, AUSPOST_MOST, {}, AUSPOST_TRACKER_MM},
           {AUSPOST_BARS, FOUR_STATE, {2.5, 2.5, " bar pitches"}, {}, detail::compareLinear,
            GradeFamily::HeightModulated, detail::ausPostFacts}),
    // DAFT: any four-state bars, named by their states, drawn as Royal Mail's.
    linear({Symbology::Daft, "daft", "DAFT", {"daftcode", "fourstate", ""},
     "the letters D, A, F and T (either case): descender, ascender, full bar, tracker", CheckRule::None, false, false,
     0, FOUR_STATE_X_MM, FOUR_STATE_MIN_X_MM, 0, RM4SCC_HEIGHT_MM, 6, 6, 0, 0, DAFT_MOST, {}, RM4SCC_TRACKER_MM},
           {DAFT_BARS, FOUR_STATE, {2.5, 2.5, " bar pitches"}, {}, detail::compareLinear,
            GradeFamily::HeightModulated}),
    // Micro QR (ISO/IEC 18004) and rMQR (ISO/IEC 23941): one finder pattern,
    // so a quiet zone of 2 modules all round is enough; X as for QR Code.
    matrix<MICRO_QR>({Symbology::MicroQr, "microqr", "Micro QR", {"micro-qr", "microqrcode", ""},
     "digits, upper-case letters, bytes; UTF-8 text (JIS X 0208 characters in Kanji mode)", CheckRule::Mandatory,
     true, false, 0, 0.5, 0.25, 0, 0, 2, 2, 2, CAP_QR, MICROQR_MOST}),
    matrix<RMQR>({Symbology::Rmqr, "rmqr", "rMQR", {"rectangular-micro-qr", "iso23941", ""},
     "any bytes; UTF-8 text (JIS X 0208 characters in Kanji mode)", CheckRule::Mandatory, true, false, 0, 0.5, 0.25,
     0, 0, 2, 2, 2, CAP_GS1 | CAP_FNC1 | CAP_ECI | CAP_QR | CAP_RMQR, RMQR_MOST}),
    // UPNQR (Slovenia's payment order, ZBS): QR Code version 15 at level M,
    // ISO 8859-2 bytes under ECI 4; its quiet zone is QR Code's.
    matrix<UPN_QR>({Symbology::UpnQr, "upnqr", "UPNQR", {"upn", "upn-qr", ""},
     "the payment order's fields, each on a line: UTF-8 text of ISO 8859-2 (Latin-2)", CheckRule::Mandatory, true,
     false, 0, 0.5, 0.25, 0, 0, 4, 4, 4, 0, UPNQR_MOST}),
};
static_assert(std::size(REGISTRY) == SYMBOLOGY_COUNT);

constexpr bool inEnumOrder() {
    for (int i = 0; i < SYMBOLOGY_COUNT; ++i)
        if (static_cast<int>(REGISTRY[i].info.id) != i)
            return false;
    return true;
}
static_assert(inEnumOrder(), "registry rows follow the Symbology enumeration");

// The public facts of the rows, side by side as allSymbologies() gives them.
template <std::size_t... I>
constexpr std::array<SymbologyInfo, SYMBOLOGY_COUNT> infosOf(std::index_sequence<I...>) {
    return {REGISTRY[I].info...};
}
constexpr std::array<SymbologyInfo, SYMBOLOGY_COUNT> INFOS = infosOf(std::make_index_sequence<SYMBOLOGY_COUNT>{});

bool isSeparator(char c) { return c == '-' || c == '_' || c == ' '; }

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Equal ignoring case and the separators people put into names.
bool sameName(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    for (;;) {
        while (i < a.size() && isSeparator(a[i]))
            ++i;
        while (j < b.size() && isSeparator(b[j]))
            ++j;
        if (i == a.size() || j == b.size())
            return i == a.size() && j == b.size();
        if (lower(a[i++]) != lower(b[j++]))
            return false;
    }
}

}  // namespace

std::vector<std::string_view> capabilityNames(const SymbologyInfo& info) {
    constexpr struct {
        Capability c;
        std::string_view name;
    } NAMES[] = {{CAP_GS1, "gs1"},          {CAP_FNC1, "fnc1"},     {CAP_ECI, "eci"},
                 {CAP_STRUCTURED_APPEND, "structured-append"},    {CAP_READER_INIT, "reader-init"},
                 {CAP_ADD_ON, "add-on"},    {CAP_RETAIL_TEXT, "retail-text"}};
    std::vector<std::string_view> out;
    for (const auto& n : NAMES)
        if (info.takes(n.c))
            out.push_back(n.name);
    return out;
}

const SymbologyInfo& symbologyInfo(Symbology s) { return INFOS[static_cast<int>(s)]; }

const SymbologyInfo* allSymbologies() { return INFOS.data(); }

const detail::Descriptor& detail::descriptor(Symbology s) { return REGISTRY[static_cast<int>(s)]; }

std::optional<Symbology> findSymbology(std::string_view name) {
    // The name as the registry spells it, as callers mostly give it: one
    // comparison of lengths and bytes per symbology before the looser match.
    for (const SymbologyInfo& info : INFOS)
        if (info.name == name)
            return info.id;
    for (const SymbologyInfo& info : INFOS) {
        if (sameName(info.name, name))
            return info.id;
        for (std::string_view alias : info.aliases)
            if (!alias.empty() && sameName(alias, name))
                return info.id;
    }
    return std::nullopt;
}

}  // namespace korvane
