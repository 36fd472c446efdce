// Pharmacode (one track): narrow and wide bars told apart by the spaces,
// which are all two modules: a narrow bar is narrower than a space, a wide
// one wider.

#include "Linear.h"

#include <algorithm>

namespace korvane::detail {
namespace {

// The symbol from bar `s` to the quiet run `end`, or why not.
LineRead readFrom(const Runs& runs, int s, int end) {
    if (end - s < 3)
        return failed(STARTED, "a Pharmacode symbol has at least two bars");
    std::vector<int> spaces;
    for (int i = s + 1; i < end; i += 2)
        spaces.push_back(runs[static_cast<std::size_t>(i)]);
    std::sort(spaces.begin(), spaces.end());
    const double space = spaces[spaces.size() / 2];
    if (spaces.front() < 0.6 * space || spaces.back() > 1.6 * space)
        return failed(STARTED, "the spaces of the Pharmacode symbol are not all of one width");
    long value = 0;
    int modules = 0;  // of each bar with the space after it
    for (int i = s; i < end; i += 2) {
        const int bar = runs[static_cast<std::size_t>(i)];
        if (bar < 0.25 * space || bar > 2.5 * space)
            return failed(COMPLETE, "a Pharmacode bar is neither narrow nor wide");
        const bool wide = bar > space;
        value = value * 2 + (wide ? 2 : 1);
        if (value > 131070)
            return failed(COMPLETE, "the Pharmacode bars make more than 131070");
        if (i + 1 < end)
            modules += (wide ? 3 : 1) + 2;
    }
    if (value < 3 || value > 131070)
        return failed(COMPLETE, "the Pharmacode bars make " + std::to_string(value) + ", outside 3 to 131070");
    LineRead r;
    r.data = std::to_string(value);
    // X from each bar with the space after it, which print gain leaves as they are.
    double span = 0;
    for (int i = s; i + 1 < end; ++i)
        span += runs[static_cast<std::size_t>(i)];
    const double x = span / modules;
    r.found(s, end - 1, x);
    return r;
}

}  // namespace

LineRead decodePharmacode(const ScanLine& line) {
    LineRead best;
    const Runs& runs = line.runs;
    const int n = static_cast<int>(runs.size());
    for (int s = 1; s < n; s += 2) {
        // A quiet zone of at least three spaces before and after.
        const double quiet = 3.0 * runs[static_cast<std::size_t>(std::min(s + 1, n - 1))];
        if (!mayStart(runs, s, quiet))
            continue;
        keepBetter(best, readFrom(runs, s, symbolEnd(runs, s, quiet)));
        if (best.progress == DECODED)
            break;
    }
    return best;
}

}  // namespace korvane::detail
