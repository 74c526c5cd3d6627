#pragma once

#include "receive/options.hpp"

#include <ostream>

namespace pelitor::receive {

// Receives a dump from the options' port into its output, saying how it goes on `errors`;
// returns the exit status. Stopped by a signal, it sends CANCEL, writes nothing and returns
// 75, and the signal then ends the process.
int receiveFromPort(const ReceiveOptions& options, std::ostream& errors);

} // namespace pelitor::receive
