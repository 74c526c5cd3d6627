#pragma once

#include "sds/sysex.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace pelitor::receive {

// What a System Exclusive message in the input turned out to be. Foreign: another maker's
// message, or a universal one of another type than a dump's (a dump request among them); a
// receiver ignores it. Broken: an SDS message that did not end right (a status byte cut it,
// the input ended inside it, or F7 came at the wrong length); a broken data packet is a
// damaged copy of it.
enum class MessageKind { dumpHeader, dataPacket, handshake, foreign, broken };

struct Message {
    // What ended it: its F7, another status byte (dropped with it), or the end of the input.
    enum class End { sysExEnd, statusByte, endOfInput };

    MessageKind kind = MessageKind::broken;
    std::uint64_t offset = 0; // of its F0, every byte of the input counted
    std::uint64_t length = 0; // its bytes from F0, its F7 included, real-time bytes left out
    // Its first bytes, up to one more than a data packet holds; valid until the reader takes
    // its next byte.
    std::span<const std::uint8_t> bytes;
    End end = End::sysExEnd;

    // The fields every SDS message keeps in the same place, once they have come in.
    std::optional<std::uint8_t> deviceChannel() const { return field(messageChannelIndex); }
    std::optional<std::uint8_t> type() const { return field(messageTypeIndex); }
    // A data packet's or a handshake message's number: both keep it at byte 4.
    std::optional<std::uint8_t> packetNumber() const {
        const auto kind = type();
        if (!kind || (*kind != dataPacketType && !isHandshakeType(*kind))) {
            return std::nullopt;
        }
        return field(4);
    }

  private:
    std::optional<std::uint8_t> field(std::size_t index) const {
        if (bytes.size() <= index || bytes[1] != nonRealTime || bytes[index] >= 0x80) {
            return std::nullopt;
        }
        return bytes[index];
    }
};

// What broke a broken message off: "broken off by a status byte after 40 bytes".
std::string brokenFault(const Message& message);

// Finds the System Exclusive messages in bytes that come in one at a time, from a port or a
// file. Real-time bytes (F8 to FF: clock, active sensing, ...) may come anywhere, even inside
// a message, and are skipped; any other status byte ends the message being collected. Bytes
// outside a System Exclusive message (a stray data byte, a note-on) are skipped too.
class MessageReader {
  public:
    // The message `byte` completes or breaks off, if any.
    std::optional<Message> take(std::uint8_t byte);
    // The message the input ended inside, if any, as broken.
    std::optional<Message> finish();

    // How many bytes have been taken.
    std::uint64_t offset() const { return offset_; }

  private:
    Message close(Message::End end);

    std::array<std::uint8_t, packetSize + 1> buffer_{};
    std::uint64_t length_ = 0;
    std::uint64_t start_ = 0;
    std::uint64_t offset_ = 0;
    bool collecting_ = false;
};

} // namespace pelitor::receive
