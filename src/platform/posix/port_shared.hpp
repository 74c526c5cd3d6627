#pragma once

#include "platform/port_limits.hpp"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <optional>
#include <string>

// What the two kinds of MIDI port on POSIX systems, device files and ALSA names, share.
namespace pelitor::platform {

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
