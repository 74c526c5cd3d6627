#include "platform/device_choice.hpp"
#include "platform/midi_port.hpp"
#include "platform/windows/winmm_port.hpp"

#include <cwchar>
#include <windows.h>
// WinMM needs the types of windows.h
#include <mmsystem.h>

namespace pelitor::platform {
namespace {

std::string utf8(const WCHAR* name) {
    const int length = static_cast<int>(wcsnlen(name, MAXPNAMELEN));
    const int size = WideCharToMultiByte(CP_UTF8, 0, name, length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, name, length, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

// Every device by its number; one that will not describe itself keeps its number.
template <typename Caps, typename Describe>
std::vector<std::string> names(UINT count, Describe describe) {
    std::vector<std::string> found;
    for (UINT i = 0; i < count; ++i) {
        Caps caps{};
        found.push_back(describe(i, &caps, sizeof caps) == MMSYSERR_NOERROR ? utf8(caps.szPname)
                                                                            : "(no name)");
    }
    return found;
}

MidiDevices systemDevices() {
    return {names<MIDIOUTCAPSW>(midiOutGetNumDevs(),
                                [](UINT i, MIDIOUTCAPSW* caps, UINT size) {
                                    return midiOutGetDevCapsW(i, caps, size);
                                }),
            names<MIDIINCAPSW>(midiInGetNumDevs(), [](UINT i, MIDIINCAPSW* caps, UINT size) {
                return midiInGetDevCapsW(i, caps, size);
            })};
}

std::optional<WinmmDevice> device(const std::vector<std::string>& names,
                                  std::optional<std::size_t> number) {
    if (!number) {
        return std::nullopt;
    }
    return WinmmDevice{static_cast<unsigned>(*number), names[*number]};
}

} // namespace

Result<std::unique_ptr<Port>> openMidiPort(const PortRequest& request) {
    const MidiDevices devices = systemDevices();
    const auto choice = chooseDevices(devices, request);
    if (!choice) {
        return choice.failure();
    }
    return openWinmmPort(device(devices.outputs, choice->output),
                         device(devices.inputs, choice->input));
}

Result<std::vector<std::string>> midiPortListing() {
    const MidiDevices devices = systemDevices();
    if (devices.outputs.empty() && devices.inputs.empty()) {
        return Failure{FailureKind::unavailable,
                       "Windows finds no MIDI port (is the MIDI interface connected, and its "
                       "driver installed?)"};
    }
    return describeDevices(devices);
}

std::string_view midiPortHelp() {
    return "PORT is a MIDI output as --list shows it: its number, or its name (case aside,\n"
           "or enough of its start to tell it from the others). The input of the same\n"
           "name hears the sampler, unless --input names another.\n";
}

} // namespace pelitor::platform
