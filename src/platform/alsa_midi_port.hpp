#pragma once

#include "platform/port.hpp"

#include <memory>
#include <string>
#include <vector>

namespace pelitor::platform {

// A raw MIDI port that alsa-lib opens by its ALSA name (hw:1,0, hw:1,0,2, hw:UM1,0), with the
// library's own drain. In a build without alsa-lib every name is refused with the reason.
Result<std::unique_ptr<Port>> openAlsaMidiPort(const std::string& name);

// One subdevice of a raw MIDI device, as the sound cards' control interfaces describe it.
struct RawMidiPort {
    unsigned card = 0;
    unsigned device = 0;
    unsigned subdevice = 0;
    unsigned subdevices = 1; // of the device
    bool input = false;
    bool output = false;
    std::string name;
};

// Every raw MIDI subdevice of every sound card, in card, device and subdevice order; a failure
// where this build has no alsa-lib.
Result<std::vector<RawMidiPort>> rawMidiPorts();

} // namespace pelitor::platform
