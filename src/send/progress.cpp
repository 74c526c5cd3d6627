#include "send/progress.hpp"

#include <cstdio>

namespace pelitor::send {
namespace {

template <typename... Values> std::string format(const char* pattern, Values... values) {
    char text[160];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

std::string loopName(const DumpHeader& header) {
    if (header.loopType == loopOff) {
        return "no loop";
    }
    return format("%s loop from word %u to %u",
                  header.loopType == loopForward ? "forward" : "alternating", header.loopStart,
                  header.loopEnd);
}

std::string modeName(bool closedLoop) {
    return closedLoop ? "closed loop" : "open loop";
}

} // namespace

std::string progressLine(std::string_view name, const Progress& progress) {
    std::string line(name);
    if (progress.onHeader) {
        return line + (progress.samplerWaits
                           ? ": dump header sent, the sampler asked to wait"
                           : ": dump header sent, waiting up to 2 s for the sampler to answer");
    }
    const auto percent = progress.total == 0 ? 100 : progress.done * 100 / progress.total;
    line +=
        format(": %llu of %llu packets (%llu%%), ", static_cast<unsigned long long>(progress.done),
               static_cast<unsigned long long>(progress.total),
               static_cast<unsigned long long>(percent)) +
        modeName(progress.closedLoop) +
        format(", %llu resent", static_cast<unsigned long long>(progress.resent));
    if (progress.samplerWaits) {
        return line + ", the sampler asked to wait";
    }
    if (progress.done == 0) {
        return line;
    }
    const double seconds = std::chrono::duration<double>(progress.sinceFirstPacket).count();
    const auto left =
        static_cast<unsigned long long>(seconds / static_cast<double>(progress.done) *
                                            static_cast<double>(progress.total - progress.done) +
                                        0.5);
    return line + format(", %llu:%02llu left", left / 60, left % 60);
}

std::string sentLine(std::string_view name, std::uint64_t packets, Time elapsed, bool closedLoop,
                     std::uint64_t resent) {
    return "sent " + std::string(name) +
           format(": %llu packets in %.1f s, ", static_cast<unsigned long long>(packets),
                  std::chrono::duration<double>(elapsed).count()) +
           modeName(closedLoop) + format(", %llu resent", static_cast<unsigned long long>(resent));
}

std::string streamSummary(std::string_view name, const SdsStream& stream) {
    const DumpHeader& header = stream.header;
    const double period = header.periodNs;
    return std::string(name) +
           format(": %u-bit words, %.0f Hz (period %u ns), %u words (%.3f s), %llu %s, ",
                  unsigned{header.bitsPerSample}, 1e9 / period, header.periodNs, header.wordCount,
                  header.wordCount * period / 1e9, static_cast<unsigned long long>(stream.packets),
                  stream.packets == 1 ? "packet" : "packets") +
           loopName(header) +
           format(", device channel %u, sample number %u", unsigned{header.deviceChannel},
                  unsigned{header.sampleNumber});
}

} // namespace pelitor::send
