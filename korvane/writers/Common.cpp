// Pieces every writer shares: checks, numbers, colours, text decoding.

#include "writers/Writers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace korvane::writers {

Status checkDrawing(const Drawing& d) {
    if (d.width <= 0 || d.height <= 0)
        return Error{ErrorCode::InvalidData, "the drawing is empty: its canvas is " + std::to_string(d.width) +
                                                 " x " + std::to_string(d.height) + " dots"};
    for (const TextRun& t : d.texts)
        if (t.rotation % 90 != 0)
            return Error{ErrorCode::InvalidData, "a text is turned by " + std::to_string(t.rotation) +
                                                     " degrees; writers turn text by multiples of 90 only"};
    return Done{};
}

bool clipToCanvas(const Rect& r, const Drawing& d, Rect& out) {
    const long long x0 = std::max<long long>(r.x, 0);
    const long long y0 = std::max<long long>(r.y, 0);
    const long long x1 = std::min<long long>(static_cast<long long>(r.x) + r.width, d.width);
    const long long y1 = std::min<long long>(static_cast<long long>(r.y) + r.height, d.height);
    if (x1 <= x0 || y1 <= y0)
        return false;
    out = {static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1 - x0), static_cast<int>(y1 - y0)};
    return true;
}

bool drawable(const TextRun& t) {
    return std::isfinite(t.x) && std::isfinite(t.y) && std::isfinite(t.size) && t.size > 0 && !t.text.empty();
}

double resolutionOf(const Drawing& d, const WriteOptions& o) {
    if (std::isfinite(d.dpi) && d.dpi > 0)
        return d.dpi;
    if (std::isfinite(o.fallbackDpi) && o.fallbackDpi > 0)
        return o.fallbackDpi;
    return 96;
}

char* formatInt(char* out, long long v) { return std::to_chars(out, out + INT_ROOM, v).ptr; }

void appendInt(std::string& out, long long v) {
    char buf[INT_ROOM];
    out.append(buf, static_cast<std::size_t>(formatInt(buf, v) - buf));
}

char* formatNumber(char* out, double v, int decimals) {
    constexpr double POWERS[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    if (!std::isfinite(v))
        v = 0;
    decimals = std::clamp(decimals, 0, 9);
    const double scale = POWERS[decimals];
    const double rounded = std::round(v * scale) / scale;
    if (rounded == std::floor(rounded) && std::fabs(rounded) < 9e15)
        return formatInt(out, static_cast<long long>(rounded));  // also turns -0 into 0
    char buf[NUMBER_ROOM];
#ifdef __EMSCRIPTEN__
    // The WebAssembly build's C++ library has no to_chars for doubles, and its
    // printf formats through 128-bit long doubles done in software, some
    // microseconds a number. `rounded` is the double nearest N / 10^decimals
    // for a whole N; while N is well inside the doubles' exact integers, its
    // digits are what to_chars would print, so they are written from N.
    const char* end = buf;
    const double whole = std::round(v * scale);
    if (std::fabs(whole) < 1e15) {
        char* p = buf + sizeof buf;
        auto n = static_cast<unsigned long long>(std::fabs(whole));
        for (int i = 0; i < decimals; ++i, n /= 10)
            *--p = static_cast<char>('0' + n % 10);
        *--p = '.';
        do {
            *--p = static_cast<char>('0' + n % 10);
            n /= 10;
        } while (n != 0);
        if (whole < 0)
            *--p = '-';
        const std::size_t length = static_cast<std::size_t>(buf + sizeof buf - p);
        std::memmove(buf, p, length);
        end = buf + length;
    } else {
        const int n = std::snprintf(buf, sizeof buf, "%.*f", decimals, rounded);
        end = buf + std::clamp(n, 0, static_cast<int>(sizeof buf) - 1);
    }
#else
    const auto r = std::to_chars(buf, buf + sizeof buf, rounded, std::chars_format::fixed, decimals);
    const char* end = r.ptr;
#endif
    while (end > buf && end[-1] == '0')
        --end;
    if (end > buf && end[-1] == '.')
        --end;
    const auto length = static_cast<std::size_t>(end - buf);
    std::memcpy(out, buf, length);
    return out + length;
}

void appendNumber(std::string& out, double v, int decimals) {
    char buf[NUMBER_ROOM];
    out.append(buf, static_cast<std::size_t>(formatNumber(buf, v, decimals) - buf));
}

std::u32string codePoints(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char b = byte(i);
        char32_t c = b;
        std::size_t length = 1;
        // A well-formed UTF-8 sequence: no overlong forms, no surrogates, at most U+10FFFF.
        int more = 0;
        if (b >= 0xC2 && b <= 0xDF)
            more = 1;
        else if (b >= 0xE0 && b <= 0xEF)
            more = 2;
        else if (b >= 0xF0 && b <= 0xF4)
            more = 3;
        if (more > 0 && i + more < text.size()) {
            char32_t v = b & (0x3F >> more);
            bool ok = true;
            for (int k = 1; ok && k <= more; ++k) {
                ok = (byte(i + k) & 0xC0) == 0x80;
                v = v << 6 | (byte(i + k) & 0x3F);
            }
            if ((more == 2 && (v < 0x800 || (v >= 0xD800 && v <= 0xDFFF))) ||
                (more == 3 && (v < 0x10000 || v > 0x10FFFF)))
                ok = false;
            if (ok) {
                c = v;
                length = static_cast<std::size_t>(more) + 1;
            }
        }
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
            c = U' ';
        else if (c == 0xFFFE || c == 0xFFFF)
            c = 0xFFFD;
        out.push_back(c);
        i += length;
    }
    return out;
}

Colour over(Colour top, Colour bottom) {
    if (top.opaque() || bottom.transparent())
        return top;
    const double at = top.a / 255.0;
    const double ab = bottom.a / 255.0;
    const double a = at + ab * (1 - at);
    const auto mix = [&](std::uint8_t t, std::uint8_t b) {
        return static_cast<std::uint8_t>(std::lround((t * at + b * ab * (1 - at)) / a));
    };
    return {mix(top.r, bottom.r), mix(top.g, bottom.g), mix(top.b, bottom.b),
            static_cast<std::uint8_t>(std::lround(a * 255))};
}

Colour onPaper(Colour c) { return over(c, WHITE); }

int normalRotation(int rotation) { return ((rotation % 360) + 360) % 360; }

Direction direction(int rotation) {
    switch (normalRotation(rotation)) {
    case 90: return {0, 1};
    case 180: return {-1, 0};
    case 270: return {0, -1};
    default: return {1, 0};
    }
}

namespace {

// The characters of WinAnsiEncoding's codes 128-159 that are not Latin-1
// (0: no character at that code).
constexpr char16_t WIN_ANSI_80[] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,   // 128-135
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,        // 136-143
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,   // 144-151
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,   // 152-159
};
static_assert(std::size(WIN_ANSI_80) == 32);

}  // namespace

unsigned char toWinAnsi(char32_t c) {
    if ((c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c <= 0xFF))
        return static_cast<unsigned char>(c);
    for (std::size_t i = 0; i < std::size(WIN_ANSI_80); ++i)
        if (WIN_ANSI_80[i] != 0 && WIN_ANSI_80[i] == c)
            return static_cast<unsigned char>(0x80 + i);
    return '?';
}

void appendLiteral(std::string& out, const std::u32string& text) {
    out += '(';
    for (char32_t c : text) {
        const unsigned char b = toWinAnsi(c);
        if (b == '(' || b == ')' || b == '\\') {
            out += '\\';
            out += static_cast<char>(b);
        } else if (b < 0x20 || b >= 0x7F) {
            char octal[5];
            std::snprintf(octal, sizeof octal, "\\%03o", b);
            out += octal;
        } else {
            out += static_cast<char>(b);
        }
    }
    out += ')';
}

void appendColour(std::string& out, Colour c, const ColourOperators& ops) {
    const char* op = ops.rgb;
    if (c.cmyk) {
        appendNumbers(out, 4, c.c / 100.0, c.m / 100.0, c.y / 100.0, c.k / 100.0);
        op = ops.cmyk;
    } else if (c.grey()) {
        appendNumbers(out, 4, c.r / 255.0);
        op = ops.grey;
    } else {
        appendNumbers(out, 4, c.r / 255.0, c.g / 255.0, c.b / 255.0);
    }
    out += ' ';
    out += op;
    out += '\n';
}

}  // namespace korvane::writers
