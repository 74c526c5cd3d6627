#pragma once

#include "common/failure.hpp"
#include "common/port_io.hpp"
#include "platform/port.hpp"
#include "receive/receive_handshake.hpp"

#include <functional>
#include <optional>

namespace pelitor::receive {

// How a dump from a port ended: the handshake's outcome, and the handshake itself with the
// dump it put together.
struct Reception {
    Outcome outcome;
    ReceiveHandshake handshake;
    std::optional<Time> headerAt; // when the dump header came in
    Time endedAt{};
};

// Called after each message out, and before each wait, so that progress can be shown.
using ReceiveProgress = std::function<void(const Reception& reception, Time now)>;

// Asks for a dump (or waits for one) and receives it, answering each packet as soon as its
// last byte is in; an ending signal noted by `watch` sends CANCEL and ends with interrupted.
// A port that fails gives its failure.
Result<Reception> receiveDump(const ReceiveSettings& settings, platform::Port& port,
                              const TransferWatch& watch, const ReceiveProgress& progress);

} // namespace pelitor::receive
