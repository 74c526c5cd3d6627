#include "receive/decoded_line.hpp"

#include "receive/sample_rate.hpp"
#include "receive/sample_wav.hpp"
#include "wav/wav_writer.hpp"

#include <cstdio>

namespace pelitor::receive {

std::string decodedLine(std::string_view output, const DumpHeader& header, bool wav) {
    const std::uint32_t rate = rateForPeriod(header.periodNs);
    const int bits = header.bitsPerSample;
    char numbers[128];
    std::snprintf(numbers, sizeof numbers, ": %d-bit, %u Hz, %u words (%.2f s)", bits, rate,
                  header.wordCount, static_cast<double>(header.wordCount) / rate);
    std::string line = "decoded sample " + std::to_string(header.sampleNumber) + " into " +
                       std::string(output) + numbers;
    if (const auto loop = wavLoop(header)) {
        line += ", loop " + std::to_string(loop->start) + ".." + std::to_string(loop->end) +
                (loop->type == 0 ? " forward" : " alternating");
    } else {
        line += ", no loop";
    }
    const int container = wav_writer::containerBits(bits);
    if (wav && container != bits) {
        line += "; its " + std::to_string(bits) + "-bit words fill the top of " +
                std::to_string(container) + "-bit samples, and pelitor --bits " +
                std::to_string(bits) + " sends them back at their own width";
    }
    return line;
}

} // namespace pelitor::receive
