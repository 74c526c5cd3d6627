#include "send/progress.hpp"

#include "common/text_columns.hpp"

#include <algorithm>
#include <array>
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

constexpr Time progressEvery = 100ms;
constexpr std::size_t assumedColumns = 80;
constexpr std::string_view ellipsis = "...";

// The parts of a progress line after the name, in the order they are joined by ", ". Each has
// its forms from the longest to the shortest; an empty part is left out.
enum Part { where, mode, resent, state, partCount, none = partCount };
using Forms = std::vector<std::string>;

std::array<Forms, partCount> partsOf(const Progress& progress) {
    const auto count = [](std::uint64_t value) {
        return static_cast<unsigned long long>(value);
    };
    const Forms waits{"the sampler asked to wait", "asked to wait"};
    if (progress.onHeader) {
        const double timeout = std::chrono::duration<double>(headerTimeout).count();
        return {Forms{"dump header sent", "header sent"},
                {},
                {},
                progress.samplerWaits
                    ? waits
                    : Forms{format("waiting up to %g s for the sampler to answer", timeout),
                            format("waiting up to %g s", timeout)}};
    }
    const auto percent = progress.total == 0 ? 100 : progress.done * 100 / progress.total;
    std::array<Forms, partCount> parts{
        Forms{format("%llu of %llu packets (%llu%%)", count(progress.done), count(progress.total),
                     count(percent)),
              format("%llu/%llu (%llu%%)", count(progress.done), count(progress.total),
                     count(percent)),
              format("%llu%%", count(percent))},
        {modeName(progress.closedLoop), ""},
        {format("%llu resent", count(progress.resent)), ""},
        {}};
    if (progress.samplerWaits) {
        parts[state] = waits;
    } else if (progress.done != 0) {
        const double seconds = std::chrono::duration<double>(progress.sinceFirstPacket).count();
        const auto left = static_cast<unsigned long long>(
            seconds / static_cast<double>(progress.done) *
                static_cast<double>(progress.total - progress.done) +
            0.5);
        parts[state] = {format("%llu:%02llu left", left / 60, left % 60)};
    }
    return parts;
}

// One step in making a line narrower: a part takes its next form, and the name may be cut to
// as few columns as `nameFloor` from then on (none: it stays whole; 0: it goes).
struct Shortening {
    Part part;
    std::size_t nameFloor;
};

} // namespace

std::string progressLine(std::string_view name, const Progress& progress, std::size_t columns) {
    const std::size_t room = columns > 0 ? columns - 1 : 0;
    const std::array<Forms, partCount> parts = partsOf(progress);
    std::array<std::size_t, partCount> chosen{};
    const auto rest = [&] {
        std::string text;
        for (std::size_t part = 0; part < partCount; ++part) {
            const Forms& forms = parts[part];
            const std::string& form =
                forms.empty() ? "" : forms[std::min(chosen[part], forms.size() - 1)];
            if (!form.empty()) {
                text += (text.empty() ? "" : ", ") + form;
            }
        }
        return text;
    };
    constexpr std::size_t whole = SIZE_MAX;
    constexpr std::size_t shortName = 16;
    constexpr std::size_t shortestName = ellipsis.size() + 5;
    // The whole line first; then what says least goes first, the percentage and the time left
    // last.
    const Shortening order[] = {
        {none, whole},
        {progress.resent == 0 ? resent : none, whole},
        {mode, whole},
        {none, shortName},
        {resent, shortName},
        {where, shortName}, // "120/1103 (10%)"
        {state, shortName}, // "asked to wait"
        {none, shortestName},
        {where, shortestName}, // "10%"
        {none, 0},
    };
    std::string line;
    for (const Shortening step : order) {
        if (step.part != none) {
            ++chosen[step.part];
        }
        line = rest();
        const std::size_t restColumns = columnsOf(line);
        if (step.nameFloor == 0) {
            break;
        }
        const std::size_t nameRoom = room > restColumns + 2 ? room - restColumns - 2 : 0;
        if (columnsOf(name) <= nameRoom) {
            return std::string(name) + ": " + line;
        }
        if (step.nameFloor != whole && nameRoom >= step.nameFloor) {
            return std::string(ellipsis) +
                   std::string(trailingColumns(name, nameRoom - ellipsis.size())) + ": " + line;
        }
    }
    return std::string(leadingColumns(line, room));
}

ProgressDisplay::ProgressDisplay(std::string_view name, int columns)
    : name_(name), columns_(columns > 0 ? static_cast<std::size_t>(columns) : assumedColumns) {}

std::string ProgressDisplay::show(const Progress& progress, Time now) {
    if (now < next_ && progress.samplerWaits == samplerWaits_) {
        return {};
    }
    next_ = now + progressEvery;
    samplerWaits_ = progress.samplerWaits;
    shown_ = true;
    return '\r' + progressLine(name_, progress, columns_) + "\x1b[K";
}

std::string ProgressDisplay::end() const {
    return shown_ ? "\r\x1b[K" : "";
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
