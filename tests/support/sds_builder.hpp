#pragma once

#include "sds/data_packet.hpp"
#include "sds/dump_header.hpp"

#include <cstdint>
#include <vector>

namespace pelitor::test {

// A valid SDS stream of `words` pseudo-random words of 8, 16 or 24 bits, as pelitor writes it.
inline std::vector<std::uint8_t> sdsStream(std::uint32_t words, int bits = 16,
                                           std::uint8_t channel = 0, std::uint32_t seed = 1) {
    const WordFormat format = wordFormatFor({static_cast<std::size_t>(bits / 8), bits, bits});
    std::vector<std::uint8_t> samples(words * format.bytesPerSample());
    for (auto& byte : samples) {
        seed = seed * 1664525U + 1013904223U;
        byte = static_cast<std::uint8_t>(seed >> 24);
    }
    const auto header = makeDumpHeader({.deviceChannel = channel,
                                        .bitsPerSample = static_cast<std::uint8_t>(bits),
                                        .periodNs = 22675,
                                        .wordCount = words});
    std::vector<std::uint8_t> stream(header.begin(), header.end());
    for (std::uint64_t index = 0; index < packetCount(words, bits); ++index) {
        const DataPacket packet = makeDataPacket(channel, index, samples, format);
        stream.insert(stream.end(), packet.begin(), packet.end());
    }
    return stream;
}

} // namespace pelitor::test
