#pragma once

#include "common/failure.hpp"
#include "receive/receive_handshake.hpp"

#include <optional>
#include <span>
#include <string>

namespace pelitor::receive {

// What one run of pelitor-receive is asked to do.
struct ReceiveOptions {
    enum Task { receive, file, list, help, version } task = receive;
    std::string port;                  // the port a dump is received from
    std::optional<std::string> input;  // where the dump comes in, if not PORT
    std::string dump;                  // the file a dump is decoded from
    std::optional<std::string> output; // as given
    ReceiveSettings settings;          // its keepDamaged holds for --file too
};

// Takes the arguments after the program's name.
Result<ReceiveOptions> parseReceiveOptions(std::span<const std::string> arguments);

// What --help shows, built when asked for.
std::string usageText();

} // namespace pelitor::receive
