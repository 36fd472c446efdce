// Fuzzes the Data Matrix encoder and reader. The first byte picks what:
//  0: a message (shape, size, GS1, reader programming, structured append,
//     FNC1 and ECI markers, bytes) through the encoder; every symbol it makes
//     must read back, by the library's reader, to the data it reports;
//  1: arbitrary data codewords of any size, given valid check words and
//     placed, through the reader's decoding (which must never misbehave);
//  2: an arbitrary picture through the reader.

#include "FuzzInput.h"
#include "datamatrix/DataMatrix.h"
#include "verify/Readers.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace dm = korvane::datamatrix;

namespace {

korvane::GrayRaster picture(const std::vector<std::uint8_t>& modules, int rows, int cols, int scale) {
    korvane::GrayRaster r;
    const int quiet = 2;
    r.width = (cols + 2 * quiet) * scale;
    r.height = (rows + 2 * quiet) * scale;
    r.pixels.assign(static_cast<std::size_t>(r.width) * r.height, 255);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < cols; ++x)
            if (modules[static_cast<std::size_t>(y) * cols + x])
                for (int dy = 0; dy < scale; ++dy)
                    for (int dx = 0; dx < scale; ++dx)
                        r.pixels[static_cast<std::size_t>((y + quiet) * scale + dy) * r.width + (x + quiet) * scale + dx] = 0;
    return r;
}

void encoderRoundTrip(FuzzInput& in) {
    dm::Options o;
    o.shape = static_cast<dm::Shape>(in.range(0, 2));
    o.dmre = in.flag();
    const int fixed = in.range(0, 60);
    const int sizes = static_cast<int>(dm::sizesEnd() - dm::sizesBegin());
    if (fixed < sizes) {
        o.rows = dm::sizesBegin()[fixed].rows;
        o.columns = dm::sizesBegin()[fixed].columns;
    }
    korvane::Message m;
    m.gs1 = in.flag();
    m.readerInit = in.flag();
    if (in.flag()) {
        m.structuredAppend.count = in.range(0, 17);
        m.structuredAppend.index = in.range(0, 17);
        m.structuredAppend.id = std::to_string(in.range(0, 255) * 300);
    }
    const int markers = in.range(0, 3);
    std::vector<std::pair<int, int>> wanted;
    for (int k = 0; k < markers; ++k)
        wanted.push_back({in.range(0, 255), in.flag() ? in.int32() % 1000000 : -1});
    m.bytes = in.rest();
    for (const auto& [at, eci] : wanted) {
        korvane::Marker mk;
        mk.position = std::min<std::size_t>(static_cast<std::size_t>(at), m.bytes.size());
        mk.kind = eci < 0 ? korvane::MarkerKind::Fnc1 : korvane::MarkerKind::Eci;
        mk.eci = eci;
        m.markers.push_back(mk);
    }
    std::sort(m.markers.begin(), m.markers.end(),
              [](const korvane::Marker& a, const korvane::Marker& b) { return a.position < b.position; });
    const korvane::Result<dm::Encoded> e = dm::encode(m, o);
    if (!e)
        return;
    const korvane::detail::Reading r =
        korvane::detail::readDataMatrix(picture(e->modules, e->size->rows, e->size->columns, 2));
    if (!r.ok || r.data != e->readerData || r.correctedCodewords != 0) {
        std::fprintf(stderr, "%dx%d read %d (%s), %zu bytes expected, %zu read\n", e->size->rows, e->size->columns,
                     r.ok, r.failure.c_str(), e->readerData.size(), r.data.size());
        std::abort();
    }
}

void readerOnCodewords(FuzzInput& in) {
    const int sizes = static_cast<int>(dm::sizesEnd() - dm::sizesBegin());
    const dm::SizeInfo& s = dm::sizesBegin()[in.range(0, sizes - 1)];
    std::vector<std::uint8_t> cw(static_cast<std::size_t>(s.dataCodewords + s.checkCodewords));
    for (int k = 0; k < s.dataCodewords; ++k)
        cw[static_cast<std::size_t>(k)] = in.byte();
    const int check = s.checkCodewords / s.blocks;
    for (int b = 0; b < s.blocks; ++b) {
        std::vector<std::uint8_t> block;
        for (int k = b; k < s.dataCodewords; k += s.blocks)
            block.push_back(cw[static_cast<std::size_t>(k)]);
        const auto words = dm::detail::checkWords(block.data(), static_cast<int>(block.size()), check);
        for (int j = 0; j < check; ++j)
            cw[static_cast<std::size_t>(s.dataCodewords + j * s.blocks + b)] = words[static_cast<std::size_t>(j)];
    }
    const int rr = s.regionRows, rc = s.regionColumns;
    const int nrow = s.regionsDown() * rr, ncol = s.regionsAcross() * rc;
    const std::vector<int> map = dm::detail::placement(nrow, ncol);
    std::vector<std::uint8_t> modules(static_cast<std::size_t>(s.rows) * s.columns);
    for (int y = 0; y < s.rows; ++y)
        for (int x = 0; x < s.columns; ++x) {
            const int ry = y % (rr + 2), rx = x % (rc + 2);
            bool dark;
            if (rx == 0 || ry == rr + 1)
                dark = true;
            else if (ry == 0)
                dark = rx % 2 == 0;
            else if (rx == rc + 1)
                dark = ry % 2 == 1;
            else {
                const int v = map[static_cast<std::size_t>(y / (rr + 2) * rr + ry - 1) * ncol + x / (rc + 2) * rc + rx - 1];
                dark = v < 8 ? v == 1 : (cw[static_cast<std::size_t>(v / 8 - 1)] >> (7 - v % 8)) & 1;
            }
            modules[static_cast<std::size_t>(y) * s.columns + x] = dark;
        }
    korvane::detail::readDataMatrix(picture(modules, s.rows, s.columns, 1));
}

void readerOnPicture(FuzzInput& in) {
    korvane::GrayRaster r;
    r.width = in.range(1, 64);
    r.height = in.range(1, 64);
    r.pixels.assign(static_cast<std::size_t>(r.width) * r.height, 255);
    for (std::uint8_t& p : r.pixels)
        p = in.remaining() > 0 ? in.byte() : 255;
    korvane::detail::readDataMatrix(r);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    switch (in.range(0, 2)) {
    case 0: encoderRoundTrip(in); break;
    case 1: readerOnCodewords(in); break;
    default: readerOnPicture(in); break;
    }
    return 0;
}
