#pragma once

#include "common/progress_line.hpp"
#include "sds/sds_stream.hpp"
#include "send/handshake.hpp"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace pelitor::send {

// Where a transfer stands, for the progress line.
struct Progress {
    std::uint64_t done = 0; // data packets through
    std::uint64_t total = 0;
    bool onHeader = true;
    bool closedLoop = false;
    bool samplerWaits = false;
    std::uint64_t resent = 0;
    Time sinceFirstPacket{};
    Time headerWait = defaultHeaderWait;
};

// "voice.sds: 120 of 1103 packets (10%), closed loop, 2 resent, 0:42 left", on a terminal
// `columns` wide: the line keeps to one column less, so that the cursor never wraps. Where it
// is too wide it gives up, in turn, "0 resent", the loop mode, the start of the name, the
// resends, the words of the packet count and of the state, and at last the name; the
// percentage and the time left stay longest.
std::string progressLine(std::string_view name, const Progress& progress, std::size_t columns);

// The progress line on a terminal, rewritten in place: at most every 100 ms, and whenever the
// sampler starts or stops waiting. It says what to write; the caller writes it.
class ProgressDisplay {
  public:
    // `columns` and `clearCode` as ProgressRewrite takes them.
    ProgressDisplay(std::string_view name, int columns, bool clearCode = true);

    // What brings the line up to date at `now`; empty when it is not yet time.
    std::string show(const Progress& progress, Time now);

    // What clears the line for what is said at the end; empty when nothing was shown.
    std::string end() const;

  private:
    std::string_view name_;
    ProgressRewrite rewrite_;
    bool samplerWaits_ = false;
};

// "sent voice.sds: 1103 packets in 47.0 s, closed loop, 2 resent", and ", 40 late answers"
// where there were any.
std::string sentLine(std::string_view name, std::uint64_t packets, Time elapsed, bool closedLoop,
                     std::uint64_t resent, std::uint64_t lateAnswers = 0);

// A set's last line: "sent 12 samples (1..12) in 2 min 14 s, closed loop, 3 resent", the
// numbers listed one by one where they do not follow each other, and "closed and open loop"
// where the sampler answered some dumps only.
std::string setSentLine(std::span<const std::uint16_t> numbers, Time elapsed,
                        std::size_t closedLoops, std::uint64_t resent);

// Said once, when the sampler is first seen answering a packet after it was given up on: how
// long each answer is now awaited.
std::string lateNote(Time wait);

// What --check says of a valid file: width, rate, length, packets, loop, channel and number.
std::string streamSummary(std::string_view name, const SdsStream& stream);

} // namespace pelitor::send
