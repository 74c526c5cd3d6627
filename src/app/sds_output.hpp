#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

namespace pelitor {

// Where the .sds bytes go. A run opens it once it knows the input converts, writes to its
// stream, then either commits it or discards it; nothing is in place before the commit.
class SdsOutput {
  public:
    virtual ~SdsOutput() = default;

    // The name to use in messages about the output.
    virtual const std::string& name() const = 0;
    // Gets ready to take `size` bytes; returns why it cannot, if it cannot.
    virtual std::optional<std::string> open(std::uint64_t size) = 0;
    virtual std::ostream& stream() = 0;
    // Puts everything written in place; returns why that failed, if it did.
    virtual std::optional<std::string> commit() = 0;
    // Drops everything written; an earlier output stays as it was.
    virtual void discard() noexcept = 0;
};

} // namespace pelitor
