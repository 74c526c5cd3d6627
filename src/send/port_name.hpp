#pragma once

#include "common/failure.hpp"

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelitor::send {

// The device file a PORT names: hw:C,D (or hw:C,D,0) is ALSA's raw MIDI device
// /dev/snd/midiC{C}D{D}; anything else is taken as a path.
Result<std::string> portDevicePath(std::string_view port);

// The card and device numbers of a raw MIDI device file name such as "midiC1D0".
struct MidiDevice {
    unsigned card = 0;
    unsigned device = 0;
};
std::optional<MidiDevice> midiDeviceOf(std::string_view fileName);

// Card numbers and names, as /proc/asound/cards lists them.
std::map<unsigned, std::string> parseSoundCards(std::string_view cards);

// One line per raw MIDI device file among `fileNames`, in card and device order:
// "hw:1,0  UM-ONE".
std::vector<std::string> describePorts(std::span<const std::string> fileNames,
                                       const std::map<unsigned, std::string>& cards);

} // namespace pelitor::send
