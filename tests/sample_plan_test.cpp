#include "app/sample_plan.hpp"

#include <gtest/gtest.h>
#include <stdexcept>

namespace pelitor {
namespace {

WavHeader monoPcm(std::uint16_t bits = 16, std::uint32_t rate = 44100,
                  std::uint32_t dataSize = 1000) {
    WavHeader h;
    h.formatTag = 1;
    h.channels = 1;
    h.sampleRate = rate;
    h.bitsPerSample = bits;
    h.dataSize = dataSize;
    h.headerLength = 44;
    return h;
}

std::string refusal(const WavHeader& header, std::uint64_t fileSize = 1044,
                    const ConversionOptions& options = {}) {
    const auto result = planSample(header, fileSize, options);
    EXPECT_TRUE(result || result.failure().kind == FailureKind::dataError);
    return result ? "(accepted)" : result.failure().message;
}

SamplePlan plan(const WavHeader& header, std::uint64_t fileSize = 1044,
                const ConversionOptions& options = {}) {
    const auto result = planSample(header, fileSize, options);
    if (!result) {
        throw std::runtime_error(result.failure().message);
    }
    return *result;
}

TEST(SamplePlan, AnnouncesTheWordsOfEachWidth) {
    const SamplePlan sixteen = plan(monoPcm(16, 44100, 1000));
    EXPECT_EQ(sixteen.dumpHeader.bitsPerSample, 16);
    EXPECT_EQ(sixteen.dumpHeader.periodNs, 22675U);
    EXPECT_EQ(sixteen.dumpHeader.wordCount, 500U);
    EXPECT_EQ(sixteen.dataOffset, 44U);
    EXPECT_EQ(sixteen.dataBytes, 1000U);
    EXPECT_EQ(sixteen.packets, 13U);
    EXPECT_FALSE(sixteen.warning);
    EXPECT_EQ(plan(monoPcm(16, 44100, 999)).dumpHeader.wordCount, 500U);
    EXPECT_EQ(plan(monoPcm(8, 44100, 999)).dumpHeader.wordCount, 999U);
    EXPECT_EQ(plan(monoPcm(24, 44100, 1000)).dumpHeader.wordCount, 334U);
}

TEST(SamplePlan, RefusesWhatNoCommandFixesFirstAndOneFaultAlone) {
    WavHeader h = monoPcm();
    h.formatTag = 3;
    EXPECT_EQ(refusal(h), "16-bit IEEE float samples (format type 3) cannot be converted; only "
                          "linear PCM can; convert with sox in.wav -b 24 out.wav (24-bit keeps "
                          "the most)");
    h.formatTag = 1;
    h.channels = 2;
    EXPECT_EQ(refusal(h), "2 channels: an SDS sample is mono; mix the file down to one channel "
                          "with sox in.wav -c 1 out.wav");
    h.channels = 1;
    h.bitsPerSample = 32;
    EXPECT_EQ(refusal(h), "32-bit samples cannot be converted; only PCM of 8 to 24 bits can (up "
                          "to 28 valid bits in the extensible format, 32 with --bits); convert "
                          "with sox in.wav -b 24 out.wav (24-bit keeps the most)");
    h.bitsPerSample = 16;
    h.channels = 2; // a rate no command fixes is named alone
    h.sampleRate = 0;
    EXPECT_EQ(refusal(h),
              "sample rate 0 Hz cannot be sent; SDS carries rates from 477 Hz to 1000000000 Hz");
    h.sampleRate = 0xFFFFFFFF; // as stored, not as a negative number
    EXPECT_EQ(refusal(h), "sample rate 4294967295 Hz cannot be sent; SDS carries rates from 477 "
                          "Hz to 1000000000 Hz");
    h.bitsPerSample = 0;
    h.sampleRate = 44100;
    EXPECT_EQ(
        refusal(h),
        "0-bit samples cannot be converted; only PCM of 8 to 24 bits can (up to 28 valid bits in "
        "the extensible format, 32 with --bits)");
}

TEST(SamplePlan, NamesEveryFaultSoxCanFixWithOneCommand) {
    struct Case {
        std::uint16_t tag;
        std::uint16_t channels;
        std::uint16_t bits;
        std::uint32_t rate;
        std::uint32_t dataSize;
        std::string message;
    };
    for (const Case& c : {
             Case{3, 2, 32, 44100, 1000,
                  "2 channels, not mono; 32-bit IEEE float samples (format type 3), not linear "
                  "PCM: fix both with sox in.wav -c 1 -b 24 out.wav"},
             Case{1, 4, 32, 44100, 1000,
                  "4 channels, not mono; 32-bit samples, not 8 to 24 bits: fix both with sox "
                  "in.wav -c 1 -b 24 out.wav"},
             // Counted as the fixed file has them: 2097152 mono frames.
             Case{7, 2, 8, 44100, 2 * 2097152,
                  "2 channels, not mono; 8-bit mu-law samples (format type 7), not linear PCM; a "
                  "length of 47.56 s, over the 47.55 s an SDS sample holds at 44100 Hz: fix them "
                  "all with sox in.wav -c 1 -b 16 -e signed-integer out.wav trim 0 47.55"},
             Case{1, 2, 16, 44100, 4 * 2097151,
                  "2 channels: an SDS sample is mono; mix the file "
                  "down to one channel with sox in.wav -c 1 out.wav"},
             // Resampled to 8000 Hz, 300 s at 100 Hz is 2400000 words.
             Case{1, 1, 16, 100, 60000,
                  "a sample rate of 100 Hz, below 477 Hz; a length of 300.00 s, over the 262.14 s "
                  "an SDS sample holds at 8000 Hz: fix both with sox in.wav -r 8000 out.wav trim "
                  "0 262.14"},
             // ADPCM's bytes do not count its frames: its length is judged once it is PCM.
             Case{2, 2, 4, 44100, 20000000,
                  "2 channels, not mono; 4-bit Microsoft ADPCM samples (format type 2), not linear "
                  "PCM: fix both with sox in.wav -c 1 -b 16 -e signed-integer out.wav"},
         }) {
        WavHeader h = monoPcm(c.bits, c.rate, c.dataSize);
        h.formatTag = c.tag;
        h.channels = c.channels;
        EXPECT_EQ(refusal(h, 44 + std::uint64_t{c.dataSize}), c.message);
    }
}

TEST(SamplePlan, NamesWhatItRefuses) {
    struct Case {
        std::uint16_t tag;
        std::uint16_t bits;
        std::uint16_t channels;
        std::string message;
    };
    const std::string cannot = " cannot be converted; only linear PCM can; convert with sox in.wav "
                               "-b 16 -e signed-integer out.wav";
    for (const Case& c : {
             Case{6, 8, 1, "8-bit A-law samples (format type 6)" + cannot},
             Case{7, 8, 1, "8-bit mu-law samples (format type 7)" + cannot},
             Case{2, 4, 1, "4-bit Microsoft ADPCM samples (format type 2)" + cannot},
             Case{0x11, 4, 1, "4-bit IMA ADPCM samples (format type 17)" + cannot},
             Case{1, 16, 0, "the format chunk says 0 channels: the file is damaged"},
         }) {
        WavHeader h = monoPcm(c.bits);
        h.formatTag = c.tag;
        h.channels = c.channels;
        EXPECT_EQ(refusal(h), c.message);
    }
}

TEST(SamplePlan, AcceptsExtensiblePcmOnly) {
    WavHeader h = monoPcm();
    h.formatTag = 0xFFFE;
    EXPECT_NE(refusal(h).find("too short to name its sub-format"), std::string::npos);
    h.subFormat = std::array<std::uint8_t, 16>{0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                               0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    EXPECT_EQ(refusal(h), "(accepted)");
    (*h.subFormat)[0] = 0x03;
    h.bitsPerSample = 32;
    EXPECT_EQ(refusal(h), "32-bit IEEE float samples (extensible format, sub-format 3) cannot be "
                          "converted; only linear PCM can; convert with sox in.wav -b 24 out.wav "
                          "(24-bit keeps the most)");
    (*h.subFormat)[0] = 0x31;
    EXPECT_EQ(refusal(h), "samples of extensible format, sub-format 49 cannot be converted; only "
                          "linear PCM can");
}

TEST(SamplePlan, KeepsPeriodAndLengthWithinThreeSevenBitBytes) {
    EXPECT_NE(refusal(monoPcm(16, 476)), "(accepted)");
    EXPECT_EQ(plan(monoPcm(16, 477)).dumpHeader.periodNs, 2096436U);
    EXPECT_EQ(plan(monoPcm(16, 1000000000)).dumpHeader.periodNs, 1U);
    EXPECT_NE(refusal(monoPcm(16, 1000000001)), "(accepted)");
    EXPECT_NE(refusal(monoPcm(16, 0x80000000)), "(accepted)");

    const std::uint64_t large = 44 + 2 * 2097152ULL;
    EXPECT_EQ(plan(monoPcm(16, 44100, 2 * 2097151), large).dumpHeader.wordCount, 2097151U);
    EXPECT_EQ(refusal(monoPcm(16, 44100, 2 * 2097151 + 1), large),
              "2097152 sample words are more than the 2097151 an SDS sample can hold: the file "
              "lasts 47.56 s, at most 47.55 s at 44100 Hz; shorten it with sox in.wav out.wav "
              "trim 0 47.55");
}

TEST(SamplePlan, ConvertsWhatACutOffFileHolds) {
    const SamplePlan cut = plan(monoPcm(16, 44100, 0xFFFFFFFF), 44 + 301);
    EXPECT_EQ(cut.dataBytes, 301U);
    EXPECT_EQ(cut.dumpHeader.wordCount, 151U);
    EXPECT_EQ(cut.warning, "the data chunk claims 4294967295 bytes but the file holds only 301; "
                           "converting those");
    const std::string empty =
        "; the dump announces an empty sample, which a sampler would store over the slot's sound";
    EXPECT_EQ(plan(monoPcm(16, 44100, 0), 44).warning,
              "the data chunk holds no sample words" + empty);
    EXPECT_EQ(plan(monoPcm(16, 44100, 10), 44).warning,
              "the data chunk claims 10 bytes but the file holds only 0; converting those" + empty);
    // A huge claim is judged by what is there, not by what is claimed.
    EXPECT_EQ(plan(monoPcm(8, 44100, 0x7FFFFFFF), 44 + 10).dumpHeader.wordCount, 10U);
}

TEST(SamplePlan, DeviceAndSampleNumberGoIntoTheDumpHeader) {
    const DumpHeader header =
        plan(monoPcm(), 1044, {.deviceChannel = 9, .sampleNumber = 300, .loop = {}}).dumpHeader;
    EXPECT_EQ(header.deviceChannel, 9);
    EXPECT_EQ(header.sampleNumber, 300);
}

// A 16-bit sample of 500 words (or none) whose "smpl" chunk says `sampler`.
WavHeader sampled(std::optional<SamplerLoops> sampler, std::uint32_t dataSize = 1000) {
    WavHeader header = monoPcm(16, 44100, dataSize);
    header.sampler = sampler;
    return header;
}

SamplerLoops firstLoop(std::uint32_t type, std::uint32_t start, std::uint32_t end) {
    return {.count = 1, .countFits = true, .first = SampleLoop{type, start, end}};
}

TEST(SamplePlan, LoopsAsAsked) {
    using Kind = LoopRequest::Kind;
    struct Case {
        LoopRequest request;
        WavHeader header;
        std::uint8_t type;
        std::uint32_t start;
        std::uint32_t end;
    };
    for (const Case& c : {
             Case{{}, sampled(firstLoop(0, 10, 20)), loopForward, 0, 0},
             Case{{Kind::off}, sampled(std::nullopt), loopOff, 499, 499},
             Case{{Kind::off}, sampled(std::nullopt, 0), loopOff, 0, 0},
             Case{{Kind::points, 3, 499}, sampled(std::nullopt), loopForward, 3, 499},
             Case{{Kind::wav}, sampled(firstLoop(0, 10, 20)), loopForward, 10, 20},
             Case{{Kind::wav}, sampled(firstLoop(1, 0, 499)), loopAlternating, 0, 499},
             Case{{Kind::automatic}, sampled(firstLoop(1, 0, 499)), loopAlternating, 0, 499},
             Case{{Kind::automatic}, sampled(std::nullopt), loopOff, 499, 499},
             Case{{Kind::automatic},
                  sampled(SamplerLoops{.count = 0, .countFits = true, .first = std::nullopt}),
                  loopOff,
                  499,
                  499},
         }) {
        const DumpHeader header = plan(c.header, 1044, {.loop = c.request}).dumpHeader;
        EXPECT_EQ(header.loopType, c.type);
        EXPECT_EQ(header.loopStart, c.start);
        EXPECT_EQ(header.loopEnd, c.end);
    }
}

TEST(SamplePlan, RefusesLoopsOutsideTheSampleAndLoopsSdsCannotPlay) {
    using Kind = LoopRequest::Kind;
    const std::string instead = "; give the loop as --loop START:END instead";
    struct Case {
        LoopRequest request;
        WavHeader header;
        std::string message;
    };
    for (const Case& c : {
             Case{{Kind::points, 0, 500},
                  sampled(std::nullopt),
                  "--loop 0:500: END must be at most the last word, 499"},
             Case{{Kind::points, 0, 0},
                  sampled(std::nullopt, 0),
                  "--loop 0:0: the sample has no words to loop"},
             Case{{Kind::wav},
                  sampled(std::nullopt),
                  "--loop wav: the file has no \"smpl\" chunk" + instead},
             Case{{Kind::wav},
                  sampled(SamplerLoops{.count = 3, .countFits = false, .first = std::nullopt}),
                  "--loop wav: the \"smpl\" chunk claims 3 loops, more than it holds: the file is "
                  "damaged" +
                      instead},
             Case{{Kind::wav},
                  sampled(SamplerLoops{.count = 0, .countFits = true, .first = std::nullopt}),
                  "--loop wav: the \"smpl\" chunk holds no loop" + instead},
             Case{{Kind::wav},
                  sampled(firstLoop(2, 0, 10)),
                  "--loop wav: the first loop plays backward, which an SDS loop cannot" + instead},
             Case{{Kind::wav},
                  sampled(firstLoop(32, 0, 10)),
                  "--loop wav: the first loop is of type 32, neither forward nor alternating" +
                      instead},
             Case{{Kind::wav},
                  sampled(firstLoop(0, 20, 10)),
                  "--loop wav: the first loop, 20 to 10, lies outside the sample's 500 words" +
                      instead},
             Case{{Kind::automatic},
                  sampled(firstLoop(2, 0, 10)),
                  "--loop auto: the first loop plays backward, which an SDS loop cannot" + instead},
             Case{{Kind::wav},
                  sampled(firstLoop(0, 0, 500)),
                  "--loop wav: the first loop, 0 to 500, lies outside the sample's 500 words" +
                      instead},
         }) {
        EXPECT_EQ(refusal(c.header, 1044, {.loop = c.request}), c.message);
    }
}

} // namespace
} // namespace pelitor
