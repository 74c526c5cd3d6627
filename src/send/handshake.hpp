#pragma once

#include "sds/reply_scanner.hpp"

#include <chrono>
#include <cstdint>
#include <optional>
#include <variant>

namespace pelitor::send {

using namespace std::chrono_literals;

// A point in time, counted from any fixed start the caller keeps to.
using Time = std::chrono::nanoseconds;

// What the sender does unless told otherwise.
inline constexpr std::chrono::milliseconds defaultInterval = 20ms;
inline constexpr unsigned defaultRetries = 5;
inline constexpr std::chrono::milliseconds defaultHeaderWait = 2s;
inline constexpr std::chrono::milliseconds defaultGap = 0ms;
// The least a receiver is given to answer a data packet in closed loop, and the most it is
// given once it has been seen answering late.
inline constexpr Time leastAckWait = 20ms;
inline constexpr Time longestLearnedAckWait = 1s;

struct HandshakeSettings {
    std::uint64_t packets = 0;           // data packets after the dump header
    std::uint8_t deviceChannel = 0;      // of every message, and of the replies that count
    Time interval = defaultInterval;     // the pause between packets in open loop
    unsigned retries = defaultRetries;   // resends of one refused message before giving up
    Time headerWait = defaultHeaderWait; // for an answer to the dump header
    // For an answer to a data packet in closed loop. None: the larger of leastAckWait and the
    // interval, lengthened once the receiver has been seen answering late.
    std::optional<Time> ackWait = std::nullopt;
    Time gap = defaultGap; // the least time from the end of one message to the start of the next
};

// What to do next. Send: put the message on the wire, then call sent() with the time it has
// left. Await: pass on the replies that come in with the time they came, and call tick() until
// the deadline (none: as long as it takes). Finish: the transfer is over.
struct Send {
    enum Message { dumpHeader, dataPacket, cancel } message;
    std::uint64_t packet = 0; // the data packet to send; for CANCEL, the one it is about
};
struct Await {
    std::optional<Time> deadline;
};
// unrepaired: all was sent, but a refusal came too late to send the packet again.
enum class Outcome { sent, unrepaired, cancelled, refused, interrupted };
struct Finish {
    Outcome outcome;
};
using Action = std::variant<Send, Await, Finish>;

// The sender's side of the sample dump handshake: after the dump header and after each data
// packet it waits for the receiver's ACK, NAK, WAIT or CANCEL, and goes on in open loop where
// no answer comes. A receiver slower than the wait is noticed by its late answers: the wait
// grows to cover them, and a late NAK has its packet sent again. Only decisions: events and
// times in, actions out.
class Handshake {
  public:
    explicit Handshake(const HandshakeSettings& settings) : settings_(settings) {}

    Action start();
    Action sent(Time now);
    Action received(const Reply& reply, Time now);
    Action tick(Time now);
    // Ctrl-C, once the message being sent has gone: tells the receiver with a CANCEL.
    Action interrupt();

    // The data packet being sent or answered; packets() once all are through.
    std::uint64_t currentPacket() const { return current_; }
    bool onHeader() const { return onHeader_; }
    bool closedLoop() const { return closedLoop_; }
    bool samplerWaits() const { return phase_ == Phase::samplerWaits; }
    std::uint64_t resent() const { return resent_; }
    // Whether any answer for this transfer has come, on its device channel or to all.
    bool answered() const { return answered_; }
    // How often the message now being sent has been refused.
    unsigned refusals() const { return refusals_; }
    // Answers about the packet before the current one that came after it had been given up on.
    std::uint64_t lateAnswers() const { return lateAnswers_; }
    // Refusals that came too late to send their packet again.
    std::uint64_t unrepaired() const { return unrepaired_; }
    // How long an answer to a data packet is now awaited in closed loop.
    Time ackWait() const;

  private:
    // pacing: waiting out the gap before a message; lingering: after the last packet, for a
    // late answer about it.
    enum class Phase { idle, pacing, sending, awaiting, samplerWaits, lingering, cancelling, done };

    Action sendCurrent();
    // Sends the current message, or first waits out the gap after the last one.
    Action sendFrom(Time now);
    // Goes on to the next message; `answered`: the one before it was answered.
    Action next(Time now, bool answered);
    Action refused(Time now);
    Action lateAnswer(const Reply& reply, Time now);
    bool fromOurReceiver(const Reply& reply) const;
    bool lateForPrevious(const Reply& reply) const;
    Action cancel(Outcome outcome);
    Action finish(Outcome outcome);
    // All has been sent; whether each refusal was acted on decides the outcome.
    Action finishSent();
    Action awaitAgain() const;

    HandshakeSettings settings_;
    Phase phase_ = Phase::idle;
    bool onHeader_ = true;
    std::uint64_t current_ = 0;
    bool closedLoop_ = false;
    bool answered_ = false;
    std::uint64_t resent_ = 0;
    unsigned refusals_ = 0;
    // The packet before the current one: when it left, whether it was answered, its refusals.
    Time previousSentAt_{};
    bool previousAnswered_ = true;
    unsigned previousRefusals_ = 0;
    Time sentAt_{};
    std::uint64_t lateAnswers_ = 0;
    std::uint64_t unrepaired_ = 0;
    Time lateLatency_{}; // the longest a late answer took, from the end of its packet
    Time deadline_{};
    Outcome outcome_ = Outcome::sent;
};

} // namespace pelitor::send
