// The text kernel: how messages show data, bytes and numbers.

#include "Text.h"

#include <cctype>
#include <cstdio>

namespace korvane::detail {

namespace {
constexpr std::size_t VALUE_SHOWN = 40;  // characters of a value a message repeats
}

std::string thousands(long long n) {
    std::string digits = std::to_string(n < 0 ? -n : n);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(static_cast<std::size_t>(i), ",");
    return n < 0 ? "-" + digits : digits;
}

std::string describeByte(unsigned char c) {
    if (c >= 32 && c < 127)
        return std::string("'") + static_cast<char>(c) + "'";
    char buf[16];
    std::snprintf(buf, sizeof buf, "byte 0x%02X", c);
    return buf;
}

std::string quoted(std::string_view data, std::size_t max) {
    std::string out = "\"";
    for (std::size_t i = 0; i < data.size() && i < max; ++i) {
        const auto c = static_cast<unsigned char>(data[i]);
        if (c >= 32 && c < 127 && c != '"' && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        }
    }
    return out + (data.size() > max ? "...\"" : "\"");
}


std::string lowerCase(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace korvane::detail

namespace korvane {

std::string quotedValue(std::string_view text) {
    std::string shown(text.substr(0, detail::VALUE_SHOWN));
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 32 || c == 127)
            c = '?';
    return "'" + shown + (text.size() > detail::VALUE_SHOWN ? "...'" : "'");
}

}  // namespace korvane
