#pragma once
// A symbology's descriptor: its row of facts (SymbologyInfo, the public part)
// with what the library does for it - the encoder, the reader, how a reading
// is compared with the symbol, the facts it reports, how zxing-cpp's second
// opinion is asked for. The registry (Registry.cpp) holds one descriptor per
// symbology; encode(), verify() and factsRecord() read the descriptor and
// never switch on the symbology themselves.

#include "korvane/Encode.h"
#include "korvane/Facts.h"
#include "korvane/Message.h"
#include "korvane/Symbology.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvane {

struct GrayRaster;

namespace detail {

struct Reading;
struct ScanLine;
struct LineRead;
struct LinearReadOptions;

// Quiet zones the linear reader asks for, before and after the symbol, in
// units the reader measures: modules, or for Postnet bar pitches.
struct QuietZone {
    double before = 10;
    double after = 10;
    const char* unit = " modules";
};

// What zxing-cpp is asked for as a second opinion.
struct ZxingRead {
    std::string_view format;   // zxing-cpp's name of the format; empty when it reads none such
    bool fullAscii = false;    // Code 39's full-ASCII pairs
    bool checkInData = true;   // optional check characters come back with the data
    std::string_view before = {};  // what it leaves out before the data (GS1 DataBar's AI "01")
    bool bracketedGs1 = false;     // GS1 element strings come back as "(01)...(10)..." (DataBar Expanded)
};

// How grade() grades a symbology: ISO/IEC 15416 for linear symbols (two-width
// ones measure decodability against the wide ratio, retail ones take GS1's
// aperture), ISO/IEC 15415 for matrix symbols and for PDF417 as a multi-row
// symbol; height-modulated postal symbols are not graded.
enum class GradeFamily { TwoWidthLinear, MultiWidthLinear, Retail, HeightModulated, Matrix, Pdf417 };

struct Descriptor {
    SymbologyInfo info;
    // Encodes a parsed message whose options and markers were checked.
    Result<Symbol> (*encode)(Symbology s, const Message& message, const EncodeOptions& o);
    // Encodes data as it is, with no escapes or GS1 parsing: the fast path
    // of encode() for the symbologies that have one (null otherwise).
    Result<Symbol> (*encodeBytes)(Symbology s, std::string_view data, bool gs1, const EncodeOptions& o);
    // Reads one scan line (the linear symbologies), or null.
    LineRead (*readLine)(const ScanLine& line, Symbology s, const LinearReadOptions& o);
    // Reads a picture (the matrix symbologies), or null.
    Reading (*readPicture)(const GrayRaster& raster);
    // What a reading whose data agrees says otherwise than the symbol: marks,
    // sizes, check characters, add-ons; empty when they agree.
    std::string (*compare)(const Reading& r, const Symbol& symbol);
    // The facts the symbology adds to the common ones, or null.
    Fact (*facts)(const Symbol& symbol);
    QuietZone readerQuiet;
    ZxingRead zxing;
    GradeFamily grading;
};

// The descriptor of a symbology (one of the enumeration's values).
const Descriptor& descriptor(Symbology s);

// Options.cpp: whether checkOptionsApply() would accept the options, without
// the Status (encode()'s fast path asks this first).
bool optionsApply(Symbology symbology, const EncodeOptions& options);

// The functions the rows name, each kept by the part of the library it
// belongs to.
// Verify.cpp: the comparisons.
std::string compareLinear(const Reading& r, const Symbol& symbol);
std::string compareCode128(const Reading& r, const Symbol& symbol);
std::string compareAztec(const Reading& r, const Symbol& symbol);
std::string compareQr(const Reading& r, const Symbol& symbol);
std::string compareDataMatrix(const Reading& r, const Symbol& symbol);
std::string comparePdf417(const Reading& r, const Symbol& symbol);
// Verify.cpp: the Aztec reader with the check of the picture a scanner would trust.
Reading readAztecPicture(const GrayRaster& raster);
// Facts.cpp: the facts of the matrix symbologies.
Fact aztecFacts(const Symbol& s);
Fact qrFacts(const Symbol& s);
// Micro QR and rMQR: QR Code's facts with the version's name ("M2", "R7x43").
Fact smallQrFacts(const Symbol& s);
Fact dataMatrixFacts(const Symbol& s);
Fact pdf417Facts(const Symbol& s);
Fact dataBarFacts(const Symbol& s);
// Facts.cpp: the fields of an IMb.
Fact imbFacts(const Symbol& s);
// Facts.cpp: the fields of an Australia Post barcode.
Fact ausPostFacts(const Symbol& s);

}  // namespace detail
}  // namespace korvane
