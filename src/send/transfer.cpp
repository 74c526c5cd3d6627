#include "send/transfer.hpp"

#include "platform/terminal.hpp"
#include "sds/handshake_message.hpp"
#include "send/progress.hpp"
#include "send/send_report.hpp"

#include <array>
#include <deque>

namespace pelitor::send {
namespace {

// Counted from 1, as people count; --check names packets by their index in the file.
std::string packetOfTotal(const Handshake& handshake, std::uint64_t total) {
    if (handshake.onHeader()) {
        return "the dump header";
    }
    return "packet " + std::to_string(handshake.currentPacket() + 1) + " of " +
           std::to_string(total);
}

// After a transfer that went on in open loop without a word from the sampler.
void hintIfUnanswered(const Handshake& handshake, const Transfer& transfer, std::ostream& errors) {
    if (!handshake.onHeader() && !handshake.answered() && transfer.hears) {
        complain(errors, transfer.portName,
                 "the sampler never answered; if it should, check its device ID (-d) and the "
                 "cable from its MIDI OUT");
    }
}

// The bytes of the message to send; a CANCEL is made in `cancel`.
std::span<const std::uint8_t> messageBytes(const Send& send, const Transfer& transfer,
                                           HandshakeMessage& cancel) {
    switch (send.message) {
    case Send::dumpHeader:
        return transfer.stream.first(dumpHeaderSize);
    case Send::dataPacket:
        return transfer.stream.subspan(packetOffset(send.packet), packetSize);
    case Send::cancel:
        break;
    }
    cancel = makeHandshake(cancelType, transfer.settings.deviceChannel, send.packet);
    return cancel;
}

// The last lines of a transfer, and the status it ends with.
int reportOutcome(Outcome outcome, const Transfer& transfer, const Handshake& handshake,
                  Time elapsed, std::ostream& errors) {
    const std::uint64_t packets = transfer.settings.packets;
    switch (outcome) {
    case Outcome::sent:
    case Outcome::unrepaired:
        errors << sentLine(transfer.fileName, packets, elapsed, handshake.closedLoop(),
                           handshake.resent(), handshake.lateAnswers())
               << '\n'
               << std::flush;
        hintIfUnanswered(handshake, transfer, errors);
        if (outcome == Outcome::sent) {
            return exitSuccess;
        }
        complain(errors, transfer.portName,
                 (handshake.unrepaired() == 1
                      ? std::string("the sampler refused a packet too late to send it again")
                      : "the sampler refused " + std::to_string(handshake.unrepaired()) +
                            " packets too late to send them again") +
                     "; the sample it holds may be damaged (try a larger --ack-wait)");
        return exitTempFail;
    case Outcome::cancelled:
        complain(errors, transfer.portName,
                 "the sampler cancelled the transfer at " + packetOfTotal(handshake, packets));
        return exitTempFail;
    case Outcome::refused:
        complain(errors, transfer.portName,
                 "the sampler refused " + packetOfTotal(handshake, packets) + " (" +
                     std::to_string(handshake.refusals()) + " times, --retries " +
                     std::to_string(transfer.settings.retries) + "); sent CANCEL");
        return exitTempFail;
    case Outcome::interrupted:
        break;
    }
    complain(errors, transfer.fileName,
             "interrupted at " + packetOfTotal(handshake, packets) +
                 "; sent CANCEL to the sampler");
    hintIfUnanswered(handshake, transfer, errors);
    return exitTempFail;
}

} // namespace

TransferEnd runTransfer(const Transfer& transfer, platform::Port& port, const TransferWatch& watch,
                        std::ostream& errors, bool live) {
    const HandshakeSettings& settings = transfer.settings;
    const auto& now = watch.now;
    Handshake handshake(settings);
    ReplyScanner scanner;
    std::deque<std::pair<Reply, Time>> replies; // each with the time it was read
    std::array<std::uint8_t, 512> incoming{};
    std::optional<Time> firstPacket;
    const std::string label = std::string(transfer.fileName) + std::string(transfer.place);
    ProgressDisplay display(
        label, live ? platform::terminalColumns(platform::StandardStream::errors) : 0,
        !live || platform::terminalClearsLines(platform::StandardStream::errors));
    const auto progress = [&](Time at) {
        return Progress{handshake.currentPacket(),
                        settings.packets,
                        handshake.onHeader(),
                        handshake.closedLoop(),
                        handshake.samplerWaits(),
                        handshake.resent(),
                        firstPacket ? at - *firstPacket : Time{},
                        settings.headerWait};
    };
    // On a terminal one line that rewrites itself; elsewhere nothing until the end.
    const auto write = [&](const std::string& codes) {
        if (!codes.empty()) {
            errors << codes << std::flush;
        }
    };
    const auto show = [&](Time at) {
        if (live) {
            write(display.show(progress(at), at));
        }
    };
    const auto ended = [&](int status) {
        return TransferEnd{status, handshake.closedLoop(), handshake.resent()};
    };
    const auto portFailed = [&](const Failure& failure) {
        write(display.end());
        return ended(fail(errors, transfer.portName, failure));
    };
    if (!live || !transfer.hears) {
        errors << "sending " << label << " to " << transfer.portName << ": " << settings.packets
               << " packets, device channel " << unsigned{settings.deviceChannel}
               << ", sample number " << transfer.sampleNumber
               << (transfer.hears ? ""
                                  : "; in open loop, as the port has no MIDI input to hear "
                                    "the sampler on (--input names one)")
               << '\n'
               << std::flush;
    }
    port.discardInput();
    if (watch.signalled()) {
        complain(errors, transfer.fileName, "interrupted before anything was sent");
        return ended(exitTempFail);
    }

    InterruptOnce interrupt;
    Action action = handshake.start();
    while (!std::holds_alternative<Finish>(action)) {
        const Send* send = std::get_if<Send>(&action);
        if (interrupt.due(watch.signalled(), send != nullptr && send->message == Send::cancel)) {
            action = handshake.interrupt();
            continue;
        }
        if (send != nullptr) {
            HandshakeMessage cancel;
            const auto bytes = messageBytes(*send, transfer, cancel);
            const auto left = writeMessage(port, bytes, watch);
            if (!left) {
                return portFailed(left.failure());
            }
            if (send->message == Send::dataPacket && !firstPacket) {
                firstPacket = *left;
            }
            action = handshake.sent(*left);
            show(*left);
            continue;
        }
        if (!replies.empty()) {
            const auto [reply, at] = replies.front();
            replies.pop_front();
            const bool lateBefore = handshake.lateAnswers() > 0;
            action = handshake.received(reply, at);
            if (!lateBefore && handshake.lateAnswers() > 0) {
                write(display.end());
                complain(errors, transfer.portName, lateNote(handshake.ackWait()));
            }
            continue;
        }
        const Time waitFrom = now();
        action = handshake.tick(waitFrom);
        const Await* await = std::get_if<Await>(&action);
        if (await == nullptr) {
            continue;
        }
        show(waitFrom);
        const auto count = readUntil(port, await->deadline, waitFrom, incoming);
        if (!count) {
            return portFailed(count.failure());
        }
        const Time readAt = now();
        for (std::size_t i = 0; i < *count; ++i) {
            if (const auto reply = scanner.take(incoming[i])) {
                replies.emplace_back(*reply, readAt);
            }
        }
    }

    write(display.end());
    return ended(
        reportOutcome(std::get<Finish>(action).outcome, transfer, handshake, now(), errors));
}

} // namespace pelitor::send
