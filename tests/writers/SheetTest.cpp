// Label sheets through the library: labels centred in their cells, X fitted
// to a cell in whole dots, pages handed over as they fill, a PDF of many pages
// that qpdf accepts, and files written whole from pieces.

#include "WriterTestSupport.h"

#include <korvane/korvane.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

using namespace korvane;

namespace {

// Keeps every page, as a caller that wants them in memory would.
class KeptPages : public PageOutput {
public:
    Status page(const Drawing& page) override {
        pages.push_back(page);
        return Done{};
    }
    Status finish() override {
        finished = true;
        return Done{};
    }
    std::vector<Drawing> pages;
    bool finished = false;
};

// Counts the bytes a PDF arrives in, keeping them.
class CountingSink : public ByteSink {
public:
    Status append(std::string_view bytes) override {
        ++pieces;
        this->bytes.insert(this->bytes.end(), bytes.begin(), bytes.end());
        return Done{};
    }
    std::vector<std::uint8_t> bytes;
    int pieces = 0;
};

const std::string LONG_DATA(120, 'x');

bool overlap(const Rect& a, const Rect& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

SheetOptions a4(int columns, int rows) {
    SheetOptions o;
    o.columns = columns;
    o.rows = rows;
    return o;
}

TEST(Sheet, LabelsCentredInTheirCellsWithMarksApart) {
    SheetOptions o = a4(3, 8);
    o.gapHorizontalMm = o.gapVerticalMm = 2;
    o.cutMarks = true;
    o.textLine = true;
    const Result<SheetGeometry> g = sheetGeometry(o);
    ASSERT_TRUE(g) << g.error().message;
    EXPECT_EQ(g->pageWidth, 2480);
    EXPECT_EQ(g->pageHeight, 3508);

    Drawing label;
    label.width = 400;
    label.height = 200;
    label.rects = {{0, 0, 10, 200}, {390, 0, 10, 200}};
    KeptPages out;
    SheetWriter writer(*g, out);
    for (int i = 0; i < 25; ++i)
        ASSERT_TRUE(writer.add(label, "x"));
    EXPECT_EQ(out.pages.size(), 1u) << "a full page is handed over at once";
    ASSERT_TRUE(writer.finish());
    ASSERT_EQ(out.pages.size(), 2u);
    EXPECT_TRUE(out.finished);
    EXPECT_EQ(out.pages[1].texts.size(), 1u);
    const Drawing& p = out.pages[0];
    for (std::size_t i = 0; i < p.rects.size(); ++i) {
        const Rect& a = p.rects[i];
        EXPECT_TRUE(a.x >= 0 && a.y >= 0 && a.x + a.width <= p.width && a.y + a.height <= p.height);
        for (std::size_t j = i + 1; j < p.rects.size(); ++j)
            EXPECT_FALSE(overlap(a, p.rects[j])) << i << " and " << j;
    }
    const auto first = std::find_if(p.rects.begin(), p.rects.end(), [](const Rect& r) { return r.height == 200; });
    ASSERT_NE(first, p.rects.end());
    EXPECT_EQ(first->x, g->left + (g->cellWidth - 400) / 2);

    Drawing big = label;
    big.width = g->cellWidth + 1;
    const Status refused = SheetWriter(*g, out).add(big);
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.error().message.find("a cell of the sheet is"), std::string::npos);
    o.marginTopMm = o.marginBottomMm = 150;
    EXPECT_FALSE(sheetGeometry(o));
}

// Margins, gaps and cells that differ every way, so that no swap of top and
// left, right and bottom, or columns and rows goes unseen. The dots are worked
// out by hand at 300 dpi (mm x 300 / 25.4, rounded): A4 is 2480 x 3508;
// margins T 7 mm = 83, R 13 mm = 154, B 19 mm = 224, L 4 mm = 47; gaps
// H 3 mm = 35, V 5 mm = 59; three columns of (2480 - 47 - 154 - 2 x 35) / 3
// = 736 and four rows of (3508 - 83 - 224 - 3 x 59) / 4 = 756. Cut marks are
// 0.2 mm = 2 wide, stop 1 mm = 12 short of the grid and are 5 mm = 59 long,
// or what the margin leaves: 47 - 12 = 35 on the left.
TEST(Sheet, UnequalMarginsAndGapsPlaceEveryCell) {
    SheetOptions o = a4(3, 4);
    o.marginTopMm = 7;
    o.marginRightMm = 13;
    o.marginBottomMm = 19;
    o.marginLeftMm = 4;
    o.gapHorizontalMm = 3;
    o.gapVerticalMm = 5;
    o.cutMarks = true;
    const Result<SheetGeometry> g = sheetGeometry(o);
    ASSERT_TRUE(g) << g.error().message;
    EXPECT_EQ(g->cellWidth, 736);
    EXPECT_EQ(g->cellHeight, 756);

    Drawing label;
    label.width = 300;
    label.height = 200;
    label.rects = {{0, 0, 300, 200}};
    KeptPages out;
    SheetWriter writer(*g, out);
    for (int i = 0; i < 12; ++i)
        ASSERT_TRUE(writer.add(label));
    ASSERT_EQ(out.pages.size(), 1u);
    std::vector<Rect> expected;
    // Labels centred: x = 47 + 771 c + (736 - 300) / 2, y = 83 + 815 r + (756 - 200) / 2.
    for (int y : {361, 1176, 1991, 2806})
        for (int x : {265, 1036, 1807})
            expected.push_back({x, y, 300, 200});
    // Marks above (from 83 - 12 - 59) and below (from 3284 + 12) each column's two edges...
    for (int x : {47, 781, 818, 1552, 1589, 2323}) {
        expected.push_back({x, 12, 2, 59});
        expected.push_back({x, 3296, 2, 59});
    }
    // ... and left (35 long) and right (from 2325 + 12) of each row's two edges.
    for (int y : {83, 837, 898, 1652, 1713, 2467, 2528, 3282}) {
        expected.push_back({0, y, 35, 2});
        expected.push_back({2337, y, 59, 2});
    }
    auto key = [](const Rect& r) { return std::make_tuple(r.x, r.y, r.width, r.height); };
    auto sorted = [&](std::vector<Rect> v) {
        std::sort(v.begin(), v.end(), [&](const Rect& a, const Rect& b) { return key(a) < key(b); });
        std::vector<std::tuple<int, int, int, int>> keys;
        for (const Rect& r : v)
            keys.push_back(key(r));
        return keys;
    };
    EXPECT_EQ(sorted(out.pages[0].rects), sorted(expected));

    // A label fits its cell with the text line under it (42 dots: 1.4 em of
    // 2.5 mm, rounded up) at 736 x 714 and not a dot more either way; cells
    // wider than tall or taller than wide catch width held against height.
    o.textLine = true;
    o.cutMarks = false;
    const Result<SheetGeometry> withText = sheetGeometry(o);
    ASSERT_TRUE(withText);
    EXPECT_EQ(withText->textLine, 42);
    const struct {
        int width, height;
        bool fits;
    } sizes[] = {
        {736, 714, true},   // the cell exactly
        {737, 714, false},  // a dot too wide
        {736, 715, false},  // a dot too tall with the text line
        {740, 700, false},  // narrower than the cell is tall, wider than it is wide
        {700, 740, false},  // fits the cell's height, not with the text line
        {1, 714, true},
        {736, 1, true},
    };
    for (const auto& sz : sizes) {
        SCOPED_TRACE(std::to_string(sz.width) + " x " + std::to_string(sz.height));
        Drawing l = label;
        l.width = sz.width;
        l.height = sz.height;
        l.rects = {{0, 0, sz.width, sz.height}};
        KeptPages pages;
        SheetWriter w(*withText, pages);
        EXPECT_EQ(w.add(l, "x").ok(), sz.fits);
        EXPECT_EQ(withText->fits(sz.width, sz.height), sz.fits);
    }
}

// The X fitted is the largest whole number of dots at which the label fits:
// one dot more does not. Without fitting, or when one dot is too much, the
// label is refused naming both sizes.
TEST(Sheet, FitsTheLargestWholeDotX) {
    struct Case {
        const char* label;
        Symbology symbology;
        const char* data;
        double heightMm;  // 0: the symbology's default, in proportion to X
        int columns, rows;
        bool fits;    // at some X
        bool shrinks; // below the X asked for
    };
    const Case cases[] = {
        {"fits as asked", Symbology::Ean13, "590123412345", 0, 3, 8, true, false},
        {"narrower", Symbology::Code128, "KV-000123-ABCDEFGHIJ", 10, 4, 10, true, true},
        {"narrower and lower", Symbology::Ean13, "590123412345", 0, 8, 20, true, true},
        {"Aztec, lower", Symbology::Aztec, "Aztec Code 2D on a sheet", 0, 10, 50, true, true},
        {"a fixed height too tall", Symbology::Code128, "ABC", 40, 3, 8, false, false},
        {"too wide at one dot", Symbology::Code128, LONG_DATA.c_str(), 10, 8, 8, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const Result<Symbol> symbol = encode(c.symbology, c.data);
        ASSERT_TRUE(symbol) << symbol.error().message;
        const Result<SheetGeometry> g = sheetGeometry(a4(c.columns, c.rows));
        ASSERT_TRUE(g);
        LayoutOptions lo;
        if (c.heightMm > 0)
            lo.height = mm(c.heightMm);
        const Result<Drawing> asked = layout(*symbol, lo);
        ASSERT_TRUE(asked);
        const Result<Drawing> fitted = layoutForCell(*symbol, lo, *g, true);
        ASSERT_EQ(fitted.ok(), c.fits) << (fitted ? "" : fitted.error().message);
        if (!fitted) {
            EXPECT_EQ(fitted.error().code, ErrorCode::InvalidOption);
            EXPECT_NE(fitted.error().message.find("at X of one dot; a cell of the sheet is"), std::string::npos)
                << fitted.error().message;
            continue;
        }
        EXPECT_TRUE(g->fits(fitted->width, fitted->height));
        const int x = static_cast<int>(fitted->moduleDots);
        ASSERT_EQ(x < asked->moduleDots, c.shrinks) << x << " dots";
        if (!c.shrinks) {
            EXPECT_TRUE(fitted->warnings == asked->warnings);
            continue;
        }
        EXPECT_LT(x, asked->moduleDots);
        EXPECT_FALSE(layoutForCell(*symbol, lo, *g, false)) << "fitting is asked for";
        LayoutOptions wider = lo;
        wider.xDim = px(x + 1);
        const Result<Drawing> more = layout(*symbol, wider);
        ASSERT_TRUE(more);
        EXPECT_FALSE(g->fits(more->width, more->height)) << "one dot more fits too";
        ASSERT_FALSE(fitted->warnings.empty());
        EXPECT_NE(fitted->warnings[0].find("to fit a cell of the sheet"), std::string::npos);
        const bool below = std::any_of(fitted->warnings.begin(), fitted->warnings.end(),
                                       [](const std::string& w) { return w.find("is below") != std::string::npos; });
        EXPECT_EQ(below, fitted->xMm < symbologyInfo(c.symbology).minXMm * 0.999);
    }
}

// Pages reach the sink as they fill, so memory never holds the file; past a
// thousand pages the page tree grows intermediate nodes, and qpdf accepts it.
TEST(Sheet, PdfWrittenAPageAtATime) {
    const Result<SheetGeometry> g = sheetGeometry(a4(1, 1));
    ASSERT_TRUE(g);
    Drawing label;
    label.width = label.height = 300;
    label.rects = {{0, 0, 100, 300}};
    TextRun t;
    t.text = "page";
    t.size = 30;
    label.texts = {t};
    CountingSink sink;
    std::unique_ptr<PageOutput> pdf = pdfPages(sink);
    SheetWriter writer(*g, *pdf);
    constexpr int PAGES = 2100;
    for (int i = 0; i < PAGES; ++i) {
        ASSERT_TRUE(writer.add(label));
        ASSERT_EQ(sink.pieces, i + 1) << "page " << i + 1 << " waits in memory";
    }
    ASSERT_TRUE(writer.finish());
    const std::string text(sink.bytes.begin(), sink.bytes.end());
    EXPECT_NE(text.find("/Count " + std::to_string(PAGES) + " >>"), std::string::npos);
    writertest::TempDir tmp;
    writertest::saveBytes(tmp.path("in.pdf"), sink.bytes);
    EXPECT_TRUE(writertest::run("qpdf --check '" + tmp.path("in.pdf") + "'", tmp.path("qpdf.log")));
    EXPECT_TRUE(writertest::run("test \"$(qpdf --show-npages '" + tmp.path("in.pdf") + "')\" = " +
                                    std::to_string(PAGES),
                                tmp.path("npages.log")));
}

// A file made of pieces appears whole on commit(), and not at all without it.
TEST(Sheet, FileSinkCommitsWholeOrLeavesNothing) {
    writertest::TempDir tmp;
    for (const bool commit : {false, true}) {
        SCOPED_TRACE(commit ? "committed" : "given up");
        {
            Result<std::unique_ptr<FileSink>> sink = FileSink::open(tmp.path("x.pdf"));
            ASSERT_TRUE(sink) << sink.error().message;
            ASSERT_TRUE((*sink)->append("%PDF"));
            ASSERT_TRUE((*sink)->append("-1.4\n"));
            if (commit) {
                ASSERT_TRUE((*sink)->commit());
            }
        }
        EXPECT_EQ(tmp.entries(), commit ? std::vector<std::string>{"x.pdf"} : std::vector<std::string>{});
    }
    EXPECT_EQ(writertest::readBytes(tmp.path("x.pdf")).size(), 9u);
    const Result<std::unique_ptr<FileSink>> missing = FileSink::open(tmp.path("nosuch/x.pdf"));
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.error().message.find("does not exist"), std::string::npos);
}

}  // namespace
