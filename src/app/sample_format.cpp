#include "app/sample_format.hpp"

#include <string>

namespace pelitor {
namespace {

constexpr int widestPcm = 24;       // in format 1
constexpr int widestContainer = 32; // 32-bit integers, only to a width asked for

Failure refuse(std::string message) {
    return {FailureKind::dataError, std::move(message)};
}

bool badContainer(int container) {
    return container % 8 != 0 || container == 0 || container > widestContainer;
}

// The width the file gives its samples.
int wavBitsOf(const WavHeader& header) {
    const int valid = header.formatTag == wavFormatExtensible ? header.validBits.value_or(0) : 0;
    return valid > 0 ? valid : header.bitsPerSample;
}

// "12-bit samples cannot be converted; ...", with the SoX command that makes a width that does.
std::string unconvertible(const WavHeader& header) {
    const WidthFix fix = widthFix(header);
    std::string message = std::to_string(fix.wavBits) +
                          "-bit samples cannot be converted; only PCM of 8 to 24 bits can (up to "
                          "28 valid bits in the extensible format, 32 with --bits)";
    if (fix.soxBits != 0) {
        message += "; convert with sox in.wav -b " + std::to_string(fix.soxBits) + " out.wav";
        message += fix.soxBits == 24 ? " (24-bit keeps the most)" : "";
    }
    return message;
}

} // namespace

Result<SampleWidths> sampleWidths(const WavHeader& header, int bits) {
    const int container = header.bitsPerSample;
    int wavBits = container;
    int widest = widestPcm;
    if (header.formatTag == wavFormatExtensible) {
        if (badContainer(container)) {
            return refuse("the extensible format chunk gives " + std::to_string(container) +
                          "-bit containers; only 8-, 16-, 24- and 32-bit ones can be converted");
        }
        const int valid = header.validBits.value_or(0);
        if (valid > container) {
            return refuse("the extensible format chunk gives " + std::to_string(valid) +
                          " valid bits in " + std::to_string(container) +
                          "-bit containers: the file is damaged");
        }
        wavBits = valid > 0 ? valid : container;
        widest = widestWord;
    }
    if (wavBits < narrowestWord || container > widestContainer || (bits == 0 && wavBits > widest)) {
        return refuse(unconvertible(header));
    }
    return SampleWidths{.containerBytes = static_cast<std::size_t>(container + 7) / 8,
                        .wavBits = wavBits,
                        .wordBits = bits > 0 ? bits : wavBits};
}

WidthFix widthFix(const WavHeader& header) {
    const int container = header.bitsPerSample;
    const int wavBits = wavBitsOf(header);
    const bool extensible = header.formatTag == wavFormatExtensible;
    if (wavBits == 0 || (extensible && (badContainer(container) || wavBits > container))) {
        return {wavBits, 0};
    }
    return {wavBits, wavBits < narrowestWord ? narrowestWord : widestPcm};
}

} // namespace pelitor
