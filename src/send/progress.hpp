#pragma once

#include "sds/sds_stream.hpp"
#include "send/handshake.hpp"

#include <cstdint>
#include <string>
#include <string_view>

namespace pelitor::send {

// Where a transfer stands, for the progress line.
struct Progress {
    std::uint64_t done = 0; // data packets through
    std::uint64_t total = 0;
    bool onHeader = true;
    bool closedLoop = false;
    bool samplerWaits = false;
    std::uint64_t resent = 0;
    Time sinceFirstPacket{};
};

// "voice.sds: 120 of 1103 packets (10%), closed loop, 2 resent, 0:42 left"
std::string progressLine(std::string_view name, const Progress& progress);

// "sent voice.sds: 1103 packets in 47.0 s, closed loop, 2 resent"
std::string sentLine(std::string_view name, std::uint64_t packets, Time elapsed, bool closedLoop,
                     std::uint64_t resent);

// What --check says of a valid file: width, rate, length, packets, loop, channel and number.
std::string streamSummary(std::string_view name, const SdsStream& stream);

} // namespace pelitor::send
