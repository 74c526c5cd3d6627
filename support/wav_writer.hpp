#pragma once

// The canonical WAV layout, written the one way the example generator, the benchmark and the
// tests share: "RIFF", "WAVE", a 16-byte "fmt " chunk, then the "data" chunk. The tests' builder
// of unusual layouts (tests/support/wav_builder.hpp) is made of the same pieces.
#include <cstdint>
#include <filesystem>
#include <fstream>
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

// The 44 bytes before `dataSize` bytes of samples. No pad byte is counted after odd-sized data,
// as the benchmark's 8- and 24-bit inputs have always been written; the tests' builder adds one.
inline Bytes canonicalHeader(const Format& format, std::uint32_t dataSize) {
    Bytes out;
    appendChunkHeader(out, "RIFF", 36 + dataSize);
    out.insert(out.end(), {'W', 'A', 'V', 'E'});
    appendChunkHeader(out, "fmt ", 16);
    appendFormatFields(out, format);
    appendChunkHeader(out, "data", dataSize);
    return out;
}

// Whether every byte reached the file.
inline bool writeFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    return !file.fail();
}

} // namespace pelitor::wav_writer
