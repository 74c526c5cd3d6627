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

inline constexpr std::uint16_t wavFormatPcm = 1;
inline constexpr std::uint16_t wavFormatExtensible = 0xFFFE;

// A loop as a "smpl" chunk stores it: start and end are sample frames, both played.
struct SampleLoop {
    std::uint32_t type = 0; // 0 forward, 1 alternating, 2 backward
    std::uint32_t start = 0;
    std::uint32_t end = 0;
};

// What the first "smpl" chunk says about its loops.
struct SamplerLoops {
    std::uint32_t count = 0; // as the chunk claims it
    bool countFits = false;  // whether that many loops fit in the chunk and in the file
    std::optional<SampleLoop> first;
};

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
    // The valid bits and the sub-format GUID of an extensible format chunk (one of 40 bytes or
    // more); 0 valid bits means all of the container.
    std::optional<std::uint16_t> validBits;
    std::optional<Guid> subFormat;
    // The first "smpl" chunk anywhere in the file, if there is one before the file ends.
    std::optional<SamplerLoops> sampler;
};

} // namespace pelitor
