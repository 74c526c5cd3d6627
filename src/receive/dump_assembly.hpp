#pragma once

#include "common/failure.hpp"
#include "receive/message_reader.hpp"
#include "sds/data_packet.hpp"
#include "sds/dump_header.hpp"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pelitor::receive {

// What a data packet's number means, counted modulo 128 from the next one expected: that
// one; a repeat of the one just taken (the sender missed our answer); a later one (the
// sender went on without waiting, and the packets in between were skipped); or anything
// else (an earlier packet, or one past the end of the dump).
enum class Arrival { expected, repeat, later, other };

// Numbers up to this far ahead of the expected one are later packets; further ahead, modulo
// 128, they are taken for earlier ones.
inline constexpr std::uint8_t furthestLater = 63;

// Where each packet of a dump stands.
enum class Slot { missing, good, damaged };

// What became of one data packet as it came in, whole or broken.
struct Taken {
    Arrival arrival = Arrival::other;
    bool good = false; // framed, on the dump's device channel, its checksum right
    // The packet it was taken as (for a repeat: the one it repeats); none for any other.
    std::optional<std::uint64_t> index;
    std::string fault; // what is wrong with a damaged copy: "checksum 0x12, 0x34 expected"
};

// A packet that is not in good: damaged (its last damaged copy kept) or missing, and the
// words it holds.
struct LostPacket {
    std::uint64_t index = 0;
    Slot slot = Slot::missing;
    std::uint64_t firstWord = 0;
    std::uint64_t words = 0;
    std::optional<std::uint64_t> offset; // where its damaged copy was in the input
};

// One dump being put together from its header and its data packets as they come in, in
// whatever order and state. It keeps every packet in its place: the first good copy, or
// else the last damaged one.
class DumpAssembly {
  public:
    // The dump a header message begins, or what is wrong with its values (a dataError).
    static Result<DumpAssembly> begin(std::span<const std::uint8_t, dumpHeaderSize> header);

    const DumpHeader& header() const { return header_; }
    std::uint64_t packets() const { return slots_.size(); }
    std::size_t wordsPerPacket() const { return wordsPerPacket_; }
    // The packet expected next: the one after the last good one taken in its turn.
    std::uint64_t nextExpected() const { return next_; }
    // How many packets are in good.
    std::uint64_t received() const { return received_; }
    Slot slot(std::uint64_t index) const { return slots_[index].slot; }

    Arrival classify(std::uint8_t number) const;

    // Takes a data packet, whole or broken (a Message of kind dataPacket or broken). A good
    // copy of the expected or a later packet fills its place and moves the expectation past
    // it; a damaged copy fills a place that holds no good one and moves nothing, so that a
    // good copy that follows it replaces it; a repeat and anything else are left out.
    Taken take(const Message& packet);

    // Whether the last packet is in good, and whether every packet is.
    bool lastTaken() const;
    bool complete() const { return received_ == packets(); }
    // The packets not in good, in order.
    std::vector<LostPacket> lost() const;

    // One known sampler never sends a last packet that would hold a single word: whether that
    // packet, and only it, is missing.
    bool lacksOnlyLastWord() const;
    // Takes the dump as one word shorter, without its last packet: the header (and the header
    // message of messages()) then announce the shorter length, and loop points past it are
    // moved to its last word, so that the dump stays valid.
    void dropLastWord();
    bool shortened() const { return shortened_; }

    // Every word as a signed value, fill after the announced length dropped; the words of a
    // damaged packet as received, those of a missing one (or of a damaged one's missing
    // bytes) as silence.
    std::vector<std::int32_t> samples() const;
    // The dump as SDS messages: its header as received (with the shorter length after
    // dropLastWord()), then every packet as received, in order, once each. For a complete
    // dump only; packets not in good are left out.
    std::vector<std::uint8_t> messages() const;

  private:
    struct Place {
        Slot slot = Slot::missing;
        DataPacket bytes{};
        std::size_t length = 0; // how many of the bytes came
        std::uint64_t offset = 0;
    };

    DumpAssembly(std::span<const std::uint8_t, dumpHeaderSize> header, const DumpHeader& fields);
    std::uint64_t wordsIn(std::uint64_t index) const;

    DumpHeaderMessage headerMessage_{};
    DumpHeader header_;
    std::size_t wordsPerPacket_ = 0;
    std::size_t bytesPerWord_ = 0;
    std::vector<Place> slots_;
    std::uint64_t next_ = 0;
    std::uint64_t received_ = 0;
    bool shortened_ = false;
};

} // namespace pelitor::receive
