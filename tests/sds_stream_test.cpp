#include "sds/sds_stream.hpp"
#include "support/sds_builder.hpp"

#include <functional>
#include <gtest/gtest.h>

namespace pelitor {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::string checked(const Bytes& bytes, std::uint64_t fileSize) {
    const auto stream = checkSdsStream(bytes, fileSize);
    if (!stream) {
        EXPECT_EQ(stream.failure().kind, FailureKind::dataError);
        return stream.failure().message;
    }
    return "valid, " + std::to_string(stream->packets) + " packets";
}

std::string checked(const Bytes& bytes) {
    return checked(bytes, bytes.size());
}

Bytes withByte(Bytes bytes, std::size_t at, std::uint8_t value) {
    bytes[at] = value;
    return bytes;
}

TEST(SdsStream, CountsPacketsByWordWidth) {
    // 8 to 14 bits take two bytes a word, 15 to 21 three, 22 to 28 four.
    EXPECT_EQ(packetCount(60, 8), 1U);
    EXPECT_EQ(packetCount(61, 14), 2U);
    EXPECT_EQ(packetCount(40, 15), 1U);
    EXPECT_EQ(packetCount(41, 21), 2U);
    EXPECT_EQ(packetCount(30, 22), 1U);
    EXPECT_EQ(packetCount(44100, 16), 1103U);
    EXPECT_EQ(packetCount(0, 16), 0U);
    EXPECT_EQ(longestSdsStream, 21U + 69906U * 127U);
}

TEST(SdsStream, AcceptsWhatPelitorWrites) {
    EXPECT_EQ(checked(test::sdsStream(44100)), "valid, 1103 packets");
    EXPECT_EQ(checked(test::sdsStream(61, 8, 0x7F)), "valid, 2 packets");
    EXPECT_EQ(checked(test::sdsStream(30 * 200, 24, 5)), "valid, 200 packets"); // numbers wrap
    // The widest words take four bytes, as 24-bit ones do.
    EXPECT_EQ(checked(withByte(test::sdsStream(300, 24), headerWidthIndex, 28)),
              "valid, 10 packets");
    EXPECT_EQ(checked(withByte(test::sdsStream(100), headerLoopTypeIndex, loopOff)),
              "valid, 3 packets");
}

TEST(SdsStream, CountsWhatFollowsTheLastPacketInTheWholeFile) {
    // A file longer than any valid stream is read only as far as that shows.
    Bytes start = test::sdsStream(100);
    const std::uint64_t size = start.size() + 10 * 1024 * 1024;
    start.resize(longestSdsStream + 1);
    EXPECT_EQ(checked(start, size), "byte 402: 10485760 bytes after the last packet; the dump "
                                    "header announces 100 words in 3 packets");
}

// The five faults a damaged file shows most often are checked through --check, end to end.
TEST(SdsStream, NamesTheFirstFaultAndItsOffset) {
    const Bytes good = test::sdsStream(100); // 3 packets: at 21, 148 and 275
    struct Case {
        std::string label;
        std::function<void(Bytes&)> corrupt;
        std::string message;
    };
    const std::vector<Case> cases{
        {"empty", [](Bytes& b) { b.clear(); }, "byte 0: the file is empty"},
        {"not SysEx", [](Bytes& b) { b[0] = 'R'; },
         "byte 0: F0 expected at the start of the dump header, found 0x52"},
        {"real-time universal", [](Bytes& b) { b[1] = 0x7F; },
         "byte 1: the dump header is not a non-real-time universal message (7E expected, found "
         "0x7F)"},
        {"packet first", [](Bytes& b) { b.erase(b.begin(), b.begin() + 21); },
         "byte 3: message type 0x02 where the dump header (type 0x01) should be"},
        {"header type", [](Bytes& b) { b[3] = 0x03; },
         "byte 3: message type 0x03 where the dump header (type 0x01) should be"},
        {"width", [](Bytes& b) { b[6] = 29; },
         "byte 6: words of 29 bits; SDS words are 8 to 28 bits"},
        {"narrow", [](Bytes& b) { b[6] = 7; },
         "byte 6: words of 7 bits; SDS words are 8 to 28 bits"},
        {"period", [](Bytes& b) { b[7] = b[8] = b[9] = 0; }, "byte 7: a sample period of 0 ns"},
        {"empty sample", [](Bytes& b) { b = test::sdsStream(0); },
         "byte 10: the dump header announces an empty sample (0 words), which a sampler would "
         "store over the slot's sound"},
        {"loop type", [](Bytes& b) { b[19] = 0x02; },
         "byte 19: loop type 0x02; 00, 01 or 7F expected"},
        {"status byte inside", [](Bytes& b) { b[200] = 0x90; },
         "byte 200: packet 1 holds the status byte 0x90 (only 00 to 7F may come between F0 and "
         "F7)"},
        {"other channel", [](Bytes& b) { b[150] = 3; },
         "byte 150: packet 1 is for device channel 3, the dump header for 0"},
        {"packet type", [](Bytes& b) { b[151] = 0x01; },
         "byte 151: message type 0x01 where packet 1 (type 0x02) should be"},
        {"packet missing", [](Bytes& b) { b.resize(275); },
         "byte 275: the file ends after 2 packets; the dump header announces 100 words in 3 "
         "packets"},
        {"packet too many",
         [&](Bytes& b) { b.insert(b.end(), good.begin() + 21, good.begin() + 148); },
         "byte 402: 127 bytes after the last packet; the dump header announces 100 words in 3 "
         "packets"},
    };
    for (const Case& c : cases) {
        Bytes bytes = good;
        c.corrupt(bytes);
        EXPECT_EQ(checked(bytes), c.message) << c.label;
    }
}

TEST(SdsStream, MovesEveryMessageToAnotherChannelWithItsChecksum) {
    const Bytes original = test::sdsStream(100, 16, 0);
    const auto stream = checkSdsStream(original);
    ASSERT_TRUE(stream);
    EXPECT_EQ(onDeviceChannel(original, *stream, 9), test::sdsStream(100, 16, 9));
}

} // namespace
} // namespace pelitor
