// Postnet: ZIP codes in full and half bars of one width on a regular pitch.
// Each digit is five bars, two of them full (weights 7, 4, 2, 1, 0; 7 + 4
// stands for 0); a full frame bar opens and closes the symbol, and a check
// digit brings the sum of the digits to a multiple of 10. PLANET is the same
// with the heights swapped inside the frame: three full bars a digit, the
// half ones at the weights.

#include "Linear.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace korvane::detail {
namespace {

constexpr int WEIGHTS[5] = {7, 4, 2, 1, 0};
// 5, 9 or 11 digits and the check digit: 32, 52 or 62 bars with the frame;
// PLANET's 11 or 13 and the check digit: 62 or 72.
constexpr std::array<int, 3> POSTNET_DIGITS = {6, 10, 12};
constexpr std::array<int, 3> PLANET_DIGITS = {12, 14, 0};

// The digits of the bars inside the frame (true: a full bar), the check
// digit verified and set apart; a failure says which digit or check is wrong.
LineRead readDigits(const std::vector<bool>& full, int bars, Symbology s) {
    const bool planet = s == Symbology::Planet;
    const std::string title(symbologyInfo(s).title);
    LineRead r;
    int sum = 0;
    for (int k = 1; k + 1 < bars; k += 5) {
        int value = 0, count = 0;
        for (int j = 0; j < 5; ++j)
            if (full[static_cast<std::size_t>(k + j)] != planet) {
                value += WEIGHTS[j];
                ++count;
            }
        const std::size_t digit = r.data.size() + 1;
        if (count != 2)
            return failed(COMPLETE, title + " digit " + std::to_string(digit) + " has " +
                                        std::to_string(planet ? 5 - count : count) + " full bars; a digit has " +
                                        (planet ? "three" : "two"));
        if (value == 11)
            value = 0;
        sum += value;
        r.data += static_cast<char>('0' + value);
    }
    if (sum % 10 != 0)
        return failed(COMPLETE, "the " + title + " check digit reads " + r.data.back() +
                                    "; the digits before it give " +
                                    std::to_string((10 - (sum - (r.data.back() - '0')) % 10) % 10));
    r.checkCharacters = r.data.substr(r.data.size() - 1);
    r.data.pop_back();
    return r;
}

LineRead readFrom(const ScanLine& line, int s, int end, Symbology symbology) {
    const Runs& runs = line.runs;
    const int bars = (end - s + 1) / 2;
    const bool planet = symbology == Symbology::Planet;
    const std::string title(symbologyInfo(symbology).title);
    bool known = false;
    for (int d : planet ? PLANET_DIGITS : POSTNET_DIGITS)
        known = known || (d > 0 && bars == 5 * d + 2);
    if (!known)
        return failed(STARTED, "the " + title + " symbol has " +
                                   std::to_string(bars) + " bars; it should have " +
                                   (planet ? "62 or 72" : "32, 52 or 62"));

    // Each bar's extent across the line, measured through its middle.
    std::vector<int> middles;
    middles.reserve(static_cast<std::size_t>(bars));
    for (int i = s, at = 0; i < end; i += 2) {
        middles.push_back(at + runs[static_cast<std::size_t>(i)] / 2);
        at += runs[static_cast<std::size_t>(i)] + runs[static_cast<std::size_t>(i) + 1];
    }
    const int first = line.pixelAt(s);
    for (int& m : middles)
        m += first;
    std::vector<LineSource::Span> extent;
    line.source.crossSpans(line.vertical, line.at, middles, extent);
    for (const LineSource::Span& b : extent)
        if (b.to <= b.from)
            return failed(STARTED, "a " + title + " bar could not be measured");
    // Full and half bars stand on one baseline.
    auto aligned = [&](bool high) {
        const int ref = high ? extent[0].to : extent[0].from;
        for (const LineSource::Span& b : extent)
            if (std::abs((high ? b.to : b.from) - ref) > 1)
                return false;
        return true;
    };
    const bool highBase = aligned(true);
    if (!highBase && !aligned(false))
        return failed(COMPLETE, "the " + title + " bars do not stand on one baseline");
    // The baseline is below the bars as they are read: rows are read left to
    // right when it is below them, columns top to bottom when it is on their
    // left. Otherwise the bars are read in the opposite order.
    if (line.vertical == highBase)
        std::reverse(extent.begin(), extent.end());

    int lowest = extent[0].to - extent[0].from, highest = lowest;
    for (const LineSource::Span& b : extent) {
        lowest = std::min(lowest, b.to - b.from);
        highest = std::max(highest, b.to - b.from);
    }
    if (highest < 1.5 * lowest)
        return failed(COMPLETE, "the " + title + " bars do not come in two heights");
    const double threshold = (lowest + highest) / 2.0;
    std::vector<bool> full;
    for (const LineSource::Span& b : extent)
        full.push_back(b.to - b.from > threshold);
    if (!full.front() || !full.back())
        return failed(COMPLETE, "a " + title + " frame bar is a half bar");

    LineRead r = readDigits(full, bars, symbology);
    if (!r.failure.empty())
        return r;
    // Quiet zones are counted in bar pitches.
    r.found(s, end - 1, static_cast<double>(std::abs(line.pixelAt(end - 1) - line.pixelAt(s))) / (bars - 1));
    return r;
}

}  // namespace

LineRead decodePostnet(const ScanLine& line, Symbology symbology) {
    // The bars' heights say which way to read them; the line in picture order
    // serves for both.
    if (line.reversed)
        return failed(NOTHING, "");
    const Runs& runs = line.runs;
    LineRead best;
    const int n = static_cast<int>(runs.size());
    for (int s = 1; s + 1 < n; s += 2) {
        // The bars and spaces of a Postnet symbol are each of one width; a
        // light run of more than two pitches ends it.
        const int pitch = runs[static_cast<std::size_t>(s)] + runs[static_cast<std::size_t>(s) + 1];
        if (!mayStart(runs, s, 2.0 * pitch))
            continue;
        int end = s + 1;
        while (end + 1 < n && runs[static_cast<std::size_t>(end)] < 2 * pitch &&
               std::abs(runs[static_cast<std::size_t>(end) + 1] - runs[static_cast<std::size_t>(s)]) * 2 <=
                   runs[static_cast<std::size_t>(s)])
            end += 2;
        keepBetter(best, readFrom(line, s, end, symbology));
        if (best.progress == DECODED)
            break;
    }
    return best;
}

}  // namespace korvane::detail
