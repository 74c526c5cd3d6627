#pragma once

#include "common/failure.hpp"

#include <optional>
#include <span>
#include <string>

namespace pelitor::receive {

// What one run of pelitor-receive is asked to do.
struct ReceiveOptions {
    enum Task { file, list, help, version } task = file;
    std::string dump;                  // the file a dump is decoded from
    std::optional<std::string> output; // as given
    bool keepDamaged = false;
};

// Takes the arguments after the program's name.
Result<ReceiveOptions> parseReceiveOptions(std::span<const std::string> arguments);

// What --help shows, built when asked for.
std::string usageText();

} // namespace pelitor::receive
