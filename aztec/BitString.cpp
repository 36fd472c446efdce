#include "BitString.h"

#include <algorithm>

void BitString::growAndAppend(std::uint64_t v, int n) {
    // Doubling keeps appends at amortised constant cost; the words past the
    // last one needed are zero, as append() expects.
    const std::size_t last = (endBit + static_cast<std::size_t>(n) - 1) >> 6;
    words.resize(std::max(last + 1, 2 * words.size()), 0);
    append(v, n);
}

void BitString::append(std::uint64_t v, int n) {
    // n is 1..CHUNK and v < 2^n.
    const std::size_t last = (endBit + static_cast<std::size_t>(n) - 1) >> 6;
    if (last >= words.size())
        return growAndAppend(v, n);  // a tail call keeps this path free of saved registers
    const int off = static_cast<int>(endBit & 63);
    const int room = 64 - off;
    if (n <= room) {
        words[endBit >> 6] |= v << (room - n);
    } else {
        words[endBit >> 6] |= v >> (n - room);
        words[last] |= v << (64 - (n - room));
    }
    endBit += static_cast<std::size_t>(n);
}

std::uint64_t BitString::read(std::size_t pos, int n) const {
    // n is 1..CHUNK and the n bits from pos are held.
    const int off = static_cast<int>(pos & 63);
    std::uint64_t v = words[pos >> 6] << off;
    if (off + n > 64)
        v |= words[(pos >> 6) + 1] >> (64 - off);
    return v >> (64 - n);
}

void BitString::clearRange(std::size_t from, std::size_t to) {
    // Zeroes the stored bits from..to-1, keeping bits from endBit on zero for append().
    if (from >= to)
        return;
    std::size_t w = from >> 6;
    const std::size_t lastWord = (to - 1) >> 6;
    const int off = static_cast<int>(from & 63);
    if (off != 0) {
        words[w] &= ~(~std::uint64_t{0} >> off);
        ++w;
    }
    for (; w <= lastWord; ++w)
        words[w] = 0;
}

void BitString::reset() {
    clearRange(0, endBit);
    headBit = endBit = 0;
}

void BitString::eraseFront() {
    const std::size_t dropWords = headBit >> 6;
    words.erase(words.begin(), words.begin() + static_cast<std::ptrdiff_t>(dropWords));
    headBit -= dropWords * 64;
    endBit -= dropWords * 64;
}

void BitString::addBits(int valueI, int bits) {
    if (bits <= 0)
        return;
    if (bits > CHUNK)
        return addWideBits(valueI, bits);
    append(static_cast<std::uint32_t>(valueI) & ((std::uint64_t{1} << bits) - 1), bits);
}

void BitString::addWideBits(int valueI, int bits) {
    // Bits above bit 31 of an int are taken as 0.
    for (; bits > CHUNK; bits -= CHUNK)
        append(0, CHUNK);
    addBits(valueI, bits);
}

void BitString::concatenate(const BitString* bs) {
    const BitString copy = bs == this ? *bs : BitString();
    const BitString& from = bs == this ? copy : *bs;
    std::size_t pos = from.headBit;
    while (pos < from.endBit) {
        const int n = static_cast<int>(std::min<std::size_t>(CHUNK, from.endBit - pos));
        append(from.read(pos, n), n);
        pos += static_cast<std::size_t>(n);
    }
}

int BitString::getAndRemoveBits(int n) {
    const int held = getLength();
    if (held == 0)
        return 1;
    if (n < 0)
        n = 0;
    const int taken = held > n ? n : held;
    // Only the last 32 bits of a longer read can show in an int result.
    std::uint32_t result = 0;
    int remaining = taken;
    while (remaining > 0) {
        const int step = remaining > CHUNK ? CHUNK : remaining;
        const std::uint64_t chunk = read(headBit, step);
        result = static_cast<std::uint32_t>((static_cast<std::uint64_t>(result) << step) | chunk);
        headBit += static_cast<std::size_t>(step);
        remaining -= step;
    }
    for (int i = taken; i < n; ++i)
        result = (result << 1) | 1U;
    dropFront();
    return static_cast<int>(result);
}

int BitString::getAndRemoveBitsFILO(int n) {
    const int held = getLength();
    if (held == 0)
        return 0;
    if (n < 0)
        n = 0;
    const int taken = held > n ? n : held;
    const std::size_t from = endBit - static_cast<std::size_t>(taken);
    std::uint32_t result = 0;
    for (std::size_t pos = from; pos < endBit;) {
        const int step = static_cast<int>(std::min<std::size_t>(CHUNK, endBit - pos));
        result = static_cast<std::uint32_t>((static_cast<std::uint64_t>(result) << step) | read(pos, step));
        pos += static_cast<std::size_t>(step);
    }
    truncate(held - taken);
    return static_cast<int>(result);
}

void BitString::removeFront(int n) {
    if (n <= 0)
        return;
    headBit += std::min(static_cast<std::size_t>(n), endBit - headBit);
    dropFront();
}

void BitString::truncate(int n) {
    if (n < 0)
        n = 0;
    if (n >= getLength())
        return;
    const std::size_t newEnd = headBit + static_cast<std::size_t>(n);
    clearRange(newEnd, endBit);
    endBit = newEnd;
    if (headBit == endBit)
        reset();
}

int BitString::convertStringToInt(const std::string& s) {
    unsigned int result = 0;
    for (char c : s)
        result = (result << 1) | (c == '1' ? 1U : 0U);
    return static_cast<int>(result);
}

std::string BitString::toString() const {
    std::string s;
    s.reserve(endBit - headBit);
    for (std::size_t pos = headBit; pos < endBit; ++pos)
        s += read(pos, 1) != 0 ? '1' : '0';
    return s;
}
