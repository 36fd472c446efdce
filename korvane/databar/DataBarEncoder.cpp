// GS1 DataBar, Truncated, Stacked, Stacked Omnidirectional and Limited: a
// GTIN in four (Limited: two) characters around finder patterns that carry
// the check value (ISO/IEC 24724).

#include "DataBar.h"

#include "../encode/Checks.h"
#include "../encode/Gs1.h"
#include "korvane/Values.h"

#include <algorithm>
#include <string>

namespace korvane::databar {
namespace {

// The left and right halves of the value, each two characters.
constexpr long long OMNI_HALF = 4537077;  // 2,841 outside x 1,597 inside values
static_assert(OMNI_HALF == static_cast<long long>(OMNI_OUTSIDE_VALUES) * OMNI_INSIDE_VALUES);

void appendReversed(std::vector<int>& out, const int* widths, int count) {
    for (int i = count; i-- > 0;)
        out.push_back(widths[i]);
}

}  // namespace

Result<std::string> gtinDigits(std::string_view data, bool limited) {
    const char* title = limited ? "GS1 DataBar Limited" : "GS1 DataBar";
    std::string_view digits = data;
    for (std::string_view prefix : {"(01)", "[01]"})
        if (digits.substr(0, prefix.size()) == prefix)
            digits.remove_prefix(prefix.size());
    if (const std::size_t bad = detail::firstRefused(digits, detail::isDigit); bad != std::string_view::npos)
        return Error{ErrorCode::InvalidData, std::string(title) + " takes digits only; " + quotedValue(data) +
                                                 " has " + quotedValue(digits.substr(bad, 1)) + " at position " +
                                                 std::to_string(bad + 1 + data.size() - digits.size())};
    if (digits.size() != 13 && digits.size() != 14)
        return Error{ErrorCode::InvalidData, std::string(title) + " takes a GTIN of 13 digits, or 14 with its check "
                                                                  "digit; \"" + std::string(data) + "\" has " +
                                                 std::to_string(digits.size())};
    std::string out(digits.substr(0, 13));
    if (digits.size() == 14) {
        const char check = detail::gs1CheckDigit(out);
        if (digits[13] != check)
            return Error{ErrorCode::CheckDigit, "the GTIN's check digit is " + std::string(1, digits[13]) +
                                                    " but its digits make " + std::string(1, check)};
    }
    if (limited && out[0] > '1')
        return Error{ErrorCode::InvalidData, "GS1 DataBar Limited takes a GTIN whose indicator digit is 0 or 1; \"" +
                                                 std::string(data) + "\" starts with " + std::string(1, out[0])};
    return out;
}

std::vector<int> omniElements(const std::string& digits13) {
    const long long value = std::stoll(digits13);
    const long long left = value / OMNI_HALF, right = value % OMNI_HALF;
    const int values[4] = {static_cast<int>(left / OMNI_INSIDE_VALUES), static_cast<int>(left % OMNI_INSIDE_VALUES),
                           static_cast<int>(right / OMNI_INSIDE_VALUES), static_cast<int>(right % OMNI_INSIDE_VALUES)};
    int widths[4][8] = {};
    int checksum = 0;
    for (int c = 0; c < 4; ++c) {
        const bool outside = c % 2 == 0;
        if (outside)
            characterWidths(OMNI_OUTSIDE, values[c], 4, true, false, widths[c]);
        else
            characterWidths(OMNI_INSIDE, values[c], 4, false, true, widths[c]);
        for (int k = 0; k < 8; ++k)
            checksum += widths[c][k] * OMNI_WEIGHTS[static_cast<std::size_t>(8 * c + k)];
    }
    // 79 check values in 81 finder pairs: the pairs (0, 8) and (8, 0) are left out.
    int check = checksum % 79;
    if (check >= 8)
        ++check;
    if (check >= 72)
        ++check;
    std::vector<int> out{1, 1};
    out.reserve(46);
    out.insert(out.end(), widths[0], widths[0] + 8);
    out.insert(out.end(), OMNI_FINDERS[check / 9], OMNI_FINDERS[check / 9] + 5);
    appendReversed(out, widths[1], 8);
    out.insert(out.end(), widths[3], widths[3] + 8);
    appendReversed(out, OMNI_FINDERS[check % 9], 5);
    appendReversed(out, widths[2], 8);
    out.push_back(1);
    out.push_back(1);
    return out;
}

}  // namespace korvane::databar

namespace korvane::databar {

Row moduleRow(const std::vector<int>& elements, bool dark) {
    Row out;
    for (int w : elements) {
        out.append(static_cast<std::size_t>(w), dark ? '1' : '0');
        dark = !dark;
    }
    return out;
}

Row finderSeparator(const Row& row, const std::vector<FinderAt>& finders, int from, int to) {
    Row out(row.size(), '0');
    for (int i = from + 4; i + 4 < to; ++i)
        out[static_cast<std::size_t>(i)] = row[static_cast<std::size_t>(i)] == '1' ? '0' : '1';
    for (const FinderAt& f : finders) {
        // Dark modules over the finder's spaces alternate with light ones from the left.
        const auto at = [&](int i) -> char& { return out[static_cast<std::size_t>(i)]; };
        const int from = f.mirrored ? f.column + 2 : f.column;
        for (int i = from; i < from + 13; ++i)
            if (at(i) == '1' && at(i - 1) == '1')
                at(i) = '0';
    }
    return out;
}

Row middleSeparator(std::size_t width) {
    Row out(width, '0');
    for (std::size_t i = 5; i + 4 < width; i += 2)
        out[i] = '1';
    return out;
}

Symbol gridSymbol(const std::vector<Row>& rows, const std::vector<int>& heights) {
    Symbol symbol;
    symbol.columns = static_cast<int>(rows[0].size());
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (int h = 0; h < heights[r]; ++h) {
            for (char c : rows[r])
                symbol.modules.push_back(c == '1' ? 1 : 0);
            ++symbol.rows;
        }
    symbol.moduleAspect = 1;
    return symbol;
}

Symbol lineSymbol(const std::vector<int>& elements) {
    Symbol symbol;
    // The guards' outer spaces belong to the quiet zones.
    std::size_t from = 1, to = elements.size();
    if (to % 2 == 1)
        --to;
    symbol.widths.assign(elements.begin() + static_cast<std::ptrdiff_t>(from),
                         elements.begin() + static_cast<std::ptrdiff_t>(to));
    symbol.kinds.assign(symbol.widths.size(), BarKind::Data);
    for (int w : symbol.widths)
        symbol.widthModules += w;
    return symbol;
}

namespace {

// GS1 DataBar Stacked: where the rows agree the separator is their
// complement; elsewhere its modules alternate (starting as if after a dark one).
Row stackedSeparator(const Row& top, const Row& bottom) {
    Row out(top.size(), '0');
    char previous = '1';
    for (std::size_t i = 0; i < top.size(); ++i) {
        out[i] = top[i] == bottom[i] ? (top[i] == '1' ? '0' : '1') : (previous == '1' ? '0' : '1');
        previous = out[i];
    }
    for (std::size_t i = 0; i < 4; ++i)
        out[i] = out[out.size() - 1 - i] = '0';
    return out;
}

}  // namespace

Result<Symbol> encodeDataBar(Form form, std::string_view data) {
    Result<std::string> digits = gtinDigits(data, false);
    if (!digits)
        return digits.error();
    const std::string gtin = *digits + detail::gs1CheckDigit(*digits);
    Symbol symbol;
    if (form == Form::Omni || form == Form::Truncated) {
        symbol = lineSymbol(omniElements(*digits));
    } else {
        const std::vector<int> e = omniElements(*digits);
        // The top row: the left half with a right guard; the bottom row: a left guard and the right half.
        std::vector<int> topElements(e.begin(), e.begin() + 23), bottomElements{1, 1};
        topElements.insert(topElements.end(), {1, 1});
        bottomElements.insert(bottomElements.end(), e.begin() + 23, e.end());
        const Row top = moduleRow(topElements, false), bottom = moduleRow(bottomElements, true);
        if (form == Form::Stacked)
            symbol = gridSymbol({top, stackedSeparator(top, bottom), bottom}, {5, 1, 7});
        else
            symbol = gridSymbol({top, finderSeparator(top, {{18, false}}, 0, 50), middleSeparator(top.size()),
                                    finderSeparator(bottom, {{17, true}}, 0, 50), bottom},
                                {33, 1, 1, 1, 33});
    }
    symbol.facts.data = "01" + gtin;
    symbol.facts.checkCharacters = gtin.substr(13);
    symbol.facts.checkSupplied = data.size() >= 14 && data.back() == gtin.back() &&
                                 (data.size() == 14 || data.size() == 18);
    symbol.text = "(01)" + gtin;
    TextSpan& span = symbol.textSpans.emplace_back();
    span.text = symbol.text;
    span.endModule = symbol.isMatrix() ? symbol.columns : symbol.widthModules;
    return symbol;
}

}  // namespace korvane::databar
