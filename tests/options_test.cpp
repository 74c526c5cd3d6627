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

TEST_F(Options, EachOptionSetsItsOwnHeaderBytes) {
    writeFile(path("tone.wav"), tone());
    ASSERT_EQ(run({"tone.wav"}).status, 0);
    const Bytes plain = readFile(path("tone.sds"));
    ASSERT_EQ(plain.size(), 21U + 3 * 127U);
    struct Case {
        std::vector<std::string> options;
        std::vector<std::pair<std::size_t, std::uint8_t>> headerBytes; // index, value
    };
    const std::vector<Case> cases{
        {{"-d", "0", "--sample-number=0"}, {}},
        {{"-n", "300"}, {{4, 0x2C}, {5, 0x02}}},
        {{"-n16383"}, {{4, 0x7F}, {5, 0x7F}}},
        {{"--loop", "off"}, {{13, 99}, {16, 99}, {19, 0x7F}}},
        {{"--loop=3:99"}, {{13, 3}, {16, 99}}},
        {{"--loop", "off", "--loop", "0:0"}, {}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = c.options;
        arguments.push_back("tone.wav");
        const ProgramRun result = run(arguments);
        EXPECT_EQ(result.status, 0) << c.options[0];
        EXPECT_EQ(result.err, "") << c.options[0];
        Bytes expected = plain;
        for (const auto& [index, value] : c.headerBytes) {
            expected[index] = value;
        }
        EXPECT_EQ(readFile(path("tone.sds")), expected) << c.options[0];
    }

    // The device channel is in every packet too, and so in its checksum.
    for (const auto& [option, channel] :
         {std::pair<std::string, std::uint8_t>{"-d5", 5}, {"--device=127", 0x7F}}) {
        ASSERT_EQ(run({option, "tone.wav"}).status, 0);
        const Bytes sds = readFile(path("tone.sds"));
        ASSERT_EQ(sds.size(), plain.size());
        EXPECT_EQ(sds[2], channel);
        for (std::size_t packet = 21; packet < plain.size(); packet += 127) {
            Bytes expected(plain.begin() + packet, plain.begin() + packet + 127);
            expected[2] = channel;
            expected[125] ^= channel;
            EXPECT_EQ(Bytes(sds.begin() + packet, sds.begin() + packet + 127), expected)
                << option << " " << packet;
        }
    }
}

TEST_F(Options, LoopWavAnnouncesTheFirstLoopOfTheSmplChunkAfterTheData) {
    Bytes samples(200, 0x40);
    const auto withLoop = [&](std::initializer_list<SmplLoop> loops) {
        return riffWave({fmtChunk({.rate = 8000}), dataChunk(samples), smplChunk(loops)});
    };
    writeFile(path("plain.wav"), canonicalWav({.rate = 8000}, samples));
    ASSERT_EQ(run({"plain.wav"}).status, 0);
    const Bytes plain = readFile(path("plain.sds"));
    for (const auto& [loop, type] :
         {std::pair<SmplLoop, std::uint8_t>{{0, 10, 89}, 0x00}, {{1, 0, 99}, 0x01}}) {
        writeFile(path("loop.wav"), withLoop({loop, {0, 1, 2}}));
        ASSERT_EQ(run({"--loop", "wav", "loop.wav"}).status, 0);
        Bytes expected = plain;
        expected[13] = static_cast<std::uint8_t>(loop.start);
        expected[16] = static_cast<std::uint8_t>(loop.end);
        expected[19] = type;
        EXPECT_EQ(readFile(path("loop.sds")), expected) << loop.type;
    }

    struct Case {
        Bytes wav;
        std::string message;
    };
    const std::string instead = "; give the loop as --loop START:END instead\n";
    for (const Case& c : std::vector<Case>{
             {withLoop({{2, 0, 10}}), "the first loop plays backward, which an SDS loop cannot"},
             {withLoop({{0, 50, 100}}), "the first loop, 50 to 100, lies outside the sample's 100 "
                                        "words"},
             {canonicalWav({.rate = 8000}, samples), "the file has no \"smpl\" chunk"},
         }) {
        writeFile(path("bad.wav"), c.wav);
        const ProgramRun result = run({"--loop=wav", "bad.wav"});
        EXPECT_EQ(result.status, 65);
        EXPECT_EQ(result.err, "pelitor: bad.wav: --loop wav: " + c.message + instead);
        EXPECT_NE(result.out.find("[bit(s)]: 16"), std::string::npos); // after the listing
        EXPECT_FALSE(fs::exists(path("bad.sds")));
    }
}

TEST_F(Options, AWrongCommandLineShowsTheBannerAndOneLineAndWritesNothing) {
    writeFile(path("tone.wav"), tone());
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    for (const Case& c : std::vector<Case>{
             {{"--device", "200", "tone.wav"}, "--device 200: must be 0 to 127"},
             {{"tone.wav", "-d", "1"}, "-d: options go before the file name"},
             {{"-d", "1"}, "no WAV file named after the options; usage: pelitor [options] WavFile"},
             {{"--loop", "9:5", "tone.wav"}, "--loop 9:5: START must not come after END"},
             {{"-tone.wav"}, "-t: unknown option"},
         }) {
        const ProgramRun result = run(c.arguments);
        EXPECT_EQ(result.status, 64) << c.message;
        EXPECT_EQ(result.out, consoleLines(banner));
        EXPECT_EQ(result.err, "pelitor: " + c.message + "\n");
    }
    const ProgramRun beyond = run({"--loop", "0:100", "tone.wav"});
    EXPECT_EQ(beyond.status, 65);
    EXPECT_EQ(beyond.err,
              "pelitor: tone.wav: --loop 0:100: END must be at most the last word, 99\n");
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
    EXPECT_EQ(readFile(path("tone.wav")), wav);
    EXPECT_EQ(files(), (std::set<std::string>{"in", "out", "tone.wav", "x.syx"}));
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
