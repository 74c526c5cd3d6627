#pragma once

#include "common/failure.hpp"
#include "platform/port.hpp"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

// How a program's run talks to a MIDI port over time, sending as well as receiving.
namespace pelitor {

using Time = std::chrono::nanoseconds;

// What a run goes by besides the port: the steady clock (counted from any fixed start),
// and whether an ending signal has asked it to stop.
struct TransferWatch {
    std::function<Time()> now;
    std::function<bool()> signalled;
};

// An ending signal is taken once, and never in place of the CANCEL that answers it.
class InterruptOnce {
  public:
    bool due(bool signalled, bool sendingCancel) {
        if (taken_ || !signalled || sendingCancel) {
            return false;
        }
        taken_ = true;
        return true;
    }

  private:
    bool taken_ = false;
};

// Writes one message and waits until it has left the port; gives the time it has, reckoned from
// its length where the port cannot wait for it.
Result<Time> writeMessage(platform::Port& port, std::span<const std::uint8_t> bytes,
                          const TransferWatch& watch);

// Waits for input until `deadline` (none: as long as it takes), from `now`, and reads what has
// come into `into`; 0 bytes when the deadline came first.
Result<std::size_t> readUntil(platform::Port& port, std::optional<Time> deadline, Time now,
                              std::span<std::uint8_t> into);

} // namespace pelitor
