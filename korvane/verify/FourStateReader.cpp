// The four-state postal codes: bars of one width on a regular pitch, each
// crossing the middle band (the tracker) and reaching up, down, both or
// neither. A scan line through the tracker finds the bars; each bar's extent
// across the line gives its state. Read as the picture stands (rows left to
// right with the ascenders up, columns top to bottom with them on the right),
// then turned round, where the symbology tells the two apart.

#include "Linear.h"

#include "../linear/PostalTables.h"

#include <algorithm>
#include <string>
#include <vector>

namespace korvane::detail {
namespace {

using postal::reachesDown;
using postal::reachesUp;

// The states of the bars of runs [s, end) as they stand on the picture:
// `low` and `high` say which bars reach the low and the high side of the
// band across the line. False with `why` when a bar cannot be measured.
bool measure(const ScanLine& line, int s, int end, std::vector<bool>& low, std::vector<bool>& high, std::string& why) {
    const Runs& runs = line.runs;
    std::vector<int> middles;
    for (int i = s, at = 0; i < end; i += 2) {
        middles.push_back(line.pixelAt(s) + at + runs[static_cast<std::size_t>(i)] / 2);
        at += runs[static_cast<std::size_t>(i)] + runs[static_cast<std::size_t>(i) + 1];
    }
    std::vector<LineSource::Span> extent;
    line.source.crossSpans(line.vertical, line.at, middles, extent);
    int lowest = extent[0].from, highest = extent[0].to;
    for (const LineSource::Span& b : extent) {
        if (b.to <= b.from) {
            why = "a bar could not be measured";
            return false;
        }
        lowest = std::min(lowest, b.from);
        highest = std::max(highest, b.to);
    }
    // An ascender or descender runs on for about a third of the full bar
    // beyond the tracker; a sixth tells them from a tracker's edge.
    const double slack = (highest - lowest) / 6.0;
    for (const LineSource::Span& b : extent) {
        low.push_back(b.from - lowest < slack);
        high.push_back(highest - b.to < slack);
    }
    return true;
}

// The states in reading order: `turned` reads the bars the other way round,
// which swaps up and down as well.
std::string statesOf(const std::vector<bool>& low, const std::vector<bool>& high, bool vertical, bool turned) {
    // Upright, a row's ascenders reach the low side (the top of the picture)
    // and a column's the high side (its right).
    const bool upIsLow = !vertical != turned;
    std::string states;
    for (std::size_t i = 0; i < low.size(); ++i)
        states += postal::stateOf(upIsLow ? low[i] : high[i], upIsLow ? high[i] : low[i]);
    if (turned)
        std::reverse(states.begin(), states.end());
    return states;
}

std::string barCount(std::size_t n) { return std::to_string(n) + (n == 1 ? " bar" : " bars"); }

// The tracking and routing codes from the 102-bit value; false when the
// value is none an IMb encoder makes.
bool imbDigits(postal::ImbValue v, std::string& data) {
    std::string tracking(20, '0');
    for (int i = 19; i >= 2; --i)
        tracking[static_cast<std::size_t>(i)] = static_cast<char>('0' + v.divMod(10));
    tracking[1] = static_cast<char>('0' + v.divMod(5));
    tracking[0] = static_cast<char>('0' + v.divMod(10));
    if (v.limb[2] != 0 || v.limb[3] != 0)
        return false;
    const std::uint64_t rest = v.limb[0] | static_cast<std::uint64_t>(v.limb[1]) << 32;
    int kind = 3;
    while (kind > 0 && rest < postal::IMB_ROUTING_BASE[kind])
        --kind;
    std::string routing;
    if (kind > 0) {
        routing = std::to_string(rest - postal::IMB_ROUTING_BASE[kind]);
        const std::size_t length = static_cast<std::size_t>(postal::IMB_ROUTING_LENGTHS[kind]);
        if (routing.size() > length)
            return false;
        routing.insert(0, length - routing.size(), '0');
    }
    data = tracking + routing;
    return true;
}

LineRead readImb(const std::string& states) {
    if (states.size() != 65)
        return failed(STARTED, "the IMb symbol has " + barCount(states.size()) + "; it should have 65");
    std::uint16_t characters[10] = {};
    for (std::size_t i = 0; i < 65; ++i) {
        const postal::ImbBar& b = postal::IMB_BARS[i];
        if (reachesUp(states[i]))
            characters[b.ascender] = static_cast<std::uint16_t>(characters[b.ascender] | 1 << b.ascenderBit);
        if (reachesDown(states[i]))
            characters[b.descender] = static_cast<std::uint16_t>(characters[b.descender] | 1 << b.descenderBit);
    }
    int fcs = 0, codewords[10];
    for (int i = 0; i < 10; ++i) {
        int bits = 0;
        for (int k = 0; k < 13; ++k)
            bits += (characters[i] >> k) & 1;
        if (bits == 8 || bits == 11) {  // the complement of a character: a bit of the check sequence
            characters[i] = static_cast<std::uint16_t>(~characters[i] & 0x1FFF);
            fcs |= 1 << i;
        }
        codewords[i] = postal::imbCodeword(characters[i]);
        if (codewords[i] < 0)
            return failed(COMPLETE, "IMb character " + std::string(1, static_cast<char>('A' + i)) + " is none of the code's");
    }
    if (codewords[0] >= 659) {
        codewords[0] -= 659;
        fcs |= 0x400;
    }
    if (codewords[9] % 2 != 0)
        return failed(COMPLETE, "the IMb symbol is upside down or its last codeword is odd");
    codewords[9] /= 2;
    if (codewords[0] >= 659 || codewords[9] >= 636)
        return failed(COMPLETE, "an IMb codeword is out of range");
    postal::ImbValue v;
    v.limb[0] = static_cast<std::uint32_t>(codewords[0]);
    for (int i = 1; i <= 8; ++i)
        v.mulAdd(postal::IMB_CODEWORDS, static_cast<std::uint32_t>(codewords[i]));
    v.mulAdd(636, static_cast<std::uint32_t>(codewords[9]));
    std::uint8_t bytes[13];
    v.bytes(bytes);
    if (postal::imbCrc(bytes) != fcs)
        return failed(COMPLETE, "the IMb frame check sequence does not match the data");
    LineRead r;
    if (!imbDigits(v, r.data))
        return failed(COMPLETE, "the IMb value is beyond the routing codes");
    return r;
}

// RM4SCC: an ascender, the characters and the check character, a full bar; KIX: the characters alone.
LineRead readRoyalMail(const std::string& states, Symbology s) {
    const bool royalMail = s == Symbology::Rm4scc;
    const std::string title(symbologyInfo(s).title);
    const std::size_t frame = royalMail ? 2 : 0;
    const std::size_t least = royalMail ? 10 : 4;
    if (states.size() < least || (states.size() - frame) % 4 != 0)
        return failed(STARTED, "the " + title + " symbol has " + barCount(states.size()) +
                                   (royalMail ? "; it should have 2 and four a character" : "; a character has four"));
    if (royalMail && (states.front() != 'A' || states.back() != 'F'))
        return failed(STARTED, "the RM4SCC symbol does not start with an ascender and end with a full bar");
    LineRead r;
    int rows = 0, columns = 0;
    for (std::size_t at = frame / 2; at + 4 <= states.size() - frame / 2; at += 4) {
        const int index = postal::rm4sccIndex(states.c_str() + at);
        if (index < 0)
            return failed(COMPLETE, title + " character " + std::to_string(at / 4 + 1) + " is none of the code's");
        r.data += postal::RM4SCC_CHARACTERS[static_cast<std::size_t>(index)];
        rows += index / 6 + 1;
        columns += index % 6 + 1;
    }
    if (royalMail) {
        const int read = static_cast<int>(postal::RM4SCC_CHARACTERS.find(r.data.back()));
        const int expected = postal::rm4sccCheck(rows - (read / 6 + 1), columns - (read % 6 + 1));
        if (read != expected)
            return failed(COMPLETE, std::string("the RM4SCC check character reads ") + r.data.back() +
                                        "; the characters before it give " +
                                        postal::RM4SCC_CHARACTERS[static_cast<std::size_t>(expected)]);
        r.checkCharacters = r.data.substr(r.data.size() - 1);
        r.data.pop_back();
    }
    return r;
}

// A table N digit from two bars, -1 for none.
int ausDigit(char first, char second) {
    const int a = postal::ausValue(first), b = postal::ausValue(second);
    return a < 3 && b < 3 ? 3 * a + b : a == 3 && b == 0 ? 9 : -1;
}

// Australia Post: start, FCC, sorting code, customer information, filler,
// parity, stop. The FCC must be one of the row's.
LineRead readAusPost(const std::string& states, Symbology s) {
    const std::size_t n = states.size();
    if (n != 37 && n != 52 && n != 67)
        return failed(STARTED, "the Australia Post symbol has " + barCount(n) + "; it should have 37, 52 or 67");
    if (states.compare(0, 2, "AT") != 0 || states.compare(n - 2, 2, "AT") != 0)
        return failed(STARTED, "the Australia Post symbol does not start and end with an ascender and a tracker");
    const std::string bars = states.substr(2, n - 4 - postal::AUS_PARITY_BARS);
    std::vector<int> symbols;
    for (std::size_t i = 0; i < bars.size(); i += 3)
        symbols.push_back(16 * postal::ausValue(bars[i]) + 4 * postal::ausValue(bars[i + 1]) +
                          postal::ausValue(bars[i + 2]));
    std::string parity;
    for (int p : postal::ausParity(symbols.begin(), symbols.end()))
        for (int shift : {4, 2, 0})
            parity += postal::AUS_STATES[(p >> shift) & 3];
    if (states.compare(n - 2 - postal::AUS_PARITY_BARS, postal::AUS_PARITY_BARS, parity) != 0)
        return failed(COMPLETE, "the Australia Post parity bars do not match the data");
    std::string digits;
    for (std::size_t i = 0; i + 1 < bars.size() && digits.size() < 10; i += 2) {
        const int d = ausDigit(bars[i], bars[i + 1]);
        if (d < 0)
            return failed(COMPLETE, "Australia Post digit " + std::to_string(i / 2 + 1) + " is none of table N");
        digits += static_cast<char>('0' + d);
    }
    const int fcc = std::stoi(digits.substr(0, 2));
    const postal::AusFormat* format = nullptr;
    for (const postal::AusFormat& f : postal::AUS_FORMATS)
        if (f.fcc == fcc && f.bars == static_cast<int>(n))
            format = &f;
    if (format == nullptr || format->row != static_cast<int>(s) - static_cast<int>(Symbology::AusPost))
        return failed(COMPLETE, "FCC " + digits.substr(0, 2) + " of " + barCount(n) + " is none " +
                                    std::string(symbologyInfo(s).title) + " has");
    std::size_t at = 20;
    for (int k = 0; k < format->customerDigits; ++k, at += 2) {
        const int d = ausDigit(bars[at], bars[at + 1]);
        if (d < 0)
            return failed(COMPLETE, "Australia Post customer digit " + std::to_string(k + 1) + " is none of table N");
        digits += static_cast<char>('0' + d);
    }
    if (bars.find_first_not_of('T', at) != std::string::npos)
        return failed(COMPLETE, "the Australia Post filler bars are not all trackers");
    LineRead r;
    r.data = digits.substr(2);
    return r;
}

LineRead readStates(const std::string& states, Symbology s) {
    if (s == Symbology::Imb)
        return readImb(states);
    if (s == Symbology::Rm4scc || s == Symbology::Kix)
        return readRoyalMail(states, s);
    if (s == Symbology::Daft) {  // the states are the data
        LineRead r;
        r.data = states;
        return r;
    }
    return readAusPost(states, s);
}

LineRead readFrom(const ScanLine& line, int s, int end, Symbology symbology) {
    std::vector<bool> low, high;
    std::string why;
    if (!measure(line, s, end, low, high, why))
        return failed(STARTED, why);
    LineRead best;
    for (bool turned : {false, true}) {
        LineRead r = readStates(statesOf(low, high, line.vertical, turned), symbology);
        if (r.failure.empty()) {
            // Quiet zones are counted in bar pitches.
            const int bars = (end - s + 1) / 2;
            r.found(s, end - 1, static_cast<double>(std::abs(line.pixelAt(end - 1) - line.pixelAt(s))) / (bars - 1));
            return r;
        }
        keepBetter(best, std::move(r));
    }
    return best;
}

}  // namespace

LineRead decodeFourState(const ScanLine& line, Symbology symbology) {
    // The bars' extents say which way to read them; the line in picture order serves for both.
    if (line.reversed)
        return failed(NOTHING, "");
    const Runs& runs = line.runs;
    LineRead best;
    const int n = static_cast<int>(runs.size());
    for (int s = 1; s + 1 < n; s += 2) {
        // The bars and spaces are each of one width; a light run of more than two pitches ends the symbol.
        const int pitch = runs[static_cast<std::size_t>(s)] + runs[static_cast<std::size_t>(s) + 1];
        if (!mayStart(runs, s, 2.0 * pitch))
            continue;
        int end = s + 1;
        while (end + 1 < n && runs[static_cast<std::size_t>(end)] < 2 * pitch &&
               std::abs(runs[static_cast<std::size_t>(end) + 1] - runs[static_cast<std::size_t>(s)]) * 2 <=
                   runs[static_cast<std::size_t>(s)])
            end += 2;
        if (end - s < 3)
            continue;
        keepBetter(best, readFrom(line, s, end, symbology));
        if (best.progress == DECODED)
            break;
    }
    return best;
}

}  // namespace korvane::detail
