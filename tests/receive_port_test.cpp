// pelitor-receive from a port, end to end, against a simulated sampler on a pseudo-terminal.
#include "support/midi_program.hpp"
#include "support/program.hpp"
#include "support/sds_builder.hpp"
#include "support/simulated_sampler.hpp"

#include <csignal>
#include <gtest/gtest.h>

namespace pelitor::test {
namespace {

using namespace std::chrono_literals;

// What the sampler received, message by message: "request", "ack 3", "nak 3", "cancel 3".
std::string kinds(const std::vector<SysExMessage>& messages) {
    std::string names;
    for (const SysExMessage& message : messages) {
        const std::uint8_t type = message.type();
        names += (names.empty() ? "" : ", ") +
                 (type == dumpRequestType ? std::string("request")
                  : type == ackType       ? "ack " + std::to_string(message.number())
                  : type == nakType       ? "nak " + std::to_string(message.number())
                  : type == cancelType    ? "cancel " + std::to_string(message.number())
                                          : "other");
    }
    return names;
}

// "ack 0, ack 0, ack 1, ..." for the header and `packets` packets.
std::string acks(int packets) {
    std::string names = "ack 0";
    for (int i = 0; i < packets; ++i) {
        names += ", ack " + std::to_string(i);
    }
    return names;
}

class ReceiveFromPort : public ProgramTest {};

TEST_F(ReceiveFromPort, TakesTheDumpWithTheHandshakeOrRefusesIt) {
    struct Case {
        std::string label;
        DumpingSampler sampler; // its stream is set below; no stream: a sampler that is silent
        std::vector<std::string> options;
        std::string output;
        int status;
        std::string messages; // what the sampler got
        std::string errorsHave;
        Bytes result{}; // none: the dump as it was sent
    };
    const Bytes dump = sdsStream(40 * 3 + 1);
    const std::string closedLoop = "request, " + acks(4);
    const std::vector<Case> cases{
        {"closed loop into a WAV",
         {dump},
         {},
         "kick.wav",
         0,
         closedLoop,
         "received sample 0 into "},
        {"closed loop into .sds",
         {dump, true, {}},
         {},
         "kick.sds",
         0,
         closedLoop,
         ", 4 packets in "},
        {"a packet damaged once: NAKed, sent again",
         {dump, true, {{1, 1}}},
         {},
         "kick.sds",
         0,
         "request, ack 0, ack 0, nak 1, ack 1, ack 2, ack 3",
         ", 1 resent"},
        {"a packet damaged past the retries",
         {dump, true, {{1, 9}}},
         {"-r", "2"},
         "kick.sds",
         75,
         "request, ack 0, ack 0, nak 1, nak 1, cancel 1",
         "packet 2 of 4 stayed damaged after 2 NAKs (--retries 2); sent CANCEL after 1 of 4 "
         "packets"},
        {"a sampler that does not wait", {dump, false, {}}, {}, "kick.sds", 0, closedLoop, ""},
        {"a sampler that does not wait, a packet damaged",
         {dump, false, {{1, 1}}},
         {},
         "kick.wav",
         75,
         "request, ack 0, ack 0, nak 1, ack 2, ack 3",
         "packet 2 of 4 (words 40 to 79) came damaged and was not sent again; --keep-damaged"},
        {"a packet sent again after its ACK: ACKed again, the first copy kept",
         {.stream = dump, .repeated = {1}},
         {},
         "kick.sds",
         0,
         "request, ack 0, ack 0, ack 1, ack 1, ack 2, ack 3",
         ", 4 packets in "},
        {"the last packet, of a single word, never sent: one word shorter",
         {.stream = dump, .sendsLast = false},
         {"--packet-wait", "100"},
         "kick.sds",
         0,
         "request, ack 0, ack 0, ack 1, ack 2",
         "is missing, as some samplers never send it: the sample is 120 words\nreceived sample 0 ",
         sdsStream(40 * 3)},
        {"real-time bytes inside messages, the sampler's own message between them",
         {.stream = dump, .noisy = true},
         {},
         "kick.wav",
         0,
         closedLoop,
         "received sample 0 into "},
        {"no answer",
         DumpingSampler{},
         {"--header-wait", "100", "-n", "7", "-d", "3"},
         "kick.wav",
         75,
         "request, request, request",
         "the sampler did not answer the dump request for sample 7 on device channel 3 (3 "
         "requests, 100 ms apart)"},
    };
    writeFile(path("dump.sds"), dump);
    const ProgramRun decoded = run({"--file", path("dump.sds").string(), path("dump.wav").string()},
                                   "", "'" PELITOR_RECEIVE_BINARY "'");
    ASSERT_EQ(decoded.status, 0) << decoded.err;
    for (std::size_t index = 0; index < cases.size(); ++index) {
        const Case& c = cases[index];
        const fs::path output = path(std::to_string(index) + c.output);
        SimulatedSampler sampler(c.sampler.stream.empty() ? SamplerScript()
                                                          : dumpingSampler(c.sampler));
        const Launch launch = receiveProgram.on(sampler.port(), c.options, {output.string()});
        BackgroundProgram program(launch.command, path("out").string(), path("err").string(), -1,
                                  launch.environment);
        const int status = program.wait();
        sampler.finish();
        const std::string err = readErrors(path("err"));
        EXPECT_EQ(status, c.status) << c.label << ": " << err;
        EXPECT_EQ(kinds(sampler.messages()), c.messages) << c.label;
        EXPECT_NE(err.find(c.errorsHave), std::string::npos) << c.label << ": " << err;
        EXPECT_TRUE(terminalRestored(sampler)) << c.label;
        if (c.status != 0) {
            EXPECT_FALSE(fs::exists(output)) << c.label;
        } else {
            EXPECT_EQ(readFile(output),
                      !c.result.empty()
                          ? c.result
                          : readFile(path(c.output.ends_with(".sds") ? "dump.sds" : "dump.wav")))
                << c.label;
        }
    }
}

TEST_F(ReceiveFromPort, CtrlCSendsCancelAndWritesNothing) {
    SimulatedSampler sampler(nullptr);
    const Launch launch =
        receiveProgram.on(sampler.port(), {"--header-wait", "60000"}, {path("kick.wav").string()});
    BackgroundProgram program(launch.command, path("out").string(), path("err").string(), -1,
                              launch.environment);
    const auto end = SamplerClock::now() + 20s;
    while (sampler.messages().empty() && SamplerClock::now() < end) {
        std::this_thread::sleep_for(1ms);
    }
    program.signal(SIGINT);
    const int status = program.wait();
    sampler.finish();
    EXPECT_EQ(ending(status, program.diedOf()), ctrlCEnding());
    EXPECT_EQ(kinds(sampler.messages()), "request, cancel 0");
    EXPECT_FALSE(fs::exists(path("kick.wav")));
    EXPECT_TRUE(terminalRestored(sampler));
}

// Two programs' ports joined as by a MIDI cable each way: what comes out of one pseudo-terminal
// goes into the other, until told to stop.
class Cable {
  public:
    Cable() : thread_([this] { relay(); }) {}
    ~Cable() {
        stopping_ = true;
        thread_.join();
    }
    const std::string& end(int which) const { return ends_[which].port(); }

  private:
    void relay() {
        pollfd sides[2] = {{ends_[0].master(), POLLIN, 0}, {ends_[1].master(), POLLIN, 0}};
        while (!stopping_) {
            if (poll(sides, 2, 20) <= 0) {
                continue;
            }
            for (int from = 0; from < 2; ++from) {
                std::uint8_t buffer[512];
                if ((sides[from].revents & POLLIN) == 0) {
                    continue;
                }
                const ssize_t count = read(sides[from].fd, buffer, sizeof buffer);
                if (count > 0 && write(sides[1 - from].fd, buffer, count) != count) {
                    return;
                }
            }
        }
    }

    PseudoTerminal ends_[2];
    std::atomic<bool> stopping_ = false;
    std::thread thread_;
};

TEST_F(ReceiveFromPort, TakesWhatPelitorSendSendsByteForByte) {
    writeFile(path("sent.sds"), sdsStream(40 * 5 + 7, 24));
    Cable cable;
    const Launch listening =
        receiveProgram.on(cable.end(1), {"--listen"}, {path("got.sds").string()});
    BackgroundProgram receiver(listening.command, path("out").string(), path("err").string(), -1,
                               listening.environment);
    // The receiver drops what came before it opened its port; the sender starts after that.
    const auto end = SamplerClock::now() + 20s;
    while (readText(path("err")).empty() && SamplerClock::now() < end) {
        std::this_thread::sleep_for(1ms);
    }
    const Launch sending = sendProgram.on(cable.end(0), {}, {path("sent.sds").string()});
    BackgroundProgram sender(sending.command, path("send-out").string(), path("send-err").string(),
                             -1, sending.environment);
    EXPECT_EQ(sender.wait(20s), 0) << readErrors(path("send-err"));
    EXPECT_EQ(receiver.wait(20s), 0) << readErrors(path("err"));
    EXPECT_EQ(readFile(path("got.sds")), readFile(path("sent.sds")));
}

} // namespace
} // namespace pelitor::test
