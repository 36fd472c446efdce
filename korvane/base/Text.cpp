// The text kernel's own functions. thousands, describeByte and quoted are
// still defined in Encode.cpp beside the checks that first needed them.

#include "Text.h"

#include <cctype>

namespace korvane::detail {

namespace {
constexpr std::size_t VALUE_SHOWN = 40;  // characters of a value a message repeats
}

std::string quotedValue(std::string_view text) {
    std::string shown(text.substr(0, VALUE_SHOWN));
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 32 || c == 127)
            c = '?';
    return "'" + shown + (text.size() > VALUE_SHOWN ? "...'" : "'");
}

std::string lowerCase(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace korvane::detail
