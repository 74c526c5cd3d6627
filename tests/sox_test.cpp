// Files as SoX, a widely used audio tool, writes them: other encodings, stereo, and the
// extensible format chunk it uses for wider samples.
#include "support/program.hpp"

#include <gtest/gtest.h>
#include <tuple>

namespace pelitor::test {
namespace {

using SoxFiles = ProgramTest;

TEST_F(SoxFiles, RefusesWhatIsNotMonoPcmNamingTheProblem) {
    if (!toolInstalled("sox")) {
        GTEST_SKIP() << "sox is not installed: files written by SoX were not tested";
    }
    const std::vector<std::pair<std::string, std::string>> cases{
        {"-e floating-point -b 32", "32-bit IEEE float samples (format type 3) cannot"},
        {"-e u-law", "8-bit mu-law samples (format type 7) cannot"},
        {"-e a-law", "8-bit A-law samples (format type 6) cannot"},
        {"-e ima-adpcm", "4-bit IMA ADPCM samples (format type 17) cannot"},
        {"-e ms-adpcm", "4-bit Microsoft ADPCM samples (format type 2) cannot"},
        {"-e signed -b 32", "32-bit samples cannot be converted"},
        {"-b 16 -c 2", "2 channels: an SDS sample is mono"},
    };
    for (const auto& [options, message] : cases) {
        ASSERT_EQ(shell("sox -n -r 8000 -c 1 " + options + " in.wav synth 0.05 sine 300"), 0)
            << options;
        const ProgramRun result = run({"in.wav"});
        EXPECT_EQ(result.status, 65) << options;
        EXPECT_TRUE(result.err.starts_with("pelitor: in.wav: " + message))
            << options << ": " << result.err;
        EXPECT_EQ(files(), std::set<std::string>{"in.wav"}) << options;
    }
}

TEST_F(SoxFiles, TheOneCommandOfARefusalMakesAFileThatConverts) {
    if (!toolInstalled("sox")) {
        GTEST_SKIP() << "sox is not installed: the commands refusals give were not run";
    }
    const std::string synth = " synth 0.05 sine 300";
    const std::string both = ": fix both with sox in.wav -c 1 -b 24 out.wav";
    for (const auto& [make, input, message] :
         std::vector<std::tuple<std::string, std::string, std::string>>{
             {"-c 2 -e floating-point -b 32 in.wav", "in.wav",
              "2 channels, not mono; 32-bit IEEE float samples (format type 3), not linear PCM" +
                  both},
             {"-c 4 -e signed -b 32 in.wav", "in.wav",
              "4 channels, not mono; 32-bit samples, not 8 to 24 bits" + both},
             {"-c 1 -b 16 in.aiff", "in.aiff",
              "an AIFF file, not a WAV file; make a WAV file of it with sox in.aiff out.wav"},
         }) {
        ASSERT_EQ(shell("sox -n -r 8000 " + make + synth), 0) << make;
        const ProgramRun refused = run({input});
        EXPECT_EQ(refused.status, 65) << make;
        EXPECT_EQ(refused.err, "pelitor: " + input + ": " + message + "\n");
        ASSERT_EQ(shell(message.substr(message.find("sox "))), 0) << make;
        EXPECT_EQ(run({"out.wav"}).status, 0) << make;
        fs::remove(path(input));
        fs::remove(path("out.wav"));
        fs::remove(path("out.sds"));
    }
}

TEST_F(SoxFiles, ConvertsItsPcmFilesLikeSndfileDoes) {
    if (!toolInstalled("sox") || !toolInstalled("sndfile-convert")) {
        GTEST_SKIP()
            << "sox or sndfile-convert is not installed: SoX's PCM files were not compared";
    }
    // SoX writes 24-bit files in the extensible format, with a "fact" chunk before the data.
    for (const std::string options : {"-b 8", "-b 16", "-b 24"}) {
        ASSERT_EQ(shell("sox -n -r 22050 -c 1 " + options + " in.wav synth 0.3 sine 300:3000"), 0);
        ASSERT_EQ(run({"in.wav"}).status, 0) << options;
        const std::string eightBit = options == "-b 8" ? "-pcms8 " : "";
        ASSERT_EQ(shell("sndfile-convert " + eightBit + "in.wav theirs.sds"), 0);
        const Bytes ours = readFile(path("in.sds"));
        const Bytes theirs = readFile(path("theirs.sds"));
        ASSERT_EQ(ours.size(), theirs.size()) << options;
        EXPECT_TRUE(std::equal(ours.begin(), ours.end() - 127, theirs.begin())) << options;
    }
}

} // namespace
} // namespace pelitor::test
