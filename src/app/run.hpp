#pragma once

#include "app/console.hpp"

#include <span>
#include <string>

namespace pelitor {

// The whole program after the command line is taken apart: banner, usage or one conversion.
// Returns the exit status.
int run(std::span<const std::string> arguments, const Console& console);

// What main does: the command line, then run(), and the one answer to running out of memory
// outside the sample buffer: "Abnormal program termination" and status 3. A console output
// that could not be written, or was closed when the program started (`outputClosed`), is
// told on standard error and leaves the exit status as it is.
int runProgram(int argc, char** argv, const Console& console, bool outputClosed = false);

} // namespace pelitor
