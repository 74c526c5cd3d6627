#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <span>

namespace pelitor {

inline constexpr std::size_t packetSize = 127;
inline constexpr std::size_t packetDataSize = 120;

using PacketData = std::span<std::uint8_t, packetDataSize>;

// How WAV samples of one width become SDS words: each word is the sample in offset binary,
// left-justified in as many 7-bit bytes as it needs, most significant first.
struct WordFormat {
    int bitsPerSample;
    std::size_t bytesPerSample; // in the WAV data
    std::size_t bytesPerWord;   // in the SDS packet
    char failMark;              // the progress mark once writing has failed
    // Fills one packet's data from the samples that start there (as many as fit, a partial
    // last sample completed with zero bytes), and the words after them with zero bytes.
    void (*encodeWords)(std::span<const std::uint8_t> samples, PacketData data);

    constexpr std::size_t wordsPerPacket() const { return packetDataSize / bytesPerWord; }
};

std::optional<WordFormat> wordFormatFor(int bitsPerSample);

// A partial last sample counts as a word; its missing high bytes are zero.
std::uint64_t wordCount(std::uint64_t dataBytes, const WordFormat& format);

std::uint64_t packetCount(std::uint64_t words, const WordFormat& format);

// Encodes one little-endian sample, of which `sample` may hold fewer bytes than a whole one.
void encodeWord(std::span<const std::uint8_t> sample, const WordFormat& format,
                std::span<std::uint8_t> word);

// Writes every data packet for the sample data, flushing the sink after each packet and
// printing one progress mark per packet: "." while the sink is good, the fail mark after.
// With liveProgress the console is flushed after every mark too.
void writeDataPackets(std::ostream& sink, std::span<const std::uint8_t> data,
                      const WordFormat& format, std::ostream& console, bool liveProgress);

} // namespace pelitor
