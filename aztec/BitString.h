#pragma once
// A growable sequence of bits: appended at the end, drained from either end.

#include <cstddef>
#include <string>

class BitString {
public:
    BitString() = default;

    // Appends the low `bits` bits of `valueI`, most significant first. Higher bits
    // are ignored (so -23 with 8 bits appends 11101001); `bits` <= 0 appends nothing.
    void addBits(int valueI, int bits);

    // Appends every bit of `bs`; `bs` itself is left unchanged (it may be this object).
    void concatenate(const BitString* bs);

    int getLength() const { return static_cast<int>(value.size() - head); }

    // Removes up to `n` bits from the front and returns them as a number, first bit
    // most significant. When `n` or fewer bits are held, all are taken and 1-bits
    // fill the result up to `n` bits; an empty sequence returns 1.
    int getAndRemoveBits(int n);

    // Removes up to `n` bits from the end and returns them in their stored order.
    // When `n` or fewer bits are held, all are taken without padding; an empty
    // sequence returns 0.
    int getAndRemoveBitsFILO(int n);

    // The value of a text of '0'/'1' read as a binary number; other characters count as 0.
    static int convertStringToInt(const std::string& s);

    // The bits held, oldest first, as '0'/'1' characters.
    std::string toString() const { return value.substr(head); }

private:
    // One '0'/'1' character per bit. Bits before `head` have been removed from the
    // front; they are discarded in bulk once they make up half of the text, so every
    // operation costs amortised constant time per bit.
    std::string value;
    std::size_t head = 0;

    void compact();
};
