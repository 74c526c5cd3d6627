#include "receive/file_decoding.hpp"

#include <optional>

namespace pelitor::receive {
namespace {

Failure refused(std::uint64_t offset, const std::string& what) {
    return {FailureKind::dataError, "at byte " + std::to_string(offset) + ": " + what};
}

} // namespace

Result<std::vector<FoundDump>> findDumps(std::span<const std::uint8_t> bytes) {
    std::vector<FoundDump> dumps;
    MessageReader reader;
    // Each message as it completes; the one the file ends inside last.
    const auto handle = [&](const Message& message) -> std::optional<Failure> {
        const auto type = message.type();
        if (message.kind == MessageKind::dumpHeader) {
            auto assembly = DumpAssembly::begin(message.bytes.first<dumpHeaderSize>());
            if (!assembly) {
                return refused(message.offset, "dump header: " + assembly.failure().message);
            }
            if (!dumps.empty()) {
                dumps.back().end = message.offset;
            }
            dumps.push_back({std::move(*assembly), message.offset, bytes.size(), {}, {}});
            return std::nullopt;
        }
        const bool packet = message.kind == MessageKind::dataPacket ||
                            (message.kind == MessageKind::broken && type == dataPacketType);
        if (message.kind == MessageKind::broken && type == dumpHeaderType) {
            return refused(message.offset, "the dump header is cut short");
        }
        if (!packet) {
            return std::nullopt; // handshake and foreign messages are the wire's, not the dump's
        }
        if (dumps.empty()) {
            return refused(message.offset, "a data packet before any dump header");
        }
        FoundDump& dump = dumps.back();
        const Taken taken = dump.assembly.take(message);
        if (taken.index && taken.arrival != Arrival::repeat) {
            if (taken.good) {
                dump.goodAt[*taken.index] = message.offset;
                dump.faults.erase(*taken.index);
            } else {
                dump.faults[*taken.index] = taken.fault;
            }
        }
        return std::nullopt;
    };
    for (const std::uint8_t byte : bytes) {
        if (const auto message = reader.take(byte)) {
            if (auto failure = handle(*message)) {
                return *failure;
            }
        }
    }
    if (const auto message = reader.finish()) {
        if (auto failure = handle(*message)) {
            return *failure;
        }
    }
    if (dumps.empty()) {
        return Failure{FailureKind::dataError, "holds no sample dump (no dump header found)"};
    }
    return dumps;
}

std::string wordsOf(const LostPacket& packet) {
    if (packet.words == 1) {
        return "word " + std::to_string(packet.firstWord);
    }
    return "words " + std::to_string(packet.firstWord) + " to " +
           std::to_string(packet.firstWord + packet.words - 1);
}

std::string lostPacketsRefusal(const std::vector<std::string>& lines) {
    const std::size_t more = lines.size() - 1;
    return lines.front() +
           (more == 0 ? std::string()
                      : " (and " + std::to_string(more) +
                            (more == 1 ? " more packet" : " more packets") + " lost)") +
           "; --keep-damaged writes the WAV anyway";
}

std::string shortenedLine(const DumpHeader& header) {
    return "the last packet, which would hold only word " + std::to_string(header.wordCount) +
           ", is missing, as some samplers never send it: the sample is " +
           std::to_string(header.wordCount) + " words";
}

std::vector<std::string> lostPacketLines(const FoundDump& dump) {
    std::vector<std::string> lines;
    const DumpAssembly& assembly = dump.assembly;
    for (const LostPacket& packet : assembly.lost()) {
        std::string line = "packet " + std::to_string(packet.index) + " (" + wordsOf(packet) + ")";
        if (packet.slot == Slot::damaged) {
            line += " at byte " + std::to_string(*packet.offset) +
                    " is damaged, and no good copy follows: " + dump.faults.at(packet.index);
        } else if (const auto next = dump.goodAt.upper_bound(packet.index);
                   next != dump.goodAt.end()) {
            line += " is missing: packet " + std::to_string(next->first) + " follows at byte " +
                    std::to_string(next->second);
        } else {
            line += " is missing: the dump ends at byte " + std::to_string(dump.end) + " after " +
                    std::to_string(assembly.received()) + " of " +
                    std::to_string(assembly.packets()) + " packets";
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace pelitor::receive
