#pragma once

#include "common/failure.hpp"
#include "receive/dump_assembly.hpp"

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace pelitor::receive {

// One dump as a file holds it, put together from its header and the packets that follow it.
struct FoundDump {
    DumpAssembly assembly;
    std::uint64_t offset = 0; // of its header
    std::uint64_t end = 0;    // where the next dump's header, or the file, begins or ends
    std::map<std::uint64_t, std::string> faults;   // of each packet's last damaged copy
    std::map<std::uint64_t, std::uint64_t> goodAt; // where each good packet was
};

// The dumps in a file's bytes, in order: SDS messages as pelitor writes them or as a MIDI
// monitor captured them from the wire, real-time bytes, other System Exclusive messages and
// handshake messages among them. A file without a dump, a header that is cut short or whose
// values cannot be, and a data packet before any header are refused (a dataError naming the
// byte). The packets of each dump may still be damaged or missing: see lostPacketLines.
Result<std::vector<FoundDump>> findDumps(std::span<const std::uint8_t> bytes);

// One line for each packet a dump lacks, in order: where it is, which words it holds and what
// is wrong with it ("packet 5 (words 300 to 359) at byte 656 is damaged: checksum 0x12, 0x34
// expected"). Empty for a complete dump.
std::vector<std::string> lostPacketLines(const FoundDump& dump);

// Why a dump with lost packets is refused: the first of their lines, how many more there are,
// and what takes the dump anyway.
std::string lostPacketsRefusal(const std::vector<std::string>& lines);

// The words a lost packet holds: "word 22049", "words 300 to 359".
std::string wordsOf(const LostPacket& packet);

// What is said of a dump taken one word shorter for the single-word last packet it lacks.
std::string shortenedLine(const DumpHeader& header);

} // namespace pelitor::receive
