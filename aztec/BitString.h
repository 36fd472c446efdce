#pragma once
// A growable sequence of bits: appended at the end, drained from either end.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class BitString {
public:
    BitString() = default;

    // Appends the low `bits` bits of `valueI`, most significant first. Higher bits
    // are ignored (so -23 with 8 bits appends 11101001); `bits` <= 0 appends nothing.
    void addBits(int valueI, int bits);

    // Appends every bit of `bs`; `bs` itself is left unchanged (it may be this object).
    void concatenate(const BitString* bs);

    int getLength() const { return static_cast<int>(endBit - headBit); }

    // Removes up to `n` bits from the front and returns them as a number, first bit
    // most significant. When `n` or fewer bits are held, all are taken and 1-bits
    // fill the result up to `n` bits; an empty sequence returns 1.
    int getAndRemoveBits(int n);

    // Removes up to `n` bits from the end and returns them in their stored order.
    // When `n` or fewer bits are held, all are taken without padding; an empty
    // sequence returns 0.
    int getAndRemoveBitsFILO(int n);

    // Bit `i` (0 = the oldest bit held), 0 or 1; `i` must be below getLength().
    int getBit(int i) const { return static_cast<int>(read(headBit + static_cast<std::size_t>(i), 1)); }

    // `n` bits (0-32) from bit `from` on, first bit most significant, as a number;
    // from + n must not exceed getLength(). The bits stay held.
    int getBits(int from, int n) const {
        return n <= 0 ? 0 : static_cast<int>(read(headBit + static_cast<std::size_t>(from), n));
    }

    // Drops the first `n` bits (all of them when n >= length).
    void removeFront(int n);

    // Keeps the first `n` bits and drops the rest (nothing happens when n >= length).
    void truncate(int n);

    // The value of a text of '0'/'1' read as a binary number; other characters count as 0.
    static int convertStringToInt(const std::string& s);

    // The bits held, oldest first, as '0'/'1' characters.
    std::string toString() const;

private:
    // Bits packed most significant first into 64-bit words. Bits before `headBit`
    // have been removed from the front; whole words of them are dropped once they
    // make up half of the store, so every operation costs amortised constant time
    // per bit. Bits from `endBit` on are always zero.
    std::vector<std::uint64_t> words;
    std::size_t headBit = 0;
    std::size_t endBit = 0;

    static constexpr int CHUNK = 32;  // most bits moved by one read or append

    void append(std::uint64_t v, int n);
    void growAndAppend(std::uint64_t v, int n);
    void addWideBits(int valueI, int bits);
    std::uint64_t read(std::size_t pos, int n) const;
    void clearRange(std::size_t from, std::size_t to);
    void reset();
    void eraseFront();
    // After a front removal: an emptied store starts over; words already drained
    // are discarded once they make up half of the store.
    void dropFront() {
        if (headBit == endBit)
            reset();
        else if (headBit >= 256 && headBit * 2 >= endBit)
            eraseFront();
    }
};
