#pragma once
// A fuzz input is a short header of settings, one byte each, followed by the
// message. Bytes missing at the end of a short input read as 0, so every input
// is valid and the committed seeds stay easy to write by hand.

#include <cstddef>
#include <cstdint>
#include <string>

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    bool flag() { return (byte() & 1) != 0; }
    // A value in [low, high].
    int range(int low, int high) { return low + byte() % (high - low + 1); }
    std::int32_t int32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= static_cast<std::uint32_t>(byte()) << (8 * i);
        return static_cast<std::int32_t>(v);
    }
    std::size_t remaining() const { return size_ - pos_; }
    std::string bytes(std::size_t count) {
        std::string out;
        while (count-- > 0 && pos_ < size_)
            out += static_cast<char>(data_[pos_++]);
        return out;
    }
    std::string rest() { return bytes(size_ - pos_); }
    // The rest, one time in eight repeated up to 2,041 times: data far past
    // every symbology's capacity (the largest holds 7,987 bytes) from short inputs.
    std::string restOftenLong() {
        const bool repeat = byte() >= 224;
        const int copies = repeat ? 1 + 8 * byte() : 1;
        const std::string once = rest();
        std::string out;
        out.reserve(once.size() * static_cast<std::size_t>(copies));
        for (int i = 0; i < copies; ++i)
            out += once;
        return out;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};
