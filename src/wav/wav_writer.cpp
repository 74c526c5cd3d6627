#include "wav/wav_writer.hpp"

namespace pelitor::wav_writer {
namespace {

constexpr std::uint32_t smplChunkSize = 36 + 24; // the sampler fields and one loop
constexpr std::uint32_t unityNote = 60;          // middle C: played back at its own rate

void appendSmplChunk(Bytes& out, std::uint32_t rate, const SampleLoop& loop) {
    appendChunkHeader(out, "smpl", smplChunkSize);
    append32(out, 0); // manufacturer
    append32(out, 0); // product
    append32(out, rate > 0 ? 1'000'000'000U / rate : 0);
    append32(out, unityNote);
    append32(out, 0); // pitch fraction
    append32(out, 0); // SMPTE format
    append32(out, 0); // SMPTE offset
    append32(out, 1); // loops
    append32(out, 0); // sampler data
    append32(out, 0); // cue point id
    append32(out, loop.type);
    append32(out, loop.start);
    append32(out, loop.end);
    append32(out, 0); // fraction
    append32(out, 0); // play count: for ever
}

} // namespace

Bytes wavFile(std::span<const std::int32_t> samples, int bitsPerWord, std::uint32_t rate,
              const std::optional<SampleLoop>& loop) {
    const int bits = containerBits(bitsPerWord);
    const int shift = bits - bitsPerWord;
    const auto sampleBytes = static_cast<std::uint32_t>(bits / 8);
    const auto dataSize = static_cast<std::uint32_t>(samples.size()) * sampleBytes;
    const std::uint32_t pad = dataSize % 2;
    Bytes out = canonicalHeader({.rate = rate, .bits = static_cast<std::uint16_t>(bits)}, dataSize,
                                pad + (loop ? 8 + smplChunkSize : 0));
    out.reserve(out.size() + dataSize + pad + 8 + smplChunkSize);
    for (const std::int32_t sample : samples) {
        // Two's complement, shifted left as an unsigned number; 8-bit samples are offset.
        std::uint32_t value = static_cast<std::uint32_t>(sample) << shift;
        if (bits == 8) {
            value ^= 0x80;
        }
        for (std::uint32_t byte = 0; byte < sampleBytes; ++byte) {
            out.push_back(static_cast<std::uint8_t>(value >> (8 * byte)));
        }
    }
    if (pad != 0) {
        out.push_back(0);
    }
    if (loop) {
        appendSmplChunk(out, rate, *loop);
    }
    return out;
}

} // namespace pelitor::wav_writer
