#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace pelitor {

// A chunk identifier as stored: up to four characters, cut at the first NUL, always NUL-ended.
using ChunkId = std::array<char, 5>;

inline std::string_view text(const ChunkId& id) {
    return std::string_view(id.data());
}

// The fields of a WAV file's header as they are listed, in file order, plus where the samples
// begin. Sizes and numbers are kept signed as stored, so that a size of 0xFFFFFFFF lists as -1.
struct WavHeader {
    ChunkId riffId{};
    std::int32_t riffSize = 0;
    ChunkId waveId{};
    ChunkId fmtId{};
    std::int32_t fmtSize = 0;
    std::int16_t formatTag = 0;
    std::int16_t channels = 0;
    std::int32_t sampleRate = 0;
    std::int32_t byteRate = 0;
    std::int16_t blockAlign = 0;
    std::int16_t bitsPerSample = 0;
    ChunkId dataId{};
    std::int32_t dataSize = 0;

    // Offset of the first sample byte in the file.
    std::uint64_t headerLength = 0;
    // The sub-format GUID of an extensible format chunk (one of 40 bytes or more).
    std::optional<std::array<std::uint8_t, 16>> subFormat;
};

} // namespace pelitor
