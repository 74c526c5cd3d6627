#pragma once

#include "common/exit_status.hpp"

namespace pelitor::send {

// pelitor-send's own status beside the shared ones; the README and the manual page list them.
inline constexpr int sendInterrupted = 128; // plus the signal's number: 130 for Ctrl-C

} // namespace pelitor::send
