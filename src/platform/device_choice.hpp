#pragma once

#include "platform/midi_port.hpp"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// Where a system numbers its MIDI outputs and its MIDI inputs apart, each with a name
// (Windows): which of them a PORT and an --input name, and how --list shows them.
namespace pelitor::platform {

struct MidiDevices {
    std::vector<std::string> outputs; // numbered from 0, in the system's order
    std::vector<std::string> inputs;
};

// The devices a run opens; an output without an input can still send, in open loop.
struct DeviceChoice {
    std::optional<std::size_t> output;
    std::optional<std::size_t> input;
};

// PORT names an output by its number (digits alone), its whole name or a start of it that no
// other name shares, case aside. The input is the one --input names the same way, or else the
// input of the output's name (the second output of a name pairs with the second input of it).
// A run that only listens may name an input as PORT. The failure says what was wrong and how
// to see the names.
Result<DeviceChoice> chooseDevices(const MidiDevices& devices, const PortRequest& request);

// --list's lines: the outputs, then the inputs, each with its number.
std::vector<std::string> describeDevices(const MidiDevices& devices);

} // namespace pelitor::platform
