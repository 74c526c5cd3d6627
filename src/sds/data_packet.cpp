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
    packet[2] = deviceChannel;
    packet[3] = dataPacketType;
    packet[packetNumberIndex] = static_cast<std::uint8_t>(index & 0x7F);
    const std::size_t first =
        std::min<std::uint64_t>(index * format.sampleBytesPerPacket(), samples.size());
    format.encodeWords(
        samples.subspan(first, std::min(format.sampleBytesPerPacket(), samples.size() - first)),
        std::span(packet).subspan<packetDataIndex, packetDataSize>());
    packet[packetChecksumIndex] = packetChecksum(packet);
    packet[packetSize - 1] = sysExEnd;
    return packet;
}

} // namespace pelitor
