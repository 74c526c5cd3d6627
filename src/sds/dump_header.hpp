#pragma once

#include "sds/sysex.hpp"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

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

using DumpHeaderMessage = std::array<std::uint8_t, dumpHeaderSize>;

// Where each field starts: the sample number in two 7-bit bytes, the period, the length and
// the loop points in three, least significant first.
inline constexpr std::size_t headerSampleNumberIndex = 4;
inline constexpr std::size_t headerWidthIndex = 6;
inline constexpr std::size_t headerPeriodIndex = 7;
inline constexpr std::size_t headerWordCountIndex = 10;
inline constexpr std::size_t headerLoopStartIndex = 13;
inline constexpr std::size_t headerLoopEndIndex = 16;
inline constexpr std::size_t headerLoopTypeIndex = 19;

DumpHeaderMessage makeDumpHeader(const DumpHeader& header);

// The fields of a dump header message, read back as makeDumpHeader writes them. The framing
// and the values are the caller's to check.
DumpHeader parseDumpHeader(std::span<const std::uint8_t, dumpHeaderSize> message);

// What is wrong with a header's values, at the byte of the field that holds it.
struct HeaderFault {
    std::size_t index;
    std::string what;
};

// Words of 8 to 28 bits, a period that is not 0, and loop type 00, 01 or 7F: what a dump
// needs to be decoded at all.
std::optional<HeaderFault> headerFault(const DumpHeader& header);

} // namespace pelitor
