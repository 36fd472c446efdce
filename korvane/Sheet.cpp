// Label sheets: the page's geometry, fitting a label to its cell, and the
// writer that composes pages and hands each over when it is full.

#include "korvane/Sheet.h"
#include "writers/Writers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace korvane {
namespace {

constexpr double MM_PER_INCH = 25.4;
constexpr double TEXT_LINE = 1.4;     // a line of text, in ems
constexpr double MARK_LENGTH_MM = 5;
constexpr double MARK_OFFSET_MM = 1;  // marks stop short of the cells they mark
constexpr double MARK_WIDTH_MM = 0.2;
constexpr int MAX_GRID = 100;
constexpr double MAX_DPI = 10000;
constexpr double MAX_PAGE_MM = 10000;  // 10 m: past any printer, well inside an int of dots

int dots(double mm, double dpi) { return static_cast<int>(std::lround(mm * dpi / MM_PER_INCH)); }

std::string mmText(int d, double dpi) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", d * MM_PER_INCH / dpi);
    return buf;
}

bool lengthOk(double mm) { return std::isfinite(mm) && mm >= 0 && mm <= MAX_PAGE_MM; }

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

Error tooLarge(const SheetGeometry& g, const Drawing& label, const std::string& at) {
    return Error{ErrorCode::InvalidOption, "the label is " + mmText(label.width, g.dpi) + " x " +
                                               mmText(label.height + g.textLine, g.dpi) + " mm" + at +
                                               "; a cell of the sheet is " + mmText(g.cellWidth, g.dpi) + " x " +
                                               mmText(g.cellHeight, g.dpi) + " mm"};
}

class PdfPages : public PageOutput {
public:
    PdfPages(ByteSink& sink, const WriteOptions& options) : pdf_(sink, options) {}
    Status page(const Drawing& page) override { return pdf_.page(page); }
    Status finish() override { return pdf_.finish(); }

private:
    writers::PdfPageStream pdf_;
};

class PageFiles : public PageOutput {
public:
    PageFiles(Format format, std::function<std::string(long long)> name, const WriteOptions& options)
        : format_(format), name_(std::move(name)), options_(options) {}
    Status page(const Drawing& page) override {
        const Result<Written> bytes = write(page, format_, options_);
        if (!bytes)
            return bytes.error();
        return writeBytesToFile(bytes->bytes, name_(++pages_));
    }
    Status finish() override { return Done{}; }

private:
    Format format_;
    std::function<std::string(long long)> name_;
    WriteOptions options_;
    long long pages_ = 0;
};

}  // namespace

Result<SheetGeometry> sheetGeometry(const SheetOptions& o) {
    if (o.columns < 1 || o.columns > MAX_GRID || o.rows < 1 || o.rows > MAX_GRID)
        return Error{ErrorCode::InvalidOption, "a sheet's grid is 1 to 100 cells each way, not " +
                                                   std::to_string(o.columns) + " x " + std::to_string(o.rows)};
    if (!(o.dpi >= 1 && o.dpi <= MAX_DPI))
        return Error{ErrorCode::InvalidOption, "a sheet needs a resolution of 1 to 10,000 dpi"};
    for (double mm : {o.page.widthMm, o.page.heightMm, o.marginTopMm, o.marginRightMm, o.marginBottomMm,
                      o.marginLeftMm, o.gapHorizontalMm, o.gapVerticalMm, o.textSizeMm})
        if (!lengthOk(mm))
            return Error{ErrorCode::InvalidOption, "a sheet's lengths are 0 to 10 m"};
    SheetGeometry g;
    g.dpi = o.dpi;
    g.pageWidth = dots(o.page.widthMm, o.dpi);
    g.pageHeight = dots(o.page.heightMm, o.dpi);
    g.top = dots(o.marginTopMm, o.dpi);
    g.right = dots(o.marginRightMm, o.dpi);
    g.bottom = dots(o.marginBottomMm, o.dpi);
    g.left = dots(o.marginLeftMm, o.dpi);
    g.gapH = dots(o.gapHorizontalMm, o.dpi);
    g.gapV = dots(o.gapVerticalMm, o.dpi);
    g.columns = o.columns;
    g.rows = o.rows;
    g.textSize = o.textSizeMm * o.dpi / MM_PER_INCH;
    g.textLine = o.textLine ? static_cast<int>(std::ceil(g.textSize * TEXT_LINE)) : 0;
    g.cutMarks = o.cutMarks;
    g.foreground = o.foreground;
    g.background = o.background;
    if (static_cast<long long>(g.pageWidth) * g.pageHeight > MAX_CANVAS_DOTS)
        return Error{ErrorCode::InvalidOption, "at " + std::to_string(static_cast<long long>(o.dpi)) +
                                                   " dpi the page is more than the 2^28 dots a drawing holds"};
    const long long w =
        static_cast<long long>(g.pageWidth) - g.left - g.right - static_cast<long long>(g.columns - 1) * g.gapH;
    const long long h =
        static_cast<long long>(g.pageHeight) - g.top - g.bottom - static_cast<long long>(g.rows - 1) * g.gapV;
    if (w < g.columns || h < g.rows)
        return Error{ErrorCode::InvalidOption, "the margins and gaps leave no room for the cells"};
    g.cellWidth = static_cast<int>(w / g.columns);
    g.cellHeight = static_cast<int>(h / g.rows);
    return g;
}

Result<Drawing> layoutForCell(const Symbol& symbol, const LayoutOptions& options, const SheetGeometry& sheet,
                              bool fit) {
    LayoutOptions o = options;
    o.dpi = sheet.dpi;
    Result<Drawing> drawing = layout(symbol, o);
    if (!drawing || sheet.fits(drawing->width, drawing->height))
        return drawing;
    const int asked = static_cast<int>(drawing->moduleDots);
    if (!fit || asked <= 1)
        return tooLarge(sheet, *drawing, "");
    // Width and height grow about in proportion to X (quiet zones, text and
    // heights in modules follow it), so the proportion gives the first X to
    // try; whole dots and fixed heights may ask for a dot or two less.
    const double scale = std::min(static_cast<double>(sheet.cellWidth) / drawing->width,
                                  static_cast<double>(sheet.cellHeight - sheet.textLine) / drawing->height);
    int x = std::clamp(static_cast<int>(std::floor(asked * scale)), 1, asked - 1);
    for (;; --x) {
        o.xDim = px(x);  // dots at the sheet's resolution
        Result<Drawing> smaller = layout(symbol, o);
        if (!smaller)
            return smaller;
        if (sheet.fits(smaller->width, smaller->height)) {
            char note[160];
            std::snprintf(note, sizeof note, "X of %.4g mm (%d dots) becomes %.4g mm (%d) to fit a cell of the sheet",
                          drawing->xMm, asked, smaller->xMm, x);
            smaller->warnings.insert(smaller->warnings.begin(), note);
            return smaller;
        }
        if (x == 1)
            return tooLarge(sheet, *smaller, " at X of one dot");
    }
}

std::unique_ptr<PageOutput> pdfPages(ByteSink& sink, const WriteOptions& options) {
    return std::make_unique<PdfPages>(sink, options);
}

std::unique_ptr<PageOutput> pageFiles(Format format, std::function<std::string(long long)> name,
                                      const WriteOptions& options) {
    return std::make_unique<PageFiles>(format, std::move(name), options);
}

SheetWriter::SheetWriter(const SheetGeometry& sheet, PageOutput& output) : sheet_(sheet), output_(output) {}

Status SheetWriter::add(const Drawing& label, std::string_view text) {
    if (failed_)
        return *failed_;
    if (!sheet_.fits(label.width, label.height))
        return tooLarge(sheet_, label, "");
    if (label.foreground != sheet_.foreground || label.background != sheet_.background || label.dpi != sheet_.dpi)
        return Error{ErrorCode::InvalidOption, "the labels of a sheet share its colours and resolution"};
    if (slot_ == 0) {
        page_ = Drawing{};
        page_.width = sheet_.pageWidth;
        page_.height = sheet_.pageHeight;
        page_.dpi = sheet_.dpi;
        page_.foreground = sheet_.foreground;
        page_.background = sheet_.background;
        page_.rects.reserve(label.rects.size() * static_cast<std::size_t>(sheet_.perPage()));
        if (sheet_.cutMarks)
            cutMarks(sheet_, page_);
    }
    const int column = slot_ % sheet_.columns, row = slot_ / sheet_.columns;
    const int cellX = sheet_.left + column * (sheet_.cellWidth + sheet_.gapH);
    const int cellY = sheet_.top + row * (sheet_.cellHeight + sheet_.gapV);
    const int x = cellX + (sheet_.cellWidth - label.width) / 2;
    const int y = cellY + (sheet_.cellHeight - label.height - sheet_.textLine) / 2;
    for (const Rect& r : label.rects)
        page_.rects.push_back({r.x + x, r.y + y, r.width, r.height});
    for (TextRun t : label.texts) {
        t.x += x;
        t.y += y;
        page_.texts.push_back(std::move(t));
    }
    if (sheet_.textLine > 0 && !text.empty()) {
        TextRun t;
        t.x = cellX + sheet_.cellWidth / 2.0;
        t.y = y + label.height + sheet_.textSize;
        t.size = sheet_.textSize;
        t.text = std::string(text);
        t.anchor = Anchor::Middle;
        page_.texts.push_back(std::move(t));
    }
    ++labels_;
    if (++slot_ == sheet_.perPage())
        return emit();
    return Done{};
}

Status SheetWriter::emit() {
    slot_ = 0;
    const Status ok = output_.page(page_);
    page_ = Drawing{};
    if (!ok) {
        failed_ = ok.error();
        return ok;
    }
    ++pages_;
    return Done{};
}

Status SheetWriter::finish() {
    if (failed_)
        return *failed_;
    if (slot_ > 0)
        if (const Status ok = emit(); !ok)
            return ok;
    const Status ok = output_.finish();
    if (!ok)
        failed_ = ok.error();
    return ok;
}

}  // namespace korvane
