#include "receive/receive_handshake.hpp"
#include "sds/data_packet.hpp"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pelitor::receive {
namespace {

std::string show(const Action& action) {
    if (const auto* send = std::get_if<Send>(&action)) {
        static const char* const kinds[] = {"request", "ack", "nak", "cancel"};
        std::string text = kinds[send->kind];
        if (send->kind != Send::dumpRequest) {
            text += ' ';
            text += std::to_string(send->packet);
        }
        if (send->deviceChannel != 0) {
            text += " on ";
            text += std::to_string(send->deviceChannel);
        }
        return text;
    }
    if (const auto* await = std::get_if<Await>(&action)) {
        return await->deadline ? "until " + std::to_string(await->deadline->count() / 1'000'000)
                               : "until a message";
    }
    static const char* const outcomes[] = {"received",  "no answer",  "header refused",
                                           "gave up",   "stopped",    "lost",
                                           "cancelled", "interrupted"};
    return outcomes[static_cast<int>(std::get<Finish>(action).outcome)];
}

// 16-bit words, 40 a packet: a dump of 3 packets, the last holding one word.
constexpr std::uint32_t dumpWords = 81;

// A message as the reader gives it; the bytes live as long as the step.
struct Incoming {
    std::vector<std::uint8_t> bytes;
    MessageKind kind;
    Message::End end = Message::End::sysExEnd;

    Message message() const { return {kind, 0, bytes.size(), bytes, end}; }
};

Incoming header(std::uint8_t channel = 0, std::uint8_t width = 16) {
    const DumpHeaderMessage bytes = makeDumpHeader({.deviceChannel = channel,
                                                    .bitsPerSample = width,
                                                    .periodNs = 22675,
                                                    .wordCount = dumpWords});
    return {{bytes.begin(), bytes.end()}, MessageKind::dumpHeader};
}

Incoming packet(std::uint64_t index, bool good = true, std::uint8_t channel = 0) {
    const std::vector<std::uint8_t> samples(dumpWords * 2, 0x22);
    DataPacket bytes = makeDataPacket(channel, index, samples, wordFormatFor({2, 16, 16}));
    if (!good) {
        bytes[packetDataIndex] ^= 0x01;
    }
    return {{bytes.begin(), bytes.end()}, MessageKind::dataPacket};
}

Incoming broken(std::uint64_t index) {
    Incoming cut = packet(index);
    cut.bytes.resize(50);
    return {cut.bytes, MessageKind::broken, Message::End::statusByte};
}

Incoming handshake(std::uint8_t type, std::uint8_t channel = 0) {
    const HandshakeMessage bytes = makeHandshake(type, channel, 0);
    return {{bytes.begin(), bytes.end()}, MessageKind::handshake};
}

struct Step {
    std::function<Action(ReceiveHandshake&)> event;
    std::string expected;
};

Step start(std::string expected) {
    return {[](ReceiveHandshake& h) { return h.start(); }, std::move(expected)};
}
Step sent(int ms, std::string expected) {
    return {[ms](ReceiveHandshake& h) { return h.sent(std::chrono::milliseconds(ms)); },
            std::move(expected)};
}
Step tick(int ms, std::string expected) {
    return {[ms](ReceiveHandshake& h) { return h.tick(std::chrono::milliseconds(ms)); },
            std::move(expected)};
}
Step in(Incoming incoming, std::string expected) {
    return {[incoming = std::move(incoming)](ReceiveHandshake& h) {
                return h.received(incoming.message());
            },
            std::move(expected)};
}
Step interrupt(std::string expected) {
    return {[](ReceiveHandshake& h) { return h.interrupt(); }, std::move(expected)};
}

// The header in and answered at 10 ms, so that packet 0 is due by 5010 ms.
std::vector<Step> afterHeader(std::vector<Step> rest) {
    std::vector<Step> steps{start("request"), sent(0, "until 5000"), in(header(), "ack 0"),
                            sent(10, "until 5010")};
    for (Step& step : rest) {
        steps.push_back(std::move(step));
    }
    return steps;
}

struct Scenario {
    std::string name;
    ReceiveSettings settings;
    std::vector<Step> steps;
};

TEST(ReceiveHandshake, FollowsEachScenarioStepByStep) {
    const std::vector<Scenario> scenarios{
        {"closed loop: each packet ACKed with its number, complete after the last ACK",
         {},
         afterHeader({in(packet(0), "ack 0"), sent(20, "until 5020"), in(packet(1), "ack 1"),
                      sent(30, "until 5030"), in(packet(2), "ack 2"), sent(40, "received")})},
        {"no header: three requests in all, then no answer",
         {.headerWait = 1000ms},
         {start("request"), sent(0, "until 1000"), tick(999, "until 1000"),
          in(packet(0), "until 1000"), tick(1000, "request"), sent(1005, "until 2005"),
          tick(2005, "request"), sent(2010, "until 3010"), tick(3010, "no answer")}},
        {"listening: no request and no limit, a dump on any channel answered on its own",
         {.listen = true},
         {start("until a message"), tick(1'000'000, "until a message"), in(header(9), "ack 0 on 9"),
          sent(10, "until 5010"), in(packet(0, true, 3), "until 5010"),
          in(packet(0, true, 9), "ack 0 on 9")}},
        {"listening with a channel: other channels' dumps are left alone",
         {.listen = true, .deviceChannel = 4},
         {start("until a message"), in(header(9), "until a message"), in(header(4), "ack 0 on 4")}},
        {"a request on its channel is answered only from there",
         {.deviceChannel = 2},
         {start("request on 2"), sent(0, "until 5000"), in(header(0), "until 5000"),
          in(header(2), "ack 0 on 2")}},
        {"a header that fails its check is cancelled and refused",
         {},
         {start("request"), sent(0, "until 5000"), in(header(0, 30), "cancel 0"),
          sent(5, "header refused")}},
        {"a broken header too",
         {},
         {start("request"), sent(0, "until 5000"),
          in({header().bytes, MessageKind::broken, Message::End::statusByte}, "cancel 0"),
          sent(5, "header refused")}},
        {"a damaged expected packet is NAKed until the retries are spent, then cancelled",
         {.retries = 2},
         afterHeader({in(packet(0, false), "nak 0"), sent(20, "until 5020"), in(broken(0), "nak 0"),
                      sent(30, "until 5030"), in(packet(0, false), "cancel 0"),
                      sent(40, "gave up")})},
        {"a good copy after NAKs is taken, and the next packet has its own retries",
         {.retries = 1},
         afterHeader({in(packet(0, false), "nak 0"), sent(20, "until 5020"), in(packet(0), "ack 0"),
                      sent(30, "until 5030"), in(packet(1, false), "nak 1"), sent(40, "until 5040"),
                      in(packet(1), "ack 1")})},
        {"no retries: the first damaged copy is cancelled",
         {.retries = 0},
         afterHeader({in(packet(0, false), "cancel 0"), sent(20, "gave up")})},
        {"a repeat of the packet just ACKed is ACKed again",
         {},
         afterHeader({in(packet(0), "ack 0"), sent(20, "until 5020"), in(packet(0), "ack 0"),
                      sent(30, "until 5030"), in(packet(1), "ack 1")})},
        {"any other number: NAK the expected one",
         {},
         afterHeader({in(packet(0), "ack 0"), sent(20, "until 5020"), in(packet(100), "nak 1")})},
        {"open loop: a later packet is kept, and packets lost at the end refuse the dump",
         {},
         afterHeader({in(packet(0, false), "nak 0"), in(packet(1), "ack 1"), in(packet(2), "ack 2"),
                      sent(30, "lost")})},
        {"open loop with keepDamaged: the dump is taken",
         {.keepDamaged = true},
         afterHeader({in(packet(0), "ack 0"), in(packet(2), "ack 2"), sent(30, "received")})},
        {"later packets count nothing against the retries",
         {.retries = 1},
         afterHeader({in(packet(0, false), "nak 0"), in(packet(1), "ack 1"),
                      in(packet(2, false), "nak 2"), in(packet(2), "ack 2"), sent(30, "lost")})},
        {"no packet within the packet wait of our last answer: stopped",
         {.packetWait = 200ms},
         {start("request"), sent(0, "until 5000"), in(header(), "ack 0"), sent(10, "until 210"),
          in(packet(0), "ack 0"), sent(100, "until 300"), tick(299, "until 300"),
          tick(300, "stopped")}},
        {"only the single-word last packet missing: the dump is one word shorter",
         {},
         afterHeader({in(packet(0), "ack 0"), sent(20, "until 5020"), in(packet(1), "ack 1"),
                      sent(30, "until 5030"), tick(5030, "received")})},
        {"the sampler cancels",
         {},
         afterHeader(
             {in(handshake(waitType), "until 5010"), in(handshake(cancelType), "cancelled")})},
        {"foreign messages and other headers are ignored",
         {},
         afterHeader({in({{0xF0, 0x43, 0xF7}, MessageKind::foreign}, "until 5010"),
                      in(header(), "until 5010"), in(packet(0), "ack 0")})},
        {"Ctrl-C before the header: CANCEL, then interrupted",
         {},
         {start("request"), sent(0, "until 5000"), interrupt("cancel 0"), sent(5, "interrupted")}},
        {"Ctrl-C while listening, before any dump began: nothing to cancel",
         {.listen = true},
         {start("until a message"), interrupt("interrupted")}},
        {"Ctrl-C inside the dump cancels the expected packet",
         {},
         afterHeader({in(packet(0), "ack 0"), sent(20, "until 5020"), interrupt("cancel 1"),
                      sent(25, "interrupted"), in(packet(1), "interrupted")})},
    };
    for (const Scenario& scenario : scenarios) {
        ReceiveHandshake handshake(scenario.settings);
        for (std::size_t i = 0; i < scenario.steps.size(); ++i) {
            EXPECT_EQ(show(scenario.steps[i].event(handshake)), scenario.steps[i].expected)
                << scenario.name << ", step " << i;
        }
    }
}

TEST(ReceiveHandshake, SendsItsMessagesReadyForTheWire) {
    ReceiveHandshake handshake({.sampleNumber = 300, .deviceChannel = 5});
    const Send request = std::get<Send>(handshake.start());
    EXPECT_EQ(std::vector<std::uint8_t>(request.bytes().begin(), request.bytes().end()),
              (std::vector<std::uint8_t>{0xF0, 0x7E, 0x05, 0x03, 0x2C, 0x02, 0xF7}));
    handshake.sent(0ms);
    const Send ack = std::get<Send>(handshake.received(header(5).message()));
    EXPECT_EQ(std::vector<std::uint8_t>(ack.bytes().begin(), ack.bytes().end()),
              (std::vector<std::uint8_t>{0xF0, 0x7E, 0x05, 0x7F, 0x00, 0xF7}));
}

} // namespace
} // namespace pelitor::receive
