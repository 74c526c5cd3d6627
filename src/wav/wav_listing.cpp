#include "wav/wav_listing.hpp"

#include <cstdint>

namespace pelitor {
namespace {

// The labels are Shift_JIS (code page 932) bytes, written unchanged whatever the console uses.
// A string break after an escape keeps a following hex letter out of the escape.
constexpr const char* riffIdLabel = "\x83`\x83\x83\x83\x93\x83NID: "; // チャンクID
constexpr const char* riffSizeLabel = "\x83`\x83\x83\x83\x93\x83N\x83T\x83"
                                      "C\x83Y: "; // チャンクサイズ
constexpr const char* waveIdLabel = "WAVE: ";
constexpr const char* fmtIdLabel = "\x83t\x83H\x81[\x83}\x83"
                                   "b\x83g\x83`\x83\x83\x83\x93\x83NID: "; // フォーマットチャンクID
constexpr const char* fmtSizeLabel = "\x83t\x83H\x81[\x83}\x83"
                                     "b\x83g\x83`\x83\x83\x83\x93\x83N\x83T\x83"
                                     "C\x83Y: "; // フォーマットチャンクサイズ
constexpr const char* formatTagLabel = "\x83t\x83H\x81[\x83}\x83"
                                       "b\x83g\x83^\x83"
                                       "C\x83v[1:Liner PCM]: "; // フォーマットタイプ
constexpr const char* channelsLabel =
    "\x83`\x83\x83\x83\x93\x83l\x83\x8B[1:MONO, 2:STEREO]: "; // チャンネル
constexpr const char* sampleRateLabel =
    "\x83T\x83\x93\x83v\x83\x8A\x83\x93\x83O\x8E\xFC\x94g\x90\x94[Hz]: "; // サンプリング周波数
constexpr const char* byteRateLabel =
    "\x92P\x88\xCA\x8E\x9E\x8A\xD4\x93\x96\x82\xBD\x82\xE8\x83r\x83"
    "b\x83g\x90\x94[byte(s)]: "; // 単位時間当たりビット数
constexpr const char* blockAlignLabel =
    "\x92P\x88\xCA\x83"
    "f\x81[\x83^\x92l[\x97\xCA\x8Eq\x89\xBB\x83r\x83"
    "b\x83g\x90\x94/8 x (1:MONO, 2:STEREO)]: "; // 単位データ値[量子化ビット数/8 x ...]
constexpr const char* bitsPerSampleLabel = "\x97\xCA\x8Eq\x89\xBB\x83r\x83"
                                           "b\x83g\x90\x94[bit(s)]: "; // 量子化ビット数
constexpr const char* dataIdLabel = "\x83"
                                    "f\x81[\x83^\x83`\x83\x83\x83\x93\x83NID: "; // データチャンクID
constexpr const char* dataSizeLabel = "\x83"
                                      "f\x81[\x83^\x83T\x83"
                                      "C\x83Y: "; // データサイズ

template <typename Value> void line(std::ostream& console, const char* label, const Value& value) {
    console << label << value << '\n' << std::flush;
}

} // namespace

void printWavHeader(std::ostream& console, const WavHeader& header) {
    // Numbers list as signed values of their stored width, as they always have: a format tag
    // of 0xFFFE lists as -2 and a size of 0xFFFFFFFF as -1.
    const auto signed16 = [](std::uint16_t value) {
        return std::int32_t{static_cast<std::int16_t>(value)};
    };
    const auto signed32 = [](std::uint32_t value) {
        return static_cast<std::int32_t>(value);
    };
    line(console, riffIdLabel, header.riffId.text());
    line(console, riffSizeLabel, signed32(header.riffSize));
    line(console, waveIdLabel, header.waveId.text());
    line(console, fmtIdLabel, header.fmtId.text());
    line(console, fmtSizeLabel, signed32(header.fmtSize));
    line(console, formatTagLabel, signed16(header.formatTag));
    line(console, channelsLabel, signed16(header.channels));
    line(console, sampleRateLabel, signed32(header.sampleRate));
    line(console, byteRateLabel, signed32(header.byteRate));
    line(console, blockAlignLabel, signed16(header.blockAlign));
    line(console, bitsPerSampleLabel, signed16(header.bitsPerSample));
    line(console, dataIdLabel, header.dataId.text());
    line(console, dataSizeLabel, signed32(header.dataSize));
}

} // namespace pelitor
