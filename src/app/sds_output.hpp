#pragma once

#include "common/failure.hpp"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace pelitor {

// Where the .sds bytes go. A run opens it once it knows the input converts, writes to it, then
// either commits it or discards it; nothing is in place before the commit.
class SdsOutput {
  public:
    virtual ~SdsOutput() = default;

    // The name to use in messages about the output.
    virtual const std::string& name() const = 0;
    // Gets ready to take `size` bytes.
    virtual std::optional<Failure> open(std::uint64_t size) = 0;
    // Hands the bytes to the system at once, so that a failure shows with the bytes it concerns.
    virtual std::optional<Failure> write(std::span<const std::uint8_t> bytes) = 0;
    // Puts everything written in place.
    virtual std::optional<Failure> commit() = 0;
    // Drops everything written; an earlier output stays as it was.
    virtual void discard() noexcept = 0;
};

} // namespace pelitor
