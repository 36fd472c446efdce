#pragma once
// How a refusal names the character it could not encode.

#include <string>

// 'x' for a printable ASCII character, else "character code N" (N from 0 to 255),
// so that a message never carries a control byte to the terminal.
inline std::string characterName(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 32 && byte < 127)
        return std::string("'") + c + "'";
    return "character code " + std::to_string(byte);
}
