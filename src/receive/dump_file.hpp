#pragma once

#include "common/failure.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace pelitor::receive {

// Every byte of a file that holds dumps, or why it cannot be read (a noInput failure).
Result<std::vector<std::uint8_t>> readDumpFile(const std::string& path);

} // namespace pelitor::receive
