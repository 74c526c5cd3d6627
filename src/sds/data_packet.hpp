#pragma once

#include "sds/sysex.hpp"
#include "sds/word_format.hpp"

#include <array>
#include <cstdint>
#include <span>

namespace pelitor {

using DataPacket = std::array<std::uint8_t, packetSize>;

inline constexpr std::size_t packetNumberIndex = 4;
inline constexpr std::size_t packetDataIndex = 5;
inline constexpr std::size_t packetChecksumIndex = packetSize - 2;

// The XOR of every byte between F0 and the checksum itself.
std::uint8_t packetChecksum(std::span<const std::uint8_t, packetSize> packet);

// Data packet `index` (counted from 0; its number is the index modulo 128) of the sample held
// in `samples`, the whole sample data as the WAV file stores it.
DataPacket makeDataPacket(std::uint8_t deviceChannel, std::uint64_t index,
                          std::span<const std::uint8_t> samples, const WordFormat& format);

// What a data packet carries, as a receiver reads it; its framing is the caller's to check.
struct PacketFields {
    std::uint8_t deviceChannel = 0;
    std::uint8_t number = 0;
    std::span<const std::uint8_t, packetDataSize> data;
    std::uint8_t storedChecksum = 0;
    std::uint8_t checksum = 0; // made from the bytes as they came

    bool checksumMatches() const { return storedChecksum == checksum; }
};

PacketFields readDataPacket(std::span<const std::uint8_t, packetSize> packet);

// The packet addressed to `deviceChannel` instead, with its checksum made for it.
void readdressPacket(std::span<std::uint8_t, packetSize> packet, std::uint8_t deviceChannel);

} // namespace pelitor
