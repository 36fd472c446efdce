// The raster writers' fonts are built into the library: text looks the same
// with or without fonts on the machine.

#include "Process.h"
#include "WriterTestSupport.h"

#include <korvane/korvane.hpp>

#include <gtest/gtest.h>

namespace {

using writertest::TempDir;

testsupport::Outcome sample(const std::string& dir, std::vector<std::string> args) {
    args.insert(args.begin(), dir);
    return testsupport::runProcess(RASTER_TEXT_SAMPLE, args, dir, "/dev/null", 60);
}

TEST(BuiltInFonts, RasterTextNeedsNoSystemFont) {
    TempDir with, without, check;
    const auto normal = sample(with.dir(), {});
    ASSERT_EQ(normal.status, 0) << normal.err;
    EXPECT_EQ(normal.err, "");
    const auto hidden = sample(without.dir(), {"--no-system-fonts"});
    ASSERT_EQ(hidden.status, 0) << hidden.err;
    EXPECT_EQ(hidden.err, "");  // no warning: every glyph drawn
    // The hiding works: the system's DejaVu Sans, named, cannot be opened.
    const auto named = sample(check.dir(), {"--no-system-fonts", "--font", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"});
    EXPECT_NE(named.err.find("could not be loaded"), std::string::npos) << named.err;

    const auto files = with.entries();
    EXPECT_EQ(files.size(), 8u);
    EXPECT_EQ(without.entries(), files);
    for (const std::string& name : files) {
        SCOPED_TRACE(name);
        const auto bytes = writertest::readBytes(with.path(name));
        EXPECT_TRUE(bytes == writertest::readBytes(without.path(name)));
        EXPECT_TRUE(bytes == writertest::readBytes(check.path(name)));  // the built-in fonts stood in
    }
}

TEST(BuiltInFonts, CharactersBeyondTheFontsAreNamed) {
    korvane::Drawing d;
    d.width = 200;
    d.height = 60;
    korvane::TextRun t;
    t.x = 100;
    t.y = 40;
    t.size = 20;
    t.text = "A\xD0\x96 \xE2\x82\xAC";  // A, Cyrillic Zhe, euro: the Zhe is in neither font
    d.texts.push_back(t);
    for (korvane::Format f : {korvane::Format::Png, korvane::Format::Bmp}) {
        const auto w = korvane::write(d, f);
        ASSERT_TRUE(w) << w.error().message;
        ASSERT_EQ(w->warnings.size(), 1u);
        EXPECT_NE(w->warnings[0].find("no glyph for U+0416"), std::string::npos) << w->warnings[0];
    }
}

}  // namespace
