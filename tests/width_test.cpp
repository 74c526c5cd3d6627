// Widths other than the usual three, and --bits, through the program: the width the dump
// announces and the bytes it carries. The words themselves are tested where they are encoded.
#include "support/program.hpp"

#include <gtest/gtest.h>

namespace pelitor::test {
namespace {

using Widths = ProgramTest;

// Samples of `bytes` bytes, each value in the top `bits` bits, the bits below all set or zero.
Bytes samples(std::size_t bytes, int bits, std::initializer_list<std::int32_t> values,
              bool setBelow) {
    Bytes data;
    const int below = static_cast<int>(bytes) * 8 - bits;
    for (const std::int32_t value : values) {
        const auto stored =
            static_cast<std::uint32_t>(value) << below | (setBelow ? (1U << below) - 1 : 0);
        for (std::size_t i = 0; i < bytes; ++i) {
            data.push_back(static_cast<std::uint8_t>(stored >> (8 * i)));
        }
    }
    return data;
}

TEST_F(Widths, TwelveBitFilesAndBitsTwelveMakeTwelveBitWordsSixtyAPacket) {
    const std::initializer_list<std::int32_t> values{2047, -2048, 1, -1, 0, 1000};
    Bytes twelve = samples(2, 12, values, true);
    twelve.resize(2 * 61);
    writeFile(path("twelve.wav"), canonicalWav({.bits = 12}, twelve));
    const ProgramRun result = run({"twelve.wav"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    const Bytes sds = readFile(path("twelve.sds"));
    ASSERT_EQ(sds.size(), 21U + 2 * 127U);
    EXPECT_EQ(sds[6], 12);
    EXPECT_EQ(Bytes(sds.begin() + 26, sds.begin() + 30), (Bytes{0x7F, 0x7C, 0x00, 0x00}));

    // 16-bit samples whose low four bits are zero, as SoX's dither leaves them, keep exactly.
    Bytes dithered = samples(2, 12, values, false);
    dithered.resize(2 * 61);
    writeFile(path("dithered.wav"), canonicalWav({}, dithered));
    ASSERT_EQ(run({"--bits=12", "dithered.wav"}).status, 0);
    EXPECT_EQ(readFile(path("dithered.sds")), sds);
}

TEST_F(Widths, TwentyFourValidBitsInThirtyTwoAreTheWordsOfATwentyFourBitFile) {
    const std::initializer_list<std::int32_t> values{0x123456, -0x800000, 0x7FFFFF, -1, 0};
    writeFile(path("plain.wav"), canonicalWav({.bits = 24}, samples(3, 24, values, false)));
    ASSERT_EQ(run({"plain.wav"}).status, 0);
    const Bytes plain = readFile(path("plain.sds"));
    writeFile(path("padded.wav"),
              canonicalWav({.tag = 0xFFFE, .bits = 32, .size = 40, .validBits = 24},
                           samples(4, 24, values, true)));
    ASSERT_EQ(run({"padded.wav"}).status, 0);
    EXPECT_EQ(readFile(path("padded.sds")), plain);
    // 32-bit integers convert only to a width asked for; with their low byte zero, exactly.
    writeFile(path("integers.wav"), canonicalWav({.bits = 32}, samples(4, 24, values, false)));
    EXPECT_EQ(run({"integers.wav"}).status, 65);
    ASSERT_EQ(run({"--bits", "24", "integers.wav"}).status, 0);
    EXPECT_EQ(readFile(path("integers.sds")), plain);
}

} // namespace
} // namespace pelitor::test
