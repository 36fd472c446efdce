// The symbol model: dimensions, the build sequence, bar assembly and utilities.

#include "LinearSymbol.h"

#include "Code39Tables.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
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

}  // namespace

void LinearSymbol::computeDimensions() {
    int L = static_cast<int>(code.size());
    const int X = narrowBarWidth;
    const int N = wideRatio;
    const int I = interCharGap;
    const bool check = checkCharacter;
    const int c = check ? 1 : 0;

    narrowBarPixels = X;
    wideBarPixels = X * N;

    switch (symbology) {
    case CODE39:
        L += c;
        estimatedWidth = (L + 2) * (3 * N + 6) * X + (L + 1) * I * X;
        break;
    case CODE39_EXTENDED:
        L = c;
        for (char ch : code)
            L += fullAsciiLength(ch);
        estimatedWidth = (L + 2) * (3 * N + 6) * X + (L + 1) * I * X;
        break;
    case CODE93:
    case CODE93_EXTENDED:
        L = c;
        for (char ch : code) {
            const int len = fullAsciiLength(ch);
            L += len == 0 ? 0 : (len == 1 ? 1 : 2);
        }
        estimatedWidth = (L + 2) * 9 * X + (L + 1) * I * X;
        break;
    case INTERLEAVED_2OF5:
        if (check && floorMod(L, 2) == 0)
            ++L;
        if (!check && floorMod(L, 2) == 1)
            ++L;
        if (check)
            ++L;
        estimatedWidth = (L / 2) * (2 * N + 3) * X + 7 * X;
        break;
    case CODE11:
        if (check || code.size() > 10)
            ++L;
        estimatedWidth = (L + 3) * (2 * N + 3) * X;
        break;
    case CODABAR:
        L += c;
        estimatedWidth = (L + 2) * (3 * N + 4) * X;
        break;
    case MSI:
        L += c;
        estimatedWidth = (4 * N + 4) * L * X + (N + 1) * X + (N + 2) * X;
        break;
    case UPCA:
        L += c;
        estimatedWidth = 7 * L * X + 11 * X;
        break;
    case INDUSTRIAL_2OF5:
    case MATRIX_2OF5:
        L += c;
        estimatedWidth = (2 * N + 3) * L * X + 7 * X;
        break;
    case EAN13:
    case EAN8:
        estimatedWidth = 7 * L * X + 11 * X;
        break;
    case UPCE:
        estimatedWidth = 51 * X;
        break;
    case CODE128:
    case EAN128:
        L += c;
        if (code128Set == 'C')
            estimatedWidth = (11 * L + 35) * X;
        else
            estimatedWidth = static_cast<int>((5.5 * L + 35) * X);
        break;
    case POSTNET:
        estimatedWidth = 10 * X;
        break;
    default:
        break;  // unknown symbology: the estimate is left as it was
    }

    if (barHeight == 0.0) {
        barHeight = estimatedWidth * heightRatio;
        if (barHeight < 20.0)
            barHeight = 20.0;
    }
    if (barHeight != 0.0)
        barHeightPixels = static_cast<int>(barHeight);

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

void LinearSymbol::addElement(int width, int height) {
    barWidths.push_back(width);
    barHeights.push_back(height);
    barCount = static_cast<int>(barWidths.size());
    currentX = saturatingAdd(currentX, width);
}

void LinearSymbol::addPatternAtHeight(const std::string& colours, const std::string& pattern, int height) {
    for (std::size_t i = 0; i < colours.size() && i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == 'n')
            addElement(narrowBarPixels, height);
        else if (c == 'w')
            addElement(wideBarPixels, height);
        else if (const int units = patternUnits(c); units > 0)
            addElement(units * narrowBarPixels, height);
    }
}

void LinearSymbol::addPattern(const std::string& colours, const std::string& pattern) {
    addPatternAtHeight(colours, pattern, barHeightPixels);
}

void LinearSymbol::addGuardPattern(const std::string& colours, const std::string& pattern) {
    // Saturated: a bar height near the int limit (a "-height" of ten digits)
    // would otherwise overflow.
    if (guardBarHeightPixels < barHeightPixels)
        guardBarHeightPixels = static_cast<int>(std::min(std::floor(barHeightPixels * 1.3), double{INT_MAX}));
    addPatternAtHeight(colours, pattern, guardBars ? guardBarHeightPixels : barHeightPixels);
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

std::string LinearSymbol::intToString(int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d", n);
    return buf;
}
