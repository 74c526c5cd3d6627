#pragma once

#include "common/port_io.hpp"
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

// Sends the stream with the handshake, shows the progress on `errors` (one rewritten line when
// `live`), and says how it ended. Stopped by a signal, it sends CANCEL and ends with
// exitTempFail; the caller then lets the signal end the process.
TransferEnd runTransfer(const Transfer& transfer, platform::Port& port, const TransferWatch& watch,
                        std::ostream& errors, bool live);

} // namespace pelitor::send
