#pragma once

#include "sds/sysex.hpp"

#include <array>
#include <cstdint>

namespace pelitor {

inline constexpr std::uint8_t loopForward = 0x00;
inline constexpr std::uint8_t loopAlternating = 0x01;
inline constexpr std::uint8_t loopOff = 0x7F;

// Everything a dump header announces. The defaults are what pelitor has always written:
// device channel 0, sample number 0, and loop type 00 with start and end 0, as other SDS
// writers write it too (strictly, 00 is a forward loop over the first word).
struct DumpHeader {
    std::uint8_t deviceChannel = 0;
    std::uint16_t sampleNumber = 0; // 14 bits
    std::uint8_t bitsPerSample = 0;
    std::uint32_t periodNs = 0; // 21 bits
    std::uint32_t wordCount = 0;
    std::uint32_t loopStart = 0;
    std::uint32_t loopEnd = 0;
    std::uint8_t loopType = loopForward;
};

std::array<std::uint8_t, dumpHeaderSize> makeDumpHeader(const DumpHeader& header);

} // namespace pelitor
