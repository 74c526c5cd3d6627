#pragma once

#include <string>

// Between the two kinds of MIDI port on POSIX systems.
namespace pelitor::platform {

// What to do about a port that cannot be opened for the reason `error` (an errno value), in
// parentheses after a space; empty where there is no advice.
std::string portOpenHint(int error);

} // namespace pelitor::platform
