#include "support/program.hpp"

#include <gtest/gtest.h>

namespace pelitor::test {
namespace {

using Options = ProgramTest;

const std::string banner = "Pelitor Ver 0.01\n\n";

// 100 16-bit words at 8000 Hz: three packets.
Bytes tone() {
    Bytes samples(200);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<std::uint8_t>(i * 7);
    }
    return canonicalWav({.rate = 8000}, samples);
}

TEST_F(Options, EachOptionSetsItsOwnBytes) {
    writeFile(path("tone.wav"), tone());
    ASSERT_EQ(run({"tone.wav"}).status, 0);
    const Bytes plain = readFile(path("tone.sds"));
    ASSERT_EQ(plain.size(), 21U + 3 * 127U);
    struct Case {
        std::vector<std::string> arguments;
        std::vector<std::pair<std::size_t, std::uint8_t>> changes; // index, value
    };
    for (const Case& c : std::vector<Case>{
             {{"-d", "0", "--sample-number=0", "tone.wav"}, {}},
             {{"-n", "300", "tone.wav"}, {{4, 0x2C}, {5, 0x02}}},
             {{"--loop", "off", "tone.wav"}, {{13, 99}, {16, 99}, {19, 0x7F}}},
             {{"--loop=3:99", "tone.wav"}, {{13, 3}, {16, 99}}},
             // The device channel is in every packet too, and so in its checksum.
             {{"-d5", "tone.wav"},
              {{2, 5},
               {23, 5},
               {146, plain[146] ^ 5},
               {150, 5},
               {273, plain[273] ^ 5},
               {277, 5},
               {400, plain[400] ^ 5}}},
         }) {
        const ProgramRun result = run(c.arguments);
        EXPECT_EQ(result.status, 0) << c.arguments[0];
        EXPECT_EQ(result.err, "") << c.arguments[0];
        Bytes expected = plain;
        for (const auto& [index, value] : c.changes) {
            expected[index] = value;
        }
        EXPECT_EQ(readFile(path("tone.sds")), expected) << c.arguments[0];
    }
}

TEST_F(Options, LoopWavAndAutoTakeTheLoopAfterTheDataOrRefuseAfterTheListing) {
    const Bytes samples(200, 0x40);
    writeFile(path("plain.wav"), canonicalWav({.rate = 8000}, samples));
    ASSERT_EQ(run({"plain.wav"}).status, 0);
    Bytes expected = readFile(path("plain.sds"));
    expected[13] = 10;
    expected[16] = 89;
    expected[19] = 0x01;
    writeFile(path("loop.wav"), riffWave({fmtChunk({.rate = 8000}), dataChunk(samples),
                                          smplChunk({{1, 10, 89}, {0, 1, 2}})}));
    ASSERT_EQ(run({"--loop", "wav", "loop.wav"}).status, 0);
    EXPECT_EQ(readFile(path("loop.sds")), expected);
    // auto takes the same loop, and turns the loop off in a file without one.
    ASSERT_EQ(run({"--loop", "auto", "loop.wav"}).status, 0);
    EXPECT_EQ(readFile(path("loop.sds")), expected);
    ASSERT_EQ(run({"--loop", "off", "plain.wav"}).status, 0);
    const Bytes off = readFile(path("plain.sds"));
    ASSERT_EQ(run({"--loop", "auto", "plain.wav"}).status, 0);
    EXPECT_EQ(readFile(path("plain.sds")), off);

    const ProgramRun refused = run({"--loop=wav", "plain.wav"});
    EXPECT_EQ(refused.status, 65);
    EXPECT_EQ(refused.err, "pelitor: plain.wav: --loop wav: the file has no \"smpl\" chunk; give "
                           "the loop as --loop START:END instead\n");
    EXPECT_NE(refused.out.find("[bit(s)]: 16"), std::string::npos);
    EXPECT_EQ(refused.out.find("[Writing"), std::string::npos);
}

TEST_F(Options, AWrongCommandLineShowsTheBannerAndOneLineAndWritesNothing) {
    writeFile(path("tone.wav"), tone());
    for (const auto& [arguments, message] :
         {std::pair<std::vector<std::string>, std::string>{{"--device", "200", "tone.wav"},
                                                           "--device 200: must be 0 to 127"},
          {{"tone.wav", "-d", "1"}, "-d: options go before the file name"}}) {
        const ProgramRun result = run(arguments);
        EXPECT_EQ(result.status, 64) << message;
        EXPECT_EQ(result.out, consoleLines(banner));
        EXPECT_EQ(result.err, "pelitor: " + message + "\n");
    }
    EXPECT_EQ(files(), std::set<std::string>{"tone.wav"});
}

TEST_F(Options, HelpAndVersionGoToStandardOutput) {
    const ProgramRun help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with(consoleLines(banner + "usage: pelitor [options] WavFile\n")));
    EXPECT_NE(help.out.find("  64  the command line is wrong"), std::string::npos);
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(run({"-h", "anything.wav"}).out, help.out);
    if (windowsBuild()) {
        EXPECT_EQ(run({"/?"}).out, help.out);
    }
    for (const std::string version : {"--version", "-V"}) {
        const ProgramRun result = run({version});
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.out, consoleLines("Pelitor Ver 0.01\n"));
    }
    EXPECT_TRUE(files().empty());
}

TEST_F(Options, TheOutputGoesWhereTheOptionSays) {
    const Bytes wav = tone();
    writeFile(path("tone.wav"), wav);
    ASSERT_EQ(run({"tone.wav"}).status, 0);
    const Bytes sds = readFile(path("tone.sds"));
    fs::remove(path("tone.sds"));
    fs::create_directory(path("out"));
    EXPECT_EQ(run({"-o", "out", "tone.wav"}).status, 0);
    EXPECT_EQ(run({"--output=x.syx", "tone.wav"}).status, 0);
    fs::create_directory(path("in"));
    writeFile(path("in/tone.wav"), wav);
    EXPECT_EQ(run({"-o", "out/", "in/tone.wav"}).status, 0);
    EXPECT_EQ(files("out"), std::set<std::string>{"tone.sds"});
    EXPECT_EQ(readFile(path("out/tone.sds")), sds);
    EXPECT_EQ(readFile(path("x.syx")), sds);

    const ProgramRun missing = run({"-o", "new/", "tone.wav"});
    EXPECT_EQ(missing.status, 73);
    EXPECT_EQ(missing.err,
              "pelitor: new/: is not an existing directory; create it, or name the output file\n");
    const ProgramRun itself = run({"-o", "tone.wav", "tone.wav"});
    EXPECT_EQ(itself.status, 73);
    EXPECT_EQ(itself.err, "pelitor: tone.wav: is the input file itself; choose another -o\n");
    EXPECT_EQ(readFile(path("tone.wav")), wav);
    EXPECT_EQ(files(), (std::set<std::string>{"in", "out", "tone.wav", "x.syx"}));
}

TEST_F(Options, QuietWritesTheSameSdsAndNothingOnStandardOutput) {
    writeFile(path("tone.wav"), tone());
    ASSERT_EQ(run({"tone.wav"}).status, 0);
    const Bytes sds = readFile(path("tone.sds"));
    fs::remove(path("tone.sds"));
    const ProgramRun quiet = run({"--quiet", "tone.wav", "more.wav"});
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.out, "");
    EXPECT_EQ(quiet.err,
              "pelitor: 1 further argument ignored: pelitor converts one file per run\n");
    EXPECT_EQ(readFile(path("tone.sds")), sds);
}

TEST_F(Options, FurtherFilesAreIgnoredWithAWarning) {
    writeFile(path("-a.wav"), tone());
    writeFile(path("b.wav"), tone());
    const ProgramRun result = run({"--", "-a.wav", "b.wav", "c.wav"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err,
              "pelitor: 2 further arguments ignored: pelitor converts one file per run\n");
    EXPECT_EQ(run({"./b.wav"}).status, 0);
    EXPECT_EQ(files(), (std::set<std::string>{"-a.sds", "-a.wav", "b.sds", "b.wav"}));
}

} // namespace
} // namespace pelitor::test
