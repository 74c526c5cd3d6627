#include "receive/receive_handshake.hpp"

#include "sds/sysex.hpp"

#include <algorithm>

namespace pelitor::receive {

Action ReceiveHandshake::start() {
    channel_ = settings_.deviceChannel.value_or(0);
    if (settings_.listen) {
        phase_ = Phase::awaiting;
        return Await{std::nullopt};
    }
    return request();
}

Action ReceiveHandshake::request() {
    ++requests_;
    phase_ = Phase::sending;
    const DumpRequestMessage message = makeDumpRequest({channel_, settings_.sampleNumber});
    Send send{Send::dumpRequest, 0, channel_};
    std::copy(message.begin(), message.end(), send.buffer.begin());
    send.size = message.size();
    return send;
}

Action ReceiveHandshake::answer(Send::Kind kind, std::uint64_t packet) {
    phase_ = Phase::sending;
    const std::uint8_t type = kind == Send::ack   ? ackType
                              : kind == Send::nak ? nakType
                                                  : cancelType;
    const HandshakeMessage bytes = makeHandshake(type, channel_, packet);
    Send send{kind, packet, channel_};
    std::copy(bytes.begin(), bytes.end(), send.buffer.begin());
    send.size = bytes.size();
    return send;
}

Action ReceiveHandshake::cancel(Outcome outcome, std::uint64_t packet) {
    outcome_ = outcome;
    const Action action = answer(Send::cancel, packet);
    phase_ = Phase::cancelling;
    return action;
}

Action ReceiveHandshake::finish(Outcome outcome) {
    outcome_ = outcome;
    phase_ = Phase::done;
    return Finish{outcome};
}

Action ReceiveHandshake::awaitAgain() const {
    if (phase_ == Phase::done) {
        return Finish{outcome_};
    }
    return Await{deadline_};
}

Action ReceiveHandshake::sent(Time now) {
    if (phase_ == Phase::cancelling) {
        return finish(outcome_);
    }
    if (ending_) {
        return afterDump();
    }
    deadline_ = now + (dump_ ? Time(settings_.packetWait) : Time(settings_.headerWait));
    phase_ = Phase::awaiting;
    return Await{deadline_};
}

bool ReceiveHandshake::concerns(const Message& message) const {
    const auto channel = message.deviceChannel();
    if (!channel) {
        return true; // broken off too early to say
    }
    if (!dump_ && settings_.listen && !settings_.deviceChannel) {
        return true;
    }
    return *channel == channel_ || *channel == allChannels;
}

Action ReceiveHandshake::received(const Message& message) {
    if (phase_ == Phase::done || !concerns(message)) {
        return awaitAgain();
    }
    if (message.kind == MessageKind::handshake && message.type() == cancelType) {
        return finish(Outcome::cancelled);
    }
    if (!dump_) {
        return onHeader(message);
    }
    const auto type = message.type();
    const bool packet = message.kind == MessageKind::dataPacket ||
                        (message.kind == MessageKind::broken && (!type || type == dataPacketType));
    return packet ? onPacket(message) : awaitAgain();
}

Action ReceiveHandshake::onHeader(const Message& message) {
    const bool whole = message.kind == MessageKind::dumpHeader;
    if (!whole && !(message.kind == MessageKind::broken && message.type() == dumpHeaderType)) {
        return awaitAgain();
    }
    if (settings_.listen && !settings_.deviceChannel) {
        channel_ = *message.deviceChannel();
    }
    if (!whole) {
        headerFault_ = "the dump header was " + brokenFault(message);
        return cancel(Outcome::headerRefused, 0);
    }
    auto dump = DumpAssembly::begin(message.bytes.first<dumpHeaderSize>());
    if (!dump) {
        headerFault_ = dump.failure().message;
        return cancel(Outcome::headerRefused, 0);
    }
    dump_ = std::move(*dump);
    ending_ = dump_->packets() == 0;
    return answer(Send::ack, 0);
}

Action ReceiveHandshake::onPacket(const Message& message) {
    const Taken taken = dump_->take(message);
    if (taken.good && taken.index) {
        if (taken.arrival != Arrival::repeat) {
            naksForExpected_ = 0;
            ending_ = dump_->lastTaken();
        }
        return answer(Send::ack, *taken.index);
    }
    const std::uint64_t expected = dump_->nextExpected();
    if (naksForExpected_ >= settings_.retries) {
        return cancel(Outcome::gaveUp, expected);
    }
    ++naksForExpected_;
    ++naks_;
    return answer(Send::nak, expected);
}

Action ReceiveHandshake::afterDump() {
    if (dump_->complete() || settings_.keepDamaged) {
        return finish(Outcome::received);
    }
    return finish(Outcome::lostPackets);
}

Action ReceiveHandshake::tick(Time now) {
    if (phase_ != Phase::awaiting || !deadline_ || now < *deadline_) {
        return awaitAgain();
    }
    if (!dump_) {
        return requests_ < requestsInAll ? request() : finish(Outcome::noAnswer);
    }
    if (dump_->lacksOnlyLastWord()) {
        dump_->dropLastWord();
        return finish(Outcome::received);
    }
    return finish(Outcome::stopped);
}

Action ReceiveHandshake::interrupt() {
    if (phase_ == Phase::done) {
        return Finish{outcome_};
    }
    if (!dump_ && settings_.listen) {
        return finish(Outcome::interrupted); // no dump was asked for or begun: none to cancel
    }
    return cancel(Outcome::interrupted, dump_ ? dump_->nextExpected() : 0);
}

} // namespace pelitor::receive
