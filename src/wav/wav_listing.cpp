#include "wav/wav_listing.hpp"

#include <cstdint>

namespace pelitor {
namespace {

// Each label as Shift_JIS (code page 932) bytes, written unchanged whatever the console uses,
// and as UTF-8. A string break after an escape keeps a following hex letter out of the escape.
struct Label {
    const char* shiftJis;
    const char* utf8;
};

constexpr Label riffIdLabel{"\x83`\x83\x83\x83\x93\x83NID: ", "チャンクID: "};
constexpr Label riffSizeLabel{"\x83`\x83\x83\x83\x93\x83N\x83T\x83"
                              "C\x83Y: ",
                              "チャンクサイズ: "};
constexpr Label waveIdLabel{"WAVE: ", "WAVE: "};
constexpr Label fmtIdLabel{"\x83t\x83H\x81[\x83}\x83"
                           "b\x83g\x83`\x83\x83\x83\x93\x83NID: ",
                           "フォーマットチャンクID: "};
constexpr Label fmtSizeLabel{"\x83t\x83H\x81[\x83}\x83"
                             "b\x83g\x83`\x83\x83\x83\x93\x83N\x83T\x83"
                             "C\x83Y: ",
                             "フォーマットチャンクサイズ: "};
constexpr Label formatTagLabel{"\x83t\x83H\x81[\x83}\x83"
                               "b\x83g\x83^\x83"
                               "C\x83v[1:Liner PCM]: ",
                               "フォーマットタイプ[1:Liner PCM]: "};
constexpr Label channelsLabel{"\x83`\x83\x83\x83\x93\x83l\x83\x8B[1:MONO, 2:STEREO]: ",
                              "チャンネル[1:MONO, 2:STEREO]: "};
constexpr Label sampleRateLabel{
    "\x83T\x83\x93\x83v\x83\x8A\x83\x93\x83O\x8E\xFC\x94g\x90\x94[Hz]: ",
    "サンプリング周波数[Hz]: "};
constexpr Label byteRateLabel{"\x92P\x88\xCA\x8E\x9E\x8A\xD4\x93\x96\x82\xBD\x82\xE8\x83r\x83"
                              "b\x83g\x90\x94[byte(s)]: ",
                              "単位時間当たりビット数[byte(s)]: "};
constexpr Label blockAlignLabel{"\x92P\x88\xCA\x83"
                                "f\x81[\x83^\x92l[\x97\xCA\x8Eq\x89\xBB\x83r\x83"
                                "b\x83g\x90\x94/8 x (1:MONO, 2:STEREO)]: ",
                                "単位データ値[量子化ビット数/8 x (1:MONO, 2:STEREO)]: "};
constexpr Label bitsPerSampleLabel{"\x97\xCA\x8Eq\x89\xBB\x83r\x83"
                                   "b\x83g\x90\x94[bit(s)]: ",
                                   "量子化ビット数[bit(s)]: "};
constexpr Label dataIdLabel{"\x83"
                            "f\x81[\x83^\x83`\x83\x83\x83\x93\x83NID: ",
                            "データチャンクID: "};
constexpr Label dataSizeLabel{"\x83"
                              "f\x81[\x83^\x83T\x83"
                              "C\x83Y: ",
                              "データサイズ: "};

template <typename Value>
void line(std::ostream& console, LabelText text, const Label& label, const Value& value) {
    console << (text == LabelText::utf8 ? label.utf8 : label.shiftJis) << value << '\n'
            << std::flush;
}

} // namespace

void printWavHeader(std::ostream& console, const WavHeader& header, LabelText text) {
    // Numbers list as signed values of their stored width, as they always have: a format tag
    // of 0xFFFE lists as -2 and a size of 0xFFFFFFFF as -1.
    const auto signed16 = [](std::uint16_t value) {
        return std::int32_t{static_cast<std::int16_t>(value)};
    };
    const auto signed32 = [](std::uint32_t value) {
        return static_cast<std::int32_t>(value);
    };
    line(console, text, riffIdLabel, header.riffId.text());
    line(console, text, riffSizeLabel, signed32(header.riffSize));
    line(console, text, waveIdLabel, header.waveId.text());
    line(console, text, fmtIdLabel, header.fmtId.text());
    line(console, text, fmtSizeLabel, signed32(header.fmtSize));
    line(console, text, formatTagLabel, signed16(header.formatTag));
    line(console, text, channelsLabel, signed16(header.channels));
    line(console, text, sampleRateLabel, signed32(header.sampleRate));
    line(console, text, byteRateLabel, signed32(header.byteRate));
    line(console, text, blockAlignLabel, signed16(header.blockAlign));
    line(console, text, bitsPerSampleLabel, signed16(header.bitsPerSample));
    line(console, text, dataIdLabel, header.dataId.text());
    line(console, text, dataSizeLabel, signed32(header.dataSize));
}

} // namespace pelitor
