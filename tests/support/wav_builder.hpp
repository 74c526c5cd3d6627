#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace pelitor::test {

using Bytes = std::vector<std::uint8_t>;

inline void append16(Bytes& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void append32(Bytes& out, std::uint32_t value) {
    append16(out, value & 0xFFFF);
    append16(out, value >> 16);
}

// One RIFF chunk; `size` overrides the stored size (for files that lie about it).
struct Chunk {
    std::string id;
    Bytes payload;
    std::optional<std::uint32_t> size;
};

struct Format {
    std::uint16_t tag = 1;
    std::uint16_t channels = 1;
    std::uint32_t rate = 44100;
    std::uint16_t bits = 16;
    std::size_t size = 16; // 18 adds the extension size; 40 the extensible fields
    Bytes subFormat = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                       0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}; // PCM
};

inline Chunk fmtChunk(const Format& format) {
    const std::uint32_t blockAlign = format.channels * ((format.bits + 7U) / 8U);
    Bytes payload;
    append16(payload, format.tag);
    append16(payload, format.channels);
    append32(payload, format.rate);
    append32(payload, format.rate * blockAlign);
    append16(payload, blockAlign);
    append16(payload, format.bits);
    if (format.size >= 18) {
        append16(payload, static_cast<std::uint32_t>(format.size - 18));
    }
    if (format.size >= 40) {
        append16(payload, format.bits); // valid bits
        append32(payload, 0x4);         // channel mask: front centre
        payload.insert(payload.end(), format.subFormat.begin(), format.subFormat.end());
    }
    payload.resize(format.size);
    return {"fmt ", payload, std::nullopt};
}

inline Chunk dataChunk(Bytes samples, std::optional<std::uint32_t> size = std::nullopt) {
    return {"data", std::move(samples), size};
}

// "RIFF", its size, "WAVE" and the chunks, each odd payload followed by its pad byte.
inline Bytes riffWave(std::initializer_list<Chunk> chunks) {
    Bytes body{'W', 'A', 'V', 'E'};
    for (const Chunk& chunk : chunks) {
        body.insert(body.end(), chunk.id.begin(), chunk.id.end());
        append32(body, chunk.size.value_or(static_cast<std::uint32_t>(chunk.payload.size())));
        body.insert(body.end(), chunk.payload.begin(), chunk.payload.end());
        if (chunk.payload.size() % 2 == 1) {
            body.push_back(0);
        }
    }
    Bytes file{'R', 'I', 'F', 'F'};
    append32(file, static_cast<std::uint32_t>(body.size()));
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

// The canonical layout: a 16-byte format chunk and the data chunk right after it.
inline Bytes canonicalWav(const Format& format, Bytes samples) {
    return riffWave({fmtChunk(format), dataChunk(std::move(samples))});
}

// The LIST chunk that ffmpeg-based encoders put before the data.
inline Chunk lavfListChunk() {
    const std::string info = "INFOISFT";
    Bytes payload(info.begin(), info.end());
    append32(payload, 14);
    const std::string software = "Lavf58.76.100";
    payload.insert(payload.end(), software.begin(), software.end());
    payload.push_back(0);
    return {"LIST", payload, std::nullopt};
}

} // namespace pelitor::test
