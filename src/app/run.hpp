#pragma once

#include "app/conversion.hpp"

#include <span>
#include <string>

namespace pelitor {

// The whole program after the command line is taken apart: banner, usage or one conversion.
// Returns the exit status.
int run(std::span<const std::string> arguments, const Console& console,
        SampleBufferAllocator allocate = allocateSampleBuffer);

} // namespace pelitor
