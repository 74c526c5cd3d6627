#include "send/port_name.hpp"

#include <algorithm>
#include <charconv>

namespace pelitor::send {
namespace {

// A decimal number of at most three digits at the start of `text`; `text` moves past it.
std::optional<unsigned> number(std::string_view& text) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    const auto length = static_cast<std::size_t>(end - text.data());
    if (error != std::errc() || length > 3) {
        return std::nullopt;
    }
    text.remove_prefix(length);
    return value;
}

bool skip(std::string_view& text, char c) {
    if (text.empty() || text.front() != c) {
        return false;
    }
    text.remove_prefix(1);
    return true;
}

std::string deviceFile(unsigned card, unsigned device) {
    return "/dev/snd/midiC" + std::to_string(card) + "D" + std::to_string(device);
}

} // namespace

Result<std::string> portDevicePath(std::string_view port) {
    std::string_view rest = port;
    if (!rest.starts_with("hw:")) {
        return std::string(port);
    }
    rest.remove_prefix(3);
    const auto card = number(rest);
    const auto device = card && skip(rest, ',') ? number(rest) : std::nullopt;
    std::optional<unsigned> subdevice = 0;
    if (device && skip(rest, ',')) {
        subdevice = number(rest);
    }
    if (!device || !subdevice || !rest.empty()) {
        return Failure{FailureKind::usage,
                       "not a port name; hw:CARD,DEVICE expected, as pelitor-send --list shows"};
    }
    if (*subdevice != 0) {
        return Failure{FailureKind::unavailable,
                       "only subdevice 0 can be opened; use hw:" + std::to_string(*card) + "," +
                           std::to_string(*device)};
    }
    return deviceFile(*card, *device);
}

std::optional<MidiDevice> midiDeviceOf(std::string_view fileName) {
    std::string_view rest = fileName;
    if (!rest.starts_with("midiC")) {
        return std::nullopt;
    }
    rest.remove_prefix(5);
    const auto card = number(rest);
    const auto device = card && skip(rest, 'D') ? number(rest) : std::nullopt;
    if (!device || !rest.empty()) {
        return std::nullopt;
    }
    return MidiDevice{*card, *device};
}

std::map<unsigned, std::string> parseSoundCards(std::string_view cards) {
    // " 1 [UMONE          ]: USB-Audio - UM-ONE", then a line of details.
    std::map<unsigned, std::string> names;
    while (!cards.empty()) {
        const std::size_t end = cards.find('\n');
        std::string_view line = cards.substr(0, end);
        cards.remove_prefix(end == std::string_view::npos ? cards.size() : end + 1);
        line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
        const auto card = number(line);
        const std::size_t dash = line.find(" - ");
        if (card && line.starts_with(" [") && dash != std::string_view::npos) {
            names[*card] = std::string(line.substr(dash + 3));
        }
    }
    return names;
}

std::vector<std::string> describePorts(std::span<const std::string> fileNames,
                                       const std::map<unsigned, std::string>& cards) {
    std::vector<MidiDevice> devices;
    for (const std::string& name : fileNames) {
        if (const auto device = midiDeviceOf(name)) {
            devices.push_back(*device);
        }
    }
    std::sort(devices.begin(), devices.end(), [](const MidiDevice& a, const MidiDevice& b) {
        return a.card != b.card ? a.card < b.card : a.device < b.device;
    });
    std::vector<std::string> lines;
    for (const MidiDevice& device : devices) {
        std::string port =
            "hw:" + std::to_string(device.card) + "," + std::to_string(device.device);
        port.resize(std::max<std::size_t>(port.size() + 2, 9), ' ');
        const auto card = cards.find(device.card);
        lines.push_back(port + (card != cards.end() ? card->second : "(unnamed card)") + "  " +
                        deviceFile(device.card, device.device));
    }
    return lines;
}

} // namespace pelitor::send
