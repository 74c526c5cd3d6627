#pragma once

#include "sds/dump_header.hpp"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace pelitor::receive {

// What is said once a dump is in its file: "decoded sample 3 into kick.wav: 16-bit, 44100 Hz,
// 22050 words (0.50 s), loop 100..22049 forward", with a word on widths that a WAV cannot
// hold as they are.
std::string decodedLine(std::string_view output, const DumpHeader& header, bool wav);

// What is said once a dump from a port is in its file: "received sample 3 into kick.wav:
// 16-bit, 44100 Hz, 22050 words (0.50 s), loop 100..22049 forward, 552 packets in 23.6 s,
// 1 resent", with the same word on widths.
std::string receivedLine(std::string_view output, const DumpHeader& header, bool wav,
                         std::uint64_t packets, std::chrono::nanoseconds elapsed,
                         std::uint64_t resent);

} // namespace pelitor::receive
