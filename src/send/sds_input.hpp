#pragma once

#include "common/failure.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace pelitor::send {

// The start of a .sds file and its true length. The bytes are all of them, or one more than
// the longest valid stream, which is enough to show that it is too long.
struct SdsFile {
    std::vector<std::uint8_t> bytes;
    std::uint64_t size = 0;
};

Result<SdsFile> readSdsFile(const std::string& path);

} // namespace pelitor::send
