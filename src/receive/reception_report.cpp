#include "receive/reception_report.hpp"

#include "common/progress_line.hpp"
#include "receive/file_decoding.hpp"

namespace pelitor::receive {
namespace {

Failure temporary(std::string message) {
    return {FailureKind::temporaryFailure, std::move(message)};
}

std::string ms(std::chrono::milliseconds wait) {
    return std::to_string(wait.count()) + " ms";
}

// "after 120 of 1103 packets", or where the dump had not begun.
std::string whereItStood(const ReceiveHandshake& handshake) {
    const auto& dump = handshake.dump();
    if (!dump) {
        return "before the dump header";
    }
    return "after " + std::to_string(dump->received()) + " of " + std::to_string(dump->packets()) +
           " packets";
}

// Counted from 1, as people count and as pelitor-send names them: "packet 6 of 1103".
std::string packetOfTotal(std::uint64_t index, const DumpAssembly& dump) {
    return "packet " + std::to_string(index + 1) + " of " + std::to_string(dump.packets());
}

// "packet 6 of 1103 (words 300 to 359) never came": what became of each packet not in good.
std::vector<std::string> lostLines(const DumpAssembly& dump) {
    std::vector<std::string> lines;
    for (const LostPacket& packet : dump.lost()) {
        lines.push_back(packetOfTotal(packet.index, dump) + " (" + wordsOf(packet) + ")" +
                        (packet.slot == Slot::damaged ? " came damaged and was not sent again"
                                                      : " never came"));
    }
    return lines;
}

} // namespace

std::optional<Failure> receptionFailure(const Reception& reception,
                                        const ReceiveSettings& settings) {
    const ReceiveHandshake& handshake = reception.handshake;
    const unsigned channel = settings.deviceChannel.value_or(0);
    switch (reception.outcome) {
    case Outcome::received:
        return std::nullopt;
    case Outcome::noAnswer:
        return temporary("the sampler did not answer the dump request for sample " +
                         std::to_string(settings.sampleNumber) + " on device channel " +
                         std::to_string(channel) + " (" + std::to_string(handshake.requests()) +
                         " requests, " + ms(settings.headerWait) +
                         " apart): check the MIDI cables in both directions, the sampler's "
                         "device ID (-d), and that the slot holds a sample (-n)");
    case Outcome::headerRefused:
        return Failure{FailureKind::dataError,
                       "refused the dump header: " + handshake.headerFault() + "; sent CANCEL"};
    case Outcome::gaveUp:
        return temporary(packetOfTotal(handshake.dump()->nextExpected(), *handshake.dump()) +
                         " stayed damaged after " + std::to_string(settings.retries) +
                         " NAKs (--retries " + std::to_string(settings.retries) +
                         "); sent CANCEL " + whereItStood(handshake));
    case Outcome::stopped:
        return temporary("the sampler stopped " + whereItStood(handshake) +
                         ": no packet came within --packet-wait " + ms(settings.packetWait));
    case Outcome::lostPackets:
        return temporary(lostPacketsRefusal(lostLines(*handshake.dump())));
    case Outcome::cancelled:
        return temporary("the sampler cancelled the dump " + whereItStood(handshake));
    case Outcome::interrupted:
        break;
    }
    if (!handshake.dump() && settings.listen) {
        return temporary("interrupted before any dump came");
    }
    return temporary("interrupted " + whereItStood(handshake) + "; sent CANCEL to the sampler");
}

std::vector<std::string> keptPacketLines(const DumpAssembly& dump) {
    std::vector<std::string> lines = lostLines(dump);
    for (std::string& line : lines) {
        line += "; kept as it is";
    }
    return lines;
}

std::string receiveProgressLine(std::string_view name, const Reception& reception, Time now,
                                std::size_t columns) {
    const ReceiveHandshake& handshake = reception.handshake;
    const auto& dump = handshake.dump();
    ProgressParts parts;
    if (!dump) {
        parts[progressWhere] = {"waiting for the dump header", "waiting"};
    } else {
        parts[progressWhere] = packetForms(dump->received(), dump->packets());
        parts[progressResent] = {std::to_string(handshake.naks()) + " NAKs", ""};
        parts[progressState] = {
            timeLeft(dump->received(), dump->packets(), now - reception.headerAt.value_or(now))};
    }
    return fitProgressLine(name, parts, handshake.naks() == 0, columns);
}

} // namespace pelitor::receive
