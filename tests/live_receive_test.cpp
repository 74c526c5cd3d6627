// The receiving loop against a scripted port and its clock: what goes out, and when.
#include "receive/live_receive.hpp"
#include "support/scripted_port.hpp"
#include "support/sds_builder.hpp"

#include <gtest/gtest.h>

namespace pelitor::receive {
namespace {

TEST(LiveReceive, AnswersEachMessageAsItComesAndWaitsOnlyAsLongAsTold) {
    struct Case {
        std::string label;
        test::DumpingSampler sampler; // no stream: a sampler that never answers
        Outcome outcome;
        std::vector<Time> writtenAt;
    };
    const std::vector<std::uint8_t> dump = test::sdsStream(40 * 2);
    const std::vector<Case> cases{
        {"closed loop: each answer 1 ms (its drain) after the last",
         {dump, true, {}},
         Outcome::received,
         {0ms, 1ms, 2ms, 3ms}},
        {"a damaged packet: a NAK, then its ACK",
         {dump, true, {{1, 1}}},
         Outcome::received,
         {0ms, 1ms, 2ms, 3ms, 4ms}},
        {"no answer: three requests, each after the header wait",
         {},
         Outcome::noAnswer,
         {0ms, 5001ms, 10002ms}},
    };
    for (const Case& c : cases) {
        test::ScriptedPort port(1ms, c.sampler.stream.empty() ? test::SamplerScript()
                                                              : test::dumpingSampler(c.sampler));
        const auto reception = receiveDump({}, port, port.watch(), [](const Reception&, Time) {});
        ASSERT_TRUE(reception) << c.label;
        EXPECT_EQ(reception->outcome, c.outcome) << c.label;
        std::vector<Time> writtenAt;
        for (const auto& message : port.written()) {
            writtenAt.push_back(message.at);
        }
        EXPECT_EQ(writtenAt, c.writtenAt) << c.label;
    }
}

} // namespace
} // namespace pelitor::receive
