// GS1 DataBar Expanded and Expanded Stacked: GS1 element strings as a bit
// stream (a compressed method where the AIs allow one, else general-purpose
// numeric, alphanumeric and ISO 646 fields), in 12-bit characters paired
// around finder patterns, with a modulo-211 check character (ISO/IEC 24724).

#include "DataBar.h"

#include "../encode/Checks.h"
#include "../encode/Gs1.h"

#include <algorithm>
#include <string>
#include <utility>

namespace korvane::databar {
namespace {

constexpr char FNC1 = '\x1d';
// 21 data characters of 12 bits at most, and at least 3.
constexpr int MOST_CHARACTERS = 21;
constexpr int LEAST_CHARACTERS = 3;

class Bits {
public:
    void add(int value, int count) {
        for (int i = count - 1; i >= 0; --i)
            bits_.push_back((value >> i) & 1 ? '1' : '0');
    }
    void add(const char* pattern) { bits_ += pattern; }
    std::size_t size() const { return bits_.size(); }
    std::string& text() { return bits_; }
    // 3-digit groups of `digits` in 10 bits each.
    void groups(std::string_view digits) {
        for (std::size_t i = 0; i + 3 <= digits.size(); i += 3)
            add(std::stoi(std::string(digits.substr(i, 3))), 10);
    }

private:
    std::string bits_;
};

bool numeric(char c) { return (c >= '0' && c <= '9') || c == FNC1; }
bool alphanumeric(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '*' || c == ',' || c == '-' || c == '.' ||
           c == '/' || c == FNC1;
}
constexpr std::string_view ISO_SPECIALS = "!\"%&'()*+,-./:;<=>?_ ";

// Whether the `count` characters from `i` (or all to the end, when fewer
// but at least `least`) are digits or FNC1.
bool numericAhead(std::string_view s, std::size_t i, std::size_t count, std::size_t least) {
    std::size_t k = 0;
    for (; k < count && i + k < s.size(); ++k)
        if (!numeric(s[i + k]))
            return false;
    return k == count || (i + k == s.size() && k >= least);
}

enum class Mode { Numeric, Alpha, Iso };

// The symbol characters `bitCount` bits fill: three at least, and in a
// stacked symbol of `segments` a row never one alone in the last row.
int charactersFor(std::size_t bitCount, int segments) {
    int characters = std::max(static_cast<int>((bitCount + 11) / 12), LEAST_CHARACTERS);
    if (segments > 0 && (characters + 1) % segments == 1)
        ++characters;
    return characters;
}

// ISO/IEC 24724 7.2.5.5: the general-purpose field, with the latches the
// encodation rules call for. Returns the mode it ends in.
Mode generalPurpose(std::string_view s, Bits& bits, int segments) {
    Mode mode = Mode::Numeric;
    std::size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (mode == Mode::Numeric) {
            if (i + 1 < s.size() && numeric(c) && numeric(s[i + 1]) && !(c == FNC1 && s[i + 1] == FNC1)) {
                const int a = c == FNC1 ? 10 : c - '0', b = s[i + 1] == FNC1 ? 10 : s[i + 1] - '0';
                bits.add(11 * a + b + 8, 7);
                i += 2;
            } else if (i + 1 == s.size() && c >= '0' && c <= '9') {
                // A last digit alone: four bits where they fill the symbol's last character,
                // else paired with an FNC1.
                const std::size_t end = static_cast<std::size_t>(charactersFor(bits.size(), segments)) * 12;
                const std::size_t left = end - bits.size();
                if (left >= 4 && left < 7)
                    bits.add(c - '0' + 1, 4);
                else
                    bits.add(11 * (c - '0') + 10 + 8, 7);
                ++i;
            } else {
                bits.add("0000");
                mode = Mode::Alpha;
                if (!alphanumeric(c)) {
                    bits.add("00100");
                    mode = Mode::Iso;
                }
            }
        } else if (c == FNC1) {
            bits.add("01111");
            mode = Mode::Numeric;
            ++i;
        } else if (numericAhead(s, i, mode == Mode::Alpha ? 6 : 10, 4)) {
            bits.add("000");
            mode = Mode::Numeric;
        } else if (mode == Mode::Alpha && !alphanumeric(c)) {
            bits.add("00100");
            mode = Mode::Iso;
        } else if (mode == Mode::Iso && alphanumeric(c) && [&] {
                       // Back to alphanumeric where the next ten characters are all of it.
                       if (s.size() - i < 10)
                           return false;
                       for (std::size_t k = i; k < i + 10; ++k)
                           if (!alphanumeric(s[k]) || s[k] == FNC1)
                               return false;
                       return true;
                   }()) {
            bits.add("00100");
            mode = Mode::Alpha;
        } else {
            if (c >= '0' && c <= '9')
                bits.add(c - '0' + 5, 5);
            else if (c >= 'A' && c <= 'Z')
                mode == Mode::Alpha ? bits.add(c - 'A' + 32, 6) : bits.add(c - 'A' + 64, 7);
            else if (c >= 'a' && c <= 'z')
                bits.add(c - 'a' + 90, 7);
            else if (mode == Mode::Alpha)
                bits.add(58 + static_cast<int>(std::string_view("*,-./").find(c)), 6);
            else
                bits.add(232 + static_cast<int>(ISO_SPECIALS.find(c)), 8);
            ++i;
        }
    }
    return mode;
}

const char* const METHOD_BITS[] = {"0111000", "0111001", "0111010", "0111011",
                                   "0111100", "0111101", "0111110", "0111111"};

int number(std::string_view digits) { return std::stoi(std::string(digits)); }

// The compressed methods for a GTIN with indicator 9 and a weight (and a
// date), or a price: the method's bits, and the general-purpose data after
// them; false where none applies.
bool compressed(const std::vector<detail::Gs1Element>& e, Bits& bits, std::string& general, std::size_t& lengthAt) {
    if (e.size() < 2 || e[0].ai != "01" || e[0].value[0] != '9')
        return false;
    const std::string& ai = e[1].ai;
    const std::string_view gtin = std::string_view(e[0].value).substr(1, 12);
    if (e.size() == 2 && (ai == "3103" || ai == "3202" || ai == "3203")) {
        const int w = number(e[1].value);
        const int limit = ai == "3103" ? 32767 : ai == "3202" ? 9999 : 22767;
        if (w <= limit) {
            bits.add(ai == "3103" ? "0100" : "0101");
            bits.groups(gtin);
            bits.add(ai == "3203" ? w + 10000 : w, 15);
            return true;
        }
    }
    const bool weight = ai.size() == 4 && (ai.compare(0, 3, "310") == 0 || ai.compare(0, 3, "320") == 0);
    const bool dated = e.size() == 3 && (e[2].ai == "11" || e[2].ai == "13" || e[2].ai == "15" || e[2].ai == "17");
    if (weight && (e.size() == 2 || dated) && number(e[1].value) <= 99999) {
        const int date = dated ? (e[2].ai[1] - '1') / 2 : 0;
        bits.add(METHOD_BITS[2 * date + (ai[1] == '2' ? 1 : 0)]);
        bits.groups(gtin);
        bits.add((ai[3] - '0') * 100000 + number(e[1].value), 20);
        const std::string& d = dated ? e[2].value : std::string();
        bits.add(dated ? number(d.substr(0, 2)) * 384 + (number(d.substr(2, 2)) - 1) * 32 + number(d.substr(4, 2))
                       : 38400,
                 16);
        return true;
    }
    const bool price = ai.size() == 4 && (ai.compare(0, 3, "392") == 0 || ai.compare(0, 3, "393") == 0);
    if (price && ai[3] <= '3') {
        bits.add(ai[2] == '2' ? "01100" : "01101");
        lengthAt = bits.size();
        bits.add("00");
        bits.groups(gtin);
        bits.add(ai[3] - '0', 2);
        std::string_view value = e[1].value;
        if (ai[2] == '3') {
            bits.add(number(value.substr(0, 3)), 10);
            value.remove_prefix(3);
        }
        general.assign(value);
        const std::vector<detail::Gs1Element> rest(e.begin() + 2, e.end());
        if (!rest.empty())
            general += FNC1 + detail::gs1Data(rest, FNC1);
        return true;
    }
    return false;
}

}  // namespace

// The bit stream of the element strings as the values of its data characters.
Result<std::vector<int>> expandedValues(const std::vector<detail::Gs1Element>& e, int segments) {
    Bits bits;
    bits.add("0");  // no composite component
    std::string general;
    std::size_t lengthAt = 0;  // where the two variable-length bits go, 0 for none
    if (!compressed(e, bits, general, lengthAt)) {
        if (!e.empty() && e[0].ai == "01") {
            bits.add("1");
            lengthAt = bits.size();
            bits.add("00");
            bits.add(e[0].value[0] - '0', 4);
            bits.groups(std::string_view(e[0].value).substr(1, 12));
            general = detail::gs1Data(std::vector<detail::Gs1Element>(e.begin() + 1, e.end()), FNC1);
        } else {
            bits.add("00");
            lengthAt = bits.size();
            bits.add("00");
            general = detail::gs1Data(e, FNC1);
        }
    }
    const Mode mode = generalPurpose(general, bits, segments);
    if ((bits.size() + 11) / 12 > static_cast<std::size_t>(MOST_CHARACTERS))
        return Error{ErrorCode::DataTooLong,
                     std::string("GS1 DataBar Expanded holds ") + std::to_string(MOST_CHARACTERS * 12) +
                         " bits of data; these element strings make " + std::to_string(bits.size())};
    const int characters = charactersFor(bits.size(), segments);
    // Padding: the latch out of numeric mode, then 00100 over and over, cut at the end.
    std::string& text = bits.text();
    const std::size_t total = static_cast<std::size_t>(characters) * 12;
    if (mode == Mode::Numeric && text.size() < total)
        text += "0000";
    while (text.size() < total)
        text += "00100";
    text.resize(total);
    if (lengthAt > 0) {
        text[lengthAt] = (characters + 1) % 2 ? '1' : '0';
        text[lengthAt + 1] = characters + 1 > 14 ? '1' : '0';
    }
    std::vector<int> values(static_cast<std::size_t>(characters));
    for (int c = 0; c < characters; ++c)
        values[static_cast<std::size_t>(c)] = std::stoi(text.substr(static_cast<std::size_t>(c) * 12, 12), nullptr, 2);
    return values;
}

}  // namespace korvane::databar

namespace korvane::databar {

// The symbol characters (the check character first) as widths, and the
// finder patterns between them (1-12, A1 to F2).
ExpandedCharacters expandedCharacters(const std::vector<int>& values) {
    ExpandedCharacters out;
    const int count = static_cast<int>(values.size()) + 1;
    const int finders = (count + 1) / 2;
    out.finders.assign(EXPANDED_SEQUENCES[finders - 2], EXPANDED_SEQUENCES[finders - 2] + finders);
    out.widths.resize(static_cast<std::size_t>(count));
    int checksum = 0;
    for (int i = 1; i < count; ++i) {
        auto& w = out.widths[static_cast<std::size_t>(i)];
        characterWidths(EXPANDED_GROUPS, values[static_cast<std::size_t>(i - 1)], 4, false, false, w.data());
        // The weights follow the finder pattern the character stands beside and its side of it.
        const int row = 2 * (out.finders[static_cast<std::size_t>(i / 2)] - 1) + i % 2 - 1;
        for (int k = 0; k < 8; ++k)
            checksum += w[static_cast<std::size_t>(k)] * EXPANDED_WEIGHTS[static_cast<std::size_t>(8 * row + k)];
    }
    characterWidths(EXPANDED_GROUPS, 211 * (count - 4) + checksum % 211, 4, false, false, out.widths[0].data());
    return out;
}

// The elements of one row of characters [from, to), space first: the
// left guard, each pair's characters around its finder, the right guard.
std::vector<int> expandedRow(const ExpandedCharacters& c, int from, int to) {
    std::vector<int> out{1, 1};
    for (int i = from; i < to; ++i) {
        const auto& w = c.widths[static_cast<std::size_t>(i)];
        if (i % 2 == 0) {
            out.insert(out.end(), w.begin(), w.end());
            const int f = c.finders[static_cast<std::size_t>(i / 2)];
            const int* finder = EXPANDED_FINDERS[(f - 1) / 2];
            if (f % 2 == 1)
                out.insert(out.end(), finder, finder + 5);
            else
                out.insert(out.end(), std::make_reverse_iterator(finder + 5), std::make_reverse_iterator(finder));
        } else {
            out.insert(out.end(), w.rbegin(), w.rend());
        }
    }
    out.push_back(1);
    out.push_back(1);
    return out;
}

}  // namespace korvane::databar

namespace korvane::databar {

Result<Symbol> encodeExpanded(std::string_view data, int segments) {
    const bool stacked = segments != 0;
    const Result<std::vector<detail::Gs1Element>> elements = detail::parseGs1(data);
    if (!elements)
        return elements.error();
    const Result<std::vector<int>> values = expandedValues(*elements, stacked ? segments : 0);
    if (!values)
        return values.error();
    const ExpandedCharacters c = expandedCharacters(*values);
    const int count = static_cast<int>(c.widths.size());
    Symbol symbol;
    if (!stacked || count <= segments) {
        symbol = lineSymbol(expandedRow(c, 0, count));
        if (stacked) {
            const Row row = moduleRow(expandedRow(c, 0, count), false);
            symbol = gridSymbol({row}, {34});
        }
    } else {
        std::vector<Row> rows;
        std::vector<int> heights;
        std::vector<FinderAt> above;  // the finder patterns of the row above
        const int width = 2 + 49 * (segments / 2) + 2;
        for (int first = 0, r = 0; first < count; first += segments, ++r) {
            const int last = std::min(first + segments, count);
            // Rows after the first run right to left where a row holds an even number of pairs.
            const int pairs = (last - first + 1) / 2;
            // A last row of an odd number of pairs that would be turned round
            // is drawn left to right, one module in.
            bool reversed = r % 2 == 1 && (segments / 2) % 2 == 0;
            const bool shifted = reversed && last == count && pairs % 2 == 1;
            reversed = reversed && !shifted;
            std::vector<FinderAt> finders;
            for (int i = first; i < last; i += 2)
                finders.push_back({2 + 49 * ((i - first) / 2) + 17 + (shifted ? 1 : 0),
                                   c.finders[static_cast<std::size_t>(i / 2)] % 2 == 0});
            // A row that starts with an odd pair starts dark.
            Row row = moduleRow(expandedRow(c, first, last), (first / 2) % 2 == 1);
            int from = 0, to = static_cast<int>(row.size());
            if (shifted) {
                row.insert(row.begin(), '0');
                ++from;
                ++to;
            }
            row.resize(static_cast<std::size_t>(width), '0');
            if (reversed) {
                std::reverse(row.begin(), row.end());
                for (FinderAt& f : finders)
                    f = {width - f.column - 15, !f.mirrored};
                const int oldFrom = from;
                from = width - to;
                to = width - oldFrom;
            }
            if (!rows.empty()) {
                const Row upper = rows.back();
                rows.push_back(finderSeparator(upper, above, 0, width));
                rows.push_back(middleSeparator(static_cast<std::size_t>(width)));
                rows.push_back(finderSeparator(row, finders, from, to));
                heights.insert(heights.end(), {1, 1, 1});
            }
            rows.push_back(row);
            heights.push_back(34);
            above = finders;
        }
        symbol = gridSymbol(rows, heights);
    }
    symbol.facts.data = detail::gs1Data(*elements, FNC1);
    symbol.text = detail::gs1HumanText(*elements);
    TextSpan& span = symbol.textSpans.emplace_back();
    span.text = symbol.text;
    span.endModule = symbol.isMatrix() ? symbol.columns : symbol.widthModules;
    return symbol;
}

}  // namespace korvane::databar

namespace korvane::databar {
namespace {

Result<Symbol> withSymbology(Result<Symbol> r, Symbology s) {
    if (r)
        r->symbology = s;
    return r;
}

}  // namespace

Result<Symbol> encodeLinearRow(Symbology s, std::string_view data, const EncodeOptions&) {
    if (s == Symbology::DataBarExpanded)
        return withSymbology(encodeExpanded(data, 0), s);
    return withSymbology(encodeDataBar(s == Symbology::DataBar ? Form::Omni : Form::Truncated, data), s);
}

Result<Symbol> encodeStacked(const Message& message, const EncodeOptions&) {
    return withSymbology(encodeDataBar(Form::Stacked, message.bytes), Symbology::DataBarStacked);
}

Result<Symbol> encodeStackedOmni(const Message& message, const EncodeOptions&) {
    return withSymbology(encodeDataBar(Form::StackedOmni, message.bytes), Symbology::DataBarStackedOmni);
}

Result<Symbol> encodeExpandedStacked(const Message& message, const EncodeOptions& o) {
    const int segments = o.databarSegments == 0 ? 4 : o.databarSegments;
    if (segments % 2 != 0 || segments < 2 || segments > 22)
        return Error{ErrorCode::InvalidOption, "GS1 DataBar Expanded Stacked takes 2 to 22 segments a row, an even "
                                               "number; " + std::to_string(segments) + " is not"};
    return withSymbology(encodeExpanded(message.bytes, segments), Symbology::DataBarExpandedStacked);
}

}  // namespace korvane::databar
