#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace pelitor::platform {

// A MIDI message other than system exclusive, as its bytes.
struct ShortMessage {
    std::array<std::uint8_t, 3> bytes{};
    std::size_t size = 0;
};

// WinMM hands such a message over packed into one value, its status in the low byte and its
// data bytes above; how many of them there are, the status says.
constexpr ShortMessage unpackShortMessage(std::uint32_t packed) {
    const auto status = static_cast<std::uint8_t>(packed & 0xFF);
    std::size_t size = 1;
    if (status < 0x80 || status == 0xF0) {
        size = 0; // not a status: nothing a driver should hand over
    } else if (status < 0xC0 || (status >= 0xE0 && status < 0xF0) || status == 0xF2) {
        size = 3;
    } else if (status < 0xE0 || status == 0xF1 || status == 0xF3) {
        size = 2;
    }
    return {{status, static_cast<std::uint8_t>((packed >> 8) & 0x7F),
             static_cast<std::uint8_t>((packed >> 16) & 0x7F)},
            size};
}

} // namespace pelitor::platform
