#pragma once

#include "sds/sds_sample.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <ostream>

namespace pelitor {

inline constexpr std::size_t dumpHeaderSize = 21;

std::array<std::uint8_t, dumpHeaderSize> makeDumpHeader(const SdsSample& sample);

// Writes the dump header to the sink and its nine progress dots to the console.
void writeDumpHeader(std::ostream& sink, const SdsSample& sample, std::ostream& console);

} // namespace pelitor
