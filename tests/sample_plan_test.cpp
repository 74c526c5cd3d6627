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

std::string refusal(const WavHeader& header, std::uint64_t fileSize = 1044) {
    const auto result = planSample(header, fileSize);
    EXPECT_TRUE(result || result.failure().kind == FailureKind::unusable);
    return result ? "(accepted)" : result.failure().message;
}

SamplePlan plan(const WavHeader& header, std::uint64_t fileSize = 1044) {
    const auto result = planSample(header, fileSize);
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

TEST(SamplePlan, RefusesWhatSdsCannotCarryInOrder) {
    WavHeader h = monoPcm();
    h.formatTag = 3;
    h.channels = 2;
    EXPECT_EQ(refusal(h),
              "16-bit IEEE float samples (format type 3) cannot be converted; only linear PCM can");
    h.formatTag = 1;
    EXPECT_EQ(refusal(h),
              "2 channels: an SDS sample is mono; mix the file down to one channel first");
    h.channels = 1;
    h.bitsPerSample = 32;
    h.sampleRate = 0;
    EXPECT_EQ(refusal(h), "32-bit samples cannot be converted; only 8-, 16- and 24-bit PCM can");
    h.bitsPerSample = 16;
    EXPECT_EQ(refusal(h),
              "sample rate 0 Hz cannot be sent; SDS carries rates from 477 Hz to 1000000000 Hz");
}

TEST(SamplePlan, NamesWhatItRefuses) {
    struct Case {
        std::uint16_t tag;
        std::uint16_t bits;
        std::uint16_t channels;
        std::string message;
    };
    const std::string cannot = " cannot be converted; only linear PCM can";
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
                          "converted; only linear PCM can");
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
              "2097152 sample words are more than the 2097151 an SDS sample can hold");
}

TEST(SamplePlan, ConvertsWhatACutOffFileHolds) {
    const SamplePlan cut = plan(monoPcm(16, 44100, 0xFFFFFFFF), 44 + 301);
    EXPECT_EQ(cut.dataBytes, 301U);
    EXPECT_EQ(cut.dumpHeader.wordCount, 151U);
    EXPECT_EQ(cut.warning, "the data chunk claims 4294967295 bytes but the file holds only 301; "
                           "converting those");
    // A huge claim is judged by what is there, not by what is claimed.
    EXPECT_EQ(plan(monoPcm(8, 44100, 0x7FFFFFFF), 44 + 10).dumpHeader.wordCount, 10U);
}

} // namespace
} // namespace pelitor
