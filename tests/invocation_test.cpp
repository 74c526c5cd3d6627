#include "app/invocation.hpp"

#include <gtest/gtest.h>

namespace pelitor {
namespace {

// What the arguments ask for, in a few words; or the usage failure's message.
std::string parsed(std::vector<std::string> arguments) {
    const auto invocation = parseInvocation(arguments);
    if (!invocation) {
        EXPECT_EQ(invocation.failure().kind, FailureKind::usage);
        return "failure: " + invocation.failure().message;
    }
    constexpr const char* requests[] = {"usage", "help", "version", "convert"};
    constexpr const char* loops[] = {"unset", "off", "points", "wav", "auto"};
    const Invocation& i = *invocation;
    const LoopRequest& loop = i.options.loop;
    return std::string(requests[static_cast<int>(i.request)]) + " d" +
           std::to_string(i.options.deviceChannel) + " n" + std::to_string(i.options.sampleNumber) +
           " " + loops[static_cast<int>(loop.kind)] + " " + std::to_string(loop.start) + ":" +
           std::to_string(loop.end) + " o=" + i.output.value_or("-") + " [" + i.input + "] +" +
           std::to_string(i.ignoredArguments);
}

TEST(Invocation, TakesTheOptionsAndTheLastOfARepeatedOneWins) {
    EXPECT_EQ(parsed({}), "usage d0 n0 unset 0:0 o=- [] +0");
    EXPECT_EQ(parsed({"voice.wav"}), "convert d0 n0 unset 0:0 o=- [voice.wav] +0");
    EXPECT_EQ(parsed({"-d", "5", "--device=127", "-n16383", "--loop", "0:0", "--loop", "3:9", "-o",
                      "out/", "voice.wav", "more.wav", "--", "-x"}),
              "convert d127 n16383 points 3:9 o=out/ [voice.wav] +2");
    EXPECT_EQ(parsed({"--loop=off", "a.wav"}), "convert d0 n0 off 0:0 o=- [a.wav] +0");
    EXPECT_EQ(parsed({"--loop", "wav", "a.wav"}), "convert d0 n0 wav 0:0 o=- [a.wav] +0");
    EXPECT_EQ(parsed({"--loop=auto", "a.wav"}), "convert d0 n0 auto 0:0 o=- [a.wav] +0");
    EXPECT_EQ(parsed({"--loop", "2097150:2097150", "a.wav"}),
              "convert d0 n0 points 2097150:2097150 o=- [a.wav] +0");
    EXPECT_EQ(parsed({"--", "-d.wav"}), "convert d0 n0 unset 0:0 o=- [-d.wav] +0");
    EXPECT_EQ(parsed({"/?"}), "convert d0 n0 unset 0:0 o=- [/?] +0"); // help on Windows only
}

TEST(Invocation, HelpAndVersionAnswerWhateverElseIsGiven) {
    EXPECT_TRUE(parsed({"--help"}).starts_with("help"));
    EXPECT_TRUE(parsed({"-d", "999", "-h", "a.wav"}).starts_with("help"));
    EXPECT_TRUE(parsed({"-V"}).starts_with("version"));
    EXPECT_TRUE(parsed({"--version", "--help"}).starts_with("version"));
    EXPECT_TRUE(parsed({"-q", "--help"}).starts_with("help"));
}

TEST(Invocation, QuietIsAnOptionLikeTheOthers) {
    const std::vector<std::string> arguments{"-q", "-d", "3", "a.wav"};
    const auto invocation = parseInvocation(arguments);
    ASSERT_TRUE(invocation);
    EXPECT_TRUE(invocation->quiet);
    EXPECT_EQ(invocation->options.deviceChannel, 3);
    EXPECT_FALSE(parseInvocation(std::vector<std::string>{"a.wav"})->quiet);
}

TEST(Invocation, RefusesWhatItCannotFollow) {
    const std::string loopForms = ": must be off, wav, auto or START:END (words 0 to 2097150)";
    const std::string noFile =
        "failure: no WAV file named after the options; usage: pelitor [options] WavFile";
    for (const auto& [arguments, message] :
         std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"--device", "200", "a.wav"}, "failure: --device 200: must be 0 to 127"},
             {{"-n", "16384", "a.wav"}, "failure: -n 16384: must be 0 to 16383"},
             {{"-n0x10", "a.wav"}, "failure: -n 0x10: must be 0 to 16383"},
             {{"--loop", "on", "a.wav"}, "failure: --loop on" + loopForms},
             {{"--loop", "5", "a.wav"}, "failure: --loop 5" + loopForms},
             {{"--loop", "5:", "a.wav"}, "failure: --loop 5:" + loopForms},
             {{"--loop", "1:2:3", "a.wav"}, "failure: --loop 1:2:3" + loopForms},
             {{"--loop", "0:2097151", "a.wav"}, "failure: --loop 0:2097151" + loopForms},
             {{"--loop", "9:5", "a.wav"}, "failure: --loop 9:5: START must not come after END"},
             {{"-o", "", "a.wav"}, "failure: -o: needs a file or directory name"},
             {{"-take1.wav"},
              "failure: -t: unknown option; a file name starting with '-' goes after '--': "
              "pelitor -- -take1.wav"},
             {{"--frobnicate"}, "failure: --frobnicate: unknown option"},
             {{"-d", "1"}, noFile},
             {{"--"}, noFile},
             {{"a.wav", "-d", "1"}, "failure: -d: options go before the file name"},
         }) {
        EXPECT_EQ(parsed(arguments), message);
    }
}

} // namespace
} // namespace pelitor
