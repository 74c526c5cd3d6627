#pragma once

#include "common/failure.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace pelitor::send {

// The bytes of a .sds file: all of them, or one more than the longest valid stream, which is
// enough to show that it is too long.
Result<std::vector<std::uint8_t>> readSdsFile(const std::string& path);

} // namespace pelitor::send
