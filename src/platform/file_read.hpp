#pragma once

#include "platform/platform.hpp"

#include <cstdint>
#include <filesystem>
#include <span>

namespace pelitor::platform {

// Opens an existing file for binary reading; invalidFile with errno set if it cannot.
FileHandle openForReading(const std::filesystem::path& path);

// Reads into.size() bytes at offset: how many were read (fewer only at the end of the file),
// or -1 with errno set when the system could not read them.
long long readAt(FileHandle file, std::uint64_t offset, std::span<std::uint8_t> into);

} // namespace pelitor::platform
