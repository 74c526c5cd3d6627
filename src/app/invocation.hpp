#pragma once

#include "app/conversion_options.hpp"
#include "common/failure.hpp"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pelitor {

// What one run of pelitor is asked to do.
struct Invocation {
    enum class Request { usage, help, version, convert };
    Request request = Request::usage;
    ConversionOptions options;
    std::optional<std::string> output; // as given with -o
    std::string input;
    std::size_t ignoredArguments = 0; // pelitor converts one file per run
    bool quiet = false;               // nothing on standard output but "bad new!!"
};

// Takes apart the arguments after the program's name. Without any, the request is the usage
// screen; a command line that cannot be followed is a usage failure that names what is wrong.
Result<Invocation> parseInvocation(std::span<const std::string> arguments);

// What --help shows after the banner. Built when asked for, so that running out of memory
// while building it is a failure of the run, not of the program's start.
std::string helpText();

} // namespace pelitor
