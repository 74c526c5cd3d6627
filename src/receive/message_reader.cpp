#include "receive/message_reader.hpp"

#include <algorithm>

namespace pelitor::receive {
namespace {

constexpr std::uint8_t firstRealTime = 0xF8;

bool isStatus(std::uint8_t byte) {
    return byte >= 0x80;
}

bool isDumpType(std::uint8_t type) {
    return type == dumpHeaderType || type == dataPacketType || isHandshakeType(type);
}

std::size_t wholeSize(std::uint8_t type) {
    switch (type) {
    case dumpHeaderType:
        return dumpHeaderSize;
    case dataPacketType:
        return packetSize;
    default:
        return handshakeSize;
    }
}

MessageKind wholeKind(std::uint8_t type) {
    switch (type) {
    case dumpHeaderType:
        return MessageKind::dumpHeader;
    case dataPacketType:
        return MessageKind::dataPacket;
    default:
        return MessageKind::handshake;
    }
}

} // namespace

std::string brokenFault(const Message& message) {
    const std::string bytes = std::to_string(message.length) + " bytes";
    switch (message.end) {
    case Message::End::statusByte:
        return "broken off by a status byte after " + bytes;
    case Message::End::endOfInput:
        return "cut off by the end of the input after " + bytes;
    case Message::End::sysExEnd:
        break;
    }
    const auto type = message.type();
    return bytes + (type ? ", " + std::to_string(wholeSize(*type)) + " expected" : "");
}

Message MessageReader::close(Message::End end) {
    collecting_ = false;
    Message message{.offset = start_,
                    .length = length_,
                    .bytes =
                        std::span(buffer_).first(std::min<std::uint64_t>(length_, buffer_.size())),
                    .end = end};
    const auto type = message.type();
    if ((length_ > 1 && buffer_[1] != nonRealTime) || (type && !isDumpType(*type))) {
        message.kind = MessageKind::foreign;
    } else if (type && end == Message::End::sysExEnd && length_ == wholeSize(*type)) {
        message.kind = wholeKind(*type);
    } else {
        message.kind = MessageKind::broken;
    }
    return message;
}

std::optional<Message> MessageReader::take(std::uint8_t byte) {
    const std::uint64_t at = offset_++;
    if (byte >= firstRealTime) {
        return std::nullopt;
    }
    if (!isStatus(byte) || (collecting_ && byte == sysExEnd)) {
        if (!collecting_) {
            return std::nullopt;
        }
        if (length_ < buffer_.size()) {
            buffer_[length_] = byte;
        }
        ++length_; // a longer message is counted on, so that it never passes for a whole one
        if (byte == sysExEnd) {
            return close(Message::End::sysExEnd);
        }
        return std::nullopt;
    }
    std::optional<Message> broken;
    if (collecting_) {
        broken = close(Message::End::statusByte);
    }
    if (byte == sysExStart) {
        // The broken message's bytes stay as they are: F0 is already its first.
        collecting_ = true;
        start_ = at;
        length_ = 1;
        buffer_[0] = byte;
    }
    return broken;
}

std::optional<Message> MessageReader::finish() {
    if (!collecting_) {
        return std::nullopt;
    }
    return close(Message::End::endOfInput);
}

} // namespace pelitor::receive
