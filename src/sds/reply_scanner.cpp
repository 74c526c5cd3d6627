#include "sds/reply_scanner.hpp"

namespace pelitor {
namespace {

constexpr std::uint8_t firstRealTime = 0xF8;

bool isStatus(std::uint8_t byte) {
    return byte >= 0x80;
}

} // namespace

std::optional<Reply> ReplyScanner::take(std::uint8_t byte) {
    if (byte >= firstRealTime) {
        return std::nullopt;
    }
    if (!isStatus(byte)) {
        if (collecting_) {
            if (length_ < message_.size() - 1) {
                message_[length_] = byte;
            }
            ++length_; // a longer message is counted on, so that it never matches
        }
        return std::nullopt;
    }
    std::optional<Reply> reply;
    if (collecting_ && byte == sysExEnd && length_ == message_.size() - 1) {
        message_.back() = byte;
        reply = parseHandshake(message_);
    }
    collecting_ = byte == sysExStart;
    message_[0] = byte;
    length_ = 1;
    return reply;
}

} // namespace pelitor
