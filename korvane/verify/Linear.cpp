// The linear readers' common ground: width classification and the search over
// scan lines, directions and quiet zones.

#include "Linear.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace korvane::detail {

// Quiet zones in modules (X) before and after the symbol: ISO/IEC 16388
// (Code 39), 15417 (Code 128), 15420 (EAN/UPC), 16390 (Interleaved 2 of 5),
// AIM's Code 93 and Codabar standards, as the registry's rows give them.
QuietZone quietZoneOf(Symbology s) { return descriptor(s).readerQuiet; }

namespace {

// Scan lines across the picture, as parts of its height (or width): the middle
// first, then spreading out, as a scanner's raster pattern would.
constexpr double LINE_PLACES[] = {0.5, 0.75, 0.25, 0.625, 0.375, 0.875, 0.125, 0.5625, 0.4375, 0.9375, 0.0625};

LineRead decodeLine(const ScanLine& line, Symbology s, const LinearReadOptions& o) {
    const auto read = descriptor(s).readLine;
    return read ? read(line, s, o) : failed(NOTHING, "not a linear symbology");
}

std::string figure(const char* format, double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

// The quiet zones of a decoded symbol; the failure names the short one.
void checkQuietZones(const Runs& runs, Symbology s, LineRead& r) {
    if (!(r.module > 0)) {
        r.failure = "the symbol's module width cannot be measured";
        r.progress = VALID;
        return;
    }
    const char* unit = quietZoneOf(s).unit;
    const double before = runs[static_cast<std::size_t>(r.firstBar) - 1] / r.module;
    const double after = runs[static_cast<std::size_t>(r.lastBar) + 1] / r.module;
    // The bars' edges, which print gain and rounding to whole dots move a
    // little, bound the quiet zones: grade()'s parameter allows as much.
    constexpr double SLACK = QUIET_ZONE_SHORTFALL;
    std::string why;
    if (before < r.quietLeft - SLACK)
        why = "the quiet zone before the symbol is " + figure("%.1f", before) + unit + "; " +
              std::string(symbologyInfo(s).title) + " needs " + figure("%g", r.quietLeft);
    else if (after < r.quietRight - SLACK)
        why = "the quiet zone after the symbol is " + figure("%.1f", after) + unit + "; " +
              std::string(symbologyInfo(s).title) + " needs " + figure("%g", r.quietRight);
    if (!why.empty()) {
        r.failure = std::move(why);
        r.progress = VALID;  // read, but not as a scanner may accept it
    }
}

}  // namespace

int ScanLine::pixelAt(int i) const {
    long long at = 0;
    for (int k = 0; k < i; ++k)
        at += runs[static_cast<std::size_t>(k)];
    if (!reversed)
        return static_cast<int>(at);
    long long total = 0;
    for (int w : runs)
        total += w;
    return static_cast<int>(total - at - runs[static_cast<std::size_t>(i)]);
}

LineRead failed(Progress progress, std::string why) {
    LineRead r;
    r.progress = progress;
    r.failure = std::move(why);
    return r;
}

void keepBetter(LineRead& best, LineRead&& candidate) {
    if (candidate.progress > best.progress || (best.failure.empty() && !candidate.failure.empty() &&
                                               candidate.progress == best.progress))
        best = std::move(candidate);
}

bool classifyWidths(const Runs& runs, int from, int to, WidthClasses& out) {
    // Elements this far apart in size are one class; the split needs a clear gap.
    constexpr double MIN_SPLIT = 1.3;
    for (int colour = 0; colour < 2; ++colour) {  // 0: spaces (even indices), 1: bars
        std::vector<int> sizes;
        for (int i = from; i < to; ++i)
            if (i % 2 == colour && i > 0)
                sizes.push_back(runs[static_cast<std::size_t>(i)]);
        if (sizes.empty())
            return false;
        std::sort(sizes.begin(), sizes.end());
        if (sizes.front() <= 0)
            return false;
        double bestRatio = 0;
        std::size_t split = 0;
        for (std::size_t k = 1; k < sizes.size(); ++k) {
            const double ratio = static_cast<double>(sizes[k]) / sizes[k - 1];
            if (ratio > bestRatio) {
                bestRatio = ratio;
                split = k;
            }
        }
        double threshold, narrow;
        if (bestRatio < MIN_SPLIT) {
            // One class: narrow (every start pattern has narrow elements of both colours).
            threshold = sizes.back() * MIN_SPLIT;
            double sum = 0;
            for (int v : sizes)
                sum += v;
            narrow = sum / static_cast<double>(sizes.size());
        } else {
            threshold = std::sqrt(static_cast<double>(sizes[split - 1]) * sizes[split]);
            double sum = 0;
            for (std::size_t k = 0; k < split; ++k)
                sum += sizes[k];
            narrow = sum / static_cast<double>(split);
        }
        if (colour == 1) {
            out.barThreshold = threshold;
            out.narrowBar = narrow;
        } else {
            out.spaceThreshold = threshold;
            out.narrowSpace = narrow;
        }
    }
    return true;
}

int symbolEnd(const Runs& runs, int from, double quiet) {
    const int n = static_cast<int>(runs.size());
    for (int i = from + 1; i < n; i += 2)
        if (runs[static_cast<std::size_t>(i)] >= quiet)
            return i;
    return n - 1;
}

bool mayStart(const Runs& runs, int s, double quiet) {
    return s == 1 || runs[static_cast<std::size_t>(s) - 1] >= quiet;
}

int wideBits(const Runs& runs, int from, int count, const WidthClasses& classes) {
    int key = 0;
    for (int k = 0; k < count; ++k)
        key = key * 2 + (classes.wide(runs, from + k) ? 1 : 0);
    return key;
}

bool moduleWidths(const Runs& runs, int from, int count, int modules, double gain, int maxModules, int* out) {
    double span = 0;
    for (int k = 0; k < count; ++k)
        span += runs[static_cast<std::size_t>(from + k)];
    if (span <= 0)
        return false;
    const double x = span / modules;
    int sum = 0;
    for (int k = 0; k < count; ++k) {
        const int i = from + k;
        const double nominal = runs[static_cast<std::size_t>(i)] + (i % 2 ? -gain : gain);
        const int m = static_cast<int>(std::lround(nominal / x));
        if (m < 1 || m > maxModules)
            return false;
        out[k] = m;
        sum += m;
    }
    return sum == modules;
}

double printGain(const Runs& runs, int from, const int* widths, int count) {
    double span = 0;
    int modules = 0;
    for (int k = 0; k < count; ++k) {
        span += runs[static_cast<std::size_t>(from + k)];
        modules += widths[k];
    }
    if (modules == 0)
        return 0;
    const double x = span / modules;
    double excess = 0;
    int counted = 0;
    for (int k = 0; k < count; ++k) {
        const int i = from + k;
        const double d = runs[static_cast<std::size_t>(i)] - widths[k] * x;
        excess += i % 2 ? d : -d;
        ++counted;
    }
    return excess / counted;
}

bool terminationBar(const Runs& runs, int s, int bar, double modules, int barModules, double gain, double& x) {
    double span = 0;
    for (int k = s; k < bar; ++k)
        span += runs[static_cast<std::size_t>(k)];
    x = span / modules;
    const double termination = (runs[static_cast<std::size_t>(bar)] - gain) / x;
    return !(termination < barModules - 0.5 || termination > barModules + 0.5);
}

int frameStop(const Runs& runs, int s, int end, const WidthClasses& classes, const DigitFrame& frame,
              LineRead& failure) {
    const int elements = end - s;
    const int digitElements = elements - frame.startCount - frame.stopCount;
    if (digitElements < frame.perDigit || digitElements % frame.perDigit != 0) {
        failure = failed(STARTED, std::string("the ") + frame.name + " symbol has " + std::to_string(elements) +
                                      " elements, which is no whole number of digits between start and stop");
        return -1;
    }
    const int stop = end - frame.stopCount;
    if (wideBits(runs, stop, frame.stopCount, classes) != frame.stopKey) {
        failure = failed(STARTED, std::string("the ") + frame.name + " symbol has no stop pattern");
        return -1;
    }
    return stop;
}

int weightedCheck(const std::vector<int>& values, std::size_t count, int maxWeight, int modulus) {
    int sum = 0, weight = 1;
    for (std::size_t k = count; k-- > 0;) {
        sum += values[k] * weight;
        weight = weight == maxWeight ? 1 : weight + 1;
    }
    return sum % modulus;
}

char checkDigit31(const std::string& digits) {
    int sum = 0;
    bool three = true;
    for (auto c = digits.rbegin(); c != digits.rend(); ++c, three = !three)
        sum += (*c - '0') * (three ? 3 : 1);
    return static_cast<char>('0' + (10 - sum % 10) % 10);
}

std::string describeCharacter(unsigned char c) {
    if (c >= 32 && c < 127)
        return std::string("'") + static_cast<char>(c) + "'";
    char buf[16];
    std::snprintf(buf, sizeof buf, "byte 0x%02X", c);
    return buf;
}

Reading readLines(const LineSource& source, Symbology symbology, const LinearReadOptions& asked, bool rowsFirst) {
    // An optional check character is looked for only where the symbology may
    // carry one: Matrix 2 of 5 has none, and its last digit is data.
    LinearReadOptions options = asked;
    const CheckRule rule = symbologyInfo(symbology).check;
    options.check = asked.check && (rule == CheckRule::Optional || rule == CheckRule::OptionalOn);
    const QuietZone quiet = quietZoneOf(symbology);
    LineRead best;
    Runs runs, reversed;
    for (int pass = 0; pass < 2; ++pass) {
        const bool vertical = (pass == 0) != rowsFirst;
        const int across = vertical ? source.width() : source.height();
        int previous = -1;
        for (double place : LINE_PLACES) {
            const int at = std::min(across - 1, static_cast<int>(place * across));
            if (at < 0 || at == previous)
                continue;
            previous = at;
            if (vertical)
                source.column(at, runs);
            else
                source.row(at, runs);
            if (runs.size() < 3)
                continue;  // no bar on this line
            reversed.assign(runs.rbegin(), runs.rend());
            for (int direction = 0; direction < 2; ++direction) {
                const ScanLine line{direction == 0 ? runs : reversed, source, vertical, at, direction == 1};
                LineRead r = decodeLine(line, symbology, options);
                if (r.progress == DECODED && options.requireAddOn && r.addOn.empty()) {
                    // Weaker than a broken add-on another line found: this one may pass over the add-on.
                    r.progress = COMPLETE;
                    r.failure = "no add-on follows the symbol";
                }
                if (r.progress == DECODED) {
                    if (r.quietLeft < 0)
                        r.quietLeft = quiet.before;
                    if (r.quietRight < 0)
                        r.quietRight = quiet.after;
                    if (options.quietZones)
                        checkQuietZones(line.runs, symbology, r);
                    if (r.progress == DECODED) {
                        Reading reading;
                        reading.ok = true;
                        reading.data = std::move(r.data);
                        reading.checkCharacters = std::move(r.checkCharacters);
                        reading.addOn = std::move(r.addOn);
                        reading.gs1 = r.gs1;
                        return reading;
                    }
                }
                keepBetter(best, std::move(r));
            }
        }
    }
    Reading reading;
    reading.failure = best.progress == NOTHING || best.failure.empty()
                          ? "no " + std::string(symbologyInfo(symbology).title) + " symbol found"
                          : best.failure;
    return reading;
}

Reading readLinear(const GrayRaster& raster, Symbology symbology, const LinearReadOptions& options) {
    if (raster.width <= 0 || raster.height <= 0 ||
        raster.pixels.size() != static_cast<std::size_t>(raster.width) * static_cast<std::size_t>(raster.height)) {
        Reading r;
        r.failure = "the picture is empty";
        return r;
    }
    const RasterLines lines(raster);
    return readLines(lines, symbology, options, true);
}

}  // namespace korvane::detail
