#include "wav/wav_reader.hpp"

#include "wav/little_endian.hpp"
#include "wav/read_window.hpp"

#include <algorithm>
#include <array>
#include <span>
#include <string>

namespace pelitor {
namespace {

constexpr std::size_t riffPreambleSize = 12; // "RIFF", size, "WAVE"
constexpr std::size_t chunkHeaderSize = 8;   // id, size
constexpr std::size_t minFmtSize = 16;
constexpr std::size_t extensibleFmtSize = 40;
constexpr std::size_t validBitsOffset = 18;
constexpr std::size_t subFormatOffset = 24;
constexpr std::size_t samplerFieldsSize = 36; // the "smpl" fields before its loops
constexpr std::size_t loopCountOffset = 28;
constexpr std::size_t sampleLoopSize = 24;

ChunkId chunkId(std::span<const std::uint8_t> bytes) {
    ChunkId id;
    for (std::size_t i = 0; i < 4 && bytes[i] != 0; ++i) {
        id.chars[i] = static_cast<char>(bytes[i]);
    }
    return id;
}

void takeFormat(WavHeader& header, std::span<const std::uint8_t> fmt) {
    header.formatTag = le16(fmt.subspan(0));
    header.channels = le16(fmt.subspan(2));
    header.sampleRate = le32(fmt.subspan(4));
    header.byteRate = le32(fmt.subspan(8));
    header.blockAlign = le16(fmt.subspan(12));
    header.bitsPerSample = le16(fmt.subspan(14));
    if (fmt.size() >= extensibleFmtSize) {
        header.validBits = le16(fmt.subspan(validBitsOffset));
        Guid guid{};
        std::copy_n(fmt.begin() + subFormatOffset, guid.size(), guid.begin());
        header.subFormat = guid;
    }
}

Failure unusable(std::string message) {
    return {FailureKind::dataError, std::move(message)};
}

// Fills `into` from offset: whether all of it was there, or why it could not be read.
Result<bool> readAll(ReadWindow& window, std::uint64_t offset, std::span<std::uint8_t> into) {
    const auto count = window.read(offset, into);
    if (!count) {
        return count.failure();
    }
    return *count == into.size();
}

// The loop count of a "smpl" chunk of `present` bytes (what of its size the file holds), and
// its first loop when the chunk holds all the loops it claims. Judging them is the caller's.
Result<SamplerLoops> readSampler(ReadWindow& window, std::uint64_t payload, std::uint64_t present) {
    std::array<std::uint8_t, samplerFieldsSize + sampleLoopSize> fields{};
    const auto wanted = std::span(fields).first(std::min<std::size_t>(present, fields.size()));
    const auto complete = readAll(window, payload, wanted);
    if (!complete) {
        return complete.failure();
    }
    SamplerLoops sampler;
    if (!*complete || wanted.size() < samplerFieldsSize) {
        return sampler; // too short even for its loop count
    }
    sampler.count = le32(std::span(fields).subspan(loopCountOffset));
    sampler.countFits =
        samplerFieldsSize + std::uint64_t{sampler.count} * sampleLoopSize <= present;
    if (sampler.countFits && sampler.count > 0) {
        const auto loop = std::span(fields).subspan(samplerFieldsSize);
        sampler.first =
            SampleLoop{le32(loop.subspan(4)), le32(loop.subspan(8)), le32(loop.subspan(12))};
    }
    return sampler;
}

} // namespace

Result<WavHeader> readWavHeader(ByteSource& file, ChunkWalk walk) {
    ReadWindow window(file);

    std::array<std::uint8_t, riffPreambleSize> preamble{};
    const auto havePreamble = readAll(window, 0, preamble);
    if (!havePreamble) {
        return havePreamble.failure();
    }
    WavHeader header;
    if (*havePreamble) {
        header.riffId = chunkId(preamble);
        header.riffSize = le32(std::span(preamble).subspan(4));
        header.waveId = chunkId(std::span(preamble).subspan(8));
    }
    if (header.riffId.text() != "RIFF" || header.waveId.text() != "WAVE") {
        return unusable("not a WAV file (no RIFF/WAVE header)");
    }

    const std::uint64_t fileSize = file.size();
    bool haveFormat = false;
    bool haveData = false;
    std::uint64_t offset = riffPreambleSize;
    while (offset + chunkHeaderSize <= fileSize) {
        std::array<std::uint8_t, chunkHeaderSize> chunkHeader{};
        const auto haveHeader = readAll(window, offset, chunkHeader);
        if (!haveHeader) {
            return haveHeader.failure();
        }
        if (!*haveHeader) {
            break; // the file is shorter than it was
        }
        const ChunkId id = chunkId(chunkHeader);
        const std::uint32_t size = le32(std::span(chunkHeader).subspan(4));
        const std::uint64_t payload = offset + chunkHeaderSize;

        if (!haveFormat && id.text() == "fmt ") {
            if (size < minFmtSize) {
                return unusable("the \"fmt \" chunk is " + std::to_string(size) +
                                " bytes long; a WAV format needs at least 16");
            }
            std::array<std::uint8_t, extensibleFmtSize> format{};
            const auto wanted = std::span(format).first(std::min<std::size_t>(size, format.size()));
            const auto haveFormatBytes = readAll(window, payload, wanted);
            if (!haveFormatBytes) {
                return haveFormatBytes.failure();
            }
            if (!*haveFormatBytes) {
                return unusable("the file ends inside its \"fmt \" chunk");
            }
            header.fmtId = id;
            header.fmtSize = size;
            takeFormat(header, wanted);
            haveFormat = true;
        } else if (haveFormat && !haveData && id.text() == "data") {
            header.dataId = id;
            header.dataSize = size;
            header.headerLength = payload;
            haveData = true;
            if (walk == ChunkWalk::toData) {
                return header;
            }
        } else if (walk == ChunkWalk::wholeFile && !header.sampler && id.text() == "smpl") {
            const auto sampler =
                readSampler(window, payload, std::min<std::uint64_t>(size, fileSize - payload));
            if (!sampler) {
                return sampler.failure();
            }
            header.sampler = *sampler;
        }
        if (payload + size > fileSize) {
            break; // this chunk runs past the end of the file: nothing after it can be trusted
        }
        offset = payload + size + (size & 1U); // odd-sized payloads are followed by a pad byte
    }
    if (haveData) {
        return header;
    }
    return unusable(haveFormat ? "no \"data\" chunk after the \"fmt \" chunk"
                               : "no \"fmt \" chunk in the file");
}

} // namespace pelitor
