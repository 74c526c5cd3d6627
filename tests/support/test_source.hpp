#pragma once

#include "wav/byte_source.hpp"

#include <cstdint>
#include <limits>

namespace pelitor::test {

// A file in memory that counts its reads and can be made to shrink or fail part-way.
class TestSource final : public ByteSource {
  public:
    static constexpr std::uint64_t never = std::numeric_limits<std::uint64_t>::max();

    explicit TestSource(std::span<const std::uint8_t> bytes) : whole_(bytes) {}

    std::uint64_t cutAt = never;    // bytes from here on are gone, though size() still counts them
    std::uint64_t failFrom = never; // reads from here on fail as on a bad disk
    int reads = 0;

    std::uint64_t size() const override { return whole_.size(); }

    Result<std::size_t> read(std::uint64_t offset, std::span<std::uint8_t> into) override {
        ++reads;
        if (offset >= failFrom) {
            return Failure{FailureKind::noInput, "reading failed: Input/output error"};
        }
        const auto kept = std::min<std::uint64_t>(into.size(), cutAt - std::min(cutAt, offset));
        return whole_.read(offset, into.first(kept));
    }

  private:
    MemorySource whole_;
};

} // namespace pelitor::test
