#include "support/test_source.hpp"
#include "support/wav_builder.hpp"
#include "wav/wav_reader.hpp"

#include <gtest/gtest.h>

namespace pelitor {
namespace {

using test::Bytes;
using test::Chunk;

Result<WavHeader> read(const Bytes& file) {
    MemorySource source(file);
    return readWavHeader(source);
}

WavHeader header(const Bytes& file) {
    auto result = read(file);
    if (!result) {
        ADD_FAILURE() << result.failure().message;
        return {};
    }
    return *result;
}

std::string refusal(ByteSource& source) {
    auto result = readWavHeader(source);
    return result ? "(accepted)" : result.failure().message;
}

std::string refusal(const Bytes& file) {
    MemorySource source(file);
    return refusal(source);
}

TEST(WavReader, CanonicalFileGivesEveryFieldAndTheSampleOffset) {
    const WavHeader h = header(test::canonicalWav({1, 2, 44100, 16}, Bytes(8, 0)));
    EXPECT_EQ(h.riffId.text(), "RIFF");
    EXPECT_EQ(h.riffSize, 44);
    EXPECT_EQ(h.waveId.text(), "WAVE");
    EXPECT_EQ(h.fmtId.text(), "fmt ");
    EXPECT_EQ(h.fmtSize, 16);
    EXPECT_EQ(h.formatTag, 1);
    EXPECT_EQ(h.channels, 2);
    EXPECT_EQ(h.sampleRate, 44100);
    EXPECT_EQ(h.byteRate, 176400);
    EXPECT_EQ(h.blockAlign, 4);
    EXPECT_EQ(h.bitsPerSample, 16);
    EXPECT_EQ(h.dataId.text(), "data");
    EXPECT_EQ(h.dataSize, 8);
    EXPECT_EQ(h.headerLength, 44U);
    EXPECT_FALSE(h.validBits);
    EXPECT_FALSE(h.subFormat);
}

TEST(WavReader, LongerFormatChunksMoveTheData) {
    EXPECT_EQ(header(test::canonicalWav({.size = 18}, {})).headerLength, 46U);
    EXPECT_EQ(header(test::canonicalWav({.size = 36}, {})).headerLength, 64U);
    const WavHeader extensible =
        header(test::canonicalWav({.tag = 0xFFFE, .bits = 32, .size = 40, .validBits = 20}, {}));
    EXPECT_EQ(extensible.formatTag, 0xFFFE);
    EXPECT_EQ(extensible.headerLength, 68U);
    EXPECT_EQ(extensible.validBits, 20);
    ASSERT_TRUE(extensible.subFormat);
    EXPECT_EQ((*extensible.subFormat)[0], 0x01);
}

TEST(WavReader, SkipsChunksThatEncodersAddAroundTheAudio) {
    const Bytes samples{1, 2, 3, 4};
    // JUNK before "fmt ", an odd-sized chunk with its pad byte, then ffmpeg's LIST and fact.
    const Bytes file = test::riffWave({{"JUNK", Bytes(28, 0), std::nullopt},
                                       test::fmtChunk({}),
                                       {"odd ", Bytes(3, 0xAA), std::nullopt},
                                       test::lavfListChunk(),
                                       {"fact", Bytes(4, 2), std::nullopt},
                                       test::dataChunk(samples)});
    const WavHeader h = header(file);
    EXPECT_EQ(h.dataId.text(), "data");
    EXPECT_EQ(h.dataSize, 4);
    EXPECT_EQ(Bytes(file.begin() + static_cast<long>(h.headerLength), file.end()), samples);
}

TEST(WavReader, TheFirstFormatChunkCounts) {
    const WavHeader h = header(
        test::riffWave({test::fmtChunk({.rate = 8000, .bits = 8}),
                        test::fmtChunk({.rate = 48000, .bits = 24}), test::dataChunk({1, 2})}));
    EXPECT_EQ(h.sampleRate, 8000U);
    EXPECT_EQ(h.bitsPerSample, 8);
}

TEST(WavReader, TakesTheFirstDataChunkAfterTheFormat) {
    const Bytes file = test::riffWave({test::dataChunk(Bytes(6, 9)), test::fmtChunk({}),
                                       test::dataChunk(Bytes(2, 7)), test::dataChunk(Bytes(4, 5))});
    const WavHeader h = header(file);
    EXPECT_EQ(h.dataSize, 2);
    EXPECT_EQ(file[h.headerLength], 7);
}

TEST(WavReader, KeepsNumbersAsStored) {
    Bytes file = test::riffWave({test::fmtChunk({.tag = 0xFFFE}), test::dataChunk({}, 0xFFFFFFFF)});
    file[4] = 0x00;
    file[5] = 0x00;
    file[6] = 0x00;
    file[7] = 0x80;
    const WavHeader h = header(file);
    EXPECT_EQ(h.riffSize, 0x80000000U);
    EXPECT_EQ(h.formatTag, 0xFFFE);
    EXPECT_EQ(h.dataSize, 0xFFFFFFFFU);
}

TEST(WavReader, RefusesWhatIsNotAWavFileWithSamples) {
    EXPECT_EQ(refusal({}), "not a WAV file (no RIFF/WAVE header)");
    Bytes notWave = test::canonicalWav({}, {});
    notWave[8] = 'A';
    EXPECT_EQ(refusal(notWave), "not a WAV file (no RIFF/WAVE header)");
    EXPECT_EQ(refusal(test::riffWave({test::dataChunk({1, 2})})), "no \"fmt \" chunk in the file");
    EXPECT_EQ(refusal(test::riffWave({test::fmtChunk({.size = 14}), test::dataChunk({})})),
              "the \"fmt \" chunk is 14 bytes long; a WAV format needs at least 16");
    EXPECT_EQ(refusal(test::riffWave({test::fmtChunk({})})),
              "no \"data\" chunk after the \"fmt \" chunk");
    // A chunk that claims more than the file holds hides whatever would follow it.
    EXPECT_EQ(refusal(test::riffWave(
                  {test::fmtChunk({}), {"LIST", Bytes(4, 0), 1000}, test::dataChunk({1, 2})})),
              "no \"data\" chunk after the \"fmt \" chunk");
    // A file cut inside its format chunk.
    Bytes cut = test::canonicalWav({}, {});
    cut.resize(30);
    EXPECT_EQ(refusal(cut), "the file ends inside its \"fmt \" chunk");
}

TEST(WavReader, AFailedReadIsReportedAsOneWhereverItHappens) {
    const Bytes file = test::riffWave({{"LIST", Bytes(70000, 0), std::nullopt},
                                       test::fmtChunk({}),
                                       test::dataChunk(Bytes(8, 0))});
    // In the preamble, and in a chunk header past the first window.
    for (const std::uint64_t failFrom : {0ULL, 70020ULL}) {
        test::TestSource source(file);
        source.failFrom = failFrom;
        const auto result = readWavHeader(source);
        ASSERT_FALSE(result) << failFrom;
        EXPECT_EQ(result.failure().kind, FailureKind::noInput);
        EXPECT_EQ(result.failure().message, "reading failed: Input/output error");
    }
}

TEST(WavReader, SkipsManySmallChunksWithFewReads) {
    // "RIFF....WAVE" and 16 MiB of zero bytes: two million empty chunks named "\0\0\0\0".
    Bytes file = test::riffWave({});
    file.resize(file.size() + (16U << 20));
    test::TestSource source(file);
    EXPECT_EQ(refusal(source), "no \"fmt \" chunk in the file");
    EXPECT_LE(source.reads, 16 * 20); // a few reads per MiB, not one per chunk
}

TEST(WavReader, AWholeFileWalkFindsTheFirstSmplChunkAnywhere) {
    using test::smplChunk;
    const auto sampler = [](const Bytes& file, ChunkWalk walk = ChunkWalk::wholeFile) {
        MemorySource source(file);
        const auto result = readWavHeader(source, walk);
        EXPECT_TRUE(result) << result.failure().message;
        return result ? result->sampler : std::nullopt;
    };
    const auto fmt = test::fmtChunk({});
    const auto data = test::dataChunk(Bytes(20, 0));
    const Bytes after = test::riffWave({fmt, data, smplChunk({{1, 2, 9}, {0, 0, 3}})});
    const auto loops = sampler(after);
    ASSERT_TRUE(loops && loops->first);
    EXPECT_EQ(loops->count, 2U);
    EXPECT_TRUE(loops->countFits);
    EXPECT_EQ(loops->first->type, 1U);
    EXPECT_EQ(loops->first->start, 2U);
    EXPECT_EQ(loops->first->end, 9U);
    EXPECT_FALSE(sampler(after, ChunkWalk::toData));
    EXPECT_EQ(header(after).dataSize, 20U); // the data is the same either way

    const auto first = [&](std::initializer_list<Chunk> chunks) {
        const auto found = sampler(test::riffWave(chunks));
        return found && found->first ? found->first->start : 999;
    };
    EXPECT_EQ(first({smplChunk({{0, 5, 6}}), fmt, data}), 5U);
    EXPECT_EQ(first({fmt, data, smplChunk({{0, 7, 8}}), smplChunk({{0, 1, 2}})}), 7U);

    struct Case {
        Chunk smpl;
        std::uint32_t count;
        bool countFits;
    };
    for (const Case& c : {
             Case{smplChunk({}), 0, true},
             Case{smplChunk({{0, 1, 2}}, 3), 3, false},
             Case{smplChunk({}, 0xFFFFFFFF), 0xFFFFFFFF, false},
             Case{{"smpl", Bytes(20, 0), std::nullopt}, 0, false},
         }) {
        const auto found = sampler(test::riffWave({fmt, data, c.smpl}));
        ASSERT_TRUE(found);
        EXPECT_EQ(found->count, c.count);
        EXPECT_EQ(found->countFits, c.countFits);
        EXPECT_FALSE(found->first);
    }
    // Cut inside its first loop; hidden behind a data chunk that runs to the end of the file.
    Bytes cut = test::riffWave({fmt, data, smplChunk({{0, 1, 2}})});
    cut.resize(cut.size() - 10);
    EXPECT_FALSE(sampler(cut)->countFits);
    EXPECT_FALSE(sampler(
        test::riffWave({fmt, test::dataChunk(Bytes(20, 0), 0xFFFFFFFF), smplChunk({{0, 1, 2}})})));
}

} // namespace
} // namespace pelitor
