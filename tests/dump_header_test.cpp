#include "sds/dump_header.hpp"
#include "sds/seven_bit.hpp"

#include <gtest/gtest.h>

namespace pelitor {
namespace {

using Header = std::array<std::uint8_t, dumpHeaderSize>;

TEST(DumpHeader, AnnouncesWidthPeriodAndLength) {
    // 16-bit at 44100 Hz (22675 ns), 44100 words.
    EXPECT_EQ(makeDumpHeader({.bitsPerSample = 16, .periodNs = 22675, .wordCount = 44100}),
              (Header{0xF0, 0x7E, 0x00, 0x01, 0x00, 0x00, 0x10, 0x13, 0x31, 0x01, 0x44,
                      0x58, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF7}));
    // 8-bit at 22050 Hz (45351 ns), 1000 words.
    EXPECT_EQ(makeDumpHeader({.bitsPerSample = 8, .periodNs = 45351, .wordCount = 1000}),
              (Header{0xF0, 0x7E, 0x00, 0x01, 0x00, 0x00, 0x08, 0x27, 0x62, 0x02, 0x68,
                      0x07, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF7}));
}

TEST(DumpHeader, CarriesChannelSampleNumberAndLoop) {
    const Header bytes = makeDumpHeader({.deviceChannel = 0x11,
                                         .sampleNumber = 300, // 2 * 128 + 44
                                         .bitsPerSample = 24,
                                         .periodNs = 20833,
                                         .wordCount = 1000,
                                         .loopStart = 130,
                                         .loopEnd = 999,
                                         .loopType = loopAlternating});
    EXPECT_EQ(bytes, (Header{0xF0, 0x7E, 0x11, 0x01, 0x2C, 0x02, 0x18, 0x61, 0x22, 0x01, 0x68,
                             0x07, 0x00, 0x02, 0x01, 0x00, 0x67, 0x07, 0x00, 0x01, 0xF7}));
}

TEST(DumpHeader, ReadsBackEveryField) {
    const DumpHeader header{.deviceChannel = 0x11,
                            .sampleNumber = 0x3FFF,
                            .bitsPerSample = 28,
                            .periodNs = 0x1FFFFF,
                            .wordCount = 0x1ABCDE,
                            .loopStart = 0x012345,
                            .loopEnd = 0x1FFFFE,
                            .loopType = loopAlternating};
    const DumpHeader read = parseDumpHeader(makeDumpHeader(header));
    EXPECT_EQ(makeDumpHeader(read), makeDumpHeader(header));
    EXPECT_EQ(read.sampleNumber, 0x3FFF);
    EXPECT_EQ(read.wordCount, 0x1ABCDEU);
    EXPECT_EQ(read.loopEnd, 0x1FFFFEU);
}

TEST(SevenBitFields, SplitCommonPeriodsLowFirst) {
    struct Case {
        std::uint32_t value;
        std::uint8_t low, middle, high;
    };
    for (const Case& c : {Case{20833, 0x61, 0x22, 0x01}, Case{31250, 0x12, 0x74, 0x01},
                          Case{90702, 0x4E, 0x44, 0x05}, Case{125000, 0x48, 0x50, 0x07},
                          Case{10416, 0x30, 0x51, 0x00}, Case{2097151, 0x7F, 0x7F, 0x7F}}) {
        const SevenBitTriple triple = splitSevenBits(c.value);
        EXPECT_EQ(triple.low, c.low) << c.value;
        EXPECT_EQ(triple.middle, c.middle) << c.value;
        EXPECT_EQ(triple.high, c.high) << c.value;
    }
    // One past the largest 21-bit number no longer fits: the caller must refuse it.
    EXPECT_EQ(splitSevenBits(2097152).high, 0x80);
}

} // namespace
} // namespace pelitor
