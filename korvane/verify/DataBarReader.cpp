// GS1 DataBar and DataBar Expanded from scan lines: the characters measured
// in modules piece by piece (each character and finder pattern has a known
// width), their values from the element widths, the finder patterns checked
// against the check value (DataBar) or the finder sequence (Expanded), and
// Expanded's bit stream decoded back into element strings.

#include "DataBarRead.h"
#include "Linear.h"

#include "../databar/DataBarTables.h"

#include <cstdlib>
#include <string>

namespace korvane::detail {
namespace {

namespace db = databar;
constexpr char GS = '\x1d';

// The element widths of `count` runs from `from` spanning `modules` modules.
bool piece(const Runs& runs, int from, int count, int modules, int* out) {
    if (from < 1 || from + count > static_cast<int>(runs.size()))
        return false;
    return moduleWidths(runs, from, count, modules, 0, 9, out);
}

void reverse(int* w, int count) {
    for (int i = 0, j = count - 1; i < j; ++i, --j)
        std::swap(w[i], w[j]);
}

template <std::size_t N>
int finderIndex(const int (&finders)[N][5], const int* w) {
    for (std::size_t f = 0; f < N; ++f) {
        bool same = true;
        for (int k = 0; k < 5; ++k)
            same = same && finders[f][k] == w[k];
        if (same)
            return static_cast<int>(f);
    }
    return -1;
}

std::string gtinOf(long long value) {
    std::string digits = std::to_string(value);
    digits.insert(0, 13 - digits.size(), '0');
    int sum = 0;
    for (int i = 0; i < 13; ++i)
        sum += (digits[static_cast<std::size_t>(i)] - '0') * (i % 2 == 0 ? 3 : 1);
    return digits + static_cast<char>('0' + (10 - sum % 10) % 10);
}

}  // namespace

DataBarHalf readDataBarHalf(const Runs& runs, int at, bool right) {
    // Left: an outside character (16 modules), the finder, an inside one
    // mirrored. Right: an inside character, the finder mirrored, an outside
    // one mirrored.
    DataBarHalf h;
    int a[8], f[5], b[8];
    if (!piece(runs, at, 8, right ? 15 : 16, a) || !piece(runs, at + 8, 5, 15, f) ||
        !piece(runs, at + 13, 8, right ? 16 : 15, b))
        return h;
    reverse(b, 8);
    if (right)
        reverse(f, 5);
    h.finder = finderIndex(db::OMNI_FINDERS, f);
    const int outside = db::characterValue(db::OMNI_OUTSIDE, right ? b : a, 4, true, false);
    const int inside = db::characterValue(db::OMNI_INSIDE, right ? a : b, 4, false, true);
    if (h.finder < 0 || outside < 0 || inside < 0)
        return h;
    h.value = static_cast<long long>(outside) * db::OMNI_INSIDE_VALUES + inside;
    for (int k = 0; k < 8; ++k) {
        const int* outer = right ? b : a;
        const int* inner = right ? a : b;
        const std::size_t place = static_cast<std::size_t>(k) + (right ? 16 : 0);
        h.checksum += outer[k] * db::OMNI_WEIGHTS[place] + inner[k] * db::OMNI_WEIGHTS[place + 8];
    }
    h.ok = true;
    return h;
}

bool joinDataBar(const DataBarHalf& left, const DataBarHalf& right, std::string& gtin) {
    int check = (left.checksum + right.checksum) % 79;
    if (check >= 8)
        ++check;
    if (check >= 72)
        ++check;
    if (check / 9 != left.finder || check % 9 != right.finder)
        return false;
    gtin = gtinOf(left.value * 4537077LL + right.value);
    return true;
}

LineRead decodeDataBar(const ScanLine& line) {
    const Runs& runs = line.runs;
    LineRead best;
    const int n = static_cast<int>(runs.size());
    // The left guard's bar, then 43 elements to the right guard's bar.
    for (int s = 1; s + 44 < n; s += 2) {
        const DataBarHalf left = readDataBarHalf(runs, s + 1, false);
        if (!left.ok)
            continue;
        const DataBarHalf right = readDataBarHalf(runs, s + 22, true);
        if (!right.ok) {
            keepBetter(best, failed(STARTED, "the right half of the GS1 DataBar symbol does not read"));
            continue;
        }
        std::string gtin;
        if (!joinDataBar(left, right, gtin)) {
            keepBetter(best, failed(COMPLETE, "the GS1 DataBar finder patterns do not match the check value"));
            continue;
        }
        LineRead r;
        r.data = "01" + gtin;
        r.checkCharacters = gtin.substr(13);
        r.gs1 = true;
        double span = 0;
        for (int i = s; i <= s + 44; ++i)
            span += runs[static_cast<std::size_t>(i)];
        r.found(s, s + 44, span / 95);
        return r;
    }
    return best;
}

namespace {

class BitReader {
public:
    explicit BitReader(std::string bits) : bits_(std::move(bits)) {}
    std::size_t left() const { return bits_.size() - at_; }
    int peek(int count) const { return static_cast<int>(std::strtol(bits_.substr(at_, static_cast<std::size_t>(count)).c_str(), nullptr, 2)); }
    int read(int count) {
        const int v = peek(count);
        at_ += static_cast<std::size_t>(count);
        return v;
    }
    // Four groups of three digits.
    std::string groups(int count) {
        std::string out;
        for (int g = 0; g < count; ++g) {
            std::string d = std::to_string(read(10));
            out += std::string(3 - d.size(), '0') + d;
        }
        return out;
    }

private:
    std::string bits_;
    std::size_t at_ = 0;
};

std::string padded(int value, std::size_t digits) {
    std::string d = std::to_string(value);
    return std::string(digits > d.size() ? digits - d.size() : 0, '0') + d;
}

// The general-purpose field from where the reader stands to the end.
bool generalPurpose(BitReader& b, std::string& out) {
    enum { Numeric, Alpha, Iso } mode = Numeric;
    static constexpr std::string_view SPECIALS = "!\"%&'()*+,-./:;<=>?_ ";
    while (true) {
        if (mode == Numeric) {
            if (b.left() < 4)
                return true;
            if (b.peek(4) == 0) {
                b.read(4);
                mode = Alpha;
            } else if (b.left() < 7) {
                const int v = b.read(4);
                if (v > 10)
                    return false;
                out += static_cast<char>('0' + v - 1);
                return true;
            } else {
                const int v = b.read(7) - 8;
                if (v < 0 || v > 120)
                    return false;
                for (int d : {v / 11, v % 11})
                    out += d == 10 ? GS : static_cast<char>('0' + d);
            }
            continue;
        }
        if (b.left() < 3)
            return true;
        if (b.peek(3) == 0) {
            b.read(3);
            mode = Numeric;
            continue;
        }
        if (b.left() < 5)
            return true;
        const int five = b.peek(5);
        if (five == 4) {
            b.read(5);
            mode = mode == Alpha ? Iso : Alpha;
        } else if (five == 15) {
            b.read(5);
            out += GS;
            mode = Numeric;
        } else if (five >= 5 && five <= 14) {
            b.read(5);
            out += static_cast<char>('0' + five - 5);
        } else if (mode == Alpha) {
            if (b.left() < 6)
                return true;
            const int v = b.read(6);
            if (v >= 32 && v <= 57)
                out += static_cast<char>('A' + v - 32);
            else if (v >= 58 && v <= 62)
                out += "*,-./"[v - 58];
            else
                return false;
        } else {
            if (b.left() < 7)
                return true;
            const int seven = b.peek(7);
            if (seven >= 64 && seven <= 89) {
                out += static_cast<char>('A' + b.read(7) - 64);
            } else if (seven >= 90 && seven <= 115) {
                out += static_cast<char>('a' + b.read(7) - 90);
            } else {
                if (b.left() < 8)
                    return true;
                const int v = b.read(8);
                if (v < 232 || v > 252)
                    return false;
                out += SPECIALS[static_cast<std::size_t>(v - 232)];
            }
        }
    }
}

}  // namespace

namespace {

// The element strings of an Expanded symbol's binary data (see expandedData).
bool expandedFields(const std::string& bits, std::string& data) {
    BitReader b(bits);
    b.read(1);  // a composite component's flag
    std::string gtin;
    auto gtin9 = [&] { return gtinOf(std::stoll("9" + b.groups(4))); };
    if (b.read(1) == 1) {
        b.read(2);
        const int first = b.read(4);
        gtin = gtinOf(std::stoll(std::to_string(first) + b.groups(4)));
        data = "01" + gtin;
        return first <= 9 && generalPurpose(b, data);
    }
    if (b.read(1) == 0) {
        b.read(2);
        return generalPurpose(b, data);
    }
    if (b.read(1) == 0) {  // 0100 and 0101: a weight
        const bool pounds = b.read(1) == 1;
        data = "01" + gtin9();
        const int w = b.read(15);
        data += pounds ? (w < 10000 ? "3202" + padded(w, 6) : "3203" + padded(w - 10000, 6)) : "3103" + padded(w, 6);
        return true;
    }
    if (b.read(1) == 0) {  // 01100 and 01101: a price
        const bool currency = b.read(1) == 1;
        b.read(2);
        data = "01" + gtin9();
        data += std::string(currency ? "393" : "392") + static_cast<char>('0' + b.read(2));
        if (currency)
            data += padded(b.read(10), 3);
        return generalPurpose(b, data);
    }
    const int method = b.read(3);  // 0111xxx: a weight and a date
    data = "01" + gtin9();
    const int weight = b.read(20);
    data += std::string(method % 2 ? "320" : "310") + static_cast<char>('0' + weight / 100000) + padded(weight % 100000, 6);
    const int date = b.read(16);
    if (date != 38400) {
        data += "1" + std::string(1, static_cast<char>('1' + 2 * (method / 2)));
        data += padded(date / 384, 2) + padded(date / 32 % 12 + 1, 2) + padded(date % 32, 2);
    }
    return true;
}

}  // namespace

bool expandedData(const std::string& bits, std::string& data) {
    if (!expandedFields(bits, data))
        return false;
    // An FNC1 at the end separates nothing: the padding after a variable-length
    // field can begin with one.
    if (!data.empty() && data.back() == GS)
        data.pop_back();
    return true;
}

ExpandedPiece readExpandedPiece(const Runs& runs, int at, bool withRight) {
    ExpandedPiece p;
    int f[5];
    if (!piece(runs, at, 8, 17, p.left) || !piece(runs, at + 8, 5, 15, f))
        return p;
    int k = finderIndex(db::EXPANDED_FINDERS, f);
    if (k >= 0) {
        p.finder = 2 * k + 1;
    } else {
        reverse(f, 5);
        k = finderIndex(db::EXPANDED_FINDERS, f);
        if (k < 0)
            return p;
        p.finder = 2 * k + 2;
    }
    p.hasRight = withRight && piece(runs, at + 13, 8, 17, p.right);
    if (p.hasRight)
        reverse(p.right, 8);
    p.ok = true;
    return p;
}

bool joinExpanded(const std::vector<ExpandedPiece>& pairs, std::string& data, std::string& failure) {
    int values[22];
    int count = 0;
    for (const ExpandedPiece& p : pairs) {
        for (int side = 0; side < (p.hasRight ? 2 : 1); ++side) {
            values[count] = db::characterValue(db::EXPANDED_GROUPS, side ? p.right : p.left, 4, false, false);
            if (values[count] < 0) {
                failure = "GS1 DataBar Expanded character " + std::to_string(count + 1) + " has no valid pattern";
                return false;
            }
            ++count;
        }
    }
    const int finders = static_cast<int>(pairs.size());
    if (count < 4 || values[0] / 211 + 4 != count || finders != (count + 1) / 2) {
        failure = "the GS1 DataBar Expanded check character does not count the symbol's characters";
        return false;
    }
    int checksum = 0;
    for (int i = 0; i < finders; ++i)
        if (pairs[static_cast<std::size_t>(i)].finder != db::EXPANDED_SEQUENCES[finders - 2][i]) {
            failure = "the GS1 DataBar Expanded finder patterns are not in their sequence";
            return false;
        }
    for (int i = 1; i < count; ++i) {
        const ExpandedPiece& p = pairs[static_cast<std::size_t>(i / 2)];
        const int* w = i % 2 ? p.right : p.left;
        const int row = 2 * (p.finder - 1) + i % 2 - 1;
        for (int k = 0; k < 8; ++k)
            checksum += w[k] * db::EXPANDED_WEIGHTS[static_cast<std::size_t>(8 * row + k)];
    }
    if (checksum % 211 != values[0] % 211) {
        failure = "the GS1 DataBar Expanded check character does not match";
        return false;
    }
    std::string bits;
    for (int i = 1; i < count; ++i)
        for (int k = 11; k >= 0; --k)
            bits += (values[i] >> k) & 1 ? '1' : '0';
    if (!expandedData(bits, data)) {
        failure = "the GS1 DataBar Expanded data does not decode";
        return false;
    }
    return true;
}

LineRead decodeExpanded(const ScanLine& line) {
    const Runs& runs = line.runs;
    LineRead best;
    const int n = static_cast<int>(runs.size());
    for (int s = 1; s + 22 < n; s += 2) {
        const ExpandedPiece first = readExpandedPiece(runs, s + 1, true);
        if (!first.ok || first.finder != 1)
            continue;
        std::vector<ExpandedPiece> pairs{first};
        const int count = db::characterValue(db::EXPANDED_GROUPS, first.left, 4, false, false) / 211 + 4;
        if (count < 4 || count > 22)
            continue;
        bool whole = true;
        for (int p = 1; p < (count + 1) / 2 && whole; ++p) {
            pairs.push_back(readExpandedPiece(runs, s + 1 + 21 * p, 2 * p + 1 < count));
            whole = pairs.back().ok && pairs.back().hasRight == (2 * p + 1 < count);
        }
        if (!whole) {
            keepBetter(best, failed(STARTED, "a GS1 DataBar Expanded pair does not read"));
            continue;
        }
        std::string data, failure;
        if (!joinExpanded(pairs, data, failure)) {
            keepBetter(best, failed(COMPLETE, failure));
            continue;
        }
        // The right guard: a space and a bar, or the bar alone where the characters end dark.
        const int end = s + 1 + 21 * (count / 2) + (count % 2 ? 13 : 0);
        const int last = (end - s) % 2 ? end + 1 : end;
        if (last >= n)
            continue;
        LineRead r;
        r.data = data;
        r.gs1 = true;
        double span = 0;
        int modules = 0;
        for (int i = s; i <= last; ++i)
            span += runs[static_cast<std::size_t>(i)];
        modules = 1 + 49 * (count / 2) + (count % 2 ? 32 : 0) + ((end - s) % 2 ? 2 : 1);
        r.found(s, last, span / modules);
        return r;
    }
    return best;
}

}  // namespace korvane::detail
