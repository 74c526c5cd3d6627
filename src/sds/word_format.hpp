#pragma once

#include "sds/sysex.hpp"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace pelitor {

using PacketData = std::span<std::uint8_t, packetDataSize>;

// Words are 8 to 28 bits wide.
inline constexpr int narrowestWord = 8;
inline constexpr int widestWord = 28;

// How wide a WAV's samples are and the words made of them: each sample takes `containerBytes`
// bytes of the data (little-endian, two's complement, offset binary at 8 bits), of which the
// top `wavBits` count; each word is `wordBits` wide.
struct SampleWidths {
    std::size_t containerBytes = 2;
    int wavBits = 16;
    int wordBits = 16;

    bool operator==(const SampleWidths&) const = default;
};

// An SDS word of `bitsPerWord` bits takes as many 7-bit bytes as it needs.
constexpr std::size_t bytesPerSdsWord(int bitsPerWord) {
    return static_cast<std::size_t>(bitsPerWord + 6) / 7;
}

// How many data packets carry `words` words of `bitsPerWord` bits.
constexpr std::uint64_t packetCount(std::uint64_t words, int bitsPerWord) {
    const std::uint64_t wordsPerPacket = packetDataSize / bytesPerSdsWord(bitsPerWord);
    return (words + wordsPerPacket - 1) / wordsPerPacket;
}

// One signed value (within the range of `bitsPerWord` bits, 8 to 28) as an SDS word: offset
// binary, left-justified in bytesPerSdsWord(bitsPerWord) 7-bit bytes, most significant first.
void encodeWord(std::int32_t value, int bitsPerWord, std::span<std::uint8_t> word);

// The signed value an SDS word of `bitsPerWord` bits carries in its first
// bytesPerSdsWord(bitsPerWord) bytes; the bits right of the word are not looked at.
std::int32_t decodeWord(std::span<const std::uint8_t> word, int bitsPerWord);

// How WAV samples of one width become SDS words: each word is the sample in offset binary,
// left-justified in as many 7-bit bytes as it needs, most significant first.
struct WordFormat {
    int bitsPerSample;
    std::size_t bytesPerSample; // in the WAV data
    std::size_t bytesPerWord;   // in the SDS packet
    // Fills one packet's data from the samples that start there (as many as fit, a partial
    // last sample completed with zero bytes), and the words after them with zero bytes.
    void (*encodeWords)(std::span<const std::uint8_t> samples, PacketData data);

    constexpr std::size_t wordsPerPacket() const { return packetDataSize / bytesPerWord; }
    constexpr std::size_t sampleBytesPerPacket() const { return wordsPerPacket() * bytesPerSample; }
};

// The 8-, 16- and 24-bit formats; other widths have none.
std::optional<WordFormat> wordFormatFor(int bitsPerSample);

// A partial last sample counts as a word; its missing high bytes are zero.
std::uint64_t wordCount(std::uint64_t dataBytes, const WordFormat& format);

} // namespace pelitor
