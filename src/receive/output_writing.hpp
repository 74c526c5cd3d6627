#pragma once

#include "common/failure.hpp"
#include "receive/output_names.hpp"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pelitor::receive {

// Whether OUTPUT is an existing directory that outputs go into under their default names;
// one that ends in a separator and is none is refused.
Result<bool> intoDirectory(const std::optional<std::string>& output);

// Why an output cannot be written where it is planned, before anything is written: it is the
// input (`inputIs`: "the dump file", "the port"), or it has a default name and a file has it
// already.
std::optional<Failure> outputRefusal(const PlannedOutput& output, const std::string& input,
                                     std::string_view inputIs);

// Puts `bytes` at `path` whole, through a temporary file, or not at all.
std::optional<Failure> writeWhole(const std::string& path, std::span<const std::uint8_t> bytes);

} // namespace pelitor::receive
