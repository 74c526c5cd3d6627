#pragma once

#include <cstddef>
#include <cstdint>

namespace pelitor {

// Every SDS message is a non-real-time universal System Exclusive message:
// F0 7E <device channel> <message type> ... F7.
inline constexpr std::uint8_t sysExStart = 0xF0;
inline constexpr std::uint8_t nonRealTime = 0x7E;
inline constexpr std::uint8_t sysExEnd = 0xF7;

// The message types of the sample dump and of its handshake.
inline constexpr std::uint8_t dumpHeaderType = 0x01;
inline constexpr std::uint8_t dataPacketType = 0x02;
inline constexpr std::uint8_t waitType = 0x7C;
inline constexpr std::uint8_t cancelType = 0x7D;
inline constexpr std::uint8_t nakType = 0x7E;
inline constexpr std::uint8_t ackType = 0x7F;

inline constexpr std::size_t dumpHeaderSize = 21;
inline constexpr std::size_t packetSize = 127;
inline constexpr std::size_t packetDataSize = 120;
inline constexpr std::size_t handshakeSize = 6; // F0 7E channel type packet-number F7

// Device channel 7F addresses every device.
inline constexpr std::uint8_t allChannels = 0x7F;

} // namespace pelitor
