#include "app/sample_plan.hpp"

#include "app/refusal.hpp"
#include "app/sample_format.hpp"

#include <algorithm>
#include <array>

namespace pelitor {
namespace {

constexpr std::uint32_t nanosecondsPerSecond = 1'000'000'000;

Failure refuse(std::string message) {
    return {FailureKind::dataError, std::move(message)};
}

// The loop the dump header announces: type, first and last word.
struct Loop {
    std::uint8_t type;
    std::uint32_t start;
    std::uint32_t end;
};

// The first loop of the file's "smpl" chunk, if SDS can announce it over `words` words;
// `asked` is the option as the refusal names it.
Result<Loop> samplerLoop(const WavHeader& header, std::uint32_t words, const std::string& asked) {
    const std::string wav = asked + ": ";
    const std::string instead = "; give the loop as --loop START:END instead";
    if (!header.sampler) {
        return refuse(wav + "the file has no \"smpl\" chunk" + instead);
    }
    const SamplerLoops& sampler = *header.sampler;
    if (!sampler.countFits) {
        return refuse(wav + "the \"smpl\" chunk " +
                      (sampler.count > 0 ? "claims " + std::to_string(sampler.count) +
                                               " loops, more than it holds"
                                         : std::string("is too short for its loop count")) +
                      ": the file is damaged" + instead);
    }
    if (!sampler.first) {
        return refuse(wav + "the \"smpl\" chunk holds no loop" + instead);
    }
    const SampleLoop& loop = *sampler.first;
    if (loop.type == 2) {
        return refuse(wav + "the first loop plays backward, which an SDS loop cannot" + instead);
    }
    if (loop.type > 2) {
        return refuse(wav + "the first loop is of type " + std::to_string(loop.type) +
                      ", neither forward nor alternating" + instead);
    }
    if (loop.start > loop.end || loop.end >= words) {
        return refuse(wav + "the first loop, " + std::to_string(loop.start) + " to " +
                      std::to_string(loop.end) + ", lies outside the sample's " +
                      std::to_string(words) + " words" + instead);
    }
    return Loop{loop.type == 1 ? loopAlternating : loopForward, loop.start, loop.end};
}

Result<Loop> chooseLoop(const LoopRequest& request, const WavHeader& header, std::uint32_t words) {
    const std::uint32_t lastWord = words > 0 ? words - 1 : 0;
    switch (request.kind) {
    case LoopRequest::Kind::unset:
        return Loop{loopForward, 0, 0};
    case LoopRequest::Kind::off:
        return Loop{loopOff, lastWord, lastWord};
    case LoopRequest::Kind::points:
        if (request.end >= words) {
            const std::string given = "--loop " + std::to_string(request.start) + ":" +
                                      std::to_string(request.end) + ": ";
            return refuse(given + (words == 0 ? "the sample has no words to loop"
                                              : "END must be at most the last word, " +
                                                    std::to_string(lastWord)));
        }
        return Loop{loopForward, request.start, request.end};
    case LoopRequest::Kind::wav:
        return samplerLoop(header, words, "--loop wav");
    case LoopRequest::Kind::automatic:
        // No loop to take is no loop; one that is there but cannot be announced, or a damaged
        // chunk, is refused rather than silently dropped.
        if (!header.sampler || (header.sampler->countFits && !header.sampler->first)) {
            return Loop{loopOff, lastWord, lastWord};
        }
        return samplerLoop(header, words, "--loop auto");
    }
    return Loop{loopForward, 0, 0};
}

} // namespace

Result<SamplePlan> planSample(const WavHeader& header, std::uint64_t fileSize,
                              const ConversionOptions& options) {
    const std::uint64_t present = fileSize - std::min(fileSize, header.headerLength);
    const std::uint64_t dataBytes = std::min<std::uint64_t>(header.dataSize, present);
    if (auto refusal = sampleRefusal(header, dataBytes, options.bits)) {
        return refuse(*refusal);
    }
    const auto widths = sampleWidths(header, options.bits);
    if (!widths) {
        return widths.failure();
    }
    const WordFormat format = wordFormatFor(*widths);
    const std::uint32_t period = nanosecondsPerSecond / header.sampleRate;
    const std::uint64_t words = wordCount(dataBytes, format);
    const auto loop = chooseLoop(options.loop, header, static_cast<std::uint32_t>(words));
    if (!loop) {
        return loop.failure();
    }

    SamplePlan plan{
        .dumpHeader = {.deviceChannel = options.deviceChannel,
                       .sampleNumber = options.sampleNumber,
                       .bitsPerSample = static_cast<std::uint8_t>(format.widths.wordBits),
                       .periodNs = period,
                       .wordCount = static_cast<std::uint32_t>(words),
                       .loopStart = loop->start,
                       .loopEnd = loop->end,
                       .loopType = loop->type},
        .format = format,
        .dataOffset = header.headerLength,
        .dataBytes = dataBytes,
        .packets = packetCount(words, format.widths.wordBits),
        .warning = std::nullopt};
    std::string warning;
    if (dataBytes < header.dataSize) {
        warning = "the data chunk claims " + std::to_string(header.dataSize) +
                  " bytes but the file holds only " + std::to_string(dataBytes) +
                  "; converting those";
    }
    if (words == 0) {
        // Sent, it would replace the slot's sound with nothing.
        warning += (warning.empty() ? "the data chunk holds no sample words" : "") +
                   std::string("; the dump announces an empty sample, which a sampler would "
                               "store over the slot's sound");
    }
    if (!warning.empty()) {
        plan.warning = warning;
    }
    return plan;
}

} // namespace pelitor
