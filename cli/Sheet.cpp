// The sheet composer.

#include "Sheet.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace korvane::cli {
namespace {

constexpr double TEXT_EM_MM = 2.5;
constexpr double TEXT_LINE = 1.4;     // a line of text, in ems
constexpr double MARK_LENGTH_MM = 5;
constexpr double MARK_OFFSET_MM = 1;  // marks stop short of the cells they mark
constexpr double MARK_WIDTH_MM = 0.2;

int dots(double mm, double dpi) { return static_cast<int>(std::lround(mm * dpi / 25.4)); }

std::string mmText(int d, double dpi) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", d * 25.4 / dpi);
    return buf;
}

int textHeight(const SheetGeometry& g) {
    return g.labelText ? static_cast<int>(std::ceil(g.textSize * TEXT_LINE)) : 0;
}

// Marks where cell edges meet the margins: vertical ones above and below the
// grid, horizontal ones left and right of it. Edges closer than a mark's width
// share one mark, so marks never overlap.
void cutMarks(const SheetGeometry& g, Drawing& page) {
    const int width = std::max(1, dots(MARK_WIDTH_MM, g.dpi));
    const int offset = dots(MARK_OFFSET_MM, g.dpi);
    const int length = dots(MARK_LENGTH_MM, g.dpi);
    auto edges = [&](int start, int cell, int gap, int count) {
        std::vector<int> at;
        for (int i = 0; i < count; ++i) {
            const int from = start + i * (cell + gap);
            for (int e : {from, from + cell - width}) {
                if (at.empty() || e >= at.back() + width)
                    at.push_back(e);
            }
        }
        return at;
    };
    const int gridBottom = g.top + g.rows * g.cellHeight + (g.rows - 1) * g.gapV;
    const int gridRight = g.left + g.columns * g.cellWidth + (g.columns - 1) * g.gapH;
    const int above = std::min(length, g.top - offset);
    const int below = std::min(length, g.pageHeight - gridBottom - offset);
    for (int x : edges(g.left, g.cellWidth, g.gapH, g.columns)) {
        if (above > 0)
            page.rects.push_back({x, g.top - offset - above, width, above});
        if (below > 0)
            page.rects.push_back({x, gridBottom + offset, width, below});
    }
    const int leftOf = std::min(length, g.left - offset);
    const int rightOf = std::min(length, g.pageWidth - gridRight - offset);
    for (int y : edges(g.top, g.cellHeight, g.gapV, g.rows)) {
        if (leftOf > 0)
            page.rects.push_back({g.left - offset - leftOf, y, leftOf, width});
        if (rightOf > 0)
            page.rects.push_back({gridRight + offset, y, rightOf, width});
    }
}

}  // namespace

Result<SheetGeometry> sheetGeometry(const SheetSettings& s, double dpi) {
    SheetGeometry g;
    g.dpi = dpi;
    g.pageWidth = dots(s.page.widthMm, dpi);
    g.pageHeight = dots(s.page.heightMm, dpi);
    g.top = dots(s.margins.top.mm(dpi), dpi);
    g.right = dots(s.margins.right.mm(dpi), dpi);
    g.bottom = dots(s.margins.bottom.mm(dpi), dpi);
    g.left = dots(s.margins.left.mm(dpi), dpi);
    g.gapH = dots(s.gapH.mm(dpi), dpi);
    g.gapV = dots(s.gapV.mm(dpi), dpi);
    g.columns = s.grid.columns;
    g.rows = s.grid.rows;
    g.labelText = !s.labelText.empty();
    g.cutMarks = s.cutMarks;
    g.textSize = TEXT_EM_MM * dpi / 25.4;
    if (static_cast<long long>(g.pageWidth) * g.pageHeight > MAX_CANVAS_DOTS)
        return Error{ErrorCode::InvalidOption, "--sheet: at " + std::to_string(static_cast<long long>(dpi)) +
                                                   " dpi the page is more than the 2^28 dots a drawing holds"};
    const long long w = static_cast<long long>(g.pageWidth) - g.left - g.right - static_cast<long long>(g.columns - 1) * g.gapH;
    const long long h = static_cast<long long>(g.pageHeight) - g.top - g.bottom - static_cast<long long>(g.rows - 1) * g.gapV;
    if (w < g.columns || h < g.rows)
        return Error{ErrorCode::InvalidOption, "--sheet: the margins and gaps leave no room for the cells"};
    g.cellWidth = static_cast<int>(w / g.columns);
    g.cellHeight = static_cast<int>(h / g.rows);
    return g;
}

Status labelFits(const SheetGeometry& g, const Drawing& label) {
    const int need = label.height + textHeight(g);
    if (label.width <= g.cellWidth && need <= g.cellHeight)
        return Done{};
    return Error{ErrorCode::SizeTooLarge, "the label is " + mmText(label.width, g.dpi) + " x " + mmText(need, g.dpi) +
                                              " mm; a cell of the sheet is " + mmText(g.cellWidth, g.dpi) + " x " +
                                              mmText(g.cellHeight, g.dpi) + " mm"};
}

std::vector<Drawing> composePages(const SheetGeometry& g, const std::vector<SheetLabel>& labels, Colour foreground,
                                  Colour background) {
    std::vector<Drawing> pages;
    const int perPage = g.perPage();
    const int line = textHeight(g);
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const int slot = static_cast<int>(i % static_cast<std::size_t>(perPage));
        if (slot == 0) {
            pages.emplace_back();
            Drawing& p = pages.back();
            p.width = g.pageWidth;
            p.height = g.pageHeight;
            p.dpi = g.dpi;
            p.foreground = foreground;
            p.background = background;
            p.rects.reserve(labels[i].drawing->rects.size() * static_cast<std::size_t>(perPage));
            if (g.cutMarks)
                cutMarks(g, p);
        }
        Drawing& page = pages.back();
        const Drawing& label = *labels[i].drawing;
        const int column = slot % g.columns, row = slot / g.columns;
        const int cellX = g.left + column * (g.cellWidth + g.gapH);
        const int cellY = g.top + row * (g.cellHeight + g.gapV);
        const int x = cellX + (g.cellWidth - label.width) / 2;
        const int y = cellY + (g.cellHeight - label.height - line) / 2;
        for (const Rect& r : label.rects)
            page.rects.push_back({r.x + x, r.y + y, r.width, r.height});
        for (TextRun t : label.texts) {
            t.x += x;
            t.y += y;
            page.texts.push_back(std::move(t));
        }
        if (line > 0 && !labels[i].text.empty()) {
            TextRun t;
            t.x = cellX + g.cellWidth / 2.0;
            t.y = y + label.height + g.textSize;
            t.size = g.textSize;
            t.text = labels[i].text;
            t.anchor = Anchor::Middle;
            page.texts.push_back(std::move(t));
        }
    }
    return pages;
}

}  // namespace korvane::cli
