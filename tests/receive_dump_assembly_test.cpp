#include "receive/dump_assembly.hpp"
#include "sds/data_packet.hpp"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pelitor::receive {
namespace {

// 16-bit words, 40 a packet.
constexpr std::uint32_t wordsPerPacket = 40;

DumpHeaderMessage headerFor(std::uint32_t words) {
    return makeDumpHeader({.bitsPerSample = 16,
                           .periodNs = 22675,
                           .wordCount = words,
                           .loopStart = 0,
                           .loopEnd = words == 0 ? 0 : words - 1});
}

DumpAssembly assembly(std::uint32_t words) {
    return *DumpAssembly::begin(headerFor(words));
}

// Packet `index` of a dump whose word n is n - 1000.
DataPacket packet(std::uint64_t index) {
    std::vector<std::uint8_t> samples;
    for (std::uint32_t word = 0; word < wordsPerPacket * 200; ++word) {
        const auto value = static_cast<std::uint16_t>(static_cast<std::int16_t>(word - 1000));
        samples.push_back(value & 0xFF);
        samples.push_back(value >> 8);
    }
    return makeDataPacket(0, index, samples, wordFormatFor({2, 16, 16}));
}

Message whole(const DataPacket& bytes, std::uint64_t offset = 0) {
    return {MessageKind::dataPacket, offset, packetSize, bytes, Message::End::sysExEnd};
}

DataPacket damaged(std::uint64_t index) {
    DataPacket bytes = packet(index);
    bytes[packetDataIndex] ^= 0x01;
    return bytes;
}

TEST(DumpAssembly, RefusesAHeaderItCannotDecode) {
    DumpHeader header{.bitsPerSample = 29, .periodNs = 1};
    const auto refused = DumpAssembly::begin(makeDumpHeader(header));
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.failure().message, "words of 29 bits; SDS words are 8 to 28 bits");
}

TEST(DumpAssembly, ClassifiesANumberByWhereItFallsFromTheNextExpected) {
    const struct {
        std::uint64_t taken; // packets already in, in turn
        std::uint8_t number;
        Arrival arrival;
    } cases[]{
        {0, 0, Arrival::expected},
        {0, 127, Arrival::other},
        {0, 1, Arrival::later},
        {5, 5, Arrival::expected},
        {5, 4, Arrival::repeat},
        {5, 6, Arrival::later},
        {5, 68, Arrival::later},
        {5, 69, Arrival::other},
        {5, 3, Arrival::other},
        {130, 2, Arrival::expected},
        {130, 1, Arrival::repeat},
        {128, 0, Arrival::expected},
        {128, 127, Arrival::repeat},
        {198, 199 & 0x7F, Arrival::later},
        {198, 200 & 0x7F, Arrival::other}, // past the dump's 200 packets
    };
    for (const auto& c : cases) {
        DumpAssembly dump = assembly(200 * wordsPerPacket);
        for (std::uint64_t index = 0; index < c.taken; ++index) {
            const DataPacket bytes = packet(index);
            dump.take(whole(bytes));
        }
        EXPECT_EQ(dump.classify(c.number), c.arrival) << c.taken << " then " << int{c.number};
    }
}

TEST(DumpAssembly, KeepsEveryPacketInItsPlace) {
    DumpAssembly dump = assembly(4 * wordsPerPacket);
    const DataPacket p0 = packet(0), d1 = damaged(1), p1 = packet(1), p3 = packet(3);
    const DataPacket otherFirst = damaged(0);
    struct Step {
        const DataPacket& bytes;
        bool good;
        std::optional<std::uint64_t> index;
        std::uint64_t next;
    };
    const Step steps[]{
        {p0, true, 0, 1}, // the expected one
        {otherFirst, false, std::nullopt, 1},
        {p0, true, 0, 1},  // a repeat: the first copy stays
        {d1, false, 1, 1}, // a damaged copy holds the place
        {p1, true, 1, 2},  // and the good one after it replaces it
        {p3, true, 3, 4},  // a later one: packet 2 was skipped
    };
    for (const Step& step : steps) {
        const Taken taken = dump.take(whole(step.bytes));
        EXPECT_EQ(taken.good, step.good);
        EXPECT_EQ(taken.index, step.index);
        EXPECT_EQ(dump.nextExpected(), step.next);
    }
    EXPECT_TRUE(dump.lastTaken());
    EXPECT_FALSE(dump.complete());
    ASSERT_EQ(dump.lost().size(), 1U);
    EXPECT_EQ(dump.lost()[0].index, 2U);
    EXPECT_EQ(dump.lost()[0].firstWord, 80U);
    EXPECT_EQ(dump.lost()[0].words, 40U);
}

TEST(DumpAssembly, SaysWhatIsWrongWithADamagedCopy) {
    DumpAssembly dump = assembly(wordsPerPacket);
    DataPacket elsewhere = packet(0);
    readdressPacket(elsewhere, 5);
    const DataPacket bytes = packet(0);
    EXPECT_EQ(dump.take(whole(damaged(0))).fault, "checksum 0x7C, 0x7D expected");
    EXPECT_EQ(dump.take(whole(elsewhere)).fault, "for device channel 5, the dump for 0");
    EXPECT_EQ(dump.take({MessageKind::broken, 0, 60, std::span(bytes).first(60),
                         Message::End::statusByte})
                  .fault,
              "broken off by a status byte after 60 bytes");
}

TEST(DumpAssembly, DecodesTheWordsAndDropsTheFill) {
    DumpAssembly dump = assembly(wordsPerPacket + 3);
    dump.take(whole(packet(0)));
    dump.take(whole(packet(1)));
    ASSERT_TRUE(dump.complete());
    const std::vector<std::int32_t> samples = dump.samples();
    ASSERT_EQ(samples.size(), wordsPerPacket + 3);
    EXPECT_EQ(samples.front(), -1000);
    EXPECT_EQ(samples.back(), wordsPerPacket + 2 - 1000);
}

TEST(DumpAssembly, GivesLostWordsAsReceivedOrAsSilence) {
    DumpAssembly dump = assembly(3 * wordsPerPacket);
    const DataPacket p0 = packet(0), d1 = damaged(1), p2 = packet(2);
    dump.take(whole(p0));
    dump.take({MessageKind::broken, 400, 11, std::span(d1).first(11), Message::End::statusByte});
    dump.take(whole(p2));
    const std::vector<std::int32_t> samples = dump.samples();
    EXPECT_EQ(samples[40], 40 - 1000 + 0x200); // the flipped bit as received
    EXPECT_EQ(samples[41], 41 - 1000);
    EXPECT_EQ(samples[42], 0); // the bytes that never came
    EXPECT_EQ(samples[80], 80 - 1000);
    EXPECT_EQ(dump.lost()[0].slot, Slot::damaged);
    EXPECT_EQ(dump.lost()[0].offset, 400U);
}

TEST(DumpAssembly, TakesADumpWithoutItsSingleWordLastPacketAsOneWordShorter) {
    const struct {
        std::uint32_t words;
        bool takeLast;
        bool lacksOnlyLastWord;
    } cases[]{{2 * wordsPerPacket + 1, false, true},
              {2 * wordsPerPacket + 1, true, false},
              {2 * wordsPerPacket + 2, false, false}};
    for (const auto& c : cases) {
        DumpAssembly dump = assembly(c.words);
        dump.take(whole(packet(0)));
        dump.take(whole(packet(1)));
        if (c.takeLast) {
            dump.take(whole(packet(2)));
        }
        EXPECT_EQ(dump.lacksOnlyLastWord(), c.lacksOnlyLastWord) << c.words;
    }
    DumpAssembly dump = assembly(2 * wordsPerPacket + 1);
    const DataPacket p0 = packet(0), p1 = packet(1);
    dump.take(whole(p0));
    dump.take(whole(p1));
    dump.dropLastWord();
    EXPECT_TRUE(dump.complete());
    EXPECT_EQ(dump.samples().size(), 2 * wordsPerPacket);
    // What an .sds output holds: the header announcing the shorter length (its loop end moved
    // onto the new last word), then the packets as received.
    const DumpHeaderMessage header = headerFor(2 * wordsPerPacket);
    std::vector<std::uint8_t> expected(header.begin(), header.end());
    expected.insert(expected.end(), p0.begin(), p0.end());
    expected.insert(expected.end(), p1.begin(), p1.end());
    EXPECT_EQ(dump.messages(), expected);
}

} // namespace
} // namespace pelitor::receive
