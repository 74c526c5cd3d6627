#include "send/progress.hpp"

#include "common/progress_line.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

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

using Forms = ProgressForms;

ProgressParts partsOf(const Progress& progress) {
    const auto count = [](std::uint64_t value) {
        return static_cast<unsigned long long>(value);
    };
    const Forms waits{"the sampler asked to wait", "asked to wait"};
    if (progress.onHeader) {
        const double timeout = std::chrono::duration<double>(progress.headerWait).count();
        return {Forms{"dump header sent", "header sent"},
                {},
                {},
                progress.samplerWaits
                    ? waits
                    : Forms{format("waiting up to %g s for the sampler to answer", timeout),
                            format("waiting up to %g s", timeout)}};
    }
    ProgressParts parts{packetForms(progress.done, progress.total),
                        {modeName(progress.closedLoop), ""},
                        {format("%llu resent", count(progress.resent)), ""},
                        {}};
    if (progress.samplerWaits) {
        parts[progressState] = waits;
    } else {
        parts[progressState] = {timeLeft(progress.done, progress.total, progress.sinceFirstPacket)};
    }
    return parts;
}

} // namespace

std::string progressLine(std::string_view name, const Progress& progress, std::size_t columns) {
    return fitProgressLine(name, partsOf(progress), progress.resent == 0, columns);
}

ProgressDisplay::ProgressDisplay(std::string_view name, int columns, bool clearCode)
    : name_(name), rewrite_(columns, clearCode) {}

std::string ProgressDisplay::show(const Progress& progress, Time now) {
    if (!rewrite_.due(now, progress.samplerWaits != samplerWaits_)) {
        return {};
    }
    samplerWaits_ = progress.samplerWaits;
    return rewrite_.rewrite(progressLine(name_, progress, rewrite_.columns()));
}

std::string ProgressDisplay::end() const {
    return rewrite_.end();
}

std::string sentLine(std::string_view name, std::uint64_t packets, Time elapsed, bool closedLoop,
                     std::uint64_t resent, std::uint64_t lateAnswers) {
    return "sent " + std::string(name) +
           format(": %llu packets in %.1f s, ", static_cast<unsigned long long>(packets),
                  std::chrono::duration<double>(elapsed).count()) +
           modeName(closedLoop) + format(", %llu resent", static_cast<unsigned long long>(resent)) +
           (lateAnswers == 0
                ? ""
                : format(", %llu late %s", static_cast<unsigned long long>(lateAnswers),
                         lateAnswers == 1 ? "answer" : "answers"));
}

std::string setSentLine(std::span<const std::uint16_t> numbers, Time elapsed,
                        std::size_t closedLoops, std::uint64_t resent) {
    const bool following = std::adjacent_find(numbers.begin(), numbers.end(), [](auto a, auto b) {
                               return b != a + 1;
                           }) == numbers.end();
    std::string slots;
    if (following && !numbers.empty()) {
        slots = format("%u..%u", unsigned{numbers.front()}, unsigned{numbers.back()});
    } else {
        for (const std::uint16_t number : numbers) {
            slots += (slots.empty() ? "" : ", ") + std::to_string(number);
        }
    }
    const double seconds = std::chrono::duration<double>(elapsed).count();
    const std::string time = seconds < 60 ? format("%.1f s", seconds)
                                          : format("%.0f min %.0f s", std::floor(seconds / 60),
                                                   std::floor(std::fmod(seconds, 60)));
    const std::string loop = closedLoops == numbers.size() ? "closed loop"
                             : closedLoops == 0            ? "open loop"
                                                           : "closed and open loop";
    return format("sent %zu samples (", numbers.size()) + slots + ") in " + time + ", " + loop +
           format(", %llu resent", static_cast<unsigned long long>(resent));
}

std::string lateNote(Time wait) {
    return format("the sampler answers late; waiting up to %.0f ms for each answer",
                  std::chrono::duration<double, std::milli>(wait).count());
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
