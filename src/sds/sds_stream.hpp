#pragma once

#include "common/failure.hpp"
#include "sds/dump_header.hpp"
#include "sds/seven_bit.hpp"
#include "sds/sysex.hpp"
#include "sds/word_format.hpp"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace pelitor {

// A checked SDS stream: one dump header, then exactly the data packets it announces.
struct SdsStream {
    DumpHeader header;
    std::uint64_t packets = 0;
};

// Checks that a file of `fileSize` bytes is one dump header of at least one word followed by
// the data packets it announces, all framed, numbered and checksummed right, with nothing
// after them. `bytes` are
// the file's first bytes: all of them, or at least one more than the longest valid stream.
// The failure (dataError) names the first fault and its byte offset: "byte 148: packet 1:
// checksum 12, 34 expected".
Result<SdsStream> checkSdsStream(std::span<const std::uint8_t> bytes, std::uint64_t fileSize);

inline Result<SdsStream> checkSdsStream(std::span<const std::uint8_t> wholeFile) {
    return checkSdsStream(wholeFile, wholeFile.size());
}

// Where packet `index` of a stream starts.
constexpr std::size_t packetOffset(std::uint64_t index) {
    return dumpHeaderSize + static_cast<std::size_t>(index) * packetSize;
}

// The longest stream that can be valid: the most words, of the widest kind.
inline constexpr std::size_t longestSdsStream =
    packetOffset(packetCount(maxSevenBitTriple, widestWord));

// A checked stream with every message addressed to `deviceChannel`, and the checksum of every
// packet made for it.
std::vector<std::uint8_t> onDeviceChannel(std::span<const std::uint8_t> stream,
                                          const SdsStream& checked, std::uint8_t deviceChannel);

} // namespace pelitor
