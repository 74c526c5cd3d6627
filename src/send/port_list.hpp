#pragma once

#include <ostream>
#include <string_view>

namespace pelitor::send {

// --list of every program that talks to a port: the raw MIDI ports alsa-lib finds on the
// sound cards, or a word from `program` that there are none (status 69).
int listPorts(std::ostream& out, std::ostream& errors, std::string_view program);

} // namespace pelitor::send
