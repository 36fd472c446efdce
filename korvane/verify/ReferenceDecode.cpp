// The reference decode of each symbology with one here, character by
// character over measured element widths (ReferenceDecode.h).

#include "ReferenceDecode.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace korvane::detail {
namespace {

// ISO/IEC 15420 Table 1, number set A, digits 0-9: space, bar, space, bar in
// modules. Set B is each row read backwards; set C is set A with bars and
// spaces swapped (the same widths).
constexpr const char* EAN_SET_A[] = {"3211", "2221", "2122", "1411", "1132",
                                     "1231", "1114", "1312", "1213", "3112"};

constexpr int eanWidth(int row, bool setB, int k) { return EAN_SET_A[row][setB ? 3 - k : k] - '0'; }
constexpr int eanE(int row, bool setB, int i) { return eanWidth(row, setB, i) + eanWidth(row, setB, i + 1); }

// Every row is 7 modules, and of the 20 rows of sets A and B exactly four
// pairs (1 and 7, 2 and 8 of each set) share their e1 and e2.
constexpr bool eanTableChecks() {
    int sharing = 0;
    for (int a = 0; a < 20; ++a) {
        int sum = 0;
        for (int k = 0; k < 4; ++k)
            sum += eanWidth(a % 10, a >= 10, k);
        if (sum != 7)
            return false;
        for (int b = a + 1; b < 20; ++b)
            if (eanE(a % 10, a >= 10, 0) == eanE(b % 10, b >= 10, 0) &&
                eanE(a % 10, a >= 10, 1) == eanE(b % 10, b >= 10, 1)) {
                const int x = a % 10, y = b % 10;
                const bool pair = (x == 1 && y == 7) || (x == 2 && y == 8);
                if (!pair || (a >= 10) != (b >= 10))
                    return false;
                ++sharing;
            }
    }
    return sharing == 4;
}
static_assert(eanTableChecks());

// The decode of one symbol so far: the least margin share and the first failure.
struct Tally {
    double v = 1;
    std::string failure;
    void add(double share, int character, const char* what) {
        v = std::min(v, share);
        if (share <= 0 && failure.empty())
            failure = "symbol character " + std::to_string(character + 1) + ": " + what +
                      " measures on or beyond its decision threshold";
    }
};

double sum(const std::vector<double>& w, std::size_t from, std::size_t count) {
    double total = 0;
    for (std::size_t k = from; k < from + count; ++k)
        total += w[k];
    return total;
}

// The modules of a character's nominal pattern: n (11 for Code 128, 9 for
// Code 93, 7 for EAN/UPC).
int modulesOf(const std::vector<int>& nominal, std::size_t from, int elements) {
    int n = 0;
    for (std::size_t k = from; k < from + static_cast<std::size_t>(elements); ++k)
        n += nominal[k];
    return n;
}

// The e values of one character of `elements` from `from` against p: each
// e n / p keeps its share of the half module between it and the thresholds
// E - 0.5 and E + 0.5 around its nominal E.
void edgePairs(const std::vector<double>& m, const std::vector<int>& nominal, std::size_t from, int elements,
               int character, Tally& t) {
    const int modules = modulesOf(nominal, from, elements);
    const double p = sum(m, from, static_cast<std::size_t>(elements));
    if (!(p > 0)) {
        t.add(0, character, "its width");
        return;
    }
    for (int i = 0; i + 2 < elements; ++i) {
        const std::size_t k = from + static_cast<std::size_t>(i);
        const double e = (m[k] + m[k + 1]) * modules / p;
        const int nominalE = nominal[k] + nominal[k + 1];
        t.add(1 - 2 * std::fabs(e - nominalE), character, "an edge to similar edge distance");
    }
}

// Code 128 and Code 93: characters of six elements from the start, the stop
// followed by its termination bar. Code 128 checks that its bars add up to
// within 1.75 modules of the character's own bar modules.
bool decodeEdgePairs(const std::vector<double>& m, const std::vector<int>& nominal, bool barCheck, Tally& t) {
    if (m.size() < 13 || (m.size() - 1) % 6 != 0)
        return false;
    const std::size_t characters = (m.size() - 1) / 6;
    for (std::size_t c = 0; c < characters; ++c) {
        const std::size_t from = 6 * c;
        edgePairs(m, nominal, from, 6, static_cast<int>(c), t);
        if (!barCheck)
            continue;
        const double p = sum(m, from, 6);
        const double bars = (m[from] + m[from + 2] + m[from + 4]) * modulesOf(nominal, from, 6) / p;
        const int nominalBars = nominal[from] + nominal[from + 2] + nominal[from + 4];
        if (!(std::fabs(bars - nominalBars) < 1.75) && t.failure.empty())
            t.failure = "symbol character " + std::to_string(c + 1) + ": its bars measure " +
                        std::to_string(bars).substr(0, 4) + " modules; its pattern has " + std::to_string(nominalBars);
    }
    return true;
}

// EAN/UPC: the digits between the guards (`left` and `right` digits, the
// centre guard between them; UPC-E has no right half and a six-element end
// guard). A 1 or 7, 2 or 8 is told from its twin by its bars, which add up to
// two modules more in one than the other: the threshold is midway.
bool decodeEanUpc(const std::vector<double>& m, const std::vector<int>& nominal, int left, int right, Tally& t) {
    const std::size_t expected = right > 0 ? 3 + 4 * left + 5 + 4 * right + 3 : 3 + 4 * left + 6;
    if (m.size() != expected)
        return false;
    for (int c = 0; c < left + right; ++c) {
        const std::size_t from = c < left ? 3 + 4 * c : 3 + 4 * left + 5 + 4 * (c - left);
        edgePairs(m, nominal, from, 4, c, t);
        const int e1 = nominal[from] + nominal[from + 1], e2 = nominal[from + 1] + nominal[from + 2];
        // The twin: the other row of sets A and B with these e values.
        int twinBars = -1, ownBars = -1;
        const bool barFirst = from % 2 == 0;  // element 0 of the symbol is a bar
        for (int row = 0; row < 20; ++row) {
            const int r = row % 10;
            const bool setB = row >= 10;
            if (eanE(r, setB, 0) != e1 || eanE(r, setB, 1) != e2)
                continue;
            const int bars = barFirst ? eanWidth(r, setB, 0) + eanWidth(r, setB, 2)
                                      : eanWidth(r, setB, 1) + eanWidth(r, setB, 3);
            bool same = true;
            for (int k = 0; k < 4; ++k)
                same = same && eanWidth(r, setB, k) == nominal[from + static_cast<std::size_t>(k)];
            (same ? ownBars : twinBars) = bars;
        }
        if (twinBars < 0 || ownBars < 0)
            continue;
        const double p = sum(m, from, 4);
        const double bars =
            (barFirst ? m[from] + m[from + 2] : m[from + 1] + m[from + 3]) * modulesOf(nominal, from, 4) / p;
        const double threshold = (ownBars + twinBars) / 2.0;
        // Nominally a whole module from the threshold.
        t.add((ownBars > twinBars ? bars - threshold : threshold - bars) / std::fabs(ownBars - threshold), c,
              "its bars' width (1/7 or 2/8)");
    }
    return true;
}

// Two widths: each character's threshold from its own width p, with Z = p
// over its narrow elements plus N times its wide ones and the threshold
// (1 + N) Z / 2; each element keeps its share of the (N - 1) Z / 2 between
// its nominal width and the threshold. Characters of `elements` with a gap
// of `gap` elements after all but the last; `head` and `tail` elements of a
// start and stop pattern of their own (Interleaved 2 of 5).
bool decodeTwoWidths(const std::vector<double>& m, const std::vector<int>& nominal, int ratio, int elements, int gap,
                     int head, int tail, Tally& t) {
    const std::size_t n = m.size();
    const std::size_t step = static_cast<std::size_t>(elements + gap);
    if (ratio < 2 || n < static_cast<std::size_t>(head + tail + elements) ||
        (n - static_cast<std::size_t>(head + tail) + static_cast<std::size_t>(gap)) % step != 0)
        return false;
    std::vector<std::pair<std::size_t, std::size_t>> characters;  // from, count
    if (head > 0)
        characters.emplace_back(0, static_cast<std::size_t>(head));
    for (std::size_t from = static_cast<std::size_t>(head); from + static_cast<std::size_t>(tail) < n; from += step)
        characters.emplace_back(from, static_cast<std::size_t>(elements));
    if (tail > 0)
        characters.emplace_back(n - static_cast<std::size_t>(tail), static_cast<std::size_t>(tail));
    for (std::size_t c = 0; c < characters.size(); ++c) {
        const auto [from, count] = characters[c];
        int narrow = 0, wide = 0;
        for (std::size_t k = from; k < from + count; ++k)
            (nominal[k] > 1 ? wide : narrow) += 1;
        const double z = sum(m, from, count) / (narrow + ratio * wide);
        const double threshold = (1 + ratio) * z / 2, margin = (ratio - 1) * z / 2;
        for (std::size_t k = from; k < from + count; ++k)
            t.add((nominal[k] > 1 ? m[k] - threshold : threshold - m[k]) / margin, static_cast<int>(c),
                  nominal[k] > 1 ? "a wide element" : "a narrow element");
    }
    return true;
}

}  // namespace

ReferenceDecode referenceDecode(const std::vector<double>& measured, const std::vector<int>& nominal, Symbology s,
                                int wideRatio) {
    ReferenceDecode out;
    if (measured.size() != nominal.size() || measured.empty())
        return out;
    Tally t;
    bool applies = false;
    switch (s) {
    case Symbology::Code128:
    case Symbology::Gs1_128:
        applies = decodeEdgePairs(measured, nominal, true, t);
        break;
    case Symbology::Code93:
    case Symbology::Code93Extended:
        applies = decodeEdgePairs(measured, nominal, false, t);
        break;
    case Symbology::Ean13:
    case Symbology::UpcA:
        applies = decodeEanUpc(measured, nominal, 6, 6, t);
        break;
    case Symbology::Ean8:
        applies = decodeEanUpc(measured, nominal, 4, 4, t);
        break;
    case Symbology::UpcE:
        applies = decodeEanUpc(measured, nominal, 6, 0, t);
        break;
    case Symbology::Code39:
    case Symbology::Code39Extended:
    case Symbology::Logmars:
    case Symbology::Vin:
    case Symbology::Pzn:
    case Symbology::Code32:
        applies = decodeTwoWidths(measured, nominal, wideRatio, 9, 1, 0, 0, t);
        break;
    case Symbology::Codabar:
        applies = decodeTwoWidths(measured, nominal, wideRatio, 7, 1, 0, 0, t);
        break;
    case Symbology::Interleaved2of5:
        applies = decodeTwoWidths(measured, nominal, wideRatio, 10, 0, 4, 3, t);
        break;
    default:
        break;
    }
    if (!applies)
        return out;
    out.applies = true;
    out.decoded = t.failure.empty();
    out.failure = t.failure;
    out.decodability = std::clamp(t.v, 0.0, 1.0);
    return out;
}

}  // namespace korvane::detail
