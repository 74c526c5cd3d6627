#include "sds/word_format.hpp"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace pelitor {
namespace {

using Encoder = void (*)(const WordFormat&, std::span<const std::uint8_t>, PacketData);
using EncodeOne = void (*)(const WordFormat&, const std::uint8_t* sample, std::uint8_t* word);

// Compiled once per pair of sizes, so that the inner loop knows them.
template <std::size_t sampleBytes, std::size_t wordBytes, EncodeOne encodeOne>
void encodeWords(const WordFormat& format, std::span<const std::uint8_t> samples, PacketData data) {
    constexpr std::size_t wordsPerPacket = packetDataSize / wordBytes;
    const std::size_t whole = std::min(wordsPerPacket, samples.size() / sampleBytes);
    for (std::size_t word = 0; word < whole; ++word) {
        encodeOne(format, &samples[word * sampleBytes], &data[word * wordBytes]);
    }
    std::size_t filled = whole * wordBytes;
    const std::size_t rest = samples.size() - whole * sampleBytes;
    if (whole < wordsPerPacket && rest > 0) {
        std::array<std::uint8_t, sampleBytes> completed{};
        std::copy_n(&samples[whole * sampleBytes], rest, completed.begin());
        encodeOne(format, completed.data(), &data[filled]);
        filled += wordBytes;
    }
    // Words past the end of the sample are zero bytes, the lowest value in offset binary,
    // as pelitor has always filled them (not mid-scale, which would be silence).
    std::fill(data.begin() + static_cast<std::ptrdiff_t>(filled), data.end(), 0);
}

// A sample that fills its container, made into a word of the same width: the sign bit flipped
// and the bits shifted into place, nothing else.
template <std::size_t sampleBytes, std::size_t wordBytes, std::uint32_t signFlip>
void encodeWhole(const WordFormat&, const std::uint8_t* sample, std::uint8_t* word) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < sampleBytes; ++i) {
        value |= std::uint32_t{sample[i]} << (8 * i);
    }
    const std::uint32_t justified = (value ^ signFlip) << (wordBytes * 7 - sampleBytes * 8);
    for (std::size_t i = 0; i < wordBytes; ++i) {
        word[i] = (justified >> (7 * (wordBytes - 1 - i))) & 0x7F;
    }
}

// The signed value of a sample's top `wavBits` bits; those below are not looked at. 8-bit
// data is offset binary, wider data two's complement.
template <std::size_t sampleBytes> std::int32_t wavValue(const std::uint8_t* sample, int wavBits) {
    std::uint32_t raw = 0;
    for (std::size_t i = 0; i < sampleBytes; ++i) {
        raw |= std::uint32_t{sample[i]} << (8 * i);
    }
    if constexpr (sampleBytes == 1) {
        raw ^= 0x80;
    }
    const auto top = static_cast<std::int32_t>(raw << (32 - 8 * sampleBytes));
    return top >> (32 - wavBits);
}

// A value of `wavBits` bits at `wordBits`: widened with zero bits below it, or rounded to the
// nearest, halves away from zero, the highest clipped to the word's highest.
std::int32_t wordValue(std::int32_t sample, int wavBits, int wordBits) {
    if (wordBits >= wavBits) {
        return sample * (std::int32_t{1} << (wordBits - wavBits));
    }
    const int dropped = wavBits - wordBits;
    const std::int64_t magnitude =
        (std::abs(std::int64_t{sample}) + (std::int64_t{1} << (dropped - 1))) >> dropped;
    const std::int64_t highest = (std::int64_t{1} << (wordBits - 1)) - 1;
    return static_cast<std::int32_t>(sample < 0 ? -magnitude : std::min(magnitude, highest));
}

template <std::size_t sampleBytes>
void encodeAny(const WordFormat& format, const std::uint8_t* sample, std::uint8_t* word) {
    const SampleWidths& widths = format.widths;
    encodeWord(
        wordValue(wavValue<sampleBytes>(sample, widths.wavBits), widths.wavBits, widths.wordBits),
        widths.wordBits, std::span(word, format.bytesPerWord));
}

// The common widths, each in its usual container and sent as it is, take the shortest way.
// 8-bit WAV data is already offset binary; 16- and 24-bit data is two's complement.
struct WholeSamples {
    int bits;
    Encoder encoder;
};
constexpr std::array<WholeSamples, 3> wholeSamples{{
    {8, encodeWords<1, 2, encodeWhole<1, 2, 0x00>>},
    {16, encodeWords<2, 3, encodeWhole<2, 3, 0x8000>>},
    {24, encodeWords<3, 4, encodeWhole<3, 4, 0x800000>>},
}};

// Every other pair of container and word sizes, by container bytes and word bytes.
template <std::size_t sampleBytes>
constexpr std::array<Encoder, 3> anyWidthFrom{encodeWords<sampleBytes, 2, encodeAny<sampleBytes>>,
                                              encodeWords<sampleBytes, 3, encodeAny<sampleBytes>>,
                                              encodeWords<sampleBytes, 4, encodeAny<sampleBytes>>};
constexpr std::array<std::array<Encoder, 3>, 4> anyWidth{anyWidthFrom<1>, anyWidthFrom<2>,
                                                         anyWidthFrom<3>, anyWidthFrom<4>};

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

WordFormat wordFormatFor(const SampleWidths& widths) {
    const std::size_t wordBytes = bytesPerSdsWord(widths.wordBits);
    for (const WholeSamples& whole : wholeSamples) {
        if (widths ==
            SampleWidths{static_cast<std::size_t>(whole.bits / 8), whole.bits, whole.bits}) {
            return {widths, wordBytes, whole.encoder};
        }
    }
    return {widths, wordBytes, anyWidth[widths.containerBytes - 1][wordBytes - 2]};
}

std::uint64_t wordCount(std::uint64_t dataBytes, const WordFormat& format) {
    return (dataBytes + format.bytesPerSample() - 1) / format.bytesPerSample();
}

} // namespace pelitor
