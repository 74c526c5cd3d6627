#pragma once

#include <ostream>
#include <span>
#include <string>

namespace pelitor::send {

// The whole of pelitor-send after its name: the command line, then listing the ports, checking
// a file, or checking it and sending it. Returns the exit status.
int runSender(std::span<const std::string> arguments, std::ostream& out, std::ostream& errors);

} // namespace pelitor::send
