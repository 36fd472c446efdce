// Lengths as people type them, and their millimetres.

#include "korvane/Units.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
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
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
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
