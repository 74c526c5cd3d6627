// Compares our .sds files with those of an independent SDS writer, libsndfile's
// sndfile-convert, on the same WAV files.
#include "support/program.hpp"

#include <gtest/gtest.h>

namespace pelitor::test {
namespace {

using AgainstSndfile = ProgramTest;

constexpr std::size_t headerBytes = 21;
constexpr std::size_t packetBytes = 127;

Bytes noise(std::size_t count, std::uint32_t seed) {
    Bytes bytes(count);
    for (auto& byte : bytes) {
        seed = seed * 1664525U + 1013904223U;
        byte = static_cast<std::uint8_t>(seed >> 24);
    }
    return bytes;
}

// Their writer fills the unused words of a partial last packet with stale samples, so of the
// last packet only its framing and number are compared; everything before it byte for byte.
void expectSameStream(const Bytes& ours, const Bytes& theirs, const std::string& label) {
    ASSERT_EQ(ours.size(), theirs.size()) << label;
    ASSERT_GE(ours.size(), headerBytes + packetBytes) << label;
    EXPECT_EQ((ours.size() - headerBytes) % packetBytes, 0U) << label;
    const std::size_t last = ours.size() - packetBytes;
    EXPECT_TRUE(std::equal(ours.begin(), ours.begin() + static_cast<long>(last), theirs.begin()))
        << label << ": first difference at byte "
        << std::mismatch(ours.begin(), ours.end(), theirs.begin()).first - ours.begin();
    EXPECT_TRUE(std::equal(ours.begin() + static_cast<long>(last),
                           ours.begin() + static_cast<long>(last) + 5,
                           theirs.begin() + static_cast<long>(last)))
        << label;
    EXPECT_EQ(ours.back(), theirs.back()) << label;
}

TEST_F(AgainstSndfile, WritesTheSameStreamForEveryWidthRateAndLength) {
    if (!toolInstalled("sndfile-convert")) {
        GTEST_SKIP()
            << "sndfile-convert is not installed: the comparison with libsndfile did not run";
    }
    struct Case {
        std::uint16_t bits;
        std::uint32_t rate;
        std::size_t words;
    };
    const std::vector<Case> cases{
        {8, 8000, 59},     {8, 22050, 120}, {8, 477, 1000},     {16, 44100, 4000},
        {16, 48000, 4001}, {16, 11025, 37}, {16, 96000, 44100}, {24, 96000, 1500},
        {24, 44100, 1001}, {24, 32000, 29},
    };
    std::uint32_t seed = 1;
    for (const Case& c : cases) {
        const std::string label = std::to_string(c.bits) + "-bit, " + std::to_string(c.rate) +
                                  " Hz, " + std::to_string(c.words) + " words";
        writeFile(path("in.wav"), canonicalWav({.rate = c.rate, .bits = c.bits},
                                               noise(c.words * c.bits / 8, seed++)));
        ASSERT_EQ(run({"in.wav"}).status, 0) << label;
        const std::string eightBit = c.bits == 8 ? "-pcms8 " : "";
        ASSERT_EQ(shell("sndfile-convert " + eightBit + "in.wav theirs.sds >/dev/null 2>&1"), 0)
            << label;
        expectSameStream(readFile(path("in.sds")), readFile(path("theirs.sds")), label);
        fs::remove(path("in.sds"));
        fs::remove(path("theirs.sds"));
    }
}

} // namespace
} // namespace pelitor::test
