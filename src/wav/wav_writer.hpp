#pragma once

// The WAV layout every writer in the project shares: "RIFF", "WAVE", a 16-byte "fmt " chunk,
// then the "data" chunk. The example generator, the benchmark and the tests build their files
// from these pieces (support/wav_writer.hpp); pelitor-receive writes its samples with wavFile.
#include "wav/wav_header.hpp"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace pelitor::wav_writer {

using Bytes = std::vector<std::uint8_t>;

inline void append16(Bytes& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void append32(Bytes& out, std::uint32_t value) {
    append16(out, value & 0xFFFF);
    append16(out, value >> 16);
}

// A chunk's four-character id and the size it states; its payload follows. Byte by byte, as
// g++ 12 warns falsely about an insert into an empty vector.
inline void appendChunkHeader(Bytes& out, std::string_view id, std::uint32_t size) {
    for (const char c : id) {
        out.push_back(static_cast<std::uint8_t>(c));
    }
    append32(out, size);
}

struct Format {
    std::uint16_t tag = 1; // PCM
    std::uint16_t channels = 1;
    std::uint32_t rate = 44100;
    std::uint16_t bits = 16;
};

// The 16 bytes every format chunk starts with; byte rate and block align follow from the rest.
inline void appendFormatFields(Bytes& out, const Format& format) {
    const std::uint32_t blockAlign = format.channels * ((format.bits + 7U) / 8U);
    append16(out, format.tag);
    append16(out, format.channels);
    append32(out, format.rate);
    append32(out, format.rate * blockAlign);
    append16(out, blockAlign);
    append16(out, format.bits);
}

// The 44 bytes before `dataSize` bytes of samples; `afterData` more bytes (a pad byte, further
// chunks) are counted in the RIFF size. The benchmark's odd-sized 8- and 24-bit inputs have
// always been written without a pad byte; the tests' builder adds one.
inline Bytes canonicalHeader(const Format& format, std::uint32_t dataSize,
                             std::uint32_t afterData = 0) {
    Bytes out;
    appendChunkHeader(out, "RIFF", 36 + dataSize + afterData);
    out.insert(out.end(), {'W', 'A', 'V', 'E'});
    appendChunkHeader(out, "fmt ", 16);
    appendFormatFields(out, format);
    appendChunkHeader(out, "data", dataSize);
    return out;
}

// The PCM width that holds a word of `bitsPerWord` bits (8 to 32): 8, 16, 24 or 32.
constexpr int containerBits(int bitsPerWord) {
    return (bitsPerWord + 7) / 8 * 8;
}

// A mono PCM file of signed samples `bitsPerWord` bits wide, each left-justified in the
// smallest container that holds it (8 bits stored unsigned, as WAV stores them), with a
// "smpl" chunk when there is a loop.
Bytes wavFile(std::span<const std::int32_t> samples, int bitsPerWord, std::uint32_t rate,
              const std::optional<SampleLoop>& loop);

} // namespace pelitor::wav_writer
