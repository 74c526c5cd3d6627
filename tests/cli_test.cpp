#include "support/child_process.hpp"
#include "support/program.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace pelitor::test {
namespace {

using Cli = ProgramTest;

const std::string banner = "Pelitor Ver 0.01\n\n";

// The value after each of the thirteen listing labels, in order.
std::vector<std::string> listedValues(const std::string& console) {
    std::vector<std::string> values;
    std::istringstream lines(console);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const auto colon = line.find(": ");
        if (colon != std::string::npos && line.front() != '[') {
            values.push_back(line.substr(colon + 2));
        }
    }
    return values;
}

Bytes sdsHeader(std::uint8_t bits, std::uint8_t p0, std::uint8_t p1, std::uint8_t p2,
                std::uint8_t n0, std::uint8_t n1, std::uint8_t n2) {
    return {0xF0, 0x7E, 0x00, 0x01, 0x00, 0x00, bits, p0,   p1,   p2,  n0,
            n1,   n2,   0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF7};
}

TEST_F(Cli, WithoutAnArgumentShowsUsageAndTouchesNothing) {
    const ProgramRun result = run({});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, consoleLines(banner + "!! usage >pelitor [WavFile]\n"));
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(files().empty());
}

TEST_F(Cli, ConvertsSmallEightAndSixteenBitFilesExactly) {
    writeFile(path("eight.wav"), canonicalWav({.rate = 8000, .bits = 8}, {0x80, 0xFF, 0x00, 0x7F}));
    const ProgramRun eight = run({"eight.wav", "ignored.wav"});
    EXPECT_EQ(eight.status, 0);
    EXPECT_EQ(eight.err,
              "pelitor: 1 further argument ignored: pelitor converts one file per run\n");
    EXPECT_EQ(eight.out.substr(0, banner.size() + crlfConsole() * 2), consoleLines(banner));
    EXPECT_EQ(listedValues(eight.out),
              (std::vector<std::string>{"RIFF", "40", "WAVE", "fmt ", "16", "1", "1", "8000",
                                        "8000", "1", "8", "data", "4"}));
    const std::string progress = "[Writing Header ......... End]\n[Writing Data . End]\n";
    EXPECT_TRUE(eight.out.ends_with(consoleLines(progress))) << eight.out;
    EXPECT_EQ(std::count(eight.out.begin(), eight.out.end(), '\n'), 17);

    Bytes expected = sdsHeader(0x08, 0x48, 0x50, 0x07, 0x04, 0x00, 0x00);
    const Bytes packet{0xF0, 0x7E, 0x00, 0x02, 0x00, 0x40, 0x00,
                       0x7F, 0x40, 0x00, 0x00, 0x3F, 0x40};
    expected.insert(expected.end(), packet.begin(), packet.end());
    expected.resize(146, 0x00);
    expected.push_back(0x7C);
    expected.push_back(0xF7);
    EXPECT_EQ(readFile(path("eight.sds")), expected);

    writeFile(path("sixteen.wav"),
              canonicalWav({.rate = 8000}, {0x00, 0x00, 0x01, 0x00, 0xFF, 0xFF, 0x34, 0x12}));
    EXPECT_EQ(run({"sixteen.wav"}).status, 0);
    const Bytes sixteen = readFile(path("sixteen.sds"));
    ASSERT_EQ(sixteen.size(), 148U);
    EXPECT_EQ(Bytes(sixteen.begin(), sixteen.begin() + 21),
              sdsHeader(0x10, 0x48, 0x50, 0x07, 0x04, 0, 0));
    EXPECT_EQ(sixteen[146], 0x38);
    EXPECT_EQ(files(),
              (std::set<std::string>{"eight.sds", "eight.wav", "sixteen.sds", "sixteen.wav"}));
}

TEST_F(Cli, ASecondOfCdAudioBecomes1103Packets) {
    Bytes samples(88200);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<std::uint8_t>(i % 251);
    }
    writeFile(path("voice.wav"), canonicalWav({}, samples));
    const ProgramRun result = run({"voice.wav"});
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(result.out.ends_with(consoleLines("[Writing Header ......... End]\n[Writing Data " +
                                                  std::string(1103, '.') + " End]\n")));
    const Bytes sds = readFile(path("voice.sds"));
    ASSERT_EQ(sds.size(), 140102U);
    EXPECT_EQ(Bytes(sds.begin(), sds.begin() + 21),
              sdsHeader(0x10, 0x13, 0x31, 0x01, 0x44, 0x58, 0x02));
    EXPECT_EQ(sds[21 + 128 * 127 + 4], 0x00); // the 129th packet is numbered 0 again
    EXPECT_EQ(sds[21 + 1102 * 127 + 4], 0x4E);
}

TEST_F(Cli, ReplacesAnEarlierOutputWholeBesideAnInputElsewhere) {
    fs::create_directory(path("samples"));
    writeFile(path("samples/kick.wav"), canonicalWav({.bits = 8}, {1, 2, 3}));
    writeFile(path("samples/kick.sds"), Bytes(5000, 0x55));
    const ProgramRun result = run({"samples/kick.wav"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(readFile(path("samples/kick.sds")).size(), 21U + 127U);
    EXPECT_EQ(files(), std::set<std::string>{"samples"});
    EXPECT_EQ(files("samples"), (std::set<std::string>{"kick.sds", "kick.wav"}));
}

TEST_F(Cli, NamesOutsideAsciiSurviveTheRoundTrip) {
    const std::string folder = "\u30b5\u30f3\u30d7\u30eb"; // サンプル
    const std::string name = "\u30c9\u30e9\u30e0 kit";     // ドラム kit
    fs::create_directory(path(folder));
    writeFile(path(folder + "/" + name + ".wav"), canonicalWav({}, Bytes(100, 0x40)));
    writeFile(path(folder + "/" + name + ".sds"), Bytes(1000, 0));
    EXPECT_EQ(run({folder + "/" + name + ".wav"}).status, 0);
    EXPECT_EQ(readFile(path(folder + "/" + name + ".sds")).size(), 21U + 2 * 127U);
    EXPECT_EQ(files(folder), (std::set<std::string>{name + ".sds", name + ".wav"}));
}

TEST_F(Cli, ConvertsOnlyTheAudioOfFilesWithMetadataChunks) {
    const Bytes samples{0x10, 0x20, 0x30, 0x40, 0x50, 0x60};
    writeFile(path("plain.wav"), canonicalWav({}, samples));
    writeFile(path("lavf.wav"), riffWave({{"JUNK", Bytes(28, 0), std::nullopt},
                                          fmtChunk({.size = 18}),
                                          lavfListChunk(),
                                          {"fact", {3, 0, 0, 0}, std::nullopt},
                                          dataChunk(samples)}));
    ASSERT_EQ(run({"plain.wav"}).status, 0);
    const ProgramRun lavf = run({"lavf.wav"});
    EXPECT_EQ(lavf.status, 0);
    EXPECT_EQ(listedValues(lavf.out)[11], "data");
    EXPECT_EQ(readFile(path("lavf.sds")), readFile(path("plain.sds")));
}

TEST_F(Cli, ACutOffFileIsConvertedAsFarAsItGoesWithAWarning) {
    Bytes wav = riffWave({fmtChunk({}), dataChunk(Bytes(100, 0), 0xFFFFFFFF)});
    writeFile(path("cut.wav"), wav);
    const ProgramRun result = run({"cut.wav"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(listedValues(result.out)[12], "-1");
    EXPECT_EQ(result.err, "pelitor: cut.wav: the data chunk claims 4294967295 bytes but the file "
                          "holds only 100; converting those\n");
    const Bytes sds = readFile(path("cut.sds"));
    ASSERT_EQ(sds.size(), 21U + 2 * 127U);
    EXPECT_EQ(sds[10], 50); // the words actually sent
}

TEST_F(Cli, AnEmptySampleBecomesADumpHeaderAloneWithAWarning) {
    writeFile(path("empty.wav"), canonicalWav({.rate = 8000}, {}));
    const ProgramRun result = run({"empty.wav"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "pelitor: empty.wav: the data chunk holds no sample words; the dump "
                          "announces an empty sample, which a sampler would store over the slot's "
                          "sound\n");
    EXPECT_EQ(readFile(path("empty.sds")), sdsHeader(0x10, 0x48, 0x50, 0x07, 0, 0, 0));
}

TEST_F(Cli, RefusesInputsItCannotConvert) {
    struct Case {
        std::string name;
        Bytes wav;
        int status;
        std::string message;
        bool listed;
    };
    fs::create_directory(path("folder.wav"));
    const std::vector<Case> cases{
        {"missing.wav", {}, 66, "No such file or directory", false},
        {"folder.wav", {}, 66, "is a directory, not a WAV file", false},
        {"text.wav", Bytes(100, 'x'), 65, "not a WAV file (no RIFF/WAVE header)", false},
        {"nodata.wav", riffWave({fmtChunk({})}), 65, "no \"data\" chunk after the \"fmt \" chunk",
         false},
        {"stereo.wav", canonicalWav({.channels = 2}, Bytes(8, 0)), 65,
         "2 channels: an SDS sample is mono; mix the file down to one channel with sox in.wav -c 1 "
         "out.wav",
         true},
        {"slow.wav", canonicalWav({.rate = 476}, Bytes(8, 0)), 65,
         "sample rate 476 Hz cannot be sent; SDS carries rates from 477 Hz to 1000000000 Hz; "
         "resample with sox in.wav -r 8000 out.wav",
         true},
    };
    for (const Case& c : cases) {
        if (!c.wav.empty()) {
            writeFile(path(c.name), c.wav);
        }
        const ProgramRun result = run({c.name});
        EXPECT_EQ(result.status, c.status) << c.name;
        EXPECT_EQ(result.err, "pelitor: " + c.name + ": " + c.message + "\n");
        EXPECT_EQ(listedValues(result.out).size(), c.listed ? 13U : 0U) << c.name;
        EXPECT_EQ(result.out.find("[Writing"), std::string::npos) << c.name;
    }
    EXPECT_EQ(files(), (std::set<std::string>{"folder.wav", "text.wav", "nodata.wav", "stereo.wav",
                                              "slow.wav"}));
}

TEST_F(Cli, AnEmptyFileNameIsNamedInItsMessage) {
    const ProgramRun result = run({""});
    EXPECT_EQ(result.status, 66);
    EXPECT_EQ(result.err, "pelitor: '': No such file or directory\n");
}

TEST_F(Cli, ALostConsoleIsToldOnceAndTheSdsStillWritten) {
    if (windowsBuild()) {
        GTEST_SKIP() << "closed and full consoles are not tested under Wine";
    }
    writeFile(path("voice.wav"), canonicalWav({}, Bytes(4000, 0x44)));
    ASSERT_EQ(run({"voice.wav"}).status, 0);
    const Bytes expected = readFile(path("voice.sds"));
    const std::string errors = path("").parent_path().string() + ".err";
    // A pipe whose reader has gone before the first line.
    const auto intoClosedPipe = [&] {
        int ends[2];
        EXPECT_EQ(pipe(ends), 0);
        close(ends[0]);
        const int errorFile = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const pid_t child =
            startProgram(path(""), PELITOR_BINARY, {"voice.wav"}, ends[1], errorFile);
        close(ends[1]);
        close(errorFile);
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    };
    // A closed standard input too, so that the input or the output could take both numbers.
    for (const char* console : {">&-", ">/dev/full", "<&- >&-", "a closed pipe"}) {
        fs::remove(path("voice.sds"));
        const int status =
            console[0] == 'a'
                ? intoClosedPipe()
                : shell(programCommand() + " voice.wav 2>" + shellQuoted(errors) + " " + console);
        EXPECT_EQ(status, 0) << console;
        EXPECT_EQ(readText(errors), "pelitor: standard output: could not be written\n") << console;
        EXPECT_EQ(readFile(path("voice.sds")), expected) << console;
        EXPECT_EQ(files(), (std::set<std::string>{"voice.sds", "voice.wav"}));
    }
    fs::remove(errors);
}

TEST_F(Cli, RunningOutOfMemoryAnywhereEndsWithStatusThreeAndNoAbort) {
#ifdef PELITOR_SANITIZED
    GTEST_SKIP() << "the sanitizers need far more address space than the program";
#endif
    if (windowsBuild()) {
        GTEST_SKIP() << "address space limits are not tested under Wine";
    }
    writeFile(path("voice.wav"), canonicalWav({}, Bytes(4000, 0x44)));
    std::set<int> statuses;
    const auto runWithin = [&](int kib) {
        fs::remove(path("voice.sds"));
        const ProgramRun result = run({"voice.wav"}, "ulimit -v " + std::to_string(kib) + "; exec");
        statuses.insert(result.status);
        // 126 and 127: the loader's own complaint that the program cannot even start.
        EXPECT_TRUE(result.status == 0 || result.status == 3 || result.status == 126 ||
                    result.status == 127)
            << kib << " KiB: status " << result.status << ", " << result.err;
        if (result.status == 3) {
            EXPECT_EQ(result.err, "Abnormal program termination\n") << kib << " KiB";
        }
        EXPECT_EQ(files().size(), result.status == 0 ? 2U : 1U) << kib << " KiB";
        return result.status;
    };
    // Coarsely up to the first limit at which it converts, then finely below that, where the
    // program starts but runs out of memory somewhere.
    int enough = 4096;
    while (enough < 65536 && runWithin(enough) != 0) {
        enough += 128;
    }
    for (int kib = enough - 512; kib < enough; kib += 8) {
        runWithin(kib);
    }
    EXPECT_TRUE(statuses.contains(3) && statuses.contains(0));
}

} // namespace
} // namespace pelitor::test
