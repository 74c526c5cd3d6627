#include "sds/reply_scanner.hpp"

#include <gtest/gtest.h>
#include <vector>

namespace pelitor {
namespace {

std::vector<Reply> scan(const std::vector<std::uint8_t>& bytes) {
    ReplyScanner scanner;
    std::vector<Reply> replies;
    for (const std::uint8_t byte : bytes) {
        if (const auto reply = scanner.take(byte)) {
            replies.push_back(*reply);
        }
    }
    return replies;
}

TEST(ReplyScanner, FindsTheFourHandshakeReplies) {
    EXPECT_EQ(scan({0xF0, 0x7E, 0x00, 0x7F, 0x05, 0xF7, 0xF0, 0x7E, 0x7F, 0x7E, 0x7F, 0xF7,
                    0xF0, 0x7E, 0x03, 0x7D, 0x00, 0xF7, 0xF0, 0x7E, 0x10, 0x7C, 0x01, 0xF7}),
              (std::vector<Reply>{{0x00, ackType, 5},
                                  {0x7F, nakType, 0x7F},
                                  {0x03, cancelType, 0},
                                  {0x10, waitType, 1}}));
}

TEST(ReplyScanner, SkipsRealTimeBytesAnywhere) {
    EXPECT_EQ(scan({0xFE, 0xF0, 0xF8, 0x7E, 0xFE, 0x00, 0xFA, 0x7F, 0xFF, 0x05, 0xFE, 0xF7, 0xF8}),
              (std::vector<Reply>{{0x00, ackType, 5}}));
}

TEST(ReplyScanner, DropsWhatIsNotAWholeHandshake) {
    const std::vector<std::vector<std::uint8_t>> ignored{
        {0xF0, 0x7E, 0x00, 0x7F, 0x90, 0x05, 0xF7}, // a note-on cuts it
        {0xF0, 0x7E, 0x00, 0x7F, 0xF1, 0x05, 0xF7}, // and so does any other status
        {0xF0, 0x7E, 0x00, 0x7F, 0xF7},             // too short
        {0xF0, 0x7E, 0x00, 0x7F, 0x05, 0x00, 0xF7}, // too long
        {0xF0, 0x7F, 0x00, 0x7F, 0x05, 0xF7},       // real-time universal
        {0xF0, 0x7E, 0x00, 0x02, 0x05, 0xF7},       // a data packet's type
        {0x7E, 0x00, 0x7F, 0x05, 0xF7},             // no F0
    };
    for (const auto& bytes : ignored) {
        EXPECT_TRUE(scan(bytes).empty()) << bytes.size() << " bytes";
    }
    EXPECT_EQ(scan({0xF0, 0x7E, 0x00, 0x7F, 0x05, 0xF7, 0xF7, 0x05, 0xF7}).size(), 1U);
    // A new F0 starts over: the partial reply before it is dropped, the one after it counts.
    EXPECT_EQ(scan({0xF0, 0x7E, 0x00, 0xF0, 0x7E, 0x00, 0x7E, 0x09, 0xF7}),
              (std::vector<Reply>{{0x00, nakType, 9}}));
}

} // namespace
} // namespace pelitor
