#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace pelitor {

// A chunk identifier as stored: up to four characters, cut at the first NUL, always NUL-ended.
struct ChunkId {
    std::array<char, 5> chars{};

    std::string_view text() const { return chars.data(); }
};

using Guid = std::array<std::uint8_t, 16>;

// The fields of a WAV file's header in file order, with the values the file stores, plus
// where the samples begin.
struct WavHeader {
    ChunkId riffId;
    std::uint32_t riffSize = 0;
    ChunkId waveId;
    ChunkId fmtId;
    std::uint32_t fmtSize = 0;
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t byteRate = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    ChunkId dataId;
    std::uint32_t dataSize = 0;

    // Offset of the first sample byte in the file.
    std::uint64_t headerLength = 0;
    // The sub-format GUID of an extensible format chunk (one of 40 bytes or more).
    std::optional<Guid> subFormat;
};

} // namespace pelitor
