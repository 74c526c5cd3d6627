#pragma once

#include "platform/interrupt_watch.hpp"
#include "platform/midi_port.hpp"
#include "sds/sds_stream.hpp"
#include "send/handshake.hpp"

#include <cstdint>
#include <ostream>
#include <span>
#include <string_view>

namespace pelitor::send {

// One checked stream on its way to one port.
struct Transfer {
    std::string_view fileName;
    std::string_view portName;
    std::span<const std::uint8_t> stream; // on the device channel of `settings`
    HandshakeSettings settings;
};

// Sends the stream with the handshake, shows the progress on `errors` (one rewritten line when
// `live`), and returns the exit status.
int runTransfer(const Transfer& transfer, platform::MidiPort& port,
                const platform::InterruptWatch& interrupt, std::ostream& errors, bool live);

} // namespace pelitor::send
