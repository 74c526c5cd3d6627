#pragma once

#include <chrono>
#include <string>

// What every kind of MIDI port goes by, whatever the system.
namespace pelitor::platform {

// A byte takes 10 bits at 31,250 bits per second on a MIDI cable.
constexpr auto midiByteTime = std::chrono::microseconds(320);

// How long what was waiting in the port may take to drop before the port counts as one that
// never stops sending: far more than any leftover reply needs.
constexpr auto discardLimit = std::chrono::milliseconds(20);

// How long one write may wait for room in the output buffer before the port counts as stuck.
constexpr int stuckMilliseconds = 5000;

inline std::string stuckMessage() {
    return "the port has taken no bytes for " + std::to_string(stuckMilliseconds / 1000) + " s";
}

} // namespace pelitor::platform
