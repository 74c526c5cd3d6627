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

// How long a receiver may take to answer the dump header, and a data packet in closed loop.
inline constexpr Time headerTimeout = 2s;
inline constexpr Time packetTimeout = 20ms;

// What the sender does unless told otherwise.
inline constexpr std::chrono::milliseconds defaultInterval = 20ms;
inline constexpr unsigned defaultRetries = 5;

struct HandshakeSettings {
    std::uint64_t packets = 0;         // data packets after the dump header
    std::uint8_t deviceChannel = 0;    // of every message, and of the replies that count
    Time interval = defaultInterval;   // the pause between packets in open loop
    unsigned retries = defaultRetries; // resends of one refused message before giving up
};

// What to do next. Send: put the message on the wire, then call sent() with the time it has
// left. Await: pass on the replies that come in, and call tick() until the deadline (none:
// as long as it takes). Finish: the transfer is over.
struct Send {
    enum Message { dumpHeader, dataPacket, cancel } message;
    std::uint64_t packet = 0; // the data packet to send; for CANCEL, the one it is about
};
struct Await {
    std::optional<Time> deadline;
};
enum class Outcome { sent, cancelled, refused, interrupted };
struct Finish {
    Outcome outcome;
};
using Action = std::variant<Send, Await, Finish>;

// The sender's side of the sample dump handshake: after the dump header and after each data
// packet it waits for the receiver's ACK, NAK, WAIT or CANCEL, and goes on in open loop where
// no answer comes. Only decisions: events and times in, actions out.
class Handshake {
  public:
    explicit Handshake(const HandshakeSettings& settings) : settings_(settings) {}

    Action start();
    Action sent(Time now);
    Action received(const Reply& reply);
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

  private:
    enum class Phase { idle, sending, awaiting, samplerWaits, cancelling, done };

    Action sendCurrent();
    Action next();
    Action cancel(Outcome outcome);
    Action finish(Outcome outcome);
    Action awaitAgain() const;
    bool concerns(const Reply& reply) const;

    HandshakeSettings settings_;
    Phase phase_ = Phase::idle;
    bool onHeader_ = true;
    std::uint64_t current_ = 0;
    bool closedLoop_ = false;
    bool answered_ = false;
    std::uint64_t resent_ = 0;
    unsigned refusals_ = 0;
    Time deadline_{};
    Outcome outcome_ = Outcome::sent;
};

} // namespace pelitor::send
