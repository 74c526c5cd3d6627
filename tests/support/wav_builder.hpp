#pragma once

// Files in any layout: chunks in any order, sizes that lie, extended and extensible format
// chunks, LIST chunks. Built from the canonical writer's pieces.
#include "wav_writer.hpp"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace pelitor::test {

using wav_writer::append16;
using wav_writer::append32;
using wav_writer::appendChunkHeader;
using wav_writer::Bytes;

// One RIFF chunk; `size` overrides the stored size (for files that lie about it).
struct Chunk {
    std::string id;
    Bytes payload;
    std::optional<std::uint32_t> size;
};

// The writer's format fields and the chunk's size, flat so that a test can write
// {.rate = 8000, .size = 18}.
struct Format {
    std::uint16_t tag = 1;
    std::uint16_t channels = 1;
    std::uint32_t rate = 44100;
    std::uint16_t bits = 16;
    std::size_t size = 16; // 18 adds the extension size; 40 the extensible fields
    std::optional<std::uint16_t> validBits = std::nullopt; // none: as many as `bits`
    Bytes subFormat = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                       0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}; // PCM
};

inline Chunk fmtChunk(const Format& format) {
    Bytes payload;
    wav_writer::appendFormatFields(payload,
                                   {format.tag, format.channels, format.rate, format.bits});
    if (format.size >= 18) {
        append16(payload, static_cast<std::uint32_t>(format.size - 18));
    }
    if (format.size >= 40) {
        append16(payload, format.validBits.value_or(format.bits));
        append32(payload, 0x4); // channel mask: front centre
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
        appendChunkHeader(body, chunk.id,
                          chunk.size.value_or(static_cast<std::uint32_t>(chunk.payload.size())));
        body.insert(body.end(), chunk.payload.begin(), chunk.payload.end());
        if (chunk.payload.size() % 2 == 1) {
            body.push_back(0);
        }
    }
    Bytes file;
    appendChunkHeader(file, "RIFF", static_cast<std::uint32_t>(body.size()));
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

// The format chunk and the data chunk right after it: with a 16-byte format chunk and an even
// number of sample bytes, the same bytes as wav_writer::canonicalHeader and the samples.
inline Bytes canonicalWav(const Format& format, Bytes samples) {
    return riffWave({fmtChunk(format), dataChunk(std::move(samples))});
}

// One loop of a "smpl" chunk: type 0 forward, 1 alternating, 2 backward; end included.
struct SmplLoop {
    std::uint32_t type = 0;
    std::uint32_t start = 0;
    std::uint32_t end = 0;
};

// A "smpl" chunk as samplers and sample editors write it, with these loops; `claimed` overrides
// the loop count it states.
inline Chunk smplChunk(std::initializer_list<SmplLoop> loops,
                       std::optional<std::uint32_t> claimed = std::nullopt) {
    Bytes payload;
    // Manufacturer, product, sample period, MIDI unity note, pitch fraction, SMPTE format and
    // offset, then the loop count and the size of the sampler data after the loops.
    for (const std::uint32_t field : {0U, 0U, 22675U, 60U, 0U, 0U, 0U}) {
        append32(payload, field);
    }
    append32(payload, claimed.value_or(static_cast<std::uint32_t>(loops.size())));
    append32(payload, 0);
    std::uint32_t id = 0;
    for (const SmplLoop& loop : loops) {
        for (const std::uint32_t field : {id++, loop.type, loop.start, loop.end, 0U, 0U}) {
            append32(payload, field); // the last two: fraction and play count
        }
    }
    return {"smpl", payload, std::nullopt};
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
