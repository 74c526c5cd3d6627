#pragma once

#include "common/failure.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>

namespace pelitor {

// Random access to the bytes of an input file. The reader walks chunk headers and skips
// payloads, so a large file is never read whole just to find where its samples are.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Copies the bytes at offset into `into`: how many there were (fewer only at the end of
    // the file), or why they could not be read, which is not the same as their absence.
    virtual Result<std::size_t> read(std::uint64_t offset, std::span<std::uint8_t> into) = 0;
};

// A file that is already in memory.
class MemorySource final : public ByteSource {
  public:
    explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::uint64_t size() const override { return bytes_.size(); }

    Result<std::size_t> read(std::uint64_t offset, std::span<std::uint8_t> into) override {
        if (into.empty() || offset >= bytes_.size()) {
            return std::size_t{0};
        }
        const auto count = std::min<std::uint64_t>(into.size(), bytes_.size() - offset);
        std::memcpy(into.data(), bytes_.data() + offset, count);
        return static_cast<std::size_t>(count);
    }

  private:
    std::span<const std::uint8_t> bytes_;
};

} // namespace pelitor
