#include "sds/sysex.hpp"
#include "send/handshake.hpp"

#include <functional>
#include <gtest/gtest.h>

namespace pelitor::send {
namespace {

std::string show(const Action& action) {
    if (const auto* send = std::get_if<Send>(&action)) {
        return send->message == Send::dumpHeader   ? "header"
               : send->message == Send::dataPacket ? "packet " + std::to_string(send->packet)
                                                   : "cancel " + std::to_string(send->packet);
    }
    if (const auto* await = std::get_if<Await>(&action)) {
        return await->deadline ? "until " + std::to_string(await->deadline->count() / 1'000'000)
                               : "until a reply";
    }
    switch (std::get<Finish>(action).outcome) {
    case Outcome::sent:
        return "sent";
    case Outcome::unrepaired:
        return "sent, unrepaired";
    case Outcome::cancelled:
        return "cancelled";
    case Outcome::refused:
        return "refused";
    case Outcome::interrupted:
        return "interrupted";
    }
    return "?";
}

// One event and the action it should lead to; `clock` is the time the last event gave, at
// which a reply comes unless it says otherwise.
struct Step {
    std::function<Action(Handshake&, Time& clock)> event;
    std::string expected;
};

Step start(std::string expected) {
    return {[](Handshake& h, Time&) { return h.start(); }, std::move(expected)};
}
Step sent(int ms, std::string expected) {
    return {[ms](Handshake& h, Time& clock) {
                clock = std::chrono::milliseconds(ms);
                return h.sent(clock);
            },
            std::move(expected)};
}
Step tick(int ms, std::string expected) {
    return {[ms](Handshake& h, Time& clock) {
                clock = std::chrono::milliseconds(ms);
                return h.tick(clock);
            },
            std::move(expected)};
}
Step reply(std::uint8_t type, std::uint8_t number, std::string expected, std::uint8_t channel = 0) {
    return {[=](Handshake& h, Time& clock) {
                return h.received({channel, type, number}, clock);
            },
            std::move(expected)};
}
Step replyAt(int ms, std::uint8_t type, std::uint8_t number, std::string expected) {
    return {[=](Handshake& h, Time& clock) {
                clock = std::chrono::milliseconds(ms);
                return h.received({0, type, number}, clock);
            },
            std::move(expected)};
}
Step interrupt(std::string expected) {
    return {[](Handshake& h, Time&) { return h.interrupt(); }, std::move(expected)};
}

struct Scenario {
    std::string name;
    HandshakeSettings settings;
    std::vector<Step> steps;
    bool closedLoop;
    std::uint64_t resent = 0;
    std::uint64_t lateAnswers = 0;
};

TEST(Handshake, FollowsEachScenarioStepByStep) {
    const std::vector<Scenario> scenarios{
        {"closed loop: the header's ACK counts whatever its number",
         {.packets = 2},
         {start("header"), sent(5, "until 2005"), reply(ackType, 0x33, "packet 0"),
          sent(50, "until 70"), reply(ackType, 0, "packet 1"), sent(100, "until 120"),
          reply(ackType, 1, "sent")},
         true},
        {"silence after the header: open loop, paced by the interval",
         {.packets = 2, .interval = std::chrono::milliseconds(50)},
         {start("header"), sent(0, "until 2000"), tick(1999, "until 2000"), tick(2000, "packet 0"),
          sent(2010, "until 2060"), tick(2059, "until 2060"), tick(2060, "packet 1"),
          sent(2070, "until 2120"), tick(2125, "sent")},
         false},
        {"closed loop waits at least 20 ms whatever the interval",
         {.packets = 2, .interval = std::chrono::milliseconds(0)},
         {start("header"), sent(0, "until 2000"), reply(ackType, 0, "packet 0"),
          sent(10, "until 30"), tick(30, "packet 1"), sent(40, "until 60"),
          reply(ackType, 1, "sent")},
         true},
        {"open loop with no interval goes straight on",
         {.packets = 2, .interval = std::chrono::milliseconds(0)},
         {start("header"), sent(0, "until 2000"), tick(2000, "packet 0"), sent(2001, "until 2001"),
          tick(2001, "packet 1")},
         false},
        {"an ACK in open loop closes the loop from the next packet",
         {.packets = 3},
         {start("header"), sent(0, "until 2000"), tick(2000, "packet 0"), sent(2000, "until 2020"),
          reply(ackType, 0, "packet 1"), sent(2005, "until 2025")},
         true},
        {"a NAK resends, then the ACK goes on",
         {.packets = 2},
         {start("header"), sent(0, "until 2000"), reply(nakType, 9, "header"),
          sent(10, "until 2010"), reply(ackType, 0, "packet 0"), sent(20, "until 40"),
          reply(nakType, 0, "packet 0"), sent(30, "until 50"), reply(ackType, 0, "packet 1")},
         true,
         2},
        {"a NAK past the retry limit is answered with CANCEL",
         {.packets = 2, .retries = 2},
         {start("header"), sent(0, "until 2000"), reply(ackType, 0, "packet 0"),
          sent(0, "until 20"), reply(nakType, 0, "packet 0"), sent(0, "until 20"),
          reply(nakType, 0, "packet 0"), sent(0, "until 20"), reply(nakType, 0, "cancel 0"),
          sent(0, "refused")},
         true,
         2},
        {"no resends at all with --retries 0",
         {.packets = 1, .retries = 0},
         {start("header"), sent(0, "until 2000"), reply(nakType, 0, "cancel 0"),
          sent(0, "refused")},
         false},
        {"WAIT pauses until a reply that counts",
         {.packets = 3},
         {start("header"), sent(0, "until 2000"), reply(ackType, 0, "packet 0"),
          sent(10, "until 30"), reply(ackType, 0, "packet 1"), sent(20, "until 40"),
          reply(waitType, 99, "until a reply"), tick(60'000, "until a reply"),
          reply(ackType, 0, "until a reply"), reply(ackType, 1, "packet 2")},
         true},
        {"WAIT after the header, then NAK",
         {.packets = 1},
         {start("header"), sent(0, "until 2000"), reply(waitType, 0, "until a reply"),
          tick(5000, "until a reply"), reply(nakType, 5, "header")},
         false,
         1},
        {"CANCEL after the header stops at once",
         {.packets = 3},
         {start("header"), sent(0, "until 2000"), reply(cancelType, 42, "cancelled")},
         false},
        {"CANCEL in the middle stops at once",
         {.packets = 3},
         {start("header"), sent(0, "until 2000"), reply(ackType, 0, "packet 0"),
          sent(0, "until 20"), reply(ackType, 0, "packet 1"), sent(0, "until 20"),
          reply(cancelType, 0, "cancelled")},
         true},
        {"late answers about an earlier packet never count for this one",
         {.packets = 3},
         {start("header"), sent(0, "until 2000"), reply(ackType, 0, "packet 0"),
          sent(0, "until 20"), reply(ackType, 0, "packet 1"), sent(30, "until 50"),
          reply(ackType, 0, "until 50"), reply(nakType, 0, "until 50"), tick(50, "packet 2")},
         true},
        {"replies on other channels do not count; 7F does",
         {.packets = 1, .deviceChannel = 5},
         {start("header"), sent(0, "until 2000"), reply(cancelType, 0, "until 2000", 3),
          reply(waitType, 0, "until 2000", 0), reply(ackType, 0, "packet 0", 0x7F),
          sent(0, "until 20"), reply(ackType, 0, "sent", 5)},
         true},
        {"sending to all devices takes replies from any",
         {.packets = 1, .deviceChannel = 0x7F},
         {start("header"), sent(0, "until 2000"), reply(ackType, 0, "packet 0", 12)},
         true},
        {"Ctrl-C while waiting: CANCEL, then the end",
         {.packets = 3},
         {start("header"), sent(0, "until 2000"), reply(ackType, 0, "packet 0"),
          sent(0, "until 20"), reply(waitType, 0, "until a reply"), interrupt("cancel 0"),
          sent(5, "interrupted")},
         true},
        {"--header-wait sets the wait for the header's answer",
         {.packets = 1, .headerWait = 500ms},
         {start("header"), sent(0, "until 500"), tick(500, "packet 0")},
         false},
        {"--ack-wait stays fixed whatever the interval and the late answers",
         {.packets = 3, .interval = 50ms, .ackWait = 5ms},
         {start("header"), sent(0, "until 2000"), reply(ackType, 0, "packet 0"),
          sent(10, "until 15"), tick(15, "packet 1"), sent(20, "until 25"),
          replyAt(24, ackType, 0, "until 25"), tick(25, "packet 2"), sent(30, "until 35")},
         true,
         0,
         1},
        {"--gap holds each message back from the end of the last, resends too",
         {.packets = 2, .gap = 50ms},
         {start("header"), sent(0, "until 2000"), replyAt(10, ackType, 0, "until 50"),
          tick(49, "until 50"), tick(50, "packet 0"), sent(60, "until 80"),
          replyAt(70, nakType, 0, "until 110"), tick(110, "packet 0"), sent(120, "until 140"),
          replyAt(180, ackType, 0, "packet 1")},
         true,
         1},
        {"--gap longer than the interval paces open loop",
         {.packets = 2, .gap = 50ms},
         {start("header"), sent(0, "until 2000"), tick(2000, "packet 0"), sent(2000, "until 2020"),
          tick(2020, "until 2050"), tick(2050, "packet 1")},
         false},
        {"a late ACK lengthens the wait to cover it, with a margin",
         {.packets = 3},
         {start("header"), sent(0, "until 2000"), reply(ackType, 0, "packet 0"),
          sent(10, "until 30"), tick(30, "packet 1"), sent(45, "until 65"),
          replyAt(50, ackType, 0, "until 105"), reply(ackType, 1, "packet 2"),
          sent(60, "until 120"), reply(ackType, 2, "sent")},
         true,
         0,
         1},
        {"the learned wait is at most 1 s",
         {.packets = 3},
         {start("header"), sent(0, "until 2000"), tick(2000, "packet 0"), sent(2000, "until 2020"),
          tick(2020, "packet 1"), sent(2020, "until 2040"), tick(2040, "packet 2"),
          sent(2040, "until 2060"), replyAt(2900, ackType, 1, "until 3040")},
         true,
         0,
         1},
        {"a late NAK has its packet sent again, then the one after it",
         {.packets = 3},
         {start("header"), sent(0, "until 2000"), reply(ackType, 0, "packet 0"),
          sent(0, "until 20"), tick(20, "packet 1"), sent(25, "until 45"),
          replyAt(30, nakType, 0, "packet 0"), sent(35, "until 80"), reply(ackType, 0, "packet 1"),
          sent(40, "until 85"), reply(ackType, 1, "packet 2"), sent(50, "until 95"),
          reply(ackType, 2, "sent")},
         true,
         1,
         1},
        {"a late NAK counts against the packet's retries",
         {.packets = 2, .retries = 1},
         {start("header"), sent(0, "until 2000"), reply(ackType, 0, "packet 0"),
          sent(0, "until 20"), reply(nakType, 0, "packet 0"), sent(5, "until 25"),
          tick(25, "packet 1"), sent(30, "until 50"), replyAt(35, nakType, 0, "cancel 0"),
          sent(40, "refused")},
         true,
         1,
         1},
        {"the last packet, unanswered in closed loop, gets one more wait for a late NAK",
         {.packets = 1},
         {start("header"), sent(0, "until 2000"), reply(ackType, 0, "packet 0"),
          sent(0, "until 20"), tick(20, "until 40"), replyAt(25, nakType, 0, "packet 0"),
          sent(30, "until 67"), tick(68, "until 105"), replyAt(70, ackType, 0, "sent")},
         true,
         1,
         2},
        {"... and ends when none comes",
         {.packets = 2},
         {start("header"), sent(0, "until 2000"), reply(ackType, 0, "packet 0"),
          sent(0, "until 20"), reply(ackType, 0, "packet 1"), sent(10, "until 30"),
          tick(30, "until 50"), reply(ackType, 2, "until 50"), tick(50, "sent")},
         true},
        {"Ctrl-C while waiting for the last packet's late answer is about that packet",
         {.packets = 1},
         {start("header"), sent(0, "until 2000"), reply(ackType, 0, "packet 0"),
          sent(0, "until 20"), tick(20, "until 40"), interrupt("cancel 0"),
          sent(25, "interrupted")},
         true},
        {"a NAK too late to act on makes the transfer end unrepaired",
         {.packets = 3},
         {start("header"), sent(0, "until 2000"), reply(ackType, 0, "packet 0"),
          sent(0, "until 20"), tick(20, "packet 1"), sent(20, "until 40"), tick(40, "packet 2"),
          sent(40, "until 60"), replyAt(50, nakType, 0, "until 60"), tick(60, "until 80"),
          tick(80, "sent, unrepaired")},
         true},
        {"a header alone",
         {.packets = 0},
         {start("header"), sent(0, "until 2000"), reply(ackType, 0, "sent")},
         true},
    };
    for (const Scenario& scenario : scenarios) {
        Handshake handshake(scenario.settings);
        Time clock{};
        for (std::size_t i = 0; i < scenario.steps.size(); ++i) {
            EXPECT_EQ(show(scenario.steps[i].event(handshake, clock)), scenario.steps[i].expected)
                << scenario.name << ", step " << i;
        }
        EXPECT_EQ(handshake.closedLoop(), scenario.closedLoop) << scenario.name;
        EXPECT_EQ(handshake.resent(), scenario.resent) << scenario.name;
        EXPECT_EQ(handshake.lateAnswers(), scenario.lateAnswers) << scenario.name;
    }
}

TEST(Handshake, MatchesPacketNumbersModulo128) {
    Handshake handshake({.packets = 200});
    handshake.start();
    handshake.sent(std::chrono::milliseconds(0));
    handshake.received({0, ackType, 0}, {});
    for (std::uint64_t packet = 0; packet < 130; ++packet) {
        handshake.sent(std::chrono::milliseconds(0));
        ASSERT_EQ(
            show(handshake.received({0, ackType, static_cast<std::uint8_t>(packet & 0x7F)}, {})),
            "packet " + std::to_string(packet + 1));
    }
    handshake.sent(std::chrono::milliseconds(0));
    EXPECT_EQ(show(handshake.interrupt()), "cancel 130");
    EXPECT_EQ(handshake.currentPacket(), 130U);
}

} // namespace
} // namespace pelitor::send
