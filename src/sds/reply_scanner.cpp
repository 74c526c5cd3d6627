#include "sds/reply_scanner.hpp"

namespace pelitor {
namespace {

constexpr std::uint8_t firstRealTime = 0xF8;

bool isStatus(std::uint8_t byte) {
    return byte >= 0x80;
}

bool isHandshakeType(std::uint8_t type) {
    return type == ackType || type == nakType || type == cancelType || type == waitType;
}

} // namespace

std::optional<Reply> ReplyScanner::take(std::uint8_t byte) {
    if (byte >= firstRealTime) {
        return std::nullopt;
    }
    if (!isStatus(byte)) {
        if (collecting_) {
            if (length_ < message_.size()) {
                message_[length_] = byte;
            }
            ++length_; // a longer message is counted on, so that it never matches
        }
        return std::nullopt;
    }
    const bool complete = collecting_ && byte == sysExEnd && length_ == message_.size();
    collecting_ = byte == sysExStart;
    length_ = 1;
    if (complete && message_[1] == nonRealTime && isHandshakeType(message_[3])) {
        return Reply{message_[2], message_[3], message_[4]};
    }
    return std::nullopt;
}

} // namespace pelitor
