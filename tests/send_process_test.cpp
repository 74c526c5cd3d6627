// pelitor-send end to end, against a simulated sampler on a pseudo-terminal.
#include "sds/sds_stream.hpp"
#include "support/midi_program.hpp"
#include "support/program.hpp"
#include "support/sds_builder.hpp"
#include "support/simulated_sampler.hpp"

#include <csignal>
#include <gtest/gtest.h>

namespace pelitor::test {
namespace {

using namespace std::chrono_literals;

const std::string sender = "'" PELITOR_SEND_BINARY "'";

// What follows the last line of a transfer that no answer came for.
const std::string unanswered = ": the sampler never answered; if it should, check its device ID "
                               "(-d) and the cable from its MIDI OUT\n";

struct Transfer {
    int status = -1;
    int diedOf = 0;
    std::string err;
    std::vector<SysExMessage> messages;
    Bytes received;
    std::vector<std::string> faults;
    bool terminalRestored = false;
    double seconds = 0;
    SamplerClock::time_point ended;
};

double secondsBetween(SamplerClock::time_point from, SamplerClock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

class Sender : public ProgramTest {
  protected:
    // Sends `file` as `fileName` to a sampler that answers as `script` says; `meanwhile` runs
    // while the transfer does. The command runs under `launcher` (a shell, say) if set, with
    // standard error on `errors` if set.
    Transfer
    send(const Bytes& file, SamplerScript script, std::vector<std::string> options = {},
         const std::function<void(BackgroundProgram&, SimulatedSampler&)>& meanwhile = {}) {
        writeFile(path(fileName), file);
        SimulatedSampler sampler(std::move(script));
        std::vector<std::string> files{path(fileName).string()};
        files.insert(files.end(), alsoSent.begin(), alsoSent.end());
        Launch launch = sendProgram.on(sampler.port(), options, files);
        launch.command.insert(launch.command.begin(), launcher.begin(), launcher.end());
        const auto start = SamplerClock::now();
        BackgroundProgram program(launch.command, path("out").string(), path("err").string(),
                                  errors, launch.environment);
        if (meanwhile) {
            meanwhile(program, sampler);
        }
        Transfer result;
        result.status = program.wait();
        result.diedOf = program.diedOf();
        result.ended = SamplerClock::now();
        result.seconds = secondsBetween(start, result.ended);
        sampler.finish();
        result.err = errors < 0 ? readErrors(path("err")) : "";
        result.messages = sampler.messages();
        result.received = sampler.received();
        result.faults = sampler.faults();
        result.terminalRestored = terminalRestored(sampler);
        return result;
    }

    std::string voice() const { return path(fileName).string(); }

    std::string fileName = "voice.sds";
    std::vector<std::string> alsoSent; // after it, as a set
    std::vector<std::string> launcher;
    int errors = -1;

    ProgramRun runSender(const std::vector<std::string>& arguments) {
        return run(arguments, "", sender);
    }
};

// The longest the sender waited: natively its whole run. Under Wine, whose start-up is slow and
// whose stand-in port takes each message's wire time, the longest time between two messages the
// sampler got, or between the last one and the sender's end.
double longestWait(const Transfer& sent) {
    if (!windowsPorts() || sent.messages.empty()) {
        return sent.seconds;
    }
    double longest = secondsBetween(sent.messages.back().at, sent.ended);
    for (std::size_t i = 1; i < sent.messages.size(); ++i) {
        longest = std::max(longest, secondsBetween(sent.messages[i - 1].at, sent.messages[i].at));
    }
    return longest;
}

// What the sampler received, message by message: "header", "packet 3", "cancel 3".
std::vector<std::string> kinds(const std::vector<SysExMessage>& messages) {
    std::vector<std::string> names;
    for (const SysExMessage& message : messages) {
        names.push_back(
            message.type() == dumpHeaderType   ? "header"
            : message.type() == dataPacketType ? "packet " + std::to_string(message.number())
            : message.type() == cancelType     ? "cancel " + std::to_string(message.number())
                                               : "other");
    }
    return names;
}

std::vector<std::string> sequence(int packets, std::vector<std::string> tail = {}) {
    std::vector<std::string> names{"header"};
    for (int i = 0; i < packets; ++i) {
        names.push_back("packet " + std::to_string(i % 128));
    }
    names.insert(names.end(), tail.begin(), tail.end());
    return names;
}

Bytes withActiveSensing(const Bytes& reply) {
    Bytes bytes{0xFE};
    for (const std::uint8_t byte : reply) {
        bytes.push_back(byte);
        bytes.push_back(0xFE);
    }
    bytes.insert(bytes.begin() + 3, 0xF8); // a clock right inside the reply as well
    return bytes;
}

// Sends `signal` once the sampler has had `messages` messages.
std::function<void(BackgroundProgram&, SimulatedSampler&)> signalAfter(std::size_t messages,
                                                                       int signal) {
    return [=](BackgroundProgram& program, SimulatedSampler& sampler) {
        const auto end = SamplerClock::now() + 20s;
        while (sampler.messages().size() < messages && SamplerClock::now() < end) {
            std::this_thread::sleep_for(1ms);
        }
        program.signal(signal);
    };
}

// A sampler that asks to wait after the first message and never says more.
std::vector<Answer> waitsAtTheHeader(const SysExMessage& message, std::size_t index) {
    if (index == 0) {
        return {{{}, handshake(waitType, 0)}};
    }
    return ackEverything(message, index);
}

TEST_F(Sender, ClosedLoopDeliversTheFileByteForByte) {
    // 150 packets, so that packet numbers wrap; with -i 2000 any ACK not taken would cost 2 s.
    const Bytes file = sdsStream(40 * 150);
    struct Case {
        std::string label;
        SamplerScript script;
    };
    const std::vector<Case> cases{
        {"plain ACKs", ackEverything},
        {"ACKs full of active sensing and clock bytes",
         [](const SysExMessage& message, std::size_t) {
             return std::vector<Answer>{
                 {{}, withActiveSensing(handshake(ackType, message.number()))}};
         }},
        {"ACKs for all channels", [](const SysExMessage& message, std::size_t) {
             return std::vector<Answer>{{{}, handshake(ackType, message.number(), 0x7F)}};
         }}};
    for (const Case& c : cases) {
        const Transfer sent = send(file, c.script, {"-i", "2000"});
        EXPECT_EQ(sent.status, 0) << c.label;
        EXPECT_EQ(sent.received, file) << c.label;
        EXPECT_TRUE(sent.faults.empty()) << c.label;
        EXPECT_LT(longestWait(sent), 1.9) << c.label;
        EXPECT_TRUE(sent.terminalRestored) << c.label;
        EXPECT_TRUE(sent.err.starts_with("sending " + voice() + " to ")) << sent.err;
        EXPECT_NE(sent.err.find("\nsent " + voice() + ": 150 packets in "), std::string::npos)
            << sent.err;
        EXPECT_TRUE(sent.err.ends_with(" s, closed loop, 0 resent\n")) << sent.err;
    }
}

TEST_F(Sender, ResendsAPacketTheSamplerRefused) {
    int refusals = 0;
    const Transfer sent = send(sdsStream(40 * 5), [&](const SysExMessage& message, std::size_t) {
        if (message.type() == dataPacketType && message.number() == 3 && refusals++ == 0) {
            return std::vector<Answer>{{{}, handshake(nakType, 3)}};
        }
        return ackEverything(message, 0);
    });
    EXPECT_EQ(sent.status, 0);
    EXPECT_EQ(kinds(sent.messages),
              (std::vector<std::string>{"header", "packet 0", "packet 1", "packet 2", "packet 3",
                                        "packet 3", "packet 4"}));
    EXPECT_TRUE(sent.err.ends_with("closed loop, 1 resent\n")) << sent.err;
}

TEST_F(Sender, GivesUpOnAPacketRefusedPastTheRetryLimit) {
    const Transfer sent = send(sdsStream(40 * 5),
                               [](const SysExMessage& message, std::size_t) {
                                   if (message.type() == dataPacketType && message.number() == 1) {
                                       return std::vector<Answer>{{{}, handshake(nakType, 1)}};
                                   }
                                   return ackEverything(message, 0);
                               },
                               {"--retries", "2"});
    EXPECT_EQ(sent.status, 75);
    EXPECT_EQ(kinds(sent.messages), sequence(2, {"packet 1", "packet 1", "cancel 1"}));
    EXPECT_TRUE(sent.faults.empty());
    EXPECT_TRUE(sent.err.ends_with(": the sampler refused packet 2 of 5 (3 times, --retries 2); "
                                   "sent CANCEL\n"))
        << sent.err;
}

TEST_F(Sender, PausesWhileTheSamplerAsksToWait) {
    const Transfer sent = send(sdsStream(40 * 3),
                               [](const SysExMessage& message, std::size_t) {
                                   if (message.type() == dataPacketType && message.number() == 1) {
                                       return std::vector<Answer>{{{}, handshake(waitType, 1)},
                                                                  {300ms, handshake(ackType, 1)}};
                                   }
                                   return ackEverything(message, 0);
                               },
                               {"-i", "5"});
    EXPECT_EQ(sent.status, 0);
    ASSERT_EQ(kinds(sent.messages), sequence(3));
    EXPECT_GE(secondsBetween(sent.messages[2].at, sent.messages[3].at), 0.25);
    EXPECT_TRUE(sent.err.ends_with("closed loop, 0 resent\n")) << sent.err;
}

TEST_F(Sender, StopsWhenTheSamplerCancels) {
    for (const std::size_t at : {0, 3}) {
        const Transfer sent =
            send(sdsStream(40 * 6), [at](const SysExMessage& message, std::size_t index) {
                if (index == at) {
                    return std::vector<Answer>{{{}, handshake(cancelType, message.number())}};
                }
                return ackEverything(message, 0);
            });
        EXPECT_EQ(sent.status, 75);
        // Nothing more after the CANCEL: the sampler's buffer is drained before it is counted.
        EXPECT_EQ(kinds(sent.messages), sequence(static_cast<int>(at)));
        const std::string where = at == 0 ? "the dump header" : "packet 3 of 6";
        EXPECT_TRUE(sent.err.ends_with(": the sampler cancelled the transfer at " + where + "\n"))
            << sent.err;
    }
}

TEST_F(Sender, GoesOnInOpenLoopWhenTheSamplerIsSilent) {
    const Bytes file = sdsStream(40 * 4);
    const Transfer sent = send(file, nullptr, {"-i", "40"});
    EXPECT_EQ(sent.status, 0);
    EXPECT_EQ(sent.received, file);
    ASSERT_EQ(sent.messages.size(), 5U);
    // Wide margins: a busy machine may read a message late, and the next one soon after it.
    EXPECT_GE(secondsBetween(sent.messages[0].at, sent.messages[1].at), 1.8);
    for (std::size_t i = 2; i < sent.messages.size(); ++i) {
        EXPECT_GE(secondsBetween(sent.messages[i - 1].at, sent.messages[i].at), 0.02) << i;
    }
    EXPECT_LT(sent.seconds, 10);
    EXPECT_NE(sent.err.find(" s, open loop, 0 resent\npelitor-send: "), std::string::npos)
        << sent.err;
    EXPECT_TRUE(sent.err.ends_with(unanswered)) << sent.err;
}

TEST_F(Sender, WaitsForTheHeaderAndBetweenPacketsAsAsked) {
    const Bytes file = sdsStream(40 * 4);
    const Transfer sent = send(file, nullptr, {"--header-wait", "300", "--gap", "100", "-i", "0"});
    EXPECT_EQ(sent.status, 0);
    EXPECT_EQ(sent.received, file);
    ASSERT_EQ(sent.messages.size(), 5U);
    const double header = secondsBetween(sent.messages[0].at, sent.messages[1].at);
    EXPECT_GE(header, 0.28);
    EXPECT_LT(header, 1.5);
    for (std::size_t i = 2; i < sent.messages.size(); ++i) {
        EXPECT_GE(secondsBetween(sent.messages[i - 1].at, sent.messages[i].at), 0.09) << i;
    }
}

TEST_F(Sender, TakesTheAnswersOfASamplerThatAnswersSomePackets) {
    const Bytes file = sdsStream(40 * 8);
    // After an unanswered packet it waits its 20 ms, or what --ack-wait says; after an answered
    // one it need not.
    for (const auto& [options, wait] : std::vector<std::pair<std::vector<std::string>, double>>{
             {{}, 0.015}, {{"--ack-wait", "150"}, 0.13}}) {
        const Transfer sent = send(
            file,
            [](const SysExMessage& message, std::size_t) {
                if (message.type() == dataPacketType && message.number() % 2 == 1) {
                    return std::vector<Answer>{};
                }
                return ackEverything(message, 0);
            },
            options);
        EXPECT_EQ(sent.status, 0);
        EXPECT_EQ(sent.received, file);
        ASSERT_EQ(sent.messages.size(), 9U);
        EXPECT_GE(secondsBetween(sent.messages[2].at, sent.messages[3].at), wait);
        EXPECT_TRUE(sent.err.ends_with("closed loop, 0 resent\n")) << sent.err;
    }
}

TEST_F(Sender, SendsOnTheDeviceChannelAskedForAndHearsOnlyThat) {
    const Transfer sent =
        send(sdsStream(40 * 4),
             [](const SysExMessage& message, std::size_t) {
                 return std::vector<Answer>{{{}, handshake(cancelType, 0, 3)},
                                            {{}, handshake(waitType, 0, 0)},
                                            {{}, handshake(ackType, message.number(), 5)}};
             },
             {"-d", "5", "-i", "2000"});
    EXPECT_EQ(sent.status, 0);
    EXPECT_TRUE(sent.faults.empty()); // every checksum made for channel 5
    EXPECT_EQ(sent.received, sdsStream(40 * 4, 16, 5));
    EXPECT_LT(sent.seconds, 1.9);
    EXPECT_NE(sent.err.find(": 4 packets, device channel 5, sample number 0\n"), std::string::npos)
        << sent.err;
}

TEST_F(Sender, CtrlCSendsCancelAndRestoresTheTerminal) {
    // Once waiting for the sampler, and once in the middle of an open-loop transfer.
    struct Case {
        std::string label;
        SamplerScript script;
        std::size_t signalAfter;
    };
    const std::vector<Case> cases{
        {"waiting",
         [](const SysExMessage& message, std::size_t index) {
             if (index == 1) {
                 return std::vector<Answer>{{{}, handshake(waitType, 0)}};
             }
             return ackEverything(message, index);
         },
         2},
        {"open loop", nullptr, 4},
    };
    for (const Case& c : cases) {
        const Transfer sent =
            send(sdsStream(40 * 200), c.script, {"-i", "5"}, signalAfter(c.signalAfter, SIGINT));
        EXPECT_EQ(ending(sent.status, sent.diedOf), ctrlCEnding()) << c.label;
        ASSERT_FALSE(sent.messages.empty()) << c.label;
        EXPECT_EQ(sent.messages.back().type(), cancelType) << c.label;
        EXPECT_TRUE(sent.faults.empty()) << c.label; // no message cut in two
        EXPECT_TRUE(sent.terminalRestored) << c.label;
        EXPECT_NE(sent.err.find("interrupted at packet"), std::string::npos) << sent.err;
        // A WAIT is an answer: only the silent sampler's transfer ends with the hint.
        EXPECT_EQ(sent.err.ends_with(unanswered), c.script == nullptr) << sent.err;
    }
}

TEST_F(Sender, CtrlCStopsAShellLoop) {
    launcher = {"/bin/bash", "-c", "for f in 1 2; do \"$0\" \"$@\"; done"};
    const Transfer sent = send(sdsStream(40 * 3), waitsAtTheHeader, {}, signalAfter(1, SIGINT));
    EXPECT_EQ(sent.diedOf, SIGINT); // the shell, once the sender had died of it
    EXPECT_EQ(kinds(sent.messages), (std::vector<std::string>{"header", "cancel 0"}));
    EXPECT_TRUE(sent.terminalRestored);
}

TEST_F(Sender, LeavesASignalIgnoredAtTheStartIgnored) {
    launcher = {"/bin/sh", "-c", "trap '' HUP; exec \"$0\" \"$@\""}; // as nohup starts it
    const Transfer sent = send(
        sdsStream(40 * 3),
        [](const SysExMessage& message, std::size_t index) {
            if (index == 1) {
                return std::vector<Answer>{{{}, handshake(waitType, 0)},
                                           {300ms, handshake(ackType, 0)}};
            }
            return ackEverything(message, index);
        },
        {}, signalAfter(2, SIGHUP));
    EXPECT_EQ(sent.status, 0) << sent.err;
    EXPECT_EQ(kinds(sent.messages), sequence(3));
}

TEST_F(Sender, GivesThePortBackWhenStandardErrorHasGone) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    close(ends[0]); // a reader that has gone: each line written to it fails
    errors = ends[1];
    const Transfer sent = send(sdsStream(40 * 3), ackEverything);
    close(ends[1]);
    EXPECT_EQ(sent.status, 0);
    EXPECT_EQ(kinds(sent.messages), sequence(3));
    EXPECT_TRUE(sent.terminalRestored);
}

TEST_F(Sender, EndsOnAPortThatNeverStopsSending) {
    // A character device that is no terminal, ALSA's or other: taken as a port all the same.
    // Flooded, the header goes unanswered, and open loop follows.
    writeFile(path("voice.sds"), sdsStream(40 * 3));
    for (const int signal : {0, SIGTERM}) {
        BackgroundProgram program({PELITOR_SEND_BINARY, "/dev/zero", voice()}, path("out").string(),
                                  path("err").string());
        if (signal != 0) {
            std::this_thread::sleep_for(300ms);
            program.signal(signal);
        }
        const int status = program.wait(10s);
        EXPECT_EQ(program.diedOf(), signal);
        if (signal == 0) {
            EXPECT_EQ(status, 0);
            EXPECT_TRUE(
                readText(path("err"))
                    .ends_with(" s, open loop, 0 resent\npelitor-send: /dev/zero" + unanswered))
                << readText(path("err"));
        }
    }
}

TEST_F(Sender, RefusesWhatItCannotDoWithTheRightStatus) {
    writeFile(path("good.sds"), sdsStream(100));
    Bytes bad = sdsStream(100);
    bad[30] = 0x80;
    writeFile(path("bad.sds"), bad);
    writeFile(path("plain"), {1, 2, 3});
    const Bytes wav = canonicalWav({.rate = 8000, .bits = 8}, Bytes(4, 0x80));
    writeFile(path("voice.wav"), wav);
    fs::create_directory(path("folder.sds"));
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string err;
    };
    const std::vector<Case> cases{
        {{"--device", "128", "p", "good.sds"},
         64,
         "pelitor-send: --device 128: must be 0 to 127\n"},
        // The file is checked before the port is opened.
        {{"/nonexistent/port", "bad.sds"},
         65,
         "pelitor-send: bad.sds: byte 30: packet 0 holds the status byte 0x80 (only 00 to 7F may "
         "come between F0 and F7)\n"},
        // A WAV file the converter refuses is refused in its words, before the port is opened.
        {{"--loop", "wav", "/nonexistent/port", "voice.wav"},
         65,
         "pelitor-send: voice.wav: --loop wav: the file has no \"smpl\" chunk; give the loop as "
         "--loop START:END instead\n"},
        {{"/nonexistent/port", "good.sds", "voice.wav"},
         64,
         "pelitor-send: good.sds and voice.wav would both replace sample 0; give -n\n"},
        {{"--bits", "12", "/nonexistent/port", "good.sds"},
         64,
         "pelitor-send: --loop and --bits shape a WAV file's words; good.sds is a sample dump, its "
         "words already made\n"},
        {{"/nonexistent/port", "missing.sds"},
         66,
         "pelitor-send: missing.sds: No such file or directory\n"},
        {{"/nonexistent/port", ""}, 66, "pelitor-send: '': No such file or directory\n"},
        {{"/nonexistent/port", "folder.sds"},
         66,
         "pelitor-send: folder.sds: is a directory, not an .sds file\n"},
        {{"/nonexistent/port", "good.sds"},
         69,
         "pelitor-send: /nonexistent/port: No such file or directory (pelitor-send --list shows "
         "the ports there are)\n"},
        {{"./plain", "good.sds"},
         69,
         "pelitor-send: ./plain: not a MIDI port (not a character device)\n"},
        // The port opens, and the one the answers would come in on does not.
        {{"--input", "/nonexistent/in", "/dev/null", "good.sds"},
         69,
         "pelitor-send: /dev/null: --input /nonexistent/in: No such file or directory "
         "(pelitor-send --list shows the ports there are)\n"},
        // Any name that is not a path is alsa-lib's to open.
        {{"hw:9,0,2", "good.sds"},
         69,
         "pelitor-send: hw:9,0,2: No such file or directory (pelitor-send --list shows the ports "
         "there are)\n"},
    };
    for (const Case& c : cases) {
        const ProgramRun result = runSender(c.arguments);
        EXPECT_EQ(result.status, c.status) << c.arguments[0];
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(result.out, "");
    }
}

TEST_F(Sender, SendsAWavFileAsPelitorConvertsItWithoutWritingOne) {
    Bytes samples;
    for (int i = 0; i < 1000; ++i) {
        samples.push_back(static_cast<std::uint8_t>(i * 7));
        samples.push_back(static_cast<std::uint8_t>(i / 4));
    }
    const Bytes wav = riffWave(
        {fmtChunk({.rate = 22050, .bits = 16}), dataChunk(samples), smplChunk({{0, 100, 899}})});
    writeFile(path("voice.wav"), wav);
    fileName = "voice.wav";
    const std::vector<std::vector<std::string>> cases{
        {}, {"-n", "7", "--loop", "wav"}, {"--bits", "12", "-d", "3"}};
    for (const auto& options : cases) {
        std::vector<std::string> converting = options;
        converting.insert(converting.end(), {"-o", "pelitors.sds", "voice.wav"});
        ASSERT_EQ(run(converting).status, 0);
        const Bytes expected = readFile(path("pelitors.sds"));
        fs::remove(path("pelitors.sds"));
        const std::uint8_t channel = options.size() == 4 && options[2] == "-d" ? 3 : 0;
        const Transfer sent = send(
            wav,
            [channel](const SysExMessage& message, std::size_t) {
                return std::vector<Answer>{{{}, handshake(ackType, message.number(), channel)}};
            },
            options);
        const std::string label = options.empty() ? "no options" : options[0];
        EXPECT_EQ(sent.status, 0) << label << sent.err;
        EXPECT_EQ(sent.received, expected) << label;
        EXPECT_TRUE(sent.err.starts_with("sending " + voice() + " to ")) << sent.err;
        EXPECT_FALSE(fs::exists(path("voice.sds"))) << label;
    }
}

TEST_F(Sender, SendsASetToFollowingSlotsInTurn) {
    writeFile(path("snare.wav"), canonicalWav({.rate = 8000, .bits = 8}, Bytes(100, 0x90)));
    writeFile(path("hat.sds"), sdsStream(40 * 2));
    alsoSent = {path("snare.wav").string(), path("hat.sds").string()};
    const Transfer sent = send(sdsStream(40 * 3), ackEverything, {"-n", "5"});
    EXPECT_EQ(sent.status, 0) << sent.err;
    std::vector<int> slots;
    for (const SysExMessage& message : sent.messages) {
        if (message.type() == dumpHeaderType) {
            slots.push_back(message.number());
        }
    }
    EXPECT_EQ(slots, (std::vector<int>{5, 6, 7}));
    EXPECT_EQ(sent.messages.size(), 3U + 3 + 2 + 2); // headers, then 3, 2 and 2 packets
    EXPECT_NE(sent.err.find("sending " + alsoSent[0] + " (file 2 of 3) to "), std::string::npos)
        << sent.err;
    EXPECT_NE(sent.err.find("\nsent 3 samples (5..7) in "), std::string::npos) << sent.err;
    EXPECT_TRUE(sent.err.ends_with(" s, closed loop, 0 resent\n")) << sent.err;

    // A sampler's CANCEL stops the set where it is.
    const Transfer cancelled =
        send(sdsStream(40 * 3),
             [](const SysExMessage& message, std::size_t index) {
                 return index == 1
                            ? std::vector<Answer>{{{}, handshake(cancelType, message.number())}}
                            : ackEverything(message, index);
             },
             {"-n", "5"});
    EXPECT_EQ(cancelled.status, 75);
    EXPECT_TRUE(cancelled.err.ends_with("pelitor-send: " + voice() +
                                        ": the set stops here; not sent: " + alsoSent[0] + ", " +
                                        alsoSent[1] + "\n"))
        << cancelled.err;
    EXPECT_EQ(kinds(cancelled.messages), (std::vector<std::string>{"header", "packet 0"}));
}

TEST_F(Sender, PausesBetweenTheDumpsOfASetInOpenLoop) {
    Bytes snare = sdsStream(40 * 2);
    snare[headerSampleNumberIndex] = 1;
    writeFile(path("snare.sds"), snare);
    alsoSent = {path("snare.sds").string()};
    const Transfer sent = send(sdsStream(40 * 2), nullptr, {"--header-wait", "300", "-i", "0"});
    EXPECT_EQ(sent.status, 0) << sent.err;
    ASSERT_EQ(kinds(sent.messages), (std::vector<std::string>{"header", "packet 0", "packet 1",
                                                              "header", "packet 0", "packet 1"}));
    // The sampler may still be storing the first sample: it gets a header's wait.
    EXPECT_GE(secondsBetween(sent.messages[2].at, sent.messages[3].at), 0.28);
    EXPECT_NE(sent.err.find("\nsent 2 samples (0..1) in "), std::string::npos) << sent.err;

    // A refusal of the last packet that comes during the pause stops the set: it is lost.
    const Transfer refused =
        send(sdsStream(40 * 2),
             [](const SysExMessage& message, std::size_t) {
                 if (message.type() == dataPacketType && message.number() == 1) {
                     return std::vector<Answer>{{100ms, handshake(nakType, 1)}};
                 }
                 return std::vector<Answer>{};
             },
             {"--header-wait", "300", "-i", "0"});
    EXPECT_EQ(refused.status, 75) << refused.err;
    EXPECT_EQ(kinds(refused.messages),
              (std::vector<std::string>{"header", "packet 0", "packet 1"}));
    EXPECT_NE(refused.err.find("voice.sds: the sampler refused it after its last packet"),
              std::string::npos)
        << refused.err;
}

TEST_F(Sender, SendsNothingOfASetWithARefusedFile) {
    const Bytes wav = canonicalWav({.rate = 8000, .bits = 8}, Bytes(100, 0x90));
    writeFile(path("kick.wav"), wav);
    writeFile(path("snare.wav"), riffWave({fmtChunk({.rate = 8000, .bits = 8})}));
    alsoSent = {path("snare.wav").string(), path("kick.wav").string()};
    fileName = "hat.wav";
    const Transfer sent = send(wav, ackEverything, {"-n", "1"});
    EXPECT_EQ(sent.status, 65);
    EXPECT_TRUE(sent.err.starts_with("pelitor-send: " + alsoSent[0] + ": ")) << sent.err;
    EXPECT_EQ(sent.err.find('\n'), sent.err.size() - 1) << sent.err;
    EXPECT_TRUE(sent.messages.empty());
}

TEST_F(Sender, ChecksAFileWithoutSendingIt) {
    const Bytes good = sdsStream(100); // packets at 21, 148 and 275
    writeFile(path("good.sds"), good);
    const ProgramRun valid = runSender({"--check", "good.sds"});
    EXPECT_EQ(valid.status, 0);
    EXPECT_EQ(valid.out, "good.sds: 16-bit words, 44101 Hz (period 22675 ns), 100 words (0.002 "
                         "s), 3 packets, forward loop from word 0 to 0, device channel 0, sample "
                         "number 0\n");
    EXPECT_EQ(valid.err, "");

    struct Case {
        std::string label;
        std::function<void(Bytes&)> corrupt;
        std::string fault;
    };
    const std::vector<Case> cases{
        {"bad checksum", [](Bytes& b) { b[250] ^= 0x10; }, "byte 273: packet 1: checksum"},
        {"missing F7", [](Bytes& b) { b.erase(b.begin() + 147); },
         "byte 147: F7 expected at the end of packet 0, found 0xF0"},
        {"wrong packet number", [](Bytes& b) { b[279] = 3; },
         "byte 279: packet 2 is numbered 3, 2 expected"},
        {"truncated", [](Bytes& b) { b.resize(b.size() - 1); },
         "byte 401: the file ends inside packet 2 (126 of 127 bytes)"},
        {"trailing byte", [](Bytes& b) { b.push_back(0x00); },
         "byte 402: 1 byte after the last packet"},
        // Counted in the whole file, though no more is read than the longest stream.
        {"10 MiB after the last packet", [](Bytes& b) { b.resize(b.size() + (10U << 20)); },
         "byte 402: 10485760 bytes after the last packet"},
    };
    // An answer that cannot be written is told once; a closed pipe would fail it as well.
    const ProgramRun lost =
        run({"--check", "good.sds"}, "", "f() { " + sender + " \"$@\" >/dev/full; }; f");
    EXPECT_EQ(lost.status, 0);
    EXPECT_EQ(lost.err, "pelitor-send: standard output: could not be written\n");

    for (const Case& c : cases) {
        Bytes bytes = good;
        c.corrupt(bytes);
        writeFile(path("bad.sds"), bytes);
        const ProgramRun result = runSender({"--check", "bad.sds"});
        EXPECT_EQ(result.status, 65) << c.label;
        EXPECT_TRUE(result.err.starts_with("pelitor-send: bad.sds: " + c.fault)) << result.err;
        EXPECT_EQ(result.out, "") << c.label;
    }
}

TEST_F(Sender, AcceptsWhatLibsndfileWrites) {
    if (!toolInstalled("sndfile-convert")) {
        GTEST_SKIP() << "sndfile-convert is not installed: its .sds files were not checked";
    }
    struct Case {
        std::uint16_t bits;
        std::size_t words;
    };
    for (const Case c :
         {Case{8, 59}, Case{8, 1000}, Case{16, 4001}, Case{16, 37}, Case{24, 1001}, Case{24, 29}}) {
        const std::string label = std::to_string(c.bits) + "-bit, " + std::to_string(c.words);
        writeFile(path("in.wav"),
                  canonicalWav({.rate = 32000, .bits = c.bits}, Bytes(c.words * c.bits / 8, 0x5A)));
        const std::string eightBit = c.bits == 8 ? "-pcms8 " : "";
        ASSERT_EQ(shell("sndfile-convert " + eightBit + "in.wav theirs.sds >/dev/null 2>&1"), 0)
            << label;
        const ProgramRun result = runSender({"--check", "theirs.sds"});
        EXPECT_EQ(result.status, 0) << label << ": " << result.err;
        EXPECT_NE(result.out.find(std::to_string(c.bits) + "-bit words"), std::string::npos)
            << result.out;
    }
}

// Windows numbers its outputs and inputs apart, and names each: --list shows both, PORT takes
// an output by a start of its name, and one with no input of its name sends in open loop,
// saying so, unless --input names the sampler's.
TEST_F(Sender, OnWindowsTakesOutputsAndInputsByNameOrNumber) {
    const char* command = std::getenv("PELITOR_SEND_COMMAND");
    if (!windowsPorts() || command == nullptr) {
        GTEST_SKIP() << "the Windows build's device names are tested under Wine";
    }
    const std::string names =
        "PELITOR_STAND_IN_OUTPUTS='Synth|UM-ONE' PELITOR_STAND_IN_INPUTS=UM-ONE";
    const ProgramRun listed = run({"--list"}, names, command);
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out, consoleLines("MIDI outputs (PORT, by number or name):\n"
                                       "  0  Synth\n"
                                       "  1  UM-ONE\n"
                                       "MIDI inputs (--input, where not of PORT's name):\n"
                                       "  0  UM-ONE\n"));
    setenv("PELITOR_STAND_IN_OUTPUTS", "Synth|UM-ONE", 1);
    setenv("PELITOR_STAND_IN_INPUTS", "UM-ONE", 1);
    const std::string name = std::getenv("PELITOR_PORT_NAME");
    setenv("PELITOR_PORT_NAME", "syn", 1);
    const Bytes file = sdsStream(40 * 2);
    const Transfer deaf = send(file, ackEverything, {"-i", "40"});
    const Transfer heard = send(file, ackEverything, {"--input", "0"});
    setenv("PELITOR_PORT_NAME", name.c_str(), 1);
    unsetenv("PELITOR_STAND_IN_OUTPUTS");
    unsetenv("PELITOR_STAND_IN_INPUTS");
    EXPECT_EQ(deaf.status, 0) << deaf.err;
    EXPECT_EQ(deaf.received, file);
    EXPECT_TRUE(deaf.err.starts_with("sending " + voice() +
                                     " to syn: 2 packets, device channel 0, sample number 0; in "
                                     "open loop, as the port has no MIDI input to hear the "
                                     "sampler on (--input names one)\n"))
        << deaf.err;
    EXPECT_TRUE(deaf.err.ends_with(" s, open loop, 0 resent\n")) << deaf.err;
    EXPECT_EQ(heard.status, 0) << heard.err;
    EXPECT_EQ(heard.received, file);
    EXPECT_TRUE(heard.err.ends_with(" s, closed loop, 0 resent\n")) << heard.err;
}

TEST_F(Sender, ListsThePortsOrSaysThereAreNone) {
    const ProgramRun result = runSender({"--list"});
    if (fs::exists("/dev/snd")) {
        GTEST_SKIP() << "this machine has sound devices; the listing itself is tested in memory";
    }
    EXPECT_EQ(result.status, 69);
    EXPECT_EQ(result.err, "pelitor-send: alsa-lib finds no sound card with a raw MIDI port (is "
                          "the MIDI interface connected and switched on?)\n");
}

} // namespace
} // namespace pelitor::test
