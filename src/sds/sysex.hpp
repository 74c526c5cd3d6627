#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace pelitor {

// Every SDS message is a non-real-time universal System Exclusive message:
// F0 7E <device channel> <message type> ... F7.
inline constexpr std::uint8_t sysExStart = 0xF0;
inline constexpr std::uint8_t nonRealTime = 0x7E;
inline constexpr std::uint8_t sysExEnd = 0xF7;

// The message types of the sample dump and of its handshake.
inline constexpr std::uint8_t dumpHeaderType = 0x01;
inline constexpr std::uint8_t dataPacketType = 0x02;
inline constexpr std::uint8_t dumpRequestType = 0x03;
inline constexpr std::uint8_t waitType = 0x7C;
inline constexpr std::uint8_t cancelType = 0x7D;
inline constexpr std::uint8_t nakType = 0x7E;
inline constexpr std::uint8_t ackType = 0x7F;

// The four answers of the handshake.
constexpr bool isHandshakeType(std::uint8_t type) {
    return type == ackType || type == nakType || type == cancelType || type == waitType;
}

inline constexpr std::size_t dumpHeaderSize = 21;
inline constexpr std::size_t packetSize = 127;
inline constexpr std::size_t packetDataSize = 120;
inline constexpr std::size_t handshakeSize = 6;   // F0 7E channel type packet-number F7
inline constexpr std::size_t dumpRequestSize = 7; // F0 7E channel 03 sample-number F7

// Device channel 7F addresses every device.
inline constexpr std::uint8_t allChannels = 0x7F;

// Where every message keeps its device channel and its type.
inline constexpr std::size_t messageChannelIndex = 2;
inline constexpr std::size_t messageTypeIndex = 3;

// Packets are counted from 0 but numbered modulo 128, in one 7-bit byte.
constexpr std::uint8_t packetNumber(std::uint64_t index) {
    return static_cast<std::uint8_t>(index & 0x7F);
}

// Whether `message` is whole and `size` bytes long: F0 7E, 7-bit bytes, F7.
constexpr bool isFramed(std::span<const std::uint8_t> message, std::size_t size) {
    if (message.size() != size || message[0] != sysExStart || message[1] != nonRealTime ||
        message[size - 1] != sysExEnd) {
        return false;
    }
    for (std::size_t at = 2; at + 1 < size; ++at) {
        if (message[at] >= 0x80) {
            return false;
        }
    }
    return true;
}

} // namespace pelitor
