#include "wav/wav_writer.hpp"

#include <gtest/gtest.h>

namespace pelitor::wav_writer {
namespace {

Bytes dataOf(const Bytes& file) {
    const std::uint32_t size = file[40] | file[41] << 8 | file[42] << 16 | file[43] << 24;
    return Bytes(file.begin() + 44, file.begin() + 44 + size);
}

TEST(WavWriter, PutsEachWordLeftJustifiedInTheSmallestContainer) {
    struct Case {
        int bits;
        std::vector<std::int32_t> samples;
        Bytes data;
    };
    const std::vector<Case> cases{
        {8, {-128, 0, 127}, {0x00, 0x80, 0xFF}}, // unsigned, as WAV keeps 8 bits
        {12, {-2048, -1, 2047}, {0x00, 0x80, 0xF0, 0xFF, 0xF0, 0x7F}},
        {16, {-32768, 1}, {0x00, 0x80, 0x01, 0x00}},
        {17, {-1}, {0x80, 0xFF, 0xFF}},
        {24, {0x123456}, {0x56, 0x34, 0x12}},
        {28, {-1, 0x7FFFFFF}, {0xF0, 0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0x7F}},
    };
    for (const Case& c : cases) {
        const Bytes file = wavFile(c.samples, c.bits, 44100, std::nullopt);
        EXPECT_EQ(file[34], containerBits(c.bits)) << c.bits;
        EXPECT_EQ(dataOf(file), c.data) << c.bits;
    }
}

TEST(WavWriter, IsTheCanonicalLayoutThenAPadByteAndOneLoop) {
    const Bytes plain = wavFile(std::vector<std::int32_t>{1, 2}, 16, 48000, std::nullopt);
    Bytes expected = canonicalHeader({.rate = 48000, .bits = 16}, 4);
    expected.insert(expected.end(), {1, 0, 2, 0});
    EXPECT_EQ(plain, expected);

    const Bytes looped = wavFile(std::vector<std::int32_t>{0, 0, 0}, 8, 8000, SampleLoop{1, 1, 2});
    ASSERT_EQ(looped.size(), 44U + 3 + 1 + 68);
    EXPECT_EQ(Bytes(looped.begin() + 4, looped.begin() + 8), (Bytes{108, 0, 0, 0})); // RIFF size
    EXPECT_EQ(looped[47], 0);                                                        // pad
    const Bytes smpl(looped.begin() + 48, looped.end());
    EXPECT_EQ(Bytes(smpl.begin(), smpl.begin() + 4), (Bytes{'s', 'm', 'p', 'l'}));
    EXPECT_EQ(smpl[8 + 12], 60); // unity note
    EXPECT_EQ(smpl[8 + 28], 1);  // one loop
    EXPECT_EQ(Bytes(smpl.begin() + 48, smpl.begin() + 60),
              (Bytes{1, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0})); // alternating, 1 to 2
}

} // namespace
} // namespace pelitor::wav_writer
