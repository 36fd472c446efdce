#pragma once
// grade(): the print-quality grade a verifier would give a drawing once
// printed: ISO/IEC 15416 for linear symbols, ISO/IEC 15415 for Aztec, QR Code,
// Data Matrix and (by its multi-row method) PDF417.

#include "Export.h"
#include "Drawing.h"
#include "Result.h"
#include "Symbol.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// How a printer puts a drawing on paper. The drawing's rectangles are placed
// on the printer's dot grid (edges at the nearest dot), ink spreads `dotGain`
// dots past every edge where dark meets light (negative: thins), and the
// picture is smeared by a Gaussian of standard deviation `blur` dots.
struct PrinterProfile {
    std::string name = "ideal";
    double dpi = 0;      // 0: the drawing's own resolution
    double dotGain = 0;  // printer dots, -2 to 2
    double blur = 0;     // printer dots, 0 to 2
};

// A named profile ("ideal", "thermal203", "thermal300", "laser600") or
// explicit values "DPI[,GAIN[,BLUR]]", gain and blur in printer dots or, with
// "mm" after them, in millimetres ("203,0.3", "600,0.02mm,0.5"). An unknown
// name or a value out of range is an InvalidOption error naming it.
KORVANE_API Result<PrinterProfile> printerProfile(std::string_view spec);

// One measured parameter: its value and its grade (4 A, 3 B, 2 C, 1 D, 0 F).
// Reflectances and contrasts are fractions (0.70 is 70 %); decode is 1 or 0.
struct QualityParameter {
    std::string name;          // "symbol contrast", "modulation", ...
    double value = 0;
    int grade = 0;
    bool informative = false;  // reported, not graded (print growth)
};

// One scan line of a linear symbol, or the scan along a PDF417 row (ISO/IEC
// 15416 scan reflectance profile).
struct ScanGrade {
    int grade = 0;  // the lowest of its parameters' grades
    std::vector<QualityParameter> parameters;
};

struct QualityGrade {
    bool graded = false;  // false: the symbology has no grading here (reason says so)
    // Not graded: why. Graded: what set the grade, in words: a drawing made for
    // another resolution than the printer's first ("drawn at 300 dpi for a 203
    // dpi printer: draw at 203 dpi ..."), then the parameters at the lowest
    // grade ("set by decodability, defects (F)"), then what was found wrong.
    std::string reason;
    std::string standard;  // "ISO/IEC 15416" or "ISO/IEC 15415"
    // The symbol grade: for linear symbols the mean of the scan grades, for
    // matrix symbols the lowest parameter grade, for PDF417 the lowest of the
    // rows' mean scan grade and its codeword parameters; to one decimal.
    double grade = 0;
    char letter = 'F';   // A (3.5 and over), B (2.5), C (1.5), D (0.5), F
    int aperture = 0;    // reference number: the synthetic aperture in thousandths of an inch
    int wavelength = 670;  // nm: reflectances are the colours' red component
    std::string text;    // as the standards write it: "3.5/06/670"
    // Linear: each parameter's worst value and grade over the scan lines.
    // Matrix: each parameter of the symbol. PDF417: the rows' profile
    // parameters at their worst, then codeword yield and unused error
    // correction (modulation, defects and decodability: the lower of the
    // start and stop patterns' and the codewords').
    std::vector<QualityParameter> parameters;
    std::vector<ScanGrade> scans;  // linear symbols: the ten scan lines; PDF417: one a row
    PrinterProfile profile;
};

// Prints the drawing as `profile` says (in simulation), then measures it as a
// verifier would: linear symbols along ten scan lines spread over the central
// 80 % of the bar height through a synthetic aperture (6 mils for EAN/UPC, else
// the largest reference aperture up to 0.8 X), two-dimensional ones by
// finding the symbol in the printed picture and sampling each module through
// an aperture of 0.8 X, PDF417 by one scan along the middle of each row the
// reader finds (aperture as for linear symbols) and by its codewords. The
// symbol must be the one the drawing was made from. Postnet is not graded (it
// is read by bar heights), nor PDF417 printed light on dark.
// Thread-safe.
KORVANE_API QualityGrade grade(const Drawing& drawing, const Symbol& symbol, const PrinterProfile& profile = {});

// The letter of a numeric grade.
KORVANE_API char gradeLetter(double grade);

}  // namespace korvane
