#pragma once

#include "receive/dump_assembly.hpp"
#include "receive/message_reader.hpp"
#include "sds/handshake_message.hpp"

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>

namespace pelitor::receive {

using namespace std::chrono_literals;

// A point in time, counted from any fixed start the caller keeps to.
using Time = std::chrono::nanoseconds;

// What the receiver does unless told otherwise. Some samplers take more than 2 s to send the
// header of a dump they were asked for.
inline constexpr std::chrono::milliseconds defaultHeaderWait = 5000ms;
inline constexpr std::chrono::milliseconds defaultPacketWait = 5000ms;
inline constexpr unsigned defaultRetries = 5;
// How often a dump is asked for before the sampler is taken as silent.
inline constexpr unsigned requestsInAll = 3;

struct ReceiveSettings {
    // Wait for a dump the sampler is made to send, instead of asking for one.
    bool listen = false;
    std::uint16_t sampleNumber = 0; // the sample asked for
    // The device channel of the request and of every answer. Without one: 0 for a request;
    // when listening, a dump on any channel is taken and answered on its own.
    std::optional<std::uint8_t> deviceChannel = std::nullopt;
    std::chrono::milliseconds headerWait = defaultHeaderWait;
    std::chrono::milliseconds packetWait = defaultPacketWait;
    unsigned retries = defaultRetries; // NAKs for one packet before a damaged copy is refused
    // Take a dump with lost packets too (damaged ones as received, missing ones as silence).
    bool keepDamaged = false;
};

// What to do next. Send: put the message on the wire, then call sent() with the time it has
// left. Await: pass on the messages that come in, and call tick() until the deadline (none:
// as long as it takes). Finish: the dump is over.
struct Send {
    enum Kind { dumpRequest, ack, nak, cancel } kind;
    std::uint64_t packet = 0; // the data packet an answer is about; the header's is 0
    std::uint8_t deviceChannel = 0;
    std::array<std::uint8_t, dumpRequestSize> buffer{};
    std::size_t size = 0;

    // The message's bytes, ready for the wire.
    std::span<const std::uint8_t> bytes() const { return std::span(buffer).first(size); }
};
struct Await {
    std::optional<Time> deadline;
};
enum class Outcome {
    received,      // every packet in good; or with keepDamaged, every packet had its turn
    noAnswer,      // no dump header after every request
    headerRefused, // the header failed its check, and was cancelled
    gaveUp,        // a packet stayed damaged after the retries, and was cancelled
    stopped,       // the sampler sent no packet within the packet wait
    lostPackets,   // the last packet came, but packets before it were lost
    cancelled,     // the sampler cancelled
    interrupted,   // Ctrl-C, after our CANCEL if there was anything to cancel
};
struct Finish {
    Outcome outcome;
};
using Action = std::variant<Send, Await, Finish>;

// The receiver's side of the sample dump handshake: asks for a dump (or waits for one),
// checks its header, and answers each data packet with ACK or NAK as it comes in, closed
// loop or open. Only decisions: messages and times in, actions out.
class ReceiveHandshake {
  public:
    explicit ReceiveHandshake(const ReceiveSettings& settings) : settings_(settings) {}

    Action start();
    Action sent(Time now);
    Action received(const Message& message);
    Action tick(Time now);
    // Ctrl-C, once the message being sent has gone: tells the sampler with a CANCEL, unless
    // listening and no dump has begun.
    Action interrupt();

    // The dump, once its header has passed.
    const std::optional<DumpAssembly>& dump() const { return dump_; }
    std::optional<DumpAssembly>& dump() { return dump_; }
    // What was wrong with a refused header.
    const std::string& headerFault() const { return headerFault_; }
    unsigned requests() const { return requests_; }
    // How many NAKs went out in all, and for the packet expected now.
    std::uint64_t naks() const { return naks_; }
    unsigned naksForExpected() const { return naksForExpected_; }

  private:
    enum class Phase { idle, sending, awaiting, cancelling, done };

    Action request();
    Action answer(Send::Kind kind, std::uint64_t packet);
    Action cancel(Outcome outcome, std::uint64_t packet);
    Action finish(Outcome outcome);
    Action awaitAgain() const;
    Action onHeader(const Message& message);
    Action onPacket(const Message& message);
    Action afterDump();
    bool concerns(const Message& message) const;

    ReceiveSettings settings_;
    Phase phase_ = Phase::idle;
    std::optional<DumpAssembly> dump_;
    std::uint8_t channel_ = 0; // of our messages
    std::string headerFault_;
    unsigned requests_ = 0;
    std::uint64_t naks_ = 0;
    unsigned naksForExpected_ = 0;
    bool ending_ = false; // the last answer is going out
    std::optional<Time> deadline_;
    Outcome outcome_ = Outcome::received;
};

} // namespace pelitor::receive
