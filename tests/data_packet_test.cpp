#include "sds/data_packet.hpp"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace pelitor {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Samples of 8, 16 or 24 bits in their usual containers, made into words of their width.
WordFormat format(int bits) {
    return wordFormatFor({static_cast<std::size_t>(bits / 8), bits, bits});
}

// The first word of the first packet of a sample that is this one sample.
Bytes firstWord(const WordFormat& format, const Bytes& sample) {
    const DataPacket packet = makeDataPacket(0, 0, sample, format);
    return Bytes(packet.begin() + packetDataIndex,
                 packet.begin() + packetDataIndex + static_cast<long>(format.bytesPerWord));
}

Bytes firstWord(int bits, const Bytes& sample) {
    return firstWord(format(bits), sample);
}

TEST(SampleWords, AreOffsetBinaryLeftJustifiedInSevenBitBytes) {
    struct Case {
        int bits;
        Bytes sample;
        Bytes word;
    };
    const std::vector<Case> cases{
        {8, {0x80}, {0x40, 0x00}},
        {8, {0xFF}, {0x7F, 0x40}},
        {8, {0x7F}, {0x3F, 0x40}},
        {8, {0x00}, {0x00, 0x00}},
        {8, {0x01}, {0x00, 0x40}},
        {16, {0x00, 0x00}, {0x40, 0x00, 0x00}},
        {16, {0x01, 0x00}, {0x40, 0x00, 0x20}},
        {16, {0xFF, 0xFF}, {0x3F, 0x7F, 0x60}},
        {16, {0xFF, 0x7F}, {0x7F, 0x7F, 0x60}},
        {16, {0x00, 0x80}, {0x00, 0x00, 0x00}},
        {16, {0x34, 0x12}, {0x49, 0x0D, 0x00}},
        {16, {0x34}, {0x40, 0x0D, 0x00}}, // a lone last byte is completed with zero
        {24, {0x00, 0x00, 0x00}, {0x40, 0x00, 0x00, 0x00}},
        {24, {0x01, 0x00, 0x00}, {0x40, 0x00, 0x00, 0x10}},
        {24, {0xFF, 0xFF, 0xFF}, {0x3F, 0x7F, 0x7F, 0x70}},
        {24, {0xFF, 0xFF, 0x7F}, {0x7F, 0x7F, 0x7F, 0x70}},
        {24, {0x00, 0x00, 0x80}, {0x00, 0x00, 0x00, 0x00}},
        {24, {0x56, 0x34, 0x12}, {0x49, 0x0D, 0x0A, 0x60}},
        {24, {0x01}, {0x40, 0x00, 0x00, 0x10}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(firstWord(c.bits, c.sample), c.word) << c.bits << "-bit, " << c.sample.size();
    }
}

TEST(SampleWords, DecodeToTheValueEncodedAtEveryWidth) {
    for (int bits = narrowestWord; bits <= widestWord; ++bits) {
        const std::int32_t lowest = -(1 << (bits - 1));
        const std::int32_t highest = (1 << (bits - 1)) - 1;
        std::vector<std::int32_t> values{lowest, lowest + 1, -1, 0, 1, highest - 1, highest};
        for (std::int64_t step = 1; step < 32; ++step) {
            values.push_back(static_cast<std::int32_t>(lowest + (highest - lowest) * step / 32));
        }
        for (const std::int32_t value : values) {
            Bytes word(bytesPerSdsWord(bits));
            encodeWord(value, bits, word);
            EXPECT_EQ(decodeWord(word, bits), value) << bits << "-bit";
            if (bits % 8 == 0) { // the WAV sample of this value makes the same word
                const auto sample = static_cast<std::uint32_t>(bits == 8 ? value + 128 : value);
                Bytes bytes(static_cast<std::size_t>(bits / 8));
                for (std::size_t i = 0; i < bytes.size(); ++i) {
                    bytes[i] = static_cast<std::uint8_t>(sample >> (8 * i));
                }
                EXPECT_EQ(firstWord(bits, bytes), word) << bits << "-bit " << value;
            }
        }
    }
    Bytes twelve(2);
    encodeWord(2047, 12, twelve);
    EXPECT_EQ(twelve, (Bytes{0x7F, 0x7C})); // left-justified, the two low bits zero
}

TEST(SampleWords, OfAnyWidthInAnyContainerAreRoundedOrWidenedToTheWordsWidth) {
    struct Case {
        SampleWidths widths;
        Bytes sample, word;
    };
    for (const Case& c : std::vector<Case>{
             {{2, 12, 12}, {0xF0, 0x7F}, {0x7F, 0x7C}},
             {{2, 12, 12}, {0xFF, 0x7F}, {0x7F, 0x7C}}, // the bits below the width do not count
             {{2, 12, 12}, {0xF0}, {0x40, 0x3C}},       // a lone last byte is completed with zero
             {{4, 24, 24}, {0x00, 0x56, 0x34, 0x12}, {0x49, 0x0D, 0x0A, 0x60}},
             {{2, 16, 20}, {0x34, 0x12}, {0x49, 0x0D, 0x00}},
             {{2, 16, 12}, {0x08, 0x00}, {0x40, 0x04}}, // half a step rounds away from zero
             {{4, 32, 24}, {0xFF, 0xFF, 0xFF, 0x7F}, {0x7F, 0x7F, 0x7F, 0x70}}, // clipped
         }) {
        EXPECT_EQ(firstWord(wordFormatFor(c.widths), c.sample), c.word)
            << c.widths.wavBits << " bits to " << c.widths.wordBits;
    }
}

// Against the nearest word as floating point rounds it (halves away from zero), clipped.
TEST(SampleWords, RoundToTheNearestWordAtEveryPairOfWidths) {
    for (int wav = 8; wav <= 32; ++wav) {
        const auto container = static_cast<std::size_t>(wav + 7) / 8;
        const int below = static_cast<int>(container) * 8 - wav;
        const std::int64_t highest = (std::int64_t{1} << (wav - 1)) - 1;
        for (int bits = narrowestWord; bits <= widestWord; ++bits) {
            const double step = std::ldexp(1.0, wav - bits);
            std::vector<std::int64_t> values{-highest - 1, -1, 0, 1, highest};
            for (const double at : {0.5, 1.5, -0.5, -2.5}) {
                const auto half = static_cast<std::int64_t>(at * step);
                values.insert(values.end(), {half - 1, half, half + 1});
            }
            for (const std::int64_t value : values) {
                const double expected =
                    std::min(std::round(double(value) / step), std::ldexp(1.0, bits - 1) - 1);
                // The value in the container's top bits, ones below it that must not count.
                std::uint32_t stored =
                    static_cast<std::uint32_t>(value) << below | ((1U << below) - 1);
                stored ^= container == 1 ? 0x80 : 0;
                Bytes sample(container);
                for (std::size_t i = 0; i < container; ++i) {
                    sample[i] = static_cast<std::uint8_t>(stored >> (8 * i));
                }
                const Bytes word = firstWord(wordFormatFor({container, wav, bits}), sample);
                EXPECT_EQ(decodeWord(word, bits), expected)
                    << wav << " to " << bits << ": " << value;
            }
        }
    }
}

TEST(SampleWords, FillPacketsWithAsManyWordsAsFit) {
    EXPECT_EQ(format(8).wordsPerPacket(), 60U);
    EXPECT_EQ(format(16).wordsPerPacket(), 40U);
    EXPECT_EQ(format(24).wordsPerPacket(), 30U);
    EXPECT_EQ(packetCount(wordCount(100, format(8)), 8), 2U);
    EXPECT_EQ(packetCount(wordCount(88200, format(8)), 8), 1470U);
    EXPECT_EQ(packetCount(wordCount(161, format(16)), 16), 3U);
    EXPECT_EQ(packetCount(0, 24), 0U);
}

TEST(DataPackets, SilenceChecksumsToTheNumberOnEveryChannel) {
    const Bytes silence(16 * 40 * 2, 0x00);
    for (const std::uint8_t channel : {0x00, 0x05, 0x7F}) {
        for (const std::uint64_t index : {0U, 1U, 15U}) {
            const DataPacket packet = makeDataPacket(channel, index, silence, format(16));
            EXPECT_EQ(Bytes(packet.begin(), packet.begin() + 5),
                      (Bytes{0xF0, 0x7E, channel, 0x02, static_cast<std::uint8_t>(index)}));
            for (std::size_t word = 0; word < 40; ++word) {
                EXPECT_EQ(packet[5 + 3 * word], 0x40);
            }
            EXPECT_EQ(packet[125], 0x7C ^ channel ^ index);
            EXPECT_EQ(packet[126], 0xF7);
        }
    }
}

TEST(DataPackets, NumbersWrapAfterSeventyFHexAndTheLastPacketIsFilledWithZero) {
    // 8-bit, 100 bytes: the second packet holds 40 sample words and 20 words of 00 00.
    const Bytes eight(100, 0x80);
    const DataPacket second = makeDataPacket(0, 1, eight, format(8));
    EXPECT_EQ(second[4], 1);
    for (std::size_t word = 0; word < 40; ++word) {
        EXPECT_EQ(second[5 + 2 * word], 0x40);
        EXPECT_EQ(second[6 + 2 * word], 0x00);
    }
    EXPECT_EQ(Bytes(second.begin() + 85, second.begin() + 125), Bytes(40, 0x00));
    EXPECT_EQ(packetChecksum(second), second[125]);

    const Bytes long16(2 * 40 * 130, 0x11);
    EXPECT_EQ(makeDataPacket(0, 128, long16, format(16))[4], 0x00);
    EXPECT_EQ(makeDataPacket(0, 129, long16, format(16))[4], 0x01);
}

TEST(DataPackets, ReadBackToTheirSamples) {
    // The second packet's first 16-bit samples: 0x1234, the lowest and the highest.
    Bytes samples(80);
    samples.insert(samples.end(), {0x34, 0x12, 0x00, 0x80, 0xFF, 0x7F});
    DataPacket packet = makeDataPacket(0x05, 1, samples, format(16));
    const PacketFields fields = readDataPacket(packet);
    EXPECT_EQ(fields.deviceChannel, 0x05);
    EXPECT_EQ(fields.number, 1);
    EXPECT_TRUE(fields.checksumMatches());
    EXPECT_EQ(decodeWord(fields.data.subspan(0), 16), 0x1234);
    EXPECT_EQ(decodeWord(fields.data.subspan(3), 16), -32768);
    EXPECT_EQ(decodeWord(fields.data.subspan(6), 16), 32767);
    packet[packetDataIndex] ^= 0x01;
    EXPECT_FALSE(readDataPacket(packet).checksumMatches());
}

} // namespace
} // namespace pelitor
