// Symbol sizes of the library's Aztec encoder against two peer generators, on
// the corpus of tests/aztecopt: zint's program and zxing-cpp's writer.
//
//   aztec_compare [zint-program]     (default: zint on the PATH)
//
// Prints per kind of input and in total: the area of our symbols over the
// peer's and how many inputs come out smaller, equal or larger; and, as a
// measure of the encoders alone, our data codewords over the peer's in the
// peer's own configuration.

#include "Corpus.h"

#include <korvane/Encode.h>

#include <ZXing/ReadBarcode.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

struct Tally {
    double ours = 0;
    double theirs = 0;
    int smaller = 0, equal = 0, larger = 0;
    void add(double a, double b) {
        ours += a;
        theirs += b;
        (a < b ? smaller : a == b ? equal : larger)++;
    }
};

class Table {
public:
    explicit Table(std::string t) : title(std::move(t)) {}
    void add(const std::string& kind, const std::string& label, double ours, double theirs) {
        byKind[kind].add(ours, theirs);
        all.add(ours, theirs);
        worst.push_back({ours / theirs, label});
    }
    void print() {
        std::printf("\n%s\n%-8s %7s %5s %5s %5s\n", title.c_str(), "kind", "ratio", "<", "=", ">");
        for (const auto& [kind, t] : byKind)
            std::printf("%-8s %7.4f %5d %5d %5d\n", kind.c_str(), t.ours / t.theirs, t.smaller, t.equal, t.larger);
        std::printf("%-8s %7.4f %5d %5d %5d\nworst:", "all", all.ours / all.theirs, all.smaller, all.equal,
                    all.larger);
        std::sort(worst.rbegin(), worst.rend());
        for (std::size_t i = 0; i < worst.size() && i < 4; ++i)
            std::printf(" %.3f %s;", worst[i].first, worst[i].second.c_str());
        std::printf("\n");
    }

private:
    std::string title;
    std::map<std::string, Tally> byKind;
    Tally all;
    std::vector<std::pair<double, std::string>> worst;
};

korvane::Result<korvane::Symbol> ours(const std::string& data, bool escapes, int percent, int extra) {
    korvane::EncodeOptions o;
    o.escapes = escapes;
    o.eccPercent = percent;
    o.eccExtraWords = extra;
    return korvane::encode(korvane::Symbology::Aztec, data, o);
}

// Our data codewords in the peer's configuration (no check words asked for,
// so the same size and kind is found whenever our stream fits there).
int oursInConfiguration(const std::string& data, bool escapes, const aztecopt::PeerSymbol& peer) {
    korvane::EncodeOptions o;
    o.escapes = escapes;
    o.eccPercent = 0;
    o.eccExtraWords = 0;
    o.minSize = peer.side;
    o.compactOnly = peer.compact;
    o.fullOnly = !peer.compact;
    const auto s = korvane::encode(korvane::Symbology::Aztec, data, o);
    return s && s->columns == peer.side ? s->facts.aztec.dataCodewords : 1 << 20;
}

// Whether zxing-cpp reads the peer's symbol as `content` (zint's input is
// checked this way, so the sizes compare symbols of the same data).
bool readsBack(const aztecopt::PeerSymbol& p, const std::string& content) {
    const int quiet = 4, scale = 3, side = (p.side + 2 * quiet) * scale;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(side) * side, 255);
    for (int r = 0; r < p.side; ++r)
        for (int c = 0; c < p.side; ++c)
            if (p.rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] == '1')
                for (int y = 0; y < scale; ++y)
                    for (int x = 0; x < scale; ++x)
                        pixels[static_cast<std::size_t>((r + quiet) * scale + y) * side + (c + quiet) * scale + x] = 0;
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::Aztec);
    hints.setBinarizer(ZXing::Binarizer::FixedThreshold);
    const auto result = ZXing::ReadBarcode(ZXing::ImageView(pixels.data(), side, side, ZXing::ImageFormat::Lum), hints);
    const std::string got(result.bytes().begin(), result.bytes().end());
    // A GS1 symbol reads without its leading FNC1; zxing 1.4 may read 12-bit padding as bytes.
    return result.isValid() && got.compare(0, content.size(), content) == 0;
}

double area(int side) { return static_cast<double>(side) * side; }

}  // namespace

int main(int argc, char** argv) {
    const std::string zint = argc > 1 ? argv[1] : "zint";
    const std::vector<aztecopt::CorpusEntry> corpus = aztecopt::aztecCorpus();
    Table zintArea("area: ours (23 % + 3 words) / zint (--secure=2, 23 % + 3 words)");
    Table zintWords("data codewords in zint's configuration: ours / zint");
    Table zxingArea("area: ours (25 % + 3 words) / zxing-cpp (level 2: 25 % of the data + 11 bits)");
    Table zxingMatched("area: ours (20 % + 2 words) / zxing-cpp (level 2)");
    Table zxingWords("data codewords in zxing-cpp's configuration: ours / zxing-cpp");
    for (std::size_t i = 0; i < corpus.size(); ++i) {
        const aztecopt::CorpusEntry& e = corpus[i];
        const std::string label = e.kind + " #" + std::to_string(i) + " (" + std::to_string(e.content.size()) + " B";
        const auto ours23 = ours(e.data, e.escapes, 23, 3);
        const aztecopt::PeerSymbol z = aztecopt::zintSymbol(zint, e, 2);
        // zxing-cpp's writer takes the content as it stands (GS, not FNC1), and so do we for it.
        const auto ours25 = ours(e.content, false, 25, 3);
        const auto ours20 = ours(e.content, false, 20, 2);
        const aztecopt::PeerSymbol x = aztecopt::zxingSymbol(e.content, 2);
        if (!ours23 || !ours25 || !ours20 || z.side == 0 || x.side == 0) {
            std::fprintf(stderr, "%s): a symbol is missing\n", label.c_str());
            return 1;
        }
        if (!readsBack(z, e.content))
            std::fprintf(stderr, "%s): zint's symbol reads back otherwise\n", label.c_str());
        const auto sides = [&](int a, int b) {
            return label + ", " + std::to_string(a) + " vs " + std::to_string(b) + ")";
        };
        zintArea.add(e.kind, sides(ours23->columns, z.side), area(ours23->columns), area(z.side));
        zintWords.add(e.kind, label + ")", oursInConfiguration(e.data, e.escapes, z), z.dataCodewords);
        zxingArea.add(e.kind, sides(ours25->columns, x.side), area(ours25->columns), area(x.side));
        zxingMatched.add(e.kind, sides(ours20->columns, x.side), area(ours20->columns), area(x.side));
        zxingWords.add(e.kind, label + ")", oursInConfiguration(e.content, false, x), x.dataCodewords);
    }
    std::printf("%zu inputs\n", corpus.size());
    zintArea.print();
    zintWords.print();
    zxingArea.print();
    zxingMatched.print();
    zxingWords.print();
    return 0;
}
