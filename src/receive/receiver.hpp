#pragma once

#include <ostream>
#include <span>
#include <string>

namespace pelitor::receive {

// The whole of pelitor-receive after its name: the command line, then listing the ports or
// decoding the dumps in a file into their outputs. Returns the exit status.
int runReceiver(std::span<const std::string> arguments, std::ostream& out, std::ostream& errors);

} // namespace pelitor::receive
