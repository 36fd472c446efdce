#pragma once
// The readers behind verify(): they read symbols back from pictures of them,
// written from the symbologies' published definitions and independent of the
// encoders (no encoder table or lookup is used here; every reverse table is
// built from the standards' own tables).
//
// A reader sees the picture the way a scanner does: dark and light only, no
// knowledge of where the symbol lies, how large its modules are or which way it
// is turned. It says what it read, or why it read nothing.

#include "korvane/Raster.h"
#include "korvane/Symbology.h"

#include <string>
#include <utility>
#include <vector>

namespace korvane::detail {

// Where a matrix symbol's modules lie in the picture: the centre of module
// (row, column) of the upright symbol is at (x, y) + (column - column0)
// across + (row - row0) down, across and down being one module's step in
// pixels. Turns and mirroring show in the two steps.
struct ModuleGrid {
    double x = 0, y = 0;
    int row0 = 0, column0 = 0;
    double acrossX = 0, acrossY = 0, downX = 0, downY = 0;

    void centre(int row, int column, double& px, double& py) const {
        const double u = column - column0, v = row - row0;
        px = x + u * acrossX + v * downX;
        py = y + u * acrossY + v * downY;
    }
};

// One Reed-Solomon block of a matrix symbol as read: its codewords, as
// indices into the symbol's codewords in the order of their modules, the
// check words among them, how many of those only guard against misreading
// (QR Code's smallest versions), and the words the check words corrected.
struct CodewordBlock {
    std::vector<int> words;
    int checkWords = 0;
    int protection = 0;
    int corrected = 0;
};

struct Reading {
    bool ok = false;
    std::string failure;  // why nothing valid was read, when !ok

    // As SymbolFacts holds them: the data as a reader returns it, the check
    // characters read (each one verified), the EAN/UPC add-on digits.
    std::string data;
    std::string checkCharacters;
    std::string addOn;
    bool gs1 = false;  // Code 128: FNC1 in first position (GS1-128)

    // Aztec: what the mode message and the message header say.
    bool compact = false;
    int layers = 0;
    int size = 0;
    int dataCodewords = 0;
    bool readerInit = false;
    int structuredIndex = 0;  // 1-26 in a structured-append set, 0 otherwise
    int structuredCount = 0;
    std::string structuredId;
    int correctedCodewords = 0;  // mode-message and data words the check words had to correct

    // QR Code: what the format and version information say, and the
    // structured-append parity byte (-1 outside a set).
    int qrVersion = 0;
    char qrLevel = 0;  // 'L', 'M', 'Q' or 'H'
    int qrMask = -1;
    int structuredParity = -1;
    // Data Matrix: the size the clock tracks count.
    int rows = 0;
    int columns = 0;
    int erasedCodewords = 0;     // PDF417: characters no scan line read, corrected as erasures
    // PDF417: the optional fields of a Macro PDF417 control block by designator
    // (0 file name, 2 time stamp, 3 sender, 4 addressee, 5 file size, 6 checksum;
    // the segment count is structuredCount), as text or decimal digits.
    std::vector<std::pair<int, std::string>> macroFields;
    int correctedDataCodewords = 0;  // of those, the words of the data layers
    int checkCodewords = 0;          // check words of the data layers (PDF417: of the symbol)
    // PDF417, for grading: the turn the rows were read in (0 across, 1 across
    // from the right, 2 down, 3 up), and per row the first and last picture
    // line (a row of pixels, or a column when turned) whose row indicator
    // placed it in that row (-1 where none did).
    int pdf417Turn = 0;
    std::vector<std::pair<int, int>> pdf417RowLines;

    // Where a matrix symbol was found in the picture: its centre module's
    // centre, the module pitch in pixels, and the quarter turns clockwise that
    // bring the symbol's own top up (0-3).
    double centreX = 0;
    double centreY = 0;
    double modulePixels = 0;
    int quarterTurns = 0;
    // QR Code, Data Matrix and Aztec: the module grid, and the blocks of
    // codewords (Aztec: one).
    ModuleGrid grid;
    std::vector<CodewordBlock> blocks;
};

// What a linear reader is told beforehand, as a scanner is configured.
struct LinearReadOptions {
    // Optional check characters are present and must be verified (Code 39,
    // Codabar, Code 11, MSI, Interleaved and Industrial 2 of 5; ignored for
    // Matrix 2 of 5, which has none); the mandatory ones of Code 93,
    // Code 128, EAN/UPC and Postnet are always verified.
    bool check = false;
    int msiCheckDigits = 1;  // 1 (modulo 10 or 11) or 2 (modulo 10 or 11, then modulo 10)
    // EAN/UPC: a symbol must come with an add-on (scanners can be set so);
    // a scan line that misses the add-on does not count.
    bool requireAddOn = false;
    // Whether the reader judges the quiet zones itself; grade() judges them
    // once, for its decode and its quiet-zone parameter alike.
    bool quietZones = true;
};

// Reads one linear symbol of the given symbology from scan lines across the
// raster (rows, then columns; each read in both directions). Pixels below 128
// are dark.
Reading readLinear(const GrayRaster& raster, Symbology symbology, const LinearReadOptions& options = {});

// Reads one Aztec symbol: finds the bull's-eye, reads the mode message and the
// layers, checks and corrects the Reed-Solomon words and decodes the message.
// Pixels below 128 are dark.
Reading readAztec(const GrayRaster& raster);

// Reads one QR Code symbol: finds the three finder patterns, reads the format
// and version information, unmasks, corrects the Reed-Solomon blocks and
// decodes the segments (numeric, alphanumeric, byte, Kanji as UTF-8; ECI
// designators leave the bytes as they are; FNC1 separators read as GS, an
// application indicator before the data). Pixels below 128 are dark; light
// modules on a dark ground are read too.
Reading readQr(const GrayRaster& raster);

// Reads one Micro QR or one rMQR symbol upright (or turned by quarter turns)
// on a light ground: the symbol's extent and the finder's module size, the
// format information, unmasking, the Reed-Solomon check and the segments.
// Pixels below 128 are dark.
Reading readMicroQr(const GrayRaster& raster);
Reading readRmqr(const GrayRaster& raster);
// The modules that carry codeword bits, in the order of the bit stream, as
// (row, column): Micro QR version 1-4 (M1 and M3 end their data with a word
// of four bits, then the check words), rMQR size number 0-31 (interleaved
// codewords; the remainder modules left out). Empty outside those ranges.
std::vector<std::pair<int, int>> microQrCodewordModules(int version);
std::vector<std::pair<int, int>> rmqrCodewordModules(int size);

// The modules of a QR Code symbol of `version` that carry codeword bits, in
// the order of the interleaved codewords (most significant bit first), as
// (row, column); the few remainder modules after the last codeword are left out.
std::vector<std::pair<int, int>> qrCodewordModules(int version);
// The rows (and columns) of the centres of a QR Code version's alignment
// patterns; those that would overlap a finder are not drawn.
std::vector<int> qrAlignmentCentres(int version);
// The modules of a Data Matrix symbol of rows x columns that carry codeword
// bits, eight a codeword (most significant bit first) in the order of the
// codewords, as (row, column) of the whole symbol; empty for no such size.
std::vector<std::pair<int, int>> dataMatrixCodewordModules(int rows, int columns);
// Reads one Data Matrix symbol, upright or turned by quarter turns: finds the
// L-shaped finder and the clock tracks, samples the modules, corrects the
// Reed-Solomon blocks and decodes every encodation. Pixels below 128 are dark.
Reading readDataMatrix(const GrayRaster& raster);
// Reads one PDF417 symbol: finds rows by their start (or stop) patterns, reads
// each row's symbol characters and their clusters, takes the shape from the
// row indicators, corrects the codewords with the check words (erasures where a
// character could not be read) and decodes every compaction mode, ECI and the
// Macro PDF417 control block. Pixels below 128 are dark.
Reading readPdf417(const GrayRaster& raster);
// Why a scanner would not trust the picture of an Aztec symbol that
// readAztec() read (`reading` must be ok), or "" when it would. Along every row
// and column of modules the picture must show the runs its modules make: a
// light line between dark modules fails, and so does a run that is more than
// a quarter module wider or narrower than its modules (print growth that
// makes neighbours hard to tell apart). The bull's-eye must be square: its
// rings, edge to similar edge, within a tenth of a module of each other, since
// scanners place the whole grid from it. These limits follow where zxing-cpp
// stops reading such pictures.
std::string aztecPictureFault(const GrayRaster& raster, const Reading& reading);

// Where an Aztec symbol's data modules lie, in the order of its bit stream
// (outermost layer first), as offsets (x right, y down) from the centre
// module. The first (bits mod codeword size) modules hold no codeword.
std::vector<std::pair<int, int>> aztecDataModules(bool compact, int layers);

}  // namespace korvane::detail
