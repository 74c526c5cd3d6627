#include "send/handshake.hpp"

#include "sds/sysex.hpp"

#include <algorithm>

namespace pelitor::send {

Action Handshake::start() {
    return sendCurrent();
}

Time Handshake::ackWait() const {
    if (settings_.ackWait) {
        return *settings_.ackWait;
    }
    // A receiver that has answered gets at least the time to answer again, and once seen
    // answering late, half as long again as the longest late answer it gave.
    const Time learned = std::min(lateLatency_ + lateLatency_ / 2, longestLearnedAckWait);
    return std::max({leastAckWait, settings_.interval, learned});
}

Action Handshake::sendCurrent() {
    phase_ = Phase::sending;
    return Send{onHeader_ ? Send::dumpHeader : Send::dataPacket, current_};
}

Action Handshake::sendFrom(Time now) {
    if (now < sentAt_ + settings_.gap) {
        phase_ = Phase::pacing;
        deadline_ = sentAt_ + settings_.gap;
        return Await{deadline_};
    }
    return sendCurrent();
}

Action Handshake::sent(Time now) {
    if (phase_ == Phase::cancelling) {
        return finish(outcome_);
    }
    sentAt_ = now;
    const Time wait = onHeader_     ? settings_.headerWait
                      : closedLoop_ ? ackWait()
                                    : settings_.interval;
    deadline_ = now + wait;
    phase_ = Phase::awaiting;
    return Await{deadline_};
}

Action Handshake::next(Time now, bool answered) {
    if (!onHeader_) {
        previousSentAt_ = sentAt_;
        previousAnswered_ = answered;
        previousRefusals_ = refusals_;
        ++current_;
    }
    onHeader_ = false;
    refusals_ = 0;
    if (current_ == settings_.packets) {
        // A receiver that answers may yet answer the last packet late: it gets one more wait.
        if (!answered && closedLoop_ && current_ > 0) {
            phase_ = Phase::lingering;
            deadline_ = now + ackWait();
            return Await{deadline_};
        }
        return finishSent();
    }
    return sendFrom(now);
}

Action Handshake::refused(Time now) {
    if (++refusals_ > settings_.retries) {
        return cancel(Outcome::refused);
    }
    ++resent_;
    return sendFrom(now);
}

Action Handshake::cancel(Outcome outcome) {
    outcome_ = outcome;
    phase_ = Phase::cancelling;
    return Send{Send::cancel, current_};
}

Action Handshake::finishSent() {
    return finish(unrepaired_ == 0 ? Outcome::sent : Outcome::unrepaired);
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

bool Handshake::fromOurReceiver(const Reply& reply) const {
    return reply.deviceChannel == settings_.deviceChannel || reply.deviceChannel == allChannels ||
           settings_.deviceChannel == allChannels;
}

bool Handshake::lateForPrevious(const Reply& reply) const {
    return !onHeader_ && current_ > 0 && !previousAnswered_ &&
           (reply.type == ackType || reply.type == nakType) &&
           reply.packetNumber == packetNumber(current_ - 1);
}

Action Handshake::lateAnswer(const Reply& reply, Time now) {
    answered_ = true;
    closedLoop_ = true;
    previousAnswered_ = true;
    ++lateAnswers_;
    lateLatency_ = std::max(lateLatency_, now - previousSentAt_);
    if (reply.type == nakType) {
        // What went out since was sent to a receiver still waiting for the refused packet.
        --current_;
        refusals_ = previousRefusals_;
        return refused(now);
    }
    if (phase_ == Phase::lingering) {
        return finishSent();
    }
    if (phase_ == Phase::awaiting) {
        deadline_ = std::max(deadline_, sentAt_ + ackWait());
    }
    return awaitAgain();
}

Action Handshake::received(const Reply& reply, Time now) {
    if (!fromOurReceiver(reply)) {
        return awaitAgain();
    }
    if (reply.type == cancelType) {
        answered_ = true;
        return finish(Outcome::cancelled);
    }
    if (lateForPrevious(reply)) {
        return lateAnswer(reply, now);
    }
    // A late answer about an earlier packet never counts for this one, nor for one not yet sent.
    const bool forCurrent =
        reply.type == waitType || onHeader_ || reply.packetNumber == packetNumber(current_);
    const bool currentSent = phase_ != Phase::pacing && phase_ != Phase::lingering;
    if (!forCurrent || !currentSent) {
        if (reply.type == nakType) {
            answered_ = true;
            ++unrepaired_;
        }
        return awaitAgain();
    }
    answered_ = true;
    switch (reply.type) {
    case waitType:
        phase_ = Phase::samplerWaits;
        return Await{std::nullopt};
    case nakType:
        return refused(now);
    default: // ACK
        closedLoop_ = true;
        return next(now, true);
    }
}

Action Handshake::tick(Time now) {
    if (phase_ == Phase::awaiting && now >= deadline_) {
        return next(now, false);
    }
    if (phase_ == Phase::pacing && now >= deadline_) {
        return sendCurrent();
    }
    if (phase_ == Phase::lingering && now >= deadline_) {
        return finishSent();
    }
    return awaitAgain();
}

Action Handshake::interrupt() {
    if (phase_ == Phase::lingering) {
        --current_; // still the last packet's answer that is awaited
    }
    return cancel(Outcome::interrupted);
}

} // namespace pelitor::send
