#include "sds/dump_header.hpp"

#include "sds/seven_bit.hpp"

namespace pelitor {

std::array<std::uint8_t, dumpHeaderSize> makeDumpHeader(const DumpHeader& header) {
    const SevenBitTriple period = splitSevenBits(header.periodNs);
    const SevenBitTriple length = splitSevenBits(header.wordCount);
    const SevenBitTriple loopStart = splitSevenBits(header.loopStart);
    const SevenBitTriple loopEnd = splitSevenBits(header.loopEnd);
    return {sysExStart,
            nonRealTime,
            header.deviceChannel,
            dumpHeaderType,
            static_cast<std::uint8_t>(header.sampleNumber & 0x7F),
            static_cast<std::uint8_t>((header.sampleNumber >> 7) & 0x7F),
            header.bitsPerSample,
            period.low,
            period.middle,
            period.high,
            length.low,
            length.middle,
            length.high,
            loopStart.low,
            loopStart.middle,
            loopStart.high,
            loopEnd.low,
            loopEnd.middle,
            loopEnd.high,
            header.loopType,
            sysExEnd};
}

} // namespace pelitor
