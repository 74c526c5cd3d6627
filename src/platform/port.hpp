#pragma once

#include "common/failure.hpp"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace pelitor::platform {

// What a transfer needs of a MIDI connection: a device's port in the program, a scripted one
// in the tests.
class Port {
  public:
    virtual ~Port() = default;

    // Puts every byte into the system's output buffer; a message is never cut short, not even
    // by Ctrl-C.
    virtual std::optional<Failure> write(std::span<const std::uint8_t> bytes) = 0;

    // Waits until what was written has left the port. False where the device offers no such
    // wait: the caller then reckons the time the bytes take on the wire.
    virtual Result<bool> drain() = 0;

    // Waits for incoming bytes until `timeout` (none: without limit), or until a GracefulEnd
    // notes an ending signal. True when there are bytes to read.
    virtual Result<bool> waitForInput(std::optional<std::chrono::nanoseconds> timeout) = 0;

    // Reads what has come in, without waiting; 0 when nothing has.
    virtual Result<std::size_t> read(std::span<std::uint8_t> into) = 0;

    // Drops what was waiting before the transfer, so that no old reply is taken for a new one;
    // a port that never stops sending is given up on after a short while.
    virtual void discardInput() = 0;

    // False for a port that can only send, whose answers cannot come back.
    virtual bool hasInput() const { return true; }
    // False for a port that can only listen: what is written to it goes nowhere.
    virtual bool hasOutput() const { return true; }
};

} // namespace pelitor::platform
