// Parsing of the sheet values the command types: grids and margins.

#include "Units.h"

#include "korvane/Values.h"

#include <cctype>
#include <vector>

namespace korvane::cli {
namespace {

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

Result<Grid> parseGrid(std::string_view text) {
    const std::string name = lower(text);
    const std::size_t x = name.find('x');
    const std::string what = quotedValue(text) + " is not a grid: give columns x rows, such as 3x8 (1 to 100 each)";
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
            return invalidOption(quotedValue(text) + ": sheet margins and gaps are lengths on paper, not px");
        sides.push_back(*l);
    }
    switch (sides.size()) {
    case 1: return Box{sides[0], sides[0], sides[0], sides[0]};
    case 2: return Box{sides[0], sides[1], sides[0], sides[1]};
    case 3: return Box{sides[0], sides[1], sides[2], sides[1]};
    case 4: return Box{sides[0], sides[1], sides[2], sides[3]};
    default: return invalidOption(quotedValue(text) + " has more than four lengths");
    }
}

}  // namespace korvane::cli
