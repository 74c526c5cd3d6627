#include "app/sample_format.hpp"

#include <gtest/gtest.h>
#include <string>

namespace pelitor {
namespace {

TEST(SampleWidths, TakeTheContainerAndTheValidBitsAsWavDefinesThem) {
    const std::string cannot = "-bit samples cannot be converted; only PCM of 8 to 24 bits can (up "
                               "to 28 valid bits in the extensible format, 32 with --bits)";
    const std::string to24 = "; convert with sox in.wav -b 24 out.wav (24-bit keeps the most)";
    struct Case {
        std::uint16_t tag, container;
        std::optional<std::uint16_t> valid;
        int bits;           // asked for; 0 for the file's own
        std::string widths; // container bytes, WAV bits, word bits; or the refusal
    };
    for (const Case& c : {
             Case{1, 12, {}, 0, "2 12 12"},
             Case{1, 20, {}, 0, "3 20 20"},
             Case{1, 16, {}, 12, "2 16 12"},
             Case{1, 32, {}, 20, "4 32 20"},
             Case{1, 32, {}, 0, "32" + cannot + to24},
             Case{1, 7, {}, 16, "7" + cannot + "; convert with sox in.wav -b 8 out.wav"},
             Case{0xFFFE, 32, 24, 0, "4 24 24"},
             Case{0xFFFE, 16, 0, 0, "2 16 16"},
             Case{0xFFFE, 32, 0, 0, "32" + cannot + to24},
             Case{0xFFFE, 16, 20, 0,
                  "the extensible format chunk gives 20 valid bits in 16-bit "
                  "containers: the file is damaged"},
             Case{0xFFFE, 12, 12, 0,
                  "the extensible format chunk gives 12-bit containers; only "
                  "8-, 16-, 24- and 32-bit ones can be converted"},
         }) {
        WavHeader header;
        header.formatTag = c.tag;
        header.bitsPerSample = c.container;
        header.validBits = c.valid;
        const auto widths = sampleWidths(header, c.bits);
        EXPECT_EQ(widths
                      ? std::to_string(widths->containerBytes) + " " +
                            std::to_string(widths->wavBits) + " " + std::to_string(widths->wordBits)
                      : widths.failure().message,
                  c.widths)
            << c.tag << " " << c.container << " --bits " << c.bits;
    }
}

} // namespace
} // namespace pelitor
