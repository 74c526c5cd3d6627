#include "receive/sample_rate.hpp"

namespace pelitor::receive {
namespace {

constexpr std::uint64_t second = 1'000'000'000;

// How far `rate` is from 10^9 / period, scaled by the period.
std::uint64_t distance(std::uint64_t rate, std::uint64_t period) {
    const std::uint64_t scaled = rate * period;
    return scaled > second ? scaled - second : second - scaled;
}

} // namespace

std::uint32_t rateForPeriod(std::uint32_t periodNs) {
    const std::uint64_t period = periodNs;
    // Every rate from `first` to `last` truncates to this period.
    const std::uint64_t first = second / (period + 1) + 1;
    const std::uint64_t last = second / period;
    if (first > last) {
        return static_cast<std::uint32_t>((second + period / 2) / period);
    }
    // The largest power of ten with a multiple in the range: as a tenfold one has none, the
    // range holds fewer than ten of its multiples, and the nearest of them is taken.
    std::uint64_t step = second;
    while (last / step * step < first) {
        step /= 10;
    }
    std::uint64_t best = last / step * step;
    for (std::uint64_t rate = (first + step - 1) / step * step; rate <= last; rate += step) {
        if (distance(rate, period) < distance(best, period)) {
            best = rate;
        }
    }
    return static_cast<std::uint32_t>(best);
}

} // namespace pelitor::receive
