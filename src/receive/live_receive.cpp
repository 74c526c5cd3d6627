#include "receive/live_receive.hpp"

#include <array>

namespace pelitor::receive {

Result<Reception> receiveDump(const ReceiveSettings& settings, platform::Port& port,
                              const TransferWatch& watch, const ReceiveProgress& progress) {
    const auto& now = watch.now;
    Reception reception{Outcome::received, ReceiveHandshake(settings), std::nullopt, {}};
    ReceiveHandshake& handshake = reception.handshake;
    MessageReader reader;
    std::array<std::uint8_t, 512> incoming{};
    std::size_t next = 0; // the first byte of `incoming` not yet taken
    std::size_t count = 0;
    port.discardInput();

    InterruptOnce interrupt;
    Action action = handshake.start();
    while (!std::holds_alternative<Finish>(action)) {
        const Send* send = std::get_if<Send>(&action);
        if (interrupt.due(watch.signalled(), send != nullptr && send->kind == Send::cancel)) {
            action = handshake.interrupt();
            continue;
        }
        if (send != nullptr) {
            const auto sent = writeMessage(port, send->bytes(), watch);
            if (!sent) {
                return sent.failure();
            }
            const Time left = *sent;
            if (!reception.headerAt && handshake.dump()) {
                reception.headerAt = left;
            }
            action = handshake.sent(left);
            progress(reception, left);
            continue;
        }
        // Each message is answered as soon as it is complete; the bytes after it wait.
        std::optional<Message> message;
        while (!message && next < count) {
            message = reader.take(incoming[next++]);
        }
        if (message) {
            action = handshake.received(*message);
            continue;
        }
        const Time waitFrom = now();
        action = handshake.tick(waitFrom);
        const Await* await = std::get_if<Await>(&action);
        if (await == nullptr) {
            continue;
        }
        progress(reception, waitFrom);
        const auto read = readUntil(port, await->deadline, waitFrom, incoming);
        if (!read) {
            return read.failure();
        }
        next = 0;
        count = *read;
    }
    reception.outcome = std::get<Finish>(action).outcome;
    reception.endedAt = now();
    return reception;
}

} // namespace pelitor::receive
