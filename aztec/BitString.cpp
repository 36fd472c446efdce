#include "BitString.h"

void BitString::addBits(int valueI, int bits) {
    const unsigned int v = static_cast<unsigned int>(valueI);
    for (int i = bits - 1; i >= 0; --i)
        value.push_back(i < 32 && ((v >> i) & 1U) ? '1' : '0');
}

void BitString::concatenate(const BitString* bs) {
    if (bs == this) {
        const std::string copy = toString();
        value += copy;
        return;
    }
    value.append(bs->value, bs->head, std::string::npos);
}

int BitString::getAndRemoveBits(int n) {
    const int held = getLength();
    if (held == 0)
        return 1;
    if (n < 0)
        n = 0;
    const int taken = held > n ? n : held;
    unsigned int result = 0;
    for (int i = 0; i < taken; ++i)
        result = (result << 1) | (value[head + i] == '1' ? 1U : 0U);
    head += static_cast<std::size_t>(taken);
    for (int i = taken; i < n; ++i)
        result = (result << 1) | 1U;
    compact();
    return static_cast<int>(result);
}

int BitString::getAndRemoveBitsFILO(int n) {
    const int held = getLength();
    if (held == 0)
        return 0;
    if (n < 0)
        n = 0;
    const int taken = held > n ? n : held;
    const std::size_t from = value.size() - static_cast<std::size_t>(taken);
    unsigned int result = 0;
    for (std::size_t i = from; i < value.size(); ++i)
        result = (result << 1) | (value[i] == '1' ? 1U : 0U);
    value.resize(from);
    compact();
    return static_cast<int>(result);
}

int BitString::convertStringToInt(const std::string& s) {
    unsigned int result = 0;
    for (char c : s)
        result = (result << 1) | (c == '1' ? 1U : 0U);
    return static_cast<int>(result);
}

void BitString::compact() {
    if (head == value.size()) {
        value.clear();
        head = 0;
    } else if (head >= 64 && head * 2 >= value.size()) {
        value.erase(0, head);
        head = 0;
    }
}
