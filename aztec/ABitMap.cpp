#include "ABitMap.h"

#include <algorithm>
#include <cstdlib>
#include <cstdio>

namespace {

// Reference-grid lines lie on every coordinate that is a multiple of 16.
bool onGridLine(int v) { return (v & 15) == 0; }

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
    auto grid = [&](int x, int y) { setBit(x, y, (x + y) % 2 == 0 ? BLACKGRID : WHITEGRID); };
    for (int y = minY; y <= maxY; ++y) {
        if (onGridLine(y)) {
            for (int x = minX; x <= maxX; ++x)
                grid(x, y);
        } else {
            for (int x = minX - (minX & 15); x <= maxX; x += 16)  // the multiples of 16
                if (x >= minX)
                    grid(x, y);
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

int ABitMap::placeDominos(BitString* bs, bool compact) {
    const int f = compact ? 4 : 6;
    auto skipped = [&](int v) { return !compact && onGridLine(v); };
    // Bits are taken from the end of the stream one at a time; reading them in
    // place and dropping them all at the end leaves the same result.
    int next = bs->getLength() - 1;
    auto place = [&](int x, int y) { setBit(x, y, next >= 0 && bs->getBit(next--) == 1 ? BLACK : WHITE); };

    // Each pass fills one layer: a ring two modules thick, clockwise from its top
    // left, each strip starting where the previous one ended. Strips that would
    // fall on a grid line move one module outwards.
    int x = -f - 1;
    int y = -f - 3;
    while (y >= minY) {
        // Top strip, left to right.
        int yo = y;
        int yi = y + 1;
        int yInitial = y;
        if (onGridLine(yi)) {
            yi = y;
            yo = y - 1;
            yInitial = y - 1;
        }
        if (onGridLine(yo)) {
            --yo;
            --yInitial;
        }
        int xFinal = std::abs(x) + 2;
        if (onGridLine(x - 1) || onGridLine(x - 2))
            ++xFinal;
        for (int i = x; i <= xFinal; ++i) {
            if (skipped(i))
                continue;
            place(i, yi);
            place(i, yo);
        }

        // Right strip, downwards.
        const int yFinal = std::abs(yo);
        int xi = std::abs(x) + 1;
        int xo = std::abs(x) + 2;
        if (onGridLine(xi)) {
            ++xi;
            ++xo;
        }
        if (onGridLine(xo))
            ++xo;
        for (int j = yi + 1; j <= yFinal; ++j) {
            if (skipped(j))
                continue;
            place(xi, j);
            place(xo, j);
        }

        // Bottom strip, right to left.
        yo = std::abs(y);
        yi = std::abs(y + 1);
        if (onGridLine(yi)) {
            ++yi;
            ++yo;
            --y;
        }
        if (onGridLine(yo)) {
            ++yo;
            --y;
        }
        for (int i = xi - 1; i >= -xFinal; --i) {
            if (skipped(i))
                continue;
            place(i, yi);
            place(i, yo);
        }

        // Left strip, upwards.
        xi = x - 1;
        xo = x - 2;
        if (onGridLine(xi)) {
            --xi;
            --xo;
            --x;
        }
        if (onGridLine(xo)) {
            --xo;
            --x;
        }
        for (int j = yi - 1; j >= yInitial; --j) {
            if (skipped(j))
                continue;
            place(xi, j);
            place(xo, j);
        }

        x -= 2;
        y -= 2;
    }

    const int left = next + 1;
    bs->truncate(left);
    if (left > 0)
        std::fputs("Still  bit to be placed on the barcode. Try selecting another configuration.", stdout);
    return left;
}
