#include "platform/alsa_port_names.hpp"

#include <algorithm>

namespace pelitor::platform {
namespace {

std::string padded(std::string text, std::size_t width) {
    text.resize(std::max(width, text.size()), ' ');
    return text;
}

} // namespace

std::string portName(const RawMidiPort& port) {
    std::string name = "hw:";
    name.append(std::to_string(port.card)).append(",").append(std::to_string(port.device));
    if (port.subdevices > 1) {
        name.append(",").append(std::to_string(port.subdevice));
    }
    return name;
}

std::vector<std::string> describePorts(std::span<const RawMidiPort> ports) {
    std::size_t width = 6; // "Device"
    for (const RawMidiPort& port : ports) {
        width = std::max(width, portName(port).size());
    }
    std::vector<std::string> lines{"Dir " + padded("Device", width + 2) + "Name"};
    for (const RawMidiPort& port : ports) {
        const std::string direction = std::string(port.input ? "I" : "") + (port.output ? "O" : "");
        lines.push_back(padded(direction, 4) + padded(portName(port), width + 2) + port.name);
    }
    return lines;
}

} // namespace pelitor::platform
