// Lengths as people type them, and their millimetres.

#include "korvane/Units.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <string>

namespace korvane {
namespace {

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

std::string quoted(std::string_view text) {
    std::string shown(text.substr(0, 40));
    if (text.size() > 40)
        shown += "...";
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 32 || c == 127)
            c = '?';
    return "'" + shown + "'";
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
    const std::string what = quoted(text) + " is not a length: give a number with a unit, such as 0.33mm, 10mil, "
                                            "0.013in, 1pt or 4px" +
                             (modulesAllowed ? " (or 12x for modules)" : "");
    auto bad = [](std::string m) { return Error{ErrorCode::InvalidOption, std::move(m)}; };
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = fixedNumber(text.data(), end, value);
    if (ec != std::errc() || !std::isfinite(value))
        return bad(what);
    std::string suffix(ptr, end);
    for (char& c : suffix)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    Length length{value, bare};
    if (!suffix.empty()) {
        const auto* u = std::find_if(std::begin(UNITS), std::end(UNITS),
                                     [&](const auto& row) { return row.suffix == suffix; });
        if (u == std::end(UNITS) || (u->unit == Unit::Modules && !modulesAllowed))
            return bad(what);
        length.unit = u->unit;
    }
    if (value < 0)
        return bad(quoted(text) + " is negative; a length is 0 or more");
    if (value > MAX_TYPED)
        return bad(quoted(text) + " is beyond any size korvane draws");
    return length;
}

}  // namespace korvane
