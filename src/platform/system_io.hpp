#pragma once

#include "platform/platform.hpp"

#include <cstddef>
#include <cstdint>
#include <span>

// Inside the platform layer: the one call each system makes for a piece of a read or a write,
// around which the shared loops are built.
namespace pelitor::platform {

// Reads some of the bytes at `offset`: how many, 0 at the end of the file, or -1 with errno set.
long long readSome(FileHandle file, std::uint64_t offset, std::span<std::uint8_t> into);

// Writes some of the bytes: how many, or a negative number with errno set.
long long writeSome(FileHandle file, const char* bytes, std::size_t count);

} // namespace pelitor::platform
