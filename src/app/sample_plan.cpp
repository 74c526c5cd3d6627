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

const char* formatName(int tag) {
    switch (tag) {
    case 2:
        return "Microsoft ADPCM";
    case 3:
        return "IEEE float";
    case 6:
        return "A-law";
    case 7:
        return "mu-law";
    case 0x11:
        return "IMA ADPCM";
    case 0x55:
        return "MP3";
    default:
        return nullptr;
    }
}

// "32-bit IEEE float samples (format type 3)", or "samples of format type 49".
std::string describeSamples(const WavHeader& header, int tag, const std::string& where) {
    if (const char* name = formatName(tag)) {
        return std::to_string(header.bitsPerSample) + "-bit " + name + " samples (" + where + ")";
    }
    return "samples of " + where;
}

std::optional<std::string> formatProblem(const WavHeader& header) {
    const std::string cannot = " cannot be converted; only linear PCM can";
    if (header.formatTag == formatPcm) {
        return std::nullopt;
    }
    if (header.formatTag != formatExtensible) {
        return describeSamples(header, header.formatTag,
                               "format type " + std::to_string(header.formatTag)) +
               cannot;
    }
    if (!header.subFormat) {
        return "the extensible format chunk is too short to name its sub-format; only linear PCM "
               "can be converted";
    }
    if (*header.subFormat != pcmSubFormat) {
        const int tag = le16(*header.subFormat);
        return describeSamples(header, tag,
                               "extensible format, sub-format " + std::to_string(tag)) +
               cannot;
    }
    return std::nullopt;
}

} // namespace

Result<SamplePlan> planSample(const WavHeader& header, std::uint64_t fileSize) {
    const auto refuse = [](std::string message) {
        return Failure{FailureKind::unusable, std::move(message)};
    };
    if (auto problem = formatProblem(header)) {
        return refuse(*problem);
    }
    if (header.channels == 0) {
        return refuse("the format chunk says 0 channels: the file is damaged");
    }
    if (header.channels > 1) {
        return refuse(std::to_string(header.channels) +
                      " channels: an SDS sample is mono; mix the file down to one channel first");
    }
    const auto format = wordFormatFor(header.bitsPerSample);
    if (!format) {
        return refuse(std::to_string(header.bitsPerSample) +
                      "-bit samples cannot be converted; only 8-, 16- and 24-bit PCM can");
    }
    // The period must fit in three 7-bit bytes and must not be 0: rates from 477 Hz to 1 GHz.
    const auto rate = static_cast<std::int32_t>(header.sampleRate);
    const std::uint32_t period = rate > 0 ? nanosecondsPerSecond / header.sampleRate : 0;
    if (period < 1 || period > maxSevenBitTriple) {
        return refuse("sample rate " + std::to_string(rate) +
                      " Hz cannot be sent; SDS carries rates from 477 Hz to 1000000000 Hz");
    }

    const std::uint64_t present = fileSize - std::min(fileSize, header.headerLength);
    const std::uint64_t dataBytes = std::min<std::uint64_t>(header.dataSize, present);
    const std::uint64_t words = wordCount(dataBytes, *format);
    if (words > maxSevenBitTriple) {
        return refuse(std::to_string(words) +
                      " sample words are more than the 2097151 an SDS sample can hold");
    }

    SamplePlan plan{
        .dumpHeader = {.bitsPerSample = static_cast<std::uint8_t>(format->bitsPerSample),
                       .periodNs = period,
                       .wordCount = static_cast<std::uint32_t>(words)},
        .format = *format,
        .dataOffset = header.headerLength,
        .dataBytes = dataBytes,
        .packets = packetCount(words, format->bitsPerSample),
        .warning = std::nullopt};
    if (dataBytes < header.dataSize) {
        plan.warning = "the data chunk claims " + std::to_string(header.dataSize) +
                       " bytes but the file holds only " + std::to_string(dataBytes) +
                       "; converting those";
    }
    return plan;
}

} // namespace pelitor
