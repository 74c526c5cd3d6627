#pragma once

#include <cstdint>

namespace pelitor::receive {

// The rate a dump's sample period (in nanoseconds, above 0) stands for. Writers announce
// 10^9 / rate truncated, so 44100 Hz goes out as 22675 ns; of the rates that truncate to this
// period the roundest is taken (most trailing zeros, then nearest to 10^9 / period), so that
// every common rate comes back as it went out. A period no rate truncates to gives the nearest
// rate.
std::uint32_t rateForPeriod(std::uint32_t periodNs);

} // namespace pelitor::receive
