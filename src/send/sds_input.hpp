#pragma once

#include "common/failure.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace pelitor::send {

// The start of a .sds file and its true length. The bytes are all of them, or one more than
// the longest valid stream, which is enough to show that it is too long. A file that starts
// as a WAV file does, whatever its name, is one for the converter to read: none of it is kept.
struct SdsFile {
    std::vector<std::uint8_t> bytes;
    std::uint64_t size = 0;
    bool wav = false;
};

Result<SdsFile> readSdsFile(const std::string& path);

} // namespace pelitor::send
