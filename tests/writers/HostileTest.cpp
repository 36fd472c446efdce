// Odd drawings and odd outputs: a clear error or a valid file, never a crash,
// half a file or a removed device.

#include "EmfReader.h"
#include "WriterTestSupport.h"

#include <korvane/korvane.hpp>

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <png.h>

#include <csignal>
#include <filesystem>
#include <thread>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using korvane::Format;
using writertest::TempDir;
namespace fs = std::filesystem;

constexpr Format ALL_FORMATS[] = {Format::Svg, Format::Pdf, Format::Eps, Format::Png, Format::Emf, Format::Bmp};

// Control bytes, markup characters, valid UTF-8 and bytes that are not UTF-8.
const std::string HOSTILE_TEXT = "\x01\tA<&>B \xC3\xA9\xE2\x82\xAC \xFF\xC3(";
// As every writer reads it: controls as spaces, stray bytes as Latin-1.
const std::string HOSTILE_READ = "  A<&>B \xC3\xA9\xE2\x82\xAC \xC3\xBF\xC3\x83(";

korvane::Drawing hostileDrawing() {
    korvane::Drawing d;
    d.width = 400;
    d.height = 300;
    d.rects = {{10, 10, 20, 100}, {40, 10, 20, 100}};
    const korvane::Anchor anchors[] = {korvane::Anchor::Start, korvane::Anchor::Middle, korvane::Anchor::End};
    for (int rotation : {0, 90, 180, 270}) {
        korvane::TextRun t;
        t.x = 200;
        t.y = 150;
        t.size = 30;
        t.text = HOSTILE_TEXT;
        t.rotation = rotation;
        t.anchor = anchors[rotation / 90 % 3];
        t.font = rotation % 180 == 0 ? korvane::Font::Sans : korvane::Font::OcrB;
        d.texts.push_back(t);
    }
    return d;
}

bool anyDark(const writertest::GrayImage& img, int x0, int y0, int x1, int y1) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (img.pixels[static_cast<std::size_t>(y) * img.width + x] < 128)
                return true;
    return false;
}

TEST(Hostile, TextReachesEveryReaderIntact) {
    TempDir tmp;
    const korvane::Drawing d = hostileDrawing();
    for (Format f : ALL_FORMATS) {
        SCOPED_TRACE(korvane::formatName(f));
        const auto w = korvane::write(d, f);
        ASSERT_TRUE(w) << w.error().message;
        std::string error;
        const auto image = writertest::picture(f, w->bytes, d, tmp, error);
        ASSERT_EQ(image.width, d.width) << error;
        if (f != Format::Emf) {  // the EMF picture here holds the rectangles only
            EXPECT_TRUE(anyDark(image, 100, 0, 400, 300)) << "no text drawn";
        }
        if (f == Format::Svg) {
            xmlDocPtr doc = xmlReadMemory(reinterpret_cast<const char*>(w->bytes.data()),
                                          static_cast<int>(w->bytes.size()), "in.svg", nullptr, XML_PARSE_NONET);
            ASSERT_NE(doc, nullptr);
            int texts = 0;
            for (xmlNode* n = xmlDocGetRootElement(doc)->children; n; n = n->next) {
                if (n->type != XML_ELEMENT_NODE || xmlStrcmp(n->name, BAD_CAST "text") != 0)
                    continue;
                xmlChar* content = xmlNodeGetContent(n);
                EXPECT_EQ(reinterpret_cast<const char*>(content), HOSTILE_READ);
                xmlFree(content);
                ++texts;
            }
            EXPECT_EQ(texts, 4);
            xmlFreeDoc(doc);
        } else if (f == Format::Pdf) {
            EXPECT_TRUE(writertest::run("qpdf --check '" + tmp.path("in.pdf") + "'", tmp.path("qpdf.log")));
            ASSERT_TRUE(writertest::run("pdftotext -raw '" + tmp.path("in.pdf") + "' '" + tmp.path("out.txt") + "'",
                                        tmp.path("pdftotext.log")));
            const auto text = writertest::readBytes(tmp.path("out.txt"));
            // WinAnsi has every character here; the controls read as spaces.
            EXPECT_NE(std::string(text.begin(), text.end()).find("A<&>B \xC3\xA9\xE2\x82\xAC \xC3\xBF\xC3\x83("),
                      std::string::npos);
        } else if (f == Format::Emf) {
            const auto emf = testsupport::readEmf(w->bytes);
            ASSERT_EQ(emf.texts.size(), 4u);
            for (const auto& t : emf.texts)
                EXPECT_EQ(t.text, HOSTILE_READ);
            EXPECT_EQ(emf.texts[1].escapement, 2700);  // 90 degrees clockwise
            EXPECT_EQ(emf.texts[1].align, 24u + 6u);   // baseline, centre
        }
    }
}

// Each text of an SVG carries its own run's attributes, whichever of them
// differs from the run before it.
TEST(Hostile, SvgTextsKeepTheirOwnAttributes) {
    using korvane::Anchor;
    using korvane::Font;
    struct Row {
        korvane::TextRun run;
        const char* attributes;  // x y font-family font-size text-anchor transform, as written
    };
    const Row rows[] = {
        {{10, 50, 12, "a", Anchor::Middle, Font::OcrB, 0}, "10|50|OCR-B|12|middle|"},
        {{20, 50, 12, "b", Anchor::Middle, Font::OcrB, 0}, "20|50|OCR-B|12|middle|"},
        {{30, 60, 12, "c", Anchor::Middle, Font::OcrB, 0}, "30|60|OCR-B|12|middle|"},
        {{40, 60, 14, "d", Anchor::Middle, Font::OcrB, 0}, "40|60|OCR-B|14|middle|"},
        {{50, 60, 14, "e", Anchor::Middle, Font::Sans, 0}, "50|60|'DejaVu Sans'|14|middle|"},
        {{60, 60, 14, "f", Anchor::End, Font::Sans, 0}, "60|60|'DejaVu Sans'|14|end|"},
        {{70, 60, 14, "g", Anchor::Start, Font::Sans, 0}, "70|60|'DejaVu Sans'|14||"},
        {{80, 60, 14, "h", Anchor::Start, Font::Sans, 90}, "80|60|'DejaVu Sans'|14||rotate(90 80 60)"},
        {{90, 60, 14, "i", Anchor::Start, Font::Sans, 90}, "90|60|'DejaVu Sans'|14||rotate(90 90 60)"},
        {{95, 60, 14, "j", Anchor::Start, Font::Sans, 0}, "95|60|'DejaVu Sans'|14||"},
    };
    korvane::Drawing d;
    d.width = 100;
    d.height = 100;
    for (const Row& r : rows)
        d.texts.push_back(r.run);
    const auto w = korvane::write(d, Format::Svg);
    ASSERT_TRUE(w) << w.error().message;
    xmlDocPtr doc = xmlReadMemory(reinterpret_cast<const char*>(w->bytes.data()), static_cast<int>(w->bytes.size()),
                                  "in.svg", nullptr, XML_PARSE_NONET);
    ASSERT_NE(doc, nullptr);
    std::size_t i = 0;
    for (xmlNode* n = xmlDocGetRootElement(doc)->children; n; n = n->next) {
        if (n->type != XML_ELEMENT_NODE || xmlStrcmp(n->name, BAD_CAST "text") != 0)
            continue;
        ASSERT_LT(i, std::size(rows));
        std::string seen;
        for (const char* name : {"x", "y", "font-family", "font-size", "text-anchor", "transform"}) {
            xmlChar* v = xmlGetProp(n, BAD_CAST name);
            const std::string value = v ? reinterpret_cast<const char*>(v) : "";
            xmlFree(v);
            seen += (seen.empty() ? "" : "|") + value.substr(0, value.find(','));  // the first family
        }
        xmlChar* content = xmlNodeGetContent(n);
        EXPECT_STREQ(reinterpret_cast<const char*>(content), rows[i].run.text.c_str());
        xmlFree(content);
        EXPECT_EQ(seen, rows[i].attributes) << "text " << i;
        ++i;
    }
    EXPECT_EQ(i, std::size(rows));
    xmlFreeDoc(doc);
}

TEST(Hostile, DrawingsWithoutContentOrSize) {
    TempDir tmp;
    korvane::Drawing blank;  // a canvas and nothing on it: a valid, empty picture
    blank.width = 50;
    blank.height = 20;
    blank.rects = {{-5, -5, 3, 3}, {45, 10, 100, 100}};  // outside, and clipped to the canvas
    korvane::Drawing none;   // no canvas at all
    for (Format f : ALL_FORMATS) {
        SCOPED_TRACE(korvane::formatName(f));
        const auto w = korvane::write(blank, f);
        ASSERT_TRUE(w) << w.error().message;
        std::string error;
        const auto image = writertest::picture(f, w->bytes, blank, tmp, error);
        ASSERT_EQ(image.width, blank.width) << error;
        EXPECT_FALSE(anyDark(image, 0, 0, 45, 20));
        EXPECT_TRUE(anyDark(image, 45, 10, 50, 20));
        const auto refused = korvane::write(none, f);
        ASSERT_FALSE(refused);
        EXPECT_EQ(refused.error().code, korvane::ErrorCode::InvalidData);
    }
    korvane::Drawing huge;  // 20,000 x 20,000 pixels: refused before any is allocated
    huge.width = huge.height = 20000;
    for (Format f : {Format::Png, Format::Bmp}) {
        const auto w = korvane::write(huge, f);
        ASSERT_FALSE(w);
        EXPECT_EQ(w.error().code, korvane::ErrorCode::SizeTooLarge);
    }
    korvane::Drawing slanted = hostileDrawing();
    slanted.texts[0].rotation = 45;
    EXPECT_EQ(korvane::write(slanted, Format::Svg).error().code, korvane::ErrorCode::InvalidData);
}

// PNG picks the smallest form that holds the colours; every format takes translucent colours.
TEST(Hostile, ColoursAndTransparency) {
    struct ColourCase {
        korvane::Colour fg, bg;
        int colourType, bitDepth;  // PNG's
        std::uint32_t barPixel, paperPixel;  // 0xRRGGBBAA as libpng reads them back
    };
    const ColourCase cases[] = {
        {korvane::BLACK, korvane::WHITE, 0, 1, 0x000000FF, 0xFFFFFFFF},
        {{0x33, 0x33, 0x33, 255}, {0xEE, 0xEE, 0xEE, 255}, 0, 8, 0x333333FF, 0xEEEEEEFF},
        {{0x00, 0x20, 0x80, 255}, {0xFF, 0xFF, 0xC0, 255}, 2, 8, 0x002080FF, 0xFFFFC0FF},
        {korvane::BLACK, {0, 0, 0, 0}, 6, 8, 0x000000FF, 0x00000000},
        {{0x00, 0x00, 0x00, 128}, {0xFF, 0xFF, 0xFF, 255}, 6, 8, 0x7F7F7FFF, 0xFFFFFFFF},
    };
    TempDir tmp;
    korvane::Drawing d;
    d.width = 20;
    d.height = 10;
    d.rects = {{5, 0, 5, 10}};
    for (const ColourCase& c : cases) {
        d.foreground = c.fg;
        d.background = c.bg;
        SCOPED_TRACE(c.colourType * 100 + c.bitDepth);
        const auto png = korvane::write(d, Format::Png);
        ASSERT_TRUE(png);
        const writertest::PngHeader h = writertest::pngHeader(png->bytes);
        EXPECT_EQ(h.colourType, c.colourType);
        EXPECT_EQ(h.bitDepth, c.bitDepth);
        png_image img{};
        img.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_memory(&img, png->bytes.data(), png->bytes.size()));
        img.format = PNG_FORMAT_RGBA;
        std::vector<std::uint8_t> px(PNG_IMAGE_SIZE(img));
        ASSERT_TRUE(png_image_finish_read(&img, nullptr, px.data(), 0, nullptr));
        const auto rgba = [&](int x) {
            return static_cast<std::uint32_t>(px[4 * x]) << 24 | px[4 * x + 1] << 16 | px[4 * x + 2] << 8 | px[4 * x + 3];
        };
        EXPECT_EQ(rgba(6), c.barPixel);
        EXPECT_EQ(rgba(0), c.paperPixel);
        // The vector formats stay valid with alpha; BMP says what it cannot hold.
        for (Format f : {Format::Svg, Format::Pdf, Format::Eps, Format::Emf, Format::Bmp}) {
            const auto w = korvane::write(d, f);
            ASSERT_TRUE(w);
            std::string error;
            EXPECT_EQ(writertest::picture(f, w->bytes, d, tmp, error).width, d.width) << error;
            if (f == Format::Pdf) {
                EXPECT_TRUE(writertest::run("qpdf --check '" + tmp.path("in.pdf") + "'", tmp.path("qpdf.log")));
            }
            if (f == Format::Bmp) {
                EXPECT_EQ(w->warnings.size(), c.bg.opaque() ? 0u : 1u);
            }
        }
    }
}

// Output paths: what each does to the file system and what the caller is told.
struct PathCase {
    const char* label;
    std::string path;       // "@" stands for the temporary folder
    bool ok;
    const char* message;    // part of the error message
};

TEST(Hostile, OutputPaths) {
    TempDir tmp;
    fs::create_directory(tmp.path("folder"));
    const std::vector<std::uint8_t> bytes(5000, 'x');
    const PathCase cases[] = {
        {"a folder", "@/folder", false, "it is a folder"},
        {"a name ending in a slash", "@/new/", false, "folder"},
        {"a missing folder", "@/missing/x.svg", false, "the folder"},
        {"a file as a folder", "@/plain/x.svg", false, "Not a directory"},
        {"a folder no file can be made in", "/proc/self/x.svg", false, "cannot write"},
        {"a full device", "/dev/full", false, "no space left on the device"},
        {"the null device", "/dev/null", true, ""},
        {"a new file", "@/new.svg", true, ""},
    };
    writertest::saveBytes(tmp.path("plain"), {1, 2, 3});
    for (const PathCase& c : cases) {
        SCOPED_TRACE(c.label);
        std::string path = c.path;
        if (path[0] == '@')
            path = tmp.dir() + path.substr(1);
        const korvane::Status s = korvane::writeBytesToFile(bytes, path);
        EXPECT_EQ(s.ok(), c.ok);
        if (!s.ok()) {
            EXPECT_EQ(s.error().code, korvane::ErrorCode::WriteFailed);
            EXPECT_NE(s.error().message.find(c.message), std::string::npos) << s.error().message;
        }
    }
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_EQ(writertest::readBytes(tmp.path("new.svg")), bytes);
    // Nothing else, and no temporary file, is left behind.
    EXPECT_EQ(tmp.entries(), (std::vector<std::string>{"folder", "new.svg", "plain"}));
}

TEST(Hostile, ReplacingKeepsModeAndLinksAndNeverLeavesHalfAFile) {
    TempDir tmp;
    const std::string file = tmp.path("label.png");
    const std::vector<std::uint8_t> old(100, 'o');
    writertest::saveBytes(file, old);
    ::chmod(file.c_str(), 0640);
    fs::create_symlink(file, tmp.path("link.png"));

    const std::vector<std::uint8_t> fresh(3000, 'n');
    ASSERT_TRUE(korvane::writeBytesToFile(fresh, tmp.path("link.png")));
    EXPECT_TRUE(fs::is_symlink(tmp.path("link.png")));
    EXPECT_EQ(writertest::readBytes(file), fresh);
    struct stat st;
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    // A write that fails half way (here: the file size limit) leaves the old file whole.
    const std::vector<std::uint8_t> big(200000, 'b');
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{65536, 65536};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(korvane::writeBytesToFile(big, file).ok() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    EXPECT_EQ(writertest::readBytes(file), fresh);
    EXPECT_EQ(tmp.entries(), (std::vector<std::string>{"label.png", "link.png"}));
}

TEST(Hostile, StandardOutputAndFormatsFromNames) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const int saved = dup(STDOUT_FILENO);
    dup2(pipeEnds[1], STDOUT_FILENO);
    const korvane::Status s = korvane::writeBytesToFile({'k', 'v', '\n'}, "-");
    dup2(saved, STDOUT_FILENO);
    close(saved);
    close(pipeEnds[1]);
    char got[8] = {};
    EXPECT_EQ(read(pipeEnds[0], got, sizeof got), 3);
    close(pipeEnds[0]);
    EXPECT_TRUE(s);
    EXPECT_STREQ(got, "kv\n");

    TempDir tmp;
    const korvane::Drawing d = hostileDrawing();
    const auto pdf = korvane::writeFile(d, tmp.path("x.PDF"));
    ASSERT_TRUE(pdf);
    EXPECT_EQ(writertest::readBytes(tmp.path("x.PDF")), pdf->bytes);
    EXPECT_EQ(std::string(pdf->bytes.begin(), pdf->bytes.begin() + 5), "%PDF-");
    const auto unknown = korvane::writeFile(d, tmp.path("x.gif"));
    ASSERT_FALSE(unknown);
    EXPECT_EQ(unknown.error().code, korvane::ErrorCode::UnknownFormat);
    EXPECT_EQ(tmp.entries(), (std::vector<std::string>{"x.PDF"}));
}

TEST(Hostile, FontsAndThreads) {
    const korvane::Drawing d = hostileDrawing();
    korvane::WriteOptions missing;
    missing.fontFile = "/nonexistent/font.ttf";
    const auto fallback = korvane::write(d, Format::Png, missing);
    ASSERT_TRUE(fallback);
    ASSERT_EQ(fallback->warnings.size(), 1u);
    EXPECT_NE(fallback->warnings[0].find("could not be loaded"), std::string::npos);
    const auto reference = korvane::write(d, Format::Png);
    ASSERT_TRUE(reference);
    EXPECT_EQ(fallback->bytes, reference->bytes);  // the default fonts, as without the option

    // A thousand characters at a 4,000-dot em on a small canvas: part of the text, a warning, no exhaustion.
    korvane::Drawing huge = d;
    huge.texts = {d.texts[0]};
    huge.texts[0].size = 4000;
    huge.texts[0].text = std::string(1000, 'W');
    const auto cut = korvane::write(huge, Format::Png);
    ASSERT_TRUE(cut);
    ASSERT_EQ(cut->warnings.size(), 1u);
    EXPECT_NE(cut->warnings[0].find("too large to draw whole"), std::string::npos);

    // Writers share only the font cache: many threads at once write the same bytes.
    std::vector<std::thread> threads;
    std::vector<bool> same(4, false);
    for (std::size_t t = 0; t < same.size(); ++t)
        threads.emplace_back([&, t] {
            bool all = true;
            for (int i = 0; i < 10; ++i)
                for (Format f : {Format::Png, Format::Bmp}) {
                    korvane::Drawing copy = d;
                    copy.texts[0].size = 20 + static_cast<double>(t * 10 + i);  // glyphs new to the cache
                    all = all && korvane::write(copy, f).ok();
                }
            const auto again = korvane::write(d, Format::Png);
            same[t] = all && again && again->bytes == reference->bytes;
        });
    for (auto& th : threads)
        th.join();
    for (bool s : same)
        EXPECT_TRUE(s);
}

}  // namespace
