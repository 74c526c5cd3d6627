#pragma once

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <optional>
#include <string>

// What the two kinds of MIDI port on POSIX systems, device files and ALSA names, share.
namespace pelitor::platform {

// How long what was waiting in the port may take to drop before the port counts as one that
// never stops sending: far more than any leftover reply needs.
constexpr auto discardLimit = std::chrono::milliseconds(20);

// How long one write may wait for room in the output buffer before the port counts as stuck.
constexpr int stuckMilliseconds = 5000;

inline std::string stuckMessage() {
    return "the port has taken no bytes for " + std::to_string(stuckMilliseconds / 1000) + " s";
}

// poll()'s timeout for a wait until `timeout` (none: -1, without limit), rounded up, so that
// a deadline is never woken for before it has passed.
inline int pollMilliseconds(std::optional<std::chrono::nanoseconds> timeout) {
    if (!timeout) {
        return -1;
    }
    const auto rounded = std::chrono::ceil<std::chrono::milliseconds>(*timeout).count();
    return static_cast<int>(std::clamp<std::int64_t>(rounded, 0, INT_MAX));
}

// What to do about a port that cannot be opened for the reason `error` (an errno value), in
// parentheses after a space; empty where there is no advice.
std::string portOpenHint(int error);

} // namespace pelitor::platform
