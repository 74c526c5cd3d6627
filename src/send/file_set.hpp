#pragma once

#include "common/failure.hpp"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace pelitor::send {

// Two files of a set that would go to the same sample number, of which the sampler would keep
// only the later: a usage failure naming the first such pair.
std::optional<Failure> slotCollision(std::span<const std::string> names,
                                     std::span<const std::uint16_t> numbers);

} // namespace pelitor::send
