#include "sds/data_packets.hpp"

#include <gtest/gtest.h>
#include <sstream>
#include <vector>

namespace pelitor {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes encode(int bits, Bytes sample) {
    const WordFormat format = *wordFormatFor(bits);
    Bytes word(format.bytesPerWord);
    encodeWord(sample, format, word);
    return word;
}

struct Written {
    Bytes sds;
    std::string console;
};

Written packets(int bits, const Bytes& data) {
    std::ostringstream sink;
    std::ostringstream console;
    writeDataPackets(sink, data, *wordFormatFor(bits), console, false);
    const std::string bytes = sink.str();
    return {Bytes(bytes.begin(), bytes.end()), console.str()};
}

TEST(SampleWords, AreOffsetBinaryLeftJustifiedInSevenBitBytes) {
    EXPECT_EQ(encode(8, {0x80}), (Bytes{0x40, 0x00}));
    EXPECT_EQ(encode(8, {0xFF}), (Bytes{0x7F, 0x40}));
    EXPECT_EQ(encode(8, {0x7F}), (Bytes{0x3F, 0x40}));
    EXPECT_EQ(encode(8, {0x00}), (Bytes{0x00, 0x00}));
    EXPECT_EQ(encode(8, {0x01}), (Bytes{0x00, 0x40}));

    EXPECT_EQ(encode(16, {0x00, 0x00}), (Bytes{0x40, 0x00, 0x00}));
    EXPECT_EQ(encode(16, {0x01, 0x00}), (Bytes{0x40, 0x00, 0x20}));
    EXPECT_EQ(encode(16, {0xFF, 0xFF}), (Bytes{0x3F, 0x7F, 0x60}));
    EXPECT_EQ(encode(16, {0xFF, 0x7F}), (Bytes{0x7F, 0x7F, 0x60}));
    EXPECT_EQ(encode(16, {0x00, 0x80}), (Bytes{0x00, 0x00, 0x00}));
    EXPECT_EQ(encode(16, {0x34, 0x12}), (Bytes{0x49, 0x0D, 0x00}));

    EXPECT_EQ(encode(24, {0x00, 0x00, 0x00}), (Bytes{0x40, 0x00, 0x00, 0x00}));
    EXPECT_EQ(encode(24, {0x01, 0x00, 0x00}), (Bytes{0x40, 0x00, 0x00, 0x10}));
    EXPECT_EQ(encode(24, {0xFF, 0xFF, 0xFF}), (Bytes{0x3F, 0x7F, 0x7F, 0x70}));
    EXPECT_EQ(encode(24, {0xFF, 0xFF, 0x7F}), (Bytes{0x7F, 0x7F, 0x7F, 0x70}));
    EXPECT_EQ(encode(24, {0x00, 0x00, 0x80}), (Bytes{0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(encode(24, {0x56, 0x34, 0x12}), (Bytes{0x49, 0x0D, 0x0A, 0x60}));
}

TEST(SampleWords, OnlyTheWidthsSdsCanCarryLosslesslyAreKnown) {
    EXPECT_FALSE(wordFormatFor(0));
    EXPECT_FALSE(wordFormatFor(12));
    EXPECT_FALSE(wordFormatFor(32));
    EXPECT_EQ(wordFormatFor(8)->wordsPerPacket(), 60U);
    EXPECT_EQ(wordFormatFor(16)->wordsPerPacket(), 40U);
    EXPECT_EQ(wordFormatFor(24)->wordsPerPacket(), 30U);
}

TEST(DataPackets, OneShortEightBitPacket) {
    const Written out = packets(8, {0x80, 0xFF, 0x00, 0x7F});
    Bytes expected{0xF0, 0x7E, 0x00, 0x02, 0x00, 0x40, 0x00, 0x7F, 0x40, 0x00, 0x00, 0x3F, 0x40};
    expected.resize(125, 0x00); // the other 56 words are filled with the lowest value
    expected.push_back(0x7C);
    expected.push_back(0xF7);
    EXPECT_EQ(out.sds, expected);
    EXPECT_EQ(out.console, ".");
}

TEST(DataPackets, OneShortSixteenBitPacket) {
    const Written out = packets(16, {0x00, 0x00, 0x01, 0x00, 0xFF, 0xFF, 0x34, 0x12});
    Bytes expected{0xF0, 0x7E, 0x00, 0x02, 0x00, 0x40, 0x00, 0x00, 0x40,
                   0x00, 0x20, 0x3F, 0x7F, 0x60, 0x49, 0x0D, 0x00};
    expected.resize(125, 0x00);
    expected.push_back(0x38);
    expected.push_back(0xF7);
    EXPECT_EQ(out.sds, expected);
}

TEST(DataPackets, ARunOfSilenceChecksumsToTheNumber) {
    const Written out = packets(16, Bytes(80 * 3, 0x00));
    ASSERT_EQ(out.sds.size(), 3 * packetSize);
    for (std::size_t i = 0; i < 3; ++i) {
        const std::uint8_t* packet = out.sds.data() + i * packetSize;
        EXPECT_EQ(packet[4], i);
        EXPECT_EQ(packet[125], 0x7C ^ i);
        for (std::size_t word = 0; word < 40; ++word) {
            EXPECT_EQ(packet[5 + 3 * word], 0x40);
        }
    }
}

TEST(DataPackets, NumbersRunToSeventyFHexAndRoundAgain) {
    // 44100 words of 16-bit data: 1102 full packets and one of 20 words.
    Bytes data(88200);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<std::uint8_t>(i * 7);
    }
    const Written out = packets(16, data);
    ASSERT_EQ(out.sds.size(), 1103 * packetSize);
    EXPECT_EQ(out.console, std::string(1103, '.'));
    for (std::size_t i = 0; i < 1103; ++i) {
        const std::uint8_t* packet = out.sds.data() + i * packetSize;
        ASSERT_EQ(packet[4], i % 128);
        std::uint8_t checksum = 0;
        for (std::size_t j = 1; j < 125; ++j) {
            ASSERT_LT(packet[j], 0x80);
            checksum ^= packet[j];
        }
        ASSERT_EQ(packet[125], checksum);
        ASSERT_EQ(packet[126], 0xF7);
    }
    const std::uint8_t* last = out.sds.data() + 1102 * packetSize;
    EXPECT_EQ(last[4], 0x4E);
    EXPECT_NE(Bytes(last + 5 + 19 * 3, last + 5 + 20 * 3), Bytes(3, 0x00));
    EXPECT_EQ(Bytes(last + 5 + 20 * 3, last + 125), Bytes(60, 0x00));
}

TEST(DataPackets, EightBitCountsAndPacketBoundaries) {
    EXPECT_EQ(packets(8, Bytes(100, 0x80)).sds.size(), 2 * packetSize);
    EXPECT_EQ(packets(8, Bytes(88200, 0x80)).sds.size(), 1470 * packetSize);
    EXPECT_EQ(packets(8, {}).sds.size(), 0U);
    const Written second = packets(8, Bytes(100, 0x80));
    const std::uint8_t* packet = second.sds.data() + packetSize;
    for (std::size_t word = 0; word < 40; ++word) {
        EXPECT_EQ(packet[5 + 2 * word], 0x40);
    }
    EXPECT_EQ(Bytes(packet + 85, packet + 125), Bytes(40, 0x00));
}

TEST(DataPackets, APartialLastWordIsCompletedWithZeroBytes) {
    // 80 whole 16-bit words and one lone low byte: three packets, the last word 0x0034.
    Bytes data(161, 0x00);
    data[160] = 0x34;
    const Written out = packets(16, data);
    ASSERT_EQ(out.sds.size(), 3 * packetSize);
    const std::uint8_t* last = out.sds.data() + 2 * packetSize;
    EXPECT_EQ(Bytes(last + 5, last + 8), (Bytes{0x40, 0x0D, 0x00}));

    const Written wide = packets(24, {0x00, 0x00, 0x00, 0x01});
    EXPECT_EQ(Bytes(wide.sds.begin() + 9, wide.sds.begin() + 13), (Bytes{0x40, 0x00, 0x00, 0x10}));
}

TEST(DataPackets, AFailedSinkStillMarksEveryPacketWithTheWidthsMark) {
    for (const auto& [bits, mark] : {std::pair{8, 'o'}, std::pair{16, 'h'}, std::pair{24, 't'}}) {
        std::ostringstream sink;
        sink.setstate(std::ios::badbit);
        std::ostringstream console;
        writeDataPackets(sink, Bytes(400, 0x00), *wordFormatFor(bits), console, false);
        const auto expectedPackets =
            packetCount(wordCount(400, *wordFormatFor(bits)), *wordFormatFor(bits));
        EXPECT_EQ(console.str(), std::string(expectedPackets, mark));
    }
}

} // namespace
} // namespace pelitor
