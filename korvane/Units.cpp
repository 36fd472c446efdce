// Lengths, numbers, colours and page sizes as people type them.

#include "korvane/Units.h"

#include "base/Text.h"
#include "korvane/Values.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>

namespace korvane {
namespace {

using detail::lowerCase;
using detail::quotedValue;

constexpr double MM_PER_INCH = 25.4;
constexpr double MAX_TYPED = 1e6;  // beyond any sensible size in any unit

// Unit suffixes, longest first where one is the end of another.
constexpr struct {
    std::string_view suffix;
    Unit unit;
    double mm;  // millimetres per unit (0: depends on dpi or X)
} UNITS[] = {
    {"mm", Unit::Mm, 1},          {"cm", Unit::Cm, 10},       {"in", Unit::In, MM_PER_INCH},
    {"mil", Unit::Mil, 0.0254},   {"pt", Unit::Pt, MM_PER_INCH / 72}, {"px", Unit::Px, 0},
    {"mod", Unit::Modules, 0},    {"x", Unit::Modules, 0},
};

constexpr struct {
    std::string_view name;
    Colour colour;
} COLOURS[] = {
    {"black", {0, 0, 0, 255}},       {"white", {255, 255, 255, 255}}, {"red", {255, 0, 0, 255}},
    {"green", {0, 128, 0, 255}},     {"blue", {0, 0, 255, 255}},     {"navy", {0, 0, 128, 255}},
    {"yellow", {255, 255, 0, 255}},  {"cyan", {0, 255, 255, 255}},   {"magenta", {255, 0, 255, 255}},
    {"gray", {128, 128, 128, 255}},  {"grey", {128, 128, 128, 255}}, {"brown", {165, 42, 42, 255}},
    {"orange", {255, 165, 0, 255}},  {"none", {255, 255, 255, 0}},   {"transparent", {255, 255, 255, 0}},
};

// ISO 216 sizes and the North American ones.
constexpr struct {
    std::string_view name;
    PageSize size;
} PAGES[] = {
    {"a3", {297, 420}}, {"a4", PAGE_A4}, {"a5", {148, 210}}, {"a6", {105, 148}},
    {"letter", PAGE_LETTER}, {"legal", {215.9, 355.6}},
};

Error invalid(std::string message) { return {ErrorCode::InvalidOption, std::move(message)}; }

// The row of a table of lower-case names that `text` names in either case; null when none does.
template <typename Row, std::size_t N>
const Row* findNamed(const Row (&table)[N], std::string_view text) {
    const std::string name = lowerCase(text);
    for (const Row& row : table)
        if (row.name == name)
            return &row;
    return nullptr;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A decimal number in fixed notation ("-12.5", "3.", ".25") at the start of
// [first, last), as std::from_chars with chars_format::fixed reads it. The
// WebAssembly build's C++ library has no from_chars for doubles; there the
// prefix goes to strtod, which rounds as correctly, once it is known to hold
// nothing strtod would read further (exponents, hex, inf, spaces, '+').
std::from_chars_result fixedNumber(const char* first, const char* last, double& value) {
#ifdef __EMSCRIPTEN__
    const char* p = first;
    if (p != last && *p == '-')
        ++p;
    const char* digits = p;
    while (p != last && std::isdigit(static_cast<unsigned char>(*p)))
        ++p;
    std::size_t count = static_cast<std::size_t>(p - digits);
    if (p != last && *p == '.') {
        const char* fraction = ++p;
        while (p != last && std::isdigit(static_cast<unsigned char>(*p)))
            ++p;
        count += static_cast<std::size_t>(p - fraction);
        if (count == 0)
            --p;  // a lone '.' is no number
    }
    if (count == 0)
        return {first, std::errc::invalid_argument};
    const std::string number(first, p);
    value = std::strtod(number.c_str(), nullptr);
    return {p, std::errc()};
#else
    return std::from_chars(first, last, value, std::chars_format::fixed);
#endif
}

// "cmyk:C,M,Y,K" in whole percent, for print.
Result<Colour> parseCmyk(std::string_view text) {
    const std::string what = quotedValue(text) + " is not a CMYK colour: give cmyk:C,M,Y,K in whole percent, such as "
                                            "cmyk:0,0,0,100";
    int inks[4];
    std::string_view rest = text.substr(5);
    for (int i = 0; i < 4; ++i) {
        const std::size_t comma = rest.find(',');
        if ((comma == std::string_view::npos) != (i == 3))
            return invalid(what);
        const Result<long long> v = parseInteger(rest.substr(0, comma), 0, 100);
        if (!v)
            return invalid(what);
        inks[i] = static_cast<int>(*v);
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    return Colour::fromCmyk(inks[0], inks[1], inks[2], inks[3]);
}

}  // namespace

double Length::mm(double dpi, double xMm) const {
    switch (unit) {
    case Unit::Px: return dpi > 0 ? value * MM_PER_INCH / dpi : 0;
    case Unit::Modules: return value * xMm;
    default:
        for (const auto& u : UNITS)
            if (u.unit == unit)
                return value * u.mm;
    }
    return value;
}

Result<Length> parseLength(std::string_view text, Unit bare, bool modulesAllowed) {
    const std::string what = quotedValue(text) + " is not a length: give a number with a unit, such as 0.33mm, 10mil, "
                                            "0.013in, 1pt or 4px" +
                             (modulesAllowed ? " (or 12x for modules)" : "");
    auto bad = [](std::string m) { return Error{ErrorCode::InvalidOption, std::move(m)}; };
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = fixedNumber(text.data(), end, value);
    if (ec != std::errc() || !std::isfinite(value))
        return bad(what);
    const std::string suffix = lowerCase(std::string_view(ptr, static_cast<std::size_t>(end - ptr)));
    Length length{value, bare};
    if (!suffix.empty()) {
        const auto* u = std::find_if(std::begin(UNITS), std::end(UNITS),
                                     [&](const auto& row) { return row.suffix == suffix; });
        if (u == std::end(UNITS) || (u->unit == Unit::Modules && !modulesAllowed))
            return bad(what);
        length.unit = u->unit;
    }
    if (value < 0)
        return bad(quotedValue(text) + " is negative; a length is 0 or more");
    if (value > MAX_TYPED)
        return bad(quotedValue(text) + " is beyond any size korvane draws");
    return length;
}

Result<double> parseNumber(std::string_view text, double low, double high) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = fixedNumber(text.data(), end, value);
    if (ec != std::errc() || ptr != end || !std::isfinite(value))
        return invalid(quotedValue(text) + " is not a number");
    if (value < low || value > high) {
        char range[80];
        std::snprintf(range, sizeof range, " is out of range; it must be %g to %g", low, high);
        return invalid(quotedValue(text) + range);
    }
    return value;
}

Result<long long> parseInteger(std::string_view text, long long low, long long high) {
    const std::string range = " is out of range; it must be " + std::to_string(low) + " to " + std::to_string(high);
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec == std::errc::result_out_of_range)
        return invalid(quotedValue(text) + range);
    if (ec != std::errc() || ptr != end)
        return invalid(quotedValue(text) + " is not a whole number");
    if (value < low || value > high)
        return invalid(quotedValue(text) + range);
    return value;
}

Result<Colour> parseColour(std::string_view text) {
    if (const auto* c = findNamed(COLOURS, text))
        return c->colour;
    if (lowerCase(text.substr(0, 5)) == "cmyk:")
        return parseCmyk(text);
    std::string_view hex = text;
    if (!hex.empty() && hex[0] == '#')
        hex.remove_prefix(1);
    if ((hex.size() == 6 || hex.size() == 8) &&
        std::all_of(hex.begin(), hex.end(), [](char c) { return hexDigit(c) >= 0; })) {
        auto at = [&](std::size_t i) { return static_cast<std::uint8_t>(hexDigit(hex[i]) * 16 + hexDigit(hex[i + 1])); };
        return Colour{at(0), at(2), at(4), hex.size() == 8 ? at(6) : std::uint8_t{255}};
    }
    return invalid(quotedValue(text) + " is not a colour: give RRGGBB, RRGGBBAA, cmyk:C,M,Y,K or a name (" +
                   colourNames() + ")");
}

std::string colourNames() {
    std::string names;
    for (const auto& c : COLOURS)
        names += (names.empty() ? "" : ", ") + std::string(c.name);
    return names;
}

Result<PageSize> parsePageSize(std::string_view text) {
    if (const auto* p = findNamed(PAGES, text))
        return p->size;
    const std::string name = lowerCase(text);
    const std::string what = quotedValue(text) + " is not a page size: give A3, A4, A5, A6, Letter, Legal or WxH with "
                                            "a unit, such as 100x150mm or 4x6in";
    // The unit after the height applies to a width given without one.
    const std::size_t x = name.find('x');
    if (x == std::string::npos)
        return invalid(what);
    Result<Length> h = parseLength(std::string_view(name).substr(x + 1), Unit::Mm);
    if (!h)
        return invalid(what);
    Result<Length> w = parseLength(std::string_view(name).substr(0, x), h->unit);
    if (!w || w->unit == Unit::Px || h->unit == Unit::Px)
        return invalid(what);
    PageSize size{w->mm(0), h->mm(0)};
    if (size.widthMm < 10 || size.heightMm < 10 || size.widthMm > 5000 || size.heightMm > 5000)
        return invalid(quotedValue(text) + " is not a page size korvane lays out (10 mm to 5 m a side)");
    return size;
}

}  // namespace korvane
