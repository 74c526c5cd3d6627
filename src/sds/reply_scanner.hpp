#pragma once

#include "sds/sysex.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace pelitor {

// A handshake message a receiver sent: ACK, NAK, CANCEL or WAIT.
struct Reply {
    std::uint8_t deviceChannel = 0;
    std::uint8_t type = 0;
    std::uint8_t packetNumber = 0;

    friend bool operator==(const Reply&, const Reply&) = default;
};

// Finds the handshake replies in the bytes that come in from a MIDI port, one byte at a time.
// Real-time bytes (F8 to FF: clock, active sensing, ...) may come anywhere, even inside a
// System Exclusive message, and are skipped. Any other status byte ends the message being
// collected, which is then dropped; so is every message that is not a handshake.
class ReplyScanner {
  public:
    std::optional<Reply> take(std::uint8_t byte);

  private:
    std::array<std::uint8_t, handshakeSize - 1> message_{}; // without its F7
    std::size_t length_ = 0;
    bool collecting_ = false;
};

} // namespace pelitor
