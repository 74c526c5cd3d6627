#include "receive/file_decoding.hpp"
#include "support/sds_builder.hpp"

#include <gtest/gtest.h>

namespace pelitor::receive {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A 16-bit dump of 100 words: its header, then packets 0, 1 and 2 (40 words each).
const Bytes dump = test::sdsStream(100);
constexpr std::size_t header = dumpHeaderSize;

Bytes packet(std::size_t index) {
    const auto at = dump.begin() + static_cast<long>(header + index * packetSize);
    return Bytes(at, at + packetSize);
}

Bytes joined(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

TEST(FindDumps, SortsTheDumpFromWhatTheWireCarriesAroundIt) {
    const Bytes head(dump.begin(), dump.begin() + header);
    Bytes damaged = packet(1);
    damaged[20] ^= 1;
    Bytes clocked = packet(2);
    clocked.insert(clocked.begin() + 50, 0xF8); // a clock byte inside the packet
    const Bytes ack{0xF0, 0x7E, 0x00, 0x7F, 0x00, 0xF7};
    const Bytes foreign{0xF0, 0x41, 0x10, 0x42, 0xF7};
    struct Case {
        const char* what;
        Bytes bytes;
        std::vector<std::string> lost; // or the refusal
    };
    const std::vector<Case> cases{
        {"handshake, foreign and real-time bytes between and inside",
         joined({foreign, head, ack, packet(0), {0xFE}, packet(1), ack, clocked}),
         {}},
        {"a damaged copy, then the good one",
         joined({head, packet(0), damaged, packet(1), packet(2)}),
         {}},
        {"a damaged copy, and the next packet after it",
         joined({head, packet(0), damaged, packet(2)}),
         {"packet 1 (words 40 to 79) at byte 148 is damaged, and no good copy follows: checksum"}},
        {"a packet skipped",
         joined({head, packet(0), packet(2)}),
         {"packet 1 (words 40 to 79) is missing: packet 2 follows at byte 148"}},
        {"cut short",
         joined({head, packet(0)}),
         {"packet 1 (words 40 to 79) is missing: the dump ends at byte 148 after 1 of 3 packets",
          "packet 2 (words 80 to 99) is missing: the dump ends at byte 148 after 1 of 3 packets"}},
        {"a packet before any header",
         joined({packet(0), dump}),
         {"at byte 0: a data packet before any dump header"}},
        {"a header cut short",
         Bytes(dump.begin(), dump.begin() + 15),
         {"at byte 0: the dump header is cut short"}},
        {"no dump", foreign, {"holds no sample dump"}},
    };
    for (const Case& c : cases) {
        const auto dumps = findDumps(c.bytes);
        std::vector<std::string> lines;
        if (!dumps) {
            EXPECT_EQ(dumps.failure().kind, FailureKind::dataError) << c.what;
            lines.push_back(dumps.failure().message);
        } else {
            EXPECT_EQ(dumps->size(), 1U) << c.what;
            lines = lostPacketLines(dumps->front());
        }
        ASSERT_EQ(lines.size(), c.lost.size()) << c.what;
        for (std::size_t at = 0; at < lines.size(); ++at) {
            EXPECT_EQ(lines[at].substr(0, c.lost[at].size()), c.lost[at]) << c.what;
        }
    }
}

TEST(FindDumps, FindsEachDumpOfABankInOrder) {
    const Bytes second = test::sdsStream(7, 8, 3);
    const auto dumps = findDumps(joined({dump, second}));
    ASSERT_TRUE(dumps);
    ASSERT_EQ(dumps->size(), 2U);
    EXPECT_EQ((*dumps)[0].end, dump.size());
    EXPECT_EQ((*dumps)[1].offset, dump.size());
    EXPECT_EQ((*dumps)[1].assembly.messages(), second);
}

} // namespace
} // namespace pelitor::receive
