#pragma once
// 64-bit FNV-1a digest, for comparing outputs against digests kept in the
// repository. Numbers are fed as decimal text and every field is followed by a
// separator, so a digest does not depend on the platform's integer layout and
// two different field sequences cannot feed the same bytes.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace testsupport {

class Digest {
public:
    Digest& bytes(const void* data, std::size_t size) {
        const auto* p = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i) {
            hash_ ^= p[i];
            hash_ *= PRIME;
        }
        return *this;
    }
    // One field: its length, then its bytes.
    Digest& field(std::string_view s) {
        number(static_cast<long long>(s.size()));
        return bytes(s.data(), s.size());
    }
    Digest& number(long long v) {
        const std::string text = std::to_string(v) + ';';
        return bytes(text.data(), text.size());
    }
    template <typename T>
    Digest& numbers(const T* values, std::size_t count) {
        number(static_cast<long long>(count));
        for (std::size_t i = 0; i < count; ++i)
            number(static_cast<long long>(values[i]));
        return *this;
    }

    std::uint64_t value() const { return hash_; }
    std::string hex() const {
        char buf[17];
        std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(hash_));
        return buf;
    }

private:
    static constexpr std::uint64_t PRIME = 0x100000001b3ULL;
    std::uint64_t hash_ = 0xcbf29ce484222325ULL;  // FNV-1a 64 offset basis
};

}  // namespace testsupport
