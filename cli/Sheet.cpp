// The command's sheet options and hints.

#include "Sheet.h"

#include <vector>

namespace korvane::cli {

SheetOptions sheetOptions(const SheetSettings& s, const Settings& settings) {
    const double dpi = settings.layout.dpi;
    SheetOptions o;
    o.page = {s.page.widthMm, s.page.heightMm};
    o.columns = s.grid.columns;
    o.rows = s.grid.rows;
    o.marginTopMm = s.margins.top.mm(dpi);
    o.marginRightMm = s.margins.right.mm(dpi);
    o.marginBottomMm = s.margins.bottom.mm(dpi);
    o.marginLeftMm = s.margins.left.mm(dpi);
    o.gapHorizontalMm = s.gapH.mm(dpi);
    o.gapVerticalMm = s.gapV.mm(dpi);
    o.dpi = dpi;
    o.textLine = !s.labelText.empty();
    o.cutMarks = s.cutMarks;
    o.foreground = settings.layout.foreground;
    o.background = settings.layout.background;
    return o;
}

std::string roomHint(const SheetSettings& s, const SheetGeometry& g, const Overflow& over) {
    const bool wide = over.width > g.cellWidth;
    const bool tall = over.height > g.cellHeight;
    std::vector<std::string> ways;
    if ((wide && g.columns > 1) || (tall && g.rows > 1))
        ways.push_back(std::string("fewer ") + (wide && g.columns > 1 ? "columns" : "rows") + " in --grid");
    if ((wide && 5 * (g.left + g.right) >= g.pageWidth) || (tall && 5 * (g.top + g.bottom) >= g.pageHeight))
        ways.push_back("smaller --margins");
    if ((wide && g.gapH > 0 && g.columns > 1) || (tall && g.gapV > 0 && g.rows > 1))
        ways.push_back("a smaller --gap");
    if (tall && over.heightGiven)
        ways.push_back("a lower --height");
    if (tall && !s.labelText.empty())
        ways.push_back("no --label-text");
    if (over.xGiven)
        ways.push_back("no --x-dim (X then shrinks to fit)");
    if (ways.empty())
        ways.push_back("a larger --sheet");
    std::string text;
    for (std::size_t i = 0; i < ways.size(); ++i)
        text += (i == 0 ? "" : i + 1 == ways.size() ? " or " : ", ") + ways[i];
    return text + " would make room";
}

}  // namespace korvane::cli
