#pragma once

#include <ostream>
#include <string_view>

namespace pelitor {

// --list of every program that talks to a port: the MIDI ports the system has, or a word from
// `program` that there are none (status 69).
int listPorts(std::ostream& out, std::ostream& errors, std::string_view program);

} // namespace pelitor
