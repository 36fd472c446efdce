// The korvane command's parts in-process: typed values, output names, batch
// files, the runner's ordering, the multi-page PDF and the command line.

#include "Batch.h"
#include "CommandLine.h"
#include "OutputNames.h"
#include "Settings.h"
#include "Units.h"

#include <korvane/Options.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

using namespace korvane;
using namespace korvane::cli;

namespace {

TEST(Units, LengthsInEveryUnit) {
    struct Case {
        const char* text;
        double dpi;
        double mm;
    };
    const Case cases[] = {
        {"0.33mm", 300, 0.33},    {"0.33", 300, 0.33},     {"1cm", 300, 10},     {"0.013in", 300, 0.3302},
        {"10mil", 300, 0.254},    {"1pt", 300, 25.4 / 72}, {"4px", 300, 4 * 25.4 / 300},
        {"4px", 600, 4 * 25.4 / 600}, {"2.5MM", 300, 2.5}, {".5mm", 300, 0.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const Result<Length> l = parseLength(c.text, Unit::Mm);
        ASSERT_TRUE(l) << l.error().message;
        EXPECT_NEAR(l->mm(c.dpi), c.mm, 1e-9);
    }
    const Result<Length> modules = parseLength("12x", Unit::Mm, true);
    ASSERT_TRUE(modules);
    EXPECT_TRUE(modules->inModules());
    EXPECT_EQ(modules->value, 12);
}

TEST(Units, RefusedValuesSayWhy) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"", "is not a length"},          {"mm", "is not a length"},       {"3furlongs", "is not a length"},
        {"-1mm", "is negative"},          {"1e400mm", "is not a length"},  {"nan", "is not a length"},
        {"99999999999mm", "beyond any size"}, {"12x", "is not a length"}, {"1 mm", "is not a length"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const Result<Length> l = parseLength(c.text, Unit::Mm);
        ASSERT_FALSE(l);
        EXPECT_NE(l.error().message.find(c.message), std::string::npos) << l.error().message;
        EXPECT_EQ(l.error().message.find('\n'), std::string::npos);
    }
    EXPECT_FALSE(parseInteger("99999999999999999999", 1, 256));
    EXPECT_FALSE(parseInteger("3x", 1, 256));
    EXPECT_FALSE(parseNumber("1e400", 1, 10000));
    EXPECT_FALSE(parseNumber("0", 1, 10000));
}

TEST(Units, ColoursPagesGridsAndBoxes) {
    EXPECT_EQ(*parseColour("FF8000"), (Colour{255, 128, 0, 255}));
    EXPECT_EQ(*parseColour("#ff800080"), (Colour{255, 128, 0, 128}));
    EXPECT_EQ(*parseColour("Navy"), (Colour{0, 0, 128, 255}));
    EXPECT_TRUE(parseColour("none")->transparent());
    EXPECT_EQ(*parseColour("cmyk:0,0,0,100"), Colour::fromCmyk(0, 0, 0, 100));
    EXPECT_EQ(*parseColour("CMYK:100,0,0,0"), Colour::fromCmyk(100, 0, 0, 0));
    for (const char* bad : {"", "FF80", "GG0000", "#", "FF8000FF00", "purple-ish", "cmyk:0,0,0", "cmyk:0,0,0,101",
                            "cmyk:0,0,0,1,2", "cmyk:,0,0,0", "cmyk:0.5,0,0,0"})
        EXPECT_FALSE(parseColour(bad)) << bad;

    // Every named page, both sides: ISO 216's A sizes, US Letter 8.5 x 11 in and Legal 8.5 x 14 in.
    const struct {
        const char* name;
        double width, height;
    } pages[] = {{"A3", 297, 420},      {"a4", 210, 297},        {"A5", 148, 210},
                 {"A6", 105, 148},      {"Letter", 215.9, 279.4}, {"LEGAL", 215.9, 355.6}};
    for (const auto& p : pages) {
        ASSERT_TRUE(parsePageSize(p.name)) << p.name;
        EXPECT_NEAR(parsePageSize(p.name)->widthMm, p.width, 1e-9) << p.name;
        EXPECT_NEAR(parsePageSize(p.name)->heightMm, p.height, 1e-9) << p.name;
    }
    EXPECT_NEAR(parsePageSize("4x6in")->widthMm, 101.6, 1e-9);
    EXPECT_NEAR(parsePageSize("100x150mm")->heightMm, 150, 1e-9);
    for (const char* bad : {"A9", "x", "4x", "1x1mm", "10000x10000mm", "4pxx6px"})
        EXPECT_FALSE(parsePageSize(bad)) << bad;

    EXPECT_EQ(parseGrid("3x8")->rows, 8);
    for (const char* bad : {"3", "0x8", "3x101", "x8", "3x8x1"})
        EXPECT_FALSE(parseGrid(bad)) << bad;

    const Box box = *parseBox("1,2,3", Unit::Mm);
    EXPECT_EQ(box.top.value, 1);
    EXPECT_EQ(box.right.value, 2);
    EXPECT_EQ(box.bottom.value, 3);
    EXPECT_EQ(box.left.value, 2);
    EXPECT_FALSE(parseBox("1,2,3,4,5", Unit::Mm));
    EXPECT_FALSE(parseBox("2px", Unit::Mm));
}

TEST(OutputNames, TemplatesExpand) {
    struct Case {
        const char* text;
        NameFields fields;
        const char* expected;
    };
    const Case cases[] = {
        {"label-{n:05}.svg", {7, 9, "x", 0, {}}, "label-00007.svg"},
        {"{line}-{n:3}.png", {7, 12, "x", 0, {}}, "12-  7.png"},
        {"{data}.pdf", {1, 1, "59/01 ../x", 0, {}}, "59_01_.._x.pdf"},
        {"{data}", {1, 1, ".hidden", 0, {}}, "_hidden"},
        {"{data}", {1, 1, "", 0, {}}, "_"},
        {"{data}", {1, 1, "caf\xC3\xA9\n", 0, {}}, "caf___"},
        {"{{n}}-{page:02}", {1, 1, "", 3, {}}, "{n}-03"},
        {"plain.svg", {4, 4, "x", 0, {}}, "plain.svg"},
        // {input} is the value as typed, {data} the data as encoded where the two differ.
        {"{input}-{data}", {1, 1, "5901234123457", 0, "590123412345"}, "590123412345-5901234123457"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const Result<NameTemplate> t = NameTemplate::parse(c.text);
        ASSERT_TRUE(t) << t.error().message;
        EXPECT_EQ(t->expand(c.fields), c.expected);
    }
    EXPECT_EQ(safeForFileName(std::string(500, 'a')).size(), 64u);
    EXPECT_EQ(NameTemplate::parse("{data}")->expand({1, 1, "a/b", 0, {}}, true), "a/b");
    for (const char* bad : {"{x}", "{n", "n}", "{n:abc}", "{n:099}", "{data:5}", "{input:5}"})
        EXPECT_FALSE(NameTemplate::parse(bad)) << bad;
    EXPECT_EQ(withPageNumber("sheet.svg", 3), "sheet-3.svg");
    EXPECT_EQ(withPageNumber("dir.v2/sheet", 3), "dir.v2/sheet-3");
    EXPECT_EQ(withPageNumber(".svg", 2), ".svg-2");
    EXPECT_EQ(canonicalName("./a//b.svg"), canonicalName("a/b.svg"));
}

// The text in pieces of at most `piece` bytes, as a pipe may give it.
Reader readerOf(const std::string& text, std::size_t piece = SIZE_MAX) {
    auto at = std::make_shared<std::size_t>(0);
    return [text, at, piece](char* buffer, std::size_t size) {
        const std::size_t n = std::min({size, piece, text.size() - *at});
        std::memcpy(buffer, text.data() + *at, n);
        *at += n;
        return n;
    };
}

TEST(Batch, LinesSkipEmptyOnesAndKeepTheirNumbers) {
    const auto rows = readBatch(readerOf("123\r\n\n456\n789"), false, Settings{});
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 3u);
    EXPECT_EQ((*rows)[0].data, "123");
    EXPECT_EQ((*rows)[1].line, 3);
    EXPECT_EQ((*rows)[1].n, 2);
    EXPECT_EQ((*rows)[2].data, "789");
}

TEST(Batch, CsvCellsQuotesAndRowOptions) {
    const std::string csv =
        "data,file,x-dim,no-text\r\n"
        "\"a,b\",one.svg,0.5mm,yes\r\n"
        "\"multi\nline \"\"q\"\"\",,,\n"
        "c,three.svg,3furlongs,\n"
        "d,four.svg\n";
    for (std::size_t piece : {std::size_t{1}, std::size_t{7}}) {  // records, quotes and CR LF across pieces
        const auto split = readBatch(readerOf(csv, piece), true, Settings{});
        ASSERT_TRUE(split && split->size() == 4u) << piece;
        EXPECT_EQ((*split)[1].data, "multi\nline \"q\"") << piece;
        EXPECT_EQ((*split)[2].line, 5) << piece;
    }
    const auto rows = readBatch(readerOf(csv), true, Settings{});
    ASSERT_TRUE(rows) << rows.error().message;
    ASSERT_EQ(rows->size(), 4u);
    const BatchRow& a = (*rows)[0];
    EXPECT_EQ(a.data, "a,b");
    EXPECT_EQ(a.file, "one.svg");
    ASSERT_TRUE(a.settings);
    EXPECT_NEAR(a.settings->layout.xDim->mm(300), 0.5, 1e-12);
    EXPECT_FALSE(a.settings->layout.text);
    EXPECT_EQ((*rows)[1].data, "multi\nline \"q\"");
    EXPECT_FALSE((*rows)[1].settings->layout.xDim);
    EXPECT_TRUE((*rows)[1].settings->layout.text);
    EXPECT_EQ((*rows)[2].line, 5);
    ASSERT_TRUE((*rows)[2].error);
    EXPECT_NE((*rows)[2].error->message.find("--x-dim"), std::string::npos);
    ASSERT_TRUE((*rows)[3].error);
    EXPECT_NE((*rows)[3].error->message.find("2 cells"), std::string::npos);

    for (const char* bad : {"file\nx\n", "data,colour\nx,red\n", "data\n\"open\n"})
        EXPECT_FALSE(readBatch(readerOf(bad), true, Settings{})) << bad;
}

// Excel's "CSV UTF-8" and Windows text files: a byte-order mark, CR LF line ends.
TEST(Batch, ByteOrderMarkAndCrLfOfSpreadsheets) {
    const auto csv = readBatch(readerOf("\xEF\xBB\xBF" "data,symbology\r\n5901234123457,ean13\r\n"), true, Settings{});
    ASSERT_TRUE(csv) << csv.error().message;
    ASSERT_EQ(csv->size(), 1u);
    EXPECT_EQ((*csv)[0].data, "5901234123457");
    EXPECT_EQ((*csv)[0].settings->symbology, Symbology::Ean13);
    const auto plain = readBatch(readerOf("\xEF\xBB\xBF" "5901234123457\r\n400638133393\r\n", 1), false, Settings{});
    ASSERT_TRUE(plain);
    ASSERT_EQ(plain->size(), 2u);
    EXPECT_EQ((*plain)[0].data, "5901234123457");
    EXPECT_EQ((*plain)[1].data, "400638133393");
}

TEST(Batch, EndlessLinesAreRefusedWhileReading) {
    std::size_t served = 0;
    const Reader zeros = [&](char* buffer, std::size_t size) {
        std::memset(buffer, 0, size);
        served += size;
        return size;
    };
    const auto rows = readBatch(zeros, false, Settings{});
    ASSERT_FALSE(rows);
    EXPECT_NE(rows.error().message.find("longer than 1 MiB"), std::string::npos);
    EXPECT_LT(served, 2 * MAX_LINE_BYTES);
}

TEST(Batch, SecondRowNamingAFileFails) {
    std::vector<BatchRow> rows(4);
    const char* data[] = {"a", "b", "a", "./a"};
    for (int i = 0; i < 4; ++i) {
        rows[i].line = rows[i].n = i + 1;
        rows[i].data = data[i];
    }
    rows[3].file = "./a.svg";
    nameOutputs(rows, *NameTemplate::parse("{data}.svg"));
    EXPECT_FALSE(rows[0].error);
    EXPECT_FALSE(rows[1].error);
    ASSERT_TRUE(rows[2].error);
    EXPECT_NE(rows[2].error->message.find("a.svg is written by line 1 already"), std::string::npos);
    ASSERT_TRUE(rows[3].error);
}

// Rows finish out of order on many threads; they are emitted in order, and
// --fail-fast lets nothing after the first failure commit.
TEST(Batch, RunnerEmitsInOrderAndStopsAtTheFirstFailure) {
    for (const bool failFast : {false, true}) {
        SCOPED_TRACE(failFast ? "fail-fast" : "whole batch");
        std::vector<std::size_t> emitted;
        std::atomic<int> committed{0};
        RunOptions options;
        options.jobs = 4;
        options.failFast = failFast;
        options.emit = [&](std::size_t row, const RowOutcome& o) {
            if (!o.skipped)
                emitted.push_back(row);
        };
        runRows(200, options, [&](std::size_t row, CommitGate& gate) {
            std::this_thread::sleep_for(std::chrono::microseconds((200 - row) % 7 * 50));
            RowOutcome o;
            if (row == 50) {
                o.status = 1;
                return o;
            }
            if (!gate.commit(row)) {
                o.skipped = true;
                return o;
            }
            if (failFast) {
                EXPECT_LT(row, 50u);
            }
            ++committed;
            return o;
        });
        for (std::size_t i = 0; i < emitted.size(); ++i)
            ASSERT_EQ(emitted[i], i);
        EXPECT_EQ(emitted.size(), failFast ? 51u : 200u);
        EXPECT_EQ(committed.load(), failFast ? 50 : 199);
    }
}

// Every offset of the cross-reference table points at its object, and the
// page count is the number of drawings.
TEST(PdfPages, CrossReferencesPointAtTheirObjects) {
    Drawing d;
    d.width = 600;
    d.height = 300;
    d.rects = {{10, 10, 5, 100}, {20, 10, 5, 100}};
    TextRun t;
    t.text = "(x) \\ caf\xC3\xA9";
    t.size = 20;
    t.rotation = 90;
    d.texts = {t};
    const auto pdf = korvane::writePdfPages({d, d, d});
    ASSERT_TRUE(pdf);
    const std::string text(pdf->bytes.begin(), pdf->bytes.end());
    EXPECT_EQ(text.rfind("%PDF-1.4", 0), 0u);
    EXPECT_NE(text.find("/Count 3"), std::string::npos);
    EXPECT_NE(text.find("(\\(x\\) \\\\ caf\\351)"), std::string::npos);
    const std::size_t xref = std::stoul(text.substr(text.rfind("startxref\n") + 10));
    ASSERT_EQ(text.compare(xref, 4, "xref"), 0);
    // Entries are 20 bytes: ten digits of offset, " 00000 n \n"; the first is the free entry.
    const std::size_t firstEntry = text.find("65535 f \n", xref) + 9;
    int object = 1;
    for (std::size_t at = firstEntry; text.compare(at + 10, 10, " 00000 n \n") == 0; at += 20, ++object) {
        const std::size_t offset = std::stoul(text.substr(at, 10));
        EXPECT_EQ(text.compare(offset, std::to_string(object).size() + 6, std::to_string(object) + " 0 obj"), 0)
            << object;
    }
    EXPECT_EQ(object, 10);  // catalogue, pages, font, and a page and its content for each
    EXPECT_FALSE(korvane::writePdfPages({}));
}

TEST(Settings, LengthsResolveAtTheChosenResolution) {
    Settings s;
    ASSERT_TRUE(findSymbolOption("x-dim")->apply(s, "4px"));
    ASSERT_TRUE(findSymbolOption("dpi")->apply(s, "600"));
    ASSERT_TRUE(findSymbolOption("quiet-zone")->apply(s, "2mm,3x"));
    ASSERT_TRUE(findSymbolOption("height")->apply(s, "50x"));
    const Result<Resolved> r = resolve(s, "ABC");
    ASSERT_TRUE(r) << r.error().message;
    // Lengths reach the library as typed; layout() converts them.
    EXPECT_EQ(r->layout.xDim->unit, korvane::Unit::Px);
    EXPECT_EQ(r->layout.xDim->value, 4);
    EXPECT_EQ(r->layout.quietLeft->unit, korvane::Unit::Mm);
    EXPECT_EQ(r->layout.quietVertical->value, 3);
    EXPECT_EQ(r->layout.height->unit, korvane::Unit::Modules);
    const korvane::Result<korvane::Drawing> d =
        korvane::layout(*korvane::encode(r->symbology, "ABC", r->encode), r->layout);
    ASSERT_TRUE(d) << d.error().message;
    EXPECT_EQ(d->moduleDots, 4);
    EXPECT_EQ(d->quietLeft, 47);  // 2 mm at 600 dpi
    EXPECT_EQ(d->quietTop, 12);

    Settings pixels;
    ASSERT_TRUE(findSymbolOption("dpi")->apply(pixels, "none"));
    ASSERT_TRUE(findSymbolOption("x-dim")->apply(pixels, "0.3mm"));
    EXPECT_FALSE(resolve(pixels, "ABC"));  // the layout's check, made when the options are read
    ASSERT_TRUE(findSymbolOption("x-dim")->apply(pixels, "3px"));
    EXPECT_EQ(resolve(pixels, "ABC")->layout.xDim->value, 3);
}

TEST(Settings, Gs1TurnsCode128IntoGs1128AndAztecIntoGs1Aztec) {
    Settings s;
    ASSERT_TRUE(findSymbolOption("gs1")->apply(s, ""));
    EXPECT_EQ(resolve(s, "(01)09501101530003")->symbology, Symbology::Gs1_128);
    s.symbology = Symbology::Aztec;
    const Result<Resolved> aztec = resolve(s, "(01)09501101530003(10)AB(21)7");
    ASSERT_TRUE(aztec) << aztec.error().message;
    EXPECT_TRUE(aztec->encode.gs1);
    EXPECT_EQ(aztec->data, "(01)09501101530003(10)AB(21)7");  // the library parses it
    s.symbology = Symbology::DataMatrix;
    const Result<Resolved> dm = resolve(s, "(01)09501101530003");
    ASSERT_TRUE(dm) << dm.error().message;
    EXPECT_TRUE(dm->encode.gs1);
    s.symbology = Symbology::Ean13;
    EXPECT_FALSE(resolve(s, "590123412345"));
}

std::vector<const char*> argv(std::initializer_list<const char*> args) {
    std::vector<const char*> v{"korvane"};
    v.insert(v.end(), args.begin(), args.end());
    return v;
}

TEST(CommandLine, UsageErrorsNameTheOption) {
    struct Case {
        std::vector<const char*> args;
        const char* message;
    };
    const Case cases[] = {
        {argv({"--bogus"}), "--bogus"},
        {argv({"-o"}), "-o"},
        {argv({"--dpi", "0"}), "--dpi"},
        {argv({"--jobs", "99999999999999999999", "--batch", "x"}), "--jobs"},
        {argv({"-b", "ean99", "1"}), "no symbology"},
        {argv({"--rotate", "45", "1"}), "--rotate"},
        {argv({"--fg", "none", "1"}), "opaque"},
        {argv({"1", "--input", "f"}), "one way"},
        {argv({"--check", "--no-check", "1"}), "exclude"},
        {argv({"--grid", "3x8", "1"}), "--sheet"},
        {argv({"--sheet", "A4", "1"}), "--batch"},
        {argv({"--keep-failed", "1"}), "--verify"},
        {argv({"--min-grade", "E", "1"}), "--min-grade"},
        {argv({"--json", "-o", "-", "1"}), "standard output"},
        {argv({"1", "2"}), "not expected"},
        {argv({"-d", "1", "2"}), "one way"},
        {argv({"--scale", "2", "1"}), "--scale is zint's option; korvane's is --x-dim"},
        {argv({"-b", "code128", "-ABC"}), "data that begins with '-' goes after --, as in: korvane -o out.svg -- -ABC"},
        {argv({"--font", "/nonexistent.ttf", "1"}), "--font: cannot read /nonexistent.ttf"},
        {argv({"-b", "dm", "--dm-size", "24", "1"}), "--dm-size"},
        {argv({"-b", "dm", "--dm-shape", "round", "1"}), "--dm-shape"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.size() > 1 ? c.args[1] : "");
        const Result<Invocation> inv = parseCommandLine(static_cast<int>(c.args.size()), c.args.data());
        ASSERT_FALSE(inv);
        EXPECT_NE(inv.error().message.find(c.message), std::string::npos) << inv.error().message;
        EXPECT_EQ(inv.error().message.find('\n'), std::string::npos) << inv.error().message;
    }
    // A zint option is named alone, not its value as unexpected data too.
    const auto zint = argv({"-b", "ean13", "--scale", "2", "590123412345"});
    const Result<Invocation> inv = parseCommandLine(static_cast<int>(zint.size()), zint.data());
    ASSERT_FALSE(inv);
    EXPECT_EQ(inv.error().message.rfind("--scale is zint's option", 0), 0u) << inv.error().message;
}

TEST(CommandLine, OptionsReachTheSettings) {
    // Attached values ("-x13mil", "--dpi=600") reach their options as separate ones do.
    const auto args = argv({"-b", "EAN-13", "-x13mil", "--dpi=600", "--bg", "none", "--rotate", "90", "--no-text", "-f",
                            "png", "--jobs", "3", "--batch", "-", "--sheet", "4x6in", "--grid", "2x3", "--csv"});
    const Result<Invocation> inv = parseCommandLine(static_cast<int>(args.size()), args.data());
    ASSERT_TRUE(inv) << inv.error().message;
    EXPECT_EQ(inv->settings.symbology, Symbology::Ean13);
    EXPECT_NEAR(inv->settings.layout.xDim->mm(300), 0.3302, 1e-9);
    EXPECT_EQ(inv->settings.layout.dpi, 600);
    EXPECT_TRUE(inv->settings.layout.background.transparent());
    EXPECT_EQ(inv->settings.layout.rotation, 90);
    EXPECT_FALSE(inv->settings.layout.text);
    EXPECT_EQ(inv->output, "barcode.png");
    EXPECT_EQ(inv->jobs, 3);
    EXPECT_TRUE(inv->csv);
    ASSERT_TRUE(inv->sheet);
    EXPECT_EQ(inv->sheet->grid.columns, 2);

    const auto dm = argv({"-b", "dm", "--dm-size", "16X48", "--dm-shape", "any", "--dmre", "1"});
    const Result<Invocation> dmInv = parseCommandLine(static_cast<int>(dm.size()), dm.data());
    ASSERT_TRUE(dmInv) << dmInv.error().message;
    EXPECT_EQ(dmInv->settings.symbology, Symbology::DataMatrix);
    EXPECT_EQ(dmInv->settings.encode.dmRows, 16);
    EXPECT_EQ(dmInv->settings.encode.dmColumns, 48);
    EXPECT_EQ(dmInv->settings.encode.dmShape, korvane::DataMatrixShape::Any);
    EXPECT_TRUE(dmInv->settings.encode.dmre);
}

// zint's habits: -d DATA is the data, as zint takes it; --dpi has no short form.
TEST(CommandLine, DashDIsTheDataAsInZint) {
    const auto args = argv({"-b", "ean13", "-d", "5901234123457"});
    const Result<Invocation> inv = parseCommandLine(static_cast<int>(args.size()), args.data());
    ASSERT_TRUE(inv) << inv.error().message;
    EXPECT_EQ(inv->data, "5901234123457");
    EXPECT_EQ(inv->settings.layout.dpi, 300);
}

}  // namespace

// Every option of the library's table is an option of the command.
TEST(Settings, EveryLibraryOptionIsACommandOption) {
    std::size_t count = 0;
    const korvane::EncodeOptionInfo* table = korvane::encodeOptionTable(count);
    for (std::size_t i = 0; i < count; ++i)
        EXPECT_NE(findSymbolOption(table[i].name), nullptr) << table[i].name;
}
