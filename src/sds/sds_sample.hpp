#pragma once

#include <cstdint>

namespace pelitor {

// Every message goes to device channel 0 and describes sample number 0.
inline constexpr std::uint8_t sysExStart = 0xF0;
inline constexpr std::uint8_t nonRealTime = 0x7E;
inline constexpr std::uint8_t sysExEnd = 0xF7;
inline constexpr std::uint8_t deviceChannel = 0x00;

// What the dump header announces about the sample that the data packets then carry.
struct SdsSample {
    int bitsPerSample = 0;
    std::uint32_t periodNs = 0;
    std::uint32_t wordCount = 0;
};

} // namespace pelitor
