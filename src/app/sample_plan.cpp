#include "app/sample_plan.hpp"

#include "sds/seven_bit.hpp"

#include <algorithm>
#include <array>

namespace pelitor {
namespace {

constexpr std::int16_t formatPcm = 1;
constexpr std::int16_t formatExtensible = -2; // 0xFFFE
constexpr std::array<std::uint8_t, 16> pcmSubFormat{0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                                    0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
constexpr std::int32_t nanosecondsPerSecond = 1'000'000'000;

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
        const int tag = (*header.subFormat)[0] | (*header.subFormat)[1] << 8;
        return describeSamples(header, tag,
                               "extensible format, sub-format " + std::to_string(tag)) +
               cannot;
    }
    return std::nullopt;
}

} // namespace

std::variant<SamplePlan, Refusal> planSample(const WavHeader& header, std::uint64_t fileSize) {
    if (auto problem = formatProblem(header)) {
        return Refusal{*problem};
    }
    if (header.channels != 1) {
        return Refusal{std::to_string(header.channels) +
                       " channels: an SDS sample is mono; mix the file down to one channel first"};
    }
    const auto format = wordFormatFor(header.bitsPerSample);
    if (!format) {
        return Refusal{std::to_string(header.bitsPerSample) +
                       "-bit samples cannot be converted; only 8-, 16- and 24-bit PCM can"};
    }
    // The period must fit in three 7-bit bytes and must not be 0: rates from 477 Hz to 1 GHz.
    const std::int32_t rate = header.sampleRate;
    const std::int32_t period = rate > 0 ? nanosecondsPerSecond / rate : 0;
    if (period < 1 || static_cast<std::uint32_t>(period) > maxSevenBitTriple) {
        return Refusal{"sample rate " + std::to_string(rate) +
                       " Hz cannot be sent; SDS carries rates from 477 Hz to 1000000000 Hz"};
    }

    const auto claimed = static_cast<std::uint32_t>(header.dataSize);
    const std::uint64_t present = fileSize - std::min(fileSize, header.headerLength);
    const std::uint64_t dataBytes = std::min<std::uint64_t>(claimed, present);
    const std::uint64_t words = wordCount(dataBytes, *format);
    if (words > maxSevenBitTriple) {
        return Refusal{std::to_string(words) +
                       " sample words are more than the 2097151 an SDS sample can hold"};
    }

    SamplePlan plan{{header.bitsPerSample, static_cast<std::uint32_t>(period),
                     static_cast<std::uint32_t>(words)},
                    *format,
                    header.headerLength,
                    dataBytes,
                    std::nullopt};
    if (dataBytes < claimed) {
        plan.warning = "the data chunk claims " + std::to_string(claimed) +
                       " bytes but the file holds only " + std::to_string(dataBytes) +
                       "; converting those";
    }
    return plan;
}

} // namespace pelitor
