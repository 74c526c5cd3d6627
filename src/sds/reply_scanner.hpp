#pragma once

#include "sds/handshake_message.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace pelitor {

// Finds the handshake replies in the bytes that come in from a MIDI port, one byte at a time.
// Real-time bytes (F8 to FF: clock, active sensing, ...) may come anywhere, even inside a
// System Exclusive message, and are skipped. Any other status byte ends the message being
// collected, which is then dropped; so is every message that is not a handshake.
class ReplyScanner {
  public:
    std::optional<Reply> take(std::uint8_t byte);

  private:
    HandshakeMessage message_{};
    std::size_t length_ = 0;
    bool collecting_ = false;
};

} // namespace pelitor
