#include "BarlaneCli.h"

#include "EmfPainter.h"
#include "LinearSymbol.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The literals run together as the program has always printed them.
constexpr const char* USAGE[] = {
    "Korvane Barcode 1D\n",
    "- file: output filename\n",
    "- code: value to be encoded\n",
    "- height: bar height\n",
    "- code128Set: A, B or C\n",
    "- type: barcode type (0-code39, 1-code39 extended, 2-Interleaved25, 3-code11, 4 codebar, 5 MSI, 6 UPCA",
    "7-Industrial 2of5, 8-Matrix 2of5, 9-code93, 10-EAN13, 11-EAN8, 12-UPCE, 13-Code128, 14-Code93 extended",
    "15-Postnet, 16-EAN128)\n",
    "\n",
};

constexpr int FONT_HEIGHT = 20;

// Leading base-10 integer as strtol reads it (0 when there are no digits),
// saturated to the range of int.
int parseInteger(const std::string& s) {
    const long v = std::strtol(s.c_str(), nullptr, 10);
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

void applyOption(const std::string& name, const std::string& value, LinearSymbol& symbol, std::string& file) {
    if (name == "-file")
        file = value;
    else if (name == "-type")
        symbol.symbology = parseInteger(value);
    else if (name == "-height")
        symbol.barHeight = parseInteger(value);
    else if (name == "-code")
        symbol.code = value;
    else if (name == "-code128set")
        symbol.code128Set = value.empty() ? '\0' : value[0];
    // any other name is consumed with its value and ignored
}

std::string whyNoBars(const LinearSymbol& symbol) {
    if (!symbol.failureReason.empty())
        return symbol.failureReason;
    if (symbol.symbology < 0 || symbol.symbology >= LinearSymbol::SYMBOLOGY_COUNT)
        return "barcode type " + std::to_string(symbol.symbology) + " does not exist (types are 0 to 16)";
    return "the value \"" + symbol.code + "\" gives no bars for barcode type " + std::to_string(symbol.symbology);
}

}  // namespace

int runBarlane(int argc, const char* const* argv, TextOutput& out, TextOutput& err) {
    std::string file = "barcode.emf";
    LinearSymbol symbol;
    symbol.code = "123456789012";
    symbol.symbology = LinearSymbol::CODE39;

    for (const char* line : USAGE)
        out.write(line);

    std::string pending;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (pending.empty()) {
            pending = arg;
            out.write("Paramameter  " + arg + " = ");
        } else {
            out.write(arg + "\n");
            applyOption(pending, arg, symbol, file);
            pending.clear();
        }
    }
    out.flush();

    symbol.processTilde = true;
    symbol.checkCharacter = true;
    symbol.buildSymbol();

    for (const std::string& warning : symbol.warnings)
        err.write("barlane: warning: " + warning + "\n");
    if (symbol.barCount == 0) {
        err.write("barlane: no file written: " + whyNoBars(symbol) + "\n");
        return 1;
    }
    EmfPainter painter;
    errno = 0;
    if (!painter.paintBars(file, symbol.barWidths.data(), symbol.barHeights.data(), symbol.barCount, symbol.text,
                           FONT_HEIGHT, static_cast<int>(symbol.text.size()))) {
        const int e = errno;
        err.write("barlane: cannot write \"" + file + "\": " + (e != 0 ? std::strerror(e) : "write failed") + "\n");
        return 1;
    }
    return 0;
}
