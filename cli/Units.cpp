// Parsing of typed values: lengths, numbers, colours, page sizes, grids.

#include "Units.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <iterator>
#include <vector>

namespace korvane::cli {
namespace {


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

constexpr struct {
    std::string_view name;
    PageSize size;
} PAGES[] = {
    {"a3", {297, 420}}, {"a4", {210, 297}}, {"a5", {148, 210}}, {"a6", {105, 148}},
    {"letter", {215.9, 279.4}}, {"legal", {215.9, 355.6}},
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


// The row of a table of lower-case names that `text` names in either case; null when none does.
template <typename Row, std::size_t N>
const Row* findNamed(const Row (&table)[N], std::string_view text) {
    const std::string name = lower(text);
    for (const Row& row : table)
        if (row.name == name)
            return &row;
    return nullptr;
}

// The longest leading decimal number of `text`.
bool leadingNumber(std::string_view text, double& value, std::size_t& used) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    if (ec != std::errc())
        return false;
    used = static_cast<std::size_t>(ptr - text.data());
    return std::isfinite(value);
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

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos)
            return parts;
        text.remove_prefix(at + 1);
    }
}

}  // namespace

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

Error invalidOption(std::string message) { return {ErrorCode::InvalidOption, std::move(message)}; }

Result<double> parseNumber(std::string_view text, double low, double high) {
    double value = 0;
    std::size_t used = 0;
    if (!leadingNumber(text, value, used) || used != text.size())
        return invalidOption(quoted(text) + " is not a number");
    if (value < low || value > high) {
        char range[80];
        std::snprintf(range, sizeof range, " is out of range; it must be %g to %g", low, high);
        return invalidOption(quoted(text) + range);
    }
    return value;
}

Result<long long> parseInteger(std::string_view text, long long low, long long high) {
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec == std::errc::result_out_of_range)
        return invalidOption(quoted(text) + " is out of range; it must be " + std::to_string(low) + " to " +
                             std::to_string(high));
    if (ec != std::errc() || ptr != end)
        return invalidOption(quoted(text) + " is not a whole number");
    if (value < low || value > high)
        return invalidOption(quoted(text) + " is out of range; it must be " + std::to_string(low) + " to " +
                             std::to_string(high));
    return value;
}

Result<Colour> parseColour(std::string_view text) {
    if (const auto* c = findNamed(COLOURS, text))
        return c->colour;
    std::string_view hex = text;
    if (!hex.empty() && hex[0] == '#')
        hex.remove_prefix(1);
    if ((hex.size() == 6 || hex.size() == 8) &&
        std::all_of(hex.begin(), hex.end(), [](char c) { return hexDigit(c) >= 0; })) {
        auto at = [&](std::size_t i) { return static_cast<std::uint8_t>(hexDigit(hex[i]) * 16 + hexDigit(hex[i + 1])); };
        return Colour{at(0), at(2), at(4), hex.size() == 8 ? at(6) : std::uint8_t{255}};
    }
    return invalidOption(quoted(text) + " is not a colour: give RRGGBB, RRGGBBAA or a name (" + colourNames() + ")");
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
    const std::string name = lower(text);
    const std::string what = quoted(text) + " is not a page size: give A3, A4, A5, A6, Letter, Legal or WxH with "
                                            "a unit, such as 100x150mm or 4x6in";
    // The unit after the height applies to a width given without one.
    const std::size_t x = name.find('x');
    if (x == std::string::npos)
        return invalidOption(what);
    Result<Length> h = parseLength(name.substr(x + 1), Unit::Mm);
    if (!h)
        return invalidOption(what);
    Result<Length> w = parseLength(name.substr(0, x), h->unit);
    if (!w || w->unit == Unit::Px || h->unit == Unit::Px)
        return invalidOption(what);
    PageSize size{w->mm(0), h->mm(0)};
    if (size.widthMm < 10 || size.heightMm < 10 || size.widthMm > 5000 || size.heightMm > 5000)
        return invalidOption(quoted(text) + " is not a page size korvane lays out (10 mm to 5 m a side)");
    return size;
}

Result<Grid> parseGrid(std::string_view text) {
    const std::string name = lower(text);
    const std::size_t x = name.find('x');
    const std::string what = quoted(text) + " is not a grid: give columns x rows, such as 3x8 (1 to 100 each)";
    if (x == std::string::npos)
        return invalidOption(what);
    const Result<long long> c = parseInteger(std::string_view(name).substr(0, x), 1, 100);
    const Result<long long> r = parseInteger(std::string_view(name).substr(x + 1), 1, 100);
    if (!c || !r)
        return invalidOption(what);
    return Grid{static_cast<int>(*c), static_cast<int>(*r)};
}

Result<Box> parseBox(std::string_view text, Unit bare) {
    std::vector<Length> sides;
    for (std::string_view part : split(text, ',')) {
        Result<Length> l = parseLength(part, bare);
        if (!l)
            return l.error();
        if (l->unit == Unit::Px)
            return invalidOption(quoted(text) + ": sheet margins and gaps are lengths on paper, not px");
        sides.push_back(*l);
    }
    switch (sides.size()) {
    case 1: return Box{sides[0], sides[0], sides[0], sides[0]};
    case 2: return Box{sides[0], sides[1], sides[0], sides[1]};
    case 3: return Box{sides[0], sides[1], sides[2], sides[1]};
    case 4: return Box{sides[0], sides[1], sides[2], sides[3]};
    default: return invalidOption(quoted(text) + " has more than four lengths");
    }
}

}  // namespace korvane::cli
