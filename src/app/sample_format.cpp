#include "app/sample_format.hpp"

#include <string>

namespace pelitor {
namespace {

constexpr int widestPcm = 24;       // in format 1
constexpr int widestContainer = 32; // 32-bit integers, only to a width asked for

Failure refuse(std::string message) {
    return {FailureKind::dataError, std::move(message)};
}

// "12-bit samples cannot be converted; ...", with the SoX command that makes a width that does.
std::string unconvertible(int wavBits) {
    std::string message = std::to_string(wavBits) +
                          "-bit samples cannot be converted; only PCM of 8 to 24 bits can (up to "
                          "28 valid bits in the extensible format, 32 with --bits)";
    if (wavBits > widestPcm) {
        message += "; convert with sox in.wav -b 24 out.wav (24-bit keeps the most)";
    } else if (wavBits > 0) {
        message += "; convert with sox in.wav -b 8 out.wav";
    }
    return message;
}

} // namespace

Result<SampleWidths> sampleWidths(const WavHeader& header, int bits) {
    const int container = header.bitsPerSample;
    int wavBits = container;
    int widest = widestPcm;
    if (header.formatTag == wavFormatExtensible) {
        if (container % 8 != 0 || container == 0 || container > widestContainer) {
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
        return refuse(unconvertible(wavBits));
    }
    return SampleWidths{.containerBytes = static_cast<std::size_t>(container + 7) / 8,
                        .wavBits = wavBits,
                        .wordBits = bits > 0 ? bits : wavBits};
}

} // namespace pelitor
