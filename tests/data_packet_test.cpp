#include "sds/data_packet.hpp"

#include <gtest/gtest.h>
#include <vector>

namespace pelitor {
namespace {

using Bytes = std::vector<std::uint8_t>;

const WordFormat& format(int bits) {
    static const WordFormat eight = *wordFormatFor(8);
    static const WordFormat sixteen = *wordFormatFor(16);
    static const WordFormat twentyFour = *wordFormatFor(24);
    return bits == 8 ? eight : bits == 16 ? sixteen : twentyFour;
}

// The first word of the first packet of a sample that is this one sample.
Bytes firstWord(int bits, const Bytes& sample) {
    const DataPacket packet = makeDataPacket(0, 0, sample, format(bits));
    return Bytes(packet.begin() + packetDataIndex,
                 packet.begin() + packetDataIndex + static_cast<long>(format(bits).bytesPerWord));
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
        const auto wav = wordFormatFor(bits);
        for (const std::int32_t value : values) {
            Bytes word(bytesPerSdsWord(bits));
            encodeWord(value, bits, word);
            EXPECT_EQ(decodeWord(word, bits), value) << bits << "-bit";
            if (wav) { // the WAV sample of this value makes the same word
                const auto sample = static_cast<std::uint32_t>(bits == 8 ? value + 128 : value);
                Bytes bytes(wav->bytesPerSample);
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

TEST(SampleWords, OnlyTheWidthsSdsCanCarryLosslesslyAreKnown) {
    EXPECT_FALSE(wordFormatFor(0));
    EXPECT_FALSE(wordFormatFor(12));
    EXPECT_FALSE(wordFormatFor(32));
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
