#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace pelitor {

// A byte as messages name it: 0x7F.
inline std::string hexByte(std::uint8_t byte) {
    char text[5];
    std::snprintf(text, sizeof text, "0x%02X", byte);
    return text;
}

} // namespace pelitor
