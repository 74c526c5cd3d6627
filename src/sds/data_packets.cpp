#include "sds/data_packets.hpp"

#include "sds/sds_sample.hpp"

#include <algorithm>
#include <array>

namespace pelitor {
namespace {

constexpr std::uint8_t dataPacketType = 0x02;
constexpr std::size_t packetNumberIndex = 4;
constexpr std::size_t packetDataIndex = 5;
constexpr std::uint8_t packetNumberMask = 0x7F; // numbers run 0..127, then round again

constexpr std::array<WordFormat, 3> wordFormats{{
    {8, 1, 2, 0x00, 'o'},
    {16, 2, 3, 0x8000, 'h'},
    {24, 3, 4, 0x800000, 't'},
}};

} // namespace

std::optional<WordFormat> wordFormatFor(int bitsPerSample) {
    for (const WordFormat& format : wordFormats) {
        if (format.bitsPerSample == bitsPerSample) {
            return format;
        }
    }
    return std::nullopt;
}

std::uint64_t wordCount(std::uint64_t dataBytes, const WordFormat& format) {
    return (dataBytes + format.bytesPerSample - 1) / format.bytesPerSample;
}

std::uint64_t packetCount(std::uint64_t words, const WordFormat& format) {
    return (words + format.wordsPerPacket() - 1) / format.wordsPerPacket();
}

void encodeWord(std::span<const std::uint8_t> sample, const WordFormat& format,
                std::span<std::uint8_t> word) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < sample.size(); ++i) {
        value |= std::uint32_t{sample[i]} << (8 * i);
    }
    const auto bits = static_cast<unsigned>(format.bytesPerWord * 7);
    const std::uint32_t justified = (value ^ format.signFlip)
                                    << (bits - static_cast<unsigned>(format.bitsPerSample));
    for (std::size_t i = 0; i < format.bytesPerWord; ++i) {
        word[i] = (justified >> (7 * (format.bytesPerWord - 1 - i))) & 0x7F;
    }
}

void writeDataPackets(std::ostream& sink, std::span<const std::uint8_t> data,
                      const WordFormat& format, std::ostream& console, bool liveProgress) {
    const std::uint64_t packets = packetCount(wordCount(data.size(), format), format);
    const std::size_t packetSampleBytes = format.wordsPerPacket() * format.bytesPerSample;
    std::array<std::uint8_t, packetSize> packet{};
    packet[0] = sysExStart;
    packet[1] = nonRealTime;
    packet[2] = deviceChannel;
    packet[3] = dataPacketType;
    packet[packetSize - 1] = sysExEnd;

    for (std::uint64_t number = 0; number < packets; ++number) {
        packet[packetNumberIndex] = static_cast<std::uint8_t>(number & packetNumberMask);
        // Words past the end of the data are filled with zero bytes, the lowest sample value.
        std::fill(packet.begin() + packetDataIndex, packet.end() - 2, 0);
        const auto samples =
            data.subspan(std::min<std::size_t>(number * packetSampleBytes, data.size()));
        for (std::size_t word = 0; word < format.wordsPerPacket(); ++word) {
            const std::size_t first = word * format.bytesPerSample;
            if (first >= samples.size()) {
                break;
            }
            encodeWord(
                samples.subspan(first, std::min(format.bytesPerSample, samples.size() - first)),
                format,
                std::span(packet).subspan(packetDataIndex + word * format.bytesPerWord,
                                          format.bytesPerWord));
        }
        std::uint8_t checksum = 0;
        for (std::size_t i = 1; i < packetSize - 2; ++i) {
            checksum ^= packet[i];
        }
        packet[packetSize - 2] = checksum;

        sink.write(reinterpret_cast<const char*>(packet.data()), packet.size());
        sink.flush(); // each message reaches the file before the next one is built
        console << (sink.good() ? '.' : format.failMark);
        if (liveProgress) {
            console.flush();
        }
    }
}

} // namespace pelitor
