// pelitor-receive --file as a program: the round trip from pelitor and back, libsndfile's
// dumps, and the refusals and names a user meets.
#include "support/program.hpp"
#include "support/sds_builder.hpp"
#include "wav/byte_source.hpp"
#include "wav/wav_reader.hpp"

#include <gtest/gtest.h>

namespace pelitor::test {
namespace {

using DecodeFile = ProgramTest;

const std::string receiver = "'" PELITOR_RECEIVE_BINARY "'";

// What a WAV file holds, as the converter's own reader finds it.
struct Sound {
    std::uint32_t rate = 0;
    std::uint16_t bits = 0;
    Bytes samples;
    std::optional<SampleLoop> loop;
};

Sound soundOf(const Bytes& file) {
    MemorySource source(file);
    const auto header = readWavHeader(source, ChunkWalk::wholeFile);
    EXPECT_TRUE(header) << (header ? "" : header.failure().message);
    if (!header) {
        return {};
    }
    const auto data = file.begin() + static_cast<long>(header->headerLength);
    Sound sound{header->sampleRate, header->bitsPerSample, Bytes(data, data + header->dataSize),
                std::nullopt};
    if (header->sampler) {
        sound.loop = header->sampler->first;
    }
    return sound;
}

TEST_F(DecodeFile, GivesBackEveryWavThatPelitorConverts) {
    std::uint32_t seed = 7;
    const auto next = [&seed](std::uint32_t below) {
        seed = seed * 1664525U + 1013904223U;
        return (seed >> 8) % below;
    };
    const std::uint16_t widths[] = {8, 16, 24};
    const std::uint32_t rates[] = {477, 8000, 11025, 22050, 44100, 48000, 96000, 192000};
    for (int round = 0; round < 40; ++round) {
        const std::uint16_t bits = widths[round % 3];
        const std::uint32_t rate = rates[next(8)];
        // Around the packet sizes (60, 40 words) and beyond.
        const std::uint32_t words = 1 + next(round % 4 == 0 ? 200 : 3000);
        Bytes samples(words * bits / 8);
        for (auto& byte : samples) {
            byte = static_cast<std::uint8_t>(next(256));
        }
        const int loopKind = round % 3; // none, forward, alternating
        std::optional<SampleLoop> loop;
        Bytes wav = canonicalWav({.rate = rate, .bits = bits}, samples);
        if (loopKind != 0 && words > 1) {
            const std::uint32_t start = next(words - 1);
            loop = SampleLoop{static_cast<std::uint32_t>(loopKind - 1), start,
                              start + 1 + next(words - 1 - start)};
            wav = riffWave({fmtChunk({.rate = rate, .bits = bits}), dataChunk(samples),
                            smplChunk({{loop->type, loop->start, loop->end}})});
        }
        const std::string label = std::to_string(bits) + "-bit, " + std::to_string(rate) + " Hz, " +
                                  std::to_string(words) + " words, loop " +
                                  std::to_string(loopKind);
        writeFile(path("in.wav"), wav);
        ASSERT_EQ(run(loop ? std::vector<std::string>{"--loop", "wav", "in.wav"}
                           : std::vector<std::string>{"in.wav"})
                      .status,
                  0)
            << label;
        const ProgramRun back = run({"--file", "in.sds", "back.wav"}, "", receiver);
        ASSERT_EQ(back.status, 0) << label << ": " << back.err;
        const Sound sound = soundOf(readFile(path("back.wav")));
        EXPECT_EQ(sound.rate, rate) << label;
        EXPECT_EQ(sound.bits, bits) << label;
        EXPECT_EQ(sound.samples, samples) << label;
        ASSERT_EQ(sound.loop.has_value(), loop.has_value()) << label;
        if (loop) {
            EXPECT_EQ(sound.loop->type, loop->type) << label;
            EXPECT_EQ(sound.loop->start, loop->start) << label;
            EXPECT_EQ(sound.loop->end, loop->end) << label;
        }
    }
}

TEST_F(DecodeFile, DecodesTheDumpsThatLibsndfileWrites) {
    if (!toolInstalled("sndfile-convert")) {
        GTEST_SKIP() << "sndfile-convert is not installed: its dumps were not decoded";
    }
    // 4010 words: its last packet is partial, and filled with stale samples. (Its writer puts
    // silence in a last packet that holds a single word, so that length would not compare.)
    Bytes samples(4010 * 2);
    for (std::size_t at = 0; at < samples.size(); ++at) {
        samples[at] = static_cast<std::uint8_t>(at * 7 + at / 3);
    }
    writeFile(path("in.wav"), canonicalWav({.rate = 22050, .bits = 16}, samples));
    ASSERT_EQ(shell("sndfile-convert in.wav theirs.sds >/dev/null 2>&1"), 0);
    const ProgramRun back = run({"--file", "theirs.sds"}, "", receiver);
    ASSERT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(back.err, "decoded sample 0 into theirs.wav: 16-bit, 22050 Hz, 4010 words "
                        "(0.18 s), no loop\n");
    const Sound sound = soundOf(readFile(path("theirs.wav")));
    EXPECT_EQ(sound.rate, 22050U);
    EXPECT_EQ(sound.samples, samples);
}

TEST_F(DecodeFile, NamesItsOutputsAsTheyAreGivenOrBesideTheDump) {
    const Bytes dump = sdsStream(100);
    Bytes bank = dump;
    bank.insert(bank.end(), dump.begin(), dump.end());
    fs::create_directories(path("out"));
    struct Case {
        std::string file;
        std::vector<std::string> arguments;
        std::set<std::string> made; // in the test directory and out/, besides the dumps
    };
    const std::vector<Case> cases{
        {"one.syx", {"one.syx"}, {"one.wav"}},
        {"one.syx", {"one.syx", "out"}, {"out/one.wav"}},
        {"one.syx", {"one.syx", "out/"}, {"out/one.wav"}},
        {"one.syx", {"one.syx", "x.SYX"}, {"x.SYX"}},
        {"bank.syx", {"bank.syx"}, {"bank-1.wav", "bank-2.wav"}},
        {"bank.syx", {"bank.syx", "kit.sds"}, {"kit-1.sds", "kit-2.sds"}},
        {"bank.syx", {"bank.syx", "out"}, {"out/bank-1.wav", "out/bank-2.wav"}},
    };
    for (const Case& c : cases) {
        writeFile(path(c.file), c.file == "bank.syx" ? bank : dump);
        std::vector<std::string> arguments{"--file"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const ProgramRun result = run(arguments, "", receiver);
        EXPECT_EQ(result.status, 0) << c.arguments.back() << ": " << result.err;
        std::set<std::string> made;
        for (const std::string& name : files()) {
            if (name != c.file && name != "out") {
                made.insert(name);
            }
        }
        for (const std::string& name : files("out")) {
            made.insert("out/" + name);
        }
        EXPECT_EQ(made, c.made) << c.arguments.back();
        if (c.made.contains("kit-1.sds")) {
            EXPECT_EQ(readFile(path("kit-2.sds")), dump);
        }
        fs::remove_all(path("out"));
        fs::create_directories(path("out"));
        for (const std::string& name : c.made) {
            fs::remove(path(name));
        }
        fs::remove(path(c.file));
    }
}

TEST_F(DecodeFile, RefusesWhatItCannotWriteWholeAndWritesNothing) {
    Bytes damaged = sdsStream(200);
    damaged[21 + 127 + 10] ^= 0x01; // packet 1's data: its checksum no longer matches
    writeFile(path("damaged.sds"), damaged);
    writeFile(path("taken.sds"), sdsStream(10));
    writeFile(path("taken.wav"), {1});
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string err;
    };
    const std::vector<Case> cases{
        {{"--file", "damaged.sds"},
         65,
         "pelitor-receive: damaged.sds: packet 1 (words 40 to 79) at byte 148 is damaged, and "
         "no good copy follows: checksum "},
        {{"--file", "taken.sds"}, 73, "pelitor-receive: taken.wav: exists, and a default output"},
        {{"--file", "taken.sds", "taken.sds"},
         73,
         "pelitor-receive: taken.sds: is the dump file itself"},
        {{"--file", "--keep-damaged", "damaged.sds", "x.sds"}, 64, "pelitor-receive: --keep-"},
        {{"--file", "absent.sds"}, 66, "pelitor-receive: absent.sds: No such file"},
        {{"--file", "taken.wav"}, 65, "pelitor-receive: taken.wav: holds no sample dump"},
    };
    for (const Case& c : cases) {
        const ProgramRun result = run(c.arguments, "", receiver);
        EXPECT_EQ(result.status, c.status) << c.arguments.back();
        EXPECT_EQ(result.err.substr(0, c.err.size()), c.err) << result.err;
    }
    EXPECT_EQ(files(), (std::set<std::string>{"damaged.sds", "taken.sds", "taken.wav"}));

    const ProgramRun kept = run({"--file", "--keep-damaged", "damaged.sds"}, "", receiver);
    EXPECT_EQ(kept.status, 0);
    EXPECT_NE(kept.err.find("damaged.sds: packet 1 (words 40 to 79) at byte 148 is damaged"),
              std::string::npos)
        << kept.err;
    EXPECT_EQ(soundOf(readFile(path("damaged.wav"))).samples.size(), 400U);
}

} // namespace
} // namespace pelitor::test
