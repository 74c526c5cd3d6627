#include "sds/dump_header.hpp"

#include "sds/seven_bit.hpp"

namespace pelitor {
namespace {

constexpr std::uint8_t dumpHeaderType = 0x01;
constexpr int headerDots = 9;

} // namespace

std::array<std::uint8_t, dumpHeaderSize> makeDumpHeader(const SdsSample& sample) {
    const SevenBitTriple period = splitSevenBits(sample.periodNs);
    const SevenBitTriple length = splitSevenBits(sample.wordCount);
    // Sample number 0, and no sustain loop: loop start, loop end and loop type all zero.
    return {sysExStart,
            nonRealTime,
            deviceChannel,
            dumpHeaderType,
            0x00,
            0x00,
            static_cast<std::uint8_t>(sample.bitsPerSample),
            period.low,
            period.middle,
            period.high,
            length.low,
            length.middle,
            length.high,
            0x00,
            0x00,
            0x00,
            0x00,
            0x00,
            0x00,
            0x00,
            sysExEnd};
}

void writeDumpHeader(std::ostream& sink, const SdsSample& sample, std::ostream& console) {
    const auto bytes = makeDumpHeader(sample);
    sink.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    for (int dot = 0; dot < headerDots; ++dot) {
        console << '.';
    }
}

} // namespace pelitor
