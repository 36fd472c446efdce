#pragma once
// The tables of GS1 DataBar (ISO/IEC 24724) and the element width
// arithmetic that turns a character value into its bars and spaces and back.
// The encoders and the readers both work from these: they are the standard's
// own tables, and each checks itself when compiled.

#include <array>
#include <cstddef>

namespace korvane::databar {

// The modulus of a character set: the odd (or even) element widths of a
// character, `modules` modules in `elements` elements of at most `widest`
// each. `noNarrow` false leaves out the combinations without a one-module
// element (ISO/IEC 24724 Annex B).
constexpr int combinations(int n, int r) {
    if (r < 0 || n < r)
        return 0;
    long long c = 1;
    for (int i = 1; i <= r; ++i)
        c = c * (n - r + i) / i;
    return static_cast<int>(c);
}

// What the value of the element at `bar`, `width` modules wide, skips over:
// the combinations of the remaining elements a narrower element there would
// leave (the inner step of the Annex B width encoder and decoder).
constexpr int skipped(int n, int elements, int bar, int width, int widest, bool noNarrow, int narrowMask) {
    int sub = combinations(n - width - 1, elements - bar - 2);
    if (!noNarrow && narrowMask == 0 && n - width - (elements - bar - 1) >= elements - bar - 1)
        sub -= combinations(n - width - (elements - bar), elements - bar - 2);
    if (elements - bar - 1 > 1) {
        int less = 0;
        for (int most = n - width - (elements - bar - 2); most > widest; --most)
            less += combinations(n - width - most - 1, elements - bar - 3);
        sub -= less * (elements - 1 - bar);
    } else if (n - width > widest) {
        --sub;
    }
    return sub;
}

// The widths of `elements` elements (at most 8) adding up to `n` modules
// that have the value `value` among all such widths of at most `widest`
// modules (ISO/IEC 24724 Annex B, getRSSwidths).
constexpr void elementWidths(int value, int n, int elements, int widest, bool noNarrow, int* widths) {
    int narrowMask = 0;
    int bar = 0;
    for (; bar < elements - 1; ++bar) {
        int width = 1;
        int sub = 0;
        narrowMask |= 1 << bar;
        for (;; ++width, narrowMask &= ~(1 << bar)) {
            sub = skipped(n, elements, bar, width, widest, noNarrow, narrowMask);
            value -= sub;
            if (value < 0)
                break;
        }
        value += sub;
        n -= width;
        widths[bar] = width;
    }
    widths[bar] = n;
}

// The value elementWidths() gives those widths (Annex B, getRSSvalue).
constexpr int widthsValue(const int* widths, int elements, int widest, bool noNarrow) {
    int n = 0;
    for (int i = 0; i < elements; ++i)
        n += widths[i];
    int value = 0;
    int narrowMask = 0;
    for (int bar = 0; bar < elements - 1; ++bar) {
        int width = 1;
        narrowMask |= 1 << bar;
        for (; width < widths[bar]; ++width, narrowMask &= ~(1 << bar))
            value += skipped(n, elements, bar, width, widest, noNarrow, narrowMask);
        n -= width;
    }
    return value;
}

// A group of character values: the first value, the modules of the odd
// and of the even elements, the widest odd element (the widest even one
// is 9 less it), and how many odd and even patterns the group uses.
struct CharacterGroup {
    int first;
    int oddModules;
    int evenModules;
    int widestOdd;
    int widestEven;
    int oddCount;
    int evenCount;
};

// ISO/IEC 24724 Table 2: the outside characters of GS1 DataBar (16
// modules), value = odd value x even count + even value.
constexpr CharacterGroup OMNI_OUTSIDE[] = {
    {0, 12, 4, 8, 1, 161, 1},
    {161, 10, 6, 6, 3, 80, 10},
    {961, 8, 8, 4, 5, 31, 34},
    {2015, 6, 10, 3, 6, 10, 70},
    {2715, 4, 12, 1, 8, 1, 126},
};
constexpr int OMNI_OUTSIDE_VALUES = 2841;
// ISO/IEC 24724 Table 3: the inside characters (15 modules), value =
// even value x odd count + odd value.
constexpr CharacterGroup OMNI_INSIDE[] = {
    {0, 5, 10, 2, 7, 4, 84},
    {336, 7, 8, 4, 5, 20, 35},
    {1036, 9, 6, 6, 3, 48, 10},
    {1516, 11, 4, 8, 1, 81, 1},
};
constexpr int OMNI_INSIDE_VALUES = 1597;
// ISO/IEC 24724 Table 6: the characters of GS1 DataBar Limited (26
// modules, 7 odd and 7 even elements), value = odd value x even count + even value.
constexpr CharacterGroup LIMITED_GROUPS[] = {
    {0, 17, 9, 6, 3, 6538, 28},
    {183064, 13, 13, 5, 4, 875, 728},
    {820064, 9, 17, 3, 6, 28, 6454},
    {1000776, 15, 11, 5, 4, 2415, 203},
    {1491021, 11, 15, 4, 5, 203, 2408},
    {1979845, 19, 7, 8, 1, 17094, 1},
    {1996939, 7, 19, 1, 8, 1, 16632},
};
constexpr int LIMITED_VALUES = 2013571;
// ISO/IEC 24724 Table 11: the characters of GS1 DataBar Expanded (17
// modules), value = odd value x even count + even value.
constexpr CharacterGroup EXPANDED_GROUPS[] = {
    {0, 12, 5, 7, 2, 87, 4},
    {348, 10, 7, 5, 4, 52, 20},
    {1388, 8, 9, 4, 5, 30, 52},
    {2948, 6, 11, 3, 6, 10, 104},
    {3988, 4, 13, 1, 8, 1, 204},
};
constexpr int EXPANDED_VALUES = 4192;

// How many patterns elementWidths() can make: the widths of `elements`
// elements of 1 to `widest` modules adding up to `n`, with a one-module
// element among them unless `noNarrow` (counted one element at a time).
constexpr int patternCount(int n, int elements, int widest, bool noNarrow, bool narrowSeen = false) {
    if (elements == 0)
        return n == 0 && (noNarrow || narrowSeen) ? 1 : 0;
    int count = 0;
    for (int w = 1; w <= widest && w <= n; ++w)
        count += patternCount(n - w, elements - 1, widest, noNarrow, narrowSeen || w == 1);
    return count;
}

// The groups follow one another, each with as many values as its odd and
// even patterns make, and each pattern count is there to be had.
template <std::size_t N>
constexpr bool groupsCover(const CharacterGroup (&groups)[N], int values, int elements, int modules, bool oddNoNarrow) {
    for (std::size_t g = 0; g < N; ++g) {
        const CharacterGroup& c = groups[g];
        const int next = g + 1 < N ? groups[g + 1].first : values;
        if (c.oddModules + c.evenModules != modules || next - c.first != c.oddCount * c.evenCount)
            return false;
        if (patternCount(c.oddModules, elements, c.widestOdd, oddNoNarrow) < c.oddCount ||
            patternCount(c.evenModules, elements, c.widestEven, !oddNoNarrow) < c.evenCount)
            return false;
    }
    return true;
}
static_assert(groupsCover(OMNI_OUTSIDE, OMNI_OUTSIDE_VALUES, 4, 16, true));
static_assert(groupsCover(OMNI_INSIDE, OMNI_INSIDE_VALUES, 4, 15, false));
static_assert(groupsCover(EXPANDED_GROUPS, EXPANDED_VALUES, 4, 17, false));
// DataBar Limited's groups (seven elements a side) take more steps than clang
// evaluates in a constant expression: DataBarTables.GroupsCoverTheirValues checks them.

// ISO/IEC 24724 Table 4: the nine finder patterns of GS1 DataBar, five
// elements of 15 modules, space first (drawn mirrored right of centre).
constexpr int OMNI_FINDERS[9][5] = {
    {3, 8, 2, 1, 1}, {3, 5, 5, 1, 1}, {3, 3, 7, 1, 1}, {3, 1, 9, 1, 1}, {2, 7, 4, 1, 1},
    {2, 5, 6, 1, 1}, {2, 3, 8, 1, 1}, {1, 5, 7, 1, 1}, {1, 3, 9, 1, 1},
};
// ISO/IEC 24724 Table 13: the six finder patterns of GS1 DataBar Expanded, A to F.
constexpr int EXPANDED_FINDERS[6][5] = {
    {1, 8, 4, 1, 1}, {3, 6, 4, 1, 1}, {3, 4, 6, 1, 1}, {3, 2, 8, 1, 1}, {2, 6, 5, 1, 1}, {2, 2, 9, 1, 1},
};

template <std::size_t N>
constexpr bool findersDistinct(const int (&finders)[N][5]) {
    for (std::size_t a = 0; a < N; ++a) {
        int sum = 0;
        for (int w : finders[a])
            sum += w;
        if (sum != 15)
            return false;
        for (std::size_t b = 0; b < a; ++b) {
            bool same = true;
            for (int k = 0; k < 5; ++k)
                same = same && finders[a][k] == finders[b][k];
            if (same)
                return false;
        }
    }
    return true;
}
static_assert(findersDistinct(OMNI_FINDERS) && findersDistinct(EXPANDED_FINDERS));

// ISO/IEC 24724 Table 14: the finder patterns of a GS1 DataBar Expanded
// symbol of 2 to 11 pairs, in order; 1-12 are A1, A2, B1, B2 ... F2, a
// "2" pattern drawn mirrored.
constexpr int EXPANDED_SEQUENCES[10][11] = {
    {1, 2},
    {1, 4, 3},
    {1, 6, 3, 8},
    {1, 10, 3, 8, 5},
    {1, 10, 3, 8, 7, 12},
    {1, 10, 3, 8, 9, 12, 11},
    {1, 2, 3, 4, 5, 6, 7, 8},
    {1, 2, 3, 4, 5, 6, 7, 10, 9},
    {1, 2, 3, 4, 5, 6, 7, 10, 11, 12},
    {1, 2, 3, 4, 5, 8, 7, 10, 9, 12, 11},
};

// The checksum weights: 3 to the power of the element's place, modulo the
// symbology's modulus (79 for GS1 DataBar, 89 for Limited, 211 for Expanded).
template <int Modulus, std::size_t Count>
constexpr std::array<int, Count> powersOfThree() {
    std::array<int, Count> out{};
    int w = 1;
    for (int& v : out) {
        v = w;
        w = w * 3 % Modulus;
    }
    return out;
}
// GS1 DataBar: 4 characters of 8 elements. Expanded: 23 places beside the
// finder patterns (the check character's has none) of 8 elements.
constexpr std::array<int, 32> OMNI_WEIGHTS = powersOfThree<79, 32>();
constexpr std::array<int, 23 * 8> EXPANDED_WEIGHTS = powersOfThree<211, 23 * 8>();
static_assert(OMNI_WEIGHTS[8] == 4 && EXPANDED_WEIGHTS[8] == 20);  // 3^8 = 6561 = 83 x 79 + 4 = 31 x 211 + 20

// The element widths of a character of value `value` (0 to the set's
// values less one) in a set of groups: odd and even elements interleaved,
// odd first. `evenMajor` where the value counts even patterns in the
// higher place (the inside characters of GS1 DataBar). False for a value
// outside the set.
template <std::size_t N>
bool characterWidths(const CharacterGroup (&groups)[N], int value, int elements, bool oddNoNarrow, bool evenMajor,
                     int* out) {
    std::size_t g = N;
    while (g > 0 && groups[g - 1].first > value)
        --g;
    if (g == 0 || value < 0)
        return false;
    const CharacterGroup& c = groups[g - 1];
    const int v = value - c.first;
    const int oddValue = evenMajor ? v % c.oddCount : v / c.evenCount;
    const int evenValue = evenMajor ? v / c.oddCount : v % c.evenCount;
    if (oddValue >= c.oddCount || evenValue >= c.evenCount)
        return false;
    int odd[8] = {}, even[8] = {};
    elementWidths(oddValue, c.oddModules, elements, c.widestOdd, oddNoNarrow, odd);
    elementWidths(evenValue, c.evenModules, elements, c.widestEven, !oddNoNarrow, even);
    for (int i = 0; i < elements; ++i) {
        out[2 * i] = odd[i];
        out[2 * i + 1] = even[i];
    }
    return true;
}

// The value of a character from its widths (odd and even interleaved, odd
// first), or -1 where no character of the set has them.
template <std::size_t N>
int characterValue(const CharacterGroup (&groups)[N], const int* widths, int elements, bool oddNoNarrow,
                   bool evenMajor) {
    int odd[8] = {}, even[8] = {};
    int oddSum = 0, evenSum = 0;
    for (int i = 0; i < elements; ++i) {
        odd[i] = widths[2 * i];
        even[i] = widths[2 * i + 1];
        oddSum += odd[i];
        evenSum += even[i];
    }
    for (const CharacterGroup& c : groups) {
        if (c.oddModules != oddSum || c.evenModules != evenSum)
            continue;
        for (int i = 0; i < elements; ++i)
            if (odd[i] > c.widestOdd || even[i] > c.widestEven)
                return -1;
        const int oddValue = widthsValue(odd, elements, c.widestOdd, oddNoNarrow);
        const int evenValue = widthsValue(even, elements, c.widestEven, !oddNoNarrow);
        if (oddValue >= c.oddCount || evenValue >= c.evenCount)
            return -1;
        // The widths must be the ones the value makes (a pattern without a
        // narrow element where one is needed has a value too).
        int back[16] = {};
        const int value = c.first + (evenMajor ? evenValue * c.oddCount + oddValue : oddValue * c.evenCount + evenValue);
        characterWidths(groups, value, elements, oddNoNarrow, evenMajor, back);
        for (int i = 0; i < 2 * elements; ++i)
            if (back[i] != widths[i])
                return -1;
        return value;
    }
    return -1;
}

}  // namespace korvane::databar
