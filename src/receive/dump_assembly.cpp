#include "receive/dump_assembly.hpp"

#include "sds/hex_byte.hpp"
#include "sds/word_format.hpp"

#include <algorithm>

namespace pelitor::receive {

DumpAssembly::DumpAssembly(std::span<const std::uint8_t, dumpHeaderSize> header,
                           const DumpHeader& fields)
    : header_(fields), bytesPerWord_(bytesPerSdsWord(fields.bitsPerSample)) {
    std::copy(header.begin(), header.end(), headerMessage_.begin());
    wordsPerPacket_ = packetDataSize / bytesPerWord_;
    slots_.resize(packetCount(fields.wordCount, fields.bitsPerSample));
}

Result<DumpAssembly> DumpAssembly::begin(std::span<const std::uint8_t, dumpHeaderSize> header) {
    const DumpHeader fields = parseDumpHeader(header);
    if (auto fault = headerFault(fields)) {
        return Failure{FailureKind::dataError, fault->what};
    }
    return DumpAssembly(header, fields);
}

Arrival DumpAssembly::classify(std::uint8_t number) const {
    const std::uint8_t ahead = packetNumber(number - packetNumber(next_) + 128);
    if (ahead == 127 && next_ > 0) {
        return Arrival::repeat;
    }
    if (ahead > furthestLater || next_ + ahead >= packets()) {
        return Arrival::other;
    }
    return ahead == 0 ? Arrival::expected : Arrival::later;
}

Taken DumpAssembly::take(const Message& packet) {
    Taken taken;
    const auto number = packet.packetNumber();
    if (packet.kind != MessageKind::dataPacket) {
        taken.fault = brokenFault(packet);
    } else {
        const PacketFields fields = readDataPacket(packet.bytes.first<packetSize>());
        if (fields.deviceChannel != header_.deviceChannel) {
            taken.fault = "for device channel " + std::to_string(fields.deviceChannel) +
                          ", the dump for " + std::to_string(header_.deviceChannel);
        } else if (!fields.checksumMatches()) {
            taken.fault = "checksum " + hexByte(fields.storedChecksum) + ", " +
                          hexByte(fields.checksum) + " expected";
        } else {
            taken.good = true;
        }
    }
    if (!number) {
        return taken;
    }
    taken.arrival = classify(*number);
    const std::uint8_t ahead = packetNumber(*number - packetNumber(next_) + 128);
    switch (taken.arrival) {
    case Arrival::repeat:
        if (taken.good) {
            taken.index = next_ - 1; // the first copy stays
        }
        return taken;
    case Arrival::other:
        return taken;
    case Arrival::expected:
    case Arrival::later:
        break;
    }
    const std::uint64_t index = next_ + ahead;
    Place& place = slots_[index];
    if (place.slot == Slot::good) {
        return taken;
    }
    taken.index = index;
    place.length = std::min<std::size_t>(packet.bytes.size(), packetSize);
    std::copy_n(packet.bytes.begin(), place.length, place.bytes.begin());
    place.offset = packet.offset;
    if (taken.good) {
        place.slot = Slot::good;
        ++received_;
        next_ = index + 1;
    } else {
        place.slot = Slot::damaged;
    }
    return taken;
}

bool DumpAssembly::lastTaken() const {
    return !slots_.empty() && slots_.back().slot == Slot::good;
}

std::uint64_t DumpAssembly::wordsIn(std::uint64_t index) const {
    return std::min<std::uint64_t>(wordsPerPacket_, header_.wordCount - index * wordsPerPacket_);
}

std::vector<LostPacket> DumpAssembly::lost() const {
    std::vector<LostPacket> lost;
    for (std::uint64_t index = 0; index < packets(); ++index) {
        const Place& place = slots_[index];
        if (place.slot == Slot::good) {
            continue;
        }
        LostPacket packet{index, place.slot, index * wordsPerPacket_, wordsIn(index), {}};
        if (place.slot == Slot::damaged) {
            packet.offset = place.offset;
        }
        lost.push_back(packet);
    }
    return lost;
}

bool DumpAssembly::lacksOnlyLastWord() const {
    return !slots_.empty() && received_ + 1 == packets() && slots_.back().slot == Slot::missing &&
           wordsIn(packets() - 1) == 1;
}

void DumpAssembly::dropLastWord() {
    slots_.pop_back();
    --header_.wordCount;
    const std::uint32_t lastWord = header_.wordCount == 0 ? 0 : header_.wordCount - 1;
    header_.loopStart = std::min(header_.loopStart, lastWord);
    header_.loopEnd = std::min(header_.loopEnd, lastWord);
    // Every byte of a header is one of its fields, so the one made anew is the one received
    // but for the length and the loop.
    headerMessage_ = makeDumpHeader(header_);
    shortened_ = true;
}

std::vector<std::int32_t> DumpAssembly::samples() const {
    std::vector<std::int32_t> samples(header_.wordCount, 0);
    for (std::uint64_t index = 0; index < packets(); ++index) {
        const Place& place = slots_[index];
        for (std::uint64_t word = 0; word < wordsIn(index); ++word) {
            const std::size_t at = packetDataIndex + word * bytesPerWord_;
            if (place.slot != Slot::missing && at + bytesPerWord_ <= place.length) {
                samples[index * wordsPerPacket_ + word] = decodeWord(
                    std::span(place.bytes).subspan(at, bytesPerWord_), header_.bitsPerSample);
            }
        }
    }
    return samples;
}

std::vector<std::uint8_t> DumpAssembly::messages() const {
    std::vector<std::uint8_t> bytes(headerMessage_.begin(), headerMessage_.end());
    bytes.reserve(dumpHeaderSize + packets() * packetSize);
    for (const Place& place : slots_) {
        if (place.slot == Slot::good) {
            bytes.insert(bytes.end(), place.bytes.begin(), place.bytes.end());
        }
    }
    return bytes;
}

} // namespace pelitor::receive
