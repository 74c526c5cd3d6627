#pragma once

#include "platform/alsa_midi_port.hpp"

#include <span>
#include <string>
#include <vector>

namespace pelitor::platform {

// The name to type for a raw MIDI port: hw:C,D, or hw:C,D,S where its device has more than one
// subdevice.
std::string portName(const RawMidiPort& port);

// --list's lines, as amidi -l shows them: a heading, then per port its direction (I, O or IO),
// the name to type and the port's own name, in columns.
std::vector<std::string> describePorts(std::span<const RawMidiPort> ports);

} // namespace pelitor::platform
