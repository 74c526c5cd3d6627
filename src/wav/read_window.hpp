#pragma once

#include "wav/byte_source.hpp"

#include <vector>

namespace pelitor {

// Reads a ByteSource through a window of bytes held in memory, so that walking many small
// chunks costs one read per window instead of one per chunk header.
class ReadWindow {
  public:
    static constexpr std::size_t windowSize = 64 * 1024;

    explicit ReadWindow(ByteSource& source) : source_(source) {}

    // As ByteSource::read.
    Result<std::size_t> read(std::uint64_t offset, std::span<std::uint8_t> into);

  private:
    ByteSource& source_;
    std::vector<std::uint8_t> bytes_;
    std::uint64_t start_ = 0;
    std::size_t held_ = 0;
};

} // namespace pelitor
