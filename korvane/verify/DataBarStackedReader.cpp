// GS1 DataBar Stacked, Stacked Omnidirectional and Expanded Stacked from
// pictures: every row of pixels read as a row of the symbol would be (in
// both directions, since Expanded Stacked turns some rows round), the rows'
// characters joined in order from the top and checked as one symbol.

#include "DataBarRead.h"
#include "Linear.h"

#include "../databar/DataBarTables.h"

#include <algorithm>

namespace korvane::detail {
namespace {

Runs reversedRuns(const Runs& runs) { return Runs(runs.rbegin(), runs.rend()); }

// The pairs of one row of an Expanded Stacked symbol read from `runs`, or none.
std::vector<ExpandedPiece> expandedRowPieces(const Runs& runs) {
    const int n = static_cast<int>(runs.size());
    for (int at = 1; at + 13 < n; ++at) {
        std::vector<ExpandedPiece> pieces;
        for (int p = at; p + 13 <= n; p += 21) {
            ExpandedPiece piece = readExpandedPiece(runs, p, true);
            if (!piece.ok)
                break;
            pieces.push_back(piece);
            if (!piece.hasRight)
                break;
        }
        if (!pieces.empty())
            return pieces;
    }
    return {};
}

bool samePieces(const std::vector<ExpandedPiece>& a, const std::vector<ExpandedPiece>& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].finder != b[i].finder || !std::equal(a[i].left, a[i].left + 8, b[i].left))
            return false;
    return true;
}

Reading failure(std::string why) {
    Reading r;
    r.failure = std::move(why);
    return r;
}

// The picture turned `quarters` quarter turns clockwise.
GrayRaster turned(const GrayRaster& in, int quarters) {
    GrayRaster out;
    const bool across = quarters % 2 == 1;
    out.width = across ? in.height : in.width;
    out.height = across ? in.width : in.height;
    out.pixels.resize(in.pixels.size());
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            const int sx = quarters == 1 ? y : quarters == 2 ? in.width - 1 - x : quarters == 3 ? in.width - 1 - y : x;
            const int sy = quarters == 1 ? in.height - 1 - x : quarters == 2 ? in.height - 1 - y : quarters == 3 ? x : y;
            out.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(out.width) + static_cast<std::size_t>(x)] =
                in.at(sx, sy);
        }
    return out;
}

// The rows of a stacked symbol are read across: a picture turned by a
// quarter or a half is turned back, the first turn that reads wins.
template <typename ReadUpright>
Reading everyTurn(const GrayRaster& raster, ReadUpright&& read) {
    Reading first = read(raster);
    for (int quarters = 1; quarters < 4 && !first.ok; ++quarters) {
        Reading r = read(turned(raster, quarters));
        if (r.ok)
            return r;
    }
    return first;
}

Reading dataBarStackedUpright(const GrayRaster& raster) {
    const RasterLines lines(raster);
    Runs runs;
    DataBarHalf left, right;
    for (int y = 0; y < lines.height() && !(left.ok && right.ok); ++y) {
        lines.row(y, runs);
        const int n = static_cast<int>(runs.size());
        for (int s = 1; s + 21 < n; s += 2) {
            if (!left.ok) {
                const DataBarHalf h = readDataBarHalf(runs, s + 1, false);
                if (h.ok) {
                    left = h;
                    break;
                }
            }
            if (!right.ok && left.ok) {
                const DataBarHalf h = readDataBarHalf(runs, s + 2, true);
                if (h.ok) {
                    right = h;
                    break;
                }
            }
        }
    }
    if (!left.ok)
        return failure("no row of a GS1 DataBar Stacked symbol reads");
    if (!right.ok)
        return failure("the lower row of the GS1 DataBar Stacked symbol does not read");
    std::string gtin;
    if (!joinDataBar(left, right, gtin))
        return failure("the GS1 DataBar finder patterns do not match the check value");
    Reading r;
    r.ok = true;
    r.data = "01" + gtin;
    r.checkCharacters = gtin.substr(13);
    r.gs1 = true;
    return r;
}

Reading expandedStackedUpright(const GrayRaster& raster) {
    const RasterLines lines(raster);
    Runs runs;
    std::vector<ExpandedPiece> pairs, previous;
    int count = 0;  // the symbol's characters, from the check character
    for (int y = 0; y < lines.height(); ++y) {
        lines.row(y, runs);
        // A row turned round reads from its right; the row that reads with
        // the next finder pattern of the sequence is the one.
        const int finders = (count + 1) / 2;
        const int next = pairs.empty() ? 1
                         : finders >= 2 && finders <= 11 && static_cast<int>(pairs.size()) < finders
                             ? databar::EXPANDED_SEQUENCES[finders - 2][pairs.size()]
                             : -1;
        // Each row of the symbol once, however many lines of pixels cross it.
        std::vector<ExpandedPiece> forward = expandedRowPieces(runs);
        if (forward.empty() || samePieces(forward, previous))
            continue;
        std::vector<ExpandedPiece> row;
        if (forward[0].finder == next)
            row = forward;
        else if (std::vector<ExpandedPiece> back = expandedRowPieces(reversedRuns(runs));
                 !back.empty() && back[0].finder == next)
            row = std::move(back);
        if (row.empty())
            continue;
        if (pairs.empty())
            count = databar::characterValue(databar::EXPANDED_GROUPS, row[0].left, 4, false, false) / 211 + 4;
        pairs.insert(pairs.end(), row.begin(), row.end());
        previous = std::move(forward);
    }
    if (pairs.empty())
        return failure("no row of a GS1 DataBar Expanded Stacked symbol reads");
    std::string data, why;
    if (!joinExpanded(pairs, data, why))
        return failure(why);
    Reading r;
    r.ok = true;
    r.data = data;
    r.gs1 = true;
    return r;
}

}  // namespace

Reading readDataBarStacked(const GrayRaster& raster) { return everyTurn(raster, dataBarStackedUpright); }

Reading readExpandedStacked(const GrayRaster& raster) { return everyTurn(raster, expandedStackedUpright); }

}  // namespace korvane::detail
