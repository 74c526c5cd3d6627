#include "wav/wav_listing.hpp"

#include <gtest/gtest.h>
#include <iconv.h>
#include <sstream>

namespace pelitor {
namespace {

WavHeader stereoHeader() {
    WavHeader h;
    h.riffId = {{'R', 'I', 'F', 'F', 0}};
    h.riffSize = 176436;
    h.waveId = {{'W', 'A', 'V', 'E', 0}};
    h.fmtId = {{'f', 'm', 't', ' ', 0}};
    h.fmtSize = 16;
    h.formatTag = 1;
    h.channels = 2;
    h.sampleRate = 44100;
    h.byteRate = 176400;
    h.blockAlign = 4;
    h.bitsPerSample = 16;
    h.dataId = {{'d', 'a', 't', 'a', 0}};
    h.dataSize = 176400;
    return h;
}

std::string listing(const WavHeader& header, LabelText text = LabelText::shiftJis) {
    std::ostringstream out;
    printWavHeader(out, header, text);
    return out.str();
}

// The C library's own Shift_JIS decoder, which the listing's UTF-8 labels must agree with.
std::string shiftJisToUtf8(std::string text) {
    const iconv_t decoder = iconv_open("UTF-8", "SHIFT_JIS");
    std::string utf8(text.size() * 2, '\0');
    char* in = text.data();
    char* out = utf8.data();
    std::size_t inLeft = text.size();
    std::size_t outLeft = utf8.size();
    EXPECT_NE(iconv(decoder, &in, &inLeft, &out, &outLeft), static_cast<std::size_t>(-1));
    iconv_close(decoder);
    utf8.resize(utf8.size() - outLeft);
    return utf8;
}

TEST(WavListing, ThirteenShiftJisLabelledLines) {
    // The labels' Shift_JIS bytes, as a Japanese Windows console shows them.
    const std::string expected =
        "\x83`\x83\x83\x83\x93\x83NID: RIFF\n"
        "\x83`\x83\x83\x83\x93\x83N\x83T\x83"
        "C\x83Y: 176436\n"
        "WAVE: WAVE\n"
        "\x83t\x83H\x81[\x83}\x83"
        "b\x83g\x83`\x83\x83\x83\x93\x83NID: fmt \n"
        "\x83t\x83H\x81[\x83}\x83"
        "b\x83g\x83`\x83\x83\x83\x93\x83N\x83T\x83"
        "C\x83Y: 16\n"
        "\x83t\x83H\x81[\x83}\x83"
        "b\x83g\x83^\x83"
        "C\x83v[1:Liner PCM]: 1\n"
        "\x83`\x83\x83\x83\x93\x83l\x83\x8B[1:MONO, 2:STEREO]: 2\n"
        "\x83T\x83\x93\x83v\x83\x8A\x83\x93\x83O\x8E\xFC\x94g\x90\x94[Hz]: 44100\n"
        "\x92P\x88\xCA\x8E\x9E\x8A\xD4\x93\x96\x82\xBD\x82\xE8\x83r\x83"
        "b\x83g\x90\x94[byte(s)]: 176400\n"
        "\x92P\x88\xCA\x83"
        "f\x81[\x83^\x92l[\x97\xCA\x8Eq\x89\xBB\x83r\x83"
        "b\x83g\x90\x94/8 x (1:MONO, 2:STEREO)]: 4\n"
        "\x97\xCA\x8Eq\x89\xBB\x83r\x83"
        "b\x83g\x90\x94[bit(s)]: 16\n"
        "\x83"
        "f\x81[\x83^\x83`\x83\x83\x83\x93\x83NID: data\n"
        "\x83"
        "f\x81[\x83^\x83T\x83"
        "C\x83Y: 176400\n";
    EXPECT_EQ(listing(stereoHeader()), expected);
}

TEST(WavListing, NumbersAreSignedAndIdsStopAtTheirFirstNul) {
    WavHeader h = stereoHeader();
    h.formatTag = 0xFFFE;
    h.dataSize = 0xFFFFFFFF;
    h.dataId = {{'d', 0, 0, 0, 0}};
    const std::string text = listing(h);
    EXPECT_NE(text.find("PCM]: -2\n"), std::string::npos);
    EXPECT_NE(text.find("NID: d\n"), std::string::npos);
    EXPECT_NE(text.find("\x83"
                        "C\x83Y: -1\n"),
              std::string::npos);
}

TEST(WavListing, Utf8LabelsReadAsTheShiftJisOnes) {
    const std::string utf8 = listing(stereoHeader(), LabelText::utf8);
    EXPECT_EQ(utf8, shiftJisToUtf8(listing(stereoHeader())));
    EXPECT_TRUE(utf8.starts_with("\u30c1\u30e3\u30f3\u30afID: RIFF\n")); // チャンクID
}

} // namespace
} // namespace pelitor
