#include "sds/sds_stream.hpp"

#include "sds/data_packet.hpp"
#include "sds/hex_byte.hpp"

#include <optional>
#include <string>

namespace pelitor {
namespace {

Failure fault(std::size_t offset, const std::string& what) {
    return {FailureKind::dataError, "byte " + std::to_string(offset) + ": " + what};
}

std::string packetName(std::uint64_t index) {
    return "packet " + std::to_string(index);
}

// What every message shares: F0 7E first, then 7-bit bytes, its type at byte 3, and F7 as its
// last byte.
std::optional<Failure> framingFault(std::span<const std::uint8_t> bytes, std::size_t offset,
                                    std::size_t size, std::uint8_t type, const std::string& name) {
    const std::size_t last = offset + size - 1;
    for (std::size_t at = offset; at <= last; ++at) {
        if (at == bytes.size()) {
            return fault(at, "the file ends inside " + name + " (" + std::to_string(at - offset) +
                                 " of " + std::to_string(size) + " bytes)");
        }
        const std::uint8_t byte = bytes[at];
        if (at == offset && byte != sysExStart) {
            return fault(at, "F0 expected at the start of " + name + ", found " + hexByte(byte));
        }
        if (at == offset + 1 && byte != nonRealTime) {
            return fault(at, name + " is not a non-real-time universal message (7E expected, " +
                                 "found " + hexByte(byte) + ")");
        }
        if (at == last && byte != sysExEnd) {
            return fault(at, "F7 expected at the end of " + name + ", found " + hexByte(byte));
        }
        if (at > offset && at < last && byte >= 0x80) {
            return fault(at, name + " holds the status byte " + hexByte(byte) +
                                 " (only 00 to 7F may come between F0 and F7)");
        }
        if (at == offset + messageTypeIndex && byte != type) {
            return fault(at, "message type " + hexByte(byte) + " where " + name + " (type " +
                                 hexByte(type) + ") should be");
        }
    }
    return std::nullopt;
}

Result<DumpHeader> checkHeader(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) {
        return fault(0, "the file is empty");
    }
    const std::string name = "the dump header";
    if (auto framing = framingFault(bytes, 0, dumpHeaderSize, dumpHeaderType, name)) {
        return *framing;
    }
    const DumpHeader header = parseDumpHeader(bytes.first<dumpHeaderSize>());
    if (auto values = headerFault(header)) {
        return fault(values->index, values->what);
    }
    // Valid as a dump, but sent it would leave the sampler's slot without its sound.
    if (header.wordCount == 0) {
        return fault(headerWordCountIndex, "the dump header announces an empty sample (0 words), "
                                           "which a sampler would store over the slot's sound");
    }
    return header;
}

std::optional<Failure> packetFault(std::span<const std::uint8_t> bytes, std::uint64_t index,
                                   std::uint8_t deviceChannel) {
    const std::size_t offset = packetOffset(index);
    const std::string name = packetName(index);
    if (auto framing = framingFault(bytes, offset, packetSize, dataPacketType, name)) {
        return framing;
    }
    const PacketFields packet = readDataPacket(bytes.subspan(offset).first<packetSize>());
    if (packet.deviceChannel != deviceChannel) {
        return fault(offset + messageChannelIndex,
                     name + " is for device channel " + std::to_string(packet.deviceChannel) +
                         ", the dump header for " + std::to_string(deviceChannel));
    }
    const std::uint8_t expected = packetNumber(index);
    if (packet.number != expected) {
        return fault(offset + packetNumberIndex, name + " is numbered " +
                                                     std::to_string(packet.number) + ", " +
                                                     std::to_string(expected) + " expected");
    }
    if (!packet.checksumMatches()) {
        return fault(offset + packetChecksumIndex, name + ": checksum " +
                                                       hexByte(packet.storedChecksum) + ", " +
                                                       hexByte(packet.checksum) + " expected");
    }
    return std::nullopt;
}

} // namespace

Result<SdsStream> checkSdsStream(std::span<const std::uint8_t> bytes, std::uint64_t fileSize) {
    const auto header = checkHeader(bytes);
    if (!header) {
        return header.failure();
    }
    const std::uint64_t packets = packetCount(header->wordCount, header->bitsPerSample);
    const std::string announced = "the dump header announces " + std::to_string(header->wordCount) +
                                  " words in " + std::to_string(packets) + " packets";
    for (std::uint64_t index = 0; index < packets; ++index) {
        if (packetOffset(index) == bytes.size()) {
            return fault(bytes.size(),
                         "the file ends after " + std::to_string(index) + " packets; " + announced);
        }
        if (auto failure = packetFault(bytes, index, header->deviceChannel)) {
            return *failure;
        }
    }
    const std::size_t end = packetOffset(packets);
    if (fileSize > end) {
        const std::uint64_t extra = fileSize - end;
        return fault(end, std::to_string(extra) + (extra == 1 ? " byte" : " bytes") +
                              " after the last packet; " + announced);
    }
    return SdsStream{*header, packets};
}

std::vector<std::uint8_t> onDeviceChannel(std::span<const std::uint8_t> stream,
                                          const SdsStream& checked, std::uint8_t deviceChannel) {
    std::vector<std::uint8_t> bytes(stream.begin(), stream.end());
    bytes[messageChannelIndex] = deviceChannel;
    for (std::uint64_t index = 0; index < checked.packets; ++index) {
        readdressPacket(std::span(bytes).subspan(packetOffset(index)).first<packetSize>(),
                        deviceChannel);
    }
    return bytes;
}

} // namespace pelitor
