#include "sds/handshake_message.hpp"

#include "sds/seven_bit.hpp"

namespace pelitor {
HandshakeMessage makeHandshake(std::uint8_t type, std::uint8_t deviceChannel,
                               std::uint64_t packetIndex) {
    return {sysExStart, nonRealTime, deviceChannel, type, packetNumber(packetIndex), sysExEnd};
}

std::optional<Reply> parseHandshake(std::span<const std::uint8_t> message) {
    if (!isFramed(message, handshakeSize) || !isHandshakeType(message[messageTypeIndex])) {
        return std::nullopt;
    }
    return Reply{message[messageChannelIndex], message[messageTypeIndex],
                 message[handshakeNumberIndex]};
}

DumpRequestMessage makeDumpRequest(const DumpRequest& request) {
    const SevenBitPair sampleNumber = splitSevenBitPair(request.sampleNumber);
    return {sysExStart,      nonRealTime,      request.deviceChannel,
            dumpRequestType, sampleNumber.low, sampleNumber.high,
            sysExEnd};
}

std::optional<DumpRequest> parseDumpRequest(std::span<const std::uint8_t> message) {
    if (!isFramed(message, dumpRequestSize) || message[messageTypeIndex] != dumpRequestType) {
        return std::nullopt;
    }
    return DumpRequest{
        message[messageChannelIndex],
        joinSevenBitPair(message[requestSampleNumberIndex], message[requestSampleNumberIndex + 1])};
}

} // namespace pelitor
