#include "platform/device_choice.hpp"

#include <algorithm>
#include <cctype>

namespace pelitor::platform {
namespace {

// Device names are mostly ASCII; other letters are compared as they are.
char folded(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return folded(x) == folded(y);
           });
}

bool startsName(std::string_view start, std::string_view name) {
    return start.size() <= name.size() && sameName(start, name.substr(0, start.size()));
}

bool allDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [](unsigned char c) { return std::isdigit(c) != 0; });
}

Failure unavailable(std::string message) {
    return {FailureKind::unavailable, std::move(message)};
}

std::vector<std::size_t> matching(const std::vector<std::string>& names, std::string_view given,
                                  bool (*matches)(std::string_view, std::string_view)) {
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (matches(given, names[i])) {
            found.push_back(i);
        }
    }
    return found;
}

// The device of `names` (outputs or inputs, as `kind` says) that `given` names.
Result<std::size_t> find(const std::vector<std::string>& names, std::string_view given,
                         std::string_view kind) {
    const std::string what = "MIDI " + std::string(kind);
    if (names.empty()) {
        return unavailable("there is no " + what + " at all (--list shows the ports)");
    }
    if (allDigits(given)) {
        const std::size_t number = given.size() > 9
                                       ? names.size()
                                       : static_cast<std::size_t>(std::stoul(std::string(given)));
        if (number < names.size()) {
            return number;
        }
        return unavailable("there is no " + what + " " + std::string(given) +
                           "; they are numbered 0 to " + std::to_string(names.size() - 1) +
                           " (--list shows them)");
    }
    auto found = matching(names, given, sameName);
    if (found.empty()) {
        found = matching(names, given, startsName);
    }
    if (found.size() == 1) {
        return found.front();
    }
    if (found.empty()) {
        return unavailable("no " + what + " has this name (--list shows them)");
    }
    std::string which;
    for (const std::size_t i : found) {
        which += (which.empty() ? "" : ", ") + std::to_string(i) + " " + names[i];
    }
    return unavailable("names " + std::to_string(found.size()) + " " + what + "s (" + which +
                       "); give its number, or more of its name");
}

// The input paired with output `output`: of the same name, and as many before it of that name.
std::optional<std::size_t> pairedInput(const MidiDevices& devices, std::size_t output) {
    const std::string& name = devices.outputs[output];
    std::size_t before = 0;
    for (std::size_t i = 0; i < output; ++i) {
        before += sameName(devices.outputs[i], name) ? 1 : 0;
    }
    const auto inputs = matching(devices.inputs, name, sameName);
    if (inputs.empty()) {
        return std::nullopt;
    }
    return inputs[std::min(before, inputs.size() - 1)];
}

std::string padded(std::string text, std::size_t width) {
    text.insert(0, width - std::min(width, text.size()), ' ');
    return text;
}

void describe(const std::vector<std::string>& names, const std::string& heading,
              std::vector<std::string>& lines) {
    lines.push_back(heading);
    if (names.empty()) {
        lines.emplace_back("  (none)");
    }
    const std::size_t width = std::to_string(names.empty() ? 0 : names.size() - 1).size();
    for (std::size_t i = 0; i < names.size(); ++i) {
        lines.push_back("  " + padded(std::to_string(i), width) + "  " + names[i]);
    }
}

} // namespace

Result<DeviceChoice> chooseDevices(const MidiDevices& devices, const PortRequest& request) {
    DeviceChoice choice;
    auto output = find(devices.outputs, request.port, "output");
    if (output) {
        choice.output = *output;
    } else if (request.needsOutput || request.input) {
        return output.failure();
    }
    if (request.input) {
        auto input = find(devices.inputs, *request.input, "input");
        if (!input) {
            return Failure{input.failure().kind,
                           "--input " + *request.input + ": " + input.failure().message};
        }
        choice.input = *input;
    } else if (choice.output) {
        choice.input = pairedInput(devices, *choice.output);
    } else {
        // Listening only: PORT may be an input that has no output of its name.
        auto input = find(devices.inputs, request.port, "input");
        if (!input) {
            return input.failure();
        }
        choice.input = *input;
    }
    if (request.needsInput && !choice.input) {
        return unavailable("MIDI output " + std::to_string(*choice.output) + " " +
                           devices.outputs[*choice.output] +
                           " has no input of its name to hear the sampler on; name one with "
                           "--input (--list shows them)");
    }
    return choice;
}

std::vector<std::string> describeDevices(const MidiDevices& devices) {
    std::vector<std::string> lines;
    describe(devices.outputs, "MIDI outputs (PORT, by number or name):", lines);
    describe(devices.inputs, "MIDI inputs (--input, where not of PORT's name):", lines);
    return lines;
}

} // namespace pelitor::platform
