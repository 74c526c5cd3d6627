#include "app/refusal.hpp"

#include <gtest/gtest.h>

namespace pelitor {
namespace {

using namespace std::string_literals;

std::string told(std::string_view first) {
    const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(first.data()), first.size());
    return otherFormatRefusal(bytes).value_or("(not recognised)");
}

TEST(Refusal, TellsOtherAudioFilesByTheirFirstBytes) {
    const std::string notWav = ", not a WAV file; make a WAV file of it with sox in.";
    for (const auto& [first, message] : std::vector<std::pair<std::string, std::string>>{
             {"FORM\0\1\2\3AIFFCOMM"s, "an AIFF file" + notWav + "aiff out.wav"},
             {"FORM\0\1\2\3AIFC"s, "an AIFF-C file" + notWav + "aifc out.wav"},
             {"fLaC\x00"s, "a FLAC file" + notWav + "flac out.wav"},
             {"OggS", "an Ogg file" + notWav + "ogg out.wav"},
             {"ID3\x04", "an MP3 file" + notWav +
                             "mp3 out.wav, once SoX can read MP3 (on Debian, "
                             "the package libsox-fmt-mp3)"},
             {"\xFF\xFB\x90\x00"s, told("ID3")},        // MPEG-1 layer III
             {"\xFF\xF1\x50\x80"s, "(not recognised)"}, // AAC: layer bits 00
             {"FORM\0\1\2\0038SVX"s, "(not recognised)"},
             {"FORM", "(not recognised)"},
             {"RIFF\x00\x00\x00\x00WAVE"s, "(not recognised)"},
             {"", "(not recognised)"},
         }) {
        EXPECT_EQ(told(first), message) << first;
    }
}

} // namespace
} // namespace pelitor
