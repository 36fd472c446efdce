// The symbol model: dimensions, the build sequence, bar assembly and utilities.

#include "LinearSymbol.h"

#include "Code39Tables.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace {

using Encoder = void (LinearSymbol::*)();

// Indexed by symbology number.
constexpr Encoder ENCODERS[] = {
    &LinearSymbol::encodeCode39,          &LinearSymbol::encodeCode39Extended,
    &LinearSymbol::encodeInterleaved2of5, &LinearSymbol::encodeCode11,
    &LinearSymbol::encodeCodabar,         &LinearSymbol::encodeMsi,
    &LinearSymbol::encodeUpcA,            &LinearSymbol::encodeIndustrial2of5,
    &LinearSymbol::encodeMatrix2of5,      &LinearSymbol::encodeCode93,
    &LinearSymbol::encodeEan13,           &LinearSymbol::encodeEan8,
    &LinearSymbol::encodeUpcE,            &LinearSymbol::encodeCode128,
    &LinearSymbol::encodeCode93Extended,  &LinearSymbol::encodePostnet,
    &LinearSymbol::encodeEan128,
};
static_assert(std::size(ENCODERS) == LinearSymbol::SYMBOLOGY_COUNT);

// Number of Code 39 characters that full-ASCII Code 39 spends on each byte
// (0 for bytes 128-255, which it cannot encode).
int fullAsciiLength(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 128 ? static_cast<int>(std::char_traits<char>::length(Code39AsciiTable[byte])) : 0;
}

// Width of a pattern code in narrow units, or 0 for a code that adds no element.
int patternUnits(char c) {
    if (c >= '1' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 0;
}

// Positions are ints; sizes near the int limit (a ten-digit bar height, huge
// widths set through the library) saturate instead of overflowing.
int saturatingAdd(int a, int b) {
    return static_cast<int>(std::clamp<long long>(static_cast<long long>(a) + b, INT_MIN, INT_MAX));
}

// The number of characters the width estimate counts: the value's length,
// with the check character where there is one, and for the full-ASCII
// symbologies what they spend on each byte.
int estimateLength(const LinearSymbol& s) {
    const int length = static_cast<int>(s.code.size());
    const int check = s.checkCharacter ? 1 : 0;
    int counted = check;
    switch (s.symbology) {
    case LinearSymbol::CODE39_EXTENDED:
        for (char ch : s.code)
            counted += fullAsciiLength(ch);
        return counted;
    case LinearSymbol::CODE93:
    case LinearSymbol::CODE93_EXTENDED:
        for (char ch : s.code) {
            const int len = fullAsciiLength(ch);
            counted += len == 0 ? 0 : (len == 1 ? 1 : 2);
        }
        return counted;
    case LinearSymbol::INTERLEAVED_2OF5:
        // Digits go in pairs: a check digit or a leading zero makes the count even.
        counted = length;
        if (s.checkCharacter && LinearSymbol::floorMod(counted, 2) == 0)
            ++counted;
        if (!s.checkCharacter && LinearSymbol::floorMod(counted, 2) == 1)
            ++counted;
        return counted + check;
    case LinearSymbol::CODE11:
        return s.checkCharacter || s.code.size() > 10 ? length + 1 : length;
    case LinearSymbol::EAN13:
    case LinearSymbol::EAN8:
    case LinearSymbol::UPCE:
    case LinearSymbol::POSTNET:
        return length;
    default:
        return length + check;
    }
}

// The estimated symbol width for L counted characters (integer arithmetic);
// false for a symbology that has no estimate.
bool widthEstimate(const LinearSymbol& s, int L, int& width) {
    const int X = s.narrowBarWidth;
    const int N = s.wideRatio;
    const int I = s.interCharGap;
    switch (s.symbology) {
    case LinearSymbol::CODE39:
    case LinearSymbol::CODE39_EXTENDED: width = (L + 2) * (3 * N + 6) * X + (L + 1) * I * X; return true;
    case LinearSymbol::CODE93:
    case LinearSymbol::CODE93_EXTENDED: width = (L + 2) * 9 * X + (L + 1) * I * X; return true;
    case LinearSymbol::INTERLEAVED_2OF5: width = (L / 2) * (2 * N + 3) * X + 7 * X; return true;
    case LinearSymbol::CODE11: width = (L + 3) * (2 * N + 3) * X; return true;
    case LinearSymbol::CODABAR: width = (L + 2) * (3 * N + 4) * X; return true;
    case LinearSymbol::MSI: width = (4 * N + 4) * L * X + (N + 1) * X + (N + 2) * X; return true;
    case LinearSymbol::UPCA:
    case LinearSymbol::EAN13:
    case LinearSymbol::EAN8: width = 7 * L * X + 11 * X; return true;
    case LinearSymbol::INDUSTRIAL_2OF5:
    case LinearSymbol::MATRIX_2OF5: width = (2 * N + 3) * L * X + 7 * X; return true;
    case LinearSymbol::UPCE: width = 51 * X; return true;
    case LinearSymbol::CODE128:
    case LinearSymbol::EAN128:
        width = s.code128Set == 'C' ? (11 * L + 35) * X : static_cast<int>((5.5 * L + 35) * X);
        return true;
    case LinearSymbol::POSTNET: width = 10 * X; return true;
    default: return false;
    }
}

// The body of addElement, inlined where patterns add their elements.
inline void appendElement(LinearSymbol& s, int width, int height) {
    s.barWidths.push_back(width);
    s.barHeights.push_back(height);
    s.barCount = static_cast<int>(s.barWidths.size());
    s.currentX = saturatingAdd(s.currentX, width);
}

}  // namespace

void LinearSymbol::computeDimensions() {
    // Element widths.
    narrowBarPixels = narrowBarWidth;
    wideBarPixels = narrowBarWidth * wideRatio;

    // The width estimate, which serves only the automatic bar height; a
    // symbology without one leaves the last estimate as it was.
    if (int width = 0; widthEstimate(*this, estimateLength(*this), width))
        estimatedWidth = width;

    // The automatic bar height, stored for later builds on the same object.
    if (barHeight == 0.0) {
        barHeight = estimatedWidth * heightRatio;
        if (barHeight < 20.0)
            barHeight = 20.0;
    }
    if (barHeight != 0.0)
        barHeightPixels = static_cast<int>(barHeight);

    // The narrowest elements a symbol can have.
    if (narrowBarPixels < 1)
        narrowBarPixels = 1;
    if (wideBarPixels < 2)
        wideBarPixels = 2;
}

void LinearSymbol::buildSymbol() {
    barWidths.clear();
    barHeights.clear();
    barCount = 0;
    currentX = 0;
    textY = 0;
    failureReason.clear();
    warnings.clear();

    computeDimensions();
    // Most symbols have fewer elements than this; longer ones grow as they go.
    reserveElements(TYPICAL_ELEMENTS);
    topMarginPixels = static_cast<int>(topMargin);
    leftMarginPixels = static_cast<int>(leftMargin);
    currentX = leftMarginPixels;
    guardMarks[4] = 0;

    const std::string asSet = code;
    if (processTilde)
        code = processTildes(code);
    if (symbology >= 0 && symbology < SYMBOLOGY_COUNT) {
        // Copied out first: GCC 12's bounds check misreads a member-pointer
        // array indexed in place at -O0.
        const Encoder encoder = ENCODERS[symbology];
        (this->*encoder)();
    }
    code = asSet;

    if (guardMarks[4] == 0)
        guardMarks[4] = currentX;
    if (text.empty())
        text = code;
    textY = saturatingAdd(barHeightPixels, topMarginPixels);
}

void LinearSymbol::addElement(int width, int height) { appendElement(*this, width, height); }

void LinearSymbol::reserveElements(int count) {
    if (count <= 0)
        return;
    barWidths.reserve(barWidths.size() + static_cast<std::size_t>(count));
    barHeights.reserve(barHeights.size() + static_cast<std::size_t>(count));
}

void LinearSymbol::addPatternCodes(const char* pattern, int count, int height) {
    // Read once: the stores below are ints too, so the compiler would read
    // the members again after each of them.
    const int narrow = narrowBarPixels;
    const int wide = wideBarPixels;
    // The widths are positive, so clamping the end position once equals
    // saturating each step.
    long long x = currentX;
    for (int i = 0; i < count; ++i) {
        const char c = pattern[i];
        int width;
        if (c == 'n')
            width = narrow;
        else if (c == 'w')
            width = wide;
        else if (const int units = patternUnits(c); units > 0)
            width = units * narrow;
        else
            continue;
        barWidths.push_back(width);
        barHeights.push_back(height);
        x += width;
    }
    barCount = static_cast<int>(barWidths.size());
    currentX = static_cast<int>(std::clamp<long long>(x, INT_MIN, INT_MAX));
}

void LinearSymbol::addPatternAtHeight(const std::string& colours, const std::string& pattern, int height) {
    addPatternCodes(pattern.c_str(), static_cast<int>(std::min(colours.size(), pattern.size())), height);
}

void LinearSymbol::addPatternAtHeight(const char* colours, const char* pattern, int height) {
    addPatternCodes(pattern, static_cast<int>(std::min(std::strlen(colours), std::strlen(pattern))), height);
}

void LinearSymbol::addPattern(const std::string& colours, const std::string& pattern) {
    addPatternAtHeight(colours, pattern, barHeightPixels);
}

void LinearSymbol::addPattern(const char* colours, const char* pattern) {
    addPatternAtHeight(colours, pattern, barHeightPixels);
}

int LinearSymbol::guardHeight() {
    // Saturated: a bar height near the int limit (a "-height" of ten digits)
    // would otherwise overflow.
    if (guardBarHeightPixels < barHeightPixels)
        guardBarHeightPixels = static_cast<int>(std::min(std::floor(barHeightPixels * 1.3), double{INT_MAX}));
    return guardBars ? guardBarHeightPixels : barHeightPixels;
}

void LinearSymbol::addGuardPattern(const std::string& colours, const std::string& pattern) {
    addPatternAtHeight(colours, pattern, guardHeight());
}

void LinearSymbol::addGuardPattern(const char* colours, const char* pattern) {
    addPatternAtHeight(colours, pattern, guardHeight());
}

void LinearSymbol::refuseSymbol(const std::string& why) {
    barWidths.clear();
    barHeights.clear();
    barCount = 0;
    currentX = leftMarginPixels;
    failureReason = why;
}

void LinearSymbol::dumpBars() const {
    std::fputs("Widths \n\n", stdout);
    for (int i = 0; i < barCount; ++i)
        std::printf(" %d", barWidths[i]);
    std::fputs("\nHeights \n\n", stdout);
    for (int i = 0; i < barCount; ++i)
        std::printf(" %d", barHeights[i]);
}

double LinearSymbol::floorMod(double a, double b) {
    const double q = a / b;
    double d = std::trunc(q);
    if (q < d)
        d -= 1;
    return a - b * d;
}

int LinearSymbol::parseNumber(const std::string& s) {
    const double v = std::strtod(s.c_str(), nullptr);
    // Out-of-range values would make the conversion undefined; clamp them.
    if (!(v > -2147483648.0))
        return v != v ? 0 : -2147483647 - 1;
    if (v >= 2147483647.0)
        return 2147483647;
    return static_cast<int>(v);
}

std::string LinearSymbol::charToString(char c) {
    return c == '\0' ? std::string() : std::string(1, c);
}

std::string LinearSymbol::intToString(int n) { return std::to_string(n); }  // as "%d" writes it
