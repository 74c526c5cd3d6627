#include "receive/decoded_line.hpp"

#include "receive/sample_rate.hpp"
#include "receive/sample_wav.hpp"
#include "wav/wav_writer.hpp"

#include <cstdio>

namespace pelitor::receive {

namespace {

// "<verb> sample 3 into kick.wav: 16-bit, 44100 Hz, 22050 words (0.50 s), loop 100..22049
// forward"
std::string dumpLine(std::string_view verb, std::string_view output, const DumpHeader& header) {
    const std::uint32_t rate = rateForPeriod(header.periodNs);
    const int bits = header.bitsPerSample;
    char numbers[128];
    std::snprintf(numbers, sizeof numbers, ": %d-bit, %u Hz, %u words (%.2f s)", bits, rate,
                  header.wordCount, static_cast<double>(header.wordCount) / rate);
    std::string line = std::string(verb) + " sample " + std::to_string(header.sampleNumber) +
                       " into " + std::string(output) + numbers;
    if (const auto loop = wavLoop(header)) {
        line += ", loop " + std::to_string(loop->start) + ".." + std::to_string(loop->end) +
                (loop->type == 0 ? " forward" : " alternating");
    } else {
        line += ", no loop";
    }
    return line;
}

// What a WAV does with words narrower than its samples, when they are.
std::string widthNote(const DumpHeader& header, bool wav) {
    const int bits = header.bitsPerSample;
    const int container = wav_writer::containerBits(bits);
    if (!wav || container == bits) {
        return "";
    }
    return "; its " + std::to_string(bits) + "-bit words fill the top of " +
           std::to_string(container) + "-bit samples, and pelitor --bits " + std::to_string(bits) +
           " sends them back at their own width";
}

} // namespace

std::string decodedLine(std::string_view output, const DumpHeader& header, bool wav) {
    return dumpLine("decoded", output, header) + widthNote(header, wav);
}

std::string receivedLine(std::string_view output, const DumpHeader& header, bool wav,
                         std::uint64_t packets, std::chrono::nanoseconds elapsed,
                         std::uint64_t resent) {
    char numbers[96];
    std::snprintf(numbers, sizeof numbers, ", %llu packets in %.1f s, %llu resent",
                  static_cast<unsigned long long>(packets),
                  std::chrono::duration<double>(elapsed).count(),
                  static_cast<unsigned long long>(resent));
    return dumpLine("received", output, header) + numbers + widthNote(header, wav);
}

} // namespace pelitor::receive
