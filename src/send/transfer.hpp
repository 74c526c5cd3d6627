#pragma once

#include "platform/port.hpp"
#include "sds/sds_stream.hpp"
#include "send/handshake.hpp"

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <span>
#include <string_view>

namespace pelitor::send {

// One checked stream on its way to one port.
struct Transfer {
    std::string_view fileName;
    std::string_view portName;
    std::span<const std::uint8_t> stream; // on the device channel of `settings`
    std::uint16_t sampleNumber = 0;       // the one its dump header names
    HandshakeSettings settings;
    std::string_view place{}; // " (file 2 of 12)" in a set, for the progress
    bool hears = true;        // false where the port has no input: open loop, said at the start
};

// How a transfer ended: its status, and what a set's last line sums.
struct TransferEnd {
    int status = 0;
    bool closedLoop = false;
    std::uint64_t resent = 0;
};

// What a transfer goes by besides the port: the steady clock (counted from any fixed start),
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

// Sends the stream with the handshake, shows the progress on `errors` (one rewritten line when
// `live`), and says how it ended. Stopped by a signal, it sends CANCEL and ends with
// exitTempFail; the caller then lets the signal end the process.
TransferEnd runTransfer(const Transfer& transfer, platform::Port& port, const TransferWatch& watch,
                        std::ostream& errors, bool live);

} // namespace pelitor::send
