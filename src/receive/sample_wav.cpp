#include "receive/sample_wav.hpp"

#include "receive/sample_rate.hpp"

#include <algorithm>

namespace pelitor::receive {

std::optional<SampleLoop> wavLoop(const DumpHeader& header) {
    if (header.loopType != loopForward && header.loopType != loopAlternating) {
        return std::nullopt;
    }
    if (header.wordCount == 0) {
        return std::nullopt;
    }
    const std::uint32_t end = std::min(header.loopEnd, header.wordCount - 1);
    if (end <= header.loopStart) {
        return std::nullopt;
    }
    return SampleLoop{header.loopType == loopForward ? 0U : 1U, header.loopStart, end};
}

wav_writer::Bytes sampleWav(const DumpHeader& header, std::span<const std::int32_t> samples) {
    return wav_writer::wavFile(samples, header.bitsPerSample, rateForPeriod(header.periodNs),
                               wavLoop(header));
}

} // namespace pelitor::receive
