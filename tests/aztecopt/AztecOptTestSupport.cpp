#include "AztecOptTestSupport.h"

#include "../../korvane/aztec/AztecModes.h"

#include <Aztec.h>

#include <cstddef>

namespace aztecopt {

namespace {

enum Set { UPPER, LOWER, MIXED, PUNCT, DIGIT };

// Column of Aztec::charSets for each set.
constexpr int COLUMN[] = {Aztec::SET_UPPER, Aztec::SET_LOWER, Aztec::SET_MIXED, Aztec::SET_PUNCTUATION,
                          Aztec::SET_DIGIT};

class Reader {
public:
    explicit Reader(const std::string& b) : bits(b) {}
    bool has(int n) const { return pos + static_cast<std::size_t>(n) <= bits.size(); }
    bool done() const { return pos == bits.size(); }
    int take(int n) {
        int v = 0;
        for (int i = 0; i < n; ++i)
            v = v * 2 + (bits[pos++] == '1');
        return v;
    }

private:
    const std::string& bits;
    std::size_t pos = 0;
};

}  // namespace

ReadStream readStream(const std::string& bits) {
    ReadStream r;
    Reader in(bits);
    Set mode = UPPER;
    int shifted = -1;  // the set of the next code only, after U/S or P/S
    const auto fail = [&](const std::string& why) {
        r.error = why;
        return r;
    };
    const auto put = [&](int byte, int marker) {
        r.message.bytes += static_cast<char>(byte);
        r.message.markers.push_back(marker);
    };
    while (!in.done()) {
        const Set set = shifted >= 0 ? static_cast<Set>(shifted) : mode;
        const int width = set == DIGIT ? 4 : 5;
        if (!in.has(width))
            return fail("a code cut short");
        const int code = in.take(width);
        const bool underShift = shifted >= 0;
        shifted = -1;
        if (set == PUNCT && code == 0) {  // FLG(n)
            if (!in.has(3))
                return fail("FLG cut short");
            const int n = in.take(3);
            if (n == 7)
                return fail("FLG(7)");
            int eci = 0;
            for (int i = 0; i < n; ++i) {
                if (!in.has(4))
                    return fail("ECI cut short");
                const int d = in.take(4) - 2;
                if (d < 0 || d > 9)
                    return fail("ECI digit out of range");
                eci = eci * 10 + d;
            }
            if (n > 0 && eci == 0)
                return fail("ECI 0");
            put('0', n == 0 ? 0 : eci);
            continue;
        }
        if (set != DIGIT && set != PUNCT && code == 31) {  // B/S
            if (underShift)
                return fail("B/S right after a shift");
            if (!in.has(5))
                return fail("B/S cut short");
            int length = in.take(5);
            if (length == 0) {
                if (!in.has(11))
                    return fail("B/S cut short");
                length = in.take(11) + 31;
                if (length == 31)
                    return fail("long B/S count of 0");
            }
            for (int i = 0; i < length; ++i) {
                if (!in.has(8))
                    return fail("bytes cut short");
                put(in.take(8), -1);
            }
            continue;
        }
        // Mode changes: U/L, L/L, M/L, P/L, D/L, U/S, P/S.
        int latch = -1;
        int shift = -1;
        switch (set) {
        case UPPER: latch = code == 28 ? LOWER : code == 29 ? MIXED : code == 30 ? DIGIT : -1; break;
        case LOWER:
            latch = code == 29 ? MIXED : code == 30 ? DIGIT : -1;
            shift = code == 28 ? UPPER : -1;
            break;
        case MIXED: latch = code == 28 ? LOWER : code == 29 ? UPPER : code == 30 ? PUNCT : -1; break;
        case PUNCT: latch = code == 31 ? UPPER : -1; break;
        case DIGIT:
            latch = code == 14 ? UPPER : -1;
            shift = code == 15 ? UPPER : -1;
            break;
        }
        if (code == 0 && set != PUNCT)
            shift = PUNCT;
        if (latch >= 0 || shift >= 0) {
            if (underShift)
                return fail("a mode change right after a shift");
            if (latch >= 0)
                mode = static_cast<Set>(latch);
            else
                shifted = shift;
            continue;
        }
        const int value = Aztec::charSets[code][COLUMN[set]];
        if (value < 0)
            return fail("an empty code");
        if (value > 255) {  // a punctuation pair
            put(value / 256, -1);
            put(value % 256, -1);
        } else {
            put(value, -1);
        }
    }
    if (shifted >= 0)
        return fail("a shift at the end");
    r.ok = true;
    return r;
}

std::string shortestStream(const Message& m) {
    BitString bs;
    korvane::detail::appendShortestStream(m.bytes, m.markers, bs);
    return bs.toString();
}

testsupport::Decoded decodeSymbol(const korvane::Symbol& symbol) {
    std::vector<bool> dark(symbol.modules.begin(), symbol.modules.end());
    return testsupport::decode(testsupport::renderMatrix(dark, symbol.columns, symbol.rows, 3, 4),
                               testsupport::Symbology::Aztec);
}

bool readsAs(const testsupport::Decoded& d, const std::string& expected) {
    if (!d.ok)
        return false;
    const std::string got = testsupport::bytesToString(d.bytes);
    if (got == expected)
        return true;
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    for (std::size_t i = 0; i < 3 && i < expected.size(); ++i) {
        const bool indicator = i == 0 || (i == 1 && isLetter(expected[0])) ||
                               (i == 2 && isDigit(expected[0]) && isDigit(expected[1]));
        if (expected[i] == '\x1d' && indicator && got == expected.substr(0, i) + expected.substr(i + 1))
            return true;
    }
    return false;
}

}  // namespace aztecopt
