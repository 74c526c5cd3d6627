#pragma once

#include "sds/sysex.hpp"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace pelitor {

// The short messages of a dump: the four handshake messages a receiver answers with (and a
// sender may send: CANCEL, WAIT), and the request that asks a sampler for a dump.

using HandshakeMessage = std::array<std::uint8_t, handshakeSize>;
using DumpRequestMessage = std::array<std::uint8_t, dumpRequestSize>;

inline constexpr std::size_t handshakeNumberIndex = 4;
inline constexpr std::size_t requestSampleNumberIndex = 4; // two 7-bit bytes, low first

// A handshake message as read: ACK, NAK, CANCEL or WAIT about the packet numbered
// `packetNumber` (0 to 127).
struct Reply {
    std::uint8_t deviceChannel = 0;
    std::uint8_t type = 0;
    std::uint8_t packetNumber = 0;

    friend bool operator==(const Reply&, const Reply&) = default;
};

struct DumpRequest {
    std::uint8_t deviceChannel = 0;
    std::uint16_t sampleNumber = 0; // 14 bits

    friend bool operator==(const DumpRequest&, const DumpRequest&) = default;
};

// ACK, NAK, CANCEL or WAIT about packet `packetIndex`, counted from 0: the message carries
// its number, the index modulo 128.
HandshakeMessage makeHandshake(std::uint8_t type, std::uint8_t deviceChannel,
                               std::uint64_t packetIndex);

// The handshake message `message` is, if it is one whole.
std::optional<Reply> parseHandshake(std::span<const std::uint8_t> message);

DumpRequestMessage makeDumpRequest(const DumpRequest& request);

// The dump request `message` is, if it is one whole.
std::optional<DumpRequest> parseDumpRequest(std::span<const std::uint8_t> message);

} // namespace pelitor
