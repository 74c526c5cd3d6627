#include "app/sample_plan.hpp"

#include "sds/seven_bit.hpp"
#include "wav/little_endian.hpp"

#include <algorithm>
#include <array>

namespace pelitor {
namespace {

constexpr std::uint16_t formatPcm = 1;
constexpr std::uint16_t formatExtensible = 0xFFFE;
constexpr Guid pcmSubFormat{0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                            0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
constexpr std::uint32_t nanosecondsPerSecond = 1'000'000'000;

// The SoX commands that turn a refused file into one that converts.
constexpr const char* soxTo24Bit = "sox in.wav -b 24 out.wav (24-bit keeps the most)";
constexpr const char* soxToLinear = "sox in.wav -b 16 -e signed-integer out.wav";

struct FormatName {
    const char* name;
    const char* fix; // null where SoX offers none
};

std::optional<FormatName> formatName(int tag) {
    switch (tag) {
    case 2:
        return FormatName{"Microsoft ADPCM", soxToLinear};
    case 3:
        return FormatName{"IEEE float", soxTo24Bit};
    case 6:
        return FormatName{"A-law", soxToLinear};
    case 7:
        return FormatName{"mu-law", soxToLinear};
    case 0x11:
        return FormatName{"IMA ADPCM", soxToLinear};
    case 0x55:
        return FormatName{"MP3", nullptr};
    default:
        return std::nullopt;
    }
}

// "32-bit IEEE float samples (format type 3) cannot be converted; ...", with the fix if any.
std::string describeFormat(const WavHeader& header, int tag, const std::string& where) {
    const std::string cannot = " cannot be converted; only linear PCM can";
    const auto name = formatName(tag);
    if (!name) {
        return "samples of " + where + cannot;
    }
    std::string message =
        std::to_string(header.bitsPerSample) + "-bit " + name->name + " samples (" + where + ")";
    message += cannot;
    if (name->fix != nullptr) {
        message += std::string("; convert with ") + name->fix;
    }
    return message;
}

std::optional<std::string> formatProblem(const WavHeader& header) {
    if (header.formatTag == formatPcm) {
        return std::nullopt;
    }
    if (header.formatTag != formatExtensible) {
        return describeFormat(header, header.formatTag,
                              "format type " + std::to_string(header.formatTag));
    }
    if (!header.subFormat) {
        return "the extensible format chunk is too short to name its sub-format; only linear PCM "
               "can be converted";
    }
    if (*header.subFormat != pcmSubFormat) {
        const int tag = le16(*header.subFormat);
        return describeFormat(header, tag, "extensible format, sub-format " + std::to_string(tag));
    }
    return std::nullopt;
}

// The width SoX should write for a PCM width that SDS files cannot take from pelitor.
std::string widthFix(int bits) {
    if (bits > 24) {
        return std::string("; convert with ") + soxTo24Bit;
    }
    const int width = bits > 16 ? 24 : bits > 8 ? 16 : 8;
    return bits > 0 ? "; convert with sox in.wav -b " + std::to_string(width) + " out.wav" : "";
}

// Hundredths of a second as "47.55".
std::string seconds(std::uint64_t hundredths) {
    const std::uint64_t fraction = hundredths % 100;
    return std::to_string(hundredths / 100) + (fraction < 10 ? ".0" : ".") +
           std::to_string(fraction);
}

std::string tooLong(std::uint64_t words, std::uint32_t rate) {
    std::string message = std::to_string(words) + " sample words are more than the " +
                          std::to_string(maxSevenBitTriple) + " an SDS sample can hold";
    // The length rounded up and the most that fits rounded down, so that the advice fits.
    const std::uint64_t length = (words * 100 + rate - 1) / rate;
    const std::uint64_t most = std::uint64_t{maxSevenBitTriple} * 100 / rate;
    message += ": the file lasts " + seconds(length) + " s, at most " + seconds(most) + " s at " +
               std::to_string(rate) + " Hz";
    if (most > 0) {
        message += "; shorten it with sox in.wav out.wav trim 0 " + seconds(most);
    }
    return message;
}

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
    if (auto problem = formatProblem(header)) {
        return refuse(*problem);
    }
    if (header.channels == 0) {
        return refuse("the format chunk says 0 channels: the file is damaged");
    }
    if (header.channels > 1) {
        return refuse(std::to_string(header.channels) +
                      " channels: an SDS sample is mono; mix the file down to one channel with "
                      "sox in.wav -c 1 out.wav");
    }
    const auto format = wordFormatFor(header.bitsPerSample);
    if (!format) {
        return refuse(std::to_string(header.bitsPerSample) +
                      "-bit samples cannot be converted; only 8-, 16- and 24-bit PCM can" +
                      widthFix(header.bitsPerSample));
    }
    // The period must fit in three 7-bit bytes and must not be 0: rates from 477 Hz to 1 GHz.
    const std::uint32_t rate = header.sampleRate;
    const std::uint32_t period = rate > 0 ? nanosecondsPerSecond / rate : 0;
    if (period < 1 || period > maxSevenBitTriple) {
        return refuse(
            "sample rate " + std::to_string(rate) +
            " Hz cannot be sent; SDS carries rates from 477 Hz to 1000000000 Hz" +
            (period > maxSevenBitTriple ? "; resample with sox in.wav -r 8000 out.wav" : ""));
    }

    const std::uint64_t present = fileSize - std::min(fileSize, header.headerLength);
    const std::uint64_t dataBytes = std::min<std::uint64_t>(header.dataSize, present);
    const std::uint64_t words = wordCount(dataBytes, *format);
    if (words > maxSevenBitTriple) {
        return refuse(tooLong(words, header.sampleRate));
    }
    const auto loop = chooseLoop(options.loop, header, static_cast<std::uint32_t>(words));
    if (!loop) {
        return loop.failure();
    }

    SamplePlan plan{
        .dumpHeader = {.deviceChannel = options.deviceChannel,
                       .sampleNumber = options.sampleNumber,
                       .bitsPerSample = static_cast<std::uint8_t>(format->bitsPerSample),
                       .periodNs = period,
                       .wordCount = static_cast<std::uint32_t>(words),
                       .loopStart = loop->start,
                       .loopEnd = loop->end,
                       .loopType = loop->type},
        .format = *format,
        .dataOffset = header.headerLength,
        .dataBytes = dataBytes,
        .packets = packetCount(words, format->bitsPerSample),
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
