#include "app/sample_format.hpp"

#include <gtest/gtest.h>
#include <string>

namespace pelitor {
namespace {

struct Widths {
    std::uint16_t tag;
    std::uint16_t container;
    std::optional<std::uint16_t> valid;
    int bits; // asked for; 0 for the file's own
};

std::string widths(const Widths& given) {
    WavHeader header;
    header.formatTag = given.tag;
    header.bitsPerSample = given.container;
    header.validBits = given.valid;
    const auto result = sampleWidths(header, given.bits);
    if (!result) {
        return result.failure().message;
    }
    return std::to_string(result->containerBytes) + " bytes, " + std::to_string(result->wavBits) +
           " bits, " + std::to_string(result->wordBits) + "-bit words";
}

TEST(SampleWidths, TakeTheContainerAndTheValidBitsAsWavDefinesThem) {
    const std::string cannot = "-bit samples cannot be converted; only PCM of 8 to 24 bits can (up "
                               "to 28 valid bits in the extensible format, 32 with --bits)";
    const std::string to24 = "; convert with sox in.wav -b 24 out.wav (24-bit keeps the most)";
    const std::string extensibleContainers =
        "-bit containers; only 8-, 16-, 24- and 32-bit ones can be converted";
    struct Case {
        Widths given;
        std::string widths;
    };
    for (const Case& c : {
             Case{{1, 8, {}, 0}, "1 bytes, 8 bits, 8-bit words"},
             Case{{1, 12, {}, 0}, "2 bytes, 12 bits, 12-bit words"},
             Case{{1, 20, {}, 0}, "3 bytes, 20 bits, 20-bit words"},
             Case{{1, 24, {}, 0}, "3 bytes, 24 bits, 24-bit words"},
             Case{{1, 16, {}, 12}, "2 bytes, 16 bits, 12-bit words"},
             Case{{1, 8, {}, 28}, "1 bytes, 8 bits, 28-bit words"},
             Case{{1, 32, {}, 20}, "4 bytes, 32 bits, 20-bit words"},
             Case{{1, 25, {}, 0}, "25" + cannot + to24},
             Case{{1, 32, {}, 0}, "32" + cannot + to24},
             Case{{1, 40, {}, 16}, "40" + cannot + to24},
             Case{{1, 7, {}, 16}, "7" + cannot + "; convert with sox in.wav -b 8 out.wav"},
             Case{{1, 0, {}, 0}, "0" + cannot},
             Case{{0xFFFE, 32, 24, 0}, "4 bytes, 24 bits, 24-bit words"},
             Case{{0xFFFE, 32, 28, 0}, "4 bytes, 28 bits, 28-bit words"},
             Case{{0xFFFE, 24, 20, 0}, "3 bytes, 20 bits, 20-bit words"},
             Case{{0xFFFE, 16, 0, 0}, "2 bytes, 16 bits, 16-bit words"},
             Case{{0xFFFE, 32, 0, 0}, "32" + cannot + to24},
             Case{{0xFFFE, 32, 29, 0}, "29" + cannot + to24},
             Case{{0xFFFE, 32, 0, 24}, "4 bytes, 32 bits, 24-bit words"},
             Case{{0xFFFE, 16, 4, 0}, "4" + cannot + "; convert with sox in.wav -b 8 out.wav"},
             Case{{0xFFFE, 16, 20, 0},
                  "the extensible format chunk gives 20 valid bits in 16-bit containers: the file "
                  "is damaged"},
             Case{{0xFFFE, 12, 12, 0},
                  "the extensible format chunk gives 12" + extensibleContainers},
             Case{{0xFFFE, 40, 24, 0},
                  "the extensible format chunk gives 40" + extensibleContainers},
         }) {
        EXPECT_EQ(widths(c.given), c.widths)
            << c.given.tag << " " << c.given.container << " --bits " << c.given.bits;
    }
}

} // namespace
} // namespace pelitor
