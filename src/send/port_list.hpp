#pragma once

#include <ostream>

namespace pelitor::send {

// --list: the raw MIDI ports in /dev/snd with their cards' names, or a word that there are none
// (status 69).
int listPorts(std::ostream& out, std::ostream& errors);

} // namespace pelitor::send
