#pragma once

#include "sds/sysex.hpp"

#include <array>
#include <cstdint>

namespace pelitor {

using HandshakeMessage = std::array<std::uint8_t, handshakeSize>;

// ACK, NAK, CANCEL or WAIT about the packet numbered `packetNumber` (0 to 127).
constexpr HandshakeMessage makeHandshake(std::uint8_t type, std::uint8_t deviceChannel,
                                         std::uint8_t packetNumber) {
    return {sysExStart, nonRealTime, deviceChannel, type, packetNumber, sysExEnd};
}

} // namespace pelitor
