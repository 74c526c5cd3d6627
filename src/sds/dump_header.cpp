#include "sds/dump_header.hpp"

#include "sds/hex_byte.hpp"
#include "sds/seven_bit.hpp"
#include "sds/word_format.hpp"

namespace pelitor {
namespace {

void putTriple(DumpHeaderMessage& message, std::size_t at, std::uint32_t value) {
    const SevenBitTriple triple = splitSevenBits(value);
    message[at] = triple.low;
    message[at + 1] = triple.middle;
    message[at + 2] = triple.high;
}

std::uint32_t tripleAt(std::span<const std::uint8_t, dumpHeaderSize> message, std::size_t at) {
    return joinSevenBits(message[at], message[at + 1], message[at + 2]);
}

} // namespace

DumpHeaderMessage makeDumpHeader(const DumpHeader& header) {
    DumpHeaderMessage message{};
    message[0] = sysExStart;
    message[1] = nonRealTime;
    message[messageChannelIndex] = header.deviceChannel;
    message[messageTypeIndex] = dumpHeaderType;
    const SevenBitPair sampleNumber = splitSevenBitPair(header.sampleNumber);
    message[headerSampleNumberIndex] = sampleNumber.low;
    message[headerSampleNumberIndex + 1] = sampleNumber.high;
    message[headerWidthIndex] = header.bitsPerSample;
    putTriple(message, headerPeriodIndex, header.periodNs);
    putTriple(message, headerWordCountIndex, header.wordCount);
    putTriple(message, headerLoopStartIndex, header.loopStart);
    putTriple(message, headerLoopEndIndex, header.loopEnd);
    message[headerLoopTypeIndex] = header.loopType;
    message[dumpHeaderSize - 1] = sysExEnd;
    return message;
}

DumpHeader parseDumpHeader(std::span<const std::uint8_t, dumpHeaderSize> message) {
    return {.deviceChannel = message[messageChannelIndex],
            .sampleNumber = joinSevenBitPair(message[headerSampleNumberIndex],
                                             message[headerSampleNumberIndex + 1]),
            .bitsPerSample = message[headerWidthIndex],
            .periodNs = tripleAt(message, headerPeriodIndex),
            .wordCount = tripleAt(message, headerWordCountIndex),
            .loopStart = tripleAt(message, headerLoopStartIndex),
            .loopEnd = tripleAt(message, headerLoopEndIndex),
            .loopType = message[headerLoopTypeIndex]};
}

std::optional<HeaderFault> headerFault(const DumpHeader& header) {
    if (header.bitsPerSample < narrowestWord || header.bitsPerSample > widestWord) {
        return HeaderFault{headerWidthIndex, "words of " + std::to_string(header.bitsPerSample) +
                                                 " bits; SDS words are 8 to 28 bits"};
    }
    if (header.periodNs == 0) {
        return HeaderFault{headerPeriodIndex, "a sample period of 0 ns"};
    }
    if (header.loopType != loopForward && header.loopType != loopAlternating &&
        header.loopType != loopOff) {
        return HeaderFault{headerLoopTypeIndex,
                           "loop type " + hexByte(header.loopType) + "; 00, 01 or 7F expected"};
    }
    return std::nullopt;
}

} // namespace pelitor
