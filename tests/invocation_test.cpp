#include "app/invocation.hpp"

#include <gtest/gtest.h>

namespace pelitor {
namespace {

using Request = Invocation::Request;
using Kind = LoopRequest::Kind;

Invocation parsed(std::vector<std::string> arguments) {
    const auto invocation = parseInvocation(arguments);
    EXPECT_TRUE(invocation) << invocation.failure().message;
    return invocation ? *invocation : Invocation{};
}

std::string refusal(std::vector<std::string> arguments) {
    const auto invocation = parseInvocation(arguments);
    EXPECT_TRUE(!invocation && invocation.failure().kind == FailureKind::usage);
    return invocation ? "(accepted)" : invocation.failure().message;
}

TEST(Invocation, OptionsShapeTheConversionAndTheLastOneWins) {
    const Invocation all = parsed({"-d", "5", "--device=127", "-n16383", "--loop", "0:0", "--loop",
                                   "3:9", "-o", "out/", "voice.wav", "more.wav", "-x"});
    EXPECT_EQ(all.request, Request::convert);
    EXPECT_EQ(all.options.deviceChannel, 127);
    EXPECT_EQ(all.options.sampleNumber, 16383);
    EXPECT_EQ(all.options.loop.kind, Kind::points);
    EXPECT_EQ(all.options.loop.start, 3U);
    EXPECT_EQ(all.options.loop.end, 9U);
    EXPECT_EQ(all.output, "out/");
    EXPECT_EQ(all.input, "voice.wav");
    EXPECT_EQ(all.ignoredArguments, 2U);

    const Invocation plain = parsed({"voice.wav"});
    EXPECT_EQ(plain.options.deviceChannel, 0);
    EXPECT_EQ(plain.options.sampleNumber, 0);
    EXPECT_EQ(plain.options.loop.kind, Kind::unset);
    EXPECT_FALSE(plain.output);
    EXPECT_EQ(plain.ignoredArguments, 0U);

    EXPECT_EQ(parsed({"--loop=off", "a.wav"}).options.loop.kind, Kind::off);
    EXPECT_EQ(parsed({"--loop", "wav", "a.wav"}).options.loop.kind, Kind::wav);
    EXPECT_EQ(parsed({"--loop", "2097150:2097150", "a.wav"}).options.loop.end, 2097150U);
    EXPECT_EQ(parsed({"--", "-d.wav"}).input, "-d.wav");
}

TEST(Invocation, HelpAndVersionAnswerWhateverElseIsGiven) {
    EXPECT_EQ(parsed({}).request, Request::usage);
    EXPECT_EQ(parsed({"--help"}).request, Request::help);
    EXPECT_EQ(parsed({"-d", "999", "-h", "a.wav"}).request, Request::help);
    EXPECT_EQ(parsed({"-V"}).request, Request::version);
    EXPECT_EQ(parsed({"--version", "--help"}).request, Request::version);
    EXPECT_EQ(parsed({"/?"}).request, Request::convert); // a path except on Windows
}

TEST(Invocation, RefusesWhatItCannotFollow) {
    const std::string loopForms = ": must be off, wav or START:END (words 0 to 2097150)";
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    for (const Case& c : std::vector<Case>{
             {{"--device", "200", "a.wav"}, "--device 200: must be 0 to 127"},
             {{"-n", "16384", "a.wav"}, "-n 16384: must be 0 to 16383"},
             {{"-n0x10", "a.wav"}, "-n 0x10: must be 0 to 16383"},
             {{"--loop", "on", "a.wav"}, "--loop on" + loopForms},
             {{"--loop", "5", "a.wav"}, "--loop 5" + loopForms},
             {{"--loop", "5:", "a.wav"}, "--loop 5:" + loopForms},
             {{"--loop", "1:2:3", "a.wav"}, "--loop 1:2:3" + loopForms},
             {{"--loop", "0:2097151", "a.wav"}, "--loop 0:2097151" + loopForms},
             {{"--loop", "9:5", "a.wav"}, "--loop 9:5: START must not come after END"},
             {{"-o", "", "a.wav"}, "-o: needs a file or directory name"},
             {{"-d", "1"}, "no WAV file named after the options; usage: pelitor [options] WavFile"},
             {{"--"}, "no WAV file named after the options; usage: pelitor [options] WavFile"},
             {{"a.wav", "-d", "1"}, "-d: options go before the file name"},
             {{"--sample"}, "--sample: unknown option"},
         }) {
        EXPECT_EQ(refusal(c.arguments), c.message);
    }
}

} // namespace
} // namespace pelitor
