// The transfer loop against a scripted port and its clock: when each message goes out.
#include "common/exit_status.hpp"
#include "send/transfer.hpp"
#include "support/scripted_port.hpp"
#include "support/sds_builder.hpp"

#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>

namespace pelitor::send {
namespace {

using test::Answer;
using test::handshake;
using test::SysExMessage;

std::vector<Answer> ackAfter5ms(const SysExMessage& message, std::size_t) {
    return {{5ms, handshake(ackType, message.number())}};
}

TEST(Transfer, SendsEachMessageWhenTheLastHasBeenAnsweredOrHasTimedOut) {
    struct Case {
        std::string label;
        Time drain;
        std::vector<std::uint8_t> leftInThePort;
        test::SamplerScript script;
        std::vector<Time> writtenAt; // the header, then packets 0 to 2
        std::string ending;
    };
    const std::vector<Case> cases{
        // The packet's 20 ms count from when it has left, not from when it was written.
        {"an ACK 5 ms after a 40 ms drain",
         40ms,
         {},
         ackAfter5ms,
         {0ms, 45ms, 90ms, 135ms},
         "closed loop, 0 resent\n"},
        {"an ACK left by an earlier run, then silence",
         0ms,
         handshake(ackType, 0),
         nullptr,
         {0ms, 2000ms, 2020ms, 2040ms},
         "open loop, 0 resent\npelitor-send: port: the sampler never answered; if it should, "
         "check its device ID (-d) and the cable from its MIDI OUT\n"},
    };
    const std::vector<std::uint8_t> stream = test::sdsStream(40 * 3);
    for (const Case& c : cases) {
        test::ScriptedPort port(c.drain, c.script);
        port.leave(c.leftInThePort);
        std::ostringstream errors;
        const int status = runTransfer({"voice.sds", "port", stream, 300, {.packets = 3}}, port,
                                       port.watch(), errors, false)
                               .status;
        EXPECT_EQ(status, 0) << c.label;
        EXPECT_TRUE(errors.str().starts_with(
            "sending voice.sds to port: 3 packets, device channel 0, sample number 300\n"))
            << errors.str();
        std::vector<Time> writtenAt;
        for (const auto& message : port.written()) {
            writtenAt.push_back(message.at);
        }
        EXPECT_EQ(writtenAt, c.writtenAt) << c.label;
        EXPECT_TRUE(errors.str().ends_with(c.ending)) << c.label << ": " << errors.str();
    }
}

// A sampler slower than the standard wait, that refuses packets 0 and 10 the first time: each
// refusal comes after the next packet has gone, and still has its packet sent again.
TEST(Transfer, ResendsWhatALateSamplerRefuses) {
    std::vector<int> packetsSent;
    const test::SamplerScript answersAfter25ms = [&](const SysExMessage& message, std::size_t) {
        if (message.type() != 0x02) {
            return std::vector<Answer>{{25ms, handshake(ackType, 0)}};
        }
        const int number = message.number();
        const bool refused = (number == 0 || number == 10) &&
                             std::count(packetsSent.begin(), packetsSent.end(), number) == 0;
        packetsSent.push_back(number);
        return std::vector<Answer>{
            {25ms, handshake(refused ? nakType : ackType, message.number())}};
    };
    test::ScriptedPort port(40ms, answersAfter25ms);
    std::ostringstream errors;
    const int status =
        runTransfer({"voice.sds", "port", test::sdsStream(40 * 12), 0, {.packets = 12}}, port,
                    port.watch(), errors, false)
            .status;
    EXPECT_EQ(status, 0);
    EXPECT_EQ(packetsSent, (std::vector<int>{0, 1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 10, 11}));
    EXPECT_TRUE(errors.str().ends_with(
        "pelitor-send: port: the sampler answers late; waiting up to 90 ms for each answer\n"
        "sent voice.sds: 12 packets in 1.0 s, closed loop, 2 resent, 1 late "
        "answer\n"))
        << errors.str();
}

TEST(Transfer, FailsWhenARefusalCameTooLateToSendThePacketAgain) {
    const test::SamplerScript refusesPacket0Late = [](const SysExMessage& message, std::size_t) {
        if (message.type() == 0x02 && message.number() == 0) {
            return std::vector<Answer>{{100ms, handshake(nakType, 0)}};
        }
        return std::vector<Answer>{};
    };
    test::ScriptedPort port(40ms, refusesPacket0Late);
    std::ostringstream errors;
    const int status =
        runTransfer({"voice.sds", "port", test::sdsStream(40 * 3), 0, {.packets = 3}}, port,
                    port.watch(), errors, false)
            .status;
    EXPECT_EQ(status, exitTempFail);
    EXPECT_TRUE(errors.str().ends_with(
        "sent voice.sds: 3 packets in 2.2 s, open loop, 0 resent\npelitor-send: port: the "
        "sampler refused a packet too late to send it again; the sample it holds may be "
        "damaged (try a larger --ack-wait)\n"))
        << errors.str();
}

} // namespace
} // namespace pelitor::send
