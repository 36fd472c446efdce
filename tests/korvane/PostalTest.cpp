// The postal codes read by bar heights: bar for bar with the postal service's
// published examples and with zint, read back by the library's own readers
// from the drawing, from PNG at a label printer's and an office printer's
// resolutions and from SVG, and the data each refuses.

#include "KorvaneTestUtil.h"
#include "Process.h"

#include "Descriptor.h"
#include "verify/Readers.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <filesystem>
#include <fstream>

using korvane::BarKind;
using korvane::ErrorCode;
using korvane::Symbology;

namespace {

// A symbol's bars as states: F full, A ascender, D descender, T tracker (a
// Postnet or PLANET half bar counts as a tracker).
std::string states(const korvane::Symbol& s) {
    std::string out;
    for (std::size_t i = 0; i < s.kinds.size(); i += 2)
        switch (s.kinds[i]) {
        case BarKind::Ascender: out += 'A'; break;
        case BarKind::Descender: out += 'D'; break;
        case BarKind::Tracker:
        case BarKind::Short: out += 'T'; break;
        default: out += 'F'; break;
        }
    return out;
}

// zint's bars as states: its second row marks the bars, the first what
// reaches up and the third what reaches down (PLANET's two rows: full or half).
std::string zintStates(int type, const std::string& data) {
    const std::vector<std::string> rows = kvtest::zintRows(type, data);
    if (rows.size() != 2 && rows.size() != 3)
        return "zint gave " + std::to_string(rows.size()) + " rows";
    const std::string& bars = rows[1];
    std::string out;
    for (std::size_t x = 0; x < bars.size(); ++x) {
        if (bars[x] != '1')
            continue;
        const bool up = rows[0][x] == '1';
        const bool down = rows.size() == 2 ? up : rows[2][x] == '1';
        out += up && down ? 'F' : up ? 'A' : down ? 'D' : 'T';
    }
    return out;
}

struct Case {
    const char* label;
    Symbology s;
    std::string data;
    int zintType;
};

// Every routing length and barcode identifier range of IMb, every character
// of RM4SCC and KIX, both PLANET lengths, every Australia Post FCC.
const Case CORPUS[] = {
    {"imb tracking only", Symbology::Imb, "01234567094987654321", 85},
    {"imb zip", Symbology::Imb, "01234567094987654321-01234", 85},
    {"imb zip+4", Symbology::Imb, "01234567094987654321-012345678", 85},
    {"imb delivery point", Symbology::Imb, "01234567094987654321-01234567891", 85},
    {"imb zeros", Symbology::Imb, "00000000000000000000-00000", 85},
    {"imb highest", Symbology::Imb, "94999999999999999999-99999999999", 85},
    {"imb identifier 44", Symbology::Imb, "44123123456789012345-123456789", 85},
    {"planet 11", Symbology::Planet, "12345678901", 82},
    {"planet 13", Symbology::Planet, "4012345678905", 82},
    {"rm4scc digits", Symbology::Rm4scc, "0123456789", 70},
    {"rm4scc letters", Symbology::Rm4scc, "ABCDEFGHIJKLMNOPQRSTUVWXYZ", 70},
    {"rm4scc postcode", Symbology::Rm4scc, "SN34RD1A", 70},
    {"rm4scc one", Symbology::Rm4scc, "Z", 70},
    {"kix digits", Symbology::Kix, "0123456789", 90},
    {"kix letters", Symbology::Kix, "ABCDEFGHIJKLMNOPQR", 90},
    {"kix rest", Symbology::Kix, "STUVWXYZ", 90},
    {"kix address", Symbology::Kix, "1231FZ13XHS", 90},
    {"auspost standard", Symbology::AusPost, "39987520", 63},
    {"auspost customer 2", Symbology::AusPost, "1234567801234567", 63},
    {"auspost customer 3", Symbology::AusPost, "12345678901234567890123", 63},
    {"auspost zeros", Symbology::AusPost, "00000000", 63},
    {"ausreply", Symbology::AusReply, "12345678", 66},
    {"ausroute", Symbology::AusRoute, "34567890", 67},
    {"ausredirect", Symbology::AusRedirect, "98765432", 68},
    {"daft", Symbology::Daft, "DAFTTFADDAFT", 93},
    {"daft lower case", Symbology::Daft, "fadt", 93},
};

}  // namespace

// USPS-B-3200's example tracking code with each routing length.
TEST(Postal, ImbPublishedExamples) {
    const struct {
        const char* data;
        const char* bars;
    } cases[] = {
        {"01234567094987654321", "ATTFATTDTTADTAATTDTDTATTDAFDDFADFDFTFFFFFTATFAAAATDFFTDAADFTFDTDT"},
        {"01234567094987654321-01234", "DTTAFADDTTFTDTFTFDTDDADADAFADFATDDFTAAAFDTTADFAAATDFDTDFADDDTDFFT"},
        {"01234567094987654321 012345678", "ADFTTAFDTTTTFATTADTAAATFTFTATDAAAFDDADATATDTDTTDFDTDATADADTDFFTFA"},
        {"0123456709498765432101234567891", "AADTFFDFTDADTAADAATFDTDDAAADDTDTTDAFADADDDTFFFDDTTTADFAAADFTDAADA"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        EXPECT_EQ(states(kvtest::encoded(Symbology::Imb, c.data)), c.bars);
    }
}

TEST(Postal, BarsMatchZint) {
    for (const Case& c : CORPUS) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(states(kvtest::encoded(c.s, c.data)), zintStates(c.zintType, c.data));
    }
}

// The heights of the row, independent of X: at 600 dpi an IMb's full bars are
// 0.145 in and its tracker 0.048 in; ascenders and descenders end at the
// tracker's far edge.
TEST(Postal, FourStateHeights) {
    const korvane::Symbol s = kvtest::encoded(Symbology::Imb, "01234567094987654321");
    for (double xMm : {0.5, 0.6}) {
        korvane::LayoutOptions lo;
        lo.dpi = 600;
        lo.xDim = korvane::Length{xMm, korvane::Unit::Mm};
        const korvane::Drawing d = *korvane::layout(s, lo);
        ASSERT_EQ(d.rects.size(), 65u);
        int full = 0, tracker = 0, top = d.rects[0].y, trackerTop = 0;
        for (std::size_t i = 0; i < 65; ++i) {
            const korvane::Rect& r = d.rects[i];
            top = std::min(top, r.y);
            if (s.kinds[2 * i] == BarKind::Data)
                full = r.height;
            if (s.kinds[2 * i] == BarKind::Tracker) {
                tracker = r.height;
                trackerTop = r.y;
            }
        }
        EXPECT_EQ(full, 87);     // 0.145 in
        EXPECT_EQ(tracker, 29);  // 0.048 in
        EXPECT_EQ(trackerTop - top, 29);
        for (std::size_t i = 0; i < 65; ++i) {
            const korvane::Rect& r = d.rects[i];
            if (s.kinds[2 * i] == BarKind::Ascender) {
                EXPECT_EQ(r.y + r.height, trackerTop + tracker);
            } else if (s.kinds[2 * i] == BarKind::Descender) {
                EXPECT_EQ(r.y, trackerTop);
            }
        }
    }
}

namespace {

korvane::GrayRaster fromPng(const std::vector<std::uint8_t>& bytes) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    korvane::GrayRaster raster;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
        return raster;
    image.format = PNG_FORMAT_GRAY;
    raster.pixels.resize(PNG_IMAGE_SIZE(image));
    png_color white{255, 255, 255};
    if (!png_image_finish_read(&image, &white, raster.pixels.data(), 0, nullptr))
        return raster;
    raster.width = static_cast<int>(image.width);
    raster.height = static_cast<int>(image.height);
    return raster;
}

// An SVG drawn to PNG by rsvg-convert, one pixel a dot.
korvane::GrayRaster fromSvg(const korvane::Drawing& d, const std::vector<std::uint8_t>& svg) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("postal_svg_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "in.svg", std::ios::binary).write(reinterpret_cast<const char*>(svg.data()),
                                                          static_cast<std::streamsize>(svg.size()));
    const testsupport::Outcome o =
        testsupport::runProcess(RSVG_CONVERT, {"-w", std::to_string(d.width), "-h", std::to_string(d.height), "-b",
                                                 "white", "-o", "out.png", "in.svg"},
                                dir, "/dev/null", 60);
    std::ifstream in(dir / "out.png", std::ios::binary);
    const std::vector<std::uint8_t> png((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::filesystem::remove_all(dir);
    return o.status == 0 ? fromPng(png) : korvane::GrayRaster{};
}

}  // namespace

// Read back by our own readers: verify() at each resolution, and the pictures
// of the PNG and SVG writers.
TEST(Postal, ReadBack) {
    for (const Case& c : CORPUS) {
        const korvane::Symbol symbol = kvtest::encoded(c.s, c.data);
        for (double dpi : {203.0, 300.0, 600.0}) {
            SCOPED_TRACE(std::string(c.label) + " at " + std::to_string(static_cast<int>(dpi)) + " dpi");
            korvane::LayoutOptions lo;
            lo.dpi = dpi;
            const korvane::Result<korvane::Drawing> d = korvane::layout(symbol, lo);
            ASSERT_TRUE(d.ok()) << d.error().message;
            EXPECT_TRUE(d->warnings.empty()) << d->warnings.front();  // X snaps to whole dots within 5 %
            const korvane::Verdict v = korvane::verify(*d, symbol);
            EXPECT_TRUE(v.ok) << v.reason;
            EXPECT_EQ(v.read, symbol.facts.data);
            const auto png = korvane::write(*d, korvane::Format::Png);
            ASSERT_TRUE(png.ok());
            const korvane::detail::Reading fromPicture = korvane::detail::readLinear(fromPng(png->bytes), c.s);
            EXPECT_TRUE(fromPicture.ok) << fromPicture.failure;
            EXPECT_EQ(fromPicture.data, symbol.facts.data);
            EXPECT_EQ(fromPicture.checkCharacters, symbol.facts.checkCharacters);
            if (dpi != 300)
                continue;
            const auto svg = korvane::write(*d, korvane::Format::Svg);
            ASSERT_TRUE(svg.ok());
            const korvane::detail::Reading fromSvgPicture = korvane::detail::readLinear(fromSvg(*d, svg->bytes), c.s);
            EXPECT_TRUE(fromSvgPicture.ok) << fromSvgPicture.failure;
            EXPECT_EQ(fromSvgPicture.data, symbol.facts.data);
        }
    }
}

// Turned on the page, the symbols still read (KIX and DAFT, which have no
// frame, only the right way up or a quarter turn clockwise).
TEST(Postal, ReadTurned) {
    for (const Case& c : CORPUS) {
        const korvane::Symbol symbol = kvtest::encoded(c.s, c.data);
        for (int rotation : {90, 180, 270}) {
            if ((c.s == Symbology::Kix || c.s == Symbology::Daft) && rotation != 90)
                continue;
            SCOPED_TRACE(std::string(c.label) + " turned " + std::to_string(rotation));
            korvane::LayoutOptions lo;
            lo.dpi = 300;
            lo.rotation = rotation;
            const korvane::Verdict v = korvane::verify(*korvane::layout(symbol, lo), symbol);
            EXPECT_TRUE(v.ok) << v.reason;
        }
    }
}

TEST(Postal, FactsNameTheFields) {
    const korvane::Symbol s = kvtest::encoded(Symbology::Imb, "01234567094987654321-012345678");
    EXPECT_EQ(s.facts.data, "01234567094987654321012345678");
    const std::vector<korvane::Fact> facts = korvane::factsRecord(s);
    const korvane::Fact& imb = facts.back();
    ASSERT_EQ(imb.name, "imb");
    ASSERT_EQ(imb.items.size(), 2u);
    EXPECT_EQ(imb.items[0].text, "01234567094987654321");
    EXPECT_EQ(imb.items[1].text, "012345678");
    EXPECT_EQ(kvtest::encoded(Symbology::Rm4scc, "SN34RD1A").facts.checkCharacters, "K");
    EXPECT_EQ(kvtest::encoded(Symbology::Planet, "12345678901").facts.checkCharacters, "4");
    const std::vector<korvane::Fact> aus = korvane::factsRecord(kvtest::encoded(Symbology::AusPost, "59 1234567801234567"));
    ASSERT_EQ(aus.back().name, "australia post");
    EXPECT_EQ(aus.back().items[0].integer, 59);
    EXPECT_EQ(aus.back().items[1].text, "12345678");
    EXPECT_EQ(aus.back().items[2].text, "01234567");
}

TEST(Postal, BadInputNamesTheField) {
    const struct {
        Symbology s;
        std::string data;
        ErrorCode code;
        const char* says;
    } cases[] = {
        {Symbology::Imb, "0123456709498765432", ErrorCode::InvalidData, "tracking code has 20 digits; '0123456709498765432' has 19"},
        {Symbology::Imb, "01234567094987654321-0123", ErrorCode::InvalidData, "routing code has 5, 9 or 11 digits, or none; '0123' has 4"},
        {Symbology::Imb, "05234567094987654321", ErrorCode::InvalidData, "barcode identifier (the tracking code's first two digits) ends in 0-4; it is 05"},
        {Symbology::Imb, "0123456709498765432A", ErrorCode::InvalidData, "tracking code takes digits only; 'A' at position 20"},
        {Symbology::Imb, "01234567094987654321-0123B", ErrorCode::InvalidData, "routing code takes digits only; 'B' at position 26"},
        {Symbology::Imb, std::string(33, '1'), ErrorCode::DataTooLong, "32"},
        {Symbology::Planet, "1234567890", ErrorCode::InvalidData, "11 or 13 digits; '1234567890' has 10"},
        {Symbology::Planet, "1234567890A", ErrorCode::InvalidData, "'A' at position 11"},
        {Symbology::Rm4scc, "SN34rd", ErrorCode::InvalidData, "'r' at position 5"},
        {Symbology::Kix, "", ErrorCode::InvalidData, "empty"},
        {Symbology::Kix, "1231 FZ", ErrorCode::InvalidData, "position 5"},
        {Symbology::AusPost, "12 12345678", ErrorCode::InvalidData, "FCC 12 is none Australia Post defines"},
        {Symbology::AusPost, "45 12345678", ErrorCode::InvalidData, "FCC 45 takes 0 digits of customer information on ausreply"},
        {Symbology::AusPost, "1234567A", ErrorCode::InvalidData, "sorting code (DPID) takes digits only; 'A' at position 8"},
        {Symbology::AusPost, "12345678012A4567", ErrorCode::InvalidData, "customer information (table N) takes digits only; 'A' at position 12"},
        {Symbology::AusPost, "1234567801234", ErrorCode::InvalidData, "8 or 15 digits"},
        {Symbology::AusReply, "1234567", ErrorCode::InvalidData, "sorting code (DPID) has 8 digits; '1234567' has 7"},
        {Symbology::Daft, "DAFTX", ErrorCode::InvalidData, "'X' at position 5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        const korvane::Result<korvane::Symbol> r = korvane::encode(c.s, c.data);
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(r.error().code, c.code);
        EXPECT_NE(r.error().message.find(c.says), std::string::npos) << r.error().message;
    }
}

// Symbols with bars changed: the readers find the fault and name it.
TEST(Postal, ReadersFindChangedBars) {
    const struct {
        Symbology s;
        const char* data;
        std::size_t bar;      // the first bar changed
        const char* changed;  // its new states and those after it
        const char* reason;
    } cases[] = {
        // A full bar that loses its descender leaves its character a bit short.
        {Symbology::Imb, "01234567094987654321", 3, "A", "none of the code's"},
        // The first character of "12" (1: TDAF) becomes 0 (TTFF).
        {Symbology::Rm4scc, "12", 1, "TTFF", "RM4SCC check character reads A; the characters before it give 9"},
        {Symbology::Rm4scc, "12", 0, "T", "start with an ascender"},
        {Symbology::Kix, "12", 1, "T", "KIX character 1 is none of the code's"},
        {Symbology::Planet, "12345678901", 4, "F", "PLANET digit 1 has 4 full bars"},
        {Symbology::AusPost, "12345678", 10, "T", "parity bars do not match"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        korvane::Symbol symbol = kvtest::encoded(c.s, c.data);
        ASSERT_NE(states(symbol).substr(c.bar, std::strlen(c.changed)), c.changed);
        for (std::size_t i = 0; c.changed[i] != '\0'; ++i) {
            const char state = c.changed[i];
            symbol.kinds[2 * (c.bar + i)] = state == 'A'   ? BarKind::Ascender
                                            : state == 'D' ? BarKind::Descender
                                            : state == 'T' ? BarKind::Tracker
                                                           : BarKind::Data;
            if (c.s == Symbology::Planet && state == 'T')
                symbol.kinds[2 * (c.bar + i)] = BarKind::Short;
        }
        korvane::LayoutOptions lo;
        lo.dpi = 300;
        const korvane::Verdict v = korvane::verify(*korvane::layout(symbol, lo), symbol);
        EXPECT_FALSE(v.ok);
        EXPECT_NE(v.reason.find(c.reason), std::string::npos) << v.reason;
    }
}
