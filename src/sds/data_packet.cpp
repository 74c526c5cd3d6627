#include "sds/data_packet.hpp"

#include <algorithm>

namespace pelitor {

std::uint8_t packetChecksum(std::span<const std::uint8_t, packetSize> packet) {
    std::uint8_t checksum = 0;
    for (std::size_t i = 1; i < packetChecksumIndex; ++i) {
        checksum ^= packet[i];
    }
    return checksum;
}

DataPacket makeDataPacket(std::uint8_t deviceChannel, std::uint64_t index,
                          std::span<const std::uint8_t> samples, const WordFormat& format) {
    DataPacket packet;
    packet[0] = sysExStart;
    packet[1] = nonRealTime;
    packet[messageChannelIndex] = deviceChannel;
    packet[messageTypeIndex] = dataPacketType;
    packet[packetNumberIndex] = packetNumber(index);
    const std::size_t first =
        std::min<std::uint64_t>(index * format.sampleBytesPerPacket(), samples.size());
    format.encodeWords(
        samples.subspan(first, std::min(format.sampleBytesPerPacket(), samples.size() - first)),
        std::span(packet).subspan<packetDataIndex, packetDataSize>());
    packet[packetChecksumIndex] = packetChecksum(packet);
    packet[packetSize - 1] = sysExEnd;
    return packet;
}

PacketFields readDataPacket(std::span<const std::uint8_t, packetSize> packet) {
    return {.deviceChannel = packet[messageChannelIndex],
            .number = packet[packetNumberIndex],
            .data = packet.subspan<packetDataIndex, packetDataSize>(),
            .storedChecksum = packet[packetChecksumIndex],
            .checksum = packetChecksum(packet)};
}

void readdressPacket(std::span<std::uint8_t, packetSize> packet, std::uint8_t deviceChannel) {
    packet[messageChannelIndex] = deviceChannel;
    packet[packetChecksumIndex] = packetChecksum(packet);
}

} // namespace pelitor
