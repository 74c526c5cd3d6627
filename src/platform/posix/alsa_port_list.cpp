#include "platform/alsa_midi_port.hpp"
#include "platform/alsa_port_names.hpp"
#include "platform/midi_port.hpp"

#if PELITOR_ALSA
#include "platform/posix/alsa_quiet.hpp"

#include <algorithm>
#endif

namespace pelitor::platform {

#if PELITOR_ALSA

namespace {

// The subdevices one raw MIDI device of an open control interface has, input and output.
void addDevice(snd_ctl_t* control, unsigned card, unsigned device,
               std::vector<RawMidiPort>& ports) {
    snd_rawmidi_info_t* info = nullptr;
    snd_rawmidi_info_alloca(&info);
    snd_rawmidi_info_set_device(info, device);
    const auto count = [&](snd_rawmidi_stream_t stream) {
        snd_rawmidi_info_set_stream(info, stream);
        snd_rawmidi_info_set_subdevice(info, 0);
        return snd_ctl_rawmidi_info(control, info) < 0
                   ? 0u
                   : snd_rawmidi_info_get_subdevices_count(info);
    };
    const unsigned inputs = count(SND_RAWMIDI_STREAM_INPUT);
    const unsigned outputs = count(SND_RAWMIDI_STREAM_OUTPUT);
    const unsigned subdevices = std::max(inputs, outputs);
    for (unsigned subdevice = 0; subdevice < subdevices; ++subdevice) {
        snd_rawmidi_info_set_stream(info, subdevice < inputs ? SND_RAWMIDI_STREAM_INPUT
                                                             : SND_RAWMIDI_STREAM_OUTPUT);
        snd_rawmidi_info_set_subdevice(info, subdevice);
        if (snd_ctl_rawmidi_info(control, info) < 0) {
            continue;
        }
        // A device of one subdevice is known by the device's name, as amidi shows it.
        const char* name = subdevices == 1 ? snd_rawmidi_info_get_name(info)
                                           : snd_rawmidi_info_get_subdevice_name(info);
        ports.push_back(
            {card, device, subdevice, subdevices, subdevice < inputs, subdevice < outputs, name});
    }
}

} // namespace

Result<std::vector<RawMidiPort>> rawMidiPorts() {
    silenceAlsaLib();
    std::vector<RawMidiPort> ports;
    int card = -1;
    while (snd_card_next(&card) == 0 && card >= 0) {
        snd_ctl_t* control = nullptr;
        if (snd_ctl_open(&control, ("hw:" + std::to_string(card)).c_str(), 0) < 0) {
            continue;
        }
        int device = -1;
        while (snd_ctl_rawmidi_next_device(control, &device) == 0 && device >= 0) {
            addDevice(control, static_cast<unsigned>(card), static_cast<unsigned>(device), ports);
        }
        snd_ctl_close(control);
    }
    return ports;
}

#else

Result<std::vector<RawMidiPort>> rawMidiPorts() {
    return Failure{FailureKind::unavailable,
                   "this build has no alsa-lib, so it cannot list the ALSA ports"};
}

#endif

Result<std::vector<std::string>> midiPortListing() {
    const auto ports = rawMidiPorts();
    if (!ports) {
        return ports.failure();
    }
    if (ports->empty()) {
        return Failure{FailureKind::unavailable,
                       "alsa-lib finds no sound card with a raw MIDI port (is the MIDI interface "
                       "connected and switched on?)"};
    }
    return describePorts(*ports);
}

} // namespace pelitor::platform
