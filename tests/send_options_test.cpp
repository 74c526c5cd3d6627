#include "send/options.hpp"

#include <gtest/gtest.h>

namespace pelitor::send {
namespace {

std::string parsed(std::vector<std::string> arguments) {
    const auto options = parseSendOptions(arguments);
    if (!options) {
        EXPECT_EQ(options.failure().kind, FailureKind::usage);
        return "failure: " + options.failure().message;
    }
    const char* tasks[] = {"send", "list", "check", "help", "version"};
    const HandshakeSettings& handshake = options->handshake;
    const auto ms = [](Time time) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(time).count();
    };
    std::string files;
    for (const std::string& file : options->files) {
        files += (files.empty() ? "" : ",") + file;
    }
    std::string text = std::string(tasks[options->task]) + " [" + options->port + "][" + files +
                       "] i=" + std::to_string(ms(handshake.interval)) +
                       " r=" + std::to_string(handshake.retries);
    if (options->deviceChannel) {
        text += " d=" + std::to_string(*options->deviceChannel);
    }
    if (options->sampleNumber) {
        text += " n=" + std::to_string(*options->sampleNumber);
    }
    const LoopRequest& loop = options->wordShape.loop;
    if (loop.kind != LoopRequest::Kind::unset) {
        text += " loop=" + std::to_string(static_cast<int>(loop.kind)) + ":" +
                std::to_string(loop.start) + ":" + std::to_string(loop.end);
    }
    if (options->wordShape.bits != 0) {
        text += " bits=" + std::to_string(options->wordShape.bits);
    }
    // The pacing settings only where they are not the defaults.
    if (handshake.headerWait != defaultHeaderWait) {
        text += " header=" + std::to_string(ms(handshake.headerWait));
    }
    if (handshake.ackWait) {
        text += " ack=" + std::to_string(ms(*handshake.ackWait));
    }
    if (handshake.gap != defaultGap) {
        text += " gap=" + std::to_string(ms(handshake.gap));
    }
    return text;
}

TEST(SendOptions, TakesEachTaskAndItsSettings) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"hw:1,0", "a.sds"}, "send [hw:1,0][a.sds] i=20 r=5"},
        {{"-i", "0", "-r100", "--device=127", "/dev/pts/3", "a.sds"},
         "send [/dev/pts/3][a.sds] i=0 r=100 d=127"},
        {{"--interval", "10000", "-d", "0", "p", "f"}, "send [p][f] i=10000 r=5 d=0"},
        {{"--list"}, "list [][] i=20 r=5"},
        {{"--check", "a.sds"}, "check [][a.sds] i=20 r=5"},
        {{"--check", "-d", "3", "a.sds"}, "check [][a.sds] i=20 r=5 d=3"},
        {{"--list", "--help"}, "help [][] i=20 r=5"},
        {{"-V", "x", "y", "z"}, "version [][] i=20 r=5"},
        {{}, "failure: PORT and FILE expected (see --help)"},
        {{"hw:1,0"}, "failure: PORT and FILE expected (see --help)"},
        {{"p", "a.sds", "b.wav", "c"}, "send [p][a.sds,b.wav,c] i=20 r=5"},
        {{"-n", "16381", "p", "a", "b", "c"}, "send [p][a,b,c] i=20 r=5 n=16381"},
        {{"-n", "16382", "p", "a", "b", "c"},
         "failure: -n 16382: 3 files would go up to sample 16384, past 16383"},
        {{"--check"}, "failure: --check: one FILE.sds expected"},
        {{"--check", "a.sds", "b.sds"}, "failure: --check: one FILE.sds expected"},
        {{"--list", "x"}, "failure: --list: takes no operands"},
        {{"--list", "--check", "a.sds"}, "failure: --list and --check: one at a time"},
        {{"-i", "10001", "p", "f"}, "failure: -i 10001: must be 0 to 10000"},
        {{"--retries=101", "p", "f"}, "failure: --retries 101: must be 0 to 100"},
        {{"--device", "200", "p", "f"}, "failure: --device 200: must be 0 to 127"},
        {{"p", "f", "-i", "5"}, "failure: -i: options go before PORT and FILE"},
        {{"voice.sds", "hw:1,0"},
         "failure: PORT comes first, then FILE: pelitor-send hw:1,0 voice.sds"},
        {{"Voice.SDS", "/dev/midi1"},
         "failure: PORT comes first, then FILE: pelitor-send /dev/midi1 Voice.SDS"},
        {{"hw:1,0", "-take1.sds"},
         "failure: -t: unknown option; a file name starting with '-' "
         "goes after '--': pelitor-send PORT -- -take1.sds"},
        {{"-x", "p", "f"}, "failure: -x: unknown option"},
        {{"hw:1,0", "--", "-take1.sds"}, "send [hw:1,0][-take1.sds] i=20 r=5"},
        {{"--header-wait", "60000", "--ack-wait=1", "--gap", "10000", "p", "f"},
         "send [p][f] i=20 r=5 header=60000 ack=1 gap=10000"},
        {{"--header-wait=100", "--ack-wait", "10000", "--gap=0", "p", "f"},
         "send [p][f] i=20 r=5 header=100 ack=10000"},
        {{"--header-wait", "99", "p", "f"}, "failure: --header-wait 99: must be 100 to 60000"},
        {{"--ack-wait", "0", "p", "f"}, "failure: --ack-wait 0: must be 1 to 10000"},
        {{"--gap", "10001", "p", "f"}, "failure: --gap 10001: must be 0 to 10000"},
        // The converter's words for what shapes a WAV file's dump.
        {{"-n", "16383", "--loop", "10:20", "--bits=28", "p", "f"},
         "send [p][f] i=20 r=5 n=16383 loop=2:10:20 bits=28"},
        {{"--sample-number=0", "--loop", "auto", "p", "f"}, "send [p][f] i=20 r=5 n=0 loop=4:0:0"},
        {{"-n", "16384", "p", "f"}, "failure: -n 16384: must be 0 to 16383"},
        {{"--loop", "20:10", "p", "f"}, "failure: --loop 20:10: START must not come after END"},
        {{"--bits", "7", "p", "f"}, "failure: --bits 7: must be 8 to 28"},
    };
    for (const auto& [arguments, expected] : cases) {
        EXPECT_EQ(parsed(arguments), expected);
    }
}

} // namespace
} // namespace pelitor::send
