#include "send/handshake.hpp"

#include "sds/sysex.hpp"

#include <algorithm>

namespace pelitor::send {

Action Handshake::start() {
    return sendCurrent();
}

Action Handshake::sendCurrent() {
    phase_ = Phase::sending;
    return Send{onHeader_ ? Send::dumpHeader : Send::dataPacket, current_};
}

Action Handshake::sent(Time now) {
    if (phase_ == Phase::cancelling) {
        return finish(outcome_);
    }
    // A receiver that has answered gets at least the time to answer again.
    const Time pause =
        closedLoop_ ? std::max(packetTimeout, settings_.interval) : settings_.interval;
    deadline_ = now + (onHeader_ ? headerTimeout : pause);
    phase_ = Phase::awaiting;
    return Await{deadline_};
}

Action Handshake::next() {
    if (!onHeader_) {
        ++current_;
    }
    onHeader_ = false;
    refusals_ = 0;
    if (current_ == settings_.packets) {
        return finish(Outcome::sent);
    }
    return sendCurrent();
}

Action Handshake::cancel(Outcome outcome) {
    outcome_ = outcome;
    phase_ = Phase::cancelling;
    return Send{Send::cancel, current_};
}

Action Handshake::finish(Outcome outcome) {
    outcome_ = outcome;
    phase_ = Phase::done;
    return Finish{outcome};
}

Action Handshake::awaitAgain() const {
    if (phase_ == Phase::samplerWaits) {
        return Await{std::nullopt};
    }
    return Await{deadline_};
}

bool Handshake::concerns(const Reply& reply) const {
    const bool ourChannel = reply.deviceChannel == settings_.deviceChannel ||
                            reply.deviceChannel == allChannels ||
                            settings_.deviceChannel == allChannels;
    if (!ourChannel) {
        return false;
    }
    if (reply.type == cancelType || reply.type == waitType || onHeader_) {
        return true;
    }
    // A late answer about an earlier packet never counts for this one.
    return reply.packetNumber == (current_ & 0x7F);
}

Action Handshake::received(const Reply& reply) {
    if (!concerns(reply)) {
        return awaitAgain();
    }
    answered_ = true;
    switch (reply.type) {
    case cancelType:
        return finish(Outcome::cancelled);
    case waitType:
        phase_ = Phase::samplerWaits;
        return Await{std::nullopt};
    case nakType:
        if (++refusals_ > settings_.retries) {
            return cancel(Outcome::refused);
        }
        ++resent_;
        return sendCurrent();
    default: // ACK
        closedLoop_ = true;
        return next();
    }
}

Action Handshake::tick(Time now) {
    if (phase_ == Phase::awaiting && now >= deadline_) {
        return next();
    }
    return awaitAgain();
}

Action Handshake::interrupt() {
    return cancel(Outcome::interrupted);
}

} // namespace pelitor::send
