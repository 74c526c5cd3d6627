#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pelitor {

// The parts of a progress line after the name, in the order they are joined by ", ": where
// the transfer is, its mode, what was resent, and its state. Each has its forms from the
// longest to the shortest; an empty one (or no form at all) is left out.
enum ProgressPart { progressWhere, progressMode, progressResent, progressState, progressParts };
using ProgressForms = std::vector<std::string>;
using ProgressParts = std::array<ProgressForms, progressParts>;

// "voice.sds: 120 of 1103 packets (10%), closed loop, 2 resent, 0:42 left", on a terminal
// `columns` wide: the line keeps to one column less, so that the cursor never wraps. Where it
// is too wide it gives up, in turn, the resends when there were none (`noResends`), the mode,
// the start of the name, the resends, the short forms of where and of the state, and at last
// the name; the percentage and the time left stay longest.
std::string fitProgressLine(std::string_view name, const ProgressParts& parts, bool noResends,
                            std::size_t columns);

// "120 of 1103 packets (10%)", "120/1103 (10%)", "10%"
ProgressForms packetForms(std::uint64_t done, std::uint64_t total);

// "0:42 left" for `done` of `total` in `elapsed`; empty before anything is done.
std::string timeLeft(std::uint64_t done, std::uint64_t total, std::chrono::nanoseconds elapsed);

// A progress line on a terminal, rewritten in place at most every 100 ms, or at once when
// `now` is forced. It says what to write; the caller writes it.
class ProgressRewrite {
  public:
    // `columns`: the terminal's width, 0 when it did not say (80 is taken then); without
    // `clearCode`, the terminal is given spaces for the rest of a longer line before.
    explicit ProgressRewrite(int columns, bool clearCode = true);

    std::size_t columns() const { return columns_; }
    // Whether it is time to rewrite the line at `now`; when it is, the next time is set.
    bool due(std::chrono::nanoseconds now, bool force);
    // What rewrites the line with `line`.
    std::string rewrite(const std::string& line);
    // What clears the line for what is said at the end; empty when nothing was shown.
    std::string end() const;

  private:
    std::size_t columns_;
    bool clearCode_;
    std::chrono::nanoseconds next_{};
    bool shown_ = false;
    std::size_t shownColumns_ = 0;
};

} // namespace pelitor
