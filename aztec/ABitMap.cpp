#include "ABitMap.h"

#include <algorithm>
#include <cstdlib>
#include <cstdio>

namespace {

// Reference-grid lines lie on every coordinate that is a multiple of 16.
bool onGridLine(int v) { return (v & 15) == 0; }

// A data bit is written as the module value itself.
static_assert(ABitMap::WHITE == 0 && ABitMap::BLACK == 1);

constexpr const char* LEFT_OVER_MESSAGE =
    "Still  bit to be placed on the barcode. Try selecting another configuration.";

// One layer of data modules: a ring two modules thick, filled clockwise from its
// top left by four strips, each starting where the previous one ended. x and y
// are the pass counters; the strips hand on their rows and columns.
struct Layer {
    int x, y;
    int yi = 0, yo = 0;  // inner and outer row of a horizontal strip
    int xi = 0, xo = 0;  // inner and outer column of a vertical strip
    int yInitial = 0;    // the top row, where the left strip ends
    int xFinal = 0;      // the right end of the top strip
};

// In full-range symbols no data module lies on a reference-grid line.
bool skipped(int v, bool compact) { return !compact && onGridLine(v); }

// The matrix seen from its centre: module (x, y) is at(x, y).
struct Grid {
    int* origin;
    int width;
    int* at(int x, int y) const { return origin + y * width + x; }
};

// Each strip hands `pair` the inner module, then the outer one, step by step.
// Rows and columns that would fall on a grid line move one module outwards.
template <typename Pair>
void topStrip(Layer& s, const Grid& g, bool compact, Pair& pair) {  // left to right
    s.yo = s.y;
    s.yi = s.y + 1;
    s.yInitial = s.y;
    if (onGridLine(s.yi)) {
        s.yi = s.y;
        s.yo = s.y - 1;
        s.yInitial = s.y - 1;
    }
    if (onGridLine(s.yo)) {
        --s.yo;
        --s.yInitial;
    }
    s.xFinal = std::abs(s.x) + 2;
    if (onGridLine(s.x - 1) || onGridLine(s.x - 2))
        ++s.xFinal;
    int* const inner = g.at(0, s.yi);
    int* const outer = g.at(0, s.yo);
    for (int i = s.x; i <= s.xFinal; ++i)
        if (!skipped(i, compact))
            pair(inner + i, outer + i);
}

template <typename Pair>
void rightStrip(Layer& s, const Grid& g, bool compact, Pair& pair) {  // downwards
    const int yFinal = std::abs(s.yo);
    s.xi = std::abs(s.x) + 1;
    s.xo = std::abs(s.x) + 2;
    if (onGridLine(s.xi)) {
        ++s.xi;
        ++s.xo;
    }
    if (onGridLine(s.xo))
        ++s.xo;
    for (int j = s.yi + 1; j <= yFinal; ++j)
        if (!skipped(j, compact))
            pair(g.at(s.xi, j), g.at(s.xo, j));
}

template <typename Pair>
void bottomStrip(Layer& s, const Grid& g, bool compact, Pair& pair) {  // right to left
    s.yo = std::abs(s.y);
    s.yi = std::abs(s.y + 1);
    if (onGridLine(s.yi)) {
        ++s.yi;
        ++s.yo;
        --s.y;
    }
    if (onGridLine(s.yo)) {
        ++s.yo;
        --s.y;
    }
    int* const inner = g.at(0, s.yi);
    int* const outer = g.at(0, s.yo);
    for (int i = s.xi - 1; i >= -s.xFinal; --i)
        if (!skipped(i, compact))
            pair(inner + i, outer + i);
}

template <typename Pair>
void leftStrip(Layer& s, const Grid& g, bool compact, Pair& pair) {  // upwards
    s.xi = s.x - 1;
    s.xo = s.x - 2;
    if (onGridLine(s.xi)) {
        --s.xi;
        --s.xo;
        --s.x;
    }
    if (onGridLine(s.xo)) {
        --s.xo;
        --s.x;
    }
    for (int j = s.yi - 1; j >= s.yInitial; --j)
        if (!skipped(j, compact))
            pair(g.at(s.xi, j), g.at(s.xo, j));
}

// The bits of a stream from its end, a chunk at a time: refill(chunk, held)
// yields the next chunk towards the front of the stream, its last bit in bit 0,
// and returns false once the stream is used up.
template <typename Refill>
class TailBits {
public:
    explicit TailBits(Refill refill) : refill_(refill) {}
    int take() {
        if (held_ == 0 && !refill_(chunk_, held_))
            return 0;  // past the stream: the module stays white
        --held_;
        const int bit = static_cast<int>(chunk_ & 1U);
        chunk_ >>= 1;
        return bit;
    }
    // The next two bits: the first in bit 0, the second in bit 1.
    int takePair() {
        if (held_ >= 2) {
            held_ -= 2;
            const int v = static_cast<int>(chunk_ & 3U);
            chunk_ >>= 2;
            return v;
        }
        const int first = take();
        return first | take() << 1;
    }
    // What is left of the current chunk: its first `held` bits, in bit order.
    unsigned chunk() const { return chunk_; }
    int held() const { return held_; }

private:
    Refill refill_;
    unsigned chunk_ = 0;
    int held_ = 0;
};

}  // namespace

ABitMap::ABitMap(int w, int h, bool compact, int* map)
    : bitmap(map), width(w), height(h), minX(-((w - 1) / 2)), maxX((w - 1) / 2), minY(-((h - 1) / 2)),
      maxY((h - 1) / 2), isCompact(compact) {
    for (int row = 0; row < height; ++row)
        for (int col = 0; col < width; ++col)
            setBitDirect(col, row, EMPTY);
    addFinder();
    addOrientationBits();
    if (!compact)
        addGrids();
}

void ABitMap::addFinder() {
    const int f = finderRadius();
    for (int y = -f; y <= f; ++y)
        for (int x = -f; x <= f; ++x)
            setBit(x, y, std::max(std::abs(x), std::abs(y)) % 2 == 0 ? BLACK : WHITE);
}

void ABitMap::addOrientationBits() {
    const int a = finderRadius();
    // Later writes win: the corners of the mode-message ring end up marked
    // dark-dark-dark top left, dark-dark top right, one dark module bottom right.
    setBit(-a - 1, -a, WHITE);
    setBit(-a - 1, a + 1, WHITE);
    setBit(-a, a + 1, WHITE);
    setBit(a + 1, a + 1, WHITE);
    setBit(a + 1, a, BLACK);
    setBit(a + 1, a + 1, WHITE);
    setBit(a + 1, -a, BLACK);
    setBit(a + 1, -a - 1, BLACK);
    setBit(a, -a - 1, WHITE);
    setBit(-a, -a - 1, BLACK);
    setBit(-a - 1, -a - 1, BLACK);
    setBit(-a - 1, -a, BLACK);
}

void ABitMap::addGrids() {
    // Dark where x + y is even, as the finder's rings are.
    auto value = [](int x, int y) { return ((x + y) & 1) == 0 ? BLACKGRID : WHITEGRID; };
    const int firstLine = minX - (minX & 15);  // the largest multiple of 16 not above minX
    for (int y = minY; y <= maxY; ++y) {
        int* const row = bitmap + (y - minY) * width - minX;
        if (onGridLine(y)) {
            for (int x = minX; x <= maxX; ++x)
                row[x] = value(x, y);
        } else {
            for (int x = firstLine < minX ? firstLine + 16 : firstLine; x <= maxX; x += 16)
                row[x] = value(x, y);
        }
    }
}

void ABitMap::placeModeMessage(BitString* bs, bool compact) {
    const int f = compact ? 4 : 6;
    const int sideLength = bs->getLength() / 4;
    const int back = compact ? 1 - f : 2 - f;
    auto isGrid = [&](int x, int y) {
        const int v = getBit(x, y);
        return v == WHITEGRID || v == BLACKGRID;
    };
    // Bits are read in place from the front (4 x sideLength of them are held)
    // and dropped together at the end.
    int taken = 0;
    auto put = [&](int x, int y) { setBit(x, y, bs->getBit(taken++) == 1 ? BLACK : WHITE); };

    int offset = 0;  // top side, left to right
    for (int k = 0; k < sideLength; ++k) {
        if (isGrid(k + 1 - f + offset, -f - 1))
            ++offset;
        put(k + 1 - f + offset, -f - 1);
    }
    offset = 0;  // right side, downwards
    for (int k = 0; k < sideLength; ++k) {
        if (isGrid(f + 1, k + 1 - f + offset))
            ++offset;
        put(f + 1, k + 1 - f + offset);
    }
    offset = 0;  // bottom side, right to left
    for (int k = sideLength - 1; k >= 0; --k) {
        if (isGrid(k + back + offset, f + 1))
            --offset;
        put(k + back + offset, f + 1);
    }
    offset = 0;  // left side, upwards
    for (int k = sideLength - 1; k >= 0; --k) {
        if (isGrid(-f - 1, k + back + offset))
            --offset;
        put(-f - 1, k + back + offset);
    }
    bs->removeFront(taken);
}

template <typename Bits>
void ABitMap::layDataModules(bool compact, Bits& bits) {
    const int f = compact ? 4 : 6;
    const Grid grid{bitmap - minY * width - minX, width};
    auto pair = [&bits](int* inner, int* outer) {
        const int two = bits.takePair();
        *inner = two & 1;
        *outer = two >> 1;
    };
    Layer layer{-f - 1, -f - 3};
    while (layer.y >= minY) {
        topStrip(layer, grid, compact, pair);
        rightStrip(layer, grid, compact, pair);
        bottomStrip(layer, grid, compact, pair);
        leftStrip(layer, grid, compact, pair);
        layer.x -= 2;
        layer.y -= 2;
    }
}

int ABitMap::placeDominos(BitString* bs, bool compact) {
    auto refill = [bs](unsigned& chunk, int& held) {
        held = std::min(bs->getLength(), 24);
        chunk = static_cast<unsigned>(bs->getAndRemoveBitsFILO(held));
        return held > 0;
    };
    TailBits<decltype(refill)> tail(refill);
    layDataModules(compact, tail);
    if (tail.held() > 0)
        bs->addBits(static_cast<int>(tail.chunk()), tail.held());  // taken but not placed
    const int left = bs->getLength();
    if (left > 0)
        std::fputs(LEFT_OVER_MESSAGE, stdout);
    return left;
}

int ABitMap::placeCodewords(const int* words, int count, int bits, bool compact) {
    int next = bits > 0 && bits < 32 ? count - 1 : -1;
    auto refill = [words, bits, &next](unsigned& chunk, int& held) {
        if (next < 0)
            return false;
        chunk = static_cast<unsigned>(words[next--]);
        held = bits;
        return true;
    };
    TailBits<decltype(refill)> tail(refill);
    layDataModules(compact, tail);
    const int left = tail.held() + (next + 1) * bits;
    if (left > 0)
        std::fputs(LEFT_OVER_MESSAGE, stdout);
    return left;
}
