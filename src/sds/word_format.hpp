#pragma once

#include "sds/sysex.hpp"

#include <cstddef>
#include <cstdint>
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

// How WAV samples of some widths become SDS words: each word is the sample rounded or widened
// to the word's width, in offset binary, left-justified in as many 7-bit bytes as it needs,
// most significant first.
struct WordFormat {
    SampleWidths widths;
    std::size_t bytesPerWord; // in the SDS packet
    void (*encoder)(const WordFormat& format, std::span<const std::uint8_t> samples,
                    PacketData data);

    constexpr std::size_t bytesPerSample() const { return widths.containerBytes; }
    constexpr std::size_t wordsPerPacket() const { return packetDataSize / bytesPerWord; }
    constexpr std::size_t sampleBytesPerPacket() const {
        return wordsPerPacket() * bytesPerSample();
    }
    // Fills one packet's data from the samples that start there (as many as fit, a partial
    // last sample completed with zero bytes), and the words after them with zero bytes.
    void encodeWords(std::span<const std::uint8_t> samples, PacketData data) const {
        encoder(*this, samples, data);
    }
};

// For WAV widths of 8 to 32 bits in containers of 1 to 4 bytes that hold them, and words of 8
// to 28 bits. A narrower word is the sample rounded to the nearest value of its width, halves
// away from zero, the highest clipped; a wider one is the sample with zero bits below it.
WordFormat wordFormatFor(const SampleWidths& widths);

// A partial last sample counts as a word; its missing high bytes are zero.
std::uint64_t wordCount(std::uint64_t dataBytes, const WordFormat& format);

} // namespace pelitor
