#pragma once
// The module matrix of an Aztec symbol, addressed from its centre module (0, 0)
// with x growing to the right and y downwards.

#include "BitString.h"

#include <cassert>

class ABitMap {
public:
    static constexpr int EMPTY = -1;
    static constexpr int WHITE = 0;
    static constexpr int BLACK = 1;
    static constexpr int WHITEGRID = 2;
    static constexpr int BLACKGRID = 3;

    // `map` holds w x h entries, row-major, top row first; it stays the caller's.
    // Every entry is set to EMPTY, then the finder, the orientation marks and (for
    // full-range symbols) the reference grid are drawn. w and h are odd.
    ABitMap(int w, int h, bool compact, int* map);

    void setBit(int x, int y, int value) { bitmap[index(x, y)] = value; }
    int getBit(int x, int y) const { return bitmap[index(x, y)]; }
    int getValueAt(int x, int y) const { return getBit(x, y); }
    void setBitDirect(int col, int row, int value) { bitmap[col + row * width] = value; }

    int getMinX() const { return minX; }
    int getMaxX() const { return maxX; }
    int getMinY() const { return minY; }
    int getMaxY() const { return maxY; }

    static bool isBlack(int v) { return v == BLACK || v == BLACKGRID; }

    void addFinder();
    void addOrientationBits();
    void addGrids();

    // Lays the 28-bit (compact) or 40-bit (full-range) mode message in the ring
    // around the finder, consuming `bs` from the front.
    void placeModeMessage(BitString* bs, bool compact);

    // Lays the codeword stream in layers around the mode message, consuming `bs`
    // from the end, so the end of the stream is innermost; modules beyond the
    // stream get 0 (white). When bits remain after the outermost layer, prints
    // "Still  bit to be placed on the barcode. Try selecting another configuration."
    // on standard output and returns how many bits were left out.
    int placeDominos(BitString* bs, bool compact);

    // Lays `count` codewords of `bits` bits each (1-31) exactly as placeDominos
    // lays the stream of them, each appended most significant bit first: the last
    // bit of the last codeword lands first. Only the low `bits` bits of each entry
    // count. Prints the same message and returns how many bits were left out.
    int placeCodewords(const int* words, int count, int bits, bool compact);

private:
    int* bitmap;
    int width;
    int height;
    int minX, maxX, minY, maxY;
    bool isCompact;

    int index(int x, int y) const {
        assert(x >= minX && x <= maxX && y >= minY && y <= maxY);
        return (y - minY) * width + (x - minX);
    }
    int finderRadius() const { return isCompact ? 4 : 6; }

    // Walks the data layers, handing each pair of modules to `bits`; defined in
    // ABitMap.cpp, the only place that uses it.
    template <typename Bits>
    void layDataModules(bool compact, Bits& bits);
};
