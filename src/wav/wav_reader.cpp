#include "wav/wav_reader.hpp"

#include <algorithm>
#include <array>
#include <span>

namespace pelitor {
namespace {

constexpr std::size_t riffPreambleSize = 12; // "RIFF", size, "WAVE"
constexpr std::size_t chunkHeaderSize = 8;   // id, size
constexpr std::size_t minFmtSize = 16;
constexpr std::size_t extensibleFmtSize = 40;
constexpr std::size_t subFormatOffset = 24;

ChunkId chunkId(std::span<const std::uint8_t> bytes) {
    ChunkId id{};
    for (std::size_t i = 0; i < 4 && bytes[i] != 0; ++i) {
        id[i] = static_cast<char>(bytes[i]);
    }
    return id;
}

std::uint32_t le32(std::span<const std::uint8_t> bytes) {
    return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
           std::uint32_t{bytes[3]} << 24;
}

std::int32_t signed32(std::span<const std::uint8_t> bytes) {
    return static_cast<std::int32_t>(le32(bytes));
}

std::int16_t signed16(std::span<const std::uint8_t> bytes) {
    return static_cast<std::int16_t>(bytes[0] | bytes[1] << 8);
}

void takeFormat(WavHeader& header, std::span<const std::uint8_t> fmt) {
    header.formatTag = signed16(fmt.subspan(0));
    header.channels = signed16(fmt.subspan(2));
    header.sampleRate = signed32(fmt.subspan(4));
    header.byteRate = signed32(fmt.subspan(8));
    header.blockAlign = signed16(fmt.subspan(12));
    header.bitsPerSample = signed16(fmt.subspan(14));
    if (fmt.size() >= extensibleFmtSize) {
        std::array<std::uint8_t, 16> guid{};
        std::copy_n(fmt.begin() + subFormatOffset, guid.size(), guid.begin());
        header.subFormat = guid;
    }
}

} // namespace

std::variant<WavHeader, WavReadError> readWavHeader(ByteSource& file) {
    std::array<std::uint8_t, riffPreambleSize> preamble{};
    WavHeader header;
    if (file.read(0, preamble) == preamble.size()) {
        header.riffId = chunkId(preamble);
        header.riffSize = signed32(std::span(preamble).subspan(4));
        header.waveId = chunkId(std::span(preamble).subspan(8));
    }
    if (text(header.riffId) != "RIFF" || text(header.waveId) != "WAVE") {
        return WavReadError{"not a WAV file (no RIFF/WAVE header)"};
    }

    const std::uint64_t fileSize = file.size();
    bool haveFormat = false;
    std::uint64_t offset = riffPreambleSize;
    while (offset + chunkHeaderSize <= fileSize) {
        std::array<std::uint8_t, chunkHeaderSize> chunkHeader{};
        file.read(offset, chunkHeader);
        const ChunkId id = chunkId(chunkHeader);
        const std::uint32_t size = le32(std::span(chunkHeader).subspan(4));
        const std::uint64_t payload = offset + chunkHeaderSize;

        if (!haveFormat && text(id) == "fmt ") {
            if (size < minFmtSize) {
                return WavReadError{"the \"fmt \" chunk is " + std::to_string(size) +
                                    " bytes long; a WAV format needs at least 16"};
            }
            std::array<std::uint8_t, extensibleFmtSize> format{};
            const auto wanted = std::span(format).first(std::min<std::size_t>(size, format.size()));
            if (file.read(payload, wanted) != wanted.size()) {
                return WavReadError{"the file ends inside its \"fmt \" chunk"};
            }
            header.fmtId = id;
            header.fmtSize = static_cast<std::int32_t>(size);
            takeFormat(header, wanted);
            haveFormat = true;
        } else if (haveFormat && text(id) == "data") {
            header.dataId = id;
            header.dataSize = static_cast<std::int32_t>(size);
            header.headerLength = payload;
            return header;
        }
        if (payload + size > fileSize) {
            break; // this chunk runs past the end of the file: nothing after it can be trusted
        }
        offset = payload + size + (size & 1U); // odd-sized payloads are followed by a pad byte
    }
    return WavReadError{haveFormat ? "no \"data\" chunk after the \"fmt \" chunk"
                                   : "no \"fmt \" chunk in the file"};
}

} // namespace pelitor
