#include "sds/word_format.hpp"

#include <algorithm>
#include <array>

namespace pelitor {
namespace {

template <std::size_t sampleBytes, std::size_t wordBytes, std::uint32_t signFlip>
void encodeOne(const std::uint8_t* sample, std::uint8_t* word) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < sampleBytes; ++i) {
        value |= std::uint32_t{sample[i]} << (8 * i);
    }
    const std::uint32_t justified = (value ^ signFlip) << (wordBytes * 7 - sampleBytes * 8);
    for (std::size_t i = 0; i < wordBytes; ++i) {
        word[i] = (justified >> (7 * (wordBytes - 1 - i))) & 0x7F;
    }
}

// Compiled once per width, so that the inner loop knows its sizes.
template <std::size_t sampleBytes, std::size_t wordBytes, std::uint32_t signFlip>
void encodeWords(std::span<const std::uint8_t> samples, PacketData data) {
    constexpr std::size_t wordsPerPacket = packetDataSize / wordBytes;
    const std::size_t whole = std::min(wordsPerPacket, samples.size() / sampleBytes);
    for (std::size_t word = 0; word < whole; ++word) {
        encodeOne<sampleBytes, wordBytes, signFlip>(&samples[word * sampleBytes],
                                                    &data[word * wordBytes]);
    }
    std::size_t filled = whole * wordBytes;
    const std::size_t rest = samples.size() - whole * sampleBytes;
    if (whole < wordsPerPacket && rest > 0) {
        std::array<std::uint8_t, sampleBytes> completed{};
        std::copy_n(&samples[whole * sampleBytes], rest, completed.begin());
        encodeOne<sampleBytes, wordBytes, signFlip>(completed.data(), &data[filled]);
        filled += wordBytes;
    }
    // Words past the end of the sample are zero bytes, the lowest value in offset binary,
    // as pelitor has always filled them (not mid-scale, which would be silence).
    std::fill(data.begin() + static_cast<std::ptrdiff_t>(filled), data.end(), 0);
}

// 8-bit WAV data is already offset binary; 16- and 24-bit data is two's complement.
constexpr std::array<WordFormat, 3> wordFormats{{
    {8, 1, 2, encodeWords<1, 2, 0x00>},
    {16, 2, 3, encodeWords<2, 3, 0x8000>},
    {24, 3, 4, encodeWords<3, 4, 0x800000>},
}};

} // namespace

void encodeWord(std::int32_t value, int bitsPerWord, std::span<std::uint8_t> word) {
    const std::size_t wordBytes = bytesPerSdsWord(bitsPerWord);
    const std::uint32_t offsetBinary =
        (static_cast<std::uint32_t>(value) + (1U << (bitsPerWord - 1))) & ((1U << bitsPerWord) - 1);
    const std::uint32_t justified = offsetBinary << (wordBytes * 7 - bitsPerWord);
    for (std::size_t i = 0; i < wordBytes; ++i) {
        word[i] = (justified >> (7 * (wordBytes - 1 - i))) & 0x7F;
    }
}

std::int32_t decodeWord(std::span<const std::uint8_t> word, int bitsPerWord) {
    const std::size_t wordBytes = bytesPerSdsWord(bitsPerWord);
    std::uint32_t justified = 0;
    for (std::size_t i = 0; i < wordBytes; ++i) {
        justified = justified << 7 | (word[i] & 0x7FU);
    }
    const std::uint32_t offsetBinary = justified >> (wordBytes * 7 - bitsPerWord);
    return static_cast<std::int32_t>(offsetBinary) - (std::int32_t{1} << (bitsPerWord - 1));
}

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

} // namespace pelitor
